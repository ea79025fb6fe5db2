#include "SkinFixture.h"

#include "board/GameSeams.h"
#include "board/VanteoBlock.h"

#include <gtest/gtest.h>

using namespace boardtest;

namespace {

TEST(Block, AResetBlockIsEmptyWithValueOneAndAKindFromOneToFive)
{
    GameRandom random(3);
    for (int i = 0; i < 50; ++i) {
        Block b(random);
        EXPECT_FALSE(b.present);
        EXPECT_EQ(b.value, 1);
        EXPECT_GE(b.kind, 1);
        EXPECT_LE(b.kind, 5);
    }
    // Construction of a VanteoBlock resets twice: two numbers are drawn.
    GameRandom a(11), expected(11);
    VanteoBlock block(a);
    expected.Next();
    EXPECT_EQ(block.kind, expected.Next() % 5 + 1);
}

TEST(Block, EasingLandsOnTheTargetAndReportsTheMoveOnce)
{
    GameRandom random(1);
    Block b(random);
    b.present = 1;
    b.y = 0;
    b.FallTo(10.0f, 300.0f); // 3 pixels per 0.01 s
    b.Update(0.01f);
    EXPECT_FLOAT_EQ(b.y, 3.0f);
    EXPECT_TRUE(b.moving);
    b.y = 9.0f;
    b.Update(0.01f);
    EXPECT_FLOAT_EQ(b.y, 10.0f);
    EXPECT_TRUE(b.moving);
    b.Update(0.01f);
    EXPECT_FALSE(b.moving);
    EXPECT_TRUE(b.wasMoving);
    // Snapping onto the horizontal target ends the move even while the block still falls.
    b.targetY = 100.0f;
    b.targetX = 1.0f;
    b.speedX = 300.0f;
    b.Update(0.01f);
    EXPECT_FLOAT_EQ(b.x, 1.0f);
    EXPECT_FALSE(b.moving);
    // An empty block does not move.
    b.present = 0;
    const float y = b.y;
    b.Update(0.01f);
    EXPECT_FLOAT_EQ(b.y, y);
}

TEST(Block, AnchorsReportTheTopLeftCornerOfTheirSquare)
{
    GameRandom random(1);
    VanteoBlock b(random);
    b.x = b.y = 90;
    const float expected[5][2] = {{90, 90}, {90, 90}, {45, 90}, {45, 45}, {90, 45}};
    for (int corner = 0; corner <= 4; ++corner) {
        b.corner = corner;
        float x, y;
        b.GetPosition(&x, &y);
        EXPECT_FLOAT_EQ(x, expected[corner][0]) << corner;
        EXPECT_FLOAT_EQ(y, expected[corner][1]) << corner;
    }
}

TEST(Block, EmptyingKeepsFixedPointPinAndValue)
{
    GameRandom random(1);
    Block b(random);
    b.present = b.joinRight = b.joinBottom = b.inSquare = b.fixed = b.point = b.pin = 1;
    b.corner = 2;
    b.starHover = 3;
    b.value = 7;
    b.Empty();
    EXPECT_EQ(b.present + b.joinRight + b.joinBottom + b.inSquare + b.corner + b.starHover, 0);
    EXPECT_EQ(b.fixed + b.point + b.pin, 3);
    EXPECT_EQ(b.value, 7);
}

class DrawnBlock : public ::testing::Test {
protected:
    DrawnBlock() : random(1), block(random)
    {
        block.present = 1;
        block.kind = 2;
    }
    std::vector<D3DCOLOR> Body(bool large) { return skin.Drawn((large ? kSkinBlockLarge : kSkinBlockSmall) + 1); }

