// The game platform's client, our own: start-up, the local user's identity, the remote storage
// that holds the cloud copy of the play data, statistics with achievements, leaderboards,
// lobbies, networking sockets and the game server.
// Identity and storage live in a per-user profile folder: $QUIBLY_PROFILE_DIR when set, else
// $XDG_DATA_HOME/quibly/<profile> or ~/.local/share/quibly/<profile>, where the profile is
// $QUIBLY_PROFILE or the login name. Two profiles are two players on one machine. The profile
// "offline" has no platform: SteamAPI_Init fails.
// Online services run over one of two backends, chosen at SteamAPI_Init: the embedded one
// (default; lobbies found and leaderboards kept in the folder $QUIBLY_ONLINE_DIR, else
// $XDG_DATA_HOME/quibly-online or ~/.local/share/quibly-online, shared by every profile)
// or Redis ($QUIBLY_ONLINE=redis://host:port). Sockets are TCP connections carrying
// length-prefixed frames (payload at most 64 KiB), always reliable and ordered.
// Implemented: SteamAPI_Init/Shutdown/RunCallbacks; callbacks and call results, queued and
//              delivered only inside the pumps on the calling thread; SteamRemoteStorage;
//              SteamUser (a persisted random 64-bit id, always logged on, game-connection
//              tickets); SteamFriends (persona names of the profile, of lobby members and of
//              the backend); SteamUtils; SteamUserStats (achievements, shared leaderboards);
//              SteamMatchmaking (lobbies: create, join, leave, list with string filters, data,
//              member data, member limit, chat, game server); SteamNetworking (client sockets);
//              the game server with its listen socket and ticket checks; the master-server
//              updater (no-op).
// Left out:    friends lists, avatars, the overlay, and relay through the platform: a client
//              must reach the host's game server directly.
#pragma once

#include "steam/SteamCallbacks.h"
#include "steam/SteamTypes.h"

#include <cstdint>

// Files of the player kept by the platform. Reads always start at the beginning of the file.
class ISteamRemoteStorage {
public:
    virtual ~ISteamRemoteStorage() = default;
    virtual bool FileWrite(const char* name, const void* data, int32_t bytes) = 0;
    // Bytes read into the buffer, at most `bytes`; 0 when the file cannot be read.
    virtual int32_t FileRead(const char* name, void* data, int32_t bytes) = 0;
    virtual bool FileExists(const char* name) = 0;
    // Size in bytes, 0 when the file does not exist.
    virtual int32_t GetFileSize(const char* name) = 0;
    // When the file was last written, in seconds since 1970; 0 when it does not exist or the
    // storage does not know.
    virtual int64_t GetFileTimestamp(const char* /*name*/) { return 0; }
};

class ISteamUser {
public:
    virtual ~ISteamUser() = default;
    virtual CSteamID GetSteamID() = 0;
    virtual bool BLoggedOn() = 0;
    // Writes a one-use ticket for the game server `server` into `blob` and returns its length,
    // 0 when none can be made (buffer too small, no backend).
    virtual int InitiateGameConnection(void* blob, int maxBytes, CSteamID server, uint32_t serverIp,
                                       uint16_t serverPort, bool secure) = 0;
    // Withdraws the tickets made for that server that were not used yet.
    virtual void TerminateGameConnection(uint32_t serverIp, uint16_t serverPort) = 0;
};

class ISteamFriends {
public:
    virtual ~ISteamFriends() = default;
    // UTF-8; the local user's name. Never null.
    virtual const char* GetPersonaName() = 0;
    // UTF-8 (at most 127 bytes); the name of any user known through a lobby or the backend, an
    // empty text for an unknown one. Never null.
    virtual const char* GetFriendPersonaName(CSteamID user) = 0;
    // Whether `user` is a member of the lobby `source` as the player last saw it.
    virtual bool IsUserInSource(CSteamID user, CSteamID source) = 0;
    // There is no overlay: the address is only logged.
    virtual void ActivateGameOverlayToWebPage(const char* url) = 0;
};

