// The edit box, driven as a player drives it: clicks, key messages, typed characters and input
// method compositions through the window system's hook, checked against what it draws.
#include "kv/KVCaret.h"
#include "kv/KVEdit.h"
#include "kv/KVIme.h"

#include "TextWidgetKit.h"

#include <gtest/gtest.h>

namespace {

using testsupport::FakeInterface;

// The name edit's padded area spans x 20..120 (100 wide); glyphs are 10 wide.
constexpr int kNameX = 30;
constexpr int kNameY = 25;
constexpr int kPasswordX = 30;
constexpr int kPasswordY = 65;

class KVEditTest : public ::testing::Test {
protected:
    KVEditTest()
    {
        env.ShowFixture("edit.xml");
        name = env.Find<kv::KVEdit>(L"Edit_name");
        password = env.Find<kv::KVEdit>(L"Edit_password");
        centred = env.Find<kv::KVEdit>(L"Edit_centred");
    }

    // Focuses the edit by a click and puts the given text in it with the caret at the index.
    void Prepare(kv::KVEdit* edit, int x, int y, const std::wstring& text, int caret)
    {
        env.Click(x, y);
        edit->text = text;
        edit->caretIndex = caret;
    }

    // The one text the edit drew in a new frame.
    FakeInterface::DrawnText DrawnText(kv::KVEdit* edit) { return DrawnText(edit, env.iface); }
    FakeInterface::DrawnText DrawnText(kv::KVEdit* edit, FakeInterface& iface)
    {
        env.DrawFrame();
        for (const auto& drawn : iface.drawnTexts)
            if (drawn.y >= edit->GetHitRect().top && drawn.y < edit->GetHitRect().bottom)
                return drawn;
        ADD_FAILURE() << "nothing drawn";
        return {};
    }

    // The caret image's position in the last frame, or -1 when it was not drawn.
    float CaretX(kv::KVEdit* edit)
    {
        env.DrawFrame();
        for (const auto& draw : env.renderer.imageDraws)
            if (draw.group == edit->GetUniqueId() && draw.index == edit->GetCaret()->GetImageIndex())
                return draw.position.x;
        return -1;
    }

