// The one state of the platform client in a process, shared by its source files. Every access
// holds `lock`, which the thread delivering callbacks may take again from inside a callback.
#pragma once

#include "Online.h"
#include "steam/SteamApi.h"

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform::steam {

struct QueuedCallback {
    int id = 0;
    SteamAPICall_t call = k_uAPICallInvalid;  // set for a call result
    bool ioFailure = false;
    std::vector<uint8_t> payload;
};

// What the client and the game server pumps deliver.
struct CallbackRegistry {
    std::vector<CCallbackBase*> callbacks;
    std::map<SteamAPICall_t, CCallbackBase*> callResults;
    std::deque<QueuedCallback> clientQueue;
    std::deque<QueuedCallback> serverQueue;
    SteamAPICall_t lastCall = 0;
};

// Identity of the profile in use.
struct Profile {
    std::string folder;
    CSteamID id;
    std::string personaName;
};

struct ClientState {
    std::recursive_mutex lock;
    // Held by the pump while it delivers callbacks, instead of `lock`: a handler may take a lock
    // of the game's that another thread holds while it calls the platform (which takes `lock`),
    // so delivering under `lock` could make the two wait on each other for ever. Unregistering
    // takes this one too, so no callback is destroyed on another thread while it runs.
    std::recursive_mutex deliveryLock;
    bool initialised = false;
    bool initSucceeds = true;
    bool storageOverridden = false;
    ISteamRemoteStorage* storageOverride = nullptr;
    int overlayPosition = -1;
    Profile profile;
    std::unique_ptr<ISteamRemoteStorage> storage;
    std::unique_ptr<ISteamUser> user;
    std::unique_ptr<ISteamFriends> friends;
    std::unique_ptr<ISteamUtils> utils;
    std::unique_ptr<ISteamUserStats> userStats;
    // Lobbies, sockets, the game server and leaderboards over the backend chosen at start.
    std::unique_ptr<OnlineContext> online;
    CallbackRegistry registry;
};

ClientState& State();

// The application id the platform reports; the statistics' game id is its low 24 bits.
constexpr AppId_t kAppId = 20110;

// Profile.cpp: the folder the next start-up uses, or an error text when there is none.
struct ProfileChoice {
    std::string folder;
    std::string error;
};
ProfileChoice ChooseProfileFolder();
// Reads the persisted id and persona name, making and storing a new id the first time.
Profile LoadProfile(const std::string& folder);
std::string LoginName();
// A name of one entry inside a folder, never a path: not empty, not "." or "..", no separator.
// Profile names and remote file names are both checked with it.
bool IsPlainName(std::string_view name);

// Makers of the interfaces over the profile (one source file each).
std::unique_ptr<ISteamRemoteStorage> MakeRemoteStorage(const std::string& folder);
std::unique_ptr<ISteamUser> MakeUser(CSteamID id);
std::unique_ptr<ISteamFriends> MakeFriends(CSteamID self, std::string personaName);
std::unique_ptr<ISteamUtils> MakeUtils();
std::unique_ptr<ISteamUserStats> MakeUserStats(const std::string& folder, CSteamID self);

// CallbackQueue.cpp, with the lock held by the caller or not (the lock is recursive).
void Enqueue(std::deque<QueuedCallback>& queue, int id, const void* payload, size_t bytes,
             SteamAPICall_t call = k_uAPICallInvalid, bool ioFailure = false);
SteamAPICall_t NextCall();

// Queues the typed record `P` as the result of a new call and returns the call.
template <typename P>
SteamAPICall_t QueueResult(const P& record)
{
    SteamAPICall_t call = NextCall();
    Enqueue(State().registry.clientQueue, P::k_iCallback, &record, sizeof record, call);
    return call;
}

template <typename P>
void QueueRecord(const P& record)
{
    Enqueue(State().registry.clientQueue, P::k_iCallback, &record, sizeof record);
}

} // namespace platform::steam
