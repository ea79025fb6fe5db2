#include "online/SteamServer.h"

CSteamServer::~CSteamServer()
{
    if (ISteamGameServer* server = SteamGameServer())
        server->LogOff();
    if (m_hSocketListen != 0) {
        if (ISteamGameServerNetworking* networking = SteamGameServerNetworking())
            networking->DestroyListenSocket(m_hSocketListen, true);
        m_hSocketListen = 0;
    }
}

void CSteamServer::RunFrame()
{
    SteamGameServer_RunCallbacks();
}
