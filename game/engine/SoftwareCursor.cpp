#include "engine/SoftwareCursor.h"

#include "engine/Getters.h"
#include "engine/InputSystem.h"
#include "engine/InputPlatform.h"
#include "engine/PlayerSettings.h"
#include "kv/KVWnd.h"

VanteoMouse g_Mouse;

namespace {

constexpr int kCursorBlock = 2;
constexpr int kCursorSecondNormal = 1;

} // namespace

void VanteoMouse::LoadCursors()
{
    for (int i = 0; i < kCursorCount; ++i) {
        m_Cursors[i].Load(GetSkinFileName(kSkinMouseCursorNormal + i));
        m_Cursors[i].m_bLoop = true;
    }
    m_bLoaded = 1;
}

void VanteoMouse::AddRect(int cursor, RECT rect)
{
    m_Rects.push_back({cursor, rect});
}

void VanteoMouse::AddRect(int cursor, float left, float top, float right, float bottom)
{
    AddRect(cursor, RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                         static_cast<LONG>(bottom)});
}

void VanteoMouse::AddWidgetRect(kv::KVWnd* window, int cursor)
{
    if (!window)
        return;
    const kv::KVRect r = window->GetAbsoluteRect();
    AddRect(cursor, r.left, r.top, r.right, r.bottom);
}

void VanteoMouse::Update(float seconds)
{
    if (!m_bLoaded)
        LoadCursors();
    CWindowMouse* mouse = GetInputManager()->GetMouse();
    POINT point{mouse ? mouse->m_x : 0, mouse ? mouse->m_y : 0};

    // The last registered rectangle that holds the point wins.
    m_nCurrent = 0;
    for (const HitRect& hit : m_Rects) {
        if (!PtInRect(&hit.rect, point))
            continue;
        m_nCurrent = hit.cursor;
        if (m_nCurrent == kCursorBlock && m_bBlockSubstitute)
            m_nCurrent = kCursorSecondNormal;
    }
    if (m_nCurrent < 0 || m_nCurrent >= kCursorCount)
        m_nCurrent = 0;

    AnimationPlayer& cursor = m_Cursors[m_nCurrent];
    DWORD flags = mouse ? mouse->m_dwFlags : mouseflag::kLeftUp;
    if ((flags & mouseflag::kLeftDown) && cursor.m_strScene != "down")
        cursor.Play("down");
    else if ((flags & mouseflag::kLeftUp) && cursor.m_strScene != "default")
        cursor.Play("default");
    cursor.Update(seconds);
}

void VanteoMouse::Draw()
{
    if (!m_bLoaded)
        LoadCursors();
    if (!m_bVisible)
        return;
    float scaleX = IsLeftHandedMouse() ? -m_fScaleX : m_fScaleX;
    CWindowMouse* mouse = GetInputManager()->GetMouse();
    D3DXMATRIX world;
    D3DXMATRIX move;
    D3DXMatrixScaling(&world, scaleX, m_fScaleY, m_fScaleZ);
    D3DXMatrixTranslation(&move, static_cast<float>(mouse ? mouse->m_x : 0), static_cast<float>(mouse ? mouse->m_y : 0), 0.0f);
    D3DXMatrixMultiply(&world, &world, &move);
    m_Cursors[m_nCurrent].Draw(&world, 0xFFFFFFFF, 0.0f, nullptr);
}
