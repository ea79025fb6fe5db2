#include "menus/PopUpAchievements.h"

#include "engine/Getters.h"
#include "engine/InputSystem.h"
#include "engine/RenderBackend.h"
#include "engine/WindowMouse.h"
#include "kv/KVLabel.h"
#include "kv/KVProgress.h"
#include "net/Achievements.h"
#include "net/AchievementsSteam.h"
#include "net/NetGlobals.h"

#include <steam/SteamApi.h>
#include <win32/Text.h>

#include <algorithm>
#include <string>

namespace {

// The number of a box window, 1 to 12.
std::wstring Numbered(const wchar_t* prefix, int box) { return prefix + std::to_wstring(box + 1); }

int UnlockedCount()
{
    int count = 0;
    for (const AchievementRecord& record : g_AchievementRecords)
        count += record.achieved ? 1 : 0;
    return count;
}

uint32_t LabelColour(kv::KVWnd* window, const wchar_t* name, uint32_t fallback)
{
    auto* label = window ? dynamic_cast<kv::KVLabel*>(window->FindWindow(name)) : nullptr;
    return label ? label->colour : fallback;
}

} // namespace

int VanteoPopUp_Achievements_Steam::Open()
{
    if (!OpenLayout(kLayout, L"skins_in"))
        return 0;
    m_bFillPending = 1;
    m_nPage = 0;
    m_nLastPage = kLastPage;
    for (int box = 0; box < kBoxes; ++box) {
        kv::KVWnd* dummy = Find(Numbered(L"dummy_box_", box).c_str());
        kv::KVPoint at{};
        if (dummy) {
            kv::KVPoint pos = dummy->GetPosition(), offset = dummy->GetAnimationOffset();
            at = {pos.x + offset.x, pos.y + offset.y};
        }
        m_BoxPositions[static_cast<size_t>(box)] = at;
    }
    FillPage();
    return 1;
}

void VanteoPopUp_Achievements_Steam::BindEvents()
{
    Bind(L"Anibtn_popup_ok", &VanteoPopUp_Achievements_Steam::OnClose);
    Bind(L"anibtn_achi_next", &VanteoPopUp_Achievements_Steam::OnNextPage);
    Bind(L"anibtn_achi_prev", &VanteoPopUp_Achievements_Steam::OnPrevPage);
    Bind(L"Steam_globalachi", &VanteoPopUp_Achievements_Steam::OnGlobalAchievements);
    BindIconDraws(std::make_integer_sequence<int, kBoxes>());
}

template <int... Boxes>
void VanteoPopUp_Achievements_Steam::BindIconDraws(std::integer_sequence<int, Boxes...>)
{
    (Bind(Numbered(L"achi_icon_on_", Boxes).c_str(), &VanteoPopUp_Achievements_Steam::OnDrawIcon<Boxes>, kv::EventDraw),
     ...);
}

void VanteoPopUp_Achievements_Steam::FillPage()
{
    if (!IsOpen())
        return;
    uint32_t lineOn = LabelColour(m_pWindow, L"Label_fontcolor_on", 0xFFFFFFFF);
    uint32_t lineOff = LabelColour(m_pWindow, L"Label_fontcolor_off", 0xFF808080);
    uint32_t dateOn = LabelColour(m_pWindow, L"Label_datecolor_on", 0xFFFFFFFF);
    uint32_t dateOff = LabelColour(m_pWindow, L"Label_datecolor_off", 0xFF808080);
    auto colour = [&](const std::wstring& name, uint32_t value) {
        if (auto* label = dynamic_cast<kv::KVLabel*>(Find(name.c_str())))
            label->colour = value;
    };
    for (int box = 0; box < kBoxes; ++box) {
        int index = box + m_nPage * kBoxes;
        const AchievementRecord* record = nullptr;
        if (index < kAchievementCount) {
            int id = g_nAchievementOrder[index];
            if (id >= 0 && id < kAchievementCount)
                record = &g_AchievementRecords[id];
        }
        const std::wstring overlay = Numbered(L"achi_box_off_", box), dummy = Numbered(L"dummy_box_", box);
        const std::wstring line1 = Numbered(L"Label_line1_on_", box), line21 = Numbered(L"Label_line2_1_on_", box),
                           line22 = Numbered(L"Label_line2_2_on_", box), date1 = Numbered(L"Label_date1_on_", box),
                           date2 = Numbered(L"Label_date2_on_", box);
        ShowChild(overlay.c_str(), false);
        for (const std::wstring* date : {&date1, &date2})
            colour(*date, dateOn);
        for (const std::wstring* line : {&line1, &line21, &line22})
            colour(*line, lineOn);
        const kv::KVPoint at = m_BoxPositions[static_cast<size_t>(box)];
        kv::KVWnd* dummyWindow = Find(dummy.c_str());
        if (dummyWindow)
            dummyWindow->SetPosition(at.x, at.y);
        for (const std::wstring* text : {&line1, &line21, &line22, &date1, &date2})
            SetLabel(text->c_str(), L"");
        int& icon = m_nIcons[static_cast<size_t>(box)];
        if (!record) {
            ShowChild(overlay.c_str(), true);
            icon = -1;
            continue;
        }
        bool twoLines = record->desc2[0] != '\0';
        if (twoLines) {
            SetLabel(line21.c_str(), platform::Widen(record->desc1));
            SetLabel(line22.c_str(), platform::Widen(record->desc2));
        } else {
            SetLabel(line1.c_str(), platform::Widen(record->desc1));
        }
        if (record->achieved) {
            icon = record->unlockTexture;
            SetLabel((twoLines ? date2 : date1).c_str(), platform::Widen(record->time));
        } else {
            if (dummyWindow)
                dummyWindow->SetPosition(at.x, at.y + 6.0f);
            for (const std::wstring* date : {&date1, &date2})
                colour(*date, dateOff);
            for (const std::wstring* line : {&line1, &line21, &line22})
                colour(*line, lineOff);
            ShowChild(overlay.c_str(), true);
            icon = record->lockTexture;
        }
    }
    SetLabel(L"Label_achi_pagecurrent", std::to_wstring(m_nPage + 1));
    SetLabel(L"Label_achi_pageall", std::to_wstring(m_nLastPage + 1));
    int unlocked = UnlockedCount();
    int percent = unlocked * 100 / kAchievementCount;
    SetLabel(L"Label_achi_unlocked_count", std::to_wstring(unlocked));
    SetLabel(L"Label_achi_unlocked_total", std::to_wstring(kAchievementCount));
    SetLabel(L"Label", std::to_wstring(percent) + L" %");
    if (auto* gauge = dynamic_cast<kv::KVProgress*>(Find(L"Progress_gauge"))) {
        gauge->SetRange(0, 100);
        gauge->SetPos(std::clamp(percent, 0, 100));
    }
    if (kv::KVWnd* next = Find(L"anibtn_achi_next"))
        next->SetEnabled(m_nPage != m_nLastPage);
    if (kv::KVWnd* prev = Find(L"anibtn_achi_prev"))
        prev->SetEnabled(m_nPage != 0);
}

