// The title sequence of the first entry of a run and the story opening of the first run.
#include "MainMenuFixture.h"

#include <win32/VirtualKeys.h>

namespace menutest {
namespace {

using Menu = VanteoMainMenuScene;

class MainMenuTitleTest : public MainMenuFixture {
protected:
    // Runs the title to the waiting state and presses a key there.
    void PassTitle(Menu& menu)
    {
        Step(0.05f, 2);  // the title animation is not loaded here: it does not play
        ASSERT_EQ(menu.GetTitleState(), 2);
        EXPECT_EQ(menu.MsgProc(WM_KEYDOWN, VK_SPACE, 0), 1);
        EXPECT_EQ(menu.GetTitleState(), 3);
        EXPECT_TRUE(Find(Menu::kScreenMain, "Pic_pressanykey")->IsVisible());
        Step(0.05f, 2);
        ASSERT_EQ(menu.GetTitleState(), 5);
    }
};

TEST_F(MainMenuTitleTest, TheFirstEntryShowsTheWarningAndAClickOverItPassesTheTitle)
{
    Menu& menu = Enter(-1, true);
    ASSERT_NE(menu.GetWarningWindow(), nullptr);
    EXPECT_TRUE(Shown(menu.GetWarningWindow()));
    EXPECT_FALSE(menu.GetWarningWindow()->FindWindow(L"Pic_loading")->IsVisible());
    EXPECT_EQ(titleSounds, 1);
    Step(0.05f, 2);
    ASSERT_EQ(menu.GetTitleState(), 2);
    // A release over no window does not count; over the warning screen it does.
    released = true;
    cursor = POINT{2000, 2000};
    Step();
    EXPECT_EQ(menu.GetTitleState(), 2);
    cursor = POINT{512, 384};
    Step();
    released = false;
    EXPECT_EQ(menu.GetTitleState(), 3);
    Step(0.05f, 2);
    EXPECT_EQ(menu.GetTitleState(), 5);
    EXPECT_EQ(menu.GetWarningWindow(), nullptr);
    // Not the first run: the main screen and the quick menu with the menu music.
    EXPECT_TRUE(Shown(menu.GetScreen(Menu::kScreenMain)));
    EXPECT_TRUE(Shown(menu.GetQuickMenu()));
    EXPECT_FALSE(Find(Menu::kScreenMain, "Pic_pressanykey")->IsVisible());
    EXPECT_TRUE(sounds.IsPlaying(kMusicMenu));
    EXPECT_EQ(menu.GetOpeningPage(), -1);
}

TEST_F(MainMenuTitleTest, AKeyGoesToTheWindowsOutsideTheWaitingState)
{
    Menu& menu = Enter(-1, true);
    EXPECT_EQ(menu.GetTitleState(), 0);
    menu.MsgProc(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(menu.GetTitleState(), 0);
}

TEST_F(MainMenuTitleTest, TheFirstRunPlaysTheOpeningToTheDoorAndRemembersIt)
{
    GameConfig.showOpening = 0;
    Menu& menu = Enter(-1, true);
    ASSERT_NE(menu.GetOpeningWindow(), nullptr);
    EXPECT_FALSE(Shown(menu.GetOpeningWindow()));
    PassTitle(menu);

    EXPECT_EQ(menu.GetOpeningPage(), 0);
    EXPECT_TRUE(Shown(menu.GetOpeningWindow()));
    EXPECT_FALSE(Shown(menu.GetScreen(Menu::kScreenMain)));
    EXPECT_FALSE(Shown(menu.GetQuickMenu()));
    EXPECT_FALSE(menu.GetOpeningWindow()->FindWindow(L"Btn_Quit")->IsVisible());  // a first opening cannot be skipped
    EXPECT_TRUE(sounds.IsPlaying(kMusicOpening1));

    // Each page waits for its scene; the music changes at pages 2, 7 and 10.
    std::vector<int> musicAt;
    for (int frame = 0; frame < 200 && menu.GetOpeningPage() < 10; ++frame) {
        size_t before = sounds.played.size();
        Step(0.05f);
        if (sounds.played.size() != before)
            musicAt.push_back(menu.GetOpeningPage());
    }
    EXPECT_EQ(menu.GetOpeningPage(), 10);
    EXPECT_EQ(musicAt, (std::vector<int>{3, 8, 10}));
    EXPECT_TRUE(sounds.IsPlaying(kMusicOpeningLoop));
    EXPECT_FALSE(sounds.IsPlaying(kMusicOpening1));
    EXPECT_FALSE(sounds.IsPlaying(kMusicOpening2));
    EXPECT_FALSE(sounds.IsPlaying(kMusicOpening3));
    Step(0.05f, 10);
    EXPECT_EQ(menu.GetOpeningPage(), 10);  // the last page waits for the door

    // Clicks during the opening leave sparks.
    Click(menu.GetOpeningWindow()->FindWindow(L"opening_door"));
    EXPECT_EQ(menu.GetClickEffect().GetEntries().size(), 1u);
    EXPECT_EQ(menu.GetOpeningPage(), 11);
    Settle();
    EXPECT_EQ(menu.GetOpeningPage(), -1);
    EXPECT_EQ(menu.GetOpeningWindow(), nullptr);
    EXPECT_TRUE(Shown(menu.GetScreen(Menu::kScreenMain)));
    EXPECT_TRUE(Shown(menu.GetQuickMenu()));
    EXPECT_TRUE(sounds.IsPlaying(kMusicMenu));
    EXPECT_FALSE(sounds.IsPlaying(kMusicOpeningLoop));
    EXPECT_EQ(GameConfig.showOpening, 1);
    EXPECT_NE(ConfigFile().find("<Opening IsShow=\"1\""), std::string::npos);

    // The next entry of the run shows no title and no opening.
    menu.Leave();
    Enter(-1);
    EXPECT_EQ(menu.GetWarningWindow(), nullptr);
    EXPECT_EQ(menu.GetOpeningWindow(), nullptr);
}

TEST_F(MainMenuTitleTest, TheNextButtonTurnsPagesAtOnceAndTheDoorIgnoresEarlyClicks)
{
    GameConfig.showOpening = 0;
    Menu& menu = Enter(-1, true);
    PassTitle(menu);
    Click(menu.GetOpeningWindow()->FindWindow(L"opening_door"));
    EXPECT_EQ(menu.GetOpeningPage(), 0);
    for (int i = 1; i <= 10; ++i) {
        Click(menu.GetOpeningWindow()->FindWindow(L"Anibtn_opening_next"));
        EXPECT_EQ(menu.GetOpeningPage(), i);
    }
    EXPECT_TRUE(sounds.IsPlaying(kMusicOpeningLoop));
    // From the last page only the door leads on.
    EXPECT_FALSE(menu.GetOpeningWindow()->FindWindow(L"Anibtn_opening_next")->IsVisible());
}

TEST_F(MainMenuTitleTest, AFirstRunWithoutItsOpeningLayoutGoesToTheMainScreen)
{
    GameConfig.showOpening = 0;
    RemoveLayout("data/opening_2.xml");
    Menu& menu = Enter(-1, true);
    PassTitle(menu);
    EXPECT_EQ(menu.GetOpeningPage(), -1);
    EXPECT_TRUE(Shown(menu.GetScreen(Menu::kScreenMain)));
    EXPECT_TRUE(Shown(menu.GetQuickMenu()));
    EXPECT_TRUE(sounds.IsPlaying(kMusicMenu));
    // The opening was not seen: the next run tries again.
    EXPECT_EQ(GameConfig.showOpening, 0);
}

TEST_F(MainMenuTitleTest, TheMainScreenReplaysTheOpeningWhichCanThenBeSkipped)
{
    Menu& menu = Enter(-1);
    Settle();
    Click(Menu::kScreenMain, "AniBtn_Opening");
    EXPECT_EQ(menu.GetOpeningPage(), 12);
    EXPECT_FALSE(Shown(menu.GetQuickMenu()));
    EXPECT_FALSE(sounds.IsPlaying(kMusicMenu));
    Settle();
    ASSERT_NE(menu.GetOpeningWindow(), nullptr);
    EXPECT_GE(menu.GetOpeningPage(), 0);
    EXPECT_TRUE(sounds.IsPlaying(kMusicOpening1));
    kv::KVWnd* skip = menu.GetOpeningWindow()->FindWindow(L"Btn_Quit");
    ASSERT_TRUE(skip->IsVisible());
    Click(skip);
    Step();
    EXPECT_EQ(menu.GetOpeningPage(), -1);
    EXPECT_EQ(menu.GetOpeningWindow(), nullptr);
    EXPECT_TRUE(Shown(menu.GetScreen(Menu::kScreenMain)));
    EXPECT_TRUE(Shown(menu.GetQuickMenu()));
    EXPECT_TRUE(sounds.IsPlaying(kMusicMenu));
    EXPECT_FALSE(sounds.IsPlaying(kMusicOpening1));
}

} // namespace
} // namespace menutest
