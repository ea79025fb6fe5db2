// Events, critical sections and interlocked counters; see win32/Sync.h for what is left out.
// All events share one lock and one condition variable: waits are few and short-lived, and a
// shared condition makes waiting for several events at once simple and free of lost wake-ups.
#include "win32/Sync.h"
#include "win32/Debug.h"

#include <chrono>
#include <condition_variable>
#include <set>
#include <vector>

namespace {

struct EventObject {
    bool manualReset;
    bool signalled;
};

std::mutex g_eventLock;
std::condition_variable g_eventChanged;
// Live events, so that a stale or foreign handle is refused instead of dereferenced.
std::set<EventObject*> g_events;

EventObject* FindEvent(HANDLE handle)
{
    auto* event = static_cast<EventObject*>(handle);
    return g_events.count(event) ? event : nullptr;
}

// Under g_eventLock: the index of the event that releases the wait, or -1 while it must go on.
int TryRelease(const std::vector<EventObject*>& events, bool waitAll)
{
    if (waitAll) {
        for (EventObject* event : events)
            if (!event->signalled)
                return -1;
        for (EventObject* event : events)
            if (!event->manualReset)
                event->signalled = false;
        return 0;
    }
    for (size_t i = 0; i < events.size(); ++i) {
        if (events[i]->signalled) {
            if (!events[i]->manualReset)
                events[i]->signalled = false;
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace

HANDLE CreateEventW(void* /*security*/, BOOL manualReset, BOOL initialState, const wchar_t* name)
{
    if (name)
        platform::LogOnce("CreateEventW: named events are not shared between processes; the name is ignored");
    auto* event = new EventObject{manualReset != FALSE, initialState != FALSE};
    std::lock_guard lock(g_eventLock);
    g_events.insert(event);
    return event;
}

BOOL SetEvent(HANDLE handle)
{
    {
        std::lock_guard lock(g_eventLock);
        EventObject* event = FindEvent(handle);
        if (!event)
            return FALSE;
        event->signalled = true;
    }
    g_eventChanged.notify_all();
    return TRUE;
}

BOOL ResetEvent(HANDLE handle)
{
    std::lock_guard lock(g_eventLock);
    EventObject* event = FindEvent(handle);
    if (!event)
        return FALSE;
    event->signalled = false;
    return TRUE;
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds)
{
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles)
        return WAIT_FAILED;
    std::unique_lock lock(g_eventLock);
    std::vector<EventObject*> events;
    for (DWORD i = 0; i < count; ++i) {
        EventObject* event = FindEvent(handles[i]);
        if (!event) {
            platform::LogOnce("WaitForMultipleObjects: only events can be waited on");
            return WAIT_FAILED;
        }
        events.push_back(event);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        // A handle closed by another thread during the wait ends it.
        for (EventObject* event : events)
            if (!g_events.count(event))
                return WAIT_FAILED;
        int released = TryRelease(events, waitAll != FALSE);
        if (released >= 0)
            return WAIT_OBJECT_0 + static_cast<DWORD>(released);
        if (milliseconds == INFINITE)
            g_eventChanged.wait(lock);
        else if (g_eventChanged.wait_until(lock, deadline) == std::cv_status::timeout) {
            released = TryRelease(events, waitAll != FALSE);
            return released >= 0 ? WAIT_OBJECT_0 + static_cast<DWORD>(released) : WAIT_TIMEOUT;
        }
    }
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

BOOL CloseHandle(HANDLE handle)
{
    EventObject* event = nullptr;
    {
        std::lock_guard lock(g_eventLock);
        event = FindEvent(handle);
        if (!event) {
            platform::LogOnce("CloseHandle: only event handles can be closed");
            return FALSE;
        }
        g_events.erase(event);
    }
    g_eventChanged.notify_all();
    delete event;
    return TRUE;
}

void InitializeCriticalSection(CRITICAL_SECTION*) {}
void DeleteCriticalSection(CRITICAL_SECTION*) {}
void EnterCriticalSection(CRITICAL_SECTION* section) { section->mutex.lock(); }
BOOL TryEnterCriticalSection(CRITICAL_SECTION* section) { return section->mutex.try_lock() ? TRUE : FALSE; }
void LeaveCriticalSection(CRITICAL_SECTION* section) { section->mutex.unlock(); }

LONG InterlockedIncrement(volatile LONG* value) { return __atomic_add_fetch(value, 1, __ATOMIC_SEQ_CST); }
LONG InterlockedDecrement(volatile LONG* value) { return __atomic_sub_fetch(value, 1, __ATOMIC_SEQ_CST); }
