// The push scene headless: the recorded opponent's messages reach the field (and a colour that
// means nothing does not), the player's clears push the other way, a win and a loss are recorded
// once with their score, time and cubes, a self-play win becomes the next opponent once and the
// reset brings the shipped one back, Escape pauses only while playing, a retry during the
// ready-go is ignored, and the warning shows while the opponent has three blocks.
#include "data/ModeConfig.h"
#include "board/BoardMessages.h"
#include "modes/VanteoScene_Push.h"
#include "support/LogCapture.h"

#include "ModeSceneFixture.h"

#include <win32/VirtualKeys.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using modetest::Layout;
using modetest::Wnd;

std::string MainLayout()
{
    return Layout("Wnd_LayoutPush",
                  Wnd("Wnd_PuzzleArea", 500, 200, 360, 360) + Wnd("Wnd_ComboArea", 500, 200, 360, 360) +
                      Wnd("Wnd_PuzzleArea_enemy", 40, 200, 180, 180) + Wnd("Anibtn_rotate_L", 10, 600, 40, 40) +
                      Wnd("Anibtn_rotate_R", 60, 600, 40, 40) + Wnd("Anibtn_menu", 10, 700, 90, 40) +
                      Wnd("Pic_warning", 0, 0, 9, 9) + Wnd("Pic_effect_highlight_Large", 0, 0, 9, 9) +
                      Wnd("Pic_effect_highlight_small", 0, 0, 9, 9) + Wnd("Pic_num_time_1", 20, 20, 20, 30) +
                      Wnd("Label_name_enemy", 40, 160, 180, 30, "", "LABEL") +
                      Wnd("Label_name_user", 500, 160, 180, 30, "", "LABEL"));
}

std::string PushLayout()
{
    std::string children = Wnd("Wnd_Push_DrawArea", 0, 0, 1024, 768);
    for (int k = 1; k <= 3; ++k)
        children += Wnd("Pic_pushing_block_" + std::to_string(k), 400, 40 + 40 * k, 40, 40);
    children += Wnd("Pic_pushing_lever_user", 300, 140, 40, 8) + Wnd("Pic_pushing_lever_enemy", 700, 140, 40, 8);
    return Layout("Wnd_Pushing", children);
}

std::string Le(std::initializer_list<int32_t> words)
{
    std::string out;
    for (int32_t v : words)
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<char>(static_cast<uint32_t>(v) >> (8 * i)));
    return out;
}

// A record of a push recording.
std::string Record(float time, int32_t type, const std::string& payload)
{
    uint32_t bits;
    std::memcpy(&bits, &time, 4);
    return Le({static_cast<int32_t>(bits), static_cast<int32_t>(payload.size() + 4), type}) + payload;
}

// Eleven stages; the stage records name their recordings (stage 3's is the one the tests write).
std::string Config()
{
    std::string stages;
    for (int i = 0; i < 10; ++i)
        stages += "<Stage name=\"S" + std::to_string(i) + "\" file=\"data/push/stage" + std::to_string(i) + ".puz\"/>";
    stages += "<Stage name=\"SELF\"/>";
    return "<VanteoConfig><RandomSeed Seed=\"7\"/><PushBlock TrapTime=\"5\" MoveSpeed=\"100\"/><StageList>" + stages +
           "</StageList></VanteoConfig>";
}

class PushSceneTest : public modetest::ModeSceneTest<> {
protected:
    void SetUp() override
    {
        AddLayout("layout/Push.xml", MainLayout());
        kv.iface.AddFile(L"data/PUSHING_layout.xml", PushLayout());
        // The ready-go lasts 0.5 s.
        data.Write("anim/readygo.xml", enginetest::animxml::FileXml(enginetest::animxml::SceneXml("readygo", {{0}, {500}})));
        data.Write("PlayData/QuiblyConfig_Push.xml", Config());
        GameConfig.selfWinPush = 0;
        GameConfig.selfWinStackPush = 0;
        SetBoardEventRecorder(&recorder);
        push = new VanteoScene_Push();
        SetUpScene(push, {{"LayoutPush", "Push.xml"}, {"Effect_ReadyGo", "readygo.xml"}});
        GameConfig.cubes = 100;
    }
    void TearDown() override
    {
        modetest::ModeSceneTest<>::TearDown();
        SetBoardEventRecorder(nullptr);
    }

