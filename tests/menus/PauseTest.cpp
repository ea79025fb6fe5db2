// The pause menu and its key help: the skin's layout, the four choices by button and key, the
// animation guard, the nested key help and its animation names, the sound controls, and a
// pause that cannot open.
#include "PopUpKit.h"

#include "data/Options.h"
#include "engine/SkinTable.h"
#include "kv/KVDirector.h"
#include "kv/KVSlider.h"
#include "menus/PopUpPause.h"
#include "support/TempDir.h"

#include <helvane/ResourceFileManager.h>
#include <win32/VirtualKeys.h>

#include <filesystem>

using namespace popuptest;

namespace {

constexpr float kAnim = 0.2f; // every fixture animation

std::string Slider(const std::string& name, int y)
{
    return "<child type=\"SLIDER\" name=\"" + name + "\" horizontal=\"1\"><pos x=\"100\" y=\"" + std::to_string(y) +
           "\"/><rect l=\"0\" t=\"0\" r=\"220\" b=\"20\"/><control type=\"THUMB\" name=\"Btn_" + name +
           "\"><pos x=\"0\" y=\"0\"/><rect l=\"0\" t=\"0\" r=\"20\" b=\"20\"/></control>"
           "<sliderect l=\"0\" t=\"0\" r=\"220\" b=\"20\"/></child>";
}

class PauseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir.Write("data/Skin/KVSkin_Default.xml", "<VanteoSkin><Common LayoutPause=\"pause_fixture.xml\"/></VanteoSkin>");
        std::string children;
        int y = 10;
        for (const char* name : {"AniBtn_pause_resume", "AniBtn_pause_retry", "AniBtn_pause_quit", "Anibtn_pause_exit",
                                 "Anibtn_pause_keyhelp", "btn_popup_sound_music_mute_off", "btn_popup_sound_music_mute_on",
                                 "btn_popup_sound_soundeffects_mute_off", "btn_popup_sound_soundeffects_mute_on"}) {
            children += Child({"BUTTON", name, 10, y, 60, 30});
            y += 40;
        }
        children += Slider("HSlider", 400) + Slider("HSlider1", 440) + Child({"LABEL", "Label_current_mode", 100, 500, 300, 20});
        m_dir.Write("data/layout/pause_fixture.xml", Layout("Wnd_pause", children, "pause_anim.xml"));
        m_dir.Write("data/pause_anim.xml", Animation("Wnd_pause", {{"pause_in", 200}, {"pause_out", 200}}));

        std::string help = Child({"BUTTON", "Anibtn_popup_ok", 600, 600, 80, 40});
        std::initializer_list<std::pair<std::string, int>> scenes = {
            {"battle_right_in", 200}, {"battle_right_out", 200}, {"battle_left_in", 200}, {"battle_left_out", 200},
            {"iq_right_in", 200},     {"iq_right_out", 200},     {"iq_left_in", 200},     {"iq_left_out", 200},
            {"puzzle_right_in", 200}, {"puzzle_right_out", 200}, {"puzzle_left_in", 200}, {"puzzle_left_out", 200}};
        m_dir.Write("data/keyhelp.xml", Layout("Wnd_help", help, "help_anim.xml"));
        m_dir.Write("data/help_anim.xml", Animation("Wnd_help", scenes));
        CResourceFileManager::GetSingleton().CollectFileNameList(L"\\data\\");
        SkinTable.LoadSkin(0);
        ASSERT_STREQ(SkinTable.GetSkinString(VanteoPopUp_Pause::kSkinLayoutPause), "pause_fixture.xml");
        GameConfig.leftHand = 0;
        GetOptionsSoundLevels().SetMusicMute(false);
        GetOptionsSoundLevels().SetEffectsMute(false);
    }
    void TearDown() override { GameConfig.leftHand = 0; }

    // Opens the pause and lets "pause_in" end.
    void OpenAndSettle(int mode = VanteoPopUp_Pause::kBattle)
    {
        ASSERT_EQ(pause.Open(), 1);
        pause.Setup(mode, "BATTLE.EASY");
        world.Run(pause, kAnim + 0.2f);
    }
    // Runs frames until the pause has closed (or a second has passed).
    void RunUntilClosed()
    {
        for (int frame = 0; frame < 20 && pause.IsOpen(); ++frame)
            world.Frame(pause, 0.05f);
    }

    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
    PopUpWorld world;
    VanteoPopUp_Pause pause;
};

struct ChoiceCase {
    const wchar_t* button; // clicked, or null for the key
    int key;
    int32_t message;
};

