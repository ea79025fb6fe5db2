#include "lane/LaneAssets.h"
#include "lane/VanteoEffect.h"
#include "engine/PlayerSettings.h"

#include "engine/AnimationXml.h"

#include <gtest/gtest.h>

namespace {

using namespace enginetest::animxml;

class VanteoEffectTest : public ::testing::Test {
protected:
    VanteoEffectTest()
    {
        // "effect_pluck" lasts 0.5 s.
        folder.Write("anim/Pluck.xml", FileXml(SceneXml("effect_pluck", {{0}, {500}})));
        AttachPlayerSettings({[](int index) { return index == LaneSkin::kVanteoEffect ? "Pluck.xml" : ""; }, {}});
    }
    ~VanteoEffectTest() override { AttachPlayerSettings({}); }

    std::vector<float> Xs() const
    {
        std::vector<float> xs;
        for (const auto& entry : effect.GetEntries())
            xs.push_back(entry.x);
        return xs;
    }

    DataFolder folder;
    VanteoEffect effect;
};

TEST_F(VanteoEffectTest, BurstsLiveForTheAnimationAndLeaveInOrder)
{
    EXPECT_FALSE(effect.IsLoaded());
    effect.Add(1, 10);
    EXPECT_TRUE(effect.IsLoaded());
    effect.Update(0.3f);
    effect.Add(2, 20);
    effect.Update(0.25f); // the first is past 0.5 s
    EXPECT_EQ(Xs(), std::vector<float>{2});
    effect.Update(0.25f);
    EXPECT_EQ(Xs(), std::vector<float>{2});
    effect.Update(0.01f);
    EXPECT_TRUE(effect.GetEntries().empty());
}

TEST_F(VanteoEffectTest, ClearDropsEveryBurstAndLoadsAgainAtTheNextHit)
{
    effect.Add(1, 10);
    effect.Add(2, 10);
    effect.Clear();
    EXPECT_TRUE(effect.GetEntries().empty());
    EXPECT_FALSE(effect.IsLoaded());
    effect.Add(3, 10);
    EXPECT_TRUE(effect.IsLoaded());
    effect.Update(0.4f);
    EXPECT_EQ(Xs(), std::vector<float>{3});
}

TEST(VanteoEffectMissing, WithoutItsFileABurstGoesAtTheFirstStep)
{
    AttachPlayerSettings({});
    VanteoEffect effect;
    effect.Add(1, 1);
    effect.Update(0.0f);
    EXPECT_EQ(effect.GetEntries().size(), 1u);
    effect.Update(0.001f);
    EXPECT_TRUE(effect.GetEntries().empty());
}

} // namespace