    void Enter(int stage) { manager->SetFirstScene(kPushSceneName, stage, 0); }

    // Frames of `seconds` each, and then the messages posted in the last of them.
    void Frames(int frames, float seconds)
    {
        Run(frames, seconds);
        manager->DispatchMessages();
    }
    // Frames until the ghost's clock has passed `seconds`.
    void RunGhostTo(float seconds)
    {
        for (int i = 0; i < 1000 && push->m_pGhost->m_Reader.Clock() < seconds; ++i)
            Run(1, 0.02f);
        manager->DispatchMessages();
    }
    // Through the 0.5 s ready-go into play.
    void Play()
    {
        Frames(40, 0.02f);
        ASSERT_EQ(push->m_nState, kGameStatePlaying);
    }
    // Blocks dropped onto the stacks, then frames until the game has ended.
    void Drop(int userBlocks, int enemyBlocks)
    {
        for (int i = 0; i < userBlocks; ++i)
            Send(MSG_PUSH_BLOCK_DROP, {0, i % 3});
        for (int i = 0; i < enemyBlocks; ++i)
            Send(MSG_PUSH_BLOCK_DROP, {1, i % 3});
        Frames(3, 0.02f);
    }

    PlayRecorder recorder;
    VanteoScene_Push* push = nullptr;
};

TEST(PushSceneRules, ScoreAndCubesFollowThePlaceOfTheNewEntry)
{
    EXPECT_EQ(VanteoScene_Push::Score(4, 1), 43);
    EXPECT_EQ(VanteoScene_Push::Score(2, 4), 20);
    EXPECT_EQ(VanteoScene_Push::Score(6, 0), 44);  // a stack counts four at most

    struct Case {
        const char* what;
        int stage;
        int newRow;  // -1: no new entry
        const char* nameBelow;
        int cubes;
    };
    const Case cases[] = {
        {"first place on stage 3", 3, 0, "", 87},
        {"first place above the player's own", 3, 0, "##player##", 43},
        {"third place on stage 6", 6, 2, "Ann", 138},
        {"fifth place of self-play", 10, 4, "", 162},
        {"sixth place earns three whatever the stage", 10, 5, "", 3},
        {"no new place", 4, -1, "", 0},
    };
    for (const Case& c : cases) {
        RankEntry rows[6];
        if (c.newRow >= 0)
            rows[c.newRow].isNew = 1;
        if (c.newRow >= 0 && c.newRow < 5)
            std::strcpy(rows[c.newRow + 1].name, c.nameBelow);
        EXPECT_EQ(VanteoScene_Push::CubeReward(rows, c.stage), c.cubes) << c.what;
    }
    EXPECT_EQ(VanteoScene_Push::ModeKey(10, "SELF"), "PUSH.SELFPLAY");
    EXPECT_EQ(VanteoScene_Push::ModeKey(2, "S2"), "PUSH.FREEPLAY.S2");
}

TEST_F(PushSceneTest, TheRecordedOpponentPushesTowardThePlayerOnceThePlayStarts)
{
    std::string layout;
    for (int i = 0; i < 64; ++i)
        layout += std::string{static_cast<char>(1 + i % 3), 0};
    data.Write("push/stage3.puz", Record(0.0f, 4, layout) + Record(1.0f, 3, Le({1, 0, 40, 4, 0, 0, 0, 0})) +
                                      Record(2.0f, 1, "") + Record(3.0f, 0, Le({1})));
    Enter(3);
    ASSERT_NE(push->m_pEnemyBoard, nullptr);
    EXPECT_FLOAT_EQ(push->m_pEnemyBoard->scaleX, 0.5f);
    EXPECT_FLOAT_EQ(push->m_pEnemyBoard->originX, 40.0f);
    EXPECT_EQ(push->m_pEnemyBoard->quiet, 1);
    Play();
    // The layout due at once arrived with the first frame of play.
    EXPECT_EQ(push->m_pEnemyBoard->blocksShown, 1);
    EXPECT_EQ(push->m_pEnemyBoard->CellAt(1, 0)->kind, 2);
    RunGhostTo(0.95f);
    EXPECT_FLOAT_EQ(push->m_Field.lanes[0].target, 0.0f);
    RunGhostTo(1.05f);
    EXPECT_FLOAT_EQ(push->m_Field.lanes[0].target, 40.0f);
    RunGhostTo(2.05f);
    ASSERT_EQ(push->m_Field.stones.size(), 1u);
    EXPECT_EQ(push->m_Field.stones[0].side, 0);  // against the player
    RunGhostTo(3.05f);
    EXPECT_EQ(push->m_pEnemyBoard->turnDirection, 1);

    // The player's own clears push the other way; a star pushes all three lanes.
    Send(MSG_GROUP_CLEARED, {1, 1, 30, 4, 0, 0, 0, 0});
    EXPECT_FLOAT_EQ(push->m_Field.lanes[1].target, -30.0f);
    Send(MSG_BIG_STAR, {2, 2});
    EXPECT_LT(push->m_Field.lanes[2].target, 0.0f);
}

