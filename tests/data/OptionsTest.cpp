// The options and progress file: per-element defaults, the sound levels, and save/load.
#include "data/Options.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class RecordingLevels : public OptionsSoundLevels {
public:
    void SetMusicVolume(float v) override { calls.push_back("music " + std::to_string(v)); music = v; }
    void SetEffectsVolume(float v) override { calls.push_back("effects " + std::to_string(v)); effects = v; }
    void SetEffectsMute(bool m) override { calls.push_back(std::string("effectsMute ") + (m ? "1" : "0")); effectsMute = m; }
    void SetMusicMute(bool m) override { calls.push_back(std::string("musicMute ") + (m ? "1" : "0")); musicMute = m; }
    float GetMusicVolume() const override { return music; }
    float GetEffectsVolume() const override { return effects; }
    bool IsEffectsMuted() const override { return effectsMute; }
    bool IsMusicMuted() const override { return musicMute; }
    std::vector<std::string> calls;
    float music = 0.5f, effects = 0.5f;
    bool effectsMute = true, musicMute = true;
};

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GameConfig = GameConfigRecord{};
        AttachOptionsSoundLevels(&m_levels);
    }
    void TearDown() override
    {
        AttachOptionsSoundLevels(nullptr);
        GameConfig = GameConfigRecord{};
    }
    void WriteConfig(const std::string& body) const
    {
        m_dir.Write("Data/PlayData/QuiblyConfig.xml", "<VanteoConfig>" + body + "</VanteoConfig>");
    }
    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
    RecordingLevels m_levels;
};

TEST_F(OptionsTest, EmptyRootGivesTheDefaultsAndKeepsWhatHasNoElement)
{
    GameConfig.cubes = 77;
    GameConfig.leftHand = 1;
    GameConfig.fullScreen = 1;
    GameConfig.unlockPuzzle = 0;
    GameConfig.showOpening = 1;
    WriteConfig("");
    ASSERT_EQ(LoadGameConfig(), 1);
    EXPECT_STREQ(GameConfig.playerName, "Unknown Player");
    EXPECT_EQ(GameConfig.cubes, 0);
    EXPECT_EQ(GameConfig.currentSkin, 0);
    EXPECT_EQ(GameConfig.leftHand, 0);
    EXPECT_EQ(GameConfig.fullScreen, 1);   // no "PlayConfig": stays
    EXPECT_EQ(GameConfig.unlockPuzzle, 0); // no "UnlockMainMenu": stays
    EXPECT_EQ(GameConfig.showOpening, 1);  // no "Opening": stays
    // Without "Sound" both volumes become 0.5 and the mutes are left alone.
    EXPECT_EQ(m_levels.calls, (std::vector<std::string>{"music 0.500000", "effects 0.500000"}));
    EXPECT_TRUE(m_levels.effectsMute);
    const float timing[] = {GameConfig.blockClearTimer,     GameConfig.blockClearTimerLast, GameConfig.blockClearTimerMin,
                            GameConfig.blockClearTimerMax,  GameConfig.blockClearTimerAccel, GameConfig.blockClearMaxCountA,
                            GameConfig.blockClearMaxCountB, GameConfig.blockClearMaxCountSpeed};
    const float expected[] = {0.45f, 0.25f, 0.05f, 1.0f, 0.15f, 1.0f, 1.0f, 1.0f};
    for (int i = 0; i < 8; ++i)
        EXPECT_FLOAT_EQ(timing[i], expected[i]) << i;
}

TEST_F(OptionsTest, ElementsWithoutAttributesTakeTheirOwnDefaults)
{
    GameConfig.fullScreen = 1;
    GameConfig.unlockBattle = 1;
    GameConfig.selfWinPush = 9;
    GameConfig.blockClearTimerMin = 0.3f;
    WriteConfig("<PlayerName/><PlayConfig/><UnlockMainMenu/><SelfWinCount/><Opening/>"
                "<BlockClearTimer BlockClearTimer=\"0.7\"/><Sound/>");
    ASSERT_EQ(LoadGameConfig(), 1);
    EXPECT_STREQ(GameConfig.playerName, "");
    EXPECT_EQ(GameConfig.fullScreen, 0);
    EXPECT_EQ(GameConfig.unlockPuzzle, 1);
    EXPECT_EQ(GameConfig.unlockBattle, 0);
    EXPECT_EQ(GameConfig.selfWinPush, 0);
    EXPECT_EQ(GameConfig.showOpening, 0);
    EXPECT_FLOAT_EQ(GameConfig.blockClearTimer, 0.7f);
    EXPECT_FLOAT_EQ(GameConfig.blockClearTimerMin, 0.3f); // absent real attribute: unchanged
    EXPECT_EQ(m_levels.calls, (std::vector<std::string>{"music 0.500000", "effects 0.500000", "effectsMute 0",
                                                        "musicMute 0"}));
}

struct GuidedCase {
    const char* body;
    int guided, tutorialSeen;
};

class GuidedPlayKeyTest : public OptionsTest, public ::testing::WithParamInterface<GuidedCase> {};

TEST_P(GuidedPlayKeyTest, TheGuidedPlayHasItsOwnKeyAndAFileWithoutItTakesItFromProgress)
{
    WriteConfig(GetParam().body);
    ASSERT_EQ(LoadGameConfig(), 1);
    EXPECT_EQ(GameConfig.guidedPlay, GetParam().guided);
    EXPECT_EQ(GameConfig.showTutorial, GetParam().tutorialSeen);
}

