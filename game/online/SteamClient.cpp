#include "online/SteamClient.h"

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
    // Without a socket there is nothing to receive; without a lobby the state stays as it is.
    if (m_eConnectedStatus > 10)
        DFLog(L"VanteoSteamClient::RunFrame: unhandled game state %d", m_eConnectedStatus);
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
