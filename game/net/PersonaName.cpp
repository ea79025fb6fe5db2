#include "net/PersonaName.h"

#include <steam/SteamApi.h>
#include <win32/Text.h>

#include <cstdint>
#include <cwchar>
#include <string>

int GetPersonaName(int widthBudget, wchar_t out[kPersonaNameChars], CSteamID user)
{
    std::wmemset(out, 0, kPersonaNameChars);
    ISteamFriends* friends = SteamFriends();
    const char* name = friends ? friends->GetFriendPersonaName(user) : nullptr;
    if (!name || !*name)
        return 0;
    std::wstring converted = platform::Widen(name);
    if (converted.size() > kPersonaNameChars - 1)
        converted.resize(kPersonaNameChars - 1);
    int width = 0;
    size_t kept = 0;
    for (wchar_t c : converted) {
        int w = static_cast<uint32_t>(c) >= 0x8000 ? 2 : 1;
        if (width + w > widthBudget)
            break;
        width += w;
        ++kept;
    }
    std::wmemcpy(out, converted.data(), kept);
    return static_cast<int>(converted.size());
}
