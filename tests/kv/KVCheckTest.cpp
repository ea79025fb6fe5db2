// Check box: toggled by releases over it, with its image and "Changed" event following.
#include "kv/KVCheck.h"

#include "WidgetTestEnv.h"

#include <gtest/gtest.h>

namespace {

using testsupport::EventRecorder;
using testsupport::WidgetEnv;

// The check box spans 110..140 x 110..140 inside a panel at (100, 100).
const char* const kPanel = R"(<kevrin version="2">
  <base type="PANEL" name="Wnd_panel"><pos x="100" y="100"/><rect l="0" t="0" r="200" b="100"/>
    <child type="CHECK" name="Chk_sound"><pos x="10" y="10"/><rect l="0" t="0" r="30" b="30"/>
      <asset type="NORMAL">off.png</asset><asset type="CHECK">on.png</asset><PushSound val="push.wav"/>
    </child>
  </base>
</kevrin>)";

class KVCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(env.Show(kPanel), nullptr);
        check = env.Find<kv::KVCheck>(L"Chk_sound");
        ASSERT_NE(check, nullptr);
        check->AddHandler(kv::EventChanged, kv::MakeHandler(this, &KVCheckTest::OnChanged));
    }

    void OnChanged(kv::EventArgs& args) { changes.push_back(static_cast<kv::CheckChangedEventArgs&>(args).state); }

    int32_t DrawnImage()
    {
        env.DrawFrame();
        return env.renderer.imageDraws.empty() ? -1 : env.renderer.imageDraws.back().index;
    }

    WidgetEnv env;
    kv::KVCheck* check = nullptr;
    std::vector<bool> changes;
};

TEST_F(KVCheckTest, EachClickTogglesDrawsTheMatchingImageAndPlaysThePushSound)
{
    EXPECT_EQ(env.renderer.ImageCount(check->GetUniqueId()), 2);
    EXPECT_EQ(DrawnImage(), 0);
    env.Click(120, 120);
    EXPECT_EQ(DrawnImage(), 1);
    env.Click(120, 120);
    EXPECT_EQ(DrawnImage(), 0);
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));
    EXPECT_EQ(env.iface.sounds, (std::vector<std::wstring>{L"push.wav", L"push.wav"}));
}

TEST_F(KVCheckTest, AReleaseOverItTogglesEvenAfterAPressElsewhereAndWritingTheFieldFiresNothing)
{
    env.Send(WM_LBUTTONDOWN, 1, MAKELPARAM(250, 150)); // on the panel, which does not capture
    env.Send(WM_LBUTTONUP, 0, MAKELPARAM(120, 120));
    EXPECT_EQ(changes, (std::vector<bool>{true}));

    env.Send(WM_LBUTTONDOWN, 1, MAKELPARAM(120, 120));
    env.Send(WM_LBUTTONUP, 0, MAKELPARAM(250, 150)); // released outside: captured, but no toggle
    EXPECT_TRUE(check->checked);

    check->checked = false;
    EXPECT_EQ(DrawnImage(), 0);
    EXPECT_EQ(changes.size(), 1u);
}

} // namespace
