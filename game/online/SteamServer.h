// The game server that the host of an online match runs (g_pSteamServer). This object holds the
// server's frame, which pumps the game server's platform callbacks, and its orderly end; the
// server is created by the lobby of online play.
#pragma once

#include <steam/SteamApi.h>

class CSteamServer {
public:
    CSteamServer() = default;
    // Tells every client that the server is exiting, logs the game server off and closes its
    // listen socket.
    virtual ~CSteamServer();
    CSteamServer(const CSteamServer&) = delete;
    CSteamServer& operator=(const CSteamServer&) = delete;

    // One frame of the server: the platform's game-server callbacks first.
    virtual void RunFrame();

    SNetListenSocket_t m_hSocketListen = 0;
};
