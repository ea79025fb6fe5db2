// Window classes and windows over SDL2. Every top-level window is an SDL window created with
// SDL_WINDOW_OPENGL and hidden until ShowWindow; the graphics family makes its context on
// platform::SdlWindowOf(hwnd). The Windows geometry (outer rectangle, frame, client area) is kept
// here; the SDL window follows it: windowed, the SDL window is the client area at the client
// position; a frameless pop-up (style 0x90000000) is SDL desktop full screen, its client area
// drawn scaled into the whole screen. Child windows (the "LISTBOX" class) have no SDL window.
// Left out: menus, non-client messages, WM_CREATE/WM_SIZE/WM_MOVE, z-order beyond raising,
// window text after creation, owner windows, extra class and window bytes.
#pragma once

#include "win32/Messages.h"
#include "win32/Types.h"

// Window styles.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;

// Class styles.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr UINT CS_OWNDC = 0x0020;
constexpr UINT CS_SAVEBITS = 0x0800;

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);
constexpr int COLOR_WINDOW = 5;

struct WNDCLASSEXW {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
    HICON hIconSm;
};

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};

// Class names compare without regard to case. Registering a name twice fails (returns 0).
ATOM RegisterClassExW(const WNDCLASSEXW* wc);
ATOM RegisterClassW(const WNDCLASSW* wc);

// The built-in "LISTBOX" class keeps its items for LB_ADDSTRING, LB_SETCURSEL, LB_GETCOUNT,
// LB_GETCURSEL, LB_RESETCONTENT; it draws nothing.
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr LRESULT LB_ERR = -1;

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
// Sends WM_DESTROY to the window and then to its children, drops their queued messages and
// closes the SDL window. Any later use of the handle fails quietly.
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;
constexpr int SW_SHOWDEFAULT = 10;
// Returns whether the window was visible before. Showing a top-level window without a display
// (SDL's offscreen or dummy driver) makes it the active and focus window.
BOOL ShowWindow(HWND hwnd, int command);
// Sends WM_PAINT at once when the window needs painting.
BOOL UpdateWindow(HWND hwnd);

constexpr int GWL_WNDPROC = -4;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_USERDATA = -21;
constexpr int GWLP_WNDPROC = -4;
constexpr int GWLP_USERDATA = -21;
// A style change moves the SDL window between windowed and desktop full screen.
LONG SetWindowLongW(HWND hwnd, int index, LONG value);
LONG GetWindowLongW(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtrW(HWND hwnd, int index);

inline const HWND HWND_TOP = reinterpret_cast<HWND>(static_cast<intptr_t>(0));
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(static_cast<intptr_t>(1));
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-2));
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
// Places the outer rectangle (screen coordinates; a child: its parent's client coordinates).
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL GetClientRect(HWND hwnd, RECT* rect);
BOOL GetWindowRect(HWND hwnd, RECT* rect);
// Widens a client rectangle to the outer rectangle of a window of that style: a dialog frame
// of 3 pixels (a thin border 1, a sizing frame 4) and a caption of 19 pixels.
BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu);
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
// The desktop: its window rectangle is the desktop display's size.
HWND GetDesktopWindow();

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
// The screen size; other metrics log once and give 0.
int GetSystemMetrics(int index);

BOOL PtInRect(const RECT* rect, POINT pt);   // left <= x < right, top <= y < bottom
BOOL SetRect(RECT* rect, int left, int top, int right, int bottom);

// Module, icon and cursor handles are tokens: nothing is loaded.
HMODULE GetModuleHandleW(LPCWSTR moduleName);
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
constexpr uintptr_t IDC_ARROW_ID = 32512;
constexpr uintptr_t IDI_APPLICATION_ID = 32512;
constexpr uintptr_t IDI_WINLOGO_ID = 32517;
inline const LPCWSTR IDC_ARROW = MAKEINTRESOURCEW(IDC_ARROW_ID);
inline const LPCWSTR IDI_APPLICATION = MAKEINTRESOURCEW(IDI_APPLICATION_ID);
inline const LPCWSTR IDI_WINLOGO = MAKEINTRESOURCEW(IDI_WINLOGO_ID);

constexpr int WHITE_BRUSH = 0;
HGDIOBJ GetStockObject(int index);

namespace platform {

// The size in pixels of the picture drawn into a window's client area (the back buffer). When
// set, it is the client size that GetClientRect and mouse messages report, whatever the size
// of the SDL window; 0 x 0 returns to the window's own client size.
void SetClientLogicalSize(HWND hwnd, int width, int height);
// Where the client area's picture lands in an output of the given size (the SDL window or its
// drawable): scaled to fit, aspect kept, centred. Drawing and mouse input both use it.
RECT ClientPresentRect(HWND hwnd, int outputWidth, int outputHeight);
// True under SDL's offscreen or dummy video driver: no display, no real focus.
bool IsHeadless();

} // namespace platform
