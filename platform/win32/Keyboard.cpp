// Keyboard state and key codes: virtual keys, scan codes and the key table fed by the event pump.
#include "win32/Keyboard.h"

#include "UserState.h"
#include "win32/Messages.h"

#include <SDL.h>

#include <chrono>
#include <mutex>

namespace {

struct KeyEntry {
    SDL_Scancode scancode;
    UINT vk;
    UINT scan;
    bool extended;
};

// Every key with a virtual key. Scan codes are the keyboard's set 1 (extended keys have the
// E0 prefix, flagged as extended).
constexpr KeyEntry kKeys[] = {
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0x01, false},
    {SDL_SCANCODE_1, '1', 0x02, false}, {SDL_SCANCODE_2, '2', 0x03, false},
    {SDL_SCANCODE_3, '3', 0x04, false}, {SDL_SCANCODE_4, '4', 0x05, false},
    {SDL_SCANCODE_5, '5', 0x06, false}, {SDL_SCANCODE_6, '6', 0x07, false},
    {SDL_SCANCODE_7, '7', 0x08, false}, {SDL_SCANCODE_8, '8', 0x09, false},
    {SDL_SCANCODE_9, '9', 0x0A, false}, {SDL_SCANCODE_0, '0', 0x0B, false},
    {SDL_SCANCODE_MINUS, VK_OEM_MINUS, 0x0C, false},
    {SDL_SCANCODE_EQUALS, VK_OEM_PLUS, 0x0D, false},
    {SDL_SCANCODE_BACKSPACE, VK_BACK, 0x0E, false},
    {SDL_SCANCODE_TAB, VK_TAB, 0x0F, false},
    {SDL_SCANCODE_Q, 'Q', 0x10, false}, {SDL_SCANCODE_W, 'W', 0x11, false},
    {SDL_SCANCODE_E, 'E', 0x12, false}, {SDL_SCANCODE_R, 'R', 0x13, false},
    {SDL_SCANCODE_T, 'T', 0x14, false}, {SDL_SCANCODE_Y, 'Y', 0x15, false},
    {SDL_SCANCODE_U, 'U', 0x16, false}, {SDL_SCANCODE_I, 'I', 0x17, false},
    {SDL_SCANCODE_O, 'O', 0x18, false}, {SDL_SCANCODE_P, 'P', 0x19, false},
    {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4, 0x1A, false},
    {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6, 0x1B, false},
    {SDL_SCANCODE_RETURN, VK_RETURN, 0x1C, false},
    {SDL_SCANCODE_LCTRL, VK_LCONTROL, 0x1D, false},
    {SDL_SCANCODE_A, 'A', 0x1E, false}, {SDL_SCANCODE_S, 'S', 0x1F, false},
    {SDL_SCANCODE_D, 'D', 0x20, false}, {SDL_SCANCODE_F, 'F', 0x21, false},
    {SDL_SCANCODE_G, 'G', 0x22, false}, {SDL_SCANCODE_H, 'H', 0x23, false},
    {SDL_SCANCODE_J, 'J', 0x24, false}, {SDL_SCANCODE_K, 'K', 0x25, false},
    {SDL_SCANCODE_L, 'L', 0x26, false},
    {SDL_SCANCODE_SEMICOLON, VK_OEM_1, 0x27, false},
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7, 0x28, false},
    {SDL_SCANCODE_GRAVE, VK_OEM_3, 0x29, false},
    {SDL_SCANCODE_LSHIFT, VK_LSHIFT, 0x2A, false},
    {SDL_SCANCODE_BACKSLASH, VK_OEM_5, 0x2B, false},
    {SDL_SCANCODE_Z, 'Z', 0x2C, false}, {SDL_SCANCODE_X, 'X', 0x2D, false},
    {SDL_SCANCODE_C, 'C', 0x2E, false}, {SDL_SCANCODE_V, 'V', 0x2F, false},
    {SDL_SCANCODE_B, 'B', 0x30, false}, {SDL_SCANCODE_N, 'N', 0x31, false},
    {SDL_SCANCODE_M, 'M', 0x32, false},
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA, 0x33, false},
    {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD, 0x34, false},
    {SDL_SCANCODE_SLASH, VK_OEM_2, 0x35, false},
    {SDL_SCANCODE_RSHIFT, VK_RSHIFT, 0x36, false},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY, 0x37, false},
    {SDL_SCANCODE_LALT, VK_LMENU, 0x38, false},
    {SDL_SCANCODE_SPACE, VK_SPACE, 0x39, false},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL, 0x3A, false},
    {SDL_SCANCODE_F1, VK_F1, 0x3B, false}, {SDL_SCANCODE_F2, VK_F2, 0x3C, false},
    {SDL_SCANCODE_F3, VK_F3, 0x3D, false}, {SDL_SCANCODE_F4, VK_F4, 0x3E, false},
    {SDL_SCANCODE_F5, VK_F5, 0x3F, false}, {SDL_SCANCODE_F6, VK_F6, 0x40, false},
    {SDL_SCANCODE_F7, VK_F7, 0x41, false}, {SDL_SCANCODE_F8, VK_F8, 0x42, false},
    {SDL_SCANCODE_F9, VK_F9, 0x43, false}, {SDL_SCANCODE_F10, VK_F10, 0x44, false},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK, 0x45, true},
    {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL, 0x46, false},
    {SDL_SCANCODE_KP_7, VK_NUMPAD7, 0x47, false}, {SDL_SCANCODE_KP_8, VK_NUMPAD8, 0x48, false},
    {SDL_SCANCODE_KP_9, VK_NUMPAD9, 0x49, false},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT, 0x4A, false},
    {SDL_SCANCODE_KP_4, VK_NUMPAD4, 0x4B, false}, {SDL_SCANCODE_KP_5, VK_NUMPAD5, 0x4C, false},
    {SDL_SCANCODE_KP_6, VK_NUMPAD6, 0x4D, false},
    {SDL_SCANCODE_KP_PLUS, VK_ADD, 0x4E, false},
    {SDL_SCANCODE_KP_1, VK_NUMPAD1, 0x4F, false}, {SDL_SCANCODE_KP_2, VK_NUMPAD2, 0x50, false},
    {SDL_SCANCODE_KP_3, VK_NUMPAD3, 0x51, false}, {SDL_SCANCODE_KP_0, VK_NUMPAD0, 0x52, false},
    {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL, 0x53, false},
    {SDL_SCANCODE_NONUSBACKSLASH, VK_OEM_102, 0x56, false},
    {SDL_SCANCODE_F11, VK_F11, 0x57, false}, {SDL_SCANCODE_F12, VK_F12, 0x58, false},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN, 0x1C, true},
    {SDL_SCANCODE_RCTRL, VK_RCONTROL, 0x1D, true},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE, 0x35, true},
    {SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT, 0x37, true},
    {SDL_SCANCODE_RALT, VK_RMENU, 0x38, true},
    {SDL_SCANCODE_PAUSE, VK_PAUSE, 0x45, false},
    {SDL_SCANCODE_HOME, VK_HOME, 0x47, true},
    {SDL_SCANCODE_UP, VK_UP, 0x48, true},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR, 0x49, true},
    {SDL_SCANCODE_LEFT, VK_LEFT, 0x4B, true},
    {SDL_SCANCODE_RIGHT, VK_RIGHT, 0x4D, true},
    {SDL_SCANCODE_END, VK_END, 0x4F, true},
    {SDL_SCANCODE_DOWN, VK_DOWN, 0x50, true},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0x51, true},
    {SDL_SCANCODE_INSERT, VK_INSERT, 0x52, true},
    {SDL_SCANCODE_DELETE, VK_DELETE, 0x53, true},
    {SDL_SCANCODE_LGUI, VK_LWIN, 0x5B, true},
    {SDL_SCANCODE_RGUI, VK_RWIN, 0x5C, true},
    {SDL_SCANCODE_APPLICATION, VK_APPS, 0x5D, true},
    {SDL_SCANCODE_LANG1, VK_HANGUL, 0x72, false},
    {SDL_SCANCODE_LANG2, VK_HANJA, 0x71, false},
};

