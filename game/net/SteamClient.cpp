#include "net/SteamClient.h"

#include "board/GameSeams.h"
#include "engine/SceneManager.h"
#include "engine/SceneMessage.h"
#include "net/NetGameMessages.h"
#include "net/NetGlobals.h"
#include "net/OnlineSinks.h"
#include "net/ServerMessages.h"
#include "net/SteamServer.h"

#include <helvane/Log.h>
#include <win32/Debug.h>
#include <win32/MessageBox.h>
#include <win32/Time.h>

#include <cstdlib>

namespace {

// The lost-connection box and the shut-down request end the game once per run.
bool g_bIPCFailureShown = false;
bool g_bShutdownRequested = false;

void QuitGame()
{
    if (CSceneManager* manager = singleton<CSceneManager>::GetSingletonPtr())
        manager->Quit();
}

constexpr const char* kLobbySceneName = "QuiblyLobbyScene";

std::string ManagerSceneName()
{
    CSceneManager* manager = singleton<CSceneManager>::GetSingletonPtr();
    CScene* scene = manager ? manager->GetCurrentScene() : nullptr;
    return scene ? scene->GetName() : "";
}

int LobbyInt(CSteamID lobby, const char* key)
{
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    const char* value = matchmaking ? matchmaking->GetLobbyData(lobby, key) : nullptr;
    return value ? std::atoi(value) : 0;
}

} // namespace

VanteoSteamClient::VanteoSteamClient(CSteamID localUser)
    : m_steamIDLocalUser(localUser), m_CurrentSceneName(&ManagerSceneName),
      m_Clock([] { return static_cast<uint64_t>(GetTickCount64()); }),
      m_LobbyGameCreated(this, &VanteoSteamClient::OnLobbyGameCreated),
      m_SocketStatus(this, &VanteoSteamClient::OnSocketStatusCallback),
      m_IPCFailure(this, &VanteoSteamClient::OnIPCFailure), m_SteamShutdown(this, &VanteoSteamClient::OnSteamShutdown)
{
}

VanteoSteamClient::~VanteoSteamClient()
{
    if (ISteamMatchmaking* matchmaking = SteamMatchmaking())
        matchmaking->SetLobbyData(m_steamIDLobby, "game_starting", "0");
    DisconnectFromServer();
    if (g_pSteamServer) {
        delete g_pSteamServer;
        g_pSteamServer = nullptr;
    }
    if (m_hSocketServer != 0) {
        if (ISteamNetworking* networking = SteamNetworking())
            networking->DestroySocket(m_hSocketServer, true);
        m_hSocketServer = 0;
    }
    m_Outgoing.TakeAll();
    // The callback members unregister themselves.
}

IMessageSink& VanteoSteamClient::Messages()
{
    return m_pMessages ? *m_pMessages : OnlineMessages();
}

bool VanteoSteamClient::Send(const std::vector<uint8_t>& message, bool reliable)
{
    ISteamNetworking* networking = SteamNetworking();
    if (!networking || !networking->SendDataOnSocket(m_hSocketServer, message.data(),
                                                     static_cast<uint32_t>(message.size()), reliable)) {
        DFLog(L"Failed sending data to server\n");
        return false;
    }
    return true;
}

