// Progress bars: the bar image cut to the value's share of the range.
#include "kv/KVProgress.h"

#include "WidgetTestEnv.h"

#include <gtest/gtest.h>

namespace {

using kv::KVProgress;
using testsupport::WidgetEnv;

// The bar spans 100..300 x 200..240 on screen.
const char* const kGauge = R"(<kevrin version="2">
  <base type="PANEL" name="Wnd_panel"><pos x="90" y="180"/><rect l="0" t="0" r="400" b="300"/>
    <child type="PROGRESS" name="Progress_gauge"><pos x="10" y="20"/><rect l="0" t="0" r="200" b="40"/>
      <asset type="BAR">bar.png</asset><tex x="256" y="64"/></child>
  </base>
</kevrin>)";

// A renderer that also keeps the sizes set on images.
class SizingRenderer : public testsupport::RecordingRenderer {
public:
    void SetImageSize(const std::wstring& group, int32_t index, float width, float height) override
    {
        RecordingRenderer::SetImageSize(group, index, width, height);
        lastSize = {width, height};
    }
    kv::KVPoint lastSize;
};

struct BarCase {
    bool horizontal;
    int32_t minimum, maximum, value;
    float width, height, y;
};

class KVProgressTest : public ::testing::TestWithParam<BarCase> {
protected:
    void SetUp() override
    {
        env.system->SetRenderer(&sizing);
        ASSERT_NE(env.Show(kGauge), nullptr);
        bar = env.Find<KVProgress>(L"Progress_gauge");
        ASSERT_NE(bar, nullptr);
    }

    SizingRenderer sizing; // outlives the windows, which release their images as they go
    WidgetEnv env;
    KVProgress* bar = nullptr;
};

TEST_P(KVProgressTest, CutsTheBarToTheValuesShareFromTheLeftOrTheBottom)
{
    const BarCase& c = GetParam();
    bar->horizontal = c.horizontal;
    bar->minimum = c.minimum;
    bar->maximum = c.maximum;
    bar->value = c.value;
    sizing.ClearRecords();
    env.Root()->Draw();
    EXPECT_FLOAT_EQ(sizing.lastSize.x, c.width);
    EXPECT_FLOAT_EQ(sizing.lastSize.y, c.height);
    ASSERT_EQ(sizing.imageDraws.size(), 1u);
    EXPECT_FLOAT_EQ(sizing.imageDraws[0].position.x, 100);
    EXPECT_FLOAT_EQ(sizing.imageDraws[0].position.y, c.y);
}

INSTANTIATE_TEST_SUITE_P(
    Values, KVProgressTest,
    ::testing::Values(BarCase{true, 0, 100, 25, 50, 40, 200}, BarCase{false, 0, 100, 25, 200, 10, 230},
                      BarCase{true, 0, 100, 150, 300, 40, 200}, BarCase{true, -50, 50, 0, 100, 40, 200},
                      // An empty range shows an empty bar instead of dividing by zero.
                      BarCase{true, 100, 100, 100, 0, 40, 200}, BarCase{false, 7, 7, 3, 200, 0, 240}));

TEST_F(KVProgressTest, RangeAndPositionClampTheValue)
{
    EXPECT_EQ(env.renderer.ImageCount(bar->GetUniqueId()), 0) << "images went to the sizing renderer";
    EXPECT_EQ(sizing.ImageCount(bar->GetUniqueId()), 1);
    EXPECT_EQ(bar->value, 50);
    bar->value = 150;
    bar->SetRange(0, 100);
    EXPECT_EQ(bar->value, 100);
    bar->SetPos(-3);
    EXPECT_EQ(bar->value, 0);
    bar->SetRange(10, 20);
    EXPECT_EQ(bar->value, 10);
    bar->SetPos(15);
    EXPECT_EQ(bar->value, 15);
}

} // namespace
