// The table of SDL windows behind window handles.
#include "win32/SdlBridge.h"

#include <map>
#include <mutex>

namespace {

std::mutex g_lock;
std::map<HWND, SDL_Window*> g_windows;

} // namespace

namespace platform {

HWND RegisterSdlWindow(SDL_Window* window)
{
    if (!window)
        return nullptr;
    std::lock_guard guard(g_lock);
    // The handle is the SDL window's own address: unique while the window lives.
    HWND hwnd = reinterpret_cast<HWND>(window);
    g_windows[hwnd] = window;
    return hwnd;
}

void UnregisterSdlWindow(HWND hwnd)
{
    std::lock_guard guard(g_lock);
    g_windows.erase(hwnd);
}

SDL_Window* SdlWindowOf(HWND hwnd)
{
    std::lock_guard guard(g_lock);
    auto it = g_windows.find(hwnd);
    return it == g_windows.end() ? nullptr : it->second;
}

HWND HwndOfSdlWindow(SDL_Window* window)
{
    std::lock_guard guard(g_lock);
    for (auto& [hwnd, sdl] : g_windows)
        if (sdl == window)
            return hwnd;
    return nullptr;
}

} // namespace platform