bool ValidVk(int vk) { return vk > 0 && vk < 256; }

// Sets a key in a table; a generic modifier follows its left and right keys. A press flips the
// key's toggle when a toggle table is given.
// How long a tap that no one has read yet is still reported.
constexpr uint64_t kTapMemoryMs = 250;

uint64_t TapClockMs()
{
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count()) +
           1; // never 0, which marks "no tap"
}

void SetInTable(std::array<bool, 256>& table, UINT vk, bool down, std::array<bool, 256>* toggles = nullptr)
{
    if (!ValidVk(static_cast<int>(vk)))
        return;
    if (toggles && down && !table[vk])
        (*toggles)[vk] = !(*toggles)[vk];
    table[vk] = down;
    const UINT generic = platform::GenericVirtualKey(vk);
    if (generic != vk) {
        const UINT left = generic == VK_SHIFT ? VK_LSHIFT : generic == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
        table[generic] = table[left] || table[left + 1];
    }
}

// Key messages carry the generic modifier; the scan code and extended bit tell the side.
UINT SidedVirtualKey(const MSG& msg)
{
    const uint32_t data = static_cast<uint32_t>(msg.lParam);
    const UINT scan = (data >> 16) & 0xFF;
    const bool extended = (data >> 24) & 1;
    switch (msg.wParam) {
    case VK_SHIFT: return scan == 0x36 ? VK_RSHIFT : VK_LSHIFT;
    case VK_CONTROL: return extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU: return extended ? VK_RMENU : VK_LMENU;
    default: return static_cast<UINT>(msg.wParam);
    }
}

} // namespace

