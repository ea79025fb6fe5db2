#include "engine/WindowMouse.h"

#include "engine/InputPlatform.h"

using namespace mouseflag;

namespace {

constexpr uint8_t kCountdownArmed = 254;

} // namespace

CDFMouse::~CDFMouse()
{
    GetInputPlatform().ShowCursor(true);
}

void CDFMouse::Init()
{
    m_dwFlags = 0;
    m_nWheel = 0;
    m_x = m_y = m_dx = m_dy = 0;
}

void CDFMouse::ResetEvent() {}

int CDFMouse::MsgProc(UINT msg, WPARAM, LPARAM)
{
    return msg == WM_ACTIVATE;
}

CWindowMouse::CWindowMouse()
{
    m_dwFlags = kLeftUp | kRightUp | kMiddleUp;
}

int CWindowMouse::SetWindow(HWND window)
{
    m_hWnd = window;
    return 0;
}

void CWindowMouse::Replace(DWORD from, DWORD to)
{
    if (m_dwFlags & from)
        m_dwFlags = (m_dwFlags & ~from) | to;
}

void CWindowMouse::OnButtonDown(UINT msg, LPARAM lParam)
{
    InputPlatform& platform = GetInputPlatform();
    RECT client{};
    platform.GetClientRect(m_hWnd, &client);
    platform.SetCapture(m_hWnd);
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (!PtInRect(&client, point))
        return;
    auto press = [this](DWORD up, DWORD released, DWORD pressed) {
        if (m_dwFlags & (up | released)) {
            Replace(up | released, pressed);
            m_dwUnseenPresses |= pressed;
        }
    };
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        press(kLeftUp, kLeftReleased, kLeftPressed);
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        press(kMiddleUp, kMiddleReleased, kMiddlePressed);
        break;
    default:
        press(kRightUp, kRightReleased, kRightPressed);
        break;
    }
}

void CWindowMouse::OnButtonUp(UINT msg)
{
    auto release = [this](DWORD down, DWORD pressed, DWORD released) {
        if (m_dwUnseenPresses & pressed)
            m_dwHeldReleases |= released; // the press is shown first, in the coming frame
        else
            Replace(down | pressed, released);
    };
    switch (msg) {
    case WM_LBUTTONUP:
        release(kLeftDown, kLeftPressed, kLeftReleased);
        break;
    case WM_MBUTTONUP:
        release(kMiddleDown, kMiddlePressed, kMiddleReleased);
        break;
    default:
        release(kRightDown, kRightPressed, kRightReleased);
        break;
    }
    if (!(m_dwFlags & (kLeftDown | kRightDown | kMiddleDown)))
        GetInputPlatform().ReleaseCapture();
}

int CWindowMouse::MsgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_KILLFOCUS:
        m_dwFlags = (m_dwFlags & ~(kLeftDown | kRightDown | kMiddleDown)) | kLeftUp | kRightUp | kMiddleUp;
        GetInputPlatform().ReleaseCapture();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        m_byEventCountdown = kCountdownArmed;
        OnButtonDown(msg, lParam);
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        m_byEventCountdown = kCountdownArmed;
        OnButtonUp(msg);
        break;
    case WM_MOUSEWHEEL:
        // One notch of 120 reads as 2; a later wheel message in the frame overwrites it.
        m_nWheel = static_cast<int16_t>(HIWORD(wParam)) / 60;
        m_byEventCountdown = kCountdownArmed;
        break;
    default:
        break;
    }
    return 0;
}

void CWindowMouse::SettleEvents()
{
    m_nWheel = 0;
    Replace(kMiddlePressed, kMiddleDown);
    Replace(kLeftPressed, kLeftDown);
    Replace(kRightPressed, kRightDown);
    Replace(kLeftReleased, kLeftUp);
    Replace(kMiddleReleased, kMiddleUp);
    Replace(kRightReleased, kRightUp);
}

int CWindowMouse::Update(float)
{
    POINT point{m_x, m_y};
    GetInputPlatform().GetCursorClientPos(m_hWnd, &point);
    m_prevX = m_x;
    m_prevY = m_y;
    m_x = point.x;
    m_y = point.y;
    m_dx = m_x - m_prevX;
    m_dy = m_y - m_prevY;
    if (m_dx || m_dy)
        m_dwFlags |= kMoved;
    else
        m_dwFlags &= ~kMoved;

    // Releases held back behind a press that the previous frame has now shown.
    if (m_dwDueReleases) {
        const DWORD due = m_dwDueReleases;
        m_dwDueReleases = 0;
        if (due & kLeftReleased)
            Replace(kLeftDown | kLeftPressed, kLeftReleased);
        if (due & kMiddleReleased)
            Replace(kMiddleDown | kMiddlePressed, kMiddleReleased);
        if (due & kRightReleased)
            Replace(kRightDown | kRightPressed, kRightReleased);
        m_byEventCountdown = kCountdownArmed;
    }
    m_dwDueReleases = m_dwHeldReleases;
    m_dwHeldReleases = 0;
    m_dwUnseenPresses = 0;

    if (m_byEventCountdown >= 128) {
        ++m_byEventCountdown;
        if (m_byEventCountdown == 0)
            SettleEvents();
    }
    return 0;
}
