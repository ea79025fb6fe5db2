// The two tutorial menus and the battle help: choices reported at once while the menu stays
// open, free play reported once the menu has closed, the closing messages, the battle help's
// categories and the closing key that reaches only the upper pop-up.
#include "PopUpKit.h"

#include "data/Options.h"
#include "kv/KVDirector.h"
#include "kv/KVPicture.h"
#include "menus/MainMenuPopUps.h"
#include "menus/PopUpMovieTutorials.h"
#include "menus/PopUpTutorialMenus.h"

#include <win32/VirtualKeys.h>

#include <functional>

using namespace popuptest;

namespace {

// A picture animation of one scene that lasts `ms`.
std::string PictureAnimation(int ms)
{
    auto frame = [](int cnt) {
        return "<frame cnt=\"" + std::to_string(cnt) +
               "\"><posx val=\"0\"/><posy val=\"0\"/><scalex val=\"1\"/><scaley val=\"1\"/><centerx val=\"0\"/>"
               "<centery val=\"0\"/><rotate val=\"0\"/><alpha val=\"1\"/></frame>";
    };
    return "<kvanimation version=\"1.2\"><scene name=\"show\"><asset type=\"IMAGE\" name=\"IMAGE_show\" "
           "path=\"show.png\"><rect l=\"0\" t=\"0\" r=\"8\" b=\"8\"/></asset><object name=\"show\" ani=\"a\">"
           "<asset link=\"IMAGE_show\" type=\"Image\"/></object><anim name=\"a\">" +
           frame(0) + frame(ms) + "</anim></scene></kvanimation>";
}

class TutorialMenusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string t = Child({"BUTTON", "Anibtn_popup_close", 400, 600, 100, 40});
        int x = 100;
        for (const char* name : {"popup_tutorial_slide_Normal1", "popup_tutorial_video_Normal1",
                                 "popup_tutorial_freeplay_Normal1"})
            t += Child({"BUTTON", name, x += 150, 300, 100, 100});
        world.AddFile("data/tutorial.xml", Layout("Wnd_tutorial", t, "tutorial_anim.xml"));
        world.AddFile("data/tutorial_anim.xml", Animation("Wnd_tutorial", {{"video_in", 100}, {"video_out", 100}}));
        std::string b = Child({"BUTTON", "Anibtn_popup_close", 400, 600, 100, 40});
        x = 100;
        for (const char* name : {"btn_bttutorial_slide", "btn_bttutorial_video", "btn_bttutorial_keyhelp"})
            b += Child({"BUTTON", name, x += 150, 300, 100, 100});
        world.AddFile("data/battle_tutorial.xml", Layout("Wnd_bttutorial", b, "bttutorial_anim.xml"));
        world.AddFile("data/bttutorial_anim.xml", Animation("Wnd_bttutorial", {{"video_in", 100}, {"video_out", 100}}));
    }

    void AddBattleHelp(bool withOverlay)
    {
        std::string h = Child({"BUTTON", "Anibtn_battlehelp_close", 800, 650, 100, 40});
        for (int n = 1; n <= 9; ++n) {
            h += Child({"BUTTON", "Anibtn_bthelp_categorynum_" + std::to_string(n), 20, 40 + n * 50, 200, 40});
            h += Child({"PICTURE", "Pic_battlehelp_" + std::to_string(n), 300, 100, 10, 10},
                       "<asset type=\"ANIMATION\">pic" + std::to_string(n) + ".xml</asset>");
            world.AddFile("data/pic" + std::to_string(n) + ".xml", PictureAnimation(1000));
        }
        if (withOverlay)
            h += Child({"PICTURE", "howto_battle_list_on", 20, 90, 200, 460});
        world.AddFile("data/howto_battle.xml", Layout("Wnd_bthelp", h, "bthelp_anim.xml"));
        std::vector<std::pair<std::string, int>> scenes;
        world.AddFile("data/bthelp_anim.xml",
                      Animation("Wnd_bthelp", {{"help_in", 100}, {"help_out", 100}, {"help_1", 100}, {"help_2", 100},
                                               {"help_3", 100}, {"help_4", 100}, {"help_5", 100}, {"help_6", 100},
                                               {"help_7", 100}, {"help_8", 100}, {"help_9", 100}}));
    }

    std::vector<std::pair<int32_t, int32_t>> Posted()
    {
        std::vector<std::pair<int32_t, int32_t>> out;
        for (const auto& m : world.messages.posted) {
            int32_t value = -1;
            if (m.payload.size() == 4)
                value = static_cast<int32_t>(m.payload[0] | m.payload[1] << 8 | m.payload[2] << 16 | m.payload[3] << 24);
            out.emplace_back(m.id, value);
        }
        return out;
    }

    std::wstring CurrentScene(VanteoPopUp& popUp)
    {
        kv::KVDirector* director = popUp.m_pWindow ? popUp.m_pWindow->GetDirector() : nullptr;
        return director && director->currentScene ? director->currentScene->name : L"";
    }

    PopUpWorld world;
};

