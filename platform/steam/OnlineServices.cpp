// The getters of the online interfaces and the game server's start, over the process's
// online context (Online.h).
// Implemented: SteamMatchmaking, SteamNetworking (available once initialised);
//              SteamGameServer_Init (a new server with a fresh id at every call),
//              SteamGameServer, SteamGameServerNetworking and SteamMasterServerUpdater (null
//              until a server was started).
// Left out:    nothing the game calls.
#include "ClientState.h"

using platform::steam::State;

ISteamMatchmaking* SteamMatchmaking()
{
    std::lock_guard guard(State().lock);
    return State().initialised ? State().online->Matchmaking() : nullptr;
}

ISteamNetworking* SteamNetworking()
{
    std::lock_guard guard(State().lock);
    return State().initialised ? State().online->Networking() : nullptr;
}

bool SteamGameServer_Init(uint32_t ip, uint16_t platformPort, uint16_t gamePort, uint16_t spectatorPort,
                          uint16_t queryPort, int serverMode, const char* gameDir, const char* version)
{
    std::lock_guard guard(State().lock);
    return State().initialised && State().online->InitGameServer();
}

ISteamGameServer* SteamGameServer()
{
    std::lock_guard guard(State().lock);
    return State().initialised ? State().online->GameServer() : nullptr;
}

ISteamGameServerNetworking* SteamGameServerNetworking()
{
    std::lock_guard guard(State().lock);
    return State().initialised ? State().online->GameServerNetworking() : nullptr;
}

ISteamMasterServerUpdater* SteamMasterServerUpdater()
{
    std::lock_guard guard(State().lock);
    return State().initialised ? State().online->MasterServerUpdater() : nullptr;
}
