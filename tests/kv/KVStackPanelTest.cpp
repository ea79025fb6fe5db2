// Stack panels: children stacked last to first with the panel's alignments.
#include "kv/KVStackPanel.h"

#include "WidgetTestEnv.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kv::KVStackPanel;
using testsupport::WidgetEnv;

// A panel 100 x 100 holding a first child 40 x 30 and a last child 60 x 20.
std::string Stack(const char* hAlign, const char* vAlign)
{
    return std::string(R"(<kevrin version="2">
  <base type="STACKPANEL" name="Stack_list"><pos x="0" y="0"/><rect l="0" t="0" r="100" b="100"/>
    <HAlign val=")") + hAlign + R"("/><VAlign val=")" + vAlign + R"("/>
    <child type="PANEL" name="Panel_first"><pos x="5" y="5"/><rect l="0" t="0" r="40" b="30"/></child>
    <child type="PANEL" name="Panel_last"><pos x="5" y="5"/><rect l="0" t="0" r="60" b="20"/></child>
  </base>
</kevrin>)";
}

struct StackCase {
    const char* hAlign;
    const char* vAlign;
    float firstX, firstY, lastX, lastY;
};

class KVStackPanelTest : public ::testing::TestWithParam<StackCase> {
protected:
    WidgetEnv env;
};

TEST_P(KVStackPanelTest, StacksTheChildrenFromTheLastWithItsAlignments)
{
    const StackCase& c = GetParam();
    ASSERT_NE(env.Show(Stack(c.hAlign, c.vAlign)), nullptr);
    kv::KVPoint first = env.Find(L"Panel_first")->GetPosition();
    kv::KVPoint last = env.Find(L"Panel_last")->GetPosition();
    EXPECT_FLOAT_EQ(first.x, c.firstX);
    EXPECT_FLOAT_EQ(first.y, c.firstY);
    EXPECT_FLOAT_EQ(last.x, c.lastX);
    EXPECT_FLOAT_EQ(last.y, c.lastY);
}

INSTANTIATE_TEST_SUITE_P(Alignments, KVStackPanelTest,
                         ::testing::Values(StackCase{"Left", "Top", 0, 20, 0, 0},
                                           StackCase{"Center", "Center", 30, 45, 20, 25},
                                           StackCase{"Right", "Bottom", 60, 70, 40, 50},
                                           StackCase{"7", "9", 0, 20, 0, 0}));

TEST(KVStackPanelResize, ResizingRearrangesAndChildrenKeepTheirSizes)
{
    WidgetEnv env;
    auto* panel = dynamic_cast<KVStackPanel*>(env.Show(Stack("Right", "Bottom")));
    ASSERT_NE(panel, nullptr);
    panel->SetSizeFromRect({0, 200, 0, 150});
    EXPECT_FLOAT_EQ(env.Find(L"Panel_first")->GetPosition().x, 160);
    EXPECT_FLOAT_EQ(env.Find(L"Panel_first")->GetPosition().y, 120);
    EXPECT_FLOAT_EQ(env.Find(L"Panel_last")->GetWidth(), 60);
    EXPECT_FLOAT_EQ(env.Find(L"Panel_last")->GetPosition().y, 100);
}

} // namespace
