#include "net/SteamServer.h"

#include "board/GameSeams.h"
#include "net/GameMessageBlocks.h"
#include "net/OnlineSinks.h"
#include "net/ServerMessages.h"

#include <helvane/Log.h>
#include <win32/Debug.h>
#include <win32/Time.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

constexpr uint16_t kPlatformPort = 8766;
constexpr uint16_t kGamePort = 27015;
constexpr uint16_t kQueryPort = 27016;

void Debug(const char* line)
{
    OutputDebugStringA(line);
}

void Clear(ServerClientSlot& slot)
{
    slot = ServerClientSlot{};
}

} // namespace

CSteamServer::CSteamServer(std::function<uint64_t()> clock)
    : m_Clock(clock ? std::move(clock) : [] { return static_cast<uint64_t>(GetTickCount64()); }),
      m_SteamServersConnected(this, &CSteamServer::OnSteamServersConnected),
      m_SteamServersDisconnected(this, &CSteamServer::OnSteamServersDisconnected),
      m_PolicyResponse(this, &CSteamServer::OnPolicyResponse), m_GSClientApprove(this, &CSteamServer::OnGSClientApprove),
      m_GSClientDeny(this, &CSteamServer::OnGSClientDeny), m_GSClientKick(this, &CSteamServer::OnGSClientKick),
      m_SocketStatus(this, &CSteamServer::OnSocketStatusCallback)
{
    if (!SteamGameServer_Init(0, kPlatformPort, kGamePort, 0, kQueryPort, eServerModeAuthenticationAndSecure, "vanteo",
                              "1.0.0.0"))
        Debug("SteamGameServer_Init call failed\n");
    if (ISteamMasterServerUpdater* updater = SteamMasterServerUpdater())
        updater->SetActive(true);
    else
        Debug("SteamMasterServerUpdater() interface is invalid\n");
    m_uPlayerCount = 0;
    m_eGameState = serverstate::kWaiting;
    m_ulStateTransitionTime = Now();
    m_ulLastServerUpdateTick = Now();
    // The game's shared random generator is seeded by each mode; the C library's is reseeded
    // here as the server always did.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    if (ISteamGameServerNetworking* networking = SteamGameServerNetworking())
        m_hSocketListen = networking->CreateListenSocket(0, 0, kGamePort, true);
    if (m_hSocketListen == 0)
        Debug("Failed creating socket for CSteamServer -- no one will be able to connect\n");
    m_uMaxPlayers = kMaxPlayers;
}

CSteamServer::~CSteamServer()
{
    if (ISteamMasterServerUpdater* updater = SteamMasterServerUpdater())
        updater->SetActive(false);
    const std::vector<uint8_t> exiting = SocketMessage(MSG_SERVER_EXITING);
    for (uint32_t i = 0; i < m_uMaxPlayers; ++i) {
        ServerClientSlot& slot = m_rgClientData[i];
        if (!slot.m_bActive)
            continue;
        ISteamGameServerNetworking* networking = SteamGameServerNetworking();
        if (!networking || !networking->SendDataOnSocket(slot.m_hSocket, exiting.data(), 4, false))
            Debug("Failed sending data to a client\n");
        slot.m_bActive = false;
    }
    if (ISteamGameServer* server = SteamGameServer())
        server->LogOff();
    if (m_hSocketListen != 0) {
        if (ISteamGameServerNetworking* networking = SteamGameServerNetworking())
            networking->DestroyListenSocket(m_hSocketListen, true);
        m_hSocketListen = 0;
    }
}

uint64_t CSteamServer::Now() const
{
    return m_Clock();
}

IMessageSink& CSteamServer::Messages()
{
    return m_pMessages ? *m_pMessages : OnlineMessages();
}

void CSteamServer::PostPlayer(int32_t id, CSteamID user)
{
    PayloadWriter().U64(user.ConvertToUint64()).PostTo(Messages(), id);
}

