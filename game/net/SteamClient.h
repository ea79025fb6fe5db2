// The player's side of online play: the connection to the host's game server and the transport
// of game messages between the two players. One object exists for the whole run (g_pSteamClient),
// made at start-up when the platform has a user and deleted at shut-down.
// It carries the handshake with the server (initiate, server info, token, accept or refusal),
// follows the server's world updates through its state machine (waiting, start of match, in
// match, back to lobby), starts the match scene and brings the player back to the lobby. Game
// messages queued during a frame leave once a frame in 1024-byte blocks; of a received block only
// the game messages two machines exchange, each of exactly its length, reach the scene queue.
#pragma once

#include "net/GameMessageBlocks.h"

#include <steam/SteamApi.h>

#include <functional>
#include <string>
#include <vector>

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
    static constexpr uint32_t kReceiveBufferBytes = 524288;
    // While connected, an empty game-data block leaves at least this often, so the server can
    // tell a quiet player from one that is gone.
    static constexpr float kKeepAliveSeconds = 1.0f;
    // The server sends its state some 60 times a second: a connection that brought nothing for
    // this long has a server that is gone or stopped, as the server takes a player silent as
    // long to be gone.
    static constexpr uint64_t kServerSilenceMs = 5000;

    // Registers the client's platform callbacks for the local user.
    explicit VanteoSteamClient(CSteamID localUser = CSteamID());
    // Resets the lobby's "game_starting", leaves the server, deletes the host's game server when
    // one is left, destroys the socket and unregisters the callbacks.
    virtual ~VanteoSteamClient();
    VanteoSteamClient(const VanteoSteamClient&) = delete;
    VanteoSteamClient& operator=(const VanteoSteamClient&) = delete;

    // One frame: sends the queued game messages, receives the server's data and advances the
    // connection state. Main thread only.
    virtual int RunFrame(float seconds);
    // Ends the game connection and tells the server that the player leaves.
    void DisconnectFromServer();
    // Opens a new connection to the game server by address or by its platform id.
    void InitiateServerConnection(uint32_t ip, uint16_t port);
    void InitiateServerConnection(CSteamID server);

    // Queues one game-message record (its length word and the bytes it counts, at most 1020)
    // for the next flush; false, with nothing queued, for any other size.
    bool QueueGameMessage(const void* record, int32_t size);
    // Once the flush timer has run out: every queued block leaves as one game-data message
    // while connected; blocks are dropped either way. A frame of no time sends nothing.
    void FlushGameMessages(float seconds);
    // Posts the game messages of a received game-data message into the scene queue; a message of
    // another size than 1040 bytes, and every record that is not a game message of exactly its
    // length, are dropped and logged.
    void DispatchGameMessages(const uint8_t* message, size_t size);
    // Reads every message waiting on the connection socket.
    void ReceiveNetworkData();
    // One message from the server, as received.
    void HandleServerMessage(const uint8_t* data, uint32_t size);
    void OnReceiveServerInfo(bool secure, CSteamID server);
    void OnReceiveServerUpdate(uint32_t serverState);
    void OnReceiveServerExiting();

    // Where received records and the client's own messages go (the scene queue unless a test
    // says otherwise).
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
    float m_fKeepAliveTimer = 0.0f;
    IMessageSink* m_pMessages = nullptr;
    // The name of the current scene; the scene manager's unless a test says otherwise.
    std::function<std::string()> m_CurrentSceneName;
    // The pause after the socket connects, before the first message (milliseconds).
    uint32_t m_nConnectPauseMs = 100;
    // Milliseconds of the system tick count unless a test hands in its own clock.
    std::function<uint64_t()> m_Clock;
    // When the connection last brought something (the clock's milliseconds).
    uint64_t m_ulLastServerDataMs = 0;

private:
    IMessageSink& Messages();
    bool Send(const std::vector<uint8_t>& message, bool reliable);
    // A connected server that fell silent ends the connection as if it had closed.
    void TimeOutSilentServer();

    std::vector<uint8_t> m_ReceiveBuffer;
    CCallback<VanteoSteamClient, LobbyGameCreated_t> m_LobbyGameCreated;
    CCallback<VanteoSteamClient, SocketStatusCallback_t> m_SocketStatus;
    CCallback<VanteoSteamClient, IPCFailure_t> m_IPCFailure;
    CCallback<VanteoSteamClient, SteamShutdown_t> m_SteamShutdown;
};
