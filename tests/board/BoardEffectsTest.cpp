#include "SkinFixture.h"

#include "board/BlockClearEffect.h"
#include "board/BlockClearEffect2.h"
#include "board/ComboEffect.h"
#include "engine/SkinTable.h"

#include <gtest/gtest.h>

using namespace boardtest;

namespace {

TEST(BoardSkinEntries, IndexesNameTheSkinTableKeys)
{
    const auto& keys = CSkinTable::KeyNames();
    struct Case {
        int index;
        const char* key;
    };
    for (Case c : {Case{kSkinBlockSmall, "Block1S"}, Case{kSkinBlockSmall + 6, "BlockRockS"},
                   Case{kSkinBlockClearBonus, "BlockClearBouns"}, Case{kSkinBlockMagicTurn, "BlockMagicTurn"},
                   Case{kSkinBlockLarge, "Block1L"}, Case{kSkinBlockLarge + 6, "BlockRockL"},
                   Case{kSkinBlockNumColor, "BlockNumColor"}, Case{kSkinBlockPoint, "BlockPoint1"},
                   Case{kSkinBlockPointLarge + 2, "BlockPoint3R"}, Case{kSkinBlockPointNum, "BlockPointNum"},
                   Case{kSkinBlockPointColor, "BlockPointColor"}, Case{kSkinEffectCombo, "Effect_Combo"},
                   Case{kSkinEffectSCombo, "Effect_SCombo"}, Case{kSkinEffectComboBreak, "Effect_Combo_Break"},
                   Case{kSkinEffectStarOver, "Effect_StarOver"}, Case{kSkinBlockPin, "BlockPin"},
                   Case{kSkinBlockErase, "BlockErase"}, Case{kSkinBlockHandRight, "BlockHandRight1"},
                   Case{kSkinBlockHandBottom + 2, "BlockHandBottom3"},
                   Case{kSkinDigitStyleBase + kDigitComboRate, "Num_Common_ComboRate"},
                   Case{kSkinDigitStyleBase + kDigitComboCount, "Num_Common_ComboCount"},
                   Case{kSkinDigitStyleBase + kDigitBlockClearLargeWhite, "Num_Common_BlockClear_Effect_Large_White"},
                   Case{kSkinDigitStyleBase + kDigitComboEffect, "Num_Common_Combo_Effect"}})
        EXPECT_STREQ(keys[c.index], c.key) << c.index;
}

TEST(BoardEffects, EntriesOnOnePlayerLiveIndependentlyAndLeaveInOrder)
{
    SkinFixture skin;
    BlockClearEffect effect;
    effect.LoadAnimations();
    effect.Add(0, 2, 10, 10);
    effect.Update(0.2f);
    effect.Add(0, 2, 20, 20);
    effect.Add(1, 9, 0, 0); // no such kind
    effect.Add(2, 1, 0, 0); // no such row
    ASSERT_EQ(effect.GetEntries().size(), 2u);
    effect.Update(0.25f); // the first is past the 0.4 s of "DISABLE"
    ASSERT_EQ(effect.GetEntries().size(), 1u);
    EXPECT_FLOAT_EQ(effect.GetEntries()[0].x, 20);
    D3DXMATRIX shift;
    D3DXMatrixTranslation(&shift, 100, 0, 0);
    effect.Draw(&shift);
    ASSERT_EQ(skin.Drawn(kSkinBlockSmall + 1).size(), 1u);
    EXPECT_FLOAT_EQ(skin.renderer.sprites[0].matrix._41, 120);
    effect.Update(0.2f);
    EXPECT_TRUE(effect.GetEntries().empty());
}

TEST(BoardEffects, ClearEntriesPlayAndDrawTheSceneTheirStateSelects)
{
    struct Case {
        int flag, row, kind, state, points;
        const char* played;
        const char* drawn;
        int skinIndex;
        float life; // seconds, the played scene's length
    };
    for (Case c : {Case{1, 1, 2, 0, 150, "ENTER", "ENTER", kSkinBlockLarge + 1, 0.4f},
                   Case{0, 1, 2, 0, 150, "DOWN", "DOWN", kSkinBlockLarge + 1, 0.3f},
                   Case{0, 0, 3, 1, 0, "LEAVE", "LEAVE", kSkinBlockSmall + 2, 0.4f},
                   Case{0, 1, 1, 5, 0, "DOWN", "LEAVE", kSkinBlockMagicTurn, 0.3f},
                   Case{0, 1, 1, 4, 0, "DISABLE", "DISABLE", kSkinBlockClearBonus, 0.4f},
                   Case{0, 0, 3, 8, 0, "DOWN", "DOWN", kSkinBlockPointLarge + 2, 0.3f},
                   Case{0, 0, 1, 9, 0, "DOWN", "DOWN", kSkinBlockErase, 0.3f}}) {
        SkinFixture skin;
        BlockClearEffect2 effect;
        effect.LoadAnimations();
        effect.Add(c.flag, c.row, c.kind, c.state, c.points, 0, 0);
        const BlockClearEffect2::Entry& entry = effect.GetEntries()[0];
        EXPECT_STREQ(BlockClearEffect2::PlayedScene(entry), c.played) << c.state;
        EXPECT_STREQ(BlockClearEffect2::DrawnScene(entry), c.drawn) << c.state;
        effect.Update(c.life - 0.05f);
        ASSERT_EQ(effect.GetEntries().size(), 1u) << c.state;
        effect.Draw(nullptr);
        EXPECT_EQ(skin.Drawn(c.skinIndex).size(), 1u) << c.state;
        effect.Update(0.1f);
        EXPECT_TRUE(effect.GetEntries().empty()) << c.state;
    }
}

TEST(BoardEffects, ClearEntriesWithoutAPlayerGoAtOnce)
{
    SkinFixture skin;
    BlockClearEffect2 effect;
    effect.LoadAnimations();
    effect.Add(0, 0, 1, 10, 0, 0, 0); // state above 9
    effect.Add(0, 0, 5, 7, 0, 0, 0);  // point sprite of a stone
    effect.Add(0, 3, 1, 0, 0, 0, 0);  // no such row
    effect.Update(0.0f);
    EXPECT_TRUE(effect.GetEntries().empty());
}

TEST(BoardEffects, ComboEntriesDrawOnlyEveryTenthComboAndABrokenChain)
{
    SkinFixture skin;
    ComboEffect effect;
    for (int combo : {7, 20, -1})
        effect.Add(combo, 0, 0);
    effect.Draw(nullptr);
    EXPECT_EQ(skin.Drawn(kSkinEffectCombo).size(), 0u);
    EXPECT_EQ(skin.Drawn(kSkinEffectSCombo).size(), 1u);
    EXPECT_EQ(skin.Drawn(kSkinEffectComboBreak).size(), 1u);
    effect.Update(0.39f);
    EXPECT_EQ(effect.GetEntries().size(), 3u);
    effect.Update(0.02f); // all live for the "combo" scene's 0.4 s
    EXPECT_TRUE(effect.GetEntries().empty());
    effect.m_bEnable = false;
    effect.Add(30, 0, 0);
    EXPECT_TRUE(effect.GetEntries().empty());
}

TEST(BoardEffects, WithoutTheirAnimationFilesEntriesGoAtTheFirstUpdate)
{
    BlockClearEffect clear;
    BlockClearEffect2 clear2;
    ComboEffect combo;
    clear.LoadAnimations();
    clear2.LoadAnimations();
    clear.Add(0, 1, 0, 0);
    clear2.Add(0, 0, 1, 0, 0, 0, 0);
    combo.Add(10, 0, 0);
    clear.Update(0.001f);
    clear2.Update(0.001f);
    combo.Update(0.001f);
    EXPECT_TRUE(clear.GetEntries().empty());
    EXPECT_TRUE(clear2.GetEntries().empty());
    EXPECT_TRUE(combo.GetEntries().empty());
    // Without the colour layout the numbers keep colours of their own; kinds past the star draw black.
    EXPECT_NE(clear2.m_Colours[1], 0u);
    EXPECT_EQ(clear2.m_Colours[5], 0u);
}

} // namespace
