// The paged movie tutorials and the battle video pop-up over fake movies and sounds: the forced
// general tutorial, paging and saving of the how-tos, the movie loop with its sound, movies that
// cannot play, the choice of video, and one message per close.
#include "PopUpKit.h"

#include "data/Options.h"
#include "engine/MovieTexture.h"
#include "engine/Sound.h"
#include "menus/PopUpMovieTutorials.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <win32/VirtualKeys.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace popuptest;

namespace {

// A movie of a given length that plays pictures every 0.1 s and stops at its end.
class FakeMovie : public MovieTexture {
public:
    FakeMovie(std::string path, float length, std::vector<std::string>& closed)
        : path(std::move(path)), length(length), m_closed(closed)
    {
        m_nPeriodMs = 100;
        m_bPlaying = 1;
    }
    void Update(float seconds) override
    {
        ++updates;
        at += seconds;
        if (at >= length)
            m_bPlaying = 0;
    }
    void Close() override { m_closed.push_back(path); }

    std::string path;
    float length;
    float at = 0;
    int updates = 0;

private:
    std::vector<std::string>& m_closed;
};

// A sound that records what the pop-up asks of it.
class FakeSound : public Sound {
public:
    FakeSound(std::vector<std::string>& log, std::string name) : Sound(SOUND_KIND_STATIC), m_log(log), m_name(std::move(name)) {}
    bool Load(const wchar_t*, int) override { return true; }
    bool Release() override { return true; }
    void ApplyParams() override {}
    bool Play(bool loop) override
    {
        m_log.push_back((loop ? "loop " : "play ") + m_name);
        return true;
    }
    bool Stop() override { return true; }
    bool Reset() override
    {
        m_log.push_back("reset " + m_name);
        return true;
    }
    bool IsPlaying() override { return false; }
    void Mute() override {}
    void ApplyVolume() override {}

private:
    std::vector<std::string>& m_log;
    std::string m_name;
};

// The short name of a movie or sound path: "data/movie/MovieIQ2.ogg" -> "MovieIQ2".
std::string Short(const std::string& path)
{
    size_t slash = path.rfind('/');
    size_t dot = path.rfind('.');
    return path.substr(slash + 1, dot - slash - 1);
}

class FakeServices : public MoviePopUpServices {
public:
    MovieTexture* OpenMovie(const std::string& path) override
    {
        opened.push_back(Short(path));
        if (missing.count(Short(path)))
            return nullptr;
        auto* movie = new FakeMovie(Short(path), lengths.count(Short(path)) ? lengths[Short(path)] : 0.35f, closed);
        movies[Short(path)] = movie;
        return movie;
    }
    int LoadSound(const std::string& path) override
    {
        sounds.push_back(std::make_unique<FakeSound>(log, Short(path)));
        return static_cast<int>(sounds.size()) - 1;
    }
    void PlaySound(int id) override
    {
        if (Sound* sound = Find(id))
            sound->Play(false);
    }
    void ResetSound(int id) override
    {
        if (Sound* sound = Find(id))
            sound->Reset();
    }
    Sound* Find(int id)
    {
        return id >= 0 && id < static_cast<int>(sounds.size()) ? sounds[static_cast<size_t>(id)].get() : nullptr;
    }
    void UnloadSound(int id) override { ++unloaded; (void)id; }
    void SeekToStart(MovieTexture& movie) override
    {
        auto& fake = static_cast<FakeMovie&>(movie);
        fake.at = 0;
        log.push_back("seek " + fake.path);
    }
    void Draw(MovieTexture& movie, float x, float y, uint8_t alpha) override
    {
        drawn.push_back({static_cast<FakeMovie&>(movie).path, x, y, alpha});
    }

