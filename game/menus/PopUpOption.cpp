#include "menus/PopUpOption.h"

#include "data/Options.h"
#include "kv/KVEdit.h"
#include "kv/KVSystem.h"

#include <helvane/DXUtil.h>
#include <win32/Text.h>

#include <cstring>

int VanteoPopUp_Option::Open()
{
    if (!OpenLayout(kLayout, L"options_in"))
        return 0;
    if (auto* edit = dynamic_cast<kv::KVEdit*>(Find(L"Edit_inputname"))) {
        edit->maxLength = kNameChars;
        kv::GetKVSystem().SetFocus(edit);
    }
    // The check mark lies over its button and lets the clicks through.
    if (kv::KVWnd* check = Find(L"Pic_popup_check"))
        check->SetMouseTransparent(true);
    ShowMuteButtons();
    return 1;
}

void VanteoPopUp_Option::BindEvents()
{
    using O = VanteoPopUp_Option;
    Bind(L"Anibtn_popup_ok", &O::OnOk);
    Bind(L"Anibtn_popup_fullscreen", &O::OnFullScreen);
    Bind(L"Anibtn_popup_lefthand", &O::OnLeftHand);
    Bind(L"Anibtn_popup_righthand", &O::OnRightHand);
    Bind(L"HSlider", &O::OnMusicSlider, kv::EventSliderPosChanged);
    Bind(L"HSlider1", &O::OnEffectSlider, kv::EventSliderPosChanged);
    Bind(L"btn_popup_sound_music_mute_off", &O::OnMuteMusic);
    Bind(L"btn_popup_sound_music_mute_on", &O::OnUnmuteMusic);
    Bind(L"btn_popup_sound_soundeffects_mute_off", &O::OnMuteEffects);
    Bind(L"btn_popup_sound_soundeffects_mute_on", &O::OnUnmuteEffects);
}

void VanteoPopUp_Option::Setup(int32_t fullScreen, float musicVolume, float effectVolume)
{
    m_bLeftHand = GameConfig.leftHand ? 1 : 0;
    std::memcpy(m_szName, GameConfig.playerName, kNameBytes);
    m_szName[kNameBytes - 1] = '\0';
    if (auto* edit = dynamic_cast<kv::KVEdit*>(Find(L"Edit_inputname"))) {
        edit->text = platform::Widen(m_szName);
        edit->caretIndex = static_cast<int32_t>(edit->text.size());
        edit->maxLength = kNameChars;
        kv::GetKVSystem().SetFocus(edit);
    }
    m_bFullScreen = fullScreen ? 1 : 0;
    ShowChild(L"Pic_popup_check", m_bFullScreen != 0);
    ShowHand();
    m_fMusicVolume = musicVolume;
    m_fEffectVolume = effectVolume;
    m_bFilling = true;
    SetVolumeSlider(L"HSlider", musicVolume);
    SetVolumeSlider(L"HSlider1", effectVolume);
    m_bFilling = false;
}

void VanteoPopUp_Option::ShowHand()
{
    EnableChild(L"Anibtn_popup_lefthand", m_bLeftHand == 0);
    EnableChild(L"Anibtn_popup_righthand", m_bLeftHand != 0);
}

void VanteoPopUp_Option::OnOk(kv::EventArgs&)
{
    ButtonStep(L"options_out");
}

void VanteoPopUp_Option::OnFullScreen(kv::EventArgs&)
{
    kv::KVWnd* check = Find(L"Pic_popup_check");
    const bool shown = check && check->IsShownRecursive() && !check->IsHiding();
    ShowChild(L"Pic_popup_check", !shown);
    m_bFullScreen = shown ? 0 : 1;
}

void VanteoPopUp_Option::OnLeftHand(kv::EventArgs&)
{
    if (m_bLeftHand == 1)
        return;
    m_bLeftHand = 1;
    GameConfig.leftHand = 1;
    ShowHand();
}

void VanteoPopUp_Option::OnRightHand(kv::EventArgs&)
{
    if (m_bLeftHand != 1)
        return;
    m_bLeftHand = 0;
    GameConfig.leftHand = 0;
    ShowHand();
}

void VanteoPopUp_Option::OnMusicSlider(kv::EventArgs&)
{
    const float volume = SliderVolume(L"HSlider");
    if (m_bFilling || volume < 0.0f)
        return;
    m_fMusicVolume = volume;
    GetOptionsSoundLevels().SetMusicVolume(volume);
    SaveGameConfig();
}

void VanteoPopUp_Option::OnEffectSlider(kv::EventArgs&)
{
    const float volume = SliderVolume(L"HSlider1");
    if (m_bFilling || volume < 0.0f)
        return;
    m_fEffectVolume = volume;
    GetOptionsSoundLevels().SetEffectsVolume(volume);
    SaveGameConfig();
}

void VanteoPopUp_Option::OnMuteMusic(kv::EventArgs&)
{
    GetOptionsSoundLevels().SetMusicMute(true);
    ShowMuteButtons();
}

void VanteoPopUp_Option::OnUnmuteMusic(kv::EventArgs&)
{
    GetOptionsSoundLevels().SetMusicMute(false);
    ShowMuteButtons();
}

void VanteoPopUp_Option::OnMuteEffects(kv::EventArgs&)
{
    GetOptionsSoundLevels().SetEffectsMute(true);
    ShowMuteButtons();
}

void VanteoPopUp_Option::OnUnmuteEffects(kv::EventArgs&)
{
    GetOptionsSoundLevels().SetEffectsMute(false);
    ShowMuteButtons();
}

std::vector<uint8_t> VanteoPopUp_Option::ClosedPayload(const std::wstring& name) const
{
    char ansi[kNameBytes] = {};
    // Cuts the text to whole characters within 127 bytes.
    DXUtil_ConvertWideStringToAnsi(ansi, name.c_str(), static_cast<int>(kNameBytes));
    PayloadWriter writer;
    writer.Text(ansi, kNameBytes).I32(m_bFullScreen).I32(m_bLeftHand).F32(m_fMusicVolume).F32(m_fEffectVolume);
    return writer.Bytes();
}

void VanteoPopUp_Option::Update(float)
{
    if (ClosingDone()) {
        auto* edit = dynamic_cast<kv::KVEdit*>(Find(L"Edit_inputname"));
        std::vector<uint8_t> payload = ClosedPayload(edit ? edit->text : std::wstring());
        PopUpMessages().Post(MSG_OPTIONS_CLOSED, payload.data(), payload.size());
        DestroyWindow();
    }
    if (!IsOpen())
        return;
    // A mute changed elsewhere shows at once.
    ShowMuteButtons();
    // Backspace edits the name: only Enter and Escape close.
    if (KeyPressed(kPopUpKeyEscape) || KeyPressed(kPopUpKeyEnter)) {
        kv::EventArgs args;
        OnOk(args);
    }
}