void CSteamServer::RunFrame()
{
    SteamGameServer_RunCallbacks();
    if (m_hSocketListen != 0) {
        ISteamGameServerNetworking* networking = SteamGameServerNetworking();
        uint32_t size = 0;
        SNetSocket_t from = 0;
        std::vector<uint8_t> buffer;
        // Bounded: the platform hands out each connection's share of a frame, and this stops
        // at the frame's share of all of them; the rest waits for the next frame.
        for (uint32_t read = 0;
             read < kMaxMessagesPerFrame && networking && networking->IsDataAvailable(m_hSocketListen, &size, &from);
             ++read) {
            if (size > kMaxMessageBytes) {
                DFLog(LOG_WARN, L"Server : a message of %u bytes is too large to read", size);
                break;
            }
            buffer.assign(size ? size : 1, 0);
            if (!networking->RetrieveData(m_hSocketListen, buffer.data(), static_cast<uint32_t>(buffer.size()), &size,
                                          &from))
                break;
            HandleClientMessage(from, buffer.data(), size);
        }
    }
    SendUpdatedServerDetailsToSteam();
    m_uPlayerCount = 0;
    for (uint32_t i = 0; i < m_uMaxPlayers; ++i)
        if (m_rgClientData[i].m_bActive)
            ++m_uPlayerCount;
    switch (m_eGameState) {
    case serverstate::kWaiting:
        if (Now() - m_ulStateTransitionTime >= kWaitForPlayersMs || m_uPlayerCount == m_uExpectedPlayers) {
            for (uint32_t i = 0; i < m_uMaxPlayers; ++i) {
                if (!m_rgClientData[i].m_bActive)
                    continue;
                Debug("Server going active after waiting for players\n");
                SetGameState(serverstate::kActive);
            }
        }
        break;
    case serverstate::kActive:
    case serverstate::kPlaying:
    case serverstate::kGameOver:
    case 5:
        break;
    default:
        Debug("Unhandled game state in CSteamServer::RunFrame\n");
        break;
    }
    TimeOutSilentPlayers();
    SendUpdateDataToAllClients();
}

void CSteamServer::TimeOutSilentPlayers()
{
    const uint64_t now = Now();
    for (uint32_t i = 0; i < m_uMaxPlayers; ++i) {
        const ServerClientSlot& slot = m_rgClientData[i];
        if (slot.m_bActive && now - slot.m_ulTickCountLastData > kSilenceTimeoutMs) {
            Debug("Timing out player connection\n");
            RemovePlayerFromServer(i);
        }
    }
}

void CSteamServer::NoteData(SNetSocket_t socket)
{
    for (uint32_t i = 0; i < m_uMaxPlayers; ++i)
        if (m_rgClientData[i].m_bActive && m_rgClientData[i].m_hSocket == socket)
            m_rgClientData[i].m_ulTickCountLastData = Now();
}

void CSteamServer::SetGameState(int state)
{
    if (state == m_eGameState)
        return;
    DFLog(L"Server : SetGameState( ) Called");
    m_ulStateTransitionTime = Now();
    m_ulLastServerUpdateTick = Now() - 1000;
    m_eGameState = state;
}

void CSteamServer::SendUpdateDataToAllClients()
{
    const uint64_t now = Now();
    if (static_cast<float>(now - m_ulLastServerUpdateTick) < 1000.0f / 60.0f)
        return;
    m_ulLastServerUpdateTick = now;
    PayloadWriter state;
    state.U32(static_cast<uint32_t>(m_eGameState));
    const std::vector<uint8_t> update = SocketMessage(MSG_SERVER_UPDATE_WORLD, state);
    ISteamGameServerNetworking* networking = SteamGameServerNetworking();
    for (uint32_t i = 0; i < m_uMaxPlayers; ++i) {
        const ServerClientSlot& slot = m_rgClientData[i];
        if (!slot.m_bActive)
            continue;
        if (!networking ||
            !networking->SendDataOnSocket(slot.m_hSocket, update.data(), static_cast<uint32_t>(update.size()), false))
            Debug("Failed sending data to a client\n");
    }
}

