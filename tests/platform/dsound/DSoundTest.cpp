// The DirectSound stand-in driven through the manual mixer: what each buffer call does to the
// mixed output, sample by sample.
#include "dsound/DSound.h"
#include "dsound/Mixer.h"
#include "win32/Sync.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

WAVEFORMATEX Pcm(DWORD rate, WORD channels, WORD bits)
{
    WORD align = static_cast<WORD>(channels * bits / 8);
    return {WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits, 0};
}

class DSoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::dsound::UseManualMixer(true);
        ASSERT_EQ(DirectSoundCreate8(nullptr, &m_sound, nullptr), DS_OK);
        ASSERT_EQ(m_sound->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
        SetOutput(22050, 2);
    }

    void TearDown() override
    {
        for (IDirectSoundBuffer8* buffer : m_buffers)
            buffer->Release();
        m_sound->Release();
        platform::dsound::UseManualMixer(false);
    }

    void SetOutput(DWORD rate, WORD channels)
    {
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
        IDirectSoundBuffer* primary = nullptr;
        ASSERT_EQ(m_sound->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
        WAVEFORMATEX format = Pcm(rate, channels, 16);
        ASSERT_EQ(primary->SetFormat(&format), DS_OK);
        primary->Release();
    }

    // A buffer holding the given 16-bit samples (interleaved when stereo).
    IDirectSoundBuffer8* MakeBuffer(const std::vector<int16_t>& samples, DWORD rate = 22050, WORD channels = 1,
                                    DWORD flags = DSBCAPS_CTRLVOLUME)
    {
        WAVEFORMATEX format = Pcm(rate, channels, 16);
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = flags;
        desc.dwBufferBytes = static_cast<DWORD>(samples.size() * 2);
        desc.lpwfxFormat = &format;
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(m_sound->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        IDirectSoundBuffer8* buffer8 = nullptr;
        EXPECT_EQ(buffer->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&buffer8)), DS_OK);
        buffer->Release();
        Write(buffer8, 0, samples);
        m_buffers.push_back(buffer8);
        return buffer8;
    }

    static void Write(IDirectSoundBuffer8* buffer, DWORD offset, const std::vector<int16_t>& samples)
    {
        void* p1 = nullptr;
        void* p2 = nullptr;
        DWORD n1 = 0;
        DWORD n2 = 0;
        DWORD bytes = static_cast<DWORD>(samples.size() * 2);
        ASSERT_EQ(buffer->Lock(offset, bytes, &p1, &n1, &p2, &n2, 0), DS_OK);
        std::memcpy(p1, samples.data(), n1);
        if (n2)
            std::memcpy(p2, reinterpret_cast<const char*>(samples.data()) + n1, n2);
        ASSERT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);
    }

    // Mixed output, left channel only when stereo.
    static std::vector<int16_t> MixLeft(uint32_t frames)
    {
        auto format = platform::dsound::GetMixFormat();
        std::vector<int16_t> out(frames * format.channels);
        platform::dsound::Mix(out.data(), frames);
        std::vector<int16_t> left;
        for (uint32_t i = 0; i < frames; ++i)
            left.push_back(out[i * format.channels]);
        return left;
    }

    static std::vector<int16_t> Ramp(size_t count, int16_t start = 100)
    {
        std::vector<int16_t> samples(count);
        for (size_t i = 0; i < count; ++i)
            samples[i] = static_cast<int16_t>(start + i);
        return samples;
    }

    IDirectSound8* m_sound = nullptr;
    std::vector<IDirectSoundBuffer8*> m_buffers;
};

TEST_F(DSoundTest, PlaysOnceAtTheSetVolumeThenStopsAndRewinds)
{
    auto samples = Ramp(64, 1000);
    IDirectSoundBuffer8* buffer = MakeBuffer(samples);
    ASSERT_EQ(buffer->SetVolume(-602), DS_OK); // 10^(-602/2000): half the amplitude
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);

    auto out = MixLeft(80);
    for (size_t i = 0; i < 64; ++i)
        EXPECT_NEAR(out[i], samples[i] * 0.5, 1.0) << i;
    for (size_t i = 64; i < 80; ++i)
        EXPECT_EQ(out[i], 0) << i;

    DWORD status = 1;
    DWORD play = 1;
    buffer->GetStatus(&status);
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(play, 0u);
}

TEST_F(DSoundTest, LoopingWrapsAndStopSilencesAtOnce)
{
    auto samples = Ramp(10);
    IDirectSoundBuffer8* buffer = MakeBuffer(samples);
    buffer->SetVolume(0);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    auto out = MixLeft(25);
    for (size_t i = 0; i < 25; ++i)
        EXPECT_EQ(out[i], samples[i % 10]) << i;
    DWORD status = 0;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);

    buffer->Stop();
    for (int16_t value : MixLeft(8))
        EXPECT_EQ(value, 0);
    // Stop keeps the position: playing again goes on where it stopped.
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(MixLeft(1)[0], samples[5]);
}

