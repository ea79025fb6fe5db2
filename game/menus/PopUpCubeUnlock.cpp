#include "menus/PopUpCubeUnlock.h"

namespace {

std::wstring Number(int32_t value)
{
    return std::to_wstring(value);
}

} // namespace

int VanteoPopUp_CubeUnlock::Open()
{
    return OpenLayout(kLayout, L"unlock_in");
}

void VanteoPopUp_CubeUnlock::BindEvents()
{
    Bind(L"Anibtn_popup_yes", &VanteoPopUp_CubeUnlock::OnYes);
    Bind(L"Anibtn_popup_no", &VanteoPopUp_CubeUnlock::OnNo);
}

void VanteoPopUp_CubeUnlock::SetValues(int32_t need, int32_t have)
{
    m_nNeed = need;
    m_nHave = have;
    SetLabel(L"Label_unlock_need", Number(need));
    SetLabel(L"Label_unlock_have", Number(have));
}

void VanteoPopUp_CubeUnlock::Answer(int32_t answer)
{
    // A click the animation guard ignores leaves the answer as it was.
    if (ButtonStep(L"unlock_out"))
        m_nAnswer = answer;
}

void VanteoPopUp_CubeUnlock::OnYes(kv::EventArgs&)
{
    Answer(1);
}

void VanteoPopUp_CubeUnlock::OnNo(kv::EventArgs&)
{
    Answer(0);
}

void VanteoPopUp_CubeUnlock::Update(float)
{
    if (ClosingDone()) {
        DestroyWindow();
        // The values given to the question decide, not the cubes at the time of closing.
        if (m_nAnswer != 1)
            Post(MSG_CUBE_UNLOCK_DECLINED);
        else
            Post(m_nHave >= m_nNeed ? MSG_CUBE_UNLOCK_CONFIRMED : MSG_CUBE_UNLOCK_SHORT);
    }
    if (!IsOpen())
        return;
    kv::EventArgs args;
    if (KeyPressed(kPopUpKeyEnter))
        OnYes(args);
    else if (KeyPressed(kPopUpKeyBackspace) || KeyPressed(kPopUpKeyEscape))
        OnNo(args);
}

int VanteoPopUp_CubeUnlockFail::Open()
{
    return OpenLayout(kLayout, L"unlock_error_in");
}

void VanteoPopUp_CubeUnlockFail::BindEvents()
{
    Bind(L"Anibtn_popup_ok", &VanteoPopUp_CubeUnlockFail::OnOk);
}

void VanteoPopUp_CubeUnlockFail::SetValues(int32_t need, int32_t have, int32_t want)
{
    m_nNeed = need;
    m_nHave = have;
    m_nWant = want;
    SetLabel(L"Label_unlock_need", Number(need));
    SetLabel(L"Label_unlock_have", Number(have));
    SetLabel(L"Label_unlock_want", Number(want));
}

void VanteoPopUp_CubeUnlockFail::OnOk(kv::EventArgs&)
{
    ButtonStep(L"unlock_error_out");
}

void VanteoPopUp_CubeUnlockFail::Update(float)
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
