#include "BoardFixture.h"

#include <cmath>

using namespace boardtest;

namespace {

const std::initializer_list<const char*> kCheckers = {"RGBRGBRG", "GBRGBRGB", "RGBRGBRG", "GBRGBRGB",
                                                      "RGBRGBRG", "GBRGBRGB", "RGBRGBRG", "GBRGBRGB"};

TEST(BoardSettle, SpeedFactorsFollowComboAndPlayClock)
{
    Harness h;
    VanteoBlockMap& b = *h.board;
    struct ComboCase {
        int combo;
        float clearSpeed, turnSpeed;
    };
    for (ComboCase c : {ComboCase{1, 1.0f, 100.0f / 99.0f}, ComboCase{4, std::sqrt(2.0f), 100.0f / 96.0f},
                        ComboCase{10, 2.0f, 100.0f / 90.0f}, ComboCase{13, std::sqrt(5.0f), 100.0f / 87.0f},
                        ComboCase{50, std::sqrt(1 + 49 / 3.0f), 2.0f}, ComboCase{51, std::sqrt(1 + 50 / 3.0f), 2.0f}}) {
        b.combo = c.combo;
        EXPECT_FLOAT_EQ(b.ClearTimerSpeed(), c.clearSpeed) << c.combo;
        EXPECT_FLOAT_EQ(b.SpeedFactor(), c.turnSpeed) << c.combo;
    }
    b.noComboMode = 1;
    EXPECT_FLOAT_EQ(b.SpeedFactor(), 1.0f);
    struct ClockCase {
        float clock, factor;
    };
    for (ClockCase c : {ClockCase{180.0f, 1.0f}, ClockCase{180.01f, 1.2f}, ClockCase{300.0f, 1.2f},
                        ClockCase{300.5f, 1.5f}, ClockCase{420.5f, 2.0f}}) {
        b.playTime = c.clock;
        EXPECT_FLOAT_EQ(b.PlayTimeFactor(), c.factor) << c.clock;
    }
}

// Steps the clear timeline in 0.01 s steps and returns the times at which cells were emptied
// batch by batch, and when the board went idle.
std::vector<float> RunTimeline(VanteoBlockMap& b, float* idleAt)
{
    std::vector<float> batches;
    auto presentCount = [&] {
        int n = 0;
        for (int i = 0; i < b.width * b.height; ++i)
            n += b.cells[i]->present;
        return n;
    };
    int last = presentCount();
    float t = 0;
    for (int i = 0; i < 2000; ++i) {
        t += 0.01f;
        b.UpdateClearQueue(0.01f);
        if (presentCount() != last) {
            last = presentCount();
            batches.push_back(t);
        }
        if (b.clearQueue.empty() && b.clearTimer < 0) {
            *idleAt = t;
            break;
        }
    }
    return batches;
}

TEST(BoardSettle, ClearTimelineSpeedsUpPerBatchAndEndsWithTheLastDelay)
{
    Harness h;
    h.Fill(kCheckers);
    VanteoBlockMap& b = *h.board;
    b.clearQueue = {0, 1, -1, 2, -1, 3, -1, 4};
    b.clearTimer = h.tuning.clearTimer;
    b.clearExtra = h.tuning.clearTimerAccel * 3;
    b.clearBatches = 0;
    float idle = 0;
    std::vector<float> at = RunTimeline(b, &idle);
    ASSERT_EQ(at.size(), 4u);
    EXPECT_NEAR(at[0], 0.45f, 0.011f);
    EXPECT_NEAR(at[1] - at[0], 0.60f, 0.011f);
    EXPECT_NEAR(at[2] - at[1], 0.75f, 0.011f);
    EXPECT_NEAR(at[3] - at[2], 0.90f, 0.011f);
    EXPECT_NEAR(idle - at[3], 0.25f, 0.011f);
    for (int cell : {0, 1, 2, 3, 4})
        EXPECT_FALSE(b.cells[cell]->present);
    EXPECT_TRUE(b.cells[5]->present);
}

TEST(BoardSettle, AfterTheBatchLimitEachBatchWaitsTheFixedDelay)
{
    Harness h;
    h.Fill(kCheckers);
    VanteoBlockMap& b = *h.board;
    for (int i = 0; i < 12; ++i) {
        b.clearQueue.push_back(i);
        b.clearQueue.push_back(-1);
    }
    b.clearQueue.push_back(12);
    b.clearTimer = h.tuning.clearTimer;
    b.clearExtra = h.tuning.clearTimerAccel * 12;
    float idle = 0;
    std::vector<float> at = RunTimeline(b, &idle);
    ASSERT_EQ(at.size(), 13u);
    // W x A + B = 9 batches, then S = 1 s each.
    for (size_t i = 9; i < at.size(); ++i)
        EXPECT_NEAR(at[i] - at[i - 1], 1.0f, 0.011f) << i;
    EXPECT_LE(at[8] - at[7], 1.0f + 0.011f);
}

TEST(BoardSettle, OnePlayTimeStepPerFrameAtMost)
{
    struct Case {
        float from, step;
        int posted;
    };
    for (Case c : {Case{59.99f, 0.03f, 1}, Case{50.0f, 80.0f, 1}, Case{60.0f, 0.5f, 1}, Case{60.01f, 0.5f, 0}, Case{10.0f, 1.0f, 0}}) {
        Harness h;
        h.board->playTime = c.from;
        h.board->UpdateTimers(c.step);
        EXPECT_EQ(h.messages.WithId(MSG_PLAY_TIME_STEP).size(), static_cast<size_t>(c.posted)) << c.from;
    }
    Harness frozen;
    frozen.board->frozen = 1;
    frozen.board->playTime = 59.99f;
    frozen.board->UpdateTimers(0.5f);
    EXPECT_FLOAT_EQ(frozen.board->playTime, 59.99f);
    EXPECT_TRUE(frozen.messages.posted.empty());
}

TEST(BoardSettle, LongOrBrokenFramesAreClamped)
{
    Harness h;
    h.board->NewGame();
    h.board->Update(1.0e9f);
    EXPECT_LE(h.board->playTime, VanteoBlockMap::kMaxFrameSeconds);
    const float before = h.board->playTime;
    h.board->Update(std::nanf(""));
    h.board->Update(-5.0f);
    EXPECT_FLOAT_EQ(h.board->playTime, before);
}

TEST(BoardSettle, GravityMovesOneCellPerPassAndHoldsWallsFixedAndPointBlocks)
{
    Harness h;
    h.Fill({"RWGFB...", "G.B.RR..", "..G.RR..", "........", "........", "........", "........", "........"});
    VanteoBlockMap& b = *h.board;
    b.CellAt(1, 1)->present = 0;
    b.CellAt(3, 0)->fixed = 1;
    b.CellAt(4, 0)->point = 1;
    b.CellAt(0, 1)->pin = 1;
    b.FindSquares(); // the RR square at (4..5, 1..2)
    ASSERT_EQ(b.CellAt(4, 2)->corner, 4);
    EXPECT_EQ(b.ApplyGravity(), 1);
    EXPECT_EQ(h.Picture()[0], ".W.FB...");
    EXPECT_EQ(h.Picture()[1], "R.G.....");
    EXPECT_EQ(h.Picture()[2], "G.B.RR..");
    EXPECT_EQ(h.Picture()[3], "..G.RR..");
    // The square moved as a whole and kept its anchor; the pin fell with its flag.
    EXPECT_EQ(b.CellAt(4, 3)->corner, 4);
    EXPECT_EQ(b.CellAt(4, 2)->corner, 0);
    EXPECT_TRUE(b.CellAt(4, 2)->inSquare);
    EXPECT_TRUE(b.CellAt(0, 2)->pin);
    // The moved block starts at its old cell and falls to the new one.
    EXPECT_FLOAT_EQ(b.CellAt(0, 2)->y, 45.0f);
    EXPECT_FLOAT_EQ(b.CellAt(0, 2)->targetY, 90.0f);
}

TEST(BoardSettle, ASquareWithOnlyOneFreeCellBelowStays)
{
    Harness h;
    h.Fill({"........", "........", "........", "........", "........", "RR......", "RR......", ".G......"});
    VanteoBlockMap& b = *h.board;
    b.FindSquares();
    ASSERT_EQ(b.CellAt(0, 6)->corner, 4);
    EXPECT_EQ(b.ApplyGravity(), 0);
    EXPECT_EQ(b.CellAt(0, 6)->corner, 4);
}

TEST(BoardSettle, LandingSoundsAreScheduledOncePerGapLength)
{
    Harness h;
    h.Fill({"RR......", "GG......", "BB......", "........", "........", "........", "RR......", "GG......"});
    VanteoBlockMap& b = *h.board;
    b.refillSpeed = 300;
    b.refillPending = 1;
    b.ApplyGravity();
    ASSERT_EQ(b.delayedSounds.size(), 1u);
    EXPECT_EQ(b.delayedSounds.front().sound, kSoundBlockDrop);
    EXPECT_FLOAT_EQ(b.delayedSounds.front().delay, 45.0f / 300.0f * 3);
    EXPECT_EQ(b.refillPending, 0);
    // The sound plays when its delay has run out.
    b.UpdateTimers(0.5f);
    EXPECT_EQ(h.sounds.played, std::vector<int>{kSoundBlockDrop});
}

TEST(BoardSettle, AClearedBoardRefillsFallsAndSettlesIntoAFullBoard)
{
    Harness h;
    h.board->NewGame();
    h.Settle(2000);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            const VanteoBlock* b = h.board->CellAt(c, r);
            ASSERT_TRUE(b->present);
            EXPECT_FLOAT_EQ(b->y, r * 45.0f);
        }
    // The first settle reports the layout.
    ASSERT_EQ(h.messages.WithId(MSG_BOARD_LAYOUT).size(), 1u);
    EXPECT_EQ(h.messages.WithId(MSG_BOARD_LAYOUT)[0].payload.size(), 128u);
    EXPECT_EQ(h.board->layoutPending, 0);
}

