// The testing hooks of online play: a simulated second user with recorded events, and lobbies
// announced in the directory without an owner process.
#include "ClientState.h"
#include "LobbyProtocol.h"
#include "steam/SteamTesting.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <sys/resource.h>
#include <thread>

namespace platform::steam {

namespace {

class RecordingSink final : public IEventSink {
public:
    void Client(int id, const void* payload, size_t bytes) override { Add(id, 0, false, false, payload, bytes); }
    void ClientResult(SteamAPICall_t call, int id, const void* payload, size_t bytes, bool ioFailure) override
    {
        Add(id, call, ioFailure, false, payload, bytes);
    }
    void Server(int id, const void* payload, size_t bytes) override { Add(id, 0, false, true, payload, bytes); }
    std::vector<OnlinePeer::Event> events;

private:
    void Add(int id, SteamAPICall_t call, bool ioFailure, bool server, const void* payload, size_t bytes)
    {
        OnlinePeer::Event event;
        event.id = id;
        event.call = call;
        event.ioFailure = ioFailure;
        event.gameServer = server;
        const auto* begin = static_cast<const uint8_t*>(payload);
        event.payload.assign(begin, begin + bytes);
        events.push_back(std::move(event));
    }
};

std::vector<uint64_t>& Announced()
{
    static std::vector<uint64_t> ids;
    return ids;
}

} // namespace

struct OnlinePeer::Impl {
    RecordingSink sink;
    std::unique_ptr<OnlineContext> context;
};

OnlinePeer::OnlinePeer(uint64_t id, const std::string& personaName) : m_impl(std::make_unique<Impl>())
{
    std::lock_guard guard(State().lock);
    m_impl->context = std::make_unique<OnlineContext>(CSteamID(id), personaName, MakeBackendFromEnvironment(),
                                                      m_impl->sink);
}

OnlinePeer::~OnlinePeer()
{
    std::lock_guard guard(State().lock);
    m_impl->context.reset();
}

CSteamID OnlinePeer::Id() const
{
    return m_impl->context->Self();
}

ISteamMatchmaking* OnlinePeer::Matchmaking()
{
    return m_impl->context->Matchmaking();
}

ISteamNetworking* OnlinePeer::Networking()
{
    return m_impl->context->Networking();
}

ISteamGameServer* OnlinePeer::GameServer()
{
    return m_impl->context->GameServer();
}

ISteamGameServerNetworking* OnlinePeer::GameServerNetworking()
{
    return m_impl->context->GameServerNetworking();
}

bool OnlinePeer::StartGameServer()
{
    std::lock_guard guard(State().lock);
    return m_impl->context->InitGameServer();
}

int OnlinePeer::InitiateGameConnection(void* blob, int maxBytes, CSteamID server)
{
    std::lock_guard guard(State().lock);
    return m_impl->context->InitiateGameConnection(blob, maxBytes, server, 0, 0);
}

const char* OnlinePeer::PersonaOf(CSteamID user)
{
    std::lock_guard guard(State().lock);
    return m_impl->context->PersonaOf(user);
}

SteamAPICall_t OnlinePeer::FindOrCreateLeaderboard(const char* name, ELeaderboardSortMethod sort,
                                                   ELeaderboardDisplayType display)
{
    std::lock_guard guard(State().lock);
    return m_impl->context->Boards().FindOrCreateLeaderboard(name, sort, display);
}

SteamAPICall_t OnlinePeer::UploadLeaderboardScore(SteamLeaderboard_t board, ELeaderboardUploadScoreMethod method,
                                                  int32_t score)
{
    std::lock_guard guard(State().lock);
    return m_impl->context->Boards().UploadLeaderboardScore(board, method, score);
}

SteamAPICall_t OnlinePeer::DownloadLeaderboardEntries(SteamLeaderboard_t board, ELeaderboardDataRequest request,
                                                      int start, int end)
{
    std::lock_guard guard(State().lock);
    return m_impl->context->Boards().DownloadLeaderboardEntries(board, request, start, end);
}

bool OnlinePeer::GetDownloadedLeaderboardEntry(SteamLeaderboardEntries_t entries, int index, LeaderboardEntry_t* entry)
{
    std::lock_guard guard(State().lock);
    return m_impl->context->Boards().GetDownloadedLeaderboardEntry(entries, index, entry, nullptr, 0);
}

int OnlinePeer::GetLeaderboardEntryCount(SteamLeaderboard_t board)
{
    std::lock_guard guard(State().lock);
    return m_impl->context->Boards().GetLeaderboardEntryCount(board);
}

std::vector<OnlinePeer::Event> OnlinePeer::Pump()
{
    std::lock_guard guard(State().lock);
    m_impl->context->PollClient();
    m_impl->context->PollServer();
    std::vector<Event> events;
    events.swap(m_impl->sink.events);
    return events;
}

namespace {

// Stands in for the owners of announced lobbies, each on a listener of its own as real owners
// are: answers a probe and closes every other connection (a join finds nobody to serve it).
class DirectoryOwners {
public:
    ~DirectoryOwners() { Stop(); }
    // A listener for `id`; the port, 0 when none could be opened.
    uint16_t Add(uint64_t id)
    {
        std::lock_guard guard(m_mutex);
        if (!m_thread.joinable()) {
            // Hundreds of announced lobbies are as many listeners.
            rlimit limit{};
            if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
                limit.rlim_cur = limit.rlim_max;
                ::setrlimit(RLIMIT_NOFILE, &limit);
            }
            m_stop = false;
            m_thread = std::thread([this] { Serve(); });
        }
        Listener listener;
        if (!listener.Open(kLoopback, 0))
            return 0;
        uint16_t port = listener.Port();
        m_owners.push_back({std::move(listener), id});
        return port;
    }
    void Stop()
    {
        if (m_thread.joinable()) {
            m_stop = true;
            m_thread.join();
        }
        std::lock_guard guard(m_mutex);
        m_owners.clear();
    }

private:
    struct Owner {
        Listener listener;
        uint64_t id;
    };
    struct Asked {
        Connection connection;
        uint64_t id;
    };
    void Serve()
    {
        std::vector<Asked> connections;
        while (!m_stop) {
            {
                std::lock_guard guard(m_mutex);
                for (Owner& owner : m_owners)
                    while (std::optional<Connection> accepted = owner.listener.Accept())
                        connections.push_back({std::move(*accepted), owner.id});
            }
            for (Asked& asked : connections) {
                asked.connection.Pump();
                Bytes frame;
                if (!asked.connection.Receive(frame))
                    continue;
                WireReader in(frame);
                uint8_t kind = 0;
                uint64_t id = 0;
                if (in.U8(kind) && kind == kLobbyProbe && in.U64(id)) {
                    WireWriter out;
                    out.U8(kLobbyAlive);
                    out.U64(id);
                    out.U8(id == asked.id ? 1 : 0);
                    asked.connection.Send(out.Data());
                }
                asked.connection.Close();
            }
            std::erase_if(connections, [](const Asked& asked) { return !asked.connection.Usable(); });
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<Owner> m_owners;
};

DirectoryOwners& Owners()
{
    static DirectoryOwners owners;
    return owners;
}

} // namespace

int AnnounceDirectoryLobbies(int count, const std::string& key, const std::string& value)
{
    std::unique_ptr<IOnlineBackend> backend = MakeBackendFromEnvironment();
    int announced = 0;
    for (int i = 0; i < count; ++i) {
        LobbyRecord lobby;
        lobby.id = RandomId();
        lobby.owner = RandomId();
        lobby.type = k_ELobbyTypePublic;
        lobby.limit = 2;
        lobby.ip = kLoopback;
        lobby.port = Owners().Add(lobby.id);
        lobby.data[key] = value;
        lobby.data["name"] = "Lobby " + std::to_string(i);
        lobby.members.push_back({lobby.owner, "Owner " + std::to_string(i), {}});
        if (lobby.port != 0 && backend->PublishLobby(lobby)) {
            Announced().push_back(lobby.id);
            ++announced;
        }
    }
    return announced;
}

void WithdrawDirectoryLobbies()
{
    std::unique_ptr<IOnlineBackend> backend = MakeBackendFromEnvironment();
    for (uint64_t id : Announced())
        backend->WithdrawLobby(id);
    Announced().clear();
    Owners().Stop();
}

} // namespace platform::steam