TEST_F(DSoundTest, DuplicateSharesTheSamplesButNotTheCursor)
{
    auto samples = Ramp(32, 200);
    IDirectSoundBuffer8* original = MakeBuffer(samples);
    original->SetVolume(0);
    IDirectSoundBuffer* duplicate = nullptr;
    ASSERT_EQ(m_sound->DuplicateSoundBuffer(original, &duplicate), DS_OK);

    duplicate->Play(0, 0, 0);
    auto alone = MixLeft(32);
    EXPECT_EQ(alone, samples);

    // Samples written through the original are heard through the duplicate.
    Write(original, 0, std::vector<int16_t>(4, 7));
    original->Play(0, 0, 0);
    duplicate->Play(0, 0, 0);
    auto both = MixLeft(6);
    EXPECT_EQ(both[0], 14);
    EXPECT_EQ(both[4], samples[4] * 2);
    duplicate->Release();
}

TEST_F(DSoundTest, LockAcrossTheEndGivesTwoRegions)
{
    IDirectSoundBuffer8* buffer = MakeBuffer(std::vector<int16_t>(16, 0));
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0;
    DWORD n2 = 0;
    ASSERT_EQ(buffer->Lock(24, 16, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(n1, 8u);
    EXPECT_EQ(n2, 8u);
    std::vector<int16_t> values = {1, 2, 3, 4, 5, 6, 7, 8};
    std::memcpy(p1, values.data(), 8);
    std::memcpy(p2, values.data() + 4, 8);
    ASSERT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);

    buffer->SetVolume(0);
    buffer->Play(0, 0, 0);
    auto out = MixLeft(16);
    EXPECT_EQ((std::vector<int16_t>(out.begin(), out.begin() + 4)), (std::vector<int16_t>{5, 6, 7, 8}));
    EXPECT_EQ((std::vector<int16_t>(out.begin() + 12, out.end())), (std::vector<int16_t>{1, 2, 3, 4}));

    // A second lock before the unlock, and an unlock of pointers never handed out, are refused.
    ASSERT_EQ(buffer->Lock(0, 4, &p1, &n1, nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(buffer->Lock(8, 4, &p2, &n2, nullptr, nullptr, 0), DSERR_INVALIDCALL);
    int16_t stray[2] = {};
    EXPECT_EQ(buffer->Unlock(stray, 4, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Unlock(p1, n1, nullptr, 0), DS_OK);
    EXPECT_EQ(buffer->Lock(0, 40, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
}

TEST_F(DSoundTest, NotificationsFireWhenTheCursorPassesTheirByte)
{
    IDirectSoundBuffer8* buffer = MakeBuffer(std::vector<int16_t>(100, 1), 22050, 1,
                                             DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPOSITIONNOTIFY);
    IDirectSoundNotify* notify = nullptr;
    ASSERT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), DS_OK);
    HANDLE half = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE end = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    DSBPOSITIONNOTIFY positions[2] = {{99, half}, {199, end}}; // last bytes of frames 49 and 99
    ASSERT_EQ(notify->SetNotificationPositions(2, positions), DS_OK);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(notify->SetNotificationPositions(2, positions), DSERR_INVALIDCALL);

    std::vector<int> halfAt;
    std::vector<int> endAt;
    for (int frame = 1; frame <= 250; ++frame) {
        MixLeft(1);
        if (WaitForSingleObject(half, 0) == WAIT_OBJECT_0)
            halfAt.push_back(frame);
        if (WaitForSingleObject(end, 0) == WAIT_OBJECT_0)
            endAt.push_back(frame);
    }
    EXPECT_EQ(halfAt, (std::vector<int>{50, 150, 250}));
    EXPECT_EQ(endAt, (std::vector<int>{100, 200}));

    // One long mix that passes both positions sets both events.
    MixLeft(100);
    EXPECT_EQ(WaitForSingleObject(half, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(end, 0), WAIT_OBJECT_0);

    buffer->Stop();
    notify->Release();
    CloseHandle(half);
    CloseHandle(end);
}

TEST_F(DSoundTest, ResamplesToTheOutputRate)
{
    // 11025 Hz into 22050 Hz output: each source frame lasts two output frames, the second
    // halfway towards the next frame.
    IDirectSoundBuffer8* buffer = MakeBuffer({0, 100, 200, 300}, 11025);
    buffer->SetVolume(0);
    buffer->Play(0, 0, 0);
    EXPECT_EQ(MixLeft(10), (std::vector<int16_t>{0, 50, 100, 150, 200, 250, 300, 300, 0, 0}));

    // A frequency of 44100 Hz plays every other frame.
    IDirectSoundBuffer8* fast = MakeBuffer(Ramp(8), 22050, 1, DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY);
    fast->SetVolume(0);
    ASSERT_EQ(fast->SetFrequency(44100), DS_OK);
    fast->Play(0, 0, 0);
    EXPECT_EQ(MixLeft(5), (std::vector<int16_t>{100, 102, 104, 106, 0}));
}

TEST_F(DSoundTest, MixesFormatsAndPanIntoStereo)
{
    // An 8-bit mono buffer: 128 is silence, each step is 256 in 16 bits, heard on both sides.
    WAVEFORMATEX format = Pcm(22050, 1, 8);
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN, 4, 0, &format, {}};
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(m_sound->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    void* p = nullptr;
    DWORD n = 0;
    ASSERT_EQ(buffer->Lock(0, 4, &p, &n, nullptr, nullptr, 0), DS_OK);
    std::memcpy(p, "\x80\x81\x7F\xFF", 4);
    buffer->Unlock(p, n, nullptr, 0);
    buffer->SetVolume(0);
    ASSERT_EQ(buffer->SetPan(-10000), DS_OK); // full left: the right side is silent
    buffer->Play(0, 0, 0);
    std::vector<int16_t> out(8);
    platform::dsound::Mix(out.data(), 4);
    EXPECT_EQ(out, (std::vector<int16_t>{0, 0, 256, 0, -256, 0, 32512, 0}));
    buffer->Release();

    // A stereo buffer into mono output averages the two sides.
    SetOutput(22050, 1);
    IDirectSoundBuffer8* stereo = MakeBuffer({1000, 3000}, 22050, 2);
    stereo->SetVolume(0);
    stereo->Play(0, 0, 0);
    EXPECT_EQ(MixLeft(2), (std::vector<int16_t>{2000, 0}));
}

TEST_F(DSoundTest, SumsClipInsteadOfWrapping)
{
    IDirectSoundBuffer8* a = MakeBuffer({30000, -30000});
    IDirectSoundBuffer8* b = MakeBuffer({30000, -30000});
    a->SetVolume(0);
    b->SetVolume(0);
    a->Play(0, 0, 0);
    b->Play(0, 0, 0);
    EXPECT_EQ(MixLeft(2), (std::vector<int16_t>{32767, -32768}));
}

struct RefusedBuffer {
    const char* what;
    WAVEFORMATEX format;
    DWORD bytes;
    HRESULT expected;
};

TEST_F(DSoundTest, RefusesUnplayableBuffersAndMissingControls)
{
    const RefusedBuffer cases[] = {
        {"float tag", {3, 2, 22050, 176400, 8, 32, 0}, 1024, DSERR_BADFORMAT},
        {"no channels", {WAVE_FORMAT_PCM, 0, 22050, 0, 0, 16, 0}, 1024, DSERR_BADFORMAT},
        {"six channels", Pcm(22050, 6, 16), 1024, DSERR_BADFORMAT},
        {"24 bits", Pcm(22050, 2, 24), 1024, DSERR_BADFORMAT},
        {"wrong block align", {WAVE_FORMAT_PCM, 2, 22050, 88200, 3, 16, 0}, 1024, DSERR_BADFORMAT},
        {"rate 0", Pcm(0, 2, 16), 1024, DSERR_BADFORMAT},
        {"absurd rate", Pcm(5000000, 2, 16), 1024, DSERR_BADFORMAT},
        {"empty", Pcm(22050, 2, 16), 0, DSERR_INVALIDPARAM},
        {"under one frame", Pcm(22050, 2, 16), 2, DSERR_INVALIDPARAM},
        {"huge", Pcm(22050, 2, 16), 0x10000000, DSERR_INVALIDPARAM},
    };
    for (const RefusedBuffer& c : cases) {
        WAVEFORMATEX format = c.format;
        DSBUFFERDESC desc{sizeof(DSBUFFERDESC), 0, c.bytes, 0, &format, {}};
        IDirectSoundBuffer* buffer = reinterpret_cast<IDirectSoundBuffer*>(1);
        EXPECT_EQ(m_sound->CreateSoundBuffer(&desc, &buffer, nullptr), c.expected) << c.what;
        EXPECT_EQ(buffer, nullptr) << c.what;
    }

    IDirectSoundBuffer8* plain = MakeBuffer(Ramp(8), 22050, 1, 0);
    EXPECT_EQ(plain->SetVolume(-100), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->SetPan(0), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->SetFrequency(22050), DSERR_CONTROLUNAVAIL);
    void* notify = nullptr;
    EXPECT_EQ(plain->QueryInterface(IID_IDirectSoundNotify, &notify), DSERR_NOINTERFACE);
    IDirectSoundBuffer8* controlled = MakeBuffer(Ramp(8));
    EXPECT_EQ(controlled->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(controlled->SetVolume(-10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(controlled->SetCurrentPosition(16), DSERR_INVALIDPARAM);
}

} // namespace
