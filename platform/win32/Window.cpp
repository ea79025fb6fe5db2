// Window classes and windows over SDL2: registration, creation, destruction, visibility,
// styles, placement and geometry queries.
#include "win32/Window.h"

#include "UserState.h"
#include "win32/Debug.h"
#include "win32/SdlBridge.h"
#include "win32/Text.h"

#include "../imm/ImeEvents.h"

#include <SDL.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

using platform::user::ClassRecord;
using platform::user::State;
using platform::user::WindowRecord;

namespace {

// Tokens handed out for modules, icons, cursors and brushes: nothing is loaded behind them.
int g_token;
HWND const kDesktop = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10000));
ATOM g_nextAtom = 0xC000;

std::wstring ClassKey(LPCWSTR name)
{
    std::wstring key = name ? name : L"";
    for (wchar_t& c : key)
        c = static_cast<wchar_t>(std::towupper(c));
    return key;
}

bool IsAtom(LPCWSTR name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

const ClassRecord* FindClass(State& s, LPCWSTR name)
{
    if (!name)
        return nullptr;
    if (IsAtom(name)) {
        for (auto& [key, c] : s.classes)
            if (c.atom == reinterpret_cast<uintptr_t>(name))
                return &c;
        return nullptr;
    }
    auto it = s.classes.find(ClassKey(name));
    return it == s.classes.end() ? nullptr : &it->second;
}

void EnsureBuiltInClasses(State& s)
{
    if (s.classes.count(L"LISTBOX"))
        return;
    s.classes[L"LISTBOX"] = ClassRecord{L"LISTBOX", 0, platform::user::ListBoxProc, g_nextAtom++};
}

ATOM Register(LPCWSTR name, UINT style, WNDPROC proc)
{
    if (!name || IsAtom(name) || !proc)
        return 0;
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    EnsureBuiltInClasses(s);
    const std::wstring key = ClassKey(name);
    if (s.classes.count(key))
        return 0;
    const ATOM atom = g_nextAtom++;
    s.classes[key] = ClassRecord{name, style, proc, atom};
    return atom;
}

// A pop-up without any frame is the full-screen style: its SDL window covers the desktop.
bool IsFullScreenStyle(DWORD style)
{
    return (style & WS_POPUP) && !(style & (WS_CHILD | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME));
}

SIZE DesktopSize(State& s)
{
    if (s.desktopWidth > 0 && s.desktopHeight > 0)
        return {s.desktopWidth, s.desktopHeight};
    SDL_DisplayMode mode{};
    if (platform::user::EnsureVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0)
        return {mode.w, mode.h};
    return {1024, 768};
}

SIZE OwnClientSize(const WindowRecord& w)
{
    WindowRecord own = w;
    own.logicalWidth = own.logicalHeight = 0;
    return platform::user::ClientSize(own);
}

// Makes the SDL window follow the Windows geometry: windowed, the client area at the client
// position; full-screen style, SDL's desktop full screen.
void ApplySdlGeometry(State& s, WindowRecord& w)
{
    if (!w.sdl || !platform::user::OnVideoThread())
        return;
    const bool wantFull = IsFullScreenStyle(w.style);
    if (wantFull != w.fullScreen) {
        platform::SetDesktopFullScreen(w.sdl, wantFull);
        w.fullScreen = wantFull;
    }
    if (wantFull)
        return;
    const SIZE client = OwnClientSize(w);
    const POINT origin = platform::user::ClientOrigin(s, w);
    SDL_SetWindowSize(w.sdl, std::max<LONG>(client.cx, 1), std::max<LONG>(client.cy, 1));
    SDL_SetWindowPosition(w.sdl, origin.x, origin.y);
}

RECT DefaultRect(State& s, int x, int y, int width, int height)
{
    if (width == CW_USEDEFAULT) {
        width = 640;
        height = 480;
    }
    if (x == CW_USEDEFAULT) {
        const SIZE desk = DesktopSize(s);
        x = (desk.cx - width) / 2;
        y = (desk.cy - height) / 2;
    }
    return {x, y, x + width, y + height};
}

SDL_Window* CreateSdlWindow(State& s, const WindowRecord& w, LPCWSTR title)
{
    const SIZE client = OwnClientSize(w);
    const POINT origin = platform::user::ClientOrigin(s, w);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (IsFullScreenStyle(w.style))
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    // The window holds colour only: with no depth buffer bound the software rasteriser fills
    // sprite rectangles on its fast path. A device draws its back buffer here until something
    // tests depth, and then moves it to a texture with the depth surface beside it.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    const std::string utf8 = platform::Narrow(title ? title : L"");
    SDL_Window* sdl = SDL_CreateWindow(utf8.c_str(), origin.x, origin.y, std::max<LONG>(client.cx, 1),
                                       std::max<LONG>(client.cy, 1), flags);
    if (!sdl)
        OutputDebugStringA((std::string("[platform] SDL_CreateWindow failed: ") + SDL_GetError()).c_str());
    return sdl;
}

// The window and every window below it, parents first.
std::vector<HWND> WindowAndDescendants(State& s, HWND hwnd)
{
    std::vector<HWND> out{hwnd};
    for (size_t i = 0; i < out.size(); ++i)
        for (auto& [child, w] : s.windows)
            if (w.parent == out[i])
                out.push_back(child);
    return out;
}

bool Contains(const std::vector<HWND>& list, HWND hwnd)
{
    return hwnd && std::find(list.begin(), list.end(), hwnd) != list.end();
}

void ReleaseWindowResources(State& s, HWND hwnd)
{
    std::erase_if(s.queue, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
    if (s.capture == hwnd) {
        s.capture = nullptr;
        if (platform::user::OnVideoThread())
            SDL_CaptureMouse(SDL_FALSE);
    }
    if (s.focus == hwnd)
        s.focus = nullptr;
    if (s.active == hwnd)
        s.active = nullptr;
    WindowRecord* w = platform::user::Find(s, hwnd);
    if (w && w->sdl) {
        platform::UnregisterSdlWindow(hwnd);
        if (platform::user::OnVideoThread())
            SDL_DestroyWindow(w->sdl);
    }
    s.windows.erase(hwnd);
}

// The shared frame of the rectangle queries: the desktop answers with its own size, an unknown
// handle or a null rectangle fails, and a known window's rectangle comes from `measure`.
template <class Measure>
BOOL QueryRect(HWND hwnd, RECT* rect, Measure measure)
{
    if (!rect)
        return FALSE;
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    if (hwnd == kDesktop) {
        const SIZE desk = DesktopSize(s);
        *rect = {0, 0, desk.cx, desk.cy};
        return TRUE;
    }
    const WindowRecord* w = platform::user::Find(s, hwnd);
    if (!w)
        return FALSE;
    *rect = measure(s, *w);
    return TRUE;
}

} // namespace

ATOM RegisterClassExW(const WNDCLASSEXW* wc)
{
    return wc ? Register(wc->lpszClassName, wc->style, wc->lpfnWndProc) : 0;
}

ATOM RegisterClassW(const WNDCLASSW* wc)
{
    return wc ? Register(wc->lpszClassName, wc->style, wc->lpfnWndProc) : 0;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU /*menu*/, HINSTANCE /*instance*/, LPVOID /*param*/)
{
    auto& s = platform::user::Get();
    HWND hwnd = nullptr;
    {
        std::lock_guard guard(s.lock);
        EnsureBuiltInClasses(s);
        const ClassRecord* cls = FindClass(s, className);
        if (!cls) {
            platform::LogOnce("[platform] CreateWindowExW: unknown window class");
            return nullptr;
        }
        const bool child = (style & WS_CHILD) != 0;
        if (child && !platform::user::Find(s, parent)) {
            platform::LogOnce("[platform] CreateWindowExW: a child window needs a live parent");
            return nullptr;
        }
        WindowRecord w;
        w.parent = child ? parent : nullptr;
        w.className = cls->name;
        w.classStyle = cls->style;
        w.proc = cls->proc;
        w.style = style & ~WS_VISIBLE;
        w.exStyle = exStyle;
        w.rect = DefaultRect(s, x, y, width, height);
        if (!child) {
            if (!platform::user::EnsureVideo())
                return nullptr;
            w.sdl = CreateSdlWindow(s, w, windowName);
            if (!w.sdl)
                return nullptr;
            w.sdlId = SDL_GetWindowID(w.sdl);
            w.fullScreen = IsFullScreenStyle(style);
            hwnd = platform::RegisterSdlWindow(w.sdl);
        } else {
            hwnd = platform::user::NewHandle();
        }
        w.hwnd = hwnd;
        s.windows[hwnd] = std::move(w);
    }
    if (style & WS_VISIBLE)
        ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

BOOL DestroyWindow(HWND hwnd)
{
    auto& s = platform::user::Get();
    std::vector<HWND> doomed;
    bool hadFocus = false;
    {
        std::lock_guard guard(s.lock);
        WindowRecord* w = platform::user::Find(s, hwnd);
        if (!w || w->destroying)
            return FALSE;
        doomed = WindowAndDescendants(s, hwnd);
        for (HWND h : doomed)
            s.windows[h].destroying = true;
        hadFocus = Contains(doomed, s.active) || Contains(doomed, s.focus);
    }
    // A window that goes away loses the activation and the focus first, as when it is hidden.
    if (hadFocus)
        platform::user::Deactivate(hwnd);
    for (HWND h : doomed)
        platform::user::CallProc(h, WM_DESTROY, 0, 0);
    for (HWND h : doomed)
        platform::ime::ForgetWindow(h);
    std::lock_guard guard(s.lock);
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        ReleaseWindowResources(s, *it);
    return TRUE;
}

BOOL IsWindow(HWND hwnd)
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    return platform::user::Find(s, hwnd) ? TRUE : FALSE;
}

BOOL ShowWindow(HWND hwnd, int command)
{
    auto& s = platform::user::Get();
    bool wasVisible = false;
    bool activate = false;
    bool deactivate = false;
    {
        std::lock_guard guard(s.lock);
        WindowRecord* w = platform::user::Find(s, hwnd);
        if (!w)
            return FALSE;
        wasVisible = w->visible;
        const bool video = w->sdl && platform::user::OnVideoThread();
        if (command == SW_HIDE) {
            w->visible = false;
            w->style &= ~WS_VISIBLE;
            if (video)
                SDL_HideWindow(w->sdl);
            deactivate = s.active == hwnd || s.focus == hwnd;
        } else {
            w->visible = true;
            w->style |= WS_VISIBLE;
            w->needsPaint = true;
            const bool minimise = command == SW_MINIMIZE || command == SW_SHOWMINIMIZED ||
                                  command == SW_SHOWMINNOACTIVE;
            const bool noActivate = command == SW_SHOWNOACTIVATE || command == SW_SHOWNA ||
                                    command == SW_SHOWMINNOACTIVE || command == SW_MINIMIZE;
            if (video) {
                SDL_ShowWindow(w->sdl);
                if (minimise)
                    SDL_MinimizeWindow(w->sdl);
                else if (!noActivate && !platform::IsHeadless())
                    SDL_RaiseWindow(w->sdl);
            }
            // Without a display nothing ever reports focus: the shown window takes it itself.
            activate = w->sdl && !noActivate && platform::IsHeadless() && s.active != hwnd;
        }
    }
    if (deactivate)
        platform::user::Deactivate(hwnd);
    if (activate)
        platform::user::Activate(hwnd);
    return wasVisible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd)
{
    auto& s = platform::user::Get();
    {
        std::lock_guard guard(s.lock);
        WindowRecord* w = platform::user::Find(s, hwnd);
        if (!w)
            return FALSE;
        if (!w->needsPaint || !w->visible)
            return TRUE;
        w->needsPaint = false;
    }
    platform::user::CallProc(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value)
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    WindowRecord* w = platform::user::Find(s, hwnd);
    if (!w)
        return 0;
    LONG_PTR previous = 0;
    switch (index) {
    case GWL_STYLE:
        previous = static_cast<LONG>(w->style);
        // Visibility changes only through ShowWindow and SetWindowPos.
        w->style = (static_cast<DWORD>(value) & ~WS_VISIBLE) | (w->style & WS_VISIBLE);
        ApplySdlGeometry(s, *w);
        break;
    case GWL_EXSTYLE:
        previous = static_cast<LONG>(w->exStyle);
        w->exStyle = static_cast<DWORD>(value);
        break;
    case GWLP_USERDATA:
        previous = w->userData;
        w->userData = value;
        break;
    case GWLP_WNDPROC:
        previous = reinterpret_cast<LONG_PTR>(w->proc);
        if (value)
            w->proc = reinterpret_cast<WNDPROC>(value);
        break;
    default:
        platform::LogOnce("[platform] SetWindowLongW: unsupported index");
        return 0;
    }
    return previous;
}

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index)
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    const WindowRecord* w = platform::user::Find(s, hwnd);
    if (!w)
        return 0;
    switch (index) {
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWLP_USERDATA: return w->userData;
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    default:
        platform::LogOnce("[platform] GetWindowLongW: unsupported index");
        return 0;
    }
}

