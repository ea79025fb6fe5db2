// The D3DX sprite: pixel placement, colour modulation, blending, opaque pictures, mip levels,
// state save and restore.
#include "DeviceFixture.h"

#include <d3d9/D3DX9.h>

using namespace d3d9test;

namespace {

// A D3DXVECTOR3 is read as the plain vector it derives from.
const D3DXVECTOR3* Vec(const D3DVECTOR& v) { return reinterpret_cast<const D3DXVECTOR3*>(&v); }

class SpriteTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        ASSERT_EQ(D3DXCreateSprite(device, &sprite), D3D_OK);
    }
    void TearDown() override
    {
        if (sprite)
            sprite->Release();
        DeviceTest::TearDown();
    }
    void BeginFrame(D3DCOLOR clear)
    {
        device->BeginScene();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
    }

    ID3DXSprite* sprite = nullptr;
};

// 4 x 4 texels, each a distinct opaque colour: red grows along x, green along y.
std::vector<uint32_t> Gradient()
{
    std::vector<uint32_t> texels;
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 4; ++x)
            texels.push_back(0xFF000000u | ((x * 60 + 20) << 16) | ((y * 60 + 20) << 8) | 0x40);
    return texels;
}

} // namespace

TEST_F(SpriteTest, WholePixelPositionMapsTexelToPixel)
{
    std::vector<uint32_t> texels = Gradient();
    IDirect3DTexture9* texture = MakeTexture(4, 4, texels.data());
    BeginFrame(0xFF000000);
    ASSERT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
    // The sprite's own linear filter: at whole pixels every pixel centre meets a texel centre.
    D3DVECTOR position{10, 20, 0};
    ASSERT_EQ(sprite->Draw(texture, nullptr, nullptr, Vec(position), 0xFFFFFFFF), D3D_OK);
    // Source rectangle and centre: texels (1,1)-(3,3) with the centre (1,1) put at (40, 40).
    RECT source{1, 1, 3, 3};
    D3DVECTOR center{1, 1, 0}, at{40, 40, 0};
    ASSERT_EQ(sprite->Draw(texture, &source, Vec(center), Vec(at), 0xFFFFFFFF), D3D_OK);
    ASSERT_EQ(sprite->End(), D3D_OK);
    device->EndScene();

    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_TRUE(Near(Pixel(10 + x, 20 + y), texels[y * 4 + x], 1)) << "texel " << x << "," << y;
    for (auto [x, y] : {std::pair{9, 20}, {14, 20}, {10, 19}, {10, 24}})
        EXPECT_TRUE(Near(Pixel(x, y), 0xFF000000, 0)) << "outside at " << x << "," << y;
    EXPECT_TRUE(Near(Pixel(39, 39), texels[1 * 4 + 1], 1));
    EXPECT_TRUE(Near(Pixel(40, 40), texels[2 * 4 + 2], 1));
    EXPECT_TRUE(Near(Pixel(41, 41), 0xFF000000, 0));
    texture->Release();
}

TEST_F(SpriteTest, ColourModulatesAndAlphaBlends)
{
    const uint32_t white = 0xFFFFFFFF, halfWhite = 0x80FFFFFF, clear = 0x00000000;
    IDirect3DTexture9* opaque = MakeTexture(1, 1, &white);
    IDirect3DTexture9* half = MakeTexture(1, 1, &halfWhite);
    IDirect3DTexture9* transparent = MakeTexture(1, 1, &clear);
    BeginFrame(0xFF0000FF);
    sprite->Begin(D3DXSPRITE_ALPHABLEND);
    struct Case {
        IDirect3DTexture9* texture;
        D3DCOLOR color;
        float x;
        uint32_t expect;
    };
    const Case cases[] = {
        {opaque, 0xFF808000, 0, 0xFF808000},       // colour modulates the texture
        {half, 0xFF00FF00, 10, 0xFF00807F},        // texel alpha blends with the blue below
        {opaque, 0x80FF0000, 20, 0xFF80007F},      // so does the colour's alpha
        {transparent, 0xFFFFFFFF, 30, 0xFF0000FF}, // alpha 0 leaves the pixel alone
    };
    for (const Case& c : cases) {
        D3DVECTOR position{c.x, 0, 0};
        sprite->Draw(c.texture, nullptr, nullptr, Vec(position), c.color);
    }
    sprite->End();
    device->EndScene();
    for (const Case& c : cases)
        EXPECT_TRUE(Near(Pixel(int(c.x), 0), c.expect, 2)) << "sprite at x " << c.x;
    opaque->Release();
    half->Release();
    transparent->Release();
}

