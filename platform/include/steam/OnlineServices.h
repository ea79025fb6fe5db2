// The end of the platform client's online services, before the program's last saves.
#pragma once

namespace platform::steam {

// Ends the online services: every lobby is left, the game server ends, and every connection and
// listener they held is closed and their worker threads stopped. The program calls it at exit
// before it writes its play data, so nothing the network did (a flood of strangers'
// connections among it) holds a descriptor the saves need. The profile's remote storage, user
// and statistics stay until SteamAPI_Shutdown; the online getters return null from now on.
void EndOnlineServices();

} // namespace platform::steam
