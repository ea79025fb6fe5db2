// Events and interlocked counters that the sound stand-in and its callers rely on.
#include "win32/Sync.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(SyncTest, AutoResetEventReleasesOneWaitThenResets)
{
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    SetEvent(event);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);

    HANDLE manual = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    ResetEvent(manual);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(event));
    EXPECT_TRUE(CloseHandle(manual));
    // A closed handle is refused, not dereferenced.
    EXPECT_FALSE(SetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
}

TEST(SyncTest, WaitForAnyReportsTheLowestSignalledEvent)
{
    HANDLE events[2] = {CreateEventW(nullptr, FALSE, FALSE, nullptr), CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::thread setter([&] { SetEvent(events[1]); });
    EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, INFINITE), WAIT_OBJECT_0 + 1);
    setter.join();

    SetEvent(events[0]);
    SetEvent(events[1]);
    EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 20), WAIT_TIMEOUT);

    SetEvent(events[1]);
    EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 0), WAIT_TIMEOUT);
    SetEvent(events[0]);
    EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(events[1], 0), WAIT_TIMEOUT);
    CloseHandle(events[0]);
    CloseHandle(events[1]);
}

TEST(SyncTest, CriticalSectionAndCountersAcrossThreads)
{
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    volatile LONG counter = 0;
    long plain = 0;
    auto work = [&] {
        for (int i = 0; i < 10000; ++i) {
            InterlockedIncrement(&counter);
            EnterCriticalSection(&section);
            EnterCriticalSection(&section); // the owner may enter again
            ++plain;
            LeaveCriticalSection(&section);
            LeaveCriticalSection(&section);
        }
    };
    std::thread a(work);
    std::thread b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 20000);
    EXPECT_EQ(plain, 20000);
    EXPECT_EQ(InterlockedDecrement(&counter), 19999);
    DeleteCriticalSection(&section);
}

} // namespace
