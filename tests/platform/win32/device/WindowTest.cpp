// Windows over SDL: placement, styles and the full-screen toggle, focus, the pointer, capture,
// the cursor counter and the built-in list box.
#include "TestWindow.h"

#include "support/TempDir.h"

#include <dialogs/CommonDialogs.h>

#include <win32/SdlBridge.h>
#include <win32/TestInput.h>

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

using testsupport::TestWindow;

namespace {

class WindowTest : public ::testing::Test {
protected:
    void TearDown() override { platform::SetDesktopSizeForTesting(0, 0); }
};

TEST_F(WindowTest, GameWindowIsCentredWithA1024By768ClientArea)
{
    platform::SetDesktopSizeForTesting(1920, 1080);
    RECT desktop{};
    ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &desktop));
    const int x = (desktop.right - 1024) / 2;
    const int y = (desktop.bottom - 768) / 2;
    RECT rect{x, y, x + 1024, y + 768};
    ASSERT_TRUE(AdjustWindowRect(&rect, 0x80CA0000, FALSE));

    TestWindow window;
    ASSERT_TRUE(SetWindowPos(window.hwnd, HWND_TOP, x, y, rect.right - rect.left, rect.bottom - rect.top,
                             SWP_NOZORDER));
    RECT outer{}, client{};
    GetWindowRect(window.hwnd, &outer);
    GetClientRect(window.hwnd, &client);
    EXPECT_EQ(outer.left, 448);
    EXPECT_EQ(outer.top, 156);
    EXPECT_EQ(client.right, 1024);
    EXPECT_EQ(client.bottom, 768);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);

    SDL_Window* sdl = platform::SdlWindowOf(window.hwnd);
    ASSERT_NE(sdl, nullptr);
    EXPECT_TRUE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_OPENGL);
    EXPECT_TRUE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_HIDDEN);
    int w = 0, h = 0;
    SDL_GetWindowSize(sdl, &w, &h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
}

TEST_F(WindowTest, ShownWindowIsActiveAndFocusedWithoutADisplay)
{
    TestWindow window;
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_FALSE(ShowWindow(window.hwnd, SW_SHOW));
    EXPECT_FALSE(SDL_GetWindowFlags(platform::SdlWindowOf(window.hwnd)) & SDL_WINDOW_HIDDEN);
    EXPECT_EQ(GetActiveWindow(), window.hwnd);
    EXPECT_EQ(GetFocus(), window.hwnd);
    const auto focus = TestWindow::Messages({WM_ACTIVATE, WM_SETFOCUS});
    ASSERT_EQ(focus.size(), 2u);
    EXPECT_EQ(LOWORD(focus[0].wParam), WA_ACTIVE);
    EXPECT_EQ(focus[1].message, WM_SETFOCUS);
}

TEST_F(WindowTest, FocusEventsSendActivationAndFocusMessages)
{
    TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    TestWindow::Log().clear();
    platform::InjectFocus(window.hwnd, false);
    TestWindow::Pump();
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    auto lost = TestWindow::Messages({WM_ACTIVATE, WM_KILLFOCUS});
    ASSERT_EQ(lost.size(), 2u);
    EXPECT_EQ(LOWORD(lost[0].wParam), WA_INACTIVE);
    EXPECT_EQ(lost[1].message, WM_KILLFOCUS);

    TestWindow::Log().clear();
    platform::InjectFocus(window.hwnd, true);
    TestWindow::Pump();
    EXPECT_EQ(GetFocus(), window.hwnd);
    EXPECT_EQ(TestWindow::Messages({WM_SETFOCUS}).size(), 1u);
}

