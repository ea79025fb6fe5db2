// A game-like window for tests that drive input through the message loop: it records every
// message its procedure receives, lets a test answer some of them, and leaves the rest to
// DefWindowProcW as the game's procedure does.
#pragma once

#include <win32/User.h>

#include <functional>
#include <optional>
#include <vector>

namespace testsupport {

struct Recorded {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class TestWindow {
public:
    using Hook = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

    static constexpr DWORD kGameStyle = 0x80CA0000;

    explicit TestWindow(UINT classStyle = CS_SAVEBITS, DWORD style = kGameStyle)
    {
        RegisterClasses();
        RECT rect{0, 0, 1024, 768};
        AdjustWindowRect(&rect, style, FALSE);
        hwnd = CreateWindowExW(0, classStyle & CS_DBLCLKS ? L"QuiblyTestDbl" : L"QuiblyTest", L"Quibly", style, 0, 0,
                               rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
    }
    ~TestWindow()
    {
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
        Pump();
        platform::ReleaseAllKeys();
        OnMessage() = nullptr;
        Log().clear();
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    static std::vector<Recorded>& Log()
    {
        static std::vector<Recorded> log;
        return log;
    }
    static Hook& OnMessage()
    {
        static Hook hook;
        return hook;
    }

    // Runs the game's loop until the queue is empty: WM_PAINT is removed and not dispatched;
    // with a table, accelerators are translated first. Returns the exit code of a WM_QUIT.
    static std::optional<int> Pump(HWND accelWindow = nullptr, HACCEL table = nullptr)
    {
        std::optional<int> quit;
        MSG msg{};
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = static_cast<int>(msg.wParam);
                continue;
            }
            if (msg.message == WM_PAINT)
                continue;
            if (table && TranslateAcceleratorW(accelWindow, table, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return quit;
    }

    // The recorded messages of the given ids, in order.
    static std::vector<Recorded> Messages(std::initializer_list<UINT> ids)
    {
        std::vector<Recorded> out;
        for (const Recorded& r : Log())
            for (UINT id : ids)
                if (r.message == id)
                    out.push_back(r);
        return out;
    }

    HWND hwnd = nullptr;

private:
    static LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        Log().push_back({hwnd, msg, wParam, lParam});
        if (OnMessage())
            if (auto answer = OnMessage()(hwnd, msg, wParam, lParam))
                return *answer;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    static void RegisterClasses()
    {
        static const bool registered = [] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof(wc);
            wc.style = CS_SAVEBITS;
            wc.lpfnWndProc = Proc;
            wc.lpszClassName = L"QuiblyTest";
            RegisterClassExW(&wc);
            wc.style = CS_DBLCLKS;
            wc.lpszClassName = L"QuiblyTestDbl";
            return RegisterClassExW(&wc) != 0;
        }();
        (void)registered;
    }
};

// Any key and mouse message: what the packing tests look at.
inline const std::initializer_list<UINT> kInputMessages = {
    WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_CHAR, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP,
    WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MOUSEWHEEL};

} // namespace testsupport
