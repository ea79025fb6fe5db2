// Callbacks and call results of the game platform's client, our own.
// A callback object receives every queued record of its id; a call-result object receives the
// one result of the call it is bound to. Both are delivered only inside SteamAPI_RunCallbacks
// (client) or SteamGameServer_RunCallbacks (game server), on the thread that calls the pump.
// Implemented: the callback base, the member-function binders CCallback and CCallResult, and the
//              records of start-up, statistics, leaderboards, lobbies, sockets and the game
//              server's log-on and authentication.
// Left out:    records the game never registers for.
#pragma once

#include "steam/SteamTypes.h"

// Base of every registered callback and call result.
class CCallbackBase {
public:
    virtual ~CCallbackBase() = default;
    // A callback record of the registered id.
    virtual void Run(void* param) = 0;
    // The result of a bound call; `ioFailure` is true when the call could not complete.
    virtual void RunCallResult(void* param, bool /*ioFailure*/, SteamAPICall_t /*call*/) { Run(param); }
    int GetICallback() const { return m_iCallback; }
    bool IsGameServer() const { return m_gameServer; }

protected:
    int m_iCallback = 0;
    bool m_gameServer = false;
    friend void SteamAPI_RegisterCallback(CCallbackBase* callback, int callbackId);
    friend void SteamGameServer_RegisterCallback(CCallbackBase* callback, int callbackId);
};

void SteamAPI_RegisterCallback(CCallbackBase* callback, int callbackId);
void SteamAPI_UnregisterCallback(CCallbackBase* callback);
// Game-server callbacks are delivered by SteamGameServer_RunCallbacks instead.
void SteamGameServer_RegisterCallback(CCallbackBase* callback, int callbackId);
// A zero call is never registered. Registering an object again moves it to the new call.
void SteamAPI_RegisterCallResult(CCallbackBase* callback, SteamAPICall_t call);
void SteamAPI_UnregisterCallResult(CCallbackBase* callback, SteamAPICall_t call);

// Calls `(object->*handler)(record)` for every record of P's id while it lives.
template <typename T, typename P, bool GameServer = false>
class CCallback final : public CCallbackBase {
public:
    using Handler = void (T::*)(P*);
    CCallback(T* object, Handler handler) : m_object(object), m_handler(handler)
    {
        if (GameServer)
            SteamGameServer_RegisterCallback(this, P::k_iCallback);
        else
            SteamAPI_RegisterCallback(this, P::k_iCallback);
    }
    ~CCallback() override { SteamAPI_UnregisterCallback(this); }
    CCallback(const CCallback&) = delete;
    CCallback& operator=(const CCallback&) = delete;
    void Run(void* param) override { (m_object->*m_handler)(static_cast<P*>(param)); }

private:
    T* m_object;
    Handler m_handler;
};

// Holds at most one pending call: Set on a new call drops the pending one, whose result is then
// never delivered.
template <typename T, typename P>
class CCallResult final : public CCallbackBase {
public:
    using Handler = void (T::*)(P*, bool ioFailure);
    CCallResult() { m_iCallback = P::k_iCallback; }
    ~CCallResult() override { Cancel(); }
    CCallResult(const CCallResult&) = delete;
    CCallResult& operator=(const CCallResult&) = delete;

    void Set(SteamAPICall_t call, T* object, Handler handler)
    {
        Cancel();
        if (call == k_uAPICallInvalid)
            return;
        m_call = call;
        m_object = object;
        m_handler = handler;
        SteamAPI_RegisterCallResult(this, call);
    }
    bool IsActive() const { return m_call != k_uAPICallInvalid; }
    void Cancel()
    {
        if (m_call != k_uAPICallInvalid)
            SteamAPI_UnregisterCallResult(this, m_call);
        m_call = k_uAPICallInvalid;
    }

    void Run(void* param) override { RunCallResult(param, false, m_call); }
    void RunCallResult(void* param, bool ioFailure, SteamAPICall_t call) override
    {
        if (call != m_call || !m_object)
            return;
        m_call = k_uAPICallInvalid;
        (m_object->*m_handler)(static_cast<P*>(param), ioFailure);
    }

private:
    SteamAPICall_t m_call = k_uAPICallInvalid;
    T* m_object = nullptr;
    Handler m_handler = nullptr;
};

// The records. Ids are ours; field names follow what the game reads.

// The platform client closes: the game ends in an orderly way.
struct SteamShutdown_t {
    static constexpr int k_iCallback = 104;
};

// The connection to the platform client was lost.
struct IPCFailure_t {
    static constexpr int k_iCallback = 117;
    uint8_t m_eFailureType;
};

// The game server logged on (game-server pump).
struct SteamServersConnected_t {
    static constexpr int k_iCallback = 101;
};

// The game server logged off or lost its backend (game-server pump).
struct SteamServersDisconnected_t {
    static constexpr int k_iCallback = 103;
    EResult m_eResult;
};

