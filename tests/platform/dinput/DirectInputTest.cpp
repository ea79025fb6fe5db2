// DirectInput set-up as the game's input layer does it: creation, enumeration by semantics,
// action maps and the buffered data's preconditions.
#include <dinput/DInput.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<DIACTIONW> GameActions()
{
    return {{1, DIKEYBOARD_SPACE, 0, L"left", {}, 0, 0},    {2, DIKEYBOARD_NUMPAD0, 0, L"right", {}, 0, 0},
            {4, DIKEYBOARD_NUMPADENTER, 0, L"special", {}, 0, 0}, {1, DIKEYBOARD_LSHIFT, 0, L"left", {}, 0, 0},
            {2, DIKEYBOARD_RSHIFT, 0, L"right", {}, 0, 0},   {8, DIKEYBOARD_RETURN, 0, L"enter", {}, 0, 0}};
}

DIACTIONFORMATW FormatOf(std::vector<DIACTIONW>& actions)
{
    DIACTIONFORMATW format{};
    format.dwSize = 588;
    format.dwActionSize = 40;
    format.dwDataSize = 24;
    format.dwNumActions = static_cast<DWORD>(actions.size());
    format.rgoAction = actions.data();
    format.dwGenre = 0x05000000;
    format.dwBufferSize = 16;
    format.lAxisMin = -100;
    format.lAxisMax = 100;
    return format;
}

struct Found {
    std::vector<IDirectInputDevice8W*> devices;
};

BOOL KeepDevice(const DIDEVICEINSTANCEW* /*instance*/, LPDIRECTINPUTDEVICE8W device, DWORD, DWORD, LPVOID context)
{
    device->AddRef();
    static_cast<Found*>(context)->devices.push_back(device);
    return DIENUM_CONTINUE;
}

TEST(DirectInputTest, CreationChecksVersionAndInterface)
{
    LPVOID out = reinterpret_cast<LPVOID>(1);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0700, IID_IDirectInput8W, &out, nullptr), DIERR_OLDDIRECTINPUTVERSION);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0800, GUID_SysKeyboard, &out, nullptr), E_NOINTERFACE);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0800, IID_IDirectInput8W, nullptr, nullptr), E_POINTER);
    ASSERT_EQ(DirectInput8Create(nullptr, 0x0800, IID_IDirectInput8W, &out, nullptr), DI_OK);
    static_cast<IDirectInput8W*>(out)->Release();
}

TEST(DirectInputTest, KeyboardIsOfferedOnlyWithoutForceFeedback)
{
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    LPVOID out = nullptr;
    ASSERT_EQ(DirectInput8Create(nullptr, 0x0800, IID_IDirectInput8W, &out, nullptr), DI_OK);
    auto* input = static_cast<IDirectInput8W*>(out);
    auto actions = GameActions();
    DIACTIONFORMATW format = FormatOf(actions);
    Found found;
    EXPECT_EQ(input->EnumDevicesBySemantics(nullptr, &format, KeepDevice, &found, DIEDBSFL_FORCEFEEDBACK), DI_OK);
    EXPECT_TRUE(found.devices.empty());
    EXPECT_EQ(input->EnumDevicesBySemantics(nullptr, &format, KeepDevice, &found, 0), DI_OK);
    ASSERT_EQ(found.devices.size(), 1u);

    IDirectInputDevice8W* keyboard = found.devices[0];
    EXPECT_EQ(keyboard->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    DIPROPDWORD deadZone{{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, 500};
    EXPECT_EQ(keyboard->SetProperty(DIPROP_DEADZONE, &deadZone.diph), DI_OK);
    EXPECT_EQ(keyboard->BuildActionMap(&format, nullptr, DIDBAM_INITIALIZE), DI_OK);
    for (const DIACTIONW& action : actions) {
        EXPECT_EQ(action.dwHow, DIAH_DEFAULT);
        EXPECT_EQ(action.dwObjID, action.dwSemantic & 0xFF);
    }
    EXPECT_EQ(keyboard->SetActionMap(&format, nullptr, DIDSAM_FORCESAVE), DI_OK);

    DIDEVICEOBJECTDATA records[10];
    DWORD count = 10;
    EXPECT_EQ(keyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), records, &count, 0), DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->Poll(), DIERR_NOTACQUIRED);
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->GetDeviceData(16, records, &count, 0), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->Poll(), DI_OK);
    EXPECT_EQ(keyboard->GetDeviceData(20, records, &count, 0), DI_OK);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(keyboard->Unacquire(), DI_OK);
    EXPECT_EQ(keyboard->Release(), 0u);
    input->Release();
    CoUninitialize();
    CoUninitialize();
}

TEST(DirectInputTest, NoKeyboardSemanticsMeansNoDevice)
{
    LPVOID out = nullptr;
    ASSERT_EQ(DirectInput8Create(nullptr, 0x0800, IID_IDirectInput8W, &out, nullptr), DI_OK);
    auto* input = static_cast<IDirectInput8W*>(out);
    std::vector<DIACTIONW> actions{{1, 0x02000201 /* a driving axis */, 0, L"steer", {}, 0, 0}};
    DIACTIONFORMATW format = FormatOf(actions);
    Found found;
    EXPECT_EQ(input->EnumDevicesBySemantics(nullptr, &format, KeepDevice, &found, 0), DI_OK);
    EXPECT_TRUE(found.devices.empty());
    EXPECT_EQ(input->EnumDevicesBySemantics(nullptr, nullptr, KeepDevice, &found, 0), DIERR_INVALIDPARAM);
    input->Release();
}

} // namespace
