// Free play end to end: the real program, headless, enters free play from the menu's key,
// clears a known square (the configuration's fixed seed and the fixed frame step make the board
// the same on every run), turns the board, pauses and resumes, restarts from the pause menu,
// clears again, and leaves to the menu through the pause menu. The screenshots of the board in
// play and of the pause are checked by pixels, and the record file packed at exit holds the
// game's counts.
#include "data/PlayDataPack.h"
#include "support/TempDir.h"

#include "GameRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

class FreePlayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The shipped configuration deals fresh blocks every game; this run deals the same ones.
        std::string config = m_run.Read("data/PlayData/QuiblyConfig_Puzzle.xml");
        const std::string shipped = "<RandomSeed Seed=\"-1\" />";
        size_t at = config.find(shipped);
        ASSERT_NE(at, std::string::npos);
        config.replace(at, shipped.size(), "<RandomSeed Seed=\"20\" />");
        m_run.Write("data/PlayData/QuiblyConfig_Puzzle.xml", config);
        // The story of a first start has been seen: the menu opens on its title.
        m_run.Write("data/PlayData/QuiblyConfig.xml", "<VanteoConfig>\n    <Opening IsShow=\"1\" />\n</VanteoConfig>\n");
    }

    int Run(const std::string& script) { return m_game.Run(script, m_profile.Str()); }
    Rgb Pixel(const std::string& file, int x, int y) const { return m_game.Pixel(file, x, y); }

    // How many pixels of the rectangle are nearly white.
    int WhitePixels(const std::string& file, int left, int top, int right, int bottom) const
    {
        return m_game.Count(file, left, top, right, bottom, [](Rgb p) { return p.r > 200 && p.g > 200 && p.b > 200; });
    }

    // A lifetime counter of the record file inside the pack written at exit.
    int PackedCounter(const std::string& counter) const
    {
        std::string text = m_game.PackedFile("Data/PlayData/QuiblyRecord.xml");
        size_t at = text.find(" " + counter + "=\"");
        return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + counter.size() + 3);
    }

    GameRun m_game;
    testsupport::TempDir& m_run = m_game.folder;
    testsupport::TempDir m_profile;
};

// Frames count only outside scene loads. The title is left at 200, the menu's main screen is
// clicked on an empty spot, and F there starts free play at 700 with its ready-go; the blue
// square at the bottom-left cell (0, 6) of the 8 x 8 board is pressed once play runs, E turns
// the board, Escape pauses and resumes, R in the pause restarts (the same blocks again), the
// square is pressed again, and Q in the pause goes back to the menu's title.
constexpr const char* kScript = "40 key 20\n"
                                "200 key 20\n"
                                "500 move 900 100\n"
                                "520 press 900 100\n"
                                "700 key 46\n"
                                "900 press 502 496\n"
                                "1020 shot play.png\n"
                                "1030 key 45\n"
                                "1120 key 1B\n"
                                "1170 shot pause.png\n"
                                "1180 key 1B\n"
                                "1240 key 1B\n"
                                "1290 key 52\n"
                                "1460 press 502 496\n"
                                "1520 key 1B\n"
                                "1570 key 51\n"
                                "1700 shot menu.png\n"
                                "1720 quit\n";

TEST_F(FreePlayTest, PlaysPausesRestartsAndLeavesThroughThePauseMenu)
{
    ASSERT_EQ(Run(kScript), 0) << m_run.Read("stderr.txt");

    // The board in play: the screen behind it, two cells of the dealt board, a scored digit and
    // the rotate button.
    EXPECT_TRUE(Near(Pixel("play.png", 400, 650), {13, 18, 39}, 12));
    EXPECT_TRUE(Near(Pixel("play.png", 817, 226), {61, 139, 253}, 24));
    EXPECT_TRUE(Near(Pixel("play.png", 502, 226), {60, 196, 124}, 24));
    EXPECT_GT(WhitePixels("play.png", 120, 196, 214, 236), 20);
    EXPECT_TRUE(Near(Pixel("play.png", 115, 636), {61, 139, 253}, 24));

    // The pause: its title bar and key-help button, its panel over the tray, and the screen
    // behind it dimmed.
    EXPECT_TRUE(Near(Pixel("pause.png", 512, 137), {61, 139, 253}, 24));
    EXPECT_TRUE(Near(Pixel("pause.png", 512, 606), {247, 197, 72}, 24));
    EXPECT_TRUE(Near(Pixel("pause.png", 400, 650), {244, 246, 251}, 16));
    Rgb behind = Pixel("pause.png", 167, 100);
    Rgb before = Pixel("play.png", 167, 100);
    EXPECT_LT(behind.r + behind.g + behind.b, before.r + before.g + before.b);

    // Back at the menu's title: its dark blue backdrop where the board's tray was.
    Rgb title = Pixel("menu.png", 512, 384);
    EXPECT_GT(title.b, title.r + 20);
    EXPECT_FALSE(Near(title, Pixel("play.png", 512, 384), 4));

    // Two clears of the blue four-block square, one right turn, and the play time of both games
    // (the restart adds the first, leaving adds the second).
    EXPECT_EQ(PackedCounter("BlockClick"), 2);
    EXPECT_EQ(PackedCounter("BlockClearB"), 8);
    EXPECT_EQ(PackedCounter("BlockClear"), 8);
    EXPECT_EQ(PackedCounter("RotationR"), 1);
    EXPECT_EQ(PackedCounter("Rotation"), 1);
    EXPECT_GE(PackedCounter("PlayTime"), 4);
    EXPECT_EQ(PackedCounter("Excute"), 1);
}

} // namespace