INSTANTIATE_TEST_SUITE_P(
    Files, GuidedPlayKeyTest,
    ::testing::Values(
        // A new player's file of old: guided, and the tutorial still to be seen.
        GuidedCase{"<Tutorial IsShow=\"0\"/><UnlockMainMenu Puzzle=\"1\"/>", 1, 0},
        // A returning player of old, whose "Tutorial" 0 meant "no guided play": neither forced
        // through the tutorial nor held by the guided play.
        GuidedCase{"<Tutorial IsShow=\"0\"/><UnlockMainMenu Puzzle=\"1\" Push=\"1\"/>", 0, 1},
        // With the key, each keeps its own meaning.
        GuidedCase{"<Tutorial IsShow=\"0\"/><GuidedPlay IsShow=\"0\"/><UnlockMainMenu Push=\"1\"/>", 0, 0},
        GuidedCase{"<Tutorial IsShow=\"1\"/><GuidedPlay IsShow=\"1\"/>", 1, 1}));

TEST_F(OptionsTest, AbsurdCubeCountsAndSkinsAreTakenBackIntoRange)
{
    WriteConfig("<Cube Count=\"-50\"/><Skin LastSkin=\"7\"/>");
    ASSERT_EQ(LoadGameConfig(), 1);
    EXPECT_EQ(GameConfig.cubes, 0);
    EXPECT_EQ(GameConfig.currentSkin, 0);
    WriteConfig("<Cube Count=\"2000000000\"/><Skin LastSkin=\"2\"/>");
    ASSERT_EQ(LoadGameConfig(), 1);
    EXPECT_EQ(GameConfig.cubes, kCubeCap);
    EXPECT_EQ(GameConfig.currentSkin, 2);
}

TEST_F(OptionsTest, MissingFileOrRootChangesNothing)
{
    GameConfig.cubes = 42;
    EXPECT_EQ(LoadGameConfig(), 0);
    m_dir.Write("Data/PlayData/QuiblyConfig.xml", "<Other><Cube Count=\"1\"/></Other>");
    EXPECT_EQ(LoadGameConfig(), 0);
    m_dir.Write("Data/PlayData/QuiblyConfig.xml", "<VanteoConfig><Cube");
    EXPECT_EQ(LoadGameConfig(), 0);
    EXPECT_EQ(GameConfig.cubes, 42);
    EXPECT_TRUE(m_levels.calls.empty());
}

TEST_F(OptionsTest, SaveThenLoadGivesTheSameValues)
{
    GameConfig.currentSkin = 2;
    GameConfig.cubes = 9999;
    std::string longName;
    while (longName.size() < 126)
        longName += "a";
    longName += "한"; // three bytes that would end past byte 127: cut whole
    std::strcpy(GameConfig.playerName, "x");
    GameConfig.leftHand = 1;
    GameConfig.fullScreen = 1;
    GameConfig.showClickHere = 1;
    GameConfig.selfWinStackPush = 5;
    GameConfig.skin3Unlocked = 1;
    GameConfig.unlockMulti = 1;
    GameConfig.blockClearTimerAccel = 0.123456f;
    GameConfig.blockClearMaxCountSpeed = 2.5f;
    m_levels.music = 0.25f;
    m_levels.effects = 0.75f;
    m_levels.effectsMute = false;
    m_levels.musicMute = true;
    SaveGameConfig();
    std::string text = m_dir.Read("Data/PlayData/QuiblyConfig.xml");
    EXPECT_EQ(text.find("<?xml"), std::string::npos);
    EXPECT_NE(text.find("MusicVolume=\"0.250000\""), std::string::npos);
    EXPECT_LT(text.find("<Skin"), text.find("<Cube"));
    EXPECT_LT(text.find("<ClickHere"), text.find("<SelfWinCount "));
    EXPECT_LT(text.find("<UnlockMainMenu"), text.find("<BlockClearMaxCount"));

    GameConfigRecord saved = GameConfig;
    GameConfig = GameConfigRecord{};
    m_levels = RecordingLevels{};
    ASSERT_EQ(LoadGameConfig(), 1);
    EXPECT_EQ(GameConfig.currentSkin, saved.currentSkin);
    EXPECT_EQ(GameConfig.cubes, saved.cubes);
    EXPECT_STREQ(GameConfig.playerName, "x");
    EXPECT_EQ(GameConfig.showClickHere, 1);
    EXPECT_EQ(GameConfig.selfWinStackPush, 5);
    EXPECT_EQ(GameConfig.skin3Unlocked, 1);
    EXPECT_EQ(GameConfig.unlockMulti, 1);
    EXPECT_EQ(GameConfig.fullScreen, 1);
    EXPECT_FLOAT_EQ(GameConfig.blockClearTimerAccel, 0.123456f);
    EXPECT_FLOAT_EQ(GameConfig.blockClearMaxCountSpeed, 2.5f);
    EXPECT_FLOAT_EQ(m_levels.music, 0.25f);
    EXPECT_FLOAT_EQ(m_levels.effects, 0.75f);
    EXPECT_FALSE(m_levels.effectsMute);
    EXPECT_TRUE(m_levels.musicMute);

    // A long name is cut at 127 bytes without splitting a character.
    WriteConfig("<PlayerName Name=\"" + longName + "\"/>");
    ASSERT_EQ(LoadGameConfig(), 1);
    EXPECT_EQ(std::string(GameConfig.playerName), longName.substr(0, 126));
}

} // namespace
