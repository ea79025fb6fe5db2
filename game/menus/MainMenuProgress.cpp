// What the main menu shows of the player's progress, every frame or when a sub-menu comes up:
// the mode locks and the hints of the guided first play, the how-to marks, the clear icons of
// the stage challenge and the logic puzzles, and the record labels, clear icons and ranking
// buttons of the sub-menus. Besides windows they only earn achievements and lower the stage
// challenge's local best, whose file is written when that best changes.
#include "menus/MainMenuScene.h"

#include "data/GameDataXml.h"
#include "data/Options.h"
#include "data/Records.h"
#include "data/UnlockInfo.h"
#include "menus/MenuWindows.h"
#include "menus/PopUp.h"
#include "net/Achievements.h"
#include "net/LeaderBoard.h"

#include <cstdio>
#include <cstring>

using menuwindows::Child;
using menuwindows::Enable;
using menuwindows::MouseTransparent;
using menuwindows::SetText;
using menuwindows::Show;

namespace {

bool IsBought(int group, int index)
{
    const UnlockInfo* entry = GetUnlockInfo(group, index);
    return entry && entry->isUnlock != 0;
}

std::wstring Format(const wchar_t* format, int a, int b = 0)
{
    wchar_t text[64];
    std::swprintf(text, 64, format, a, b);
    return text;
}

// The index of the first place named as the player's, when its score is above `above`; -1 when
// that place scores no more, when no place is the player's or when there is no table.
int PlayerPlace(int board, const char* key, int above)
{
    const RankEntry* places = FindRankingTable(board, key);
    if (!places)
        return -1;
    for (int p = 0; p < RankingTable::kPlaces; ++p)
        if (std::strncmp(places[p].name, kLocalPlayerName, sizeof places[p].name) == 0)
            return places[p].score > above ? p : -1;
    return -1;
}

// The score of the player's first place in a table, 0 when there is none or it is negative.
int PlayerBest(int board, const char* key)
{
    const RankEntry* places = FindRankingTable(board, key);
    if (!places)
        return 0;
    for (int p = 0; p < RankingTable::kPlaces; ++p)
        if (std::strncmp(places[p].name, kLocalPlayerName, sizeof places[p].name) == 0)
            return places[p].score < 0 ? 0 : places[p].score;
    return 0;
}

// The battle and push sub-menus: a clear mark and a rank per level, the level achievements and
// the self-play wins.
struct LevelScreen {
    int board;
    int wonAbove;
    const char* allClearAchievement;
    const char* firstAchievement;
    int unlockGroup;
    int selfWins;
};

void ShowLevels(kv::KVWnd* screen, const LevelScreen& levels)
{
    static const struct {
        const char* key;
        const wchar_t* label;
        const wchar_t* allClear;
        const wchar_t* clear;
    } kLevels[] = {{"1", L"Label_cmt_easy", L"Pic_icon_allclear_easy", L"Pic_icon_clear_easy"},
                   {"2", L"Label_cmt_normal", L"Pic_icon_allclear_normal", L"Pic_icon_clear_normal"},
                   {"3", L"Label_cmt_hard", L"Pic_icon_allclear_hard", L"Pic_icon_clear_hard"},
                   {"4", L"Label_cmt_extreme", L"Pic_icon_allclear_extreme", L"Pic_icon_clear_extreme"}};
    bool allFirst = true, allPlaced = true;
    for (const auto& level : kLevels) {
        const int p = PlayerPlace(levels.board, level.key, levels.wonAbove);
        kv::KVWnd* allClear = Child(screen, level.allClear);
        kv::KVWnd* clear = Child(screen, level.clear);
        MouseTransparent(allClear);
        MouseTransparent(clear);
        SetText(screen, level.label, p < 0 ? L"" : p == 5 ? L"No Rank" : Format(L"Rank %d", p + 1));
        Show(allClear, p == 0);
        Show(clear, p > 0);
        allFirst = allFirst && p == 0;
        allPlaced = allPlaced && p >= 0;
    }
    if (allPlaced)
        UnlockAchievementNamed(levels.allClearAchievement);
    if (allFirst)
        UnlockAchievementNamed(levels.firstAchievement);
    SetText(screen, L"Label_cmt_self", IsBought(levels.unlockGroup, 4) ? Format(L"%d Wins", levels.selfWins) : L"");
}

} // namespace

