// Streamed sounds heard through the manual mixer: the refill thread keeps a looping stream
// continuous whatever the buffer length, a stream without the loop flag ends in silence, and
// Reset starts again from the beginning.
#include "engine/StreamSound.h"

#include "SoundFixtures.h"
#include "support/TempDir.h"

#include <dsound/Mixer.h>
#include <win32/Text.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using soundfixtures::MakeWav;
using soundfixtures::WavFormat;

namespace {

struct StreamCase {
    uint32_t rate;
    uint16_t channels;
    uint16_t bits;
    uint32_t dataFrames; // length of the file
    uint32_t mixFrames;  // frames per mixer call
};

void PrintTo(const StreamCase& c, std::ostream* os)
{
    *os << c.rate << "Hz " << c.channels << "ch " << c.bits << "bit, " << c.dataFrames << " frames, mixed by "
        << c.mixFrames;
}

class SoundStreamTest : public ::testing::TestWithParam<StreamCase> {
protected:
    void SetUp() override
    {
        platform::dsound::UseManualMixer(true);
        ASSERT_EQ(DirectSoundCreate8(nullptr, &m_device, nullptr), DS_OK);
        m_device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY);
    }

    void TearDown() override
    {
        m_device->Release();
        platform::dsound::UseManualMixer(false);
    }

    // The output runs at the file's rate in stereo, so every output frame is one file frame.
    void SetOutputRate(uint32_t rate)
    {
        DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr, {}};
        IDirectSoundBuffer* primary = nullptr;
        ASSERT_EQ(m_device->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
        WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, rate, rate * 4, 4, 16, 0};
        ASSERT_EQ(primary->SetFormat(&format), DS_OK);
        primary->Release();
    }

    // A file whose left channel counts frames, so a gap or a repeat shows as a wrong value.
    std::wstring WriteCountingWav(const StreamCase& c, std::vector<int16_t>& expectedLeft)
    {
        WavFormat wav;
        wav.rate = c.rate;
        wav.channels = c.channels;
        wav.bits = c.bits;
        for (uint32_t i = 0; i < c.dataFrames; ++i) {
            for (uint16_t ch = 0; ch < c.channels; ++ch) {
                if (c.bits == 8) {
                    const int value = static_cast<int>(i % 251) + ch;
                    wav.data += static_cast<char>(value);
                    if (ch == 0)
                        expectedLeft.push_back(static_cast<int16_t>((value - 128) * 256));
                } else {
                    const auto value = static_cast<int16_t>(static_cast<int>(i % 30011) - 15000 + ch);
                    soundfixtures::PutLE16(wav.data, static_cast<uint16_t>(value));
                    if (ch == 0)
                        expectedLeft.push_back(value);
                }
            }
        }
        m_dir.Write("stream.wav", MakeWav(wav));
        return platform::Widen((m_dir.Path() / "stream.wav").string());
    }

    // Mixes `frames` frames in pieces, letting the refill thread answer each notification
    // before the mixer goes on, as it would at the output's real pace.
    std::vector<int16_t> MixLeft(DXStreamSound& sound, uint32_t frames, uint32_t piece, uint32_t blockAlign)
    {
        std::vector<int16_t> left;
        std::vector<int16_t> out;
        const uint32_t bufferFrames = sound.GetBufferSize() / blockAlign;
        const uint32_t halfFrames = bufferFrames / 2;
        for (uint32_t done = 0; done < frames;) {
            const uint32_t n = std::min(piece, frames - done);
            out.assign(n * 2, 0);
            const unsigned refillsBefore = sound.GetRefillCount();
            const uint32_t halvesBefore = static_cast<uint32_t>(m_played / halfFrames);
            platform::dsound::Mix(out.data(), n);
            m_played += n;
            const unsigned expected = refillsBefore + static_cast<uint32_t>(m_played / halfFrames) - halvesBefore;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (sound.GetRefillCount() < expected && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            EXPECT_EQ(sound.GetRefillCount(), expected);
            for (uint32_t i = 0; i < n; ++i)
                left.push_back(out[2 * i]);
            done += n;
        }
        return left;
    }

    testsupport::TempDir m_dir;
    IDirectSound8* m_device = nullptr;
    uint64_t m_played = 0;
};

