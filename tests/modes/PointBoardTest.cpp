// The point challenge's board: point blocks placed one per colour, the multiplier of a clear,
// levels and their cap, streaks and big clears that make pins, single clicks on fixed and point
// blocks, and the clear sounds.
#include "../board/BoardFixture.h"

#include "data/ModeConfig.h"
#include "modes/VanteoBlockMap_Point.h"

#include <climits>

using namespace boardtest;

namespace {

class PointBoardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedValues = ModeConfig.multiRateValues;
        m_savedThresholds = ModeConfig.multiRateThresholds;
        ModeConfig.multiRateValues.clear();
        ModeConfig.multiRateThresholds.clear();
        board = &h.Use<VanteoBlockMap_Point>();
        board->NewGame();
    }
    void TearDown() override
    {
        ModeConfig.multiRateValues = m_savedValues;
        ModeConfig.multiRateThresholds = m_savedThresholds;
    }
    int Count(int VanteoBlock::*flag, int kind = 0) const
    {
        int n = 0;
        for (int i = 0; i < board->width * board->height; ++i) {
            const VanteoBlock* b = board->cells[i];
            n += (b->*flag && (kind == 0 || b->kind == kind)) ? 1 : 0;
        }
        return n;
    }
    // Points of the last group clear.
    int LastClearPoints()
    {
        auto cleared = h.messages.WithId(MSG_GROUP_CLEARED);
        return cleared.empty() ? -1 : h.Payload(cleared.back())[2];
    }
    // The red square at the top left with two loose red blocks beside it, point blocks of the
    // given values (0 for none); nothing else forms a square. Without multipliers it scores 3.
    void RedSquare(int topValue, int bottomValue)
    {
        h.Fill({"RRRBGBGB", "RRRGBGBG", "GBGBGBGB", "BGBGBGBG", "GBGBGBGB", "BGBGBGBG", "GBGBGBGB", "BGBGBGBG"});
        board->checkFlag = board->pinFlag = 0;
        const int values[2] = {topValue, bottomValue};
        for (int row = 0; row < 2; ++row)
            if (values[row]) {
                board->CellAt(2, row)->point = 1;
                board->CellAt(2, row)->value = values[row];
            }
        board->FindGroups();
        h.messages.Clear();
    }

    Harness h;
    VanteoBlockMap_Point* board = nullptr;
    std::vector<int> m_savedValues, m_savedThresholds;
};

TEST_F(PointBoardTest, TheFirstSearchOfAGamePlacesOnePointBlockPerColour)
{
    h.Fill({"RGBRGBRG", "GBRGBRGB", "BRGBRGBR", "RGBRGBRG", "GBRGBRGB", "BRGBRGBR", "RGBRGBRG", "GBRGBRGB"});
    board->FindGroups();
    for (int colour = 1; colour <= 3; ++colour)
        EXPECT_EQ(Count(&VanteoBlock::point, colour), 1) << colour;
    EXPECT_EQ(Count(&VanteoBlock::pin), 1);  // the game's first pin
    board->checkFlag = 1;
    board->FindGroups();  // every colour still has its free point block
    EXPECT_EQ(Count(&VanteoBlock::point), 3);
}

// Points are multiplied by the sum of the group's point values; without a table each is 1. Huge
// values saturate the points instead of wrapping them.
TEST_F(PointBoardTest, PointBlocksMultiplyAGroupsPoints)
{
    struct Case {
        int left, right;
        int points;
    };
    for (const Case& c : {Case{0, 0, 3}, Case{1, 1, 6}, Case{3, 5, 24}, Case{1000000000, 1500000000, INT_MAX}}) {
        board = &h.Use<VanteoBlockMap_Point>();
        board->NewGame();
        RedSquare(c.left, c.right);
        h.ClickCell(0, 0);
        EXPECT_EQ(LastClearPoints(), c.points) << c.left << "+" << c.right;
        auto cleared = h.messages.WithId(MSG_GROUP_CLEARED);
        ASSERT_EQ(cleared.size(), 1u);
        std::vector<int32_t> words = h.Payload(cleared.back());
        EXPECT_EQ(words[4], (c.left ? 1 : 0) + (c.right ? 1 : 0));
        EXPECT_EQ(words[5], words[4]);
    }
}

TEST_F(PointBoardTest, LevelsRiseToTheTablesLastEntryAndValueTheBlocks)
{
    ModeConfig.multiRateValues = {1, 2, 3, 5};
    EXPECT_EQ(board->PointValue(1), 1);
    board->RaiseLevel(1, 2);
    EXPECT_EQ(board->PointValue(1), 3);
    board->RaiseLevel(1, 10);
    EXPECT_EQ(board->levels[0], 3);
    EXPECT_EQ(board->PointValue(1), 5);
    ModeConfig.multiRateValues.clear();
    board->RaiseLevel(2, 1);  // an empty table: the level goes to -1 and the value is 1
    EXPECT_EQ(board->levels[1], -1);
    EXPECT_EQ(board->PointValue(2), 1);
}

TEST_F(PointBoardTest, ThreePointClearsInARowMakeAPin)
{
    for (int clear = 1; clear <= 3; ++clear) {
        int streak = board->pointStreak;
        board = &h.Use<VanteoBlockMap_Point>();
        board->NewGame();
        board->pointStreak = streak;
        RedSquare(1, 0);
        h.ClickCell(0, 0);
        EXPECT_EQ(board->pinFlag, clear == 3 ? 1 : 0) << clear;
    }
    EXPECT_EQ(board->pointStreak, 0);
    // A clear without point blocks ends a streak.
    board = &h.Use<VanteoBlockMap_Point>();
    board->NewGame();
    board->pointStreak = 2;
    RedSquare(0, 0);
    h.ClickCell(0, 0);
    EXPECT_EQ(board->pointStreak, 0);
    EXPECT_EQ(board->pinFlag, 0);
}

TEST_F(PointBoardTest, SingleClicksTakeFixedBlocksForABulletAndLeavePointBlocks)
{
    RedSquare(0, 0);
    board->CellAt(7, 7)->fixed = 1;  // green
    board->bullets[1] = 2;
    board->bulletTotals[1] = 2;
    h.ClickCell(7, 7);
    EXPECT_FALSE(board->CellAt(7, 7)->present);
    EXPECT_EQ(board->bullets[1], 1);
    EXPECT_EQ(board->bulletTotals[1], 1);
    EXPECT_EQ(board->combo, 1);

    h.Settle();
    board->CellAt(6, 7)->point = 1;  // blue
    board->CellAt(6, 7)->fixed = 0;
    h.messages.Clear();
    h.ClickCell(6, 7);
    EXPECT_TRUE(board->CellAt(6, 7)->present);
    auto clicked = h.messages.WithId(MSG_BLOCK_CLICKED);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(h.Payload(clicked[0])[6], 1);  // the point flag
}

TEST(PointClearSoundTest, TheFirstMatchingRuleChoosesTheSound)
{
    struct Case {
        int combo, multiplier, sum, sound;
    };
    const Case cases[] = {{20, 2, 0, 14}, {5, 2, 3, 15}, {5, 1, 3, 101}, {5, 1, 9, 101},
                          {5, 1, 10, 3},  {5, 1, 11, 102}, {5, 1, 0, 3}, {10, 1, 11, 14}};
    for (const Case& c : cases)
        EXPECT_EQ(VanteoBlockMap_Point::ClearSound(c.combo, c.multiplier, c.sum), c.sound)
            << c.combo << " " << c.multiplier << " " << c.sum;
}

} // namespace
