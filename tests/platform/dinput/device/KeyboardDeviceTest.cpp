// The DirectInput keyboard reads the keys that the message pump has seen: mapped key changes
// become buffered records with their actions' values.
#include "../../win32/device/TestWindow.h"

#include <dinput/DInput.h>
#include <win32/TestInput.h>

#include <gtest/gtest.h>

namespace {

BOOL Keep(const DIDEVICEINSTANCEW*, LPDIRECTINPUTDEVICE8W device, DWORD, DWORD, LPVOID context)
{
    device->AddRef();
    *static_cast<IDirectInputDevice8W**>(context) = device;
    return DIENUM_CONTINUE;
}

TEST(KeyboardDeviceTest, MappedKeyChangesBecomeRecords)
{
    testsupport::TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    LPVOID out = nullptr;
    ASSERT_EQ(DirectInput8Create(GetModuleHandleW(nullptr), 0x0800, IID_IDirectInput8W, &out, nullptr), DI_OK);
    auto* input = static_cast<IDirectInput8W*>(out);
    DIACTIONW actions[] = {{4, DIKEYBOARD_NUMPADENTER, 0, L"special", {}, 0, 0},
                           {8, DIKEYBOARD_RETURN, 0, L"enter", {}, 0, 0}};
    DIACTIONFORMATW format{};
    format.dwNumActions = 2;
    format.rgoAction = actions;
    format.dwBufferSize = 16;
    IDirectInputDevice8W* keyboard = nullptr;
    ASSERT_EQ(input->EnumDevicesBySemantics(nullptr, &format, Keep, &keyboard, 0), DI_OK);
    ASSERT_NE(keyboard, nullptr);
    keyboard->BuildActionMap(&format, nullptr, 0);
    keyboard->SetActionMap(&format, nullptr, 0);
    ASSERT_EQ(keyboard->Acquire(), DI_OK);

    platform::InjectKey(window.hwnd, VK_RETURN, true);   // the main Enter, not the keypad's
    platform::InjectKey(window.hwnd, 'A', true);         // not mapped
    testsupport::TestWindow::Pump();
    ASSERT_EQ(keyboard->Poll(), DI_OK);
    BYTE state[256]{};
    ASSERT_EQ(keyboard->GetDeviceState(sizeof(state), state), DI_OK);
    EXPECT_EQ(state[DIK_RETURN], 0x80);
    EXPECT_EQ(state[DIK_NUMPADENTER], 0);
    platform::InjectKey(window.hwnd, VK_RETURN, false);
    testsupport::TestWindow::Pump();
    ASSERT_EQ(keyboard->Poll(), DI_OK);

    DIDEVICEOBJECTDATA records[10]{};
    DWORD count = 10;
    ASSERT_EQ(keyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), records, &count, 0), DI_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(records[0].uAppData, 8u);
    EXPECT_EQ(records[0].dwOfs, DIK_RETURN);
    EXPECT_EQ(records[0].dwData, 0x80u);
    EXPECT_EQ(records[1].dwData, 0u);
    EXPECT_LT(records[0].dwSequence, records[1].dwSequence);
    count = 10;
    keyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), records, &count, 0);
    EXPECT_EQ(count, 0u);
    keyboard->Release();
    input->Release();
}

} // namespace
