// The options dialog: filling it changes and saves nothing, the sliders round to the nearest
// step and act (and save) once moved, the hand buttons, the full-screen check, the mutes, and
// the closing message with the typed name cut at a character boundary.
#include "PopUpKit.h"

#include "data/Options.h"
#include "kv/KVEdit.h"
#include "kv/KVSlider.h"
#include "menus/PopUpOption.h"
#include "support/TempDir.h"

#include <win32/VirtualKeys.h>

#include <cstring>
#include <filesystem>

using namespace popuptest;

namespace {

constexpr float kAnim = 0.2f;

std::string Slider(const std::string& name, int y)
{
    return "<child type=\"SLIDER\" name=\"" + name + "\" horizontal=\"1\"><pos x=\"100\" y=\"" + std::to_string(y) +
           "\"/><rect l=\"0\" t=\"0\" r=\"220\" b=\"20\"/><control type=\"THUMB\" name=\"Btn_" + name +
           "\"><pos x=\"0\" y=\"0\"/><rect l=\"0\" t=\"0\" r=\"20\" b=\"20\"/></control>"
           "<sliderect l=\"0\" t=\"0\" r=\"220\" b=\"20\"/></child>";
}

class OptionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string c = "<child type=\"EDIT\" name=\"Edit_inputname\"><pos x=\"100\" y=\"20\"/><rect l=\"0\" t=\"0\" "
                        "r=\"200\" b=\"30\"/><asset type=\"CARET\" path=\"caret.png\"><rpos x=\"0\" y=\"0\"/><rect "
                        "l=\"0\" t=\"0\" r=\"2\" b=\"14\"/></asset></child>";
        c += Child({"BUTTON", "Anibtn_popup_fullscreen", 100, 80, 40, 40});
        c += Child({"PICTURE", "Pic_popup_check", 100, 80, 40, 40});
        int x = 100;
        for (const char* name : {"Anibtn_popup_lefthand", "Anibtn_popup_righthand", "btn_popup_sound_music_mute_off",
                                 "btn_popup_sound_music_mute_on", "btn_popup_sound_soundeffects_mute_off",
                                 "btn_popup_sound_soundeffects_mute_on"}) {
            c += Child({"BUTTON", name, x, 150, 60, 30});
            x += 70;
        }
        c += Slider("HSlider", 300) + Slider("HSlider1", 340) + Child({"BUTTON", "Anibtn_popup_ok", 500, 600, 80, 40});
        world.AddFile("data/options.xml", Layout("Wnd_options", c, "options_anim.xml"));
        world.AddFile("data/options_anim.xml", Animation("Wnd_options", {{"options_in", 200}, {"options_out", 200}}));
        GameConfig = GameConfigRecord{};
        std::strcpy(GameConfig.playerName, "Mina");
        OptionsSoundLevels& levels = GetOptionsSoundLevels();
        levels.SetMusicVolume(0.5f);
        levels.SetEffectsVolume(0.29f);
        levels.SetMusicMute(false);
        levels.SetEffectsMute(false);
    }
    void TearDown() override { GameConfig = GameConfigRecord{}; }

    void OpenAndSettle(int fullScreen = 0)
    {
        ASSERT_EQ(options.Open(), 1);
        options.Setup(fullScreen, 0.5f, 0.29f);
        world.Run(options, kAnim + 0.3f);
    }
    void CloseWith(int key)
    {
        world.Frame(options, 0.05f, {key});
        for (int frame = 0; frame < 20 && options.IsOpen(); ++frame)
            world.Frame(options, 0.05f);
    }
    kv::KVSlider* SliderNamed(const wchar_t* name) { return dynamic_cast<kv::KVSlider*>(world.Find(name)); }
    bool ConfigSaved() const { return std::filesystem::exists(kGameConfigFile); }

    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
    PopUpWorld world;
    VanteoPopUp_Option options;
};

