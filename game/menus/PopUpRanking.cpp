#include "menus/PopUpRanking.h"

#include "net/PersonaName.h"
#include "net/LeaderBoard.h"

#include <steam/SteamApi.h>
#include <win32/Text.h>

#include <cstdio>

namespace {

constexpr int kNameBudget = 14;
constexpr const wchar_t* kDownloading = L"Downloading...";

std::wstring Number(int value) { return std::to_wstring(value); }

std::wstring RowSuffix(int row) { return std::to_wstring(row); }

std::wstring Name(const wchar_t* prefix, const std::wstring& suffix) { return prefix + suffix; }

} // namespace

VanteoPopUp_Ranking::VanteoPopUp_Ranking(int board, const wchar_t* openingScene)
    : m_nBoard(board), m_szOpeningScene(openingScene)
{
}

QuiblyLeaderBoard& VanteoPopUp_Ranking::LeaderBoard() const
{
    return m_pBoard ? *m_pBoard : GetLeaderBoard();
}

int VanteoPopUp_Ranking::Open()
{
    if (!OpenLayout(kLayout, nullptr))
        return 0;
    OpenBoard();
    return 1;
}

void VanteoPopUp_Ranking::BindEvents()
{
    Bind(L"Anibtn_popup_close", &VanteoPopUp_Ranking::OnCloseClicked);
    Bind(L"btn_popup_ranking_prev", &VanteoPopUp_Ranking::OnPrev);
    Bind(L"btn_popup_ranking_next", &VanteoPopUp_Ranking::OnNext);
    Bind(L"Anibtn_myrecord", &VanteoPopUp_Ranking::OnMyRecord);
}

void VanteoPopUp_Ranking::OpenBoard()
{
    static const wchar_t* const kTitles[kLeaderBoardCount] = {L"STAGE CHALLENGE", L"BATTLE",          L"PUSH",
                                                               L"LOGIC PUZZLE",    L"POINT CHALLENGE", L"COMBO CHALLENGE",
                                                               L"ONLINE BATTLE"};
    if (m_nBoard >= 0 && m_nBoard < kLeaderBoardCount)
        SetLabel(L"Label_ranking_title", kTitles[m_nBoard]);
    PlayScene(m_szOpeningScene);
    QuiblyLeaderBoard& board = LeaderBoard();
    board.ResetRequests();
    if (board.IsEnabled() && board.GetHandle(m_nBoard) != 0) {
        UploadBest();
        board.DownloadRange(m_nBoard, 10, 1, k_ELeaderboardDataRequestGlobal);
    }
    m_nPage = 0;
}

void VanteoPopUp_Ranking::UploadBest()
{
    QuiblyLeaderBoard& board = LeaderBoard();
    board.m_nCurrentBoard = m_nBoard;
    if (m_nBoard != LB_STAGE || board.m_nBest[m_nBoard] > 0)
        board.UploadScore(m_nBoard, 1, board.m_nBest[m_nBoard]);
    board.RequestOwnRow();
}

void VanteoPopUp_Ranking::RequestPage()
{
    LeaderBoard().DownloadRange(m_nBoard, -1, m_nPage * kLeaderBoardPageRows + 1, k_ELeaderboardDataRequestGlobal);
}

void VanteoPopUp_Ranking::OnPrev(kv::EventArgs&)
{
    m_nPage = std::max(m_nPage - 1, 0);
    RequestPage();
}

void VanteoPopUp_Ranking::OnNext(kv::EventArgs&)
{
    ++m_nPage;
    RequestPage();
}

void VanteoPopUp_Ranking::OnMyRecord(kv::EventArgs&)
{
    int rank = LeaderBoard().m_OwnRow.m_nGlobalRank;
    m_nPage = rank > 0 ? (rank - 1) / kLeaderBoardPageRows : 0;
    RequestPage();
}

void VanteoPopUp_Ranking::OnCloseClicked(kv::EventArgs&)
{
    OnClose();
}