    struct Drawn {
        std::string movie;
        float x, y;
        uint8_t alpha;
    };
    std::vector<std::string> opened;
    std::map<std::string, FakeMovie*> movies;
    std::map<std::string, float> lengths;
    std::set<std::string> missing;
    std::vector<std::unique_ptr<FakeSound>> sounds;
    std::vector<std::string> log;
    std::vector<std::string> closed;
    std::vector<Drawn> drawn;
    int unloaded = 0;
};

// A paged layout: the picture (with an image of its own) at (200, 150) inside a panel at (100, 50).
std::string PagedLayout(const std::string& top, const std::string& animation)
{
    std::string body = Child({"LABEL", "Label_tutorial_page", 10, 10, 60, 30}) +
                       Child({"BUTTON", "Anibtn_tutorial_next", 500, 600, 100, 40}) +
                       Child({"BUTTON", "Anibtn_tutorial_close", 700, 600, 100, 40}) +
                       Child({"PICTURE", "Picture_tutorial_video", 100, 100, 480, 300},
                             "<asset type=\"STATIC\">ui/frame.png</asset>");
    return Layout(top, Child({"WND", "Wnd_body", 100, 50, 800, 700}, body), animation);
}

std::string PagedAnimation(const std::string& top, int pages)
{
    std::string text = Animation(top, {{"quibly_out", 100}});
    for (int p = 1; p <= pages; ++p) {
        std::string one = Animation(top, {{"quibly_" + std::to_string(p), 100}});
        size_t from = one.find("<scene"), to = one.find("</kvanimation>");
        text.insert(text.find("</kvanimation>"), one.substr(from, to - from));
    }
    return text;
}

class MovieTutorialTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMovieServices(&services);
        for (const char* name : {"quibly", "howto_iq", "howto_push"}) {
            std::string top = std::string("Wnd_") + name;
            world.AddFile(std::string("data/") + name + ".xml",
                          PagedLayout(top, std::string(name) + "_anim.xml"));
            world.AddFile(std::string("data/") + name + "_anim.xml", PagedAnimation(top, 15));
        }
        std::string video = Child({"BUTTON", "Anibtn_popup_ok", 700, 600, 100, 40}) +
                            Child({"PICTURE", "Picture_popup_video", 300, 100, 480, 300});
        for (int k = 1; k <= 4; ++k)
            video += Child({"BUTTON", "Anibtn_popup_videoselect_" + std::to_string(k), 40, 80 + k * 60, 200, 50});
        world.AddFile("data/video.xml", Layout("Wnd_video", video, "video_anim.xml"));
        world.AddFile("data/video_anim.xml", Animation("Wnd_video", {{"video_in", 100}, {"video_out", 100}}));
        GameConfig = GameConfigRecord{};
    }
    void TearDown() override
    {
        SetMovieServices(nullptr);
        GameConfig = GameConfigRecord{};
    }

    bool Enabled(const std::wstring& name) { return world.Find(name) && world.Find(name)->IsEnabled(); }
    std::string ConfigFile() { return m_dir.Read("Data/PlayData/QuiblyConfig.xml"); }
    // Clicks next `count` times, a frame after each.
    void Next(VanteoPopUp& popUp, int count)
    {
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(world.ClickOn(L"Anibtn_tutorial_next"));
            world.Frame(popUp, 0.01f);
        }
    }
    int Messages(int32_t id)
    {
        int n = 0;
        for (const auto& m : world.messages.posted)
            n += m.id == id;
        return n;
    }

    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
    PopUpWorld world;
    FakeServices services;
};

TEST_F(MovieTutorialTest, TheUnseenGeneralTutorialIsWatchedToItsEndThenMarkedSeen)
{
    GameConfig.guidedPlay = 1;
    VanteoPopUp_Quibly tutorial;
    ASSERT_EQ(tutorial.Open(), 1);
    EXPECT_EQ(services.opened.size(), 15u);
    EXPECT_EQ(services.opened.front(), "Movie1");
    EXPECT_EQ(services.opened.back(), "Movie15");
    EXPECT_EQ(services.log, (std::vector<std::string>{"play Movie1"}));
    EXPECT_EQ(world.Text(L"Label_tutorial_page"), L"1");
    EXPECT_FALSE(Enabled(L"Anibtn_tutorial_close"));
    world.Run(tutorial, 0.3f);
    for (int page = 1; page < 15; ++page) {
        for (int key : {VK_ESCAPE, VK_BACK, VK_RETURN})
            world.Frame(tutorial, 0.01f, {key});
        EXPECT_FALSE(world.ClickOn(L"Anibtn_tutorial_close") && tutorial.m_bClosing) << "page " << page;
        Next(tutorial, 1);
    }
    world.Run(tutorial, 0.3f);
    ASSERT_EQ(tutorial.m_nCurrentPage, 15);
    EXPECT_TRUE(world.messages.posted.empty());
    EXPECT_EQ(world.Text(L"Label_tutorial_page"), L"15");
    EXPECT_FALSE(Enabled(L"Anibtn_tutorial_next"));
    EXPECT_TRUE(Enabled(L"Anibtn_tutorial_close"));
    EXPECT_EQ(GameConfig.showTutorial, 1);
    EXPECT_NE(ConfigFile().find("<Tutorial IsShow=\"1\""), std::string::npos);
    // The guided first play keeps its own flag.
    EXPECT_EQ(GameConfig.guidedPlay, 1);

    world.Frame(tutorial, 0.01f, {VK_ESCAPE});
    world.Run(tutorial, 0.4f);
    EXPECT_FALSE(tutorial.IsOpen());
    EXPECT_EQ(tutorial.m_nCurrentPage, 0);
    EXPECT_EQ(Messages(MSG_MOVIE_TUTORIAL_CLOSED), 1);
    EXPECT_EQ(world.messages.posted.size(), 1u);
    EXPECT_EQ(services.unloaded, 15);
    EXPECT_EQ(services.closed.size(), 15u);
    EXPECT_EQ(tutorial.GetSlot(1).movie, nullptr);
}

