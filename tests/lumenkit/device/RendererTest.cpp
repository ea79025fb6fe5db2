// The device on the game window and the frame renderer: creation, the frame gate, the black
// clear, the sprite queue, the lost-device reset with its device objects, and full screen.
#include "LumenkitDevice.h"

#include <lumenkit/Drawers.h>
#include <lumenkit/ViewTexture.h>

#include <string>
#include <vector>

using namespace lumenkittest;

namespace {

class RendererTest : public LumenkitDeviceTest {};

TEST_F(RendererTest, CreatesTheWindowedDeviceWithTheRendererAndSprite)
{
    CDirect3DDevice& device = Device();
    EXPECT_EQ(device.GetHwnd(), m_window->hwnd);
    ASSERT_NE(g_pRenderer, nullptr);
    EXPECT_EQ(CRenderer::m_SprDevice, device.m_pSprite);
    EXPECT_NE(g_pRenderer->GetViewTexture(), nullptr);

    const D3DPRESENT_PARAMETERS& pp = device.m_d3dpp;
    EXPECT_TRUE(pp.Windowed);
    EXPECT_EQ(pp.SwapEffect, D3DSWAPEFFECT_COPY);
    EXPECT_EQ(pp.BackBufferWidth, 1024u);
    EXPECT_EQ(pp.BackBufferHeight, 768u);
    EXPECT_EQ(pp.AutoDepthStencilFormat, D3DFMT_D16);
    EXPECT_EQ(pp.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    EXPECT_EQ(pp.Flags, D3DPRESENTFLAG_LOCKABLE_BACKBUFFER);
    EXPECT_EQ(device.GetWidth(), 1024);
    EXPECT_EQ(device.GetHeight(), 768);
    // -1 x -1 asks for the default full-screen size.
    EXPECT_EQ(device.m_dwFullScreenWidth, 1024u);
    EXPECT_EQ(device.m_dwFullScreenHeight, 768u);
}

TEST_F(RendererTest, EachFrameStartsFromABlackClear)
{
    ASSERT_EQ(Frame([] {}, 0xFFFFFFFF), 1);
    EXPECT_TRUE(NearColor(Pixel(500, 400), 0xFFFFFFFF, 0));
    ASSERT_EQ(Frame([] {}), 1);
    EXPECT_TRUE(NearColor(Pixel(0, 0), 0xFF000000, 0));
    EXPECT_TRUE(NearColor(Pixel(1023, 767), 0xFF000000, 0));
}

TEST_F(RendererTest, TheFrameGateAndTheClosingFlagKeepScenesShut)
{
    EXPECT_EQ(g_pRenderer->BeginScene(0xFF000000), 0) << "before the first Begin";
    CRenderer::Begin();
    Device().SetDestroyWindowFlag(1);
    EXPECT_EQ(g_pRenderer->BeginScene(0xFF000000), 0) << "while closing";
    CRenderer::End();
    EXPECT_EQ(CRenderer::m_bBeginRenderer, 1) << "End does not close the gate while closing";
}

TEST_F(RendererTest, SpritesAreDrawnInCallOrderWhateverTheirPositions)
{
    IDirect3DTexture9* white = SolidTexture(8, 0xFFFFFFFF);
    D3DXVECTOR3 near(104, 104, 0.0f), far(100, 100, 0.0f);
    Frame([&] {
        g_pRenderer->DrawSprite(white, nullptr, nullptr, &near, 0xFFFF0000, nullptr);
        g_pRenderer->DrawSortSprite(white, nullptr, nullptr, &far, 0xFF00FF00, nullptr);
    });
    EXPECT_TRUE(NearColor(Pixel(109, 109), 0xFFFF0000));
    EXPECT_TRUE(NearColor(Pixel(106, 106), 0xFF00FF00)) << "the later sprite lies on top";
    Frame([&] {
        g_pRenderer->DrawSortSprite(white, nullptr, nullptr, &far, 0xFF00FF00, nullptr);
        g_pRenderer->DrawSprite(white, nullptr, nullptr, &near, 0xFFFF0000, nullptr);
    });
    EXPECT_TRUE(NearColor(Pixel(106, 106), 0xFFFF0000));
    white->Release();
}

TEST_F(RendererTest, InvisibleColoursQueueNothingAndTakeNoRecord)
{
    IDirect3DTexture9* white = SolidTexture(4, 0xFFFFFFFF);
    struct Case {
        D3DCOLOR color;
        int queued;
    };
    CRenderer::Begin();
    ASSERT_EQ(g_pRenderer->BeginScene(0xFF000000), 1);
    for (Case c : {Case{0x00FFFFFF, 0}, Case{0x01000000, 0}, Case{0x01000001, 1}}) {
        const int pooled = g_pRenderer->GetPooledSpriteCount();
        g_pRenderer->DrawSprite(white, nullptr, nullptr, nullptr, c.color, nullptr);
        EXPECT_EQ(g_pRenderer->GetQueuedSpriteCount(), c.queued) << std::hex << c.color;
        EXPECT_EQ(g_pRenderer->GetPooledSpriteCount(), pooled + c.queued) << std::hex << c.color;
    }
    g_pRenderer->FlushSprite();
    EXPECT_EQ(g_pRenderer->GetQueuedSpriteCount(), 0);
    // The records stay pooled for the next frame; a second flush draws nothing.
    EXPECT_EQ(g_pRenderer->GetPooledSpriteCount(), 1);
    g_pRenderer->FlushSprite();
    g_pRenderer->EndScene();
    CRenderer::End();
    white->Release();
}

TEST_F(RendererTest, ASpriteWithoutTransformUsesTheOneInForceWhenTheFlushBegan)
{
    IDirect3DTexture9* white = SolidTexture(4, 0xFFFFFFFF);
    D3DXMATRIX shifted;
    D3DXMatrixTranslation(&shifted, 200, 0, 0);
    D3DXVECTOR3 at(10, 10, 0);
    Frame([&] {
        g_pRenderer->DrawSprite(white, nullptr, nullptr, &at, 0xFFFF0000, &shifted);
        g_pRenderer->DrawSprite(white, nullptr, nullptr, &at, 0xFF00FF00, nullptr);
    });
    EXPECT_TRUE(NearColor(Pixel(211, 11), 0xFFFF0000));
    EXPECT_TRUE(NearColor(Pixel(11, 11), 0xFF00FF00));
    white->Release();
}

// Records the reset calls it receives, shared by every instance.
struct RecordingObject : DeviceObject {
    explicit RecordingObject(std::string name, std::vector<std::string>& log) : m_name(std::move(name)), m_log(log) {}
    void Invalidate() override { m_log.push_back("invalidate " + m_name); }
    void Restore() override { m_log.push_back("restore " + m_name); }
    std::string m_name;
    std::vector<std::string>& m_log;
};

TEST_F(RendererTest, ALostDeviceSkipsFramesThenResetsAndRestoresDeviceObjectsInOrder)
{
    std::vector<std::string> log;
    RecordingObject first("first", log), second("second", log);
    g_pRenderer->AddDeviceObject(&first);
    g_pRenderer->AddDeviceObject(&second);
    g_pRenderer->AddDeviceObject(&first);

    platform::d3d9::LoseDevice(D3D());
    EXPECT_EQ(Frame([] {}), 0);
    EXPECT_TRUE(log.empty()) << "nothing is reset while the device is lost";

    platform::d3d9::AllowDeviceReset(D3D());
    EXPECT_EQ(Frame([] {}), 0) << "the frame that resets is skipped";
    EXPECT_EQ(log, (std::vector<std::string>{"invalidate first", "invalidate second", "restore first",
                                             "restore second"}));
    // The new scene target registered itself after the objects.
    EXPECT_EQ(g_pRenderer->GetDeviceObjects().back(), g_pRenderer->GetViewTexture());

    ASSERT_EQ(Frame([] {}, 0xFF00FF00), 1);
    EXPECT_TRUE(NearColor(Pixel(10, 10), 0xFF00FF00, 0));
    g_pRenderer->DeleteDeviceObject(&first);
    g_pRenderer->DeleteDeviceObject(&second);
}

TEST_F(RendererTest, ASceneTargetThatCannotBeginLeavesNoBufferLocked)
{
    // The device's scene is already open, so the scene target cannot begin one.
    ASSERT_EQ(D3D()->BeginScene(), D3D_OK);
    CRenderer::Begin();
    EXPECT_EQ(g_pRenderer->BeginScene(0xFF000000), 0);
    CRenderer::End();
    D3D()->EndScene();
    EXPECT_FALSE(CLineDrawer::GetSingleton().IsLocked());
    EXPECT_FALSE(LineDrawer2D::GetSingleton().IsLocked());
    EXPECT_FALSE(PolygonDrawer2D::GetSingleton().IsLocked());
    EXPECT_FALSE(TextureDrawer2D::GetSingleton().IsLocked());
    EXPECT_EQ(Frame([] {}), 1) << "the next frame draws";
}

TEST_F(RendererTest, FullScreenAndBackRestoresTheWindowAndTheFormat)
{
    CDirect3DDevice& device = Device();
    SetWindowPos(m_window->hwnd, HWND_TOP, 40, 30, 0, 0, SWP_NOSIZE);
    RECT before{};
    GetWindowRect(m_window->hwnd, &before);

    device.ToggleFullScreen();
    EXPECT_FALSE(device.m_d3dpp.Windowed);
    EXPECT_EQ(device.m_d3dpp.SwapEffect, D3DSWAPEFFECT_DISCARD);
    EXPECT_EQ(device.m_d3dpp.BackBufferFormat, D3DFMT_A8R8G8B8);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(m_window->hwnd, GWL_STYLE)), 0x90000000u);
    EXPECT_EQ(Frame([] {}), 1);

