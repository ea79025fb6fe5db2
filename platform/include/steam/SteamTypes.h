// Ids, handles and enumerations of the game platform's client, our own.
// Implemented: the 64-bit user id with its validity rule, the call, leaderboard and socket
//              handles, and the enumeration values the game passes or tests (results, lobby
//              types and comparisons, chat states, socket states, deny reasons, leaderboard
//              sorts, displays, uploads and requests, the server mode).
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
    k_EResultNoConnection = 3,
    k_EResultInvalidParam = 8,
    k_EResultTimeout = 16,
};

enum ELobbyType : int32_t {
    k_ELobbyTypePrivate = 0,
    k_ELobbyTypeFriendsOnly = 1,
    k_ELobbyTypePublic = 2,
};

enum ELobbyComparison : int32_t {
    k_ELobbyComparisonEqual = 0,
    k_ELobbyComparisonNotEqual = 3,
};

// What happened to a lobby member (LobbyChatUpdate_t).
enum EChatMemberStateChange : uint32_t {
    k_EChatMemberStateChangeEntered = 1,
    k_EChatMemberStateChangeLeft = 2,
    k_EChatMemberStateChangeDisconnected = 4,
};

enum EChatEntryType : int32_t {
    k_EChatEntryTypeInvalid = 0,
    k_EChatEntryTypeChatMsg = 1,
};

// The answer to a lobby join (LobbyEnter_t).
enum EChatRoomEnterResponse : uint32_t {
    k_EChatRoomEnterResponseSuccess = 1,
    k_EChatRoomEnterResponseDoesntExist = 2,
    k_EChatRoomEnterResponseNotAllowed = 3,
    k_EChatRoomEnterResponseFull = 4,
    k_EChatRoomEnterResponseError = 5,
};

// Why the game server refused or dropped a player.
enum EDenyReason : int32_t {
    k_EDenyInvalid = 0,
    k_EDenyNotLoggedOn = 2,
    k_EDenyGeneric = 5,
    k_EDenySteamValidationStalled = 14,
    k_EDenyIncompatibleVersion = 4,
};

// States of a networking socket (SocketStatusCallback_t and GetSocketInfo).
enum ESNetSocketState : int32_t {
    k_ESNetSocketStateInvalid = 0,
    k_ESNetSocketStateConnected = 1,
    k_ESNetSocketStateInitiated = 10,
    k_ESNetSocketStateDisconnecting = 21,
    k_ESNetSocketStateLocalDisconnect = 22,
    k_ESNetSocketStateTimeoutDuringConnect = 23,
    k_ESNetSocketStateRemoteEndDisconnected = 24,
    k_ESNetSocketStateConnectionBroken = 25,
};

enum EServerMode : int32_t {
    eServerModeInvalid = 0,
    eServerModeNoAuthentication = 1,
    eServerModeAuthentication = 2,
    eServerModeAuthenticationAndSecure = 3,
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

enum ELeaderboardUploadScoreMethod : int32_t {
    k_ELeaderboardUploadScoreMethodNone = 0,
    k_ELeaderboardUploadScoreMethodKeepBest = 1,
    k_ELeaderboardUploadScoreMethodForceUpdate = 2,
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
