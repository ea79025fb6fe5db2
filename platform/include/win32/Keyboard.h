// Keyboard state and key codes: the state of every virtual key as the pumped SDL events left
// it, and the translation from SDL scancodes to virtual keys and the keyboard's set-1 scan codes.
// Left out: keyboard layouts (characters come from SDL's text input), MapVirtualKey, ToUnicode.
#pragma once

#include "win32/Types.h"
#include "win32/VirtualKeys.h"

// Top bit set while the key is down, as the events pumped so far left it. Mouse buttons
// (VK_LBUTTON...) are keys here too.
SHORT GetAsyncKeyState(int vk);
// Top bit set while the key was down as of the last key or button message taken from the
// queue; bit 0 toggles at every press (Caps Lock style).
SHORT GetKeyState(int vk);

namespace platform {

struct KeyCode {
    UINT vk = 0;       // 0 for a key that has no virtual key
    UINT scan = 0;     // set-1 scan code, 0 when the key has none
    bool extended = false;
};

// The virtual key, scan code and extended flag of an SDL scancode.
KeyCode KeyCodeOfScancode(int sdlScancode);
// The SDL scancode of a virtual key (the left key for a generic modifier), 0 when none.
int ScancodeOfVirtualKey(UINT vk);
// VK_LSHIFT/VK_RSHIFT -> VK_SHIFT, and so on for Control and Alt; other keys unchanged.
UINT GenericVirtualKey(UINT vk);

// lParam of a key message: repeat count in bits 0-15, scan code in 16-23, extended key in 24,
// Alt held in 29, previous state (1 = was down) in 30, transition (1 = released) in 31.
LPARAM KeyMessageLParam(const KeyCode& key, bool altHeld, bool wasDown, bool released, WORD repeat = 1);

// Sets or clears a key in both state tables at once; generic modifiers follow their left and
// right keys. For tests of code that reads the keyboard without a window.
void SetKeyDown(UINT vk, bool down);
// Releases every key (a window that loses the keyboard no longer sees its keys go up).
void ReleaseAllKeys();

} // namespace platform
