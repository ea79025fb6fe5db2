#include "menus/PopUp.h"

#include "data/Options.h"
#include "board/GameSinks.h"
#include "engine/InputKeyboard.h"
#include "engine/SoundTable.h"
#include "kv/KVButton.h"
#include "kv/KVDirector.h"
#include "kv/KVLabel.h"
#include "kv/KVSlider.h"
#include "kv/KVSystem.h"

#include <helvane/Log.h>
#include <win32/Text.h>

#include <cmath>
#include <cwchar>

namespace {

// Pop-ups sit on this layer of the UI root, in front of the scene's own windows.
constexpr int32_t kPopUpLayer = -4;

SinkOverride g_sinks;

} // namespace

void SetPopUpSinks(IMessageSink* messages, ISoundSink* sounds)
{
    g_sinks = {messages, sounds};
}

IMessageSink& PopUpMessages()
{
    return g_sinks.Messages();
}

ISoundSink& PopUpSounds()
{
    return g_sinks.Sounds();
}

// The base.

void VanteoPopUp::Close()
{
    DestroyWindow();
}

void VanteoPopUp::Update(float)
{
    if (ClosingDone())
        DestroyWindow();
}

void VanteoPopUp::SetTitle(const wchar_t* text)
{
    if (text)
        SetLabel(L"Label_title", text);
}

void VanteoPopUp::SetMessage(const wchar_t* text)
{
    if (text)
        SetLabel(L"Label_message", text);
}

std::wstring GroupedScore(int score)
{
    int m = score / 1000000;
    int k = (score % 1000000) / 1000;
    int u = score % 1000;
    wchar_t text[48];
    if (m != 0)
        std::swprintf(text, 48, L"%d,%03d,%03d", m, k, u);
    else if (k != 0)
        std::swprintf(text, 48, L"%d,%03d", k, u);
    else
        std::swprintf(text, 48, L"%d", u);
    return text;
}

int VanteoPopUp::OpenLayout(const std::string& layoutFile, const wchar_t* openingScene)
{
    if (m_pWindow)
        return 0;
    return OpenWindow(kv::GetKVSystem().CreateWindowFromLayout(layoutFile), layoutFile.c_str(), openingScene);
}

int VanteoPopUp::OpenWindow(kv::KVWnd* window, const char* what, const wchar_t* openingScene)
{
    if (m_pWindow)
        return 0;
    if (!window) {
        DFLog(L"pop-up layout %hs gave no window; the pop-up stays closed", what ? what : "(none)");
        return 0;
    }
    m_pWindow = window;
    m_bClosing = 0;
    window->SetZOrder(kPopUpLayer);
    window->SetVisible(true);
    BindEvents();
    if (openingScene)
        PlayScene(openingScene);
    return 1;
}

kv::KVWnd* VanteoPopUp::Find(const wchar_t* name) const
{
    return m_pWindow && name ? m_pWindow->FindWindow(name) : nullptr;
}

void VanteoPopUp::ShowChild(const wchar_t* name, bool show) const
{
    kv::KVWnd* child = Find(name);
    if (!child)
        return;
    // Asking a window that is already hiding to hide would start its hide effect again, and
    // pop-ups that set their windows every frame would keep it from ever ending.
    bool shown = child->IsVisible() && !child->IsHiding();
    bool hidden = !child->IsVisible() || child->IsHiding();
    if (show ? !shown : !hidden)
        child->SetVisible(show);
}

void VanteoPopUp::SetLabel(const wchar_t* name, const std::wstring& text) const
{
    if (auto* label = dynamic_cast<kv::KVLabel*>(Find(name)))
        label->text = text;
}

void VanteoPopUp::SetFittedLabel(const wchar_t* name, const std::wstring& text) const
{
    if (auto* label = dynamic_cast<kv::KVLabel*>(Find(name)))
        label->SetFittedText(text);
}

void VanteoPopUp::EnableChild(const wchar_t* name, bool enabled) const
{
    kv::KVWnd* child = Find(name);
    if (!child)
        return;
    if (!enabled) {
        if (child->IsEnabled()) {
            child->SetEnabled(false);
            child->SetActiveFlag(false);
        }
        return;
    }
    if (!child->IsEnabled())
        child->SetEnabled(true);
    if (auto* button = dynamic_cast<kv::KVButton*>(child)) {
        button->state = kv::KVButton::kNormal;
        button->stateLock = false;
        button->ApplyState();
    }
}

void VanteoPopUp::ShowMuteButtons() const
{
    OptionsSoundLevels& levels = GetOptionsSoundLevels();
    const bool music = levels.IsMusicMuted();
    const bool effects = levels.IsEffectsMuted();
    ShowChild(L"btn_popup_sound_music_mute_off", !music);
    ShowChild(L"btn_popup_sound_music_mute_on", music);
    ShowChild(L"btn_popup_sound_soundeffects_mute_off", !effects);
    ShowChild(L"btn_popup_sound_soundeffects_mute_on", effects);
}

