// The combo and point challenges end to end: the real program, headless, goes from the menu's
// puzzle challenges and the start pop-up into each mode (the configurations' fixed seed and the
// fixed frame step deal the same boards on every run). The combo run turns a loose star into a
// square, clears it for a new best, and loses its lives on loose blocks until the result pop-up;
// the point run clears a square, runs through the warning of its last ten seconds, time over and
// the bonus time's automatic play to its result. Screenshots are checked by pixels, and the pack
// written at exit holds the rankings and the leaderboard bests.
#include "data/PlayDataPack.h"
#include "support/TempDir.h"

#include "GameRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr Rgb kGold{247, 197, 72};
constexpr Rgb kRed{232, 80, 91};
constexpr Rgb kWhite{255, 255, 255};

class ChallengesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The shipped configurations deal fresh blocks every game; these runs deal the same ones.
        for (const char* file : {"data/PlayData/QuiblyConfig_Puzzle.xml", "data/PlayData/QuiblyConfig_PointChallenge.xml"})
            ASSERT_TRUE(m_game.Edit(file, "<RandomSeed Seed=\"-1\" />", "<RandomSeed Seed=\"20\" />")) << file;
        // The story has been seen, and both challenges are open.
        m_run.Write("data/PlayData/QuiblyConfig.xml",
                    "<VanteoConfig>\n    <Opening IsShow=\"1\" />\n    <Player Cube=\"500\" />\n</VanteoConfig>\n");
        std::string unlocks = m_run.Read("data/PlayData/QuiblyUnlockMenu.xml");
        for (const char* button : {"Anibtn_sub2_2_btn_3\" UnlockPic=\"Anibtn_lock_point\" CubePic=\"Pic_cube_point\" Cube=\"200\"",
                                   "Anibtn_sub2_btn_1\" UnlockPic=\"Anibtn_lock_combo\" CubePic=\"Pic_cube_combo\" Cube=\"300\""}) {
            std::string locked = std::string(button) + " IsUnlock=\"0\"";
            size_t at = unlocks.find(locked);
            ASSERT_NE(at, std::string::npos) << button;
            unlocks.replace(at, locked.size(), std::string(button) + " IsUnlock=\"1\"");
        }
        m_run.Write("data/PlayData/QuiblyUnlockMenu.xml", unlocks);
    }

    int Run(const std::string& script) { return m_game.Run(script, m_profile.Str(), "", 300); }
    Rgb Pixel(const std::string& file, int x, int y) const { return m_game.Pixel(file, x, y); }
    int Matching(const std::string& file, int left, int top, int right, int bottom, Rgb colour) const
    {
        return m_game.Count(file, left, top, right, bottom, [colour](Rgb p) { return Near(p, colour, 24); });
    }

    // Pixels of the time gauge's green to teal.
    int GaugePixels(const std::string& file) const
    {
        return m_game.Count(file, 62, 354, 272, 366, [](Rgb p) { return p.g > 140 && p.r < 120; });
    }

    // The first score of a ranking table in the pack written at exit; -2 when it holds none.
    int PackedTopScore(const std::string& table) const
    {
        std::string text = m_game.PackedFile("Data/PlayData/QuiblyRanking.xml");
        size_t at = text.find("Name=\"" + table + "\"");
        if (at == std::string::npos)
            return -2;
        at = text.find("Score=\"", at);
        return at == std::string::npos ? -2 : std::atoi(text.c_str() + at + 7);
    }
    // One of the seven leaderboard bests in the pack written at exit.
    int PackedBest(int board) const
    {
        std::string bytes = m_game.PackedFile("Data/PlayData/UserLeaderBoard.bin");
        if (bytes.size() != 28)
            return -2;
        int32_t value;
        std::memcpy(&value, bytes.data() + 4 * board, 4);
        return value;
    }

    GameRun m_game;
    testsupport::TempDir& m_run = m_game.folder;
    testsupport::TempDir m_profile;
};

