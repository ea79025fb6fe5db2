// Free play headless: the stage picks the layout and the board, the ready-go holds the play
// clock at 0, the clock shows minutes and seconds, the score follows the clears and star
// blasts, Escape pauses only while playing, a missing stage goes back to the menu, and the
// record file is written once when the scene is left.
#include "data/ModeConfig.h"
#include "data/Records.h"
#include "board/GameMessages.h"
#include "engine/AnimationXml.h"
#include "engine/EngineFakes.h"
#include "engine/InputKeyboard.h"
#include "engine/InputSystem.h"
#include "engine/Getters.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "modes/VanteoScene_Puzzle.h"
#include "ModeSceneFixture.h"
#include "support/LogCapture.h"
#include "support/kv/KVTestKit.h"

#include <helvane/DXUtil.h>
#include <helvane/ResourceFileManager.h>
#include <win32/Text.h>
#include <win32/Time.h>
#include <win32/VirtualKeys.h>

#include <gtest/gtest.h>

#include <climits>

#include <string>
#include <vector>

namespace {

using enginetest::animxml::FileXml;
using enginetest::animxml::SceneXml;

std::string BoardLayout(const std::string& top, int x, int y, int cells)
{
    std::string side = std::to_string(cells * 45);
    std::string rect = "<rect l=\"0\" t=\"0\" r=\"" + side + "\" b=\"" + side + "\"/>";
    std::string pos = "<pos x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\"/>";
    return "<kevrin version=\"2\"><base type=\"PANEL\" name=\"" + top +
           "\"><pos x=\"0\" y=\"0\"/><rect l=\"0\" t=\"0\" r=\"1024\" b=\"768\"/>"
           "<child type=\"WND\" name=\"Wnd_PuzzleArea\">" + pos + rect + "</child>"
           "<child type=\"WND\" name=\"Wnd_ComboArea\">" + pos + rect + "</child>"
           "<child type=\"WND\" name=\"Anibtn_rotate_L\"><pos x=\"10\" y=\"600\"/><rect l=\"0\" t=\"0\" r=\"40\" b=\"40\"/></child>"
           "<child type=\"WND\" name=\"Anibtn_rotate_R\"><pos x=\"60\" y=\"600\"/><rect l=\"0\" t=\"0\" r=\"40\" b=\"40\"/></child>"
           "<child type=\"WND\" name=\"Anibtn_menu\"><pos x=\"10\" y=\"700\"/><rect l=\"0\" t=\"0\" r=\"90\" b=\"40\"/></child>"
           "<child type=\"WND\" name=\"Pic_warning\"><pos x=\"0\" y=\"0\"/><rect l=\"0\" t=\"0\" r=\"9\" b=\"9\"/></child>"
           "<child type=\"WND\" name=\"Wnd_ready_go\"><pos x=\"0\" y=\"0\"/><rect l=\"0\" t=\"0\" r=\"9\" b=\"9\"/>"
           "<child type=\"WND\" name=\"Pic_ready\"><pos x=\"0\" y=\"0\"/><rect l=\"0\" t=\"0\" r=\"9\" b=\"9\"/></child></child>"
           "</base></kevrin>";
}

constexpr const char* kBackLayout =
    "<kevrin version=\"2\"><base type=\"PANEL\" name=\"Wnd_back\"><pos x=\"0\" y=\"0\"/>"
    "<rect l=\"0\" t=\"0\" r=\"1024\" b=\"768\"/>"
    "<child type=\"WND\" name=\"Pic_puzzle_place\"><pos x=\"0\" y=\"0\"/><rect l=\"0\" t=\"0\" r=\"9\" b=\"9\"/></child>"
    "<child type=\"WND\" name=\"Pic_num_point\"><pos x=\"20\" y=\"200\"/><rect l=\"0\" t=\"0\" r=\"92\" b=\"30\"/></child>"
    "<child type=\"WND\" name=\"Pic_num_time_1\"><pos x=\"20\" y=\"300\"/><rect l=\"0\" t=\"0\" r=\"20\" b=\"30\"/></child>"
    "</base></kevrin>";

// Three stages: 4 x 4, 6 x 6 with speed-up, 5 x 5 (the menu's stage 2), each with a fixed seed.
constexpr const char* kConfig =
    "<VanteoConfig><RandomSeed Seed=\"7\"/><StageList>"
    "<Stage name=\"4X4\" XGrid=\"4\" YGrid=\"4\"/>"
    "<Stage name=\"6X6\" XGrid=\"6\" YGrid=\"6\" SpeedUp=\"TRUE\"/>"
    "<Stage name=\"FIVE\" XGrid=\"5\" YGrid=\"5\"/>"
    "</StageList></VanteoConfig>";

class FreePlaySceneTest : public modetest::ModeSceneTest<VanteoScene_Puzzle> {
protected:
    void SetUp() override
    {
        const char* layoutKeys[] = {"LayoutPuzzle4", "LayoutPuzzle6", "LayoutPuzzle8",
                                    "LayoutPuzzle10", "LayoutPuzzle12", "LayoutPuzzle14"};
        std::string common;
        for (int i = 0; i < 6; ++i) {
            std::string file = "Board" + std::to_string(i) + ".xml";
            common += std::string(layoutKeys[i]) + "=\"" + file + "\" ";
            AddLayout("layout/" + file, BoardLayout("Wnd_board_" + std::to_string(i), 300, 100, 4 + 2 * i));
        }
        AddLayout("layout/Back.xml", kBackLayout);
        // The ready-go lasts 0.5 s.
        data.Write("anim/readygo.xml", FileXml(SceneXml("readygo", {{0}, {500}})));
        common += "LayoutPuzzleBack=\"Back.xml\" Effect_ReadyGo=\"readygo.xml\"";
        WriteSkin(common);
        data.Write("PlayData/QuiblyConfig_Puzzle.xml", kConfig);
        LoadPlayRecord();
        ResetThisGame();
        scene = new VanteoScene_Puzzle();
        StartManager({scene});
        // The queue is left alone: the tests send the messages they mean.
        dispatchEachFrame = false;
    }

