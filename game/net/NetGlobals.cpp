#include "net/NetGlobals.h"

CSteamServer* g_pSteamServer = nullptr;
VanteoSteamClient* g_pSteamClient = nullptr;
Achievements* g_pAchievements = nullptr;
std::atomic<int> g_nNetReadyCount{0};
std::atomic<int> g_nLoadingMode{0};