TEST_F(MovieTutorialTest, TheSeenGeneralTutorialClosesOnAnyPageAndSavesNothing)
{
    GameConfig.showTutorial = 1;
    VanteoPopUp_Quibly tutorial;
    ASSERT_EQ(tutorial.Open(), 1);
    EXPECT_TRUE(Enabled(L"Anibtn_tutorial_close"));
    world.Run(tutorial, 0.3f);
    Next(tutorial, 14);
    world.Run(tutorial, 0.3f);
    EXPECT_FALSE(Enabled(L"Anibtn_tutorial_next"));
    EXPECT_EQ(ConfigFile(), "") << "reaching the end saves nothing once seen";

    VanteoPopUp_Quibly again;
    testsupport::LogCapture quiet;
    tutorial.Close();
    ASSERT_EQ(again.Open(), 1);
    world.Run(again, 0.3f);
    Next(again, 2);
    world.Run(again, 0.3f);
    world.Frame(again, 0.01f, {VK_BACK});
    world.Run(again, 0.4f);
    EXPECT_FALSE(again.IsOpen());
    EXPECT_EQ(Messages(MSG_MOVIE_TUTORIAL_CLOSED), 1);
}

struct HowToCase {
    const char* what;
    std::function<VanteoPopUp_MovieTutorial*()> make;
    int pages;
    std::vector<std::string> movies;
};

class HowToTest : public MovieTutorialTest, public ::testing::WithParamInterface<HowToCase> {};

TEST_P(HowToTest, PagesToTheLastWhichEnablesCloseAndSaves)
{
    std::unique_ptr<VanteoPopUp_MovieTutorial> howTo(GetParam().make());
    ASSERT_EQ(howTo->Open(), 1);
    EXPECT_EQ(services.opened, GetParam().movies);
    // The how-tos leave the close button as their layout has it; one that is disabled by then is
    // enabled on the last page.
    EXPECT_TRUE(Enabled(L"Anibtn_tutorial_close"));
    world.Find(L"Anibtn_tutorial_close")->SetEnabled(false);
    world.Run(*howTo, 0.3f);
    Next(*howTo, GetParam().pages - 1);
    EXPECT_EQ(howTo->m_nCurrentPage, GetParam().pages);
    EXPECT_FALSE(Enabled(L"Anibtn_tutorial_next"));
    EXPECT_TRUE(Enabled(L"Anibtn_tutorial_close"));
    EXPECT_NE(ConfigFile().find("<VanteoConfig"), std::string::npos);
    EXPECT_EQ(GameConfig.showTutorial, 0);
    // Next on the last page changes nothing.
    kv::EventArgs args;
    howTo->OnNext(args);
    EXPECT_EQ(howTo->m_nCurrentPage, GetParam().pages);
}

TEST_P(HowToTest, KeysCloseOnTheFirstPage)
{
    std::unique_ptr<VanteoPopUp_MovieTutorial> howTo(GetParam().make());
    ASSERT_EQ(howTo->Open(), 1);
    world.Run(*howTo, 0.3f);
    world.Frame(*howTo, 0.01f, {VK_RETURN});
    world.Run(*howTo, 0.4f);
    EXPECT_FALSE(howTo->IsOpen());
    EXPECT_EQ(Messages(MSG_MOVIE_TUTORIAL_CLOSED), 1);
    EXPECT_EQ(ConfigFile(), "") << "closing early saves nothing";
}

std::vector<std::string> Names(const char* base, int first, int count)
{
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(base + std::to_string(first + i));
    return names;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, HowToTest,
    ::testing::Values(HowToCase{"iq", [] { return new VanteoPopUp_HowTo_IQ(); }, 4, Names("MovieIQ", 0, 4)},
                      HowToCase{"push", [] { return new VanteoPopUp_HowTo_Push(); }, 4, Names("MoviePushing", 0, 4)},
                      HowToCase{"puzzle", [] { return new VanteoPopUp_HowTo_Puzzle(); }, 12, Names("Movie", 1, 12)}),
    [](const ::testing::TestParamInfo<HowToCase>& info) { return std::string(info.param.what); });

