// The stand-in on a real SDL output: SDL's "disk" driver writes what the mixer feeds it to a
// file, so the test hears exactly what a player would.
#include "dsound/DSound.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

namespace {

TEST(DSoundDeviceTest, PlayedSamplesReachTheOutputUnchanged)
{
    testsupport::TempDir dir;
    const std::string capture = (dir.Path() / "output.raw").string();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);

    IDirectSound8* sound = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &sound, nullptr), DS_OK);
    ASSERT_EQ(sound->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);

    std::vector<int16_t> samples(2205); // 0.1 s of a ramp no silence can imitate
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(1000 + i * 7);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_CTRLVOLUME, static_cast<DWORD>(samples.size() * 2), 0, &format, {}};
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(sound->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    void* audio = nullptr;
    DWORD bytes = 0;
    ASSERT_EQ(buffer->Lock(0, 0, &audio, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    std::memcpy(audio, samples.data(), bytes);
    buffer->Unlock(audio, bytes, nullptr, 0);
    buffer->SetVolume(0);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    DWORD status = DSBSTATUS_PLAYING;
    while ((status & DSBSTATUS_PLAYING) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        buffer->GetStatus(&status);
    }
    EXPECT_EQ(status, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    buffer->Release();
    sound->Release();
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    std::ifstream file(capture, std::ios::binary);
    std::vector<char> raw((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<int16_t> out(raw.size() / 2);
    std::memcpy(out.data(), raw.data(), out.size() * 2);
    size_t start = 0;
    while (start < out.size() && out[start] == 0)
        start += 2;
    ASSERT_LE(start + samples.size() * 2, out.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        ASSERT_EQ(out[start + 2 * i], samples[i]) << i;
        ASSERT_EQ(out[start + 2 * i + 1], samples[i]) << i;
    }
    // Played once: silence follows.
    EXPECT_EQ(out[start + samples.size() * 2], 0);
}

} // namespace
