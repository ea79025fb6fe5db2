// The point challenge headless: the time events fired once each across frames of any length,
// the countdown frozen by the pause, time over, the bonus time and its automatic play that
// always ends, the milestones and their signs, the end with ranking, cubes and leaderboard best,
// and a score that saturates instead of wrapping.
#include "ModeSceneFixture.h"

#include "data/ModeConfig.h"
#include "menus/PopUpResult.h"
#include "modes/ModeSceneKit.h"
#include "modes/VanteoBlockMap_Point.h"
#include "modes/VanteoScene_PointChallenge.h"
#include "engine/SoundServer.h"

#include <win32/VirtualKeys.h>

#include <climits>
#include <cmath>
#include <map>

using namespace modetest;

namespace {

using S = VanteoScene_PointChallenge;

constexpr const char* kConfig =
    "<VanteoConfig><RandomSeed Seed=\"11\"/><StageList>"
    "<Stage name=\"4X4\" XGrid=\"4\" YGrid=\"4\"/><Stage name=\"6X6\" XGrid=\"6\" YGrid=\"6\"/>"
    "<Stage name=\"8X8\" XGrid=\"8\" YGrid=\"8\"><BlockColorRate A=\"30\" B=\"30\" C=\"30\"/></Stage>"
    "</StageList><PointChallengeMultiRate T1=\"1\" T2=\"5\"><Muiti value=\"1\"/><Muiti value=\"2\"/>"
    "</PointChallengeMultiRate></VanteoConfig>";

class PointChallengeSceneTest : public ModeSceneTest<> {
protected:
    void SetUp() override
    {
        std::string windows = Wnd("Wnd_PuzzleArea", 300, 100, 360, 360) + Wnd("Wnd_ComboArea", 300, 100, 360, 360);
        for (const char* name : {"Anibtn_stage_reset", "Pic_warning", "Pic_effect_highlight_Large",
                                 "Pic_effect_highlight_small", "Wnd_title_stage_hard", "Wnd_title_stage_easy",
                                 "Label_countdown", "Label_countdown_2", "Pic_point_timeover", "Pic_time_countdown",
                                 "Pic_time_countdown_2", "Anibtn_point_reset", "Anibtn_menu", "Anibtn_rotate_L",
                                 "Anibtn_rotate_R", "Wnd_ready_go"})
            windows += Wnd(name, 10, 10, 18, 18);
        windows += Wnd("Wnd_point_best", 0, 0, 9, 9, Wnd("Pic_point_maxscore_1", 0, 0, 9, 9)) +
                   Wnd("Wnd_point_best_off", 0, 0, 9, 9) + Wnd("WndEx_point_timegauge", 40, 700, 200, 20);
        windows += Row("Pic_point_score_%d", 7, 20, 50) + Row("Pic_point_bestscore_%d", 7, 20, 80) +
                   Row("Pic_point_time_%d", 2, 20, 110) + Row("Pic_point_sign_%d", 3, 20, 140) +
                   Row("Pic_gauge_alarm_%d", 6, 20, 170);
        AddLayout("layout/Point.xml", Layout("Wnd_point_layout", windows));
        AddLayout("layout/Back.xml", Layout("Wnd_back", Wnd("Pic_puzzle_place", 0, 0, 9, 9) +
                                                            Wnd("Wnd_point", 0, 0, 9, 9, Wnd("Pic_num_point", 0, 0, 9, 9)) +
                                                            Wnd("Wnd_playtime", 0, 0, 9, 9)));
        using enginetest::animxml::FileXml;
        using enginetest::animxml::SceneXml;
        // The introduction lasts 0.2 s; the bonus-time announcement, started hidden at 60 s, 5 s.
        data.Write("anim/point_start.xml", FileXml(SceneXml("60secgo", {{0}, {200}})));
        data.Write("anim/point_bonus.xml", FileXml(SceneXml("bonustime", {{0}, {5000}})));
        data.Write("anim/point_signs.xml", FileXml(SceneXml("sign_1", {{0}, {500}}) + SceneXml("sign_2", {{0}, {500}}) +
                                             SceneXml("sign_3", {{0}, {500}})));
        data.Write("PlayData/QuiblyConfig_PointChallenge.xml", kConfig);
        SetUpScene(new VanteoScene_PointChallenge(), {{"LayoutPointChallenge", "Point.xml"},
                                                      {"LayoutPuzzleBack", "Back.xml"},
                                                      {"Effect_ReadyGo", "point_start.xml"},
                                                      {"PointSign", "point_signs.xml"},
                                                      {"PointChal_BounsTime", "point_bonus.xml"}});
    }

