// The sound server over the manual mixer: ids and names, static or streamed by size, family
// volumes and mutes heard in the output, copies of a busy effect, and ids without a sound.
#include "engine/SoundServer.h"
#include "engine/StaticSound.h"

#include <helvane/ResourceFileManager.h>

#include "SoundFixtures.h"
#include "support/TempDir.h"

#include <dsound/Mixer.h>
#include <win32/Text.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cwctype>
#include <cmath>
#include <thread>

using soundfixtures::MakeWav;
using soundfixtures::WavFormat;

namespace {

constexpr int16_t kLevel = 8000;

class SoundServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SoundLevels::effectsVolume = 0.5f;
        SoundLevels::musicVolume = 0.5f;
        SoundLevels::effectsMute = 1.0f;
        SoundLevels::musicMute = 1.0f;
        SoundLevels::rememberedMusicVolume = -1.0f;
        SoundLevels::rememberedEffectsVolume = -1.0f;
        platform::dsound::UseManualMixer(true);
        ASSERT_TRUE(m_server.Init(nullptr, DSSCL_PRIORITY, 2, 22050, 16));
        m_cwd.emplace(m_dir.Path());
        // A short constant effect: its level in the output shows the volume it was played at.
        m_dir.Write("beep.wav", Wav(std::vector<int16_t>(2000, kLevel)));
    }

    void TearDown() override
    {
        m_server.Release();
        platform::dsound::UseManualMixer(false);
    }

    static std::string Wav(const std::vector<int16_t>& mono)
    {
        WavFormat wav;
        wav.data = soundfixtures::Pcm16(mono);
        return MakeWav(wav);
    }

    // The left channel of the next `frames` output frames.
    static std::vector<int16_t> MixLeft(uint32_t frames)
    {
        std::vector<int16_t> out(frames * 2);
        platform::dsound::Mix(out.data(), frames);
        std::vector<int16_t> left;
        for (uint32_t i = 0; i < frames; ++i)
            left.push_back(out[2 * i]);
        return left;
    }

    testsupport::TempDir m_dir;
    std::optional<testsupport::ScopedCurrentDir> m_cwd;
    DXSoundServer m_server;
};

TEST_F(SoundServerTest, NamesShareIdsAndFreedIdsAreReused)
{
    m_dir.Write("other.wav", Wav(std::vector<int16_t>(100, 1)));
    m_dir.Write("third.wav", Wav(std::vector<int16_t>(100, 2)));
    const int beep = m_server.LoadSound(L"beep.wav", kSoundControlVolume, false);
    const int other = m_server.LoadSound(L"other.wav", kSoundControlVolume, false);
    EXPECT_EQ(beep, 0);
    EXPECT_EQ(other, 1);
    EXPECT_EQ(m_server.LoadSound(L"beep.wav", kSoundControlVolume, true), beep);
    // Files are found without regard to case, but the name table keeps the name as given.
    EXPECT_EQ(m_server.LoadSound(L"BEEP.WAV", kSoundControlVolume, false), 2);

    EXPECT_TRUE(m_server.UnloadSound(beep));
    EXPECT_EQ(m_server.GetSound(beep).get(), nullptr);
    EXPECT_TRUE(m_server.UnloadSound(beep)); // an empty slot
    EXPECT_FALSE(m_server.UnloadSound(7));
    EXPECT_EQ(m_server.LoadSound(L"third.wav", kSoundControlVolume, false), beep);
    EXPECT_EQ(m_server.LoadSound(L"beep.wav", kSoundControlVolume, false), 3);
}

