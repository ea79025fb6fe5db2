// The table of SDL windows behind window handles. Handles are numbers from one counter, never
// reused, so a handle kept after its window is gone can never reach a newer window.
#include "win32/SdlBridge.h"

#include "UserState.h"

#include <map>
#include <mutex>

namespace {

std::mutex g_lock;
std::map<HWND, SDL_Window*> g_windows;
uintptr_t g_nextHandle = 0x10000;

HWND NextHandleLocked()
{
    g_nextHandle += 4;
    return reinterpret_cast<HWND>(g_nextHandle);
}

} // namespace

namespace platform {

HWND RegisterSdlWindow(SDL_Window* window)
{
    if (!window)
        return nullptr;
    std::lock_guard guard(g_lock);
    for (auto& [hwnd, sdl] : g_windows)
        if (sdl == window)
            return hwnd;
    HWND hwnd = NextHandleLocked();
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

namespace user {

HWND NewHandle()
{
    std::lock_guard guard(g_lock);
    return NextHandleLocked();
}

} // namespace user

} // namespace platform
