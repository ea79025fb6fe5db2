// The online services of one platform user: lobbies, client sockets, the game server, tickets,
// persona names and leaderboards, over one backend. The process has one (in ClientState);
// tests make more, one per simulated user, each with its own event sink.
// Nothing here blocks: sockets are polled by the pumps (PollClient, PollServer) and by the
// reads; everything the game hears arrives as a callback or call result through the sink.
#pragma once

#include "OnlineBackend.h"
#include "Wire.h"
#include "steam/SteamApi.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform::steam {

// Where the events of one user go: the process's callback queues, or a test's record.
class IEventSink {
public:
    virtual ~IEventSink() = default;
    virtual void Client(int id, const void* payload, size_t bytes) = 0;
    virtual void ClientResult(SteamAPICall_t call, int id, const void* payload, size_t bytes, bool ioFailure) = 0;
    virtual void Server(int id, const void* payload, size_t bytes) = 0;
};

// The sink of the process: its two callback queues.
IEventSink& ProcessSink();

class OnlineContext;

// Leaderboards through the backend; the ISteamUserStats board calls forward here. The backend's
// board calls read and write files or the network, so they run on a worker thread of their own:
// each request returns its call handle at once, and the answer is applied and emitted as that
// call's result by Poll, on the thread that pumps the callbacks. Requests wait in a bounded queue;
// one made while the queue is full is answered at once with an I/O failure. Neither side waits
// for the other: the worker looks for requests every few milliseconds instead of being woken by
// the frame, and Poll leaves the answers for the next pump while the worker holds the queue.
class Leaderboards {
public:
    static constexpr size_t kMaxQueuedRequests = 64;
    // How often the worker looks for requests: the frame never wakes it (see Submit).
    static constexpr std::chrono::milliseconds kWorkerLook{4};

    explicit Leaderboards(OnlineContext& context) : m_context(context) {}
    // Waits for the request the worker is running; requests still queued are dropped unanswered.
    ~Leaderboards();
    Leaderboards(const Leaderboards&) = delete;
    Leaderboards& operator=(const Leaderboards&) = delete;

    SteamAPICall_t FindOrCreateLeaderboard(const char* name, ELeaderboardSortMethod sort,
                                           ELeaderboardDisplayType display);
    const char* GetLeaderboardName(SteamLeaderboard_t board);
    int GetLeaderboardEntryCount(SteamLeaderboard_t board);
    SteamAPICall_t DownloadLeaderboardEntries(SteamLeaderboard_t board, ELeaderboardDataRequest request, int start,
                                              int end);
    bool GetDownloadedLeaderboardEntry(SteamLeaderboardEntries_t entries, int index, LeaderboardEntry_t* entry,
                                       int32_t* details, int detailsMax);
    SteamAPICall_t UploadLeaderboardScore(SteamLeaderboard_t board, ELeaderboardUploadScoreMethod method,
                                          int32_t score);
    // Applies the answers the worker has finished and emits their results; from the pump.
    void Poll();
    // Requests queued or running (for tests and benchmarks).
    size_t PendingRequests();

private:
    struct Board {
        std::string name;
        BoardInfo info;
    };
    struct Download {
        SteamLeaderboardEntries_t handle = 0;
        std::vector<RankedRow> rows;
    };
    // `work` runs on the worker and returns what Poll then runs on the pumping thread.
    using Finish = std::function<void()>;
    using Work = std::function<Finish()>;
    const Board* Find(SteamLeaderboard_t board) const;
    // Queues the work; false (and `refused` run at once) when the queue is full.
    bool Submit(Work work, const Finish& refused);
    void WorkerMain();

    OnlineContext& m_context;
    std::vector<Board> m_boards;
    std::vector<Download> m_downloads;  // the latest few
    SteamLeaderboardEntries_t m_lastEntries = 0;

