#include "menus/PopUpTutorialMenus.h"

#include "kv/KVDirector.h"
#include "kv/KVPicture.h"
#include "kv/KVWnd.h"

#include <string>
#include <utility>

namespace {

// The overlay on the battle help's category list lies above its siblings and lets the mouse
// through to them.
constexpr int32_t kListOverlayLayer = -5;

} // namespace

// The tutorial menus.

int VanteoPopUp_TutorialChoices::OpenMenu()
{
    return OpenLayout(m_pLayout, L"video_in");
}

void VanteoPopUp_TutorialChoices::OnClose(kv::EventArgs&)
{
    ButtonStep(L"video_out");
}

void VanteoPopUp_TutorialChoices::Update(float)
{
    if (ClosingDone()) {
        DestroyWindow();
        OnClosed();
    }
    if (IsOpen() && (KeyPressed(kPopUpKeyBackspace) || KeyPressed(kPopUpKeyEscape) || KeyPressed(kPopUpKeyEnter))) {
        kv::EventArgs args;
        OnClose(args);
    }
}

int VanteoPopUp_BattleTutorial::Open()
{
    return OpenMenu();
}

void VanteoPopUp_BattleTutorial::BindEvents()
{
    using T = VanteoPopUp_BattleTutorial;
    Bind(L"Anibtn_popup_close", &T::OnClose);
    Bind(L"btn_bttutorial_slide", &T::OnChoice<kTutorialChoiceSlide>);
    Bind(L"btn_bttutorial_video", &T::OnChoice<kTutorialChoiceVideo>);
    Bind(L"btn_bttutorial_keyhelp", &T::OnChoice<kTutorialChoiceKeyHelp>);
}

int VanteoPopUp_Tutorial::Open()
{
    if (!OpenMenu())
        return 0;
    m_nChoice = kTutorialChoiceNone;
    return 1;
}

void VanteoPopUp_Tutorial::BindEvents()
{
    using T = VanteoPopUp_Tutorial;
    Bind(L"Anibtn_popup_close", &T::OnClose);
    Bind(L"popup_tutorial_slide_Normal1", &T::OnChoice<kTutorialChoiceSlide>);
    Bind(L"popup_tutorial_video_Normal1", &T::OnChoice<kTutorialChoiceVideo>);
    Bind(L"popup_tutorial_freeplay_Normal1", &T::OnFreePlay);
}

void VanteoPopUp_Tutorial::OnFreePlay(kv::EventArgs&)
{
    if (ButtonStep(L"video_out"))
        m_nChoice = kTutorialChoiceFreePlay;
}

void VanteoPopUp_Tutorial::OnClosed()
{
    if (m_nChoice == kTutorialChoiceFreePlay)
        Post(MSG_TUTORIAL_CHOSEN, kTutorialChoiceFreePlay);
    else
        Post(MSG_TUTORIAL_CLOSED);
}

// The battle help.

int VanteoPopUp_BattleHelp::Open()
{
    if (!OpenLayout(kLayout, L"help_in"))
        return 0;
    // A layout without the overlay is tolerated.
    if (kv::KVWnd* overlay = Find(L"howto_battle_list_on")) {
        overlay->SetMouseTransparent(true);
        overlay->SetZOrder(kListOverlayLayer);
    }
    return 1;
}

void VanteoPopUp_BattleHelp::BindEvents()
{
    Bind(L"Anibtn_battlehelp_close", &VanteoPopUp_BattleHelp::OnClose);
    BindCategories(std::make_integer_sequence<int, kCategories>());
}

template <int... N>
void VanteoPopUp_BattleHelp::BindCategories(std::integer_sequence<int, N...>)
{
    (Bind((L"Anibtn_bthelp_categorynum_" + std::to_wstring(N + 1)).c_str(), &VanteoPopUp_BattleHelp::OnCategory<N + 1>),
     ...);
}

void VanteoPopUp_BattleHelp::ShowCategory(int n)
{
    if (!IsOpen())
        return;
    PlayScene(L"help_" + std::to_wstring(n));
    auto* picture = dynamic_cast<kv::KVPicture*>(Find((L"Pic_battlehelp_" + std::to_wstring(n)).c_str()));
    kv::KVDirector* director = picture ? picture->GetPictureDirector() : nullptr;
    if (!director)
        return;
    if (director->currentScene)
        director->currentScene->Stop();
    director->PlaySceneIndex(0);
}

void VanteoPopUp_BattleHelp::OnClose(kv::EventArgs&)
{
    ButtonStep(L"help_out");
}

void VanteoPopUp_BattleHelp::Update(float)
{
    if (ClosingDone())
        DestroyWindow();
    if (IsOpen() && (KeyPressed(kPopUpKeyBackspace) || KeyPressed(kPopUpKeyEscape) || KeyPressed(kPopUpKeyEnter))) {
        kv::EventArgs args;
        OnClose(args);
    }
}
