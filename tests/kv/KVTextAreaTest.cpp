// The text area: line breaking, caret keys, typed and composed text, wheel scrolling and
// drawing, driven through window messages and the input-method hook.
#include "kv/KVCaret.h"
#include "kv/KVScrollBar.h"
#include "kv/KVTextArea.h"

#include "TextWidgetKit.h"

#include <gtest/gtest.h>

namespace {

using testsupport::FakeInterface;
using Lines = std::vector<std::pair<int32_t, int32_t>>;

// Text_edit's padded area: x 15..65 (50 wide: five glyphs), y 12..72 (four lines of 15).
constexpr int kLeft = 15;
constexpr int kTop = 12;
constexpr int kLineHeight = 15;

class KVTextAreaTest : public ::testing::Test {
protected:
    KVTextAreaTest()
    {
        env.ShowFixture("textarea.xml");
        area = env.Find<kv::KVTextArea>(L"Text_edit");
        label = env.Find<kv::KVTextArea>(L"Text_static");
    }

    Lines LinesOf(kv::KVTextArea* a)
    {
        Lines lines;
        for (int32_t i = 0; i < a->LineCount(); ++i)
            lines.push_back(a->GetLine(i));
        return lines;
    }

    // Focuses the editable area and fills it; the caret stays at 0.
    void Fill(const std::wstring& text)
    {
        area->Clear();
        area->AppendText(text);
        env.Click(kLeft + 1, kTop + 1);
    }

    // The caret's drawn position in a new frame; {-1, -1} when it is not drawn.
    kv::KVPoint CaretAt()
    {
        env.DrawFrame();
        for (const auto& draw : env.renderer.imageDraws)
            if (draw.group == area->GetUniqueId() && draw.index == area->GetCaret()->GetImageIndex())
                return draw.position;
        return {-1, -1};
    }

