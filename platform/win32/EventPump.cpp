// SDL events become window messages with Windows' packing: keys with virtual keys and key
// data, characters and compositions through the input method, mouse messages in client
// coordinates, the wheel in screen coordinates, focus, activation, painting and closing.
// Messages that Windows sends (activation, focus, close) reach the procedure during the pump;
// input is posted in arrival order.
#include "UserState.h"
#include "win32/Focus.h"
#include "win32/Keyboard.h"
#include "win32/SdlBridge.h"
#include "win32/Text.h"
#include "win32/Window.h"

#include "../imm/ImeEvents.h"

#include <SDL.h>

#include <cmath>
#include <string>

namespace {

using platform::user::State;
using platform::user::WindowRecord;

// A key without a virtual key of its own arrives with this code, as on Windows.
constexpr UINT kUnmappedKey = 0xFF;

HWND WindowOfEvent(State& s, uint32_t sdlId)
{
    const WindowRecord* w = platform::user::FindBySdlId(s, sdlId);
    return w && !w->destroying ? w->hwnd : nullptr;
}

// Keys go to the focus window when it lies in the event's window, else to that window.
HWND KeyTarget(State& s, HWND window)
{
    for (HWND h = s.focus; h;) {
        if (h == window)
            return s.focus;
        const WindowRecord* w = platform::user::Find(s, h);
        h = w ? w->parent : nullptr;
    }
    return window;
}

bool Held(State& s, UINT vk) { return s.keyDown[vk]; }

WPARAM MouseKeyFlags(State& s)
{
    WPARAM flags = 0;
    if (Held(s, VK_LBUTTON)) flags |= MK_LBUTTON;
    if (Held(s, VK_RBUTTON)) flags |= MK_RBUTTON;
    if (Held(s, VK_MBUTTON)) flags |= MK_MBUTTON;
    if (Held(s, VK_SHIFT)) flags |= MK_SHIFT;
    if (Held(s, VK_CONTROL)) flags |= MK_CONTROL;
    return flags;
}

LPARAM PointLParam(POINT p)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(p.x)), static_cast<WORD>(static_cast<int16_t>(p.y)));
}

void TranslateKey(const SDL_KeyboardEvent& e)
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    HWND window = WindowOfEvent(s, e.windowID);
    if (!window)
        return;
    const bool down = e.type == SDL_KEYDOWN;
    platform::KeyCode key = platform::KeyCodeOfScancode(e.keysym.scancode);
    const bool mapped = key.vk != 0;
    if (!mapped)
        key.vk = kUnmappedKey;
    const UINT generic = platform::GenericVirtualKey(key.vk);
    const bool wasDown = mapped ? (Held(s, key.vk) || e.repeat) : !down;
    if (mapped)
        platform::user::SetAsyncKeyDown(s, key.vk, down);
    if (key.scan)
        s.scanDown[(key.scan & 0x7F) | (key.extended ? 0x80 : 0)] = down;

    const bool isAlt = generic == VK_MENU;
    if (down && !e.repeat)
        s.altAlone = isAlt;
    // Alt with a key (Control not held) makes system keys; Alt released alone is one too.
    bool system = Held(s, VK_MENU) && !Held(s, VK_CONTROL);
    if (isAlt && !down) {
        system = s.altAlone;
        s.altAlone = false;
    }
    const UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    const LPARAM lParam = platform::KeyMessageLParam(key, system, wasDown, !down);
    platform::user::Post(KeyTarget(s, window), message, generic, lParam);
}

// The client point of an SDL window position: the client area's picture may be scaled into
// the SDL window (full screen), so the point is mapped back through the same fit.
POINT ClientPointOf(const WindowRecord& w, int x, int y)
{
    int outW = 0, outH = 0;
    platform::RealWindowSize(w.sdl, &outW, &outH);
    const SIZE client = platform::user::ClientSize(w);
    const RECT r = platform::user::PresentRect(client, outW, outH);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return {x, y};
    return {static_cast<LONG>(std::floor(static_cast<double>(x - r.left) * client.cx / width)),
            static_cast<LONG>(std::floor(static_cast<double>(y - r.top) * client.cy / height))};
}

// Tracks the pointer and gives the window that takes mouse messages with the point in its
// client coordinates.
HWND TrackPointer(State& s, uint32_t sdlId, int x, int y, POINT* client)
{
    const WindowRecord* w = platform::user::FindBySdlId(s, sdlId);
    if (!w || w->destroying)
        return nullptr;
    const POINT local = ClientPointOf(*w, x, y);
    const POINT origin = platform::user::ClientOrigin(s, *w);
    s.cursor = {origin.x + local.x, origin.y + local.y};
    HWND target = w->hwnd;
    if (const WindowRecord* captured = platform::user::Find(s, s.capture); captured && !captured->destroying)
        target = s.capture;
    const POINT targetOrigin = platform::user::ClientOrigin(s, *platform::user::Find(s, target));
    *client = {s.cursor.x - targetOrigin.x, s.cursor.y - targetOrigin.y};
    return target;
}

void TranslateMotion(const SDL_MouseMotionEvent& e)
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    POINT client{};
    if (HWND target = TrackPointer(s, e.windowID, e.x, e.y, &client))
        platform::user::Post(target, WM_MOUSEMOVE, MouseKeyFlags(s), PointLParam(client));
}