void VanteoMainMenuScene::UpdateMenuMarks()
{
    // The guided first play keeps the player on the puzzle challenges, whatever is open.
    const bool guided = GameConfig.guidedPlay != 0;
    kv::KVWnd* main = GetScreen(kScreenMain);
    kv::KVWnd* puzzle = GetScreen(0);
    const struct {
        const wchar_t* lock;
        const wchar_t* button;
        int open;
    } modes[] = {{L"Anibtn_lock_push", L"Anibtn_pushing", GameConfig.unlockPush},
                 {L"Anibtn_lock_iq", L"Anibtn_iq", GameConfig.unlockIQ},
                 {L"Anibtn_lock_battle", L"Anibtn_battle", GameConfig.unlockBattle}};
    for (const auto& mode : modes) {
        Show(Child(main, mode.lock), guided || mode.open == 0);
        Enable(Child(main, mode.button), !guided && mode.open != 0);
    }
    Show(Child(main, L"Steam_Anibtn_lock_multi"), !guided && GameConfig.unlockMulti == 0);
    Enable(Child(main, L"Steam_Anibtn_multi"), guided || GameConfig.unlockMulti != 0);
    if (guided)
        Enable(Child(puzzle, L"Anibtn_arrowL"), false);
    Show(Child(puzzle, L"main_clickhere"), guided);
    Show(Child(puzzle, L"Pic_sub_current"), !guided);
    Show(Child(main, L"main_clickhere"), guided);

    const int firstTime[4] = {GameConfig.showPuzzleTutorial, GameConfig.showBattleTutorial, GameConfig.showPushTutorial,
                              GameConfig.showIQTutorial};
    for (int i = 0; i < 4; ++i) {
        kv::KVWnd* sub = GetScreen(i);
        Show(Child(sub, L"Anibtn_howtoman_first"), firstTime[i] != 0);
        Show(Child(sub, L"Anibtn_howtoman"), firstTime[i] == 0);
    }

    kv::KVWnd* stageRanking = Child(puzzle, L"Steam_btn_puzzle_ranking_stage");
    kv::KVWnd* stageAllClear = Child(puzzle, L"Pic_icon_stage_allclear_hard");
    kv::KVWnd* stageClear = Child(puzzle, L"Pic_icon_stage_clear_hard");
    if (m_nHardAllClearTime > 0) {
        if (RaiseStageBest())
            GetLeaderBoard().SaveLocalBests();
        Show(stageRanking, true);
        const bool first = IsFirstInAllHardStages();
        Show(stageAllClear, first);
        Show(stageClear, !first);
        UnlockAchievementNamed("ACH_ACCOM_SC_ALLCLEAR");
        if (first)
            UnlockAchievementNamed("ACH_ACCOM_SC_ALLCLEAR_NO1");
    } else {
        Show(stageRanking, false);
        Show(stageAllClear, false);
        Show(stageClear, false);
    }

    kv::KVWnd* iq = GetScreen(3);
    static const struct {
        const wchar_t* allClear;
        const wchar_t* clear;
        const char* allClearAchievement;
        const char* firstAchievement;
    } kFolders[3] = {
        {L"Pic_icon_iq_allclear_easy", L"Pic_icon_iq_clear_easy", "ACH_ACCOM_IQ_EASY_ALLCLEAR", "ACH_ACCOM_IQ_EASY_ALLCLEAR_NO1"},
        {L"Pic_icon_iq_allclear_normal", L"Pic_icon_iq_clear_normal", "ACH_ACCOM_IQ_NORMAL_ALLCLEAR",
         "ACH_ACCOM_IQ_NORMAL_ALLCLEAR_NO1"},
        {L"Pic_icon_iq_allclear_hard", L"Pic_icon_iq_clear_hard", "ACH_ACCOM_IQ_HARD_ALLCLEAR", "ACH_ACCOM_IQ_HARD_ALLCLEAR_NO1"}};
    for (int d = 0; d < 3; ++d) {
        kv::KVWnd* allClear = Child(iq, kFolders[d].allClear);
        kv::KVWnd* clear = Child(iq, kFolders[d].clear);
        MouseTransparent(allClear);
        MouseTransparent(clear);
        const bool bought = IsBought(UNLOCK_IQ, d);
        const bool allFirst = bought && m_nIQFirstPercent[d] == 100;
        const bool allSolved = bought && !allFirst && m_nIQClearPercent[d] == 100;
        if (allFirst || allSolved)
            UnlockAchievementNamed(kFolders[d].allClearAchievement);
        if (allFirst)
            UnlockAchievementNamed(kFolders[d].firstAchievement);
        Show(allClear, allFirst);
        Show(clear, allSolved);
    }

    UpdateSkinHint();
}

