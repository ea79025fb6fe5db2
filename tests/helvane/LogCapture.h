// Makes a fresh process log writing to a file of the test's own, and reads its entries back.
#pragma once

#include <helvane/Log.h>
#include <win32/Text.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace helvanetest {

class LogCapture {
public:
    // Replaces the process log (an earlier one is destroyed) with one writing to path.
    explicit LogCapture(const std::filesystem::path& path, unsigned flags = KdLog::kToFile) : m_path(path)
    {
        delete KdLog::GetSingletonPtr();
        m_log = std::make_unique<KdLog>(flags, platform::Widen(path.string()).c_str());
    }

    std::string Text() const
    {
        std::ifstream in(m_path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    KdLog& Log() { return *m_log; }

private:
    std::filesystem::path m_path;
    std::unique_ptr<KdLog> m_log;
};

} // namespace helvanetest