TEST_F(SoundServerTest, FindsSoundsByNameInTheDataFolder)
{
    m_dir.Write("data/Sound/Effect/click.wav", Wav(std::vector<int16_t>(100, 3)));
    singleton<CResourceFileManager>::GetSingleton().Init();
    const int id = m_server.LoadSound(L"click.wav", kSoundControlVolume, false);
    ASSERT_GE(id, 0);
    // The sound keeps the path it was loaded from; the name table keeps the name.
    std::wstring path = m_server.GetSound(id)->m_fileName;
    for (wchar_t& c : path)
        c = static_cast<wchar_t>(towupper(c));
    EXPECT_NE(path.find(L"SOUND"), std::wstring::npos) << platform::Narrow(path);
    EXPECT_EQ(m_server.LoadSound(L"click.wav", kSoundControlVolume, true), id);
    EXPECT_EQ(m_server.LoadSound(L"unknown.wav", kSoundControlVolume, false), -1);
}

TEST_F(SoundServerTest, RefusesFilesThatAreNotSounds)
{
    m_dir.Write("text.wav", "hello, world");
    m_dir.Write("short.wav", "RIF");
    m_dir.Write("damaged.wav", "RIFF\x04\0\0\0WAVE");
    for (const wchar_t* name : {L"text.wav", L"short.wav", L"damaged.wav", L"missing.wav"})
        EXPECT_EQ(m_server.LoadSound(name, kSoundControlVolume, false), -1) << platform::Narrow(name);
    EXPECT_EQ(m_server.LoadSound(nullptr, kSoundControlVolume, false), -1);
}

TEST_F(SoundServerTest, IdsWithoutASoundPlayNothing)
{
    const int beep = m_server.LoadSound(L"beep.wav", kSoundControlVolume, false);
    ASSERT_TRUE(m_server.UnloadSound(beep));
    for (int id : {-1, beep, 1, 1000}) {
        EXPECT_FALSE(m_server.Play(id)) << id;
        EXPECT_FALSE(m_server.Stop(id)) << id;
        EXPECT_EQ(m_server.GetSound(id).get(), nullptr) << id;
    }
    EXPECT_EQ(MixLeft(100), std::vector<int16_t>(100, 0));
}

TEST_F(SoundServerTest, LargeMusicStreamsAndEverythingElseIsStatic)
{
    // 512000 decoded bytes is the largest static sound.
    m_dir.Write("static.wav", Wav(std::vector<int16_t>(256000, 0)));
    m_dir.Write("stream.wav", Wav(std::vector<int16_t>(256001, 0)));
    m_dir.Write("effect.wav", Wav(std::vector<int16_t>(256001, 0)));
    EXPECT_EQ(m_server.GetSound(m_server.LoadSound(L"static.wav", 1, true))->GetKind(), SOUND_KIND_STATIC);
    EXPECT_EQ(m_server.GetSound(m_server.LoadSound(L"stream.wav", 1, true))->GetKind(), SOUND_KIND_STREAM);
    EXPECT_EQ(m_server.GetSound(m_server.LoadSound(L"effect.wav", 1, false))->GetKind(), SOUND_KIND_STATIC);
}

TEST_F(SoundServerTest, EffectsPlayAtTheFamilyVolumeAndMuteOnTheNextPlay)
{
    const int beep = m_server.LoadSound(L"beep.wav", kSoundControlVolume, false);
    ASSERT_TRUE(m_server.Play(beep));
    // Sound volume 1 with the effects at 0.5: -602 hundredths of a decibel, half the level.
    EXPECT_NEAR(MixLeft(10)[5], kLevel * std::pow(10.0, -602 / 2000.0), 1.0);
    m_server.StopAll();
    EXPECT_EQ(MixLeft(10), std::vector<int16_t>(10, 0));

    m_server.GetSound(beep)->m_volume = 0.5f;
    m_server.GetSound(beep)->m_paramsChanged = true;
    ASSERT_TRUE(m_server.Play(beep));
    EXPECT_NEAR(MixLeft(10)[5], kLevel * std::pow(10.0, -1204 / 2000.0), 1.0);
    m_server.StopAllEffects();

    m_server.SetEffectsMute(true);
    EXPECT_TRUE(m_server.IsEffectsMuted());
    ASSERT_TRUE(m_server.Play(beep));
    EXPECT_EQ(MixLeft(10), std::vector<int16_t>(10, 0));
    m_server.StopAllEffects();
    m_server.SetEffectsMute(false);
    ASSERT_TRUE(m_server.Play(beep));
    EXPECT_NEAR(MixLeft(10)[5], kLevel * std::pow(10.0, -1204 / 2000.0), 1.0);
}

