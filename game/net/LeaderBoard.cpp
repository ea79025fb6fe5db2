#include "net/LeaderBoard.h"

#include "data/GameDataXml.h"
#include "data/PlayDataPack.h"
#include "board/GameSeams.h"

#include <helvane/Log.h>
#include <win32/Files.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

int32_t g_nMultiRecord = kNoMultiRecord;
int32_t g_nSessionRecord = kNoMultiRecord;

namespace {

int32_t ReadInt32(const char* bytes)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(bytes[i]);
    return static_cast<int32_t>(value);
}

void AppendInt32(std::string& out, int32_t value)
{
    uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

// Board 0 holds clear times, where smaller is better; the others hold scores.
ELeaderboardSortMethod SortOf(int board)
{
    return board == LB_STAGE ? k_ELeaderboardSortMethodAscending : k_ELeaderboardSortMethodDescending;
}

} // namespace

QuiblyLeaderBoard::QuiblyLeaderBoard()
{
    for (LeaderboardEntry_t& row : m_Rows)
        row.m_steamIDUser = CSteamID();
    m_OwnRow.m_steamIDUser = CSteamID();
}

QuiblyLeaderBoard& GetLeaderBoard()
{
    static QuiblyLeaderBoard board;
    return board;
}

CSteamID QuiblyLeaderBoard::OwnId() const
{
    ISteamUser* user = SteamUser();
    return user ? user->GetSteamID() : CSteamID();
}

void QuiblyLeaderBoard::Init()
{
    ConfigPak::UnpackPack();
    LoadLocalBests();
    m_bRequestPending = false;
    for (SteamLeaderboard_t& handle : m_hBoards)
        handle = 0;
    m_bEnabled = true;
    if (!SteamUser() && !SteamAPI_Init())
        m_bEnabled = false;
    FindNextBoard();
}

void QuiblyLeaderBoard::LoadLocalBests()
{
    // A file that cannot be read is not missing: its packed content stands in, or it is held
    // and the defaults are used without being saved over it (said by the read).
    std::string bytes;
    const platform::ReadOutcome outcome =
        gamedata::ReadPlayDataFile(kLeaderBoardFile, bytes, platform::kMaxWholeFileBytes);
    if (outcome == platform::ReadOutcome::Read) {
        // A short file leaves the values it does not hold as they were.
        size_t count = std::min<size_t>(bytes.size() / 4, kLeaderBoardCount);
        for (size_t i = 0; i < count; ++i)
            m_nBest[i] = ReadInt32(bytes.data() + 4 * i);
    } else {
        m_nBest = kDefaultBests;
        if (outcome == platform::ReadOutcome::Missing)
            SaveLocalBests();
    }
    g_nMultiRecord = m_nBest[LB_MULTI];
}

bool QuiblyLeaderBoard::SaveLocalBests() const
{
    std::lock_guard guard(m_FileLock);
    if (gamedata::IsHeldPlayDataFile(kLeaderBoardFile))
        return false;  // unreadable and not replaced by defaults (said when it was read)
    std::string bytes;
    for (int32_t best : m_nBest)
        AppendInt32(bytes, best);
    std::string path = platform::ResolvePath(kLeaderBoardFile);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    // Written beside the old file and renamed over it: a failed write leaves the old bests.
    bool saved = platform::SaveFileAtomically(path, bytes);
    if (!saved)
        DFLog(L"%S could not be written; the previous bests stay", kLeaderBoardFile);
    return saved;
}

void QuiblyLeaderBoard::FindNextBoard()
{
    if (m_bRequestPending || !m_bEnabled)
        return;
    ISteamUserStats* stats = SteamUserStats();
    for (int board = 0; board < kLeaderBoardCount; ++board) {
        if (m_hBoards[board] != 0)
            continue;
        SteamAPICall_t call = stats ? stats->FindOrCreateLeaderboard(kLeaderBoardNames[board], SortOf(board),
                                                                     k_ELeaderboardDisplayTypeNumeric)
                                    : k_uAPICallInvalid;
        // A refused request ends the search; the remaining boards stay without handle.
        if (call == k_uAPICallInvalid)
            return;
        m_FindResult.Set(call, this, &QuiblyLeaderBoard::OnBoardFound);
        m_bRequestPending = true;
        return;
    }
}

