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
    return msg == msgid::kActivate;
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
    case msgid::kLButtonDown:
    case msgid::kLButtonDblClk:
        Replace(kLeftUp | kLeftReleased, kLeftPressed);
        break;
    case msgid::kMButtonDown:
    case msgid::kMButtonDblClk:
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
    case msgid::kLButtonUp:
        Replace(kLeftDown | kLeftPressed, kLeftReleased);
        break;
    case msgid::kMButtonUp:
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
    case msgid::kKillFocus:
        m_dwFlags = (m_dwFlags & ~(kLeftDown | kRightDown | kMiddleDown)) | kLeftUp | kRightUp | kMiddleUp;
        GetInputPlatform().ReleaseCapture();
        break;
    case msgid::kLButtonDown:
    case msgid::kLButtonDblClk:
    case msgid::kRButtonDown:
    case msgid::kRButtonDblClk:
    case msgid::kMButtonDown:
    case msgid::kMButtonDblClk:
        m_byEventCountdown = kCountdownArmed;
        OnButtonDown(msg, lParam);
        break;
    case msgid::kLButtonUp:
    case msgid::kRButtonUp:
    case msgid::kMButtonUp:
        m_byEventCountdown = kCountdownArmed;
        OnButtonUp(msg);
        break;
    case msgid::kMouseWheel:
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