LONG SetWindowLongW(HWND hwnd, int index, LONG value)
{
    // Styles are 32-bit patterns: pass them on without sign extension.
    const LONG_PTR wide = index == GWL_STYLE || index == GWL_EXSTYLE
                              ? static_cast<LONG_PTR>(static_cast<DWORD>(value))
                              : static_cast<LONG_PTR>(value);
    return static_cast<LONG>(SetWindowLongPtrW(hwnd, index, wide));
}

LONG GetWindowLongW(HWND hwnd, int index)
{
    return static_cast<LONG>(GetWindowLongPtrW(hwnd, index));
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags)
{
    auto& s = platform::user::Get();
    {
        std::lock_guard guard(s.lock);
        WindowRecord* w = platform::user::Find(s, hwnd);
        if (!w)
            return FALSE;
        RECT& r = w->rect;
        if (!(flags & SWP_NOMOVE)) {
            const LONG dx = x - r.left;
            const LONG dy = y - r.top;
            r = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
        }
        if (!(flags & SWP_NOSIZE)) {
            r.right = r.left + std::max(width, 0);
            r.bottom = r.top + std::max(height, 0);
        }
        ApplySdlGeometry(s, *w);
        if (w->sdl && !(flags & SWP_NOZORDER) && insertAfter == HWND_TOP && w->visible &&
            platform::user::OnVideoThread() && !platform::IsHeadless())
            SDL_RaiseWindow(w->sdl);
    }
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    else if (flags & SWP_HIDEWINDOW)
        ShowWindow(hwnd, SW_HIDE);
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL /*repaint*/)
{
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL GetClientRect(HWND hwnd, RECT* rect)
{
    return QueryRect(hwnd, rect, [](State&, const WindowRecord& w) {
        const SIZE client = platform::user::ClientSize(w);
        return RECT{0, 0, client.cx, client.cy};
    });
}

BOOL GetWindowRect(HWND hwnd, RECT* rect)
{
    return QueryRect(hwnd, rect, [](State& s, const WindowRecord& w) {
        RECT r = w.rect;
        if (const WindowRecord* parent = platform::user::Find(s, w.parent)) {
            const POINT origin = platform::user::ClientOrigin(s, *parent);
            r = {r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
        }
        return r;
    });
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD /*exStyle*/)
{
    if (!rect)
        return FALSE;
    const RECT insets = platform::user::FrameInsets(style);
    rect->left -= insets.left;
    rect->top -= insets.top + (menu ? 19 : 0);
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}

BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu)
{
    return AdjustWindowRectEx(rect, style, menu, 0);
}

HWND GetDesktopWindow()
{
    return kDesktop;
}

int GetSystemMetrics(int index)
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    switch (index) {
    case SM_CXSCREEN: return DesktopSize(s).cx;
    case SM_CYSCREEN: return DesktopSize(s).cy;
    default:
        platform::LogOnce("[platform] GetSystemMetrics: unsupported metric");
        return 0;
    }
}

