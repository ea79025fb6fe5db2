// Hooks for tests and for the platform's own code: queue a callback, make start-up fail,
// replace or remove the remote storage, read what the game asked of the overlay, simulate
// another online player in the same process, fill the lobby directory. The game itself never
// calls them.
#pragma once

#include "steam/SteamApi.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace platform::steam {

// Queues a callback; it is delivered by the next SteamAPI_RunCallbacks, never before.
void QueueCallback(int callbackId, const void* payload, size_t bytes);
// Queues the result of `call`; it reaches the call-result object bound to the call, if any, in
// the next SteamAPI_RunCallbacks.
void QueueCallResult(SteamAPICall_t call, int callbackId, const void* payload, size_t bytes, bool ioFailure);
// A fresh call handle, never 0.
SteamAPICall_t NewCall();
// Queues a callback for the game server's pump.
void QueueGameServerCallback(int callbackId, const void* payload, size_t bytes);

// The next SteamAPI_Init calls return `succeeds` (true by default) whatever the profile.
void SetInitResult(bool succeeds);

// Replaces what SteamRemoteStorage() returns while initialised: a test double, or null for a
// platform without remote storage. Pass `UseProfileStorage` to go back to the profile folder.
void SetRemoteStorage(ISteamRemoteStorage* storage);
void UseProfileStorage();

// The profile folder in use (the one the next SteamAPI_Init would use before it).
std::string ProfileFolder();

// The last position given to SetOverlayNotificationPosition, -1 before any.
int OverlayNotificationPosition();

// Another platform user inside this process: its own id, persona name and online services over
// the backend the environment chooses ($QUIBLY_ONLINE, $QUIBLY_ONLINE_DIR), with its events
// recorded instead of delivered. Works with or without SteamAPI_Init; uses the process lock.
class OnlinePeer {
public:
    struct Event {
        int id = 0;
        SteamAPICall_t call = k_uAPICallInvalid;  // set for a call result
        bool ioFailure = false;
        bool gameServer = false;  // for the game server's pump
        std::vector<uint8_t> payload;
        template <typename P>
        const P& As() const
        {
            return *reinterpret_cast<const P*>(payload.data());
        }
    };

    OnlinePeer(uint64_t id, const std::string& personaName);
    ~OnlinePeer();
    OnlinePeer(const OnlinePeer&) = delete;
    OnlinePeer& operator=(const OnlinePeer&) = delete;

    CSteamID Id() const;
    ISteamMatchmaking* Matchmaking();
    ISteamNetworking* Networking();
    // Null until StartGameServer.
    ISteamGameServer* GameServer();
    ISteamGameServerNetworking* GameServerNetworking();
    bool StartGameServer();
    // The user's ticket for a game server, as ISteamUser::InitiateGameConnection makes it.
    int InitiateGameConnection(void* blob, int maxBytes, CSteamID server);
    const char* PersonaOf(CSteamID user);

    // Leaderboards, as ISteamUserStats has them.
    SteamAPICall_t FindOrCreateLeaderboard(const char* name, ELeaderboardSortMethod sort,
                                           ELeaderboardDisplayType display);
    SteamAPICall_t UploadLeaderboardScore(SteamLeaderboard_t board, ELeaderboardUploadScoreMethod method, int32_t score);
    SteamAPICall_t DownloadLeaderboardEntries(SteamLeaderboard_t board, ELeaderboardDataRequest request, int start,
                                              int end);
    bool GetDownloadedLeaderboardEntry(SteamLeaderboardEntries_t entries, int index, LeaderboardEntry_t* entry);
    int GetLeaderboardEntryCount(SteamLeaderboard_t board);

    // Polls both pumps' sockets and returns every event recorded since the last call.
    std::vector<Event> Pump();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Announces `count` lobbies in the directory of the backend the environment chooses, as if
// owners elsewhere served them: a stand-in owner answers that each is alive, but nobody
// answers a join; each has `key` = `value` and the lobby data "name" = "Lobby <n>". Returns how
// many were announced.
int AnnounceDirectoryLobbies(int count, const std::string& key, const std::string& value);
// Withdraws what AnnounceDirectoryLobbies announced.
void WithdrawDirectoryLobbies();

} // namespace platform::steam