    textkit::TextEnv env;
    kv::KVTextArea* area = nullptr;
    kv::KVTextArea* label = nullptr;
};

struct LineCase {
    const char* label;
    std::wstring text;
    Lines expect;
};

class KVTextAreaLineTest : public KVTextAreaTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(KVTextAreaLineTest, BreaksAtNewlinesAndTheWidth)
{
    area->AppendText(GetParam().text);
    EXPECT_EQ(LinesOf(area), GetParam().expect);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KVTextAreaLineTest,
    ::testing::Values(LineCase{"Empty", L"", {}},
                      LineCase{"TrailingNewline", L"ab\n", {{0, 2}, {3, 3}}},
                      LineCase{"Wrapped", L"abcdefghijkl", {{0, 5}, {5, 10}, {10, 12}}},
                      LineCase{"ExactWidth", L"abcde", {{0, 5}}},
                      LineCase{"EmptyLines", L"a\n\nb", {{0, 1}, {2, 2}, {3, 4}}},
                      // Spaces wrap like any other character.
                      LineCase{"Spaces", L"ab cd ef", {{0, 5}, {5, 8}}}),
    [](const auto& info) { return std::string(info.param.label); });

// A chat grows by appending entries and drops its oldest from the front; each step must leave
// the same lines as wrapping the remaining text afresh, wrapped lines and empty lines included.
TEST_F(KVTextAreaTest, AppendingAndErasingTheFrontWrapLikeTheWholeText)
{
    const std::vector<std::wstring> entries = {L"\nA : hi", L"\nBee : abcdefghijkl", L"\n", L"\nC : x", L"",
                                               L"\nDoe : abcde", L"tail", L"\n\nE : ab"};
    std::wstring whole;
    std::vector<size_t> sizes;
    for (const std::wstring& entry : entries) {
        area->AppendText(entry);
        whole += entry;
        sizes.push_back(entry.size());
        label->Clear();
        label->AppendText(whole);
        ASSERT_EQ(area->GetText(), whole);
        ASSERT_EQ(LinesOf(area), LinesOf(label)) << "after appending \"" << std::string(entry.begin(), entry.end()) << '"';
    }
    area->SetFirstVisibleLine(area->LineCount() - 1);
    while (!sizes.empty()) {
        const int32_t firstBefore = area->GetFirstVisibleLine();
        const int32_t linesBefore = area->LineCount();
        area->EraseFront(static_cast<int32_t>(sizes.front()));
        whole.erase(0, sizes.front());
        sizes.erase(sizes.begin());
        label->Clear();
        label->AppendText(whole);
        ASSERT_EQ(area->GetText(), whole);
        ASSERT_EQ(LinesOf(area), LinesOf(label)) << whole.size() << " characters left";
        // The view stays on the same lines while they remain.
        EXPECT_EQ(area->GetFirstVisibleLine(),
                  std::max(0, std::min(firstBefore - (linesBefore - area->LineCount()), area->LineCount() - 1)));
    }
    EXPECT_EQ(area->LineCount(), 0);
}

TEST_F(KVTextAreaTest, AnAreaNarrowerThanOneCharacterStillBreaksItsText)
{
    area->SetSizeFromRect({0, 14, 0, 64});   // 4 pixels between the paddings
    area->AppendText(L"abc");
    EXPECT_EQ(LinesOf(area), (Lines{{0, 1}, {1, 2}, {2, 3}}));
}

TEST_F(KVTextAreaTest, AnEmptyAreaHasNoLinesAndIgnoresCaretKeys)
{
    env.Click(kLeft + 1, kTop + 1);
    EXPECT_EQ(area->LineCount(), 0);
    for (int key : {VK_HOME, VK_END, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_BACK, VK_DELETE})
        env.Press(key);
    EXPECT_EQ(area->GetCaretIndex(), 0);
    area->SetFirstVisibleLine(5);
    EXPECT_EQ(area->GetFirstVisibleLine(), 0);   // never -1, so drawing never starts before line 0
    env.DrawFrame();
    EXPECT_TRUE(env.iface.drawnTexts.empty());
    area->AppendText(L"x");
    env.DrawFrame();
    ASSERT_EQ(env.iface.drawnTexts.size(), 1u);
}

TEST_F(KVTextAreaTest, EndStaysOnTheWrappedLineAndRightMovesOn)
{
    Fill(L"abcdefghijkl");
    env.Press(VK_END);
    EXPECT_EQ(area->GetCaretIndex(), 5);
    EXPECT_TRUE(area->IsCaretAtWrapEnd());
    EXPECT_EQ(CaretAt().x, kLeft + 50);
    EXPECT_EQ(CaretAt().y, kTop);
    env.Press(VK_RIGHT);
    EXPECT_EQ(area->GetCaretIndex(), 6);
    EXPECT_EQ(CaretAt().x, kLeft + 10);
    EXPECT_EQ(CaretAt().y, kTop + kLineHeight);
    env.Press(VK_HOME);
    EXPECT_EQ(area->GetCaretIndex(), 5);
    env.Press(VK_LEFT);   // back over the wrap: the end of the upper line
    EXPECT_EQ(area->GetCaretIndex(), 4);
}

TEST_F(KVTextAreaTest, UpAndDownKeepTheDesiredColumn)
{
    Fill(L"abcde\nab\nabcde");
    for (int i = 0; i < 3; ++i)
        env.Press(VK_RIGHT);
    env.Press(VK_DOWN);
    EXPECT_EQ(area->GetCaretIndex(), 8);   // the end of the shorter line
    env.Press(VK_DOWN);
    EXPECT_EQ(area->GetCaretIndex(), 12);   // column 3 again
    env.Press(VK_UP);
    env.Press(VK_UP);
    EXPECT_EQ(area->GetCaretIndex(), 3);
}

TEST_F(KVTextAreaTest, ClickPlacesTheCaretOnTheRowUnderThePointer)
{
    Fill(L"abc\nabcdef");
    env.Click(kLeft + 14, kTop + kLineHeight + 3);   // nearer the left end of "b" on line 1
    EXPECT_EQ(area->GetCaretIndex(), 5);
    env.Click(kLeft + 45, kTop + 3);   // right of line 0's text: its end
    EXPECT_EQ(area->GetCaretIndex(), 3);
    env.Click(kLeft + 5, kTop + 3 * kLineHeight + 3);   // a row with no line
    EXPECT_EQ(area->GetCaretIndex(), 3);
}

TEST_F(KVTextAreaTest, TypesComposesAndBreaksLines)
{
    env.Click(kLeft + 1, kTop + 1);
    env.Type(L"ab");
    env.Press(VK_RETURN);
    env.Compose(L"가");
    EXPECT_EQ(area->GetText(), L"ab\n가");
    EXPECT_EQ(area->GetCaretIndex(), 3);
    EXPECT_TRUE(area->IsComposing());
    env.Press(VK_BACK);   // nothing while composing
    EXPECT_EQ(area->GetText(), L"ab\n가");
    env.FinishComposition(L"각");
    EXPECT_EQ(area->GetText(), L"ab\n각");
    EXPECT_EQ(area->GetCaretIndex(), 4);
    EXPECT_EQ(LinesOf(area), (Lines{{0, 2}, {3, 4}}));
    env.Press(VK_BACK);
    env.Press(VK_BACK);
    EXPECT_EQ(area->GetText(), L"ab");
}

TEST_F(KVTextAreaTest, KeepsItsLengthLimitAndItsTextWhenACompositionNoLongerFits)
{
    Fill(L"abcd");
    area->maxLength = 5;
    env.Press(VK_RIGHT);
    env.Compose(L"가");
    env.Compose(L"가나");   // no longer fits
    EXPECT_EQ(area->GetText(), L"abcd");
    EXPECT_FALSE(area->IsComposing());
    env.FinishComposition(L"각");
    EXPECT_EQ(area->GetText(), L"a각bcd");
    env.Press(VK_RETURN);   // at the limit
    EXPECT_EQ(area->GetText(), L"a각bcd");
}

TEST_F(KVTextAreaTest, FollowsTheCaretDownAndLeavingTheFocusDropsTheComposition)
{
    env.Click(kLeft + 1, kTop + 1);
    for (int i = 0; i < 5; ++i) {
        env.Type(L"x");
        env.Press(VK_RETURN);
    }
    EXPECT_EQ(area->LineCount(), 6);
    EXPECT_EQ(area->GetFirstVisibleLine(), 2);   // line 5 is the last of four visible ones
    env.Compose(L"가");
    env.Click(300, 200);
    EXPECT_EQ(area->GetText(), L"x\nx\nx\nx\nx\n");
    EXPECT_FALSE(env.system->GetInputMethodProvider() == nullptr);
    EXPECT_EQ(env.iface.textInputSwitches.back(), false);
}

TEST_F(KVTextAreaTest, AReadOnlyAreaIgnoresTypingButMovesItsCaretAndCentresLines)
{
    label->AppendText(L"abc\nx");
    env.Click(105 + 25, kTop + 3);
    EXPECT_EQ(label->GetCaretIndex(), 3);   // clicks still place the hidden caret
    env.Press(VK_HOME);
    env.Type(L"z");
    EXPECT_EQ(label->GetText(), L"abc\nx");
    EXPECT_EQ(label->GetCaretIndex(), 3);
    env.DrawFrame();
    ASSERT_EQ(env.iface.drawnTexts.size(), 2u);
    EXPECT_EQ(env.iface.drawnTexts[0].x, 105 + (50 - 30) / 2);
    EXPECT_EQ(env.iface.drawnTexts[1].x, 105 + (50 - 10) / 2);
}

TEST_F(KVTextAreaTest, AnAreaWithoutAVerticalBarIgnoresTheWheel)
{
    area->AppendText(L"l0\nl1\nl2\nl3\nl4\nl5");
    env.Wheel(-120, kLeft + 5, kTop + 5);
    EXPECT_EQ(area->GetFirstVisibleLine(), 0);
}

// Text areas with a vertical bar: Text_chat's is always shown, Text_auto's appears when needed.
class KVTextAreaSCTest : public ::testing::Test {
protected:
    KVTextAreaSCTest()
    {
        env.ShowFixture("textareasc.xml");
        chat = env.Find<kv::KVTextAreaSC>(L"Text_chat");
        bar = chat->GetVScrollBar();
        autoArea = env.Find<kv::KVTextAreaSC>(L"Text_auto");
    }
    static std::wstring TenLines() { return L"l0\nl1\nl2\nl3\nl4\nl5\nl6\nl7\nl8\nl9"; }

