// Animated buttons: state scenes, the enter and leave transients, driven by window messages.
#include "kv/KVAnimButton.h"
#include "kv/KVDirector.h"
#include "kv/KVVisualEffect.h"

#include "WidgetTestEnv.h"

#include <gtest/gtest.h>

namespace {

using kv::KVAnimButton;
using testsupport::AnimFile;
using testsupport::AnimScene;
using testsupport::WidgetEnv;

// Anibtn_full spans 120..220 x 120..160, Anibtn_plain 120..220 x 170..210, Anibtn_group 120..220 x 220..260.
// The full button names its ENTER file as text and its LEAVE file as an element.
const char* const kButtons = R"(<kevrin version="2">
  <base type="PANEL" name="Wnd_panel"><pos x="100" y="100"/><rect l="0" t="0" r="400" b="300"/>
    <child type="ANIMBUTTON" name="Anibtn_full"><pos x="20" y="20"/><rect l="0" t="0" r="100" b="40"/>
      <asset type="NORMAL">normal.xml</asset><asset type="DOWN">down.xml</asset><asset type="OVER">over.xml</asset>
      <asset type="DISABLE">disable.xml</asset><asset type="ENTER">enter.xml</asset><asset type="LEAVE"><leave.xml/></asset>
    </child>
    <child type="ANIMBUTTON" name="Anibtn_plain"><pos x="20" y="70"/><rect l="0" t="0" r="100" b="40"/>
      <asset type="NORMAL">normal.xml</asset><asset type="DOWN">down.xml</asset><asset type="OVER">over.xml</asset>
    </child>
    <child type="ANIMBUTTON" name="Anibtn_group"><pos x="20" y="120"/><rect l="0" t="0" r="100" b="40"/>
      <asset type="GROUP">group.xml</asset>
    </child>
  </base>
</kevrin>)";

class KVAnimButtonTest : public ::testing::Test {
protected:
    void Build(bool enterLoops = false)
    {
        for (const wchar_t* name : {L"normal.xml", L"down.xml", L"over.xml", L"disable.xml", L"leave.xml"})
            env.iface.AddFile(name, AnimFile(AnimScene("s", 100)));
        env.iface.AddFile(L"enter.xml", AnimFile(AnimScene("s", 100, enterLoops)));
        env.iface.AddFile(L"group.xml", AnimFile(AnimScene("NORMAL", 100) + AnimScene("OVER", 100)));
        ASSERT_NE(env.Show(kButtons), nullptr);
        full = env.Find<KVAnimButton>(L"Anibtn_full");
        plain = env.Find<KVAnimButton>(L"Anibtn_plain");
        ASSERT_TRUE(full && plain);
    }
    void SetUp() override { Build(); }

    static std::wstring Current(KVAnimButton* button)
    {
        kv::KVAnimation* scene = button->GetAnimDirector()->currentScene;
        return scene ? scene->name : L"<none>";
    }
    static bool Playing(KVAnimButton* button) { return button->GetAnimDirector()->currentScene->playing; }
    void Run(int frames)
    {
        for (int i = 0; i < frames; ++i)
            env.system->Update(0.05f);
    }

    WidgetEnv env;
    KVAnimButton* full = nullptr;
    KVAnimButton* plain = nullptr;
};

TEST_F(KVAnimButtonTest, LoadsOneScenePerStateFileAndDrawsTheCurrentSceneInsteadOfImages)
{
    kv::KVDirector* director = full->GetAnimDirector();
    ASSERT_NE(director, nullptr);
    EXPECT_EQ(director->name, full->GetUniqueId() + L".AnimButton");
    for (const wchar_t* name : {L"NORMAL", L"DOWN", L"OVER", L"DISABLE", L"ENTER", L"LEAVE"})
        EXPECT_NE(director->FindScene(name), nullptr) << "text and element file names both load";
    EXPECT_EQ(Current(full), L"NORMAL");
    EXPECT_TRUE(Playing(full));
    EXPECT_EQ(env.renderer.ImageCount(full->GetUniqueId()), 0);
    env.DrawFrame();
    bool drawn = false;
    for (const auto& draw : env.renderer.animDraws)
        drawn |= draw.director == director->name && draw.scene == L"NORMAL";
    EXPECT_TRUE(drawn);
    EXPECT_TRUE(env.renderer.imageDraws.empty());
}

TEST_F(KVAnimButtonTest, AClickShowsTheEndOfANonLoopingOverSceneAtOnce)
{
    testsupport::EventRecorder events;
    events.Attach(plain, kv::EventClicked);
    env.Move(150, 180);
    env.Send(WM_LBUTTONDOWN, 1, MAKELPARAM(150, 180));
    EXPECT_EQ(Current(plain), L"DOWN");
    env.Send(WM_LBUTTONUP, 0, MAKELPARAM(150, 180));
    EXPECT_EQ(Current(plain), L"OVER");
    EXPECT_FALSE(Playing(plain));
    EXPECT_FLOAT_EQ(plain->GetAnimDirector()->currentScene->progress, 1);
    EXPECT_EQ(events.entries.size(), 1u);
}

