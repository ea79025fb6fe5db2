// The profile's persona name as the player sets it. The platform's calls only read the name
// (ISteamFriends::GetPersonaName, GetFriendPersonaName, the lobbies' member names); the game
// names the player in its options, and that name becomes the one the other players see.
#pragma once

namespace platform::steam {

// Sets the persona name and keeps it in the profile ("persona.txt"): UTF-8, its first line only,
// cut to 127 bytes at a character boundary. Other players learn it from the backend and from the
// lobbies joined or created afterwards. False without a platform, for an empty name, or when the
// profile cannot keep it (the name still holds until the program ends).
bool SetPersonaName(const char* utf8);

} // namespace platform::steam