// Pictures the device draws as plain copies (opaque texels, white, at their own size) must give
// the pixels blending would; anything translucent must still blend with what lies below.
TEST_F(SpriteTest, OnlyWhollyOpaquePicturesInWhiteAreDrawnWithoutBlending)
{
    const D3DCOLOR below = 0xFF0000FF;
    std::vector<uint32_t> opaque = Gradient(), oneTranslucent = Gradient(), noAlpha = Gradient();
    oneTranslucent[5] = 0x80FF0000;
    for (uint32_t& texel : noAlpha)
        texel &= 0x00FFFFFF;  // an X8R8G8B8 texture samples alpha 1 whatever its fourth byte holds
    IDirect3DTexture9* plain = MakeTexture(4, 4, opaque.data(), 0);
    IDirect3DTexture9* translucent = MakeTexture(4, 4, oneTranslucent.data(), 0);
    IDirect3DTexture9* x8 = MakeTexture(4, 4, noAlpha.data(), 0, D3DFMT_X8R8G8B8);
    // Rewritten one texel at a time through a lock of that texel: an opaque picture given a
    // translucent texel, and a picture with a translucent texel given another opaque one.
    auto rewrite = [](IDirect3DTexture9* texture, LONG x, LONG y, uint32_t argb) {
        D3DLOCKED_RECT locked{};
        RECT texel{x, y, x + 1, y + 1};
        ASSERT_EQ(texture->LockRect(0, &locked, &texel, 0), D3D_OK);
        *static_cast<uint32_t*>(locked.pBits) = argb;
        texture->UnlockRect(0);
    };
    IDirect3DTexture9* madeTranslucent = MakeTexture(4, 4, opaque.data(), 0);
    rewrite(madeTranslucent, 1, 1, 0x80FF0000);
    IDirect3DTexture9* stillTranslucent = MakeTexture(4, 4, oneTranslucent.data(), 0);
    rewrite(stillTranslucent, 2, 2, 0xFF00FF00);

    struct Case {
        const char* name;
        IDirect3DTexture9* texture;
        D3DCOLOR color;
        std::vector<uint32_t> expect;  // the 4 x 4 pixels drawn
        int tolerance;
    };
    auto blend = [&](uint32_t texel, uint32_t alpha) {
        Rgba t = Channels(texel), b = Channels(below);
        auto mix = [&](int s, int d) { return uint32_t((s * int(alpha) + d * (255 - int(alpha)) + 127) / 255); };
        return 0xFF000000u | (mix(t.r, b.r) << 16) | (mix(t.g, b.g) << 8) | mix(t.b, b.b);
    };
    std::vector<uint32_t> mixedTexel = opaque, faded;
    mixedTexel[5] = blend(0xFFFF0000, 0x80);
    std::vector<uint32_t> mixedAndGreen = mixedTexel;
    mixedAndGreen[10] = 0xFF00FF00;
    for (uint32_t texel : opaque)
        faded.push_back(blend(texel, 0x80));
    const Case cases[] = {
        {"opaque", plain, 0xFFFFFFFF, opaque, 0},
        {"one translucent texel", translucent, 0xFFFFFFFF, mixedTexel, 2},
        {"opaque format", x8, 0xFFFFFFFF, opaque, 0},
        {"rewritten translucent", madeTranslucent, 0xFFFFFFFF, mixedTexel, 2},
        {"translucent, rewritten in part", stillTranslucent, 0xFFFFFFFF, mixedAndGreen, 2},
        {"faded by the colour", plain, 0x80FFFFFF, faded, 2},
    };
    BeginFrame(below);
    ASSERT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    for (size_t i = 0; i < std::size(cases); ++i) {
        D3DVECTOR position{10.0f + 10.0f * i, 10, 0};
        sprite->Draw(cases[i].texture, nullptr, nullptr, Vec(position), cases[i].color);
    }
    ASSERT_EQ(sprite->End(), D3D_OK);
    device->EndScene();

    for (size_t i = 0; i < std::size(cases); ++i)
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_TRUE(Near(Pixel(10 + 10 * int(i) + x, 10 + y), cases[i].expect[y * 4 + x], cases[i].tolerance))
                    << cases[i].name << ", texel " << x << "," << y;
    for (IDirect3DTexture9* texture : {plain, translucent, x8, madeTranslucent, stillTranslucent})
        texture->Release();
}