void TranslateButton(const SDL_MouseButtonEvent& e)
{
    struct ButtonMessages { UINT vk, down, up, doubleClick; };
    ButtonMessages m{};
    switch (e.button) {
    case SDL_BUTTON_LEFT: m = {VK_LBUTTON, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}; break;
    case SDL_BUTTON_RIGHT: m = {VK_RBUTTON, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK}; break;
    case SDL_BUTTON_MIDDLE: m = {VK_MBUTTON, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK}; break;
    default: return;
    }
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    POINT client{};
    HWND target = TrackPointer(s, e.windowID, e.x, e.y, &client);
    if (!target)
        return;
    const bool down = e.type == SDL_MOUSEBUTTONDOWN;
    platform::user::SetAsyncKeyDown(s, m.vk, down);
    UINT message = down ? m.down : m.up;
    // Only classes that ask for double clicks get them; the others see a second press.
    const WindowRecord* w = platform::user::Find(s, target);
    if (down && e.clicks >= 2 && w && (w->classStyle & CS_DBLCLKS))
        message = m.doubleClick;
    platform::user::Post(target, message, MouseKeyFlags(s), PointLParam(client));
}

void TranslateWheel(const SDL_MouseWheelEvent& e)
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    HWND window = WindowOfEvent(s, e.windowID);
    if (!window)
        return;
    double notches = e.preciseY != 0.0f ? e.preciseY : static_cast<double>(e.y);
    if (e.direction == SDL_MOUSEWHEEL_FLIPPED)
        notches = -notches;
    const int delta = static_cast<int>(std::lround(notches * WHEEL_DELTA));
    if (delta == 0)
        return;
    // The wheel goes to the focus window and carries the pointer in screen coordinates.
    HWND target = KeyTarget(s, window);
    const WPARAM wParam = MAKEWPARAM(static_cast<WORD>(MouseKeyFlags(s)), static_cast<WORD>(static_cast<int16_t>(delta)));
    platform::user::Post(target, WM_MOUSEWHEEL, wParam, PointLParam(s.cursor));
}

void TranslateWindowEvent(const SDL_WindowEvent& e)
{
    HWND hwnd = nullptr;
    {
        auto& s = platform::user::Get();
        std::lock_guard guard(s.lock);
        hwnd = WindowOfEvent(s, e.windowID);
        if (!hwnd)
            return;
        WindowRecord* w = platform::user::Find(s, hwnd);
        switch (e.event) {
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            w->needsPaint = true;
            return;
        case SDL_WINDOWEVENT_MOVED:
            // The player moved the window: the client area now starts at the reported point.
            if (!w->fullScreen) {
                const POINT origin = platform::user::ClientOrigin(s, *w);
                const LONG dx = e.data1 - origin.x;
                const LONG dy = e.data2 - origin.y;
                w->rect = {w->rect.left + dx, w->rect.top + dy, w->rect.right + dx, w->rect.bottom + dy};
            }
            return;
        default:
            break;
        }
    }
    switch (e.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        platform::user::Activate(hwnd);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        platform::user::Deactivate(hwnd);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        platform::user::CallProc(hwnd, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

// A quit request from outside (a signal, the session ending) closes every top-level window.
void TranslateQuit()
{
    std::vector<HWND> windows;
    {
        auto& s = platform::user::Get();
        std::lock_guard guard(s.lock);
        for (auto& [hwnd, w] : s.windows)
            if (w.sdl && !w.destroying)
                windows.push_back(hwnd);
    }
    for (HWND hwnd : windows)
        platform::user::CallProc(hwnd, WM_CLOSE, 0, 0);
}

HWND TextTarget(uint32_t sdlId)
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    HWND window = WindowOfEvent(s, sdlId);
    return window ? KeyTarget(s, window) : nullptr;
}

void Translate(SDL_Event& e)
{
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        TranslateKey(e.key);
        break;
    case SDL_TEXTINPUT:
        if (HWND hwnd = TextTarget(e.text.windowID))
            platform::ime::OnTextInput(hwnd, platform::Widen(e.text.text));
        break;
    case SDL_TEXTEDITING:
        if (HWND hwnd = TextTarget(e.edit.windowID))
            platform::ime::OnTextEditing(hwnd, platform::Widen(e.edit.text), e.edit.start, e.edit.length);
        break;
    case SDL_TEXTEDITING_EXT:
        if (HWND hwnd = TextTarget(e.editExt.windowID))
            platform::ime::OnTextEditing(hwnd, platform::Widen(e.editExt.text ? e.editExt.text : ""),
                                         e.editExt.start, e.editExt.length);
        SDL_free(e.editExt.text);
        break;
    case SDL_MOUSEMOTION:
        TranslateMotion(e.motion);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        TranslateButton(e.button);
        break;
    case SDL_MOUSEWHEEL:
        TranslateWheel(e.wheel);
        break;
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(e.window);
        break;
    case SDL_QUIT:
        TranslateQuit();
        break;
    default:
        break;
    }
}

} // namespace

namespace platform::user {

void PumpSdlEvents()
{
    if (!OnVideoThread())
        return;
    SDL_Event e;
    while (SDL_PollEvent(&e))
        Translate(e);
    PaintChangedListBoxes();
}

} // namespace platform::user
