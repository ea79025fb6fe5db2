// The run folder read by the game's own loaders: the initial pack restores the default play
// data, the skin table finds every entry, and the sound table loads a sound for every key.
#include "data/ModeConfig.h"
#include "data/Options.h"
#include "data/PlayDataPack.h"
#include "data/Records.h"
#include "engine/AnimationSet.h"
#include "engine/ImagesetFont.h"
#include "engine/KVSVInterface.h"
#include "engine/SkinTable.h"
#include "app/SoundServerLinks.h"

#include "kv/KVLayoutDocument.h"
#include "support/TempDir.h"

#include <dsound/Mixer.h>
#include <helvane/ResourceFileManager.h>
#include <win32/Files.h>
#include <win32/Text.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(GameLoadersTest, InitialPackRestoresTheDefaultPlayData)
{
    testsupport::TempDir dir;
    fs::create_directories(dir.Path() / "Data" / "PlayData");
    fs::copy_file(fs::path(QUIBLY_RUN_DIR) / ConfigPak::kInitPackFile, dir.Path() / ConfigPak::kInitPackFile);
    testsupport::ScopedCurrentDir cwd(dir.Path());

    ASSERT_EQ(ConfigPak::UnpackInitPack(), 1);
    for (const char* name : {"QuiblyConfig.xml", "QuiblyRecord.xml", "QuiblyRanking.xml", "Steam_Achievements.xml"})
        EXPECT_TRUE(fs::exists(dir.Path() / "Data" / "PlayData" / name)) << name;
    EXPECT_EQ(LoadGameConfig(), 1);
}

class RunFolderLoadersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_cwd.emplace(QUIBLY_RUN_DIR);
        singleton<CResourceFileManager>::GetSingleton().CollectFileNameList(L"/data/");
    }

    std::optional<testsupport::ScopedCurrentDir> m_cwd;
};

TEST_F(RunFolderLoadersTest, EverySkinLoadsWithANameForEveryEntry)
{
    for (int skin = 0; skin < 3; ++skin) {
        ASSERT_EQ(SkinTable.LoadSkin(skin), 1) << skin;
        for (int key = 0; key < CSkinTable::kKeyCount; ++key) {
            const char* name = SkinTable.GetSkinString(key);
            ASSERT_NE(name, nullptr);
            EXPECT_NE(singleton<CResourceFileManager>::GetSingleton().GetFullPathNameW(platform::Widen(name), 10), nullptr)
                << "skin " << skin << " key " << key << ": " << name;
        }
    }
}

// Every file the default skin names is read by the game's own reader: layouts by the window
// system's layout loader, everything else as a sprite animation set.
TEST_F(RunFolderLoadersTest, EverySkinFileLoadsWithTheGamesOwnReaders)
{
    ASSERT_EQ(SkinTable.LoadSkin(0), 1);
    KVSVInterface ui;
    int layouts = 0, animations = 0;
    for (int key = 0; key < CSkinTable::kKeyCount; ++key) {
        const std::string name = SkinTable.GetSkinString(key);
        const std::string keyName = CSkinTable::KeyNames()[key];
        const wchar_t* path = singleton<CResourceFileManager>::GetSingleton().GetFullPathNameW(platform::Widen(name), 10);
        ASSERT_NE(path, nullptr) << name;
        TiXmlDocument probe;
        std::string bytes;
        ASSERT_TRUE(platform::ReadWholeFile(platform::Narrow(path), bytes)) << name;
        probe.Parse(bytes.c_str());
        ASSERT_NE(probe.RootElement(), nullptr) << name;
        if (std::string(probe.RootElement()->Value()) == "kevrin") {
            kv::KVLayoutDocument layout(&ui);
            // Layouts are opened by the path the data-folder index gives, as the game does.
            EXPECT_NO_THROW(layout.Load(platform::Narrow(path))) << keyName << ": " << name;
            EXPECT_TRUE(layout.IsLoaded()) << name;
            ++layouts;
        } else {
            AnimationSet set;
            EXPECT_TRUE(set.Load(name)) << keyName << ": " << name;
            EXPECT_FALSE(set.m_Scenes.empty()) << name;
            ++animations;
        }
    }
    EXPECT_GT(layouts, 0);
    EXPECT_GT(animations, 100);
    AnimationSet loading;
    ASSERT_TRUE(loading.Load("loading_Animation.xml"));
    for (const char* scene : {"loading_title", "loading", "connecting"})
        EXPECT_NE(loading.FindScene(scene), nullptr) << scene;
}

