// Replaces the process log (an earlier one is destroyed) with one writing to a file of the
// test's own, for the capture's scope, so a test can read back what the code under test logged.
#pragma once

#include "support/TempDir.h"

#include <helvane/Log.h>
#include <win32/Text.h>

#include <filesystem>
#include <memory>
#include <string>

namespace testsupport {

class LogCapture {
public:
    // Logs to a file in a temporary folder of the capture's own.
    LogCapture() : m_dir(std::make_unique<TempDir>()), m_path(m_dir->Path() / "log.txt") { Install(KdLog::kToFile); }
    explicit LogCapture(const std::filesystem::path& path, unsigned flags = KdLog::kToFile) : m_path(path)
    {
        Install(flags);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::string Text() const { return ReadFile(m_path); }

    // True when some entry contains the text.
    bool Contains(const std::wstring& text) const { return platform::Widen(Text()).find(text) != std::wstring::npos; }

    KdLog& Log() { return *m_log; }

private:
    void Install(unsigned flags)
    {
        delete KdLog::GetSingletonPtr();
        m_log = std::make_unique<KdLog>(flags, platform::Widen(m_path.string()).c_str());
    }

    // Declared before the log, so the log file is closed before its folder is removed.
    std::unique_ptr<TempDir> m_dir;
    std::filesystem::path m_path;
    std::unique_ptr<KdLog> m_log;
};

} // namespace testsupport
