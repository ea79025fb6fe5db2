// Slider: drags on its own area and on its thumb, snapping, and disabling its parts.
#include "kv/KVSlider.h"

#include "WidgetTestEnv.h"

#include <gtest/gtest.h>

namespace {

using kv::KVSlider;
using testsupport::EventRecorder;
using testsupport::WidgetEnv;

// The slider spans 110..350 x 110..130 on screen; track 20..220 relative, thumb 20 wide: 1.8
// pixels per position over 0..100.
const char* const kSlider = R"(<kevrin version="2">
  <base type="PANEL" name="Wnd_panel"><pos x="100" y="100"/><rect l="0" t="0" r="400" b="300"/>
    <child type="SLIDER" name="Slider_volume" horizontal="1"><pos x="10" y="10"/><rect l="0" t="0" r="240" b="20"/>
      <control type="BUTTON_LT" name="Btn_less"><pos x="0" y="0"/><rect l="0" t="0" r="20" b="20"/></control>
      <control type="BUTTON_RB" name="Btn_more"><pos x="220" y="0"/><rect l="0" t="0" r="20" b="20"/></control>
      <control type="THUMB" name="Btn_knob"><pos x="20" y="0"/><rect l="0" t="0" r="20" b="20"/></control>
      <sliderect l="20" t="0" r="220" b="20"/>
    </child>
  </base>
</kevrin>)";

class KVSliderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(env.Show(kSlider), nullptr);
        slider = env.Find<KVSlider>(L"Slider_volume");
        ASSERT_NE(slider, nullptr);
        slider->AddHandler(kv::EventSliderPosChanged, kv::MakeHandler(this, &KVSliderTest::OnPos));
    }

    void OnPos(kv::EventArgs& args) { fired.push_back(static_cast<kv::SliderPosChangedEventArgs&>(args).pos); }
    float ThumbX() const { return slider->thumbButton->GetPosition().x; }

    WidgetEnv env;
    KVSlider* slider = nullptr;
    std::vector<int32_t> fired;
};

TEST_F(KVSliderTest, DraggingTheThumbSnapsItToThePositionsPlaceAndReportsTwicePerMove)
{
    env.Drag(140, 120, 231, 120);
    EXPECT_EQ(slider->pos, 51);
    EXPECT_FLOAT_EQ(ThumbX(), 112) << "51 x 1.8 + 0.5 past the track start";
    EXPECT_EQ(fired, (std::vector<int32_t>{51, 51}));
}

TEST_F(KVSliderTest, APressOnTheTrackDragsTheThumbUntilTheRelease)
{
    EventRecorder events;
    events.Attach(slider, kv::EventLButtonUp);
    env.Send(WM_LBUTTONDOWN, 1, MAKELPARAM(240, 120));
    EXPECT_TRUE(slider->dragging);
    EXPECT_EQ(env.system->GetCapturedWindow(), slider);
    int32_t first = slider->pos;
    env.Send(WM_MOUSEMOVE, 1, MAKELPARAM(300, 200)); // off the slider, still captured
    int32_t dragged = slider->pos;
    env.Send(WM_LBUTTONUP, 0, MAKELPARAM(300, 200));
    env.Move(160, 120);
    // The thumb centres on the pointer: its left edge at 230 is 100 past the track start,
    // 100 / 1.8 + 0.5 = 56.05; at 290 it is 160 past, 89.4.
    EXPECT_EQ(first, 56);
    EXPECT_EQ(dragged, 89);
    EXPECT_FLOAT_EQ(ThumbX(), 20 + 160);
    EXPECT_EQ(slider->pos, dragged) << "moves after the release no longer drag";
    EXPECT_FALSE(slider->dragging);
    EXPECT_EQ(env.system->GetCapturedWindow(), nullptr);
    EXPECT_EQ(events.entries, (std::vector<std::wstring>{L"Slider_volume:LButtonUp"}));
}

TEST_F(KVSliderTest, HoveringTheThumbReportsTwice)
{
    slider->SetPos(50);
    fired.clear();
    env.Move(230, 120);
    EXPECT_EQ(fired, (std::vector<int32_t>{50, 50}));
}

TEST_F(KVSliderTest, DisablingDisablesItsThreePartsAndEnablingRestoresThem)
{
    slider->SetEnabled(false);
    for (kv::KVButton* part : {slider->ltButton, slider->rbButton, static_cast<kv::KVButton*>(slider->thumbButton)}) {
        EXPECT_FALSE(part->IsEnabled());
        EXPECT_EQ(part->state, kv::KVButton::kDisabled);
    }
    slider->SetEnabled(true);
    for (kv::KVButton* part : {slider->ltButton, slider->rbButton, static_cast<kv::KVButton*>(slider->thumbButton)})
        EXPECT_EQ(part->state, kv::KVButton::kNormal);
}

TEST_F(KVSliderTest, AnEmptyRangeIgnoresDragsOfTheTrackAndTheThumb)
{
    slider->min = slider->max = 0;
    env.Drag(240, 120, 300, 120);
    env.Drag(140, 120, 200, 120);
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(slider->pos, 0);
}

} // namespace
