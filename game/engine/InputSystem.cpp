#include "engine/InputSystem.h"

#include "engine/ActionInputManager.h"
#include "engine/InputKeyboard.h"

void InputSystem::Init(HWND window)
{
    m_hWnd = window;
    m_mouse = std::make_unique<CWindowMouse>();
    m_mouse->SetWindow(window);
    ActionInputManager::Instance().Setup(window);
}

int InputSystem::Update(float seconds)
{
    if (m_mouse)
        m_mouse->Update(seconds);
    ActionInputManager::Instance().Poll(seconds);
    singleton<CInputKeyboard>::GetSingleton().Update();
    return 1;
}

bool InputSystem::MsgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return m_mouse && m_mouse->MsgProc(msg, wParam, lParam) != 0;
}

bool InputSystem::IsKeyDown(int vk)
{
    return singleton<CInputKeyboard>::GetSingleton().IsKeyDown(vk);
}

bool InputSystem::IsKeyPressed(int vk)
{
    return singleton<CInputKeyboard>::GetSingleton().IsKeyPressed(vk);
}
