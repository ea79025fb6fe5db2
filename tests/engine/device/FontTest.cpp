// Fonts on a test device: the glyph atlas's pages, rows, filling and device resets, and pixel
// read-back of Latin, Hangul and imageset text drawn where it was asked to go.
#include "engine/FontManager.h"
#include "engine/FreeTypeFont.h"
#include "engine/ImagesetFont.h"

#include "engine/device/DrawingGraphics.h"
#include "platform/d3d9/device/DeviceFixture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const char* kLatinFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* kHangulFont = "/usr/share/fonts/truetype/nanum/NanumGothic.ttf";

class FontDevice : public d3d9test::DeviceTest {
protected:
    std::unique_ptr<KVXFreeTypeFont> LoadFont(const char* file, int size)
    {
        auto font = std::make_unique<KVXFreeTypeFont>(device, nullptr, &reader);
        EXPECT_TRUE(font->Load(file, size, 96)) << file;
        return font;
    }

    // The bounding box of the pixels brighter than half in the back buffer; empty when none.
    RECT LitBox(int* count = nullptr)
    {
        IDirect3DSurface9* target = nullptr;
        EXPECT_EQ(device->GetRenderTarget(0, &target), D3D_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(target->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        RECT box{kWidth, kHeight, 0, 0};
        int lit = 0;
        for (int y = 0; y < static_cast<int>(kHeight); ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
            for (int x = 0; x < static_cast<int>(kWidth); ++x)
                if (((row[x] >> 8) & 0xFF) > 128) {
                    ++lit;
                    box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                               std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
                }
        }
        target->UnlockRect();
        target->Release();
        if (count)
            *count = lit;
        return box;
    }

    mediatest::DrawingGraphics graphics;
    KVXDefaultResourceProvider reader;
};

TEST_F(FontDevice, DividesEachPageIntoRowsOfTheLineHeight)
{
    GlyphAtlasPage page(device);
    ASSERT_TRUE(page.Init(17));
    EXPECT_EQ(page.m_Rows.size(), 30u);
    GlyphAtlasPage flat(device);
    EXPECT_FALSE(flat.Init(0)) << "a row height of 0 makes no rows instead of dividing by zero";
    EXPECT_TRUE(flat.m_Rows.empty());

    auto font = LoadFont(kLatinFont, 14);
    GlyphAtlas* atlas = font->GetGlyphCache()->GetAtlas();
    ASSERT_EQ(atlas->m_Pages.size(), 2u);
    EXPECT_EQ(atlas->m_nRowHeight, font->GetFace()->m_nLineHeight);
    EXPECT_EQ(atlas->m_Pages[1]->m_Rows.size(), size_t(512 / font->GetFace()->m_nLineHeight));

    // A page holds a texture from its first glyph on: a font that has drawn a few glyphs holds one.
    EXPECT_EQ(atlas->m_Pages[0]->m_pTexture, nullptr);
    font->Draw(0, 0, 0xFFFFFFFF, L"AB");
    EXPECT_NE(atlas->m_Pages[0]->m_pTexture, nullptr);
    EXPECT_EQ(atlas->m_Pages[1]->m_pTexture, nullptr);
}

TEST_F(FontDevice, QueuesGlyphsAtTheirBearingsBelowTheLineTop)
{
    auto font = LoadFont(kLatinFont, 14);
    GlyphInfo h, i, space;
    ASSERT_TRUE(font->GetGlyph(L'H', &h, false));
    ASSERT_TRUE(font->GetGlyph(L' ', &space, false));
    ASSERT_TRUE(font->GetGlyph(L'i', &i, false));
    EXPECT_EQ(font->Draw(100, 50, 0xFFFFFFFF, L"H i"), h.advance + space.advance + i.advance);
    ASSERT_EQ(graphics.sprites.size(), 3u);
    EXPECT_EQ(graphics.sprites[0].position.x, 100.0f + h.x);
    EXPECT_EQ(graphics.sprites[0].position.y, 50.0f + h.y);
    EXPECT_EQ(graphics.sprites[2].position.x, 100.0f + h.advance + space.advance + i.x);
    EXPECT_EQ(graphics.sprites[1].source.left, graphics.sprites[1].source.right) << "the space has no pixels";
    EXPECT_EQ(graphics.sprites[0].source.left, 0);
    EXPECT_EQ(graphics.sprites[0].source.top, 0);
    EXPECT_EQ(graphics.sprites[1].source.left, h.width) << "the space's empty span follows H";
}

TEST_F(FontDevice, SkipsNewCharactersOnceBothPagesAreFull)
{
    auto font = LoadFont(kHangulFont, 100);
    wchar_t first[2] = {0xAC00, 0};
    ASSERT_GT(font->Draw(0, 0, 0xFFFFFFFF, first), 0);
    wchar_t c = 0xAC01;
    GlyphInfo info;
    while (c < 0xAC00 + 400 && font->GetGlyph(c, &info, true))
        ++c;
    ASSERT_LT(c, 0xAC00 + 400) << "two pages of 512 x 512 hold far fewer glyphs of this size";
    graphics.sprites.clear();
    wchar_t full[2] = {c, 0};
    EXPECT_EQ(font->Draw(0, 0, 0xFFFFFFFF, full), 0);
    EXPECT_TRUE(graphics.sprites.empty());
    EXPECT_GT(font->Draw(0, 0, 0xFFFFFFFF, first), 0) << "glyphs already in the atlas still draw";
    EXPECT_EQ(graphics.sprites.size(), 1u);
}

TEST_F(FontDevice, UploadsGlyphsAgainFromTheFirstRowAfterADeviceReset)
{
    auto font = LoadFont(kLatinFont, 14);
    font->Draw(0, 0, 0xFFFFFFFF, L"AB");
    font->OnLostDevice();
    EXPECT_EQ(font->GetGlyphCache()->GetAtlas()->m_Pages[0]->m_pTexture, nullptr);
    font->OnResetDevice();
    graphics.sprites.clear();
    font->Draw(0, 0, 0xFFFFFFFF, L"B");
    ASSERT_EQ(graphics.sprites.size(), 1u);
    EXPECT_EQ(graphics.sprites[0].source.left, 0);
    EXPECT_EQ(graphics.sprites[0].source.top, 0);
    EXPECT_NE(graphics.sprites[0].texture, nullptr);
}

TEST_F(FontDevice, CutsAGlyphTallerThanTheRowAtTheRowsFoot)
{
    auto font = LoadFont(kLatinFont, 40);
    GlyphAtlas atlas(device, font.get());
    ASSERT_TRUE(atlas.Init(8));
    GlyphInfo tall;
    ASSERT_TRUE(atlas.GetGlyph(L'H', &tall));
    EXPECT_EQ(tall.height, 8);
    EXPECT_FLOAT_EQ(tall.srcBottom * 512.0f, 8.0f);
    // The next row of the page stays clear under the glyph.
    D3DLOCKED_RECT locked{};
    IDirect3DTexture9* texture = atlas.m_Pages[0]->m_pTexture;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    uint32_t below = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(locked.pBits) + 8 * locked.Pitch)[2];
    uint32_t inside = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(locked.pBits) + 7 * locked.Pitch)[2];
    texture->UnlockRect(0);
    EXPECT_EQ(below, 0x00FFFFFFu);
    EXPECT_EQ(inside >> 24, 0xFFu) << "the stem of H fills the glyph's left column";
}

