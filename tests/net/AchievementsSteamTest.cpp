// The achievements object: its two files, the one fetch of the platform's state after log-on,
// and "-a" clearing every achievement when the state arrives.
#include "online/OnlineFixture.h"

#include "net/AchievementsSteam.h"

#include <string>

namespace {

using onlinetest::OnlineTest;

std::string StateXml(int count, const char* firstTime)
{
    std::string xml = "<Achievements>";
    for (int i = 0; i < count; ++i)
        xml += std::string("<Achiev IsAchiev=\"") + (i % 2 ? "1" : "0") + "\" time=\"" + (i == 0 ? firstTime : "") + "\"/>";
    return xml + "</Achievements>";
}

class AchievementsSteamTest : public OnlineTest {};

TEST_F(AchievementsSteamTest, LoadFilesReadsStatesTextsAndOrder)
{
    m_work.Write(kAchievementStateFile, StateXml(74, "2010.12.21 09:05:07"));
    m_work.Write(kAchievementDescFile, "<Achievements>"
                                       "<Achiev steamid=\"3\" desc1=\"Win ten\" desc2=\"in a row\"/>"
                                       "<Achiev steamid=\"99\" desc1=\"out of range\"/>"
                                       "<Achiev steamid=\"0\" desc1=\"First\"/>"
                                       "</Achievements>");
    g_AchievementRecords[74].achieved = true;
    Achievements_Steam achievements;
    EXPECT_EQ(achievements.LoadFiles(), 1);
    EXPECT_EQ(achievements.LoadFiles(), 0);  // once per run

    EXPECT_FALSE(g_AchievementRecords[0].achieved);
    EXPECT_STREQ(g_AchievementRecords[0].time, "2010.12.21 09:05:07");
    EXPECT_TRUE(g_AchievementRecords[1].achieved);
    EXPECT_EQ(std::string(g_AchievementRecords[1].time).size(), 19u);  // empty time: the time of loading
    EXPECT_TRUE(g_AchievementRecords[74].achieved);                     // no element: left as it was
    EXPECT_STREQ(g_AchievementRecords[3].desc1, "Win ten");
    EXPECT_STREQ(g_AchievementRecords[3].desc2, "in a row");
    EXPECT_STREQ(g_AchievementRecords[0].desc2, "");
    EXPECT_EQ(g_nAchievementOrder[0], 3);
    EXPECT_EQ(g_nAchievementOrder[2], 0);
    EXPECT_EQ(achievements.CountUnlocked(), 38);
}

TEST_F(AchievementsSteamTest, MissingStateFileLeavesTheDescriptionsUnread)
{
    m_work.Write(kAchievementDescFile, "<Achievements><Achiev steamid=\"0\" desc1=\"First\"/></Achievements>");
    Achievements_Steam achievements;
    EXPECT_EQ(achievements.LoadFiles(), 0);
    EXPECT_STREQ(g_AchievementRecords[0].desc1, "");

    m_work.Write(kAchievementStateFile, "<Other/>");
    EXPECT_EQ(achievements.LoadFiles(), 0);
    EXPECT_STREQ(g_AchievementRecords[0].desc1, "");
}

TEST_F(AchievementsSteamTest, PlatformStateReplacesTheLocalFlagsOnceStatsArrive)
{
    SteamUserStats()->SetAchievement("ACH_STAT_EXCUTE_100");
    SteamAPI_RunCallbacks();
    g_AchievementRecords[0].achieved = true;  // the local file said so; the platform did not

    Achievements_Steam achievements;
    achievements.Update();
    EXPECT_TRUE(achievements.IsStatsRequested());
    EXPECT_FALSE(achievements.IsStatsReceived());
    SteamAPI_RunCallbacks();
    EXPECT_TRUE(achievements.IsStatsReceived());
    EXPECT_TRUE(g_AchievementRecords[37].achieved);
    EXPECT_FALSE(g_AchievementRecords[0].achieved);
    EXPECT_STREQ(g_AchievementRecords[37].name, "ACH_STAT_EXCUTE_100");
}

TEST_F(AchievementsSteamTest, ClearSwitchClearsEveryAchievementOnThePlatform)
{
    SteamUserStats()->SetAchievement("ACH_STAT_EXCUTE_100");
    SteamAPI_RunCallbacks();
    g_bClearAchievements = 1;
    {
        Achievements_Steam achievements;
        achievements.Update();
        SteamAPI_RunCallbacks();
    }
    g_bClearAchievements = 0;
    EXPECT_FALSE(g_AchievementRecords[37].achieved);
    bool achieved = true;
    EXPECT_TRUE(SteamUserStats()->GetAchievement("ACH_STAT_EXCUTE_100", &achieved));
    EXPECT_FALSE(achieved);
}

TEST_F(AchievementsSteamTest, WithoutThePlatformTheStateIsNeverRequested)
{
    SteamAPI_Shutdown();
    Achievements_Steam achievements;
    achievements.Update();
    achievements.Update();
    EXPECT_TRUE(achievements.IsStatsRequested());
    EXPECT_FALSE(achievements.IsStatsReceived());
}

} // namespace
