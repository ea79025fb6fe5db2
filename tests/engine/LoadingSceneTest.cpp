#include "AnimationXml.h"
#include "EngineFakes.h"

#include "engine/LoadingScene.h"
#include "engine/PlayerSettings.h"
#include "engine/SceneManager.h"
#include "net/NetGlobals.h"
#include "net/SteamClient.h"
#include "net/SteamServer.h"

#include <gtest/gtest.h>

using namespace enginetest;
using namespace enginetest::animxml;

namespace {

class CountingServer : public CSteamServer {
public:
    void RunFrame() override { ++frames; }
    int frames = 0;
};

class CountingClient : public VanteoSteamClient {
public:
    int RunFrame(float) override { return ++frames; }
    int frames = 0;
};

class LoadingSceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        picture = renderer.AddTexture("loading.bmp", 1024, 768);
        renderer.AddTexture("spin.png", 8, 8);
        renderer.AddTexture("stamp.png", 8, 8);
        folder.Write("ui/loading_Animation.xml",
                     FileXml(SceneXml("loading_title", {{0}, {1000}}, "", "spin.png") +
                             SceneXml("loading", {{0}, {1000}}, "", "spin.png") +
                             SceneXml("connecting", {{0}, {1000}}, "", "spin.png")));
        folder.Write("fx/Effect.xml", FileXml(SceneXml("stamp", {{0}, {400}}, "", "stamp.png") +
                                              SceneXml("combo", {{0}, {400}}, "", "stamp.png")));
        AttachPlayerSettings({[](int index) { return index == kSkinMouseCursorEffect ? "Effect.xml" : ""; }, {}});
    }
    void TearDown() override
    {
        AttachPlayerSettings({});
        SetNetworkPump(nullptr);
        g_nLoadingMode = 0;
        g_nNetReadyCount = 0;
        g_pSteamServer = nullptr;
        g_pSteamClient = nullptr;
    }

    FakeInputPlatform input;
    RecordingRenderBackend renderer;
    DataFolder folder;
    LoadingScene scene;
    int picture = 0;
};

TEST_F(LoadingSceneTest, LoadingModeChoosesTheAnimation)
{
    struct Case {
        int mode;
        const char* scene;
    };
    // An unknown mode keeps whatever played before.
    for (Case c : {Case{1, "loading"}, Case{2, "connecting"}, Case{0, "loading_title"}, Case{7, "loading_title"}}) {
        g_nLoadingMode = c.mode;
        scene.Enter(0, 0);
        EXPECT_EQ(scene.m_Animation.m_strScene, c.scene) << c.mode;
        EXPECT_TRUE(scene.m_Animation.m_bLoop);
        scene.Leave();
    }
    EXPECT_EQ(scene.CountHandlers(kSceneMessageNetReadyToPlay), 1u);
}

TEST_F(LoadingSceneTest, ReleasesLeaveStampsThatEndWithTheirAnimationOrTheSwitch)
{
    scene.Enter(0, 0);
    EXPECT_EQ(scene.MsgProc(WM_LBUTTONDOWN, 0, MAKELPARAM(10, 10)), 0);
    EXPECT_EQ(scene.MsgProc(WM_LBUTTONUP, 0, MAKELPARAM(700, 600)), 1);
    ASSERT_EQ(scene.m_ClickEffect.GetEntries().size(), 1u);
    EXPECT_EQ(scene.m_ClickEffect.GetEntries()[0].which, BlockClickEffect::kStamp);
    EXPECT_EQ(scene.m_ClickEffect.GetEntries()[0].x, 700.0f);
    EXPECT_EQ(scene.m_ClickEffect.GetEntries()[0].y, 600.0f);

    scene.Update(0.5f);
    EXPECT_TRUE(scene.m_ClickEffect.GetEntries().empty());
    scene.MsgProc(WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    scene.Leave();
    EXPECT_TRUE(scene.m_ClickEffect.GetEntries().empty());
}

TEST_F(LoadingSceneTest, RendersPictureAnimationAndStamps)
{
    g_nLoadingMode = 1;
    scene.Enter(0, 0);
    scene.MsgProc(WM_LBUTTONUP, 0, MAKELPARAM(300, 200));
    scene.Render();
    ASSERT_EQ(renderer.sprites.size(), 3u);
    EXPECT_EQ(renderer.sprites[0].handle, picture);
    EXPECT_EQ(renderer.sprites[0].colour, 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(renderer.sprites[2].matrix._41, 300.0f); // the stamp, centred at its origin
}

TEST_F(LoadingSceneTest, OnlineFramesRunThroughTheInstalledPumpOnlyWhenTheirObjectsExist)
{
    scene.Enter(0, 0);
    EXPECT_EQ(scene.Update(0.016f), 1);
    CountingServer server;
    CountingClient client;
    g_pSteamClient = &client;
    scene.Update(0.016f); // no pump installed: no network work
    SetNetworkPump(&PumpNetwork);
    scene.Update(0.016f);
    g_pSteamServer = &server;
    scene.Update(0.016f);
    SetNetworkPump(nullptr);
    EXPECT_EQ(client.frames, 2);
    EXPECT_EQ(server.frames, 1);
    // The client's end deletes a game server that is still registered: these live on the stack.
    g_pSteamServer = nullptr;
    g_pSteamClient = nullptr;
}

TEST_F(LoadingSceneTest, ReadyMessagesLowerTheCounterOneEachButNeverBelowZero)
{
    CSceneManager manager;
    manager.RegisterScene(new LoadingScene());
    manager.SetFirstScene("LoadingScene", 0, 0);
    g_nNetReadyCount = 1;
    SceneMessagePacket ready;
    ready.id = kSceneMessageNetReadyToPlay;
    manager.PostMessage(&ready);
    manager.PostMessage(&ready);
    manager.DispatchMessages();
    EXPECT_EQ(g_nNetReadyCount.load(), 0);
    manager.Shutdown();
}

} // namespace
