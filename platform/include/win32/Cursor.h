// The mouse pointer: its position (tracked from the pumped mouse events, in screen
// coordinates), conversions between screen and client coordinates, capture, the show counter
// of the system cursor and the caret blink time.
// Left out: cursor shapes (SetCursor), SetCursorPos, ClipCursor.
#pragma once

#include "win32/Types.h"

BOOL GetCursorPos(POINT* point);
BOOL ScreenToClient(HWND hwnd, POINT* point);
BOOL ClientToScreen(HWND hwnd, POINT* point);

// Mouse messages go to the capturing window; SDL keeps the pointer reported outside the window.
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();

// The system cursor is shown while the counter is 0 or more. Returns the new counter.
int ShowCursor(BOOL show);

// Milliseconds between caret blinks.
UINT GetCaretBlinkTime();
