// Earning achievements: the one-at-a-time queue to the platform, the bonus for each confirmed
// achievement, refusals, the rule checks and play without the platform.
#include "online/OnlineFixture.h"

#include "data/Options.h"
#include "data/Records.h"
#include "data/UnlockInfo.h"
#include "net/AchievementsSteam.h"
#include "support/GameSeamFakes.h"

#include <steam/SteamTesting.h>

#include <cstring>
#include <set>
#include <string>

namespace {

// The platform's statistics with refusals chosen by the test; what it accepts goes to the real
// platform client, which queues the confirmations.
class RefusingStats : public ISteamUserStats {
public:
    explicit RefusingStats(ISteamUserStats* real) : m_real(real) {}
    std::set<std::string> refuse;
    int storeRefusals = 0;
    int stores = 0;

    bool RequestCurrentStats() override { return m_real->RequestCurrentStats(); }
    bool GetAchievement(const char* name, bool* achieved) override { return m_real->GetAchievement(name, achieved); }
    bool SetAchievement(const char* name) override { return !refuse.count(name) && m_real->SetAchievement(name); }
    bool ClearAchievement(const char* name) override { return m_real->ClearAchievement(name); }
    const char* GetAchievementDisplayAttribute(const char* name, const char* key) override
    {
        return m_real->GetAchievementDisplayAttribute(name, key);
    }
    bool StoreStats() override
    {
        ++stores;
        if (storeRefusals > 0) {
            --storeRefusals;
            return false;
        }
        return m_real->StoreStats();
    }
    SteamAPICall_t FindOrCreateLeaderboard(const char*, ELeaderboardSortMethod, ELeaderboardDisplayType) override
    {
        return k_uAPICallInvalid;
    }
    const char* GetLeaderboardName(SteamLeaderboard_t) override { return ""; }
    int GetLeaderboardEntryCount(SteamLeaderboard_t) override { return 0; }
    SteamAPICall_t DownloadLeaderboardEntries(SteamLeaderboard_t, ELeaderboardDataRequest, int, int) override
    {
        return k_uAPICallInvalid;
    }
    bool GetDownloadedLeaderboardEntry(SteamLeaderboardEntries_t, int, LeaderboardEntry_t*, int32_t*, int) override
    {
        return false;
    }
    SteamAPICall_t UploadLeaderboardScore(SteamLeaderboard_t, ELeaderboardUploadScoreMethod, int32_t, const int32_t*,
                                          int) override
    {
        return k_uAPICallInvalid;
    }

private:
    ISteamUserStats* m_real;
};

class TestAchievements : public Achievements_Steam {
public:
    void UseStats(ISteamUserStats* stats) { m_pSteamUserStats = stats; }
    bool StoreNeeded() const { return m_bStoreNeeded; }
};

class AchievementQueueTest : public onlinetest::OnlineTest {
protected:
    void SetUp() override
    {
        OnlineTest::SetUp();
        m_savedConfig = GameConfig;
        GameConfig = GameConfigRecord{};
        m_achievements = std::make_unique<TestAchievements>();
        m_achievements->SetSinks(&m_sounds, &m_messages);
    }
    void TearDown() override
    {
        m_achievements.reset();
        GameConfig = m_savedConfig;
        ClearUnlockMenu();
        OnlineTest::TearDown();
    }
    AchievementRecord* Record(int id) { return &g_AchievementRecords[id]; }
    std::vector<int> Achieved() const
    {
        std::vector<int> ids;
        for (const AchievementRecord& r : g_AchievementRecords)
            if (r.achieved)
                ids.push_back(r.id);
        return ids;
    }

