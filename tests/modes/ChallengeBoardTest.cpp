// The combo challenge's board: the chain a click never breaks, the hardening rules by combo,
// pin marking, the weighted pick, the star weight that falls with the combo, and the test for a
// board without moves.
#include "../board/BoardFixture.h"

#include "modes/VanteoBlockMap_Challenge.h"

#include <set>

using namespace boardtest;

namespace {

class ChallengeBoardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        board = &h.Use<VanteoBlockMap_Challenge>();
        board->NewGame();
        board->noComboMode = 1;
    }
    int Count(int VanteoBlock::*flag) const
    {
        int n = 0;
        for (int i = 0; i < board->width * board->height; ++i)
            n += board->cells[i]->*flag ? 1 : 0;
        return n;
    }
    std::vector<std::vector<int32_t>> Posted(int32_t id)
    {
        std::vector<std::vector<int32_t>> out;
        for (const auto& m : h.messages.WithId(id))
            out.push_back(h.Payload(m));
        return out;
    }

    Harness h;
    VanteoBlockMap_Challenge* board = nullptr;
};

// A board with one red square at the top left and no other square.
void FillWithOneSquare(Harness& h)
{
    h.Fill({"RRGBGBGB", "RRBGBGBG", "GBGBGBGB", "BGBGBGBG", "GBGBGBGB", "BGBGBGBG", "GBGBGBGB", "BGBGBGBG"});
}

TEST_F(ChallengeBoardTest, ASingleClickNeverBreaksTheChain)
{
    FillWithOneSquare(h);
    board->FindGroups();
    board->combo = 21;
    h.messages.Clear();
    h.ClickCell(7, 7);  // a loose block
    EXPECT_EQ(board->combo, 21);
    EXPECT_EQ(Posted(MSG_COMBO_BREAK), (std::vector<std::vector<int32_t>>{{0}}));  // the square is a move
    h.Settle();
    h.messages.Clear();
    h.ClickCell(0, 0);
    EXPECT_EQ(Posted(MSG_COMBO), (std::vector<std::vector<int32_t>>{{21}}));
    EXPECT_EQ(board->combo, 22);
    EXPECT_EQ(board->x2, 1);
}

TEST_F(ChallengeBoardTest, TheFirstClearOfAGamePostsComboOne)
{
    FillWithOneSquare(h);
    board->FindGroups();
    h.messages.Clear();
    h.ClickCell(0, 0);
    EXPECT_EQ(Posted(MSG_COMBO), (std::vector<std::vector<int32_t>>{{1}}));
    EXPECT_EQ(board->combo, 2);
    EXPECT_EQ(h.sounds.played.back(), kSoundAllClear);
}

// The rules the next square search applies when the combo grew: fixed blocks and pins.
TEST_F(ChallengeBoardTest, TheBoardHardensAtItsComboSteps)
{
    struct Case {
        int combo;
        int fixed, pins;
    };
    const Case cases[] = {{6, 0, 0}, {7, 1, 0}, {13, 0, 1}, {14, 1, 0}, {27, 0, 1}, {250, 0, 0}, {252, 1, 0},
                          {1750, 1, 0}, {4000, 1, 0}};
    for (const Case& c : cases) {
        h.Fill({"RGBRGBRG", "GBRGBRGB", "BRGBRGBR", "RGBRGBRG", "GBRGBRGB", "BRGBRGBR", "RGBRGBRG", "GBRGBRGB"});
        board->pinRequest = 0;
        board->combo = c.combo;
        board->comboAdvanced = 1;
        board->FindGroups();
        EXPECT_EQ(Count(&VanteoBlock::fixed), c.fixed) << c.combo;
        EXPECT_EQ(Count(&VanteoBlock::pin), c.pins) << c.combo;
        EXPECT_EQ(board->comboAdvanced, 0);
    }
}

TEST_F(ChallengeBoardTest, PinsGoToColoursWithoutOneThenToAnyPlainBlock)
{
    h.Fill({"RGBRGBRG", "GBRGBRGB", "BRGBRGBR", "RGBRGBRG", "GBRGBRGB", "BRGBRGBR", "RGBRGBRG", "GBRGBRGB"});
    std::set<int> colours;
    for (int i = 0; i < 3; ++i) {
        board->MarkPinBlock();
        colours.clear();
        for (int k = 0; k < 64; ++k)
            if (board->cells[k]->pin)
                colours.insert(board->cells[k]->kind);
        EXPECT_EQ(static_cast<int>(colours.size()), i + 1);
    }
    EXPECT_EQ(h.sounds.played, (std::vector<int>{111, 111, 111}));
    board->MarkPinBlock();  // every colour has one: any plain block
    EXPECT_EQ(Count(&VanteoBlock::pin), 4);
}