// What a lone 2 x 2 square scores without a combo, by the board's rule
// trunc((m K + h - m) (m + M) B) with one square and no loose blocks: K (1 + M) B(1). Free play
// and push make a square worth a clear's effort; push's K = 10, M = 1 make it 20.
TEST_F(RunFolderLoadersTest, ALoneSquareIsWorthTwentyInFreePlayAndPush)
{
    for (const char* file : {"Data/PlayData/QuiblyConfig_Puzzle.xml", "Data/PlayData/QuiblyConfig_Push.xml"}) {
        ASSERT_EQ(LoadModeConfig(file), 1) << file;
        const int square = static_cast<int>(ModeConfig.bigBlockK * (1.0f + ModeConfig.bigBlockM) * GetComboBonus(1));
        EXPECT_EQ(square, 20) << file;
    }
}

// The board's sprites carry the scenes it plays and the tracks that place its numbers, in every
// skin; each skin draws its blocks with sprites of its own, so choosing a skin changes the boards.
TEST_F(RunFolderLoadersTest, BoardSpritesHaveTheirScenesAndNumberPlaces)
{
    auto set = [](int key) {
        AnimationSet loaded;
        EXPECT_TRUE(loaded.Load(SkinTable.GetSkinString(key))) << key;
        return loaded;
    };
    std::set<std::string> seen;
    for (int skin = 2; skin >= 0; --skin) {
        SkinTable.LoadSkin(skin); // 0 when that skin is loaded already
        ASSERT_EQ(SkinTable.GetCurrentSkin(), skin);
        for (int kind = 0; kind < 7; ++kind) {
            AnimationSet large = set(76 + kind);
            for (const char* scene : {"NORMAL", "ENTER", "OVER", "LEAVE", "DOWN", "DISABLE"})
                EXPECT_NE(large.FindScene(scene), nullptr) << skin << " " << kind << " " << scene;
            ASSERT_NE(large.FindScene("DOWN"), nullptr);
            EXPECT_NE(large.FindScene("DOWN")->FindTrack("ani_effect_num"), nullptr) << skin << " " << kind;
            EXPECT_NE(large.FindScene("LEAVE")->FindTrack("ani_effect_num_L"), nullptr) << skin << " " << kind;
        }
        // The three colours, the star and the stone, small and large.
        for (int key : {61, 62, 63, 64, 65, 76, 77, 78, 79, 80})
            EXPECT_TRUE(seen.insert(SkinTable.GetSkinString(key)).second)
                << "skin " << skin << " shares " << SkinTable.GetSkinString(key);
    }
    AnimationSet starOver = set(98);
    for (const char* scene : {"star_hover_1", "star_hover_2", "star_hover_3"})
        EXPECT_NE(starOver.FindScene(scene), nullptr) << scene;
    AnimationSet scombo = set(93);
    ASSERT_NE(scombo.FindScene("scombo"), nullptr);
    EXPECT_NE(scombo.FindScene("scombo")->FindTrack("ani_S0_effect_combo_num"), nullptr);
    // The digit styles the board and its effects count with: 2, 5, 6 to 9 and 21.
    for (int style : {2, 5, 6, 7, 8, 9, 21}) {
        AnimationSet digits = set(27 + style);
        for (int d = 0; d <= 9; ++d)
            EXPECT_NE(digits.FindScene(std::to_string(d)), nullptr) << style << " " << d;
    }
}

TEST_F(RunFolderLoadersTest, ImagesetFontReadsTheShippedImageset)
{
    std::string bytes;
    // Imagesets are not in the data-folder index: the font manager opens them by path.
    ASSERT_TRUE(platform::ReadWholeFile("data/MainUI40.imageset", bytes));
    KVXDefaultResourceProvider files;
    KVXImagesetFont font(&files);
    EXPECT_TRUE(font.LoadFromMemory(bytes.data(), bytes.size()));
}

TEST_F(RunFolderLoadersTest, SoundTableLoadsASoundForEveryKey)
{
    platform::dsound::UseManualMixer(true);
    DXSoundServer server;
    ASSERT_TRUE(server.Init(nullptr, DSSCL_PRIORITY, 2, 22050, 16));
    LinkSoundServerToGameData();
    SoundTable.LoadSoundList(0);
    ASSERT_TRUE(SoundTable.IsLoaded());
    for (int key = 0; key < CSoundTable::kKeyCount; ++key)
        EXPECT_NE(server.GetSound(SoundTable.GetSoundId(key)).get(), nullptr) << "key " << key;
    SoundTable.AttachServer(nullptr);
    AttachOptionsSoundLevels(nullptr);
    server.Release();
    platform::dsound::UseManualMixer(false);
}

} // namespace
