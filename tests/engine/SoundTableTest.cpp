// The sound table: sound sets layered on set 0, the play rules for effects and music, and
// switching sets while music plays.
#include "engine/SoundTable.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <helvane/ResourceFileManager.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// A sound server that shares sounds by name and records what happens to them.
class FakeServer : public SoundTableServer {
public:
    int LoadSound(const std::wstring& name, int, bool allowStreaming) override
    {
        if (name.find(L"missing") != std::wstring::npos)
            return -1;
        auto it = ids.find(name);
        if (it != ids.end())
            return it->second;
        int id = static_cast<int>(sounds.size());
        sounds.push_back({name, allowStreaming});
        ids[name] = id;
        return id;
    }
    bool UnloadSound(int id) override
    {
        unloaded.push_back(id);
        return true;
    }
    bool HasSound(int id) override { return id >= 0 && id < static_cast<int>(sounds.size()); }
    void SetLoop(int id, bool loop) override { sounds[id].loop = loop; }
    float GetVolume(int id) override { return sounds[id].volume; }
    void SetVolume(int id, float volume) override { sounds[id].volume = volume; }
    bool IsPlaying(int id) override { return sounds[id].playing; }
    bool Reset(int id) override
    {
        sounds[id].playing = false;
        events.push_back("reset " + Name(id));
        return true;
    }
    bool Play(int id, bool) override
    {
        if (failPlays)
            return false;
        sounds[id].playing = true;
        events.push_back("play " + Name(id));
        return true;
    }
    std::string Name(int id) const { return std::string(sounds[id].name.begin(), sounds[id].name.end()); }

    struct Entry {
        std::wstring name;
        bool streaming;
        bool loop = false;
        float volume = 1.0f;
        bool playing = false;
    };
    std::vector<Entry> sounds;
    std::map<std::wstring, int> ids;
    std::vector<int> unloaded;
    std::vector<std::string> events;
    bool failPlays = false;
};

std::string SoundSet(const std::map<std::string, std::string>& keys)
{
    std::string sound = "<sound";
    for (const auto& [key, file] : keys)
        sound += " " + key + "=\"" + file + "\"";
    return "<VanteoSkin>" + sound + "/></VanteoSkin>";
}

class SoundTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir.Write("Vanteo_SoundList.xml",
                    "<SoundList><sound file=\"set0.xml\"/><sound/><sound file=\"set1.xml\"/></SoundList>");
        m_dir.Write("set0.xml", SoundSet({{"Click", "click.wav"}, {"Rotate", "rotate.wav"}, {"BGM_Menu", "menu0.ogg"},
                                          {"ClickStar", "star.wav"}}));
        // Set 1 is found through the data-folder index, not the current directory.
        m_dir.Write("data/sets/set1.xml", SoundSet({{"Click", "click1.wav"}, {"BGM_Menu", "menu1.ogg"},
                                                    {"Rotate", "rotate.wav"}, {"ClickStar", "missing.wav"}}));
        CResourceFileManager::GetSingleton().CollectFileNameList(L"\\data\\");
        m_table.AttachServer(&m_server);
    }
    int Id(const char* key) const
    {
        for (int i = 0; i < CSoundTable::kKeyCount; ++i)
            if (std::string(CSoundTable::KeyNames()[i]) == key)
                return m_table.GetSoundId(i);
        return -2;
    }
    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
    FakeServer m_server;
    CSoundTable m_table;
};

TEST_F(SoundTableTest, LoadsSetZeroThenTheSkinsSetOnTopOfIt)
{
    m_table.LoadSoundList(0);
    ASSERT_TRUE(m_table.IsLoaded());
    EXPECT_EQ(m_table.GetSetFileCount(), 2); // the "sound" without "file" is skipped
    int click0 = Id("Click");
    EXPECT_EQ(m_server.Name(click0), "click.wav");
    EXPECT_FALSE(m_server.sounds[click0].streaming);
    int menu0 = Id("BGM_Menu");
    EXPECT_TRUE(m_server.sounds[menu0].streaming);
    EXPECT_TRUE(m_server.sounds[menu0].loop);
    EXPECT_EQ(Id("Alert"), -1);
    int rotate = Id("Rotate");

    m_table.SelectSoundSet(1);
    EXPECT_EQ(m_server.Name(Id("Click")), "click1.wav");
    EXPECT_EQ(Id("Rotate"), rotate);         // the same file keeps its id
    EXPECT_EQ(m_server.Name(Id("ClickStar")), "star.wav"); // a missing file keeps set 0's sound
    EXPECT_TRUE(m_server.unloaded.empty());  // base ids are never unloaded

    // Loading the list again does nothing.
    m_table.LoadSoundList(0);
    EXPECT_EQ(m_table.GetSetFileCount(), 2);
}

