// The main menu's own pop-ups in the real program: the options (a name typed through the input
// method, the music volume moved), the records, and a skin bought with cubes from prepared play
// data and worn; then the program is started again and the name, the volume, the skin and the
// purchase are still there, and free play deals its blocks in the worn skin's colours.
#include "support/TempDir.h"

#include "GameRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// The quick menu's buttons and the pop-ups' controls, in screen coordinates.
constexpr const char* kFirstRun = "40 key 20\n"
                                  "200 key 20\n"
                                  "500 move 900 100\n"
                                  "520 press 900 100\n"  // the title takes the first press
                                  "1100 click 838 724\n"   // options
                                  "1150 key 08\n"
                                  "1154 key 08\n"
                                  "1158 key 08\n"
                                  "1162 key 08\n"
                                  "1166 key 08\n"
                                  "1170 key 08\n"
                                  "1174 key 08\n"
                                  "1178 key 08\n"
                                  "1184 text Mina\n"
                                  "1192 click 533 422\n"   // the music slider, near a fifth
                                  "1220 shot options.png\n"
                                  "1230 click 512 596\n"   // OK
                                  "1300 click 908 724\n"   // records
                                  "1350 shot records.png\n"
                                  "1360 key 1B\n"
                                  "1420 click 768 724\n"   // skins
                                  "1470 shot skins.png\n"
                                  "1480 click 502 353\n"   // the second skin's lock
                                  "1530 shot question.png\n"
                                  "1540 click 417 468\n"   // yes
                                  "1600 shot bought.png\n"
                                  "1610 click 512 562\n"   // OK: wear it
                                  "1680 shot worn.png\n"
                                  "1690 quit\n";

constexpr const char* kSecondRun = "40 key 20\n"
                                   "200 key 20\n"
                                   "500 move 900 100\n"
                                   "520 press 900 100\n"
                                   "1100 click 838 724\n"
                                   "1150 shot options2.png\n"
                                   "1160 key 1B\n"
                                   "1220 key 46\n"        // free play, with the worn skin
                                   "1500 shot skinplay.png\n"
                                   "1510 quit\n";

bool Dark(Rgb p) { return p.r < 80 && p.g < 80 && p.b < 110; }
bool Blue(Rgb p) { return p.b > 200 && p.r < 120 && p.g > 100 && p.g < 180; }
bool Yellow(Rgb p) { return p.r > 220 && p.g > 170 && p.b < 120; }

class MenuPopUpsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_profile.Write("persona.txt", "Tester\n");
        ASSERT_TRUE(m_game.Edit("data/PlayData/QuiblyConfig.xml", "<Opening IsShow=\"0\" />", "<Opening IsShow=\"1\" />"));
        ASSERT_TRUE(m_game.Edit("data/PlayData/QuiblyConfig.xml", "<Cube Count=\"0\" />", "<Cube Count=\"1500\" />"));
    }
    int Run(const char* script) { return m_game.Run(script, m_profile.Str()); }
    std::string Config() const { return m_game.PackedFile("Data/PlayData/QuiblyConfig.xml"); }
    double Attribute(const std::string& text, const std::string& name) const
    {
        size_t at = text.find(name + "=\"");
        return at == std::string::npos ? -1 : std::atof(text.c_str() + at + name.size() + 2);
    }

    GameRun m_game;
    testsupport::TempDir m_profile;
};

TEST_F(MenuPopUpsTest, OptionsRecordsAndABoughtSkinStayAfterARestart)
{
    ASSERT_EQ(Run(kFirstRun), 0) << m_game.folder.Read("stderr.txt");

    // The options over a dimmed menu: the blue title bar, the name typed in the field.
    EXPECT_TRUE(Near(m_game.Pixel("options.png", 300, 150), {61, 139, 253}, 12));
    EXPECT_GT(m_game.Count("options.png", 420, 205, 560, 240, Dark), 30);
    // The records: the yellow title bar and the rows.
    EXPECT_TRUE(Near(m_game.Pixel("records.png", 300, 100), {247, 197, 72}, 12));
    EXPECT_GT(m_game.Count("records.png", 270, 194, 760, 230, [](Rgb p) { return p.r > 215 && p.b > 230; }), 5000);
    // The skins with the two prices, then the question over them, and the lock gone once bought.
    EXPECT_GT(m_game.Count("skins.png", 437, 420, 567, 452, Yellow), 1500);
    EXPECT_TRUE(Near(m_game.Pixel("question.png", 300, 240), {247, 197, 72}, 12));
    EXPECT_FALSE(Near(m_game.Pixel("skins.png", 500, 300), m_game.Pixel("bought.png", 500, 300), 20));
    EXPECT_LT(m_game.Count("bought.png", 437, 420, 567, 452, Yellow), 50);  // the price is gone

    std::string config = Config();
    EXPECT_NE(config.find("<PlayerName Name=\"Mina\""), std::string::npos) << config;
    const double music = Attribute(config, "MusicVolume");
    EXPECT_GT(music, 0.1);
    EXPECT_LT(music, 0.3);
    EXPECT_NE(config.find("<Skin LastSkin=\"1\""), std::string::npos);
    EXPECT_NE(config.find("Skin2=\"1\""), std::string::npos);
    EXPECT_NE(config.find("<Cube Count=\"500\""), std::string::npos);

    // Started again: the options show the same name and volume; nothing was lost.
    ASSERT_EQ(Run(kSecondRun), 0) << m_game.folder.Read("stderr.txt");
    EXPECT_GT(m_game.Count("options2.png", 420, 205, 560, 240, Dark), 30);
    // The music slider's thumb stands near a fifth of its track, not in the middle.
    const int thumbs = m_game.Count("options2.png", 474, 410, 600, 440, Blue);
    EXPECT_GT(thumbs, 0);
    EXPECT_EQ(m_game.Count("options2.png", 600, 410, 734, 440, Blue), 0);
    // The board of free play wears the bought skin: its colours, none of the first skin's.
    auto near = [&](Rgb colour) {
        return m_game.Count("skinplay.png", 480, 204, 840, 564, [&](Rgb p) { return Near(p, colour, 20); });
    };
    EXPECT_GT(near({217, 100, 43}) + near({139, 163, 58}) + near({42, 157, 143}), 20000);
    EXPECT_LT(near({232, 80, 91}) + near({60, 196, 124}) + near({61, 139, 253}), 500);
    config = Config();
    EXPECT_NE(config.find("<PlayerName Name=\"Mina\""), std::string::npos);
    EXPECT_DOUBLE_EQ(Attribute(config, "MusicVolume"), music);
    EXPECT_NE(config.find("<Skin LastSkin=\"1\""), std::string::npos);
    EXPECT_NE(config.find("Skin2=\"1\""), std::string::npos);
    EXPECT_NE(config.find("<Cube Count=\"500\""), std::string::npos);
}

} // namespace
