// The push field: pushes and their doubling while a block moves, the lane limits, completed
// pushes and their drops, stones and traps, stars, the stacks that end the game, and the lane
// state sent to the other machine, mirrored, and read back from hostile bytes.
#include "lane/PushBlockSet.h"

#include "board/GameMessages.h"
#include "support/GameSeamFakes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

class PushFieldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        field.moveSpeed = 100.0f;
        field.trapTime = 2.0f;
        field.Reset();
        field.Update(0.0f);  // the first update starts the game
        messages.Clear();
        sounds.played.clear();
    }
    void Run(float seconds, float step = 0.05f)
    {
        for (float t = 0; t < seconds - 1e-4f; t += step)
            field.Update(step);
    }
    std::vector<std::vector<int32_t>> Drops()
    {
        std::vector<std::vector<int32_t>> out;
        for (const auto& m : messages.WithId(MSG_PUSH_BLOCK_DROP_ID)) {
            PayloadReader r = m.Reader();
            out.push_back({r.I32(), r.I32()});
        }
        return out;
    }

    RecordingMessages messages;
    RecordingSounds sounds;
    GameRandom random{5};
    PushBlockSet field{{messages, sounds, random}};
};

TEST_F(PushFieldTest, PushesDoubleWhileTheBlockMovesAndStopAtTheLaneEnds)
{
    field.ApplyPush(1, -20);
    EXPECT_FLOAT_EQ(field.lanes[1].target, -20.0f);
    field.ApplyPush(1, -20);  // still moving: twice as far
    EXPECT_FLOAT_EQ(field.lanes[1].target, -60.0f);
    EXPECT_EQ(field.lanes[1].comboCount, 1);  // no star opened a combo window
    field.ApplyPush(2, 500);
    EXPECT_FLOAT_EQ(field.lanes[2].target, 132.0f);
    EXPECT_EQ(sounds.played, (std::vector<int>{32, 32, 33}));

    PushBlockSet fresh({messages, sounds, random});
    fresh.ApplyPush(0, -50);  // before the first update: ignored
    EXPECT_FLOAT_EQ(fresh.lanes[0].target, 0.0f);
}

TEST_F(PushFieldTest, APushPastTheEndDropsABlockAndTheLaneStartsOver)
{
    field.ApplyPush(0, -130);
    Run(1.2f);
    EXPECT_TRUE(Drops().empty());  // at -120, not yet past -122
    Run(0.2f);
    EXPECT_EQ(Drops(), (std::vector<std::vector<int32_t>>{{0, 0}}));
    EXPECT_FLOAT_EQ(field.lanes[0].pos, 0.0f);
    EXPECT_FLOAT_EQ(field.lanes[0].target, 0.0f);
    field.ApplyPush(2, 130);
    Run(1.4f);
    EXPECT_EQ(Drops().back(), (std::vector<int32_t>{1, 2}));
}

TEST_F(PushFieldTest, StonesHoldTheMostAdvancedLaneUntilTheyRunOut)
{
    field.lanes[0].pos = field.lanes[0].target = -60.0f;
    field.lanes[1].pos = field.lanes[1].target = -10.0f;
    field.lanes[2].pos = field.lanes[2].target = 0.0f;
    field.TrapUserLane();
    ASSERT_EQ(field.stones.size(), 1u);
    EXPECT_EQ(field.stones[0].lane, 0);
    field.TrapUserLane();
    EXPECT_EQ(field.stones[1].lane, 1);  // lane 0 is busy
    field.TrapUserLane();
    EXPECT_EQ(field.stones[2].lane, 2);  // even though lane 0 is further
    field.ApplyPush(0, -40);
    Run(1.0f);
    EXPECT_FLOAT_EQ(field.lanes[0].pos, -60.0f);  // held
    EXPECT_LT(field.lanes[0].target, -60.0f);
    EXPECT_TRUE(messages.WithId(MSG_PUSH_FIELD_CHANGED).empty());
    Run(1.1f);
    EXPECT_EQ(messages.WithId(MSG_PUSH_FIELD_CHANGED).size(), 1u);
    EXPECT_TRUE(field.stones.empty());
    Run(0.5f);
    EXPECT_LT(field.lanes[0].pos, -60.0f);  // moving again

    field.TrapEnemyLane();
    field.TrapUserLane();
    sounds.played.clear();
    field.ApplyPush(3, -33);  // the player's star frees the player's lanes
    ASSERT_EQ(field.stones.size(), 1u);
    EXPECT_EQ(field.stones[0].side, 1);
    EXPECT_EQ(sounds.played, (std::vector<int>{53}));
    for (const PushLane& lane : field.lanes)
        EXPECT_GE(lane.comboTimer, 2.0f);
}

TEST_F(PushFieldTest, TheFirstStackOfFourEndsTheGame)
{
    for (int n = 0; n < 3; ++n)
        field.AddBlock(n, 1);
    field.Update(0.05f);
    EXPECT_TRUE(messages.WithId(MSG_GAME_LOSE).empty());
    EXPECT_EQ(field.enemyStackSize, 3);
    field.AddBlock(0, 1);
    field.Update(0.05f);
    field.Update(0.05f);
    EXPECT_EQ(messages.WithId(MSG_GAME_LOSE).size(), 1u);
    EXPECT_TRUE(messages.WithId(MSG_GAME_WIN).empty());
    EXPECT_EQ(field.gameOver, 1);
    field.AddBlock(7, 0);  // no such lane
    EXPECT_TRUE(field.userStack.empty());
}

