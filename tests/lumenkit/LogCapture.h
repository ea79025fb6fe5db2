// Sends the process log to a file of a temporary folder for the scope of one test, so the
// test can look for the lines the code under test logged.
#pragma once

#include "support/TempDir.h"

#include <helvane/Log.h>

#include <win32/Text.h>

#include <string>

namespace lumenkittest {

class LogCapture {
public:
    LogCapture()
    {
        delete KdLog::GetSingletonPtr();
        new KdLog(KdLog::kToFile, platform::Widen((m_dir.Path() / "log.txt").string()).c_str());
    }
    ~LogCapture() { delete KdLog::GetSingletonPtr(); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // True when some entry contains the text.
    bool Contains(const std::wstring& text) const
    {
        return platform::Widen(m_dir.Read("log.txt")).find(text) != std::wstring::npos;
    }

private:
    testsupport::TempDir m_dir;
};

} // namespace lumenkittest
