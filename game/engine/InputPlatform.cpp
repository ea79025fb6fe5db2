// The input calls in use: by default the window system's.
#include "engine/InputPlatform.h"

#include <win32/Cursor.h>
#include <win32/Focus.h>
#include <win32/Keyboard.h>

namespace {

class WindowSystemInput final : public InputPlatform {
public:
    HWND GetActiveWindow() override { return ::GetActiveWindow(); }
    HWND GetFocus() override { return ::GetFocus(); }
    SHORT GetAsyncKeyState(int vk) override { return ::GetAsyncKeyState(vk); }
    bool GetCursorClientPos(HWND window, POINT* point) override
    {
        return ::GetCursorPos(point) && ::ScreenToClient(window, point);
    }
    bool GetClientRect(HWND window, RECT* rect) override { return ::GetClientRect(window, rect) != FALSE; }
    void SetCapture(HWND window) override { ::SetCapture(window); }
    void ReleaseCapture() override { ::ReleaseCapture(); }
    int ShowCursor(bool show) override { return ::ShowCursor(show ? TRUE : FALSE); }
};

WindowSystemInput g_windowSystemInput;
InputPlatform* g_inputPlatform = &g_windowSystemInput;

} // namespace

InputPlatform& GetInputPlatform()
{
    return *g_inputPlatform;
}

void SetInputPlatform(InputPlatform* platform)
{
    g_inputPlatform = platform ? platform : &g_windowSystemInput;
}
