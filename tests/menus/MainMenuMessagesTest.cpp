// The main menu's answers to its pop-ups and its launches: change-scene payloads from buttons and
// messages, the quit question, self-play resets, cube purchases, options and skins.
#include "MainMenuFixture.h"

#include <functional>

namespace menutest {
namespace {

using Menu = VanteoMainMenuScene;

class MainMenuMessagesTest : public MainMenuFixture {};

struct LaunchCase {
    const char* what;
    int start;  // the screen the menu is entered with
    std::function<void(MainMenuFixture&)> act;
    std::vector<ChangeScene> expected;
};

class LaunchTest : public MainMenuFixture, public ::testing::WithParamInterface<LaunchCase> {
public:
    void Press(int screen, const char* name) { Click(screen, name); }
    void Send(int id, const PayloadWriter& payload) { Deliver(id, payload); }
};

TEST_P(LaunchTest, PostsTheChangeSceneMessage)
{
    GameConfig.unlockIQ = 1;
    GameConfig.unlockMulti = 1;
    const LaunchCase& c = GetParam();
    Enter(c.start);
    Settle();
    c.act(*this);
    EXPECT_EQ(Launches(), c.expected) << c.what;
}

std::function<void(MainMenuFixture&)> Message(int id, std::vector<int> values)
{
    return [id, values](MainMenuFixture& f) {
        PayloadWriter payload;
        for (int v : values)
            payload.I32(v);
        static_cast<LaunchTest&>(f).Send(id, payload);
    };
}

std::function<void(MainMenuFixture&)> Button(int screen, const char* name)
{
    return [screen, name](MainMenuFixture& f) { static_cast<LaunchTest&>(f).Press(screen, name); };
}

INSTANTIATE_TEST_SUITE_P(
    Launches, LaunchTest,
    ::testing::Values(
        LaunchCase{"start battle", -1, Message(2046, {0, 3}), {{"VanteoScene", 3, 0}}},
        LaunchCase{"start push", -1, Message(2046, {1, 10}), {{"VanteoScene_Push", 10, 0}}},
        LaunchCase{"start combo", -1, Message(2046, {2, 0}), {{"VanteoScene_ComboChallenge", 7, 0}}},
        LaunchCase{"start point", -1, Message(2046, {2, 1}), {{"VanteoScene_PointChallenge", 2, 0}}},
        LaunchCase{"start unknown kind", -1, Message(2046, {3, 1}), {}},
        LaunchCase{"stage hard", -1, Message(2043, {1, 49}), {{"VanteoScene_StageChallenge", 1, 49}}},
        LaunchCase{"stage easy", -1, Message(2043, {0, 3}), {{"VanteoScene_StageChallenge", 0, 3}}},
        LaunchCase{"stage unknown difficulty", -1, Message(2043, {2, 0}), {}},
        LaunchCase{"tutorial free play", -1, Message(2052, {2}), {{"VanteoScene_Puzzle", 2, 0}}},
        LaunchCase{"tutorial slides", -1, Message(2052, {0}), {}},
        LaunchCase{"button easy puzzles", 3, Button(3, "Anibtn_sub_btn_1"), {{"VanteoPuzzleSelectScene2", 0, 0}}},
        LaunchCase{"button own puzzles", 3, Button(3, "Anibtn_sub_btn_2_1"), {{"VanteoPuzzleSelectScene2", 3, 0}}},
        LaunchCase{"button normal puzzles", 3, Button(3, "Anibtn_sub_btn_1_1"), {{"VanteoPuzzleSelectScene2", 1, 0}}},
        LaunchCase{"button editor", 3, Button(3, "Anibtn_sub_btn_2"), {{"VanteoPuzzleEditorScene", 0, -1}}},
        LaunchCase{"multi host", 4, Button(4, "Btn_multi_host"), {{"QuiblyLobbyScene", 1, 0}}},
        LaunchCase{"multi join", 4, Button(4, "Btn_multi_join"), {{"QuiblyLobbyScene", 2, 0}}}),
    [](const ::testing::TestParamInfo<LaunchCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

TEST_F(MainMenuMessagesTest, PlatformButtonsWithoutAPlatformUserWarnAndPostNothing)
{
    GameConfig.unlockMulti = 1;
    platformUser = false;
    Enter(4);
    Settle();
    Click(4, "Btn_multi_host");
    Click(4, "Btn_multi_join");
    EXPECT_TRUE(Launches().empty());
    EXPECT_EQ(popUps.calls.back(), "Message 0 WARNING / STEAM IS REQUIRED !!");
}

TEST_F(MainMenuMessagesTest, ALockedModeButtonOffersThePurchaseAndDoesNotStart)
{
    WriteUnlockFile("<Puzzle><UnlockInfo BtnName=\"Anibtn_sub2_btn_1\" UnlockPic=\"Anibtn_lock_combo\" "
                    "CubePic=\"Pic_cube_combo\" Cube=\"300\"/></Puzzle>");
    GameConfig.cubes = 300;
    Menu& menu = Enter(0);
    Settle();
    // The entry is locked: its button is disabled and the lock picture takes the click.
    EXPECT_FALSE(Find(0, "Anibtn_sub2_btn_1")->IsEnabled());
    kv::WindowEventArgs_<kv::KVWnd> fromButton(Find(0, "Anibtn_sub2_btn_1"));
    EXPECT_EQ(menu.CheckLockedButton(0, fromButton), 1);
    EXPECT_EQ(popUps.calls.back(), "Offer 300 300");
    menu.OnComboChallenge(fromButton);
    EXPECT_FALSE(popUps.Called("Start 2 0 table"));
}

struct PurchaseCase {
    int cubes;
    bool offered;
};

class PurchaseTest : public MainMenuFixture, public ::testing::WithParamInterface<PurchaseCase> {};

TEST_P(PurchaseTest, ALockPictureOffersThePurchaseWhenTheCubesReachThePrice)
{
    WriteUnlockFile("<Puzzle><UnlockInfo BtnName=\"Anibtn_sub2_btn_1\" UnlockPic=\"Anibtn_lock_combo\" "
                    "CubePic=\"Pic_cube_combo\" Cube=\"300\"/></Puzzle>");
    GameConfig.cubes = GetParam().cubes;
    Menu& menu = Enter(0);
    Settle();
    Click(0, "Anibtn_lock_combo");
    if (!GetParam().offered) {
        EXPECT_EQ(popUps.calls.back(), "Short 300 299 1");
        EXPECT_EQ(sounds.played.back(), kSoundNotEnoughCubes);
        EXPECT_EQ(menu.GetPendingUnlock(), nullptr);
        EXPECT_TRUE(Find(0, "Pic_cube_combo_gray")->IsVisible());
        return;
    }
    EXPECT_EQ(popUps.calls.back(), "Offer 300 300");
    ASSERT_NE(menu.GetPendingUnlock(), nullptr);
    EXPECT_TRUE(Find(0, "Pic_cube_combo")->IsVisible());
    EXPECT_FALSE(Find(0, "Pic_cube_combo_gray")->IsVisible());

    Deliver(2037);
    EXPECT_EQ(GameConfig.cubes, 0);
    EXPECT_EQ(menu.GetPendingUnlock(), nullptr);
    EXPECT_FALSE(Find(0, "Anibtn_lock_combo")->IsVisible());
    EXPECT_FALSE(Find(0, "Pic_cube_combo")->IsVisible());
    EXPECT_TRUE(Find(0, "Anibtn_sub2_btn_1")->IsEnabled());
    EXPECT_EQ(sounds.played.back(), kSoundPurchaseDone);
    for (int i = 0; i < Menu::kSubMenuCount; ++i)
        EXPECT_EQ(CubeLabel(i), "0") << i;
    // Both files hold the purchase at once.
    EXPECT_NE(ConfigFile().find("<Cube Count=\"0\""), std::string::npos);
    EXPECT_NE(m_dir.Read("Data/PlayData/QuiblyUnlockMenu.xml").find("IsUnlock=\"1\""), std::string::npos);
    // The bought mode starts now.
    Click(0, "Anibtn_sub2_btn_1");
    EXPECT_TRUE(popUps.Called("Start 2 0 table"));
}

INSTANTIATE_TEST_SUITE_P(Cubes, PurchaseTest, ::testing::Values(PurchaseCase{300, true}, PurchaseCase{299, false}));

TEST_F(MainMenuMessagesTest, ASpecialModePurchaseEndsItsOfferAndALaterShortfallNamesNothingStale)
{
    WriteUnlockFile("<BattleGeek><UnlockInfo BtnName=\"btn_btgeek_clone\" UnlockPic=\"btn_btgeek_lock_clone\" CubePic=\"\" "
                    "Cube=\"400\"/></BattleGeek>");
    GameConfig.cubes = 500;
    Menu& menu = Enter(1);
    Settle();
    Deliver(2048, PayloadWriter().I32(0));
    EXPECT_EQ(popUps.calls.back(), "Offer 400 500");
    Deliver(2037);
    EXPECT_EQ(GameConfig.cubes, 100);
    EXPECT_TRUE(popUps.Called("SpecialLocks"));
    EXPECT_EQ(menu.GetPendingUnlock(), nullptr);
    EXPECT_EQ(GetUnlockInfo(UNLOCK_BATTLE_GEEK, 0)->isUnlock, 1);
    // A confirmation without an offer buys nothing.
    Deliver(2037);
    EXPECT_EQ(GameConfig.cubes, 100);
    popUps.calls.clear();
    Deliver(2039);
    EXPECT_TRUE(popUps.calls.empty());
}

TEST_F(MainMenuMessagesTest, ASkinBoughtInTheSkinPopUpIsSavedAtOnce)
{
    GameConfig.cubes = 1000;
    Enter(-1);
    popUps.skinOpen = true;
    popUps.pendingSkin = 2;
    Deliver(2037);
    EXPECT_EQ(GameConfig.skin3Unlocked, 1);
    EXPECT_EQ(GameConfig.cubes, 0);
    EXPECT_TRUE(popUps.Called("SkinBought 2"));
    EXPECT_NE(ConfigFile().find("Skin3=\"1\""), std::string::npos);
}

// Cubes can change while the menu is not listening (an achievement bonus confirmed while the
// menu loads): the count the sub-menus show follows the options value, so it never disagrees
// with the purchase questions.
TEST_F(MainMenuMessagesTest, TheCubeCountFollowsCubesEarnedWithoutAMessage)
{
    GameConfig.cubes = 3000;
    Enter(0);
    Settle();
    EXPECT_EQ(CubeLabel(0), "3000");
    GameConfig.cubes = 3200;
    Step();
    for (int i = 0; i < Menu::kSubMenuCount; ++i)
        EXPECT_EQ(CubeLabel(i), "3200") << i;
}

TEST_F(MainMenuMessagesTest, QuitYesQuitsInTheNextFrameAndNoThanksThePlayer)
{
    Enter(-1);
    Deliver(2036, PayloadWriter().I32(0));
    EXPECT_EQ(popUps.calls.back(), "Message 0 THANKS / THANK YOU");
    Deliver(2036, PayloadWriter().I32(5));
    EXPECT_EQ(popUps.calls.back(), "Message 0 THANKS / THANK YOU");
    Step();
    EXPECT_EQ(quits, 0);
    Deliver(2035, PayloadWriter().I32(0));
    EXPECT_EQ(quits, 0);
    Step();
    EXPECT_EQ(quits, 1);
}

struct ResetCase {
    int param;
    const char* file;
    const char* initial;
    const char* startMode;
};

class ResetTest : public MainMenuFixture, public ::testing::WithParamInterface<ResetCase> {};

TEST_P(ResetTest, RestoresTheInitialRecordingAndStacksTheWins)
{
    const ResetCase& c = GetParam();
    m_dir.Write(c.file, "played");
    m_dir.Write(c.initial, "initial");
    GameConfig.selfWinBattle = 3;
    GameConfig.selfWinStackBattle = 2;
    GameConfig.selfWinPush = 4;
    GameConfig.selfWinStackPush = 1;
    Menu& menu = Enter(2);
    Deliver(2035, PayloadWriter().I32(c.param));
    EXPECT_EQ(m_dir.Read(c.file), "initial");
    EXPECT_TRUE(popUps.Called(c.startMode));
    EXPECT_TRUE(menu.GetAutoPopUp()->IsVisible());
    EXPECT_TRUE(menu.GetAutoPopUp()->IsUIScenePlaying());
    std::string config = ConfigFile();
    if (c.param == 1) {
        EXPECT_EQ(GameConfig.selfWinBattle, 0);
        EXPECT_EQ(GameConfig.selfWinStackBattle, 5);
        EXPECT_NE(config.find("<SelfWinCountStack Battle=\"5\""), std::string::npos) << config;
    } else {
        EXPECT_EQ(GameConfig.selfWinPush, 0);
        EXPECT_EQ(GameConfig.selfWinStackPush, 5);
        EXPECT_NE(config.find("Push=\"5\""), std::string::npos) << config;
    }
}

// The counters come from the options file, which may hold anything: stacking saturates.
TEST_P(ResetTest, StackedWinsHoldAtTheIntLimit)
{
    const ResetCase& c = GetParam();
    m_dir.Write(c.initial, "initial");
    GameConfig.selfWinBattle = 3;
    GameConfig.selfWinStackBattle = 2147483646;
    GameConfig.selfWinPush = 4;
    GameConfig.selfWinStackPush = 2147483646;
    Enter(2);
    Deliver(2035, PayloadWriter().I32(c.param));
    EXPECT_EQ(c.param == 1 ? GameConfig.selfWinStackBattle : GameConfig.selfWinStackPush, 2147483647);
}

INSTANTIATE_TEST_SUITE_P(Modes, ResetTest,
                         ::testing::Values(ResetCase{1, "Data/PlayData/BattleYour.gst", "Data/PlayData/BattleYour_Init.gst",
                                                     "StartMode 0 13"},
                                           ResetCase{2, "Data/PlayData/PushYour.puz", "Data/PlayData/PushYour_Init.puz",
                                                     "StartMode 1 10"}));

TEST_F(MainMenuMessagesTest, AResetWithoutTheInitialRecordingKeepsThePlayedOne)
{
    m_dir.Write("Data/PlayData/BattleYour.gst", "played");
    Enter(1);
    Deliver(2035, PayloadWriter().I32(1));
    EXPECT_EQ(m_dir.Read("Data/PlayData/BattleYour.gst"), "played");
}

struct OptionsCase {
    const char* name;
    int fullScreen;
    bool deviceFull;
    const char* expectedName;
    int expectedToggles;
};

class OptionsTest : public MainMenuFixture, public ::testing::WithParamInterface<OptionsCase> {};

TEST_P(OptionsTest, AppliesAndSavesTheOptions)
{
    const OptionsCase& c = GetParam();
    fullScreen = c.deviceFull;
    GameConfig.fullScreen = c.deviceFull;
    Enter(-1);
    Deliver(2041, PayloadWriter().Text(c.name, 128).I32(c.fullScreen).I32(1).F32(0.25f).F32(0.75f));
    EXPECT_STREQ(GameConfig.playerName, c.expectedName);
    EXPECT_EQ(toggles, c.expectedToggles);
    EXPECT_EQ(GameConfig.fullScreen, c.fullScreen);
    EXPECT_EQ(GameConfig.leftHand, 1);
    EXPECT_FLOAT_EQ(GetOptionsSoundLevels().GetMusicVolume(), 0.25f);
    EXPECT_FLOAT_EQ(GetOptionsSoundLevels().GetEffectsVolume(), 0.75f);
    EXPECT_NE(ConfigFile().find(std::string("Name=\"") + c.expectedName + "\""), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Values, OptionsTest,
                         ::testing::Values(OptionsCase{"", 0, false, "Player", 0},
                                           OptionsCase{"Mira", 1, false, "Mira", 1},
                                           OptionsCase{"Mira", 1, true, "Mira", 0},
                                           OptionsCase{"퀴블리", 0, true, "퀴블리", 1}));

TEST_F(MainMenuMessagesTest, ChangingTheSkinLoadsItSavesItAndAnnouncesIt)
{
    GameConfig.skin2Unlocked = 1;
    Menu& menu = Enter(-1);
    Deliver(2042, PayloadWriter().I32(0));  // the skin already worn
    EXPECT_TRUE(skinLoads.empty());
    EXPECT_FALSE(menu.GetAutoPopUp()->IsVisible());
    Deliver(2042, PayloadWriter().I32(2));  // a skin still locked
    EXPECT_TRUE(skinLoads.empty());
    Deliver(2042, PayloadWriter().I32(1));
    EXPECT_EQ(skinLoads, std::vector<int>{1});
    EXPECT_EQ(GameConfig.currentSkin, 1);
    EXPECT_NE(ConfigFile().find("LastSkin=\"1\""), std::string::npos);
    EXPECT_TRUE(menu.GetAutoPopUp()->IsVisible());
    EXPECT_EQ(menu.GetAutoPopUp()->GetDirector()->currentScene->name, L"skin_changed_2");
}

TEST_F(MainMenuMessagesTest, ASkinThatFailsToLoadChangesNothingButStillAnnounces)
{
    GameConfig.skin2Unlocked = 1;
    skinLoadResult = 0;
    Menu& menu = Enter(-1);
    Deliver(2042, PayloadWriter().I32(1));
    EXPECT_EQ(GameConfig.currentSkin, 0);
    EXPECT_TRUE(menu.GetAutoPopUp()->IsVisible());
}

TEST_F(MainMenuMessagesTest, TheMenuMusicComesBackAfterMoviesTutorialsAndTheBattleHowTo)
{
    Enter(1);
    sounds.playing.clear();
    Deliver(2055);
    EXPECT_TRUE(sounds.IsPlaying(kMusicMenu));
    sounds.playing.clear();
    Deliver(2053);
    EXPECT_TRUE(sounds.IsPlaying(kMusicMenu));
    // The battle help answers nothing: the music returns once no pop-up is open.
    sounds.playing.clear();
    popUps.anyOpen = true;
    Deliver(2051, PayloadWriter().I32(0));
    Step();
    EXPECT_FALSE(sounds.IsPlaying(kMusicMenu));
    popUps.anyOpen = false;
    Step();
    EXPECT_TRUE(sounds.IsPlaying(kMusicMenu));
    // A video tutorial choice plays the video and stops the menu music.
    Deliver(2052, PayloadWriter().I32(1));
    EXPECT_TRUE(popUps.Called("Video"));
    EXPECT_FALSE(sounds.IsPlaying(kMusicMenu));
}

} // namespace
} // namespace menutest