void CSteamServer::HandleClientMessage(SNetSocket_t from, const uint8_t* data, uint32_t size)
{
    if (!data || size < 4) {
        Debug("Got garbage on server socket, too short\n");
        return;
    }
    NoteData(from);
    switch (static_cast<int32_t>(WordAt(data, 0))) {
    case MSG_CLIENT_INITIATE_CONNECTION: {
        if (!MayAnswer(from))
            return;
        PayloadWriter info;
        ISteamGameServer* server = SteamGameServer();
        info.U32(0).U64(server ? server->GetSteamID().ConvertToUint64() : 0);
        std::vector<uint8_t> message = SocketMessage(MSG_SERVER_INFO, info);
        message.push_back(server && server->BSecure() ? 1 : 0);
        PayloadWriter name;
        name.Text(m_sServerName, kServerNameBytes);
        message.insert(message.end(), name.Bytes().begin(), name.Bytes().end());
        message.resize(kServerInfoBytes, 0);
        BSendDataToClientOnSocket(from, message.data(), kServerInfoBytes);
        DFLog(L"############Send ServerInfo");
        return;
    }
    case MSG_CLIENT_BEGIN_AUTH: {
        if (size != kBeginAuthBytes) {
            Debug("Bad connection attempt msg\n");
            return;
        }
        const uint32_t tokenBytes = WordAt(data, 4);
        if (tokenBytes > kAuthTokenBytes) {
            Debug("Bad connection attempt msg\n");
            SendFailAuth(from);
            return;
        }
        OnClientBeginAuthentication(from, data + 8, tokenBytes);
        return;
    }
    case MSG_CLIENT_GAME_DATA: {
        if (size != GameMessageBlocks::kMessageBytes) {
            Debug("Bad client update msg\n");
            return;
        }
        // Only an admitted player's data reaches the others.
        bool admitted = false;
        for (uint32_t i = 0; i < m_uMaxPlayers; ++i)
            admitted = admitted || (m_rgClientData[i].m_bActive && m_rgClientData[i].m_hSocket == from);
        if (!admitted) {
            Debug("Game data from a client without a place is dropped\n");
            return;
        }
        SendToAllClientsExcept(from, data, size);
        return;
    }
    case MSG_CLIENT_LEAVING_SERVER: {
        if (size != 4) {
            Debug("Bad leaving server msg\n");
            return;
        }
        for (uint32_t i = 0; i < m_uMaxPlayers; ++i) {
            if (m_rgClientData[i].m_bActive && m_rgClientData[i].m_hSocket == from) {
                RemovePlayerFromServer(i);
                return;
            }
            ServerClientSlot& pending = m_rgPendingClientData[i];
            if (pending.m_hSocket != 0 && pending.m_hSocket == from) {
                if (ISteamGameServer* server = SteamGameServer())
                    server->SendUserDisconnect(pending.m_SteamIDUser);
                Clear(pending);
                return;
            }
        }
        Debug("Got a client leaving server msg, but couldn't find a matching client\n");
        return;
    }
    default:
        return;
    }
}

bool CSteamServer::BSendDataToClientOnSocket(SNetSocket_t socket, const void* data, uint32_t bytes)
{
    DFLog(L"Server : BSendDataToClientOnSocket( ) Called");
    ISteamGameServerNetworking* networking = SteamGameServerNetworking();
    if (!networking || !networking->SendDataOnSocket(socket, data, bytes, false)) {
        Debug("Failed sending data to a client\n");
        return false;
    }
    return true;
}

bool CSteamServer::MayAnswer(SNetSocket_t socket)
{
    const uint64_t now = Now();
    ReplyPace& pace = m_ReplyPaces[socket];
    const uint64_t due = std::max(pace.dueMs, now);
    if (due - now >= kReplyBurst * kReplyIntervalMs) {
        if (pace.unanswered++ == 0)
            DFLog(LOG_WARN, L"Server : a client asks faster than it is answered; its requests go unanswered");
        return false;
    }
    pace.dueMs = due + kReplyIntervalMs;
    if (pace.unanswered > 0) {
        DFLog(LOG_WARN, L"Server : %llu requests of a client went unanswered", static_cast<unsigned long long>(pace.unanswered));
        pace.unanswered = 0;
    }
    return true;
}

void CSteamServer::SendFailAuth(SNetSocket_t socket)
{
    if (!MayAnswer(socket))
        return;
    const std::vector<uint8_t> fail = SocketMessage(MSG_SERVER_FAIL_AUTH);
    BSendDataToClientOnSocket(socket, fail.data(), static_cast<uint32_t>(fail.size()));
}

void CSteamServer::SendToAllClientsExcept(SNetSocket_t except, const void* data, uint32_t bytes)
{
    ISteamGameServerNetworking* networking = SteamGameServerNetworking();
    for (uint32_t i = 0; i < m_uMaxPlayers; ++i) {
        const ServerClientSlot& slot = m_rgClientData[i];
        if (!slot.m_bActive || slot.m_hSocket == except)
            continue;
        if (!networking || !networking->SendDataOnSocket(slot.m_hSocket, data, bytes, false))
            Debug("Failed sending data to a client\n");
    }
}