TEST_P(SoundStreamTest, LoopingStreamNeitherSkipsNorRepeats)
{
    const StreamCase c = GetParam();
    SetOutputRate(c.rate);
    std::vector<int16_t> expected;
    const std::wstring path = WriteCountingWav(c, expected);
    DXStreamSound sound;
    sound.m_device = m_device;
    sound.m_loop = true;
    sound.m_volume = 1.0f;
    ASSERT_TRUE(sound.Load(path.c_str(), kSoundControlVolume));
    // Full volume: the family level at 1 gives 0 hundredths of a decibel.
    const float musicVolume = SoundLevels::musicVolume;
    SoundLevels::musicVolume = 1.0f;
    ASSERT_TRUE(sound.Play(false));
    SoundLevels::musicVolume = musicVolume;

    const uint32_t blockAlign = c.channels * c.bits / 8u;
    const uint32_t bufferFrames = sound.GetBufferSize() / blockAlign;
    EXPECT_EQ(sound.GetBufferSize() % (2 * blockAlign), 0u);
    const auto heard = MixLeft(sound, bufferFrames * 3 + 17, c.mixFrames, blockAlign);
    for (size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(heard[i], expected[i % expected.size()]) << "frame " << i;
    sound.Release();
}

INSTANTIATE_TEST_SUITE_P(BufferLengths, SoundStreamTest,
                         ::testing::Values(StreamCase{22050, 2, 16, 60000, 1000},  // several refills per pass
                                           StreamCase{22050, 1, 16, 3001, 777},    // shorter than one half
                                           StreamCase{11025, 1, 8, 4999, 500},     // odd byte rate: 11025 bytes
                                           StreamCase{8000, 2, 8, 8000, 4000},     // exactly one buffer
                                           StreamCase{44100, 2, 16, 100000, 2205}, // mixed in 50 ms pieces
                                           StreamCase{32000, 1, 16, 16000, 8000},  // the data is one half
                                           StreamCase{1103, 1, 8, 3, 100}));        // odd byte rate, tiny file

TEST_F(SoundStreamTest, WithoutTheLoopFlagTheTailIsSilence)
{
    const StreamCase c{22050, 2, 16, 30000, 1500};
    SetOutputRate(c.rate);
    std::vector<int16_t> expected;
    const std::wstring path = WriteCountingWav(c, expected);
    DXStreamSound sound;
    sound.m_device = m_device;
    ASSERT_TRUE(sound.Load(path.c_str(), 0));
    ASSERT_TRUE(sound.Play(false));
    const auto heard = MixLeft(sound, 60000, c.mixFrames, 4);
    EXPECT_EQ(std::vector<int16_t>(heard.begin(), heard.begin() + 30000), expected);
    EXPECT_EQ(std::vector<int16_t>(heard.begin() + 30000, heard.end()), std::vector<int16_t>(30000, 0));
    // The buffer itself loops on in silence until it is stopped.
    EXPECT_TRUE(sound.IsPlaying());

    // Reset rewinds: the next play starts from the first frame again.
    ASSERT_TRUE(sound.Reset());
    EXPECT_FALSE(sound.IsPlaying());
    m_played = 0;
    ASSERT_TRUE(sound.Play(false));
    const auto again = MixLeft(sound, 30000, c.mixFrames, 4);
    EXPECT_EQ(again, expected);
}

TEST_F(SoundStreamTest, LoopingStreamWithNothingToReadPlaysSilenceWithoutSpinning)
{
    ASSERT_TRUE(soundfixtures::WriteOgg((m_dir.Path() / "empty.ogg").string(), 2, 22050, 0));
    SetOutputRate(22050);
    DXStreamSound sound;
    sound.m_device = m_device;
    sound.m_loop = true;
    // Before this returns the buffer is filled: every read after a rewind yields nothing.
    ASSERT_TRUE(sound.Load(platform::Widen((m_dir.Path() / "empty.ogg").string()).c_str(), 0));
    ASSERT_TRUE(sound.Play(false));
    const auto heard = MixLeft(sound, 30000, 2000, 4);
    EXPECT_EQ(heard, std::vector<int16_t>(30000, 0));
}

} // namespace