TEST(BoardSettle, AStarBlastWaitsHalfASecondBeforeRefilling)
{
    Harness h;
    h.Fill(kCheckers);
    VanteoBlockMap& b = *h.board;
    b.starBlasts = 1;
    b.Step(0.01f);
    EXPECT_EQ(b.starBlasts, 0);
    EXPECT_FLOAT_EQ(b.starTimer, 0.5f);
    EXPECT_EQ(h.sounds.played, std::vector<int>{kSoundBigStarLast});
    ASSERT_EQ(h.messages.WithId(MSG_BIG_STAR).size(), 1u);
    EXPECT_EQ(h.Payload(h.messages.WithId(MSG_BIG_STAR)[0]), (std::vector<int32_t>{4, 4}));
    EXPECT_EQ(b.Refill(), 1);
    EXPECT_FALSE(b.CellAt(0, 0)->present);
    EXPECT_EQ(b.StartRotate(1), 0);
    b.UpdateTimers(0.51f);
    EXPECT_EQ(b.Refill(), 1);
    EXPECT_TRUE(b.CellAt(0, 0)->present);
}

TEST(BoardSettle, AutoPlayReportsNothingLeftOnAStillBoardWithoutMoves)
{
    Harness h;
    h.Fill(kCheckers);
    VanteoBlockMap& b = *h.board;
    b.autoPlayTimer = 0;
    EXPECT_EQ(b.AutoPlayStep(), 1);
    // A loose star is turned first.
    b.CellAt(2, 2)->kind = kBlockStar;
    EXPECT_EQ(b.AutoPlayStep(), 0);
    EXPECT_NE(b.CellAt(2, 2)->kind, kBlockStar);
    EXPECT_FLOAT_EQ(b.autoPlayTimer, 0.3f);
}

