#include "menus/PopUpPause.h"

#include "data/Options.h"
#include "engine/LayoutFiles.h"
#include "engine/SkinTable.h"
#include "kv/KVSlider.h"

#include <helvane/Log.h>
#include <win32/Text.h>

#include <cmath>

namespace {

const wchar_t* const kHelpPrefix[VanteoPopUp_Help::kModes] = {L"battle_", L"iq_", L"puzzle_", L"puzzle_"};
const wchar_t* const kHelpHand[2] = {L"right_", L"left_"};

constexpr size_t kModeTextChars = 127;

} // namespace

// The key help.

std::wstring VanteoPopUp_Help::SceneName(int mode, int hand, bool opening)
{
    int m = mode < 0 ? 0 : mode >= kModes ? kModes - 1 : mode;
    return std::wstring(kHelpPrefix[m]) + kHelpHand[hand ? 1 : 0] + (opening ? L"in" : L"out");
}

int VanteoPopUp_Help::Open()
{
    return OpenLayout(kLayout, nullptr);
}

void VanteoPopUp_Help::BindEvents()
{
    Bind(L"Anibtn_popup_ok", &VanteoPopUp_Help::OnOk);
}

void VanteoPopUp_Help::Setup(int mode)
{
    if (mode < 0 || mode >= kModes)
        DFLog(L"key help: mode %d out of range, shown as %d", mode, mode < 0 ? 0 : kModes - 1);
    m_nMode = mode < 0 ? 0 : mode >= kModes ? kModes - 1 : mode;
    m_nHand = GameConfig.leftHand ? 1 : 0;
    PlayScene(SceneName(m_nMode, m_nHand, true));
}

void VanteoPopUp_Help::OnOk(kv::EventArgs&)
{
    ButtonStep(SceneName(m_nMode, m_nHand, false).c_str());
}

void VanteoPopUp_Help::Update(float)
{
    if (ClosingDone())
        DestroyWindow();
    if (!IsOpen())
        return;
    if (KeyPressed(kPopUpKeyEnter) || KeyPressed(kPopUpKeyBackspace) || KeyPressed(kPopUpKeyEscape)) {
        kv::EventArgs args;
        OnOk(args);
    }
}

// The pause.

int VanteoPopUp_Pause::Open()
{
    if (IsOpen())
        return 0;
    const char* layout = SkinTable.GetSkinString(kSkinLayoutPause);
    if (!OpenWindow(LoadLayout(layout), layout, L"pause_in")) {
        // Without a menu the scene would stay paused: let it resume.
        Post(MSG_PAUSE_RESUME);
        return 0;
    }
    m_nChoice = kResume;
    UpdateMuteButtons();
    return 1;
}

void VanteoPopUp_Pause::BindEvents()
{
    Bind(L"AniBtn_pause_resume", &VanteoPopUp_Pause::OnResume);
    Bind(L"AniBtn_pause_retry", &VanteoPopUp_Pause::OnRetry);
    Bind(L"AniBtn_pause_quit", &VanteoPopUp_Pause::OnQuit);
    Bind(L"Anibtn_pause_exit", &VanteoPopUp_Pause::OnExit);
    Bind(L"Anibtn_pause_keyhelp", &VanteoPopUp_Pause::OnKeyHelp);
    Bind(L"btn_popup_sound_music_mute_off", &VanteoPopUp_Pause::OnMuteMusic);
    Bind(L"btn_popup_sound_music_mute_on", &VanteoPopUp_Pause::OnUnmuteMusic);
    Bind(L"btn_popup_sound_soundeffects_mute_off", &VanteoPopUp_Pause::OnMuteEffects);
    Bind(L"btn_popup_sound_soundeffects_mute_on", &VanteoPopUp_Pause::OnUnmuteEffects);
    Bind(L"HSlider", &VanteoPopUp_Pause::OnMusicSlider, kv::EventSliderPosChanged);
    Bind(L"HSlider1", &VanteoPopUp_Pause::OnEffectSlider, kv::EventSliderPosChanged);
}