bool VanteoMainMenuScene::RaiseStageBest()
{
    QuiblyLeaderBoard& bests = GetLeaderBoard();
    int32_t& best = bests.m_nBest[LB_STAGE];
    if (m_nHardAllClearTime <= 0 || (best != -1 && best <= m_nHardAllClearTime))
        return false;
    best = m_nHardAllClearTime;
    return true;
}

void VanteoMainMenuScene::UpdateSubMenu()
{
    switch (m_nCurSubMenu) {
    case 0: UpdatePuzzleSubMenu(); break;
    case 1: UpdateBattleSubMenu(); break;
    case 2: UpdatePushSubMenu(); break;
    case 3: UpdateIqSubMenu(); break;
    default: break;
    }
}

void VanteoMainMenuScene::UpdatePuzzleSubMenu()
{
    kv::KVWnd* puzzle = GetScreen(0);
    const int reached = GetHardStageReached();
    const int combo = PlayerBest(RANK_COMBO, "7");
    const int point = PlayerBest(RANK_POINT, "2");
    const int time = m_nHardAllClearTime > 0 ? m_nHardAllClearTime : 0;
    SetText(puzzle, L"Label_cmt_stage",
            reached >= 50 ? Format(L"ALL CLEAR %02d:%02d", time / 60, time % 60)
            : reached > 0 ? Format(L"STAGE %d", reached)
                          : L"");

    const bool comboBought = IsBought(UNLOCK_PUZZLE, 1);
    SetText(puzzle, L"Label_cmt_combo", comboBought ? Format(L"%d COMBO", combo) : L"");
    Enable(Child(puzzle, L"Steam_btn_puzzle_ranking_combo"), comboBought);
    if (comboBought) {
        const std::pair<int, const char*> comboAchievements[] = {
            {100, "ACH_LB_CC_100"}, {300, "ACH_LB_CC_300"}, {500, "ACH_LB_CC_500"}};
        for (const auto& [atLeast, name] : comboAchievements)
            if (combo >= atLeast)
                UnlockAchievementNamed(name);
    }

    const bool pointBought = IsBought(UNLOCK_PUZZLE, 0);
    SetText(puzzle, L"Label_cmt_point", pointBought ? GroupedScore(point) : L"");
    Enable(Child(puzzle, L"Steam_btn_puzzle_ranking_point"), pointBought);
    if (pointBought) {
        const std::pair<int, const char*> pointAchievements[] = {
            {1000000, "ACH_LB_PC_1M"}, {2000000, "ACH_LB_PC_2M"}, {5000000, "ACH_LB_PC_5M"}};
        for (const auto& [atLeast, name] : pointAchievements)
            if (point >= atLeast)
                UnlockAchievementNamed(name);
    }
}

void VanteoMainMenuScene::UpdateBattleSubMenu()
{
    ShowLevels(GetScreen(1), {RANK_BATTLE, 0, "ACH_ACCOM_BATTLE_LEVEL_ALLCLEAR", "ACH_ACCOM_BATTLE_LEVEL_ALLCLEAR_NO1",
                              UNLOCK_BATTLE, gamedata::SaturatingAdd(GameConfig.selfWinBattle, GameConfig.selfWinStackBattle)});
}

void VanteoMainMenuScene::UpdatePushSubMenu()
{
    // A push place counts when the game was won: its score is above 40.
    ShowLevels(GetScreen(2), {RANK_PUSH, 40, "ACH_ACCOM_PUSH_LEVEL_ALLCLEAR", "ACH_ACCOM_PUSH_LEVEL_ALLCLEAR_NO1",
                              UNLOCK_PUSH, gamedata::SaturatingAdd(GameConfig.selfWinPush, GameConfig.selfWinStackPush)});
}

void VanteoMainMenuScene::UpdateIqSubMenu()
{
    kv::KVWnd* iq = GetScreen(3);
    const wchar_t* const labels[3] = {L"Label_cmt_easy", L"Label_cmt_normal", L"Label_cmt_hard"};
    for (int d = 0; d < 3; ++d) {
        const int solved = GetPuzzleSolvedPercent(d);
        SetText(iq, labels[d], IsBought(UNLOCK_IQ, d) ? Format(L"%d%% CLEAR", solved) : L"");
    }
}