TEST_F(KVAnimButtonTest, WithoutTransientScenesEnterAndLeaveRestartTheStateScene)
{
    env.Move(150, 180);
    EXPECT_EQ(Current(plain), L"OVER");
    EXPECT_EQ(plain->GetTransient(), KVAnimButton::kNoTransient);
    env.Move(300, 300);
    EXPECT_EQ(Current(plain), L"NORMAL");
    EXPECT_TRUE(Playing(plain));
}

TEST_F(KVAnimButtonTest, EnterPlaysUntilItEndsThenTheStateSceneAndLeaveLikewise)
{
    env.Move(150, 140);
    EXPECT_EQ(Current(full), L"ENTER");
    EXPECT_EQ(full->GetTransient(), KVAnimButton::kEntering);
    Run(10);
    EXPECT_EQ(Current(full), L"OVER");
    env.Move(300, 300);
    EXPECT_EQ(Current(full), L"LEAVE");
    Run(10);
    EXPECT_EQ(Current(full), L"NORMAL");
    EXPECT_EQ(full->GetTransient(), KVAnimButton::kNoTransient);
}

TEST_F(KVAnimButtonTest, ALoopingEnterSceneKeepsPlayingWhileThePointerStaysInside)
{
    env.Root()->DeleteChild(env.Find(L"Wnd_panel"));
    Build(true);
    env.Move(150, 140);
    Run(20);
    EXPECT_EQ(Current(full), L"ENTER");
    env.Move(300, 300);
    EXPECT_EQ(Current(full), L"LEAVE");
}

TEST_F(KVAnimButtonTest, EnteringWhilePressedRestartsTheStateSceneInsteadOfEnter)
{
    env.Move(150, 140);
    env.Send(WM_LBUTTONDOWN, 1, MAKELPARAM(150, 140));
    env.Move(300, 300);
    env.Move(150, 140);
    EXPECT_EQ(full->state, kv::KVButton::kPressed);
    EXPECT_EQ(Current(full), L"DOWN");
    EXPECT_TRUE(Playing(full));
}

TEST_F(KVAnimButtonTest, DisablingPlaysDisableAndEnablingPlaysNormalEvenUnderThePointer)
{
    env.Move(150, 180);
    plain->SetEnabled(false);
    EXPECT_EQ(Current(plain), L"OVER") << "no DISABLE scene: the current one goes on";
    full->SetEnabled(false);
    EXPECT_EQ(Current(full), L"DISABLE");
    env.Move(150, 140);
    full->SetEnabled(true);
    EXPECT_EQ(Current(full), L"NORMAL");
}

TEST_F(KVAnimButtonTest, AGroupFileKeepsItsSceneNamesAndAMissingStateLeavesTheLastScene)
{
    auto* group = env.Find<KVAnimButton>(L"Anibtn_group");
    EXPECT_EQ(group->GetAnimDirector()->scenes.size(), 2u);
    env.Move(150, 240);
    EXPECT_EQ(Current(group), L"OVER");
    env.Send(WM_LBUTTONDOWN, 1, MAKELPARAM(150, 240));
    EXPECT_EQ(Current(group), L"OVER");
}

TEST_F(KVAnimButtonTest, DirectorsAreReplacedWholeAndAnEmptyFileChangesNothing)
{
    EXPECT_EQ(plain->SetDirector(nullptr), 0);
    auto* custom = new kv::KVDirector;
    custom->name = L"custom";
    EXPECT_EQ(plain->SetDirector(custom), 1);
    plain->LoadAnimationFile(L"", L"NORMAL");
    EXPECT_EQ(plain->GetAnimDirector()->name, L"custom");
    EXPECT_TRUE(custom->scenes.empty());

    plain->LoadAnimation(L"group.xml");
    EXPECT_EQ(plain->GetAnimDirector()->scenes.size(), 2u);
    EXPECT_EQ(Current(plain), L"NORMAL");
}

TEST_F(KVAnimButtonTest, AButtonWhoseDirectorWasReleasedStillTakesInputUpdatesAndDraws)
{
    plain->ReleaseDirector();
    testsupport::EventRecorder events;
    events.Attach(plain, kv::EventClicked);
    env.Move(150, 180);
    env.Click(150, 180);
    env.Move(300, 300);
    plain->SetEnabled(false);
    plain->ApplyState();
    Run(2);
    env.DrawFrame();
    EXPECT_EQ(events.entries.size(), 1u);
}

} // namespace
