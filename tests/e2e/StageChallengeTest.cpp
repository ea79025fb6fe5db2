// The stage challenge end to end: the real program, headless, opens the stage select from the
// puzzle menu, starts stage 1, dismisses its banner, makes a square with one loose click and
// clears it (the stage's fixed seed and the fixed frame step deal the same board on every run;
// this run asks for a single point, so that one clear wins), takes the next stage from the win,
// lets its time run out (three seconds here), retries, and leaves through the pause menu. The
// stage select, the banner, the stars in flight and the results are checked by pixels; the
// ranking and the cubes are checked in the play data packed at exit.
#include "support/TempDir.h"

#include "GameRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

class StageChallengeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string config = "data/PlayData/QuiblyConfig_StageChallenge.xml";
        ASSERT_TRUE(m_game.Edit(config, "ClearNum=\"50\"", "ClearNum=\"1\""));
        ASSERT_TRUE(m_game.Edit(config, "ClearNum=\"70\" ClearTime=\"60\"", "ClearNum=\"70\" ClearTime=\"3\""));
        m_run.Write("data/PlayData/QuiblyConfig.xml", "<VanteoConfig>\n    <Opening IsShow=\"1\" />\n</VanteoConfig>\n");
    }

    int Run(const std::string& script) { return m_game.Run(script, m_profile.Str()); }
    Rgb Pixel(const std::string& file, int x, int y) const { return m_game.Pixel(file, x, y); }
    // Pixels of the rectangle that differ clearly from one colour.
    int Unlike(const std::string& file, Rgb colour, int left, int top, int right, int bottom) const
    {
        return m_game.Count(file, left, top, right, bottom, [colour](Rgb p) {
            return std::abs(p.r - colour.r) + std::abs(p.g - colour.g) + std::abs(p.b - colour.b) > 120;
        });
    }

    GameRun m_game;
    testsupport::TempDir& m_run = m_game.folder;
    testsupport::TempDir m_profile;
};

// The title is left at 200 and the main screen reached at 520; the puzzle card, its second panel
// and the stage card open the stage select; START begins stage 1 and Space closes its banner.
// The loose green block at (0, 2) of the 4 x 4 board is pressed, the blue blocks above fall into
// a square at (0, 1), which is pressed; Space on the result goes on to stage 2, whose banner is
// closed; its three seconds run out, the lost result is let finish its steps (its buttons come
// last), R retries and Escape then Q leave through the pause menu.
constexpr const char* kScript = "40 key 20\n"
                                "200 key 20\n"
                                "500 move 900 100\n"
                                "520 press 900 100\n"
                                "700 click 237 325\n"
                                "780 click 772 275\n"
                                "860 click 512 335\n"
                                "940 shot select.png\n"
                                "960 click 552 602\n"
                                "1000 shot banner.png\n"
                                "1020 key 20\n"
                                "1080 shot play.png\n"
                                "1090 press 592 406\n"
                                "1130 press 592 361\n"
                                "1145 shot stars.png\n"
                                "1300 shot win.png\n"
                                "1310 key 20\n"
                                "1420 shot banner2.png\n"
                                "1430 key 20\n"
                                "1820 shot lose.png\n"
                                "2000 shot losebuttons.png\n"
                                "2010 key 52\n"
                                "2130 key 1B\n"
                                "2180 key 51\n"
                                "2330 shot menu.png\n"
                                "2340 quit\n";

TEST_F(StageChallengeTest, WinsStageOneGoesOnAndTimesOutOnStageTwo)
{
    ASSERT_EQ(Run(kScript), 0) << m_run.Read("stderr.txt");

    // The stage select: its title bar, the start button and the 4 x 4 preview on its tray.
    EXPECT_TRUE(Near(Pixel("select.png", 512, 137), {155, 107, 223}, 20));
    EXPECT_TRUE(Near(Pixel("select.png", 462, 590), {60, 196, 124}, 24));
    EXPECT_TRUE(Near(Pixel("select.png", 200, 330), {27, 35, 64}, 16));

    // The banner of stage 1 over the dimmed play screen, with its start button.
    EXPECT_TRUE(Near(Pixel("banner.png", 448, 590), {60, 196, 124}, 30));
    EXPECT_TRUE(Near(Pixel("banner.png", 300, 300), {244, 246, 251}, 16));

    // Play: the hard title, the board's blue top-left block, the empty gauge.
    EXPECT_TRUE(Near(Pixel("play.png", 592, 316), {61, 139, 253}, 30));
    EXPECT_GT(m_game.Count("play.png", 0, 60, 300, 120, [](Rgb p) { return Near(p, {232, 80, 91}, 30); }), 200);
    // The stars and their tails between the cleared square and the gauge's light, which is lit.
    const Rgb tray = Pixel("play.png", 500, 300);
    EXPECT_EQ(Unlike("play.png", tray, 420, 230, 568, 420), 0);
    EXPECT_GT(Unlike("stars.png", tray, 420, 230, 568, 420), 40);
    Rgb light = Pixel("stars.png", 270, 132);
    EXPECT_GT(light.r + light.g, 300);

    // The win: "NEXT" on the result; stage 2's banner; then its time-out.
    EXPECT_TRUE(Near(Pixel("win.png", 752, 632), {60, 196, 124}, 30));
    EXPECT_TRUE(Near(Pixel("banner2.png", 448, 590), {60, 196, 124}, 30));
    EXPECT_FALSE(Near(Pixel("lose.png", 512, 300), Pixel("banner2.png", 512, 300), 8));
    // Once the lost result has shown its steps, its buttons: stage 3 is not open yet, so NEXT
    // is there in its grey, disabled look beside the blue RETRY.
    EXPECT_TRUE(Near(Pixel("losebuttons.png", 432, 632), {61, 139, 253}, 30));
    EXPECT_TRUE(Near(Pixel("losebuttons.png", 752, 632), {142, 150, 163}, 20));

    // Back at the menu: not the play screen any more.
    EXPECT_FALSE(Near(Pixel("menu.png", 150, 88), Pixel("play.png", 150, 88), 8));

    // Stage 1 won at the top of its hard table, stage 2 entered as a failure, 6 cubes won.
    std::string ranking = m_game.PackedFile("Data/PlayData/QuiblyRanking.xml");
    size_t hard = ranking.find("<Stage_Hard");
    ASSERT_NE(hard, std::string::npos) << ranking;
    std::string tables = ranking.substr(hard);
    EXPECT_NE(tables.find("Table Name=\"0\""), std::string::npos) << tables;
    EXPECT_NE(tables.find("Table Name=\"1\""), std::string::npos) << tables;
    EXPECT_NE(tables.find("Score=\"100\""), std::string::npos) << tables;
    std::string options = m_game.PackedFile("Data/PlayData/QuiblyConfig.xml");
    EXPECT_NE(options.find("106"), std::string::npos) << options;
}

} // namespace