TEST_F(SoundServerTest, SeventeenCopiesPlayAtOnceAndAFurtherPlayIsSkipped)
{
    const int beep = m_server.LoadSound(L"beep.wav", kSoundControlVolume, false);
    m_server.SetEffectsVolume(1.0f);
    m_server.GetSound(beep)->m_volume = 0.1f;
    for (int i = 0; i < 18; ++i)
        EXPECT_TRUE(m_server.Play(beep)) << i;
    auto* sound = dynamic_cast<DXStaticSound*>(m_server.GetSound(beep).get());
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->GetBufferCount(), DXStaticSound::kMaxBuffers);
    // Seventeen copies at -2000 hundredths of a decibel (a tenth of the level each).
    EXPECT_NEAR(MixLeft(4)[2], 17 * kLevel * 0.1, 17.0);

    // A play after they finish reuses the buffers instead of duplicating again.
    MixLeft(2000);
    EXPECT_FALSE(sound->IsPlaying());
    EXPECT_TRUE(m_server.Play(beep));
    EXPECT_EQ(sound->GetBufferCount(), DXStaticSound::kMaxBuffers);
}

TEST_F(SoundServerTest, FamilyLevelsClampDuckAndRestore)
{
    m_server.SetMusicVolume(-3.0f);
    EXPECT_EQ(m_server.GetMusicVolume(), 0.0f);
    m_server.SetEffectsVolume(7.0f);
    EXPECT_EQ(m_server.GetEffectsVolume(), 1.0f);

    m_server.SetMusicVolume(0.8f);
    m_server.DuckMusic(0.2f);
    m_server.DuckMusic(0.2f);
    EXPECT_FLOAT_EQ(m_server.GetMusicVolume(), 0.2f);
    m_server.RestoreMusicVolume();
    EXPECT_FLOAT_EQ(m_server.GetMusicVolume(), 0.8f);
    m_server.RestoreMusicVolume(); // nothing remembered any more
    EXPECT_FLOAT_EQ(m_server.GetMusicVolume(), 0.8f);
    m_server.RestoreEffectsVolume();
    EXPECT_EQ(m_server.GetEffectsVolume(), 1.0f);

    m_server.SetMusicMute(true);
    EXPECT_TRUE(m_server.IsMusicMuted());
    EXPECT_FALSE(m_server.IsEffectsMuted());
}

TEST_F(SoundServerTest, LoadsOnAnotherThreadWhileTheMainThreadPlays)
{
    for (int i = 0; i < 8; ++i)
        m_dir.Write("s" + std::to_string(i) + ".wav", Wav(std::vector<int16_t>(500, static_cast<int16_t>(i))));
    const int beep = m_server.LoadSound(L"beep.wav", kSoundControlVolume, false);
    std::atomic<bool> done{false};
    std::thread loader([&] {
        for (int round = 0; round < 20; ++round) {
            for (int i = 0; i < 8; ++i) {
                const int id = m_server.LoadSound(platform::Widen("s" + std::to_string(i) + ".wav").c_str(), 1, false);
                EXPECT_GE(id, 0);
                if (round % 2)
                    m_server.UnloadSound(id);
            }
        }
        done = true;
    });
    while (!done) {
        EXPECT_TRUE(m_server.Play(beep));
        MixLeft(64);
        m_server.StopAll();
    }
    loader.join();
}

