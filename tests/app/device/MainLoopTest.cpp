#include "engine/EngineFakes.h"

#include "app/MainWindow.h"
#include "engine/SceneManager.h"

#include <win32/Cursor.h>
#include <win32/Focus.h>
#include <win32/TestInput.h>
#include <win32/VirtualKeys.h>
#include <win32/Window.h>

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

// A game window made as the entry point makes it, with the loop's idle turns counted.
class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::SetDesktopSizeForTesting(1920, 1080);
        HINSTANCE instance = GetModuleHandleW(nullptr);
        RegisterMainWindowClass(instance);
        RECT rect = ComputeMainWindowRect();
        g_hWnd = CreateWindowExW(0, kMainWindowClass, L"Quibly", kMainWindowStyle, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
        ASSERT_NE(g_hWnd, nullptr);
        ShowWindow(g_hWnd, SW_SHOW);
        SetMainLoopHooks({{}, {}, [this] {
                              ++idleTurns;
                              // Ends the loop once the queue has been worked through.
                              if (idleTurns == quitAfterTurns)
                                  PostQuitMessage(7);
                          }});
    }
    void TearDown() override
    {
        SetMainLoopHooks({});
        if (IsWindow(g_hWnd))
            DestroyWindow(g_hWnd);
        g_hWnd = nullptr;
        // The destruction posts a quit message of its own: leave an empty queue behind.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        platform::SetDesktopSizeForTesting(0, 0);
    }

    int idleTurns = 0;
    int quitAfterTurns = 1;
    RecordingRenderBackend renderer;
};

TEST_F(MainLoopTest, WindowIsCentredWithAClientAreaOf1024By768)
{
    RECT outer{};
    GetWindowRect(g_hWnd, &outer);
    EXPECT_EQ(outer.left, 448);
    EXPECT_EQ(outer.top, 156);
    RECT client{};
    GetClientRect(g_hWnd, &client);
    EXPECT_EQ(client.right - client.left, 1024);
    EXPECT_EQ(client.bottom - client.top, 768);
}

TEST_F(MainLoopTest, PaintIsRemovedWithoutDispatchAndAFrameRunsInstead)
{
    PostMessageW(g_hWnd, WM_PAINT, 0, 0);
    quitAfterTurns = 2;
    EXPECT_EQ(RunMainLoop(nullptr), 7);
    EXPECT_EQ(idleTurns, 2);
}

TEST_F(MainLoopTest, AltEnterTogglesFullScreenAndAltF4Quits)
{
    HACCEL accelerators = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(129));
    platform::InjectKey(g_hWnd, VK_MENU, true);
    platform::InjectKey(g_hWnd, VK_RETURN, true);
    platform::InjectKey(g_hWnd, VK_RETURN, false);
    platform::InjectKey(g_hWnd, VK_F4, true);
    quitAfterTurns = 1000;
    EXPECT_EQ(RunMainLoop(accelerators), 0);
    EXPECT_LT(idleTurns, 1000); // ended by Alt+F4, not by the turn counter
    EXPECT_EQ(std::count(renderer.calls.begin(), renderer.calls.end(), "ToggleFullScreen"), 1);
}

TEST_F(MainLoopTest, DestroyingTheWindowEndsTheLoop)
{
    DestroyWindow(g_hWnd);
    quitAfterTurns = 1000;
    EXPECT_EQ(RunMainLoop(nullptr), 0);
}

TEST_F(MainLoopTest, FocusHidesTheSystemCursorAndLosingItShowsItAgain)
{
    int before = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    MainWndProc(g_hWnd, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(ShowCursor(TRUE) - 1, before - 1);
    ShowCursor(FALSE);
    MainWndProc(g_hWnd, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(ShowCursor(TRUE) - 1, before);
    ShowCursor(FALSE);
}

} // namespace
