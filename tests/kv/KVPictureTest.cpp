// Pictures: still images, and animations played by the picture's own director.
#include "kv/KVDirector.h"
#include "kv/KVVisualEffect.h"
#include "kv/KVPicture.h"

#include "WidgetTestEnv.h"

#include <gtest/gtest.h>

namespace {

using kv::KVPicture;
using testsupport::AnimFile;
using testsupport::AnimScene;
using testsupport::WidgetEnv;

const char* const kPictures = R"(<kevrin version="2">
  <base type="PANEL" name="Wnd_panel"><pos x="100" y="100"/><rect l="0" t="0" r="400" b="300"/>
    <child type="PICTURE" name="Pic_still"><pos x="10" y="20"/><rect l="0" t="0" r="64" b="32"/>
      <asset type="ANIMATION">ignored.xml</asset><asset type="STATIC">still.png</asset></child>
    <child type="PICTURE" name="Pic_anim"><pos x="50" y="60"/><rect l="0" t="0" r="64" b="64"/>
      <asset type="ANIMATION">pic_anim.xml</asset></child>
    <child type="PICTURE" name="Pic_missing"><pos x="0" y="0"/><rect l="0" t="0" r="8" b="8"/>
      <asset type="ANIMATION">nowhere.xml</asset></child>
  </base>
</kevrin>)";

class KVPictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        env.iface.AddFile(L"pic_anim.xml", AnimFile(AnimScene("idle", 100, true) + AnimScene("wave", 100)));
        ASSERT_NE(env.Show(kPictures), nullptr);
        still = env.Find<KVPicture>(L"Pic_still");
        anim = env.Find<KVPicture>(L"Pic_anim");
        ASSERT_TRUE(still && anim);
    }

    std::wstring Current(KVPicture* picture) { return picture->GetPictureDirector()->currentScene->name; }

    WidgetEnv env;
    KVPicture* still = nullptr;
    KVPicture* anim = nullptr;
};

TEST_F(KVPictureTest, AStillPictureDrawsItsImageWithTheWindowsScaleAndRotation)
{
    EXPECT_TRUE(still->IsStatic()) << "the last asset wins";
    EXPECT_EQ(env.renderer.ImageCount(still->GetUniqueId()), 1);
    EXPECT_EQ(still->GetPictureDirector(), nullptr);
    EXPECT_FALSE(still->IsScenePlaying());
    still->SetScale(2, 3);
    still->SetRotation(45);
    env.DrawFrame();
    ASSERT_EQ(env.renderer.imageDraws.size(), 1u);
    const auto& draw = env.renderer.imageDraws[0];
    EXPECT_FLOAT_EQ(draw.position.x, 110);
    EXPECT_FLOAT_EQ(draw.position.y, 120);
    EXPECT_FLOAT_EQ(draw.scale.y, 3);
    EXPECT_FLOAT_EQ(draw.rotation, 45);
}

TEST_F(KVPictureTest, AnAnimatedPicturePlaysItsFirstSceneAndDrawsItThroughItsDirector)
{
    kv::KVDirector* director = anim->GetPictureDirector();
    ASSERT_NE(director, nullptr);
    EXPECT_EQ(director->name, anim->GetUniqueId() + L".ANIMPICTURE");
    EXPECT_FLOAT_EQ(director->width, 64);
    EXPECT_EQ(Current(anim), L"idle");
    EXPECT_TRUE(anim->IsScenePlaying());
    env.system->Update(0.05f);
    env.DrawFrame();
    ASSERT_EQ(env.renderer.animDraws.size(), 1u);
    EXPECT_EQ(env.renderer.animDraws[0].director, director->name);
    EXPECT_EQ(env.renderer.animDraws[0].scene, L"idle");
    EXPECT_GT(director->currentScene->time, 0.0f);
}

TEST_F(KVPictureTest, PlaySceneRestartsNamedScenesAndStartsTheFirstForAnEmptyName)
{
    int finished = 0;
    struct Counter {
        int* count;
        void On(kv::EventArgs&) { ++*count; }
    } counter{&finished};
    anim->GetPictureDirector()->AddHandler(kv::EventAnimFinished, kv::MakeHandler(&counter, &Counter::On));

    anim->PlayScene(L"wave");
    EXPECT_EQ(Current(anim), L"wave");
    EXPECT_EQ(finished, 1) << "a named scene is stopped before it starts";
    env.system->Update(0.05f);
    anim->PlayScene(L"wave");
    EXPECT_FLOAT_EQ(anim->GetPictureDirector()->currentScene->time, 0) << "restarted from its beginning";
    anim->PlayScene(L"nothing");
    EXPECT_EQ(Current(anim), L"wave");
    finished = 0;
    anim->PlayScene(L"");
    EXPECT_EQ(Current(anim), L"idle");
    EXPECT_EQ(finished, 0) << "an empty name starts scene 0 without a stop";
}

TEST_F(KVPictureTest, AnUnreadableAnimationKeepsAnEmptyDirectorAndDrawsNothing)
{
    auto* missing = env.Find<KVPicture>(L"Pic_missing");
    ASSERT_NE(missing->GetPictureDirector(), nullptr);
    missing->PlayScene(L"idle");
    missing->PlayScene(L"");
    EXPECT_FALSE(missing->IsScenePlaying());
    env.system->Update(0.05f);
    env.DrawFrame();
    for (const auto& draw : env.renderer.animDraws)
        EXPECT_NE(draw.director, missing->GetPictureDirector()->name);
}

} // namespace
