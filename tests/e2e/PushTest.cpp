// The push mode end to end: the real program, headless, goes from the menu's title through the
// push menu and its start pop-up into the first push stage against its recorded rival, lets the
// rival push four blocks over and ends on the result. The screenshots of the match and of the
// result are checked by pixels, and the ranking file packed at exit holds the lost game.
#include "support/TempDir.h"

#include "GameRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class PushTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The rival's blocks and the player's are dealt the same on every run.
        ASSERT_TRUE(m_game.Edit("data/PlayData/QuiblyConfig_Push.xml", "<RandomSeed Seed=\"-1\" />", "<RandomSeed Seed=\"31\" />"));
        // The story has been seen and the push mode is open.
        m_run.Write("data/PlayData/QuiblyConfig.xml",
                    "<VanteoConfig>\n    <Opening IsShow=\"1\" />\n    <PushTutorial IsShow=\"0\" />\n"
                    "    <UnlockMainMenu Puzzle=\"1\" Push=\"1\" />\n</VanteoConfig>\n");
    }

    // From the title through the push menu to the first push stage's start.
    std::string ToFirstStage()
    {
        const ScreenPoint card = m_game.Centre("data/menu/MAINMENU.xml", "Anibtn_pushing");
        const ScreenPoint modes = m_game.Centre("data/menu/SUB_pushing.xml", "Anibtn_sub_btn_1");
        const ScreenPoint first = m_game.Centre("data/menu/SUB_pushing.xml", "Anibtn_sub2_1_btn_1", "Wnd_sub2_1", {0, 120});
        const ScreenPoint start = m_game.Centre("data/startpopup.xml", "AnimBtn_start");
        EXPECT_GE(card.x, 0);
        EXPECT_GE(first.x, 0);
        auto click = [](int frame, ScreenPoint p) { return std::to_string(frame) + " click " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n"; };
        return "40 key 20\n200 key 20\n500 move 900 100\n520 press 900 100\n" + click(620, card) + click(760, modes) +
               click(900, first) + click(1040, start);
    }

    int Run(const std::string& script) { return m_game.Run(script, m_profile.Str(), "", 600); }
    Rgb Pixel(const std::string& file, int x, int y) const { return m_game.Pixel(file, x, y); }
    int Count(const std::string& file, int l, int t, int r, int b, Rgb colour, int tolerance) const
    {
        return m_game.Count(file, l, t, r, b, [&](Rgb p) { return Near(p, colour, tolerance); });
    }

    GameRun m_game;
    testsupport::TempDir& m_run = m_game.folder;
    testsupport::TempDir m_profile;
};

constexpr Rgb kRed{232, 80, 91};
constexpr Rgb kGreen{60, 196, 124};
constexpr Rgb kBlue{61, 139, 253};

TEST_F(PushTest, TheRivalPushesFourBlocksOverWhileThePlayerWaits)
{
    if (!std::filesystem::exists(m_run.Path() / "data/startpopup.xml"))
        GTEST_SKIP() << "the menu's start pop-up is not in the run folder";
    // The first rival pushes four blocks over in about a minute and a half of play.
    std::string script = ToFirstStage() + "1900 shot match.png\n7800 shot result.png\n7820 quit\n";
    ASSERT_EQ(Run(script), 0) << m_run.Read("stderr.txt");

    // In the match: the three lane blocks in their colours, the player's full board and the
    // rival's half-size one.
    EXPECT_GT(Count("match.png", 352, 96, 672, 132, kRed, 30), 300);
    EXPECT_GT(Count("match.png", 352, 142, 672, 178, kGreen, 30), 300);
    EXPECT_GT(Count("match.png", 352, 188, 672, 224, kBlue, 30), 300);
    for (Rgb colour : {kRed, kGreen, kBlue}) {
        EXPECT_GT(Count("match.png", 604, 396, 964, 756, colour, 40), 2000);
        EXPECT_GT(Count("match.png", 62, 452, 242, 632, colour, 40), 400);
    }

    // The result: the lose banner's red letters on the dark header of the light panel.
    EXPECT_GT(Count("result.png", 340, 80, 690, 140, kRed, 40), 3000);
    EXPECT_GT(Count("result.png", 420, 250, 870, 440, {250, 250, 252}, 12), 20000);

    // The lost game in the first stage's table: no block of the player's against four.
    std::string ranking = m_game.PackedFile("Data/PlayData/QuiblyRanking.xml");
    EXPECT_NE(ranking.find("Score=\"0\""), std::string::npos) << ranking;
}

} // namespace
