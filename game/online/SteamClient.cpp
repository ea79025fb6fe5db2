#include "online/SteamClient.h"

#include "board/GameSeams.h"

#include "engine/SceneManager.h"
#include "online/NetGlobals.h"
#include "online/SteamServer.h"

#include <helvane/Log.h>
#include <win32/Debug.h>
#include <win32/MessageBox.h>

namespace {

// The lost-connection box and the shut-down request end the game once per run.
bool g_bIPCFailureShown = false;
bool g_bShutdownRequested = false;

void QuitGame()
{
    if (CSceneManager* manager = singleton<CSceneManager>::GetSingletonPtr())
        manager->Quit();
}

} // namespace

VanteoSteamClient::VanteoSteamClient(CSteamID localUser)
    : m_steamIDLocalUser(localUser), m_LobbyGameCreated(this, &VanteoSteamClient::OnLobbyGameCreated),
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
    // The callback members unregister themselves.
}

void VanteoSteamClient::RunFrame(float seconds)
{
    FlushGameMessages(seconds);
    // Without a socket there is nothing to receive; without a lobby the state stays as it is.
    if (m_eConnectedStatus > 10)
        DFLog(L"VanteoSteamClient::RunFrame: unhandled game state %d", m_eConnectedStatus);
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
    ISteamNetworking* networking = SteamNetworking();
    for (const GameMessageBlocks::Block& block : m_Outgoing.TakeAll()) {
        if (!m_bConnectedToServer || !networking)
            continue;
        const std::vector<uint8_t> message = GameMessageBlocks::Message(m_steamIDLocalUser.ConvertToUint64(), block);
        if (!networking->SendDataOnSocket(m_hSocketServer, message.data(), static_cast<uint32_t>(message.size()), false))
            DFLog(L"Failed sending data to server\n");
    }
}

void VanteoSteamClient::DispatchGameMessages(const uint8_t* message, size_t size)
{
    IMessageSink& sink = m_pMessages ? *m_pMessages : GetSceneQueueSink();
    GameMessageBlocks::Walk(message, size, [&](int32_t id, const uint8_t* payload, size_t bytes) { sink.Post(id, payload, bytes); });
}

void VanteoSteamClient::DisconnectFromServer()
{
    DFLog(L"Client : DisconnectFromServer() ) Called");
    if (!m_bConnectedToServer)
        return;
    m_bConnectedToServer = 0;
}

void VanteoSteamClient::OnLobbyGameCreated(LobbyGameCreated_t*)
{
    DFLog(L"Client : OnLobbyGameCreated( ) Called");
}

void VanteoSteamClient::OnSocketStatusCallback(SocketStatusCallback_t* callback)
{
    if (callback->m_hSocket != m_hSocketServer || m_hSocketServer == 0)
        return;
    if (callback->m_eSNetSocketState >= 21)
        m_hSocketServer = 0;
}

void VanteoSteamClient::OnIPCFailure(IPCFailure_t*)
{
    DFLog(L"Client : OnIPCFailure( ) Called");
    if (g_bIPCFailureShown)
        return;
    OutputDebugStringA("Steam IPC Failure, shutting down\n");
    MessageBoxW(nullptr, L"Connection to Steam Lost, Exiting", L"Steam Connection Error", MB_OK);
    g_bIPCFailureShown = true;
    QuitGame();
}

void VanteoSteamClient::OnSteamShutdown(SteamShutdown_t*)
{
    DFLog(L"Client : OnSteamShutdown( ) Called");
    if (g_bShutdownRequested)
        return;
    OutputDebugStringA("Steam shutdown request, shutting down\n");
    g_bShutdownRequested = true;
    QuitGame();
}
