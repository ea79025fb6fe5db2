// The window-system calls that keyboard, mouse and cursor code make: key state, the active and
// focus windows, the cursor position, the client rectangle, mouse capture and the system cursor.
// They go through this one interface so that the input code can be driven by a fake in tests;
// the game installs the window family's calls.
#pragma once

#include <win32/Types.h>

// Window message ids the engine reads or sends, with their Windows values.
namespace msgid {
constexpr UINT kDestroy = 0x0002;
constexpr UINT kActivate = 0x0006;
constexpr UINT kSetFocus = 0x0007;
constexpr UINT kKillFocus = 0x0008;
constexpr UINT kPaint = 0x000F;
constexpr UINT kQuit = 0x0012;
constexpr UINT kCommand = 0x0111;
constexpr UINT kSysCommand = 0x0112;
constexpr UINT kMouseMove = 0x0200;
constexpr UINT kLButtonDown = 0x0201;
constexpr UINT kLButtonUp = 0x0202;
constexpr UINT kLButtonDblClk = 0x0203;
constexpr UINT kRButtonDown = 0x0204;
constexpr UINT kRButtonUp = 0x0205;
constexpr UINT kRButtonDblClk = 0x0206;
constexpr UINT kMButtonDown = 0x0207;
constexpr UINT kMButtonUp = 0x0208;
constexpr UINT kMButtonDblClk = 0x0209;
constexpr UINT kMouseWheel = 0x020A;
} // namespace msgid

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

// The calls in use. Until a window system is installed, a stand-in without windows answers:
// no active or focus window, no key down, the cursor at (0, 0).
InputPlatform& GetInputPlatform();
// Installs the calls (null restores the stand-in); the caller keeps ownership.
void SetInputPlatform(InputPlatform* platform);

// Whether the point lies in the rectangle: left <= x < right and top <= y < bottom.
inline bool PtInRect(const RECT* rect, POINT point)
{
    return point.x >= rect->left && point.x < rect->right && point.y >= rect->top && point.y < rect->bottom;
}
