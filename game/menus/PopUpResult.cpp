#include "menus/PopUpResult.h"

#include "engine/Getters.h"
#include "data/Options.h"
#include "data/Records.h"
#include "engine/InputSystem.h"
#include "engine/WindowMouse.h"
#include "kv/KVDirector.h"
#include "kv/KVLabel.h"
#include "kv/KVPicture.h"
#include "kv/KVSystem.h"
#include "net/LeaderBoard.h"
#include "net/NetGlobals.h"
#include "net/QuiblyLobby.h"

#include <helvane/Log.h>
#include <win32/Text.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kKeyT = 'T';
constexpr int kKeyR = 'R';
constexpr int kKeyQ = 'Q';
constexpr int kUntimed = 1000000;
constexpr int kPlaces = 6;
constexpr int kRows = 5;

const wchar_t* const kHeaders[] = {L"Wnd_result_win",  L"Wnd_result_lose",      L"Wnd_result_clear",
                                   L"Wnd_result_fail", L"Wnd_result_newrecord", L"Wnd_result_gameover"};
const wchar_t* const kContentButtons[] = {L"Anibtn_result_next",       L"Anibtn_result_continue",
                                          L"Anibtn_result_retry_self", L"Anibtn_result_reset_self",
                                          L"Anibtn_result_next_iq",    L"Anibtn_result_retry"};
const wchar_t* const kGradeNames[] = {L"stone", L"normal", L"gold", L"fire", L"god"};

std::wstring Format(const wchar_t* format, int value)
{
    wchar_t text[32];
    std::swprintf(text, 32, format, value);
    return text;
}

std::wstring Two(int value)
{
    return Format(L"%02d", value);
}

std::wstring WithIndex(const wchar_t* prefix, int n, const wchar_t* suffix = L"")
{
    return prefix + std::to_wstring(n) + suffix;
}

// A name of a fixed-size field, up to its first zero byte.
std::wstring FieldText(const char* field, size_t bytes)
{
    return platform::Widen(std::string(field, strnlen(field, bytes)));
}

int ThisGameBlockClicks()
{
    int clicks = 0;
    if (PlayRecord.thisGame)
        PlayRecord.thisGame->QueryIntAttribute("BlockClick", &clicks);
    return clicks;
}

bool LeftPressedThisFrame()
{
    CWindowMouse* mouse = GetInputManager()->GetMouse();
    return mouse && (mouse->m_dwFlags & mouseflag::kLeftPressed);
}

} // namespace

bool IsOnlineHost()
{
    return g_pSteamServer != nullptr;
}

// Loading, opening and the frame.

void VanteoPopUp_Result::Load()
{
    if (m_pWindow)
        return;
    kv::KVWnd* window = kv::GetKVSystem().CreateWindowFromLayout(kLayout);
    if (!window) {
        DFLog(L"result pop-up: layout %hs gave no window", kLayout);
        return;
    }
    m_pWindow = window;
    window->SetZOrder(-4);
    m_ClickEffect.LoadAnimations();
    Bind(L"WndEx_multi_result_message", &VanteoPopUp_Result::RenderEffect, kv::EventDraw);
    BindEvents();
}

void VanteoPopUp_Result::BindEvents()
{
    Bind(L"Anibtn_result_retry", &VanteoPopUp_Result::OnRetry);
    Bind(L"Anibtn_result_retry_self", &VanteoPopUp_Result::OnRetry);
    Bind(L"Anibtn_result_continue", &VanteoPopUp_Result::OnContinue);
    Bind(L"Anibtn_result_next", &VanteoPopUp_Result::OnNext);
    Bind(L"Anibtn_result_next_iq", &VanteoPopUp_Result::OnNext);
    Bind(L"Anibtn_result_return", &VanteoPopUp_Result::OnReturn);
    Bind(L"Anibtn_result_reset_self", &VanteoPopUp_Result::OnResetSelf);
}

void VanteoPopUp_Result::Unload()
{
    PopUpSounds().Stop(kResultMusic);
    DestroyWindow();
    m_fMusicDelay = -1.0f;
    // Nothing is shown any more, so nothing is open either.
    m_nState = 0;
}

