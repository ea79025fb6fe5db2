// Textures: locking, formats, surfaces, and textures made on another thread.
#include "DeviceFixture.h"

#include <d3d9/D3DX9.h>

#include <thread>

using namespace d3d9test;

namespace {

class TextureTest : public DeviceTest {
protected:
    // Draws the texture over the whole back buffer with its own colours.
    void DrawFullScreen(IDirect3DTexture9* texture)
    {
        TexVertex quad[4] = {{-1, 1, 0, 0xFFFFFFFF, 0, 0},
                             {1, 1, 0, 0xFFFFFFFF, 1, 0},
                             {-1, -1, 0, 0xFFFFFFFF, 0, 1},
                             {1, -1, 0, 0xFFFFFFFF, 1, 1}};
        device->BeginScene();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetTexture(0, texture);
        device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexVertex)), D3D_OK);
        device->EndScene();
        device->SetTexture(0, nullptr);
    }
};

} // namespace

TEST_F(TextureTest, LockOutsideTheTextureFails)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    const RECT bad[] = {{0, 0, 17, 8}, {0, 0, 16, 9}, {-1, 0, 4, 4}, {4, 4, 4, 8}, {5, 2, 3, 6}};
    testing::internal::CaptureStderr();
    for (const RECT& r : bad) {
        EXPECT_EQ(texture->LockRect(0, &locked, &r, 0), D3DERR_INVALIDCALL)
            << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        EXPECT_EQ(locked.pBits, nullptr);
    }
    EXPECT_NE(testing::internal::GetCapturedStderr().find("outside"), std::string::npos);
    EXPECT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3DERR_INVALIDCALL);  // one level only

    // A rectangle inside gives its first pixel, and a second lock waits for the unlock.
    RECT inside{15, 7, 16, 8};
    ASSERT_EQ(texture->LockRect(0, &locked, &inside, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 64);
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL);

    D3DSURFACE_DESC desc{};
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 16u);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
    texture->Release();
}

TEST_F(TextureTest, SixteenBitFormatsDrawTheirColours)
{
    struct Case {
        D3DFORMAT format;
        uint16_t texel;
        uint32_t expect;
    };
    for (Case c : {Case{D3DFMT_R5G6B5, 0xF800, 0xFFFF0000}, Case{D3DFMT_R5G6B5, 0x07E0, 0xFF00FF00},
                   Case{D3DFMT_A4R4G4B4, 0xF00F, 0xFF0000FF}, Case{D3DFMT_A1R5G5B5, 0xFC00, 0xFFFF0000}}) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, c.format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        EXPECT_EQ(locked.Pitch, 4);
        for (int i = 0; i < 4; ++i)
            static_cast<uint16_t*>(locked.pBits)[(i / 2) * 2 + i % 2] = c.texel;
        texture->UnlockRect(0);
        DrawFullScreen(texture);
        EXPECT_TRUE(Near(Pixel(kWidth / 2, kHeight / 2), c.expect, 4)) << "format " << c.format;
        texture->Release();
    }
}

TEST_F(TextureTest, ChangesAfterTheFirstDrawAreUploaded)
{
    const uint32_t red = 0xFFFF0000;
    IDirect3DTexture9* texture = MakeTexture(1, 1, &red);
    DrawFullScreen(texture);
    EXPECT_TRUE(Near(Pixel(3, 3), red, 0));
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, 0);
    *static_cast<uint32_t*>(locked.pBits) = 0xFF0000FF;
    texture->UnlockRect(0);
    DrawFullScreen(texture);
    EXPECT_TRUE(Near(Pixel(3, 3), 0xFF0000FF, 0));
    texture->Release();
}

