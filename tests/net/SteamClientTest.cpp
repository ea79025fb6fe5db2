// The platform client object: its end deletes a game server that is still running, and the
// platform's shut-down request ends the game through the orderly quit, once.
#include "online/OnlineFixture.h"

#include "../engine/EngineFakes.h"

#include "engine/SceneManager.h"
#include "net/NetGlobals.h"
#include "net/SteamClient.h"
#include "net/SteamServer.h"

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

// The client's receive rules, its state machine and the handshake with a real server.
#include "online/MatchFixture.h"
#include "net/QuiblyLobby.h"

namespace {

using matchtest::MatchTest;

std::vector<uint8_t> Message(int32_t id, size_t size, uint32_t word = 0)
{
    std::vector<uint8_t> m(size, 0);
    PayloadWriter w;
    w.I32(id).U32(word);
    std::copy(w.Bytes().begin(), w.Bytes().begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(size, 8)), m.begin());
    return m;
}

class ClientRulesTest : public MatchTest {};

TEST_F(ClientRulesTest, ServerMessagesAreTakenOnlyOfTheirSizeAndMapTheServerState)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> message;
        int stateBefore;
        int connected;
        int stateAfter;
        std::vector<int32_t> posted;
    };
    const Case cases[] = {
        {"update waiting", Message(MSG_SERVER_UPDATE_WORLD, 8, 0), 6, 1, 4, {}},
        {"update active", Message(MSG_SERVER_UPDATE_WORLD, 8, 1), 4, 1, 1, {}},
        {"update playing", Message(MSG_SERVER_UPDATE_WORLD, 8, 2), 2, 1, 2, {}},
        {"update game over", Message(MSG_SERVER_UPDATE_WORLD, 8, 4), 2, 1, 3, {}},
        {"update of 12 bytes", Message(MSG_SERVER_UPDATE_WORLD, 12, 1), 4, 1, 4, {}},
        {"accept changes nothing", Message(MSG_SERVER_ACCEPT_CONNECTION, 8, 0), 6, 1, 6, {}},
        {"refusal", Message(MSG_SERVER_FAIL_AUTH, 4), 6, 1, 7, {}},
        {"exiting in a match", Message(MSG_SERVER_EXITING, 4), 2, 1, 5, {MSG_NET_PLAYER_REMOVED}},
        {"exiting of 8 bytes in a match", Message(MSG_SERVER_EXITING, 8), 2, 1, 5, {MSG_NET_PLAYER_REMOVED}},
        {"exiting while waiting", Message(MSG_SERVER_EXITING, 4), 4, 1, 4, {}},
        {"server info of 151 bytes", Message(MSG_SERVER_INFO, 151), 6, 0, 6, {}},
        {"too short", Message(MSG_SERVER_UPDATE_WORLD, 3), 6, 1, 6, {}},
        {"unknown id", Message(4242, 8), 6, 1, 6, {}},
        {"neither connected nor connecting", Message(MSG_SERVER_UPDATE_WORLD, 8, 1), 9, 0, 9, {}},
    };
    for (const Case& c : cases) {
        VanteoSteamClient client(SteamUser()->GetSteamID());
        RecordingMessages posted;
        client.SetMessageSink(&posted);
        client.m_eConnectedStatus = c.stateBefore;
        client.m_bConnectedToServer = c.connected;
        client.HandleServerMessage(c.message.data(), static_cast<uint32_t>(c.message.size()));
        EXPECT_EQ(client.m_eConnectedStatus, c.stateAfter) << c.what;
        EXPECT_EQ(posted.Ids(), c.posted) << c.what;
        client.m_bConnectedToServer = 0;
    }
}

TEST_F(ClientRulesTest, OnlyTheMatchMessagesOfExactlyTheirLengthReachTheScene)
{
    VanteoSteamClient client(SteamUser()->GetSteamID());
    RecordingMessages posted;
    client.SetMessageSink(&posted);
    auto record = [](int32_t id, int32_t length) {
        std::vector<uint8_t> r(static_cast<size_t>(length) + 4, 0);
        PayloadWriter head;
        head.I32(length).I32(id);
        std::copy(head.Bytes().begin(), head.Bytes().end(), r.begin());
        return r;
    };
    GameMessageBlocks blocks;
    for (const auto& r : {record(2125, 16), record(2027, 76), record(2035, 8), record(2125, 20), record(2121, 4),
                          record(2100, 16), record(2140, 20)})
        ASSERT_TRUE(blocks.Queue(r.data(), static_cast<uint32_t>(r.size())));
    std::vector<uint8_t> message = GameMessageBlocks::Message(5, blocks.TakeAll()[0]);
    client.DispatchGameMessages(message.data(), message.size());
    EXPECT_EQ(posted.Ids(), (std::vector<int32_t>{2125, 2121, 2140}));

    // A game-data message of any other size than 1040 bytes posts nothing.
    for (size_t size : {size_t{1039}, size_t{1041}, size_t{12}}) {
        posted.posted.clear();
        std::vector<uint8_t> resized = message;
        resized.resize(size, 0);
        client.m_eConnectedStatus = clientstate::kInMatch;
        client.m_bConnectedToServer = 1;
        client.HandleServerMessage(resized.data(), static_cast<uint32_t>(resized.size()));
        EXPECT_TRUE(posted.posted.empty()) << size;
    }
    client.m_bConnectedToServer = 0;
    EXPECT_FALSE(client.QueueGameMessage(record(2101, 1017).data(), 1021));
    EXPECT_TRUE(client.QueueGameMessage(record(2101, 1016).data(), 1020));
}