    S& Point() { return *static_cast<S*>(scene); }
    void Enter()
    {
        manager->SetFirstScene(kPointChallengeSceneName, 2, 0);
        Run(20, 0.02f);
        ASSERT_EQ(Point().m_nState, kGameStatePlaying);
    }
    bool Shown(const wchar_t* name) { return modekit::IsShown(modekit::Find(Point().m_pBoardWindow, name)); }
    float Clock() { return Point().BoardPlayClock(); }
    // Frames of varied length until the play clock reaches `t`.
    void RunTo(float t)
    {
        const float lengths[] = {0.016f, 0.05f, 0.2f, 0.013f, 0.1f, 0.033f};
        for (int i = 0; Clock() < t && i < 100000; ++i)
            Run(1, std::min(lengths[i % 6], std::max(t - Clock(), 0.001f)));
    }
};

// Each event whose time lies in (from, to] is due, so frames of any length fire every event
// exactly once, and a frame spanning two events fires both.
TEST(PointTimeEventsTest, FramesOfAnyLengthFireEveryEventOnce)
{
    EXPECT_EQ(S::DueTimeEvents(3.9f, 4.0f), (std::vector<float>{4}));
    EXPECT_EQ(S::DueTimeEvents(4.0f, 4.1f), (std::vector<float>{}));
    EXPECT_EQ(S::DueTimeEvents(56.5f, 60.5f), (std::vector<float>{57, 60}));
    EXPECT_EQ(S::DueTimeEvents(0.0f, 100.0f).size(), 10u);
    for (float frame : {0.001f, 0.016f, 0.25f, 0.7f, 3.0f, 7.0f}) {
        std::map<float, int> fired;
        for (float t = 0.0f; t < 70.0f;) {
            float next = t + frame;
            for (float at : S::DueTimeEvents(t, next))
                ++fired[at];
            t = next;
        }
        ASSERT_EQ(fired.size(), 10u) << frame;
        for (const auto& [at, count] : fired)
            EXPECT_EQ(count, 1) << at << " with frames of " << frame;
    }
}

TEST(PointMilestoneTest, LevelsAndSignKindsFollowTheThresholds)
{
    const std::pair<int, int> cases[] = {{0, -1},      {499, -1},     {500, 0},       {999, 0},
                                         {70000, 8},   {99999, 8},    {100000, 9},    {999999, 17},
                                         {1000000, 18}, {5000000, 26}, {INT_MAX, 26}};
    for (const auto& [score, level] : cases)
        EXPECT_EQ(S::MilestoneLevel(score), level) << score;
    EXPECT_EQ(S::SignKind(8), 1);
    EXPECT_EQ(S::SignKind(9), 2);
    EXPECT_EQ(S::SignKind(26), 3);
    EXPECT_EQ(S::RemainingSeconds(0.0f), 60);
    EXPECT_EQ(S::RemainingSeconds(0.5f), 60);
    EXPECT_EQ(S::RemainingSeconds(59.9f), 1);
    EXPECT_EQ(S::RemainingSeconds(60.0f), 0);
}

TEST_F(PointChallengeSceneTest, TheClockRunsThroughItsEventsToTimeOverAndBonusTime)
{
    Enter();
    EXPECT_TRUE(Shown(L"Pic_gauge_alarm_1"));
    EXPECT_TRUE(Shown(L"Pic_time_countdown_2"));
    RunTo(4.05f);
    EXPECT_FALSE(Shown(L"Pic_time_countdown_2"));
    RunTo(10.05f);
    EXPECT_TRUE(Shown(L"Pic_gauge_alarm_2"));
    EXPECT_FALSE(Shown(L"Pic_gauge_alarm_1"));
    RunTo(40.05f);
    EXPECT_TRUE(Shown(L"Pic_gauge_alarm_5"));
    EXPECT_FALSE(Shown(L"Pic_warning"));
    RunTo(50.05f);
    EXPECT_TRUE(Shown(L"Pic_gauge_alarm_6"));
    EXPECT_TRUE(Shown(L"Pic_warning"));
    EXPECT_EQ(Point().m_CountdownDisplay.m_nTarget, 10);
    // Half the gauge is gone... five sixths of it by now.
    EXPECT_NEAR(Point().m_pGauge->GetWidth(), 200.0f * (60.0f - Clock()) / 60.0f, 0.5f);
    RunTo(60.02f);
    EXPECT_EQ(Point().m_nState, kGameStateTimeOver);
    EXPECT_FALSE(Shown(L"Pic_warning"));
    RunTo(62.05f);
    EXPECT_TRUE(Point().m_BonusAnimation.m_bVisible);
    EXPECT_FALSE(Shown(L"Pic_gauge_alarm_6"));
    RunTo(64.05f);
    EXPECT_EQ(Point().m_nState, kGameStateBonusTime);
    // The board waits while the announcement plays: its clock stands still.
    const float clock = Clock();
    Run(5, 0.1f);
    EXPECT_FLOAT_EQ(Clock(), clock);
}

TEST_F(PointChallengeSceneTest, ThePauseFreezesTheCountdown)
{
    Enter();
    RunTo(55.0f);
    Press(VK_ESCAPE);
    ASSERT_EQ(Point().m_nState, kGameStatePaused);
    const float clock = Clock();
    Run(50, 0.1f);
    EXPECT_FLOAT_EQ(Clock(), clock);
    EXPECT_EQ(Point().m_nState, kGameStatePaused);
    Send(MSG_PAUSE_RESUME, {});  // the pause's own resume
    EXPECT_EQ(Point().m_nState, kGameStatePlaying);
    RunTo(60.02f);
    EXPECT_EQ(Point().m_nState, kGameStateTimeOver);
}

TEST_F(PointChallengeSceneTest, TheBonusTimesAutomaticPlayAlwaysEndsTheGame)
{
    Enter();
    RunTo(64.05f);
    ASSERT_EQ(Point().m_nState, kGameStateBonusTime);
    Point().m_nScore = 1000;
    // A board whose automatic play would never report that it is done: the bonus time still
    // ends after its longest.
    Point().m_pBoard->autoPlayTimer = 1e9f;
    for (int i = 0; i < 2000 && Point().m_nState != kGameStateFinished; ++i)
        Run(1, 0.05f);
    EXPECT_EQ(Point().m_nState, kGameStateFinished);
    EXPECT_NEAR(Point().m_fAutoPlaySeconds, S::kMaxAutoPlaySeconds, 0.1f);
    EXPECT_EQ(Point().m_pBoard->frozen, 1);
    // The score display had caught up when the game ended.
    EXPECT_EQ(static_cast<int>(Point().m_ScoreDisplay.m_fShownValue), 1000);
}

TEST_F(PointChallengeSceneTest, MilestonesLightTheirSigns)
{
    Enter();
    Point().m_nScore = 499;
    Run(1, 0.02f);
    EXPECT_FALSE(Point().m_SignAnimation.m_bVisible);
    EXPECT_EQ(Point().m_nMilestoneLevel, -1);
    Point().m_nScore = 500;
    Run(1, 0.02f);
    EXPECT_TRUE(Point().m_SignAnimation.m_bVisible);
    EXPECT_EQ(Point().m_SignAnimation.m_strScene, "sign_1");
    EXPECT_EQ(Point().m_MilestoneDisplay.m_nTarget, 500);
    Point().m_nScore = 100000;
    Run(1, 0.02f);
    EXPECT_EQ(Point().m_SignAnimation.m_strScene, "sign_2");
    EXPECT_EQ(Point().m_nMilestoneLevel, 9);
    // The best follows a score above it.
    EXPECT_EQ(Point().m_nBest, 100000);
}

TEST_F(PointChallengeSceneTest, TheEndRanksTheScoreGivesCubesAndRaisesTheLeaderBoardBest)
{
    Enter();
    Send(MSG_GROUP_CLEARED, {1, 0, 1200, 4, 0, 0, 0, 0});
    Send(MSG_BIG_STAR, {1, 1});
    EXPECT_EQ(Point().m_nScore, 1300);
    Send(MSG_GAME_WIN, {});
    EXPECT_EQ(Point().m_nState, kGameStateFinished);
    const RankEntry* table = FindRankingTable(RANK_POINT, "2");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table[0].score, 1300);
    EXPECT_EQ(GameConfig.cubes, 250);  // first place above the player's own empty places
    EXPECT_EQ(Point().m_pResultWin->m_nShowSound, 66);
    EXPECT_EQ(GetLeaderBoard().m_nBest[LB_POINT], 1300);
    Send(MSG_GAME_WIN, {});  // a second end changes nothing
    EXPECT_EQ(GameConfig.cubes, 250);
    EXPECT_EQ(FindRankingTable(RANK_POINT, "2")[1].score, -1);
}

