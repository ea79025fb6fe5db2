// Process-wide state of online play that the loading scene and the main loop read: the host's
// game server, the platform client, the achievements object, the number of ready messages still
// awaited and the loading animation to show.
#pragma once

#include <atomic>

class CSteamServer;
class VanteoSteamClient;
class Achievements;

// The host's game server; null on a guest or outside online play.
extern CSteamServer* g_pSteamServer;
// The one platform client, set at start-up.
extern VanteoSteamClient* g_pSteamClient;
// The achievements object, set at start-up and cleared at shut-down.
extern Achievements* g_pAchievements;
// Ready messages still awaited: lowered on the main thread, read by an online scene's Enter on
// the loader thread.
extern std::atomic<int> g_nNetReadyCount;
// The loading animation: 0 "loading_title", 1 "loading", 2 "connecting".
extern std::atomic<int> g_nLoadingMode;
