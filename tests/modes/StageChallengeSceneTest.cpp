// The stage challenge headless: easy and hard numbers, the countdown voices and the time-out on
// the board's clock, the win in the frame the goal is crossed, rankings and cubes, "next" only
// below the best stage reached and back to the menu after the last stage, the combo goal's
// one-frame lag, and stages the configuration cannot play.
#include "data/ModeConfig.h"
#include "data/Options.h"
#include "data/Records.h"
#include "board/GameMessages.h"
#include "board/VanteoBlockMap.h"
#include "engine/AnimationXml.h"
#include "engine/EngineFakes.h"
#include "engine/InputKeyboard.h"
#include "engine/InputSystem.h"
#include "engine/Getters.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "menus/PopUpResult.h"
#include "modes/ClearEffect_StageChallenge.h"
#include "modes/ModeSceneKit.h"
#include "modes/VanteoScene_StageChallenge.h"
#include "ModeSceneFixture.h"
#include "net/AchievementsSteam.h"
#include "support/GameSeamFakes.h"
#include "support/LogCapture.h"
#include "support/kv/KVTestKit.h"

#include <helvane/ResourceFileManager.h>
#include <win32/Text.h>
#include <win32/Time.h>

#include <gtest/gtest.h>

#include <climits>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using enginetest::animxml::FileXml;
using enginetest::animxml::SceneXml;

std::string Win(const std::string& type, const std::string& name, int x, int y, int w, int h,
                const std::string& inner = "")
{
    return "<child type=\"" + type + "\" name=\"" + name + "\"><pos x=\"" + std::to_string(x) + "\" y=\"" +
           std::to_string(y) + "\"/><rect l=\"0\" t=\"0\" r=\"" + std::to_string(w) + "\" b=\"" + std::to_string(h) +
           "\"/>" + inner + "</child>";
}

std::string Top(const std::string& name, const std::string& children)
{
    return "<kevrin version=\"2\"><base type=\"PANEL\" name=\"" + name +
           "\"><pos x=\"0\" y=\"0\"/><rect l=\"0\" t=\"0\" r=\"1024\" b=\"768\"/>" + children + "</base></kevrin>";
}

std::string BoardLayout(int index, int cells)
{
    const int side = cells * 45;
    return Top("Wnd_board_" + std::to_string(index),
               Win("WND", "Wnd_PuzzleArea", 300, 100, side, side) + Win("WND", "Wnd_ComboArea", 300, 100, side, side) +
                   Win("WND", "Wnd_title_puzzle", 0, 0, 9, 9) + Win("WND", "Wnd_title_stage_easy", 0, 0, 9, 9) +
                   Win("WND", "Wnd_title_stage_hard", 0, 0, 9, 9) + Win("WND", "Pic_warning", 0, 0, 9, 9) +
                   Win("WND", "Anibtn_rotate_L", 10, 600, 40, 40) + Win("WND", "Anibtn_rotate_R", 60, 600, 40, 40) +
                   Win("WND", "Anibtn_menu", 10, 700, 90, 40) + Win("WND", "Anibtn_stage_reset", 110, 700, 90, 40) +
                   Win("WND", "Wnd_ready_go", 0, 0, 9, 9, Win("WND", "Pic_ready", 0, 0, 9, 9)));
}

