// The one log of the process: DFLog writes stamped entries to the debugger output and to
// the log file "Log_VODozivo.txt" in the current directory; a log object made with the window
// flag also lists each entry's text in a window of its own. An entry repeated within a second
// is written once, and its repeats as one entry with their count.
#pragma once

#include "helvane/Singleton.h"

#include <win32/Debug.h>
#include <win32/Types.h>

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

enum LOGTYPE : int32_t {
    LOG_INFO = 0,
    LOG_WARN = 1,
    LOG_ERROR = 2,
};

// printf-style wide formats with the Windows rule: %s takes a wide string.
int DFLog(const wchar_t* format, ...);
int DFLog(LOGTYPE level, const wchar_t* format, ...);

class KdLog : public singleton<KdLog> {
public:
    static constexpr unsigned kToStdout = 1;
    static constexpr unsigned kToFile = 2;
    static constexpr unsigned kToWindow = 4;
    static constexpr size_t kLineChars = 512;
    static constexpr size_t kFileNameChars = 260;

    // flags -1 means the default, file only; a null file name means "Log_VODozivo.txt".
    // With the file flag, the file is emptied; when it cannot be created (a read-only run
    // folder), one line on the standard error says that nothing can be saved.
    explicit KdLog(unsigned flags = static_cast<unsigned>(-1), const wchar_t* fileName = nullptr);
    KdLog(const KdLog& other);
    KdLog& operator=(const KdLog& other);
    // Writes the counts of repeats not yet said.
    ~KdLog();

    // Writes one entry "[MM/DD/YY_HH:MM:SS] : text" to every selected output; returns 1.
    // A repeat of an entry within its second is counted instead (see platform::RepeatFilter).
    int Log(const wchar_t* text);

    // Makes the log window "KLogWindow" at the top right of the screen with a list box filling
    // it; the constructor calls it for the window flag.
    void CreateLogWindow();
    // The log window's procedure: everything goes to the default procedure.
    static LRESULT WndProcKdLog(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    unsigned GetFlags() const { return m_flags; }
    HWND GetWindow() const { return static_cast<HWND>(m_window); }
    HWND GetListBox() const { return static_cast<HWND>(m_listBox); }
    const wchar_t* GetFileName() const { return m_fileName; }

private:
    unsigned m_flags = 0;
    // The file could not be created at start: the console was told once, and no entry tries it.
    bool m_fileUnwritable = false;
    wchar_t m_fileName[kFileNameChars] = {};
    void* m_window = nullptr;
    void* m_listBox = nullptr;
    // Writes one entry to every selected output; the write lock is held.
    void Write(const std::wstring& text);
    // The file stays open for the log's life; each entry is flushed to it, so everything logged
    // before a crash is on disk. Copies of the log share it.
    std::shared_ptr<FILE> m_file;
    platform::RepeatFilter m_repeats;
    // Entries from several threads are written whole, one after another.
    std::mutex m_writeLock;
};