TEST_F(MovieTutorialTest, AMovieLoopsWithItsSoundAndOnlyTheShownPageAdvances)
{
    VanteoPopUp_HowTo_IQ howTo;
    ASSERT_EQ(howTo.Open(), 1);
    services.log.clear();
    // 0.35 s movies: two ends within 0.8 s.
    world.Run(howTo, 0.8f);
    EXPECT_EQ(services.log, (std::vector<std::string>{"reset MovieIQ0", "play MovieIQ0", "seek MovieIQ0",
                                                      "reset MovieIQ0", "play MovieIQ0", "seek MovieIQ0"}));
    EXPECT_EQ(services.movies["MovieIQ1"]->updates, 0);
    services.log.clear();
    Next(howTo, 1);
    EXPECT_EQ(services.log, (std::vector<std::string>{"reset MovieIQ0", "play MovieIQ1"}));
    EXPECT_EQ(services.movies["MovieIQ1"]->updates, 1);
    EXPECT_FLOAT_EQ(services.movies["MovieIQ1"]->at, 0.01f) << "a page's movie starts from its beginning";
}

TEST_F(MovieTutorialTest, AMovieThatCannotPlayLeavesItsPageWithoutIt)
{
    testsupport::LogCapture log;
    services.missing = {"MoviePushing1"};
    services.lengths["MoviePushing2"] = 0.0f;  // ends before its first picture
    VanteoPopUp_HowTo_Push howTo;
    ASSERT_EQ(howTo.Open(), 1);
    world.Run(howTo, 0.3f);
    Next(howTo, 1);
    EXPECT_EQ(howTo.GetSlot(2).movie, nullptr);
    EXPECT_NE(howTo.GetSlot(2).soundId, -1);
    services.drawn.clear();
    world.system->GetRootLayer()->Draw();
    EXPECT_TRUE(services.drawn.empty()) << "nothing is drawn for a movie that did not open";
    world.Run(howTo, 0.2f);  // the page runs on
    services.log.clear();
    Next(howTo, 1);
    world.Run(howTo, 0.5f);
    EXPECT_EQ(howTo.GetSlot(3).movie, nullptr) << "a movie without pictures is dropped";
    EXPECT_EQ(services.log, (std::vector<std::string>{"reset MoviePushing1", "play MoviePushing2"}))
        << "its sound is not restarted every frame";
    EXPECT_TRUE(log.Contains(L"ended before its first picture"));
    Next(howTo, 1);
    EXPECT_EQ(howTo.m_nCurrentPage, 4);
}

TEST_F(MovieTutorialTest, OpeningAnOpenTutorialChangesNothingAndReopeningLoadsAnew)
{
    VanteoPopUp_HowTo_IQ howTo;
    ASSERT_EQ(howTo.Open(), 1);
    world.Run(howTo, 0.3f);
    Next(howTo, 1);
    EXPECT_EQ(howTo.Open(), 0);
    EXPECT_EQ(howTo.m_nCurrentPage, 2);
    EXPECT_EQ(services.opened.size(), 4u);
    world.Run(howTo, 0.3f);
    // Next during a page's scene still turns the page; close during the closing scene does nothing.
    Next(howTo, 1);
    EXPECT_EQ(howTo.m_nCurrentPage, 3);
    world.Run(howTo, 0.3f);
    ASSERT_TRUE(world.ClickOn(L"Anibtn_tutorial_close"));
    world.Frame(howTo, 0.01f);
    world.ClickOn(L"Anibtn_tutorial_close");
    world.Frame(howTo, 0.01f, {VK_ESCAPE});
    world.Run(howTo, 0.4f);
    EXPECT_EQ(Messages(MSG_MOVIE_TUTORIAL_CLOSED), 1);
    world.Run(howTo, 0.2f);
    EXPECT_EQ(Messages(MSG_MOVIE_TUTORIAL_CLOSED), 1);
    ASSERT_EQ(howTo.Open(), 1);
    EXPECT_EQ(howTo.m_nCurrentPage, 1);
    EXPECT_EQ(services.opened.size(), 8u);
}

