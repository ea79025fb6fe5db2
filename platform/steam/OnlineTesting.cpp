// The testing hooks of online play: a simulated second user with recorded events, and lobbies
// announced in the directory without an owner process.
#include "ClientState.h"
#include "steam/SteamTesting.h"

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
        lobby.port = 9;  // nobody serves it
        lobby.data[key] = value;
        lobby.data["name"] = "Lobby " + std::to_string(i);
        lobby.members.push_back({lobby.owner, "Owner " + std::to_string(i), {}});
        if (backend->PublishLobby(lobby)) {
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
}

} // namespace platform::steam