class ISteamUtils {
public:
    virtual ~ISteamUtils() = default;
    virtual AppId_t GetAppID() = 0;
    // Where the platform's notifications would show.
    virtual void SetOverlayNotificationPosition(ENotificationPosition position) = 0;
    // Whether the platform can show its overlay (web pages, community pages) over the game.
    virtual bool IsOverlayEnabled() = 0;
};

class ISteamUserStats {
public:
    virtual ~ISteamUserStats() = default;
    // Queues UserStatsReceived_t for the local user; false when no user is logged on.
    virtual bool RequestCurrentStats() = 0;
    // False for a name that is not an achievement name (letters, digits, '_', 1 to 127 bytes).
    virtual bool GetAchievement(const char* name, bool* achieved) = 0;
    // Each accepted call queues one UserAchievementStored_t.
    virtual bool SetAchievement(const char* name) = 0;
    virtual bool ClearAchievement(const char* name) = 0;
    // The "name" of an achievement is its API name; other keys give an empty text. Never null.
    virtual const char* GetAchievementDisplayAttribute(const char* name, const char* key) = 0;
    // Queues UserStatsStored_t.
    virtual bool StoreStats() = 0;
    // Answered with LeaderboardFindResult_t; a missing board is created.
    virtual SteamAPICall_t FindOrCreateLeaderboard(const char* name, ELeaderboardSortMethod sort,
                                                   ELeaderboardDisplayType display) = 0;
    // Empty text for an unknown board. Never null.
    virtual const char* GetLeaderboardName(SteamLeaderboard_t board) = 0;
    virtual int GetLeaderboardEntryCount(SteamLeaderboard_t board) = 0;
    // Answered with LeaderboardScoresDownloaded_t; 0 for an unknown board.
    virtual SteamAPICall_t DownloadLeaderboardEntries(SteamLeaderboard_t board, ELeaderboardDataRequest request,
                                                      int start, int end) = 0;
    virtual bool GetDownloadedLeaderboardEntry(SteamLeaderboardEntries_t entries, int index,
                                               LeaderboardEntry_t* entry, int32_t* details, int detailsMax) = 0;
    // Answered with LeaderboardScoreUploaded_t; 0 for an unknown board. Details are not kept.
    virtual SteamAPICall_t UploadLeaderboardScore(SteamLeaderboard_t board, ELeaderboardUploadScoreMethod method,
                                                  int32_t score, const int32_t* details, int detailsCount) = 0;
};

