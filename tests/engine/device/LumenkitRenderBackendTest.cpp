// The scene manager's frame drawn by the graphics library: a scene's sprite reaches the back
// buffer through the installed backend, and quitting closes the device's window.
#include "engine/LumenkitRenderBackend.h"
#include "engine/Scene.h"

#include "../../lumenkit/device/LumenkitDevice.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kSpriteColor = 0xFF30D060;

class SpriteScene : public CScene {
public:
    SpriteScene() { SetName("SpriteScene"); }
    int Enter(int, int) override { return 1; }
    void Leave() override {}
    int Render() override
    {
        D3DXMATRIX at;
        D3DXMatrixTranslation(&at, 100.0f, 50.0f, 0.0f);
        GetRenderBackend().DrawSprite(handle, 0xFFFFFFFF, &at);
        return 1;
    }
    int MsgProc(unsigned, WPARAM, LPARAM) override { return 0; }

    int handle = -1;
};

class LumenkitRenderBackendTest : public lumenkittest::LumenkitDeviceTest {
protected:
    void SetUp() override
    {
        LumenkitDeviceTest::SetUp();
        lumenkittest::WriteSolidTga(m_data, "data/ui/green.tga", 8, 8, kSpriteColor);
        Reindex();
        InstallLumenkitRenderBackend();
    }
    void TearDown() override
    {
        SetRenderBackend(nullptr);
        LumenkitDeviceTest::TearDown();
    }
};

TEST_F(LumenkitRenderBackendTest, TexturesResolveAndAFrameDrawsTheScenesSprite)
{
    RenderBackend& backend = GetRenderBackend();
    const int handle = backend.GetTextureHandle("GREEN.tga", true);
    ASSERT_GE(handle, 0);
    int width = 0, height = 0;
    ASSERT_TRUE(backend.GetTextureSize(handle, &width, &height));
    EXPECT_EQ(width, 8);
    EXPECT_EQ(height, 8);
    EXPECT_EQ(backend.GetTextureHandle("missing.tga", true), -1);
    EXPECT_FALSE(backend.GetTextureSize(-1, &width, &height));

    // Draw straight through the backend the way the scene manager's frame does.
    auto* scene = new SpriteScene();
    scene->handle = handle;
    backend.Begin();
    ASSERT_TRUE(backend.BeginScene(0xFF000000));
    scene->Render();
    backend.FlushSprite();
    backend.FlushDebugText();
    uint32_t inside = Pixel(103, 53), outside = Pixel(90, 40);
    backend.EndScene();
    backend.End();
    delete scene;
    EXPECT_TRUE(lumenkittest::NearColor(inside, kSpriteColor)) << std::hex << inside;
    EXPECT_TRUE(lumenkittest::NearColor(outside, 0xFF000000)) << std::hex << outside;
}

TEST_F(LumenkitRenderBackendTest, ClosingFlagFollowsTheDevice)
{
    RenderBackend& backend = GetRenderBackend();
    EXPECT_FALSE(backend.IsWindowClosing());
    backend.SetWindowClosing();
    EXPECT_TRUE(backend.IsWindowClosing());
    // While closing the renderer draws nothing.
    backend.Begin();
    EXPECT_FALSE(backend.BeginScene(0xFF000000));
    backend.End();
}

} // namespace