int VanteoPopUp_Result::Open()
{
    if (!m_pWindow) {
        DFLog(L"result pop-up: opened without its window");
        return 0;
    }
    if (IsOpen())
        return 0;
    m_fShowDelay = kShowDelay;
    m_nState = 1;
    m_bClosing = 0;
    return 1;
}

int VanteoPopUp_Result::Show()
{
    if (!m_pWindow)
        return 0;
    m_pWindow->SetVisible(true);
    StartPicture(L"Pic_result_frame");
    m_nState = 1;
    FillContent();
    if (m_nShowSound != -1)
        PopUpSounds().Play(m_nShowSound, false, -1.0f);
    if (kv::KVSystem* system = kv::KVSystem::GetPtr())
        system->Update(0);
    return 1;
}

void VanteoPopUp_Result::Update(float seconds)
{
    m_ClickEffect.Update(seconds);
    if (!m_pWindow)
        return;
    if (m_bClosing)
        m_ClickEffect.Clear();
    if (m_fShowDelay > 0) {
        m_fShowDelay -= seconds;
        if (m_fShowDelay <= 0)
            Show();
        return;
    }
    if (IsOpen()) {
        if (m_fMusicDelay > 0) {
            m_fMusicDelay -= seconds;
            if (m_fMusicDelay <= 0)
                PopUpSounds().Play(kResultMusic, true, -1.0f);
        }
        ShowGrade();
    }
    // A layout without a director has nothing running: steps and closing go ahead at once.
    if (m_bClosing && !IsAnimationRunning()) {
        m_pWindow->SetVisible(false);
        m_bClosing = 0;
        m_nState = 0;
        PopUpSounds().Stop(kResultMusic);
        static const int32_t kMessages[] = {MSG_RESULT_RETRY, MSG_RESULT_CONTINUE, MSG_RESULT_NEXT, MSG_RESULT_RETURN};
        if (m_nChoice >= kRetry && m_nChoice <= kReturn)
            Post(kMessages[m_nChoice]);
    } else if (!m_bClosing) {
        NextStep(seconds);
    }
    HandleKeys();
}

void VanteoPopUp_Result::ShowGrade()
{
    if (m_nGradeKind != kBrain && m_nGradeKind != kHand)
        return;
    bool hand = m_nGradeKind == kHand;
    ShowChild(L"Pic_result_back_hand", hand);
    ShowChild(L"Pic_result_back_brain", !hand);
    for (int g = 0; g < 5; ++g)
        ShowChild((std::wstring(hand ? L"Anibtn_result_hand_" : L"Anibtn_result_brain_") + kGradeNames[g]).c_str(),
                  g == m_nGrade);
}

void VanteoPopUp_Result::Step(const wchar_t* pattern)
{
    if (!IsOpen())
        return;
    if (IsAnimationRunning() && !(LeftPressedThisFrame() && m_nState > 1))
        return;
    if (m_nState < 5) {
        ++m_nState;
        wchar_t name[64];
        std::swprintf(name, 64, pattern, m_nState);
        PlayScene(name);
    }
}

int VanteoPopUp_Result::PlayOut(const wchar_t* closingScene)
{
    if (m_nState == 0 || m_fShowDelay > 0 || m_bClosing)
        return 0;
    m_fMusicDelay = -1.0f;
    if (!m_pWindow || IsAnimationRunning())
        return 0;
    PlayScene(closingScene);
    PopUpSounds().Stop(kResultMusic);
    m_bClosing = 1;
    Update(0);
    return 1;
}

void VanteoPopUp_Result::Choose(int32_t choice)
{
    // The choice is in place before the closing starts, so a closing that completes at once
    // posts it; a refused closing leaves the earlier choice.
    int32_t earlier = m_nChoice;
    m_nChoice = choice;
    if (!PlayOutAnimation())
        m_nChoice = earlier;
}

