#include "EngineFakes.h"

#include "engine/Getters.h"
#include "engine/ActionInputManager.h"
#include "engine/InputKeyboard.h"
#include "engine/InputSystem.h"
#include "engine/WindowMouse.h"

#include <gtest/gtest.h>

using namespace enginetest;
using namespace mouseflag;

namespace {

constexpr int kKey = 'E';

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        keyboard.SetWindow(FakeWindow());
        // Two frames without queries forget whatever earlier tests pressed.
        keyboard.Update();
        keyboard.Update();
    }
    void TearDown() override { keyboard.SetWindow(nullptr); }

    FakeInputPlatform input;
    CInputKeyboard& keyboard = singleton<CInputKeyboard>::GetSingleton();
};

TEST_F(KeyboardTest, HeldKeyIsPressedOnceAndAgainAfterAFrameWithoutQuery)
{
    input.keys = {kKey};
    std::vector<bool> seen;
    for (int frame = 0; frame < 10; ++frame) {
        seen.push_back(keyboard.IsKeyPressed(kKey));
        EXPECT_FALSE(keyboard.IsKeyPressed(kKey)) << "second query in frame " << frame;
        EXPECT_TRUE(keyboard.IsKeyDown(kKey));
        keyboard.Update();
    }
    EXPECT_EQ(seen, (std::vector<bool>{true, false, false, false, false, false, false, false, false, false}));

    keyboard.Update(); // a frame without a query
    EXPECT_TRUE(keyboard.IsKeyPressed(kKey));
}

TEST_F(KeyboardTest, PressesNeedTheActiveFocusedWindow)
{
    input.keys = {kKey};
    input.active = nullptr;
    EXPECT_FALSE(keyboard.IsKeyPressed(kKey));
    EXPECT_TRUE(keyboard.IsKeyDown(kKey)); // held keys only need the focus
    keyboard.Update();

    // Activated while still held: reported, because no query saw it down before.
    input.active = FakeWindow();
    EXPECT_TRUE(keyboard.IsKeyPressed(kKey));
    keyboard.Update();

    input.focus = nullptr;
    EXPECT_FALSE(keyboard.IsKeyPressed(kKey));
    EXPECT_FALSE(keyboard.IsKeyDown(kKey));
}

TEST_F(KeyboardTest, BeforeTheWindowIsKnownPressesNeedNoActiveWindow)
{
    keyboard.SetWindow(nullptr);
    input.keys = {kKey};
    input.focus = nullptr;
    EXPECT_FALSE(keyboard.IsKeyPressed(kKey));
    input.active = nullptr;
    EXPECT_TRUE(keyboard.IsKeyPressed(kKey));
    EXPECT_TRUE(keyboard.IsKeyDown(kKey));
}

class MouseTest : public ::testing::Test {
protected:
    MouseTest() { mouse.SetWindow(FakeWindow()); }

    void Message(UINT msg, int x = 10, int y = 10, WPARAM wParam = 0)
    {
        EXPECT_EQ(mouse.MsgProc(msg, wParam, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y))), 0);
    }
    DWORD Buttons() const { return mouse.m_dwFlags & ~kMoved; }

    FakeInputPlatform input;
    CWindowMouse mouse;
};

// A fast click (or a touchpad tap) whose press and release both arrive between two frames: the
// first frame sees the press, so boards that react to presses take the click, the next frame
// the release, and the buttons then settle up.
TEST_F(MouseTest, ClickBetweenFramesShowsThePressThenTheRelease)
{
    struct Case {
        UINT down, up;
        DWORD pressed, released;
    };
    for (Case c : {Case{WM_LBUTTONDOWN, WM_LBUTTONUP, kLeftPressed, kLeftReleased},
                   Case{WM_RBUTTONDOWN, WM_RBUTTONUP, kRightPressed, kRightReleased},
                   Case{WM_MBUTTONDOWN, WM_MBUTTONUP, kMiddlePressed, kMiddleReleased}}) {
        CWindowMouse fresh;
        fresh.SetWindow(FakeWindow());
        EXPECT_EQ(fresh.m_dwFlags, 0x10Au);
        fresh.MsgProc(c.down, 0, MAKELPARAM(10, 10));
        EXPECT_EQ(input.captured, FakeWindow());
        fresh.MsgProc(c.up, 0, MAKELPARAM(10, 10));
        EXPECT_EQ(input.captured, nullptr);
        fresh.Update(0.016f);
        EXPECT_TRUE(fresh.m_dwFlags & c.pressed) << c.down;
        EXPECT_FALSE(fresh.m_dwFlags & c.released) << c.down;
        fresh.Update(0.016f);
        EXPECT_TRUE(fresh.m_dwFlags & c.released) << c.down;
        EXPECT_FALSE(fresh.m_dwFlags & c.pressed) << c.down;
        fresh.Update(0.016f);
        fresh.Update(0.016f);
        EXPECT_EQ(fresh.m_dwFlags & ~kMoved, 0x10Au) << c.down;
    }
}