int VanteoSteamClient::RunFrame(float seconds)
{
    FlushGameMessages(seconds);
    ReceiveNetworkData();
    TimeOutSilentServer();
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    switch (m_eConnectedStatus) {
    case clientstate::kStartOfMatch: {
        PayloadWriter start;
        start.I32(LobbyInt(m_steamIDLobby, "Type")).I32(LobbyInt(m_steamIDLobby, "Mode"));
        start.PostTo(Messages(), MSG_LOBBY_START_GAME);
        m_eConnectedStatus = clientstate::kInMatch;
        if (g_pSteamServer)
            g_pSteamServer->SetGameState(serverstate::kPlaying);
        break;
    }
    case clientstate::kBackToLobby:
        if (!g_pSteamServer) {
            if (m_CurrentSceneName() != kLobbySceneName) {
                PayloadWriter change;
                change.Text(kLobbySceneName, 64).I32(4).I32(0);
                change.PostTo(Messages(), kSceneMessageChangeScene);
            }
            if (matchmaking)
                matchmaking->SetLobbyMemberData(m_steamIDLobby, "ready", "1");
        }
        DisconnectFromServer();
        if (matchmaking)
            matchmaking->SetLobbyData(m_steamIDLobby, "game_starting", "0");
        if (g_pSteamServer) {
            delete g_pSteamServer;
            g_pSteamServer = nullptr;
        }
        m_eConnectedStatus = clientstate::kInLobby;
        break;
    case clientstate::kInLobby:
        if (g_pSteamServer && g_pSteamServer->m_bLoggedOn) {
            ISteamGameServer* server = SteamGameServer();
            if (matchmaking && server)
                matchmaking->SetLobbyGameServer(m_steamIDLobby, g_pSteamServer->GetIP(), g_pSteamServer->GetPort(),
                                                server->GetSteamID());
            // Loopback: the host is a client of its own server.
            InitiateServerConnection(0x7F000001u, g_pSteamServer->GetPort());
        }
        break;
    default:
        if (m_eConnectedStatus > 10)
            DFLog(L"VanteoSteamClient::RunFrame: unhandled game state %d", m_eConnectedStatus);
        break;
    }
    return 1;
}

void VanteoSteamClient::TimeOutSilentServer()
{
    if (m_hSocketServer == 0 || !m_bConnectedToServer || m_Clock() - m_ulLastServerDataMs <= kServerSilenceMs)
        return;
    DFLog(LOG_WARN, L"Client : nothing came from the server for %u s; the connection is closed",
          static_cast<unsigned>(kServerSilenceMs / 1000));
    if (ISteamNetworking* networking = SteamNetworking())
        networking->DestroySocket(m_hSocketServer, true);
    m_hSocketServer = 0;
    OnReceiveServerExiting();
    m_bConnectedToServer = 0;
}

void VanteoSteamClient::InitiateServerConnection(uint32_t ip, uint16_t port)
{
    DFLog(L"Client : InitiateServerConnection( ) Called");
    m_eConnectedStatus = clientstate::kConnecting;
    ISteamNetworking* networking = SteamNetworking();
    if (m_hSocketServer != 0 && networking)
        networking->DestroySocket(m_hSocketServer, true);
    m_hSocketServer = networking ? networking->CreateConnectionSocket(ip, port, 10) : 0;
    if (m_hSocketServer == 0)
        DFLog(L"Failed creating socket for VanteoSteamClient -- won't be able to talk to server\n");
}

void VanteoSteamClient::InitiateServerConnection(CSteamID server)
{
    DFLog(L"Client : InitiateServerConnection( ) Called");
    m_eConnectedStatus = clientstate::kConnecting;
    ISteamNetworking* networking = SteamNetworking();
    if (m_hSocketServer != 0 && networking)
        networking->DestroySocket(m_hSocketServer, true);
    m_hSocketServer = networking ? networking->CreateP2PConnectionSocket(server, 0, 10, true) : 0;
    if (m_hSocketServer == 0)
        DFLog(L"Failed creating socket for VanteoSteamClient -- won't be able to talk to server\n");
}

bool VanteoSteamClient::QueueGameMessage(const void* record, int32_t size)
{
    return size > 0 && m_Outgoing.Queue(static_cast<const uint8_t*>(record), static_cast<uint32_t>(size));
}

void VanteoSteamClient::FlushGameMessages(float seconds)
{
    m_fFlushTimer -= seconds;
    if (!(m_fFlushTimer < 0))
        return;
    m_fFlushTimer = 0;
    std::vector<GameMessageBlocks::Block> blocks = m_Outgoing.TakeAll();
    if (!m_bConnectedToServer)
        return;  // messages queued while not connected are dropped
    m_fKeepAliveTimer += seconds;
    if (blocks.empty() && m_fKeepAliveTimer >= kKeepAliveSeconds)
        blocks.emplace_back();  // an empty block: the walk on the other side posts nothing
    if (!blocks.empty())
        m_fKeepAliveTimer = 0;
    for (const GameMessageBlocks::Block& block : blocks)
        Send(GameMessageBlocks::Message(m_steamIDLocalUser.ConvertToUint64(), block), false);
}