class PauseChoices : public PauseTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(PauseChoices, AChoiceClosesThePauseAndPostsItsMessage)
{
    const ChoiceCase c = GetParam();
    OpenAndSettle();
    EXPECT_EQ(world.Text(L"Label_current_mode"), L"BATTLE.EASY");
    if (c.button)
        EXPECT_TRUE(world.ClickOn(c.button));
    else
        world.Frame(pause, 0.05f, {c.key});
    EXPECT_TRUE(pause.m_bClosing);
    RunUntilClosed();
    EXPECT_FALSE(pause.IsOpen());
    EXPECT_EQ(world.messages.Ids(), (std::vector<int32_t>{c.message}));
    EXPECT_TRUE(world.messages.posted[0].payload.empty());
}

INSTANTIATE_TEST_SUITE_P(Choices, PauseChoices,
                         ::testing::Values(ChoiceCase{L"AniBtn_pause_resume", 0, MSG_PAUSE_RESUME},
                                           ChoiceCase{L"AniBtn_pause_retry", 0, MSG_PAUSE_RETRY},
                                           ChoiceCase{L"AniBtn_pause_quit", 0, MSG_PAUSE_QUIT},
                                           ChoiceCase{L"Anibtn_pause_exit", 0, MSG_PAUSE_EXIT},
                                           ChoiceCase{nullptr, VK_ESCAPE, MSG_PAUSE_RESUME},
                                           ChoiceCase{nullptr, VK_BACK, MSG_PAUSE_RESUME},
                                           ChoiceCase{nullptr, VK_RETURN, MSG_PAUSE_RESUME}));

TEST_F(PauseTest, TheAnimationGuardIgnoresChoicesWhileAnAnimationRuns)
{
    ASSERT_EQ(pause.Open(), 1);
    EXPECT_EQ(pause.Open(), 0);
    world.ClickOn(L"AniBtn_pause_quit"); // during "pause_in"
    world.Frame(pause, 0.05f, {VK_ESCAPE});
    EXPECT_FALSE(pause.m_bClosing);
    world.Run(pause, kAnim + 0.2f);

    pause.OnQuit(); // the scene's Q
    world.Frame(pause, 0.05f);
    pause.OnRetry(); // R while "pause_out" runs
    pause.OnKeyHelp();
    EXPECT_FALSE(pause.m_Help.IsOpen());
    RunUntilClosed();
    EXPECT_EQ(world.messages.Ids(), (std::vector<int32_t>{MSG_PAUSE_QUIT}));

    pause.OnExit(); // closed: nothing
    world.Run(pause, 0.5f);
    EXPECT_EQ(world.messages.Ids(), (std::vector<int32_t>{MSG_PAUSE_QUIT}));
}

TEST_F(PauseTest, EscapeClosesTheKeyHelpFirstAndThenResumes)
{
    OpenAndSettle(VanteoPopUp_Pause::kLogicPuzzle);
    ASSERT_TRUE(world.ClickOn(L"Anibtn_pause_keyhelp"));
    ASSERT_TRUE(pause.m_Help.IsOpen());
    kv::KVDirector* director = pause.m_Help.m_pWindow->GetDirector();
    ASSERT_NE(director->currentScene, nullptr);
    EXPECT_EQ(director->currentScene->name, L"iq_right_in");
    world.Run(pause, kAnim + 0.2f);

    pause.OnRetry(); // the pause rests while its help is open
    world.ClickOn(L"AniBtn_pause_quit");
    world.Frame(pause, 0.05f, {VK_ESCAPE});
    EXPECT_FALSE(pause.m_bClosing);
    EXPECT_EQ(director->currentScene->name, L"iq_right_out");
    for (int frame = 0; frame < 20 && pause.m_Help.IsOpen(); ++frame)
        world.Frame(pause, 0.05f);
    EXPECT_FALSE(pause.m_Help.IsOpen());
    EXPECT_TRUE(pause.IsOpen());
    EXPECT_TRUE(world.messages.posted.empty()) << "the key help posts nothing";

    world.Frame(pause, 0.05f, {VK_ESCAPE});
    RunUntilClosed();
    EXPECT_EQ(world.messages.Ids(), (std::vector<int32_t>{MSG_PAUSE_RESUME}));
}

struct HelpCase {
    int mode;
    int leftHand;
    const wchar_t* opening;
    const wchar_t* closing;
};

class KeyHelpNames : public PauseTest, public ::testing::WithParamInterface<HelpCase> {};

