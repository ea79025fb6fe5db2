// The player's side of online play: the connection to the host's game server and the transport
// of game messages between the two players. One object exists for the whole run (g_pSteamClient),
// made at start-up when the platform has a user and deleted at shut-down.
// This object holds the client's state, its platform callbacks and the orderly end when the
// platform goes away; with no lobby and no socket yet, a frame has nothing to send or receive.
#pragma once

#include "online/GameMessageBlocks.h"

#include <steam/SteamApi.h>

class IMessageSink;

// Client states.
namespace clientstate {
inline constexpr int kStartOfMatch = 1;
inline constexpr int kInMatch = 2;
inline constexpr int kBackToLobby = 3;
inline constexpr int kWaitingForPlayers = 4;
inline constexpr int kNoServer = 5;
inline constexpr int kConnecting = 6;
inline constexpr int kAuthRefused = 7;
inline constexpr int kInLobby = 9;
} // namespace clientstate

class VanteoSteamClient {
public:
    // Registers the client's platform callbacks for the local user.
    explicit VanteoSteamClient(CSteamID localUser = CSteamID());
    // Resets the lobby's "game_starting", leaves the server, deletes the host's game server when
    // one is left, destroys the socket and unregisters the callbacks.
    virtual ~VanteoSteamClient();
    VanteoSteamClient(const VanteoSteamClient&) = delete;
    VanteoSteamClient& operator=(const VanteoSteamClient&) = delete;

    // One frame: sends the queued game messages, receives the server's data and advances the
    // connection state.
    virtual void RunFrame(float seconds);
    // Ends the game connection and tells the server that the player leaves.
    void DisconnectFromServer();

    // Queues one game-message record (its length word and the bytes it counts, at most 1020)
    // for the next flush.
    bool QueueGameMessage(const void* record, int32_t size);
    // Once the flush timer has run out: every queued block leaves as one game-data message
    // while connected; blocks are dropped either way. A frame of no time sends nothing.
    void FlushGameMessages(float seconds);
    // Posts the records of a received game-data message into the scene queue.
    void DispatchGameMessages(const uint8_t* message, size_t size);
    // Where received records go (the scene queue unless a test says otherwise).
    void SetMessageSink(IMessageSink* sink) { m_pMessages = sink; }

    void OnLobbyGameCreated(LobbyGameCreated_t* callback);
    void OnSocketStatusCallback(SocketStatusCallback_t* callback);
    void OnIPCFailure(IPCFailure_t* callback);
    void OnSteamShutdown(SteamShutdown_t* callback);

    SNetSocket_t m_hSocketServer = 0;
    int m_eConnectedStatus = clientstate::kNoServer;
    int m_bConnectedToServer = 0;
    uint32_t m_unServerIP = 0;
    uint16_t m_usServerPort = 0;
    CSteamID m_steamIDLobby;
    CSteamID m_steamIDLocalUser;
    GameMessageBlocks m_Outgoing;
    float m_fFlushTimer = 0.0f;
    IMessageSink* m_pMessages = nullptr;

private:
    CCallback<VanteoSteamClient, LobbyGameCreated_t> m_LobbyGameCreated;
    CCallback<VanteoSteamClient, SocketStatusCallback_t> m_SocketStatus;
    CCallback<VanteoSteamClient, IPCFailure_t> m_IPCFailure;
    CCallback<VanteoSteamClient, SteamShutdown_t> m_SteamShutdown;
};