void QuiblyLeaderBoard::OnBoardFound(LeaderboardFindResult_t* result, bool ioFailure)
{
    if (!m_bEnabled)
        return;
    m_bRequestPending = false;
    if (ioFailure || !result->m_bLeaderboardFound)
        return;
    ISteamUserStats* stats = SteamUserStats();
    if (!stats)
        return;
    const char* name = stats->GetLeaderboardName(result->m_hSteamLeaderboard);
    int board = 0;
    while (board < kLeaderBoardCount && (!name || std::strcmp(name, kLeaderBoardNames[board]) != 0))
        ++board;
    if (board == kLeaderBoardCount) {
        FindNextBoard();
        return;
    }
    m_hBoards[board] = result->m_hSteamLeaderboard;
    if (board == LB_MULTI) {
        // The player's own row of board 6 carries the online record kept on the platform.
        m_nCurrentBoard = LB_MULTI;
        m_StartupResult.Set(stats->DownloadLeaderboardEntries(result->m_hSteamLeaderboard,
                                                              k_ELeaderboardDataRequestGlobalAroundUser, 0, 1),
                            this, &QuiblyLeaderBoard::OnStartupFetch);
        m_nDownloadState = LB_REQUESTED;
    }
    m_nEntryCount[board] = stats->GetLeaderboardEntryCount(result->m_hSteamLeaderboard);
    FindNextBoard();
}

bool QuiblyLeaderBoard::Arrived(int32_t& state, bool ioFailure)
{
    if (!m_bEnabled)
        return false;
    m_bRequestPending = false;
    state = ioFailure ? LB_FAILED : LB_DONE;
    if (ioFailure) {
        IMessageSink& sink = m_pMessages ? *m_pMessages : GetSceneQueueSink();
        sink.Post(MSG_LEADERBOARD_FAILED, nullptr, 0);
    }
    return !ioFailure;
}

bool QuiblyLeaderBoard::FindOwnRow(const LeaderboardScoresDownloaded_t& result, int rows, LeaderboardEntry_t& out) const
{
    ISteamUserStats* stats = SteamUserStats();
    CSteamID own = OwnId();
    if (!stats || !own.IsValid())
        return false;
    for (int i = 0; i < std::min(result.m_cEntryCount, rows); ++i) {
        LeaderboardEntry_t row{};
        if (stats->GetDownloadedLeaderboardEntry(result.m_hSteamLeaderboardEntries, i, &row, nullptr, 0) &&
            row.m_steamIDUser == own) {
            out = row;
            return true;
        }
    }
    return false;
}

void QuiblyLeaderBoard::OnStartupFetch(LeaderboardScoresDownloaded_t* result, bool ioFailure)
{
    if (!Arrived(m_nDownloadState, ioFailure))
        return;
    LeaderboardEntry_t row{};
    if (FindOwnRow(*result, kLeaderBoardPageRows, row)) {
        g_nMultiRecord = row.m_nScore;
        m_nBest[LB_MULTI] = row.m_nScore;
    }
}

void QuiblyLeaderBoard::OnScoresDownloaded(LeaderboardScoresDownloaded_t* result, bool ioFailure)
{
    if (!Arrived(m_nDownloadState, ioFailure))
        return;
    ISteamUserStats* stats = SteamUserStats();
    int n = std::clamp(result->m_cEntryCount, 0, kLeaderBoardPageRows);
    PayloadWriter message;
    message.I32(0).I32(n);
    int kept = 0;
    for (int i = 0; i < n; ++i) {
        LeaderboardEntry_t row{};
        if (!stats || !stats->GetDownloadedLeaderboardEntry(result->m_hSteamLeaderboardEntries, i, &row, nullptr, 0))
            continue;
        m_Rows[kept++] = row;
    }
    m_nRowCount = kept;
    for (int i = 0; i < kLeaderBoardPageRows; ++i) {
        const LeaderboardEntry_t& row = m_Rows[i];
        bool filled = i < kept;
        message.U64(filled ? row.m_steamIDUser.ConvertToUint64() : 0)
            .I32(filled ? row.m_nGlobalRank : 0)
            .I32(filled ? row.m_nScore : 0)
            .I32(filled ? row.m_cDetails : 0);
    }
    message.PostTo(m_pMessages ? *m_pMessages : GetSceneQueueSink(), MSG_LEADERBOARD_ENTRIES);
}

