// Input injected as SDL events travels through PeekMessageW and DispatchMessageW into a window
// procedure with Windows' message packing.
#include "TestWindow.h"

#include <win32/SdlBridge.h>
#include <win32/TestInput.h>

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

using testsupport::kInputMessages;
using testsupport::Recorded;
using testsupport::TestWindow;

namespace {

LPARAM Lp(uint32_t bits) { return static_cast<LPARAM>(static_cast<int32_t>(bits)); }

// The client area of the fixture's window starts after the dialog frame and the caption.
constexpr LONG kClientLeft = 3;
constexpr LONG kClientTop = 22;

struct PackingCase {
    const char* name;
    std::function<void(HWND)> inject;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

void PrintTo(const PackingCase& c, std::ostream* os) { *os << c.name; }

class PackingTest : public ::testing::TestWithParam<PackingCase> {};

// The last input message the procedure received is the one the case describes.
TEST_P(PackingTest, LastInputMessageIsPacked)
{
    TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    GetParam().inject(window.hwnd);
    TestWindow::Pump();
    const auto input = TestWindow::Messages(kInputMessages);
    ASSERT_FALSE(input.empty());
    const Recorded& last = input.back();
    EXPECT_EQ(last.message, GetParam().message);
    EXPECT_EQ(last.wParam, GetParam().wParam);
    EXPECT_EQ(last.lParam, GetParam().lParam);
    EXPECT_EQ(last.hwnd, window.hwnd);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, PackingTest,
    ::testing::Values(
        PackingCase{"KeyDown", [](HWND h) { platform::InjectKey(h, 'A', true); }, WM_KEYDOWN, 'A', Lp(0x001E0001)},
        PackingCase{"KeyUp",
                    [](HWND h) {
                        platform::InjectKey(h, 'A', true);
                        platform::InjectKey(h, 'A', false);
                    },
                    WM_KEYUP, 'A', Lp(0xC01E0001)},
        PackingCase{"AutoRepeat",
                    [](HWND h) {
                        platform::InjectKey(h, 'A', true);
                        platform::InjectKey(h, 'A', true, true);
                    },
                    WM_KEYDOWN, 'A', Lp(0x401E0001)},
        PackingCase{"ExtendedKey", [](HWND h) { platform::InjectKey(h, VK_LEFT, true); }, WM_KEYDOWN, VK_LEFT,
                    Lp(0x014B0001)},
        PackingCase{"ModifierIsGeneric", [](HWND h) { platform::InjectKey(h, VK_LSHIFT, true); }, WM_KEYDOWN,
                    VK_SHIFT, Lp(0x002A0001)},
        PackingCase{"AltMakesSystemKey",
                    [](HWND h) {
                        platform::InjectKey(h, VK_MENU, true);
                        platform::InjectKey(h, VK_RETURN, true);
                    },
                    WM_SYSKEYDOWN, VK_RETURN, Lp(0x201C0001)},
        PackingCase{"Character", [](HWND h) { platform::InjectText(h, "a"); }, WM_CHAR, L'a', 1},
        PackingCase{"WideCharacter", [](HWND h) { platform::InjectText(h, "한"); }, WM_CHAR, 0xD55C, 1},
        PackingCase{"MouseMove", [](HWND h) { platform::InjectMouseMove(h, 100, 200); }, WM_MOUSEMOVE, 0,
                    MAKELPARAM(100, 200)},
        PackingCase{"LeftButtonDown", [](HWND h) { platform::InjectMouseButton(h, 1, true, 10, 20); },
                    WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20)},
        PackingCase{"LeftButtonUp",
                    [](HWND h) {
                        platform::InjectMouseButton(h, 1, true, 10, 20);
                        platform::InjectMouseButton(h, 1, false, 11, 21);
                    },
                    WM_LBUTTONUP, 0, MAKELPARAM(11, 21)},
        PackingCase{"RightButtonDown", [](HWND h) { platform::InjectMouseButton(h, 3, true, 1023, 767); },
                    WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(1023, 767)},
        PackingCase{"DoubleClickWithoutClassStyle", [](HWND h) { platform::InjectMouseButton(h, 1, true, 5, 5, 2); },
                    WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)},
        PackingCase{"WheelAwayInScreenCoordinates",
                    [](HWND h) {
                        platform::InjectMouseMove(h, 100, 200);
                        platform::InjectWheel(h, 1);
                    },
                    WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(kClientLeft + 100, kClientTop + 200)},
        PackingCase{"WheelTowardsPlayer",
                    [](HWND h) {
                        platform::InjectMouseMove(h, 7, 8);
                        platform::InjectWheel(h, -1);
                    },
                    WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)),
                    MAKELPARAM(kClientLeft + 7, kClientTop + 8)}),
    [](const ::testing::TestParamInfo<PackingCase>& info) { return std::string(info.param.name); });