// The goal layout of a kind ("point" or "combo"); `complete` false leaves out the gauge and the
// digit places.
std::string BackLayout(const std::string& kind, bool complete)
{
    std::string c = Win("WND", "Pic_puzzle_place", 0, 0, 9, 9) +
                    Win("PICTURE", "Pic_time_countdown", 0, 0, 9, 9, Win("WND", "Label_countdown", 500, 300, 28, 42)) +
                    Win("WND", "layer_num", 0, 0, 1024, 768) + Win("WND", "layer_particle", 0, 0, 1024, 768) +
                    Win("PICTURE", "Pic_bezier_light_1", 900, 40, 40, 40) +
                    Win("PICTURE", "Pic_bezier_light_2", 900, 40, 40, 40) +
                    Win("PICTURE", "Pic_bezier_light_3", 900, 40, 40, 40);
    if (complete) {
        c += Win("WND", "WndEx_gauge", 950, 100, 20, 200);
        for (int n = 1; n <= 4; ++n)
            c += Win("WND", "Pic_num_time_" + std::to_string(n), 20 * n, 300, 20, 30);
        for (int n = 1; n <= 2; ++n) {
            c += Win("WND", "Pic_beststage_" + std::to_string(n), 20 * n, 350, 20, 30);
            c += Win("WND", "Pic_currentstage_" + std::to_string(n), 20 * n, 400, 20, 30);
        }
        const int digits = kind == "point" ? 6 : 3;
        for (int n = 1; n <= digits; ++n) {
            c += Win("WND", "Pic_" + kind + "_goal_" + std::to_string(n), 20 * n, 450, 20, 30);
            c += Win("WND", "Pic_" + kind + "_current_" + std::to_string(n), 20 * n, 500, 20, 30);
        }
        if (kind == "combo")
            c += Win("PICTURE", "Pic_stage_combo_on", 0, 0, 9, 9) + Win("PICTURE", "Pic_stage_combo_off", 0, 0, 9, 9);
    }
    return Top("Wnd_back_" + kind, c);
}

// 50 stages: stage 0 a 4 x 4 point stage (300 in 100 s), stage 1 a 6 x 6 combo stage (10 in 100 s),
// the others 4 x 4 point stages of 50 points in 3 s; stage 3 asks for 1 point.
std::string StageConfig(int stages = 50)
{
    std::string list;
    for (int i = 0; i < stages; ++i) {
        std::string challenge = i == 0   ? "ClearType=\"Point\" ClearNum=\"300\" ClearTime=\"100\""
                                : i == 1 ? "ClearType=\"Combo\" ClearNum=\"10\" ClearTime=\"100\""
                                : i == 3 ? "ClearType=\"Point\" ClearNum=\"1\" ClearTime=\"3\""
                                         : "ClearType=\"Point\" ClearNum=\"50\" ClearTime=\"3\"";
        const int size = i == 1 ? 6 : 4;
        list += "<Stage name=\"S" + std::to_string(i + 1) + "\" XGrid=\"" + std::to_string(size) + "\" YGrid=\"" +
                std::to_string(size) + "\" seed=\"" + std::to_string(11 + i) +
                "\"><BlockColorRate A=\"30\" B=\"30\" C=\"30\"/><Challenge " + challenge + "/></Stage>";
    }
    list += "<Stage name=\"NOGOAL\" XGrid=\"4\" YGrid=\"4\"/>";
    return "<VanteoConfig><StageList>" + list + "</StageList></VanteoConfig>";
}

class StageChallengeSceneTest : public modetest::ModeSceneTest<VanteoScene_StageChallenge> {
protected:
    void SetUp() override
    {
        const char* layoutKeys[] = {"LayoutPuzzle4", "LayoutPuzzle6", "LayoutPuzzle8",
                                    "LayoutPuzzle10", "LayoutPuzzle12", "LayoutPuzzle14"};
        std::string common;
        for (int i = 0; i < 6; ++i) {
            std::string file = "Board" + std::to_string(i) + ".xml";
            common += std::string(layoutKeys[i]) + "=\"" + file + "\" ";
            AddLayout("layout/" + file, BoardLayout(i, 4 + 2 * i));
        }
        AddLayout("layout/PointBack.xml", BackLayout("point", completeLayouts));
        AddLayout("layout/ComboBack.xml", BackLayout("combo", completeLayouts));
        data.Write("anim/readygo.xml", FileXml(SceneXml("readygo", {{0}, {500}})));
        common += "LayoutStagePointBack=\"PointBack.xml\" LayoutStageComboBack=\"ComboBack.xml\" "
                  "Effect_ReadyGo=\"readygo.xml\"";
        WriteSkin(common);
        data.Write("PlayData/QuiblyConfig_StageChallenge.xml", StageConfig());
        ClearRanking();
        LoadPlayRecord();
        ResetThisGame();
        GameConfig.cubes = 100;
        g_nStageChallengeStage = -1;
        g_nStageChallengeCleared = 0;
        modekit::SetEffectSink(&sounds);
        scene = new VanteoScene_StageChallenge();
        StartManager({scene});
        // The queue is left alone: the tests send the messages they mean.
        dispatchEachFrame = false;
    }
    void TearDown() override
    {
        modetest::ModeSceneTest<VanteoScene_StageChallenge>::TearDown();
        modekit::SetEffectSink(nullptr);
    }

