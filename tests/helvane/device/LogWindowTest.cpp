// The log window: with the window flag, each entry's text is added to the list box filling the
// window at the top right of the screen, the newest item selected; the file output stays.
#include "support/TempDir.h"

#include <helvane/Log.h>

#include <win32/Window.h>

#include <gtest/gtest.h>

namespace {

TEST(LogWindowTest, EntriesAreListedInTheWindowNewestSelected)
{
    testsupport::TempDir dir;
    testsupport::ScopedCurrentDir cwd(dir.Path());
    {
        KdLog log(KdLog::kToWindow | KdLog::kToFile, L"window.txt");
        HWND window = log.GetWindow();
        HWND listBox = log.GetListBox();
        ASSERT_TRUE(IsWindow(window));
        ASSERT_TRUE(IsWindow(listBox));
        RECT outer{};
        GetWindowRect(window, &outer);
        EXPECT_EQ(outer.left, GetSystemMetrics(SM_CXSCREEN) - 600);
        EXPECT_EQ(outer.top, 0);
        EXPECT_EQ(outer.right - outer.left, 600);

        EXPECT_EQ(SendMessageW(listBox, LB_GETCOUNT, 0, 0), 1) << "Logging Started...";
        log.Log(L"first");
        log.Log(L"100% second");
        EXPECT_EQ(SendMessageW(listBox, LB_GETCOUNT, 0, 0), 3);
        EXPECT_EQ(SendMessageW(listBox, LB_GETCURSEL, 0, 0), 2);
        EXPECT_NE(dir.Read("window.txt").find("100% second"), std::string::npos) << "the file output stays";
        DestroyWindow(window);
    }
}

TEST(LogWindowTest, WithoutTheWindowFlagNoWindowIsMade)
{
    testsupport::TempDir dir;
    testsupport::ScopedCurrentDir cwd(dir.Path());
    {
        KdLog log(KdLog::kToFile, L"plain.txt");
        EXPECT_EQ(log.GetWindow(), nullptr);
        EXPECT_EQ(log.GetListBox(), nullptr);
    }
}

} // namespace
