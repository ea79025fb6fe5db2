// The input method over SDL's text editing: compositions and results reach the window as the
// IME messages, and the context answers ImmGetCompositionStringW with their strings.
#include "../../win32/device/TestWindow.h"

#include <imm/Imm.h>
#include <imm/TestIme.h>
#include <win32/TestInput.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::Recorded;
using testsupport::TestWindow;

namespace {

const std::initializer_list<UINT> kImeMessages = {WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION,
                                                  WM_CHAR, WM_IME_CHAR};

std::wstring ReadString(HIMC context, DWORD index)
{
    const LONG bytes = ImmGetCompositionStringW(context, index, nullptr, 0);
    if (bytes <= 0)
        return {};
    std::wstring text(static_cast<size_t>(bytes) / sizeof(WCHAR), L'\0');
    ImmGetCompositionStringW(context, index, text.data(), static_cast<DWORD>(bytes));
    return text;
}

std::vector<BYTE> ReadAttributes(HIMC context)
{
    const LONG bytes = ImmGetCompositionStringW(context, GCS_COMPATTR, nullptr, 0);
    std::vector<BYTE> attributes(static_cast<size_t>(std::max<LONG>(bytes, 0)));
    if (bytes > 0)
        ImmGetCompositionStringW(context, GCS_COMPATTR, attributes.data(), static_cast<DWORD>(bytes));
    return attributes;
}

// The game's window procedure swallows the composition messages (it draws them itself).
std::optional<LRESULT> SwallowComposition(HWND, UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_IME_STARTCOMPOSITION || msg == WM_IME_COMPOSITION || msg == WM_IME_ENDCOMPOSITION)
        return 0;
    return std::nullopt;
}

class CompositionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ShowWindow(window.hwnd, SW_SHOW);
        TestWindow::OnMessage() = SwallowComposition;
        TestWindow::Log().clear();
        context = ImmGetContext(window.hwnd);
        ASSERT_NE(context, nullptr);
    }

    std::vector<Recorded> Pumped()
    {
        TestWindow::Log().clear();
        TestWindow::Pump();
        return TestWindow::Messages(kImeMessages);
    }

    TestWindow window;
    HIMC context = nullptr;
};

TEST_F(CompositionTest, SyllableIsComposedThenFinished)
{
    platform::InjectTextEditing(window.hwnd, "ㅎ", 0, 1);
    auto first = Pumped();
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].message, WM_IME_STARTCOMPOSITION);
    EXPECT_EQ(first[1].message, WM_IME_COMPOSITION);
    EXPECT_EQ(static_cast<DWORD>(first[1].lParam), GCS_COMPSTR | GCS_COMPATTR | GCS_CURSORPOS);
    EXPECT_EQ(ReadString(context, GCS_COMPSTR), L"ㅎ");
    EXPECT_EQ(ReadAttributes(context), std::vector<BYTE>{ATTR_TARGET_CONVERTED});

    platform::InjectTextEditing(window.hwnd, "하", 0, 1);
    auto second = Pumped();
    ASSERT_EQ(second.size(), 1u);   // no second start
    EXPECT_EQ(second[0].message, WM_IME_COMPOSITION);
    EXPECT_EQ(second[0].wParam, static_cast<WPARAM>(L'하'));

    platform::InjectText(window.hwnd, "한");
    auto last = Pumped();
    ASSERT_EQ(last.size(), 2u);
    EXPECT_EQ(last[0].message, WM_IME_COMPOSITION);
    EXPECT_EQ(static_cast<DWORD>(last[0].lParam), GCS_RESULTSTR);
    EXPECT_EQ(last[1].message, WM_IME_ENDCOMPOSITION);
    EXPECT_EQ(ReadString(context, GCS_RESULTSTR), L"한");
    EXPECT_EQ(ReadString(context, GCS_COMPSTR), L"");
}

TEST_F(CompositionTest, ErasedCompositionSendsAnEmptyUpdateThenTheEnd)
{
    platform::InjectTextEditing(window.hwnd, "ㄱ", 1, 0);
    Pumped();
    EXPECT_EQ(ImmGetCompositionStringW(context, GCS_CURSORPOS, nullptr, 0), 1);
    platform::InjectTextEditing(window.hwnd, "", 0, 0);
    auto erased = Pumped();
    ASSERT_EQ(erased.size(), 2u);
    EXPECT_EQ(erased[0].message, WM_IME_COMPOSITION);
    EXPECT_EQ(ImmGetCompositionStringW(context, GCS_COMPSTR, nullptr, 0), 0);
    EXPECT_EQ(erased[1].message, WM_IME_ENDCOMPOSITION);
    // Clearing again while idle sends nothing.
    platform::InjectTextEditing(window.hwnd, "", 0, 0);
    EXPECT_TRUE(Pumped().empty());
}

TEST_F(CompositionTest, TextWithoutCompositionArrivesAsCharacters)
{
    platform::InjectText(window.hwnd, "a한");
    auto chars = Pumped();
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[0].message, WM_CHAR);
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>(L'a'));
    EXPECT_EQ(chars[1].wParam, static_cast<WPARAM>(L'한'));
}

