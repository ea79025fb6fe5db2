// The back buffer wherever it lives (the window itself or a texture scaled into the window):
// rows counted from the top, locks, depth, the alpha test and what Present shows.
#define GL_GLEXT_PROTOTYPES
#include "DeviceFixture.h"

#include <d3d9/FrameQueue.h>

#include <GL/gl.h>


using namespace d3d9test;

namespace {

class BackBufferTest : public DeviceTest {
protected:
    void BeginFrame(D3DCOLOR clear)
    {
        device->BeginScene();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    }

    // A rectangle in the vertex colour and alpha, in back-buffer pixels at depth z.
    void FillRect(float left, float top, float right, float bottom, DWORD color, float z = 0.0f)
    {
        ColorVertex quad[4] = {At(left, top, color, kWidth, kHeight, z), At(right, top, color, kWidth, kHeight, z),
                               At(left, bottom, color, kWidth, kHeight, z),
                               At(right, bottom, color, kWidth, kHeight, z)};
        device->SetTexture(0, nullptr);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
        device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ColorVertex)), D3D_OK);
    }

    // A rectangle showing `texture`'s colour and alpha as they are.
    void TextureRect(IDirect3DTexture9* texture, float left, float top, float right, float bottom, float z = 0.0f)
    {
        auto at = [&](float x, float y, float u, float v) { return TexAt(x, y, u, v, kWidth, kHeight, z); };
        TexVertex quad[4] = {at(left, top, 0, 0), at(right, top, 1, 0), at(left, bottom, 0, 1),
                             at(right, bottom, 1, 1)};
        device->SetTexture(0, texture);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexVertex)), D3D_OK);
    }
};

} // namespace

TEST_F(BackBufferTest, ViewportAndClearRectanglesCountRowsFromTheTop)
{
    BeginFrame(0xFF000000);
    D3DVIEWPORT9 vp{16, 8, 64, 32, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&vp), D3D_OK);
    // Clip space -1..1 fills exactly the viewport.
    ColorVertex quad[4] = {{-1, 1, 0, 0xFFFF0000}, {1, 1, 0, 0xFFFF0000}, {-1, -1, 0, 0xFFFF0000}, {1, -1, 0, 0xFFFF0000}};
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ColorVertex));
    // A clear keeps inside the viewport: back to the whole target for the strip.
    D3DVIEWPORT9 whole{0, 0, kWidth, kHeight, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&whole), D3D_OK);
    RECT strip{100, 150, 120, 152};
    device->Clear(1, &strip, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    device->EndScene();

    struct Probe {
        int x, y;
        uint32_t colour;
    };
    for (Probe p : {Probe{16, 8, 0xFFFF0000}, {79, 39, 0xFFFF0000}, {15, 8, 0xFF000000}, {16, 7, 0xFF000000},
                    {80, 39, 0xFF000000}, {79, 40, 0xFF000000}, {100, 150, 0xFF00FF00}, {119, 151, 0xFF00FF00},
                    {100, 149, 0xFF000000}, {100, 152, 0xFF000000}})
        EXPECT_TRUE(Near(Pixel(p.x, p.y), p.colour, 0)) << "at " << p.x << "," << p.y;
}

TEST_F(BackBufferTest, WritesThroughALockReachThePictureAndDrawingGoesOnAfterwards)
{
    BeginFrame(0xFF000000);
    device->EndScene();

    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &back), D3D_OK);
    D3DLOCKED_RECT locked{};
    RECT area{4, 6, 12, 10};
    ASSERT_EQ(back->LockRect(&locked, &area, 0), D3D_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            uint32_t argb = 0xFF000000u | uint32_t(x * 30) << 16 | uint32_t(y * 60) << 8;
            std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4, &argb, 4);
        }
    ASSERT_EQ(back->UnlockRect(), D3D_OK);
    back->Release();

    // The blend state set before the lock still holds for the next draw.
    device->BeginScene();
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    FillRect(40, 40, 60, 60, 0x80FFFFFF);
    device->EndScene();

    EXPECT_TRUE(Near(Pixel(4, 6), 0xFF000000, 0));
    EXPECT_TRUE(Near(Pixel(11, 9), 0xFFD2B400, 0));
    EXPECT_TRUE(Near(Pixel(7, 8), 0xFF5A7800, 0));
    EXPECT_TRUE(Near(Pixel(12, 9), 0xFF000000, 0));
    EXPECT_TRUE(Near(Pixel(11, 10), 0xFF000000, 0));
    EXPECT_TRUE(Near(Pixel(50, 50), 0xFF808080, 2));
    EXPECT_TRUE(Near(Pixel(39, 50), 0xFF000000, 0));
}