    void Enter(int difficulty, int stage) { manager->SetFirstScene(kStageChallengeSceneName, difficulty, stage); }

    // Frames until play starts (no banner in these layouts, and no ready-go after Enter).
    void StartPlaying()
    {
        for (int i = 0; i < 50 && scene->m_nState != kGameStatePlaying; ++i)
            Run(1, 0.02f);
        ASSERT_EQ(scene->m_nState, kGameStatePlaying);
        ASSERT_FLOAT_EQ(scene->BoardPlayClock(), 0.0f);
    }

    // Every hard stage up to `stages` won once.
    static void WinStages(int board, int stages)
    {
        for (int i = 0; i < stages; ++i)
            InsertRankingScore(board, std::to_string(i).c_str(), 100, 30);
    }

    bool completeLayouts = true;
    RecordingSounds sounds;
};

struct NumbersCase {
    int difficulty, clearTime, clearNum, time, goal;
};

class EasyAndHard : public ::testing::TestWithParam<NumbersCase> {};

TEST_P(EasyAndHard, TimeAndGoalInSinglePrecision)
{
    const NumbersCase& c = GetParam();
    EXPECT_EQ(VanteoScene_StageChallenge::TimeLimitFor(c.difficulty, c.clearTime), c.time);
    EXPECT_EQ(VanteoScene_StageChallenge::GoalFor(c.difficulty, c.clearNum), c.goal);
}

INSTANTIATE_TEST_SUITE_P(Numbers, EasyAndHard,
                         ::testing::Values(NumbersCase{0, 100, 10, 120, 8}, NumbersCase{0, 100, 15, 120, 12},
                                           NumbersCase{1, 100, 10, 100, 10},
                                           // 1.2f and 0.8f lie just above 1.2 and 0.8.
                                           NumbersCase{0, 5, 5, 6, 4}, NumbersCase{0, 35, 25, 42, 20},
                                           // A goal that would be 0 is 1.
                                           NumbersCase{0, 60, 1, 72, 1}, NumbersCase{1, 60, 0, 60, 1}));

struct RewardCase {
    const char* name;
    int newPlace;
    bool placeholderBelow;
    int cubes;
};

class CubeRewards : public ::testing::TestWithParam<RewardCase> {};

TEST_P(CubeRewards, ByPlaceHalvedAbovePlaceholders)
{
    const RewardCase& c = GetParam();
    RankEntry table[6];
    for (int p = 0; p < 6; ++p)
        std::strcpy(table[p].name, c.placeholderBelow && p > c.newPlace ? kLocalPlayerName : "Rival");
    if (c.newPlace >= 0)
        table[c.newPlace].isNew = 1;
    EXPECT_EQ(VanteoScene_StageChallenge::CubeRewardFor(table), c.cubes);
}

INSTANTIATE_TEST_SUITE_P(Places, CubeRewards,
                         ::testing::Values(RewardCase{"TopNamedBelow", 0, false, 12}, RewardCase{"TopPlaceholderBelow", 0, true, 6},
                                           RewardCase{"SecondNamedBelow", 1, false, 9}, RewardCase{"FifthPlaceholderBelow", 4, true, 2},
                                           RewardCase{"Sixth", 5, false, 2}, RewardCase{"NoNewEntry", -1, false, 0}),
                         [](const ::testing::TestParamInfo<RewardCase>& info) { return std::string(info.param.name); });

