// Scroll bar and thumb: position arithmetic, arrows, wheel, clicks and drags through window
// messages, and bars whose track or parts would otherwise break the arithmetic.
#include "kv/KVScrollBar.h"

#include "WidgetTestEnv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using kv::KVScrollBar;
using testsupport::WidgetEnv;

// The bar spans 110..350 x 110..130 on screen. Its track runs from 20 to 220 (relative), the
// thumb is 20 wide, so a range of 100 gives 1.8 pixels per position. The thumb starts at x 20.
std::string BarLayout(const std::string& track = R"(<scrollrect l="20" t="0" r="220" b="20"/>)",
                      const std::string& parts = R"(
      <control type="BUTTON_LT" name="Btn_left"><pos x="0" y="0"/><rect l="0" t="0" r="20" b="20"/></control>
      <control type="BUTTON_RB" name="Btn_right"><pos x="220" y="0"/><rect l="0" t="0" r="20" b="20"/></control>
      <control type="THUMB" name="Btn_thumb"><pos x="20" y="0"/><rect l="0" t="0" r="20" b="20"/></control>)")
{
    return R"(<kevrin version="2">
  <base type="PANEL" name="Wnd_panel"><pos x="100" y="100"/><rect l="0" t="0" r="400" b="300"/>
    <child type="SCROLLBAR" name="Scroll_h" horizontal="1"><pos x="10" y="10"/><rect l="0" t="0" r="240" b="20"/>)" +
           parts + track + R"(
    </child>
  </base>
</kevrin>)";
}

class KVScrollBarTest : public ::testing::Test {
protected:
    // Loads a bar layout in place of the one loaded before.
    void Load(const std::string& xml)
    {
        if (top)
            env.Root()->DeleteChild(top);
        top = env.Show(xml);
        ASSERT_NE(top, nullptr);
        fired.clear();
        bar = env.Find<KVScrollBar>(L"Scroll_h");
        ASSERT_NE(bar, nullptr);
        bar->AddHandler(kv::EventScrollBarPosChanged, kv::MakeHandler(this, &KVScrollBarTest::OnPos));
    }
    void SetUp() override { Load(BarLayout()); }

    void OnPos(kv::EventArgs& args) { fired.push_back(static_cast<kv::ScrollBarPosChangedEventArgs&>(args).pos); }
    float ThumbX() const { return bar->thumbButton->GetPosition().x; }

    WidgetEnv env;
    kv::KVWnd* top = nullptr;
    KVScrollBar* bar = nullptr;
    std::vector<int32_t> fired;
};

TEST_F(KVScrollBarTest, BuildsItsThreePartsFromTheLayout)
{
    ASSERT_NE(bar->ltButton, nullptr);
    ASSERT_NE(bar->rbButton, nullptr);
    ASSERT_NE(bar->thumbButton, nullptr);
    EXPECT_EQ(bar->ltButton->GetName(), L"Btn_left");
    EXPECT_TRUE(bar->thumbButton->IsPart());
    EXPECT_TRUE(bar->thumbButton->IsDragable());
    EXPECT_EQ(bar->thumbButton->GetParent(), bar);
    EXPECT_EQ(bar->min, 0);
    EXPECT_EQ(bar->max, 100);
    EXPECT_EQ(bar->step, 1);
    EXPECT_FLOAT_EQ(bar->thumbButton->track.right, 220);
    EXPECT_TRUE(bar->thumbButton->horizontal);
}

struct PlaceCase {
    int32_t min, max, pos;
    float thumbX;
};

class KVScrollBarPlaceTest : public KVScrollBarTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(KVScrollBarPlaceTest, UpdateThumbPlacesTheThumbForThePositionAndReportsIt)
{
    const PlaceCase& c = GetParam();
    bar->min = c.min;
    bar->max = c.max;
    bar->pos = c.pos;
    bar->UpdateThumb();
    EXPECT_FLOAT_EQ(ThumbX(), c.thumbX);
    EXPECT_FLOAT_EQ(bar->thumbButton->GetPosition().y, 0);
    EXPECT_EQ(fired, (std::vector<int32_t>{c.pos}));
}

INSTANTIATE_TEST_SUITE_P(Positions, KVScrollBarPlaceTest,
                         ::testing::Values(PlaceCase{0, 100, 50, 110}, PlaceCase{0, 100, 0, 20},
                                           PlaceCase{0, 100, 100, 200}, PlaceCase{10, 20, 15, 110},
                                           PlaceCase{-5, 5, 0, 110}));

