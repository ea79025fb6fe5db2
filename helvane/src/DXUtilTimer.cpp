// The application timer: one process-wide clock that can be stopped, started and stepped.
#include "helvane/DXUtil.h"

#include <win32/Time.h>

#include <mutex>

namespace {

// Times are ticks of the chosen clock: the performance counter, or milliseconds from
// timeGetTime when there is no counter.
struct TimerState {
    bool clockChosen = false;
    bool useCounter = false;
    LONGLONG ticksPerSecond = 0;
    LONGLONG baseTime = 0;
    LONGLONG stopTime = 0;
    LONGLONG lastElapsedTime = 0;
    bool stopped = false;
};

TimerState g_timer;
// The main thread and the scene loader thread both use the timer.
std::mutex g_timerLock;

void ChooseClock(TimerState& timer)
{
    LARGE_INTEGER frequency;
    timer.useCounter = QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0;
    timer.ticksPerSecond = timer.useCounter ? frequency.QuadPart : 1000;
    timer.clockChosen = true;
}

LONGLONG ReadClock(const TimerState& timer)
{
    if (!timer.useCounter)
        return timeGetTime();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

float Seconds(const TimerState& timer, LONGLONG ticks)
{
    return static_cast<float>(static_cast<double>(ticks) / static_cast<double>(timer.ticksPerSecond));
}

} // namespace

float DXUtil_Timer(TIMER_COMMAND command)
{
    std::lock_guard guard(g_timerLock);
    TimerState& timer = g_timer;
    if (!timer.clockChosen)
        ChooseClock(timer);

    // While stopped, time stands at the stop time for every command but these two.
    bool frozen = timer.stopTime != 0 && command != TIMER_START && command != TIMER_GETABSOLUTETIME;
    LONGLONG now = frozen ? timer.stopTime : ReadClock(timer);

    switch (command) {
    case TIMER_RESET:
        timer.baseTime = now;
        timer.lastElapsedTime = now;
        timer.stopTime = 0;
        timer.stopped = false;
        return 0.0f;
    case TIMER_START:
        if (timer.stopped)
            timer.baseTime += now - timer.stopTime;
        timer.stopTime = 0;
        timer.lastElapsedTime = now;
        timer.stopped = false;
        return 0.0f;
    case TIMER_STOP:
        timer.stopTime = now;
        timer.lastElapsedTime = now;
        timer.stopped = true;
        return 0.0f;
    case TIMER_ADVANCE:
        timer.stopTime += timer.ticksPerSecond / 10;
        return 0.0f;
    case TIMER_GETABSOLUTETIME:
        return Seconds(timer, now);
    case TIMER_GETAPPTIME:
        return Seconds(timer, now - timer.baseTime);
    case TIMER_GETELAPSEDTIME: {
        LONGLONG elapsed = now - timer.lastElapsedTime;
        timer.lastElapsedTime = now;
        return Seconds(timer, elapsed);
    }
    }
    return -1.0f;
}