using Pair = std::pair<int32_t, int32_t>;

TEST_F(TutorialMenusTest, ChoicesAreReportedAtOnceAndTheMenusStayOpen)
{
    VanteoPopUp_Tutorial tutorial;
    VanteoPopUp_BattleTutorial battle;
    ASSERT_EQ(tutorial.Open(), 1);
    EXPECT_EQ(tutorial.Open(), 0);
    // Reported also while the opening plays.
    ASSERT_TRUE(world.ClickOn(L"popup_tutorial_slide_Normal1"));
    ASSERT_TRUE(world.ClickOn(L"popup_tutorial_video_Normal1"));
    ASSERT_TRUE(world.ClickOn(L"popup_tutorial_slide_Normal1"));
    world.Run(tutorial, 0.5f);
    EXPECT_TRUE(tutorial.IsOpen());
    EXPECT_EQ(Posted(), (std::vector<Pair>{{MSG_TUTORIAL_CHOSEN, 0}, {MSG_TUTORIAL_CHOSEN, 1}, {MSG_TUTORIAL_CHOSEN, 0}}));
    // Closing reports the menu closed, though choices were reported before.
    world.Frame(tutorial, 0.01f, {VK_ESCAPE});
    world.Run(tutorial, 0.4f);
    EXPECT_FALSE(tutorial.IsOpen());
    EXPECT_EQ(Posted().back(), (Pair{MSG_TUTORIAL_CLOSED, -1}));
    EXPECT_EQ(tutorial.m_nChoice, kTutorialChoiceNone);

    world.messages.posted.clear();
    ASSERT_EQ(battle.Open(), 1);
    world.Run(battle, 0.3f);
    for (const wchar_t* name : {L"btn_bttutorial_keyhelp", L"btn_bttutorial_video", L"btn_bttutorial_slide"})
        ASSERT_TRUE(world.ClickOn(name));
    EXPECT_EQ(Posted(), (std::vector<Pair>{{MSG_BATTLE_TUTORIAL_CHOSEN, 2},
                                           {MSG_BATTLE_TUTORIAL_CHOSEN, 1},
                                           {MSG_BATTLE_TUTORIAL_CHOSEN, 0}}));
    ASSERT_TRUE(world.ClickOn(L"Anibtn_popup_close"));
    world.Run(battle, 0.4f);
    EXPECT_FALSE(battle.IsOpen());
    EXPECT_EQ(Posted().size(), 3u) << "the battle tutorial menu closes without a message";
}

TEST_F(TutorialMenusTest, FreePlayClosesTheMenuFirstAndIsReportedOnce)
{
    VanteoPopUp_Tutorial tutorial;
    ASSERT_EQ(tutorial.Open(), 1);
    ASSERT_TRUE(world.ClickOn(L"popup_tutorial_freeplay_Normal1"));
    world.Frame(tutorial, 0.01f);
    EXPECT_FALSE(tutorial.m_bClosing) << "free play during the opening does nothing";
    world.Run(tutorial, 0.3f);
    ASSERT_TRUE(world.ClickOn(L"popup_tutorial_freeplay_Normal1"));
    // A close click during the closing changes nothing.
    world.ClickOn(L"Anibtn_popup_close");
    EXPECT_TRUE(world.messages.posted.empty());
    world.Run(tutorial, 0.5f);
    EXPECT_FALSE(tutorial.IsOpen());
    EXPECT_EQ(Posted(), (std::vector<Pair>{{MSG_TUTORIAL_CHOSEN, kTutorialChoiceFreePlay}}));
    ASSERT_EQ(tutorial.Open(), 1);
    EXPECT_EQ(tutorial.m_nChoice, kTutorialChoiceNone);
}

