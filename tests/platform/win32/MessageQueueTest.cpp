// The message queue without windows: thread messages, filters, the quit message, the default
// procedure, handles that are not windows, geometry helpers and the headless message box.
#include <win32/User.h>

#include <gtest/gtest.h>

namespace {

void Drain()
{
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST(MessageQueueTest, ThreadMessagesKeepTheirOrderAndFilters)
{
    Drain();
    ASSERT_TRUE(PostMessageW(nullptr, WM_USER + 1, 10, 20));
    ASSERT_TRUE(PostMessageW(nullptr, WM_USER + 2, 0, 0));
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_USER + 2, WM_USER + 2, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 1);
    ASSERT_TRUE(PeekMessageW(&msg, reinterpret_cast<HWND>(static_cast<intptr_t>(-1)), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 1);
    EXPECT_EQ(msg.wParam, 10u);
    EXPECT_EQ(msg.lParam, 20);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(MessageQueueTest, QuitCarriesItsExitCodeOnce)
{
    Drain();
    PostQuitMessage(-5);
    MSG msg{};
    ASSERT_FALSE(PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(static_cast<int>(msg.wParam), -5);
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(MessageQueueTest, HandlesThatAreNotWindowsFailQuietly)
{
    HWND bogus = reinterpret_cast<HWND>(static_cast<uintptr_t>(0xDEADBEE0));
    EXPECT_FALSE(PostMessageW(bogus, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageW(bogus, WM_USER, 0, 0), 0);
    const MSG msg{bogus, WM_KEYDOWN, 'A', 0, 0, {}};
    EXPECT_EQ(DispatchMessageW(&msg), 0);
    EXPECT_FALSE(DestroyWindow(bogus));
    EXPECT_FALSE(ShowWindow(bogus, SW_SHOW));
    EXPECT_FALSE(IsWindow(bogus));
    RECT rect{};
    EXPECT_FALSE(GetClientRect(bogus, &rect));
    POINT p{};
    EXPECT_FALSE(ScreenToClient(bogus, &p));
    EXPECT_EQ(GetWindowLongW(bogus, GWL_STYLE), 0);
    EXPECT_EQ(DefWindowProcW(bogus, 0x7FFF, 1, 2), 0);
    EXPECT_EQ(TranslateAcceleratorW(bogus, nullptr, &msg), 0);
}

TEST(MessageQueueTest, OnlyTheProgramsAcceleratorTableExists)
{
    EXPECT_NE(LoadAcceleratorsW(nullptr, MAKEINTRESOURCEW(129)), nullptr);
    EXPECT_EQ(LoadAcceleratorsW(nullptr, MAKEINTRESOURCEW(130)), nullptr);
}

struct AdjustCase {
    DWORD style;
    RECT expected;
};

class AdjustWindowRectTest : public ::testing::TestWithParam<AdjustCase> {};

TEST_P(AdjustWindowRectTest, WidensByFrameAndCaption)
{
    RECT rect{448, 156, 448 + 1024, 156 + 768};
    ASSERT_TRUE(AdjustWindowRect(&rect, GetParam().style, FALSE));
    EXPECT_EQ(rect.left, GetParam().expected.left);
    EXPECT_EQ(rect.top, GetParam().expected.top);
    EXPECT_EQ(rect.right, GetParam().expected.right);
    EXPECT_EQ(rect.bottom, GetParam().expected.bottom);
}

INSTANTIATE_TEST_SUITE_P(Styles, AdjustWindowRectTest,
                         ::testing::Values(AdjustCase{0x80CA0000, {445, 134, 1475, 927}},
                                           AdjustCase{0x90CA0000, {445, 134, 1475, 927}},
                                           AdjustCase{0x90000000, {448, 156, 1472, 924}},
                                           AdjustCase{WS_POPUP | WS_BORDER, {447, 155, 1473, 925}}));

TEST(MessageQueueTest, PointInRectExcludesRightAndBottomEdges)
{
    const RECT r{0, 0, 1024, 768};
    EXPECT_TRUE(PtInRect(&r, {0, 0}));
    EXPECT_TRUE(PtInRect(&r, {1023, 767}));
    EXPECT_FALSE(PtInRect(&r, {1024, 10}));
    EXPECT_FALSE(PtInRect(&r, {10, 768}));
    EXPECT_FALSE(PtInRect(&r, {-1, 0}));
    EXPECT_FALSE(PtInRect(nullptr, {0, 0}));
}

TEST(MessageQueueTest, HeadlessMessageBoxWritesToStderrAndAnswersTheDefault)
{
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxW(nullptr, L"Cannot Init Steam API", L"WARNING", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxW(nullptr, L"두 번째", L"정보", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(MessageBoxW(nullptr, L"x", L"y", 0x2 /* abort, retry, ignore */), 0);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("WARNING: Cannot Init Steam API"), std::string::npos);
    EXPECT_NE(err.find("정보: 두 번째"), std::string::npos);
}

TEST(MessageQueueTest, ModuleAndResourceHandlesAreTokens)
{
    EXPECT_NE(GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(132)), nullptr);
    EXPECT_NE(LoadCursorW(nullptr, IDC_ARROW), nullptr);
    EXPECT_EQ(GetCaretBlinkTime(), 530u);
}

} // namespace