void QuiblyLeaderBoard::OnOwnRowDownloaded(LeaderboardScoresDownloaded_t* result, bool ioFailure)
{
    if (!Arrived(m_nOwnRowState, ioFailure))
        return;
    // Only the player's own row is taken: a result without it leaves the own row as it was.
    LeaderboardEntry_t row{};
    if (FindOwnRow(*result, result->m_cEntryCount, row))
        m_OwnRow = row;
}

void QuiblyLeaderBoard::UploadScore(int board, int method, int32_t score)
{
    ISteamUserStats* stats = SteamUserStats();
    if (!m_bEnabled || !stats || GetHandle(board) == 0)
        return;
    auto how = method == 2 ? k_ELeaderboardUploadScoreMethodForceUpdate : k_ELeaderboardUploadScoreMethodKeepBest;
    m_UploadResult.Set(stats->UploadLeaderboardScore(m_hBoards[board], how, score, nullptr, 0), this,
                       &QuiblyLeaderBoard::OnScoreUploaded);
}

void QuiblyLeaderBoard::RequestOwnRow()
{
    ISteamUserStats* stats = SteamUserStats();
    if (!m_bEnabled || !stats || GetHandle(m_nCurrentBoard) == 0)
        return;
    m_OwnRowResult.Set(stats->DownloadLeaderboardEntries(m_hBoards[m_nCurrentBoard],
                                                         k_ELeaderboardDataRequestGlobalAroundUser, 0, 0),
                       this, &QuiblyLeaderBoard::OnOwnRowDownloaded);
    m_nOwnRowState = LB_REQUESTED;
}

void QuiblyLeaderBoard::UploadLocalBest(int board)
{
    if (!m_bEnabled)
        return;
    m_nCurrentBoard = -1;
    if (GetHandle(board) == 0)
        return;
    m_nCurrentBoard = board;
    if (board == LB_MULTI)
        UploadScore(board, 2, m_nBest[board]);
    else if (board != LB_STAGE || m_nBest[board] > 0)
        UploadScore(board, 1, m_nBest[board]);
    RequestOwnRow();
}

void QuiblyLeaderBoard::DownloadRange(int board, int count, int start, ELeaderboardDataRequest request)
{
    if (!m_bEnabled)
        return;
    m_nCurrentBoard = -1;
    ISteamUserStats* stats = SteamUserStats();
    if (!stats || GetHandle(board) == 0)
        return;
    m_nCurrentBoard = board;
    int end = count == -1 ? start + kLeaderBoardPageRows : start + count;
    m_ScoresResult.Set(stats->DownloadLeaderboardEntries(m_hBoards[board], request, start, end), this,
                       &QuiblyLeaderBoard::OnScoresDownloaded);
    m_nDownloadState = LB_REQUESTED;
}

int32_t QuiblyLeaderBoard::UpdateEntryCount()
{
    ISteamUserStats* stats = SteamUserStats();
    if (!stats || GetHandle(m_nCurrentBoard) == 0)
        return 0;
    m_nEntryCount[m_nCurrentBoard] = stats->GetLeaderboardEntryCount(m_hBoards[m_nCurrentBoard]);
    return m_nEntryCount[m_nCurrentBoard];
}

void QuiblyLeaderBoard::ResetRequests()
{
    if (!m_bEnabled)
        return;
    m_bRequestPending = false;
    m_nDownloadState = LB_IDLE;
    m_nOwnRowState = LB_IDLE;
    m_nRowCount = 0;
    m_nCurrentBoard = -1;
}

void QuiblyLeaderBoard::AddToMultiRecord(int32_t delta)
{
    g_nMultiRecord = static_cast<int32_t>(static_cast<uint32_t>(g_nMultiRecord) + static_cast<uint32_t>(delta));
    m_nBest[LB_MULTI] = g_nMultiRecord;
    SaveLocalBests();
    if (m_bEnabled)
        UploadScore(LB_MULTI, 2, g_nMultiRecord);
}

void QuiblyLeaderBoard::RecordMultiWin() { AddToMultiRecord(0x10000); }

void QuiblyLeaderBoard::RecordMultiLoss() { AddToMultiRecord(-1); }
