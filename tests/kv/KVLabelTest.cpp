// Label: configuration from the layout, alignment, alpha of the text colour, and clicks that
// pass through to the window below.
#include "kv/KVLabel.h"

#include "WidgetTestEnv.h"

#include <gtest/gtest.h>

namespace {

using kv::KVLabel;
using testsupport::EventRecorder;
using testsupport::WidgetEnv;

const char* const kLabelled = R"(<kevrin version="2">
  <base type="PANEL" name="Wnd_back"><pos x="100" y="200"/><rect l="0" t="0" r="300" b="100"/>
    <child type="LABEL" name="Label_a"><pos x="10" y="20"/><rect l="0" t="0" r="101" b="40"/>
      <label val="Hello"/><style val="1"/><FontName val="Sans"/><FontSize val="14"/>
      <Color val="#FF000080"/><OutlineColor val="#000001FF"/><ShadowColor val="#000002FF"/>
      <HAlign val="Right"/><VAlign val="Bottom"/>
    </child>
  </base>
</kevrin>)";

class KVLabelTest : public ::testing::Test {
protected:
    WidgetEnv env;
};

TEST_F(KVLabelTest, DrawsItsTextWithTheLayoutsFaceColoursAndAlignment)
{
    ASSERT_NE(env.Show(kLabelled), nullptr);
    env.DrawFrame();
    EXPECT_EQ(env.renderer.calls, (std::vector<std::wstring>{L"BeginText", L"EndText"}));
    ASSERT_EQ(env.iface.drawnTexts.size(), 1u);
    const auto& drawn = env.iface.drawnTexts[0];
    EXPECT_EQ(drawn.text, L"Hello");
    EXPECT_EQ(drawn.style.faceName, L"Sans");
    EXPECT_EQ(drawn.style.size, 14);
    EXPECT_EQ(drawn.style.style, 1);
    EXPECT_EQ(drawn.style.colour, 0x80FF0000u);
    EXPECT_EQ(drawn.style.outlineColour, 0xFF000001u);
    EXPECT_EQ(drawn.style.shadowColour, 0xFF000002u);
    // Right and bottom: the label spans x 110..211, y 220..260; "Hello" is 50 x 12.
    EXPECT_EQ(drawn.x, 161);
    EXPECT_EQ(drawn.y, 248);
}

struct AlignCase {
    int32_t hAlign, vAlign;
    float width, height;
    int32_t expectX, expectY;
};

class KVLabelAlignTest : public ::testing::TestWithParam<AlignCase> {
protected:
    WidgetEnv env;
};

TEST_P(KVLabelAlignTest, PlacesTheTextInsideItsRectangle)
{
    const AlignCase& c = GetParam();
    ASSERT_NE(env.Show(kLabelled), nullptr);
    auto* label = env.Find<KVLabel>(L"Label_a");
    label->text = L"abcde"; // 50 x 12 with the fake glyphs
    label->hAlign = c.hAlign;
    label->vAlign = c.vAlign;
    label->SetSize(c.width, c.height);
    env.DrawFrame();
    ASSERT_EQ(env.iface.drawnTexts.size(), 1u);
    EXPECT_EQ(env.iface.drawnTexts[0].x, c.expectX);
    EXPECT_EQ(env.iface.drawnTexts[0].y, c.expectY);
}

// The label's top-left is at (110, 220).
INSTANTIATE_TEST_SUITE_P(Alignments, KVLabelAlignTest,
                         ::testing::Values(AlignCase{0, 0, 101, 40, 110, 220}, AlignCase{1, 1, 101, 40, 135, 234},
                                           AlignCase{2, 2, 101, 40, 161, 248}, AlignCase{1, 1, 30, 5, 100, 217},
                                           AlignCase{3, -1, 101, 40, 0, 0}));

TEST_F(KVLabelTest, EmptyTextDrawsNothingAndTextIsReadAtEveryDraw)
{
    ASSERT_NE(env.Show(kLabelled), nullptr);
    auto* label = env.Find<KVLabel>(L"Label_a");
    label->text.clear();
    env.DrawFrame();
    EXPECT_TRUE(env.renderer.calls.empty());
    EXPECT_TRUE(env.iface.drawnTexts.empty());
    label->text = L"later";
    env.DrawFrame();
    ASSERT_EQ(env.iface.drawnTexts.size(), 1u);
    EXPECT_EQ(env.iface.drawnTexts[0].text, L"later");
}

TEST_F(KVLabelTest, TextAlphaFollowsTheWindowsEffectiveAlphaTruncated)
{
    kv::KVWnd* back = env.Show(kLabelled);
    ASSERT_NE(back, nullptr);
    auto* label = env.Find<KVLabel>(L"Label_a");
    label->colour = 0xFFFF0000;
    back->SetAlpha(0.5f);
    env.DrawFrame();
    ASSERT_EQ(env.iface.drawnTexts.size(), 1u);
    EXPECT_EQ(env.iface.drawnTexts[0].style.colour, 0x7FFF0000u);
    EXPECT_EQ(kv::ScaleColourAlpha(0x80123456, 1.0f), 0x80123456u);
    EXPECT_EQ(kv::ScaleColourAlpha(0xFF123456, 0.0f), 0x00123456u);
}

TEST_F(KVLabelTest, AClickOnALabelReachesTheWindowUnderIt)
{
    kv::KVWnd* back = env.Show(kLabelled);
    ASSERT_NE(back, nullptr);
    EventRecorder events;
    events.Attach(back, kv::EventLButtonDown);
    events.Attach(env.Find(L"Label_a"), kv::EventLButtonDown);
    EXPECT_TRUE(env.Click(150, 230));
    EXPECT_EQ(events.entries, (std::vector<std::wstring>{L"Wnd_back:LButtonDown"}));
}

} // namespace
