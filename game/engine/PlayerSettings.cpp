#include "engine/PlayerSettings.h"

#include <mutex>

namespace {

std::mutex g_lock;
PlayerSettingsSource g_source;

} // namespace

void AttachPlayerSettings(PlayerSettingsSource source)
{
    std::lock_guard lock(g_lock);
    g_source = std::move(source);
}

std::string GetSkinFileName(int index)
{
    std::function<std::string(int)> lookup;
    {
        std::lock_guard lock(g_lock);
        lookup = g_source.skinFileName;
    }
    return lookup ? lookup(index) : std::string();
}

bool IsLeftHandedMouse()
{
    std::function<bool()> lookup;
    {
        std::lock_guard lock(g_lock);
        lookup = g_source.leftHandedMouse;
    }
    return lookup && lookup();
}
