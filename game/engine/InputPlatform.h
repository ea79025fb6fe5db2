// The window-system calls that keyboard, mouse and cursor code make: key state, the active and
// focus windows, the cursor position, the client rectangle, mouse capture and the system cursor.
// They go through this one interface so that the input code can be driven by a fake in tests;
// by default they are the window system's.
#pragma once

#include <win32/Messages.h>
#include <win32/Types.h>
#include <win32/Window.h>

class InputPlatform {
public:
    virtual ~InputPlatform() = default;

    virtual HWND GetActiveWindow() = 0;
    virtual HWND GetFocus() = 0;
    // Top bit set while the key is down.
    virtual SHORT GetAsyncKeyState(int vk) = 0;
    // The cursor in the client coordinates of the window; false when it cannot be read.
    virtual bool GetCursorClientPos(HWND window, POINT* point) = 0;
    virtual bool GetClientRect(HWND window, RECT* rect) = 0;
    virtual void SetCapture(HWND window) = 0;
    virtual void ReleaseCapture() = 0;
    // Raises (show) or lowers (hide) the system cursor's display counter; returns the counter.
    virtual int ShowCursor(bool show) = 0;
};

// The calls in use: the window system's own unless a test has installed others.
InputPlatform& GetInputPlatform();
// Installs the calls (null restores the stand-in); the caller keeps ownership.
void SetInputPlatform(InputPlatform* platform);
