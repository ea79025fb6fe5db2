// Clocks over std::chrono::steady_clock, with a manual clock for tests.
// Implemented: timeGetTime, GetTickCount(64), the performance counter (nanosecond ticks),
//              Sleep, GetLocalTime.
#include "win32/Time.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

namespace {

const auto kStart = std::chrono::steady_clock::now();
std::atomic<bool> g_manual{false};
std::atomic<uint64_t> g_manualNow{0};

uint64_t SteadyNanoseconds()
{
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - kStart).count());
}

} // namespace

namespace platform {

uint64_t NowNanoseconds() { return g_manual ? g_manualNow.load() : SteadyNanoseconds(); }

void UseManualClock(bool on)
{
    if (on && !g_manual)
        g_manualNow = SteadyNanoseconds();
    g_manual = on;
}

void AdvanceManualClock(uint64_t nanoseconds) { g_manualNow += nanoseconds; }

} // namespace platform

DWORD timeGetTime() { return static_cast<DWORD>(platform::NowNanoseconds() / 1000000u); }
DWORD GetTickCount() { return timeGetTime(); }
ULONGLONG GetTickCount64() { return platform::NowNanoseconds() / 1000000u; }

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    if (!frequency)
        return FALSE;
    frequency->QuadPart = 1000000000;
    return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* counter)
{
    if (!counter)
        return FALSE;
    counter->QuadPart = static_cast<LONGLONG>(platform::NowNanoseconds());
    return TRUE;
}

void Sleep(DWORD milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

void GetLocalTime(SYSTEMTIME* out)
{
    if (!out)
        return;
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    out->wYear = static_cast<WORD>(local.tm_year + 1900);
    out->wMonth = static_cast<WORD>(local.tm_mon + 1);
    out->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    out->wDay = static_cast<WORD>(local.tm_mday);
    out->wHour = static_cast<WORD>(local.tm_hour);
    out->wMinute = static_cast<WORD>(local.tm_min);
    out->wSecond = static_cast<WORD>(local.tm_sec);
    out->wMilliseconds = static_cast<WORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
}