void VanteoPopUp_Achievements_Steam::DrawIcon(int box, kv::EventArgs& args)
{
    args.handled = true;
    int icon = m_nIcons[static_cast<size_t>(box)];
    if (icon == -1)
        return;
    kv::KVWnd* window = Find(Numbered(L"achi_icon_on_", box).c_str());
    if (!window)
        return;
    kv::KVPoint at = window->GetAbsolutePosition();
    int alpha = static_cast<int>(window->GetEffectiveAlpha() * 255.0f + 0.5f);
    alpha = std::clamp(alpha, 0, 255);
    D3DXMATRIX place;
    D3DXMatrixTranslation(&place, at.x, at.y, 0.0f);
    GetRenderBackend().DrawSprite(icon, D3DCOLOR_ARGB(alpha, 255, 255, 255), &place);
}

void VanteoPopUp_Achievements_Steam::ChangePage(int delta)
{
    m_nPage = std::clamp(m_nPage + delta, 0, m_nLastPage);
    FillPage();
}

void VanteoPopUp_Achievements_Steam::OnNextPage(kv::EventArgs&) { ChangePage(1); }

void VanteoPopUp_Achievements_Steam::OnPrevPage(kv::EventArgs&) { ChangePage(-1); }

void VanteoPopUp_Achievements_Steam::OnClose(kv::EventArgs&)
{
    ButtonStep(L"skins_out");
}

void VanteoPopUp_Achievements_Steam::OnGlobalAchievements(kv::EventArgs&)
{
    if (ISteamFriends* friends = SteamFriends())
        friends->ActivateGameOverlayToWebPage(kGlobalAchievementsPage);
}

void VanteoPopUp_Achievements_Steam::Update(float)
{
    if (ClosingDone()) {
        DestroyWindow();
        m_nPage = 0;
    }
    if (!IsOpen())
        return;
    if (m_bFillPending && !IsAnimationRunning()) {
        FillPage();
        m_bFillPending = 0;
    }
    ShowChild(L"Single_globalachi", false);
    // The global page opens in the platform's overlay; without one the button could not act.
    ISteamUtils* utils = SteamUtils();
    EnableChild(L"Steam_globalachi", utils && utils->IsOverlayEnabled());
    if (KeyPressed(kPopUpKeyBackspace) || KeyPressed(kPopUpKeyEscape) || KeyPressed(kPopUpKeyEnter)) {
        kv::EventArgs args;
        OnClose(args);
    }
    if (!IsOpen() || m_bClosing)
        return;
    for (int vk : {0x50, 0x25, 0x21, 0x57, 0x55})
        if (KeyPressed(vk)) {
            ChangePage(-1);
            break;
        }
    for (int vk : {0x4E, 0x27, 0x22, 0x45, 0x49})
        if (KeyPressed(vk)) {
            ChangePage(1);
            break;
        }
    CWindowMouse* mouse = GetInputManager() ? GetInputManager()->GetMouse() : nullptr;
    if (mouse && mouse->m_nWheel > 0)
        ChangePage(-1);
    else if (mouse && mouse->m_nWheel < 0)
        ChangePage(1);
}
