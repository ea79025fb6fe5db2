#include "net/NetGlobals.h"

#include "net/SteamClient.h"
#include "net/SteamServer.h"

CSteamServer* g_pSteamServer = nullptr;
VanteoSteamClient* g_pSteamClient = nullptr;
Achievements* g_pAchievements = nullptr;

void PumpNetwork(float seconds)
{
    if (g_pSteamServer)
        g_pSteamServer->RunFrame();
    if (g_pSteamClient)
        g_pSteamClient->RunFrame(seconds);
}