void VanteoPopUp_Pause::Setup(int mode, const char* text)
{
    m_nMode = mode;
    OptionsSoundLevels& levels = GetOptionsSoundLevels();
    m_fMusicVolume = levels.GetMusicVolume();
    m_fEffectVolume = levels.GetEffectsVolume();
    // Placing the thumbs fires "PosChanged", which sets the volumes from the positions.
    SetVolumeSlider(L"HSlider", m_fMusicVolume);
    SetVolumeSlider(L"HSlider1", m_fEffectVolume);
    std::wstring wide = platform::Widen(text ? text : "");
    if (wide.size() > kModeTextChars)
        wide.resize(kModeTextChars);
    SetLabel(L"Label_current_mode", wide);
}

int VanteoPopUp_Pause::StartClose()
{
    if (!ButtonStep(L"pause_out"))
        return 0;
    return 1;
}

void VanteoPopUp_Pause::Choose(int32_t choice)
{
    if (Resting())
        return;
    if (StartClose())
        m_nChoice = choice;
}

void VanteoPopUp_Pause::OnResume(kv::EventArgs&) { Choose(kResume); }
void VanteoPopUp_Pause::OnRetry(kv::EventArgs&) { Choose(kRetry); }
void VanteoPopUp_Pause::OnQuit(kv::EventArgs&) { Choose(kQuit); }
void VanteoPopUp_Pause::OnExit(kv::EventArgs&) { Choose(kExit); }
void VanteoPopUp_Pause::OnRetry() { Choose(kRetry); }
void VanteoPopUp_Pause::OnQuit() { Choose(kQuit); }
void VanteoPopUp_Pause::OnExit() { Choose(kExit); }

void VanteoPopUp_Pause::OnKeyHelp()
{
    if (Resting())
        return;
    if (m_Help.Open())
        m_Help.Setup(m_nMode);
}

void VanteoPopUp_Pause::OnKeyHelp(kv::EventArgs&)
{
    OnKeyHelp();
}

void VanteoPopUp_Pause::OnMuteMusic(kv::EventArgs&)
{
    GetOptionsSoundLevels().SetMusicMute(true);
    UpdateMuteButtons();
}

void VanteoPopUp_Pause::OnUnmuteMusic(kv::EventArgs&)
{
    GetOptionsSoundLevels().SetMusicMute(false);
    UpdateMuteButtons();
}

void VanteoPopUp_Pause::OnMuteEffects(kv::EventArgs&)
{
    GetOptionsSoundLevels().SetEffectsMute(true);
    UpdateMuteButtons();
}

void VanteoPopUp_Pause::OnUnmuteEffects(kv::EventArgs&)
{
    GetOptionsSoundLevels().SetEffectsMute(false);
    UpdateMuteButtons();
}

void VanteoPopUp_Pause::OnMusicSlider(kv::EventArgs&)
{
    float volume = SliderVolume(L"HSlider");
    if (volume >= 0.0f) {
        m_fMusicVolume = volume;
        GetOptionsSoundLevels().SetMusicVolume(m_fMusicVolume);
    }
}

void VanteoPopUp_Pause::OnEffectSlider(kv::EventArgs&)
{
    float volume = SliderVolume(L"HSlider1");
    if (volume >= 0.0f) {
        m_fEffectVolume = volume;
        GetOptionsSoundLevels().SetEffectsVolume(m_fEffectVolume);
    }
}

void VanteoPopUp_Pause::UpdateMuteButtons()
{
    ShowMuteButtons();
}

void VanteoPopUp_Pause::Update(float seconds)
{
    m_Help.Update(seconds);
    if (ClosingDone()) {
        int32_t choice = m_nChoice;
        DestroyWindow();
        // The key help goes with the pause.
        m_Help.Close();
        if (choice >= kResume && choice <= kExit)
            Post(MSG_PAUSE_RESUME + choice);
    }
    if (Resting())
        return;
    if (KeyPressed(kPopUpKeyBackspace) || KeyPressed(kPopUpKeyEscape) || KeyPressed(kPopUpKeyEnter)) {
        if (StartClose())
            m_nChoice = kResume;
    }
}
