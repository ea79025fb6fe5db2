// The platform client's start-up and shut-down, its interface getters and the testing hooks.
// Implemented: SteamAPI_Init (profile folder, identity, the interfaces over it, the online
//              services over the backend $QUIBLY_ONLINE chooses), SteamAPI_Shutdown, the getters
//              of remote storage, user, friends, utilities and user statistics.
// Left out:    nothing the game calls; the online getters are in OnlineServices.cpp.
#include "ClientState.h"
#include "steam/SteamTesting.h"
#include "win32/Files.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace platform::steam {

ClientState& State()
{
    static ClientState state;
    return state;
}

namespace {

template <typename T>
T* IfInitialised(const std::unique_ptr<T>& object)
{
    std::lock_guard guard(State().lock);
    return State().initialised ? object.get() : nullptr;
}

} // namespace

} // namespace platform::steam

using platform::steam::State;

bool SteamAPI_Init()
{
    auto& state = State();
    std::lock_guard guard(state.lock);
    if (!state.initSucceeds)
        return false;
    if (state.initialised)
        return true;
    platform::steam::ProfileChoice choice = platform::steam::ChooseProfileFolder();
    if (choice.folder.empty()) {
        std::fprintf(stderr, "[platform] SteamAPI_Init: %s\n", choice.error.c_str());
        return false;
    }
    std::error_code ec;
    fs::create_directories(choice.folder, ec);
    if (!fs::is_directory(choice.folder, ec)) {
        std::fprintf(stderr, "[platform] SteamAPI_Init: cannot make the profile folder %s\n", choice.folder.c_str());
        return false;
    }
    // Saves a killed run left half-done (temporary files beside the profile's files) go first.
    platform::RemoveLeftoverTemporaryFiles(choice.folder);
    platform::RemoveLeftoverTemporaryFiles(choice.folder + "/remote");
    state.profile = platform::steam::LoadProfile(choice.folder);
    state.storage = platform::steam::MakeRemoteStorage(choice.folder + "/remote");
    state.user = platform::steam::MakeUser(state.profile.id);
    state.friends = platform::steam::MakeFriends(state.profile.id, state.profile.personaName);
    state.utils = platform::steam::MakeUtils();
    state.online = std::make_unique<platform::steam::OnlineContext>(
        state.profile.id, state.profile.personaName, platform::steam::MakeBackendFromEnvironment(),
        platform::steam::ProcessSink());
    state.userStats = platform::steam::MakeUserStats(choice.folder, state.profile.id);
    state.initialised = true;
    return true;
}

void SteamAPI_Shutdown()
{
    auto& state = State();
    std::lock_guard guard(state.lock);
    state.initialised = false;
    state.online.reset();
    state.registry.clientQueue.clear();
    state.registry.serverQueue.clear();
    state.storage.reset();
    state.user.reset();
    state.friends.reset();
    state.utils.reset();
    state.userStats.reset();
}

ISteamRemoteStorage* SteamRemoteStorage()
{
    auto& state = State();
    std::lock_guard guard(state.lock);
    if (!state.initialised)
        return nullptr;
    return state.storageOverridden ? state.storageOverride : state.storage.get();
}

ISteamUser* SteamUser()
{
    return platform::steam::IfInitialised(State().user);
}

ISteamFriends* SteamFriends()
{
    return platform::steam::IfInitialised(State().friends);
}

ISteamUtils* SteamUtils()
{
    return platform::steam::IfInitialised(State().utils);
}

ISteamUserStats* SteamUserStats()
{
    return platform::steam::IfInitialised(State().userStats);
}

namespace platform::steam {

void QueueCallback(int callbackId, const void* payload, size_t bytes)
{
    Enqueue(State().registry.clientQueue, callbackId, payload, bytes);
}

void QueueCallResult(SteamAPICall_t call, int callbackId, const void* payload, size_t bytes, bool ioFailure)
{
    Enqueue(State().registry.clientQueue, callbackId, payload, bytes, call, ioFailure);
}

SteamAPICall_t NewCall()
{
    return NextCall();
}

void QueueGameServerCallback(int callbackId, const void* payload, size_t bytes)
{
    Enqueue(State().registry.serverQueue, callbackId, payload, bytes);
}

void SetInitResult(bool succeeds)
{
    std::lock_guard guard(State().lock);
    State().initSucceeds = succeeds;
}

void SetRemoteStorage(ISteamRemoteStorage* storage)
{
    std::lock_guard guard(State().lock);
    State().storageOverridden = true;
    State().storageOverride = storage;
}

void UseProfileStorage()
{
    std::lock_guard guard(State().lock);
    State().storageOverridden = false;
    State().storageOverride = nullptr;
}

std::string ProfileFolder()
{
    std::lock_guard guard(State().lock);
    return State().initialised ? State().profile.folder : ChooseProfileFolder().folder;
}

int OverlayNotificationPosition()
{
    std::lock_guard guard(State().lock);
    return State().overlayPosition;
}

} // namespace platform::steam
