// The process log: stamped entries to the debugger output, the standard output and the log file.
#include "helvane/Log.h"

#include <win32/Debug.h>
#include <win32/Files.h>
#include <win32/Text.h>
#include <win32/Time.h>

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr const wchar_t* kDefaultFileName = L"Log_VODozivo.txt";
constexpr const wchar_t* kLevelPrefixes[] = {L"[INFO] ", L"[WARN] ", L"[ERR ] "};

// Cuts text to the given number of characters (the fixed buffers of the log).
std::wstring CutTo(std::wstring text, size_t maxChars)
{
    if (text.size() > maxChars)
        text.resize(maxChars);
    return text;
}

int LogFormatted(const std::wstring& text)
{
    return KdLog::GetSingleton().Log(text.c_str());
}

// Files the file layer refuses (not a regular file, too large for its kind) are logged.
void LogRefusedFile(const char* message)
{
    DFLog(L"%s", platform::Widen(message).c_str());
}
[[maybe_unused]] const bool g_refusalSinkInstalled = (platform::SetFileRefusalSink(&LogRefusedFile), true);

} // namespace

KdLog::KdLog(unsigned flags, const wchar_t* fileName)
{
    m_flags = flags == static_cast<unsigned>(-1) ? kToFile : flags;
    if (m_flags & kToFile) {
        std::wcsncpy(m_fileName, fileName ? fileName : kDefaultFileName, kFileNameChars - 1);
        if (FILE* file = _wfopen(m_fileName, L"wt"))
            std::fclose(file);
    }
    if (m_flags & kToWindow)
        CreateLogWindow();
    Log(L"Logging Started...");
}

KdLog::KdLog(const KdLog& other) : singleton<KdLog>(other)
{
    *this = other;
}

KdLog& KdLog::operator=(const KdLog& other)
{
    if (this != &other) {
        m_flags = other.m_flags;
        std::wmemcpy(m_fileName, other.m_fileName, kFileNameChars);
        m_window = other.m_window;
        m_listBox = other.m_listBox;
    }
    return *this;
}

int KdLog::Log(const wchar_t* text)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::wstring line = platform::FormatWide(L"[%02d/%02d/%02d_%02d:%02d:%02d] : ", now.wMonth, now.wDay,
                                             now.wYear % 100, now.wHour, now.wMinute, now.wSecond);
    line += text ? text : L"";
    line = CutTo(std::move(line), kLineChars - 2) + L"\n";

    std::lock_guard guard(m_writeLock);
    OutputDebugStringW(line.c_str());
    std::string utf8 = platform::Narrow(line);
    if (m_flags & kToStdout) {
        std::fputs(utf8.c_str(), stdout);
        std::fflush(stdout);
    }
    if (m_flags & kToFile) {
        // The file is opened for every entry, so everything logged before a crash is on disk.
        // Each entry is followed by an empty line.
        if (FILE* file = _wfopen(m_fileName, L"ab")) {
            utf8 += '\n';
            std::fwrite(utf8.data(), 1, utf8.size(), file);
            std::fclose(file);
        }
    }
    return 1;
}

void KdLog::CreateLogWindow()
{
    platform::LogOnce("KdLog::CreateLogWindow: the log window is not available; entries go to the file");
}

int DFLog(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    std::wstring text = CutTo(platform::FormatWideV(format, args), KdLog::kLineChars - 1);
    va_end(args);
    return LogFormatted(text);
}

int DFLog(LOGTYPE level, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    std::wstring text = CutTo(platform::FormatWideV(format, args), KdLog::kLineChars - 1);
    va_end(args);
    const wchar_t* prefix = level >= LOG_INFO && level <= LOG_ERROR ? kLevelPrefixes[level] : L"";
    return LogFormatted(CutTo(prefix + text, KdLog::kLineChars - 1));
}
