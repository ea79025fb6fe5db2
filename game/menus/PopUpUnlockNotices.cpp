#include "menus/PopUpUnlockNotices.h"

#include "kv/KVWnd.h"

int VanteoPopUp_MainMenuUnlock::Open()
{
    if (!OpenLayout(kLayout, L"congratulation_in"))
        return 0;
    PopUpSounds().Play(kSoundCongratulation);
    return 1;
}

void VanteoPopUp_MainMenuUnlock::BindEvents()
{
    Bind(L"Anibtn_popup_ok", &VanteoPopUp_MainMenuUnlock::OnOk);
}

void VanteoPopUp_MainMenuUnlock::OnOk(kv::EventArgs&)
{
    if (m_pWindow && m_pWindow->GetDirector())
        ButtonStep(L"congratulation_out");
}

void VanteoPopUp_MainMenuUnlock::Update(float)
{
    if (ClosingDone())
        DestroyWindow();
    if (!IsOpen())
        return;
    const wchar_t* const names[4] = {L"main_unlocked_battle", L"main_unlocked_push", L"main_unlocked_iq",
                                     L"main_unlocked_multi"};
    for (int k = 0; k < 4; ++k)
        ShowChild(names[k], k + 1 == m_nKind);
    if (KeyPressed(kPopUpKeyEnter)) {
        kv::EventArgs args;
        OnOk(args);
    }
}

int VanteoPopUp_MainMenuUnlocked::Open()
{
    return OpenLayout(kLayout, nullptr);
}

void VanteoPopUp_MainMenuUnlocked::BindEvents()
{
    Bind(L"Anibtn_popup_ok1", &VanteoPopUp_MainMenuUnlocked::OnOk);
}

void VanteoPopUp_MainMenuUnlocked::PlayIn(int index)
{
    if (IsOpen())
        PlayScene(index == 3 ? L"locked_in_multi" : L"locked_in");
}

void VanteoPopUp_MainMenuUnlocked::OnOk(kv::EventArgs&)
{
    if (m_pWindow && m_pWindow->GetDirector())
        ButtonStep(L"locked_out");
}

void VanteoPopUp_MainMenuUnlocked::Update(float)
{
    if (ClosingDone())
        DestroyWindow();
    if (!IsOpen())
        return;
    const wchar_t* const texts[4] = {L"main_lock_txt_battle1", L"main_lock_txt_push1", L"main_lock_txt_iq1",
                                     L"main_lock_txt_multi1"};
    const wchar_t* const pictures[4] = {L"main_lockimg_battle", L"main_lockimg_push", L"main_lockimg_iq",
                                        L"main_lockimg_multi"};
    for (int k = 0; k < 4; ++k) {
        ShowChild(texts[k], k + 1 == m_nKind);
        ShowChild(pictures[k], k + 1 == m_nKind);
    }
    if (KeyPressed(kPopUpKeyEnter)) {
        kv::EventArgs args;
        OnOk(args);
    }
}