// A picture with mip levels shows its own texels at its own size or larger, and the averaged
// lower levels when drawn smaller, in whichever order the two draws come.
TEST_F(SpriteTest, MipLevelsServeOnlyMinifiedDraws)
{
    // A checkerboard of two colours: every lower level is their average.
    const uint32_t a = 0xFFE02040, b = 0xFF20C0A0, average = 0xFF807070;
    std::vector<uint32_t> board;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            board.push_back((x + y) % 2 ? b : a);
    IDirect3DTexture9* texture = MakeTexture(8, 8, board.data(), 0);
    auto draw = [&](float scale, float x, float y) {
        D3DMATRIX m{};
        m._11 = m._22 = scale;
        m._33 = m._44 = 1.0f;
        m._41 = x;
        m._42 = y;
        sprite->SetTransform(reinterpret_cast<const D3DXMATRIX*>(&m));
        sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFF);
        sprite->Flush();  // each draw on its own, so the order of draws is the order asked
    };
    BeginFrame(0xFF000000);
    ASSERT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    draw(0.5f, 10, 10);
    draw(1.0f, 30, 10);
    draw(2.0f, 50, 10);
    draw(0.5f, 80, 10);
    ASSERT_EQ(sprite->End(), D3D_OK);
    device->EndScene();

    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_TRUE(Near(Pixel(10 + x, 10 + y), average, 3)) << "smaller first, at " << x << "," << y;
            EXPECT_TRUE(Near(Pixel(80 + x, 10 + y), average, 3)) << "smaller last, at " << x << "," << y;
        }
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            EXPECT_TRUE(Near(Pixel(30 + x, 10 + y), board[y * 8 + x], 0)) << "own size, at " << x << "," << y;
            EXPECT_TRUE(Near(Pixel(50 + 2 * x + 1, 10 + 2 * y), board[y * 8 + x], 0)) << "twice, at " << x << "," << y;
        }
    texture->Release();
}

TEST_F(SpriteTest, TransformScalesAndMovesTheQuad)
{
    std::vector<uint32_t> texels = Gradient();
    IDirect3DTexture9* texture = MakeTexture(4, 4, texels.data());
    D3DMATRIX scale{};
    scale._11 = 2.0f;
    scale._22 = 2.0f;
    scale._33 = 1.0f;
    scale._41 = 50.0f;
    scale._42 = 60.0f;
    scale._44 = 1.0f;
    ASSERT_EQ(sprite->SetTransform(reinterpret_cast<const D3DXMATRIX*>(&scale)), D3D_OK);
    D3DMATRIX back{};
    sprite->GetTransform(reinterpret_cast<D3DXMATRIX*>(&back));
    EXPECT_EQ(back._41, 50.0f);

    BeginFrame(0xFF000000);
    sprite->Begin(D3DXSPRITE_ALPHABLEND);
    // The frame renderer's choice after Begin: point filtering.
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFF);
    sprite->End();
    device->EndScene();
    EXPECT_TRUE(Near(Pixel(50, 60), texels[0], 1));
    EXPECT_TRUE(Near(Pixel(51, 61), texels[0], 1));
    EXPECT_TRUE(Near(Pixel(57, 67), texels[15], 1));
    EXPECT_TRUE(Near(Pixel(58, 68), 0xFF000000, 0));
    texture->Release();
}

