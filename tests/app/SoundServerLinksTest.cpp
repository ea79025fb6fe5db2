// The sound table and the options reach the real sound server: loads, volumes, plays and the
// family levels go through to it.
#include "app/SoundServerLinks.h"

#include "engine/SoundFixtures.h"
#include "support/TempDir.h"

#include <dsound/Mixer.h>

#include <gtest/gtest.h>

#include <optional>

namespace {

class SoundServerLinksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::dsound::UseManualMixer(true);
        ASSERT_TRUE(m_server.Init(nullptr, DSSCL_PRIORITY, 2, 22050, 16));
        m_cwd.emplace(m_dir.Path());
        soundfixtures::WavFormat wav;
        wav.data = soundfixtures::Pcm16(std::vector<int16_t>(4000, 6000));
        m_dir.Write("beep.wav", soundfixtures::MakeWav(wav));
    }

    void TearDown() override
    {
        AttachOptionsSoundLevels(nullptr);
        SoundTable.AttachServer(nullptr);
        m_server.Release();
        platform::dsound::UseManualMixer(false);
    }

    testsupport::TempDir m_dir;
    std::optional<testsupport::ScopedCurrentDir> m_cwd;
    DXSoundServer m_server;
};

TEST_F(SoundServerLinksTest, TableServerLoadsPlaysAndResetsThroughTheServer)
{
    DXSoundTableServer table(m_server);
    const int id = table.LoadSound(L"beep.wav", kSoundControlVolume, false);
    ASSERT_GE(id, 0);
    EXPECT_TRUE(table.HasSound(id));
    EXPECT_FALSE(table.HasSound(id + 1));

    table.SetVolume(id, 0.25f);
    EXPECT_FLOAT_EQ(table.GetVolume(id), 0.25f);
    ASSERT_TRUE(table.Play(id, false));
    EXPECT_TRUE(table.IsPlaying(id));
    EXPECT_TRUE(table.Reset(id));
    EXPECT_FALSE(table.IsPlaying(id));

    // Ids without a sound are answered, never dereferenced.
    EXPECT_FALSE(table.Play(-1, false));
    EXPECT_FALSE(table.IsPlaying(99));
    EXPECT_FLOAT_EQ(table.GetVolume(99), 0.0f);
    EXPECT_TRUE(table.UnloadSound(id));
    EXPECT_FALSE(table.HasSound(id));
}

TEST_F(SoundServerLinksTest, OptionsReadAndWriteTheServersFamilyLevels)
{
    LinkSoundServerToGameData();
    OptionsSoundLevels& levels = GetOptionsSoundLevels();
    levels.SetMusicVolume(0.2f);
    levels.SetEffectsVolume(0.7f);
    levels.SetMusicMute(true);
    EXPECT_FLOAT_EQ(DXSoundServer::GetSingleton().GetMusicVolume(), 0.2f);
    EXPECT_FLOAT_EQ(DXSoundServer::GetSingleton().GetEffectsVolume(), 0.7f);
    EXPECT_TRUE(DXSoundServer::GetSingleton().IsMusicMuted());
    EXPECT_FALSE(levels.IsEffectsMuted());
    levels.SetMusicMute(false);
}

} // namespace