// Lobbies. Texts are UTF-8: keys at most 255 bytes, values at most 8 KiB, chat entries at most
// 4 KiB. Missing data reads as "". Only the owner writes lobby data; other members write only
// "GuestRecord", and "game_starting" with the value "0". Every change reaches every member as a
// callback in its next pump.
class ISteamMatchmaking {
public:
    virtual ~ISteamMatchmaking() = default;
    // Answered with LobbyCreated_t (and LobbyEnter_t); the creator owns the lobby.
    virtual SteamAPICall_t CreateLobby(ELobbyType type, int maxMembers) = 0;
    // Answered with LobbyEnter_t; a full lobby answers k_EChatRoomEnterResponseFull.
    virtual SteamAPICall_t JoinLobby(CSteamID lobby) = 0;
    virtual void LeaveLobby(CSteamID lobby) = 0;
    // Filters of the next RequestLobbyList; RequestLobbyList clears them.
    virtual void AddRequestLobbyListStringFilter(const char* key, const char* value, ELobbyComparison comparison) = 0;
    // Answered with LobbyMatchList_t; at most 200 public lobbies.
    virtual SteamAPICall_t RequestLobbyList() = 0;
    virtual CSteamID GetLobbyByIndex(int index) = 0;
    // Members, owner and data of a joined lobby, or of a listed one as it was announced.
    virtual int GetNumLobbyMembers(CSteamID lobby) = 0;
    virtual CSteamID GetLobbyMemberByIndex(CSteamID lobby, int index) = 0;
    virtual CSteamID GetLobbyOwner(CSteamID lobby) = 0;
    virtual const char* GetLobbyData(CSteamID lobby, const char* key) = 0;
    virtual bool SetLobbyData(CSteamID lobby, const char* key, const char* value) = 0;
    virtual const char* GetLobbyMemberData(CSteamID lobby, CSteamID member, const char* key) = 0;
    // Writes the local player's own member data.
    virtual void SetLobbyMemberData(CSteamID lobby, const char* key, const char* value) = 0;
    // Refreshes a listed lobby's announcement; LobbyDataUpdate_t follows. False for an unknown lobby.
    virtual bool RequestLobbyData(CSteamID lobby) = 0;
    virtual bool SetLobbyMemberLimit(CSteamID lobby, int maxMembers) = 0;
    virtual int GetLobbyMemberLimit(CSteamID lobby) = 0;
    virtual bool SendLobbyChatMsg(CSteamID lobby, const void* body, int bytes) = 0;
    // Copies at most `maxBytes` of the entry, adds no terminator; returns the bytes copied.
    virtual int GetLobbyChatEntry(CSteamID lobby, int chatId, CSteamID* user, void* data, int maxBytes,
                                  EChatEntryType* type) = 0;
    // Owner only; every member receives LobbyGameCreated_t.
    virtual void SetLobbyGameServer(CSteamID lobby, uint32_t ip, uint16_t port, CSteamID server) = 0;
    // Zeros and false before a game server was published.
    virtual bool GetLobbyGameServer(CSteamID lobby, uint32_t* ip, uint16_t* port, CSteamID* server) = 0;
};

// Client sockets to a game server. Addresses are IPv4 in host byte order.
class ISteamNetworking {
public:
    virtual ~ISteamNetworking() = default;
    // 0 on immediate failure; SocketStatusCallback_t follows (1 connected, 23 time-out, 25 broken).
    virtual SNetSocket_t CreateConnectionSocket(uint32_t ip, uint16_t port, int timeoutSeconds) = 0;
    // Connects to the game server with that id, looked up in the backend's server directory.
    virtual SNetSocket_t CreateP2PConnectionSocket(CSteamID target, int virtualPort, int timeoutSeconds,
                                                   bool allowRelay) = 0;
    virtual bool DestroySocket(SNetSocket_t socket, bool notifyRemoteEnd) = 0;
    // One message, at most 64 KiB; boundaries are kept. False when the socket cannot take it.
    virtual bool SendDataOnSocket(SNetSocket_t socket, const void* data, uint32_t bytes, bool reliable) = 0;
    virtual bool IsDataAvailableOnSocket(SNetSocket_t socket, uint32_t* bytes) = 0;
    // One whole message per call; false when none is waiting or it does not fit (it then stays).
    virtual bool RetrieveDataFromSocket(SNetSocket_t socket, void* dest, uint32_t maxBytes, uint32_t* bytes) = 0;
    virtual bool GetSocketInfo(SNetSocket_t socket, CSteamID* remote, int* state, uint32_t* ip, uint16_t* port) = 0;
};

