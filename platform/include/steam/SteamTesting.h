// Hooks for tests and for the platform's own code: queue a callback, make start-up fail,
// replace or remove the remote storage. The game itself never calls them.
#pragma once

#include "steam/SteamApi.h"

#include <cstddef>
#include <string>

namespace platform::steam {

// Queues a callback; it is delivered by the next SteamAPI_RunCallbacks, never before.
void QueueCallback(int callbackId, const void* payload, size_t bytes);

// The next SteamAPI_Init calls return `succeeds` (true by default).
void SetInitResult(bool succeeds);

// Replaces what SteamRemoteStorage() returns while initialised: a test double, or null for a
// platform without remote storage. Pass `UseProfileStorage` to go back to the profile folder.
void SetRemoteStorage(ISteamRemoteStorage* storage);
void UseProfileStorage();

// The profile folder in use (created on first use).
std::string ProfileFolder();

} // namespace platform::steam
