// The active window and the keyboard focus, from SDL's focus events. Without a display (SDL's
// offscreen or dummy driver) a shown top-level window becomes active and focused by itself, so
// that headless runs see their keys; tests can still take the focus away by injecting events.
#pragma once

#include "win32/Types.h"

HWND GetFocus();
HWND GetActiveWindow();
HWND GetForegroundWindow();
// Moves the focus to a window of ours: WM_KILLFOCUS to the old focus, WM_SETFOCUS to the new one.
// Returns the previous focus window.
HWND SetFocus(HWND hwnd);
