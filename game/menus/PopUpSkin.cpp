#include "menus/PopUpSkin.h"

#include "data/Options.h"

#include <helvane/Log.h>

#include <cstdio>

namespace {

bool IsUnlocked(int32_t skin)
{
    return skin == 0 || (skin == 1 && GameConfig.skin2Unlocked) || (skin == 2 && GameConfig.skin3Unlocked);
}

} // namespace

int VanteoPopUp_Skin::Open()
{
    if (!OpenLayout(kLayout, L"skins_in"))
        return 0;
    // Only a skin the player owns can be the chosen one.
    m_nSelected = IsUnlocked(GameConfig.currentSkin) ? GameConfig.currentSkin : 0;
    m_nPending = -1;
    MarkButtons();
    UpdateLocks();
    return 1;
}

void VanteoPopUp_Skin::Close()
{
    m_Unlock.Close();
    m_UnlockFail.Close();
    VanteoPopUp::Close();
}

void VanteoPopUp_Skin::BindEvents()
{
    using S = VanteoPopUp_Skin;
    Bind(L"Anibtn_popup_skins_1", &S::OnSkin1);
    Bind(L"Anibtn_popup_skins_2", &S::OnSkin2);
    Bind(L"Anibtn_popup_skins_3", &S::OnSkin3);
    Bind(L"popup_skinlock_africa", &S::OnBuySkin2);
    Bind(L"popup_skinlock_horror", &S::OnBuySkin3);
    Bind(L"Anibtn_popup_ok", &S::OnOk);
}

void VanteoPopUp_Skin::MarkButtons()
{
    for (int n = 1; n <= 3; ++n) {
        wchar_t name[32];
        std::swprintf(name, 32, L"Anibtn_popup_skins_%d", n);
        EnableChild(name, n - 1 != m_nSelected);
    }
}

void VanteoPopUp_Skin::Select(int32_t skin)
{
    if (!IsOpen())
        return;
    // A locked skin's button may be reachable around its lock: it offers the purchase instead.
    if (!IsUnlocked(skin)) {
        Offer(skin);
        return;
    }
    m_nSelected = skin;
    MarkButtons();
}

void VanteoPopUp_Skin::OnSkin1(kv::EventArgs&) { Select(0); }
void VanteoPopUp_Skin::OnSkin2(kv::EventArgs&) { Select(1); }
void VanteoPopUp_Skin::OnSkin3(kv::EventArgs&) { Select(2); }
void VanteoPopUp_Skin::OnBuySkin2(kv::EventArgs&) { Offer(1); }
void VanteoPopUp_Skin::OnBuySkin3(kv::EventArgs&) { Offer(2); }

void VanteoPopUp_Skin::Offer(int32_t skin)
{
    if (!IsOpen() || IsUnlocked(skin) || m_Unlock.IsOpen() || m_UnlockFail.IsOpen())
        return;
    const int32_t cubes = GameConfig.cubes;
    if (cubes >= kPrice) {
        m_Unlock.Open();
        m_Unlock.SetValues(kPrice, cubes);
        m_nPending = skin;
        return;
    }
    m_UnlockFail.Open();
    m_UnlockFail.SetValues(kPrice, cubes, kPrice - cubes);
    PopUpSounds().Play(kSoundNotEnoughCubes, false);
}

void VanteoPopUp_Skin::OnSkinBought(int skin)
{
    if (skin == 1 || skin == 2)
        Select(skin);
    UpdateLocks();
}

void VanteoPopUp_Skin::OnOk(kv::EventArgs&)
{
    ButtonStep(L"skins_out");
}

void VanteoPopUp_Skin::UpdateLocks()
{
    const bool affordable = GameConfig.cubes >= kPrice;
    const struct {
        const wchar_t* lock;
        const wchar_t* price;
        const wchar_t* gray;
        int unlocked;
    } skins[] = {{L"popup_skinlock_africa", L"sub_cube_10001", L"sub_cube_10001_gray", GameConfig.skin2Unlocked},
                 {L"popup_skinlock_horror", L"sub_cube_1", L"sub_cube_1_gray", GameConfig.skin3Unlocked}};
    for (const auto& s : skins) {
        ShowChild(s.lock, !s.unlocked);
        ShowChild(s.price, !s.unlocked && affordable);
        ShowChild(s.gray, !s.unlocked && !affordable);
    }
}

void VanteoPopUp_Skin::Update(float seconds)
{
    if (ClosingDone()) {
        const int32_t selected = m_nSelected;
        Close();
        Post(MSG_SKIN_CHOSEN, selected);
    }
    if (!IsOpen())
        return;
    // While the question or the notice is open, the keys are theirs.
    if (!m_Unlock.IsOpen() && !m_UnlockFail.IsOpen() &&
        (KeyPressed(kPopUpKeyEnter) || KeyPressed(kPopUpKeyBackspace) || KeyPressed(kPopUpKeyEscape))) {
        kv::EventArgs args;
        OnOk(args);
    }
    m_Unlock.Update(seconds);
    m_UnlockFail.Update(seconds);
    UpdateLocks();
}