void VanteoPopUp_Result::OnContinue(kv::EventArgs&) { Choose(kContinue); }
void VanteoPopUp_Result::OnNext(kv::EventArgs&) { Choose(kNext); }
void VanteoPopUp_Result::OnRetry(kv::EventArgs&) { Choose(kRetry); }
void VanteoPopUp_Result::OnReturn(kv::EventArgs&) { Choose(kReturn); }

void VanteoPopUp_Result::OnResetSelf(kv::EventArgs&)
{
    Post(MSG_RESULT_RESET_SELF);
}

bool VanteoPopUp_Result::Usable(const wchar_t* name) const
{
    kv::KVWnd* window = Find(name);
    return window && window->IsShownRecursive() && window->IsEnabledRecursive();
}

void VanteoPopUp_Result::SetEnabled(const wchar_t* name, bool enabled) const
{
    if (kv::KVWnd* window = Find(name)) {
        window->SetEnabled(enabled);
        if (!enabled)
            window->SetActiveFlag(false);
    }
}

void VanteoPopUp_Result::HandleKeys()
{
    KeysWithSpaceOn(L"Anibtn_result_continue", &VanteoPopUp_Result::OnContinue);
}

void VanteoPopUp_Result::PuzzleKeys()
{
    KeysWithSpaceOn(L"Anibtn_result_next_iq", &VanteoPopUp_Result::OnNext);
}

void VanteoPopUp_Result::KeysWithSpaceOn(const wchar_t* spaceButton, void (VanteoPopUp_Result::*spaceAction)(kv::EventArgs&))
{
    if (!IsOpen())
        return;
    kv::EventArgs args;
    if (KeyPressed(kPopUpKeySpace) && Usable(spaceButton))
        (this->*spaceAction)(args);
    if (KeyPressed(kKeyT) && Usable(L"Anibtn_result_reset_self"))
        OnResetSelf(args);
    if (KeyPressed(kKeyR)) {
        if (Usable(L"Anibtn_result_retry") || Usable(L"Anibtn_result_retry_self"))
            OnRetry(args);
    } else if (KeyPressed(kKeyQ) && Usable(L"Anibtn_result_return")) {
        OnReturn(args);
    }
}

void VanteoPopUp_Result::OnMouseClick(uint32_t lParam)
{
    if (!IsOpen() || m_nState <= 1)
        return;
    float x = static_cast<float>(lParam & 0xFFFF);
    float y = static_cast<float>((lParam >> 16) & 0xFFFF);
    m_ClickEffect.Add(BlockClickEffect::kStamp, x, y);
}

void VanteoPopUp_Result::RenderEffect(kv::EventArgs&)
{
    m_ClickEffect.Draw(nullptr);
}

void VanteoPopUp_Result::DisableResetSelf()
{
    kv::KVWnd* button = Find(L"Anibtn_result_reset_self");
    if (button && button->IsEnabled())
        SetEnabled(L"Anibtn_result_reset_self", false);
}

void VanteoPopUp_Result::StartPicture(const wchar_t* name) const
{
    if (auto* picture = dynamic_cast<kv::KVPicture*>(Find(name)))
        picture->PlayScene(L"");
}

void VanteoPopUp_Result::ShowContent(const wchar_t* firstStep, const wchar_t* header,
                                     std::initializer_list<const wchar_t*> pictures,
                                     std::initializer_list<const wchar_t*> buttons)
{
    PlayScene(firstStep);
    m_fMusicDelay = kMusicDelay;
    for (const wchar_t* name : kHeaders)
        ShowChild(name, std::wcscmp(name, header) == 0);
    for (const wchar_t* picture : pictures)
        StartPicture(picture);
    for (const wchar_t* name : kContentButtons) {
        bool shown = false;
        for (const wchar_t* wanted : buttons)
            shown = shown || std::wcscmp(name, wanted) == 0;
        ShowChild(name, shown);
    }
}

void VanteoPopUp_Result::ApplySelfMode(int self, int selfWinCount)
{
    ShowChild(L"Anibtn_result_retry", self == 0);
    ShowChild(L"Anibtn_result_retry_self", self != 0);
    ShowChild(L"Anibtn_result_reset_self", self != 0);
    ShowChild(L"Anibtn_result_next_iq", false);
    if (self != 0)
        SetEnabled(L"Anibtn_result_reset_self", selfWinCount != 0);
}

