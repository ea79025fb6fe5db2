// The link between window handles and SDL windows, for the families that draw into or read
// from a window (d3d9, imm). The window family creates every HWND; tests may wrap a window of
// their own with RegisterSdlWindow.
#pragma once

#include "win32/Types.h"

struct SDL_Window;

namespace platform {

HWND RegisterSdlWindow(SDL_Window* window);
void UnregisterSdlWindow(HWND hwnd);
SDL_Window* SdlWindowOf(HWND hwnd);
HWND HwndOfSdlWindow(SDL_Window* window);
// The pixels the window really covers on the display, which after a full-screen switch without a
// window manager may differ from the size SDL reports.
void RealWindowSize(SDL_Window* window, int* width, int* height);
// Desktop full screen on or off. On a display without a window manager, where nothing answers
// SDL's request, the window is itself made to cover its screen.
void SetDesktopFullScreen(SDL_Window* window, bool full);

} // namespace platform
