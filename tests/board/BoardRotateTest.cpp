#include "BoardFixture.h"

#include <cmath>

using namespace boardtest;

namespace {

const std::initializer_list<const char*> kCheckers = {"RGBRGBRG", "GBRGBRGB", "RGBRGBRG", "GBRGBRGB",
                                                      "RGBRGBRG", "GBRGBRGB", "RGBRGBRG", "GBRGBRGB"};

// Tags every block with its cell index through its number, turns, and returns where each went.
std::map<int, std::pair<int, int>> TurnAndTrace(Harness& h, int direction)
{
    VanteoBlockMap& b = *h.board;
    for (int i = 0; i < 64; ++i)
        b.cells[i]->value = i + 100;
    b.ApplyRotation(direction);
    std::map<int, std::pair<int, int>> where;
    for (int i = 0; i < 64; ++i)
        where[b.cells[i]->value - 100] = {i % 8, i / 8};
    return where;
}

TEST(BoardRotate, ATurnMovesEveryBlockToItsTurnedCell)
{
    Harness h;
    h.Fill(kCheckers);
    auto right = TurnAndTrace(h, 1);
    EXPECT_EQ(right[0], std::make_pair(7, 0));
    EXPECT_EQ(right[56], std::make_pair(0, 0));
    EXPECT_EQ(right[7], std::make_pair(7, 7));
    Harness l;
    l.Fill(kCheckers);
    auto left = TurnAndTrace(l, -1);
    EXPECT_EQ(left[0], std::make_pair(0, 7));
    EXPECT_EQ(left[7], std::make_pair(0, 0));
    // Blocks rest on their new cells.
    EXPECT_FLOAT_EQ(l.board->CellAt(3, 5)->x, 3 * 45.0f);
    EXPECT_FLOAT_EQ(l.board->CellAt(3, 5)->targetY, 5 * 45.0f);
}

TEST(BoardRotate, SquaresKeepTheirAnchorInItsTurnedCorner)
{
    struct Case {
        int direction, col, row, corner;
    };
    for (Case c : {Case{1, 0, 3, 1}, Case{-1, 7, 4, 3}}) {
        Harness h;
        h.Fill({"GBRGBRGB", "RGBRGBRG", "GBRGBRGB", "RGBRGBRG", "GBRGBRGB", "RGBRGBRG", "GBRGGRGB", "RGBGGBRG"});
        h.board->FindSquares();
        ASSERT_EQ(h.board->CellAt(3, 7)->corner, 4);
        h.board->ApplyRotation(c.direction);
        EXPECT_EQ(h.board->CellAt(c.col, c.row)->corner, c.corner) << c.direction;
        EXPECT_EQ(h.board->magicPending, 1);
        EXPECT_EQ(h.board->layoutPending, 1);
        // The turned board still has exactly that one square.
        int anchors = 0, covered = 0;
        for (int i = 0; i < 64; ++i) {
            anchors += h.board->cells[i]->corner != 0;
            covered += h.board->cells[i]->inSquare;
        }
        EXPECT_EQ(anchors, 1);
        EXPECT_EQ(covered, 3);
    }
}

TEST(BoardRotate, CornersMapOneStepPerTurn)
{
    Harness h;
    h.Fill(kCheckers);
    VanteoBlock* b = h.board->CellAt(0, 0);
    const int right[5] = {0, 2, 3, 4, 1}, left[5] = {0, 4, 1, 2, 3};
    for (int corner = 1; corner <= 4; ++corner) {
        for (int d : {1, -1}) {
            h.Fill(kCheckers);
            b = h.board->CellAt(3, 3);
            b->corner = corner;
            b->value = 55;
            h.board->ApplyRotation(d);
            int found = 0;
            for (int i = 0; i < 64; ++i)
                if (h.board->cells[i]->value == 55)
                    found = h.board->cells[i]->corner;
            EXPECT_EQ(found, d > 0 ? right[corner] : left[corner]) << corner << " " << d;
        }
    }
}

// Runs frames until the running turn has ended.
void FinishTurn(Harness& h)
{
    for (int i = 0; i < 200 && h.board->turnTarget != h.board->turnAngle; ++i)
        h.board->Update(1.0f / 60.0f);
}

TEST(BoardRotate, ATurnPlaysItsSoundPostsItsDirectionAndEndsWithinTheTurnTime)
{
    Harness h;
    h.Fill(kCheckers);
    EXPECT_EQ(h.board->RequestRotate(-1), 1);
    EXPECT_FLOAT_EQ(h.board->turnTarget, -1.5707963705062866f);
    EXPECT_EQ(h.sounds.played, std::vector<int>{kSoundRotate});
    ASSERT_EQ(h.messages.WithId(MSG_ROTATE).size(), 1u);
    EXPECT_EQ(h.Payload(h.messages.WithId(MSG_ROTATE)[0]), std::vector<int32_t>{-1});
    EXPECT_EQ(h.board->IsBusy(), 1);
    int frames = 0;
    for (; frames < 100 && h.board->turnTarget != h.board->turnAngle; ++frames)
        h.board->Update(1.0f / 60.0f);
    // About 0.9 x RotateTime at combo 1.
    EXPECT_GE(frames, 9);
    EXPECT_LE(frames, 13);
    EXPECT_EQ(h.board->turnAngle, 0.0f);
    EXPECT_EQ(h.board->turnReady, 1);
}

TEST(BoardRotate, RequestsWaitForTheBoardOrTheSecondHalfOfATurn)
{
    struct Case {
        const char* name;
        float progress; // of a running turn; -1: no turn, the board busy clearing
        int pendingAfter;
        bool startsNow;
    };
    for (Case c : {Case{"busy", -1.0f, 1, false}, Case{"early", 0.3f, 0, false}, Case{"late", 0.7f, 1, false},
                   Case{"idle", 0.0f, 0, true}}) {
        Harness h;
        h.Fill(kCheckers);
        VanteoBlockMap& b = *h.board;
        if (c.progress < 0) {
            b.clearTimer = 0.2f;
        } else if (c.progress > 0) {
            b.turnTarget = 1.5707964f;
            b.turnAngle = c.progress * b.turnTarget;
            b.turnReady = 0;
        }
        h.board->RequestRotate(1);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(b.pendingTurn, c.pendingAfter);
        EXPECT_EQ(h.messages.WithId(MSG_ROTATE).size(), c.startsNow ? 1u : 0u);
    }
}

TEST(BoardRotate, APendingTurnStartsOnceTheBoardHasSettled)
{
    Harness h;
    h.Fill(kCheckers);
    VanteoBlockMap& b = *h.board;
    b.clearTimer = 0.05f;
    b.RequestRotate(1);
    EXPECT_TRUE(h.messages.WithId(MSG_ROTATE).empty());
    for (int i = 0; i < 30 && h.messages.WithId(MSG_ROTATE).empty(); ++i)
        b.Update(1.0f / 60.0f);
    EXPECT_EQ(h.messages.WithId(MSG_ROTATE).size(), 1u);
    EXPECT_EQ(b.pendingTurn, 0);
    // A request late in this turn runs right after it.
    while (b.turnAngle / b.turnTarget <= 0.5f)
        b.Update(0.005f);
    b.RequestRotate(-1);
    FinishTurn(h);
    ASSERT_EQ(h.messages.WithId(MSG_ROTATE).size(), 2u);
    EXPECT_EQ(h.Payload(h.messages.WithId(MSG_ROTATE)[1]), std::vector<int32_t>{-1});
}

TEST(BoardRotate, TurnsAreRefusedAfterAStarBlastAndBeforeTheNextSquareSearch)
{
    Harness h;
    h.Fill(kCheckers);
    VanteoBlockMap& b = *h.board;
    b.starTimer = 0.3f;
    EXPECT_EQ(b.StartRotate(1), 0);
    b.starTimer = 0;
    b.turnReady = 0;
    EXPECT_EQ(b.StartRotate(1), 0);
    b.FindSquares();
    EXPECT_EQ(b.StartRotate(1), 1);
    EXPECT_EQ(b.StartRotate(1), 0); // one is running
    EXPECT_EQ(b.StartRotate(2), 0);
}

TEST(BoardRotate, QuietBoardsTurnSilentlyAtTheirOwnSpeed)
{
    Harness h;
    h.Fill(kCheckers);
    VanteoBlockMap& b = *h.board;
    b.quiet = 1;
    EXPECT_EQ(b.StartRotate(1), 1);
    b.UpdateBlocks(0.01f);
    const float f = 3.0f * std::sin(3.14159265358979f * 0.01f);
    const float expected = 0.01f * 3.14159265358979f * 0.5f / 0.2f * 1.2f * f;
    EXPECT_NEAR(b.turnAngle, expected, 1e-6f);
    EXPECT_TRUE(h.sounds.played.empty());
    EXPECT_TRUE(h.messages.posted.empty());
}

TEST(BoardRotate, DrawingDuringATurnCrossFadesTwoCopiesOfEachBlock)
{
    Harness h;
    h.Fill(kCheckers);
    VanteoBlockMap& b = *h.board;
    b.turnTarget = 1.5707964f;
    b.turnAngle = b.turnTarget * 0.25f;
    b.UpdateDrawMatrix();
    // The board turns about its centre, then moves to its origin.
    D3DXVECTOR3 centre(180, 180, 0), out;
    D3DXVec3TransformCoord(&out, &centre, &b.drawMatrix);
    EXPECT_NEAR(out.x, 329 + 180, 1e-3f);
    EXPECT_NEAR(out.y, 303 + 180, 1e-3f);
    b.DrawBlocks(); // without sprites nothing shows, but every angle is restored
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(b.cells[i]->angle, 0.0f);
}

} // namespace