TEST_F(FontDevice, DrawsLatinAndHangulWhereTheTextGoesAndAgainAfterAReset)
{
    FTFont fonts;
    fonts.InitDevice(device);
    fonts.RegisterFont(L"Default", kHangulFont);
    fonts.RegisterFont(L"Latin", kLatinFont);
    ASSERT_NE(fonts.GetFont(L"Default", 14), nullptr);
    const wchar_t* text = L"Hi \xD55C\xAE00";
    SIZE size = fonts.MeasureDefault(text);
    SIZE latin = fonts.MeasureDefault(L"Hi ");
    ASSERT_GT(size.cx, latin.cx);

    for (int pass = 0; pass < 2; ++pass) {
        fonts.DrawDefault(20, 40, 0xFFFFFFFF, text);
        graphics.DrawFrame(device);
        int lit = 0;
        RECT box = LitBox(&lit);
        EXPECT_GT(lit, 40) << "pass " << pass;
        EXPECT_GE(box.left, 20);
        EXPECT_GE(box.top, 40);
        EXPECT_LE(box.right, 20 + size.cx);
        EXPECT_LE(box.bottom, 40 + size.cy);
        EXPECT_LT(box.left, 20 + latin.cx / 2) << "the Latin part is drawn";
        EXPECT_GT(box.right, 20 + latin.cx + (size.cx - latin.cx) / 2) << "the Hangul part is drawn";
        // A device reset between the passes empties the atlas; the text uploads again.
        fonts.Invalidate();
        ASSERT_EQ(device->Reset(&params), D3D_OK);
        fonts.Restore();
    }

    // Another face at another place: nothing else lit.
    fonts.DrawText(L"Latin", 20, 150, 100, 0xFFFFFFFF, 0, 0, L"Q");
    graphics.DrawFrame(device);
    RECT box = LitBox();
    EXPECT_GE(box.left, 150);
    EXPECT_GE(box.top, 100);
}

TEST_F(FontDevice, DrawsImagesetGlyphsFromTheirImage)
{
    // A 32 x 16 image: glyph A red at (0, 0) 8 x 10, glyph B green at (8, 0) 6 x 12.
    std::vector<uint32_t> pixels(32 * 16, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            pixels[y * 32 + x] = x < 8 && y < 10 ? 0xFFFF0000 : (x >= 8 && x < 14 && y < 12 ? 0xFF00FF00 : 0);
    IDirect3DTexture9* image = MakeTexture(32, 16, pixels.data());
    graphics.AddTexture(L"SMALLFONT.TGA", image);
    std::string file = testsupport::ReadFile(std::string(QUIBLY_FIXTURES_DIR) + "/engine/media/Small.imageset");
    KVXImagesetFont font(&reader);
    ASSERT_TRUE(font.LoadFromMemory(file.data(), file.size()));
    GlyphInfo a;
    ASSERT_TRUE(font.GetGlyph(L'A', &a, false));
    ASSERT_NE(a.pixels, nullptr);
    EXPECT_EQ(static_cast<const uint32_t*>(a.pixels)[0], 0xFFFF0000u);

    font.Draw(50, 60, 0xFFFFFFFF, L"AB");
    graphics.DrawFrame(device);
    EXPECT_TRUE(d3d9test::Near(Pixel(53, 65), 0xFFFF0000));
    EXPECT_TRUE(d3d9test::Near(Pixel(59, 70), 0xFF00FF00));
    EXPECT_TRUE(d3d9test::Near(Pixel(53, 71), 0xFF000000)) << "A is 10 pixels tall";
    EXPECT_TRUE(d3d9test::Near(Pixel(64, 65), 0xFF000000)) << "B ends at 50 + 14";
    image->Release();
}

} // namespace