// Grades.

int VanteoPopUp_Result::FirstNewEntry(const RankEntry* table)
{
    if (!table)
        return -1;
    for (int i = 0; i < kPlaces; ++i)
        if (table[i].isNew)
            return i;
    return -1;
}

int VanteoPopUp_Result::HandSpeed(int clicks, int seconds)
{
    if (seconds == 0)
        return 999;
    // Wide arithmetic: a counter or time from a damaged record never overflows.
    long long speed = static_cast<long long>(clicks) * 60 / seconds;
    return speed > 999999 ? 999999 : speed < -999999 ? -999999 : static_cast<int>(speed);
}

int VanteoPopUp_Result::HandGrade(int handSpeed)
{
    return handSpeed >= 140 ? 4 : handSpeed >= 100 ? 3 : handSpeed >= 60 ? 2 : handSpeed >= 20 ? 1 : 0;
}

int VanteoPopUp_Result::BrainGrade(int newIndex)
{
    static const int kGrades[kPlaces] = {4, 3, 3, 2, 2, 1};
    return newIndex >= 0 && newIndex < kPlaces ? kGrades[newIndex] : -1;
}

void VanteoPopUp_Result::SetHandGrade(const RankEntry* table, bool inverted)
{
    int i = FirstNewEntry(table);
    int t = kUntimed;
    if (i >= 0)
        t = inverted ? kUntimed - table[i].time : table[i].time;
    int speed = HandSpeed(ThisGameBlockClicks(), t);
    m_nGrade = HandGrade(speed);
    m_nGradeKind = kHand;
    ShowGrade();
    SetLabel(L"Label_result_handspeed", Format(L"%d", speed));
}

void VanteoPopUp_Result::SetBrainGrade(int grade)
{
    m_nGrade = grade;
    m_nGradeKind = kBrain;
    ShowGrade();
}

// Ranking tables.

void VanteoPopUp_Result::FillScoreTable(const char* modeName, RankEntry* table, int cubesWon)
{
    FillTable(Table::Score, modeName, table, cubesWon);
}

void VanteoPopUp_Result::FillPushTable(const char* modeName, RankEntry* table, int cubesWon)
{
    FillTable(Table::Push, modeName, table, cubesWon);
}

void VanteoPopUp_Result::FillStageTable(const char* modeName, RankEntry* table, int cubesWon)
{
    FillTable(Table::Stage, modeName, table, cubesWon);
}

void VanteoPopUp_Result::FillPuzzleTable(const char* modeName, RankEntry* table, int cubesWon)
{
    FillTable(Table::Puzzle, modeName, table, cubesWon);
}

