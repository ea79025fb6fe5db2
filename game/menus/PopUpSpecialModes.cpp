#include "menus/PopUpSpecialModes.h"

#include "data/Options.h"
#include "data/Records.h"
#include "data/UnlockInfo.h"
#include "kv/KVWnd.h"
#include "menus/PopUpButtons.h"
#include "net/Achievements.h"
#include "net/NetGlobals.h"

#include <win32/Text.h>

#include <cstring>
#include <string>

namespace {

constexpr const char* kBattleModes[] = {"clone", "star", "stone", "big", "dash", "hell"};
constexpr const char* kPushModes[] = {"onecolor", "hell"};
constexpr int kMaxModes = 6;

} // namespace

const SpecialModeKind VanteoPopUp_BattleGeek::kKind = {
    "data/geek_battle.xml", "btn_btgeek_", kBattleModes, 6, UNLOCK_BATTLE_GEEK, RANK_BATTLE, 7, 0, 0, 1,
    MSG_BATTLE_GEEK_CLOSED, MSG_BATTLE_GEEK_LOCKED};

const SpecialModeKind VanteoPopUp_PushGeek::kKind = {
    "data/geek_push.xml", "btn_psgeek_", kPushModes, 2, UNLOCK_PUSH_GEEK, RANK_PUSH, 5, 40, 6, 7,
    MSG_PUSH_GEEK_CLOSED, MSG_PUSH_GEEK_LOCKED};

std::wstring VanteoPopUp_SpecialModes::Name(const char* part, int mode) const
{
    return platform::Widen(std::string(part) + m_Kind.modes[mode]);
}

int VanteoPopUp_SpecialModes::Open()
{
    return OpenLayout(m_Kind.layout, L"video_in");
}

void VanteoPopUp_SpecialModes::BindEvents()
{
    Bind(L"Anibtn_popup_close", &VanteoPopUp_SpecialModes::OnClose);
    BindModes(std::make_integer_sequence<int, kMaxModes>());
}

template <int... M>
void VanteoPopUp_SpecialModes::BindModes(std::integer_sequence<int, M...>)
{
    const std::string prefix = m_Kind.buttonPrefix;
    auto bind = [&](int mode, auto chosen, auto locked) {
        if (mode >= m_Kind.modeCount)
            return;
        Bind(Name(prefix.c_str(), mode).c_str(), chosen);
        Bind(Name((prefix + "lock_").c_str(), mode).c_str(), locked);
    };
    (bind(M, &VanteoPopUp_SpecialModes::OnModeChosen<M>, &VanteoPopUp_SpecialModes::OnLockedMode<M>), ...);
}

void VanteoPopUp_SpecialModes::ChooseMode(int mode)
{
    if (ButtonStep(L"video_out"))
        m_nChosenMode = mode;
}

void VanteoPopUp_SpecialModes::OnClose(kv::EventArgs&)
{
    if (ButtonStep(L"video_out"))
        m_nChosenMode = m_Kind.modeCount;
}

void VanteoPopUp_SpecialModes::Update(float)
{
    if (IsOpen())
        UpdateLocks();
    if (ClosingDone()) {
        DestroyWindow();
        Post(m_Kind.closedMessage, m_nChosenMode);
    }
    if (IsOpen() && (KeyPressed(kPopUpKeyBackspace) || KeyPressed(kPopUpKeyEscape) || KeyPressed(kPopUpKeyEnter))) {
        kv::EventArgs args;
        OnClose(args);
    }
}

void VanteoPopUp_SpecialModes::UpdateLocks()
{
    if (!m_bUnlocksSet || !IsOpen())
        return;
    for (int mode = 0; mode < m_Kind.modeCount; ++mode) {
        const UnlockInfo* record = GetUnlockInfo(m_Kind.unlockGroup, mode);
        if (!record)
            continue;
        const std::wstring lock = platform::Widen(record->unlockPic);
        kv::KVWnd* button = Find(platform::Widen(record->btnName).c_str());
        // An unnamed price picture names no window.
        const std::wstring price = record->cubePic[0] ? platform::Widen(record->cubePic) : std::wstring();
        const std::wstring grey = price.empty() ? std::wstring() : price + L"_gray";
        for (const std::wstring* name : {&price, &grey})
            if (kv::KVWnd* picture = name->empty() ? nullptr : Find(name->c_str()))
                picture->SetMouseTransparent(true);
        if (record->isUnlock) {
            ShowChild(lock.c_str(), false);
            if (button && !button->IsEnabled())
                ResetAndEnableButton(button);
            continue;
        }
        const bool affordable = record->cube <= GameConfig.cubes;
        if (!price.empty()) {
            ShowChild(grey.c_str(), !affordable);
            ShowChild(price.c_str(), affordable);
        }
        ShowChild(lock.c_str(), true);
        DisableButton(button);
    }
}

int VanteoPopUp_SpecialModes::ShowRanks()
{
    int summary = 2;
    for (int mode = 0; mode < m_Kind.modeCount; ++mode) {
        const std::string table = std::to_string(m_Kind.firstTable + mode);
        const RankEntry* places = FindRankingTable(m_Kind.rankingBoard, table.c_str());
        int place = -1;
        if (places) {
            for (int i = 0; i < RankingTable::kPlaces; ++i) {
                if (std::strcmp(places[i].name, kLocalPlayerName) != 0)
                    continue;
                if (places[i].score > m_Kind.clearAbove)
                    place = i;
                break;
            }
        }
        const std::wstring clear = Name("Pic_icon_clear_", mode), allClear = Name("Pic_icon_allclear_", mode);
        for (const std::wstring* name : {&clear, &allClear})
            if (kv::KVWnd* mark = Find(name->c_str()))
                mark->SetMouseTransparent(true);
        std::wstring comment;
        if (place == 0)
            comment = L"Rank 1";
        else if (place >= 1 && place <= 4)
            comment = L"Rank " + std::to_wstring(place + 1);
        else if (place == 5)
            comment = L"No Rank";
        SetLabel(Name("Label_cmt_", mode).c_str(), comment);
        ShowChild(allClear.c_str(), place == 0);
        ShowChild(clear.c_str(), place >= 1);
        if (place < 0)
            summary = 0;
        else if (place >= 1 && summary == 2)
            summary = 1;
    }
    if (g_pAchievements) {
        if (summary >= 1)
            g_pAchievements->Unlock(&g_AchievementRecords[m_Kind.achievementAllClear]);
        if (summary == 2)
            g_pAchievements->Unlock(&g_AchievementRecords[m_Kind.achievementAllFirst]);
    }
    return summary;
}
