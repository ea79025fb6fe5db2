// User statistics: achievements per profile with their stored callbacks, and leaderboards found
// by name.
#include "SteamFixture.h"

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using steamtest::SteamClientTest;

struct StatsListener {
    StatsListener()
        : received(this, &StatsListener::OnReceived), stored(this, &StatsListener::OnStored),
          achievement(this, &StatsListener::OnAchievement)
    {
    }
    void OnReceived(UserStatsReceived_t* r) { events.push_back("received " + std::to_string(r->m_nGameID) + " " + std::to_string(r->m_eResult)); }
    void OnStored(UserStatsStored_t* r) { events.push_back("stored " + std::to_string(r->m_eResult)); }
    void OnAchievement(UserAchievementStored_t* r) { events.push_back(std::string("achievement ") + r->m_rgchAchievementName); }
    CCallback<StatsListener, UserStatsReceived_t> received;
    CCallback<StatsListener, UserStatsStored_t> stored;
    CCallback<StatsListener, UserAchievementStored_t> achievement;
    std::vector<std::string> events;
};

TEST_F(SteamClientTest, AchievementsAreConfirmedOneByOneAndKeptInTheProfile)
{
    StatsListener listener;
    ISteamUserStats* stats = SteamUserStats();
    ASSERT_NE(stats, nullptr);
    ASSERT_TRUE(stats->RequestCurrentStats());
    EXPECT_TRUE(stats->SetAchievement("ACH_ONE"));
    EXPECT_TRUE(stats->SetAchievement("ACH_TWO"));
    EXPECT_TRUE(stats->StoreStats());
    EXPECT_TRUE(listener.events.empty());
    SteamAPI_RunCallbacks();
    std::string gameId = std::to_string(SteamUtils()->GetAppID() & 0xFFFFFF);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"received " + gameId + " 1", "achievement ACH_ONE",
                                                         "achievement ACH_TWO", "stored 1"}));

    EXPECT_TRUE(stats->ClearAchievement("ACH_TWO"));
    StartIn(m_profile.Str());
    stats = SteamUserStats();
    bool achieved = false;
    EXPECT_TRUE(stats->GetAchievement("ACH_ONE", &achieved));
    EXPECT_TRUE(achieved);
    EXPECT_TRUE(stats->GetAchievement("ACH_TWO", &achieved));
    EXPECT_FALSE(achieved);
    EXPECT_STREQ(stats->GetAchievementDisplayAttribute("ACH_ONE", "name"), "ACH_ONE");
    EXPECT_STREQ(stats->GetAchievementDisplayAttribute("ACH_ONE", "desc"), "");
}

TEST_F(SteamClientTest, AchievementNamesThatAreNotPlainWordsAreRefused)
{
    ISteamUserStats* stats = SteamUserStats();
    bool achieved = true;
    const std::string tooLong(128, 'A');
    for (const char* name : {"", "ACH ONE", "../x", tooLong.c_str()}) {
        EXPECT_FALSE(stats->SetAchievement(name)) << name;
        EXPECT_FALSE(stats->GetAchievement(name, &achieved)) << name;
    }
    EXPECT_FALSE(stats->SetAchievement(nullptr));
    StatsListener listener;
    SteamAPI_RunCallbacks();
    EXPECT_TRUE(listener.events.empty());
}

// Board calls are answered by a worker thread: runs the callbacks until `done`, for at most 2 s.
bool PumpUntil(const std::function<bool()>& done)
{
    for (int round = 0; round < 400 && !done(); ++round) {
        SteamAPI_RunCallbacks();
        if (!done())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

struct BoardWaiter {
    void OnFound(LeaderboardFindResult_t* r, bool ioFailure) { found.push_back(ioFailure ? 0 : r->m_hSteamLeaderboard); }
    void OnScores(LeaderboardScoresDownloaded_t* r, bool ioFailure) { counts.push_back(ioFailure ? -1 : r->m_cEntryCount); }
    std::vector<SteamLeaderboard_t> found;
    std::vector<int> counts;
};

TEST_F(SteamClientTest, LeaderboardsAreFoundOrCreatedByName)
{
    ISteamUserStats* stats = SteamUserStats();
    BoardWaiter waiter;
    CCallResult<BoardWaiter, LeaderboardFindResult_t> find;
    find.Set(stats->FindOrCreateLeaderboard("Battle Ranking", k_ELeaderboardSortMethodDescending,
                                            k_ELeaderboardDisplayTypeNumeric),
             &waiter, &BoardWaiter::OnFound);
    ASSERT_TRUE(PumpUntil([&] { return waiter.found.size() == 1; }));
    find.Set(stats->FindOrCreateLeaderboard("Battle Ranking", k_ELeaderboardSortMethodDescending,
                                            k_ELeaderboardDisplayTypeNumeric),
             &waiter, &BoardWaiter::OnFound);
    ASSERT_TRUE(PumpUntil([&] { return waiter.found.size() == 2; }));
    ASSERT_EQ(waiter.found.size(), 2u);
    EXPECT_NE(waiter.found[0], 0u);
    EXPECT_EQ(waiter.found[0], waiter.found[1]);
    EXPECT_STREQ(stats->GetLeaderboardName(waiter.found[0]), "Battle Ranking");
    EXPECT_STREQ(stats->GetLeaderboardName(9999), "");

    CCallResult<BoardWaiter, LeaderboardScoresDownloaded_t> scores;
    scores.Set(stats->DownloadLeaderboardEntries(waiter.found[0], k_ELeaderboardDataRequestGlobalAroundUser, 0, 1),
               &waiter, &BoardWaiter::OnScores);
    EXPECT_EQ(stats->DownloadLeaderboardEntries(9999, k_ELeaderboardDataRequestGlobal, 1, 10), k_uAPICallInvalid);
    PumpUntil([&] { return !waiter.counts.empty(); });
    EXPECT_EQ(waiter.counts, (std::vector<int>{0}));
}

TEST_F(SteamClientTest, OnlineEntryPointsFailOutsideALobbyOrServer)
{
    ASSERT_NE(SteamMatchmaking(), nullptr);
    EXPECT_FALSE(SteamMatchmaking()->SetLobbyData(CSteamID(), "game_starting", "0"));
    EXPECT_STREQ(SteamMatchmaking()->GetLobbyData(CSteamID(42), "name"), "");
    EXPECT_FALSE(SteamNetworking()->DestroySocket(0, true));
    EXPECT_EQ(SteamGameServer(), nullptr);
    EXPECT_EQ(SteamGameServerNetworking(), nullptr);
    EXPECT_EQ(SteamMasterServerUpdater(), nullptr);
}

TEST_F(SteamClientTest, EveryGameServerStartGivesAFreshId)
{
    ASSERT_TRUE(SteamGameServer_Init(0, 8766, 27015, 0, 27016, 3, "vanteo", "1.0.0.0"));
    ASSERT_NE(SteamGameServer(), nullptr);
    CSteamID first = SteamGameServer()->GetSteamID();
    ASSERT_TRUE(SteamGameServer_Init(0, 8766, 27015, 0, 27016, 3, "vanteo", "1.0.0.0"));
    EXPECT_TRUE(first.IsValid());
    EXPECT_NE(SteamGameServer()->GetSteamID(), first);
    EXPECT_FALSE(SteamGameServer()->BSecure());
    EXPECT_NE(SteamMasterServerUpdater(), nullptr);
}

} // namespace
