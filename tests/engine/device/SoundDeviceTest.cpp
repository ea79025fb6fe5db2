// The sound server on a real SDL output (the "disk" driver, which writes the mixed sound to a
// file at the pace of a sound card): an effect at its volume, and music streamed by its refill
// thread without gaps.
#include "engine/SoundServer.h"

#include "../SoundFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

std::vector<int16_t> ReadCapture(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<char> raw((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<int16_t> out(raw.size() / 2);
    std::memcpy(out.data(), raw.data(), out.size() * 2);
    return out;
}

TEST(SoundDeviceTest, EffectAndStreamedMusicReachTheOutput)
{
    testsupport::TempDir dir;
    testsupport::ScopedCurrentDir cwd(dir.Path());
    const std::string capture = (dir.Path() / "output.raw").string();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);

    // 0.2 s of a 441 Hz sine at 16000, and 6 s of Ogg Vorbis music (529200 decoded bytes: streamed).
    soundfixtures::WavFormat wav;
    wav.data = soundfixtures::Pcm16(soundfixtures::Sine(4410, 1, 441.0, 22050.0, 16000.0));
    dir.Write("effect.wav", soundfixtures::MakeWav(wav));
    ASSERT_TRUE(soundfixtures::WriteOgg((dir.Path() / "music.ogg").string(), 2, 22050, 132300, 300.0));

    DXSoundServer server;
    ASSERT_TRUE(server.Init(nullptr, DSSCL_PRIORITY, 2, 22050, 16));
    const int effect = server.LoadSound(L"effect.wav", kSoundControlVolume, false);
    const int music = server.LoadSound(L"music.ogg", kSoundControlVolume, true);
    ASSERT_GE(effect, 0);
    ASSERT_GE(music, 0);
    ASSERT_EQ(server.GetSound(music)->GetKind(), SOUND_KIND_STREAM);
    server.GetSound(music)->m_loop = true;

    ASSERT_TRUE(server.Play(effect));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (server.GetSound(effect)->IsPlaying() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(server.Play(music));
    std::this_thread::sleep_for(std::chrono::milliseconds(1600));
    server.StopAllMusic();
    server.Release();
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    const std::vector<int16_t> out = ReadCapture(capture);
    auto firstSound = [&](size_t from) {
        while (from < out.size() && out[from] == 0)
            from += 2;
        return from;
    };
    // The effect at the effects volume 0.5 (-602 hundredths of a decibel): about half its peak.
    const size_t effectStart = firstSound(0);
    const size_t effectEnd = effectStart + 4410 * 2;
    ASSERT_LE(effectEnd, out.size());
    int peak = 0;
    for (size_t i = effectStart; i < effectEnd; ++i)
        peak = std::max(peak, std::abs(static_cast<int>(out[i])));
    EXPECT_NEAR(peak, 16000 * 0.5, 100);

    // The music past more than two refills: no stretch of silence longer than 5 ms anywhere.
    size_t start = firstSound(effectEnd + 2);
    while (start < out.size() && out[start] == 0)
        start += 2;
    const size_t frames = 22050 * 13 / 10; // 1.3 s
    ASSERT_LE(start + frames * 2, out.size());
    size_t run = 0;
    size_t longest = 0;
    for (size_t i = 0; i < frames; ++i) {
        run = std::abs(out[start + 2 * i]) < 30 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    EXPECT_LT(longest, 110u);
}

} // namespace