    void Enter(int stage) { manager->SetFirstScene(kFreePlaySceneName, stage, 0); }
};

TEST_F(FreePlaySceneTest, StageTwoBuildsTheThirdLayoutAndTheThirdStagesBoard)
{
    Enter(2);
    ASSERT_NE(scene->m_pBoardWindow, nullptr);
    EXPECT_EQ(scene->m_pBoardWindow->GetName(), L"Wnd_board_2");
    ASSERT_NE(scene->m_pBoard, nullptr);
    EXPECT_EQ(scene->m_pBoard->width, 5);
    EXPECT_EQ(scene->m_pBoard->height, 5);
    // The board starts at the absolute position of its area.
    EXPECT_FLOAT_EQ(scene->m_pBoard->originX, 300.0f);
    EXPECT_FLOAT_EQ(scene->m_pBoard->originY, 100.0f);
    EXPECT_EQ(scene->m_nState, kGameStateStart);
    EXPECT_EQ(VanteoScene_Puzzle::PauseModeText("FIVE"), L"PUZZLE.FREEPLAY.FIVE");
}

TEST_F(FreePlaySceneTest, ReadyGoHoldsTheClockAtZeroThenTheClockShowsMinutesAndSeconds)
{
    Enter(2);
    Run(20, 0.02f);  // 0.4 s of the 0.5 s introduction
    EXPECT_EQ(scene->m_nState, kGameStateStart);
    EXPECT_FLOAT_EQ(scene->BoardPlayClock(), 0.0f);
    EXPECT_EQ(scene->m_PlayTimeDisplay.m_nFirst, 0);
    EXPECT_EQ(scene->m_PlayTimeDisplay.m_nSecond, 0);
    // The frame in which the introduction ends still holds the clock; play starts after it.
    for (int frame = 0; frame < 10 && scene->m_nState == kGameStateStart; ++frame)
        Run(1, 0.02f);
    EXPECT_EQ(scene->m_nState, kGameStatePlaying);
    EXPECT_FLOAT_EQ(scene->BoardPlayClock(), 0.0f);
    // 61.9 s of play: 1 min 1 s.
    Run(619, 0.1f);
    EXPECT_NEAR(scene->BoardPlayClock(), 61.9f, 0.01f);
    EXPECT_EQ(scene->m_PlayTimeDisplay.m_nFirst, 1);
    EXPECT_EQ(scene->m_PlayTimeDisplay.m_nSecond, 1);
}

TEST_F(FreePlaySceneTest, ScoreAddsGroupPointsAndOneHundredPerStarBlast)
{
    Enter(2);
    Send(MSG_GROUP_CLEARED, {1, 0, 240, 8, 0, 0, 0, 0});
    Send(MSG_GROUP_CLEARED, {1, 2, 35, 4, 0, 0, 0, 0});
    EXPECT_EQ(scene->m_nScore, 275);
    Send(MSG_BIG_STAR, {1, 1});
    EXPECT_EQ(scene->m_nScore, 375);
    // The base counters ran as well.
    EXPECT_EQ(GetThisGameCounter("BlockClear"), 12);
    EXPECT_EQ(GetThisGameCounter("BigStar"), 1);
}

// A group worth the most points a board reports (a configuration with a huge score factor)
// holds the score at the int limit instead of wrapping it negative.
TEST_F(FreePlaySceneTest, TheScoreSaturatesInsteadOfWrapping)
{
    Enter(2);
    Send(MSG_GROUP_CLEARED, {1, 0, INT_MAX, 8, 0, 0, 0, 0});
    Send(MSG_GROUP_CLEARED, {1, 0, INT_MAX, 8, 0, 0, 0, 0});
    Send(MSG_BIG_STAR, {1, 1});
    EXPECT_EQ(scene->m_nScore, INT_MAX);
}

TEST_F(FreePlaySceneTest, EscapeOpensThePauseOnlyWhilePlayingAndResumesWhilePaused)
{
    Enter(2);
    input.keys.insert(VK_ESCAPE);
    Run(1, 0.02f);
    EXPECT_EQ(scene->m_nState, kGameStateStart);  // the introduction cannot be paused
    input.keys.clear();
    Run(30, 0.02f);
    ASSERT_EQ(scene->m_nState, kGameStatePlaying);
    input.keys.insert(VK_ESCAPE);
    Run(1, 0.02f);
    EXPECT_EQ(scene->m_nState, kGameStatePaused);
    float clock = scene->BoardPlayClock();
    input.keys.clear();
    Run(10, 0.1f);
    EXPECT_FLOAT_EQ(scene->BoardPlayClock(), clock);  // paused: no time passes
    input.keys.insert(VK_ESCAPE);
    Run(1, 0.02f);
    EXPECT_EQ(scene->m_nState, kGameStatePlaying);
}

TEST_F(FreePlaySceneTest, SpeedUpFollowsTheStageRecord)
{
    Enter(2);  // no speed-up
    Send(MSG_PLAY_TIME_STEP, {});
    EXPECT_EQ(scene->m_SpeedUpEffect.GetEntries().size(), 0u);
    scene->Leave();
    Enter(1);  // 6 x 6 with speed-up
    Send(MSG_PLAY_TIME_STEP, {});
    EXPECT_EQ(scene->m_SpeedUpEffect.GetEntries().size(), 1u);
}

TEST_F(FreePlaySceneTest, AMissingStageGoesBackToTheMenuWithALogLine)
{
    testsupport::LogCapture logged;
    Enter(4);  // the configuration has three stages
    EXPECT_EQ(scene->m_pBoard, nullptr);
    EXPECT_EQ(scene->m_pBoardWindow, nullptr);
    EXPECT_TRUE(logged.Contains(L"stage 4"));
    manager->DispatchMessages();
    EXPECT_EQ(log.Count("VanteoMainMenuScene Enter -1 0"), 1u);
}

TEST_F(FreePlaySceneTest, RestartStartsAFreshGameAndLeavingWritesThePlayTimeOnce)
{
    Enter(2);
    Run(30, 0.02f);
    Run(100, 0.1f);  // 10 s of play
    Send(MSG_GROUP_CLEARED, {1, 1, 50, 4, 0, 0, 0, 0});
    Send(MSG_PAUSE_RETRY, {});
    EXPECT_EQ(scene->m_nScore, 0);
    EXPECT_EQ(scene->m_nState, kGameStateStart);
    EXPECT_EQ(GetThisGameCounter("BlockClear"), 0);
    EXPECT_EQ(GetPlayerCounter("PlayTime"), 10);
    EXPECT_FLOAT_EQ(scene->BoardPlayClock(), 0.0f);
    EXPECT_FALSE(std::filesystem::exists("data/PlayData/QuiblyRecord.xml"));  // restart saves nothing
    Run(30, 0.02f);
    Run(50, 0.1f);  // 5 s more
    Send(MSG_PAUSE_QUIT, {});
    manager->DispatchMessages();
    EXPECT_EQ(log.Count("VanteoMainMenuScene Enter -1 0"), 1u);
    EXPECT_EQ(GetPlayerCounter("PlayTime"), 15);
    std::string saved = testsupport::ReadFile("data/PlayData/QuiblyRecord.xml");
    EXPECT_NE(saved.find("PlayTime=\"15\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("BlockClearG=\"4\""), std::string::npos) << saved;
}

} // namespace
