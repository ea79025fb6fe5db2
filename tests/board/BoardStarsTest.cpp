#include "BoardFixture.h"

#include <tinyxml.h>

using namespace boardtest;

namespace {

struct StarCase {
    const char* name;
    std::vector<const char*> rows; // rows 0..4 of the board; the rest walls
    int col, row;
    int colour;
    int completes;
};

class StarColour : public ::testing::TestWithParam<StarCase> {};

TEST_P(StarColour, ALooseStarTakesTheColourThatBestCompletesASquare)
{
    const StarCase& c = GetParam();
    Harness h;
    std::vector<std::string> rows(8, "WWWWWWWW");
    for (size_t i = 0; i < c.rows.size(); ++i)
        rows[i] = c.rows[i];
    h.Fill({rows[0].c_str(), rows[1].c_str(), rows[2].c_str(), rows[3].c_str(), rows[4].c_str(), rows[5].c_str(),
            rows[6].c_str(), rows[7].c_str()});
    h.board->FindGroups();
    int colour = 0;
    EXPECT_EQ(h.board->ChooseStarColour(c.col + c.row * 8, &colour), c.completes);
    EXPECT_EQ(colour, c.colour);
}

INSTANTIATE_TEST_SUITE_P(
    Board, StarColour,
    ::testing::Values(
        StarCase{"CompletesUpLeft", {"WWWWWWWW", "WWWWWWWW", "WWRRWWWW", "WWRSWWWW"}, 3, 3, 1, 1},
        StarCase{"CountsAnotherStar", {"WWWWWWWW", "WWWWWWWW", "WWRSWWWW", "WWRSWWWW"}, 3, 3, 1, 1},
        StarCase{"FewerStarsWin", {"WWWWWWWW", "WWWWWWWW", "WWSGWWWW", "WWGSBWWW", "WWWBBWWW"}, 3, 3, 3, 1},
        StarCase{"ScoringNeighbourOutweighsTwoAdjacent",
                 {"WWWWWWWW", "WWWRWWWW", "WWRSBBWW", "WWWWBBWW"}, 3, 2, 3, 0},
        StarCase{"NoColouredNeighbourGivesColourOne", {"WWWWWWWW", "WWWWWWWW", "WWWSWWWW"}, 3, 2, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BoardStars, ClickingALooseStarTurnsItAndTheNextSettleFormsTheSquare)
{
    Harness h;
    h.Fill({"WWWWWWWW", "WWWWWWWW", "WWRRWWWW", "WWRSWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW"});
    h.ClickCell(3, 3);
    EXPECT_EQ(h.board->CellAt(3, 3)->kind, 1);
    EXPECT_EQ(h.sounds.played, std::vector<int>{kSoundClickStar});
    ASSERT_EQ(h.messages.WithId(MSG_BLOCK_CLICKED).size(), 1u);
    EXPECT_EQ(h.Payload(h.messages.WithId(MSG_BLOCK_CLICKED)[0]), (std::vector<int32_t>{3, 3, 4, 1, 0, 0, 0}));
    h.board->FindGroups();
    EXPECT_EQ(h.board->CellAt(2, 3)->corner, 4);
}

TEST(BoardStars, AStarSquareBlastsTheBoardOncePerStarSquare)
{
    Harness h;
    h.Fill({"SSRGBRGB", "SSGBRGBR", "RGBRGBRG", "GBRGBRSS", "RGBRGBSS", "GBRGBRGB", "RGBRGBRG", "GBRGBRGB"});
    h.board->FindGroups();
    h.board->CellAt(6, 4)->magicTurnShown = 1;
    h.ClickCell(0, 0);
    EXPECT_EQ(h.board->starBlasts, 2);
    ASSERT_FALSE(h.board->clearEffect2.GetEntries().empty());
    EXPECT_EQ(h.board->clearEffect2.GetEntries()[0].points, 300);
    ASSERT_EQ(h.messages.WithId(MSG_BIG_STAR).size(), 1u);
    EXPECT_EQ(h.Payload(h.messages.WithId(MSG_BIG_STAR)[0]), (std::vector<int32_t>{0, 0}));
    EXPECT_EQ(h.sounds.played, std::vector<int>{kSoundBigStar});
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            EXPECT_FALSE(h.board->CellAt(c, r)->present);
    for (int i = 0; i < 2000 && h.board->starBlasts > 0; ++i)
        h.board->Update(1.0f / 60.0f);
    h.Settle(1000);
    auto blasts = h.messages.WithId(MSG_BIG_STAR);
    ASSERT_EQ(blasts.size(), 3u);
    EXPECT_EQ(h.Payload(blasts[1]), (std::vector<int32_t>{4, 4}));
    EXPECT_EQ(h.Payload(blasts[2]), (std::vector<int32_t>{4, 4}));
    std::vector<int> starSounds;
    for (int s : h.sounds.played)
        if (s == kSoundBigStar || s == kSoundBigStarLast)
            starSounds.push_back(s);
    EXPECT_EQ(starSounds, (std::vector<int>{kSoundBigStar, kSoundBigStar, kSoundBigStarLast}));
    // No points and no bullets come from stars.
    EXPECT_EQ(h.board->bullets[0] + h.board->bullets[1] + h.board->bullets[2], 0);
}

TEST(BoardStars, AMagicStoneSquareNeedsTwoClicksAndTakesTheLooseStones)
{
    Harness h;
    h.Fill({"OWWWWWWO", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "OOWWWWWW", "OOWWWWWO"});
    VanteoBlockMap& b = *h.board;
    b.FindGroups();
    ASSERT_EQ(b.CellAt(0, 7)->corner, 4);
    b.CellAt(0, 7)->magicTurnShown = 1;
    b.CellAt(0, 0)->pin = 1; // pins are stones too; the blast takes any loose stone
    h.ClickCell(1, 6);
    EXPECT_TRUE(b.CellAt(0, 7)->present);
    EXPECT_EQ(b.CellAt(0, 7)->magicTurnShown, 0);
    EXPECT_EQ(h.messages.WithId(MSG_BIG_STONE).size(), 1u);
    EXPECT_EQ(h.sounds.played.back(), kSoundBigStone);
    // The loose stones are queued all in one batch.
    EXPECT_EQ(b.clearQueue.size(), 3u);
    EXPECT_EQ(std::count(b.clearQueue.begin(), b.clearQueue.end(), -1), 0);
    b.clearQueue.clear();
    b.clearTimer = -1;
    h.ClickCell(0, 7);
    EXPECT_FALSE(b.CellAt(0, 7)->present);
    EXPECT_FALSE(b.CellAt(1, 6)->present);
    EXPECT_EQ(h.messages.WithId(MSG_BIG_STONE).size(), 2u);
    EXPECT_EQ(b.chainPending, 1);
    // The board recorded both stone squares.
    int stones = 0;
    for (TiXmlElement* rep = b.replay->FirstChildElement("Rep"); rep; rep = rep->NextSiblingElement("Rep"))
        stones += rep->Attribute("A4") != nullptr;
    EXPECT_EQ(stones, 2);
}

TEST(BoardStars, TheEraserWalksRingsAroundTheCellAndSkipsEmptiedCells)
{
    Harness h;
    h.Fill({"RRRRRRRR", "RRRRRRRR", "RRRRRRRR", "RRRRRRRR", "RRRRRRRR", "RRRRRRRR", "RRRRRRRR", "RRRRRRRR"});
    VanteoBlockMap& b = *h.board;
    b.CellAt(4, 3)->Empty(); // an emptied cell keeps its kind
    b.CellAt(3, 2)->pin = 1;
    const int queued = b.ClearSameKindNear(3, 3, 0);
    std::vector<int> firstRing;
    for (int cell : b.clearQueue) {
        if (cell == -1)
            break;
        firstRing.push_back(cell);
    }
    // Right, left, bottom and top sides in turn.
    EXPECT_EQ(firstRing, (std::vector<int>{4 + 2 * 8, 2 + 3 * 8, 3 + 4 * 8, 2 + 2 * 8, 2 + 4 * 8, 4 + 4 * 8}));
    EXPECT_EQ(queued, 64 - 3);
    EXPECT_EQ(b.bigClear, 9);
    EXPECT_EQ(std::count(b.clearQueue.begin(), b.clearQueue.end(), 3 + 3 * 8), 0);

    Harness corner;
    corner.Fill({"GRRRRRRR", "RRRRRRRR", "RRRRRRRR", "RRRRRRRR", "RRRRRRRR", "RRRRRRRR", "RRRRRRRR", "RRRRRRRR"});
    EXPECT_EQ(corner.board->ClearSameKindNear(0, 0, 0), 0);
    EXPECT_FLOAT_EQ(corner.board->clearTimer, corner.tuning.clearTimerLast);
}

TEST(BoardStars, HoverLightsWhatAClickWouldTake)
{
    Harness h;
    h.Fill({"WWWWWWWW", "WWWWWWWW", "WWRRWWWW", "WWRSWWWW", "WWWWWWWW", "GGBWWWWW", "GGGWWWWW", "RGGWWWWW"});
    VanteoBlockMap& b = *h.board;
    b.FindGroups();
    auto hover = [&](int col, int row) { b.Hover(b.originX + col * 45 + 5, b.originY + row * 45 + 5); };
    hover(1, 6); // the green group: one square and three loose blocks
    EXPECT_EQ(b.squareCount, 1);
    EXPECT_EQ(b.restCount, 4);
    EXPECT_EQ(b.hoverCol, 1);
    hover(2, 7); // same square: only the hover cell moves
    EXPECT_EQ(b.hoverCol, 2);
    EXPECT_EQ(b.squareCount, 1);
    hover(3, 3); // a loose star shows its future colour
    EXPECT_EQ(b.CellAt(3, 3)->starHover, 1);
    EXPECT_EQ(b.squareCount, 0);
    hover(0, 7); // a loose red block lights itself; the star hover goes
    EXPECT_EQ(b.CellAt(3, 3)->starHover, 0);
    b.clearTimer = 0.5f; // busy: highlights go
    hover(2, 7);
    EXPECT_EQ(b.hoverCol, -1);
    b.quiet = 1;
    b.clearTimer = -1;
    hover(2, 7);
    EXPECT_EQ(b.hoverCol, -1);
}

TEST(BoardStars, ThePreviewScoreDoublesPerMagicTurnSquare)
{
    Harness h;
    h.Fill({"WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "RRRWWWWW", "RRRRWWWW", "RRRRWWWW"});
    VanteoBlockMap& b = *h.board;
    b.FindGroups();
    int points = -1;
    EXPECT_EQ(b.GroupScore(0, 7, &points), 10);
    EXPECT_EQ(points, 10);
    b.CellAt(0, 7)->magicTurnShown = 1;
    b.CellAt(2, 7)->magicTurnShown = 1;
    b.CellAt(2, 7)->clearBonusShown = 1;
    EXPECT_EQ(b.GroupScore(0, 7, &points), 4 * (10 + 10));
    EXPECT_EQ(b.GroupScore(7, 0, &points), 0);
    EXPECT_EQ(points, 0);
}

} // namespace