TEST(StageChallengeRules, BestReachedCountsOnlyWonStagesInARow)
{
    ClearRanking();
    EXPECT_EQ(VanteoScene_StageChallenge::GetBestReachedStage(1), 0);
    InsertRankingScore(5, "0", 100, 20);
    InsertRankingScore(5, "1", -1, 100);  // a time-out is no win
    InsertRankingScore(5, "2", 100, 20);
    EXPECT_EQ(VanteoScene_StageChallenge::GetBestReachedStage(1), 1);
    EXPECT_EQ(VanteoScene_StageChallenge::GetBestReachedStage(0), 0);  // easy keeps its own board
    InsertRankingScore(5, "1", 100, 40);
    EXPECT_EQ(VanteoScene_StageChallenge::GetBestReachedStage(1), 3);
    for (int i = 0; i < 50; ++i)
        InsertRankingScore(4, std::to_string(i).c_str(), 100, 20);
    EXPECT_EQ(VanteoScene_StageChallenge::GetBestReachedStage(0), 50);
    ClearRanking();
    EXPECT_EQ(VanteoScene_StageChallenge::ModeKey(0, "S1"), "PUZZLE.STAGECHAL.EASY.S1");
    EXPECT_EQ(VanteoScene_StageChallenge::ModeKey(1, "S1"), "PUZZLE.STAGECHAL.HARD.S1");
}

TEST_F(StageChallengeSceneTest, EnterSetsUpTheStageByDifficulty)
{
    Enter(0, 0);
    ASSERT_NE(scene->m_pBoard, nullptr);
    EXPECT_EQ(scene->m_pBoard->width, 4);
    EXPECT_EQ(scene->m_nTimeLimit, 120);
    EXPECT_EQ(scene->m_nPointGoal, 240);
    EXPECT_EQ(scene->RankingBoard(), 4);
    EXPECT_EQ(g_nStageChallengeStage, 0);
    scene->Leave();
    Enter(1, 1);
    EXPECT_EQ(scene->m_pBoard->width, 6);
    EXPECT_EQ(scene->m_nGoalType, VanteoScene_StageChallenge::kGoalCombo);
    EXPECT_EQ(scene->m_nComboGoal, 10);
    EXPECT_EQ(scene->m_nTimeLimit, 100);
    EXPECT_EQ(scene->RankingBoard(), 5);
    // Hard hides the easy title and keeps its own.
    EXPECT_FALSE(scene->m_pBoardWindow->FindChild(L"Wnd_title_stage_easy")->IsVisible());
    EXPECT_TRUE(scene->m_pBoardWindow->FindChild(L"Wnd_title_stage_hard")->IsVisible());
    // The gauge starts empty at the bottom of its place.
    kv::KVWnd* gauge = scene->m_pBackWindow->FindChild(L"WndEx_gauge");
    EXPECT_FLOAT_EQ(gauge->GetHeight(), 0.0f);
    EXPECT_FLOAT_EQ(gauge->GetPosition().y, 300.0f);
}

TEST_F(StageChallengeSceneTest, CountdownVoicesWarningAndTimeOutFollowThePlayClock)
{
    Enter(1, 0);  // 100 s
    StartPlaying();
    kv::KVWnd* warning = scene->m_pBoardWindow->FindChild(L"Pic_warning");
    // The frame reads the clock the board reached in the frame before.
    auto clockAt = [&](float clock) {
        scene->m_pBoard->playTime = clock;
        Run(1, 0.25f);
    };
    clockAt(90.75f);
    EXPECT_TRUE(sounds.played.empty());
    EXPECT_FALSE(warning->IsVisible());
    clockAt(91.0f);  // 9 s remain
    EXPECT_EQ(sounds.played, (std::vector<int>{96}));
    EXPECT_TRUE(warning->IsVisible());
    EXPECT_EQ(scene->m_CountdownDisplay.m_nTarget, 9);
    clockAt(97.75f);
    clockAt(98.0f);  // 2 s remain
    EXPECT_EQ(sounds.played, (std::vector<int>{96, 95}));
    clockAt(100.75f);  // 0 s remain: not over yet
    EXPECT_EQ(scene->m_nState, kGameStatePlaying);
    EXPECT_EQ(FindRankingTable(5, "0"), nullptr);
    clockAt(101.0f);
    EXPECT_EQ(scene->m_nState, kGameStateFinished);
    RankEntry* table = FindRankingTable(5, "0");
    ASSERT_NE(table, nullptr);
    const RankEntry* entry = std::find_if(table, table + 6, [](const RankEntry& e) { return e.isNew != 0; });
    ASSERT_NE(entry, table + 6);
    EXPECT_EQ(entry->score, -1);
    EXPECT_EQ(entry->time, 101);
    EXPECT_EQ(GameConfig.cubes, 100);
    auto* lose = dynamic_cast<VanteoPopUp_Result_Stage_Challenge_Lose*>(scene->m_pResultLose);
    ASSERT_NE(lose, nullptr);
    EXPECT_EQ(lose->m_bNextAllowed, 0);
    // The board's clock stands still once the run is over.
    Run(8, 0.25f);
    EXPECT_FLOAT_EQ(scene->BoardPlayClock(), 101.0f);
}

