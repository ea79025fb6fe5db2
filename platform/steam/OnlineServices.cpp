// Lobbies, networking sockets and the game server of the platform, as far as shut-down reaches
// them. No lobby, socket or game server can exist yet, so every call about one fails.
// Implemented: SteamMatchmaking and SteamNetworking getters (available once initialised),
//              SteamGameServer_Init (fails), and the game-server getters (null).
// Left out:    the lobby engine, sockets and the game server; SetLobbyData on a valid lobby,
//              DestroySocket on a socket, SteamGameServer_Init, LogOff and DestroyListenSocket
//              log once and fail. They come with online play.
#include "ClientState.h"

#include "win32/Debug.h"

namespace platform::steam {

namespace {

class NoLobbies final : public ISteamMatchmaking {
public:
    bool SetLobbyData(CSteamID lobby, const char* key, const char* value) override
    {
        // The invalid id names no lobby: that is the normal case of a player outside a lobby.
        if (lobby.IsValid())
            platform::LogOnce("[platform] ISteamMatchmaking::SetLobbyData: lobbies are not implemented");
        return false;
    }
};

class NoSockets final : public ISteamNetworking {
public:
    bool DestroySocket(SNetSocket_t socket, bool notifyRemoteEnd) override
    {
        if (socket != 0)
            platform::LogOnce("[platform] ISteamNetworking::DestroySocket: sockets are not implemented");
        return false;
    }
};

NoLobbies g_matchmaking;
NoSockets g_networking;

} // namespace

} // namespace platform::steam

using platform::steam::State;

ISteamMatchmaking* SteamMatchmaking()
{
    std::lock_guard guard(State().lock);
    return State().initialised ? &platform::steam::g_matchmaking : nullptr;
}

ISteamNetworking* SteamNetworking()
{
    std::lock_guard guard(State().lock);
    return State().initialised ? &platform::steam::g_networking : nullptr;
}

bool SteamGameServer_Init(uint32_t ip, uint16_t platformPort, uint16_t gamePort, uint16_t spectatorPort,
                          uint16_t queryPort, int serverMode, const char* gameDir, const char* version)
{
    platform::LogOnce("[platform] SteamGameServer_Init: the game server is not implemented");
    return false;
}

ISteamGameServer* SteamGameServer()
{
    return nullptr;
}

ISteamGameServerNetworking* SteamGameServerNetworking()
{
    return nullptr;
}