TEST_F(BackBufferTest, AnA8R8G8B8BackBufferKeepsItsAlpha)
{
    params.BackBufferFormat = D3DFMT_A8R8G8B8;
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    for (int frame = 0; frame < 2; ++frame) {  // the second frame follows a Present
        BeginFrame(0x80336699);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_DESTALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
        FillRect(0, 0, 20, 20, 0xFFFFFFFF);
        device->EndScene();
        EXPECT_TRUE(Near(Pixel(40, 40), 0x80336699, 0, true)) << "frame " << frame;
        EXPECT_TRUE(Near(Pixel(10, 10), 0x80808080, 1, true)) << "white times the target's alpha, frame " << frame;
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }
}

// The sprite states test alpha > 0 while blending by source alpha; whatever the device does
// with that test, the picture and the depth buffer must come out as if it ran.
TEST_F(BackBufferTest, TheAlphaTestDropsFragmentsAsSet)
{
    const uint32_t faint = 0x40FFFFFF, invisible = 0x00FFFFFF;
    IDirect3DTexture9* faintTexture = MakeTexture(1, 1, &faint);
    IDirect3DTexture9* invisibleTexture = MakeTexture(1, 1, &invisible);
    struct Case {
        const char* what;
        IDirect3DTexture9* texture;
        DWORD alphaRef;
        bool zWrite;
        uint32_t expected;  // the pixel after the texture and then a blue rectangle behind it
    };
    const Case cases[] = {
        {"invisible texel, no depth write", invisibleTexture, 0, false, 0xFF0000FF},
        {"invisible texel with depth write: no depth is written", invisibleTexture, 0, true, 0xFF0000FF},
        {"faint texel passes ref 0 and writes depth", faintTexture, 0, true, 0xFF404040},
        {"faint texel below ref 0x80 is dropped", faintTexture, 0x80, true, 0xFF0000FF},
    };
    for (const Case& c : cases) {
        BeginFrame(0xFF000000);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
        device->SetRenderState(D3DRS_ZWRITEENABLE, c.zWrite);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
        device->SetRenderState(D3DRS_ALPHAREF, c.alphaRef);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        TextureRect(c.texture, 20, 20, 60, 60, 0.2f);
        // Opaque blue further away: hidden only where the texture wrote depth.
        device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        FillRect(10, 10, 70, 70, 0xFF0000FF, 0.5f);
        device->EndScene();
        EXPECT_TRUE(Near(Pixel(40, 40), c.expected, 2)) << c.what;
        EXPECT_TRUE(Near(Pixel(15, 15), 0xFF0000FF, 0)) << c.what;
    }
    faintTexture->Release();
    invisibleTexture->Release();
}

// A window whose depth buffer is too small for the back buffer's depth format: the device
// must still give the back buffer the depth it asked for.
struct DepthCase {
    int windowDepthBits, windowStencilBits;
    D3DFORMAT format;
};

class BackBufferDepthTest : public BackBufferTest, public ::testing::WithParamInterface<DepthCase> {
protected:
    void SetUp() override
    {
        // SDL takes window attributes only while video is up; the fixture's own init nests.
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, GetParam().windowDepthBits);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, GetParam().windowStencilBits);
        BackBufferTest::SetUp();
        if (HasFatalFailure())
            return;
        params.AutoDepthStencilFormat = GetParam().format;
        ASSERT_EQ(device->Reset(&params), D3D_OK);
    }
    void TearDown() override
    {
        BackBufferTest::TearDown();
        SDL_GL_ResetAttributes();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
};

TEST_P(BackBufferDepthTest, NearerDrawingHidesFartherDrawing)
{
    for (int frame = 0; frame < 2; ++frame) {  // the second frame follows a Present
        BeginFrame(0xFF000000);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
        FillRect(20, 20, 60, 60, 0xFFFF0000, 0.25f);
        FillRect(10, 10, 70, 70, 0xFF00FF00, 0.75f);
        device->EndScene();
        EXPECT_TRUE(Near(Pixel(40, 40), 0xFFFF0000, 0)) << "frame " << frame;
        EXPECT_TRUE(Near(Pixel(15, 15), 0xFF00FF00, 0)) << "frame " << frame;
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }
}