BOOL PtInRect(const RECT* rect, POINT pt)
{
    return rect && pt.x >= rect->left && pt.x < rect->right && pt.y >= rect->top && pt.y < rect->bottom;
}

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom)
{
    if (!rect)
        return FALSE;
    *rect = {left, top, right, bottom};
    return TRUE;
}

HMODULE GetModuleHandleW(LPCWSTR moduleName)
{
    if (moduleName) {
        platform::LogOnce("[platform] GetModuleHandleW: only the program's own module is known");
        return nullptr;
    }
    return &g_token;
}

HICON LoadIconW(HINSTANCE /*instance*/, LPCWSTR /*name*/)
{
    return &g_token;
}

HCURSOR LoadCursorW(HINSTANCE /*instance*/, LPCWSTR /*name*/)
{
    return &g_token;
}

HGDIOBJ GetStockObject(int /*index*/)
{
    return &g_token;
}

namespace platform {

void SetClientLogicalSize(HWND hwnd, int width, int height)
{
    auto& s = user::Get();
    std::lock_guard guard(s.lock);
    if (WindowRecord* w = user::Find(s, hwnd)) {
        const bool valid = width > 0 && height > 0;
        w->logicalWidth = valid ? width : 0;
        w->logicalHeight = valid ? height : 0;
    }
}

RECT ClientPresentRect(HWND hwnd, int outputWidth, int outputHeight)
{
    SIZE client{outputWidth, outputHeight};
    {
        auto& s = user::Get();
        std::lock_guard guard(s.lock);
        if (const WindowRecord* w = user::Find(s, hwnd))
            client = user::ClientSize(*w);
    }
    return user::PresentRect(client, outputWidth, outputHeight);
}

bool IsHeadless()
{
    const char* driver = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver() : SDL_getenv("SDL_VIDEODRIVER");
    if (!driver)
        return false;
    const std::string name = driver;
    return name == "offscreen" || name == "dummy";
}

void SetDesktopSizeForTesting(int width, int height)
{
    auto& s = user::Get();
    std::lock_guard guard(s.lock);
    const bool valid = width > 0 && height > 0;
    s.desktopWidth = valid ? width : 0;
    s.desktopHeight = valid ? height : 0;
}

} // namespace platform
