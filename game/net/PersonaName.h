// A player's persona name, as the platform client reports it, cut to the width that a name field
// of the game holds.
#pragma once

#include <steam/SteamTypes.h>

inline constexpr int kPersonaNameChars = 128;

// The user's persona name cut to a width budget (characters at or above U+8000 count 2) into
// `out`, which is zero-filled first; the number of characters the name converts to, 0 when the
// platform has no name for the user.
int GetPersonaName(int widthBudget, wchar_t out[kPersonaNameChars], CSteamID user);
