#include "AnimationXml.h"
#include "EngineFakes.h"

#include "engine/BlockClickEffect.h"
#include "engine/PlayerSettings.h"

#include <gtest/gtest.h>

using namespace enginetest;
using namespace enginetest::animxml;

namespace {

class BlockClickEffectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        comboHandle = renderer.AddTexture("combo.png", 16, 16);
        stampHandle = renderer.AddTexture("stamp.png", 16, 16);
        // "combo" lasts 0.7 s, "stamp" 0.4 s.
        folder.Write("effect/ClickEffect.xml", FileXml(SceneXml("combo", {{0}, {700}}, "", "combo.png") +
                                                       SceneXml("stamp", {{0}, {400}}, "", "stamp.png")));
        AttachPlayerSettings({[this](int index) { return index == kSkinMouseCursorEffect ? effectFile : ""; }, {}});
    }
    void TearDown() override { AttachPlayerSettings({}); }

    std::vector<int> Whiches() const
    {
        std::vector<int> out;
        for (const auto& entry : effect.GetEntries())
            out.push_back(entry.which);
        return out;
    }

    RecordingRenderBackend renderer;
    DataFolder folder;
    std::string effectFile = "ClickEffect.xml";
    BlockClickEffect effect;
    int comboHandle = 0;
    int stampHandle = 0;
};

TEST_F(BlockClickEffectTest, EntriesLiveForTheLengthOfTheirAnimationInOrder)
{
    effect.LoadAnimations();
    effect.LoadAnimations();
    effect.Add(BlockClickEffect::kStamp, 1, 1);
    effect.Add(BlockClickEffect::kCombo, 2, 2);
    effect.Update(0.3f);
    effect.Add(BlockClickEffect::kStamp, 3, 3);
    effect.Add(7, 4, 4); // no such animation
    EXPECT_EQ(Whiches(), (std::vector<int>{1, 0, 1}));

    effect.Update(0.15f); // the first stamp is past 0.4 s
    EXPECT_EQ(Whiches(), (std::vector<int>{0, 1}));
    effect.Update(0.3f); // the combo (0.75 s) and the second stamp (0.45 s) end together
    EXPECT_TRUE(effect.GetEntries().empty());

    effect.Add(BlockClickEffect::kCombo, 0, 0);
    effect.Clear();
    EXPECT_TRUE(effect.GetEntries().empty());
}

TEST_F(BlockClickEffectTest, DrawsEachEntryAtItsPositionThroughTheMatrix)
{
    effect.LoadAnimations();
    effect.Add(BlockClickEffect::kStamp, 100, 50);
    effect.Add(BlockClickEffect::kCombo, 10, 20);
    D3DXMATRIX shift;
    D3DXMatrixTranslation(&shift, 1000, 0, 0);
    effect.Draw(&shift);
    ASSERT_EQ(renderer.sprites.size(), 2u);
    EXPECT_EQ(renderer.sprites[0].handle, stampHandle);
    EXPECT_FLOAT_EQ(renderer.sprites[0].matrix._41, 1100.0f);
    EXPECT_FLOAT_EQ(renderer.sprites[0].matrix._42, 50.0f);
    EXPECT_EQ(renderer.sprites[1].handle, comboHandle);
}

TEST_F(BlockClickEffectTest, WithoutItsAnimationFileEntriesGoAtTheFirstUpdate)
{
    effectFile = "Missing.xml";
    effect.LoadAnimations();
    effect.Add(BlockClickEffect::kStamp, 0, 0);
    effect.Draw(nullptr);
    EXPECT_TRUE(renderer.sprites.empty());
    effect.Update(0.0f);
    EXPECT_EQ(effect.GetEntries().size(), 1u);
    effect.Update(0.01f);
    EXPECT_TRUE(effect.GetEntries().empty());
}

} // namespace
