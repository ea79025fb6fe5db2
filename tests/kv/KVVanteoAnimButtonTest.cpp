// The game's animated button: scenes switch in Update, only once the showing scene allows it.
#include "kv/KVDirector.h"
#include "kv/KVVanteoAnimButton.h"
#include "kv/KVVisualEffect.h"

#include "WidgetTestEnv.h"

#include <gtest/gtest.h>

namespace {

using testsupport::AnimFile;
using testsupport::AnimScene;
using testsupport::WidgetEnv;

// Anibtn_game spans 120..220 x 120..160 inside a panel at (100, 100).
const char* const kButton = R"(<kevrin version="2">
  <base type="PANEL" name="Wnd_panel"><pos x="100" y="100"/><rect l="0" t="0" r="400" b="300"/>
    <child type="ANIMBUTTON" name="Anibtn_game"><pos x="20" y="20"/><rect l="0" t="0" r="100" b="40"/>
      <asset type="NORMAL">normal.xml</asset><asset type="DOWN">down.xml</asset><asset type="OVER">over.xml</asset>
      <asset type="DISABLE">disable.xml</asset>EXTRA
    </child>
  </base>
</kevrin>)";

struct Scenes {
    bool overLoops = false;
    bool withTransients = false;
};

class KVVanteoAnimButtonTest : public ::testing::Test {
protected:
    void Build(Scenes scenes)
    {
        env.system->GetRegistry().Unregister(L"AnimButton");
        env.system->GetRegistry().Register(&KVVanteoAnimButtonFactory::Instance());
        env.iface.AddFile(L"normal.xml", AnimFile(AnimScene("s", 100, true)));
        env.iface.AddFile(L"over.xml", AnimFile(AnimScene("s", 100, scenes.overLoops)));
        for (const wchar_t* name : {L"down.xml", L"disable.xml", L"enter.xml", L"leave.xml"})
            env.iface.AddFile(name, AnimFile(AnimScene("s", 100)));
        std::string layout = kButton;
        layout.replace(layout.find("EXTRA"), 5,
                       scenes.withTransients ? R"(<asset type="ENTER">enter.xml</asset><asset type="LEAVE">leave.xml</asset>)"
                                             : "");
        panel = env.Show(layout);
        ASSERT_NE(panel, nullptr);
        button = env.Find<KVVanteoAnimButton>(L"Anibtn_game");
        ASSERT_NE(button, nullptr);
    }

    std::wstring Current()
    {
        kv::KVAnimation* scene = button->GetAnimDirector()->currentScene;
        return scene ? scene->name : L"<none>";
    }
    void Run(int frames)
    {
        for (int i = 0; i < frames; ++i)
            env.system->Update(0.05f);
    }

    WidgetEnv env;
    kv::KVWnd* panel = nullptr;
    KVVanteoAnimButton* button = nullptr;
};

TEST_F(KVVanteoAnimButtonTest, TheFactoryMakesTheGamesButtonForEveryAnimButton)
{
    Build({});
    EXPECT_EQ(button->GetClassName(), L"KVVanteoAnimButton");
    EXPECT_EQ(button->GetTypeName(), L"AnimButton");
    EXPECT_EQ(&KVVanteoAnimButtonFactory::Instance(), &KVVanteoAnimButtonFactory::Instance());
    EXPECT_EQ(AnimButtonStateName(5), L"LEAVE");
    EXPECT_EQ(AnimButtonStateName(6), L"");
}

struct PressCase {
    bool overLoops;
    bool waitsForOverToEnd;
};

class KVVanteoPressTest : public KVVanteoAnimButtonTest, public ::testing::WithParamInterface<PressCase> {};

TEST_P(KVVanteoPressTest, APressShowsDownOnlyOnceTheOverSceneAllowsIt)
{
    Build({GetParam().overLoops, false});
    env.Move(150, 140);
    EXPECT_EQ(Current(), L"NORMAL") << "events only record the wish";
    Run(1);
    EXPECT_EQ(Current(), L"OVER");
    env.Send(WM_LBUTTONDOWN, 1, MAKELPARAM(150, 140));
    int frames = 0;
    while (Current() != L"DOWN" && frames < 20) {
        Run(1);
        ++frames;
    }
    ASSERT_EQ(Current(), L"DOWN");
    kv::KVAnimation* over = button->GetAnimDirector()->FindScene(L"OVER");
    if (GetParam().waitsForOverToEnd) {
        EXPECT_GT(frames, 1);
        EXPECT_FALSE(over->playing);
        EXPECT_FLOAT_EQ(over->progress, 1) << "OVER played to its end";
    } else {
        EXPECT_EQ(frames, 1) << "a looping scene gives way at the next update";
    }
}

INSTANTIATE_TEST_SUITE_P(OverScenes, KVVanteoPressTest,
                         ::testing::Values(PressCase{true, false}, PressCase{false, true}));

TEST_F(KVVanteoAnimButtonTest, SetStateShowsTheSceneOnceThenFollowsTheButtonsOwnState)
{
    Build({});
    button->SetState(6);
    EXPECT_EQ(button->GetWanted(), kv::KVButton::kNormal);
    button->SetState(kv::KVButton::kPressed);
    Run(1);
    EXPECT_EQ(Current(), L"DOWN");
    Run(10);
    EXPECT_EQ(Current(), L"NORMAL");
    EXPECT_EQ(button->GetShown(), kv::KVButton::kNormal);
}

TEST_F(KVVanteoAnimButtonTest, EnterAndLeavePlayToTheirEndBeforeTheStateScene)
{
    Build({false, true});
    env.Move(150, 140);
    EXPECT_EQ(button->GetPending(), KVVanteoAnimButton::kEntering);
    Run(1);
    EXPECT_EQ(Current(), L"ENTER");
    Run(10);
    EXPECT_EQ(Current(), L"OVER");
    Run(10); // let the non-looping OVER end
    env.Move(300, 300);
    Run(1);
    EXPECT_EQ(Current(), L"LEAVE");
    Run(10);
    EXPECT_EQ(Current(), L"NORMAL");
}

TEST_F(KVVanteoAnimButtonTest, DisablingDuringAPlayingSceneShowsDisableAfterItEnds)
{
    Build({});
    button->SetState(kv::KVButton::kPressed);
    Run(1);
    ASSERT_EQ(Current(), L"DOWN");
    button->SetEnabled(false);
    EXPECT_EQ(Current(), L"DOWN");
    Run(10);
    EXPECT_EQ(Current(), L"DISABLE");
}

TEST_F(KVVanteoAnimButtonTest, LeavingInsideADisabledParentDropsThePendingTransientOnly)
{
    Build({false, true});
    // The pointer leaves onto another window: the disabled panel under it takes no hover.
    ASSERT_NE(env.Show(R"(<kevrin version="2"><base type="PANEL" name="Wnd_other"><pos x="600" y="500"/>
        <rect l="0" t="0" r="100" b="100"/></base></kevrin>)"), nullptr);
    env.Move(150, 140);
    int32_t wanted = button->GetWanted();
    panel->SetEnabled(false);
    env.Move(650, 550);
    EXPECT_EQ(button->GetPending(), 0);
    EXPECT_EQ(button->GetWanted(), wanted);
}

} // namespace
