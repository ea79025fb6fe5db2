// The active window and the keyboard focus, with WM_ACTIVATE, WM_SETFOCUS and WM_KILLFOCUS sent
// to the windows concerned.
#include "win32/Focus.h"

#include "UserState.h"
#include "win32/Messages.h"
#include "win32/Window.h"

#include "../imm/ImeEvents.h"

#include <SDL.h>

namespace {

HWND TopLevelOf(platform::user::State& s, HWND hwnd)
{
    platform::user::WindowRecord* w = platform::user::Find(s, hwnd);
    while (w && w->parent) {
        hwnd = w->parent;
        w = platform::user::Find(s, hwnd);
    }
    return w ? hwnd : nullptr;
}

} // namespace

namespace platform::user {

void Activate(HWND hwnd)
{
    auto& s = Get();
    HWND previousActive = nullptr;
    HWND previousFocus = nullptr;
    {
        std::lock_guard guard(s.lock);
        WindowRecord* w = Find(s, hwnd);
        if (!w || w->destroying || (s.active == hwnd && s.focus == hwnd))
            return;
        previousActive = s.active;
        previousFocus = s.focus;
        s.active = hwnd;
        s.focus = hwnd;
    }
    if (previousActive && previousActive != hwnd)
        CallProc(previousActive, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hwnd));
    CallProc(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(previousActive));
    if (previousFocus != hwnd) {
        if (previousFocus)
            CallProc(previousFocus, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
        CallProc(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previousFocus), 0);
    }
    platform::ime::OnFocusGained(hwnd);
}

void Deactivate(HWND hwnd)
{
    auto& s = Get();
    HWND focus = nullptr;
    bool wasActive = false;
    {
        std::lock_guard guard(s.lock);
        wasActive = s.active == hwnd;
        if (s.focus && TopLevelOf(s, s.focus) == TopLevelOf(s, hwnd))
            focus = s.focus;
        if (wasActive)
            s.active = nullptr;
        if (focus)
            s.focus = nullptr;
    }
    if (wasActive)
        CallProc(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    if (focus)
        CallProc(focus, WM_KILLFOCUS, 0, 0);
}

void ReturnFocus(HWND hwnd)
{
    auto& s = Get();
    SDL_Window* sdl = nullptr;
    {
        std::lock_guard guard(s.lock);
        hwnd = TopLevelOf(s, hwnd);
        WindowRecord* w = hwnd ? Find(s, hwnd) : nullptr;
        if (!w || w->destroying)
            return;
        sdl = w->visible ? w->sdl : nullptr;
    }
    if (sdl && OnVideoThread() && !platform::IsHeadless()) {
        SDL_RaiseWindow(sdl);
        SDL_SetWindowInputFocus(sdl);
    }
    Activate(hwnd);
}

} // namespace platform::user

HWND GetFocus()
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    return s.focus;
}

HWND GetActiveWindow()
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    return s.active;
}

HWND GetForegroundWindow()
{
    return GetActiveWindow();
}

HWND SetFocus(HWND hwnd)
{
    auto& s = platform::user::Get();
    HWND previous = nullptr;
    {
        std::lock_guard guard(s.lock);
        previous = s.focus;
        if (hwnd && !platform::user::Find(s, hwnd))
            return nullptr;
        if (hwnd == previous)
            return previous;
        s.focus = hwnd;
        if (hwnd && !s.active)
            s.active = TopLevelOf(s, hwnd);
    }
    if (previous)
        platform::user::CallProc(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd)
        platform::user::CallProc(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}