// Every thread that touches sounds in play, at once: a mixing thread standing in for the audio
// callback (it signals the streams' refill threads), the scene loader loading and unloading
// music and effects, and the main thread playing, resetting and changing the family volumes of
// whatever is loaded. Run under ThreadSanitizer and AddressSanitizer, this is where a race
// between them shows.
TEST_F(SoundServerTest, PlaysWhileALoaderThreadLoadsAndUnloadsAndTheMixerRuns)
{
    // Music over the streaming threshold (half a second in each refill half), and short effects.
    const std::string music = Wav(std::vector<int16_t>(264600, 3000));
    const std::vector<std::wstring> names = {L"m0.wav", L"m1.wav", L"e0.wav", L"e1.wav", L"e2.wav"};
    for (const std::wstring& name : names)
        m_dir.Write(platform::Narrow(name), name[0] == L'm' ? music : Wav(std::vector<int16_t>(700, 2000)));

    std::atomic<bool> done{false};
    std::atomic<int> mixes{0};
    std::thread mixer([&] {
        std::vector<int16_t> out(2 * 2048);
        while (!done) {
            // 2048 frames a call: a stream's half-second halves end every few calls.
            platform::dsound::Mix(out.data(), 2048);
            ++mixes;
            std::this_thread::yield();
        }
    });
    std::thread loader([&] {
        for (int round = 0; round < 12; ++round) {
            for (const std::wstring& name : names) {
                const int id = m_server.LoadSound(name.c_str(), kSoundControlVolume, true);
                EXPECT_GE(id, 0);
                if (round % 3 == 1)
                    m_server.UnloadSound(id);
            }
        }
        done = true;
    });
    int played = 0;
    while (!done) {
        for (const std::wstring& name : names) {
            // The main thread asks by name, as the sound table does; a name the loader has just
            // unloaded loads again here.
            const int id = m_server.LoadSound(name.c_str(), kSoundControlVolume, true);
            if (SoundLease sound = m_server.GetSound(id)) {
                sound->m_loop = name[0] == L'm';
                if (sound->IsPlaying())
                    sound->Reset();
                played += sound->Play(false) ? 1 : 0;
            }
        }
        m_server.DuckMusic(0.2f);
        m_server.SetEffectsVolume(played % 2 ? 0.3f : 0.6f);
        m_server.RestoreMusicVolume();
        if (played % 7 == 0)
            m_server.StopAllMusic();
    }
    loader.join();
    mixer.join();
    EXPECT_GT(played, 0);
    EXPECT_GT(mixes.load(), 0);
    // Every name still loaded is one live sound of its own id.
    for (const std::wstring& name : names) {
        const int id = m_server.LoadSound(name.c_str(), kSoundControlVolume, true);
        SoundLease sound = m_server.GetSound(id);
        ASSERT_TRUE(sound);
        EXPECT_EQ(sound->GetKind(), name[0] == L'm' ? SOUND_KIND_STREAM : SOUND_KIND_STATIC);
    }
}

} // namespace

// A sound taken from the server stays alive while it is used: an unload on the loader thread
// waits for the lease to end instead of freeing the sound under the caller.
TEST_F(SoundServerTest, AnUnloadWaitsWhileASoundIsInUse)
{
    const int beep = m_server.LoadSound(L"beep.wav", kSoundControlVolume, false);
    std::atomic<bool> started{false};
    std::atomic<bool> unloaded{false};
    std::thread loader;
    {
        SoundLease sound = m_server.GetSound(beep);
        ASSERT_TRUE(sound);
        loader = std::thread([&] {
            started = true;
            m_server.UnloadSound(beep);
            unloaded = true;
        });
        while (!started)
            std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        // The sound is still there to use, whatever the loader thread has reached.
        EXPECT_FALSE(unloaded);
        sound->m_volume = 0.25f;
        EXPECT_TRUE(sound->Play(false));
    }
    loader.join();
    EXPECT_TRUE(unloaded);
    EXPECT_FALSE(m_server.GetSound(beep));
}
