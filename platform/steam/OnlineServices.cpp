// The getters of the online interfaces and the game server's start, over the process's
// online context (Online.h).
// Implemented: SteamMatchmaking, SteamNetworking (available once initialised);
//              SteamGameServer_Init (a new server with a fresh id at every call),
//              SteamGameServer, SteamGameServerNetworking and SteamMasterServerUpdater (null
//              until a server was started); EndOnlineServices (null getters afterwards).
// Left out:    nothing the game calls.
#include "ClientState.h"
#include "steam/OnlineServices.h"

using platform::steam::State;

namespace {

// The online context while the platform is initialised and its online services have not ended.
platform::steam::OnlineContext* Online()
{
    return State().initialised ? State().online.get() : nullptr;
}

} // namespace

void platform::steam::EndOnlineServices()
{
    std::lock_guard guard(State().lock);
    State().online.reset();
    State().registry.serverQueue.clear();
}

ISteamMatchmaking* SteamMatchmaking()
{
    std::lock_guard guard(State().lock);
    return Online() ? Online()->Matchmaking() : nullptr;
}

ISteamNetworking* SteamNetworking()
{
    std::lock_guard guard(State().lock);
    return Online() ? Online()->Networking() : nullptr;
}

bool SteamGameServer_Init(uint32_t /*ip*/, uint16_t /*platformPort*/, uint16_t /*gamePort*/, uint16_t /*spectatorPort*/,
                          uint16_t /*queryPort*/, int /*serverMode*/, const char* /*gameDir*/, const char* /*version*/)
{
    std::lock_guard guard(State().lock);
    return Online() && Online()->InitGameServer();
}

ISteamGameServer* SteamGameServer()
{
    std::lock_guard guard(State().lock);
    return Online() ? Online()->GameServer() : nullptr;
}

ISteamGameServerNetworking* SteamGameServerNetworking()
{
    std::lock_guard guard(State().lock);
    return Online() ? Online()->GameServerNetworking() : nullptr;
}

ISteamMasterServerUpdater* SteamMasterServerUpdater()
{
    std::lock_guard guard(State().lock);
    return Online() ? Online()->MasterServerUpdater() : nullptr;
}