TEST_F(MovieTutorialTest, TheMovieIsDrawnAtThePicturesCornerWithItsAlphaAndThePictureNever)
{
    VanteoPopUp_HowTo_IQ howTo;
    ASSERT_EQ(howTo.Open(), 1);
    world.Run(howTo, 0.3f);
    kv::KVWnd* picture = world.Find(L"Picture_tutorial_video");
    ASSERT_NE(picture, nullptr);
    picture->SetAlpha(0.5f);
    world.renderer.ClearRecords();
    world.system->GetRootLayer()->Draw();
    ASSERT_EQ(services.drawn.size(), 1u);
    EXPECT_EQ(services.drawn[0].movie, "MovieIQ0");
    EXPECT_FLOAT_EQ(services.drawn[0].x, 200.0f);
    EXPECT_FLOAT_EQ(services.drawn[0].y, 150.0f);
    EXPECT_EQ(services.drawn[0].alpha, MovieAlpha(picture->GetEffectiveAlpha()));
    for (const auto& draw : world.renderer.imageDraws)
        EXPECT_NE(draw.group, picture->GetUniqueId()) << "the picture's own image is never drawn";
}

TEST(MovieAlphaTest, MapsTheWindowsAlphaToEightBits)
{
    struct Case {
        float alpha;
        int expected;
    };
    for (Case c : {Case{1.0f, 255}, Case{1.5f, 255}, Case{0.0f, 0}, Case{-0.2f, 0}, Case{0.5f, 128}, Case{0.1f, 26},
                   Case{0.998f, 254}})
        EXPECT_EQ(MovieAlpha(c.alpha), c.expected) << c.alpha;
}

TEST_F(MovieTutorialTest, TheVideoPopUpShowsTheChosenMovieFromItsStart)
{
    VanteoPopUp_Video video;
    ASSERT_EQ(video.Open(), 1);
    EXPECT_TRUE(services.opened.empty()) << "opening loads no movie";
    video.LoadMovies();
    EXPECT_EQ(services.opened, Names("MovieBattle", 0, 4));
    EXPECT_EQ(video.m_nCurrentVideo, 0);
    EXPECT_EQ(services.log, (std::vector<std::string>{"play MovieBattle0", "seek MovieBattle1", "seek MovieBattle2",
                                                      "seek MovieBattle3"}));
    EXPECT_FALSE(Enabled(L"Anibtn_popup_videoselect_1"));
    for (const wchar_t* other : {L"Anibtn_popup_videoselect_2", L"Anibtn_popup_videoselect_3", L"Anibtn_popup_videoselect_4"})
        EXPECT_TRUE(Enabled(other));
    world.Run(video, 0.25f);
    EXPECT_GT(services.movies["MovieBattle0"]->at, 0.2f);
    EXPECT_EQ(services.movies["MovieBattle2"]->updates, 0);

    services.log.clear();
    ASSERT_TRUE(world.ClickOn(L"Anibtn_popup_videoselect_3"));
    EXPECT_EQ(video.m_nCurrentVideo, 2);
    EXPECT_EQ(services.log, (std::vector<std::string>{"seek MovieBattle0", "reset MovieBattle0", "play MovieBattle2"}));
    EXPECT_FLOAT_EQ(services.movies["MovieBattle0"]->at, 0.0f);
    EXPECT_FALSE(Enabled(L"Anibtn_popup_videoselect_3"));
    for (const wchar_t* other : {L"Anibtn_popup_videoselect_1", L"Anibtn_popup_videoselect_2", L"Anibtn_popup_videoselect_4"})
        EXPECT_TRUE(Enabled(other));
    EXPECT_FALSE(world.ClickOn(L"Anibtn_popup_videoselect_3") && video.m_nCurrentVideo != 2);
    world.Run(video, 0.2f);
    services.drawn.clear();
    world.system->GetRootLayer()->Draw();
    ASSERT_EQ(services.drawn.size(), 1u);
    EXPECT_EQ(services.drawn[0].movie, "MovieBattle2");

    ASSERT_TRUE(world.ClickOn(L"Anibtn_popup_videoselect_1"));
    EXPECT_EQ(video.m_nCurrentVideo, 0);
    EXPECT_FLOAT_EQ(services.movies["MovieBattle0"]->at, 0.0f) << "chosen again, it starts from its beginning";

    world.Frame(video, 0.01f, {VK_ESCAPE});
    world.Run(video, 0.4f);
    EXPECT_FALSE(video.IsOpen());
    EXPECT_EQ(video.m_nCurrentVideo, -1);
    EXPECT_EQ(Messages(MSG_VIDEO_CLOSED), 1);
    EXPECT_EQ(world.messages.posted.size(), 1u);
    EXPECT_EQ(services.unloaded, 4);
    ASSERT_EQ(video.Open(), 1);
    video.LoadMovies();
    EXPECT_EQ(services.opened.size(), 8u);
}

} // namespace