TEST_F(CompositionTest, DetachedContextDropsCompositionButKeepsCharacters)
{
    HIMC previous = ImmAssociateContext(window.hwnd, nullptr);
    EXPECT_EQ(previous, context);
    EXPECT_EQ(ImmGetContext(window.hwnd), nullptr);
    platform::InjectTextEditing(window.hwnd, "ㅎ", 0, 1);
    platform::InjectText(window.hwnd, "x");
    auto messages = Pumped();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, WM_CHAR);
    EXPECT_EQ(ImmAssociateContext(window.hwnd, previous), nullptr);
    EXPECT_EQ(ImmGetContext(window.hwnd), context);
}

TEST_F(CompositionTest, NotifyCompletesOrCancelsTheComposition)
{
    platform::InjectTextEditing(window.hwnd, "가", 0, 1);
    Pumped();
    ASSERT_TRUE(ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0));
    auto completed = Pumped();
    ASSERT_EQ(completed.size(), 2u);
    EXPECT_EQ(static_cast<DWORD>(completed[0].lParam), GCS_RESULTSTR);
    EXPECT_EQ(ReadString(context, GCS_RESULTSTR), L"가");

    platform::InjectTextEditing(window.hwnd, "나", 0, 1);
    Pumped();
    ASSERT_TRUE(ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0));
    auto cancelled = Pumped();
    ASSERT_EQ(cancelled.size(), 2u);
    EXPECT_EQ(static_cast<DWORD>(cancelled[0].lParam), GCS_COMPSTR | GCS_COMPATTR | GCS_CURSORPOS);
    EXPECT_EQ(cancelled[1].message, WM_IME_ENDCOMPOSITION);
    EXPECT_EQ(ReadString(context, GCS_RESULTSTR), L"가");   // the earlier result stays
    EXPECT_TRUE(ImmNotifyIME(context, NI_CLOSECANDIDATE, 0, 0));
}

TEST_F(CompositionTest, InjectedAttributesAndShortBuffers)
{
    platform::InjectImeComposition(window.hwnd, L"한국어", {ATTR_INPUT, ATTR_TARGET_NOTCONVERTED}, 7);
    Pumped();
    EXPECT_EQ(ReadAttributes(context), (std::vector<BYTE>{ATTR_INPUT, ATTR_TARGET_NOTCONVERTED, ATTR_INPUT}));
    EXPECT_EQ(ImmGetCompositionStringW(context, GCS_CURSORPOS, nullptr, 0), 3);
    // A buffer of one and a half characters receives one whole character.
    WCHAR buffer[2] = {0, 0};
    EXPECT_EQ(ImmGetCompositionStringW(context, GCS_COMPSTR, buffer, sizeof(WCHAR) * 3 / 2),
              static_cast<LONG>(sizeof(WCHAR)));
    EXPECT_EQ(buffer[0], L'한');
    EXPECT_EQ(buffer[1], 0);
    platform::InjectImeResult(window.hwnd, L"한국어");
    auto finished = Pumped();
    ASSERT_EQ(finished.size(), 2u);
    EXPECT_EQ(ReadString(context, GCS_RESULTSTR), L"한국어");
}

TEST_F(CompositionTest, LongCompositionArrivesWhole)
{
    const std::string longText = "가나다라마바사아자차카타파하가나다라";   // more than SDL's 32 bytes
    platform::InjectTextEditing(window.hwnd, longText, 0, 0);
    Pumped();
    EXPECT_EQ(ReadString(context, GCS_COMPSTR).size(), 18u);
}

TEST_F(CompositionTest, DefaultProcedureTurnsAResultIntoCharacters)
{
    TestWindow::OnMessage() = nullptr;   // leave everything to DefWindowProcW
    platform::InjectTextEditing(window.hwnd, "ㅎ", 0, 1);
    platform::InjectText(window.hwnd, "한");
    auto messages = Pumped();
    const auto chars = TestWindow::Messages({WM_IME_CHAR, WM_CHAR});
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[0].message, WM_IME_CHAR);
    EXPECT_EQ(chars[1].message, WM_CHAR);
    EXPECT_EQ(chars[1].wParam, static_cast<WPARAM>(L'한'));
}

TEST_F(CompositionTest, ConversionModeIsKeptAndCandidatesAreEmpty)
{
    ASSERT_TRUE(ImmSetConversionStatus(context, IME_CMODE_NATIVE, IME_SMODE_NONE));
    DWORD conversion = 0, sentence = 7;
    ASSERT_TRUE(ImmGetConversionStatus(context, &conversion, &sentence));
    EXPECT_EQ(conversion, IME_CMODE_NATIVE);
    EXPECT_EQ(sentence, IME_SMODE_NONE);
    EXPECT_EQ(ImmGetCandidateListW(context, 0, nullptr, 0), 0u);
}

TEST_F(CompositionTest, ContextGoesWithItsWindow)
{
    DestroyWindow(window.hwnd);
    EXPECT_EQ(ImmGetCompositionStringW(context, GCS_COMPSTR, nullptr, 0), IMM_ERROR_GENERAL);
    EXPECT_FALSE(ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0));
    EXPECT_EQ(ImmGetContext(window.hwnd), nullptr);
}

} // namespace
