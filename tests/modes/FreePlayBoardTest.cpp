// The free-play board's combo voices, and the base scene's hand-over of board events to the
// recorder, timed by the board's play clock.
#include "board/BoardEventRecorder.h"
#include "modes/VanteoBaseScene.h"
#include "engine/SceneMessage.h"
#include "modes/VanteoScene_Puzzle.h"
#include "support/GameSeamFakes.h"
#include "support/TempDir.h"

#include "data/Records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

BoardTuning SeededTuning()
{
    BoardTuning tuning;
    tuning.hasStage = 1;
    tuning.randomSeed = 7;
    return tuning;
}

TEST(FreePlayBoardTest, ComboVoicesFollowTheChainAndTheFactors)
{
    struct Case {
        int combo;
        int magicFactor;
        int x2;
        std::vector<int> sounds;
    };
    const Case cases[] = {
        {1, 1, 1, {3}},   // the first clear of a chain
        {2, 1, 1, {6}},   // the chain starts: the combo voice
        {3, 1, 1, {3}},
        {10, 1, 1, {14}}, // every tenth: the double chance
        {20, 2, 1, {14}},
        {2, 2, 1, {}},    // a magic turn or the double chance speak for themselves
        {3, 1, 2, {}},
    };
    for (const Case& c : cases) {
        RecordingMessages messages;
        RecordingSounds sounds;
        GameRandom random(7);
        VanteoBlockMap_Puzzle board({messages, sounds, random}, SeededTuning());
        board.Init(nullptr, 4, 4);
        sounds.played.clear();
        messages.Clear();
        board.combo = c.combo;
        board.magicFactor = c.magicFactor;
        board.x2 = c.x2;
        board.OnCombo();
        EXPECT_EQ(sounds.played, c.sounds) << c.combo;
        ASSERT_EQ(messages.WithId(MSG_COMBO).size(), 1u) << c.combo;
        EXPECT_EQ(messages.WithId(MSG_COMBO)[0].Reader().I32(), c.combo);
        EXPECT_EQ(board.combo, c.combo + 1);
    }
}

class CountingRecorder : public IBoardEventRecorder {
public:
    void AppendRecordEvent(float time, const uint8_t* data, int32_t size) override
    {
        times.push_back(time);
        sizes.push_back(size);
        ids.push_back(data[0] | data[1] << 8);
    }
    bool FinishRecording(const char*) override { return true; }
    std::vector<float> times;
    std::vector<int32_t> sizes;
    std::vector<int> ids;
};

class RecordingScene : public VanteoBaseScene {};

TEST(FreePlayBoardTest, BoardEventsReachTheRecorderWhileRecordingWithTheirSizesAndTheClock)
{
    testsupport::TempDir dir;
    testsupport::ScopedCurrentDir cwd(dir.Path());
    LoadPlayRecord();
    RecordingMessages messages;
    RecordingSounds sounds;
    GameRandom random(7);
    VanteoBlockMap board({messages, sounds, random}, SeededTuning());
    board.Init(nullptr, 4, 4);
    board.playTime = 12.5f;
    CountingRecorder recorder;
    SetBoardEventRecorder(&recorder);
    RecordingScene scene;
    scene.Enter(0, 0);
    scene.m_pBoard = &board;

    auto send = [&](int32_t id, std::vector<int32_t> words) {
        std::vector<uint8_t> bytes(kSceneMessageDataBytes, 0);
        PayloadWriter writer;
        writer.I32(id);
        for (int32_t w : words)
            writer.I32(w);
        std::copy(writer.Bytes().begin(), writer.Bytes().end(), bytes.begin());
        int length = std::max(static_cast<int>(writer.Bytes().size()), MinimumMessageLength(id));
        scene.Dispatch(id, bytes.data(), length);
    };
    send(MSG_ROTATE, {1});  // recording off: nothing
    EXPECT_TRUE(recorder.sizes.empty());

    scene.m_bRecord = 1;
    send(MSG_BIG_STONE, {});
    send(MSG_BIG_STAR, {2, 3});
    send(MSG_GROUP_CLEARED, {1, 0, 20, 4, 0, 0, 0, 0});
    send(MSG_GROUP_CLEARED, {0, 0, 20, 4, 0, 0, 0, 0});  // flag 0: not recorded
    send(MSG_BOARD_LAYOUT, {});
    send(MSG_ROTATE, {-1});
    send(MSG_CHAIN, {});  // not a recorded kind
    EXPECT_EQ(recorder.ids, (std::vector<int>{MSG_BIG_STONE, MSG_BIG_STAR, MSG_GROUP_CLEARED, MSG_BOARD_LAYOUT, MSG_ROTATE}));
    EXPECT_EQ(recorder.sizes, (std::vector<int32_t>{4, 12, 36, 132, 8}));
    for (float t : recorder.times)
        EXPECT_FLOAT_EQ(t, 12.5f);

    // Leaving adds the board's whole seconds to the lifetime play time.
    scene.Leave();
    EXPECT_EQ(GetPlayerCounter("PlayTime"), 12);
    scene.m_pBoard = nullptr;
    SetBoardEventRecorder(nullptr);
}

TEST(FreePlayBoardTest, PausedAndFinishedStatesFreezeTheBoardsClock)
{
    RecordingMessages messages;
    RecordingSounds sounds;
    GameRandom random(7);
    VanteoBlockMap board({messages, sounds, random}, SeededTuning());
    board.Init(nullptr, 4, 4);
    RecordingScene scene;
    scene.m_pBoard = &board;
    board.playTime = 3.0f;
    scene.m_nState = kGameStatePaused;
    scene.Update(1.0f);
    EXPECT_FLOAT_EQ(board.playTime, 3.0f);
    scene.MsgProc(kMsgFinishGame, 0, 0);
    EXPECT_EQ(scene.m_nState, kGameStateFinished);
    scene.Update(1.0f);
    EXPECT_FLOAT_EQ(board.playTime, 3.0f);
    scene.m_pBoard = nullptr;
}

} // namespace
