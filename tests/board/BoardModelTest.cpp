#include "BoardFixture.h"

#include <cmath>

using namespace boardtest;

namespace {

TEST(BoardModel, InitWithoutLayoutBuildsAnEightByEightBoardAtTheDefaultOrigin)
{
    Harness h;
    h.board->Init(nullptr, -1, -1);
    EXPECT_EQ(h.board->width, 8);
    EXPECT_EQ(h.board->height, 8);
    EXPECT_FLOAT_EQ(h.board->originX, 329);
    EXPECT_FLOAT_EQ(h.board->originY, 303);
    EXPECT_NE(h.board->CellAt(7, 7), nullptr);
    EXPECT_EQ(h.board->CellAt(8, 0), nullptr);
    EXPECT_EQ(h.board->CellAt(0, -1), nullptr);
    EXPECT_FALSE(h.board->CellAt(3, 3)->present);
}

TEST(BoardModel, SizesOutsideTheSupportedRangeAreRefused)
{
    Harness h;
    h.board->Init(nullptr, 1000, 0);
    EXPECT_EQ(h.board->width, 8);
    EXPECT_EQ(h.board->height, 8);
    h.board->Resize(14, 14);
    EXPECT_EQ(h.board->width, 14);
    EXPECT_NE(h.board->CellAt(13, 13), nullptr);
}

TEST(BoardModel, WeightedKindsFollowTheStageWeights)
{
    Harness h;
    h.tuning.weights[1] = h.tuning.weights[2] = h.tuning.weights[3] = 10;
    h.board->RefreshTuning();
    for (int i = 0; i < 300; ++i) {
        GameRandom copy = h.random;
        const int r = copy.Next() % 30;
        EXPECT_EQ(h.board->NewBlockKind(), r / 10 + 1) << "r = " << r;
    }
    // Only stars: every draw is a star.
    for (int& w : h.tuning.weights)
        w = 0;
    h.tuning.weights[4] = 3;
    h.board->RefreshTuning();
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(h.board->NewBlockKind(), 4);
}

TEST(BoardModel, WithoutWeightsOrStageTheThreeColoursAreDrawn)
{
    Harness h;
    for (int& w : h.tuning.weights)
        w = 0;
    for (int hasStage : {1, 0}) {
        h.tuning.hasStage = hasStage;
        h.board->RefreshTuning();
        for (int i = 0; i < 50; ++i) {
            const int kind = h.board->NewBlockKind();
            EXPECT_GE(kind, 1);
            EXPECT_LE(kind, 3);
        }
    }
}

struct SquareCase {
    const char* name;
    std::vector<const char*> rows;
    std::vector<std::pair<int, int>> anchors; // (col, row) with corner 4
    std::vector<int> firstGroup;              // cell indexes in search order
};

class SquareSearch : public ::testing::TestWithParam<SquareCase> {};

TEST_P(SquareSearch, FormsSquaresFromTheBottomLeftAndGrowsGroupsBreadthFirst)
{
    Harness h;
    const SquareCase& c = GetParam();
    std::vector<std::string> rows(8, "WWWWWWWW");
    for (size_t i = 0; i < c.rows.size(); ++i)
        rows[8 - c.rows.size() + i] = c.rows[i];
    h.Fill({rows[0].c_str(), rows[1].c_str(), rows[2].c_str(), rows[3].c_str(), rows[4].c_str(), rows[5].c_str(),
            rows[6].c_str(), rows[7].c_str()});
    h.board->FindGroups();
    std::vector<std::pair<int, int>> anchors;
    int covered = 0;
    for (int r = 0; r < 8; ++r)
        for (int col = 0; col < 8; ++col) {
            if (h.board->CellAt(col, r)->corner) {
                EXPECT_EQ(h.board->CellAt(col, r)->corner, 4);
                anchors.push_back({col, r});
            }
            covered += h.board->CellAt(col, r)->inSquare;
        }
    EXPECT_EQ(anchors, c.anchors);
    EXPECT_EQ(covered, 3 * static_cast<int>(c.anchors.size()));
    std::vector<int> first;
    for (int cell : h.board->groups) {
        if (cell == -1)
            break;
        first.push_back(cell);
    }
    EXPECT_EQ(first, c.firstGroup);
}

INSTANTIATE_TEST_SUITE_P(
    Board, SquareSearch,
    ::testing::Values(
        SquareCase{"TwoByTwo", {"WWWRRWWW", "WWWRRWWW"}, {{3, 7}}, {59, 60, 51, 52}},
        SquareCase{"ThreeByThreeInTheCorner",
                   {"RRRWWWWW", "RRRWWWWW", "RRRWWWWW"},
                   {{0, 7}},
                   // anchor (0,7), then right, up; then (1,7)'s right and up; ...
                   {56, 57, 48, 58, 49, 40, 50, 41, 42}},
        SquareCase{"ThreeWideLeavesTheRightColumn", {"GGGWWWWW", "GGGWWWWW"}, {{0, 7}}, {56, 57, 48, 58, 49, 50}},
        SquareCase{"ThreeHighFormsAtTheBottom", {"BBWWWWWW", "BBWWWWWW", "BBWWWWWW"}, {{0, 7}},
                   {56, 57, 48, 49, 40, 41}},
        SquareCase{"StarsFormASquareButNoGroup", {"SSRRWWWW", "SSRRWWWW"}, {{0, 7}, {2, 7}}, {58, 59, 50, 51}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BoardModel, APinOfTheGroupColourSplitsTwoSquares)
{
    Harness h;
    h.Fill({"WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "RRRRRWWW", "RRRRRWWW"});
    h.board->CellAt(2, 6)->pin = 1;
    h.board->CellAt(2, 7)->pin = 1;
    h.board->FindGroups();
    int groupsFound = static_cast<int>(std::count(h.board->groups.begin(), h.board->groups.end(), -1));
    EXPECT_EQ(groupsFound, 2);
    EXPECT_EQ(h.board->CellAt(0, 7)->corner, 4);
    EXPECT_EQ(h.board->CellAt(3, 7)->corner, 4);
    // Join marks stop at the pin.
    EXPECT_TRUE(h.board->CellAt(0, 7)->joinRight);
    EXPECT_FALSE(h.board->CellAt(1, 7)->joinRight);
}

TEST(BoardModel, ChainAndMagicMarksOfNewSquaresPostTheirMessages)
{
    struct Case {
        int kind;
        int chain, magic, noCombo, quiet;
        bool chainShown, magicShown;
        std::vector<int32_t> ids;
    };
    const std::vector<Case> cases = {
        {1, 1, 0, 0, 0, true, false, {MSG_CHAIN}},
        {1, 1, 1, 0, 0, true, true, {MSG_CHAIN, MSG_MAGIC_TURN}},
        {1, 1, 1, 1, 0, false, false, {}},
        {4, 1, 1, 0, 0, false, true, {MSG_MAGIC_TURN}},
        {5, 0, 1, 1, 0, false, true, {MSG_MAGIC_TURN}},
        {6, 1, 1, 0, 0, false, false, {}},
        {1, 1, 1, 0, 1, true, true, {}},
    };
    for (const Case& c : cases) {
        Harness h;
        const char k = ".RGBSOFW"[c.kind];
        const std::string line = std::string(2, k) + "WWWWWW";
        h.Fill({"WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", line.c_str(), line.c_str()});
        h.board->chainPending = c.chain;
        h.board->magicPending = c.magic;
        h.board->noComboMode = c.noCombo;
        h.board->quiet = c.quiet;
        h.board->FindSquares();
        const VanteoBlock* anchor = h.board->CellAt(0, 7);
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " noCombo " << c.noCombo << " quiet " << c.quiet);
        EXPECT_EQ(anchor->corner, 4);
        EXPECT_EQ(anchor->clearBonusShown != 0, c.chainShown);
        EXPECT_EQ(anchor->magicTurnShown != 0, c.magicShown);
        EXPECT_EQ(h.messages.Ids(), c.ids);
        EXPECT_EQ(h.sounds.played.size(), c.magicShown && !c.quiet ? 1u : 0u);
        EXPECT_EQ(h.board->magicPending, 0);
        if (c.magicShown && !c.quiet) {
            EXPECT_EQ(h.Payload(h.messages.WithId(MSG_MAGIC_TURN)[0]), std::vector<int32_t>{c.kind});
        }
        // The square-forming effect starts at the square's top-left corner.
        ASSERT_EQ(h.board->clearEffect.GetEntries().size(), 1u);
        EXPECT_FLOAT_EQ(h.board->clearEffect.GetEntries()[0].y, 6 * 45);
    }
}

TEST(BoardModel, SquareAnchorIsFoundFromAnyCellOfTheSquare)
{
    Harness h;
    h.Fill({"WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWRRWWW", "WWWRRWWW"});
    h.board->FindSquares();
    struct Case {
        int col, row, ac, ar;
    };
    for (Case c : {Case{3, 6, 3, 7}, Case{4, 6, 3, 7}, Case{4, 7, 3, 7}, Case{3, 7, 3, 7}, Case{0, 0, 0, 0},
                   Case{5, 7, 5, 7}}) {
        int ac, ar;
        h.board->FindSquareAnchor(c.col, c.row, &ac, &ar);
        EXPECT_EQ(ac, c.ac) << c.col << "," << c.row;
        EXPECT_EQ(ar, c.ar) << c.col << "," << c.row;
    }
}

TEST(BoardModel, CellFromPointUsesTheTruncatedOrigin)
{
    Harness h;
    struct Case {
        float x, y;
        int col, row;
    };
    for (Case c : {Case{329, 303, 0, 0}, Case{373, 347, 0, 0}, Case{374, 303, 1, 0}, Case{328, 400, -1, -1},
                   Case{329 + 8 * 45, 303, -1, -1}, Case{329 + 8 * 45 - 1, 303 + 8 * 45 - 1, 7, 7},
                   Case{std::nanf(""), 400, -1, -1}}) {
        int col, row;
        h.board->CellFromPoint(c.x, c.y, &col, &row);
        EXPECT_EQ(col, c.col) << c.x << "," << c.y;
        EXPECT_EQ(row, c.row) << c.x << "," << c.y;
    }
}

TEST(BoardModel, BusyWhileBlocksAboveTheBottomRowMove)
{
    Harness h;
    h.Fill({"RGBRGBRG", "GBRGBRGB", "RGBRGBRG", "GBRGBRGB", "RGBRGBRG", "GBRGBRGB", "RGBRGBRG", "GBRGBRGB"});
    EXPECT_EQ(h.board->IsBusy(), 0);
    h.board->CellAt(3, 7)->moving = 1;
    EXPECT_EQ(h.board->IsBusy(), 0);
    h.board->CellAt(3, 6)->moving = 1;
    EXPECT_EQ(h.board->IsBusy(), 1);
    h.board->CellAt(3, 6)->moving = 0;
    h.board->clearTimer = 0;
    EXPECT_EQ(h.board->IsBusy(), 1);
}

TEST(BoardModel, PlainBlockPickSkipsSquaresStarsStonesAndMarkedBlocks)
{
    Harness h;
    h.Fill({"WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "SOWWWWWW", "RRWWWWWW", "RRWWWWWW"});
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            if (h.board->CellAt(c, r)->kind == kBlockWall)
                h.board->CellAt(c, r)->Empty();
    h.board->FindSquares();
    EXPECT_EQ(h.board->PickPlainBlock(), nullptr);
    h.Fill({"GB"});
    h.board->CellAt(1, 0)->pin = 1;
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(h.board->PickPlainBlock(), h.board->CellAt(0, 0));
    h.board->FixRandomBlock();
    EXPECT_TRUE(h.board->CellAt(0, 0)->fixed);
}

TEST(BoardModel, NewGameWithAFixedSeedDrawsTheSameIncomingRow)
{
    Harness a, b;
    a.board->NewGame();
    b.random.Seed(999);
    b.board->NewGame();
    for (int col = 0; col < 8; ++col)
        EXPECT_EQ(a.board->incoming[col]->kind, b.board->incoming[col]->kind);
}

} // namespace