void VanteoSteamClient::DispatchGameMessages(const uint8_t* message, size_t size)
{
    if (size != GameMessageBlocks::kMessageBytes) {
        DFLog(LOG_WARN, L"Client : a game-data message of %u bytes is dropped", static_cast<unsigned>(size));
        return;
    }
    IMessageSink& sink = Messages();
    GameMessageBlocks::Walk(message, size, [&](int32_t id, const uint8_t* payload, size_t bytes) {
        // Only the game messages two machines exchange cross over, each of exactly its length.
        if (netmsg::RecordLength(id) != static_cast<int32_t>(bytes + 4)) {
            DFLog(LOG_WARN, L"Client : a received record %d of %u bytes is dropped", id, static_cast<unsigned>(bytes));
            return;
        }
        sink.Post(id, payload, bytes);
    });
}

void VanteoSteamClient::ReceiveNetworkData()
{
    ISteamNetworking* networking = SteamNetworking();
    if (m_hSocketServer == 0 || !networking)
        return;
    if (m_ReceiveBuffer.empty())
        m_ReceiveBuffer.resize(kReceiveBufferBytes);
    uint32_t size = 0;
    // A handler may close the socket (a refusal, the server's exit); the loop stops with it.
    while (m_hSocketServer != 0 &&
           networking->RetrieveDataFromSocket(m_hSocketServer, m_ReceiveBuffer.data(), kReceiveBufferBytes, &size))
        HandleServerMessage(m_ReceiveBuffer.data(), size);
}

void VanteoSteamClient::HandleServerMessage(const uint8_t* data, uint32_t size)
{
    if (!m_bConnectedToServer && m_eConnectedStatus != clientstate::kConnecting)
        return;
    m_ulLastServerDataMs = m_Clock();
    if (!data || size < 4) {
        DFLog(L"Got garbage on client socket, too short\n");
        return;
    }
    switch (static_cast<int32_t>(WordAt(data, 0))) {
    case MSG_SERVER_INFO: {
        if (size != kServerInfoBytes) {
            DFLog(L"Bad server info msg\n");
            return;
        }
        if (ISteamNetworking* networking = SteamNetworking()) {
            uint32_t ip = 0;
            uint16_t port = 0;
            if (networking->GetSocketInfo(m_hSocketServer, nullptr, nullptr, &ip, &port)) {
                m_unServerIP = ip;
                m_usServerPort = port;
            }
        }
        OnReceiveServerInfo(data[16] != 0, CSteamID(QuadAt(data, 8)));
        return;
    }
    case MSG_SERVER_FAIL_AUTH:
        DFLog(L"Client : OnReceiveServerAuthenticationResponse( ) Called");
        m_eConnectedStatus = clientstate::kAuthRefused;
        DisconnectFromServer();
        return;
    case MSG_SERVER_ACCEPT_CONNECTION:
        DFLog(L"Client : OnReceiveServerAuthenticationResponse( ) Called");
        if (size != kAcceptConnectionBytes)
            DFLog(L"Bad accept connection msg\n");
        return;
    case MSG_SERVER_UPDATE_WORLD:
        if (size != kWorldUpdateBytes) {
            DFLog(L"Bad server world update msg\n");
            return;
        }
        OnReceiveServerUpdate(WordAt(data, 4));
        return;
    case MSG_SERVER_EXITING:
        if (size != 4)
            DFLog(L"Bad server exiting msg\n");
        OnReceiveServerExiting();
        return;
    case MSG_CLIENT_GAME_DATA:
        DispatchGameMessages(data, size);
        return;
    default:
        DFLog(L"Unhandled message from server\n");
        return;
    }
}

