// Log lines of the Direct3D stand-in.
#include "Log.h"

#include <win32/Debug.h>

#include <cstdarg>
#include <cstdio>

namespace platform::d3d9 {

namespace {

void Format(char* buffer, size_t size, const char* format, va_list args)
{
    int used = std::snprintf(buffer, size, "d3d9: ");
    std::vsnprintf(buffer + used, size - used, format, args);
}

} // namespace

void LogLine(const char* format, ...)
{
    char buffer[1024];
    va_list args;
    va_start(args, format);
    Format(buffer, sizeof buffer, format, args);
    va_end(args);
    std::fprintf(stderr, "[platform] %s\n", buffer);
}

void LogRefused(const char* format, ...)
{
    char buffer[1024];
    va_list args;
    va_start(args, format);
    Format(buffer, sizeof buffer, format, args);
    va_end(args);
    platform::LogOnce(buffer);
}

} // namespace platform::d3d9