// Clears made while nothing tests depth may wait until depth is tested again; what the depth
// test then sees must be exactly what was cleared, in the order it was cleared.
TEST_P(BackBufferDepthTest, DepthClearedWhileUntestedHoldsOnceTestingStarts)
{
    struct Case {
        const char* what;
        float wholeZ;          // whole-surface clear with depth testing off
        bool partialNearClear;  // then a clear of the left half to depth 0
        DWORD expectLeft, expectRight;
    };
    const Case cases[] = {
        {"cleared far: the nearer rectangle shows", 1.0f, false, 0xFFFF0000, 0xFFFF0000},
        {"cleared near: nothing passes", 0.0f, false, 0xFF000000, 0xFF000000},
        {"whole far, then left half near", 1.0f, true, 0xFF000000, 0xFFFF0000},
    };
    for (const Case& c : cases) {
        device->BeginScene();
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, c.wholeZ, 0);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        FillRect(0, 70, 10, 80, 0xFF0000FF);  // drawn untested in between
        if (c.partialNearClear) {
            RECT left{0, 0, 40, 60};
            device->Clear(1, &left, D3DCLEAR_ZBUFFER, 0, 0.0f, 0);
        }
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
        FillRect(0, 0, 80, 60, 0xFFFF0000, 0.5f);
        device->EndScene();
        EXPECT_TRUE(Near(Pixel(20, 30), c.expectLeft, 0)) << c.what;
        EXPECT_TRUE(Near(Pixel(60, 30), c.expectRight, 0)) << c.what;
        EXPECT_TRUE(Near(Pixel(5, 75), 0xFF0000FF, 0)) << c.what;
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }
}

INSTANTIATE_TEST_SUITE_P(WindowDepth, BackBufferDepthTest,
                         ::testing::Values(DepthCase{16, 0, D3DFMT_D16}, DepthCase{0, 0, D3DFMT_D16},
                                           DepthCase{16, 0, D3DFMT_D24S8}, DepthCase{24, 8, D3DFMT_D24S8}));

// Presenting part of the picture, into another window or with a dirty region is not supported:
// the call fails rather than showing the whole picture as if it had done what was asked.
TEST_F(BackBufferTest, PresentRefusesRectanglesWindowsAndRegions)
{
    RECT part{0, 0, 10, 10};
    int region = 0;
    EXPECT_EQ(device->Present(&part, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Present(nullptr, &part, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Present(nullptr, nullptr, hwnd, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, &region), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

// Frames drawn faster than OpenGL finishes them never pile up: after each Present at most two
// presented frames are still being drawn, and the last one is on screen once it is done.
TEST_F(BackBufferTest, PresentKeepsAtMostTwoFramesInFlight)
{
    for (int frame = 0; frame < 12; ++frame) {
        BeginFrame(0xFF000000);
        for (int layer = 0; layer < 60; ++layer)
            FillRect(0, 0, kWidth, kHeight, 0x80000000u | static_cast<DWORD>(layer * 4 + frame));
        device->EndScene();
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        const int inFlight = platform::d3d9::FramesInFlight(device);
        EXPECT_GE(inFlight, 0);
        EXPECT_LE(inFlight, 2) << "frame " << frame;
    }
    glFinish();
    EXPECT_EQ(platform::d3d9::FramesInFlight(device), 0);
}

// What Present leaves in the window, for windows of other sizes than the back buffer.
struct WindowCase {
    int width, height;
    int left, top, scale;  // where the picture lands and how much it grows
};

class PresentTest : public BackBufferTest, public ::testing::WithParamInterface<WindowCase> {
protected:
    SDL_Point WindowSize() const override { return {GetParam().width, GetParam().height}; }

    // ARGB of one window pixel, counted from the window's top row.
    uint32_t WindowPixel(int x, int y)
    {
        uint8_t bgra[4] = {};
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadPixels(x, GetParam().height - 1 - y, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
        return 0xFF000000u | uint32_t(bgra[2]) << 16 | uint32_t(bgra[1]) << 8 | bgra[0];
    }
};

TEST_P(PresentTest, ThePictureKeepsItsShapeAndItsTopRowOnTop)
{
    const WindowCase w = GetParam();
    BeginFrame(0xFFFF0000);
    RECT topLeft{0, 0, kWidth / 2, kHeight / 2};
    device->Clear(1, &topLeft, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    device->EndScene();
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);

    auto inWindow = [&](int x, int y) { return WindowPixel(w.left + x * w.scale, w.top + y * w.scale); };
    EXPECT_TRUE(Near(inWindow(10, 10), 0xFF0000FF, 0));
    EXPECT_TRUE(Near(inWindow(200, 10), 0xFFFF0000, 0));
    EXPECT_TRUE(Near(inWindow(10, 150), 0xFFFF0000, 0));
    EXPECT_TRUE(Near(inWindow(kWidth - 1, kHeight - 1), 0xFFFF0000, 0));
    if (w.left > 0) {
        EXPECT_TRUE(Near(WindowPixel(w.left / 2, w.height / 2), 0xFF000000, 0)) << "bars left and right";
    }
    if (w.top > 0) {
        EXPECT_TRUE(Near(WindowPixel(w.width / 2, w.top / 2), 0xFF000000, 0)) << "bars above and below";
    }
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, PresentTest,
                         ::testing::Values(WindowCase{256, 192, 0, 0, 1}, WindowCase{512, 384, 0, 0, 2},
                                           WindowCase{512, 192, 128, 0, 1}, WindowCase{256, 384, 0, 96, 1}));