void VanteoPopUp_Result::FillTable(Table kind, const char* modeName, RankEntry* table, int cubesWon)
{
    m_pRankingTable = table;
    if (!m_pWindow)
        return;
    // Each table hides the frames of the others' columns; none is ever shown here.
    if (kind != Table::Puzzle)
        ShowChild(L"Wnd_result_rank_iq", false);
    if (kind != Table::Stage)
        ShowChild(L"Wnd_result_rank_stage", false);
    ShowChild(L"Pic_result_txt_tryagain", true);
    ShowChild(L"Pic_result_text_newrecord", false);

    // The time and score columns of one row, by the kind of table.
    auto fillRow = [&](const std::wstring& row, const std::wstring& stageRow, const std::wstring& iqRow,
                       const RankEntry& entry, bool empty) {
        auto nameLabel = dynamic_cast<kv::KVLabel*>(Find((L"Label_rank_name_" + row).c_str()));
        if (empty) {
            if (nameLabel)
                nameLabel->text = L"-----";
        } else if (nameLabel) {
            bool player = std::strncmp(entry.name, "##player##", sizeof entry.name) == 0;
            nameLabel->style = player ? 1 : 0;
            nameLabel->text = player ? FieldText(GameConfig.playerName, sizeof GameConfig.playerName)
                                     : FieldText(entry.name, sizeof entry.name);
        }
        switch (kind) {
        case Table::Score:
        case Table::Push: {
            int threshold = kind == Table::Score ? 0 : 40;
            int s = entry.score <= threshold ? kUntimed - entry.time : entry.time;
            SetLabel((L"Label_rank_time_m_" + row).c_str(), empty ? L"--" : Two(s / 60));
            SetLabel((L"Label_rank_time_s_" + row).c_str(), empty ? L"--" : Two(s % 60));
            std::wstring score;
            if (kind == Table::Score)
                score = empty ? L"----" : GroupedScore(entry.score);
            else if (empty)
                score = L"-:-";
            else
                score = Format(L"%d", entry.score / 10) + L":" + Format(L"%d", 4 - entry.score % 10);
            SetLabel((L"Label_rank_score_" + row).c_str(), score);
            break;
        }
        case Table::Stage:
            SetLabel((L"Label_rank_time_m_" + stageRow).c_str(), empty ? L"--" : Two(entry.time / 60));
            SetLabel((L"Label_rank_time_s_" + stageRow).c_str(), empty ? L"--" : Two(entry.time % 60));
            break;
        case Table::Puzzle:
            SetLabel((L"Label_rank_time_m_" + iqRow).c_str(), empty ? L"--" : Two(entry.time / 6000));
            SetLabel((L"Label_rank_time_s_" + iqRow).c_str(), empty ? L"--" : Two((entry.time % 6000) / 100));
            SetLabel((L"Label_rank_time_ms_" + iqRow).c_str(), empty ? L"--" : Two(entry.time % 100));
            break;
        }
    };

    for (int n = 1; table && n <= kPlaces; ++n) {
        const RankEntry& entry = table[n - 1];
        if (n <= kRows) {
            std::wstring row = std::to_wstring(n);
            fillRow(row, L"stage_" + row, L"iq_" + row, entry, entry.score < 0);
            bool fresh = entry.isNew != 0;
            if (fresh) {
                ShowChild(L"Pic_result_txt_tryagain", false);
                ShowChild(L"Pic_result_text_newrecord", true);
            }
            ShowChild(WithIndex(L"Pic_result_rankup_", n).c_str(), fresh);
            if (kind == Table::Stage)
                ShowChild(WithIndex(L"Pic_result_rankup_stage_", n).c_str(), fresh);
            if (kind == Table::Puzzle)
                ShowChild(WithIndex(L"Pic_result_rankup_iq_", n).c_str(), fresh);
        }
        if (entry.isNew)
            fillRow(L"me", L"me_stage", L"iq_me", entry, false);
    }
    SetLabel(L"Label_current_mode", platform::Widen(modeName ? modeName : ""));
    SetLabel(L"Label_result_getcube", Format(L"+%d", cubesWon));
    SetLabel(L"Label_result_totalcube", Format(L"=%d", GameConfig.cubes));
}

void VanteoPopUp_Result::FillStageRankingWith(const char* modeName, RankEntry* table, int gradeType, int cubesWon)
{
    FillStageTable(modeName, table, cubesWon);
    if (gradeType == 1)
        SetHandGrade(table, false);
    else if (gradeType == 2)
        SetBrainGrade(BrainGrade(FirstNewEntry(table)));
    else
        m_nGrade = -1;
}

// Win and lose bases.

void VanteoPopUp_Result_Win::FillContent()
{
    ShowContent(L"win_clear_newrecord_1", L"Wnd_result_win", {L"Pic_result_win_white", L"Pic_result_win"}, {});
}

void VanteoPopUp_Result_Win::NextStep(float)
{
    Step(L"win_clear_newrecord_%d");
}

int VanteoPopUp_Result_Win::PlayOutAnimation()
{
    return PlayOut(L"win_clear_newrecord_out");
}

void VanteoPopUp_Result_Lose::FillContent()
{
    ShowContent(L"lose_fail_gameover_1", L"Wnd_result_lose", {L"Pic_result_lose"}, {});
}

