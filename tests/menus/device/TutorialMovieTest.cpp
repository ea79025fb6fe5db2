// The movie pop-ups with real movies on a device: a rewound movie shows its first picture next,
// also when its decoder held pictures back, and a page's movie is drawn at its own size at the
// picture's corner with the picture's alpha.
#include "../../lumenkit/device/LumenkitDevice.h"
#include "../PopUpKit.h"
#include "engine/MovieFixture.h"

#include "engine/MovieTexture.h"
#include "menus/PopUpMovieTutorials.h"

#include <lumenkit/Direct3DDevice.h>

#include <filesystem>

using namespace popuptest;

namespace {

class TutorialMovieTest : public lumenkittest::LumenkitDeviceTest {
protected:
    void SetUp() override
    {
        LumenkitDeviceTest::SetUp();
        std::filesystem::create_directories(m_data.Path() / "data/movie");
        std::string paged = Child({"LABEL", "Label_tutorial_page", 10, 10, 60, 30}) +
                            Child({"BUTTON", "Anibtn_tutorial_next", 500, 600, 100, 40}) +
                            Child({"BUTTON", "Anibtn_tutorial_close", 700, 600, 100, 40}) +
                            Child({"PICTURE", "Picture_tutorial_video", 200, 150, 480, 300});
        m_world.AddFile("data/howto_iq.xml", Layout("Wnd_howto_iq", paged, "howto_iq_anim.xml"));
        m_world.AddFile("data/howto_iq_anim.xml",
                        Animation("Wnd_howto_iq", {{"quibly_1", 50}, {"quibly_2", 50}, {"quibly_out", 50}}));
        std::string video = Child({"BUTTON", "Anibtn_popup_ok", 700, 600, 100, 40}) +
                            Child({"PICTURE", "Picture_popup_video", 300, 100, 480, 300});
        for (int k = 1; k <= 4; ++k)
            video += Child({"BUTTON", "Anibtn_popup_videoselect_" + std::to_string(k), 40, 80 + k * 60, 200, 50});
        m_world.AddFile("data/video.xml", Layout("Wnd_video", video, "video_anim.xml"));
        m_world.AddFile("data/video_anim.xml", Animation("Wnd_video", {{"video_in", 50}, {"video_out", 50}}));
    }

    void WriteMovie(const std::string& name, const moviefixture::MovieFormat& clip)
    {
        ASSERT_TRUE(moviefixture::WriteMovie((m_data.Path() / "data/movie" / name).string(), clip)) << name;
    }

    // Which grey of the ramp the movie's texture shows: -1 for black (nothing decoded yet).
    static int FrameShown(const MovieTexture* movie)
    {
        if (!movie || !movie->m_pTexture)
            return -2;
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(movie->m_pTexture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        uint16_t px = *static_cast<const uint16_t*>(locked.pBits);
        movie->m_pTexture->UnlockRect(0);
        int red = (px >> 11) << 3;
        return red < 16 ? -1 : (red - 30 + 10) / 20;
    }

    PopUpWorld m_world;
};

TEST_F(TutorialMovieTest, ARewoundMovieShowsItsFirstPictureNext)
{
    moviefixture::MovieFormat ramp;
    ramp.frames = moviefixture::GreyRamp(10);
    ramp.bFrames = 2;
    for (int i = 0; i < 4; ++i)
        WriteMovie("MovieBattle" + std::to_string(i) + ".avi", ramp);
    VanteoPopUp_Video video;
    ASSERT_EQ(video.Open(), 1);
    video.LoadMovies();
    ASSERT_NE(video.GetSlot(0).movie, nullptr);
    for (int i = 0; i < 6; ++i)
        m_world.Frame(video, 0.04f);
    EXPECT_GE(FrameShown(video.GetSlot(0).movie), 4);
    // Another video and back: the first starts from its first picture, not one the decoder held.
    ASSERT_TRUE(m_world.ClickOn(L"Anibtn_popup_videoselect_3"));
    ASSERT_TRUE(m_world.ClickOn(L"Anibtn_popup_videoselect_1"));
    // A frame a little longer than the movie's period always brings at least one picture.
    m_world.Frame(video, 0.045f);
    EXPECT_LE(FrameShown(video.GetSlot(0).movie), 1);
    EXPECT_GE(FrameShown(video.GetSlot(0).movie), 0);
    // At its end the movie loops to its first picture, as often as it ends.
    std::vector<int> shown;
    for (int i = 0; i < 40; ++i) {
        m_world.Frame(video, 0.045f);
        int now = FrameShown(video.GetSlot(0).movie);
        if (shown.empty() || shown.back() != now)
            shown.push_back(now);
    }
    int loops = 0;
    for (size_t i = 1; i < shown.size(); ++i)
        if (shown[i] < shown[i - 1]) {
            ++loops;
            EXPECT_EQ(shown[i - 1], 9);
            EXPECT_LE(shown[i], 1) << "the picture after a loop is the movie's first";
        }
    EXPECT_GE(loops, 3);
    video.Close();
}

TEST_F(TutorialMovieTest, APagesMovieIsDrawnAtThePicturesCornerWithItsAlpha)
{
    moviefixture::MovieFormat red;
    red.width = 48;
    red.height = 32;
    red.frames = std::vector<moviefixture::Rgb>(5, {200, 40, 40});
    for (int i = 0; i < 4; ++i)
        WriteMovie("MovieIQ" + std::to_string(i) + ".avi", red);
    m_data.Write("data/movie/MovieIQ1.avi", "RIFF truncated");
    VanteoPopUp_HowTo_IQ howTo;
    ASSERT_EQ(howTo.Open(), 1);
    for (int i = 0; i < 4; ++i)
        m_world.Frame(howTo, 0.05f);
    kv::KVWnd* picture = m_world.Find(L"Picture_tutorial_video");
    ASSERT_NE(picture, nullptr);
    ASSERT_FLOAT_EQ(picture->GetEffectiveAlpha(), 1.0f);
    Frame([&] { m_world.system->GetRootLayer()->Draw(); });
    EXPECT_TRUE(lumenkittest::NearColor(Pixel(200, 150), 0xFFC82828, 16)) << std::hex << Pixel(200, 150);
    EXPECT_TRUE(lumenkittest::NearColor(Pixel(247, 181), 0xFFC82828, 16)) << std::hex << Pixel(247, 181);
    EXPECT_TRUE(lumenkittest::NearColor(Pixel(199, 150), 0xFF000000, 4)) << "left of the corner";
    EXPECT_TRUE(lumenkittest::NearColor(Pixel(200, 149), 0xFF000000, 4)) << "above the corner";
    EXPECT_TRUE(lumenkittest::NearColor(Pixel(249, 160), 0xFF000000, 4)) << "the movie keeps its own size";

    picture->SetAlpha(0.5f);
    Frame([&] { m_world.system->GetRootLayer()->Draw(); });
    EXPECT_TRUE(lumenkittest::NearColor(Pixel(220, 160), 0xFF641414, 12)) << std::hex << Pixel(220, 160);

    // A page whose movie is not a movie shows nothing where its movie would be.
    ASSERT_TRUE(m_world.ClickOn(L"Anibtn_tutorial_next"));
    m_world.Frame(howTo, 0.05f);
    EXPECT_EQ(howTo.GetSlot(2).movie, nullptr);
    Frame([&] { m_world.system->GetRootLayer()->Draw(); });
    EXPECT_TRUE(lumenkittest::NearColor(Pixel(220, 160), 0xFF000000, 4));
    howTo.Close();
}

} // namespace