TEST(MessageLoopTest, DoubleClickNeedsTheClassStyle)
{
    TestWindow window(CS_DBLCLKS);
    ShowWindow(window.hwnd, SW_SHOW);
    platform::InjectMouseButton(window.hwnd, 1, true, 5, 5, 2);
    platform::InjectMouseButton(window.hwnd, 1, false, 5, 5, 2);
    TestWindow::Pump();
    ASSERT_EQ(TestWindow::Messages({WM_LBUTTONDBLCLK}).size(), 1u);
}

TEST(MessageLoopTest, TranslateMessageQueuesControlCharacterBeforeTheKeyUp)
{
    TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    platform::InjectKey(window.hwnd, VK_RETURN, true);
    platform::InjectKey(window.hwnd, VK_RETURN, false);
    platform::InjectKey(window.hwnd, 'A', true);
    platform::InjectKey(window.hwnd, 'A', false);
    TestWindow::Pump();
    const auto input = TestWindow::Messages(kInputMessages);
    ASSERT_EQ(input.size(), 5u);
    EXPECT_EQ(input[0].message, WM_KEYDOWN);
    EXPECT_EQ(input[1].message, WM_CHAR);
    EXPECT_EQ(input[1].wParam, 13u);
    EXPECT_EQ(input[2].message, WM_KEYUP);
    // A letter's character comes from text input, not from the key.
    EXPECT_EQ(input[3].message, WM_KEYDOWN);
    EXPECT_EQ(input[4].message, WM_KEYUP);
}

TEST(MessageLoopTest, KeyStateFollowsTheKeys)
{
    TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    platform::InjectKey(window.hwnd, VK_RCONTROL, true);
    TestWindow::Pump();
    EXPECT_TRUE(GetAsyncKeyState(VK_RCONTROL) & 0x8000);
    EXPECT_TRUE(GetAsyncKeyState(VK_CONTROL) & 0x8000);
    EXPECT_FALSE(GetAsyncKeyState(VK_LCONTROL) & 0x8000);
    platform::InjectKey(window.hwnd, VK_RCONTROL, false);
    TestWindow::Pump();
    EXPECT_FALSE(GetAsyncKeyState(VK_CONTROL) & 0x8000);
}

struct AcceleratorCase {
    const char* name;
    UINT vk;
    bool alt;
    bool ctrl;
    bool translated;
    WORD command;
};

class AcceleratorTest : public ::testing::TestWithParam<AcceleratorCase> {};

TEST_P(AcceleratorTest, TranslatesAltCombinations)
{
    const AcceleratorCase& c = GetParam();
    TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    // The game handles its commands itself, so Alt+F4 does not also close through the default.
    TestWindow::OnMessage() = [](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_COMMAND)
            return 0;
        return std::nullopt;
    };
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(129));
    ASSERT_NE(table, nullptr);
    if (c.ctrl)
        platform::InjectKey(window.hwnd, VK_CONTROL, true);
    if (c.alt)
        platform::InjectKey(window.hwnd, VK_MENU, true);
    platform::InjectKey(window.hwnd, c.vk, true);
    platform::InjectKey(window.hwnd, c.vk, false);
    if (c.alt)
        platform::InjectKey(window.hwnd, VK_MENU, false);
    if (c.ctrl)
        platform::InjectKey(window.hwnd, VK_CONTROL, false);
    TestWindow::Pump(window.hwnd, table);
    const auto commands = TestWindow::Messages({WM_COMMAND});
    if (!c.translated) {
        EXPECT_TRUE(commands.empty());
        return;
    }
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(c.command, 1));
    // The translated key down never reaches the procedure.
    for (const Recorded& r : TestWindow::Messages({WM_SYSKEYDOWN, WM_KEYDOWN}))
        EXPECT_NE(r.wParam, c.vk);
}

