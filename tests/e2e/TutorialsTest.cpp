// The tutorials in the real program: from the main screen the tutorial menu opens the general
// movie tutorial, which a new player pages through to its end before it can close; then the
// battle videos, and the puzzle sub-menu's how-to. The seen tutorial is kept in the play data.
// The battle sub-menu's tutorial button, clear of the quick menu and its skins' hint, opens the
// battle tutorial menu.
#include "GameRun.h"

#include <gtest/gtest.h>

#include <utility>

#include <string>

namespace {

// The main screen without the story opening; the tutorial button, "Lessons", fourteen "Next",
// close; "Videos", OK; Escape leaves the tutorial menu; the puzzle sub-menu and its how-to.
std::string Script()
{
    std::string script = "40 key 20\n"
                         "300 key 20\n"
                         "420 click 115 735\n"   // Tutorial
                         "470 shot menu.png\n"
                         "480 click 332 384\n"   // Lessons
                         "540 shot page1.png\n"
                         "560 click 717 596\n";  // close: not yet, the tutorial must be seen first
    for (int i = 0; i < 14; ++i)
        script += std::to_string(600 + i * 12) + " click 547 596\n";  // Next
    script += "800 shot page15.png\n"
              "810 click 717 596\n"    // close
              "860 click 512 384\n"    // Videos
              "920 shot video.png\n"
              "930 click 797 586\n"    // OK
              "980 key 1B\n"           // the tutorial menu
              "1030 shot back.png\n"
              "1040 click 237 325\n"   // the puzzle sub-menu
              "1110 click 105 724\n"   // How to play
              "1170 shot howto.png\n"
              "1180 key 1B\n"
              "1230 shot done.png\n"
              "1240 quit\n";
    return script;
}

bool Red(Rgb p) { return p.r > 180 && p.g < 120 && p.b < 130; }
bool Yellow(Rgb p) { return p.r > 200 && p.g > 160 && p.b < 120; }
bool Light(Rgb p) { return p.r > 215 && p.g > 215 && p.b > 215; }
bool Teal(Rgb p) { return p.g > 150 && p.b > 150 && p.r < 90; }
bool MovieBackground(Rgb p) { return std::abs(p.r - 21) < 10 && std::abs(p.g - 27) < 10 && std::abs(p.b - 48) < 12; }

TEST(TutorialsTest, TheGeneralTutorialIsPagedToItsEndAndTheVideosAndHowToPlay)
{
    GameRun run;
    testsupport::TempDir profile;
    ASSERT_TRUE(run.Edit("data/PlayData/QuiblyConfig.xml", "<Opening IsShow=\"0\" />", "<Opening IsShow=\"1\" />"));
    // A player who has not seen the general tutorial: it cannot be closed before its end.
    ASSERT_TRUE(run.Edit("data/PlayData/QuiblyConfig.xml", "<Tutorial IsShow=\"1\" />", "<Tutorial IsShow=\"0\" />"));
    ASSERT_EQ(run.Run(Script(), profile.Str()), 0) << run.folder.Read("stderr.txt");

    // The tutorial menu's three choices over the dimmed screen.
    EXPECT_TRUE(Near(run.Pixel("menu.png", 512, 200), {43, 181, 184}, 30));  // its title band
    // Page 1: the movie plays in its frame, a red block of its board in the top-left.
    EXPECT_GT(run.Count("page1.png", 272, 198, 752, 498, MovieBackground), 40000);
    EXPECT_GT(run.Count("page1.png", 300, 250, 480, 460, Red), 1000);
    // Page 15, reached although close was tried on page 1: the star of its movie.
    EXPECT_GT(run.Count("page15.png", 600, 360, 700, 460, Yellow), 1000);
    EXPECT_GT(run.Count("page15.png", 272, 198, 752, 498, MovieBackground), 30000);
    // The battle video: its board at the left of the movie.
    EXPECT_GT(run.Count("video.png", 402, 216, 882, 516, MovieBackground), 30000);
    EXPECT_GT(run.Count("video.png", 430, 260, 620, 480, Red), 1000);
    // Back on the main screen, then the puzzle how-to (its title band) shows the first lesson
    // again, and Escape closes it.
    const Rgb band{43, 181, 184};
    EXPECT_TRUE(Near(run.Pixel("page1.png", 250, 150), band, 30));
    EXPECT_FALSE(Near(run.Pixel("back.png", 250, 150), band, 60));
    EXPECT_TRUE(Near(run.Pixel("howto.png", 250, 150), band, 30));
    EXPECT_GT(run.Count("howto.png", 272, 198, 752, 498, MovieBackground), 40000);
    EXPECT_GT(run.Count("howto.png", 300, 250, 480, 460, Red), 1000);
    EXPECT_FALSE(Near(run.Pixel("done.png", 250, 150), band, 60));

    EXPECT_NE(run.PackedFile("Data/PlayData/QuiblyConfig.xml").find("<Tutorial IsShow=\"1\""), std::string::npos);
}

// The battle open and cubes enough for the skins' hint over the quick menu: the title, the main
// screen, the battle sub-menu and its "Battle tutorial" button (20,640, 170 by 48), whose menu's
// Keys opens the key help.
TEST(TutorialsTest, TheBattleTutorialButtonStaysClearOfTheQuickMenuAndOpensItsMenu)
{
    GameRun run;
    testsupport::TempDir profile;
    run.folder.Write("data/PlayData/QuiblyConfig.xml",
                     "<VanteoConfig>\n    <Cube Count=\"1200\" />\n    <Opening IsShow=\"1\" />\n"
                     "    <UnlockMainMenu Puzzle=\"1\" Battle=\"1\" Push=\"0\" IQ=\"0\" Multi=\"0\" />\n</VanteoConfig>\n");
    ASSERT_EQ(run.Run("40 key 20\n"
                      "200 key 20\n"
                      "500 move 900 100\n"
                      "520 press 900 100\n"
                      "640 shot main.png\n"
                      "660 click 512 325\n"   // the battle sub-menu
                      "780 shot sub.png\n"
                      "800 move 105 664\n"
                      "820 click 105 664\n"   // Battle tutorial
                      "900 shot tutorial.png\n"
                      "910 click 692 384\n"   // Keys
                      "1060 shot keys.png\n"
                      "1080 quit\n",
                      profile.Str()),
              0)
        << run.folder.Read("stderr.txt");

    // The hint bubble holds its whole text: both its ends are clear white, the text between.
    EXPECT_EQ(run.Count("main.png", 734, 636, 742, 652, Light), 8 * 16);
    EXPECT_EQ(run.Count("main.png", 998, 636, 1006, 652, Light), 8 * 16);
    EXPECT_GT(run.Count("main.png", 750, 630, 990, 660, [](Rgb p) { return p.b > p.r + 40 && p.r < 90; }), 300);
    // The button's teal face shows in the sub-menu, with the bubble still at the right.
    EXPECT_GT(run.Count("sub.png", 24, 644, 186, 684, Teal), 3000);
    EXPECT_EQ(run.Count("sub.png", 734, 636, 742, 652, Light), 8 * 16);
    // The battle tutorial menu opened: its blue title band and its teal "Help" choice.
    EXPECT_TRUE(Near(run.Pixel("tutorial.png", 300, 200), {61, 139, 253}, 40));
    EXPECT_GT(run.Count("tutorial.png", 255, 318, 409, 449, Teal), 10000);
    // Keys opened the key help: its larger panel stands where the tutorial menu's edge was.
    for (auto [x, y] : {std::pair{200, 150}, std::pair{820, 610}})
        EXPECT_FALSE(Near(run.Pixel("keys.png", x, y), run.Pixel("tutorial.png", x, y), 30)) << x << "," << y;
    // The key help's own face: the three fire keys in their colours, red, green and blue.
    EXPECT_GT(run.Count("keys.png", 274, 270, 322, 314, [](Rgb p) { return Near(p, {232, 80, 91}, 30); }), 600);
    EXPECT_GT(run.Count("keys.png", 336, 270, 384, 314, [](Rgb p) { return Near(p, {60, 196, 124}, 30); }), 600);
    EXPECT_GT(run.Count("keys.png", 398, 270, 446, 314, [](Rgb p) { return Near(p, {61, 139, 253}, 30); }), 600);
}

} // namespace
