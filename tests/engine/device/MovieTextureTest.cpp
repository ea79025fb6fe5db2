// The movie texture on a test device: tiny movies written by the fixture generator are opened,
// advanced with frame times and read back from the texture.
#include "engine/MovieTexture.h"

#include "engine/MovieFixture.h"
#include "platform/d3d9/device/DeviceFixture.h"
#include "support/Fifo.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

using moviefixture::MovieFormat;
using moviefixture::Rgb;

class MovieTextureDevice : public d3d9test::DeviceTest {
protected:
    std::string Write(const std::string& name, const MovieFormat& clip)
    {
        std::string path = (m_dir.Path() / name).string();
        EXPECT_TRUE(moviefixture::WriteMovie(path, clip)) << path;
        return path;
    }

    // The red channel (8-bit scale) of the texture's top-left pixel.
    static int Red(MovieTexture& movie, int x = 0, int y = 0)
    {
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(movie.m_pTexture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        uint16_t px = reinterpret_cast<const uint16_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch)[x];
        movie.m_pTexture->UnlockRect(0);
        return (px >> 11) << 3;
    }

    // Which grey of the ramp the texture shows: -1 for black (nothing decoded yet).
    static int FrameShown(MovieTexture& movie)
    {
        int red = Red(movie);
        return red < 16 ? -1 : (red - 30 + 10) / 20;
    }

    testsupport::TempDir m_dir;
};

TEST_F(MovieTextureDevice, OpensTheVideoStreamIntoABlackTextureOfItsSize)
{
    MovieFormat clip;
    clip.width = 48;
    clip.height = 32;
    clip.frames = moviefixture::GreyRamp(3);
    MovieTexture movie;
    // The demuxer's description of the file is one entry of the game's log, not a dump of
    // lines on the console.
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(movie.Open(device, Write("a.avi", clip).c_str()), 1);
    const std::string console = ::testing::internal::GetCapturedStderr();
    size_t streamLines = 0;
    for (size_t at = 0; at < console.size();) {
        size_t end = console.find('\n', at);
        const std::string line = console.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (line.find("Stream #0") != std::string::npos || line.find("Input #0") != std::string::npos)
            ++streamLines;
        at = end == std::string::npos ? console.size() : end + 1;
    }
    EXPECT_LE(streamLines, 1u) << console;
    EXPECT_EQ(movie.m_bPlaying, 1);
    EXPECT_EQ(movie.m_nPeriodMs, 40);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(movie.m_pTexture->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 48u);
    EXPECT_EQ(desc.Height, 32u);
    EXPECT_EQ(desc.Format, D3DFMT_R5G6B5);
    EXPECT_EQ(FrameShown(movie), -1);
    movie.Close();
    EXPECT_EQ(movie.m_pTexture, nullptr);
    EXPECT_EQ(movie.m_pFormat, nullptr);
}

TEST_F(MovieTextureDevice, DecodesEveryDuePictureAndShowsTheLast)
{
    MovieFormat clip;
    clip.frames = moviefixture::GreyRamp(10);
    MovieTexture movie;
    ASSERT_EQ(movie.Open(device, Write("ramp.avi", clip).c_str()), 1);
    movie.Update(0.0f);
    movie.Update(0.016f);
    movie.Update(0.016f);
    EXPECT_EQ(FrameShown(movie), -1) << "32 ms of a 40 ms period: nothing due yet";
    movie.Update(0.016f);
    EXPECT_EQ(FrameShown(movie), 0);
    movie.Update(0.2f);
    EXPECT_EQ(FrameShown(movie), 5) << "five pictures were due; the last is shown";
    EXPECT_EQ(movie.m_bPlaying, 1);
}

