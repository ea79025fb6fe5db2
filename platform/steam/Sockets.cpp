// Networking sockets and the game server. Every socket is a TCP connection carrying frames;
// the first frame from a client is its hello {u32 "QBGS", u64 user, u64 server id or 0}, which
// the game server checks before the socket counts as connected. Every later frame is one
// message of the game. State changes reach the owning pump as SocketStatusCallback_t:
// 1 connected, 23 connect timed out, 24 the remote end closed, 25 the connection broke.
// The game server gets a fresh id at every start and enters it in the backend's server
// directory with its listen port; clients find it there by id.
// Admission: a ticket {u32 "QBTK", u64 user, u64 server, 16-byte secret} is admitted when the
// user is the host or a current member of a lobby that published the server, is not admitted
// already, and the secret is the one the user's own program sent through that lobby's
// connection (OfferTicket). A ticket whose secret has not arrived yet waits for it a few
// seconds, one claim per user; each secret admits once.
// Bounds, so that nobody outside a match can freeze or exhaust it: each pump reads at most
// kMaxReadPerPump bytes and kMaxFramesPerPump frames of a connection (Wire.h), and hands the game
// at most kMaxHandedFrames messages and kMaxHandedBytes bytes of each connection per frame; a
// game server keeps at most kMaxServerConnections connections, letting strangers go first (the
// oldest that has not said hello, then those whose hello names nobody in the lobby) and never a
// connection that was admitted or that the host opened; a connection not admitted within
// kAdmitTimeoutMs is closed. Game connections send an empty frame after a second without
// traffic and are dropped after kSilenceMs without hearing anything.
// Left out:    the listing of game servers (ISteamMasterServerUpdater::SetActive and
//              SetBasicServerData, ISteamGameServer::UpdateServerStatus and BUpdateUserData):
//              nothing in the game reads a server list, since a lobby finds its server by id.
//              Each logs once; BUpdateUserData returns false.
#include "ClientState.h"
#include "Online.h"

#include "win32/Debug.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