TEST_F(ClientRulesTest, TheFramesOfEachStateDoWhatTheMatchNeeds)
{
    const CSteamID lobby = CreateLobby();
    SteamMatchmaking()->SetLobbyData(lobby, "Type", "0");
    SteamMatchmaking()->SetLobbyData(lobby, "Mode", "1");
    VanteoSteamClient client(SteamUser()->GetSteamID());
    RecordingMessages posted;
    client.SetMessageSink(&posted);
    client.m_steamIDLobby = lobby;

    // Start of match: the lobby's type and mode go to the scene, once a frame.
    client.m_eConnectedStatus = clientstate::kStartOfMatch;
    client.RunFrame(0.016f);
    EXPECT_EQ(client.m_eConnectedStatus, clientstate::kInMatch);
    ASSERT_EQ(posted.Ids(), (std::vector<int32_t>{MSG_LOBBY_START_GAME}));
    PayloadReader start(posted.posted[0].payload.data(), posted.posted[0].payload.size());
    EXPECT_EQ(start.I32(), 0);
    EXPECT_EQ(start.I32(), 1);

    // Back to the lobby on the guest: the change of scene only from another scene, "ready"
    // either way.
    for (const char* current : {"SteamVanteoScene", "QuiblyLobbyScene"}) {
        posted.posted.clear();
        SteamMatchmaking()->SetLobbyMemberData(lobby, "ready", "0");
        SteamMatchmaking()->SetLobbyData(lobby, "game_starting", "1");
        client.m_CurrentSceneName = [current] { return std::string(current); };
        client.m_eConnectedStatus = clientstate::kBackToLobby;
        client.RunFrame(0.016f);
        EXPECT_EQ(client.m_eConnectedStatus, clientstate::kInLobby);
        const bool fromMatch = std::string(current) != "QuiblyLobbyScene";
        EXPECT_EQ(posted.Ids(), fromMatch ? std::vector<int32_t>{kSceneMessageChangeScene} : std::vector<int32_t>{});
        EXPECT_STREQ(SteamMatchmaking()->GetLobbyMemberData(lobby, SteamUser()->GetSteamID(), "ready"), "1");
        EXPECT_STREQ(SteamMatchmaking()->GetLobbyData(lobby, "game_starting"), "0");
    }
}

TEST_F(ClientRulesTest, TheHostsClientWaitsForItsServerThenPlaysThroughToTheStart)
{
    const CSteamID lobby = CreateLobby();
    SteamMatchmaking()->SetLobbyData(lobby, "Type", "0");
    SteamMatchmaking()->SetLobbyData(lobby, "Mode", "2");
    VanteoSteamClient client(SteamUser()->GetSteamID());
    client.m_nConnectPauseMs = 0;
    RecordingMessages posted;
    client.SetMessageSink(&posted);
    client.m_steamIDLobby = lobby;
    client.m_eConnectedStatus = clientstate::kInLobby;

    g_pSteamServer = new CSteamServer();
    g_pSteamServer->SetMessageSink(&posted);
    g_pSteamServer->m_uExpectedPlayers = 1;
    // Not logged on yet: the client stays in the lobby state, frame after frame.
    g_pSteamServer->m_bLoggedOn = false;
    client.RunFrame(0.016f);
    client.RunFrame(0.016f);
    EXPECT_EQ(client.m_eConnectedStatus, clientstate::kInLobby);

    // Logged on: published, connected over loopback, admitted, and the match starts.
    g_pSteamServer->RunFrame();
    ASSERT_TRUE(g_pSteamServer->m_bLoggedOn);
    ASSERT_TRUE(PumpUntil([&] {
        if (g_pSteamServer)
            g_pSteamServer->RunFrame();
        client.RunFrame(0.016f);
        return client.m_eConnectedStatus == clientstate::kInMatch;
    }));
    EXPECT_EQ(g_pSteamServer->m_eGameState, serverstate::kPlaying);
    uint32_t ip = 0;
    uint16_t port = 0;
    CSteamID published;
    EXPECT_TRUE(SteamMatchmaking()->GetLobbyGameServer(lobby, &ip, &port, &published));
    EXPECT_EQ(published, SteamGameServer()->GetSteamID());
    EXPECT_EQ(posted.WithId(MSG_NET_PLAYER_CONNECTED).size(), 1u);
    EXPECT_EQ(posted.WithId(MSG_LOBBY_START_GAME).size(), 1u);

    // Game over: both go back to the lobby and the host's client deletes the server.
    g_pSteamServer->SetGameState(serverstate::kGameOver);
    ASSERT_TRUE(PumpUntil([&] {
        if (g_pSteamServer)
            g_pSteamServer->RunFrame();
        client.RunFrame(0.016f);
        return client.m_eConnectedStatus == clientstate::kInLobby;
    }));
    EXPECT_EQ(g_pSteamServer, nullptr);
    EXPECT_EQ(client.m_bConnectedToServer, 0);
}

