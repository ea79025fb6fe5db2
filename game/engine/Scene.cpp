#include "engine/Scene.h"

#include "engine/RenderBackend.h"
#include "kv/KVSystem.h"

#include <lumenkit/Direct3DDevice.h>
#include <win32/Cursor.h>
#include <win32/Messages.h>

void CScene::Restart()
{
    Leave();
    Enter(m_nRestartA, m_nRestartB);
}

int CScene::CanRender()
{
    return GetRenderBackend().IsWindowClosing() ? 0 : 1;
}

int ForwardToUi(UINT msg, WPARAM wParam, LPARAM lParam)
{
    kv::KVSystem* system = kv::KVSystem::GetPtr();
    // Client positions are signed: a pointer left of or above the window (a drag that leaves it)
    // has a negative coordinate, not one near 65535.
    const auto x = static_cast<float>(GET_X_LPARAM(lParam));
    const auto y = static_cast<float>(GET_Y_LPARAM(lParam));
    switch (msg) {
    case WM_KEYDOWN:
        if (system)
            system->OnKeyDown(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
        return 1;
    case WM_KEYUP:
        if (system)
            system->OnKeyUp(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
        return 1;
    case WM_MOUSEMOVE:
        if (system)
            system->OnMouseMove(x, y);
        return 1;
    case WM_LBUTTONDOWN:
        if (system)
            system->OnLButtonDown(x, y);
        return 1;
    case WM_LBUTTONUP:
        if (system)
            system->OnLButtonUp(x, y);
        return 1;
    case WM_MOUSEWHEEL: {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (CDirect3DDevice* device = CDirect3DDevice::GetSingletonPtr(); device && device->m_hWnd)
            ScreenToClient(device->m_hWnd, &point);
        if (system)
            system->OnMouseWheel(static_cast<int16_t>((wParam >> 16) & 0xFFFF), static_cast<float>(point.x),
                                 static_cast<float>(point.y));
        return 1;
    }
    default:
        return 0;
    }
}
