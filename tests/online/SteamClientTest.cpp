// The platform client object: its end deletes a game server that is still running, and the
// platform's shut-down request ends the game through the orderly quit, once.
#include "OnlineFixture.h"

#include "../engine/EngineFakes.h"

#include "engine/SceneManager.h"
#include "online/NetGlobals.h"
#include "online/SteamClient.h"
#include "online/SteamServer.h"

#include <algorithm>

namespace {

using onlinetest::OnlineTest;

class ServerWatch : public CSteamServer {
public:
    explicit ServerWatch(bool& deleted) : m_deleted(deleted) {}
    ~ServerWatch() override { m_deleted = true; }
    bool& m_deleted;
};

class VanteoSteamClientTest : public OnlineTest {};

TEST_F(VanteoSteamClientTest, DeletingTheClientDeletesARunningGameServer)
{
    bool deleted = false;
    g_pSteamServer = new ServerWatch(deleted);
    delete new VanteoSteamClient(SteamUser()->GetSteamID());
    EXPECT_TRUE(deleted);
    EXPECT_EQ(g_pSteamServer, nullptr);
}

TEST_F(VanteoSteamClientTest, PlatformShutdownQuitsTheGameOnce)
{
    enginetest::RecordingRenderBackend renderer;
    CSceneManager manager;
    VanteoSteamClient client(SteamUser()->GetSteamID());
    SteamShutdown_t request{};
    platform::steam::QueueCallback(SteamShutdown_t::k_iCallback, &request, sizeof request);
    platform::steam::QueueCallback(SteamShutdown_t::k_iCallback, &request, sizeof request);
    EXPECT_TRUE(std::find(renderer.calls.begin(), renderer.calls.end(), "PostQuit 0") == renderer.calls.end());
    SteamAPI_RunCallbacks();
    EXPECT_EQ(std::count(renderer.calls.begin(), renderer.calls.end(), "PostQuit 0"), 1);
    manager.Shutdown();
}

} // namespace
