// The main menu scene: entering, the sideways slide between sub-menus, arrows by unlock flags,
// Escape, credits, leaving, and a menu that still works when its layouts are missing.
#include "MainMenuFixture.h"

#include <win32/VirtualKeys.h>

#include <cmath>

namespace menutest {
namespace {

using Menu = VanteoMainMenuScene;

void Unlock(int puzzle, int battle, int push, int iq, int multi)
{
    GameConfig.unlockPuzzle = puzzle;
    GameConfig.unlockBattle = battle;
    GameConfig.unlockPush = push;
    GameConfig.unlockIQ = iq;
    GameConfig.unlockMulti = multi;
}

class MainMenuSceneTest : public MainMenuFixture {};

TEST_F(MainMenuSceneTest, EnteringASubMenuDirectlyShowsItAndHidesTheMainScreenAfterItsAnimation)
{
    Menu& menu = Enter(1);
    EXPECT_EQ(menu.GetCurrentSubMenu(), 1);
    EXPECT_TRUE(menu.GetScreen(1)->IsVisible());
    EXPECT_TRUE(menu.GetQuickMenu()->IsVisible());
    EXPECT_TRUE(sounds.IsPlaying(kMusicMenu));
    EXPECT_TRUE(menu.GetScreen(Menu::kScreenMain)->IsVisible());
    EXPECT_TRUE(menu.IsHidingMain());
    Settle();
    EXPECT_FALSE(menu.GetScreen(Menu::kScreenMain)->IsVisible());
    EXPECT_FALSE(menu.IsHidingMain());
    // The layers: main screen 1, sub-menus -2, quick menu -3, auto pop-up -5 (mouse-transparent).
    EXPECT_EQ(menu.GetScreen(Menu::kScreenMain)->GetZOrder(), 1);
    EXPECT_EQ(menu.GetScreen(1)->GetZOrder(), -2);
    EXPECT_EQ(menu.GetQuickMenu()->GetZOrder(), -3);
    EXPECT_EQ(menu.GetAutoPopUp()->GetZOrder(), -5);
    EXPECT_TRUE(menu.GetAutoPopUp()->IsMouseTransparent());
    EXPECT_TRUE(Find(1, "WndEx_sub_frame")->IsMouseTransparent());
    // Every entry saves the options; the stage select lives for the entry.
    EXPECT_NE(ConfigFile().find("<VanteoConfig>"), std::string::npos);
    EXPECT_TRUE(popUps.Called("CreateStageSelect"));
}

TEST_F(MainMenuSceneTest, ReturningToTheMainScreenAfterTheTitleShowsTheQuickMenuWithTheMusic)
{
    Menu& menu = Enter(-1);
    EXPECT_EQ(menu.GetCurrentSubMenu(), -1);
    EXPECT_TRUE(menu.GetScreen(Menu::kScreenMain)->IsVisible());
    EXPECT_TRUE(menu.GetQuickMenu()->IsVisible());
    EXPECT_TRUE(sounds.IsPlaying(kMusicMenu));
    EXPECT_EQ(menu.GetWarningWindow(), nullptr);  // no title after the first entry of the run
}

struct SlideCase {
    float elapsed;     // seconds since the slide began
    float outgoingX;   // -1 when the outgoing screen is hidden
    float incomingX;
};

class SlideTest : public MainMenuFixture, public ::testing::WithParamInterface<SlideCase> {};

TEST_P(SlideTest, PlacesBothScreensOnTheEasedCurve)
{
    Unlock(1, 1, 1, 1, 1);
    Menu& menu = Enter(0);
    Settle();
    keys = {'E'};
    Step(0.0f);
    keys.clear();
    ASSERT_FLOAT_EQ(menu.GetSlideTimer(), 0.3f);
    ASSERT_EQ(menu.GetCurrentSubMenu(), 1);
    ASSERT_EQ(menu.GetPreviousSubMenu(), 0);

    const SlideCase& c = GetParam();
    Step(c.elapsed);
    kv::KVWnd* outgoing = menu.GetScreen(0);
    kv::KVWnd* incoming = menu.GetScreen(1);
    if (c.outgoingX < -1024.5f) {
        EXPECT_FALSE(outgoing->IsVisible());
        EXPECT_EQ(menu.GetPreviousSubMenu(), -1);
        EXPECT_FLOAT_EQ(menu.GetSlideTimer(), 0.0f);
    } else {
        EXPECT_NEAR(outgoing->GetPosition().x, c.outgoingX, 1.0f);
    }
    EXPECT_NEAR(incoming->GetPosition().x, c.incomingX, 1.0f);
}

// f = 1 - sin(pi (t / 0.3 / 2 + 1/2)): the incoming screen at f x 1024, the outgoing at (f - 1) x 1024.
INSTANTIATE_TEST_SUITE_P(Times, SlideTest,
                         ::testing::Values(SlideCase{0.075f, -392.0f, 632.0f}, SlideCase{0.15f, -724.0f, 299.0f},
                                           SlideCase{0.25f, -989.0f, 35.0f}, SlideCase{0.3f, -2000.0f, 0.0f},
                                           SlideCase{0.5f, -2000.0f, 0.0f}));

TEST_F(MainMenuSceneTest, SlidingLeftMirrorsTheCurveAndEndsInPlace)
{
    Unlock(1, 1, 1, 1, 1);
    Menu& menu = Enter(2);
    Settle();
    wheel = 1;  // a wheel step up goes left
    Step(0.0f);
    wheel = 0;
    ASSERT_FLOAT_EQ(menu.GetSlideTimer(), -0.3f);
    ASSERT_EQ(menu.GetCurrentSubMenu(), 1);
    Step(0.15f);
    EXPECT_NEAR(menu.GetScreen(2)->GetPosition().x, 724.0f, 1.0f);
    EXPECT_NEAR(menu.GetScreen(1)->GetPosition().x, -299.0f, 1.0f);
    // A second arrow during the slide is ignored.
    Click(1, "Anibtn_arrowL");
    EXPECT_EQ(menu.GetCurrentSubMenu(), 1);
    Step(0.2f);
    EXPECT_FALSE(menu.GetScreen(2)->IsVisible());
    EXPECT_FLOAT_EQ(menu.GetScreen(1)->GetPosition().x, 0.0f);
}

struct ArrowCase {
    int flags[5];
    int start;
    bool leftEnabled;
    bool rightEnabled;
    int afterRight;  // the sub-menu after Right (or the same when nothing happens)
    int afterLeft;   // the sub-menu after Left from the start
};

class ArrowTest : public MainMenuFixture, public ::testing::WithParamInterface<ArrowCase> {};

TEST_P(ArrowTest, ArrowsSkipLockedSubMenus)
{
    const ArrowCase& c = GetParam();
    Unlock(c.flags[0], c.flags[1], c.flags[2], c.flags[3], c.flags[4]);
    Menu& menu = Enter(c.start);
    Settle();
    EXPECT_EQ(Find(c.start, "Anibtn_arrowL")->IsEnabled(), c.leftEnabled);
    EXPECT_EQ(Find(c.start, "Anibtn_arrow_R")->IsEnabled(), c.rightEnabled);

    for (int vk : {static_cast<int>(VK_RIGHT), static_cast<int>('I')}) {
        keys = {vk};
        Step(0.0f);
        keys.clear();
        EXPECT_EQ(menu.GetCurrentSubMenu(), c.afterRight) << vk;
        Step(0.5f);  // the slide ends
        if (menu.GetCurrentSubMenu() != c.start) {
            keys = {'W'};
            Step(0.0f);
            keys.clear();
            Step(0.5f);
            ASSERT_EQ(menu.GetCurrentSubMenu(), c.start);
        }
    }
    keys = {VK_LEFT};
    Step(0.0f);
    keys.clear();
    EXPECT_EQ(menu.GetCurrentSubMenu(), c.afterLeft);
}

INSTANTIATE_TEST_SUITE_P(Flags, ArrowTest,
                         ::testing::Values(ArrowCase{{1, 0, 0, 0, 0}, 0, false, false, 0, 0},
                                           ArrowCase{{1, 0, 1, 0, 0}, 0, false, true, 2, 0},
                                           ArrowCase{{1, 0, 1, 0, 0}, 2, true, false, 2, 0},
                                           ArrowCase{{1, 1, 1, 1, 1}, 4, true, false, 4, 3},
                                           ArrowCase{{0, 1, 0, 1, 0}, 1, false, true, 3, 1}));

TEST_F(MainMenuSceneTest, NothingReactsToArrowsOrWheelWhileAPopUpIsOpen)
{
    Unlock(1, 1, 1, 1, 1);
    Menu& menu = Enter(0);
    Settle();
    popUps.anyOpen = true;
    keys = {VK_RIGHT, VK_ESCAPE};
    wheel = -1;
    Step(0.0f);
    EXPECT_EQ(menu.GetCurrentSubMenu(), 0);
    EXPECT_FLOAT_EQ(menu.GetSlideTimer(), 0.0f);
    EXPECT_FALSE(menu.IsClosingSubMenu());
    EXPECT_TRUE(popUps.calls.back() != "YesNo 0 EXIT GAME / DO YOU WISH TO QUIT?");
}

enum class EscapeResult { LeavesSubMenu, AsksToQuit, Nothing };

struct EscapeCase {
    int subMenu;      // -1: the main screen
    bool credits;     // the credits show
    bool opening;     // the opening pages run
    int innerPanel;   // 0 none, 1 or 2
    EscapeResult result;
    const char* subMenuScene;  // the scene the sub-menu plays when it is left
};

class EscapeTest : public MainMenuFixture, public ::testing::WithParamInterface<EscapeCase> {};

TEST_P(EscapeTest, RoutesEscapeByWhatShows)
{
    const EscapeCase& c = GetParam();
    Unlock(1, 1, 1, 1, 1);
    Menu& menu = Enter(c.subMenu);
    Settle();
    if (c.credits)
        Click(Menu::kScreenMain, "Anibtn_credits");
    if (c.innerPanel)
        Click(c.subMenu, c.innerPanel == 1 ? "Anibtn_sub_btn_1" : "Anibtn_sub_btn_2");
    if (c.opening) {
        Click(Menu::kScreenMain, "AniBtn_Opening");
        Settle();
        ASSERT_GE(menu.GetOpeningPage(), 0);
    }
    Settle();
    popUps.calls.clear();
    keys = {VK_ESCAPE};
    Step(0.0f);
    keys.clear();
    switch (c.result) {
    case EscapeResult::LeavesSubMenu:
        EXPECT_TRUE(menu.IsClosingSubMenu());
        EXPECT_EQ(menu.GetInnerPanel(), Menu::kPanelNone);
        ASSERT_TRUE(menu.GetScreen(c.subMenu)->IsUIScenePlaying());
        EXPECT_EQ(menu.GetScreen(c.subMenu)->GetDirector()->currentScene->name,
                  std::wstring(c.subMenuScene, c.subMenuScene + std::strlen(c.subMenuScene)));
        EXPECT_TRUE(popUps.calls.empty());
        Settle();
        EXPECT_EQ(menu.GetCurrentSubMenu(), -1);
        EXPECT_FALSE(menu.GetScreen(c.subMenu)->IsVisible());
        EXPECT_TRUE(menu.GetScreen(Menu::kScreenMain)->IsVisible());
        break;
    case EscapeResult::AsksToQuit:
        EXPECT_FALSE(menu.IsClosingSubMenu());
        EXPECT_EQ(popUps.calls, std::vector<std::string>{"YesNo 0 EXIT GAME / DO YOU WISH TO QUIT?"});
        break;
    case EscapeResult::Nothing:
        EXPECT_FALSE(menu.IsClosingSubMenu());
        EXPECT_TRUE(popUps.calls.empty());
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, EscapeTest,
                         ::testing::Values(EscapeCase{2, false, false, 0, EscapeResult::LeavesSubMenu, "sub_OFF"},
                                           EscapeCase{0, false, false, 1, EscapeResult::LeavesSubMenu, "sub2_1_OFF"},
                                           EscapeCase{-1, false, false, 0, EscapeResult::AsksToQuit, ""},
                                           EscapeCase{-1, true, false, 0, EscapeResult::AsksToQuit, ""},
                                           EscapeCase{-1, false, true, 0, EscapeResult::Nothing, ""}));

TEST_F(MainMenuSceneTest, CreditsShowWithTheirMusicAndTheMenuMusicReturnsOnTheSecondPress)
{
    Menu& menu = Enter(-1);
    Settle();
    Click(Menu::kScreenMain, "Anibtn_credits");
    EXPECT_EQ(menu.GetShownScreen(), Menu::kScreenCredits);
    EXPECT_TRUE(sounds.IsPlaying(kMusicCredits));
    EXPECT_FALSE(sounds.IsPlaying(kMusicMenu));
    Settle();
    Click(Menu::kScreenMain, "Anibtn_credits");
    Settle();
    EXPECT_EQ(menu.GetShownScreen(), Menu::kScreenMain);
    EXPECT_FALSE(sounds.IsPlaying(kMusicCredits));
    EXPECT_TRUE(sounds.IsPlaying(kMusicMenu));
}

TEST_F(MainMenuSceneTest, EnteringTheFirstSubMenuSetsTheClickHereFlagOnce)
{
    GameConfig.showClickHere = 0;
    Enter(-1);
    Settle();
    Click(Menu::kScreenMain, "Anibtn_puzzle");
    EXPECT_EQ(GameConfig.showClickHere, 1);
    EXPECT_NE(ConfigFile().find("<ClickHere IsShow=\"1\""), std::string::npos);
}

TEST_F(MainMenuSceneTest, AnExitClickWhileTheSubMenuStillEntersIsIgnored)
{
    Menu& menu = Enter(-1);
    Settle();
    Click(Menu::kScreenMain, "Anibtn_puzzle");
    ASSERT_TRUE(menu.IsHidingMain());
    Click(0, "Anibtn_sub_btn_exit");
    EXPECT_FALSE(menu.IsClosingSubMenu());
    Settle();
    Click(0, "Anibtn_sub_btn_exit");
    EXPECT_TRUE(menu.IsClosingSubMenu());
}

TEST_F(MainMenuSceneTest, LeaveClosesThePopUpsBeforeTheWindowsGoAndStopsTheMusic)
{
    Menu& menu = Enter(1);
    Settle();
    popUps.calls.clear();
    menu.Leave();
    entered = false;
    ASSERT_GE(popUps.calls.size(), 2u);
    EXPECT_EQ(popUps.calls[0], "CloseAll");
    EXPECT_EQ(popUps.calls[1], "DeleteStageSelect");
    EXPECT_EQ(system->GetRootLayer()->GetChildCount(), 0);
    EXPECT_EQ(menu.GetScreen(Menu::kScreenMain), nullptr);
    EXPECT_EQ(menu.GetQuickMenu(), nullptr);
    EXPECT_FALSE(sounds.IsPlaying(kMusicMenu));
    // A second entry builds everything again.
    Enter(-1);
    EXPECT_NE(menu.GetScreen(Menu::kScreenMain), nullptr);
    EXPECT_NE(menu.GetQuickMenu(), nullptr);
}

TEST_F(MainMenuSceneTest, MissingLayoutsLeaveAMenuThatStillQuitsCleanly)
{
    for (const char* file : {"data/MAINMENU.xml", "data/QUICKMENU.xml", "data/SUB_battle.xml", "data/Autopopup.xml"})
        RemoveLayout(file);
    iface.AddFile(L"ui/Wnd_sub0_UI.xml", "<kvanimation version=\"1.2\"><scene");  // a broken animation
    Unlock(1, 1, 1, 1, 1);
    Menu& menu = Enter(1);
    EXPECT_EQ(menu.GetScreen(Menu::kScreenMain), nullptr);
    EXPECT_EQ(menu.GetScreen(1), nullptr);
    Settle();
    EXPECT_EQ(menu.GetCurrentSubMenu(), 1);
    // The slide goes on to the next sub-menu that exists; Escape leaves it and then asks.
    keys = {VK_RIGHT};
    Step(0.0f);
    keys.clear();
    Step(0.5f);
    EXPECT_EQ(menu.GetCurrentSubMenu(), 2);
    EXPECT_TRUE(menu.GetScreen(2)->IsVisible());
    keys = {VK_ESCAPE};
    Step(0.0f);
    Settle();
    EXPECT_EQ(menu.GetCurrentSubMenu(), -1);
    Step(0.0f);
    keys.clear();
    EXPECT_TRUE(popUps.Called("YesNo 0 EXIT GAME / DO YOU WISH TO QUIT?"));
    Deliver(2035, PayloadWriter().I32(0));
    Step();
    EXPECT_EQ(quits, 1);
}

TEST_F(MainMenuSceneTest, ABrokenUnlockFileLeavesNothingToBuyAndTheModesUsable)
{
    m_dir.Write("Data/PlayData/QuiblyUnlockMenu.xml", "<UnlockMenu><Puzzle><UnlockInfo BtnName=");
    GameConfig.cubes = 5000;
    Enter(0);
    Settle();
    EXPECT_EQ(GetUnlockInfo(0, 0), nullptr);
    Click(0, "Anibtn_sub2_btn_1");
    EXPECT_TRUE(popUps.Called("Start 2 0 table"));
}

} // namespace
} // namespace menutest