TEST_F(PushSceneTest, AGhostColourThatMeansNothingNeverReachesTheField)
{
    Enter(0);  // stage 0's recording is missing: the opponent stays silent
    Play();
    struct Case {
        int colour;
        float lane0, lane2;
    };
    const Case cases[] = {{0, 25, 0}, {2, 0, 25}, {3, 33, 33}, {4, 0, 0}, {5, 0, 0}, {-1, 0, 0}, {1 << 30, 0, 0}};
    for (const Case& c : cases) {
        push->m_Field.Reset();
        push->m_Field.Update(0.0f);
        Send(MSG_GHOST_GROUP_CLEARED, {1, c.colour, 25, 4, 0});
        EXPECT_FLOAT_EQ(push->m_Field.lanes[0].target, c.lane0) << c.colour;
        EXPECT_FLOAT_EQ(push->m_Field.lanes[2].target, c.lane2) << c.colour;
    }
    // A message cut short is refused.
    push->m_Field.Reset();
    push->m_Field.Update(0.0f);
    PayloadWriter shortMessage;
    shortMessage.I32(MSG_GHOST_GROUP_CLEARED).I32(1).I32(0);
    std::vector<uint8_t> bytes = shortMessage.Bytes();
    scene->Dispatch(MSG_GHOST_GROUP_CLEARED, bytes.data(), static_cast<int>(bytes.size()));
    EXPECT_FLOAT_EQ(push->m_Field.lanes[0].target, 0.0f);
}

TEST_F(PushSceneTest, AWinIsRecordedOnceWithItsScoreTimeAndCubes)
{
    Enter(3);
    Play();
    Frames(50, 0.1f);  // 5 s of play
    Drop(4, 1);
    EXPECT_EQ(push->m_nState, kGameStateFinished);
    EXPECT_EQ(push->m_bWon, 1);
    RankEntry* rows = FindRankingTable(RANK_PUSH, "3");
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows[0].score, 43);
    EXPECT_EQ(rows[0].time, 5);
    EXPECT_EQ(rows[0].isNew, 1);
    // The rows of a new table are the player's own, so the first place earns half of 72 + 15.
    EXPECT_EQ(GameConfig.cubes, 100 + 43);
    // A second end changes nothing.
    Send(MSG_GAME_WIN, {});
    Send(MSG_GAME_LOSE, {});
    EXPECT_EQ(GameConfig.cubes, 143);
    int recorded = 0;
    for (int i = 0; i < RankingTable::kPlaces; ++i)
        recorded += rows[i].score == 43 ? 1 : 0;
    EXPECT_EQ(recorded, 1);
}

TEST_F(PushSceneTest, ALossRecordsTheLongerGameHigherAndEarnsFiveCubes)
{
    GameConfig.cubes = 9997;
    Enter(5);
    Play();
    Frames(120, 0.1f);  // 12 s of play
    Drop(2, 4);
    EXPECT_EQ(push->m_nState, kGameStateFinished);
    EXPECT_EQ(push->m_bWon, 0);
    RankEntry* rows = FindRankingTable(RANK_PUSH, "5");
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows[0].score, 20);
    EXPECT_EQ(rows[0].time, 1000000 - 12);
    EXPECT_EQ(GameConfig.cubes, 9999);  // never more
}