    std::mutex m_lock;  // guards the two queues and the stop flag
    std::condition_variable m_wake;
    std::deque<Work> m_queued;
    std::deque<Finish> m_finished;
    size_t m_running = 0;
    bool m_stop = false;
    std::thread m_worker;  // started by the first request
};

class LobbyEngine;
class SocketEngine;
class BackendWorker;

// The secret part of a ticket: made by the member's own program from the system's random
// source, and handed to the game server's owner only through the lobby's own connection.
constexpr size_t kTicketSecretBytes = 16;
using TicketSecret = std::array<uint8_t, kTicketSecretBytes>;
// A fresh secret from the system's random source.
TicketSecret MakeTicketSecret();

class OnlineContext {
public:
    OnlineContext(CSteamID self, std::string personaName, std::unique_ptr<IOnlineBackend> backend, IEventSink& sink);
    ~OnlineContext();
    OnlineContext(const OnlineContext&) = delete;
    OnlineContext& operator=(const OnlineContext&) = delete;

    CSteamID Self() const { return m_self; }
    const std::string& PersonaName() const { return m_persona; }
    // The player's new persona name, published to the backend for the other players.
    void Rename(const std::string& name);
    IOnlineBackend& Backend() { return *m_backend; }
    // Where backend work that the frame must not wait on goes (the lobby directory, persona
    // names); its completions run inside PollClient.
    BackendWorker& Worker() { return *m_worker; }
    IEventSink& Sink() { return m_sink; }

    ISteamMatchmaking* Matchmaking();
    ISteamNetworking* Networking();
    // Null until InitGameServer succeeded.
    ISteamGameServer* GameServer();
    ISteamGameServerNetworking* GameServerNetworking();
    ISteamMasterServerUpdater* MasterServerUpdater();
    Leaderboards& Boards() { return m_boards; }
    LobbyEngine& Lobbies() { return *m_lobbies; }

    // Starts a new game server with a fresh id, ending the previous one.
    bool InitGameServer();
    // The pumps' polls: sockets, lobbies, announcements; events go to the sink.
    void PollClient();
    void PollServer();

    // The user's ticket for `server`: {u32 "QBTK", u64 user, u64 server, secret}. Its secret
    // reaches the server only through the lobby that published it (or directly, when this user
    // runs the server); one made in advance for the server is used first.
    int InitiateGameConnection(void* blob, int maxBytes, CSteamID server, uint32_t ip, uint16_t port);
    void TerminateGameConnection(uint32_t ip, uint16_t port);
    // A lobby this user is a member of published `server`: the ticket is made and sent to the
    // owner at once, so it is there before the connection to the server asks to be admitted.
    void PrepareTicket(uint64_t server);
    // A member's ticket secret, as the lobby's owner received it from the member's connection;
    // passed to the game server run here.
    void OfferTicket(uint64_t user, uint64_t server, const TicketSecret& secret);
    // "" for an unknown user; stays valid until the context ends.
    const char* PersonaOf(CSteamID user);
    bool IsUserInLobby(CSteamID user, CSteamID lobby);
    // Whether `user` may join the game server `server` run here: the host itself, or a member of
    // a lobby this user is in that published the server.
    bool IsMemberOfServerLobby(uint64_t user, uint64_t server);