// The title is left at 200 and the main screen clicked on an empty spot; the puzzle menu, its
// challenges panel and the challenge at the given spot follow, then the start pop-up's start
// button. Frames count only outside scene loads.
std::string ToChallenge(const GameRun& game, const char* challenge)
{
    const ScreenPoint start = game.Centre("data/startpopup.xml", "AnimBtn_start");
    EXPECT_GE(start.x, 0);
    return std::string("40 key 20\n"
                       "200 key 20\n"
                       "500 move 900 100\n"
                       "520 press 900 100\n"
                       "600 click 236 320\n"
                       "700 click 250 280\n"
                       "800 click ") +
           challenge + "\n940 click " + std::to_string(start.x) + " " + std::to_string(start.y) + "\n";
}

// The combo challenge: its cell (2, 1) is removed (a life), the star above falls into it and is
// pressed (it turns red and completes a square), the square is cleared; then loose blocks of the
// bottom row are pressed until no life is left.
std::string ComboScript(const GameRun& game)
{
    std::string script = ToChallenge(game, "322 315") + "1140 press 592 271\n"
                                                        "1240 press 592 271\n"
                                                        "1340 press 637 316\n"
                                                        "1440 shot play.png\n";
    int frame = 1540;
    for (int round = 0; round < 3; ++round)
        for (int x : {682, 772, 547, 592, 727}) {
            script += std::to_string(frame) + " press " + std::to_string(x) + " 541\n";
            frame += 50;
        }
    script += std::to_string(frame + 400) + " shot result.png\n" + std::to_string(frame + 420) + " quit\n";
    return script;
}

TEST_F(ChallengesTest, AComboChallengeRunsFromANewBestToItsLastLife)
{
    ASSERT_EQ(Run(ComboScript(m_game)), 0) << m_run.Read("stderr.txt");

    // In play: the "NEW BEST" badge and frame, the combo in gold, the lives still lit, the menu
    // button, a red block of the board.
    EXPECT_TRUE(Near(Pixel("play.png", 52, 110), kGold, 24));
    EXPECT_GT(Matching("play.png", 247, 135, 283, 189, kGold), 100);
    EXPECT_TRUE(Near(Pixel("play.png", 73, 462), kRed, 24));
    EXPECT_TRUE(Near(Pixel("play.png", 150, 700), kRed, 24));

    // The result pop-up over the screen: its gold headline and its white table.
    EXPECT_GT(Matching("result.png", 280, 80, 740, 140, kGold), 2000);
    EXPECT_TRUE(Near(Pixel("result.png", 512, 668), kWhite, 24) || Near(Pixel("result.png", 300, 380), kWhite, 24));

    // The combo reached went to the ranking of the hard board and to the leaderboard.
    const int combo = PackedTopScore("7");
    EXPECT_GE(combo, 1);
    EXPECT_EQ(PackedBest(5), combo);
}

// The point challenge: a red square is cleared early, then the clock runs: the warning of the
// last ten seconds, the bonus-time banner, the automatic play, the result.
constexpr const char* kPointScript = "1240 press 592 496\n"
                                     "1340 shot play.png\n"
                                     "4540 shot warning.png\n"
                                     "4990 shot bonus.png\n"
                                     "7140 shot result.png\n"
                                     "7160 quit\n";

TEST_F(ChallengesTest, APointChallengeRunsThroughTimeOverAndBonusTimeToItsResult)
{
    ASSERT_EQ(Run(ToChallenge(m_game, "702 315") + kPointScript), 0) << m_run.Read("stderr.txt");

    // In play: the score in white and the best in gold, the time gauge still long.
    EXPECT_GT(Matching("play.png", 84, 127, 260, 157, kWhite), 20);
    EXPECT_GT(Matching("play.png", 84, 213, 260, 243, kGold), 20);
    EXPECT_GT(GaugePixels("play.png"), 1500);

    // The last ten seconds: the red frame around the board, the countdown beside it, the gauge
    // nearly empty.
    EXPECT_GT(Matching("warning.png", 470, 194, 850, 202, kRed), 200);
    EXPECT_GT(Matching("warning.png", 862, 324, 982, 444, kRed), 100);
    EXPECT_LT(GaugePixels("warning.png"), 400);

    // Bonus time: its banner over the board.
    EXPECT_GT(Matching("bonus.png", 480, 350, 840, 420, kGold), 1000);

    // The result pop-up.
    EXPECT_GT(Matching("result.png", 280, 80, 740, 140, kGold), 2000);

    const int score = PackedTopScore("2");
    EXPECT_GT(score, 0);
    EXPECT_EQ(PackedBest(4), score);
}

} // namespace