namespace platform {

KeyCode KeyCodeOfScancode(int sdlScancode)
{
    for (const KeyEntry& e : kKeys)
        if (e.scancode == sdlScancode)
            return {e.vk, e.scan, e.extended};
    return {};
}

int ScancodeOfVirtualKey(UINT vk)
{
    if (vk == VK_SHIFT)
        vk = VK_LSHIFT;
    else if (vk == VK_CONTROL)
        vk = VK_LCONTROL;
    else if (vk == VK_MENU)
        vk = VK_LMENU;
    for (const KeyEntry& e : kKeys)
        if (e.vk == vk)
            return e.scancode;
    return 0;
}

UINT GenericVirtualKey(UINT vk)
{
    switch (vk) {
    case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU: case VK_RMENU: return VK_MENU;
    default: return vk;
    }
}

LPARAM KeyMessageLParam(const KeyCode& key, bool altHeld, bool wasDown, bool released, WORD repeat)
{
    uint32_t bits = repeat;
    bits |= (key.scan & 0xFF) << 16;
    if (key.extended)
        bits |= 1u << 24;
    if (altHeld)
        bits |= 1u << 29;
    if (wasDown)
        bits |= 1u << 30;
    if (released)
        bits |= 1u << 31;
    // The 32-bit value, as Windows hands it over: bit 31 is its sign bit.
    return static_cast<LPARAM>(static_cast<int32_t>(bits));
}

void SetKeyDown(UINT vk, bool down)
{
    auto& s = user::Get();
    std::lock_guard guard(s.lock);
    user::SetAsyncKeyDown(s, vk, down);
    SetInTable(s.syncDown, vk, down, &s.keyToggled);
}

void ReleaseAllKeys()
{
    auto& s = user::Get();
    std::lock_guard guard(s.lock);
    s.keyDown.fill(false);
    s.keyTapMs.fill(0);
    s.syncDown.fill(false);
    s.scanDown.fill(false);
}

namespace user {

void SetAsyncKeyDown(State& s, UINT vk, bool down)
{
    if (ValidVk(static_cast<int>(vk))) {
        const UINT generic = platform::GenericVirtualKey(vk);
        if (down && !s.keyDown[vk])
            s.keyTapMs[vk] = s.keyTapMs[generic] = TapClockMs(); // unread until GetAsyncKeyState
    }
    SetInTable(s.keyDown, vk, down);
}

void SyncKeyState(State& s, const MSG& msg)
{
    switch (msg.message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
        SetInTable(s.syncDown, SidedVirtualKey(msg), true, &s.keyToggled);
        break;
    case WM_KEYUP: case WM_SYSKEYUP:
        SetInTable(s.syncDown, SidedVirtualKey(msg), false);
        break;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: SetInTable(s.syncDown, VK_LBUTTON, true); break;
    case WM_LBUTTONUP: SetInTable(s.syncDown, VK_LBUTTON, false); break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: SetInTable(s.syncDown, VK_RBUTTON, true); break;
    case WM_RBUTTONUP: SetInTable(s.syncDown, VK_RBUTTON, false); break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: SetInTable(s.syncDown, VK_MBUTTON, true); break;
    case WM_MBUTTONUP: SetInTable(s.syncDown, VK_MBUTTON, false); break;
    default: break;
    }
}

} // namespace user

} // namespace platform

SHORT GetAsyncKeyState(int vk)
{
    if (!ValidVk(vk))
        return 0;
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    // A key pressed and released between two reads still reads as down once, so a quick tap
    // reaches a game that looks at its keys once a frame; a tap nobody read soon is forgotten.
    uint64_t& tapped = s.keyTapMs[vk];
    const bool recentTap = tapped != 0 && TapClockMs() - tapped <= kTapMemoryMs;
    tapped = 0;
    return s.keyDown[vk] || recentTap ? static_cast<SHORT>(0x8000) : 0;
}

SHORT GetKeyState(int vk)
{
    if (!ValidVk(vk))
        return 0;
    auto& s = platform::user::Get();
    std::lock_guard guard(s.lock);
    int value = (s.syncDown[vk] ? 0x8000 : 0) | (s.keyToggled[vk] ? 1 : 0);
    return static_cast<SHORT>(value);
}