// The game server's security policy is known; BSecure() answers it (game-server pump).
struct GSPolicyResponse_t {
    static constexpr int k_iCallback = 115;
    uint8_t m_bSecure;
};

// A player's ticket was accepted (game-server pump).
struct GSClientApprove_t {
    static constexpr int k_iCallback = 201;
    CSteamID m_SteamID;
};

// A player's ticket was refused (game-server pump).
struct GSClientDeny_t {
    static constexpr int k_iCallback = 202;
    CSteamID m_SteamID;
    EDenyReason m_eDenyReason;
    char m_rgchOptionalText[128];
};

// An admitted player must be dropped: the same user was admitted again on another connection.
struct GSClientKick_t {
    static constexpr int k_iCallback = 203;
    CSteamID m_SteamID;
    EDenyReason m_eDenyReason;
};

// A user's name became known or changed.
struct PersonaStateChange_t {
    static constexpr int k_iCallback = 304;
    uint64_t m_ulSteamID;
    int32_t m_nChangeFlags;
};

// The call result of JoinLobby, and of CreateLobby for the creator.
struct LobbyEnter_t {
    static constexpr int k_iCallback = 504;
    uint64_t m_ulSteamIDLobby;
    uint32_t m_rgfChatPermissions;
    bool m_bLocked;
    uint32_t m_EChatRoomEnterResponse;
};

// Lobby data changed (member 0 or the lobby's id) or a member's data changed (that member).
struct LobbyDataUpdate_t {
    static constexpr int k_iCallback = 505;
    uint64_t m_ulSteamIDLobby;
    uint64_t m_ulSteamIDMember;
    uint8_t m_bSuccess;
};

// A member entered (1) or left (2) a lobby the player is in.
struct LobbyChatUpdate_t {
    static constexpr int k_iCallback = 506;
    uint64_t m_ulSteamIDLobby;
    uint64_t m_ulSteamIDUserChanged;
    uint64_t m_ulSteamIDMakingChange;
    uint32_t m_rgfChatMemberStateChange;
};

// A chat entry arrived; GetLobbyChatEntry reads it by its chat id.
struct LobbyChatMsg_t {
    static constexpr int k_iCallback = 507;
    uint64_t m_ulSteamIDLobby;
    uint64_t m_ulSteamIDUser;
    uint8_t m_eChatEntryType;
    uint32_t m_iChatID;
};

// A game server was published in a lobby the player is in.
struct LobbyGameCreated_t {
    static constexpr int k_iCallback = 509;
    uint64_t m_ulSteamIDLobby;
    uint64_t m_ulSteamIDGameServer;
    uint32_t m_unIP;
    uint16_t m_usPort;
};

// The call result of RequestLobbyList.
struct LobbyMatchList_t {
    static constexpr int k_iCallback = 510;
    uint32_t m_nLobbiesMatching;
};

// The call result of CreateLobby.
struct LobbyCreated_t {
    static constexpr int k_iCallback = 513;
    EResult m_eResult;
    uint64_t m_ulSteamIDLobby;
};

// A networking socket changed state (1 connected, 21 and above closing).
struct SocketStatusCallback_t {
    static constexpr int k_iCallback = 1201;
    SNetSocket_t m_hSocket;
    SNetListenSocket_t m_hListenSocket;
    CSteamID m_steamIDRemote;
    int32_t m_eSNetSocketState;
};

// The answer to RequestCurrentStats.
struct UserStatsReceived_t {
    static constexpr int k_iCallback = 1101;
    uint64_t m_nGameID;
    EResult m_eResult;
    CSteamID m_steamIDUser;
};

// The answer to StoreStats.
struct UserStatsStored_t {
    static constexpr int k_iCallback = 1102;
    uint64_t m_nGameID;
    EResult m_eResult;
};

// One for every accepted SetAchievement.
struct UserAchievementStored_t {
    static constexpr int k_iCallback = 1103;
    uint64_t m_nGameID;
    char m_rgchAchievementName[128];
};

// The call result of FindOrCreateLeaderboard.
struct LeaderboardFindResult_t {
    static constexpr int k_iCallback = 1104;
    SteamLeaderboard_t m_hSteamLeaderboard;
    uint8_t m_bLeaderboardFound;
};

// The call result of DownloadLeaderboardEntries.
struct LeaderboardScoresDownloaded_t {
    static constexpr int k_iCallback = 1105;
    SteamLeaderboard_t m_hSteamLeaderboard;
    SteamLeaderboardEntries_t m_hSteamLeaderboardEntries;
    int32_t m_cEntryCount;
};

// The call result of UploadLeaderboardScore.
struct LeaderboardScoreUploaded_t {
    static constexpr int k_iCallback = 1106;
    uint8_t m_bSuccess;
    SteamLeaderboard_t m_hSteamLeaderboard;
    int32_t m_nScore;
    uint8_t m_bScoreChanged;
    int32_t m_nGlobalRankNew;
    int32_t m_nGlobalRankPrevious;
};