void CSteamServer::OnClientBeginAuthentication(SNetSocket_t socket, const void* token, uint32_t tokenBytes)
{
    DFLog(L"Server : OnClientBeginAuthentication( ) Called");
    uint32_t inUse = 0;
    for (uint32_t i = 0; i < m_uMaxPlayers; ++i) {
        if (m_rgClientData[i].m_bActive && m_rgClientData[i].m_hSocket == socket)
            return;
        // One authentication at a time per connection: a repeat does not take a second place.
        if (m_rgPendingClientData[i].m_hSocket != 0 && m_rgPendingClientData[i].m_hSocket == socket)
            return;
        inUse += m_rgClientData[i].m_bActive ? 1 : 0;
        inUse += m_rgPendingClientData[i].m_hSocket != 0 ? 1 : 0;
    }
    // Only as many as the match has players: the lobby's members when the match started.
    const uint32_t places = m_uExpectedPlayers > 0 ? std::min(m_uExpectedPlayers, m_uMaxPlayers) : m_uMaxPlayers;
    if (inUse >= places) {
        SendFailAuth(socket);
        return;
    }
    for (uint32_t i = 0; i < m_uMaxPlayers; ++i) {
        ServerClientSlot& pending = m_rgPendingClientData[i];
        if (pending.m_hSocket != 0)
            continue;
        pending.m_hSocket = socket;
        uint32_t ip = 0;
        if (ISteamGameServerNetworking* networking = SteamGameServerNetworking())
            networking->GetSocketInfo(socket, nullptr, nullptr, &ip, nullptr);
        ISteamGameServer* server = SteamGameServer();
        CSteamID user;
        pending.m_bActive = server && server->SendUserConnectAndAuthenticate(ip, token, tokenBytes, &user);
        pending.m_SteamIDUser = user;
        if (!pending.m_bActive) {
            // A refused request leaves no place taken.
            Clear(pending);
            SendFailAuth(socket);
        }
        return;
    }
}

void CSteamServer::OnAuthCompleted(bool success, uint32_t pendingIndex)
{
    DFLog(L"Server : OnAuthCompleted( ) Called");
    if (pendingIndex >= m_uMaxPlayers)
        return;
    ServerClientSlot& pending = m_rgPendingClientData[pendingIndex];
    if (!pending.m_bActive) {
        Debug("Got auth completed callback for client who is not pending\n");
        return;
    }
    if (!success) {
        if (ISteamGameServer* server = SteamGameServer())
            server->SendUserDisconnect(pending.m_SteamIDUser);
        SendFailAuth(pending.m_hSocket);
        Clear(pending);
        return;
    }
    for (uint32_t j = 0; j < m_uMaxPlayers; ++j) {
        ServerClientSlot& active = m_rgClientData[j];
        if (active.m_bActive)
            continue;
        active = pending;
        active.m_ulTickCountLastData = Now();
        Clear(pending);
        PayloadWriter slot;
        slot.U32(j);
        const std::vector<uint8_t> accept = SocketMessage(MSG_SERVER_ACCEPT_CONNECTION, slot);
        BSendDataToClientOnSocket(active.m_hSocket, accept.data(), static_cast<uint32_t>(accept.size()));
        PostPlayer(MSG_NET_PLAYER_CONNECTED, active.m_SteamIDUser);
        return;
    }
}

void CSteamServer::RemovePlayerFromServer(uint32_t index)
{
    DFLog(L"Server : RemovePlayerFromServer( ) Called");
    if (index >= m_uMaxPlayers) {
        Debug("Trying to remove ship at invalid position\n");
        return;
    }
    ServerClientSlot& slot = m_rgClientData[index];
    PostPlayer(MSG_NET_PLAYER_REMOVED, slot.m_SteamIDUser);
    Debug("Removing a ship\n");
    if (ISteamGameServer* server = SteamGameServer())
        server->SendUserDisconnect(slot.m_SteamIDUser);
    // The connection is closed too, so the removed player's program learns that its match is
    // over instead of playing on alone.
    if (ISteamGameServerNetworking* networking = SteamGameServerNetworking(); networking && slot.m_hSocket != 0)
        networking->DestroySocket(slot.m_hSocket, true);
    m_ReplyPaces.erase(slot.m_hSocket);
    Clear(slot);
}

void CSteamServer::OnGSClientApprove(GSClientApprove_t* callback)
{
    DFLog(L"Server : OnGSClientApprove( ) Called");
    for (uint32_t i = 0; i < m_uMaxPlayers; ++i) {
        const ServerClientSlot& pending = m_rgPendingClientData[i];
        if (pending.m_bActive && pending.m_SteamIDUser == callback->m_SteamID) {
            Debug("Auth completed for a client\n");
            OnAuthCompleted(true, i);
            return;
        }
    }
}