bool VanteoPopUp_Ranking::OnClose()
{
    if (ButtonStep(L"ranking_out")) {
        PopUpSounds().Stop(kRankingSound);
        return true;
    }
    // Refused while an animation plays: the pop-up stays open and its downloads go on.
    return false;
}

void VanteoPopUp_Ranking::ShowScore(const std::wstring& rowSuffix, int32_t score)
{
    std::wstring text = GroupedScore(score);
    SetLabel(Name(L"Label_sub_ranking_point_", rowSuffix).c_str(), text);
    SetLabel(Name(L"Label_sub_ranking_combo_", rowSuffix).c_str(), text);
}

void VanteoPopUp_Ranking::ClearScore(const std::wstring& rowSuffix)
{
    SetLabel(Name(L"Label_sub_ranking_point_", rowSuffix).c_str(), L"");
    SetLabel(Name(L"Label_sub_ranking_combo_", rowSuffix).c_str(), L"");
}

std::wstring VanteoPopUp_Ranking::RowName(CSteamID user) const
{
    wchar_t name[kPersonaNameChars];
    GetPersonaName(kNameBudget, name, user);
    return name;
}

void VanteoPopUp_Ranking::Update(float)
{
    if (ClosingDone())
        DestroyWindow();
    if (!IsOpen())
        return;
    QuiblyLeaderBoard& board = LeaderBoard();
    kv::KVWnd* prev = Find(L"btn_popup_ranking_prev");
    kv::KVWnd* next = Find(L"btn_popup_ranking_next");
    auto showHighlight = [&](const std::wstring& row, bool show) {
        ShowChild(Name(L"Pic_popup_ranking_combo_me_", row).c_str(), show);
        ShowChild(Name(L"Pic_popup_ranking_point_me_", row).c_str(), show);
        ShowChild(Name(L"Pic_popup_ranking_multi_", row).c_str(), show);
    };
    if (board.m_nDownloadState == LB_REQUESTED) {
        SetLabel(L"Label_popup_ranking_page", L"");
        for (int row = 1; row <= kLeaderBoardPageRows; ++row) {
            std::wstring suffix = RowSuffix(row);
            showHighlight(suffix, false);
            SetLabel(Name(L"Label_sub_ranking_rank_", suffix).c_str(), L"");
            ClearScore(suffix);
            SetLabel(Name(L"Label_sub_ranking_name_", suffix).c_str(), kDownloading);
        }
        if (prev)
            prev->SetEnabled(false);
        if (next)
            next->SetEnabled(false);
    } else if (board.m_nDownloadState == LB_DONE) {
        int n = board.m_nRowCount;
        int i = 0;
        while (i < n && board.m_Rows[i].m_nGlobalRank % 10 != 1)
            ++i;
        int entries = board.UpdateEntryCount();
        int pages = entries / 10 + (entries % 10 != 0 ? 1 : 0);
        SetLabel(L"Label_popup_ranking_page", Number(m_nPage + 1) + L" / " + Number(pages));
        CSteamID own = board.OwnId();
        for (int row = 1; row <= kLeaderBoardPageRows; ++row) {
            std::wstring suffix = RowSuffix(row);
            showHighlight(suffix, false);
            if (i >= n) {
                SetLabel(Name(L"Label_sub_ranking_rank_", suffix).c_str(), L"");
                SetLabel(Name(L"Label_sub_ranking_name_", suffix).c_str(), L"");
                ClearScore(suffix);
                continue;
            }
            const LeaderboardEntry_t& r = board.m_Rows[i++];
            SetLabel(Name(L"Label_sub_ranking_rank_", suffix).c_str(), Number(r.m_nGlobalRank));
            if (own.IsValid() && r.m_steamIDUser == own)
                showHighlight(suffix, true);
            SetFittedLabel(Name(L"Label_sub_ranking_name_", suffix).c_str(), RowName(r.m_steamIDUser));
            ShowScore(suffix, r.m_nScore);
        }
        if (prev)
            prev->SetEnabled(m_nPage != 0);
        if (next)
            next->SetEnabled(m_nPage + 1 < pages);
    }
    if (board.m_nOwnRowState == LB_REQUESTED) {
        SetLabel(L"Label_sub_ranking_name_me", kDownloading);
        SetLabel(L"Label_sub_ranking_rank_me", L"");
        ClearScore(L"me");
    } else if (board.m_nOwnRowState == LB_DONE && board.m_OwnRow.m_steamIDUser.IsValid()) {
        SetLabel(L"Label_sub_ranking_rank_me", Number(board.m_OwnRow.m_nGlobalRank));
        wchar_t name[kPersonaNameChars];
        GetPersonaName(kNameBudget, name, board.m_OwnRow.m_steamIDUser);
        SetFittedLabel(L"Label_sub_ranking_name_me", name);
        ShowScore(L"me", board.m_OwnRow.m_nScore);
    }
    if (KeyPressed(kPopUpKeyBackspace) || KeyPressed(kPopUpKeyEscape) || KeyPressed(kPopUpKeyEnter))
        OnClose();
}