TEST(ChallengeWeightTest, ColumnsAndRowsWeighByTheirPlaceInEachHalf)
{
    const std::pair<int, std::vector<int>> boards[] = {
        {8, {40, 30, 20, 10, 40, 30, 20, 10}},
        {6, {30, 20, 10, 30, 20, 10}},
        {4, {20, 10, 20, 10}},
        {10, {40, 40, 30, 20, 10, 40, 40, 30, 20, 10}},  // wider: the far cells keep the top weight
    };
    for (const auto& [size, weights] : boards) {
        std::vector<int> got;
        for (int i = 0; i < size; ++i)
            got.push_back(VanteoBlockMap_Challenge::ProfileWeight(i, size));
        EXPECT_EQ(got, weights) << size;
    }
}

TEST_F(ChallengeBoardTest, TheWeightedPickFavoursHeavyCells)
{
    // Two eligible red blocks: column 0 (weight 40) and column 3, row 3 (weight 10).
    h.Fill({"RGBGBGBG", "GBGBGBGB", "BGBGBGBG", "GBGRGBGB", "BGBGBGBG", "GBGBGBGB", "BGBGBGBG", "GBGBGBGB"});
    int heavy = 0, light = 0;
    for (int n = 0; n < 2000; ++n) {
        VanteoBlock* b = board->PickWeightedBlock(1);
        ASSERT_NE(b, nullptr);
        (b == board->CellAt(0, 0) ? heavy : light) += 1;
    }
    EXPECT_NEAR(static_cast<double>(heavy) / light, 4.0, 0.8);
    board->CellAt(0, 0)->pin = 1;
    board->CellAt(3, 3)->fixed = 1;
    EXPECT_EQ(board->PickWeightedBlock(1), nullptr);
}

TEST_F(ChallengeBoardTest, StarsThinOutAsTheComboGrows)
{
    h.tuning.weights[kBlockStar] = 10;
    board->RefreshTuning();
    auto stars = [&](int combo) {
        board->combo = combo;
        int n = 0;
        for (int i = 0; i < 4000; ++i)
            n += board->NewBlockKind() == kBlockStar ? 1 : 0;
        return n;
    };
    EXPECT_GT(stars(1), 700);  // 10 of 40
    EXPECT_EQ(stars(250), 0);
    EXPECT_EQ(stars(5000), 0);
    // A stage of stars alone: once they stop, the three colours come instead of a division by zero.
    h.tuning.weights[1] = h.tuning.weights[2] = h.tuning.weights[3] = 0;
    board->RefreshTuning();
    board->combo = 250;
    int kind = board->NewBlockKind();
    EXPECT_TRUE(IsColourKind(kind)) << kind;
}

TEST_F(ChallengeBoardTest, NoMoveIsLeftWithoutSquaresCompletingStarsOrPins)
{
    struct Case {
        std::vector<const char*> rows;
        bool pin;
        int expect;
    };
    const Case cases[] = {
        {{"RGBRGBRG", "GBRGBRGB", "BRGBRGBR", "RGBRGBRG", "GBRGBRGB", "BRGBRGBR", "RGBRGBRG", "GBRGBRGB"}, false, 1},
        {{"RGBRGBRG", "GBRGBRGB", "BRGBRGBR", "RGBRGBRG", "GBRGBRGB", "BRGBRGBR", "RGBRGBRG", "GBRGBRGB"}, true, 0},
        {{"RRBRGBRG", "RRRGBRGB", "BRGBRGBR", "RGBRGBRG", "GBRGBRGB", "BRGBRGBR", "RGBRGBRG", "GBRGBRGB"}, false, 0},
        {{"SRBRGBRG", "RRRGBRGB", "BRGBRGBR", "RGBRGBRG", "GBRGBRGB", "BRGBRGBR", "RGBRGBRG", "GBRGBRGB"}, false, 0},
    };
    for (const Case& c : cases) {
        h.Fill({c.rows[0], c.rows[1], c.rows[2], c.rows[3], c.rows[4], c.rows[5], c.rows[6], c.rows[7]});
        board->pinRequest = 0;
        board->FindGroups();
        if (c.pin)
            board->CellAt(7, 7)->pin = 1;
        EXPECT_EQ(board->HasNoMove(), c.expect) << c.rows[0];
    }
}

} // namespace
