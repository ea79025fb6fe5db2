// The process log: stamped entries to the debugger output, the standard output, the log file
// and the log window's list box.
#include "helvane/Log.h"

#include <win32/Debug.h>
#include <win32/Files.h>
#include <win32/Text.h>
#include <win32/Time.h>
#include <win32/Window.h>

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>
#include <sys/stat.h>

namespace {

constexpr const wchar_t* kDefaultFileName = L"Log_VODozivo.txt";
constexpr const wchar_t* kLevelPrefixes[] = {L"[INFO] ", L"[WARN] ", L"[ERR ] "};
constexpr const wchar_t* kLogWindowClass = L"KLogWindow";
constexpr const wchar_t* kLogWindowCaption = L"Korvane Dunmoth";
constexpr UINT kLogWindowClassStyle = 0x23;
constexpr int kLogWindowSize = 600;

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

// Keeps `file` open on what `name` leads to from the current directory, opening it with `mode`
// when the name no longer leads to the open file (the directory changed, or the file was
// removed), so entries go where the name leads, as when the file was opened for each entry.
// False when it cannot be opened.
bool KeepFileAtName(std::shared_ptr<FILE>& file, const wchar_t* name, const wchar_t* mode)
{
    struct stat named {};
    struct stat opened {};
    if (file && ::stat(platform::Narrow(name).c_str(), &named) == 0 && ::fstat(fileno(file.get()), &opened) == 0 &&
        named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
        return true;
    file.reset();
    FILE* open = _wfopen(name, mode);
    if (!open)
        return false;
    file.reset(open, [](FILE* done) { std::fclose(done); });
    return true;
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
        if (!KeepFileAtName(m_file, m_fileName, L"wb")) {
            // A read-only (or full) run folder: the log cannot say so, so the console does, once;
            // the game still runs. Entries still go to the other outputs.
            m_fileUnwritable = true;
            std::fprintf(stderr,
                         "Quibly: %s cannot be written: the run folder is read-only or full. The game runs, "
                         "but nothing can be saved (no log, no options, no progress).\n",
                         platform::Narrow(m_fileName).c_str());
            std::fflush(stderr);
        }
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
        m_fileUnwritable = other.m_fileUnwritable;
        std::wmemcpy(m_fileName, other.m_fileName, kFileNameChars);
        m_window = other.m_window;
        m_listBox = other.m_listBox;
        m_file = other.m_file;
        m_repeats = other.m_repeats;
    }
    return *this;
}

KdLog::~KdLog()
{
    std::lock_guard guard(m_writeLock);
    for (const std::string& said : m_repeats.Drain())
        Write(platform::Widen(said));
}

int KdLog::Log(const wchar_t* text)
{
    std::lock_guard guard(m_writeLock);
    for (const std::string& said : m_repeats.Pass(platform::Narrow(text ? text : L""), platform::MonotonicMs()))
        Write(platform::Widen(said));
    return 1;
}

void KdLog::Write(const std::wstring& entry)
{
    const wchar_t* text = entry.c_str();
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::wstring line = platform::FormatWide(L"[%02d/%02d/%02d_%02d:%02d:%02d] : ", now.wMonth, now.wDay,
                                             now.wYear % 100, now.wHour, now.wMinute, now.wSecond);
    line += text ? text : L"";
    line = CutTo(std::move(line), kLineChars - 2) + L"\n";

    OutputDebugStringW(line.c_str());
    std::string utf8 = platform::Narrow(line);
    if (m_flags & kToStdout) {
        std::fputs(utf8.c_str(), stdout);
        std::fflush(stdout);
    }
    if ((m_flags & kToFile) && !m_fileUnwritable && KeepFileAtName(m_file, m_fileName, L"ab")) {
        // Each entry is followed by an empty line.
        utf8 += '\n';
        std::fwrite(utf8.data(), 1, utf8.size(), m_file.get());
        std::fflush(m_file.get());
    }
    if ((m_flags & kToWindow) && m_listBox) {
        // The text alone, the newest item selected so it scrolls into view.
        auto* listBox = static_cast<HWND>(m_listBox);
        SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text ? text : L""));
        SendMessageW(listBox, LB_SETCURSEL, static_cast<WPARAM>(SendMessageW(listBox, LB_GETCOUNT, 0, 0) - 1), 0);
    }
}

void KdLog::CreateLogWindow()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.style = kLogWindowClassStyle;
    wc.lpfnWndProc = &KdLog::WndProcKdLog;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(nullptr, IDI_WINLOGO);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kLogWindowClass;
    RegisterClassW(&wc); // a second log object finds the class registered already
    HWND window = CreateWindowExW(0, kLogWindowClass, kLogWindowCaption, WS_POPUP | WS_CAPTION,
                                  GetSystemMetrics(SM_CXSCREEN) - kLogWindowSize, 0, kLogWindowSize, kLogWindowSize,
                                  nullptr, nullptr, instance, nullptr);
    if (!window)
        return;
    RECT client{};
    GetClientRect(window, &client);
    HWND listBox = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VSCROLL, 0, 0, client.right - client.left,
                                   client.bottom - client.top, window, nullptr, instance, nullptr);
    m_window = window;
    m_listBox = listBox;
    ShowWindow(window, SW_SHOW);
    if (listBox)
        ShowWindow(listBox, SW_SHOW);
}

LRESULT KdLog::WndProcKdLog(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, msg, wParam, lParam);
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