VanteoPopUp_Ranking_Stage::VanteoPopUp_Ranking_Stage() : VanteoPopUp_Ranking(LB_STAGE, L"ranking_stage_in") {}

void VanteoPopUp_Ranking_Stage::ShowScore(const std::wstring& rowSuffix, int32_t score)
{
    wchar_t text[32];
    std::swprintf(text, 32, L"%02d : %02d", score / 60, score % 60);
    SetLabel(Name(L"Label_sub_ranking_point_", rowSuffix).c_str(), text);
    SetLabel(Name(L"Label_sub_ranking_combo_", rowSuffix).c_str(), text);
}

VanteoPopUp_Ranking_Battle::VanteoPopUp_Ranking_Battle() : VanteoPopUp_Ranking(LB_BATTLE, L"ranking_battle_in") {}
VanteoPopUp_Ranking_Push::VanteoPopUp_Ranking_Push() : VanteoPopUp_Ranking(LB_PUSH, L"ranking_push_in") {}
VanteoPopUp_Ranking_IQ::VanteoPopUp_Ranking_IQ() : VanteoPopUp_Ranking(LB_IQ, L"ranking_iq_in") {}
VanteoPopUp_Ranking_Point::VanteoPopUp_Ranking_Point() : VanteoPopUp_Ranking(LB_POINT, L"ranking_point_in") {}
VanteoPopUp_Ranking_Combo::VanteoPopUp_Ranking_Combo() : VanteoPopUp_Ranking(LB_COMBO, L"ranking_combo_in") {}
VanteoPopUp_Ranking_Multi::VanteoPopUp_Ranking_Multi() : VanteoPopUp_Ranking(LB_MULTI, L"ranking_multi_in") {}

void VanteoPopUp_Ranking_Multi::UploadBest()
{
    LeaderBoard().UploadLocalBest(LB_MULTI);
}

void VanteoPopUp_Ranking_Multi::ShowScore(const std::wstring& rowSuffix, int32_t score)
{
    SetLabel(Name(L"Label_sub_ranking_win_", rowSuffix).c_str(), Number(MultiRecordWins(score)));
    SetLabel(Name(L"Label_sub_ranking_lose_", rowSuffix).c_str(), Number(MultiRecordLosses(score)));
}

void VanteoPopUp_Ranking_Multi::ClearScore(const std::wstring& rowSuffix)
{
    SetLabel(Name(L"Label_sub_ranking_win_", rowSuffix).c_str(), L"");
    SetLabel(Name(L"Label_sub_ranking_lose_", rowSuffix).c_str(), L"");
}

std::wstring VanteoPopUp_Ranking_Multi::RowName(CSteamID user) const
{
    ISteamFriends* friends = SteamFriends();
    std::wstring name = friends ? platform::Widen(friends->GetFriendPersonaName(user)) : std::wstring();
    if (name.size() > 127)
        name.resize(127);
    return name;
}
