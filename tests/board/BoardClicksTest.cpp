#include "BoardFixture.h"

#include <tinyxml.h>

using namespace boardtest;

namespace {

// Rows 0..4 are walls; the group lives in rows 5..7.
void FillBottom(Harness& h, const char* r5, const char* r6, const char* r7)
{
    h.Fill({"WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", r5, r6, r7});
    h.board->FindGroups();
}

std::vector<int32_t> GroupCleared(Harness& h)
{
    auto cleared = h.messages.WithId(MSG_GROUP_CLEARED);
    EXPECT_EQ(cleared.size(), 1u);
    return cleared.empty() ? std::vector<int32_t>{} : h.Payload(cleared[0]);
}

struct ScoreCase {
    const char* name;
    const char *r5, *r6, *r7;
    int chainSquares, magicSquares, combo, cap;
    float k;
    int points;
};

class ClickScore : public ::testing::TestWithParam<ScoreCase> {};

TEST_P(ClickScore, GroupClearScoresSquaresLooseBlocksAndFactors)
{
    const ScoreCase& c = GetParam();
    Harness h;
    h.tuning.bigBlockK = c.k;
    h.board->RefreshTuning();
    FillBottom(h, c.r5, c.r6, c.r7);
    int chain = c.chainSquares, magic = c.magicSquares;
    for (int col = 0; col < 8; ++col) {
        VanteoBlock* b = h.board->CellAt(col, 7);
        if (!b->corner)
            continue;
        if (chain-- > 0)
            b->clearBonusShown = 1;
        else if (magic-- > 0)
            b->magicTurnShown = 1;
    }
    h.board->combo = c.combo;
    h.board->pointsCap = c.cap;
    h.board->UpdateX2(0);
    h.ClickCell(0, 7);
    std::vector<int32_t> p = GroupCleared(h);
    ASSERT_EQ(p.size(), 8u);
    EXPECT_EQ(p[2], c.points);
    EXPECT_EQ(h.board->bullets[0], std::min(c.points, 400));
}

INSTANTIATE_TEST_SUITE_P(
    Board, ClickScore,
    ::testing::Values(
        ScoreCase{"OneSquare", "WWWWWWWW", "RRWWWWWW", "RRWWWWWW", 0, 0, 1, -1, 1.0f, 1},
        ScoreCase{"TwoSquaresThreeLoose", "RRRWWWWW", "RRRRWWWW", "RRRRWWWW", 0, 0, 1, -1, 1.0f, 10},
        ScoreCase{"ChainSquare", "RRRWWWWW", "RRRRWWWW", "RRRRWWWW", 1, 0, 1, -1, 1.0f, 20},
        ScoreCase{"MagicSquare", "RRRWWWWW", "RRRRWWWW", "RRRRWWWW", 0, 1, 1, -1, 1.0f, 20},
        ScoreCase{"ChainAndMagic", "RRRWWWWW", "RRRRWWWW", "RRRRWWWW", 1, 1, 1, -1, 1.0f, 40},
        ScoreCase{"EleventhClearDoubles", "RRRWWWWW", "RRRRWWWW", "RRRRWWWW", 0, 0, 11, -1, 1.0f, 20},
        ScoreCase{"MagicOnTheEleventh", "RRRWWWWW", "RRRRWWWW", "RRRRWWWW", 0, 1, 11, -1, 1.0f, 40},
        ScoreCase{"CappedAt999", "WWWWWWWW", "RRWWWWWW", "RRWWWWWW", 0, 0, 1, 999, 1500.0f, 999}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BoardClicks, AnOverflowingStackIsReportedRecordedAndCut)
{
    Harness h;
    h.tuning.bigBlockK = 25.0f;
    h.board->RefreshTuning();
    FillBottom(h, "WWWWWWWW", "RRWWWWWW", "RRWWWWWW");
    h.board->CellAt(0, 7)->magicTurnShown = 1; // 50 points with the multiplier 2
    h.tuning.bigBlockK = 25.0f;
    h.board->bullets[0] = 390;
    h.board->bulletTotals[0] = 390;
    h.board->reportedTotals[0] = 390;
    h.ClickCell(1, 6);
    EXPECT_EQ(h.messages.Ids(), (std::vector<int32_t>{MSG_DOUBLE_CHANCE, MSG_BULLET_OVERFLOW, MSG_GROUP_CLEARED,
                                                      MSG_BULLET_GAIN, MSG_COMBO}));
    EXPECT_EQ(h.Payload(h.messages.WithId(MSG_BULLET_OVERFLOW)[0]), (std::vector<int32_t>{0, 40}));
    EXPECT_EQ(h.Payload(h.messages.WithId(MSG_BULLET_GAIN)[0]), (std::vector<int32_t>{0, 10}));
    EXPECT_EQ(h.Payload(h.messages.WithId(MSG_GROUP_CLEARED)[0]), (std::vector<int32_t>{1, 0, 50, 4, 0, 0, 0, 7}));
    EXPECT_EQ(h.Payload(h.messages.WithId(MSG_COMBO)[0]), std::vector<int32_t>{1});
    EXPECT_EQ(h.board->bullets[0], 400);
    EXPECT_EQ(h.board->bulletTotals[0], 400);
    // The replay holds the fire of the excess and the gain.
    std::vector<std::string> reps;
    for (TiXmlElement* rep = h.board->replay->FirstChildElement("Rep"); rep; rep = rep->NextSiblingElement("Rep")) {
        const char* fire = rep->Attribute("A0");
        const char* gain = rep->Attribute("B0");
        reps.push_back(fire ? std::string("A0=") + fire : gain ? std::string("B0=") + gain : "?");
    }
    EXPECT_EQ(reps, (std::vector<std::string>{"A0=40", "B0=10"}));
    EXPECT_EQ(h.sounds.played.front(), kSoundDouble);
}

TEST(BoardClicks, TheTenthClearOpensTheDoubleChanceAndASingleClickMissesIt)
{
    Harness h;
    FillBottom(h, "GWWWWWWW", "RRWWWWWW", "RRWWWWWW");
    h.board->combo = 10;
    h.ClickCell(0, 7);
    EXPECT_EQ(h.Payload(h.messages.WithId(MSG_COMBO)[0]), std::vector<int32_t>{10});
    EXPECT_NE(std::find(h.sounds.played.begin(), h.sounds.played.end(), kSoundDoubleChance), h.sounds.played.end());
    EXPECT_EQ(h.board->combo, 11);
    h.board->UpdateX2(0);
    EXPECT_EQ(h.board->x2, 2);
    // A loose block in between breaks the chain: the next clear counts single again.
    h.board->clearQueue.clear();
    h.board->clearTimer = -1;
    h.messages.Clear();
    h.sounds.played.clear();
    h.ClickCell(0, 5);
    EXPECT_EQ(h.messages.Ids(), (std::vector<int32_t>{MSG_BLOCK_CLICKED, MSG_COMBO_BREAK}));
    EXPECT_EQ(h.Payload(h.messages.WithId(MSG_COMBO_BREAK)[0]), std::vector<int32_t>{0});
    EXPECT_EQ(h.sounds.played, (std::vector<int>{kSoundClick, kSoundClickLoss}));
    EXPECT_EQ(h.board->combo, 1);
    h.board->UpdateX2(0);
    EXPECT_EQ(h.board->x2, 1);
}

TEST(BoardClicks, SingleClicksKeepOrBreakTheChainByTheBlocksFlags)
{
    struct Case {
        const char* name;
        int pin, fixedFlag, point, combo;
        bool removed, breaks;
    };
    for (Case c : {Case{"loose", 0, 0, 0, 3, true, true}, Case{"looseNoChain", 0, 0, 0, 1, true, false},
                   Case{"pin", 1, 0, 0, 3, true, false}, Case{"fixed", 0, 1, 0, 3, false, false},
                   Case{"point", 0, 0, 1, 3, false, true}}) {
        Harness h;
        FillBottom(h, "GWWWWWWW", "RWWWWWWW", "BWWWWWWW");
        VanteoBlock* b = h.board->CellAt(0, 6);
        b->pin = c.pin;
        b->fixed = c.fixedFlag;
        b->point = c.point;
        h.board->combo = c.combo;
        h.ClickCell(0, 6);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(b->present == 0, c.removed);
        EXPECT_EQ(h.board->combo == 1, c.breaks || c.combo == 1);
        EXPECT_EQ(h.messages.WithId(MSG_COMBO_BREAK).size(), c.breaks ? 1u : 0u);
        auto clicked = h.messages.WithId(MSG_BLOCK_CLICKED);
        ASSERT_EQ(clicked.size(), 1u);
        EXPECT_EQ(h.Payload(clicked[0]), (std::vector<int32_t>{0, 6, 1, 1, c.pin, c.fixedFlag, c.point}));
        EXPECT_EQ(h.board->layoutPending, 1);
    }
}

TEST(BoardClicks, EmptyCellsAndBlocksWithoutActionOnlyReportTheClick)
{
    Harness h;
    FillBottom(h, "GWWWWWWW", "RFWWWWWW", "BOWWWWWW");
    h.board->CellAt(0, 5)->Empty();
    h.ClickCell(0, 5);
    h.ClickCell(1, 6);
    h.ClickCell(1, 7);
    auto clicked = h.messages.WithId(MSG_BLOCK_CLICKED);
    ASSERT_EQ(clicked.size(), 3u);
    EXPECT_EQ(h.Payload(clicked[0]), (std::vector<int32_t>{0, 5, 2, 0, 0, 0, 0}));
    EXPECT_EQ(h.Payload(clicked[1]), (std::vector<int32_t>{1, 6, 6, 1, 0, 0, 0}));
    EXPECT_EQ(h.Payload(clicked[2]), (std::vector<int32_t>{1, 7, 5, 1, 0, 0, 0}));
    EXPECT_EQ(h.messages.posted.size(), 3u);
}

TEST(BoardClicks, ClicksAreRefusedWhileBusyQuietTurningOrOutside)
{
    Harness h;
    FillBottom(h, "GWWWWWWW", "RRWWWWWW", "RRWWWWWW");
    h.board->clearTimer = 0.1f;
    h.ClickCell(0, 7);
    h.board->clearTimer = -1;
    h.board->quiet = 1;
    h.ClickCell(0, 7);
    h.board->quiet = 0;
    h.board->turnTarget = 1.0f;
    h.board->turnAngle = 0.2f;
    h.ClickCell(0, 7);
    h.board->turnTarget = h.board->turnAngle = 0;
    h.board->Click(10, 10);
    EXPECT_TRUE(h.messages.posted.empty());
    EXPECT_TRUE(h.board->CellAt(0, 7)->present);
}

TEST(BoardClicks, AGroupLeavesInRingsAroundTheClickedSquare)
{
    Harness h;
    FillBottom(h, "WWWWWWWW", "RRWWWWWW", "RRRRRWWW");
    h.ClickCell(1, 6);
    // The anchor (0, 7) goes at the click; then the square's other cells with the first ring.
    EXPECT_FALSE(h.board->CellAt(0, 7)->present);
    // Each ring marker closes a batch; the delays grow by Accel per batch.
    EXPECT_EQ(h.board->clearQueue, (std::list<int>{48, 49, 57, 58, -1, 59, -1, 60, -1}));
    EXPECT_FLOAT_EQ(h.board->clearExtra, 3 * h.tuning.clearTimerAccel);
    EXPECT_FLOAT_EQ(h.board->clearTimer, h.tuning.clearTimer);
    EXPECT_TRUE(h.board->groups.empty());
    // The clicked square's effect shows the points.
    ASSERT_EQ(h.board->clearEffect2.GetEntries().size(), 1u);
    EXPECT_EQ(h.board->clearEffect2.GetEntries()[0].points, 4);
    EXPECT_EQ(h.board->clearEffect2.GetEntries()[0].row, 1);
}

TEST(BoardClicks, QuietBoardsStillPostTheDoubleChanceAndComboBreak)
{
    Harness h;
    FillBottom(h, "GWWWWWWW", "RRWWWWWW", "RRWWWWWW");
    h.board->CellAt(0, 7)->magicTurnShown = 1;
    h.board->quiet = 1;
    h.board->ClearGroup(0, 7);
    EXPECT_EQ(h.messages.Ids(), std::vector<int32_t>{MSG_DOUBLE_CHANCE});
    h.messages.Clear();
    h.board->combo = 4;
    h.board->AfterSingleClick(0, 5);
    EXPECT_EQ(h.messages.Ids(), std::vector<int32_t>{MSG_COMBO_BREAK});
}

} // namespace