    // For emitting typed records.
    template <typename P>
    void Emit(const P& record)
    {
        m_sink.Client(P::k_iCallback, &record, sizeof record);
    }
    template <typename P>
    void EmitServer(const P& record)
    {
        m_sink.Server(P::k_iCallback, &record, sizeof record);
    }
    template <typename P>
    SteamAPICall_t EmitResult(const P& record, bool ioFailure = false);
    template <typename P>
    void EmitResult(SteamAPICall_t call, const P& record, bool ioFailure = false)
    {
        m_sink.ClientResult(call, P::k_iCallback, &record, sizeof record, ioFailure);
    }

private:
    struct Ticket {
        uint64_t server = 0;
        TicketSecret secret{};
        bool used = false;       // given to the game by InitiateGameConnection
        bool delivered = false;  // its secret went to whoever runs the server
        uint32_t ip = 0;
        uint16_t port = 0;
    };
    // Hands the secret to whoever runs `server`: the own game server, or the owners of the
    // lobbies that published it; false when nobody is known to run it yet.
    bool DeliverTicket(uint64_t server, const TicketSecret& secret);
    // A fresh ticket for `server`, delivered when its runner is known.
    Ticket& NewTicket(uint64_t server);
    CSteamID m_self;
    std::string m_persona;
    std::unique_ptr<IOnlineBackend> m_backend;
    IEventSink& m_sink;
    LobbyEngine* m_lobbies = nullptr;  // owned; made and deleted by their source files
    SocketEngine* m_sockets = nullptr;
    Leaderboards m_boards;
    std::vector<Ticket> m_tickets;
    std::map<uint64_t, std::string> m_personaCache;
    std::map<uint64_t, int64_t> m_personaCheckedMs;
    std::unique_ptr<BackendWorker> m_worker;
};

// A fresh random nonzero 64-bit value.
uint64_t RandomId();
// Queues a new call handle (ClientState's counter).
SteamAPICall_t NextCall();

template <typename P>
SteamAPICall_t OnlineContext::EmitResult(const P& record, bool ioFailure)
{
    SteamAPICall_t call = NextCall();
    m_sink.ClientResult(call, P::k_iCallback, &record, sizeof record, ioFailure);
    return call;
}

// Lobby engine internals shared with the context.
LobbyEngine* MakeLobbyEngine(OnlineContext& context);
void DeleteLobbyEngine(LobbyEngine* engine);
ISteamMatchmaking* AsMatchmaking(LobbyEngine& engine);
void PollLobbies(LobbyEngine& engine);
const LobbyRecord* FindLobbyView(LobbyEngine& engine, uint64_t lobby);
// Lobbies this user is in (hosted or joined).
std::vector<const LobbyRecord*> JoinedLobbies(LobbyEngine& engine);
// Sends a ticket secret for `server` to the owners of the joined lobbies that published it;
// false when no joined lobby did.
bool SendTicketToOwners(LobbyEngine& engine, uint64_t server, const TicketSecret& secret);
// For the fuzz target of a member's side of the lobby protocol, without a socket: as if this
// user had asked to join `lobby` and its owner then sent `frames`, up to the first that breaks
// the protocol. A lobby the frames entered stays joined for the caller to look at.
void ReplayOwnerFrames(LobbyEngine& engine, const LobbyRecord& lobby, const std::vector<Bytes>& frames);
// For the fuzz target of the owner's side, without sockets: this user hosts `lobby`, and each
// frame arrives from the connection of guest `from % kReplayGuests`; a guest whose frame breaks the
// protocol is dropped as a live one would be and sends nothing more. The lobby stays hosted
// for the caller to look at.
constexpr size_t kReplayGuests = 4;
struct GuestFrame {
    uint8_t from = 0;
    Bytes frame;
};
void ReplayGuestFrames(LobbyEngine& engine, const LobbyRecord& lobby, const std::vector<GuestFrame>& frames);

SocketEngine* MakeSocketEngine(OnlineContext& context);
void DeleteSocketEngine(SocketEngine* engine);
ISteamNetworking* AsNetworking(SocketEngine& engine);
ISteamGameServer* AsGameServer(SocketEngine& engine);
ISteamGameServerNetworking* AsGameServerNetworking(SocketEngine& engine);
ISteamMasterServerUpdater* AsMasterServerUpdater(SocketEngine& engine);
bool StartGameServer(SocketEngine& engine);
// The id of the game server run here, 0 when none runs.
uint64_t RunningServerId(SocketEngine& engine);
void OfferServerTicket(SocketEngine& engine, uint64_t user, uint64_t server, const TicketSecret& secret);
void PollClientSockets(SocketEngine& engine);
void PollServerSockets(SocketEngine& engine);

} // namespace platform::steam
