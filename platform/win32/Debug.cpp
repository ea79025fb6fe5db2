// Debugger output to stderr, and the once-only log line of calls that are not implemented.
#include "win32/Debug.h"
#include "win32/Text.h"

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

} // namespace

void OutputDebugStringA(const char* text)
{
    if (!text || !DebugOutputEnabled())
        return;
    std::lock_guard lock(g_outputLock);
    std::fputs(text, stderr);
    size_t length = std::strlen(text);
    if (length == 0 || text[length - 1] != '\n')
        std::fputc('\n', stderr);
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

} // namespace platform
