// Windows events, critical sections and interlocked counters over the C++ standard library.
// Implemented: CreateEventW (manual or auto reset, unnamed), SetEvent, ResetEvent,
//              WaitForSingleObject and WaitForMultipleObjects on events (wait for any or all,
//              with a time-out in real milliseconds), CloseHandle for events;
//              critical sections over std::recursive_mutex (the owner may enter again);
//              InterlockedIncrement, InterlockedDecrement.
// Left out:    named events and security attributes (a name logs once and is ignored), waits
//              on handles other than events (they fail with WAIT_FAILED), spin counts.
#pragma once

#include "win32/Types.h"

#include <mutex>

constexpr DWORD WAIT_OBJECT_0 = 0x00000000;
constexpr DWORD WAIT_ABANDONED = 0x00000080;
constexpr DWORD WAIT_TIMEOUT = 0x00000102;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

// Returns null on failure. The security argument is ignored.
HANDLE CreateEventW(void* security, BOOL manualReset, BOOL initialState, const wchar_t* name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// Waits on events. An auto-reset event that releases a wait is reset by it. Waiting for any
// returns WAIT_OBJECT_0 + the lowest index of a signalled event; waiting for all returns
// WAIT_OBJECT_0 once every event is signalled at the same time.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);

// Closes an event; other handles are refused (FALSE, logged once).
BOOL CloseHandle(HANDLE handle);

// A critical section is ready once constructed; Initialize and Delete exist for the calling code's
// shape and change nothing, so a section may be initialised again after it was deleted.
struct CRITICAL_SECTION {
    std::recursive_mutex mutex;
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

void InitializeCriticalSection(CRITICAL_SECTION* section);
void DeleteCriticalSection(CRITICAL_SECTION* section);
void EnterCriticalSection(CRITICAL_SECTION* section);
BOOL TryEnterCriticalSection(CRITICAL_SECTION* section);
void LeaveCriticalSection(CRITICAL_SECTION* section);

// Atomic, sequentially consistent; return the new value.
LONG InterlockedIncrement(volatile LONG* value);
LONG InterlockedDecrement(volatile LONG* value);
