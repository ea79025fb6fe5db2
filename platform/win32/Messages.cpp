// The message queue of the game thread: posting, peeking, translating, dispatching, the quit
// message and the default window procedure.
#include "win32/Messages.h"

#include "UserState.h"
#include "win32/Keyboard.h"
#include "win32/Time.h"
#include "win32/Window.h"

#include "../imm/ImeEvents.h"
#include "imm/Imm.h"

namespace {

using platform::user::State;

inline HWND const kThreadOnly = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));

bool InRange(UINT message, UINT filterMin, UINT filterMax)
{
    if (filterMin == 0 && filterMax == 0)
        return true;
    return message >= filterMin && message <= filterMax;
}

bool IsSameOrChild(State& s, HWND candidate, HWND ancestor)
{
    while (candidate) {
        if (candidate == ancestor)
            return true;
        const platform::user::WindowRecord* w = platform::user::Find(s, candidate);
        candidate = w ? w->parent : nullptr;
    }
    return false;
}

bool MatchesWindow(State& s, HWND messageWindow, HWND filter)
{
    if (!filter)
        return true;
    if (filter == kThreadOnly)
        return messageWindow == nullptr;
    return IsSameOrChild(s, messageWindow, filter);
}

MSG MakeMessage(State& s, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return MSG{hwnd, message, wParam, lParam, timeGetTime(), s.cursor};
}

bool TakePosted(State& s, MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, bool remove)
{
    for (auto it = s.queue.begin(); it != s.queue.end(); ++it) {
        if (!InRange(it->message, filterMin, filterMax) || !MatchesWindow(s, it->hwnd, hwnd))
            continue;
        *msg = *it;
        if (remove)
            s.queue.erase(it);
        return true;
    }
    return false;
}

bool TakeQuit(State& s, MSG* msg, UINT filterMin, UINT filterMax, bool remove)
{
    if (!s.quitPosted || !InRange(WM_QUIT, filterMin, filterMax))
        return false;
    *msg = MakeMessage(s, nullptr, WM_QUIT, static_cast<WPARAM>(static_cast<intptr_t>(s.quitCode)), 0);
    if (remove)
        s.quitPosted = false;
    return true;
}

bool TakePaint(State& s, MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, bool remove)
{
    if (!InRange(WM_PAINT, filterMin, filterMax))
        return false;
    for (auto& [handle, w] : s.windows) {
        if (!w.needsPaint || !w.visible || w.destroying || !MatchesWindow(s, handle, hwnd))
            continue;
        *msg = MakeMessage(s, handle, WM_PAINT, 0, 0);
        if (remove)
            w.needsPaint = false;
        return true;
    }
    return false;
}

bool IsControlCharacterKey(WPARAM vk)
{
    return vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE;
}

// Alt+F4 closes the window; the Alt key released alone (the pump makes that the only Alt
// release that is a system key) asks the window for its system menu.
LRESULT DefaultSystemKey(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const bool altHeld = (static_cast<uint32_t>(lParam) >> 29) & 1;
    if (msg == WM_SYSKEYDOWN && wParam == VK_F4 && altHeld)
        return SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (msg == WM_SYSKEYUP && wParam == VK_MENU)
        return SendMessageW(hwnd, WM_SYSCOMMAND, SC_KEYMENU, 0);
    return 0;
}

} // namespace

namespace platform::user {

// Posting from inside the platform: no window check, so the pump can queue for any window.
void Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto& s = Get();
    std::lock_guard guard(s.lock);
    s.queue.push_back(MakeMessage(s, hwnd, msg, wParam, lParam));
}

} // namespace platform::user

BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    if (!msg)
        return FALSE;
    platform::user::PumpSdlEvents();
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    if (TakePosted(s, msg, hwnd, filterMin, filterMax, remove)) {
        if (remove)
            platform::user::SyncKeyState(s, *msg);
        return TRUE;
    }
    if (TakeQuit(s, msg, filterMin, filterMax, remove))
        return TRUE;
    return TakePaint(s, msg, hwnd, filterMin, filterMax, remove) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG* msg)
{
    if (!msg)
        return FALSE;
    if (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP && msg->message != WM_SYSKEYDOWN &&
        msg->message != WM_SYSKEYUP)
        return FALSE;
    if (msg->message == WM_KEYDOWN && IsControlCharacterKey(msg->wParam)) {
        auto& s = platform::user::Get();
        std::lock_guard guard(s.lock);
        if (platform::user::Find(s, msg->hwnd))
            s.queue.push_front(MakeMessage(s, msg->hwnd, WM_CHAR, msg->wParam, msg->lParam));
    }
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg)
{
    if (!msg || !msg->hwnd)
        return 0;
    return platform::user::CallProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    if (hwnd) {
        const platform::user::WindowRecord* w = platform::user::Find(s, hwnd);
        if (!w || w->destroying)
            return FALSE;
    }
    s.queue.push_back(MakeMessage(s, hwnd, msg, wParam, lParam));
    return TRUE;
}

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return platform::user::CallProc(hwnd, msg, wParam, lParam);
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

void PostQuitMessage(int exitCode)
{
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    s.quitPosted = true;
    s.quitCode = exitCode;
}

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_PAINT: {
        auto& s = platform::user::Get();
        std::lock_guard guard(s.lock);
        if (platform::user::WindowRecord* w = platform::user::Find(s, hwnd))
            w->needsPaint = false;
        return 0;
    }
    case WM_SYSCOMMAND:
        // There is no system menu: SC_KEYMENU does nothing; closing goes through WM_CLOSE.
        if ((wParam & 0xFFF0) == SC_CLOSE)
            return SendMessageW(hwnd, WM_CLOSE, 0, 0);
        if ((wParam & 0xFFF0) == SC_MINIMIZE)
            ShowWindow(hwnd, SW_MINIMIZE);
        return 0;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        return DefaultSystemKey(hwnd, msg, wParam, lParam);
    case WM_IME_COMPOSITION:
        // A window that leaves the composition to the system gets the finished text as characters.
        if (lParam & GCS_RESULTSTR)
            platform::ime::SendResultAsImeChars(hwnd);
        return 0;
    case WM_IME_CHAR:
        PostMessageW(hwnd, WM_CHAR, wParam, lParam);
        return 0;
    default:
        return 0;
    }
}
