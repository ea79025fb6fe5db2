// The seven platform leaderboards of the ranked modes: the player's local bests in
// "Data/PlayData/UserLeaderBoard.bin" (seven little-endian int32, 28 bytes), the boards found
// (or created) on the platform one after another at start, uploads of the bests, downloads of
// pages of ten rows and of the player's own row, and the player's online win/loss record.
#pragma once

#include <steam/SteamApi.h>

#include <array>
#include <cstdint>
#include <mutex>

class IMessageSink;

inline constexpr int kLeaderBoardCount = 7;
inline constexpr int kLeaderBoardPageRows = 10;
inline constexpr const char* kLeaderBoardFile = "Data/PlayData/UserLeaderBoard.bin";
inline constexpr std::array<const char*, kLeaderBoardCount> kLeaderBoardNames = {
    "Stage Challenge Ranking", "Battle Ranking",          "Push Ranking",        "IQ Puzzle Ranking",
    "Point Challenge Ranking", "Combo Challenge Ranking", "Multi Battle Ranking"};
// Board indexes.
enum LeaderBoardIndex : int {
    LB_STAGE = 0,
    LB_BATTLE,
    LB_PUSH,
    LB_IQ,
    LB_POINT,
    LB_COMBO,
    LB_MULTI,
};
// Board 6's record: wins << 16 | (0xFFFF - losses).
inline constexpr int32_t kNoMultiRecord = 0xFFFF;
inline constexpr std::array<int32_t, kLeaderBoardCount> kDefaultBests = {-1, 0, 0, 0, 0, 0, kNoMultiRecord};

// Scene messages posted to the current scene; no scene needs to handle them.
inline constexpr int32_t MSG_LEADERBOARD_ENTRIES = 2103;  // count, then ten rows
inline constexpr int32_t MSG_LEADERBOARD_FAILED = 2104;

// Request states of the page and own-row downloads.
enum LeaderBoardRequestState : int32_t { LB_IDLE = 0, LB_REQUESTED = 1, LB_DONE = 2, LB_FAILED = 3 };

// The player's online record in board 6's encoding, and the one against the lobby opponent.
extern int32_t g_nMultiRecord;
extern int32_t g_nSessionRecord;

inline int MultiRecordWins(int32_t record) { return static_cast<int>(static_cast<uint32_t>(record) / 65536u); }
inline int MultiRecordLosses(int32_t record) { return 65535 - static_cast<int>(static_cast<uint32_t>(record) % 65536u); }

class QuiblyLeaderBoard {
public:
    QuiblyLeaderBoard();

    // Once at start: the local bests, then the search for the seven boards.
    void Init();
    // Reads the bests file; a missing file is created with the defaults.
    void LoadLocalBests();
    // Rewrites all 28 bytes of the bests file at once; false (logged, the old file intact) when
    // it could not be written. Writers on the loader and main threads take turns.
    bool SaveLocalBests() const;

    // Uploads a score: method 1 keeps the better score, 2 replaces it. The result is not read.
    void UploadScore(int board, int method, int32_t score);
    // Uploads the local best of `board` by its rule and asks for the player's own row.
    void UploadLocalBest(int board);
    // Asks for ranks start .. start + 10 (count -1) or start .. start + count of `board`.
    void DownloadRange(int board, int count, int start, ELeaderboardDataRequest request);
    // The current board's number of entries, asked again; 0 without a current board.
    int32_t UpdateEntryCount();
    // Asks for the player's own row of the current board.
    void RequestOwnRow();
    // Forgets the running requests, as a ranking pop-up does when it opens.
    void ResetRequests();

    // One finished online match: the record, the file, and a forced upload.
    void RecordMultiWin();
    void RecordMultiLoss();

    bool IsEnabled() const { return m_bEnabled; }
    SteamLeaderboard_t GetHandle(int board) const
    {
        return board >= 0 && board < kLeaderBoardCount ? m_hBoards[board] : 0;
    }
    // The player's platform id; invalid without the platform.
    CSteamID OwnId() const;

    // Where the two scene messages go (the scene queue unless a test says otherwise).
    void SetMessageSink(IMessageSink* sink) { m_pMessages = sink; }

    std::array<int32_t, kLeaderBoardCount> m_nBest = kDefaultBests;
    int32_t m_nEntryCount[kLeaderBoardCount] = {};
    LeaderboardEntry_t m_Rows[kLeaderBoardPageRows] = {};
    LeaderboardEntry_t m_OwnRow = {};
    int32_t m_nRowCount = 0;
    int32_t m_nCurrentBoard = -1;
    int32_t m_nDownloadState = LB_IDLE;
    int32_t m_nOwnRowState = LB_IDLE;

private:
    void FindNextBoard();
    void OnBoardFound(LeaderboardFindResult_t* result, bool ioFailure);
    void OnScoresDownloaded(LeaderboardScoresDownloaded_t* result, bool ioFailure);
    void OnStartupFetch(LeaderboardScoresDownloaded_t* result, bool ioFailure);
    void OnOwnRowDownloaded(LeaderboardScoresDownloaded_t* result, bool ioFailure);
    void OnScoreUploaded(LeaderboardScoreUploaded_t*, bool) {}
    // The common start of a download's result: the request state set to done or failed (with
    // the failure message); false when there is nothing more to read.
    bool Arrived(int32_t& state, bool ioFailure);
    // The player's row among the first `rows` rows of a download.
    bool FindOwnRow(const LeaderboardScoresDownloaded_t& result, int rows, LeaderboardEntry_t& out) const;
    void AddToMultiRecord(int32_t delta);

    CCallResult<QuiblyLeaderBoard, LeaderboardFindResult_t> m_FindResult;
    CCallResult<QuiblyLeaderBoard, LeaderboardScoresDownloaded_t> m_ScoresResult;
    CCallResult<QuiblyLeaderBoard, LeaderboardScoresDownloaded_t> m_OwnRowResult;
    CCallResult<QuiblyLeaderBoard, LeaderboardScoreUploaded_t> m_UploadResult;
    // The start-up fetch of board 6 has a slot of its own, so a page request made meanwhile
    // is neither dropped nor mistaken for it.
    CCallResult<QuiblyLeaderBoard, LeaderboardScoresDownloaded_t> m_StartupResult;
    SteamLeaderboard_t m_hBoards[kLeaderBoardCount] = {};
    bool m_bRequestPending = false;
    bool m_bEnabled = false;
    IMessageSink* m_pMessages = nullptr;
    mutable std::mutex m_FileLock;
};

// The game's one leaderboard object.
QuiblyLeaderBoard& GetLeaderBoard();