TEST_F(PointChallengeSceneTest, ALastPlaceEndsWithTheLosePopUp)
{
    for (int score : {900000, 800000, 700000, 600000, 500000})
        InsertRankingScore(RANK_POINT, "2", score, 60);
    Enter();
    EXPECT_EQ(Point().m_nBest, 900000);
    Point().m_nScore = 120000;
    Send(MSG_GAME_WIN, {});
    EXPECT_EQ(Point().m_pResultLose->m_nShowSound, 67);
    EXPECT_EQ(GameConfig.cubes, 1);  // 120000 / 100000
}

TEST_F(PointChallengeSceneTest, TheScoreSaturatesInsteadOfWrapping)
{
    Enter();
    Send(MSG_GROUP_CLEARED, {1, 0, INT_MAX, 4, 0, 0, 0, 0});
    Send(MSG_GROUP_CLEARED, {1, 0, INT_MAX, 4, 0, 0, 0, 0});
    EXPECT_EQ(Point().m_nScore, INT_MAX);
    Run(3, 0.02f);
    EXPECT_EQ(Point().m_ScoreDisplay.m_nTarget, 9999999);  // all that seven digits show
}

// The music drops to half for the last ten seconds and falls silent for the bonus time; the end
// of the game brings it back, and so does leaving the game in its last seconds.
TEST_F(PointChallengeSceneTest, TheMusicDucksForTheLastSecondsAndAlwaysComesBack)
{
    DXSoundServer server;
    server.SetMusicVolume(0.8f);
    Enter();
    RunTo(50.05f);
    EXPECT_FLOAT_EQ(server.GetMusicVolume(), 0.4f);
    RunTo(62.05f);
    EXPECT_FLOAT_EQ(server.GetMusicVolume(), 0.0f);
    Send(MSG_GAME_WIN, {});
    EXPECT_FLOAT_EQ(server.GetMusicVolume(), 0.8f);

    Send(MSG_RESULT_RETRY, {});
    Run(20, 0.02f);
    RunTo(51.0f);
    EXPECT_FLOAT_EQ(server.GetMusicVolume(), 0.4f);
    Send(MSG_PAUSE_QUIT, {});
    manager->DispatchMessages();
    EXPECT_EQ(log.Count("VanteoMainMenuScene Enter 0 0"), 1u);
    EXPECT_FLOAT_EQ(server.GetMusicVolume(), 0.8f);
}

TEST_F(PointChallengeSceneTest, RestartPutsTheClockAndTheAlarmsBack)
{
    Enter();
    RunTo(21.0f);
    Send(MSG_GROUP_CLEARED, {1, 0, 50, 4, 0, 0, 0, 0});
    Press('R');
    EXPECT_EQ(Point().m_nState, kGameStateStart);
    EXPECT_EQ(Point().m_nScore, 0);
    EXPECT_TRUE(Shown(L"Pic_gauge_alarm_1"));
    EXPECT_FALSE(Shown(L"Pic_gauge_alarm_3"));
    Run(20, 0.02f);
    RunTo(10.05f);
    EXPECT_TRUE(Shown(L"Pic_gauge_alarm_2"));  // the events of the new game fire again
}

} // namespace