TEST_F(TutorialMenusTest, AMenuWithoutAnimationClosesAtOnceInsteadOfNever)
{
    world.AddFile("data/tutorial.xml",
                  Layout("Wnd_tutorial", Child({"BUTTON", "popup_tutorial_freeplay_Normal1", 100, 100, 100, 100}), ""));
    VanteoPopUp_Tutorial tutorial;
    ASSERT_EQ(tutorial.Open(), 1);
    ASSERT_EQ(tutorial.m_pWindow->GetDirector(), nullptr);
    ASSERT_TRUE(world.ClickOn(L"popup_tutorial_freeplay_Normal1"));
    world.Frame(tutorial, 0.01f);
    EXPECT_FALSE(tutorial.IsOpen());
    EXPECT_EQ(Posted(), (std::vector<Pair>{{MSG_TUTORIAL_CHOSEN, kTutorialChoiceFreePlay}}));
}

TEST_F(TutorialMenusTest, AClosingKeyReachesOnlyThePopUpUpdatedFirst)
{
    // The tutorial menu's slide choice opened the general tutorial above it; updated first, the
    // tutorial takes Escape once it may be closed, and the menu stays.
    std::string body = Child({"LABEL", "Label_tutorial_page", 10, 10, 60, 30}) +
                       Child({"BUTTON", "Anibtn_tutorial_next", 500, 600, 100, 40}) +
                       Child({"BUTTON", "Anibtn_tutorial_close", 700, 600, 100, 40});
    world.AddFile("data/quibly.xml", Layout("Wnd_quibly", body, "quibly_anim.xml"));
    world.AddFile("data/quibly_anim.xml", Animation("Wnd_quibly", {{"quibly_1", 100}, {"quibly_out", 100}}));
    struct NoMovies : MoviePopUpServices {
        MovieTexture* OpenMovie(const std::string&) override { return nullptr; }
        int LoadSound(const std::string&) override { return -1; }
    } services;
    SetMovieServices(&services);
    for (int seen : {1, 0}) {
        GameConfig.showTutorial = seen;
        VanteoPopUp_Quibly upper;
        VanteoPopUp_Tutorial menu;
        ASSERT_EQ(menu.Open(), 1);
        ASSERT_EQ(upper.Open(), 1);
        auto frame = [&](std::set<int> keys) {
            world.input.keys = std::move(keys);
            upper.Update(0.05f);
            menu.Update(0.05f);
            world.system->Update(0.05f);
            world.keyboard.Update();
            world.input.keys.clear();
        };
        for (int i = 0; i < 6; ++i)
            frame({});
        frame({VK_ESCAPE});
        for (int i = 0; i < 6; ++i)
            frame({});
        EXPECT_EQ(upper.IsOpen(), seen == 0) << "seen " << seen;
        EXPECT_EQ(menu.IsOpen(), seen == 1) << "seen " << seen;
        upper.Close();
        menu.Close();
    }
    SetMovieServices(nullptr);
    GameConfig = GameConfigRecord{};
}