// A release after the frame has seen the press replaces it at once, as before.
TEST_F(MouseTest, AReleaseAfterTheFrameSawThePressShowsAtOnce)
{
    Message(WM_LBUTTONDOWN);
    mouse.Update(0.016f);
    EXPECT_EQ(Buttons(), kLeftPressed | kRightUp | kMiddleUp);
    Message(WM_LBUTTONUP);
    EXPECT_EQ(Buttons(), kLeftReleased | kRightUp | kMiddleUp);
    mouse.Update(0.016f);
    EXPECT_EQ(Buttons(), kLeftReleased | kRightUp | kMiddleUp);
    mouse.Update(0.016f);
    EXPECT_EQ(Buttons(), 0x10Au);
}

TEST_F(MouseTest, PressSettlesIntoDownInTheSecondUpdate)
{
    struct Step {
        UINT msg;
        DWORD afterFirstUpdate;
        DWORD afterSecondUpdate;
    };
    for (Step s : {Step{WM_LBUTTONDOWN, kLeftPressed, kLeftDown}, Step{WM_RBUTTONDOWN, kRightPressed, kRightDown},
                   Step{WM_MBUTTONDBLCLK, kMiddlePressed, kMiddleDown}}) {
        CWindowMouse fresh;
        fresh.SetWindow(FakeWindow());
        fresh.MsgProc(s.msg, 0, MAKELPARAM(5, 5));
        fresh.Update(0.0f);
        EXPECT_TRUE(fresh.m_dwFlags & s.afterFirstUpdate) << s.msg;
        fresh.Update(0.0f);
        EXPECT_TRUE(fresh.m_dwFlags & s.afterSecondUpdate) << s.msg;
        EXPECT_FALSE(fresh.m_dwFlags & s.afterFirstUpdate) << s.msg;
    }
}

TEST_F(MouseTest, PressOutsideTheClientAreaChangesNothing)
{
    Message(WM_LBUTTONDOWN, -5, 10);
    Message(WM_RBUTTONDOWN, 1024, 10);
    EXPECT_EQ(mouse.m_dwFlags, 0x10Au);
}

TEST_F(MouseTest, LosingFocusLiftsEveryButton)
{
    Message(WM_LBUTTONDOWN);
    Message(WM_RBUTTONDOWN);
    mouse.Update(0.0f);
    mouse.Update(0.0f);
    EXPECT_EQ(Buttons(), kLeftDown | kRightDown | kMiddleUp);
    Message(WM_KILLFOCUS);
    EXPECT_EQ(Buttons(), kLeftUp | kRightUp | kMiddleUp);
    EXPECT_EQ(input.captured, nullptr);
}

TEST_F(MouseTest, WheelNotchLastsOneFrame)
{
    Message(WM_MOUSEWHEEL, 0, 0, MAKEWPARAM(0, static_cast<WORD>(-120)));
    mouse.Update(0.0f);
    EXPECT_EQ(mouse.m_nWheel, -2);
    mouse.Update(0.0f);
    EXPECT_EQ(mouse.m_nWheel, 0);
}

TEST_F(MouseTest, UpdateFollowsTheCursor)
{
    input.cursor = {100, 50};
    mouse.Update(0.0f);
    EXPECT_EQ(mouse.m_dx, 100);
    EXPECT_TRUE(mouse.m_dwFlags & kMoved);
    mouse.Update(0.0f);
    EXPECT_EQ(mouse.m_x, 100);
    EXPECT_EQ(mouse.m_y, 50);
    EXPECT_EQ(mouse.m_dx, 0);
    EXPECT_FALSE(mouse.m_dwFlags & kMoved);
}

TEST(InputSystemTest, InitHandsTheWindowToTheKeyboardAndRoutesMessagesToTheMouse)
{
    FakeInputPlatform input;
    InputSystem* system = GetInputManager();
    EXPECT_EQ(system, GetInputManager());
    system->Init(FakeWindow());
    EXPECT_EQ(singleton<CInputKeyboard>::GetSingleton().GetWindow(), FakeWindow());
    EXPECT_EQ(ActionInputManager::Instance().GetFormat().dwNumActions, 6u);
    ASSERT_NE(system->GetMouse(), nullptr);

    EXPECT_FALSE(system->MsgProc(WM_LBUTTONDOWN, 0, MAKELPARAM(3, 3)));
    EXPECT_EQ(system->Update(0.016f), 1);
    EXPECT_TRUE(system->GetMouse()->m_dwFlags & kLeftPressed);
    singleton<CInputKeyboard>::GetSingleton().SetWindow(nullptr);
}

} // namespace
