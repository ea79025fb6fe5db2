// Ids, handles and enumerations of the game platform's client, our own.
// Implemented: the 64-bit user id with its validity rule, the call, leaderboard and socket
//              handles, and the enumeration values the game passes or tests.
// Left out:    everything the game never passes or reads.
#pragma once

#include <cstdint>

// A 64-bit platform id of a user, a lobby or a game server. Zero is never a valid id.
class CSteamID {
public:
    CSteamID() = default;
    explicit CSteamID(uint64_t id) : m_id(id) {}
    uint64_t ConvertToUint64() const { return m_id; }
    uint32_t GetAccountID() const { return static_cast<uint32_t>(m_id); }
    bool IsValid() const { return m_id != 0; }
    bool operator==(const CSteamID& other) const { return m_id == other.m_id; }
    bool operator!=(const CSteamID& other) const { return m_id != other.m_id; }

private:
    uint64_t m_id = 0;
};

// An asynchronous call; its result arrives once, inside SteamAPI_RunCallbacks. 0 is no call.
using SteamAPICall_t = uint64_t;
constexpr SteamAPICall_t k_uAPICallInvalid = 0;

using SteamLeaderboard_t = uint64_t;
using SteamLeaderboardEntries_t = uint64_t;
using SNetSocket_t = uint32_t;
using SNetListenSocket_t = uint32_t;
using AppId_t = uint32_t;

enum EResult : int32_t {
    k_EResultOK = 1,
    k_EResultFail = 2,
};

enum ENotificationPosition : int32_t {
    k_EPositionTopLeft = 0,
    k_EPositionTopRight = 1,
    k_EPositionBottomLeft = 2,
    k_EPositionBottomRight = 3,
};

enum ELeaderboardSortMethod : int32_t {
    k_ELeaderboardSortMethodNone = 0,
    k_ELeaderboardSortMethodAscending = 1,
    k_ELeaderboardSortMethodDescending = 2,
};

enum ELeaderboardDisplayType : int32_t {
    k_ELeaderboardDisplayTypeNone = 0,
    k_ELeaderboardDisplayTypeNumeric = 1,
};

enum ELeaderboardDataRequest : int32_t {
    k_ELeaderboardDataRequestGlobal = 0,
    k_ELeaderboardDataRequestGlobalAroundUser = 1,
};

// One downloaded leaderboard row.
struct LeaderboardEntry_t {
    CSteamID m_steamIDUser;
    int32_t m_nGlobalRank;
    int32_t m_nScore;
    int32_t m_cDetails;
};
