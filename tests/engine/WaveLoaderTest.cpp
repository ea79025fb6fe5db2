// The WAV reader: chunk walking, format checks, refusal of damaged headers, reading and rewinding.
#include "engine/WaveLoader.h"

#include "SoundFixtures.h"
#include "support/TempDir.h"

#include <win32/Text.h>

#include <gtest/gtest.h>

using soundfixtures::Chunk;
using soundfixtures::MakeWav;
using soundfixtures::WavFormat;

namespace {

class WaveLoaderTest : public ::testing::Test {
protected:
    std::wstring Save(const std::string& bytes, const char* name = "sound.wav")
    {
        m_dir.Write(name, bytes);
        return platform::Widen((m_dir.Path() / name).string());
    }

    testsupport::TempDir m_dir;
};

TEST_F(WaveLoaderTest, SkipsOtherChunksAndTakesTheDataChunksSize)
{
    WavFormat wav;
    wav.channels = 2;
    wav.rate = 44100;
    // An odd-sized chunk is followed by its pad byte.
    wav.beforeData = Chunk("LIST", "INFOabc") + Chunk("fact", "1234");
    wav.data = std::string(400, '\x11');
    SoundLoaderWave loader;
    ASSERT_TRUE(loader.Open(Save(MakeWav(wav)).c_str()));
    EXPECT_EQ(loader.GetDataSize(), 400);
    const WAVEFORMATEX& f = loader.GetFormat();
    EXPECT_EQ(f.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(f.nChannels, 2);
    EXPECT_EQ(f.nSamplesPerSec, 44100u);
    EXPECT_EQ(f.nAvgBytesPerSec, 176400u);
    EXPECT_EQ(f.nBlockAlign, 4);
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_EQ(f.cbSize, 0);

    // A longer "fmt " chunk (with an extension) is fine: only its first 16 bytes are read.
    wav.fmtSize = 18;
    SoundLoaderWave extended;
    EXPECT_TRUE(extended.Open(Save(MakeWav(wav)).c_str()));
}

TEST_F(WaveLoaderTest, ReadsWhatIsLeftThenNothingUntilRewound)
{
    WavFormat wav;
    for (int i = 0; i < 4000; ++i)
        wav.data += static_cast<char>(i % 251);
    SoundLoaderWave loader;
    ASSERT_TRUE(loader.Open(Save(MakeWav(wav)).c_str()));
    std::string buffer(10000, '\0');
    DWORD got = 1;
    EXPECT_TRUE(loader.Read(buffer.data(), 10000, &got));
    EXPECT_EQ(got, 4000u);
    EXPECT_EQ(buffer.substr(0, 4000), wav.data);
    EXPECT_TRUE(loader.Read(buffer.data(), 10000, &got));
    EXPECT_EQ(got, 0u);
    ASSERT_TRUE(loader.Rewind());
    std::string again(4000, '\0');
    EXPECT_TRUE(loader.Read(again.data(), 1000, &got));
    EXPECT_TRUE(loader.Read(again.data() + 1000, 3000, &got));
    EXPECT_EQ(again, wav.data);
    loader.Close();
}

struct DamagedWav {
    const char* what;
    std::string bytes;
};

std::vector<DamagedWav> DamagedWavs()
{
    auto with = [](auto change) {
        WavFormat wav;
        wav.data = std::string(64, '\x22');
        change(wav);
        return MakeWav(wav);
    };
    const std::string good = with([](WavFormat&) {});
    return {
        {"empty file", ""},
        {"three bytes", "RIF"},
        {"header only", good.substr(0, 12)},
        {"cut inside the data", good.substr(0, good.size() - 10)},
        {"RIFX", "RIFX" + good.substr(4)},
        {"not WAVE", good.substr(0, 8) + "AVI " + good.substr(12)},
        {"float samples", with([](WavFormat& s) { s.tag = 3; s.bits = 32; })},
        {"fmt shorter than 16", with([](WavFormat& s) { s.fmtSize = 14; })},
        {"zero channels", with([](WavFormat& s) { s.channels = 0; s.blockAlign = 2; s.avgBytes = 44100; })},
        {"nine channels", with([](WavFormat& s) { s.channels = 9; })},
        {"zero rate", with([](WavFormat& s) { s.rate = 0; })},
        {"absurd rate", with([](WavFormat& s) { s.rate = 4000000000u; s.avgBytes = 0; })},
        {"12-bit samples", with([](WavFormat& s) { s.bits = 12; })},
        {"lying block align", with([](WavFormat& s) { s.blockAlign = 7; })},
        {"lying byte rate", with([](WavFormat& s) { s.avgBytes = 1; })},
        {"data size past the end", with([](WavFormat& s) { s.dataSizeOverride = 1 << 20; })},
        {"data size 0xFFFFFFFF", with([](WavFormat& s) { s.dataSizeOverride = 0xFFFFFFFF; })},
        {"RIFF size past the end", with([](WavFormat& s) { s.riffSizeOverride = 100000; })},
        {"RIFF size too small for its chunks", with([](WavFormat& s) { s.riffSizeOverride = 30; })},
        {"no data chunk", good.substr(0, 36)},
        {"no samples", with([](WavFormat& s) { s.data.clear(); })},
        {"less than one frame", with([](WavFormat& s) { s.data = "x"; })},
        {"chunk size past the RIFF", with([](WavFormat& s) { s.beforeData = Chunk("LIST", "abcd", 0x7FFFFFF0); })},
    };
}

TEST_F(WaveLoaderTest, RefusesDamagedFilesWithALogLine)
{
    for (const DamagedWav& damaged : DamagedWavs()) {
        SoundLoaderWave loader;
        EXPECT_FALSE(loader.Open(Save(damaged.bytes).c_str())) << damaged.what;
        std::vector<char> buffer(16);
        DWORD got = 1;
        EXPECT_FALSE(loader.Read(buffer.data(), 16, &got)) << damaged.what;
        EXPECT_EQ(got, 0u) << damaged.what;
    }
    std::string log = testsupport::ReadFile("Log_VODozivo.txt");
    EXPECT_NE(log.find("refused: a chunk runs past the end"), std::string::npos);
    EXPECT_NE(log.find("refused: not PCM"), std::string::npos);
}

TEST_F(WaveLoaderTest, DropsATrailingPartialFrame)
{
    WavFormat wav;
    wav.channels = 2;
    wav.data = std::string(11, '\x01'); // two whole frames of 4 bytes and 3 stray bytes
    SoundLoaderWave loader;
    ASSERT_TRUE(loader.Open(Save(MakeWav(wav)).c_str()));
    EXPECT_EQ(loader.GetDataSize(), 8);
}

} // namespace
