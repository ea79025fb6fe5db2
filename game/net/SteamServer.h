// The game server that the host of an online match runs inside its own process (g_pSteamServer,
// null on the guest and between matches). It admits the players' clients once the platform has
// authenticated them, relays their game-data blocks to each other and broadcasts its game state,
// which drives the clients from waiting to playing and back to the lobby. It takes no part in
// the game rules. Everything runs on the main thread; the server is deleted there only.
#pragma once

#include <steam/SteamApi.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class IMessageSink;

// One player's place on the server. A free slot is all zero.
struct ServerClientSlot {
    bool m_bActive = false;
    SNetSocket_t m_hSocket = 0;
    CSteamID m_SteamIDUser;
    // When the last message arrived on the slot's socket (milliseconds of the server's clock).
    uint64_t m_ulTickCountLastData = 0;
};

class CSteamServer {
public:
    static constexpr uint32_t kMaxSlots = 10;
    static constexpr uint32_t kMaxPlayers = 4;
    static constexpr uint64_t kWaitForPlayersMs = 30000;
    // An admitted player from whom nothing arrived for this long is removed.
    static constexpr uint64_t kSilenceTimeoutMs = 5000;
    // The largest message the server reads; the platform's frames are smaller still.
    static constexpr uint32_t kMaxMessageBytes = 65536;
    // Messages read in one frame, all connections together: the platform hands out at most 64
    // of each connection a frame, and a server has at most 32 connections.
    static constexpr uint32_t kMaxMessagesPerFrame = 2048;
    // Answers to one connection's requests (server info, refusals): a burst of 4, then one a
    // second. A client asks once per connection; more is a flood, and goes unanswered.
    static constexpr int kReplyBurst = 4;
    static constexpr uint64_t kReplyIntervalMs = 1000;

    // Starts the platform's game server and opens the listen socket. `clock` gives milliseconds
    // (the system tick count unless a test hands in its own).
    explicit CSteamServer(std::function<uint64_t()> clock = nullptr);
    // Tells every active client that the server exits, logs off and closes the listen socket.
    virtual ~CSteamServer();
    CSteamServer(const CSteamServer&) = delete;
    CSteamServer& operator=(const CSteamServer&) = delete;

    // Relays bytes unreliably to every active player but the one on `except`.
    virtual void SendToAllClientsExcept(SNetSocket_t except, const void* data, uint32_t bytes);

    // One server frame: callbacks, received messages, server details, the wait for players,
    // silent players, and the world update.
    virtual void RunFrame();
    void SetGameState(int state);
    uint32_t GetIP();
    uint16_t GetPort();

    // One message as it arrived from the client on `from`.
    void HandleClientMessage(SNetSocket_t from, const uint8_t* data, uint32_t size);
    void OnClientBeginAuthentication(SNetSocket_t socket, const void* token, uint32_t tokenBytes);
    void OnAuthCompleted(bool success, uint32_t pendingIndex);
    void RemovePlayerFromServer(uint32_t index);
    void SendUpdatedServerDetailsToSteam();
    void SendUpdateDataToAllClients();
    bool BSendDataToClientOnSocket(SNetSocket_t socket, const void* data, uint32_t bytes);

    void OnSteamServersConnected(SteamServersConnected_t* callback);
    void OnSteamServersDisconnected(SteamServersDisconnected_t* callback);
    void OnPolicyResponse(GSPolicyResponse_t* callback);
    void OnGSClientApprove(GSClientApprove_t* callback);
    void OnGSClientDeny(GSClientDeny_t* callback);
    void OnGSClientKick(GSClientKick_t* callback);
    void OnSocketStatusCallback(SocketStatusCallback_t* callback);

    // Where the player-connected and player-removed messages go (the scene queue unless a test
    // says otherwise).
    void SetMessageSink(IMessageSink* sink) { m_pMessages = sink; }

    bool m_bLoggedOn = false;
    std::string m_sServerName;
    uint64_t m_ulStateTransitionTime = 0;
    uint64_t m_ulLastServerUpdateTick = 0;
    uint32_t m_uPlayerCount = 0;
    uint32_t m_uExpectedPlayers = 0;
    int m_eGameState = 0;
    SNetListenSocket_t m_hSocketListen = 0;
    ServerClientSlot m_rgClientData[kMaxSlots];
    ServerClientSlot m_rgPendingClientData[kMaxSlots];
    uint32_t m_uMaxPlayers = kMaxPlayers;

private:
    uint64_t Now() const;
    IMessageSink& Messages();
    void PostPlayer(int32_t id, CSteamID user);
    void SendFailAuth(SNetSocket_t socket);
    void TimeOutSilentPlayers();
    void NoteData(SNetSocket_t socket);
    // Whether `socket` may be answered now; unanswered requests are counted and the count logged.
    bool MayAnswer(SNetSocket_t socket);

    // The pace of the answers to one connection.
    struct ReplyPace {
        uint64_t dueMs = 0;  // the time the allowance is used up to
        uint64_t unanswered = 0;
    };
    std::map<SNetSocket_t, ReplyPace> m_ReplyPaces;

    std::function<uint64_t()> m_Clock;
    IMessageSink* m_pMessages = nullptr;
    CCallback<CSteamServer, SteamServersConnected_t, true> m_SteamServersConnected;
    CCallback<CSteamServer, SteamServersDisconnected_t, true> m_SteamServersDisconnected;
    CCallback<CSteamServer, GSPolicyResponse_t, true> m_PolicyResponse;
    CCallback<CSteamServer, GSClientApprove_t, true> m_GSClientApprove;
    CCallback<CSteamServer, GSClientDeny_t, true> m_GSClientDeny;
    CCallback<CSteamServer, GSClientKick_t, true> m_GSClientKick;
    CCallback<CSteamServer, SocketStatusCallback_t, true> m_SocketStatus;
};