void VanteoPopUp_Result_Lose::NextStep(float)
{
    Step(L"lose_fail_gameover_%d");
}

int VanteoPopUp_Result_Lose::PlayOutAnimation()
{
    return PlayOut(L"lose_fail_gameover_out");
}

// Battle.

void VanteoPopUp_Result_Battle_Win::SetSelfMode(int self)
{
    m_bSelfPlay = self;
    ApplySelfMode(self, GameConfig.selfWinBattle);
}

int VanteoPopUp_Result_Battle_Win::Show()
{
    int shown = VanteoPopUp_Result::Show();
    SetSelfMode(m_bSelfPlay);
    return shown;
}

void VanteoPopUp_Result_Battle_Win::FillRanking(const char* modeName, RankEntry* table, int cubesWon)
{
    FillScoreTable(modeName, table, cubesWon);
    SetHandGrade(table, false);
}

void VanteoPopUp_Result_Battle_Lose::SetSelfMode(int self)
{
    m_bSelfPlay = self;
    ApplySelfMode(self, GameConfig.selfWinBattle);
}

int VanteoPopUp_Result_Battle_Lose::Show()
{
    int shown = VanteoPopUp_Result::Show();
    SetSelfMode(m_bSelfPlay);
    return shown;
}

void VanteoPopUp_Result_Battle_Lose::FillRanking(const char* modeName, RankEntry* table, int cubesWon)
{
    FillScoreTable(modeName, table, cubesWon);
    SetHandGrade(table, true);
}

// Logic puzzle.

void VanteoPopUp_Result_IQ_Clear::FillContent()
{
    ShowContent(L"win_clear_newrecord_1", L"Wnd_result_clear", {L"Pic_result_clear_white", L"Pic_result_clear"},
                {L"Anibtn_result_retry_self", L"Anibtn_result_next_iq"});
    SetEnabled(L"Anibtn_result_next_iq", true);
}

void VanteoPopUp_Result_IQ_Clear::HandleKeys()
{
    PuzzleKeys();
}

void VanteoPopUp_Result_IQ_Clear::FillRanking(const char* modeName, RankEntry* table, int cubesWon)
{
    FillPuzzleTable(modeName, table, cubesWon);
    SetBrainGrade(BrainGrade(FirstNewEntry(table)));
}

void VanteoPopUp_Result_IQ_Fail::FillContent()
{
    ShowContent(L"lose_fail_gameover_1", L"Wnd_result_fail", {L"Pic_result_fail"},
                {L"Anibtn_result_retry_self", L"Anibtn_result_next_iq"});
    SetEnabled(L"Anibtn_result_next_iq", true);
}

void VanteoPopUp_Result_IQ_Fail::HandleKeys()
{
    PuzzleKeys();
}

void VanteoPopUp_Result_IQ_Fail::FillRanking(const char* modeName, RankEntry* table, int cubesWon)
{
    FillPuzzleTable(modeName, table, cubesWon);
    SetBrainGrade(0);
}

// Push.

void VanteoPopUp_Result_Push_Win::SetSelfMode(int self)
{
    m_bSelfPlay = self;
    ApplySelfMode(self, GameConfig.selfWinPush);
}

int VanteoPopUp_Result_Push_Win::Show()
{
    int shown = VanteoPopUp_Result::Show();
    SetSelfMode(m_bSelfPlay);
    return shown;
}

void VanteoPopUp_Result_Push_Win::FillRanking(const char* modeName, RankEntry* table, int cubesWon)
{
    FillPushTable(modeName, table, cubesWon);
    SetHandGrade(table, false);
}

void VanteoPopUp_Result_Push_Lose::SetSelfMode(int self)
{
    m_bSelfPlay = self;
    ApplySelfMode(self, GameConfig.selfWinPush);
}

int VanteoPopUp_Result_Push_Lose::Show()
{
    int shown = VanteoPopUp_Result::Show();
    SetSelfMode(m_bSelfPlay);
    return shown;
}