struct DragCase {
    int dx;
    float thumbX;
    int32_t pos;
};

class KVScrollBarDragTest : public KVScrollBarTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(KVScrollBarDragTest, DraggingTheThumbLeavesItWhereTheMouseWithinTheTrackPutsIt)
{
    const DragCase& c = GetParam();
    env.Drag(140, 120, 140 + c.dx, 125); // from the thumb's centre, a little off the axis too
    EXPECT_FLOAT_EQ(ThumbX(), c.thumbX);
    EXPECT_FLOAT_EQ(bar->thumbButton->GetPosition().y, 0) << "never moves across the bar";
    EXPECT_EQ(bar->pos, c.pos);
    EXPECT_EQ(fired, (std::vector<int32_t>{c.pos})) << "one report per move";
}

INSTANTIATE_TEST_SUITE_P(Drags, KVScrollBarDragTest,
                         ::testing::Values(DragCase{91, 111, 51}, DragCase{1, 21, 1}, DragCase{-50, 20, 0},
                                           DragCase{500, 200, 100}, DragCase{180, 200, 100}));

TEST_F(KVScrollBarTest, ArrowsAndTheWheelStepAndClampThePosition)
{
    bar->step = 10;
    env.Click(345, 120); // right arrow
    EXPECT_EQ(bar->pos, 10);
    env.Click(115, 120); // left arrow
    env.Click(115, 120);
    EXPECT_EQ(bar->pos, 0);
    EXPECT_EQ(fired, (std::vector<int32_t>{10, 0, 0})) << "a step at the end still reports";

    testsupport::EventRecorder events;
    events.Attach(bar, kv::EventMouseWheel);
    env.Wheel(-120, 250, 120); // on the track
    env.Wheel(-120, 140, 120); // on the thumb, which hands it to the bar
    EXPECT_EQ(bar->pos, 20);
    env.Wheel(0, 250, 120);
    EXPECT_EQ(bar->pos, 10) << "a zero delta is a notch up";
    EXPECT_EQ(events.entries.size(), 3u);
}

struct ClickCase {
    int32_t step;
    int x;
    int32_t computed, pos;
};

class KVScrollBarClickTest : public KVScrollBarTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(KVScrollBarClickTest, AClickOnTheTrackCentresTheThumbThereAndSnapsToTheEnds)
{
    const ClickCase& c = GetParam();
    bar->step = c.step;
    bar->SetPos(50); // thumb at 220..240 on screen, away from the clicks
    fired.clear();
    env.Click(c.x, 120);
    EXPECT_EQ(bar->pos, c.pos);
    EXPECT_FLOAT_EQ(ThumbX(), std::trunc(20 + c.pos * 1.8f + 0.5f));
    EXPECT_EQ(fired, (std::vector<int32_t>{c.computed, c.pos})) << "the point's position, then the snapped one";
}

// The thumb's left edge lands at x - 10; relative to the track start that is x - 140.
INSTANTIATE_TEST_SUITE_P(Clicks, KVScrollBarClickTest,
                         ::testing::Values(ClickCase{10, 149, 5, 0}, ClickCase{10, 312, 96, 100},
                                           ClickCase{10, 160, 11, 11}, ClickCase{1, 149, 5, 5},
                                           ClickCase{1, 145, 3, 3}));

TEST_F(KVScrollBarTest, AnEmptyRangeIgnoresClicksDragsAndUpdatesButArrowsStillClamp)
{
    bar->min = bar->max = 7;
    bar->pos = 7;
    bar->UpdateThumb();
    env.Click(250, 120);
    env.Drag(30 + 110, 120, 200, 120);
    env.Move(140, 120);
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(bar->pos, 7);
    bar->LineDown();
    bar->LineUp();
    EXPECT_EQ(bar->pos, 7);
}

TEST_F(KVScrollBarTest, HoveringTheThumbReportsThePositionItShowsWithoutShiftingIt)
{
    // 1000 positions on 180 pixels: many positions share a pixel.
    bar->max = 1000;
    bar->SetPos(333);
    float before = ThumbX();
    fired.clear();
    env.Move(140 + static_cast<int>(before) - 20, 120);
    env.Move(141 + static_cast<int>(before) - 20, 121);
    EXPECT_EQ(fired, (std::vector<int32_t>{333, 333}));
    EXPECT_EQ(bar->pos, 333);
    EXPECT_FLOAT_EQ(ThumbX(), before);
}