TEST_F(ClientRulesTest, AServerThatEndsTheMatchAndClosesAtOnceIsAGameOverNotADisconnection)
{
    const CSteamID lobby = CreateLobby();
    VanteoSteamClient client(SteamUser()->GetSteamID());
    client.m_nConnectPauseMs = 0;
    RecordingMessages posted;
    client.SetMessageSink(&posted);
    client.m_steamIDLobby = lobby;
    client.m_eConnectedStatus = clientstate::kInLobby;
    g_pSteamServer = new CSteamServer();
    g_pSteamServer->SetMessageSink(&posted);
    g_pSteamServer->m_uExpectedPlayers = 1;
    ASSERT_TRUE(PumpUntil([&] {
        if (g_pSteamServer)
            g_pSteamServer->RunFrame();
        client.RunFrame(0.016f);
        return client.m_eConnectedStatus == clientstate::kInMatch;
    }));

    // The host's continue: the game-over update goes out and the server is gone in the same
    // frame, before this client reads anything.
    g_pSteamServer->SetGameState(serverstate::kGameOver);
    g_pSteamServer->RunFrame();
    delete g_pSteamServer;
    g_pSteamServer = nullptr;
    posted.posted.clear();
    ASSERT_TRUE(PumpUntil([&] {
        client.RunFrame(0.016f);
        return client.m_eConnectedStatus == clientstate::kInLobby || client.m_eConnectedStatus == clientstate::kNoServer;
    }));
    EXPECT_EQ(client.m_eConnectedStatus, clientstate::kInLobby);
    EXPECT_TRUE(posted.WithId(MSG_NET_PLAYER_REMOVED).empty());
}

TEST_F(ClientRulesTest, AServerThatFallsSilentDuringAMatchEndsItWithTheDisconnectionNotice)
{
    const CSteamID lobby = CreateLobby();
    VanteoSteamClient client(SteamUser()->GetSteamID());
    uint64_t clientNow = 5000000;
    client.m_Clock = [&] { return clientNow; };
    client.m_nConnectPauseMs = 0;
    RecordingMessages posted;
    client.SetMessageSink(&posted);
    client.m_steamIDLobby = lobby;
    client.m_eConnectedStatus = clientstate::kInLobby;
    g_pSteamServer = new CSteamServer();
    g_pSteamServer->SetMessageSink(&posted);
    g_pSteamServer->m_uExpectedPlayers = 1;
    ASSERT_TRUE(PumpUntil([&] {
        if (g_pSteamServer)
            g_pSteamServer->RunFrame();
        client.RunFrame(0.016f);
        return client.m_eConnectedStatus == clientstate::kInMatch;
    }));
    // The server stops (its process stalls): what it sent is read, then nothing more comes.
    PumpUntil(
        [&] {
            client.RunFrame(0.016f);
            return false;
        },
        false, 20);
    posted.posted.clear();
    clientNow += VanteoSteamClient::kServerSilenceMs;
    client.RunFrame(0.016f);
    EXPECT_EQ(client.m_eConnectedStatus, clientstate::kInMatch) << "silent for exactly the time-out";
    clientNow += 1;
    client.RunFrame(0.016f);
    EXPECT_EQ(client.m_eConnectedStatus, clientstate::kNoServer);
    EXPECT_EQ(client.m_hSocketServer, 0u);
    EXPECT_EQ(posted.WithId(MSG_NET_PLAYER_REMOVED).size(), 1u);
    delete g_pSteamServer;
    g_pSteamServer = nullptr;
}

} // namespace