TEST_F(StageChallengeSceneTest, APointGoalIsWonInTheFrameItIsCrossed)
{
    Enter(1, 0);  // 300 points
    StartPlaying();
    Send(MSG_GROUP_CLEARED, {1, 0, 290, 8, 0, 0, 1, 1});
    Run(1, 0.02f);
    manager->DispatchMessages();
    EXPECT_EQ(scene->m_nState, kGameStatePlaying);
    EXPECT_EQ(scene->m_nPointValue, 290);
    Send(MSG_GROUP_CLEARED, {1, 2, 50, 4, 0, 0, 2, 2});
    Run(1, 0.02f);
    EXPECT_EQ(scene->m_nState, kGameStatePlaying);  // the win arrives as a message
    manager->DispatchMessages();
    EXPECT_EQ(scene->m_nState, kGameStateFinished);
    EXPECT_EQ(scene->m_pBoard->frozen, 1);
    RankEntry* table = FindRankingTable(5, "0");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table[0].score, 100);
    EXPECT_EQ(table[0].isNew, 1);
    EXPECT_EQ(GameConfig.cubes, 106);  // first place above a placeholder: 12 halved
    EXPECT_EQ(g_nStageChallengeCleared, 1);
    EXPECT_EQ(scene->m_nBestReached, 1);
    // A further crossing posts nothing more: the run is over.
    Send(MSG_GROUP_CLEARED, {1, 2, 50, 4, 0, 0, 2, 2});
    Run(1, 0.02f);
    manager->DispatchMessages();
    EXPECT_EQ(GameConfig.cubes, 106);
}

TEST_F(StageChallengeSceneTest, TheScoreSaturatesInsteadOfWrapping)
{
    Enter(1, 0);
    StartPlaying();
    Send(MSG_GROUP_CLEARED, {1, 0, INT_MAX, 8, 0, 0, 1, 1});
    Send(MSG_GROUP_CLEARED, {1, 0, INT_MAX, 8, 0, 0, 1, 1});
    Send(MSG_BIG_STAR, {1, 1});
    EXPECT_EQ(scene->m_nScore, INT_MAX);
}

TEST_F(StageChallengeSceneTest, TheComboGoalLagsOneFrameAndFlightsCarryItsShare)
{
    Enter(1, 1);  // 10 combos
    StartPlaying();
    scene->m_pBoard->combo = 5;
    Run(1, 0.02f);
    EXPECT_EQ(scene->m_nComboValue, 4);
    scene->m_pBoard->combo = 6;
    Send(MSG_GROUP_CLEARED, {1, 1, 40, 4, 0, 0, 0, 0});
    ASSERT_FALSE(scene->m_pStarEffect->Flights().empty());
    EXPECT_EQ(scene->m_pStarEffect->Flights().back().value, 40);  // 4 of 10, the frame before
    EXPECT_EQ(scene->m_pStarEffect->Flights().back().kind, 1);
    // A star blast flies only in a point stage, but scores in both.
    const size_t flights = scene->m_pStarEffect->Flights().size();
    Send(MSG_BIG_STAR, {2, 2});
    EXPECT_EQ(scene->m_pStarEffect->Flights().size(), flights);
    EXPECT_EQ(scene->m_nScore, 140);
    // The combo voice and the break sound belong to combo stages.
    Send(MSG_COMBO, {1});
    Send(MSG_COMBO_BREAK, {0});
    EXPECT_EQ(sounds.played, (std::vector<int>{6, 90}));
    scene->m_pBoard->combo = 11;
    Run(1, 0.02f);
    manager->DispatchMessages();
    EXPECT_EQ(scene->m_nState, kGameStateFinished);
}