TEST_F(PushSceneTest, ASelfPlayWinBecomesTheNextOpponentOnceAndTheResetBringsBackTheShippedOne)
{
    const std::string shipped = Record(2.0f, 1, "");
    data.Write("PlayData/PushYour_Init.puz", shipped);
    data.Write("PlayData/PushYour.puz", shipped);
    Enter(VanteoScene_Push::kSelfPlayStage);
    EXPECT_EQ(push->m_bRecord, 1);
    Play();
    Frames(10, 0.1f);
    Send(MSG_ROTATE, {1});
    Send(MSG_BIG_STONE, {});
    const std::string numbered = recorder.CurrentFile();
    Drop(4, 0);
    EXPECT_EQ(push->m_nState, kGameStateFinished);
    const std::string game = testsupport::ReadFile(numbered);
    EXPECT_GE(game.size(), 16u + 12u);  // the turn and the stone square at least
    EXPECT_EQ(testsupport::ReadFile("data/PlayData/PushYour.puz"), game);
    EXPECT_EQ(GameConfig.selfWinPush, 1);
    // What happens after the end is not recorded, and drawing the result saves nothing more.
    Send(MSG_ROTATE, {-1});
    push->Render();
    EXPECT_EQ(testsupport::ReadFile("data/PlayData/PushYour.puz"), game);
    EXPECT_EQ(recorder.EventCount(), 0);

    Send(MSG_RESULT_RESET_SELF, {});
    EXPECT_EQ(push->m_pExitQuestion->m_nParam, 1);
    Send(MSG_POPUP_YES, {1});
    EXPECT_EQ(testsupport::ReadFile("data/PlayData/PushYour.puz"), shipped);
    EXPECT_EQ(GameConfig.selfWinPush, 0);
    EXPECT_EQ(GameConfig.selfWinStackPush, 1);
}

TEST_F(PushSceneTest, EscapePausesOnlyWhilePlayingAndARetryDuringTheReadyGoIsIgnored)
{
    Enter(1);
    input.keys.insert(VK_ESCAPE);
    Frames(1, 0.02f);
    EXPECT_EQ(push->m_nState, kGameStateStart);
    input.keys.clear();
    Send(MSG_GROUP_CLEARED, {1, 0, 10, 4, 0, 0, 0, 0});
    Send(MSG_PAUSE_RETRY, {});
    EXPECT_EQ(GetThisGameCounter("BlockClear"), 4);  // the game was not restarted
    Play();
    Press(VK_ESCAPE);
    EXPECT_EQ(push->m_nState, kGameStatePaused);
    const float clock = push->BoardPlayClock();
    Frames(10, 0.1f);
    EXPECT_FLOAT_EQ(push->BoardPlayClock(), clock);
    Press(VK_ESCAPE);
    Frames(2, 0.02f);
    EXPECT_EQ(push->m_nState, kGameStatePlaying);

    // A retry while playing starts over: the field, the clock and the ready-go.
    Drop(1, 1);
    Send(MSG_PAUSE_RETRY, {});
    EXPECT_EQ(push->m_nState, kGameStateStart);
    EXPECT_EQ(GetThisGameCounter("BlockClear"), 0);
    EXPECT_TRUE(push->m_Field.userStack.empty());
    EXPECT_FLOAT_EQ(push->BoardPlayClock(), 0.0f);
}

TEST_F(PushSceneTest, TheWarningShowsWhileTheOpponentHasThreeBlocks)
{
    Enter(2);
    Play();
    kv::KVWnd* warning = push->m_pMainWindow->FindChild(L"Pic_warning");
    ASSERT_NE(warning, nullptr);
    EXPECT_FALSE(warning->IsVisible());
    for (int i = 0; i < 3; ++i)
        Send(MSG_PUSH_BLOCK_DROP, {1, i});
    Frames(2, 0.02f);
    EXPECT_TRUE(warning->IsVisible());
    Send(MSG_PUSH_BLOCK_DROP, {1, 0});
    Frames(2, 0.02f);
    EXPECT_FALSE(warning->IsVisible());
}

TEST_F(PushSceneTest, AStageOutsideTheElevenGoesBackToTheMenu)
{
    testsupport::LogCapture logged;
    Enter(11);
    EXPECT_EQ(push->m_pBoard, nullptr);
    EXPECT_TRUE(logged.Contains(L"stage 11"));
    manager->DispatchMessages();
    EXPECT_EQ(log.Count("VanteoMainMenuScene Enter 2 0"), 1u);
}

} // namespace