TEST_F(TutorialMenusTest, BattleHelpCategoriesRestartTheirScenesAndPictures)
{
    AddBattleHelp(true);
    VanteoPopUp_BattleHelp help;
    ASSERT_EQ(help.Open(), 1);
    EXPECT_EQ(CurrentScene(help), L"help_in");
    kv::KVWnd* overlay = world.Find(L"howto_battle_list_on");
    ASSERT_NE(overlay, nullptr);
    EXPECT_TRUE(overlay->IsMouseTransparent());
    EXPECT_EQ(overlay->GetZOrder(), -5);
    // A category click during the opening cuts it short; the overlay lets the click through.
    world.Frame(help, 0.05f);
    ASSERT_TRUE(world.ClickOn(L"Anibtn_bthelp_categorynum_3"));
    EXPECT_EQ(CurrentScene(help), L"help_3");
    auto* picture = dynamic_cast<kv::KVPicture*>(world.Find(L"Pic_battlehelp_3"));
    ASSERT_NE(picture, nullptr);
    ASSERT_NE(picture->GetPictureDirector(), nullptr);
    kv::KVAnimation* scene = picture->GetPictureDirector()->currentScene;
    ASSERT_NE(scene, nullptr);
    world.Run(help, 0.3f);
    EXPECT_GT(scene->time, 0.2f);
    // The same category again restarts both from the start.
    ASSERT_TRUE(world.ClickOn(L"Anibtn_bthelp_categorynum_3"));
    EXPECT_EQ(CurrentScene(help), L"help_3");
    EXPECT_TRUE(help.m_pWindow->IsUIScenePlaying());
    EXPECT_LT(picture->GetPictureDirector()->currentScene->time, 0.01f);
    // Closing while the category's scene plays is ignored.
    ASSERT_TRUE(world.ClickOn(L"Anibtn_battlehelp_close"));
    EXPECT_FALSE(help.m_bClosing);
    world.Run(help, 0.3f);
    world.Frame(help, 0.01f, {VK_BACK});
    EXPECT_EQ(CurrentScene(help), L"help_out");
    world.Run(help, 0.4f);
    EXPECT_FALSE(help.IsOpen());
    EXPECT_TRUE(world.messages.posted.empty()) << "the battle help reports nothing";
    ASSERT_EQ(help.Open(), 1);
    EXPECT_EQ(CurrentScene(help), L"help_in");
}

TEST_F(TutorialMenusTest, BattleHelpWithoutItsListOverlayStillWorks)
{
    AddBattleHelp(false);
    VanteoPopUp_BattleHelp help;
    ASSERT_EQ(help.Open(), 1);
    world.Run(help, 0.3f);
    ASSERT_TRUE(world.ClickOn(L"Anibtn_bthelp_categorynum_9"));
    EXPECT_EQ(CurrentScene(help), L"help_9");
    world.Run(help, 0.3f);
    world.Frame(help, 0.01f, {VK_ESCAPE});
    world.Run(help, 0.4f);
    EXPECT_FALSE(help.IsOpen());
}

TEST_F(TutorialMenusTest, TheMainMenuOpensEachMenuAndCountsTheBattleHelpUntilItCloses)
{
    AddBattleHelp(true);
    world.AddFile("data/keyhelp.xml", Layout("Wnd_keyhelp", Child({"BUTTON", "Anibtn_popup_ok", 600, 600, 80, 40}),
                                             "keyhelp_anim.xml"));
    world.AddFile("data/keyhelp_anim.xml",
                  Animation("Wnd_keyhelp", {{"battle_right_in", 100}, {"battle_right_out", 100}}));
    MainMenuPopUps popUps;
    struct Opener {
        std::function<void()> open;
        const wchar_t* top;
    };
    const Opener openers[] = {{[&] { popUps.OpenTutorialMenu(); }, L"Wnd_tutorial"},
                              {[&] { popUps.OpenBattleTutorialMenu(); }, L"Wnd_bttutorial"},
                              {[&] { popUps.OpenBattleHelp(); }, L"Wnd_bthelp"},
                              {[&] { popUps.OpenHowTo(HowToKind::Battle); }, L"Wnd_bthelp"},
                              {[&] { popUps.OpenKeyHelp(0); }, L"Wnd_keyhelp"}};
    for (const Opener& opener : openers) {
        EXPECT_FALSE(popUps.IsAnyOpen());
        opener.open();
        EXPECT_TRUE(popUps.IsAnyOpen());
        EXPECT_NE(world.Find(opener.top), nullptr);
        popUps.CloseAll();
        EXPECT_EQ(world.Find(opener.top), nullptr);
    }
    // The menu music waits for the battle help to close, which it learns from IsAnyOpen alone.
    popUps.OpenBattleHelp();
    for (int i = 0; i < 8; ++i)
        popUps.UpdateAll(0.05f), world.system->Update(0.05f);
    world.input.keys = {VK_ESCAPE};
    popUps.UpdateAll(0.05f);
    world.input.keys.clear();
    world.keyboard.Update();
    EXPECT_TRUE(popUps.IsAnyOpen()) << "closing";
    for (int i = 0; i < 8; ++i)
        popUps.UpdateAll(0.05f), world.system->Update(0.05f);
    EXPECT_FALSE(popUps.IsAnyOpen());
    EXPECT_TRUE(world.messages.posted.empty());
}

} // namespace