TEST_F(StageChallengeSceneTest, ALostStageOffersNextOnlyBelowTheBestReached)
{
    WinStages(5, 3);
    for (int stage : {2, 4}) {
        Enter(1, stage);  // 50 points in 3 s
        EXPECT_EQ(scene->m_nBestReached, 3);
        StartPlaying();
        Run(20, 0.25f);
        ASSERT_EQ(scene->m_nState, kGameStateFinished) << stage;
        auto* lose = dynamic_cast<VanteoPopUp_Result_Stage_Challenge_Lose*>(scene->m_pResultLose);
        EXPECT_EQ(lose->m_bNextAllowed, stage < 3 ? 1 : 0) << stage;
        scene->Leave();
    }
}

TEST_F(StageChallengeSceneTest, NextAdvancesAndAfterTheLastStageReturnsToTheMenu)
{
    Enter(1, 2);
    StartPlaying();
    Send(MSG_RESULT_NEXT, {});
    EXPECT_EQ(scene->m_nStage, 3);
    EXPECT_EQ(g_nStageChallengeStage, 3);
    EXPECT_EQ(scene->m_nPointGoal, 1);
    EXPECT_EQ(scene->m_nState, kGameStateStart);
    ASSERT_NE(scene->m_pBoard, nullptr);
    EXPECT_EQ(scene->m_pBoard->width, 4);
    scene->Leave();

    WinStages(5, 50);
    Enter(1, 49);
    EXPECT_EQ(scene->m_BestStageDisplay.m_nTarget, 50);
    StartPlaying();
    Send(MSG_RESULT_NEXT, {});
    EXPECT_EQ(scene->m_nStage, 49);
    manager->DispatchMessages();
    EXPECT_EQ(log.Count("VanteoMainMenuScene Enter 0 0"), 1u);
}

TEST_F(StageChallengeSceneTest, TheRKeyResetsOnlyWhilePlaying)
{
    Enter(1, 0);
    input.keys.insert('R');
    Run(1, 0.02f);
    input.keys.clear();
    EXPECT_TRUE(sounds.played.empty());  // no ready-go before play
    StartPlaying();
    Run(20, 0.25f);
    Send(MSG_GROUP_CLEARED, {1, 0, 120, 8, 0, 0, 1, 1});
    input.keys.insert('R');
    Run(1, 0.02f);
    input.keys.clear();
    EXPECT_EQ(scene->m_nState, kGameStateStart);
    EXPECT_EQ(scene->m_nScore, 0);
    EXPECT_EQ(sounds.played, (std::vector<int>{17}));
    EXPECT_EQ(GetPlayerCounter("PlayTime"), 5);  // the run's time, once
    // The ready-go holds the clock; play resumes after it.
    Run(10, 0.02f);
    EXPECT_FLOAT_EQ(scene->BoardPlayClock(), 0.0f);
    StartPlaying();
}

TEST_F(StageChallengeSceneTest, StagesThatCannotBePlayedGoBackToTheMenu)
{
    for (int stage : {50, 60, -1}) {
        testsupport::LogCapture logged;
        Enter(1, stage);
        EXPECT_EQ(scene->m_pBoard, nullptr) << stage;
        EXPECT_TRUE(logged.Contains(L"back to the menu")) << stage;
        manager->DispatchMessages();
        scene->Leave();
    }
    EXPECT_EQ(log.Count("VanteoMainMenuScene Enter 0 0"), 3u);
}

class StageChallengeBareLayoutTest : public StageChallengeSceneTest {
protected:
    void SetUp() override
    {
        completeLayouts = false;
        StageChallengeSceneTest::SetUp();
    }
};

TEST_F(StageChallengeBareLayoutTest, AGoalLayoutWithoutGaugeOrDigitPlacesStillPlays)
{
    testsupport::LogCapture logged;
    Enter(1, 0);
    ASSERT_NE(scene->m_pBoard, nullptr);
    EXPECT_TRUE(logged.Contains(L"Pic_beststage_"));
    StartPlaying();
    Send(MSG_GROUP_CLEARED, {1, 0, 320, 8, 0, 0, 1, 1});
    Run(3, 0.25f);
    manager->DispatchMessages();
    EXPECT_EQ(scene->m_nState, kGameStateFinished);
    kv::EventArgs args;
    scene->DrawNumbers(args);
    scene->DrawStarEffect(args);
}

} // namespace
