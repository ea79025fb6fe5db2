#include "online/LeaderBoard.h"

#include "app/PlayDataPack.h"

#include <helvane/Log.h>
#include <win32/Files.h>

#include <cstring>
#include <filesystem>

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

} // namespace

QuiblyLeaderBoard::QuiblyLeaderBoard() = default;

QuiblyLeaderBoard& GetLeaderBoard()
{
    static QuiblyLeaderBoard board;
    return board;
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
    std::string bytes;
    if (platform::ReadWholeFile(kLeaderBoardFile, bytes)) {
        // A short file leaves the values it does not hold as they were.
        size_t count = std::min<size_t>(bytes.size() / 4, kLeaderBoardCount);
        for (size_t i = 0; i < count; ++i)
            m_nBest[i] = ReadInt32(bytes.data() + 4 * i);
    } else {
        m_nBest = kDefaultBests;
        SaveLocalBests();
    }
    g_nMultiRecord = m_nBest[6];
}

bool QuiblyLeaderBoard::SaveLocalBests() const
{
    std::string bytes;
    for (int32_t best : m_nBest)
        AppendInt32(bytes, best);
    std::string path = platform::ResolvePath(kLeaderBoardFile);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    bool saved = platform::SaveFileAtomically(path, bytes);
    if (!saved)
        DFLog(L"%S could not be written", kLeaderBoardFile);
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
        SteamAPICall_t call = stats ? stats->FindOrCreateLeaderboard(kLeaderBoardNames[board],
                                                                     k_ELeaderboardSortMethodDescending,
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
    while (board < kLeaderBoardCount && std::strcmp(name, kLeaderBoardNames[board]) != 0)
        ++board;
    if (board == kLeaderBoardCount) {
        FindNextBoard();
        return;
    }
    m_hBoards[board] = result->m_hSteamLeaderboard;
    if (board == 6) {
        m_nCurrentBoard = 6;
        m_ScoresResult.Set(stats->DownloadLeaderboardEntries(result->m_hSteamLeaderboard,
                                                             k_ELeaderboardDataRequestGlobalAroundUser, 0, 1),
                           this, &QuiblyLeaderBoard::OnScoresDownloaded);
        m_nDownloadState = 1;
    }
    m_nEntryCount[board] = stats->GetLeaderboardEntryCount(result->m_hSteamLeaderboard);
    m_bStartupFetch = true;
    FindNextBoard();
}

// The start-up fetch of board 6: the player's own row carries the online record.
void QuiblyLeaderBoard::OnScoresDownloaded(LeaderboardScoresDownloaded_t* result, bool ioFailure)
{
    if (!m_bEnabled)
        return;
    m_bRequestPending = false;
    m_nDownloadState = ioFailure ? 3 : 2;
    bool startupFetch = m_bStartupFetch;
    m_bStartupFetch = false;
    ISteamUserStats* stats = SteamUserStats();
    ISteamUser* user = SteamUser();
    if (ioFailure || !startupFetch || !stats || !user)
        return;
    int count = std::min(result->m_cEntryCount, 10);
    for (int i = 0; i < count; ++i) {
        LeaderboardEntry_t row{};
        if (!stats->GetDownloadedLeaderboardEntry(result->m_hSteamLeaderboardEntries, i, &row, nullptr, 0))
            continue;
        if (row.m_steamIDUser == user->GetSteamID()) {
            g_nMultiRecord = row.m_nScore;
            m_nBest[6] = row.m_nScore;
            return;
        }
    }
}
