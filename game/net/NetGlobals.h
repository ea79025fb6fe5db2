// Process-wide state of online play: the host's game server, the platform client and the
// achievements object, and the one frame of network work that runs them.
#pragma once

class CSteamServer;
class VanteoSteamClient;
class Achievements;

// The host's game server; null on a guest or outside online play.
extern CSteamServer* g_pSteamServer;
// The one platform client, set at start-up.
extern VanteoSteamClient* g_pSteamClient;
// The achievements object, set at start-up and cleared at shut-down.
extern Achievements* g_pAchievements;

// One frame of network work: the host's game server, then the platform client, each when it
// exists.
void PumpNetwork(float seconds);
