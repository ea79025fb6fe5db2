// Logic puzzles end to end: the real program, headless. From the menu's
// logic-puzzle sub-menu the chooser opens on the easy puzzles, the first one is
// chosen and solved to its clear result, Space goes on to the next puzzle and
// the pause menu back to the chooser, which now marks the first puzzle as
// cleared; a failed puzzle earns neither mark nor time. Then the editor, over
// its grid: two big blocks are placed, saved as a new file (the save dialog
// answered by the script), test-played to a clear, the board emptied and the
// file loaded back; the chooser's user tab lists the new puzzle. Screenshots
// are checked by pixels.
#include "support/TempDir.h"

#include "GameRun.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class LogicPuzzleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The story of a first start has been seen and every mode is open.
        m_run.Write("data/PlayData/QuiblyConfig.xml", "<VanteoConfig>\n    <Opening IsShow=\"1\" />\n"
                                                      "    <UnlockMainMenu Puzzle=\"1\" Battle=\"1\" Push=\"1\" "
                                                      "IQ=\"1\" Multi=\"1\" />\n</VanteoConfig>\n");
    }
    int Run(const std::string& script) { return m_game.Run(script, m_profile.Str()); }
    Rgb Pixel(const std::string& file, int x, int y) const { return m_game.Pixel(file, x, y); }
    // How many pixels of the rectangle are near the colour.
    int Count(const std::string& file, int left, int top, int right, int bottom, Rgb colour, int tolerance = 30) const
    {
        return m_game.Count(file, left, top, right, bottom, [&](Rgb p) { return Near(p, colour, tolerance); });
    }
    // The middle row of the light pixels (text, digits) of a column range, between top and bottom.
    double InkMiddle(const std::string& file, int left, int right, int top, int bottom) const
    {
        double rows = 0.0, count = 0.0;
        for (int y = top; y < bottom; ++y) {
            const int n = m_game.Count(file, left, y, right, y + 1, [](Rgb p) { return p.r > 110 && p.g > 110 && p.b > 110; });
            rows += static_cast<double>(n) * y;
            count += n;
        }
        return count > 0.0 ? rows / count : -1.0;
    }

    GameRun m_game;
    testsupport::TempDir& m_run = m_game.folder;
    testsupport::TempDir m_profile;
};

constexpr Rgb kBlue{61, 139, 253};
constexpr Rgb kGreen{60, 196, 124};
constexpr Rgb kPaper{244, 246, 251};
constexpr Rgb kRed{232, 80, 91};
constexpr Rgb kYellow{247, 197, 72};

// The menu's title is left at 200 and its main screen opened; the logic-puzzle
// card opens the sub-menu and its first button the chooser. Slot 1 starts the
// first easy puzzle, whose green big blocks at the bottom are pressed once play
// runs; Space on the clear result starts puzzle 2, and Escape then Q in its
// pause go back to the chooser.
constexpr const char* kPlayScript = "40 key 20\n"
                                    "200 key 20\n"
                                    "500 move 900 100\n"
                                    "520 press 900 100\n"
                                    "700 click 374 505\n"
                                    "800 click 190 265\n"
                                    "960 shot chooser.png\n"
                                    "980 click 142 300\n"
                                    "1300 shot play.png\n"
                                    "1310 press 637 496\n"
                                    "1560 shot clear.png\n"
                                    "1700 key 20\n"
                                    "2000 shot next.png\n"
                                    "2010 key 1B\n"
                                    "2060 key 51\n"
                                    "2300 shot back.png\n"
                                    "2320 quit\n";

TEST_F(LogicPuzzleTest, ChooseSolveGoOnAndComeBack)
{
    ASSERT_EQ(Run(kPlayScript), 0) << m_run.Read("stderr.txt");

    // The chooser: the easy title, eight slots of the first page, the first
    // slot's preview.
    EXPECT_GT(Count("chooser.png", 405, 16, 619, 72, kGreen), 2000);
    EXPECT_TRUE(Near(Pixel("chooser.png", 40, 360), kPaper, 16));
    EXPECT_TRUE(Near(Pixel("chooser.png", 800, 670), kPaper, 16));
    EXPECT_GT(Count("chooser.png", 54, 152, 234, 332, kGreen), 200);

    // The first puzzle in play: the side panel's easy title and the green blocks.
    EXPECT_GT(Count("play.png", 60, 56, 274, 112, kGreen), 2000);
    EXPECT_GT(Count("play.png", 615, 474, 795, 564, kGreen), 4000);
    // Its clock's colon stands level with the minutes and seconds beside it.
    const double minutes = InkMiddle("play.png", 74, 114, 400, 480), colon = InkMiddle("play.png", 120, 140, 400, 480);
    const double seconds = InkMiddle("play.png", 140, 180, 400, 480);
    ASSERT_GT(minutes, 0.0);
    ASSERT_GT(colon, 0.0);
    EXPECT_NEAR(colon, minutes, 3.0);
    EXPECT_NEAR(colon, seconds, 3.0);

    // The clear: no green block is left on the board, the result pop-up stands
    // over it.
    EXPECT_LT(Count("clear.png", 615, 474, 795, 564, kGreen, 12), 400);
    Rgb before = Pixel("play.png", 660, 100);
    Rgb after = Pixel("clear.png", 660, 100);
    EXPECT_FALSE(Near(before, after, 8));

    // The next puzzle runs with its own blocks.
    EXPECT_GT(Count("next.png", 480, 204, 840, 564, kRed, 40), 3000);
    EXPECT_LT(Count("next.png", 480, 204, 840, 564, kYellow, 30), 500); // no clear highlight

    // Back at the chooser: the first slot carries its best time and the clear
    // star.
    EXPECT_GT(Count("back.png", 200, 132, 244, 176, kYellow), 200);
    EXPECT_GT(Count("back.png", 42, 340, 238, 374, {27, 35, 64}, 12), 3000);
}