void VanteoPopUp_Result_Push_Lose::FillRanking(const char* modeName, RankEntry* table, int cubesWon)
{
    FillPushTable(modeName, table, cubesWon);
    SetHandGrade(table, true);
}

// Combo and point challenges.

namespace {
// The combo challenge's brain grade: the sixth place earns "normal" only with 50 points or more.
int ComboBrainGrade(const RankEntry* table)
{
    int i = VanteoPopUp_Result::FirstNewEntry(table);
    int grade = VanteoPopUp_Result::BrainGrade(i);
    if (i == kPlaces - 1 && table[i].score < 50)
        grade = 0;
    return grade;
}
} // namespace

void VanteoPopUp_Result_Combo_Challenge_Win::FillContent()
{
    ShowContent(L"win_clear_newrecord_1", L"Wnd_result_newrecord",
                {L"Pic_result_newrecord_white", L"Pic_result_newrecord"}, {L"Anibtn_result_retry"});
}

void VanteoPopUp_Result_Combo_Challenge_Win::FillRanking(const char* modeName, RankEntry* table, int cubesWon)
{
    FillScoreTable(modeName, table, cubesWon);
    SetBrainGrade(ComboBrainGrade(table));
}

void VanteoPopUp_Result_Combo_Challenge_Lose::FillContent()
{
    ShowContent(L"lose_fail_gameover_1", L"Wnd_result_gameover", {L"Pic_result_gameover"}, {L"Anibtn_result_retry"});
}

void VanteoPopUp_Result_Combo_Challenge_Lose::FillRanking(const char* modeName, RankEntry* table, int cubesWon)
{
    FillScoreTable(modeName, table, cubesWon);
    SetBrainGrade(ComboBrainGrade(table));
}

void VanteoPopUp_Result_Point_Challenge_Win::FillContent()
{
    ShowContent(L"win_clear_newrecord_1", L"Wnd_result_newrecord",
                {L"Pic_result_newrecord_white", L"Pic_result_newrecord"}, {L"Anibtn_result_retry"});
}

void VanteoPopUp_Result_Point_Challenge_Win::FillRanking(const char* modeName, RankEntry* table, int cubesWon)
{
    FillScoreTable(modeName, table, cubesWon);
    SetHandGrade(table, false);
}

void VanteoPopUp_Result_Point_Challenge_Lose::FillContent()
{
    ShowContent(L"lose_fail_gameover_1", L"Wnd_result_gameover", {L"Pic_result_gameover"}, {L"Anibtn_result_retry"});
}

void VanteoPopUp_Result_Point_Challenge_Lose::FillRanking(const char* modeName, RankEntry* table, int cubesWon)
{
    FillScoreTable(modeName, table, cubesWon);
    SetHandGrade(table, false);
}

// Stage challenge.

void VanteoPopUp_Result_Stage_Challenge_Win::FillContent()
{
    ShowContent(L"win_clear_newrecord_1", L"Wnd_result_clear", {L"Pic_result_clear_white", L"Pic_result_clear"},
                {L"Anibtn_result_retry_self", L"Anibtn_result_next_iq"});
    SetEnabled(L"Anibtn_result_next_iq", true);
}

void VanteoPopUp_Result_Stage_Challenge_Win::HandleKeys()
{
    if (!IsOpen())
        return;
    kv::EventArgs args;
    // Space, R and Q in this order, at most one per frame; Space goes on to the next stage
    // whatever the buttons show.
    if (KeyPressed(kPopUpKeySpace)) {
        OnNext(args);
    } else if (KeyPressed(kKeyR)) {
        if (Usable(L"Anibtn_result_retry") || Usable(L"Anibtn_result_retry_self"))
            OnRetry(args);
    } else if (KeyPressed(kKeyQ) && Usable(L"Anibtn_result_return")) {
        OnReturn(args);
    }
}

void VanteoPopUp_Result_Stage_Challenge_Win::FillStageRanking(const char* modeName, RankEntry* table, int gradeType,
                                                              int cubesWon)
{
    FillStageRankingWith(modeName, table, gradeType, cubesWon);
}