void VanteoPopUp::SetVolumeSlider(const wchar_t* name, float volume) const
{
    auto* slider = dynamic_cast<kv::KVSlider*>(Find(name));
    if (!slider)
        return;
    slider->min = 0;
    slider->max = 100;
    long position = std::isfinite(volume) ? std::lround(volume * 100.0f) : 0;
    slider->SetPos(static_cast<int32_t>(position < 0 ? 0 : position > 100 ? 100 : position));
}

float VanteoPopUp::SliderVolume(const wchar_t* name) const
{
    auto* slider = dynamic_cast<kv::KVSlider*>(Find(name));
    return slider ? static_cast<float>(slider->pos) / 100.0f : -1.0f;
}

void VanteoPopUp::PlayScene(const std::wstring& name) const
{
    if (m_pWindow)
        m_pWindow->PlayUIScene(name);
}

bool VanteoPopUp::IsAnimationRunning() const
{
    return m_pWindow && m_pWindow->IsUIScenePlaying();
}

bool VanteoPopUp::ButtonStep(const wchar_t* closingScene)
{
    // A layout without a director has nothing running: the close goes ahead at once.
    if (!m_pWindow || m_bClosing || IsAnimationRunning())
        return false;
    PlayScene(closingScene);
    m_bClosing = 1;
    return true;
}

bool VanteoPopUp::ClosingDone() const
{
    return m_pWindow && m_bClosing && !IsAnimationRunning();
}

void VanteoPopUp::DestroyWindow()
{
    if (m_pWindow) {
        if (kv::KVSystem* system = kv::KVSystem::GetPtr())
            system->DetachWindow(m_pWindow);
    }
    m_pWindow = nullptr;
    m_bClosing = 0;
}

void VanteoPopUp::Post(int32_t id)
{
    PopUpMessages().Post(id, nullptr, 0);
}

void VanteoPopUp::Post(int32_t id, int32_t value)
{
    PayloadWriter().I32(value).PostTo(PopUpMessages(), id);
}

bool VanteoPopUp::KeyPressed(int vk)
{
    return singleton<CInputKeyboard>::GetSingleton().IsKeyPressed(vk);
}

// The one-button notice.

int VanteoPopUp_OK::Open()
{
    return OpenLayout(kLayout, L"warning_2btn_in");
}

void VanteoPopUp_OK::BindEvents()
{
    Bind(L"Anibtn_popup_ok", &VanteoPopUp_OK::OnOk);
}

void VanteoPopUp_OK::OnOk(kv::EventArgs&)
{
    ButtonStep(L"warning_2btn_out");
}

void VanteoPopUp_OK::Update(float)
{
    if (ClosingDone()) {
        DestroyWindow();
        Post(MSG_POPUP_OK, m_nParam);
    }
    if (!IsOpen())
        return;
    if (KeyPressed(kPopUpKeyEnter) || KeyPressed(kPopUpKeyBackspace) || KeyPressed(kPopUpKeyEscape)) {
        kv::EventArgs args;
        OnOk(args);
    }
}

// The yes/no boxes.

int VanteoPopUp_OKCancel::Open()
{
    return OpenBox(kLayout);
}

int VanteoPopUp_OKCancel::OpenBox(const char* layout)
{
    return OpenLayout(layout, L"warning_2btn_in");
}

void VanteoPopUp_OKCancel::BindEvents()
{
    Bind(L"Anibtn_popup_yes", &VanteoPopUp_OKCancel::OnYes);
    Bind(L"Anibtn_popup_no", &VanteoPopUp_OKCancel::OnNo);
}

void VanteoPopUp_OKCancel::Answer(int32_t answer)
{
    // The answer belongs to the click that starts the closing; a click the guard ignores
    // leaves it as it was.
    if (ButtonStep(L"warning_2btn_out"))
        m_nAnswer = answer;
}

void VanteoPopUp_OKCancel::OnYes(kv::EventArgs&)
{
    Answer(1);
}

void VanteoPopUp_OKCancel::OnNo(kv::EventArgs&)
{
    Answer(0);
}

void VanteoPopUp_OKCancel::Update(float)
{
    if (ClosingDone()) {
        DestroyWindow();
        Post(m_nAnswer == 1 ? MSG_POPUP_YES : MSG_POPUP_NO, m_nParam);
    }
    if (!IsOpen())
        return;
    kv::EventArgs args;
    if (KeyPressed(kPopUpKeyEnter))
        OnYes(args);
    else if (KeyPressed(kPopUpKeyBackspace) || KeyPressed(kPopUpKeyEscape))
        OnNo(args);
}

int VanteoPopUp_OKCancel_2Line::Open()
{
    return OpenBox(kLayout);
}
