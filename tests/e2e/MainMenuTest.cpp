// The main menu in the real program: the first run goes from the logo through the title and the
// story opening to the main screen, into a sub-menu and back, and answers the quit question "no"
// and then "yes"; a second run skips the opening, opens the credits and closes them with their
// button again, and slides through every sub-menu.
//
// The frames of a scene load are not counted and the game clock moves by 16 ms a frame, so every
// step of the title, the opening and the slides lands on the same frame on any machine.
#include "data/PlayDataPack.h"
#include "support/TempDir.h"

#include "GameRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

namespace fs = std::filesystem;

namespace {

class MainMenuTest : public ::testing::Test {
protected:
    int Run(const std::string& script) { return m_game.Run(script, m_profile.Str(), "", 240); }
    Rgb Pixel(const std::string& file, int x, int y) const { return m_game.Pixel(file, x, y); }

    // Rewrites the options inside the cloud copy and the local pack, as if the player had
    // already opened every sub-menu.
    void UnlockEverySubMenu()
    {
        std::vector<fs::path> packs{m_run.Path() / ConfigPak::kPackFile};
        for (const auto& entry : fs::recursive_directory_iterator(m_profile.Path()))
            if (entry.path().filename() == ConfigPak::kCloudFile)
                packs.push_back(entry.path());
        ASSERT_EQ(packs.size(), 2u);
        for (const fs::path& path : packs) {
            bool changed = false;
            ASSERT_TRUE(GameRun::RewritePack(path, [&](const std::string& file, std::string& bytes) {
                if (file != "Data/PlayData/QuiblyConfig.xml")
                    return;
                size_t at = bytes.find("<UnlockMainMenu");
                size_t end = bytes.find("/>", at);
                if (at == std::string::npos || end == std::string::npos)
                    return;
                bytes.replace(at, end + 2 - at, "<UnlockMainMenu Puzzle=\"1\" Battle=\"1\" Push=\"1\" IQ=\"1\" Multi=\"1\" />");
                changed = true;
            })) << path;
            ASSERT_TRUE(changed) << path;
        }
    }

