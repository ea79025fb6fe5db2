// Clocks and sleeping. Every clock of the platform reads one source, which tests can replace
// with a manual clock that only moves when told to.
#pragma once

#include "win32/Types.h"

DWORD timeGetTime();
DWORD GetTickCount();
ULONGLONG GetTickCount64();
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
BOOL QueryPerformanceCounter(LARGE_INTEGER* counter);
void Sleep(DWORD milliseconds);

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
void GetLocalTime(SYSTEMTIME* time);

namespace platform {

// Nanoseconds since the platform started, from the steady clock or the manual clock.
uint64_t NowNanoseconds();

// Switches every clock to a manual clock that starts at its current reading and moves only
// through AdvanceManualClock; off returns to the steady clock.
void UseManualClock(bool on);
void AdvanceManualClock(uint64_t nanoseconds);

} // namespace platform