// The same first puzzle failed: the loose green block at cell (6, 7), joined to the square's
// group but not part of it, is removed alone, which fails the puzzle. The result's MENU goes back
// to the chooser.
constexpr const char* kFailScript = "40 key 20\n"
                                    "200 key 20\n"
                                    "500 move 900 100\n"
                                    "520 press 900 100\n"
                                    "700 click 374 505\n"
                                    "800 click 190 265\n"
                                    "980 click 142 300\n"
                                    "1310 press 772 541\n"
                                    "1560 shot fail.png\n"
                                    "1700 click 272 634\n"
                                    "1960 shot failback.png\n"
                                    "1980 quit\n";

TEST_F(LogicPuzzleTest, AFailedPuzzleIsNeitherTimedNorMarkedAsCleared)
{
    ASSERT_EQ(Run(kFailScript), 0) << m_run.Read("stderr.txt");

    // The fail result: the puzzle's times stand in the TIME column, and the SCORE column, which a
    // puzzle table does not have, holds none of them.
    EXPECT_GT(Count("fail.png", 660, 252, 752, 292, kBlue), 20);
    EXPECT_LT(Count("fail.png", 760, 252, 880, 452, kBlue), 20);

    // Back at the chooser: the failed puzzle has no clear star and no best time.
    EXPECT_LT(Count("failback.png", 200, 132, 244, 176, kYellow), 50);
    EXPECT_LT(Count("failback.png", 42, 340, 238, 374, {27, 35, 64}, 12), 300);
}

// From the sub-menu's editor button: key Q and the big red piece at cell (0,
// 6), key W and the big green piece at (4, 6); Save As answered with a new file
// of the user folder; the test plays both blocks away and comes back cleared;
// New empties the board and Load brings the file back; Escape goes to the menu,
// whose logic-puzzle sub-menu is open again, and its user button opens the
// chooser's user tab.
constexpr const char* kEditorScript = "40 key 20\n"
                                      "200 key 20\n"
                                      "500 move 900 100\n"
                                      "520 press 900 100\n"
                                      "700 click 374 505\n"
                                      "800 click 405 430\n"
                                      "950 key 51\n"
                                      "960 press 542 342\n"
                                      "980 key 57\n"
                                      "990 press 722 342\n"
                                      "1020 shot placed.png\n"
                                      "1030 dialog data/Puzzle/User/e2e_mine\n"
                                      "1040 click 167 392\n"
                                      "1060 click 167 468\n"
                                      "1200 press 542 342\n"
                                      "1300 press 722 342\n"
                                      "1500 shot cleared.png\n"
                                      "1510 click 167 224\n"
                                      "1540 shot empty.png\n"
                                      "1550 dialog data/Puzzle/User/e2e_mine.pzl\n"
                                      "1560 click 167 280\n"
                                      "1600 shot loaded.png\n"
                                      "1610 key 1B\n"
                                      "1800 click 835 265\n"
                                      "1960 shot user.png\n"
                                      "1980 quit\n";

TEST_F(LogicPuzzleTest, EditSaveTestLoadAndFindItInTheUserTab)
{
    ASSERT_EQ(Run(kEditorScript), 0) << m_run.Read("stderr.txt");

    // Both big blocks on the editor's board, over its backdrop.
    EXPECT_GT(Count("placed.png", 520, 320, 610, 410, kRed), 3000);
    EXPECT_GT(Count("placed.png", 700, 320, 790, 410, kGreen), 3000);
    EXPECT_EQ(m_run.Read("data/Puzzle/User/e2e_mine.pzl").size(), 132u);
    // The board's grid: a line between empty cells is lighter than the cells beside it.
    auto brightness = [&](int x, int y) {
        Rgb p = Pixel("placed.png", x, y);
        return p.r + p.g + p.b;
    };
    EXPECT_GT(brightness(610, 100), brightness(630, 100) + 30);
    EXPECT_GT(brightness(630, 140), brightness(630, 160) + 30);

    // Before a test the test button is orange and carries no yellow "CLEARED!".
    EXPECT_GT(Count("placed.png", 80, 444, 254, 492, {242, 140, 56}), 2000);
    EXPECT_LT(Count("placed.png", 80, 444, 254, 492, kYellow), 20);

    // Back from a cleared test: the board as it was and the test button in its
    // cleared look, its "CLEARED!" in yellow under one white "TEST PLAY".
    EXPECT_GT(Count("cleared.png", 520, 320, 610, 410, kRed), 3000);
    EXPECT_GT(Count("cleared.png", 80, 444, 254, 492, kGreen), 2000);
    EXPECT_GT(Count("cleared.png", 80, 470, 254, 488, kYellow), 100);
    EXPECT_EQ(Count("cleared.png", 80, 444, 254, 492, {242, 140, 56}, 20), 0);

    // New empties the board; Load brings both blocks back.
    EXPECT_LT(Count("empty.png", 520, 320, 790, 410, kRed, 12), 100);
    EXPECT_GT(Count("loaded.png", 520, 320, 610, 410, kRed), 3000);
    EXPECT_GT(Count("loaded.png", 700, 320, 790, 410, kGreen), 3000);

    // The user tab: its purple title and the new puzzle in the first slot.
    EXPECT_GT(Count("user.png", 405, 16, 619, 72, {155, 107, 223}), 2000);
    EXPECT_TRUE(Near(Pixel("user.png", 40, 360), kPaper, 16));
    EXPECT_GT(Count("user.png", 54, 152, 234, 332, kRed), 200);
}

} // namespace
