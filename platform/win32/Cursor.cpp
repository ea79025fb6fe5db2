// The mouse pointer: tracked position, screen and client coordinates, capture and the
// system cursor's show counter.
#include "win32/Cursor.h"

#include "UserState.h"

#include <SDL.h>

BOOL GetCursorPos(POINT* point)
{
    if (!point)
        return FALSE;
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    *point = s.cursor;
    return TRUE;
}

namespace {

// Moves the point by the window's client origin: +1 from client to screen, -1 back.
BOOL ShiftByClientOrigin(HWND hwnd, POINT* point, int direction)
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    const platform::user::WindowRecord* w = platform::user::Find(s, hwnd);
    if (!w || !point)
        return FALSE;
    const POINT origin = platform::user::ClientOrigin(s, *w);
    point->x += direction * origin.x;
    point->y += direction * origin.y;
    return TRUE;
}

} // namespace

BOOL ScreenToClient(HWND hwnd, POINT* point)
{
    return ShiftByClientOrigin(hwnd, point, -1);
}

BOOL ClientToScreen(HWND hwnd, POINT* point)
{
    return ShiftByClientOrigin(hwnd, point, +1);
}

HWND SetCapture(HWND hwnd)
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    HWND previous = s.capture;
    if (!platform::user::Find(s, hwnd))
        return previous;
    s.capture = hwnd;
    // Not every video driver can capture; messages still go to the capturing window.
    if (platform::user::OnVideoThread())
        SDL_CaptureMouse(SDL_TRUE);
    return previous;
}

BOOL ReleaseCapture()
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    if (s.capture && platform::user::OnVideoThread())
        SDL_CaptureMouse(SDL_FALSE);
    s.capture = nullptr;
    return TRUE;
}

HWND GetCapture()
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    return s.capture;
}

int ShowCursor(BOOL show)
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    s.cursorCounter += show ? 1 : -1;
    if (platform::user::OnVideoThread())
        SDL_ShowCursor(s.cursorCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return s.cursorCounter;
}

UINT GetCaretBlinkTime()
{
    return 530;
}