    GameRun m_game;
    testsupport::TempDir& m_run = m_game.folder;
    testsupport::TempDir m_profile;
};

std::string FirstRunScript()
{
    std::string script = "40 key 20\n"        // skip the logo
                         "300 shot title.png\n"
                         "310 key 20\n"      // press any key
                         "480 shot opening.png\n";
    for (int i = 0; i < 10; ++i)
        script += std::to_string(500 + i * 16) + " click 899 716\n";  // "Next"
    script += "760 click 512 600\n"          // the door
              "950 shot main.png\n"
              "960 click 237 325\n"          // the puzzle sub-menu
              "1030 shot sub.png\n"
              "1040 key 1B\n"                 // Escape leaves it
              "1100 shot back.png\n"
              "1110 click 978 724\n"          // the switch: the quit question
              "1170 shot question.png\n"
              "1180 key 1B\n"                 // no
              "1250 shot thanks.png\n"
              "1260 key 0D\n"
              "1330 key 1B\n"                 // Escape on the main screen asks again
              "1390 key 0D\n"                 // yes
              "1800 shot late.png\n";
    return script;
}

TEST_F(MainMenuTest, FirstRunShowsTheOpeningAndTheQuitQuestionEndsTheGame)
{
    ASSERT_EQ(Run(FirstRunScript()), 0) << m_run.Read("stderr.txt");

    // The title waits on the warning screen; then a story page of the opening with its "Next".
    Rgb title = Pixel("title.png", 20, 20);
    EXPECT_TRUE(Near(title, {28, 37, 82}, 12));
    EXPECT_TRUE(Near(Pixel("title.png", 400, 200), {255, 255, 255}, 10));  // the big "Quibly"
    EXPECT_TRUE(Near(Pixel("opening.png", 416, 268), {232, 80, 91}, 30));  // the first page's red block
    EXPECT_TRUE(Near(Pixel("opening.png", 540, 268), {60, 196, 124}, 30));
    EXPECT_TRUE(Near(Pixel("opening.png", 899, 700), {61, 139, 253}, 40));  // "Next"

    // The main screen: the puzzle card, a locked battle card, the quick menu's switch.
    EXPECT_TRUE(Near(Pixel("main.png", 150, 370), {232, 80, 91}, 30));
    EXPECT_TRUE(Near(Pixel("main.png", 960, 735), {232, 80, 91}, 40));
    Rgb locked = Pixel("main.png", 420, 380);
    EXPECT_LT(locked.r + locked.g + locked.b, 150);
    // The puzzle sub-menu's header and its first card, then the main screen again (the cursor
    // still over the puzzle card, which shows its lighter hover face).
    EXPECT_TRUE(Near(Pixel("sub.png", 512, 90), {232, 80, 91}, 12));
    EXPECT_TRUE(Near(Pixel("sub.png", 252, 300), {232, 80, 91}, 30));
    EXPECT_TRUE(Near(Pixel("back.png", 150, 370), {234, 98, 108}, 25));
    // The question and the thanks differ from the plain main screen; the game ended on "yes".
    EXPECT_FALSE(Near(Pixel("question.png", 512, 300), Pixel("back.png", 512, 300), 8));
    EXPECT_TRUE(fs::exists(m_run.Path() / "thanks.png"));
    EXPECT_FALSE(fs::exists(m_run.Path() / "late.png"));

    // The opening is remembered in the play data packed at exit.
    ConfigPak::DecodedPack pack;
    ASSERT_TRUE(ConfigPak::DecodePack(m_run.Read(ConfigPak::kPackFile), pack)) << pack.error;
    bool seen = false;
    for (const auto& record : pack.records)
        if (std::string(ConfigPak::kPlayDataFiles[record.fileIndex]) == "Data/PlayData/QuiblyConfig.xml")
            seen = std::string(pack.Bytes(record)).find("<Opening IsShow=\"1\"") != std::string::npos;
    EXPECT_TRUE(seen);

    // The second run: no opening after the title, and every sub-menu in turn.
    UnlockEverySubMenu();
    std::string second = "40 key 20\n"
                         "300 key 20\n"
                         "400 shot main2.png\n"
                         "402 click 455 733\n"   // Credits
                         "460 shot credits.png\n"
                         "470 click 455 733\n"   // Credits again closes them
                         "505 shot closed.png\n"
                         "510 click 237 325\n";
    for (int i = 0; i < 4; ++i)
        second += std::to_string(560 + i * 40) + " key 27\n";  // Right: the next sub-menu
    second += "730 shot online.png\n"
              "740 key 1B\n"
              "800 shot main3.png\n"
              "810 key 1B\n"
              "870 key 0D\n"
              "1300 shot late2.png\n";
    ASSERT_EQ(Run(second), 0) << m_run.Read("stderr.txt");
    EXPECT_TRUE(Near(Pixel("main2.png", 150, 370), {232, 80, 91}, 30));
    EXPECT_TRUE(Near(Pixel("main2.png", 420, 370), {61, 139, 253}, 40));  // battle, unlocked now
    // The credits card hides the menu behind it and says how to close it.
    EXPECT_TRUE(Near(Pixel("credits.png", 232, 330), {11, 16, 36}, 10));
    EXPECT_GT(m_game.Count("credits.png", 300, 576, 724, 600, [](Rgb p) { return p.r > 200 && p.g > 150 && p.b < 120; }),
              100);
    // Clicking Credits again, as the card says, takes it away: the main screen as it was.
    for (auto [x, y] : {std::pair{232, 330}, std::pair{512, 400}, std::pair{780, 580}})
        EXPECT_TRUE(Near(Pixel("closed.png", x, y), Pixel("main2.png", x, y), 12)) << x << "," << y;
    EXPECT_TRUE(Near(Pixel("online.png", 512, 90), {242, 140, 56}, 12));  // the online sub-menu's header
    EXPECT_TRUE(Near(Pixel("main3.png", 150, 370), {234, 98, 108}, 25));
    EXPECT_FALSE(fs::exists(m_run.Path() / "late2.png"));
}

} // namespace