// The hand is read when the help opens: a change of the option while it is open does not
// change its closing animation.
TEST_P(KeyHelpNames, TheModeAndHandNameTheAnimations)
{
    const HelpCase c = GetParam();
    GameConfig.leftHand = c.leftHand;
    OpenAndSettle(c.mode);
    pause.OnKeyHelp();
    ASSERT_TRUE(pause.m_Help.IsOpen());
    kv::KVDirector* director = pause.m_Help.m_pWindow->GetDirector();
    EXPECT_EQ(director->currentScene->name, c.opening);
    world.Run(pause, kAnim + 0.2f);
    GameConfig.leftHand = !c.leftHand;
    ASSERT_TRUE(world.ClickOn(L"Anibtn_popup_ok"));
    EXPECT_EQ(director->currentScene->name, c.closing);
}

INSTANTIATE_TEST_SUITE_P(
    ModesAndHands, KeyHelpNames,
    ::testing::Values(HelpCase{VanteoPopUp_Pause::kBattle, 0, L"battle_right_in", L"battle_right_out"},
                      HelpCase{VanteoPopUp_Pause::kBattle, 1, L"battle_left_in", L"battle_left_out"},
                      HelpCase{VanteoPopUp_Pause::kLogicPuzzle, 1, L"iq_left_in", L"iq_left_out"},
                      HelpCase{VanteoPopUp_Pause::kChallenge, 0, L"puzzle_right_in", L"puzzle_right_out"},
                      HelpCase{VanteoPopUp_Pause::kPush, 1, L"puzzle_left_in", L"puzzle_left_out"},
                      HelpCase{9, 0, L"puzzle_right_in", L"puzzle_right_out"},
                      HelpCase{-2, 1, L"battle_left_in", L"battle_left_out"}));

TEST_F(PauseTest, SlidersAndMutesActAtOnceAndOpeningReadsThemBack)
{
    OptionsSoundLevels& levels = GetOptionsSoundLevels();
    levels.SetMusicVolume(0.5f);
    levels.SetEffectsVolume(0.29f);
    OpenAndSettle();
    auto* music = dynamic_cast<kv::KVSlider*>(world.Find(L"HSlider"));
    auto* effects = dynamic_cast<kv::KVSlider*>(world.Find(L"HSlider1"));
    ASSERT_TRUE(music && effects);
    EXPECT_EQ(music->pos, 50);
    EXPECT_EQ(effects->pos, 29);
    EXPECT_FLOAT_EQ(levels.GetEffectsVolume(), 0.29f) << "opening the pause keeps the volume";

    music->SetPos(73);
    EXPECT_FLOAT_EQ(levels.GetMusicVolume(), 0.73f);
    EXPECT_FLOAT_EQ(pause.m_fMusicVolume, 0.73f);

    EXPECT_TRUE(world.Shown(L"btn_popup_sound_soundeffects_mute_off"));
    EXPECT_FALSE(world.Shown(L"btn_popup_sound_soundeffects_mute_on"));
    ASSERT_TRUE(world.ClickOn(L"btn_popup_sound_soundeffects_mute_off"));
    world.Frame(pause, 0.05f);
    EXPECT_TRUE(levels.IsEffectsMuted());
    EXPECT_FALSE(levels.IsMusicMuted());
    EXPECT_FALSE(world.Shown(L"btn_popup_sound_soundeffects_mute_off"));
    EXPECT_TRUE(world.Shown(L"btn_popup_sound_soundeffects_mute_on"));

    pause.Close();
    ASSERT_EQ(pause.Open(), 1);
    world.Frame(pause, 0.05f);
    EXPECT_TRUE(world.Shown(L"btn_popup_sound_soundeffects_mute_on"));
    EXPECT_TRUE(world.Shown(L"btn_popup_sound_music_mute_off"));
    pause.Close();
    levels.SetEffectsMute(false);
}

// Without its layout the pause lets the scene resume, and the scene's keys find it closed.
TEST_F(PauseTest, APauseThatCannotOpenLetsTheSceneResume)
{
    std::filesystem::remove(m_dir.Path() / "data/layout/pause_fixture.xml");
    CResourceFileManager::GetSingleton().CollectFileNameList(L"\\data\\");
    EXPECT_EQ(pause.Open(), 0);
    EXPECT_FALSE(pause.IsOpen());
    EXPECT_EQ(world.messages.Ids(), (std::vector<int32_t>{MSG_PAUSE_RESUME}));
    pause.Setup(VanteoPopUp_Pause::kBattle, "BATTLE");
    pause.OnRetry();
    pause.OnKeyHelp();
    world.Frame(pause, 0.05f, {VK_ESCAPE});
    EXPECT_FALSE(pause.m_Help.IsOpen());
    EXPECT_EQ(world.messages.Ids(), (std::vector<int32_t>{MSG_PAUSE_RESUME}));
}

} // namespace