TEST_F(MovieTextureDevice, KeepsTheLastPictureAtTheEnd)
{
    MovieFormat clip;
    clip.frames = moviefixture::GreyRamp(4);
    MovieTexture movie;
    ASSERT_EQ(movie.Open(device, Write("short.avi", clip).c_str()), 1);
    movie.Update(1.0f);
    EXPECT_EQ(movie.m_bPlaying, 0);
    EXPECT_EQ(FrameShown(movie), 3);
    movie.Update(1.0f);
    EXPECT_EQ(FrameShown(movie), 3);
}

TEST_F(MovieTextureDevice, ConvertsPicturesOfOtherFormatsAndSlowRates)
{
    // Raw 24-bit pictures at one frame every two seconds: converted, not read as YUV 4:2:0.
    MovieFormat clip;
    clip.codec = AV_CODEC_ID_RAWVIDEO;
    clip.format = AV_PIX_FMT_BGR24;
    clip.frameRate = AVRational{1, 2};
    clip.width = 30;
    clip.height = 18;
    clip.frames = {Rgb{200, 40, 40}, Rgb{40, 200, 40}};
    MovieTexture movie;
    ASSERT_EQ(movie.Open(device, Write("raw.avi", clip).c_str()), 1);
    EXPECT_EQ(movie.m_nPeriodMs, 2000);
    movie.Update(2.1f);
    EXPECT_NEAR(Red(movie, 29, 17), 200, 16);
    movie.Update(2.0f);
    EXPECT_LT(Red(movie, 0, 0), 64);
}

TEST_F(MovieTextureDevice, RefusesWhatIsNotAMovie)
{
    m_dir.Write("text.avi", "RIFF not really a movie");
    MovieTexture movie;
    EXPECT_EQ(movie.Open(device, (m_dir.Path() / "missing.avi").c_str()), -1);
    EXPECT_EQ(movie.Open(device, (m_dir.Path() / "text.avi").c_str()), -1);
    EXPECT_EQ(movie.m_bPlaying, 0);
    movie.Update(1.0f); // nothing open: no effect
    movie.Close();
    EXPECT_EQ(movie.m_pTexture, nullptr);
}

TEST_F(MovieTextureDevice, ReopeningClosesTheOldMovieFirst)
{
    MovieFormat clip;
    clip.frames = moviefixture::GreyRamp(2);
    std::string path = Write("twice.avi", clip);
    MovieTexture movie;
    ASSERT_EQ(movie.Open(device, path.c_str()), 1);
    movie.Update(0.05f);
    ASSERT_EQ(movie.Open(device, path.c_str()), 1);
    EXPECT_EQ(FrameShown(movie), -1);
}

// A movie's picture size is checked from its stream header: one wider than the game's largest
// picture is refused with a log line instead of allocated.
TEST_F(MovieTextureDevice, RefusesPicturesLargerThanTheGameUses)
{
    MovieFormat clip;
    clip.width = 2064;
    clip.height = 16;
    clip.frames = moviefixture::GreyRamp(1);
    const std::string path = Write("wide.avi", clip);
    testsupport::LogCapture log;
    MovieTexture movie;
    EXPECT_EQ(movie.Open(device, path.c_str()), -1);
    EXPECT_EQ(movie.m_pTexture, nullptr);
    EXPECT_TRUE(log.Contains(L"2064x16")) << log.Text();
}

// A FIFO named as a movie, or a movie list naming one, never blocks the open: the demuxer reads
// only the file the guarded open gave it.
TEST_F(MovieTextureDevice, NeverWaitsOnAFifo)
{
    testsupport::ScopedCurrentDir cwd(m_dir.Path());
    ASSERT_TRUE(testsupport::MakeFifo(m_dir.Path() / "logo.avi"));
    m_dir.Write("list.avi", "ffconcat version 1.0\nfile 'logo.avi'\n");
    for (const char* name : {"logo.avi", "list.avi"}) {
        MovieTexture movie;
        int opened = 0;
        EXPECT_TRUE(testsupport::FinishesWithin([&] { opened = movie.Open(device, name); }, {m_dir.Path() / "logo.avi"}))
            << name;
        EXPECT_EQ(opened, -1) << name;
    }
}

} // namespace
