#include "menus/PopUpStart.h"

#include "data/Options.h"
#include "data/Records.h"
#include "kv/KVLabel.h"

#include <win32/Text.h>

#include <cstdio>
#include <cstring>

namespace {

// The icons by mode; null where a mode has none.
const wchar_t* const kBattleIcons[] = {
    nullptr,
    L"Pic_start_icon_battle_easy",
    L"Pic_start_icon_battle_normal",
    L"Pic_start_icon_battle_hard",
    L"Pic_start_icon_battle_extreme",
    nullptr,
    nullptr,
    L"Pic_start_icon_battle_clone",
    L"Pic_start_icon_battle_star",
    L"Pic_start_icon_battle_stone",
    L"Pic_start_icon_battle_big",
    L"Pic_start_icon_battle_dash",
    L"Pic_start_icon_battle_hell",
    L"Pic_start_icon_battle_self"};
const wchar_t* const kPushIcons[] = {nullptr,
                                     L"Pic_start_icon_push_easy",
                                     L"Pic_start_icon_push_normal",
                                     L"Pic_start_icon_push_hard",
                                     L"Pic_start_icon_push_extreme",
                                     L"Pic_start_icon_push_clone",
                                     L"Pic_start_icon_push_hell",
                                     nullptr,
                                     nullptr,
                                     nullptr,
                                     L"Pic_start_icon_push_self"};
const wchar_t* const kPuzzleIcons[] = {L"Pic_start_icon_puzzle_combo", L"Pic_start_icon_puzzle_point"};

struct IconTable {
    const wchar_t* const* icons;
    int count;
};

IconTable Icons(int kind)
{
    switch (kind) {
    case VanteoPopUp_Start::kBattle: return {kBattleIcons, static_cast<int>(std::size(kBattleIcons))};
    case VanteoPopUp_Start::kPush: return {kPushIcons, static_cast<int>(std::size(kPushIcons))};
    case VanteoPopUp_Start::kPuzzle: return {kPuzzleIcons, static_cast<int>(std::size(kPuzzleIcons))};
    default: return {nullptr, 0};
    }
}

// A lost game keeps its seconds as 1000000 minus the time, so that among equal scores the
// longer game sorts first.
constexpr int32_t kUntimed = 1000000;

std::wstring Row(const wchar_t* format, int row)
{
    wchar_t name[48];
    std::swprintf(name, 48, format, row);
    return name;
}

std::wstring Two(int value)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"%02d", value);
    return text;
}

} // namespace

int VanteoPopUp_Start::Open()
{
    if (!OpenLayout(kLayout, L"start_in"))
        return 0;
    m_bConfirmed = 0;
    m_nBestPlace = -1;
    return 1;
}

void VanteoPopUp_Start::BindEvents()
{
    Bind(L"AnimBtn_start", &VanteoPopUp_Start::OnStart);
    Bind(L"AnimBtn_cancel", &VanteoPopUp_Start::OnCancel);
    Bind(L"AniBtn_start_self_reset", &VanteoPopUp_Start::OnResetSelf);
}

void VanteoPopUp_Start::ShowBackground()
{
    if (m_nKind < kBattle || m_nKind > kPuzzle)
        return;
    ShowChild(L"Pic_start_battle_back", m_nKind == kBattle);
    ShowChild(L"Pic_start_push_back", m_nKind == kPush);
    ShowChild(L"Pic_start_puzzle_back", m_nKind == kPuzzle);
}

void VanteoPopUp_Start::SetMode(int kind, int mode)
{
    m_nKind = kind;
    m_nMode = mode;
    int32_t selfWins = 0;
    m_bSelf = 0;
    if (kind == kBattle && mode == kBattleSelfMode) {
        m_bSelf = 1;
        selfWins = GameConfig.selfWinBattle;
    } else if (kind == kPush && mode == kPushSelfMode) {
        m_bSelf = 1;
        selfWins = GameConfig.selfWinPush;
    }
    if (!IsOpen())
        return;
    ShowBackground();
    // Every icon goes, the other kinds' too: the layout shows them all until a mode is set.
    for (int k = kBattle; k <= kPuzzle; ++k) {
        const IconTable icons = Icons(k);
        for (int i = 0; i < icons.count; ++i)
            if (icons.icons[i])
                ShowChild(icons.icons[i], false);
    }
    const IconTable table = Icons(kind);
    if (m_bSelf)
        EnableChild(L"AniBtn_start_self_reset", selfWins > 0);
    if (mode >= 0 && mode < table.count && table.icons[mode])
        ShowChild(table.icons[mode], true);
}