// The file chooser is another program: while it is up the game window loses the focus, and when
// it closes the keyboard must reach the game again without a click on the window.
TEST_F(WindowTest, AFileChooserHandsTheFocusBackToTheWindowThatOpenedIt)
{
    testsupport::TempDir bin;
    bin.Write("zenity", "#!/bin/sh\necho /tmp/chosen.pzl\nexit 0\n");
    std::filesystem::permissions(bin.Path() / "zenity", std::filesystem::perms::owner_all);
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (bin.Str() + ":" + oldPath).c_str(), 1);

    TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    TestWindow::Pump();
    wchar_t file[260] = {};
    OPENFILENAMEW dialog;
    dialog.lStructSize = 88;
    dialog.lpstrFile = file;
    dialog.nMaxFile = 260;
    dialog.hwndOwner = window.hwnd;
    // The chooser's window has taken the focus by the time it answers.
    platform::InjectFocus(window.hwnd, false);
    TestWindow::Pump();
    ASSERT_EQ(GetFocus(), nullptr);
    EXPECT_TRUE(GetOpenFileNameW(&dialog));
    EXPECT_EQ(std::wstring(file), L"/tmp/chosen.pzl");
    EXPECT_EQ(GetActiveWindow(), window.hwnd);
    EXPECT_EQ(GetFocus(), window.hwnd);
    setenv("PATH", oldPath.c_str(), 1);
}

TEST_F(WindowTest, FullScreenStyleCoversTheDesktopAndWindowedStyleComesBack)
{
    TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    SDL_Window* sdl = platform::SdlWindowOf(window.hwnd);
    RECT before{};
    GetWindowRect(window.hwnd, &before);

    SetWindowLongW(window.hwnd, GWL_STYLE, static_cast<LONG>(0x90000000));
    RECT full{0, 0, 1024, 768};
    AdjustWindowRect(&full, 0x90000000, FALSE);
    SetWindowPos(window.hwnd, HWND_TOP, 0, 0, full.right - full.left, full.bottom - full.top, SWP_SHOWWINDOW);
    EXPECT_TRUE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN_DESKTOP);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window.hwnd, GWL_STYLE)), 0x90000000u);
    RECT client{};
    GetClientRect(window.hwnd, &client);
    EXPECT_EQ(client.right, 1024);
    EXPECT_EQ(client.bottom, 768);

    SetWindowLongW(window.hwnd, GWL_STYLE, static_cast<LONG>(0x90CA0000));
    RECT windowed{before.left, before.top, before.left + 1024, before.top + 768};
    AdjustWindowRect(&windowed, 0x90CA0000, FALSE);
    SetWindowPos(window.hwnd, HWND_NOTOPMOST, before.left, before.top, windowed.right - windowed.left,
                 windowed.bottom - windowed.top, SWP_SHOWWINDOW);
    EXPECT_FALSE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN_DESKTOP);
    RECT after{};
    GetWindowRect(window.hwnd, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    GetClientRect(window.hwnd, &client);
    EXPECT_EQ(client.right, 1024);
    EXPECT_EQ(client.bottom, 768);
    TestWindow::Pump();
}

TEST_F(WindowTest, ScaledClientAreaMapsThePointerBack)
{
    TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    // The back buffer is half the window's size: the pointer is reported in its pixels.
    platform::SetClientLogicalSize(window.hwnd, 512, 384);
    RECT client{};
    GetClientRect(window.hwnd, &client);
    EXPECT_EQ(client.right, 512);
    const RECT fit = platform::ClientPresentRect(window.hwnd, 1920, 1080);
    EXPECT_EQ(fit.left, 240);
    EXPECT_EQ(fit.top, 0);
    EXPECT_EQ(fit.right, 1680);
    EXPECT_EQ(fit.bottom, 1080);

    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SDL_GetWindowID(platform::SdlWindowOf(window.hwnd));
    e.motion.x = 200;   // SDL window pixels: twice the client's
    e.motion.y = 100;
    SDL_PushEvent(&e);
    TestWindow::Pump();
    const auto moves = TestWindow::Messages({WM_MOUSEMOVE});
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].lParam, MAKELPARAM(100, 50));
}

