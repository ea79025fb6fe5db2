// Opens the 1024 x 768 window "Quibly" centred on the desktop, as the game does, and prints
// every message its procedure receives. Alt+Enter toggles full screen with the game's styles,
// Alt+F4 or closing the window ends it; so does --seconds N.
#include <win32/Time.h>
#include <win32/User.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr DWORD kWindowedStyle = 0x80CA0000;
constexpr WORD kToggleFullScreen = 0x8003;
constexpr WORD kQuit = 0x9C42;

HWND g_window = nullptr;
bool g_fullScreen = false;
POINT g_windowedCorner{};

const char* NameOf(UINT msg)
{
    switch (msg) {
    case WM_DESTROY: return "WM_DESTROY";
    case WM_ACTIVATE: return "WM_ACTIVATE";
    case WM_SETFOCUS: return "WM_SETFOCUS";
    case WM_KILLFOCUS: return "WM_KILLFOCUS";
    case WM_PAINT: return "WM_PAINT";
    case WM_CLOSE: return "WM_CLOSE";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_CHAR: return "WM_CHAR";
    case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
    case WM_SYSKEYUP: return "WM_SYSKEYUP";
    case WM_IME_STARTCOMPOSITION: return "WM_IME_STARTCOMPOSITION";
    case WM_IME_ENDCOMPOSITION: return "WM_IME_ENDCOMPOSITION";
    case WM_IME_COMPOSITION: return "WM_IME_COMPOSITION";
    case WM_COMMAND: return "WM_COMMAND";
    case WM_SYSCOMMAND: return "WM_SYSCOMMAND";
    case WM_MOUSEMOVE: return "WM_MOUSEMOVE";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP: return "WM_RBUTTONUP";
    case WM_MBUTTONDOWN: return "WM_MBUTTONDOWN";
    case WM_MBUTTONUP: return "WM_MBUTTONUP";
    case WM_MOUSEWHEEL: return "WM_MOUSEWHEEL";
    default: return "message";
    }
}

void PrintClientArea(const char* when)
{
    RECT outer{}, client{};
    GetWindowRect(g_window, &outer);
    GetClientRect(g_window, &client);
    std::printf("%s: window at (%d, %d), client area %d x %d\n", when, static_cast<int>(outer.left),
                static_cast<int>(outer.top), static_cast<int>(client.right), static_cast<int>(client.bottom));
}

// The same placement dance as the game's device: frameless over the desktop, or framed where
// the window was before.
void ToggleFullScreen()
{
    g_fullScreen = !g_fullScreen;
    if (g_fullScreen) {
        RECT outer{};
        GetWindowRect(g_window, &outer);
        g_windowedCorner = {outer.left, outer.top};
        SetWindowLongW(g_window, GWL_STYLE, static_cast<LONG>(0x90000000));
        SetWindowPos(g_window, HWND_TOP, 0, 0, 1024, 768, SWP_SHOWWINDOW);
    } else {
        RECT rect{g_windowedCorner.x, g_windowedCorner.y, g_windowedCorner.x + 1024, g_windowedCorner.y + 768};
        AdjustWindowRect(&rect, 0x90CA0000, FALSE);
        SetWindowLongW(g_window, GWL_STYLE, static_cast<LONG>(0x90CA0000));
        SetWindowPos(g_window, HWND_NOTOPMOST, g_windowedCorner.x, g_windowedCorner.y, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_SHOWWINDOW);
    }
    PrintClientArea(g_fullScreen ? "full screen" : "windowed");
}

LRESULT DemoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    std::printf("%-24s 0x%04X wParam 0x%08llX lParam 0x%08llX\n", NameOf(msg), msg,
                static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam) & 0xFFFFFFFFull);
    std::fflush(stdout);
    switch (msg) {
    case WM_SETFOCUS:
        ShowCursor(FALSE);
        break;
    case WM_KILLFOCUS:
        ShowCursor(TRUE);
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == kToggleFullScreen)
            ToggleFullScreen();
        else if (LOWORD(wParam) == kQuit)
            PostQuitMessage(0);
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_KEYMENU)
            return 0;
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

int main(int argc, char** argv)
{
    double seconds = 0;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = std::atof(argv[i + 1]);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = DemoProc;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"Quibly";
    RegisterClassExW(&wc);

    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int x = (desktop.right - 1024) / 2;
    const int y = (desktop.bottom - 768) / 2;
    RECT rect{x, y, x + 1024, y + 768};
    AdjustWindowRect(&rect, kWindowedStyle, FALSE);
    g_window = CreateWindowExW(0, L"Quibly", L"Quibly", kWindowedStyle, x, y, rect.right - rect.left,
                               rect.bottom - rect.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!g_window) {
        std::fprintf(stderr, "windemo: the window could not be created\n");
        return 1;
    }
    std::printf("desktop %d x %d\n", static_cast<int>(desktop.right), static_cast<int>(desktop.bottom));
    ShowWindow(g_window, SW_SHOW);
    UpdateWindow(g_window);
    PrintClientArea("created");

    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(129));
    const DWORD start = timeGetTime();
    MSG msg{};
    for (;;) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                break;
            if (msg.message != WM_PAINT && !(g_window && TranslateAcceleratorW(g_window, table, &msg))) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            continue;
        }
        if (seconds > 0 && timeGetTime() - start >= static_cast<DWORD>(seconds * 1000)) {
            DestroyWindow(g_window);
            g_window = nullptr;
            continue;
        }
        Sleep(10);
    }
    std::printf("quit with exit code %d\n", static_cast<int>(msg.wParam));
    return static_cast<int>(msg.wParam);
}
