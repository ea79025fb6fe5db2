// The UI renderer's image groups and animation images, and the sprites they queue.
#include "engine/KVSVRenderer.h"

#include "engine/RecordingGraphics.h"

#include <gtest/gtest.h>

namespace {

auto* const kTextureA = reinterpret_cast<IDirect3DTexture9*>(0x1000);
auto* const kTextureB = reinterpret_cast<IDirect3DTexture9*>(0x2000);

class KVSVRendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        graphics.AddTexture(L"button.tga", kTextureA);
        graphics.AddTexture(L"frame.tga", kTextureB);
    }

    void Draw(const std::wstring& group, int index, float alpha)
    {
        renderer.DrawImage(group, index, kv::KVPoint{100, 50}, alpha, kv::KVPoint{2, 1}, 45, kv::KVPoint{0.5f, 0});
    }

    mediatest::RecordingGraphics graphics;
    KVSVRenderer renderer;
};

TEST_F(KVSVRendererTest, DrawsAWindowImageScaledAndPlacedWithItsAlpha)
{
    renderer.AddImage(L"7", L"ui\\Button.tga", kv::KVPoint{}, kv::KVRect{0, 40, 0, 20});
    Draw(L"7", 0, 0.5f);
    ASSERT_EQ(graphics.sprites.size(), 1u);
    const mediatest::QueuedSprite& s = graphics.sprites[0];
    EXPECT_EQ(s.texture, kTextureA);
    EXPECT_EQ(s.colour, 0x7FFFFFFFu);
    EXPECT_EQ(s.source.right, 40);
    EXPECT_EQ(s.source.bottom, 20);
    EXPECT_FLOAT_EQ(s.centre.x, 20.0f);
    EXPECT_FALSE(s.hasPosition);
    // Scale then translation; the rotation argument is not used.
    EXPECT_FLOAT_EQ(s.transform._11, 2.0f);
    EXPECT_FLOAT_EQ(s.transform._12, 0.0f);
    EXPECT_FLOAT_EQ(s.transform._41, 100.0f);
    EXPECT_FLOAT_EQ(s.transform._42, 50.0f);
    EXPECT_FLOAT_EQ(s.transform._43, 0.1f);

    Draw(L"7", 0, 0.003f);
    EXPECT_EQ(graphics.sprites.size(), 1u) << "an alpha below 1/255 draws nothing";
}

TEST_F(KVSVRendererTest, NumbersImagesInAGroupAndIgnoresIndicesOutsideIt)
{
    renderer.AddImage(L"9", L"a/button.tga", kv::KVPoint{}, kv::KVRect{0, 10, 0, 10});
    renderer.AddImage(L"9", L"b/BUTTON.TGA", kv::KVPoint{}, kv::KVRect{0, 30, 0, 10}, kv::KVRect{0, 64, 0, 12}, true);
    ASSERT_NE(renderer.FindImage(L"9", 1), nullptr);
    EXPECT_EQ(renderer.FindImage(L"9", 0)->m_nTexture, renderer.FindImage(L"9", 1)->m_nTexture)
        << "the same file name in two folders is one texture";
    EXPECT_EQ(renderer.FindImage(L"9", 1)->m_SourceRect.right, 64) << "the display size is drawn";
    EXPECT_FLOAT_EQ(renderer.FindImage(L"9", 1)->m_fExtentX, 30.0f);
    renderer.SetImageSize(L"9", 1, 20, 5);
    EXPECT_EQ(renderer.FindImage(L"9", 1)->m_SourceRect.right, 20);
    EXPECT_TRUE(renderer.FindImage(L"9", 1)->m_bSizeChanged);
    renderer.SetImageSize(L"9", 2, 20, 5);
    Draw(L"9", 2, 1.0f);
    Draw(L"nope", 0, 1.0f);
    EXPECT_TRUE(graphics.sprites.empty());
    EXPECT_EQ(renderer.ReleaseGroup(L"9"), 1);
    EXPECT_EQ(renderer.ReleaseGroup(L"9"), 0);
}

TEST_F(KVSVRendererTest, KeepsAnimationImagesByDirectorSceneAndAsset)
{
    renderer.CreateAnimImage(L"dir", L"show", L"bg", L"anim/frame.tga", kv::KVRect{4, 20, 2, 10});
    renderer.CreateAnimImage(L"dir", L"hide", L"bg", L"anim/frame.tga", kv::KVRect{0, 8, 0, 8});
    EXPECT_EQ(renderer.CreateAnimText(L"dir", L"show", L"label", L"KelmorSoft", 14, 0, 0xFFFFFFFF, L"hi").right, 0);

    kv::KVMatrix m;
    m.m[3][0] = 30;
    m.m[3][2] = 5;
    renderer.DrawAnimImage(L"dir", L"show", L"bg", 1.0f, m);
    renderer.DrawAnimImage(L"dir", L"show", L"label", 1.0f, m);
    renderer.DrawAnimImage(L"other", L"show", L"bg", 1.0f, m);
    ASSERT_EQ(graphics.sprites.size(), 1u);
    EXPECT_EQ(graphics.sprites[0].texture, kTextureB);
    EXPECT_EQ(graphics.sprites[0].source.left, 4);
    EXPECT_EQ(graphics.sprites[0].source.bottom, 10);
    EXPECT_FLOAT_EQ(graphics.sprites[0].transform._41, 30.0f);
    EXPECT_FLOAT_EQ(graphics.sprites[0].transform._43, 0.0f) << "the depth is dropped";

    kv::KVRect alias = renderer.AliasAnimImage(L"dir", L"show", L"copy", L"bg");
    EXPECT_EQ(alias.right, 100);
    renderer.DrawAnimImage(L"dir", L"show", L"copy", 1.0f, m);
    EXPECT_EQ(graphics.sprites.size(), 2u);

    ASSERT_EQ(renderer.Animations().at(L"dir").size(), 2u);
    EXPECT_EQ(renderer.ReleaseAnimation(L"dir"), 1);
    EXPECT_EQ(renderer.ReleaseAnimation(L"dir"), 0);
    EXPECT_EQ(renderer.AliasAnimImage(L"dir", L"show", L"x", L"bg").right, 0);
}

} // namespace
