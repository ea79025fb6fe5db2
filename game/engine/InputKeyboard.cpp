#include "engine/InputKeyboard.h"

#include "engine/InputPlatform.h"

namespace {

bool KeyIsDown(int vk)
{
    return GetInputPlatform().GetAsyncKeyState(vk) < 0;
}

} // namespace

bool CInputKeyboard::HasFocus() const
{
    return !m_hWnd || GetInputPlatform().GetFocus() == m_hWnd;
}

bool CInputKeyboard::IsKeyPressed(int vk)
{
    // Before the window is known, presses are only answered while no window is active.
    if (GetInputPlatform().GetActiveWindow() != m_hWnd || !HasFocus() || !KeyIsDown(vk))
        return false;
    if (!m_thisFrame.insert(vk).second)
        return false;
    int& seenLastFrame = m_previousFrame[vk];
    if (seenLastFrame)
        return false;
    seenLastFrame = 1;
    return true;
}

bool CInputKeyboard::IsKeyDown(int vk)
{
    return HasFocus() && KeyIsDown(vk);
}

void CInputKeyboard::Update()
{
    for (auto& entry : m_previousFrame)
        entry.second = 0;
    for (int vk : m_thisFrame)
        m_previousFrame[vk] = 1;
    m_thisFrame.clear();
}
