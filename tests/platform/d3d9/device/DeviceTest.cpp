// The device over OpenGL: frame, clear, targets, states, drawing conventions, lost device.
#include "DeviceFixture.h"

#include <cstring>
#include <vector>

using namespace d3d9test;

TEST_F(DeviceTest, ClearFillsTheBackBufferWithTheColourInArgbByteOrder)
{
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102030, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_TRUE(Near(Pixel(0, 0), 0xFF102030, 0));
    EXPECT_TRUE(Near(Pixel(kWidth - 1, kHeight - 1), 0xFF102030, 0));

    // Memory order of a locked A8R8G8B8 pixel is B, G, R, A.
    IDirect3DSurface9* target = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &target), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(target->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const uint8_t* bytes = static_cast<const uint8_t*>(locked.pBits);
    EXPECT_EQ(bytes[0], 0x30);
    EXPECT_EQ(bytes[1], 0x20);
    EXPECT_EQ(bytes[2], 0x10);
    EXPECT_EQ(locked.Pitch, int(kWidth * 4));
    target->UnlockRect();
    target->Release();
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(DeviceTest, ClearWithRectanglesTouchesOnlyThoseRectangles)
{
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    RECT rect{10, 20, 30, 40};
    device->Clear(1, &rect, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    device->EndScene();
    EXPECT_TRUE(Near(Pixel(10, 20), 0xFFFFFFFF, 0));
    EXPECT_TRUE(Near(Pixel(29, 39), 0xFFFFFFFF, 0));
    EXPECT_TRUE(Near(Pixel(30, 39), 0xFF000000, 0));
    EXPECT_TRUE(Near(Pixel(29, 40), 0xFF000000, 0));
    EXPECT_TRUE(Near(Pixel(9, 20), 0xFF000000, 0));
}

TEST_F(DeviceTest, SceneCallsMustPair)
{
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    ColorVertex tri[3] = {};
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(ColorVertex)), D3DERR_INVALIDCALL);
}

TEST_F(DeviceTest, NewDeviceHasTheDocumentedDefaults)
{
    struct Expect {
        D3DRENDERSTATETYPE state;
        DWORD value;
    };
    for (Expect e : {Expect{D3DRS_ZENABLE, TRUE}, {D3DRS_ZWRITEENABLE, TRUE}, {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
                     {D3DRS_CULLMODE, D3DCULL_CCW}, {D3DRS_LIGHTING, TRUE}, {D3DRS_ALPHABLENDENABLE, FALSE},
                     {D3DRS_SRCBLEND, D3DBLEND_ONE}, {D3DRS_DESTBLEND, D3DBLEND_ZERO}}) {
        DWORD value = 0xDEAD;
        device->GetRenderState(e.state, &value);
        EXPECT_EQ(value, e.value) << "render state " << e.state;
    }
    DWORD op = 0;
    device->GetTextureStageState(0, D3DTSS_COLOROP, &op);
    EXPECT_EQ(op, DWORD(D3DTOP_MODULATE));
    device->GetTextureStageState(1, D3DTSS_COLOROP, &op);
    EXPECT_EQ(op, DWORD(D3DTOP_DISABLE));
    DWORD filter = 0;
    device->GetSamplerState(0, D3DSAMP_MAGFILTER, &filter);
    EXPECT_EQ(filter, DWORD(D3DTEXF_POINT));
    D3DVIEWPORT9 vp{};
    device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, kWidth);
    EXPECT_EQ(vp.Height, kHeight);
    EXPECT_EQ(vp.MinZ, 0.0f);
    EXPECT_EQ(vp.MaxZ, 1.0f);
}

TEST_F(DeviceTest, StatesOutsideTheCoverageTableAreRefusedAndKept)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(device->SetRenderState(D3DRS_FOGENABLE, TRUE), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(3), 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTextureStageState(0, D3DTSS_COLOROP, 24), D3DERR_INVALIDCALL);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("FOGENABLE"), std::string::npos) << log;
    DWORD fog = 1;
    device->GetRenderState(D3DRS_FOGENABLE, &fog);
    EXPECT_EQ(fog, DWORD(FALSE));
    // At its default a default-only state is accepted.
    EXPECT_EQ(device->SetRenderState(D3DRS_FOGENABLE, FALSE), D3D_OK);
}

