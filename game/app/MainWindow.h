// The program's frame around the scene manager: the command-line switches, the game window and
// its window procedure, the message loop and the entry point.
#pragma once

#include <win32/Messages.h>
#include <win32/Types.h>

#include <functional>

// Window class and window style of the game window: a pop-up with caption, system menu and
// minimise box.
inline constexpr const wchar_t* kMainWindowClass = L"Quibly";
inline constexpr DWORD kMainWindowStyle = 0x80CA0000;
inline constexpr int kClientWidth = 1024;
inline constexpr int kClientHeight = 768;
// Accelerator commands.
inline constexpr WORD kCommandToggleFullScreen = 0x8003;
inline constexpr WORD kCommandQuit = 0x9C42;

extern HINSTANCE g_hInst;
extern HWND g_hWnd;
// "-c": restore the play data from the initial pack. "-a" sets g_bClearAchievements, which the
// achievements read.
extern int g_bResetPlayData;

// Calls of other subsystems the window procedure and the loop make on every message or turn.
struct MainLoopHooks {
    // The UI framework's input-method hook: may turn composition text into character events
    // and clear the continue flag.
    std::function<void(UINT, WPARAM, LPARAM&, bool&)> imeHook;
    // Whether the UI framework has an input method provider.
    std::function<bool()> hasImeProvider;
    // Pumps the platform client's callbacks once per idle turn.
    std::function<void()> runPlatformCallbacks;
};
void SetMainLoopHooks(MainLoopHooks hooks);

// Sets the switches when "-c" or "-a" is one of the command line's arguments.
void ParseCommandLineSwitches(const wchar_t* commandLine);
ATOM RegisterMainWindowClass(HINSTANCE instance);
// The outer rectangle that gives a 1024 x 768 client area whose outer top-left corner is where
// a 1024 x 768 rectangle centred on the desktop begins.
RECT ComputeMainWindowRect();
// Creates the window and runs the start-up; 0 ends the program.
int InitInstance(HINSTANCE instance, int showCommand);
LRESULT MainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// Peeks and dispatches messages (WM_PAINT is removed but not dispatched) and runs one idle turn
// whenever none is waiting, until WM_QUIT; returns its exit code.
int RunMainLoop(HACCEL accelerators);
int wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);
