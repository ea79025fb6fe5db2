// Debugger output to stderr, and the once-only log line of calls that are not implemented.
#include "win32/Debug.h"
#include "win32/Text.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

namespace {

bool DebugOutputEnabled()
{
    static const bool enabled = [] {
        const char* value = std::getenv("QUIBLY_DEBUG_OUTPUT");
        return !(value && std::strcmp(value, "0") == 0);
    }();
    return enabled;
}

std::mutex g_outputLock;
platform::RepeatFilter g_outputRepeats;

} // namespace

void OutputDebugStringA(const char* text)
{
    if (!text || !DebugOutputEnabled())
        return;
    std::string line(text);
    while (!line.empty() && line.back() == '\n')
        line.pop_back();
    std::lock_guard lock(g_outputLock);
    for (const std::string& said : g_outputRepeats.Pass(line, platform::MonotonicMs())) {
        std::fputs(said.c_str(), stderr);
        std::fputc('\n', stderr);
    }
}

void OutputDebugStringW(const wchar_t* text)
{
    if (text)
        OutputDebugStringA(platform::Narrow(text).c_str());
}

namespace platform {

void LogOnce(const char* text)
{
    static std::mutex lock;
    static std::set<std::string> seen;
    {
        std::lock_guard guard(lock);
        if (!text || !seen.insert(text).second)
            return;
    }
    std::fprintf(stderr, "[platform] %s\n", text);
}

int64_t MonotonicMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string RepeatFilter::Counted(const Entry& entry)
{
    return entry.text + " (repeated " + std::to_string(entry.repeats) + " more times)";
}

std::vector<std::string> RepeatFilter::Pass(const std::string& text, int64_t nowMs)
{
    std::vector<std::string> said;
    // Counts whose window ended are said before the new line, so the log keeps its order.
    for (auto entry = m_entries.begin(); entry != m_entries.end();) {
        if (entry->text == text || nowMs < entry->windowEndMs) {
            ++entry;
            continue;
        }
        if (entry->repeats > 0)
            said.push_back(Counted(*entry));
        entry = m_entries.erase(entry);
    }
    auto found = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.text == text; });
    if (found == m_entries.end()) {
        said.push_back(text);
        m_entries.push_back({text, nowMs + m_windowMs, 0});
        if (m_entries.size() > m_kept) {
            if (m_entries.front().repeats > 0)
                said.push_back(Counted(m_entries.front()));
            m_entries.erase(m_entries.begin());
        }
        return said;
    }
    if (nowMs < found->windowEndMs) {
        ++found->repeats;
        return said;
    }
    // The window ended with this line: its count stands for the repeats and this one.
    if (found->repeats > 0) {
        ++found->repeats;
        said.push_back(Counted(*found));
    } else {
        said.push_back(text);
    }
    found->repeats = 0;
    found->windowEndMs = nowMs + m_windowMs;
    return said;
}

std::vector<std::string> RepeatFilter::Drain()
{
    std::vector<std::string> said;
    for (const Entry& entry : m_entries)
        if (entry.repeats > 0)
            said.push_back(Counted(entry));
    m_entries.clear();
    return said;
}

} // namespace platform