void VanteoPopUp_Result_Stage_Challenge_Lose::FillContent()
{
    ShowContent(L"lose_fail_gameover_1", L"Wnd_result_fail", {L"Pic_result_fail"},
                {L"Anibtn_result_retry_self", L"Anibtn_result_next_iq"});
    SetEnabled(L"Anibtn_result_next_iq", m_bNextAllowed != 0);
}

void VanteoPopUp_Result_Stage_Challenge_Lose::FillStageRanking(const char* modeName, RankEntry* table, int gradeType,
                                                               int cubesWon)
{
    FillStageRankingWith(modeName, table, gradeType, cubesWon);
}

// Online.

namespace {
// Shows or hides a window unless it is already so (a hide restarted every frame never ends).
void SetShown(kv::KVWnd* window, bool show)
{
    if (window && (show ? (!window->IsVisible() || window->IsHiding()) : (window->IsVisible() && !window->IsHiding())))
        window->SetVisible(show);
}

// Only the host may leave an online result: its continue button and the black bar under it.
void ShowHostChoice(kv::KVWnd* window, bool showMessage)
{
    if (!window)
        return;
    bool host = IsOnlineHost();
    for (const wchar_t* name : {L"Pic_bottom_black", L"Anibtn_result_continue"})
        SetShown(window->FindWindow(name), host);
    // The single-player choices (menu, retry, next, reset) have no place after an online match;
    // the reset button would even cover the host's continue.
    for (const wchar_t* name : {L"Anibtn_result_return", L"Anibtn_result_retry", L"Anibtn_result_retry_self",
                                L"Anibtn_result_next", L"Anibtn_result_next_iq", L"Anibtn_result_reset_self"})
        SetShown(window->FindWindow(name), false);
    if (showMessage)
        SetShown(window->FindWindow(L"WndEx_multi_result_message"), !host);
}

void HideGradeBacks(kv::KVWnd* window)
{
    if (!window)
        return;
    for (const wchar_t* name : {L"Pic_result_back_brain", L"Pic_result_back_hand"})
        SetShown(window->FindWindow(name), false);
}

// What an online result tells, this match counted in both: the score against this opponent
// since the two met in the room, and the player's online record.
void FillOnlineRecords(kv::KVWnd* window)
{
    if (!window)
        return;
    wchar_t room[32];
    std::swprintf(room, 32, L"%d : %d", MultiRecordWins(g_nSessionRecord), MultiRecordLosses(g_nSessionRecord));
    if (auto* label = dynamic_cast<kv::KVLabel*>(window->FindWindow(L"Label_result_multi_room")))
        label->text = room;
    if (auto* label = dynamic_cast<kv::KVLabel*>(window->FindWindow(L"Label_result_multi_record")))
        label->text = platform::Widen(RecordText(g_nMultiRecord));
}
} // namespace

void VanteoPopUp_MultiWin::FillContent()
{
    PlayScene(L"win_multiplay");
    m_fMusicDelay = kMusicDelay;
    ShowHostChoice(m_pWindow, false);
    FillOnlineRecords(m_pWindow);
}

void VanteoPopUp_MultiWin::Update(float seconds)
{
    VanteoPopUp_Result::Update(seconds);
    ShowHostChoice(m_pWindow, true);
    HideGradeBacks(m_pWindow);
}

void VanteoPopUp_MultiWin::NextStep(float)
{
    ShowHostChoice(m_pWindow, false);
}

void VanteoPopUp_MultiLose::FillContent()
{
    PlayScene(L"lose_multiplay");
    m_fMusicDelay = kMusicDelay;
    ShowHostChoice(m_pWindow, true);
    FillOnlineRecords(m_pWindow);
}

void VanteoPopUp_MultiLose::Update(float seconds)
{
    VanteoPopUp_Result::Update(seconds);
    ShowHostChoice(m_pWindow, true);
    HideGradeBacks(m_pWindow);
}

void VanteoPopUp_MultiLose::NextStep(float)
{
    ShowHostChoice(m_pWindow, false);
}
