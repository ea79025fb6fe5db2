// Debugger output: written to stderr, one line per call, unless QUIBLY_DEBUG_OUTPUT=0. A line
// repeated within a second is said once, and its repeats as one line with their count.
#pragma once

#include "win32/Types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

void OutputDebugStringW(const wchar_t* text);
void OutputDebugStringA(const char* text);

namespace platform {

// Logs a "[platform] ..." line once per distinct text; used by calls that are declared but
// not implemented, which then return a failure code.
void LogOnce(const char* text);

// Says a repeated line once with a count, so an event that repeats every frame cannot flood a
// log. The first time a text comes it is said; the same text again within its window is only
// counted; the count is said as "<text> (repeated N more times)" by the first line that comes
// after the window ended (or by Drain), and a new window begins with it. Not thread-safe: the
// owner holds its own lock.
class RepeatFilter {
public:
    explicit RepeatFilter(int64_t windowMs = 1000, size_t kept = 64) : m_windowMs(windowMs), m_kept(kept) {}
    // The lines to write now for `text` arriving at `nowMs`, in order (none when it is a repeat).
    std::vector<std::string> Pass(const std::string& text, int64_t nowMs);
    // The counts not yet said, for the end of the log.
    std::vector<std::string> Drain();

private:
    struct Entry {
        std::string text;
        int64_t windowEndMs = 0;
        uint64_t repeats = 0;
    };
    static std::string Counted(const Entry& entry);
    int64_t m_windowMs;
    size_t m_kept;
    std::vector<Entry> m_entries;  // oldest first
};

// Milliseconds of a monotonic clock, for the filter.
int64_t MonotonicMs();

} // namespace platform