TEST_F(WindowTest, CursorPositionIsInScreenCoordinates)
{
    TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    SetWindowPos(window.hwnd, nullptr, 100, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    platform::InjectMouseMove(window.hwnd, 30, 40);
    TestWindow::Pump();
    POINT p{};
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, 100 + 3 + 30);
    EXPECT_EQ(p.y, 50 + 22 + 40);
    ASSERT_TRUE(ScreenToClient(window.hwnd, &p));
    EXPECT_EQ(p.x, 30);
    EXPECT_EQ(p.y, 40);
    ASSERT_TRUE(ClientToScreen(window.hwnd, &p));
    EXPECT_EQ(p.x, 133);
}

TEST_F(WindowTest, CaptureAndCursorCounter)
{
    TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    EXPECT_EQ(SetCapture(window.hwnd), nullptr);
    EXPECT_EQ(GetCapture(), window.hwnd);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);

    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(WindowTest, ListBoxKeepsItsItemsAndDiesWithItsParent)
{
    TestWindow window;
    HWND list = CreateWindowExW(0, L"listbox", L"", WS_CHILD | WS_VSCROLL, 0, 0, 600, 600, window.hwnd, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(platform::SdlWindowOf(list), nullptr);
    EXPECT_EQ(SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"first")), 0);
    EXPECT_EQ(SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"second")), 1);
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, count - 1, 0), 1);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 5, 0), LB_ERR);
    DestroyWindow(window.hwnd);
    EXPECT_FALSE(IsWindow(list));
}

// The log window's list: the items are drawn as lines of text on white, the selected (newest)
// one on a highlight, and a long list shows its end. The pump drops WM_PAINT undispatched, as
// the game's loop does, so the list is drawn without it.
TEST_F(WindowTest, ListBoxDrawsItsItemsWithTheSelectionInView)
{
    TestWindow window;
    ShowWindow(window.hwnd, SW_SHOW);
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VSCROLL, 0, 0, 300, 160, window.hwnd, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(list, nullptr);
    ShowWindow(list, SW_SHOW);
    for (int i = 0; i < 30; ++i) {
        const std::wstring text = L"line " + std::to_wstring(i) + L" 사운드";
        const LRESULT at = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(list, LB_SETCURSEL, at, 0);
    }
    TestWindow::Pump();
    SDL_Surface* surface = SDL_GetWindowSurface(platform::SdlWindowOf(window.hwnd));
    ASSERT_NE(surface, nullptr);
    auto rgb = [&](int x, int y) {
        Uint32 value = 0;
        SDL_LockSurface(surface);
        std::memcpy(&value, static_cast<uint8_t*>(surface->pixels) + y * surface->pitch + x * surface->format->BytesPerPixel,
                    surface->format->BytesPerPixel);
        SDL_UnlockSurface(surface);
        SDL_Color c{};
        SDL_GetRGB(value, surface->format, &c.r, &c.g, &c.b);
        return c;
    };
    // Ten rows of 16 pixels: the newest item is the last row, highlighted.
    const SDL_Color bar = rgb(250, 152);
    EXPECT_LT(bar.r, 60);
    EXPECT_GT(bar.b, 150);
    // The rows above are white with dark text in them.
    int dark = 0, white = 0;
    for (int y = 0; y < 144; ++y)
        for (int x = 0; x < 120; ++x) {
            const SDL_Color c = rgb(x, y);
            dark += c.r < 100 && c.g < 100 && c.b < 100;
            white += c.r > 240 && c.g > 240 && c.b > 240;
        }
    EXPECT_GT(dark, 100);
    EXPECT_GT(white, 5000);
    DestroyWindow(window.hwnd);
}

TEST_F(WindowTest, ChildWithoutParentAndUnknownClassFail)
{
    EXPECT_EQ(CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(CreateWindowExW(0, L"NoSuchClass", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

} // namespace