TEST_F(DeviceTest, StateBlockRecordsWithoutApplyingAndAppliesLater)
{
    D3DVIEWPORT9 original{};
    device->GetViewport(&original);
    ASSERT_EQ(device->BeginStateBlock(), D3D_OK);
    D3DVIEWPORT9 changed = original;
    changed.MinZ = 0.1f;
    EXPECT_EQ(device->SetViewport(&changed), D3D_OK);
    IDirect3DStateBlock9* block = nullptr;
    ASSERT_EQ(device->EndStateBlock(&block), D3D_OK);

    D3DVIEWPORT9 now{};
    device->GetViewport(&now);
    EXPECT_EQ(now.MinZ, 0.0f);
    block->Apply();
    device->GetViewport(&now);
    EXPECT_FLOAT_EQ(now.MinZ, 0.1f);
    block->Release();
}

TEST_F(DeviceTest, CullModesJudgeWindingAsSeenOnScreen)
{
    // (0,0), (W,0), (0,H) turns clockwise on a y-down screen: it covers the top-left half.
    std::vector<ColorVertex> clockwise = {At(0, 0, 0xFFFF0000, kWidth, kHeight),
                                          At(kWidth, 0, 0xFFFF0000, kWidth, kHeight),
                                          At(0, kHeight, 0xFFFF0000, kWidth, kHeight)};
    struct Case {
        DWORD cull;
        bool drawn;
    };
    for (Case c : {Case{D3DCULL_NONE, true}, Case{D3DCULL_CCW, true}, Case{D3DCULL_CW, false}}) {
        device->BeginScene();
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, c.cull);
        device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise.data(), sizeof(ColorVertex)), D3D_OK);
        device->EndScene();
        EXPECT_TRUE(Near(Pixel(10, 10), c.drawn ? 0xFFFF0000 : 0xFF000000)) << "cull mode " << c.cull;
        EXPECT_TRUE(Near(Pixel(kWidth - 10, kHeight - 10), 0xFF000000)) << "the other half stays clear";
    }
}

TEST_F(DeviceTest, UntexturedLinesBlendWithSourceColour)
{
    // The line drawers' states: SRCCOLOR / INVSRCCOLOR, no texture, vertex colour shown.
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF404040, 1.0f, 0);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCCOLOR);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCCOLOR);
    device->SetTexture(0, nullptr);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    ColorVertex line[2] = {At(0, 50.5f, 0xFF80FF00, kWidth, kHeight), At(kWidth, 50.5f, 0xFF80FF00, kWidth, kHeight)};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_LINELIST, 1, line, sizeof(ColorVertex)), D3D_OK);
    device->EndScene();
    // c = s*s + d*(1-s): red 0x80 -> 0x80*0x80/255 + 0x40*(1-0x80/255) = 0x40 + 0x20; green 0xFF;
    // blue 0 -> 0x40.
    EXPECT_TRUE(Near(Pixel(100, 50), 0xFF60FF40, 3));
    EXPECT_TRUE(Near(Pixel(100, 52), 0xFF404040, 0));
}

TEST_F(DeviceTest, LightingWithoutLightsGivesAmbientTimesMaterial)
{
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    D3DMATERIAL9 material{};
    material.Ambient = {1.0f, 0.5f, 0.0f, 1.0f};
    material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    device->SetMaterial(&material);
    device->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    ColorVertex quad[4] = {At(0, 0, 0xFF0000FF, kWidth, kHeight), At(kWidth, 0, 0xFF0000FF, kWidth, kHeight),
                           At(0, kHeight, 0xFF0000FF, kWidth, kHeight), At(kWidth, kHeight, 0xFF0000FF, kWidth, kHeight)};
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ColorVertex));
    device->EndScene();
    EXPECT_TRUE(Near(Pixel(20, 20), 0xFFFF8000, 2));
}

TEST_F(DeviceTest, RenderTargetTextureIsDrawnIntoTheBackBuffer)
{
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(64, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                    nullptr),
              D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), D3D_OK);
    IDirect3DSurface9* backBuffer = nullptr;
    device->GetRenderTarget(0, &backBuffer);

    // Draw into the texture: green, with a red top-left 8x8 corner.
    device->BeginScene();
    ASSERT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    D3DVIEWPORT9 vp{};
    device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 64u);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    RECT corner{0, 0, 8, 8};
    device->Clear(1, &corner, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    device->SetRenderTarget(0, backBuffer);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);

    // Then draw the texture at (100, 50) with its own pixels.
    auto at = [](float x, float y, float u, float v) { return TexAt(x, y, u, v, kWidth, kHeight); };
    TexVertex quad[4] = {at(100, 50, 0, 0), at(164, 50, 1, 0), at(100, 82, 0, 1), at(164, 82, 1, 1)};
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTexture(0, target);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexVertex));
    device->EndScene();

    EXPECT_TRUE(Near(Pixel(100, 50), 0xFFFF0000, 0));
    EXPECT_TRUE(Near(Pixel(107, 57), 0xFFFF0000, 0));
    EXPECT_TRUE(Near(Pixel(108, 50), 0xFF00FF00, 0));
    EXPECT_TRUE(Near(Pixel(163, 81), 0xFF00FF00, 0));
    EXPECT_TRUE(Near(Pixel(99, 50), 0xFF000000, 0));

    // A render-target texture itself cannot be locked.
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(target->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    device->SetTexture(0, nullptr);
    backBuffer->Release();
    surface->Release();
    target->Release();
}

