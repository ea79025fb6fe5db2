#include "app/MainWindow.h"

#include "app/StartUp.h"
#include "app/Version.h"
#include "engine/RenderBackend.h"
#include "engine/SceneManager.h"
#include "net/Achievements.h"
#include "net/AchievementsSteam.h"
#include "net/NetGlobals.h"

#include <helvane/Log.h>
#include <win32/Cursor.h>
#include <win32/Window.h>

#include <algorithm>
#include <cwchar>
#include <string_view>

HINSTANCE g_hInst = nullptr;
HWND g_hWnd = nullptr;
int g_bResetPlayData = 0;

namespace {

constexpr uintptr_t kAcceleratorResource = 129;
constexpr uintptr_t kIconResource = 132;
constexpr const char* kFirstScene = "VanteoInitMenuScene";

MainLoopHooks g_hooks;

} // namespace

void SetMainLoopHooks(MainLoopHooks hooks)
{
    g_hooks = std::move(hooks);
}

void ParseCommandLineSwitches(const wchar_t* commandLine)
{
    if (!commandLine)
        return;
    // Each switch is a whole argument: an argument that merely contains "-c" or "-a" (a path,
    // another option) must never discard the play data or the achievements.
    std::wstring_view rest(commandLine);
    while (!rest.empty()) {
        size_t start = rest.find_first_not_of(L" \t");
        if (start == std::wstring_view::npos)
            break;
        rest.remove_prefix(start);
        size_t end = std::min(rest.find_first_of(L" \t"), rest.size());
        std::wstring_view argument = rest.substr(0, end);
        if (argument == L"-c")
            g_bResetPlayData = 1;
        else if (argument == L"-a")
            g_bClearAchievements = 1;
        rest.remove_prefix(end);
    }
}

ATOM RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
    wc.lpszClassName = kMainWindowClass;
    return RegisterClassExW(&wc);
}

RECT ComputeMainWindowRect()
{
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    int x = (desktop.right - desktop.left - kClientWidth) / 2;
    int y = (desktop.bottom - desktop.top - kClientHeight) / 2;
    RECT outer{x, y, x + kClientWidth, y + kClientHeight};
    AdjustWindowRect(&outer, kMainWindowStyle, FALSE);
    // The outer corner stays at the centred rectangle's corner; the frame widens it.
    return RECT{x, y, x + (outer.right - outer.left), y + (outer.bottom - outer.top)};
}

int InitInstance(HINSTANCE instance, int showCommand)
{
    g_hInst = instance;
    RECT rect = ComputeMainWindowRect();
    g_hWnd = CreateWindowExW(0, kMainWindowClass, L"Quibly", kMainWindowStyle, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
    // The services start on a window that exists.
    if (!g_hWnd)
        return 0;
    if (!RunStartUpSequence(g_hWnd)) {
        // A failed device step has destroyed the window already.
        if (IsWindow(g_hWnd))
            DestroyWindow(g_hWnd);
        g_hWnd = nullptr;
        return 0;
    }
    ShowWindow(g_hWnd, showCommand);
    UpdateWindow(g_hWnd);
    return 1;
}

LRESULT MainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    bool continueFlag = true;
    if (g_hooks.imeHook)
        g_hooks.imeHook(msg, wParam, lParam, continueFlag);

    switch (msg) {
    case WM_SETFOCUS:
        // The software cursor is drawn instead.
        ShowCursor(FALSE);
        break;
    case WM_KILLFOCUS:
        ShowCursor(TRUE);
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == kCommandToggleFullScreen)
            GetRenderBackend().ToggleFullScreen();
        else if (LOWORD(wParam) == kCommandQuit)
            PostQuitMessage(0);
        else
            return DefWindowProcW(window, msg, wParam, lParam);
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_SYSCOMMAND:
        // Alt alone does not open the system menu.
        if (wParam == SC_KEYMENU)
            return 0;
        return DefWindowProcW(window, msg, wParam, lParam);
    default:
        break;
    }

    if (CSceneManager* manager = singleton<CSceneManager>::GetSingletonPtr())
        if (manager->MsgProc(msg, wParam, lParam))
            return 0;
    if (!continueFlag && g_hooks.hasImeProvider && g_hooks.hasImeProvider())
        return 0;
    return DefWindowProcW(window, msg, wParam, lParam);
}

namespace {

void RunIdleTurn()
{
    if (g_pAchievements) {
        g_pAchievements->Update();
        g_pAchievements->PostUpdate();
    }
    if (g_hooks.runPlatformCallbacks)
        g_hooks.runPlatformCallbacks();
    if (CSceneManager* manager = singleton<CSceneManager>::GetSingletonPtr())
        manager->Frame();
}

} // namespace

int RunMainLoop(HACCEL accelerators)
{
    MSG msg{};
    while (msg.message != WM_QUIT) {
        bool removed = PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE;
        if (removed && msg.message == WM_QUIT)
            break;
        if (removed && msg.message != WM_PAINT) {
            if (accelerators && g_hWnd && TranslateAcceleratorW(g_hWnd, accelerators, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            continue;
        }
        RunIdleTurn();
    }
    return static_cast<int>(msg.wParam);
}

int wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand)
{
    DFLog(L"Start window");
    ParseCommandLineSwitches(commandLine);
    RegisterMainWindowClass(instance);
    LogProgramVersion();
    if (!InitInstance(instance, showCommand))
        return 0;

    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(kAcceleratorResource));
    MSG peeked{};
    PeekMessageW(&peeked, nullptr, 0, 0, PM_NOREMOVE);
    RunPreLoopLoads();
    singleton<CSceneManager>::GetSingleton().SetFirstScene(kFirstScene, 0, 0);

    int exitCode = RunMainLoop(accelerators);
    RunShutDownSequence();
    return exitCode;
}
