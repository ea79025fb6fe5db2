// Keyboard accelerators: the program's one table (resource 129) and its translation into
// WM_COMMAND.
#include "win32/Debug.h"
#include "win32/Keyboard.h"
#include "win32/Messages.h"

#include <span>

namespace {

// Resource 129: Alt+Enter toggles full screen, Alt+F4 quits.
constexpr ACCEL kProgramTable[] = {
    {FVIRTKEY | FNOINVERT | FALT, VK_RETURN, 0x8003},
    {FVIRTKEY | FNOINVERT | FALT, VK_F4, 0x9C42},
};
constexpr uintptr_t kProgramTableId = 129;

std::span<const ACCEL> TableOf(HACCEL handle)
{
    if (handle == static_cast<const void*>(kProgramTable))
        return kProgramTable;
    return {};
}

// The modifiers as they were when the key message was taken from the queue.
bool Held(UINT vk) { return (GetKeyState(static_cast<int>(vk)) & 0x8000) != 0; }

bool ModifiersMatch(BYTE flags)
{
    return Held(VK_MENU) == ((flags & FALT) != 0) && Held(VK_CONTROL) == ((flags & FCONTROL) != 0) &&
           Held(VK_SHIFT) == ((flags & FSHIFT) != 0);
}

} // namespace

HACCEL LoadAcceleratorsW(HINSTANCE /*instance*/, LPCWSTR tableName)
{
    if (reinterpret_cast<uintptr_t>(tableName) != kProgramTableId) {
        platform::LogOnce("[platform] LoadAcceleratorsW: only accelerator table 129 exists");
        return nullptr;
    }
    return const_cast<ACCEL*>(kProgramTable);
}

int TranslateAcceleratorW(HWND hwnd, HACCEL table, const MSG* msg)
{
    if (!hwnd || !msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return 0;
    for (const ACCEL& entry : TableOf(table)) {
        if (!(entry.fVirt & FVIRTKEY) || entry.key != msg->wParam || !ModifiersMatch(entry.fVirt))
            continue;
        SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
        return 1;
    }
    return 0;
}
