// One user's online services: the context tying lobbies, sockets, tickets, persona names and
// leaderboards to one backend and one event sink.
#include "Online.h"

#include "BackendWorker.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <sys/random.h>
#include <memory>
#include <optional>

namespace platform::steam {

// Writes the ticket {u32 "QBTK", u64 user, u64 server, secret}; its size, 0 when it does not fit.
int MakeTicket(uint64_t user, uint64_t server, const TicketSecret& secret, uint8_t* out, size_t bytes);

namespace {

constexpr int64_t kPersonaRecheckMs = 5000;
constexpr size_t kKeptDownloads = 16;
constexpr size_t kKeptTickets = 16;

} // namespace

TicketSecret MakeTicketSecret()
{
    TicketSecret secret{};
    size_t filled = 0;
    while (filled < secret.size()) {
        ssize_t got = ::getrandom(secret.data() + filled, secret.size() - filled, 0);
        if (got > 0)
            filled += static_cast<size_t>(got);
        else if (got < 0 && errno != EINTR)
            break;
    }
    if (filled < secret.size()) {
        // No system random source: the standard library's, so a ticket is still made.
        std::random_device device;
        for (uint8_t& byte : secret)
            byte = static_cast<uint8_t>(device());
    }
    return secret;
}

uint64_t RandomId()
{
    static std::mt19937_64 generator{std::random_device{}() ^ (static_cast<uint64_t>(std::random_device{}()) << 32)};
    uint64_t id = 0;
    while (id == 0)
        id = generator();
    return id;
}

OnlineContext::OnlineContext(CSteamID self, std::string personaName, std::unique_ptr<IOnlineBackend> backend,
                             IEventSink& sink)
    : m_self(self), m_persona(std::move(personaName)), m_backend(std::move(backend)), m_sink(sink), m_boards(*this)
{
    IOnlineBackend* shared = m_backend.get();
    m_worker = std::make_unique<BackendWorker>([shared] { return shared->Clone(); });
    m_lobbies = MakeLobbyEngine(*this);
    m_sockets = MakeSocketEngine(*this);
    m_worker->Post([user = m_self.ConvertToUint64(), name = m_persona](IOnlineBackend& backend) {
        backend.PublishPersona(user, name);
    });
}

void OnlineContext::Rename(const std::string& name)
{
    m_persona = name;
    m_backend->PublishPersona(m_self.ConvertToUint64(), m_persona);
}

OnlineContext::~OnlineContext()
{
    DeleteSocketEngine(m_sockets);
    DeleteLobbyEngine(m_lobbies);
    // What the engines left to the worker (withdrawals) is done before the backend goes.
    m_worker.reset();
}

ISteamMatchmaking* OnlineContext::Matchmaking()
{
    return AsMatchmaking(*m_lobbies);
}

ISteamNetworking* OnlineContext::Networking()
{
    return AsNetworking(*m_sockets);
}

ISteamGameServer* OnlineContext::GameServer()
{
    return AsGameServer(*m_sockets);
}

ISteamGameServerNetworking* OnlineContext::GameServerNetworking()
{
    return AsGameServerNetworking(*m_sockets);
}

ISteamMasterServerUpdater* OnlineContext::MasterServerUpdater()
{
    return AsMasterServerUpdater(*m_sockets);
}

bool OnlineContext::InitGameServer()
{
    return StartGameServer(*m_sockets);
}

void OnlineContext::PollClient()
{
    m_worker->Poll();
    PollClientSockets(*m_sockets);
    PollLobbies(*m_lobbies);
    m_boards.Poll();
}

void OnlineContext::PollServer()
{
    PollServerSockets(*m_sockets);
}

int OnlineContext::InitiateGameConnection(void* blob, int maxBytes, CSteamID server, uint32_t ip, uint16_t port)
{
    if (!blob || maxBytes <= 0)
        return 0;
    uint64_t serverId = server.ConvertToUint64();
    // The ticket made when the lobby published the server is on its way already; any later
    // connection (a reconnect) gets a fresh one, because the server takes each ticket once.
    auto prepared = std::find_if(m_tickets.begin(), m_tickets.end(),
                                 [&](const Ticket& ticket) { return ticket.server == serverId && !ticket.used; });
    Ticket& ticket = prepared != m_tickets.end() ? *prepared : NewTicket(serverId);
    ticket.used = true;
    ticket.ip = ip;
    ticket.port = port;
    return MakeTicket(m_self.ConvertToUint64(), serverId, ticket.secret, static_cast<uint8_t*>(blob),
                      static_cast<size_t>(maxBytes));
}

void OnlineContext::PrepareTicket(uint64_t server)
{
    // A ticket made before the lobby said where the server is goes now; one still unused is
    // ready already; otherwise a fresh one goes ahead of the next connection.
    bool ready = false;
    for (Ticket& ticket : m_tickets) {
        if (ticket.server != server)
            continue;
        if (!ticket.delivered)
            ticket.delivered = DeliverTicket(server, ticket.secret);
        ready = ready || !ticket.used;
    }
    if (!ready)
        NewTicket(server);
}

OnlineContext::Ticket& OnlineContext::NewTicket(uint64_t server)
{
    std::erase_if(m_tickets, [&](const Ticket& ticket) { return ticket.server == server && !ticket.used; });
    if (m_tickets.size() >= kKeptTickets)
        m_tickets.erase(m_tickets.begin());
    Ticket ticket;
    ticket.server = server;
    ticket.secret = MakeTicketSecret();
    ticket.delivered = DeliverTicket(server, ticket.secret);
    m_tickets.push_back(ticket);
    return m_tickets.back();
}

bool OnlineContext::DeliverTicket(uint64_t server, const TicketSecret& secret)
{
    if (server != 0 && RunningServerId(*m_sockets) == server) {
        OfferServerTicket(*m_sockets, m_self.ConvertToUint64(), server, secret);
        return true;
    }
    return SendTicketToOwners(*m_lobbies, server, secret);
}

void OnlineContext::OfferTicket(uint64_t user, uint64_t server, const TicketSecret& secret)
{
    OfferServerTicket(*m_sockets, user, server, secret);
}

void OnlineContext::TerminateGameConnection(uint32_t ip, uint16_t port)
{
    std::erase_if(m_tickets, [&](const Ticket& ticket) { return ticket.used && ticket.ip == ip && ticket.port == port; });
}

const char* OnlineContext::PersonaOf(CSteamID user)
{
    uint64_t id = user.ConvertToUint64();
    if (id == 0)
        return "";
    // In a lobby, a member (this user too) is shown by the lobby's name for it, which tells two
    // members of the same name apart.
    std::string& cached = m_personaCache[id];
    for (const LobbyRecord* lobby : JoinedLobbies(*m_lobbies)) {
        std::vector<std::string> names = DisplayNames(*lobby);
        for (size_t i = 0; i < lobby->members.size(); ++i)
            if (lobby->members[i].id == id) {
                cached = names[i];
                return cached.c_str();
            }
    }
    if (user == m_self)
        return m_persona.c_str();
    // Asked of the backend at most every few seconds, because the game asks every frame.
    int64_t now = NowMs();
    auto checked = m_personaCheckedMs.find(id);
    if (checked == m_personaCheckedMs.end() || now - checked->second > kPersonaRecheckMs) {
        m_personaCheckedMs[id] = now;
        // The answer arrives in a later pump; until then the name known so far is shown.
        auto found = std::make_shared<std::optional<std::string>>();
        m_worker->Post(
            [id, found](IOnlineBackend& backend) {
                std::string name;
                if (backend.FindPersona(id, name))
                    *found = std::move(name);
            },
            [this, id, found] {
                if (!*found || m_personaCache[id] == **found)
                    return;
                m_personaCache[id] = **found;
                PersonaStateChange_t changed{};
                changed.m_ulSteamID = id;
                changed.m_nChangeFlags = 1;  // the name
                Emit(changed);
            });
    }
    return cached.c_str();
}

bool OnlineContext::IsUserInLobby(CSteamID user, CSteamID lobby)
{
    const LobbyRecord* record = FindLobbyView(*m_lobbies, lobby.ConvertToUint64());
    if (!record)
        return false;
    for (const LobbyMember& member : record->members)
        if (member.id == user.ConvertToUint64())
            return true;
    return false;
}

bool OnlineContext::IsMemberOfServerLobby(uint64_t user, uint64_t server)
{
    if (user == m_self.ConvertToUint64())
        return true;
    for (const LobbyRecord* lobby : JoinedLobbies(*m_lobbies)) {
        if (lobby->server.id != server)
            continue;
        for (const LobbyMember& member : lobby->members)
            if (member.id == user)
                return true;
    }
    return false;
}

// ---- leaderboards ----

Leaderboards::~Leaderboards()
{
    {
        std::lock_guard guard(m_lock);
        m_stop = true;
        m_queued.clear();
    }
    m_wake.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

bool Leaderboards::Submit(Work work, const Finish& refused)
{
    bool queued = false;
    {
        std::lock_guard guard(m_lock);
        if (m_queued.size() + m_running < kMaxQueuedRequests) {
            m_queued.push_back(std::move(work));
            if (!m_worker.joinable())
                m_worker = std::thread([this] { WorkerMain(); });
            queued = true;
        }
    }
    if (!queued) {
        refused();
        return false;
    }
    // The worker is not woken from here: on a busy machine, waking a thread from the frame hands
    // it the frame's processor for milliseconds. It finds the request at its next look.
    return true;
}

void Leaderboards::WorkerMain()
{
    std::unique_lock lock(m_lock);
    for (;;) {
        m_wake.wait_for(lock, kWorkerLook, [this] { return m_stop || !m_queued.empty(); });
        if (!m_stop && m_queued.empty())
            continue;
        if (m_stop)
            return;
        Work work = std::move(m_queued.front());
        m_queued.pop_front();
        ++m_running;
        lock.unlock();
        Finish finish = work();
        lock.lock();
        --m_running;
        m_finished.push_back(std::move(finish));
    }
}

void Leaderboards::Poll()
{
    std::deque<Finish> finished;
    {
        // The frame never waits for the worker: when the worker holds the lock (on a loaded
        // machine it may be preempted holding it), its answers are taken at the next pump.
        std::unique_lock guard(m_lock, std::try_to_lock);
        if (!guard.owns_lock())
            return;
        finished.swap(m_finished);
    }
    for (Finish& finish : finished)
        finish();
}

size_t Leaderboards::PendingRequests()
{
    std::lock_guard guard(m_lock);
    return m_queued.size() + m_running + m_finished.size();
}

const Leaderboards::Board* Leaderboards::Find(SteamLeaderboard_t board) const
{
    return board >= 1 && board <= m_boards.size() ? &m_boards[board - 1] : nullptr;
}

SteamAPICall_t Leaderboards::FindOrCreateLeaderboard(const char* name, ELeaderboardSortMethod sort,
                                                     ELeaderboardDisplayType display)
{
    if (!name || !*name || std::strlen(name) > kMaxBoardNameBytes || !IsValidUtf8(name))
        return k_uAPICallInvalid;
    SteamAPICall_t call = NextCall();
    auto failed = [this, call] { m_context.EmitResult(call, LeaderboardFindResult_t{}, true); };
    Submit(
        [this, call, failed, board = std::string(name), sort, display]() -> Finish {
            BoardInfo info;
            if (!m_context.Backend().OpenBoard(board, sort, display, info))
                return failed;
            return [this, call, board, info] {
                SteamLeaderboard_t handle = 0;
                for (size_t i = 0; i < m_boards.size() && !handle; ++i)
                    if (m_boards[i].name == board) {
                        handle = i + 1;
                        m_boards[i].info = info;
                    }
                if (!handle) {
                    m_boards.push_back({board, info});
                    handle = m_boards.size();
                }
                LeaderboardFindResult_t result{};
                result.m_hSteamLeaderboard = handle;
                result.m_bLeaderboardFound = 1;
                m_context.EmitResult(call, result);
            };
        },
        failed);
    return call;
}

const char* Leaderboards::GetLeaderboardName(SteamLeaderboard_t board)
{
    const Board* found = Find(board);
    return found ? found->name.c_str() : "";
}

int Leaderboards::GetLeaderboardEntryCount(SteamLeaderboard_t board)
{
    // The count of the last answer about this board: the game asks every frame.
    const Board* found = Find(board);
    return found ? found->info.count : 0;
}

SteamAPICall_t Leaderboards::DownloadLeaderboardEntries(SteamLeaderboard_t board, ELeaderboardDataRequest request,
                                                        int start, int end)
{
    const Board* found = Find(board);
    if (!found)
        return k_uAPICallInvalid;
    SteamAPICall_t call = NextCall();
    auto failed = [this, call, board] {
        LeaderboardScoresDownloaded_t result{};
        result.m_hSteamLeaderboard = board;
        m_context.EmitResult(call, result, true);
    };
    Submit(
        [this, call, failed, board, name = found->name, request, start, end,
         self = m_context.Self().ConvertToUint64()]() -> Finish {
            auto download = std::make_shared<Download>();
            int32_t count = 0;
            if (!m_context.Backend().DownloadRows(name, request, start, end, self, download->rows, count))
                return failed;
            return [this, call, board, download, count] {
                m_boards[board - 1].info.count = count;
                download->handle = ++m_lastEntries;
                LeaderboardScoresDownloaded_t result{};
                result.m_hSteamLeaderboard = board;
                result.m_hSteamLeaderboardEntries = download->handle;
                result.m_cEntryCount = static_cast<int32_t>(download->rows.size());
                m_downloads.push_back(std::move(*download));
                if (m_downloads.size() > kKeptDownloads)
                    m_downloads.erase(m_downloads.begin());
                m_context.EmitResult(call, result);
            };
        },
        failed);
    return call;
}

bool Leaderboards::GetDownloadedLeaderboardEntry(SteamLeaderboardEntries_t entries, int index,
                                                 LeaderboardEntry_t* entry, int32_t* /*details*/, int /*detailsMax*/)
{
    for (const Download& download : m_downloads) {
        if (download.handle != entries)
            continue;
        if (index < 0 || index >= static_cast<int>(download.rows.size()) || !entry)
            return false;
        const RankedRow& row = download.rows[static_cast<size_t>(index)];
        entry->m_steamIDUser = CSteamID(row.row.user);
        entry->m_nGlobalRank = row.rank;
        entry->m_nScore = row.row.score;
        entry->m_cDetails = 0;
        return true;
    }
    return false;
}

SteamAPICall_t Leaderboards::UploadLeaderboardScore(SteamLeaderboard_t board, ELeaderboardUploadScoreMethod method,
                                                    int32_t score)
{
    const Board* found = Find(board);
    if (!found)
        return k_uAPICallInvalid;
    SteamAPICall_t call = NextCall();
    auto failed = [this, call, board, score] {
        LeaderboardScoreUploaded_t result{};
        result.m_hSteamLeaderboard = board;
        result.m_nScore = score;
        m_context.EmitResult(call, result, true);
    };
    BoardRow row{m_context.Self().ConvertToUint64(), score, m_context.PersonaName()};
    Submit(
        [this, call, failed, board, score, method, name = found->name, row]() -> Finish {
            UploadOutcome outcome;
            if (!m_context.Backend().UploadScore(name, row, method, outcome))
                return failed;
            return [this, call, board, score, outcome] {
                m_boards[board - 1].info.count = outcome.count;
                LeaderboardScoreUploaded_t result{};
                result.m_hSteamLeaderboard = board;
                result.m_nScore = score;
                result.m_bSuccess = 1;
                result.m_bScoreChanged = outcome.changed ? 1 : 0;
                result.m_nGlobalRankNew = outcome.rankNew;
                result.m_nGlobalRankPrevious = outcome.rankPrevious;
                m_context.EmitResult(call, result);
            };
        },
        failed);
    return call;
}

} // namespace platform::steam
