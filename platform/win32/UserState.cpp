// The state of the window family: lookups, procedure calls without the lock, client geometry
// and the start of SDL video.
#include "UserState.h"

#include "win32/Debug.h"
#include "win32/Window.h"

#include <SDL.h>

#include <algorithm>

namespace platform::user {

State& Get()
{
    // Never destroyed: window procedures and the event pump may still run during process exit.
    static State* state = new State;
    return *state;
}

WindowRecord* Find(State& s, HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    auto it = s.windows.find(hwnd);
    return it == s.windows.end() ? nullptr : &it->second;
}

WindowRecord* FindBySdlId(State& s, uint32_t sdlId)
{
    for (auto& [hwnd, w] : s.windows)
        if (w.sdl && w.sdlId == sdlId)
            return &w;
    return nullptr;
}

LRESULT CallProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC proc = nullptr;
    {
        auto& s = Get();
        std::lock_guard guard(s.lock);
        if (WindowRecord* w = Find(s, hwnd))
            proc = w->proc;
    }
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

RECT FrameInsets(DWORD style)
{
    int frame = 0;
    if (style & WS_THICKFRAME)
        frame = 4;
    else if (style & WS_DLGFRAME)
        frame = 3;
    else if (style & WS_BORDER)
        frame = 1;
    const int caption = (style & WS_CAPTION) == WS_CAPTION ? 19 : 0;
    return {frame, frame + caption, frame, frame};
}

POINT ClientOrigin(State& s, const WindowRecord& w)
{
    const RECT insets = FrameInsets(w.style);
    POINT origin{w.rect.left + insets.left, w.rect.top + insets.top};
    if (const WindowRecord* parent = Find(s, w.parent)) {
        const POINT parentOrigin = ClientOrigin(s, *parent);
        origin.x += parentOrigin.x;
        origin.y += parentOrigin.y;
    }
    return origin;
}

SIZE ClientSize(const WindowRecord& w)
{
    if (w.logicalWidth > 0 && w.logicalHeight > 0)
        return {w.logicalWidth, w.logicalHeight};
    const RECT insets = FrameInsets(w.style);
    const LONG width = (w.rect.right - w.rect.left) - insets.left - insets.right;
    const LONG height = (w.rect.bottom - w.rect.top) - insets.top - insets.bottom;
    return {std::max<LONG>(width, 0), std::max<LONG>(height, 0)};
}

RECT PresentRect(SIZE client, int outputWidth, int outputHeight)
{
    if (client.cx <= 0 || client.cy <= 0 || outputWidth <= 0 || outputHeight <= 0)
        return {0, 0, std::max(outputWidth, 0), std::max(outputHeight, 0)};
    // Scale to fit with the aspect kept: the narrower ratio wins, the rest is bars.
    const double scale = std::min(static_cast<double>(outputWidth) / client.cx,
                                  static_cast<double>(outputHeight) / client.cy);
    const int width = static_cast<int>(client.cx * scale + 0.5);
    const int height = static_cast<int>(client.cy * scale + 0.5);
    const int left = (outputWidth - width) / 2;
    const int top = (outputHeight - height) / 2;
    return {left, top, left + width, top + height};
}

bool EnsureVideo()
{
    auto& s = Get();
    std::lock_guard guard(s.lock);
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        if (s.videoThread == std::thread::id())
            s.videoThread = std::this_thread::get_id();
        return true;
    }
    // Compositions longer than SDL's fixed event text arrive whole.
    SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        OutputDebugStringA((std::string("[platform] SDL video failed to start: ") + SDL_GetError()).c_str());
        return false;
    }
    s.videoThread = std::this_thread::get_id();
    SDL_ShowCursor(s.cursorCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return true;
}

bool OnVideoThread()
{
    auto& s = Get();
    std::lock_guard guard(s.lock);
    return SDL_WasInit(SDL_INIT_VIDEO) && s.videoThread == std::this_thread::get_id();
}

} // namespace platform::user