    textkit::TextEnv env;
    kv::KVTextAreaSC* chat = nullptr;
    kv::KVScrollBar* bar = nullptr;
    kv::KVTextAreaSC* autoArea = nullptr;
};

TEST_F(KVTextAreaSCTest, TheBarDecidesTheFirstVisibleLine)
{
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->IsEnabled());   // nothing to scroll yet
    chat->AppendText(TenLines());
    EXPECT_TRUE(bar->IsEnabled());
    EXPECT_EQ(bar->max, 10 * kLineHeight);
    EXPECT_EQ(bar->step, 10 * kLineHeight / 6);
    bar->SetPos(bar->max / 2);
    EXPECT_EQ(chat->GetFirstVisibleLine(), 3);   // trunc(6 * 0.5 + 0.5)
    env.Wheel(-120, 20, 20);
    EXPECT_EQ(chat->GetFirstVisibleLine(), 4);
    EXPECT_EQ(bar->pos, 75 + 25);
    env.DrawFrame();
    ASSERT_FALSE(env.iface.drawnTexts.empty());
    EXPECT_EQ(env.iface.drawnTexts[0].text, L"l4");
    chat->Clear();
    EXPECT_FALSE(bar->IsEnabled());
}

TEST_F(KVTextAreaSCTest, KeysMoveTheBarWithoutFeedingBack)
{
    chat->AppendText(TenLines());
    env.Click(20, 20);
    for (int i = 0; i < 6; ++i)
        env.Press(VK_DOWN);
    EXPECT_EQ(chat->GetFirstVisibleLine(), 3);
    EXPECT_EQ(bar->pos, 3 * bar->step);
    env.Press(VK_LEFT);   // the bar's own position event does not move the view
    EXPECT_EQ(chat->GetFirstVisibleLine(), 3);
}

TEST_F(KVTextAreaSCTest, AnAutoVisibleBarAppearsAndResizesTheArea)
{
    kv::KVScrollBar* autoBar = autoArea->GetVScrollBar();
    ASSERT_NE(autoBar, nullptr);
    EXPECT_FALSE(autoBar->IsVisible());
    autoArea->AppendText(TenLines());
    EXPECT_TRUE(autoBar->IsVisible());
    EXPECT_EQ(autoArea->GetWidth(), 80);
    autoArea->Clear();
    EXPECT_FALSE(autoBar->IsVisible());
    EXPECT_EQ(autoArea->GetWidth(), 60);
}

TEST_F(KVTextAreaSCTest, AReadOnlyAreaStillScrollsWithTheWheel)
{
    autoArea->AppendText(TenLines());
    env.Wheel(-120, 215, 20);
    EXPECT_EQ(autoArea->GetFirstVisibleLine(), 1);
    env.Wheel(120, 215, 20);
    EXPECT_EQ(autoArea->GetFirstVisibleLine(), 0);
}

} // namespace
