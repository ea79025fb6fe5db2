// The input facade: owns the window mouse, forwards window messages to it, and runs the
// per-frame update of the mouse, the action layer and the keyboard. Reached through
// GetInputManager.
#pragma once

#include "engine/WindowMouse.h"

#include <memory>

class InputSystem {
public:
    // Stores the window, creates the mouse on it and sets up the action layer, which also
    // hands the window to the keyboard.
    void Init(HWND window);
    // Mouse, action layer, then the keyboard's end of frame; returns 1.
    int Update(float seconds);
    // True when the mouse took the message.
    bool MsgProc(UINT msg, WPARAM wParam, LPARAM lParam);
    bool IsKeyDown(int vk);
    bool IsKeyPressed(int vk);
    // Null before Init.
    CWindowMouse* GetMouse() { return m_mouse.get(); }

private:
    std::unique_ptr<CWindowMouse> m_mouse;
    HWND m_hWnd = nullptr;
};
