// Ogg Vorbis decoding: the announced size and format, reads that end mid-packet, rewinding, and
// refusal of files that are not Vorbis.
#include "engine/OggLoader.h"

#include "SoundFixtures.h"
#include "support/TempDir.h"

#include <win32/Text.h>

#include <gtest/gtest.h>

namespace {

class OggLoaderTest : public ::testing::Test {
protected:
    std::wstring Path(const char* name) { return platform::Widen((m_dir.Path() / name).string()); }

    testsupport::TempDir m_dir;
};

TEST_F(OggLoaderTest, ThreeSecondsOfStereoAt44100)
{
    ASSERT_TRUE(soundfixtures::WriteOgg((m_dir.Path() / "music.ogg").string(), 2, 44100, 132300));
    SoundLoaderOgg loader;
    ASSERT_TRUE(loader.Open(Path("music.ogg").c_str()));
    EXPECT_EQ(loader.GetDataSize(), 529200);
    const WAVEFORMATEX& f = loader.GetFormat();
    EXPECT_EQ(f.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(f.nChannels, 2);
    EXPECT_EQ(f.nSamplesPerSec, 44100u);
    EXPECT_EQ(f.nBlockAlign, 4);
    EXPECT_EQ(f.nAvgBytesPerSec, 176400u);
    EXPECT_EQ(f.wBitsPerSample, 16);

    // 10003 frames end in the middle of a packet; repeated decoder calls fill it whole.
    std::vector<char> first(40012);
    DWORD got = 0;
    EXPECT_TRUE(loader.Read(first.data(), 40012, &got));
    EXPECT_EQ(got, 40012u);

    std::vector<char> rest(600000);
    EXPECT_TRUE(loader.Read(rest.data(), 600000, &got));
    EXPECT_EQ(got + 40012, 529200u);

    ASSERT_TRUE(loader.Rewind());
    std::vector<char> again(40012);
    EXPECT_TRUE(loader.Read(again.data(), 40012, &got));
    EXPECT_EQ(again, first);
    EXPECT_TRUE(loader.Close());
}

TEST_F(OggLoaderTest, RefusesFilesThatAreNotVorbis)
{
    ASSERT_TRUE(soundfixtures::WriteOgg((m_dir.Path() / "good.ogg").string(), 1, 22050, 22050));
    const std::string good = m_dir.Read("good.ogg");
    m_dir.Write("garbage.ogg", "OggS" + std::string(5000, '\x5A'));
    m_dir.Write("headless.ogg", good.substr(0, 40));
    m_dir.Write("empty.ogg", "");
    for (const char* name : {"garbage.ogg", "headless.ogg", "empty.ogg", "missing.ogg"}) {
        SoundLoaderOgg loader;
        EXPECT_FALSE(loader.Open(Path(name).c_str())) << name;
        DWORD got = 1;
        char buffer[16];
        EXPECT_TRUE(loader.Read(buffer, 16, &got));
        EXPECT_EQ(got, 0u) << name;
    }

    // A file cut short opens or is refused, but its reads end where the stream ends.
    m_dir.Write("cut.ogg", good.substr(0, good.size() / 2));
    SoundLoaderOgg cut;
    if (cut.Open(Path("cut.ogg").c_str())) {
        std::vector<char> all(200000);
        DWORD got = 0;
        cut.Read(all.data(), static_cast<DWORD>(all.size()), &got);
        EXPECT_LT(got, 44100u);
    }
}

} // namespace
