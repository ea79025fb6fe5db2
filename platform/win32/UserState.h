// The state behind the window, message, keyboard, cursor and focus families: one struct, one
// lock. The lock is never held while a window procedure runs, so procedures may call back in.
#pragma once

#include "win32/Messages.h"
#include "win32/Types.h"

#include <array>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SDL_Window;

namespace platform::user {

struct ClassRecord {
    std::wstring name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    ATOM atom = 0;
};

struct WindowRecord {
    HWND hwnd = nullptr;
    HWND parent = nullptr;
    std::wstring className;
    UINT classStyle = 0;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};                 // outer rectangle: screen coordinates, or the parent's client's
    SDL_Window* sdl = nullptr;   // null for child windows
    uint32_t sdlId = 0;
    bool visible = false;
    bool fullScreen = false;     // the SDL window is in desktop full screen
    bool needsPaint = false;
    bool destroying = false;     // WM_DESTROY is on its way; the handle no longer takes calls
    LONG_PTR userData = 0;
    int logicalWidth = 0;        // SetClientLogicalSize; 0 = the window's own client size
    int logicalHeight = 0;
    std::vector<std::wstring> listItems;   // the built-in list box
    int listSelection = -1;
    bool listDirty = false;              // the list box changed since it was last drawn
};

struct State {
    std::recursive_mutex lock;
    std::map<std::wstring, ClassRecord> classes;   // keyed by upper-cased name
    std::map<HWND, WindowRecord> windows;
    std::deque<MSG> queue;
    bool quitPosted = false;
    int quitCode = 0;
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    POINT cursor{};             // screen coordinates
    int cursorCounter = 0;
    std::array<bool, 256> keyDown{};      // as the pumped events left it (GetAsyncKeyState)
    // Keys that went down and up again before anyone asked (a tap between two frames), with the
    // time they went down: GetAsyncKeyState reports such a key down once, shortly after.
    std::array<uint64_t, 256> keyTapMs{};
    std::array<bool, 256> syncDown{};     // as of the last message taken (GetKeyState)
    std::array<bool, 256> keyToggled{};
    std::array<bool, 256> scanDown{};   // by DIK code: set-1 scan code, extended keys + 0x80
    bool altAlone = false;      // Alt went down and no other key since: its release opens the menu
    int desktopWidth = 0;       // test override
    int desktopHeight = 0;
    std::thread::id videoThread;
};

State& Get();

// Window lookup under the lock; null when the handle is not a live window.
WindowRecord* Find(State& s, HWND hwnd);
WindowRecord* FindBySdlId(State& s, uint32_t sdlId);

// Queues a message without checking the window (the pump and the platform's own families).
void Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Calls a window's procedure without holding the lock; 0 when the window is gone.
LRESULT CallProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Client geometry.
RECT FrameInsets(DWORD style);
POINT ClientOrigin(State& s, const WindowRecord& w);   // screen coordinates
SIZE ClientSize(const WindowRecord& w);                // logical size when set
// Where a client area of that size lands in an output: scaled to fit, aspect kept, centred.
RECT PresentRect(SIZE client, int outputWidth, int outputHeight);

// Key tables: the pump sets the asynchronous state; taking a key or button message from the
// queue brings the synchronous state up to that message.
void SetAsyncKeyDown(State& s, UINT vk, bool down);
void SyncKeyState(State& s, const MSG& msg);

// A handle for a window without an SDL window (from the same counter as the SDL windows').
HWND NewHandle();

// SDL video, started by the first top-level window (or desktop query) on that thread.
bool EnsureVideo();
bool OnVideoThread();
void PumpSdlEvents();
// Draws the list boxes whose items or selection changed since they were last drawn.
void PaintChangedListBoxes();
LRESULT ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Activation and focus changes, with their messages.
void Activate(HWND hwnd);
void Deactivate(HWND hwnd);
// Brings the top-level window of `hwnd` to the front with the keyboard focus, as a modal dialog
// does for its owner when it closes: the desktop is asked to focus it (with a display) and the
// window is made active and focused. Nothing for a handle that is not ours.
void ReturnFocus(HWND hwnd);

} // namespace platform::user