    textkit::TextEnv env;
    kv::KVEdit* name = nullptr;
    kv::KVEdit* password = nullptr;
    kv::KVEdit* centred = nullptr;
};

struct TypingCase {
    const char* label;
    std::wstring text;
    int caret;
    int maxLength;
    std::wstring typed;   // delivered as one input-method result
    std::wstring expectText;
    int expectCaret;
};

class KVEditTypingTest : public KVEditTest, public ::testing::WithParamInterface<TypingCase> {};

TEST_P(KVEditTypingTest, InsertsAtTheCaretWithinTheLimit)
{
    const TypingCase& c = GetParam();
    Prepare(name, kNameX, kNameY, c.text, c.caret);
    name->maxLength = c.maxLength;
    env.FinishComposition(c.typed);
    EXPECT_EQ(name->text, c.expectText);
    EXPECT_EQ(name->caretIndex, c.expectCaret);
    EXPECT_FALSE(name->IsComposing());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KVEditTypingTest,
    ::testing::Values(TypingCase{"IntoTheMiddle", L"ab", 1, 14, L"XY", L"aXYb", 3},
                      TypingCase{"UpToTheLimit", L"abc", 3, 5, L"de", L"abcde", 5},
                      TypingCase{"BeyondTheLimitIgnored", L"abc", 3, 4, L"de", L"abc", 3},
                      // One result string never takes an empty name past its limit.
                      TypingCase{"EmptyTextKeepsTheLimit", L"", 0, 14, L"ABCDEFGHIJKLMNO", L"", 0},
                      TypingCase{"EmptyTextTakesWhatFits", L"", 0, 14, L"홍길동", L"홍길동", 3}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(KVEditTest, TypedCharactersGoInOneByOne)
{
    env.Click(kNameX, kNameY);
    env.Type(L"abc");
    EXPECT_EQ(name->text, L"abc");
    EXPECT_EQ(name->caretIndex, 3);
}

struct KeyCase {
    const char* label;
    std::wstring text;
    int caret;
    std::vector<std::pair<int, bool>> keys;   // key, Shift held
    std::wstring expectText;
    int expectCaret;
    int expectAnchor;
    int expectEnd;
};

class KVEditKeyTest : public KVEditTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KVEditKeyTest, EditsAndSelects)
{
    const KeyCase& c = GetParam();
    Prepare(name, kNameX, kNameY, c.text, c.caret);
    for (auto [key, shift] : c.keys)
        env.Press(key, shift);
    EXPECT_EQ(name->text, c.expectText);
    EXPECT_EQ(name->caretIndex, c.expectCaret);
    EXPECT_EQ(name->GetSelectionAnchor(), c.expectAnchor);
    EXPECT_EQ(name->GetSelectionEnd(), c.expectEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KVEditKeyTest,
    ::testing::Values(KeyCase{"BackspaceAtStart", L"abc", 0, {{VK_BACK, false}}, L"abc", 0, 0, 0},
                      KeyCase{"Backspace", L"abc", 2, {{VK_BACK, false}}, L"ac", 1, 1, 1},
                      KeyCase{"DeleteAtEnd", L"abc", 3, {{VK_DELETE, false}}, L"abc", 3, 3, 3},
                      KeyCase{"Delete", L"abc", 0, {{VK_DELETE, false}}, L"bc", 0, 0, 0},
                      KeyCase{"HomeEnd", L"abc", 1, {{VK_END, false}, {VK_LEFT, false}, {VK_HOME, false}}, L"abc", 0, 0, 0},
                      KeyCase{"ArrowsStopAtEnds", L"ab", 2, {{VK_RIGHT, false}}, L"ab", 2, 2, 2},
                      KeyCase{"ShiftLeftSelects", L"abcdef", 5, {{VK_LEFT, true}, {VK_LEFT, true}, {VK_LEFT, true}}, L"abcdef", 2, 5, 2},
                      KeyCase{"ShiftHomeThenBackspace", L"abcdef", 4, {{VK_HOME, true}, {VK_BACK, false}}, L"ef", 0, 0, 0},
                      KeyCase{"ShiftRightThenDelete", L"abcdef", 1, {{VK_RIGHT, true}, {VK_RIGHT, true}, {VK_DELETE, false}}, L"adef", 1, 1, 1},
                      KeyCase{"PlainArrowCollapses", L"abcdef", 5, {{VK_LEFT, true}, {VK_RIGHT, false}}, L"abcdef", 5, 5, 5}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(KVEditTest, TypingReplacesTheSelection)
{
    Prepare(name, kNameX, kNameY, L"abcdef", 5);
    for (int i = 0; i < 3; ++i)
        env.Press(VK_LEFT, true);
    env.Type(L"Z");
    EXPECT_EQ(name->text, L"abZf");
    EXPECT_EQ(name->caretIndex, 3);
}

TEST_F(KVEditTest, CompositionShowsInsideTheTextUntilTheResultReplacesIt)
{
    Prepare(name, kNameX, kNameY, L"abcd", 2);
    env.Compose(L"가나");
    EXPECT_EQ(name->text, L"ab가나cd");
    EXPECT_EQ(name->caretIndex, 2);
    EXPECT_TRUE(name->IsComposing());
    EXPECT_EQ(DrawnText(name).text, L"ab가나cd");
    EXPECT_EQ(CaretX(name), 20 + 2 * FakeInterface::kGlyphWidth);   // before the composition

    env.Press(VK_BACK);   // no deleting while composing
    EXPECT_EQ(name->text, L"ab가나cd");

    env.FinishComposition(L"다");
    EXPECT_EQ(name->text, L"ab다cd");
    EXPECT_EQ(name->caretIndex, 3);
    EXPECT_FALSE(name->IsComposing());
}

TEST_F(KVEditTest, ACompositionThatNoLongerFitsLosesNoText)
{
    Prepare(name, kNameX, kNameY, L"abcd", 2);
    name->maxLength = 5;
    env.Compose(L"가");
    EXPECT_EQ(name->text, L"ab가cd");
    env.Compose(L"가나");   // two characters no longer fit
    EXPECT_EQ(name->text, L"abcd");
    EXPECT_FALSE(name->IsComposing());
    EXPECT_EQ(name->GetCompositionStart(), 2);
    EXPECT_EQ(name->GetCompositionEnd(), 2);
    env.FinishComposition(L"각");
    EXPECT_EQ(name->text, L"ab각cd");
    EXPECT_EQ(name->caretIndex, 3);
}

TEST_F(KVEditTest, LeavingTheFocusDropsAnUnfinishedComposition)
{
    Prepare(name, kNameX, kNameY, L"ab", 2);
    auto* service = env.system->GetInputMethodProvider()->GetService();
    EXPECT_TRUE(service->IsEnabled());
    EXPECT_EQ(env.iface.textInputSwitches.back(), true);
    env.Compose(L"가");
    env.Click(250, 220);   // another window
    EXPECT_EQ(name->text, L"ab");
    EXPECT_FALSE(name->IsComposing());
    EXPECT_FALSE(service->IsEnabled());
    EXPECT_EQ(env.iface.textInputSwitches.back(), false);
    env.Type(L"x");
    EXPECT_EQ(name->text, L"ab");
}

TEST_F(KVEditTest, EnterFiresItsEventAndKeysBubble)
{
    env.Click(kNameX, kNameY);
    testsupport::EventRecorder events;
    events.Attach(name, kv::EventEnterKeyDown);
    events.Attach(name, kv::EventKeyDown);
    events.Attach(env.Find(L"Wnd_form"), kv::EventKeyDown);
    env.Press(VK_RETURN);
    EXPECT_EQ(events.entries, (std::vector<std::wstring>{L"Edit_name:KeyDown", L"Edit_name:EnterKeyDown",
                                                         L"Wnd_form:KeyDown"}));
}

TEST_F(KVEditTest, ADisabledEditIgnoresKeysAndCharactersButStillReportsKeys)
{
    Prepare(name, kNameX, kNameY, L"ab", 2);
    testsupport::EventRecorder events;
    events.Attach(name, kv::EventKeyDown);
    name->SetEnabled(false);
    env.Press(VK_BACK);
    env.system->OnChar(L"x", false, nullptr);
    EXPECT_EQ(name->text, L"ab");
    EXPECT_EQ(events.entries, std::vector<std::wstring>{L"Edit_name:KeyDown"});
}

TEST_F(KVEditTest, ClickPlacesTheCaretAtTheNearerSideOfACharacter)
{
    Prepare(name, kNameX, kNameY, L"abcd", 4);
    env.Click(20 + 14, kNameY);   // nearer the left end of "b"
    EXPECT_EQ(name->caretIndex, 1);
    env.Click(20 + 25, kNameY);   // the middle of "c" goes after it
    EXPECT_EQ(name->caretIndex, 3);
    env.Click(20 + 90, kNameY);   // right of the text: the caret stays
    EXPECT_EQ(name->caretIndex, 3);
}

TEST_F(KVEditTest, ScrollsByAQuarterWhenTheCaretLeavesTheView)
{
    Prepare(name, kNameX, kNameY, L"abcdefghijklmno", 0);   // 150 wide in a view of 100
    EXPECT_EQ(DrawnText(name).x, 20);
    for (int i = 0; i < 11; ++i)
        env.Press(VK_RIGHT);
    EXPECT_EQ(CaretX(name), 120 - 25);
    env.Press(VK_END);
    EXPECT_EQ(CaretX(name), 120);   // at the end of the text it stands at the edge
    env.Press(VK_HOME);
    EXPECT_EQ(CaretX(name), 20);
    EXPECT_EQ(name->GetHorizontalScroll(), 0);
}

TEST_F(KVEditTest, DrawsCentredTextWithItsAlphaAndVerticalAlignment)
{
    centred->text = L"abc";
    EXPECT_EQ(DrawnText(centred).x, 20 + 50 - 15);

    name->text = L"ab";
    name->SetAlpha(0.5f);
    FakeInterface::DrawnText drawn = DrawnText(name);
    EXPECT_EQ(drawn.style.colour, 0x7FFFFFFFu);   // 255 / 255 * 0.5 * 255 = 127.5, truncated
    EXPECT_EQ(drawn.y, 10 + (30 - FakeInterface::kGlyphHeight) / 2);
    EXPECT_EQ(drawn.style.faceName, L"Sans");
}

TEST_F(KVEditTest, CaretBlinksOnlyWhileFocusedAndShowsAgainOnInput)
{
    name->text = L"ab";
    EXPECT_EQ(CaretX(name), -1);   // not focused
    env.Click(kNameX, kNameY);
    EXPECT_NE(CaretX(name), -1);
    env.system->Update(1.0f);   // longer than a blink period
    EXPECT_EQ(CaretX(name), -1);
    env.Press(VK_LEFT);
    EXPECT_NE(CaretX(name), -1);
}

// Password field: "WWW" is drawn as three 10-pixel stars although each W is 20 wide here.
class WideWInterface : public FakeInterface {
public:
    kv::KVSize MeasureText(const std::wstring& /*face*/, const std::wstring& text) override
    {
        int32_t width = 0;
        for (wchar_t c : text)
            width += c == L'W' ? 2 * kGlyphWidth : kGlyphWidth;
        return {width, kGlyphHeight};
    }
};

TEST_F(KVEditTest, PasswordFieldMasksWhatItDrawsAndMapsClicksByTheMask)
{
    WideWInterface wide;
    env.system->SetInterface(&wide);
    Prepare(password, kPasswordX, kPasswordY, L"WWW", 3);
    EXPECT_EQ(DrawnText(password, wide).text, L"***");
    env.Click(20 + 25, kPasswordY);   // the right half of the third star
    EXPECT_EQ(password->caretIndex, 3);
    env.Click(20 + 12, kPasswordY);   // the left half of the second star
    EXPECT_EQ(password->caretIndex, 1);
    env.system->SetInterface(&env.iface);
}

TEST_F(KVEditTest, PasswordFieldDetachesTheInputContextWhileFocused)
{
    env.Click(kPasswordX, kPasswordY);
    EXPECT_EQ(env.imm.attached, nullptr);
    env.Click(kPasswordX, kPasswordY);   // focused again: the kept context is not lost
    env.Click(250, 220);
    EXPECT_EQ(env.imm.attached, textkit::ScriptedImm::kContext);
}

TEST_F(KVEditTest, WipingClearsOnlyPasswordTexts)
{
    password->text = L"secret";
    password->WipePasswordText();
    EXPECT_EQ(password->text, std::wstring(6, L'\0'));
    name->text = L"visible";
    name->WipePasswordText();
    EXPECT_EQ(name->text, L"visible");
}

} // namespace