    GameConfigRecord m_savedConfig;
    RecordingSounds m_sounds;
    RecordingMessages m_messages;
    std::unique_ptr<TestAchievements> m_achievements;
};

TEST_F(AchievementQueueTest, UnlocksGoOneAtATimeAndEachConfirmationPaysTheBonus)
{
    GameConfig.cubes = 9750;
    m_achievements->Unlock(Record(37));
    m_achievements->Unlock(Record(41));
    m_achievements->Unlock(Record(43));
    EXPECT_EQ(Achieved(), (std::vector<int>{37, 41, 43}));
    EXPECT_EQ(m_achievements->PendingCount(), 3u);
    EXPECT_EQ(std::strlen(Record(37)->time), 19u);  // sent now
    EXPECT_STREQ(Record(41)->time, "");             // waiting its turn
    bool onPlatform = true;
    SteamUserStats()->GetAchievement("ACH_STAT_CLICK_10K", &onPlatform);
    EXPECT_FALSE(onPlatform);

    for (int confirmations = 1; confirmations <= 3; ++confirmations)
        SteamAPI_RunCallbacks();  // each confirmation sends the next
    EXPECT_EQ(m_achievements->PendingCount(), 0u);
    EXPECT_EQ(GameConfig.cubes, kMaxCubes);  // 9750 + 3 x 100, capped
    EXPECT_NE(m_work.Read(kGameConfigFile).find("Count=\"9999\""), std::string::npos);  // kept at once
    EXPECT_EQ(m_sounds.played, (std::vector<int>{12, 12, 12}));
    EXPECT_EQ(m_messages.WithId(MSG_ACHIEVEMENT_STORED).size(), 3u);
    SteamUserStats()->GetAchievement("ACH_STAT_ROTATE_2K", &onPlatform);
    EXPECT_TRUE(onPlatform);
    EXPECT_EQ(std::strlen(Record(43)->time), 19u);
    EXPECT_NE(m_work.Read(kAchievementStateFile).find("IsAchiev=\"1\""), std::string::npos);

    // An achievement already earned costs nothing: no send, no store.
    m_messages.Clear();
    m_achievements->Unlock(Record(37));
    SteamAPI_RunCallbacks();
    EXPECT_TRUE(m_messages.posted.empty());
}

TEST_F(AchievementQueueTest, ARefusedSendNeverHoldsUpTheQueue)
{
    RefusingStats stats(SteamUserStats());
    stats.refuse.insert("ACH_STAT_CLICK_10K");
    m_achievements->UseStats(&stats);
    m_achievements->Unlock(Record(37));
    m_achievements->Unlock(Record(41));  // refused when its turn comes
    m_achievements->Unlock(Record(43));
    SteamAPI_RunCallbacks();
    SteamAPI_RunCallbacks();
    EXPECT_EQ(m_achievements->PendingCount(), 0u);
    EXPECT_TRUE(Record(41)->achieved);  // kept here
    EXPECT_EQ(m_messages.WithId(MSG_ACHIEVEMENT_STORED).size(), 2u);

    // Refused as the first of its queue: nothing changes, so a later check may try again.
    stats.refuse.insert("ACH_STAT_CLEAR_5K");
    m_achievements->Unlock(Record(45));
    EXPECT_FALSE(Record(45)->achieved);
    EXPECT_EQ(m_achievements->PendingCount(), 0u);
}

TEST_F(AchievementQueueTest, AConfirmationOfAnotherAchievementPaysNothing)
{
    m_achievements->Unlock(Record(37));
    UserAchievementStored_t foreign{};
    std::strncpy(foreign.m_rgchAchievementName, "ACH_STAT_STAR_500", sizeof foreign.m_rgchAchievementName - 1);
    m_achievements->OnAchievementStored(&foreign);
    EXPECT_EQ(m_achievements->PendingCount(), 1u);
    EXPECT_TRUE(m_messages.posted.empty());
    SteamAPI_RunCallbacks();  // the real confirmation
    EXPECT_EQ(m_achievements->PendingCount(), 0u);
    EXPECT_EQ(GameConfig.cubes, 100);
}

TEST_F(AchievementQueueTest, ARefusedStoreIsTriedAgainOnTheNextPass)
{
    RefusingStats stats(SteamUserStats());
    stats.storeRefusals = 1;
    m_achievements->UseStats(&stats);
    m_achievements->Update();   // asks for the statistics
    SteamAPI_RunCallbacks();    // they arrive
    ASSERT_TRUE(m_achievements->IsStatsReceived());
    m_achievements->Unlock(Record(37));  // its store is refused
    EXPECT_EQ(stats.stores, 1);
    EXPECT_TRUE(m_achievements->StoreNeeded());
    m_achievements->Update();
    EXPECT_EQ(stats.stores, 2);
    EXPECT_FALSE(m_achievements->StoreNeeded());
    m_achievements->Update();
    EXPECT_EQ(stats.stores, 2);  // nothing more wanted
}

TEST_F(AchievementQueueTest, WithoutThePlatformAchievementsAreKeptHereWithoutBonus)
{
    SteamAPI_Shutdown();
    TestAchievements offline;
    offline.SetSinks(&m_sounds, &m_messages);
    offline.Unlock(Record(55));
    EXPECT_TRUE(Record(55)->achieved);
    EXPECT_EQ(std::strlen(Record(55)->time), 19u);
    EXPECT_EQ(GameConfig.cubes, 0);
    EXPECT_TRUE(m_messages.posted.empty());
    EXPECT_NE(m_work.Read(kAchievementStateFile).find("IsAchiev=\"1\""), std::string::npos);
}

// The play-record counters, cubes and options against their thresholds.
TEST_F(AchievementQueueTest, TheRuleChecksEarnTheRecordsTheirThresholdsName)
{
    SteamAPI_Shutdown();  // kept locally: the check results show at once
    struct Case {
        const char* what;
        const char* counter;
        int value;
        int cubes;
        int battleWins, battleStack;
        std::vector<int> expect;
    };
    const Case cases[] = {
        {"play time short of ten hours", "PlayTime", 35999, 0, 0, 0, {70}},
        {"ten hours", "PlayTime", 36000, 0, 0, 0, {39, 70}},
        {"both stages of a counter", "Chain", 50000, 0, 0, 0, {51, 52, 70}},
        {"cubes", "Excute", 0, 9000, 0, 0, {55, 56, 70}},
        {"99 battle self-wins", "Excute", 0, 0, 90, 9, {2, 70}},
        {"100 battle self-wins", "Excute", 0, 0, 60, 40, {2, 3, 70}},
        {"9 battle self-wins", "Excute", 0, 0, 4, 5, {70}},
    };
    TiXmlElement player("Player");
    TiXmlElement* savedPlayer = PlayRecord.player;
    PlayRecord.player = &player;
    ClearUnlockMenu();  // no unlock lists at all counts as everything unlocked
    for (const Case& c : cases) {
        for (AchievementRecord& r : g_AchievementRecords)
            r.achieved = false;
        TestAchievements checks;
        GameConfig = GameConfigRecord{};
        GameConfig.cubes = c.cubes;
        GameConfig.selfWinBattle = c.battleWins;
        GameConfig.selfWinStackBattle = c.battleStack;
        GameConfig.showBattleTutorial = 1;  // keeps the tutorial record out of the way...
        player.SetAttribute(c.counter, c.value);
        checks.CheckStatAchievements();
        GameConfig.showBattleTutorial = 0;  // ...until the unlock checks, which earn it
        checks.CheckUnlockAchievements();
        std::vector<int> expect = c.expect;
        expect.insert(expect.begin(), {65, 66, 67, 68});
        std::sort(expect.begin(), expect.end());
        EXPECT_EQ(Achieved(), expect) << c.what;
        player.RemoveAttribute(c.counter);
    }
    PlayRecord.player = savedPlayer;
}

TEST_F(AchievementQueueTest, UnlockListsCountOnlyWhenEveryEntryIsUnlocked)
{
    SteamAPI_Shutdown();
    m_work.Write(kUnlockMenuFile, "<UnlockMenu>"
                                  "<Puzzle><UnlockInfo BtnName=\"a\" UnlockPic=\"p\" CubePic=\"c\" IsUnlock=\"1\"/><UnlockInfo BtnName=\"b\" UnlockPic=\"p\" CubePic=\"c\" IsUnlock=\"0\"/></Puzzle>"
                                  "<Battle><UnlockInfo BtnName=\"c\" UnlockPic=\"p\" CubePic=\"c\" IsUnlock=\"1\"/></Battle>"
                                  "<BattleGeek><UnlockInfo BtnName=\"d\" UnlockPic=\"p\" CubePic=\"c\" IsUnlock=\"1\"/></BattleGeek>"
                                  "<Push><UnlockInfo BtnName=\"e\" UnlockPic=\"p\" CubePic=\"c\" IsUnlock=\"1\"/></Push>"
                                  "<PushGeek><UnlockInfo BtnName=\"f\" UnlockPic=\"p\" CubePic=\"c\" IsUnlock=\"0\"/></PushGeek>"
                                  "</UnlockMenu>");
    ClearUnlockMenu();
    ASSERT_EQ(LoadUnlockMenu(), 1);
    GameConfig.showBattleTutorial = GameConfig.showIQTutorial = 1;
    GameConfig.skin2Unlocked = GameConfig.skin3Unlocked = 1;
    TestAchievements checks;
    checks.CheckUnlockAchievements();
    EXPECT_EQ(Achieved(), (std::vector<int>{66, 68, 69}));

    g_nStageChallengeCleared = 9;
    checks.CheckPushUnlock();
    EXPECT_FALSE(Record(62)->achieved);
    g_nStageChallengeCleared = 10;
    checks.CheckPushUnlock();
    EXPECT_TRUE(Record(62)->achieved);
    g_nStageChallengeCleared = 0;
}

} // namespace