void VanteoPopUp_Start::FillRanking(const RankEntry* table)
{
    Fill(table, false);
}

void VanteoPopUp_Start::FillSelfRecord(const RankEntry* table)
{
    Fill(table, true);
}

void VanteoPopUp_Start::Fill(const RankEntry* table, bool push)
{
    m_nBestPlace = -1;
    if (!table || !IsOpen())
        return;
    // A push score is 10 x the player's games + 4 - the opponent's: above 40 is a won game.
    const int32_t wonAbove = push ? 40 : 0;
    const std::wstring player = platform::Widen(
        std::string(GameConfig.playerName, strnlen(GameConfig.playerName, sizeof GameConfig.playerName)));
    for (int n = 1; n <= RankingTable::kPlaces; ++n) {
        const RankEntry& place = table[n - 1];
        SetLabel(Row(L"Label_rank_%d", n).c_str(), std::to_wstring(n));
        auto* name = dynamic_cast<kv::KVLabel*>(Find(Row(L"Label_rank_name_%d", n).c_str()));
        const std::wstring score = Row(L"Label_rank_score_%d", n);
        const std::wstring minutes = Row(L"Label_rank_time_m_%d", n);
        const std::wstring seconds = Row(L"Label_rank_time_s_%d", n);
        if (place.score < 0) {
            // A place that holds no game yet.
            if (name) {
                name->style = 0;
                name->text = L"-----";
            }
            SetLabel(score.c_str(), push ? L"-:-" : L"----");
            SetLabel(minutes.c_str(), L"--");
            SetLabel(seconds.c_str(), L"--");
            continue;
        }
        const bool mine = std::strncmp(place.name, kLocalPlayerName, sizeof place.name) == 0;
        if (name) {
            name->style = mine ? 1 : 0;
            name->text = mine ? player : platform::Widen(std::string(place.name, strnlen(place.name, sizeof place.name)));
        }
        if (mine && m_nBestPlace == -1 && place.score > wonAbove)
            m_nBestPlace = n - 1;
        if (push) {
            wchar_t games[32];
            std::swprintf(games, 32, L"%d : %d", place.score / 10, 4 - place.score % 10);
            SetLabel(score.c_str(), games);
        } else {
            SetLabel(score.c_str(), GroupedScore(place.score));
        }
        int32_t t = place.score <= wonAbove ? kUntimed - place.time : place.time;
        // A damaged time never shows as a negative clock.
        if (t < 0)
            t = 0;
        SetLabel(minutes.c_str(), Two(t / 60));
        SetLabel(seconds.c_str(), Two(t % 60));
    }
}

void VanteoPopUp_Start::OnStart(kv::EventArgs&)
{
    if (ButtonStep(L"start_out"))
        m_bConfirmed = 1;
}

void VanteoPopUp_Start::OnCancel(kv::EventArgs&)
{
    if (ButtonStep(L"start_out"))
        m_bConfirmed = 0;
}

void VanteoPopUp_Start::OnResetSelf(kv::EventArgs&)
{
    Post(MSG_START_RESET_SELF, m_nKind);
}

void VanteoPopUp_Start::Update(float)
{
    if (ClosingDone()) {
        DestroyWindow();
        if (m_bConfirmed == 1)
            PayloadWriter().I32(m_nKind).I32(m_nMode).PostTo(PopUpMessages(), MSG_START_CONFIRMED);
    }
    if (!IsOpen())
        return;
    // Every dialog key cancels; none starts the mode.
    if (KeyPressed(kPopUpKeyBackspace) || KeyPressed(kPopUpKeyEscape) || KeyPressed(kPopUpKeyEnter)) {
        kv::EventArgs args;
        OnCancel(args);
    }
    // The two panels switch at once, without a show or hide effect.
    const std::pair<const wchar_t*, bool> panels[] = {{L"Wnd_start_rank", m_bSelf == 0}, {L"Wnd_start_self", m_bSelf != 0}};
    for (const auto& [panelName, show] : panels)
        if (kv::KVWnd* panel = Find(panelName))
            panel->SetVisibleFlag(show);
    const bool marks = m_nKind != kPuzzle;
    ShowChild(L"Pic_start_icon_allclear", marks && m_nBestPlace == 0);
    ShowChild(L"Pic_start_icon_clear", marks && m_nBestPlace >= 1 && m_nBestPlace <= 5);
    ShowBackground();
}