TEST_F(SoundTableTest, SelectingASetRestartsThePlayingMusicWithTheNewFile)
{
    m_table.LoadSoundList(0);
    const int menuKey = 24;
    ASSERT_TRUE(m_table.PlaySoundByKey(menuKey, true, -1.0f));
    EXPECT_EQ(m_table.GetCurrentMusicKey(), menuKey);
    m_server.events.clear();
    m_table.SelectSoundSet(1);
    EXPECT_EQ(m_server.events, (std::vector<std::string>{"reset menu0.ogg", "play menu1.ogg"}));
    EXPECT_EQ(m_table.GetCurrentMusicKey(), menuKey);

    m_server.events.clear();
    for (int set : {10, 2, -1})
        m_table.SelectSoundSet(set);
    EXPECT_TRUE(m_server.events.empty());
}

TEST_F(SoundTableTest, PlayRulesForEffectsAndMusic)
{
    m_table.LoadSoundList(0);
    const int click = 0, menu = 24, alert = 54;

    // A playing effect is rewound and played again from its start, at the asked volume.
    EXPECT_TRUE(m_table.PlaySoundByKey(click, false, 0.3f));
    m_server.events.clear();
    EXPECT_TRUE(m_table.PlaySoundByKey(click, false, -1.0f));
    EXPECT_EQ(m_server.events, (std::vector<std::string>{"reset click.wav", "play click.wav"}));
    EXPECT_FLOAT_EQ(m_server.sounds[Id("Click")].volume, 0.3f);

    EXPECT_FALSE(m_table.PlaySoundByKey(alert, false, -1.0f)); // no sound for the key
    m_table.m_effectsEnabled = 0;
    EXPECT_FALSE(m_table.PlaySoundByKey(click, false, -1.0f));

    m_table.m_musicEnabled = 0;
    m_server.events.clear();
    EXPECT_TRUE(m_table.PlaySoundByKey(menu, false, -1.0f));
    EXPECT_TRUE(m_server.events.empty());
    EXPECT_EQ(m_table.GetCurrentMusicKey(), -1);
    m_table.m_musicEnabled = 1;
    EXPECT_TRUE(m_server.events.empty()); // enabling music does not start it

    m_server.failPlays = true;
    EXPECT_FALSE(m_table.PlaySoundByKey(menu, false, -1.0f));
    EXPECT_EQ(m_table.GetCurrentMusicKey(), menu);
    m_table.StopSoundByKey(menu);
    EXPECT_EQ(m_table.GetCurrentMusicKey(), -1);

    for (int key : {-1, 116, 1000}) {
        EXPECT_FALSE(m_table.PlaySoundByKey(key, false, -1.0f));
        m_table.StopSoundByKey(key);
    }
}

// Without a sound device nothing loads and nothing plays: the log says so once, not once per
// sound or per click.
TEST_F(SoundTableTest, MissingSoundsAndFailedPlaysAreLoggedOnce)
{
    m_dir.Write("set0.xml", SoundSet({{"Click", "click.wav"}, {"Rotate", "missing_rotate.wav"},
                                      {"BGM_Menu", "missing_menu.ogg"}, {"ClickStar", "missing_star.wav"}}));
    testsupport::LogCapture log;
    m_table.LoadSoundList(0);
    auto count = [&](const std::string& text) {
        const std::string all = log.Text();
        size_t n = 0;
        for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("사운드가 없습니다"), 1u) << log.Text();
    EXPECT_NE(log.Text().find("(3"), std::string::npos) << log.Text();

    m_server.failPlays = true;
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(m_table.PlaySoundByKey(0, false, -1.0f));
    EXPECT_EQ(count("0 id 사운드 재생을 실패 했습니다."), 1u) << log.Text();
}

TEST_F(SoundTableTest, ReplacedSetSoundsAreUnloadedWhenNotBaseSounds)
{
    m_dir.Write("Vanteo_SoundList.xml",
                "<SoundList><sound file=\"set0.xml\"/><sound file=\"set1.xml\"/><sound file=\"set2.xml\"/></SoundList>");
    m_dir.Write("set2.xml", SoundSet({{"Click", "click2.wav"}}));
    m_table.LoadSoundList(1);
    int click1 = Id("Click");
    EXPECT_EQ(m_server.Name(click1), "click1.wav");
    m_table.SelectSoundSet(2);
    EXPECT_EQ(m_server.Name(Id("Click")), "click2.wav");
    // Set 2 starts again from set 0's ids, so set 1's sound is not the one replaced.
    EXPECT_TRUE(m_server.unloaded.empty());
    EXPECT_EQ(m_server.Name(Id("BGM_Menu")), "menu0.ogg");

    // Going back to set 0 replaces set 2's sound, which is no base sound: it is unloaded.
    int click2 = Id("Click");
    m_table.SelectSoundSet(0);
    EXPECT_EQ(m_server.unloaded, (std::vector<int>{click2}));
    EXPECT_EQ(m_server.Name(Id("Click")), "click.wav");
}

TEST_F(SoundTableTest, MissingListLeavesTheTableUnloaded)
{
    std::filesystem::remove(m_dir.Path() / "Vanteo_SoundList.xml");
    m_table.LoadSoundList(0);
    EXPECT_FALSE(m_table.IsLoaded());
    m_dir.Write("Vanteo_SoundList.xml", "<Sounds/>");
    m_table.LoadSoundList(0);
    EXPECT_FALSE(m_table.IsLoaded());
    EXPECT_EQ(Id("Click"), -1);
}

} // namespace
