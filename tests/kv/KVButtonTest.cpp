// Buttons and label buttons, clicked and hovered through window messages as a player would.
#include "kv/KVButton.h"
#include "kv/KVLabel.h"
#include "kv/KVLabelButton.h"

#include "WidgetTestEnv.h"

#include <gtest/gtest.h>

namespace {

using kv::KVButton;
using testsupport::EventRecorder;
using testsupport::WidgetEnv;

// A panel at (100, 100) with a button at (20, 20) 100 x 40, so the button spans 120..220 x 120..160.
const char* const kPanel = R"(<kevrin version="2">
  <base type="PANEL" name="Wnd_panel"><pos x="100" y="100"/><rect l="0" t="0" r="400" b="300"/>
    <child type="BUTTON" name="Btn_ok"><pos x="20" y="20"/><rect l="0" t="0" r="100" b="40"/>
      <asset type="NORMAL">n.png</asset><asset type="DOWN">d.png</asset><asset type="DISABLE">x.png</asset>
      <snd type="DOWN">press.wav</snd><snd type="OVER">over.wav</snd>
    </child>
    <child type="LABELBUTTON" name="Lbtn_go"><pos x="20" y="100"/><rect l="0" t="0" r="100" b="40"/>
      <control type="LABEL" name="Label_go"><pos x="0" y="0"/><rect l="0" t="0" r="100" b="40"/><label val="Go"/></control>
    </child>
    <child type="LABELBUTTON" name="Lbtn_plain"><pos x="20" y="200"/><rect l="0" t="0" r="100" b="40"/></child>
  </base>
</kevrin>)";

class KVButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel = env.Show(kPanel);
        ASSERT_NE(panel, nullptr);
        button = env.Find<KVButton>(L"Btn_ok");
        ASSERT_NE(button, nullptr);
        events.Attach(button, kv::EventClicked);
        events.Attach(button, kv::EventLButtonUp);
    }

    // The image index the button draws this frame.
    int32_t DrawnImage()
    {
        env.DrawFrame();
        for (const auto& draw : env.renderer.imageDraws)
            if (draw.group == button->GetUniqueId())
                return draw.index;
        return -1;
    }

    void Press(int x, int y) { env.Send(WM_LBUTTONDOWN, 1, MAKELPARAM(x, y)); }
    void Release(int x, int y) { env.Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }

    WidgetEnv env;
    kv::KVWnd* panel = nullptr;
    KVButton* button = nullptr;
    EventRecorder events;
};

TEST_F(KVButtonTest, AddsOneImagePerStateEvenWithoutAPathAndResizesAllFour)
{
    EXPECT_EQ(env.renderer.ImageCount(button->GetUniqueId()), 4) << "the over image has no path but keeps index 2";
    env.renderer.calls.clear();
    button->SetSizeFromRect({0, 120, 0, 50});
    int resized = 0;
    for (const auto& call : env.renderer.calls)
        resized += call.rfind(L"SetImageSize " + button->GetUniqueId(), 0) == 0;
    EXPECT_EQ(resized, 4);
}

TEST_F(KVButtonTest, AClickInsidePlaysSoundsTellsTheInterfaceAndFiresClicked)
{
    env.Move(150, 140);
    EXPECT_EQ(DrawnImage(), KVButton::kOver);
    Press(150, 140);
    EXPECT_EQ(DrawnImage(), KVButton::kPressed);
    Release(150, 140);
    EXPECT_EQ(DrawnImage(), KVButton::kOver);
    EXPECT_EQ(env.iface.sounds, (std::vector<std::wstring>{L"over.wav", L"press.wav"}));
    EXPECT_EQ(env.iface.buttonStates, (std::vector<int32_t>{KVButton::kIfOver, KVButton::kIfPressed, KVButton::kIfOver}));
    EXPECT_EQ(events.entries, (std::vector<std::wstring>{L"Btn_ok:LButtonUp", L"Btn_ok:Clicked"}));
}

TEST_F(KVButtonTest, PressMoveOutAndBackThenReleaseOutsideShowsPressedNormalPressedAndFiresNothing)
{
    env.Move(150, 140);
    Press(150, 140);
    env.Move(300, 300);
    EXPECT_EQ(DrawnImage(), KVButton::kNormal);
    env.Move(150, 140);
    EXPECT_EQ(DrawnImage(), KVButton::kPressed);
    env.Move(300, 300);
    Release(300, 300);
    EXPECT_EQ(DrawnImage(), KVButton::kNormal);
    EXPECT_EQ(events.entries, (std::vector<std::wstring>{L"Btn_ok:LButtonUp"})) << "no Clicked";
    EXPECT_EQ(env.iface.buttonStates.back(), KVButton::kIfNormal);
}

TEST_F(KVButtonTest, DisabledButtonsAndButtonsInDisabledParentsDrawTheDisabledImage)
{
    button->SetEnabled(false);
    EXPECT_EQ(DrawnImage(), KVButton::kDisabled);
    env.Click(150, 140);
    EXPECT_TRUE(events.entries.empty()) << "a disabled button is never hit";
    button->SetEnabled(true);
    EXPECT_EQ(button->state, KVButton::kNormal);

    panel->SetEnabled(false);
    for (int32_t state : {KVButton::kNormal, KVButton::kOver}) {
        button->state = state;
        EXPECT_EQ(DrawnImage(), KVButton::kDisabled);
    }
}

TEST_F(KVButtonTest, ALockedStateSurvivesHoverAndReleaseButTheClickStillFires)
{
    button->state = KVButton::kPressed;
    button->stateLock = true;
    env.Move(150, 140);
    env.Move(300, 300);
    EXPECT_EQ(DrawnImage(), KVButton::kPressed);
    env.Click(150, 140);
    EXPECT_EQ(DrawnImage(), KVButton::kPressed);
    EXPECT_EQ(events.entries.back(), L"Btn_ok:Clicked");
}

TEST_F(KVButtonTest, HidingDropsAPressSoALaterReleaseFiresNothing)
{
    Press(150, 140);
    button->SetVisible(false);
    button->SetVisible(true);
    Release(150, 140);
    EXPECT_TRUE(events.entries.empty());
}

TEST_F(KVButtonTest, ALabelButtonOwnsItsLabelAsAPartAndTakesClicksThroughIt)
{
    auto* labelButton = env.Find<kv::KVLabelButton>(L"Lbtn_go");
    auto* label = dynamic_cast<kv::KVLabel*>(labelButton->GetInnerWindow());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetParent(), labelButton);
    EXPECT_TRUE(label->IsPart());
    EXPECT_EQ(label->text, L"Go");
    events.Attach(labelButton, kv::EventClicked);
    env.Click(150, 220);
    EXPECT_EQ(events.entries.back(), L"Lbtn_go:Clicked");
    env.DrawFrame();
    ASSERT_EQ(env.iface.drawnTexts.size(), 1u);
    EXPECT_EQ(env.iface.drawnTexts[0].text, L"Go");

    auto* plain = env.Find<kv::KVLabelButton>(L"Lbtn_plain");
    EXPECT_EQ(plain->GetInnerWindow(), nullptr);
    EXPECT_EQ(plain->GetChildCount(), 0);
}

} // namespace