TEST_F(KVScrollBarTest, DisablingHidesOnlyTheThumbAndKeepsTheActiveWindow)
{
    kv::KVWnd* active = env.system->GetActiveWindow();
    bar->SetEnabled(false);
    EXPECT_FALSE(bar->thumbButton->IsVisible());
    EXPECT_TRUE(bar->ltButton->IsVisible());
    EXPECT_TRUE(bar->ltButton->IsEnabled());
    bar->SetEnabled(true);
    EXPECT_TRUE(bar->thumbButton->IsVisible());
    EXPECT_EQ(env.system->GetActiveWindow(), active);
}

TEST_F(KVScrollBarTest, AThumbOffTheTracksCrossEdgeStaysPutOverManyUpdates)
{
    Load(BarLayout(R"(<scrollrect l="20" t="3" r="220" b="17"/>)"));
    for (int32_t p : {10, 90, 40, 100, 0})
        bar->SetPos(p);
    EXPECT_FLOAT_EQ(bar->thumbButton->GetPosition().y, 0);
}

struct BrokenBar {
    const char* name;
    const char* track;
    const char* parts;
};

class KVScrollBarBrokenTest : public KVScrollBarTest, public ::testing::WithParamInterface<BrokenBar> {
protected:
    void SetUp() override { Load(BarLayout(GetParam().track, GetParam().parts)); }
};

// Every input a player can give reaches the bar without a crash, the position stays in range and
// the arrows that exist still step it.
TEST_P(KVScrollBarBrokenTest, SurvivesEveryInput)
{
    bar->step = 10;
    env.Click(345, 120);
    env.Click(115, 120);
    env.Click(250, 120);
    env.Drag(140, 120, 300, 120);
    env.Move(140, 120);
    env.Wheel(-120, 250, 120);
    env.Wheel(120, 140, 120);
    bar->SetPos(60);
    EXPECT_GE(bar->pos, bar->min);
    EXPECT_LE(bar->pos, bar->max);
    if (bar->thumbButton) {
        EXPECT_GE(ThumbX(), 20);
        EXPECT_FLOAT_EQ(bar->thumbButton->GetPosition().y, 0);
    }
}

const char* const kOnlyThumb =
    R"(<control type="THUMB" name="Btn_thumb"><pos x="20" y="0"/><rect l="0" t="0" r="20" b="20"/></control>)";
const char* const kOnlyArrows =
    R"(<control type="BUTTON_LT" name="Btn_left"><pos x="0" y="0"/><rect l="0" t="0" r="20" b="20"/></control>
       <control type="BUTTON_RB" name=""><pos x="220" y="0"/><rect l="0" t="0" r="20" b="20"/></control>)";
const char* const kAllParts =
    R"(<control type="BUTTON_LT" name="Btn_left"><pos x="0" y="0"/><rect l="0" t="0" r="20" b="20"/></control>
       <control type="THUMB" name="Btn_thumb"><pos x="20" y="0"/><rect l="0" t="0" r="20" b="20"/></control>)";

INSTANTIATE_TEST_SUITE_P(
    Bars, KVScrollBarBrokenTest,
    ::testing::Values(BrokenBar{"track_as_long_as_thumb", R"(<scrollrect l="20" t="0" r="40" b="20"/>)", kAllParts},
                      BrokenBar{"track_shorter_than_thumb", R"(<scrollrect l="20" t="0" r="30" b="20"/>)", kAllParts},
                      BrokenBar{"no_arrows", R"(<scrollrect l="20" t="0" r="220" b="20"/>)", kOnlyThumb},
                      BrokenBar{"no_thumb_and_an_unnamed_arrow", R"(<scrollrect l="20" t="0" r="220" b="20"/>)",
                                kOnlyArrows}),
    [](const ::testing::TestParamInfo<BrokenBar>& info) { return std::string(info.param.name); });

TEST_F(KVScrollBarTest, ATrackNoLongerThanTheThumbKeepsTheThumbAtItsStartAndStillReports)
{
    Load(BarLayout(R"(<scrollrect l="20" t="0" r="40" b="20"/>)"));
    bar->SetPos(70);
    EXPECT_FLOAT_EQ(ThumbX(), 20);
    EXPECT_EQ(fired, (std::vector<int32_t>{70}));
    env.Click(345, 120);
    EXPECT_EQ(bar->pos, 71) << "arrows keep working";
}

} // namespace