void VanteoSteamClient::OnReceiveServerInfo(bool secure, CSteamID server)
{
    DFLog(L"Client : OnReceiveServerInfo( ) Called");
    m_bConnectedToServer = 1;
    m_ulLastServerDataMs = m_Clock();
    m_fKeepAliveTimer = 0;
    uint8_t token[kAuthTokenBytes] = {};
    ISteamUser* user = SteamUser();
    int length = user ? user->InitiateGameConnection(token, static_cast<int>(kAuthTokenBytes), server, m_unServerIP,
                                                     m_usServerPort, secure)
                      : 0;
    if (length < 1)
        DFLog(L"Warning: Looks like InitiateGameConnection didn't give us a good token\n");
    if (length < 0 || length > static_cast<int>(kAuthTokenBytes))
        length = 0;
    PayloadWriter auth;
    auth.U32(static_cast<uint32_t>(length));
    std::vector<uint8_t> message = SocketMessage(MSG_CLIENT_BEGIN_AUTH, auth);
    message.insert(message.end(), token, token + kAuthTokenBytes);
    Send(message, true);
}

void VanteoSteamClient::OnReceiveServerUpdate(uint32_t serverState)
{
    switch (serverState) {
    case serverstate::kWaiting: m_eConnectedStatus = clientstate::kWaitingForPlayers; break;
    case serverstate::kActive: m_eConnectedStatus = clientstate::kStartOfMatch; break;
    case serverstate::kGameOver: m_eConnectedStatus = clientstate::kBackToLobby; break;
    default: break;
    }
}

void VanteoSteamClient::OnReceiveServerExiting()
{
    DFLog(L"Client : OnReceiveServerExiting() ) Called");
    if (m_eConnectedStatus != clientstate::kInMatch)
        return;
    m_eConnectedStatus = clientstate::kNoServer;
    PayloadWriter().U64(0).PostTo(Messages(), MSG_NET_PLAYER_REMOVED);
    m_bConnectedToServer = 0;
}

void VanteoSteamClient::DisconnectFromServer()
{
    DFLog(L"Client : DisconnectFromServer() ) Called");
    if (!m_bConnectedToServer)
        return;
    if (ISteamUser* user = SteamUser())
        user->TerminateGameConnection(m_unServerIP, m_usServerPort);
    Send(SocketMessage(MSG_CLIENT_LEAVING_SERVER), true);
    m_bConnectedToServer = 0;
}

void VanteoSteamClient::OnLobbyGameCreated(LobbyGameCreated_t* callback)
{
    DFLog(L"Client : OnLobbyGameCreated( ) Called");
    CSteamID server(callback->m_ulSteamIDGameServer);
    if (server.IsValid())
        InitiateServerConnection(server);
    else
        InitiateServerConnection(callback->m_unIP, callback->m_usPort);
}

void VanteoSteamClient::OnSocketStatusCallback(SocketStatusCallback_t* callback)
{
    if (m_hSocketServer == 0 || callback->m_hSocket != m_hSocketServer)
        return;
    const int state = callback->m_eSNetSocketState;
    if (state == k_ESNetSocketStateConnected) {
        Sleep(m_nConnectPauseMs);
        Send(SocketMessage(MSG_CLIENT_INITIATE_CONNECTION), true);
        DFLog(L"Client : %d Send MsgClientInitiateConnection_t,.,.,", static_cast<int>(m_hSocketServer));
        return;
    }
    if (state == k_ESNetSocketStateRemoteEndDisconnected || state == k_ESNetSocketStateConnectionBroken) {
        // What the server sent before it closed comes first: the game-over update that the host's
        // continue sends just before its server is deleted ends the match normally, instead of
        // the closed socket being taken for the other player leaving.
        ReceiveNetworkData();
        OnReceiveServerExiting();
    }
    if (state >= k_ESNetSocketStateDisconnecting)
        m_hSocketServer = 0;
}

void VanteoSteamClient::OnIPCFailure(IPCFailure_t*)
{
    DFLog(L"Client : OnIPCFailure( ) Called");
    if (g_bIPCFailureShown)
        return;
    DFLog(L"Steam IPC Failure, shutting down\n");
    MessageBoxW(nullptr, L"Connection to Steam Lost, Exiting", L"Steam Connection Error", MB_OK);
    g_bIPCFailureShown = true;
    QuitGame();
}

void VanteoSteamClient::OnSteamShutdown(SteamShutdown_t*)
{
    DFLog(L"Client : OnSteamShutdown( ) Called");
    if (g_bShutdownRequested)
        return;
    DFLog(L"Steam shutdown request, shutting down\n");
    g_bShutdownRequested = true;
    QuitGame();
}