    device.ToggleFullScreen();
    EXPECT_TRUE(device.m_d3dpp.Windowed);
    EXPECT_EQ(device.m_d3dpp.SwapEffect, D3DSWAPEFFECT_COPY);
    if (device.m_DesktopFormat == D3DFMT_X8R8G8B8) {
        EXPECT_EQ(device.m_d3dpp.BackBufferFormat, D3DFMT_A8R8G8B8);
    }
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(m_window->hwnd, GWL_STYLE)), 0x90CA0000u);
    RECT after{}, client{};
    GetWindowRect(m_window->hwnd, &after);
    GetClientRect(m_window->hwnd, &client);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(client.right - client.left, 1024);
    EXPECT_EQ(client.bottom - client.top, 768);
    EXPECT_EQ(Frame([] {}), 1);
}

TEST_F(RendererTest, TheDeviceListConfirmsDevicesAndPrefersD16)
{
    CDirect3DDevice& device = Device();
    D3DCAPS9 caps{};
    caps.MaxUserClipPlanes = 3;
    struct Case {
        DWORD behavior;
        DWORD clipPlanes;
        HRESULT expected;
    };
    for (Case c : {Case{D3DCREATE_PUREDEVICE | D3DCREATE_SOFTWARE_VERTEXPROCESSING, 6, E_FAIL},
                   Case{D3DCREATE_HARDWARE_VERTEXPROCESSING, 3, E_FAIL}, Case{D3DCREATE_MIXED_VERTEXPROCESSING, 3, E_FAIL},
                   Case{D3DCREATE_HARDWARE_VERTEXPROCESSING, 4, S_OK}, Case{D3DCREATE_SOFTWARE_VERTEXPROCESSING, 0, S_OK}}) {
        caps.MaxUserClipPlanes = c.clipPlanes;
        EXPECT_EQ(device.ConfirmDevice(&caps, c.behavior, D3DFMT_X8R8G8B8), c.expected) << c.behavior;
    }
    D3DFORMAT depth = D3DFMT_UNKNOWN;
    ASSERT_EQ(device.FindDepthStencilFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, &depth), 1);
    EXPECT_EQ(depth, D3DFMT_D16);
    // Every listed mode is in the desktop format and the current mode is one of them.
    for (DWORD a = 0; a < device.GetAdapterCount(); ++a) {
        const D3DAdapterEntry& adapter = device.GetAdapter(static_cast<int>(a));
        ASSERT_GT(adapter.dwNumDevices, 0u);
        const D3DDeviceEntry& entry = adapter.devices[0];
        EXPECT_EQ(entry.DeviceType, D3DDEVTYPE_HAL);
        for (DWORD m = 0; m < entry.dwNumModes; ++m)
            EXPECT_EQ(entry.modes[m].Format, adapter.d3ddmDesktop.Format);
        EXPECT_LT(entry.dwCurrentMode, std::max<DWORD>(entry.dwNumModes, 1));
    }
}

} // namespace