// Fields that only save and load their lane state, on recorders.
class PushLaneStateTest : public ::testing::Test {
protected:
    PushBlockSet Field() { return PushBlockSet({messages, sounds, random}); }

    RecordingMessages messages;
    RecordingSounds sounds;
    GameRandom random{5};
};

TEST_F(PushLaneStateTest, TheStateIsSentMirroredAndReadBackSafely)
{
    PushBlockSet field = Field();
    field.lanes[0].pos = 30.0f;
    field.lanes[0].target = 50.0f;
    field.lanes[0].comboCount = 3;
    field.stones.push_back({1, -40.0f, 0, 5.0f});
    PushLaneState state;
    field.SaveState(state);
    EXPECT_FLOAT_EQ(state.lanes[0].pos, -30.0f);
    EXPECT_FLOAT_EQ(state.lanes[0].target, -50.0f);
    EXPECT_EQ(state.lanes[0].comboCount, 3);
    ASSERT_EQ(state.stoneCount, 1);
    EXPECT_EQ(state.stones[0].side, 1);
    EXPECT_FLOAT_EQ(state.stones[0].limit, 40.0f);

    std::vector<uint8_t> bytes = state.Encode();
    ASSERT_EQ(bytes.size(), PushLaneState::kBytes);
    PushLaneState back;
    ASSERT_TRUE(back.Decode(bytes.data(), bytes.size()));
    EXPECT_EQ(back.Encode(), bytes);
    PushBlockSet guest = Field();
    guest.LoadState(back);
    EXPECT_FLOAT_EQ(guest.lanes[0].pos, -30.0f);
    ASSERT_EQ(guest.stones.size(), 1u);

    struct Case {
        const char* what;
        size_t offset;
        int32_t word;
        bool accepted;
    };
    const Case cases[] = {{"eleven stones", 160, 11, false},
                          {"a negative count", 160, -1, false},
                          {"a stone on lane 5", 0, 5, false},
                          {"a stone of side 2", 8, 2, false},
                          {"a lane position far outside", 164, 0x4F000000, true}};
    for (const Case& c : cases) {
        std::vector<uint8_t> hostile = bytes;
        std::memcpy(hostile.data() + c.offset, &c.word, 4);
        PushLaneState read;
        EXPECT_EQ(read.Decode(hostile.data(), hostile.size()), c.accepted) << c.what;
        if (c.accepted) {
            EXPECT_LE(std::fabs(read.lanes[0].pos), PushBlockSet::kLaneLimit) << c.what;
        }
    }
    std::vector<uint8_t> nan = bytes;
    const uint32_t nanBits = 0x7FC00000u;
    std::memcpy(nan.data() + 168, &nanBits, 4);  // lane 0's target
    PushLaneState read;
    ASSERT_TRUE(read.Decode(nan.data(), nan.size()));
    EXPECT_FLOAT_EQ(read.lanes[0].target, 0.0f);
    EXPECT_FALSE(read.Decode(bytes.data(), 100));
}

TEST_F(PushLaneStateTest, AHostileStateIsRefusedWholeOrBroughtWithinLimits)
{
    PushLaneState good;
    good.stoneCount = 1;
    good.stones[0] = {2, -30.0f, 1, 4.0f};
    good.lanes[1].pos = 20.0f;
    struct Case {
        const char* what;
        void (*spoil)(PushLaneState&);
        bool accepted;
        size_t stones;
    };
    const Case cases[] = {
        {"as sent", [](PushLaneState&) {}, true, 1},
        {"a count of 40 takes ten", [](PushLaneState& s) { s.stoneCount = 40; }, true, 10},
        {"a negative count takes none", [](PushLaneState& s) { s.stoneCount = -3; }, true, 0},
        {"a stone on lane 3", [](PushLaneState& s) { s.stones[0].lane = 3; }, false, 0},
        {"a stone on lane -1", [](PushLaneState& s) { s.stones[0].lane = -1; }, false, 0},
        {"a stone of side 7", [](PushLaneState& s) { s.stones[0].side = 7; }, false, 0},
        {"a stone limit that is no number", [](PushLaneState& s) { s.stones[0].limit = std::numeric_limits<float>::quiet_NaN(); }, false, 0},
        {"an endless stone timer", [](PushLaneState& s) { s.stones[0].timer = INFINITY; }, false, 0},
        {"a lane target that is no number", [](PushLaneState& s) { s.lanes[2].target = std::numeric_limits<float>::quiet_NaN(); }, false, 0},
        {"an endless combo timer", [](PushLaneState& s) { s.lanes[0].comboTimer = -INFINITY; }, false, 0},
    };
    for (const Case& c : cases) {
        PushLaneState state = good;
        c.spoil(state);
        PushBlockSet field = Field();
        field.lanes[0].pos = 7.0f;
        EXPECT_EQ(field.LoadState(state), c.accepted) << c.what;
        if (c.accepted) {
            EXPECT_EQ(field.stones.size(), c.stones) << c.what;
            EXPECT_FLOAT_EQ(field.lanes[1].pos, 20.0f) << c.what;
        } else {
            EXPECT_TRUE(field.stones.empty()) << c.what;
            EXPECT_FLOAT_EQ(field.lanes[0].pos, 7.0f) << c.what;  // nothing changed
        }
    }
    PushLaneState far = good;
    far.lanes[0].pos = 5000.0f;
    PushBlockSet field = Field();
    ASSERT_TRUE(field.LoadState(far));
    EXPECT_FLOAT_EQ(field.lanes[0].pos, PushBlockSet::kLaneLimit);
}

} // namespace