TEST_F(SpriteTest, EndRestoresTheStatesBeginFound)
{
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device->SetRenderState(D3DRS_ALPHAREF, 2);
    device->SetSamplerState(0, D3DSAMP_MIPMAPLODBIAS, 0xBFC00000);
    D3DMATRIX world{};
    world._11 = world._22 = world._33 = world._44 = 3.0f;
    device->SetTransform(D3DTS_WORLD, &world);

    BeginFrame(0xFF000000);
    ASSERT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
    DWORD value = 0;
    device->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, DWORD(D3DCULL_NONE));
    device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, DWORD(TRUE));
    device->GetSamplerState(0, D3DSAMP_MIPMAPLODBIAS, &value);
    EXPECT_EQ(value, 0u);
    ASSERT_EQ(sprite->End(), D3D_OK);
    device->EndScene();

    device->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, DWORD(D3DCULL_CW));
    device->GetRenderState(D3DRS_ALPHAREF, &value);
    EXPECT_EQ(value, 2u);
    device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, DWORD(FALSE));
    device->GetSamplerState(0, D3DSAMP_MIPMAPLODBIAS, &value);
    EXPECT_EQ(value, 0xBFC00000u);
    D3DMATRIX restored{};
    device->GetTransform(D3DTS_WORLD, &restored);
    EXPECT_EQ(restored._11, 3.0f);
}

TEST_F(SpriteTest, CallsOutOfOrderFailWithoutDrawing)
{
    const uint32_t white = 0xFFFFFFFF;
    IDirect3DTexture9* texture = MakeTexture(1, 1, &white);
    EXPECT_EQ(sprite->End(), D3DERR_INVALIDCALL);
    EXPECT_EQ(sprite->Draw(texture, nullptr, nullptr, nullptr, white), D3DERR_INVALIDCALL);
    EXPECT_EQ(sprite->Flush(), D3DERR_INVALIDCALL);
    BeginFrame(0xFF000000);
    ASSERT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
    EXPECT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3DERR_INVALIDCALL);
    EXPECT_EQ(sprite->Draw(nullptr, nullptr, nullptr, nullptr, white), D3DERR_INVALIDCALL);
    EXPECT_EQ(sprite->End(), D3D_OK);
    EXPECT_EQ(sprite->End(), D3DERR_INVALIDCALL);
    device->EndScene();
    EXPECT_TRUE(Near(Pixel(0, 0), 0xFF000000, 0));
    texture->Release();
}

// Sorting and billboards are not supported: Begin with them fails and draws nothing, rather
// than drawing in another order than asked.
TEST_F(SpriteTest, SortingAndBillboardFlagsAreRefused)
{
    BeginFrame(0xFF000000);
    for (DWORD flag : {DWORD(D3DXSPRITE_SORT_TEXTURE), DWORD(D3DXSPRITE_SORT_DEPTH_FRONTTOBACK),
                       DWORD(D3DXSPRITE_SORT_DEPTH_BACKTOFRONT), DWORD(D3DXSPRITE_BILLBOARD)}) {
        EXPECT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND | flag), D3DERR_INVALIDCALL) << flag;
        EXPECT_EQ(sprite->End(), D3DERR_INVALIDCALL) << "nothing was begun";
    }
    EXPECT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
    EXPECT_EQ(sprite->End(), D3D_OK);
    device->EndScene();
}
