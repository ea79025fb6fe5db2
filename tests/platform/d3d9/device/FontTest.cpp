// The D3DX font over FreeType: Hangul and Latin text drawn and measured.
#include "DeviceFixture.h"

#include <d3d9/D3DX9.h>

using namespace d3d9test;

namespace {

class FontTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        ASSERT_EQ(D3DXCreateFontW(device, 16, 8, 2000, 0, FALSE, 1, 7, 0, 0, L"굴림", &font), D3D_OK);
    }
    void TearDown() override
    {
        if (font)
            font->Release();
        DeviceTest::TearDown();
    }

    // Pixels in the rectangle that differ from black.
    int LitPixels(const RECT& r)
    {
        IDirect3DSurface9* target = nullptr;
        device->GetRenderTarget(0, &target);
        D3DLOCKED_RECT locked{};
        int lit = 0;
        if (target->LockRect(&locked, &r, D3DLOCK_READONLY) == D3D_OK) {
            for (LONG y = 0; y < r.bottom - r.top; ++y)
                for (LONG x = 0; x < r.right - r.left; ++x)
                    lit += (reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch)[x] &
                            0xFFFFFF) != 0;
            target->UnlockRect();
        }
        target->Release();
        return lit;
    }

    ID3DXFont* font = nullptr;
};

} // namespace

TEST_F(FontTest, DescriptionKeepsWhatWasAskedFor)
{
    D3DXFONT_DESCW desc{};
    ASSERT_EQ(font->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Height, 16);
    EXPECT_EQ(desc.Width, 8u);
    EXPECT_STREQ(desc.FaceName, L"굴림");
}

TEST_F(FontTest, MeasuresTextThroughItsDeviceContext)
{
    SIZE one{}, two{};
    ASSERT_TRUE(GetTextExtentPoint32W(font->GetDC(), L"FPS : 60", 8, &one));
    ASSERT_TRUE(GetTextExtentPoint32W(font->GetDC(), L"FPS : 60FPS : 60", 16, &two));
    EXPECT_GT(one.cx, 20);
    EXPECT_EQ(two.cx, 2 * one.cx);
    EXPECT_EQ(one.cy, 16);
    SIZE hangul{};
    ASSERT_TRUE(GetTextExtentPoint32W(font->GetDC(), L"경고", -1, &hangul));
    EXPECT_GT(hangul.cx, 16);
    int notADc = 0;
    EXPECT_FALSE(GetTextExtentPoint32W(reinterpret_cast<HDC>(&notADc), L"x", 1, &one));

    RECT rect{5, 5, 0, 0};
    EXPECT_EQ(font->DrawTextW(nullptr, L"ab\ncd", -1, &rect, DT_CALCRECT, 0xFFFFFFFF), 32);
    EXPECT_EQ(rect.bottom, 37);
}

TEST_F(FontTest, DrawsHangulAndLatinWhereAsked)
{
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    RECT at{10, 8, 0, 0};
    EXPECT_EQ(font->DrawTextW(nullptr, L"경고 FPS", -1, &at, DT_SINGLELINE | DT_NOCLIP, 0xFFFF00FF), 16);
    // Through a caller's sprite that is already begun, as the debug text does.
    ID3DXSprite* sprite = nullptr;
    ASSERT_EQ(D3DXCreateSprite(device, &sprite), D3D_OK);
    sprite->Begin(D3DXSPRITE_ALPHABLEND);
    RECT second{10, 48, 0, 0};
    EXPECT_EQ(font->DrawTextW(sprite, L"한글", -1, &second, DT_SINGLELINE | DT_NOCLIP, 0xFFFFFFFF), 16);
    sprite->End();
    sprite->Release();
    device->EndScene();

    SIZE size{};
    GetTextExtentPoint32W(font->GetDC(), L"경고 FPS", -1, &size);
    EXPECT_GT(LitPixels({10, 8, 10 + size.cx, 24}), 40);
    EXPECT_EQ(LitPixels({0, 0, kWidth, 8}), 0);        // nothing above the line
    EXPECT_EQ(LitPixels({10 + size.cx + 2, 8, kWidth, 24}), 0);  // nor after it
    EXPECT_GT(LitPixels({10, 48, 60, 64}), 40);
}

TEST_F(FontTest, ClipsToTheRectangleUnlessNoClip)
{
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    RECT clip{10, 10, 30, 26};
    font->DrawTextW(nullptr, L"WWWWWWWWWW", -1, &clip, DT_SINGLELINE, 0xFFFFFFFF);
    device->EndScene();
    EXPECT_GT(LitPixels({10, 10, 30, 26}), 20);
    EXPECT_EQ(LitPixels({30, 0, kWidth, kHeight}), 0);
}
