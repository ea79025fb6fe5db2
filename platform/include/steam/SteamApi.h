// The game platform's client, our own: start-up, the local user's identity, the remote storage
// that holds the cloud copy of the play data, statistics with achievements, and leaderboards.
// Identity and storage live in a per-user profile folder: $QUIBLY_PROFILE_DIR when set, else
// $XDG_DATA_HOME/quibly/<profile> or ~/.local/share/quibly/<profile>, where the profile is
// $QUIBLY_PROFILE or the login name. Two profiles are two players on one machine. The profile
// "offline" has no platform: SteamAPI_Init fails.
// Implemented: SteamAPI_Init/Shutdown/RunCallbacks; callbacks and call results, queued and
//              delivered only inside the pumps on the calling thread; SteamRemoteStorage (files of
//              the profile's "remote" folder); SteamUser (a persisted random 64-bit id, always
//              logged on); SteamFriends (persona name from the profile's "persona.txt", else the
//              login name); SteamUtils (application id, overlay position, kept but nothing
//              shows); SteamUserStats (achievements kept in the profile's "achievements.txt",
//              leaderboards found or created by name for this run, holding no entries).
// Left out:    lobbies, networking sockets and the game server. Their entry points that shut-down
//              reaches (SetLobbyData, DestroySocket, SteamGameServer_Init, LogOff,
//              DestroyListenSocket) log once and fail; they come with online play.
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
    virtual int64_t GetFileTimestamp(const char* name) { return 0; }
};

class ISteamUser {
public:
    virtual ~ISteamUser() = default;
    virtual CSteamID GetSteamID() = 0;
    virtual bool BLoggedOn() = 0;
};

class ISteamFriends {
public:
    virtual ~ISteamFriends() = default;
    // UTF-8; the local user's name. Never null.
    virtual const char* GetPersonaName() = 0;
    // UTF-8; the local user's name for the local id, an empty text for anyone else. Never null.
    virtual const char* GetFriendPersonaName(CSteamID user) = 0;
};

class ISteamUtils {
public:
    virtual ~ISteamUtils() = default;
    virtual AppId_t GetAppID() = 0;
    // Where the platform's notifications would show.
    virtual void SetOverlayNotificationPosition(ENotificationPosition position) = 0;
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
};

class ISteamMatchmaking {
public:
    virtual ~ISteamMatchmaking() = default;
    virtual bool SetLobbyData(CSteamID lobby, const char* key, const char* value) = 0;
};

class ISteamNetworking {
public:
    virtual ~ISteamNetworking() = default;
    virtual bool DestroySocket(SNetSocket_t socket, bool notifyRemoteEnd) = 0;
};

class ISteamGameServer {
public:
    virtual ~ISteamGameServer() = default;
    virtual void LogOff() = 0;
};

class ISteamGameServerNetworking {
public:
    virtual ~ISteamGameServerNetworking() = default;
    virtual bool DestroyListenSocket(SNetListenSocket_t socket, bool notifyRemoteEnd) = 0;
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
bool SteamGameServer_Init(uint32_t ip, uint16_t platformPort, uint16_t gamePort, uint16_t spectatorPort,
                          uint16_t queryPort, int serverMode, const char* gameDir, const char* version);
void SteamGameServer_RunCallbacks();
ISteamGameServer* SteamGameServer();
ISteamGameServerNetworking* SteamGameServerNetworking();
