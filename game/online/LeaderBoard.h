// The seven platform leaderboards of the ranked modes: the player's local bests in
// "Data/PlayData/UserLeaderBoard.bin" (seven little-endian int32, 28 bytes), and the boards found
// (or created) on the platform one after another at start.
#pragma once

#include <steam/SteamApi.h>

#include <array>
#include <cstdint>

inline constexpr int kLeaderBoardCount = 7;
inline constexpr const char* kLeaderBoardFile = "Data/PlayData/UserLeaderBoard.bin";
inline constexpr std::array<const char*, kLeaderBoardCount> kLeaderBoardNames = {
    "Stage Challenge Ranking", "Battle Ranking",          "Push Ranking",        "IQ Puzzle Ranking",
    "Point Challenge Ranking", "Combo Challenge Ranking", "Multi Battle Ranking"};
// Board 6's record: wins << 16 | (0xFFFF - losses).
inline constexpr int32_t kNoMultiRecord = 0xFFFF;
inline constexpr std::array<int32_t, kLeaderBoardCount> kDefaultBests = {-1, 0, 0, 0, 0, 0, kNoMultiRecord};

// The player's online record in board 6's encoding, and the one against the lobby opponent.
extern int32_t g_nMultiRecord;
extern int32_t g_nSessionRecord;

class QuiblyLeaderBoard {
public:
    QuiblyLeaderBoard();

    // Once at start: the local bests, then the search for the seven boards.
    void Init();
    // Reads the bests file; a missing file is created with the defaults.
    void LoadLocalBests();
    // Rewrites all 28 bytes of the bests file; false when it could not be written.
    bool SaveLocalBests() const;

    bool IsEnabled() const { return m_bEnabled; }
    SteamLeaderboard_t GetHandle(int board) const { return m_hBoards[board]; }

    std::array<int32_t, kLeaderBoardCount> m_nBest = kDefaultBests;
    int32_t m_nEntryCount[kLeaderBoardCount] = {};
    int32_t m_nCurrentBoard = -1;
    int32_t m_nDownloadState = 0;

private:
    void FindNextBoard();
    void OnBoardFound(LeaderboardFindResult_t* result, bool ioFailure);
    void OnScoresDownloaded(LeaderboardScoresDownloaded_t* result, bool ioFailure);

    CCallResult<QuiblyLeaderBoard, LeaderboardFindResult_t> m_FindResult;
    CCallResult<QuiblyLeaderBoard, LeaderboardScoresDownloaded_t> m_ScoresResult;
    SteamLeaderboard_t m_hBoards[kLeaderBoardCount] = {};
    bool m_bRequestPending = false;
    bool m_bEnabled = false;
    bool m_bStartupFetch = false;
};

// The game's one leaderboard object.
QuiblyLeaderBoard& GetLeaderBoard();
