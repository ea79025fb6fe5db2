// Test input: pushes SDL events that travel the same path as a player's input (the next
// PeekMessageW turns them into messages). Coordinates are client coordinates of the window's
// client area; the window must be one of ours with an SDL window.
#pragma once

#include "win32/Types.h"

#include <string>

namespace platform {

// A key by virtual key (generic modifiers press the left key). Alt held through InjectKey
// (VK_MENU) makes the following keys system keys. A repeat is an auto-repeated key down.
void InjectKey(HWND hwnd, UINT vk, bool down, bool repeat = false);
// Typed text as SDL's text input delivers it (UTF-8).
void InjectText(HWND hwnd, const std::string& utf8);
void InjectMouseMove(HWND hwnd, int x, int y);
// button: 1 left, 2 middle, 3 right; clicks 2 is a double click.
void InjectMouseButton(HWND hwnd, int button, bool down, int x, int y, int clicks = 1);
// Notches away from the player are positive.
void InjectWheel(HWND hwnd, int notches);
void InjectFocus(HWND hwnd, bool gained);
// The window manager's close button.
void InjectClose(HWND hwnd);
// An input method's composition: text being composed, with the converted range selected.
void InjectTextEditing(HWND hwnd, const std::string& utf8, int selectionStart, int selectionLength);

// The desktop size GetDesktopWindow and GetSystemMetrics report; 0 x 0 returns to the display's.
void SetDesktopSizeForTesting(int width, int height);

} // namespace platform
