// Callbacks and call results: delivered only inside their own pump, to the object bound to the
// call, and never after the binding moved to another call.
#include "SteamFixture.h"

#include <chrono>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using steamtest::SteamClientTest;

struct Result {
    static constexpr int k_iCallback = 9001;
    int value;
};

struct Waiter {
    void OnResult(Result* result, bool ioFailure)
    {
        seen.push_back(ioFailure ? -result->value : result->value);
    }
    void OnRecord(Result* result) { seen.push_back(result->value); }
    std::vector<int> seen;
};

void QueueResultOf(SteamAPICall_t call, int value, bool ioFailure = false)
{
    Result record{value};
    platform::steam::QueueCallResult(call, Result::k_iCallback, &record, sizeof record, ioFailure);
}

TEST_F(SteamClientTest, CallResultReachesOnlyTheObjectBoundToItsCall)
{
    Waiter waiter;
    CCallResult<Waiter, Result> slot;
    SteamAPICall_t first = platform::steam::NewCall();
    SteamAPICall_t second = platform::steam::NewCall();
    slot.Set(first, &waiter, &Waiter::OnResult);
    QueueResultOf(first, 1);
    EXPECT_TRUE(waiter.seen.empty());
    SteamAPI_RunCallbacks();
    EXPECT_EQ(waiter.seen, (std::vector<int>{1}));
    EXPECT_FALSE(slot.IsActive());

    // Binding the slot to a new call drops the pending one.
    slot.Set(first, &waiter, &Waiter::OnResult);
    slot.Set(second, &waiter, &Waiter::OnResult);
    QueueResultOf(first, 2);
    QueueResultOf(second, 3, true);
    SteamAPI_RunCallbacks();
    EXPECT_EQ(waiter.seen, (std::vector<int>{1, -3}));

    // A zero call is never registered, and a result nobody waits for goes nowhere.
    slot.Set(k_uAPICallInvalid, &waiter, &Waiter::OnResult);
    EXPECT_FALSE(slot.IsActive());
    QueueResultOf(k_uAPICallInvalid, 4);
    SteamAPI_RunCallbacks();
    EXPECT_EQ(waiter.seen.size(), 2u);
}

TEST_F(SteamClientTest, DestroyedCallResultIsNeverCalled)
{
    Waiter waiter;
    SteamAPICall_t call = platform::steam::NewCall();
    {
        CCallResult<Waiter, Result> slot;
        slot.Set(call, &waiter, &Waiter::OnResult);
    }
    QueueResultOf(call, 5);
    SteamAPI_RunCallbacks();
    EXPECT_TRUE(waiter.seen.empty());
}

TEST_F(SteamClientTest, GameServerCallbacksRunOnlyInTheGameServerPump)
{
    Waiter client, server;
    CCallback<Waiter, Result> clientCallback(&client, &Waiter::OnRecord);
    CCallback<Waiter, Result, true> serverCallback(&server, &Waiter::OnRecord);
    Result record{6};
    platform::steam::QueueGameServerCallback(Result::k_iCallback, &record, sizeof record);
    SteamAPI_RunCallbacks();
    EXPECT_TRUE(server.seen.empty());
    SteamGameServer_RunCallbacks();
    EXPECT_EQ(server.seen, (std::vector<int>{6}));
    EXPECT_TRUE(client.seen.empty());

    record.value = 7;
    platform::steam::QueueCallback(Result::k_iCallback, &record, sizeof record);
    SteamGameServer_RunCallbacks();
    EXPECT_TRUE(client.seen.empty());
    SteamAPI_RunCallbacks();
    EXPECT_EQ(client.seen, (std::vector<int>{7}));
    EXPECT_EQ(server.seen.size(), 1u);
}

// A callback that queues another one sees it only in the next pump.
struct Requeuer {
    void OnRecord(Result* result)
    {
        seen.push_back(result->value);
        if (result->value < 3) {
            Result next{result->value + 1};
            platform::steam::QueueCallback(Result::k_iCallback, &next, sizeof next);
        }
    }
    std::vector<int> seen;
};

TEST_F(SteamClientTest, CallbacksQueuedDuringThePumpWaitForTheNextOne)
{
    Requeuer requeuer;
    CCallback<Requeuer, Result> callback(&requeuer, &Requeuer::OnRecord);
    Result record{1};
    platform::steam::QueueCallback(Result::k_iCallback, &record, sizeof record);
    SteamAPI_RunCallbacks();
    EXPECT_EQ(requeuer.seen, (std::vector<int>{1}));
    SteamAPI_RunCallbacks();
    SteamAPI_RunCallbacks();
    EXPECT_EQ(requeuer.seen, (std::vector<int>{1, 2, 3}));
}

// A handler that takes a lock of the game's while another thread, holding that lock, calls the
// platform (as the achievements do when a scene loading on its own thread unlocks one): the
// pump must not hold the platform's own lock while the handler runs, or the two wait for ever.
struct LockingHandler {
    void OnRecord(Result*)
    {
        std::lock_guard guard(*game);
        ++runs;
    }
    std::mutex* game = nullptr;
    int runs = 0;
};

TEST_F(SteamClientTest, AHandlerMayWaitForAThreadThatIsCallingThePlatform)
{
    std::mutex game;
    LockingHandler handler{&game};
    CCallback<LockingHandler, Result> callback(&handler, &LockingHandler::OnRecord);
    Result record{1};
    platform::steam::QueueCallback(Result::k_iCallback, &record, sizeof record);

    std::promise<void> holding;
    std::promise<void> released;
    std::thread other([&] {
        std::unique_lock guard(game);
        holding.set_value();
        // Long enough for the pump to reach the handler and wait for the game's lock.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        platform::steam::NewCall();
        guard.unlock();
        released.set_value();
    });
    holding.get_future().wait();
    auto pumped = std::async(std::launch::async, [] { SteamAPI_RunCallbacks(); });
    bool finished = pumped.wait_for(std::chrono::seconds(10)) == std::future_status::ready &&
                    released.get_future().wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    if (!finished) {
        // The two threads wait on each other: nothing can end them, so end the run here.
        ADD_FAILURE() << "the pump and the other thread wait on each other";
        std::_Exit(1);
    }
    other.join();
    EXPECT_EQ(handler.runs, 1);
}

} // namespace