TEST(BoardSettle, AutoPlayGivesUpOnHolesThatTurnsCannotClose)
{
    Harness h;
    h.Fill(kCheckers);
    VanteoBlockMap& b = *h.board;
    // A hole closed in by fixed blocks on all four sides never fills, whichever way the board turns.
    b.CellAt(3, 4)->Empty();
    for (auto [c, r] : {std::pair{3, 3}, std::pair{3, 5}, std::pair{2, 4}, std::pair{4, 4}})
        b.CellAt(c, r)->fixed = 1;
    int steps = 0;
    int result = 0;
    for (; steps < 20000 && !result; ++steps) {
        b.autoPlayTimer = 0;
        result = b.AutoPlayStep();
        h.board->Update(1.0f / 60.0f);
    }
    EXPECT_EQ(result, 1);
    EXPECT_LT(steps, 5000);
}

TEST(BoardSettle, IdleSparkleLightsOneDiagonalPerFrameAndRepeats)
{
    Harness h;
    VanteoBlockMap& b = *h.board;
    b.Sparkle(5.0f);
    EXPECT_FLOAT_EQ(b.idleTime, 5.0f);
    b.Sparkle(0.06f);
    b.Sparkle(0.80f);
    EXPECT_FLOAT_EQ(b.idleTime, 0.0f);
}

} // namespace