namespace platform::steam {

namespace {

// The game may call from its loader thread while the main thread pumps: every call holds the
// process lock, which the pump holds too.
std::unique_lock<std::recursive_mutex> HoldState()
{
    return std::unique_lock(State().lock);
}

constexpr uint32_t kHelloMagic = 0x53474251;   // "QBGS"
constexpr uint32_t kTicketMagic = 0x4B544251;  // "QBTK"
constexpr size_t kTicketBytes = 4 + 8 + 8 + kTicketSecretBytes;
// How long a ticket waits for its secret to come through the lobby: the member sends it when the
// server is published, long before its connection asks to be admitted, so this only covers
// a slow lobby connection.
constexpr int64_t kTicketWaitMs = 5000;
// Connections per game server: a match needs two, a reconnect or two more; the rest is room for
// strangers to be turned away without touching the process's descriptor limit (1024).
constexpr size_t kMaxServerConnections = 32;
// Of them, at most this many still to say hello, and this many whose hello names someone outside
// the lobby; past either the oldest is let go.
constexpr size_t kMaxUnhelloed = 16;
constexpr size_t kMaxStrangers = 8;
// Connections naming one player that are not admitted; past this the oldest is let go.
constexpr size_t kMaxUnadmittedPerUser = 2;
// A real client is admitted within a second or two of connecting, across the internet too.
constexpr int64_t kAdmitTimeoutMs = 5000;
// Keep-alive of game connections: an empty frame after a second without traffic, and a peer not
// heard for 10 s is gone (a stopped process, a pulled cable).
constexpr int64_t kKeepAliveMs = 1000;
constexpr int64_t kSilenceMs = 10000;
// What the game is handed of one connection per frame: a player sends one block a frame.
constexpr size_t kMaxHandedFrames = 64;
constexpr size_t kMaxHandedBytes = 256 * 1024;
constexpr uint16_t kListenPortTries = 16;

// Client and server handles come from one counter, so they never collide in a process.
uint32_t NextSocketHandle()
{
    static std::atomic<uint32_t> last{0};
    uint32_t handle = ++last;
    return handle == 0 ? ++last : handle;
}

// One line on the debugger output; a line repeated within a second is said once with its count.
void Log(const char* what, const std::string& detail = {})
{
    std::string line = std::string("[platform] game socket: ") + what + (detail.empty() ? "" : ": ") + detail;
    OutputDebugStringA(line.c_str());
}

int ClosedState(const Connection& connection)
{
    return connection.GetState() == Connection::State::Closed ? k_ESNetSocketStateRemoteEndDisconnected
                                                               : k_ESNetSocketStateConnectionBroken;
}

// What the game took of one connection in the current frame.
struct Handed {
    size_t frames = 0;
    size_t bytes = 0;
    bool Spent() const { return frames >= kMaxHandedFrames || bytes >= kMaxHandedBytes; }
    void Take(size_t size)
    {
        ++frames;
        bytes += size;
    }
};

struct ClientSocket {
    Connection connection;
    int state = k_ESNetSocketStateInitiated;
    uint64_t server = 0;  // the id asked for, 0 for a plain address
    int64_t deadlineMs = 0;
    Handed handed;
};

struct Accepted {
    Connection connection;
    uint64_t user = 0;
    bool greeted = false;
    bool member = false;    // the hello named the host or a member of the server's lobby
    bool admitted = false;  // a ticket was admitted on this connection
    int state = k_ESNetSocketStateInitiated;
    int64_t sinceMs = 0;
    Handed handed;
    bool Live() const { return state == k_ESNetSocketStateInitiated || state == k_ESNetSocketStateConnected; }
};

} // namespace

class SocketEngine final : public ISteamNetworking,
                           public ISteamGameServer,
                           public ISteamGameServerNetworking,
                           public ISteamMasterServerUpdater {
public:
    explicit SocketEngine(OnlineContext& context) : m_context(context) {}
    ~SocketEngine() override { EndServer(); }

    // ---- client sockets ----

    SNetSocket_t CreateConnectionSocket(uint32_t ip, uint16_t port, int timeoutSeconds) override
    {
        auto hold = HoldState();
        if (port == 0)
            return 0;
        return Open(ip, port, 0, timeoutSeconds);
    }

    SNetSocket_t CreateP2PConnectionSocket(CSteamID target, int /*virtualPort*/, int timeoutSeconds,
                                           bool /*allowRelay*/) override
    {
        auto hold = HoldState();
        uint32_t ip = 0;
        uint16_t port = 0;
        if (!target.IsValid())
            return 0;
        if (!m_context.Backend().FindServer(target.ConvertToUint64(), ip, port)) {
            // Unknown server: a socket that reports a broken connection in the next pump.
            SNetSocket_t handle = NextSocketHandle();
            ClientSocket& socket = m_clients[handle];
            socket.server = target.ConvertToUint64();
            socket.state = k_ESNetSocketStateConnectionBroken;
            EmitClientState(handle, socket.server, socket.state);
            Log("no game server with that id");
            return handle;
        }
        return Open(ip, port, target.ConvertToUint64(), timeoutSeconds);
    }

    bool DestroySocket(SNetSocket_t socket, bool /*notifyRemoteEnd*/) override
    {
        auto hold = HoldState();
        if (auto client = m_clients.find(socket); client != m_clients.end()) {
            client->second.connection.Close();
            m_clients.erase(client);
            return true;
        }
        if (auto accepted = m_accepted.find(socket); accepted != m_accepted.end()) {
            accepted->second.connection.Close();
            m_accepted.erase(accepted);
            return true;
        }
        return false;
    }

    bool SendDataOnSocket(SNetSocket_t socket, const void* data, uint32_t bytes, bool /*reliable*/) override
    {
        auto hold = HoldState();
        if (bytes > 0 && !data)
            return false;
        Connection* connection = nullptr;
        if (auto client = m_clients.find(socket); client != m_clients.end() &&
                                                  client->second.state == k_ESNetSocketStateConnected)
            connection = &client->second.connection;
        else if (auto accepted = m_accepted.find(socket); accepted != m_accepted.end() &&
                                                          accepted->second.state == k_ESNetSocketStateConnected)
            connection = &accepted->second.connection;
        if (!connection)
            return false;
        return connection->Send(static_cast<const uint8_t*>(data), bytes);
    }

    bool IsDataAvailableOnSocket(SNetSocket_t socket, uint32_t* bytes) override
    {
        auto hold = HoldState();
        auto client = m_clients.find(socket);
        if (client == m_clients.end() || client->second.handed.Spent())
            return false;
        std::optional<size_t> size = client->second.connection.PeekSize();
        if (!size)
            return false;
        if (bytes)
            *bytes = static_cast<uint32_t>(*size);
        return true;
    }

    bool RetrieveDataFromSocket(SNetSocket_t socket, void* dest, uint32_t maxBytes, uint32_t* bytes) override
    {
        auto hold = HoldState();
        auto client = m_clients.find(socket);
        if (client == m_clients.end() || client->second.handed.Spent())
            return false;
        return Take(client->second.connection, client->second.handed, dest, maxBytes, bytes);
    }

    bool GetSocketInfo(SNetSocket_t socket, CSteamID* remote, int* state, uint32_t* ip, uint16_t* port) override
    {
        auto hold = HoldState();
        const Connection* connection = nullptr;
        uint64_t remoteId = 0;
        int socketState = 0;
        if (auto client = m_clients.find(socket); client != m_clients.end()) {
            connection = &client->second.connection;
            remoteId = client->second.server;
            socketState = client->second.state;
        } else if (auto accepted = m_accepted.find(socket); accepted != m_accepted.end()) {
            connection = &accepted->second.connection;
            remoteId = accepted->second.user;
            socketState = accepted->second.state;
        } else {
            return false;
        }
        if (remote)
            *remote = CSteamID(remoteId);
        if (state)
            *state = socketState;
        if (ip)
            *ip = connection->PeerIp();
        if (port)
            *port = connection->PeerPort();
        return true;
    }

    // ---- the game server ----

    bool Start()
    {
        EndServer();
        m_serverId = RandomId();
        m_loggedOn = true;
        m_context.EmitServer(SteamServersConnected_t{});
        GSPolicyResponse_t policy{};
        policy.m_bSecure = 0;
        m_context.EmitServer(policy);
        return true;
    }

    bool Running() const { return m_serverId != 0; }

    CSteamID GetSteamID() override { return CSteamID(m_loggedOn ? m_serverId : 0); }
    bool BLoggedOn() override { return m_loggedOn; }
    bool BSecure() override { return false; }

    bool SendUserConnectAndAuthenticate(uint32_t /*clientIp*/, const void* ticket, uint32_t bytes,
                                        CSteamID* user) override
    {
        auto hold = HoldState();
        if (!ticket || bytes != kTicketBytes || !m_loggedOn)
            return false;
        WireReader in(static_cast<const uint8_t*>(ticket), bytes);
        uint32_t magic = 0;
        uint64_t claimed = 0, server = 0;
        Bytes secretBytes;
        if (!in.U32(magic) || magic != kTicketMagic || !in.U64(claimed) || !in.U64(server) ||
            !in.Raw(secretBytes, kTicketSecretBytes) || !in.AtEnd() || claimed == 0)
            return false;
        if (user)
            *user = CSteamID(claimed);
        TicketSecret secret{};
        std::copy(secretBytes.begin(), secretBytes.end(), secret.begin());
        // The game asks right after it took the request from its connection: that connection
        // is the one admitted, and its hello must have named the ticket's user.
        SNetSocket_t socket = m_accepted.count(m_lastHandedFrom) ? m_lastHandedFrom : 0;
        if (socket != 0 && m_accepted[socket].user != claimed) {
            Log("a ticket is refused", "the ticket is not of the connection's user");
            return false;
        }
        // Refused at once: another server's ticket, someone outside the lobby, a player admitted
        // already or whose other claim is under way.
        const char* refusal = nullptr;
        if (server != m_serverId)
            refusal = "the ticket is for another game server";
        else if (!m_context.IsMemberOfServerLobby(claimed, m_serverId))
            refusal = "the ticket's user is not in the lobby";
        else if (std::find(m_admitted.begin(), m_admitted.end(), claimed) != m_admitted.end() ||
                 std::any_of(m_claims.begin(), m_claims.end(), [&](const Claim& c) { return c.user == claimed; }))
            refusal = "the ticket's user is admitted already";
        if (refusal) {
            Log("a ticket is refused", refusal);
            return false;
        }
        auto offered = m_offered.find(claimed);
        if (offered == m_offered.end()) {
            // The host's own client hands its secret over before it asks, so a claim in the
            // host's name without one is forged; a member's may still be on its way.
            if (claimed == m_context.Self().ConvertToUint64()) {
                Log("a ticket in the host's name is refused");
                return false;
            }
            m_claims.push_back({claimed, secret, NowMs(), socket});
            return true;
        }
        if (!SameSecret(offered->second, secret)) {
            Log("a ticket with a wrong secret is refused");
            return false;
        }
        Admit(claimed, socket);
        return true;
    }

    void OfferTicket(uint64_t user, uint64_t server, const TicketSecret& secret)
    {
        if (!m_loggedOn || server != m_serverId || user == 0)
            return;
        auto claim = std::find_if(m_claims.begin(), m_claims.end(), [&](const Claim& c) { return c.user == user; });
        if (claim == m_claims.end()) {
            // The latest secret of each member; members are few, so this stays small.
            m_offered[user] = secret;
            return;
        }
        bool same = SameSecret(claim->secret, secret);
        SNetSocket_t socket = claim->socket;
        m_claims.erase(claim);
        if (same) {
            Admit(user, socket);
            return;
        }
        // Someone claimed this member with a secret that is not the member's.
        m_offered[user] = secret;
        Deny(user, "the ticket's secret is not the member's");
    }

    void SendUserDisconnect(CSteamID user) override
    {
        auto hold = HoldState();
        std::erase(m_admitted, user.ConvertToUint64());
        std::erase_if(m_claims, [&](const Claim& c) { return c.user == user.ConvertToUint64(); });
    }
    void UpdateServerStatus(int, int, int, const char*, const char*, const char*) override
    {
        platform::LogOnce("ISteamGameServer::UpdateServerStatus: there is no server list; the status is not kept");
    }
    bool BUpdateUserData(CSteamID, const char*, uint32_t) override
    {
        platform::LogOnce("ISteamGameServer::BUpdateUserData: there is no server list; the player data is not kept");
        return false;
    }

    void LogOff() override
    {
        auto hold = HoldState();
        if (!m_loggedOn)
            return;
        m_loggedOn = false;
        m_context.Backend().WithdrawServer(m_serverId);
        SteamServersDisconnected_t disconnected{};
        disconnected.m_eResult = k_EResultOK;
        m_context.EmitServer(disconnected);
    }

    SNetListenSocket_t CreateListenSocket(int /*virtualPort*/, uint32_t /*ip*/, uint16_t port,
                                          bool /*allowRelay*/) override
    {
        auto hold = HoldState();
        if (!m_loggedOn)
            return 0;
        CloseListen();
        IOnlineBackend& backend = m_context.Backend();
        if (!m_listener.Open(backend.BindIp(), port, port == 0 ? 1 : kListenPortTries)) {
            Log("no free port for the game server", std::to_string(port));
            return 0;
        }
        m_listenHandle = NextSocketHandle();
        if (!backend.PublishServer(m_serverId, backend.AdvertisedIp(), m_listener.Port()))
            Log("the game server could not be entered in the directory");
        return m_listenHandle;
    }

    bool DestroyListenSocket(SNetListenSocket_t socket, bool /*notifyRemoteEnd*/) override
    {
        auto hold = HoldState();
        if (socket == 0 || socket != m_listenHandle)
            return false;
        CloseListen();
        return true;
    }

    bool IsDataAvailable(SNetListenSocket_t socket, uint32_t* bytes, SNetSocket_t* from) override
    {
        auto hold = HoldState();
        if (socket == 0 || socket != m_listenHandle)
            return false;
        // What arrived is read once a frame, by the game server's pump; here it is only handed
        // out, each connection's share at most.
        for (auto& [handle, accepted] : m_accepted)
            if (accepted.greeted && !accepted.handed.Spent())
                if (std::optional<size_t> size = accepted.connection.PeekSize()) {
                    if (bytes)
                        *bytes = static_cast<uint32_t>(*size);
                    if (from)
                        *from = handle;
                    return true;
                }
        return false;
    }

    bool RetrieveData(SNetListenSocket_t socket, void* dest, uint32_t maxBytes, uint32_t* bytes,
                      SNetSocket_t* from) override
    {
        auto hold = HoldState();
        SNetSocket_t handle = 0;
        if (!IsDataAvailable(socket, nullptr, &handle))
            return false;
        if (from)
            *from = handle;
        m_lastHandedFrom = handle;
        Accepted& accepted = m_accepted[handle];
        return Take(accepted.connection, accepted.handed, dest, maxBytes, bytes);
    }

    bool GetListenSocketInfo(SNetListenSocket_t socket, uint32_t* ip, uint16_t* port) override
    {
        auto hold = HoldState();
        if (socket == 0 || socket != m_listenHandle)
            return false;
        if (ip)
            *ip = m_context.Backend().AdvertisedIp();
        if (port)
            *port = m_listener.Port();
        return true;
    }

    void SetActive(bool) override
    {
        platform::LogOnce("ISteamMasterServerUpdater::SetActive: there is no server list to appear in");
    }
    void SetBasicServerData(uint16_t, bool, const char*, const char*, uint16_t, bool, const char*) override
    {
        platform::LogOnce("ISteamMasterServerUpdater::SetBasicServerData: there is no server list; the data is not kept");
    }

    // ---- pumps ----

    void PollClients()
    {
        for (auto& [handle, socket] : m_clients) {
            socket.handed = {};
            PumpClient(handle, socket);
        }
    }

    void PumpServer()
    {
        ExpireClaims();
        if (!m_listener.IsOpen())
            return;
        // Every waiting connection is taken in, so the kernel's queue never holds a player back;
        // the caps then let strangers go first.
        for (size_t n = 0; n < kMaxServerConnections; ++n) {
            std::optional<Connection> connection = m_listener.Accept();
            if (!connection)
                break;
            SNetSocket_t handle = NextSocketHandle();
            Accepted& accepted = m_accepted[handle];
            accepted.connection = std::move(*connection);
            accepted.connection.KeepAlive(kKeepAliveMs, kSilenceMs);
            accepted.sinceMs = NowMs();
            MakeRoom(handle);
        }
        const int64_t now = NowMs();
        for (auto& [handle, accepted] : m_accepted) {
            accepted.handed = {};
            if (!accepted.Live())
                continue;
            accepted.connection.Pump();
            if (!accepted.greeted) {
                Bytes hello;
                if (accepted.connection.Receive(hello) && !Greet(handle, accepted, hello)) {
                    Drop(handle, accepted);
                    continue;
                }
            }
            if (accepted.Live() && !accepted.admitted && now - accepted.sinceMs > kAdmitTimeoutMs) {
                Log("a connection that was not admitted in time is closed");
                Drop(handle, accepted);
                continue;
            }
            if (accepted.Live() && !accepted.connection.Usable()) {
                if (accepted.connection.GetState() == Connection::State::Failed)
                    Log("a client's connection failed", accepted.connection.Reason());
                Drop(handle, accepted, ClosedState(accepted.connection));
            }
        }
        // A connection that is gone and whose messages were all taken is forgotten.
        std::erase_if(m_accepted, [](const auto& entry) {
            return !entry.second.Live() && !entry.second.connection.PeekSize();
        });
    }

private:
    struct Claim {
        uint64_t user = 0;
        TicketSecret secret{};
        int64_t sinceMs = 0;
        SNetSocket_t socket = 0;  // the connection that asked, 0 when unknown
    };

    static bool SameSecret(const TicketSecret& a, const TicketSecret& b)
    {
        uint8_t difference = 0;
        for (size_t i = 0; i < a.size(); ++i)
            difference |= static_cast<uint8_t>(a[i] ^ b[i]);
        return difference == 0;
    }

    void Admit(uint64_t user, SNetSocket_t socket)
    {
        m_offered.erase(user);
        m_admitted.push_back(user);
        if (auto accepted = m_accepted.find(socket); accepted != m_accepted.end())
            accepted->second.admitted = true;
        GSClientApprove_t approve{};
        approve.m_SteamID = CSteamID(user);
        m_context.EmitServer(approve);
    }

    void Deny(uint64_t user, const char* why)
    {
        Log("a ticket is refused", why);
        GSClientDeny_t deny{};
        deny.m_SteamID = CSteamID(user);
        deny.m_eDenyReason = k_EDenyGeneric;
        std::snprintf(deny.m_rgchOptionalText, sizeof deny.m_rgchOptionalText, "%s", why);
        m_context.EmitServer(deny);
    }

    // Claims whose secret never came, or whose member left the lobby, are refused.
    void ExpireClaims()
    {
        const int64_t now = NowMs();
        for (size_t i = 0; i < m_claims.size();) {
            const Claim claim = m_claims[i];
            if (now - claim.sinceMs <= kTicketWaitMs && m_context.IsMemberOfServerLobby(claim.user, m_serverId)) {
                ++i;
                continue;
            }
            m_claims.erase(m_claims.begin() + static_cast<std::ptrdiff_t>(i));
            Deny(claim.user, "no ticket came through the lobby");
        }
    }

    SNetSocket_t Open(uint32_t ip, uint16_t port, uint64_t server, int timeoutSeconds)
    {
        SNetSocket_t handle = NextSocketHandle();
        ClientSocket& socket = m_clients[handle];
        socket.server = server;
        socket.connection = Connection::Connect(ip, port);
        socket.connection.KeepAlive(kKeepAliveMs, kSilenceMs);
        socket.deadlineMs = NowMs() + std::clamp(timeoutSeconds, 1, 600) * int64_t{1000};
        WireWriter hello;
        hello.U32(kHelloMagic);
        hello.U64(m_context.Self().ConvertToUint64());
        hello.U64(server);
        socket.connection.Send(hello.Data());
        if (socket.connection.GetState() == Connection::State::Failed) {
            socket.state = k_ESNetSocketStateConnectionBroken;
            EmitClientState(handle, server, socket.state);
        }
        return handle;
    }

    void PumpClient(SNetSocket_t handle, ClientSocket& socket)
    {
        if (socket.state != k_ESNetSocketStateInitiated && socket.state != k_ESNetSocketStateConnected)
            return;
        socket.connection.Pump();
        Connection::State state = socket.connection.GetState();
        if (socket.state == k_ESNetSocketStateInitiated) {
            if (state == Connection::State::Open) {
                socket.state = k_ESNetSocketStateConnected;
                EmitClientState(handle, socket.server, socket.state);
            } else if (state == Connection::State::Connecting && NowMs() > socket.deadlineMs) {
                socket.connection.Close();
                socket.state = k_ESNetSocketStateTimeoutDuringConnect;
                EmitClientState(handle, socket.server, socket.state);
                return;
            }
        }
        if (!socket.connection.Usable()) {
            if (state == Connection::State::Failed)
                Log("the connection failed", socket.connection.Reason());
            socket.state = ClosedState(socket.connection);
            EmitClientState(handle, socket.server, socket.state);
        }
    }

    bool Greet(SNetSocket_t handle, Accepted& accepted, const Bytes& hello)
    {
        WireReader in(hello);
        uint32_t magic = 0;
        uint64_t user = 0, server = 0;
        if (!in.U32(magic) || magic != kHelloMagic || !in.U64(user) || !in.U64(server) || !in.AtEnd() || user == 0) {
            Log("a connection sent garbage instead of a hello and is dropped");
            return false;
        }
        if (server != 0 && server != m_serverId) {
            Log("a connection asked for another game server and is dropped");
            return false;
        }
        accepted.user = user;
        accepted.greeted = true;
        accepted.member = m_context.IsMemberOfServerLobby(user, m_serverId);
        accepted.state = k_ESNetSocketStateConnected;
        EmitServerState(handle, user, accepted.state);
        MakeRoom(handle);
        return true;
    }

    // Closes a connection; the game hears of it when it knew of it (after the hello).
    void Drop(SNetSocket_t handle, Accepted& accepted, int state = k_ESNetSocketStateConnectionBroken)
    {
        if (!accepted.Live())
            return;
        accepted.connection.Close();
        accepted.state = accepted.greeted ? state : k_ESNetSocketStateDisconnecting;
        if (accepted.greeted)
            EmitServerState(handle, accepted.user, accepted.state);
    }

    // Keeps the connections within their caps after `newest` came or said hello: the oldest
    // connection of the crowd over its cap goes. A connection the game admitted, or one whose
    // hello names the host or a member, is never let go for a stranger's.
    void MakeRoom(SNetSocket_t newest)
    {
        const Accepted& fresh = m_accepted[newest];
        auto count = [&](const std::function<bool(const Accepted&)>& in) {
            return static_cast<size_t>(std::count_if(m_accepted.begin(), m_accepted.end(), [&](const auto& entry) {
                return entry.second.Live() && in(entry.second);
            }));
        };
        auto dropOldest = [&](const std::function<bool(const Accepted&)>& in, const char* why) {
            for (auto& [handle, accepted] : m_accepted)  // handles grow with time: oldest first
                if (accepted.Live() && !accepted.admitted && in(accepted)) {
                    Log(why);
                    Drop(handle, accepted);
                    return true;
                }
            return false;
        };
        auto unhelloed = [](const Accepted& a) { return !a.greeted; };
        auto stranger = [](const Accepted& a) { return a.greeted && !a.member; };
        const uint64_t user = fresh.user;
        auto sameUser = [user](const Accepted& a) { return a.greeted && a.member && a.user == user; };
        if (count(unhelloed) > kMaxUnhelloed)
            dropOldest(unhelloed, "too many connections without a hello; the oldest is closed");
        if (count(stranger) > kMaxStrangers)
            dropOldest(stranger, "too many connections from outside the lobby; the oldest is closed");
        if (fresh.greeted && fresh.member && count(sameUser) > kMaxUnadmittedPerUser + 1)
            dropOldest(sameUser, "too many connections in one player's name; the oldest is closed");
        while (count([](const Accepted&) { return true; }) > kMaxServerConnections) {
            if (!dropOldest(unhelloed, "the game server is full; a connection without a hello is closed") &&
                !dropOldest(stranger, "the game server is full; a connection from outside the lobby is closed") &&
                !(fresh.greeted && fresh.member &&
                  dropOldest([](const Accepted& a) { return a.greeted && a.member; },
                             "the game server is full; a player's spare connection is closed"))) {
                Accepted& last = m_accepted[newest];
                Log("the game server is full; a connection is refused");
                Drop(newest, last);
                return;
            }
        }
    }

    static bool Take(Connection& connection, Handed& handed, void* dest, uint32_t maxBytes, uint32_t* bytes)
    {
        std::optional<size_t> size = connection.PeekSize();
        if (!size || *size > maxBytes || (*size > 0 && !dest))
            return false;
        Bytes frame;
        connection.Receive(frame);
        handed.Take(frame.size());
        if (!frame.empty())
            std::memcpy(dest, frame.data(), frame.size());
        if (bytes)
            *bytes = static_cast<uint32_t>(frame.size());
        return true;
    }

    void EmitClientState(SNetSocket_t handle, uint64_t remote, int state)
    {
        SocketStatusCallback_t status{};
        status.m_hSocket = handle;
        status.m_steamIDRemote = CSteamID(remote);
        status.m_eSNetSocketState = state;
        m_context.Emit(status);
    }

    void EmitServerState(SNetSocket_t handle, uint64_t remote, int state)
    {
        SocketStatusCallback_t status{};
        status.m_hSocket = handle;
        status.m_hListenSocket = m_listenHandle;
        status.m_steamIDRemote = CSteamID(remote);
        status.m_eSNetSocketState = state;
        m_context.EmitServer(status);
    }

    void CloseListen()
    {
        for (auto& [handle, accepted] : m_accepted)
            accepted.connection.Close();
        m_accepted.clear();
        m_listener.Close();
        m_listenHandle = 0;
    }

    void EndServer()
    {
        CloseListen();
        if (m_serverId != 0)
            m_context.Backend().WithdrawServer(m_serverId);
        m_serverId = 0;
        m_loggedOn = false;
        m_admitted.clear();
        m_claims.clear();
        m_offered.clear();
    }

    OnlineContext& m_context;
    std::map<SNetSocket_t, ClientSocket> m_clients;
    uint64_t m_serverId = 0;
    bool m_loggedOn = false;
    Listener m_listener;
    SNetListenSocket_t m_listenHandle = 0;
    std::map<SNetSocket_t, Accepted> m_accepted;
    std::vector<uint64_t> m_admitted;
    SNetSocket_t m_lastHandedFrom = 0;             // the connection of the last message handed out
    std::vector<Claim> m_claims;                   // tickets waiting for their secret
    std::map<uint64_t, TicketSecret> m_offered;  // member -> the secret its program sent
};

SocketEngine* MakeSocketEngine(OnlineContext& context)
{
    return new SocketEngine(context);
}

void DeleteSocketEngine(SocketEngine* engine)
{
    delete engine;
}

ISteamNetworking* AsNetworking(SocketEngine& engine)
{
    return &engine;
}

ISteamGameServer* AsGameServer(SocketEngine& engine)
{
    return engine.Running() ? &engine : nullptr;
}

ISteamGameServerNetworking* AsGameServerNetworking(SocketEngine& engine)
{
    return engine.Running() ? &engine : nullptr;
}

ISteamMasterServerUpdater* AsMasterServerUpdater(SocketEngine& engine)
{
    return engine.Running() ? &engine : nullptr;
}

bool StartGameServer(SocketEngine& engine)
{
    return engine.Start();
}

void PollClientSockets(SocketEngine& engine)
{
    engine.PollClients();
}

void PollServerSockets(SocketEngine& engine)
{
    engine.PumpServer();
}

uint64_t RunningServerId(SocketEngine& engine)
{
    return engine.Running() ? engine.GetSteamID().ConvertToUint64() : 0;
}

void OfferServerTicket(SocketEngine& engine, uint64_t user, uint64_t server, const TicketSecret& secret)
{
    engine.OfferTicket(user, server, secret);
}

int MakeTicket(uint64_t user, uint64_t server, const TicketSecret& secret, uint8_t* out, size_t bytes)
{
    if (bytes < kTicketBytes)
        return 0;
    WireWriter ticket;
    ticket.U32(kTicketMagic);
    ticket.U64(user);
    ticket.U64(server);
    ticket.Raw(secret.data(), secret.size());
    std::memcpy(out, ticket.Data().data(), kTicketBytes);
    return static_cast<int>(kTicketBytes);
}

} // namespace platform::steam
