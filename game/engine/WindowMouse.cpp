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
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        Replace(kLeftUp | kLeftReleased, kLeftPressed);
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        Replace(kMiddleUp | kMiddleReleased, kMiddlePressed);
        break;
    default:
        Replace(kRightUp | kRightReleased, kRightPressed);
        break;
    }
}

void CWindowMouse::OnButtonUp(UINT msg)
{
    switch (msg) {
    case WM_LBUTTONUP:
        Replace(kLeftDown | kLeftPressed, kLeftReleased);
        break;
    case WM_MBUTTONUP:
        Replace(kMiddleDown | kMiddlePressed, kMiddleReleased);
        break;
    default:
        Replace(kRightDown | kRightPressed, kRightReleased);
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

    if (m_byEventCountdown >= 128) {
        ++m_byEventCountdown;
        if (m_byEventCountdown == 0)
            SettleEvents();
    }
    return 0;
}
