// Virtual keys, scan codes, key data packing and the key state table.
#include <win32/Keyboard.h>

#include <SDL_scancode.h>
#include <gtest/gtest.h>

namespace {

struct ScancodeCase {
    SDL_Scancode scancode;
    UINT vk;
    UINT scan;
    bool extended;
};

class ScancodeTest : public ::testing::TestWithParam<ScancodeCase> {};

TEST_P(ScancodeTest, MapsToVirtualKeyAndScanCode)
{
    const platform::KeyCode key = platform::KeyCodeOfScancode(GetParam().scancode);
    EXPECT_EQ(key.vk, GetParam().vk);
    EXPECT_EQ(key.scan, GetParam().scan);
    EXPECT_EQ(key.extended, GetParam().extended);
}

INSTANTIATE_TEST_SUITE_P(Keys, ScancodeTest,
                         ::testing::Values(ScancodeCase{SDL_SCANCODE_A, 'A', 0x1E, false},
                                           ScancodeCase{SDL_SCANCODE_R, 'R', 0x13, false},
                                           ScancodeCase{SDL_SCANCODE_0, '0', 0x0B, false},
                                           ScancodeCase{SDL_SCANCODE_RETURN, VK_RETURN, 0x1C, false},
                                           ScancodeCase{SDL_SCANCODE_KP_ENTER, VK_RETURN, 0x1C, true},
                                           ScancodeCase{SDL_SCANCODE_F4, VK_F4, 0x3E, false},
                                           ScancodeCase{SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0x01, false},
                                           ScancodeCase{SDL_SCANCODE_LCTRL, VK_LCONTROL, 0x1D, false},
                                           ScancodeCase{SDL_SCANCODE_RCTRL, VK_RCONTROL, 0x1D, true},
                                           ScancodeCase{SDL_SCANCODE_RALT, VK_RMENU, 0x38, true},
                                           ScancodeCase{SDL_SCANCODE_DELETE, VK_DELETE, 0x53, true},
                                           ScancodeCase{SDL_SCANCODE_KP_0, VK_NUMPAD0, 0x52, false},
                                           ScancodeCase{SDL_SCANCODE_MUTE, 0, 0, false}));

TEST(KeyboardTest, ModifiersHaveGenericCodesAndLeftScancodes)
{
    EXPECT_EQ(platform::GenericVirtualKey(VK_RSHIFT), VK_SHIFT);
    EXPECT_EQ(platform::GenericVirtualKey(VK_LCONTROL), VK_CONTROL);
    EXPECT_EQ(platform::GenericVirtualKey(VK_RMENU), VK_MENU);
    EXPECT_EQ(platform::GenericVirtualKey('A'), static_cast<UINT>('A'));
    EXPECT_EQ(platform::ScancodeOfVirtualKey(VK_MENU), SDL_SCANCODE_LALT);
    EXPECT_EQ(platform::ScancodeOfVirtualKey(VK_RETURN), SDL_SCANCODE_RETURN);
    EXPECT_EQ(platform::ScancodeOfVirtualKey(0xE8), 0);
}

struct LParamCase {
    const char* name;
    platform::KeyCode key;
    bool alt, wasDown, released;
    uint32_t expected;
};

class KeyLParamTest : public ::testing::TestWithParam<LParamCase> {};

TEST_P(KeyLParamTest, PacksLikeWindows)
{
    const LParamCase& c = GetParam();
    const LPARAM lParam = platform::KeyMessageLParam(c.key, c.alt, c.wasDown, c.released);
    EXPECT_EQ(static_cast<uint32_t>(lParam), c.expected);
    // The value is the 32-bit key data: a released key reads negative, as on Windows.
    EXPECT_EQ(lParam < 0, c.released);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyLParamTest,
                         ::testing::Values(LParamCase{"Press", {'A', 0x1E, false}, false, false, false, 0x001E0001},
                                           LParamCase{"Repeat", {'A', 0x1E, false}, false, true, false, 0x401E0001},
                                           LParamCase{"Release", {'A', 0x1E, false}, false, true, true, 0xC01E0001},
                                           LParamCase{"Extended", {VK_LEFT, 0x4B, true}, false, false, false, 0x014B0001},
                                           LParamCase{"AltF4", {VK_F4, 0x3E, false}, true, false, false, 0x203E0001}),
                         [](const auto& info) { return std::string(info.param.name); });

// A key pressed and released before anyone looked (a tap shorter than a frame) reads as down once;
// a key already read while down, or released and read again, reads as up.
TEST(KeyboardTest, ATapBetweenTwoReadsIsSeenOnce)
{
    platform::ReleaseAllKeys();
    platform::SetKeyDown(VK_RIGHT, true);
    platform::SetKeyDown(VK_RIGHT, false);
    EXPECT_TRUE(GetAsyncKeyState(VK_RIGHT) & 0x8000);
    EXPECT_FALSE(GetAsyncKeyState(VK_RIGHT) & 0x8000);

    platform::SetKeyDown('E', true);
    EXPECT_TRUE(GetAsyncKeyState('E') & 0x8000);
    platform::SetKeyDown('E', false);
    EXPECT_FALSE(GetAsyncKeyState('E') & 0x8000);

    // A tap forgotten by a reset is not reported later.
    platform::SetKeyDown(VK_LEFT, true);
    platform::SetKeyDown(VK_LEFT, false);
    platform::ReleaseAllKeys();
    EXPECT_FALSE(GetAsyncKeyState(VK_LEFT) & 0x8000);
}

TEST(KeyboardTest, StateTableTracksSidesAndToggles)
{
    platform::ReleaseAllKeys();
    const SHORT toggledBefore = GetKeyState(VK_CAPITAL) & 1;
    platform::SetKeyDown(VK_LSHIFT, true);
    platform::SetKeyDown(VK_RSHIFT, true);
    platform::SetKeyDown(VK_LSHIFT, false);
    EXPECT_TRUE(GetAsyncKeyState(VK_SHIFT) & 0x8000);   // the right one is still down
    platform::SetKeyDown(VK_RSHIFT, false);
    EXPECT_FALSE(GetAsyncKeyState(VK_SHIFT) & 0x8000);

    platform::SetKeyDown(VK_CAPITAL, true);
    platform::SetKeyDown(VK_CAPITAL, true);   // held, not pressed again
    platform::SetKeyDown(VK_CAPITAL, false);
    EXPECT_NE(GetKeyState(VK_CAPITAL) & 1, toggledBefore);
    EXPECT_EQ(GetAsyncKeyState(-1), 0);
    EXPECT_EQ(GetAsyncKeyState(256), 0);
}

} // namespace