TEST_F(DeviceTest, LostDeviceRoundTrip)
{
    platform::d3d9::LoseDevice(device);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Reset(&params), D3DERR_DEVICELOST);

    platform::d3d9::AllowDeviceReset(device);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);

    // Reset puts the states back to their defaults, and the device draws again.
    DWORD cull = 0;
    device->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, DWORD(D3DCULL_CCW));
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0);
    device->EndScene();
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xFF336699, 0));
}

TEST_F(DeviceTest, ResetResizesTheBackBuffer)
{
    D3DPRESENT_PARAMETERS bigger = params;
    bigger.BackBufferWidth = 320;
    bigger.BackBufferHeight = 240;
    ASSERT_EQ(device->Reset(&bigger), D3D_OK);
    IDirect3DSurface9* back = nullptr;
    device->GetRenderTarget(0, &back);
    D3DSURFACE_DESC desc{};
    back->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 320u);
    EXPECT_EQ(desc.Height, 240u);
    back->Release();
    D3DVIEWPORT9 vp{};
    device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 320u);
}

TEST_F(DeviceTest, BuffersRefuseRangesOutsideThemAndDrawWhatTheyHold)
{
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(4 * sizeof(ColorVertex), D3DUSAGE_WRITEONLY, D3DFVF_XYZ | D3DFVF_DIFFUSE,
                                         D3DPOOL_MANAGED, &vb, nullptr),
              D3D_OK);
    void* data = nullptr;
    EXPECT_EQ(vb->Lock(60, 8, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(data, nullptr);
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
    ColorVertex quad[4] = {At(0, 0, 0xFF00FFFF, kWidth, kHeight), At(kWidth, 0, 0xFF00FFFF, kWidth, kHeight),
                           At(0, kHeight, 0xFF00FFFF, kWidth, kHeight), At(kWidth, kHeight, 0xFF00FFFF, kWidth, kHeight)};
    std::memcpy(data, quad, sizeof quad);
    vb->Unlock();
    EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL);

    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(6 * 2, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr),
              D3D_OK);
    ASSERT_EQ(ib->Lock(0, 0, &data, 0), D3D_OK);
    const uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
    std::memcpy(data, indices, sizeof indices);
    ib->Unlock();

    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetStreamSource(0, vb, 0, sizeof(ColorVertex));
    device->SetIndices(ib);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 2, 1), D3DERR_INVALIDCALL);  // reads past the end
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    device->EndScene();
    EXPECT_TRUE(Near(Pixel(kWidth / 2, kHeight / 2), 0xFF00FFFF, 0));
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    ib->Release();
    vb->Release();
}

TEST(Direct3DTest, ReportsOneHardwareAdapterFromTheDisplays)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    EXPECT_GE(d3d->GetAdapterCount(), 1u);
    D3DADAPTER_IDENTIFIER9 id{};
    EXPECT_EQ(d3d->GetAdapterIdentifier(0, D3DENUM_WHQL_LEVEL, &id), D3D_OK);
    EXPECT_GT(std::strlen(id.Description), 0u);
    D3DDISPLAYMODE desktop{};
    ASSERT_EQ(d3d->GetAdapterDisplayMode(0, &desktop), D3D_OK);
    EXPECT_GT(desktop.Width, 0u);
    UINT modes = d3d->GetAdapterModeCount(0, desktop.Format);
    EXPECT_GE(modes, 1u);
    D3DDISPLAYMODE mode{};
    EXPECT_EQ(d3d->EnumAdapterModes(0, desktop.Format, 0, &mode), D3D_OK);
    EXPECT_EQ(d3d->EnumAdapterModes(0, desktop.Format, modes, &mode), D3DERR_INVALIDCALL);

    D3DCAPS9 caps{};
    ASSERT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
    EXPECT_GE(caps.MaxUserClipPlanes, 4u);
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, desktop.Format, desktop.Format, FALSE), D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_REF, desktop.Format, desktop.Format, FALSE), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, desktop.Format, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                     D3DFMT_D16),
              D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, desktop.Format, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                     D3DFMT_D15S1),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, desktop.Format, desktop.Format, D3DFMT_D16), D3D_OK);
    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS pp{};
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0x44, &pp, &device), D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    d3d->Release();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