INSTANTIATE_TEST_SUITE_P(Keys, AcceleratorTest,
                         ::testing::Values(AcceleratorCase{"AltEnter", VK_RETURN, true, false, true, 0x8003},
                                           AcceleratorCase{"AltF4", VK_F4, true, false, true, 0x9C42},
                                           AcceleratorCase{"EnterAlone", VK_RETURN, false, false, false, 0},
                                           AcceleratorCase{"CtrlAltEnter", VK_RETURN, true, true, false, 0},
                                           AcceleratorCase{"AltOtherKey", 'A', true, false, false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MessageLoopTest, AltAloneAsksForTheSystemMenuOnce)
{
    TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    platform::InjectKey(window.hwnd, VK_MENU, true);
    platform::InjectKey(window.hwnd, VK_MENU, false);
    // Alt used with another key is not a menu request.
    platform::InjectKey(window.hwnd, VK_MENU, true);
    platform::InjectKey(window.hwnd, 'X', true);
    platform::InjectKey(window.hwnd, 'X', false);
    platform::InjectKey(window.hwnd, VK_MENU, false);
    TestWindow::Pump();
    const auto menus = TestWindow::Messages({WM_SYSCOMMAND});
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0].wParam, SC_KEYMENU);
    const auto altUps = TestWindow::Messages({WM_SYSKEYUP, WM_KEYUP});
    ASSERT_FALSE(altUps.empty());
    EXPECT_EQ(altUps.back().message, WM_KEYUP);
    EXPECT_EQ(altUps.back().wParam, VK_MENU);
}

TEST(MessageLoopTest, CloseDestroysTheWindowAndQuitCarriesTheExitCode)
{
    TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    TestWindow::OnMessage() = [](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_DESTROY)
            PostQuitMessage(7);
        return std::nullopt;
    };
    platform::InjectClose(window.hwnd);
    const std::optional<int> quit = TestWindow::Pump();
    ASSERT_TRUE(quit.has_value());
    EXPECT_EQ(*quit, 7);
    EXPECT_FALSE(IsWindow(window.hwnd));
    EXPECT_EQ(platform::SdlWindowOf(window.hwnd), nullptr);
    const auto order = TestWindow::Messages({WM_CLOSE, WM_KILLFOCUS, WM_DESTROY});
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[0].message, WM_CLOSE);
    EXPECT_EQ(order[1].message, WM_KILLFOCUS);
    EXPECT_EQ(order[2].message, WM_DESTROY);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST(MessageLoopTest, QuitComesAfterThePostedMessages)
{
    PostMessageW(nullptr, WM_USER + 1, 0, 0);
    PostQuitMessage(3);
    PostMessageW(nullptr, WM_USER + 2, 0, 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 1);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(MessageLoopTest, PaintIsOfferedOncePerInvalidation)
{
    TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    MSG msg{};
    int paints = 0;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        paints += msg.message == WM_PAINT;
    EXPECT_EQ(paints, 1);
    EXPECT_TRUE(TestWindow::Messages({WM_PAINT}).empty());
}

TEST(MessageLoopTest, EventsForADestroyedWindowAreDropped)
{
    HWND stale = nullptr;
    {
        TestWindow window;
        ShowWindow(window.hwnd, SW_SHOW);
        stale = window.hwnd;
        platform::InjectKey(stale, 'A', true);
        platform::InjectMouseButton(stale, 1, true, 3, 3);
        platform::InjectTextEditing(stale, "가", 0, 1);
        platform::InjectFocus(stale, false);
        platform::InjectClose(stale);
        PostMessageW(stale, WM_USER, 0, 0);
        DestroyWindow(stale);
        TestWindow::Log().clear();
        TestWindow::Pump();
        EXPECT_TRUE(TestWindow::Log().empty());
    }
    const MSG msg{stale, WM_KEYDOWN, 'A', 0, 0, {}};
    EXPECT_EQ(DispatchMessageW(&msg), 0);
    EXPECT_FALSE(PostMessageW(stale, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageW(stale, WM_USER, 0, 0), 0);
    EXPECT_FALSE(DestroyWindow(stale));
    RECT rect{};
    EXPECT_FALSE(GetClientRect(stale, &rect));
}

TEST(MessageLoopTest, UnknownKeysAndMessagesGoToTheDefaultProcedure)
{
    TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    EXPECT_EQ(SendMessageW(window.hwnd, 0x7FFF, 1, 2), 0);
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = SDL_GetWindowID(platform::SdlWindowOf(window.hwnd));
    e.key.keysym.scancode = SDL_SCANCODE_MUTE;
    SDL_PushEvent(&e);
    TestWindow::Pump();
    const auto keys = TestWindow::Messages({WM_KEYDOWN});
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].wParam, 0xFFu);
    EXPECT_TRUE(IsWindow(window.hwnd));
}

} // namespace
