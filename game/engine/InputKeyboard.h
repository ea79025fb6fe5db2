// Keyboard polling for game play: whether a key is held, and whether it was just pressed,
// reported once per press to the first query in a frame.
#pragma once

#include <helvane/Singleton.h>
#include <win32/Types.h>

#include <map>
#include <set>

class CInputKeyboard : public singleton<CInputKeyboard> {
public:
    CInputKeyboard() = default;
    virtual ~CInputKeyboard() = default;

    // True once per press: the key is down, the game window is active and focused, no earlier
    // query this frame saw it, and it was not seen down by a query in the previous frame.
    bool IsKeyPressed(int vk);
    // True while the key is held and, once the window is known, the window has the focus.
    bool IsKeyDown(int vk);
    // Ends the frame's edge detection: the keys seen down this frame become last frame's.
    void Update();

    void SetWindow(HWND window) { m_hWnd = window; }
    HWND GetWindow() const { return m_hWnd; }

private:
    bool HasFocus() const;

    std::map<int, int> m_previousFrame;
    std::set<int> m_thisFrame;
    HWND m_hWnd = nullptr;
};