void CSteamServer::OnGSClientDeny(GSClientDeny_t* callback)
{
    DFLog(L"Server : OnGSClientDeny( ) Called");
    for (uint32_t i = 0; i < m_uMaxPlayers; ++i) {
        const ServerClientSlot& pending = m_rgPendingClientData[i];
        if (!pending.m_bActive || pending.m_SteamIDUser != callback->m_SteamID)
            continue;
        if (callback->m_eDenyReason == k_EDenySteamValidationStalled) {
            Debug("Auth stalled for a client, let them play anyway\n");
            OnAuthCompleted(true, i);
        } else {
            OnAuthCompleted(false, i);
        }
        return;
    }
}

void CSteamServer::OnGSClientKick(GSClientKick_t*)
{
    DFLog(L"Server : OnGSClientKick( ) Called");
}

void CSteamServer::OnSocketStatusCallback(SocketStatusCallback_t* callback)
{
    DFLog(L"Server : OnSocketStatusCallback( ) Called");
    if (callback->m_hListenSocket != m_hSocketListen || m_hSocketListen == 0 ||
        callback->m_eSNetSocketState < k_ESNetSocketStateDisconnecting)
        return;
    m_ReplyPaces.erase(callback->m_hSocket);
    for (uint32_t i = 0; i < m_uMaxPlayers; ++i) {
        if (m_rgClientData[i].m_bActive && m_rgClientData[i].m_hSocket == callback->m_hSocket) {
            Debug("Disconnected dropped user\n");
            RemovePlayerFromServer(i);
            return;
        }
        // A connection that drops during its authentication frees its place too.
        ServerClientSlot& pending = m_rgPendingClientData[i];
        if (pending.m_hSocket != 0 && pending.m_hSocket == callback->m_hSocket)
            Clear(pending);
    }
}

void CSteamServer::OnSteamServersConnected(SteamServersConnected_t*)
{
    DFLog(L"Server : OnSteamServersConnected( ) Called");
    Debug("VanteoServer connected to Steam successfully\n");
    m_bLoggedOn = true;
    SendUpdatedServerDetailsToSteam();
}

void CSteamServer::OnSteamServersDisconnected(SteamServersDisconnected_t*)
{
    DFLog(L"Server : OnSteamServersDisconnected( ) Called");
    m_bLoggedOn = false;
    Debug("vanteoServer got logged out of Steam\n");
}

void CSteamServer::OnPolicyResponse(GSPolicyResponse_t*)
{
    DFLog(L"Server : OnPolicyResponse( ) Called");
    ISteamGameServer* server = SteamGameServer();
    Debug(server && server->BSecure() ? "vanteoServer is VAC Secure!\n" : "vanteoServer is not VAC Secure!\n");
}

void CSteamServer::SendUpdatedServerDetailsToSteam()
{
    if (ISteamMasterServerUpdater* updater = SteamMasterServerUpdater())
        updater->SetBasicServerData(7, true, "255", "SteamworksExample", 4, false, "Steamworks Example");
    const char* persona = "";
    if (ISteamFriends* friends = SteamFriends()) {
        ISteamUser* user = SteamUser();
        persona = friends->GetFriendPersonaName(user ? user->GetSteamID() : CSteamID());
    }
    char name[128];
    std::snprintf(name, sizeof name, "%s's game", persona ? persona : "");
    m_sServerName = name;
    ISteamGameServer* server = SteamGameServer();
    if (!server)
        return;
    server->UpdateServerStatus(static_cast<int>(m_uPlayerCount), 4, 0, m_sServerName.c_str(), "", "MilkyWay");
    for (uint32_t i = 0; i < m_uMaxPlayers; ++i)
        if (m_rgClientData[i].m_bActive)
            server->BUpdateUserData(m_rgClientData[i].m_SteamIDUser, "", 0);
}

uint32_t CSteamServer::GetIP()
{
    DFLog(L"Server : GetIP() ) Called");
    uint32_t ip = 0;
    uint16_t port = 0;
    ISteamGameServerNetworking* networking = SteamGameServerNetworking();
    if (m_hSocketListen == 0 || !networking || !networking->GetListenSocketInfo(m_hSocketListen, &ip, &port))
        return 0;
    return ip;
}

uint16_t CSteamServer::GetPort()
{
    DFLog(L"Server : GetPort() ) Called");
    uint32_t ip = 0;
    uint16_t port = 0;
    ISteamGameServerNetworking* networking = SteamGameServerNetworking();
    if (m_hSocketListen == 0 || !networking || !networking->GetListenSocketInfo(m_hSocketListen, &ip, &port))
        return 0;
    return port;
}
