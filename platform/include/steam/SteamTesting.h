// Hooks for tests and for the platform's own code: queue a callback, make start-up fail,
// replace or remove the remote storage, read what the game asked of the overlay. The game
// itself never calls them.
#pragma once

#include "steam/SteamApi.h"

#include <cstddef>
#include <string>

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

} // namespace platform::steam