TEST_F(OptionTest, FillingRoundsTheSlidersAndChangesOrSavesNothing)
{
    OpenAndSettle();
    EXPECT_EQ(SliderNamed(L"HSlider")->pos, 50);
    EXPECT_EQ(SliderNamed(L"HSlider1")->pos, 29);  // rounded, not cut to 28
    EXPECT_FLOAT_EQ(GetOptionsSoundLevels().GetEffectsVolume(), 0.29f);
    EXPECT_FALSE(ConfigSaved());
    auto* edit = dynamic_cast<kv::KVEdit*>(world.Find(L"Edit_inputname"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text, L"Mina");
    EXPECT_EQ(edit->caretIndex, 4);
    EXPECT_EQ(edit->maxLength, 14);
    EXPECT_TRUE(world.Find(L"Pic_popup_check")->IsMouseTransparent());

    // A moved slider acts at once and saves.
    SliderNamed(L"HSlider")->SetPos(73);
    EXPECT_FLOAT_EQ(GetOptionsSoundLevels().GetMusicVolume(), 0.73f);
    EXPECT_TRUE(ConfigSaved());
    EXPECT_NE(m_dir.Read(kGameConfigFile).find("MusicVolume=\"0.730000\""), std::string::npos);
}

TEST_F(OptionTest, HandButtonsSwitchOnceAndFullScreenTogglesBackToWhatSetupGave)
{
    OpenAndSettle(1);
    EXPECT_TRUE(world.Visible(L"Pic_popup_check"));
    EXPECT_FALSE(world.Find(L"Anibtn_popup_righthand")->IsEnabled());
    EXPECT_TRUE(world.Find(L"Anibtn_popup_lefthand")->IsEnabled());
    ASSERT_TRUE(world.ClickOn(L"Anibtn_popup_lefthand"));
    EXPECT_EQ(GameConfig.leftHand, 1);
    EXPECT_FALSE(world.Find(L"Anibtn_popup_lefthand")->IsEnabled());
    EXPECT_TRUE(world.Find(L"Anibtn_popup_righthand")->IsEnabled());
    kv::EventArgs args;
    options.OnLeftHand(args);  // already left: nothing changes
    EXPECT_EQ(options.m_bLeftHand, 1);

    ASSERT_TRUE(world.ClickOn(L"Anibtn_popup_fullscreen"));
    world.Frame(options, 0.05f);
    EXPECT_EQ(options.m_bFullScreen, 0);
    ASSERT_TRUE(world.ClickOn(L"Anibtn_popup_fullscreen"));
    world.Frame(options, 0.05f);
    CloseWith(VK_ESCAPE);
    ASSERT_EQ(world.messages.Ids(), (std::vector<int32_t>{MSG_OPTIONS_CLOSED}));
    PayloadReader reader = world.messages.posted[0].Reader();
    EXPECT_EQ(reader.Text(128), "Mina");
    EXPECT_EQ(reader.I32(), 1);  // full screen, as given
    EXPECT_EQ(reader.I32(), 1);  // left hand
    EXPECT_FLOAT_EQ(reader.F32(), 0.5f);
    EXPECT_FLOAT_EQ(reader.F32(), 0.29f);
    EXPECT_TRUE(reader.Ok());
    EXPECT_EQ(world.messages.posted[0].payload.size(), 144u);
}

TEST_F(OptionTest, MuteButtonsFollowTheSoundLevelsEveryFrame)
{
    OpenAndSettle();
    EXPECT_TRUE(world.Visible(L"btn_popup_sound_music_mute_off"));
    EXPECT_FALSE(world.Visible(L"btn_popup_sound_music_mute_on"));
    ASSERT_TRUE(world.ClickOn(L"btn_popup_sound_music_mute_off"));
    EXPECT_TRUE(GetOptionsSoundLevels().IsMusicMuted());
    world.Frame(options, 0.05f);
    EXPECT_TRUE(world.Visible(L"btn_popup_sound_music_mute_on"));
    EXPECT_FALSE(world.Visible(L"btn_popup_sound_music_mute_off"));
    GetOptionsSoundLevels().SetEffectsMute(true);  // muted elsewhere
    world.Frame(options, 0.05f);
    EXPECT_TRUE(world.Visible(L"btn_popup_sound_soundeffects_mute_on"));
    EXPECT_FALSE(ConfigSaved());  // mutes are not saved by the dialog
    GetOptionsSoundLevels().SetMusicMute(false);
    GetOptionsSoundLevels().SetEffectsMute(false);
}

TEST_F(OptionTest, TypedNameGoesOutWithEnterAndBackspaceOnlyEdits)
{
    OpenAndSettle();
    world.Frame(options, 0.05f, {VK_BACK});  // edits the name, does not close
    EXPECT_FALSE(options.m_bClosing);
    auto* edit = dynamic_cast<kv::KVEdit*>(world.Find(L"Edit_inputname"));
    edit->text = L"Jö";
    CloseWith(VK_RETURN);
    ASSERT_EQ(world.messages.posted.size(), 1u);
    EXPECT_EQ(world.messages.posted[0].Reader().Text(128), "J\xC3\xB6");
}

TEST(OptionPayload, ALongNameIsCutAtACharacterBoundary)
{
    VanteoPopUp_Option options;
    std::wstring name(126, L'a');
    name += L"\u00E9\u00E9";  // two bytes each: the first would end at byte 128
    std::vector<uint8_t> payload = options.ClosedPayload(name);
    ASSERT_EQ(payload.size(), 144u);
    EXPECT_EQ(payload[125], 'a');
    EXPECT_EQ(payload[126], 0);  // no half character
    EXPECT_EQ(payload[127], 0);
}

} // namespace