TEST_F(TextureTest, TextureMadeOnAnotherThreadIsDrawnOnTheRenderThread)
{
    IDirect3DTexture9* texture = nullptr;
    std::thread loader([&] {
        IDirect3DTexture9* made = nullptr;
        if (device->CreateTexture(8, 8, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &made, nullptr) != D3D_OK)
            return;
        D3DLOCKED_RECT locked{};
        made->LockRect(0, &locked, nullptr, 0);
        for (int i = 0; i < 64; ++i)
            static_cast<uint32_t*>(locked.pBits)[i] = 0x0000C0FF;  // alpha ignored by X8R8G8B8
        made->UnlockRect(0);
        texture = made;
    });
    loader.join();
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetLevelCount(), 4u);  // 8, 4, 2, 1
    DrawFullScreen(texture);
    EXPECT_TRUE(Near(Pixel(100, 100), 0xFF00C0FF, 0));

    // Released on another thread while bound: the device keeps its reference, and the OpenGL
    // name goes at the next frame on the render thread.
    device->SetTexture(0, texture);
    std::thread([&] { texture->Release(); }).join();
    device->SetTexture(0, nullptr);
    DrawFullScreen(nullptr);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(TextureTest, RenderToSurfaceDrawsIntoATextureAndPutsTheTargetBack)
{
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target,
                                    nullptr),
              D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    target->GetSurfaceLevel(0, &surface);
    ID3DXRenderToSurface* rts = nullptr;
    ASSERT_EQ(D3DXCreateRenderToSurface(device, 32, 32, D3DFMT_X8R8G8B8, TRUE, D3DFMT_D16, &rts), D3D_OK);
    IDirect3DSurface9* before = nullptr;
    device->GetRenderTarget(0, &before);

    ASSERT_EQ(rts->BeginScene(surface, nullptr), D3D_OK);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF20A040, 1.0f, 0), D3D_OK);
    ASSERT_EQ(rts->EndScene(D3DX_FILTER_NONE), D3D_OK);

    IDirect3DSurface9* after = nullptr;
    device->GetRenderTarget(0, &after);
    EXPECT_EQ(after, before);
    D3DVIEWPORT9 vp{};
    device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, kWidth);
    DrawFullScreen(target);
    EXPECT_TRUE(Near(Pixel(kWidth - 1, 0), 0xFF20A040, 0));
    after->Release();
    before->Release();
    rts->Release();
    surface->Release();
    target->Release();
}

namespace {

// Draws the texture into the top-left `size` x `size` pixels of a w x h target, point-sampled
// from its levels.
void DrawMinified(IDirect3DDevice9* device, IDirect3DTexture9* texture, float size, UINT w, UINT h)
{
    TexVertex quad[4] = {TexAt(0, 0, 0, 0, w, h), TexAt(size, 0, 1, 0, w, h), TexAt(0, size, 0, 1, w, h),
                         TexAt(size, size, 1, 1, w, h)};
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
    device->SetTexture(0, texture);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexVertex)), D3D_OK);
    device->EndScene();
    device->SetTexture(0, nullptr);
}

} // namespace

// Lower levels are built from the top level when a draw first samples them, and again after the
// top level changes: a one-pixel red and blue checkerboard drawn at a quarter of its size shows
// the levels' purple, and green once the top level is all green.
TEST_F(TextureTest, LowerLevelsFollowTheTopLevelWhenADrawSamplesThem)
{
    std::vector<uint32_t> checker(64 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            checker[y * 64 + x] = (x + y) % 2 ? 0xFFFF0000 : 0xFF0000FF;
    IDirect3DTexture9* texture = MakeTexture(64, 64, checker.data(), 0);
    DrawMinified(device, texture, 64, kWidth, kHeight);
    const uint32_t top = Pixel(10, 10);
    EXPECT_TRUE(Near(top, 0xFFFF0000, 0) || Near(top, 0xFF0000FF, 0)) << "at its own size: the top level";
    DrawMinified(device, texture, 16, kWidth, kHeight);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xFF800080, 3));

    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 64; ++y)
        std::fill_n(reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch), 64,
                    0xFF00FF00u);
    texture->UnlockRect(0);
    DrawMinified(device, texture, 16, kWidth, kHeight);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xFF00FF00, 0));
    texture->Release();
}
