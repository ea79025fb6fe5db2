// The battle end to end: the real program, headless, opens the battle levels from the main menu
// and starts the easy battle. Against a ghost whose replay ends after 45 s, put in the rookie's
// place, the player outlasts it and wins; the win's result offers a retry, R starts the battle
// again, and the pause menu leads back to the menu. A second run puts a ghost that strikes hard
// at once on the same level and the player loses. The battle in play and both results are checked by pixels,
// and the ranking packed at exit holds the win.
#include "support/TempDir.h"

#include "GameRun.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class BattleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The story has been seen and the battle is open; the menu opens on its title.
        m_run.Write("data/PlayData/QuiblyConfig.xml",
                    "<VanteoConfig>\n    <Opening IsShow=\"1\" />\n"
                    "    <UnlockMainMenu Puzzle=\"1\" Battle=\"1\" Push=\"0\" IQ=\"0\" Multi=\"0\" />\n</VanteoConfig>\n");
    }

    int Run(const std::string& script) { return m_game.Run(script, m_profile.Str(), "", 600); }
    int Pixels(const std::string& file, int left, int top, int right, int bottom, const std::function<bool(Rgb)>& match) const
    {
        return m_game.Count(file, left, top, right, bottom, match);
    }

    GameRun m_game;
    testsupport::TempDir& m_run = m_game.folder;
    testsupport::TempDir m_profile;
};

bool Green(Rgb p) { return p.g > 150 && p.g > p.r + 60 && p.g > p.b + 30; }
bool Blue(Rgb p) { return p.b > 180 && p.b > p.r + 80; }
bool Red(Rgb p) { return p.r > 170 && p.r > p.g + 80 && p.r > p.b + 60; }
bool Light(Rgb p) { return p.r > 215 && p.g > 215 && p.b > 215; }

// Frames count only outside scene loads. The title is left at 200 and the menu's main screen
// clicked on an empty spot; the battle card opens the battle screen, "Battle levels" its list,
// "Easy" opens the start pop-up and its start button (the pop-up's body at 152,104 and the button
// at 170,464 in it, 180 by 60) starts the battle.
constexpr const char* kToBattle = "40 key 20\n"
                                  "200 key 20\n"
                                  "500 move 900 100\n"
                                  "520 press 900 100\n"
                                  "620 click 512 325\n"
                                  "760 click 770 275\n"
                                  "900 move 190 265\n"
                                  "960 press 190 265\n"
                                  "1100 click 412 598\n";

TEST_F(BattleTest, OutlastsAGhostThatEndsRetriesAndLeavesThroughThePause)
{
    // A ghost that gains bullets and never fires, whose replay ends after 45 s (about 2,800
    // frames), and talks all the while; R on the result retries, Escape pauses the new game and
    // Q goes back to the menu.
    std::string reps;
    for (int t = 2; t < 45; t += 3)
        reps += "<Rep T=\"" + std::to_string(t) + ".0\" B" + std::to_string(t % 3) + "=\"3\" Msg=\"Catch me if you can!\"/>";
    m_run.Write("data/PlayData/Outlasted.gst", "<Replay loop=\"FALSE\">" + reps + "<Rep T=\"45.0\" B0=\"0\"/></Replay>");
    ASSERT_TRUE(m_game.Edit("data/PlayData/QuiblyConfig_Battle.xml", "data/PlayData/BattleGhost01.gst",
                            "data/PlayData/Outlasted.gst"));

    const std::string script = std::string(kToBattle) + "1500 shot play.png\n"
                                                        "4600 shot win.png\n"
                                                        "4620 key 52\n"
                                                        "4900 shot again.png\n"
                                                        "4920 key 1B\n"
                                                        "4980 key 51\n"
                                                        "5150 shot menu.png\n"
                                                        "5170 quit\n";
    ASSERT_EQ(Run(script), 0) << m_run.Read("stderr.txt");

    // In play: both gauges full (red on the left, blue on the right), the auto-attack switch on,
    // the three fire buttons and the board of coloured blocks.
    EXPECT_GT(Pixels("play.png", 14, 240, 30, 520, Red), 2000);
    EXPECT_GT(Pixels("play.png", 994, 240, 1010, 520, Blue), 2000);
    EXPECT_GT(Pixels("play.png", 830, 612, 980, 645, Green), 1500);
    EXPECT_GT(Pixels("play.png", 830, 560, 870, 598, Red), 300);
    EXPECT_GT(Pixels("play.png", 332, 254, 692, 614, Red) + Pixels("play.png", 332, 254, 692, 614, Blue), 20000);
    // The ghost's red line stands between the towers, clear of the clock in the top bar.
    EXPECT_GT(Pixels("play.png", 300, 90, 724, 130, Red), 200);
    EXPECT_LT(Pixels("play.png", 456, 0, 570, 40, Red), 20);

    // The win: its green title over the dimmed battle, the light ranking table, the retry button.
    EXPECT_GT(Pixels("win.png", 340, 80, 680, 140, Green), 3000);
    EXPECT_GT(Pixels("win.png", 420, 250, 860, 450, Light), 20000);
    EXPECT_GT(Pixels("win.png", 420, 612, 600, 656, Blue), 3000);

    // The retry plays the same battle again; the menu's title follows the pause's quit.
    EXPECT_GT(Pixels("again.png", 830, 612, 980, 645, Green), 1500);
    EXPECT_LT(Pixels("again.png", 340, 80, 680, 140, Green), 300);
    EXPECT_LT(Pixels("menu.png", 830, 612, 980, 645, Green), 300);

    // The ranking of the easy battle (table "1" of the battle board) holds the win with the
    // player's full hit points.
    const std::string ranking = m_game.PackedFile("Data/PlayData/QuiblyRanking.xml");
    const size_t table = ranking.find("<Table Name=\"1\">");
    ASSERT_NE(table, std::string::npos) << ranking;
    EXPECT_NE(ranking.find("<Rank Name=\"##player##\" Score=\"1000\" Time=\"4", table), std::string::npos) << ranking;
}

TEST_F(BattleTest, AGhostThatStrikesHardWinsAndTheLossIsShown)
{
    // The easy level against a ghost that leaves the player 20 hit points and sends a fast unit
    // of 30 every second: the first to reach the tower ends the game.
    std::string reps;
    for (int t = 1; t <= 60; ++t)
        reps += "<Rep T=\"" + std::to_string(t) + ".0\" DA" + std::to_string(t % 3) + "=\"30\"/>";
    m_run.Write("data/PlayData/Crusher.gst", "<Replay UserHP=\"20\">" + reps + "</Replay>");
    ASSERT_TRUE(m_game.Edit("data/PlayData/QuiblyConfig_Battle.xml", "data/PlayData/BattleGhost01.gst",
                            "data/PlayData/Crusher.gst"));

    const std::string script = std::string(kToBattle) + "1500 shot play.png\n"
                                                        "2400 shot lose.png\n"
                                                        "2420 key 51\n"
                                                        "2700 shot menu.png\n"
                                                        "2720 quit\n";
    ASSERT_EQ(Run(script), 0) << m_run.Read("stderr.txt");

    // The lose result over the battle: its light ranking table and its buttons, not the win's
    // green title.
    EXPECT_GT(Pixels("lose.png", 420, 250, 860, 450, Light), 20000);
    EXPECT_LT(Pixels("lose.png", 340, 80, 680, 140, Green), 300);
    EXPECT_GT(Pixels("lose.png", 420, 612, 600, 656, Blue), 3000);
    // Q on the result goes back to the menu.
    EXPECT_LT(Pixels("menu.png", 830, 612, 980, 645, Green), 300);
}

} // namespace