    SkinFixture skin;
    GameRandom random;
    VanteoBlock block;
};

TEST_F(DrawnBlock, AlphaBecomesTheColoursAlphaByte)
{
    struct Case {
        float alpha;
        D3DCOLOR colour;
    };
    for (Case c : {Case{1.0f, 0xFFFFFFFF}, Case{2.0f, 0xFFFFFFFF}, Case{0.5f, 0x80FFFFFF}, Case{0.25f, 0x40FFFFFF}}) {
        skin.renderer.sprites.clear();
        block.DrawBlock(nullptr, c.alpha);
        EXPECT_EQ(Body(false), std::vector<D3DCOLOR>{c.colour}) << c.alpha;
    }
    // Alpha 0 or below: the sprites are fully transparent and the scene skips them.
    for (float alpha : {0.0f, -1.0f}) {
        EXPECT_EQ(VanteoBlock::AlphaByte(alpha), 0);
        skin.renderer.sprites.clear();
        block.DrawBlock(nullptr, alpha);
        EXPECT_TRUE(Body(false).empty());
    }
}

TEST_F(DrawnBlock, SquaresDrawTheLargeBodyFromTheirAnchorOnly)
{
    block.inSquare = 1;
    block.DrawBlock(nullptr, 1.0f);
    EXPECT_TRUE(skin.renderer.sprites.empty());
    block.inSquare = 0;
    block.corner = 3;
    block.x = block.y = 90;
    block.magicTurnShown = 1;
    block.DrawBlock(nullptr, 1.0f);
    EXPECT_EQ(Body(true).size(), 1u);
    EXPECT_TRUE(Body(false).empty());
    EXPECT_EQ(skin.Drawn(kSkinBlockMagicTurn).size(), 1u);
    EXPECT_TRUE(skin.Drawn(kSkinBlockClearBonus).empty());
    // Drawn at the square's top-left corner.
    EXPECT_FLOAT_EQ(skin.renderer.sprites[0].matrix._41, 45.0f);
    EXPECT_FLOAT_EQ(skin.renderer.sprites[0].matrix._42, 45.0f);
}

TEST_F(DrawnBlock, PointBlocksShowTheirNumberInTheirColour)
{
    block.point = 1;
    struct Case {
        int value;
        size_t point, large, number;
    };
    for (Case c : {Case{1, 1, 0, 0}, Case{10, 1, 0, 1}, Case{11, 0, 1, 1}}) {
        skin.renderer.sprites.clear();
        block.SetNumber(c.value);
        block.DrawBlock(nullptr, 1.0f);
        EXPECT_EQ(skin.Drawn(kSkinBlockPoint + 1).size(), c.point) << c.value;
        EXPECT_EQ(skin.Drawn(kSkinBlockPointLarge + 1).size(), c.large) << c.value;
        EXPECT_EQ(skin.Drawn(kSkinBlockPointNum).size(), c.number) << c.value;
        if (c.number) {
            EXPECT_EQ(block.pointNumber.m_strScene, std::to_string(c.value));
        }
    }
    // The sprites take the point colour of the block's kind.
    EXPECT_EQ(skin.Drawn(kSkinBlockPointLarge + 1)[0], block.pointColour[1] | 0xFF000000);
}

TEST_F(DrawnBlock, JoinMarksOnlyForColoursAndOnlyWhileUpright)
{
    block.joinRight = block.joinBottom = 1;
    block.DrawMarks(nullptr);
    EXPECT_EQ(skin.Drawn(kSkinBlockHandRight + 1).size(), 1u);
    EXPECT_EQ(skin.Drawn(kSkinBlockHandBottom + 1).size(), 1u);
    skin.renderer.sprites.clear();
    block.SetAngle(0.1f);
    block.DrawMarks(nullptr);
    block.SetAngle(0.0f);
    block.kind = kBlockStar;
    block.DrawMarks(nullptr);
    EXPECT_TRUE(skin.renderer.sprites.empty());
}

TEST_F(DrawnBlock, StarHoverLevelsPlayTheirSceneAndAnyLevelIsDrawn)
{
    block.SetStarHover(2);
    EXPECT_EQ(block.starHoverPlayer.m_strScene, "star_hover_2");
    block.starHoverPlayer.m_strScene.clear();
    block.SetStarHover(4);
    EXPECT_EQ(block.starHover, 4);
    EXPECT_EQ(block.starHoverPlayer.m_strScene, "");
    block.DrawBlock(nullptr, 1.0f);
    EXPECT_EQ(skin.Drawn(kSkinEffectStarOver).size(), 1u);
}

TEST_F(DrawnBlock, EnterLeaveAndFlashPlayTheScenesOfTheBlocksRole)
{
    block.PlayEnter();
    EXPECT_EQ(block.smallBody[1].m_strScene, "ENTER");
    EXPECT_EQ(block.joinRightMark[1].m_strScene, "ENTER");
    EXPECT_EQ(block.pointSprite[1].m_strScene, "ENTER");
    block.starHover = 2;
    block.PlayLeave();
    EXPECT_EQ(block.smallBody[1].m_strScene, "NORMAL");
    EXPECT_EQ(block.starHover, 0);
    block.corner = 4;
    block.PlayEnter();
    EXPECT_EQ(block.largeBody[1].m_strScene, "OVER");
    block.Flash();
    EXPECT_EQ(block.largeBody[1].m_strScene, "OVER");
    EXPECT_EQ(block.joinBottomMark[1].m_strScene, "ENTER");
    block.Disable();
    EXPECT_EQ(block.pinOverlay.m_strScene, "DISABLE");
}

} // namespace