// The game server run by a host.
class ISteamGameServer {
public:
    virtual ~ISteamGameServer() = default;
    // Fresh for every SteamGameServer_Init.
    virtual CSteamID GetSteamID() = 0;
    virtual bool BLoggedOn() = 0;
    // Always false: there is no anti-cheat.
    virtual bool BSecure() = 0;
    // Parses the ticket and checks it against the backend: true with the claimed user when it
    // parses, then GSClientApprove_t or GSClientDeny_t in the game-server pump.
    virtual bool SendUserConnectAndAuthenticate(uint32_t clientIp, const void* ticket, uint32_t bytes,
                                                CSteamID* user) = 0;
    virtual void SendUserDisconnect(CSteamID user) = 0;
    // There is no server list: these two log once; BUpdateUserData returns false.
    virtual void UpdateServerStatus(int players, int maxPlayers, int bots, const char* serverName,
                                    const char* spectatorName, const char* mapName) = 0;
    virtual bool BUpdateUserData(CSteamID user, const char* name, uint32_t score) = 0;
    // SteamServersDisconnected_t follows; the server id leaves the directory.
    virtual void LogOff() = 0;
};

// The game server's listen socket and the sockets it accepted.
class ISteamGameServerNetworking {
public:
    virtual ~ISteamGameServerNetworking() = default;
    // Listens on `port`, or the next free port above it when it is taken; 0 when none is free.
    virtual SNetListenSocket_t CreateListenSocket(int virtualPort, uint32_t ip, uint16_t port, bool allowRelay) = 0;
    // Closes every socket it accepted.
    virtual bool DestroyListenSocket(SNetListenSocket_t socket, bool notifyRemoteEnd) = 0;
    virtual bool DestroySocket(SNetSocket_t socket, bool notifyRemoteEnd) = 0;
    // A message waiting on any accepted socket, with that socket.
    virtual bool IsDataAvailable(SNetListenSocket_t socket, uint32_t* bytes, SNetSocket_t* from) = 0;
    virtual bool RetrieveData(SNetListenSocket_t socket, void* dest, uint32_t maxBytes, uint32_t* bytes,
                              SNetSocket_t* from) = 0;
    virtual bool SendDataOnSocket(SNetSocket_t socket, const void* data, uint32_t bytes, bool reliable) = 0;
    virtual bool GetSocketInfo(SNetSocket_t socket, CSteamID* remote, int* state, uint32_t* ip, uint16_t* port) = 0;
    virtual bool GetListenSocketInfo(SNetListenSocket_t socket, uint32_t* ip, uint16_t* port) = 0;
};

// Master-server listing has no equivalent here: nothing in the game reads a server list (a lobby
// finds its game server by id). Both calls log once and do nothing.
class ISteamMasterServerUpdater {
public:
    virtual ~ISteamMasterServerUpdater() = default;
    virtual void SetActive(bool active) = 0;
    virtual void SetBasicServerData(uint16_t protocolVersion, bool dedicated, const char* region,
                                    const char* productName, uint16_t maxReplies, bool passwordProtected,
                                    const char* gameDescription) = 0;
};

// False when the platform cannot start: the profile "offline", a profile name that is not a
// plain folder name, or a profile folder that cannot be made. Calling it again is harmless.
bool SteamAPI_Init();
void SteamAPI_Shutdown();
// Delivers every queued callback and call result, in queue order, on the calling thread.
void SteamAPI_RunCallbacks();

// Null before SteamAPI_Init succeeded or after SteamAPI_Shutdown.
ISteamRemoteStorage* SteamRemoteStorage();
ISteamUser* SteamUser();
ISteamFriends* SteamFriends();
ISteamUtils* SteamUtils();
ISteamUserStats* SteamUserStats();
ISteamMatchmaking* SteamMatchmaking();
ISteamNetworking* SteamNetworking();

// The game server the host runs. Its getters are null until SteamGameServer_Init succeeds.
// Init may be called again: each call starts a new server with a fresh id.
bool SteamGameServer_Init(uint32_t ip, uint16_t platformPort, uint16_t gamePort, uint16_t spectatorPort,
                          uint16_t queryPort, int serverMode, const char* gameDir, const char* version);
void SteamGameServer_RunCallbacks();
ISteamGameServer* SteamGameServer();
ISteamGameServerNetworking* SteamGameServerNetworking();
ISteamMasterServerUpdater* SteamMasterServerUpdater();
