// The mouse state that game play reads: client position, movement, wheel and, for each of the
// three buttons, a down or up state plus pressed and released events that the window messages
// set and that settle into states in the second update after the last mouse message.
#pragma once

#include <win32/Types.h>

// Button state and event bits of CDFMouse::m_dwFlags.
namespace mouseflag {
constexpr DWORD kLeftDown = 0x1;
constexpr DWORD kLeftUp = 0x2;
constexpr DWORD kRightDown = 0x4;
constexpr DWORD kRightUp = 0x8;
constexpr DWORD kMoved = 0x10;
constexpr DWORD kMiddleDown = 0x80;
constexpr DWORD kMiddleUp = 0x100;
constexpr DWORD kLeftPressed = 0x800;
constexpr DWORD kLeftReleased = 0x1000;
constexpr DWORD kRightPressed = 0x2000;
constexpr DWORD kRightReleased = 0x4000;
constexpr DWORD kMiddlePressed = 0x8000;
constexpr DWORD kMiddleReleased = 0x10000;
} // namespace mouseflag

class CDFMouse {
public:
    CDFMouse() = default;
    // Shows the system cursor again.
    virtual ~CDFMouse();

    virtual void Init();
    virtual void ResetEvent();
    virtual int SetWindow(HWND /*window*/) { return 1; }
    virtual int Update(float /*seconds*/) { return 1; }
    virtual int IsReady() { return 1; }
    // True for the activation message only.
    virtual int MsgProc(UINT msg, WPARAM wParam, LPARAM lParam);

    HANDLE m_hEvent = nullptr;
    DWORD m_dwFlags = 0;
    int m_nWheel = 0;
    int m_x = 0;
    int m_y = 0;
    int m_dx = 0;
    int m_dy = 0;
};

class CWindowMouse : public CDFMouse {
public:
    CWindowMouse();

    void Init() override {}
    void ResetEvent() override {}
    int SetWindow(HWND window) override;
    // Follows the cursor and, two updates after the last mouse message, settles the events.
    int Update(float seconds) override;
    // Records button events and the wheel; always 0, so every message goes on to the scene.
    int MsgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    int m_prevX = 0;
    int m_prevY = 0;
    HWND m_hWnd = nullptr;
    // Armed at 254 by every mouse message; counts up and settles events when it wraps to 0.
    uint8_t m_byEventCountdown = 0;

private:
    // A press and its release between two frames would leave only the release for the frame to
    // see, and a click would be lost. The press events that no update has seen yet, and the
    // releases held back behind them: the frame sees the press, the next frame the release.
    DWORD m_dwUnseenPresses = 0;
    DWORD m_dwHeldReleases = 0;
    DWORD m_dwDueReleases = 0;

    void OnButtonDown(UINT msg, LPARAM lParam);
    void OnButtonUp(UINT msg);
    // When any of `from` is set, clears them and sets `to`.
    void Replace(DWORD from, DWORD to);
    void SettleEvents();
};
