// Lobbies. The owner's process is a lobby's authority: it listens on a TCP port of its own,
// keeps the lobby's data, members, member data, member limit, chat and game server, checks
// every request of a member and sends every change to every member in one order. Members keep
// one connection to it. The backend's directory only makes lobbies findable: the owner
// announces its lobby there every 2 s.
// Messages are frames whose first byte is the kind; fields follow little-endian.
//   member -> owner: JOIN {u64 user, text name}, SET_DATA {key, value},
//                    SET_MEMBER_DATA {key, value}, CHAT {text}, LEAVE {},
//                    TICKET {u64 game server, 16-byte secret}: the member's ticket for the game
//                    server the owner runs, which admits the member only with that secret
//   owner -> member: ENTER {u32 response}, SNAPSHOT {lobby record}, DATA {key, value},
//                    MEMBER_JOINED {u64, name}, MEMBER_LEFT {u64, u32 change},
//                    MEMBER_DATA {u64, key, value}, CHAT {u32 id, u64 sender, u8 type, text},
//                    GAME_SERVER {u32 ip, u16 port, u64 id}, LIMIT {i32}
//   browser -> owner: PROBE {u64 lobby}; owner -> browser: ALIVE {u64 lobby, u8 served}, then
//                    the owner closes. A list shows only lobbies whose owner answers, so
//                    announcements nobody serves (forged, or left by a crash) never bury real ones.
// A peer that breaks these rules is dropped with a log line. When the owner goes, the first
// remaining member becomes the owner and serves the lobby from its copy.
// The directory and persona names are read and written on the backend worker: the frame never
// waits on a file or the network.
#include "BackendWorker.h"
#include "ClientState.h"
#include "LobbyProtocol.h"
#include "Online.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <thread>

namespace platform::steam {

namespace {

// The game may call from its loader thread while the main thread pumps: every call holds the
// process lock, which the pump holds too.
std::unique_lock<std::recursive_mutex> HoldState()
{
    return std::unique_lock(State().lock);
}

using Kind = LobbyMessageKind;
constexpr Kind kJoin = kLobbyJoin, kSetData = kLobbySetData, kSetMemberData = kLobbySetMemberData, kChat = kLobbyChat,
               kLeave = kLobbyLeave, kProbe = kLobbyProbe, kEnter = kLobbyEnter, kSnapshot = kLobbySnapshot,
               kData = kLobbyData, kMemberJoined = kLobbyMemberJoined, kMemberLeft = kLobbyMemberLeft,
               kMemberData = kLobbyMemberData, kChatEntry = kLobbyChatEntry, kGameServer = kLobbyGameServer,
               kLimit = kLobbyLimit, kAlive = kLobbyAlive, kTicket = kLobbyTicket;

constexpr size_t kChatHistory = 64;
// Listing probes every candidate's owner: 32 at once, each given 1 s (an owner answers from its
// next frame), all within 3 s, so a page of lobbies comes within a few seconds whatever the
// directory holds. An address other than the loopback gets at most 16 candidates, so a host
// that announces thousands of lobbies into a black hole cannot spend the whole time.
constexpr size_t kParallelProbes = 32;
constexpr int64_t kProbeTimeoutMs = 1000;
constexpr int64_t kListDeadlineMs = 3000;
constexpr size_t kMaxCandidatesPerAddress = 16;
constexpr size_t kMaxPendingGuests = 16;
constexpr int64_t kJoinTimeoutMs = 10000;
// Chat pace of one member, kept by the owner: a burst of 8 lines, then one line every 500 ms.
// A player types a line in a few seconds at best; this leaves room for a quick exchange and
// keeps a flood from costing every member's room more than a couple of lines a second.
constexpr int kChatBurst = 8;
constexpr int64_t kChatIntervalMs = 500;
// A member checks the owner's relay against twice that pace, so jitter on the way never costs
// a real line.
constexpr int kRelayedChatBurst = 2 * kChatBurst;
constexpr int64_t kRelayedChatIntervalMs = kChatIntervalMs / 2;
// Lines this member sent that the owner has not yet relayed back.
constexpr size_t kMaxUnechoedLines = 32;

// Chat ids run 1..INT32_MAX (the game reads them as int) and wrap back to 1.
int NextChatId(int id)
{
    return id >= INT32_MAX || id < 1 ? 1 : id + 1;
}

// The pace of one sender's chat: up to `burst` lines at once, then one per interval. Lines
// over the pace are dropped; a run of drops is logged once, with its count when it ends.
class ChatPace {
public:
    ChatPace(int burst, int64_t intervalMs) : m_burst(burst), m_intervalMs(intervalMs) {}
    bool Take(uint64_t lobby, uint64_t sender)
    {
        int64_t now = NowMs();
        // The time the sender's allowance is used up to; it may run ahead of now by the burst.
        int64_t due = std::max(m_dueMs, now);
        if (due - now >= m_burst * m_intervalMs) {
            if (m_dropped++ == 0)
                std::fprintf(stderr, "[platform] lobby %llu: chat from %llu comes too fast; lines are dropped\n",
                             static_cast<unsigned long long>(lobby), static_cast<unsigned long long>(sender));
            return false;
        }
        m_dueMs = due + m_intervalMs;
        if (m_dropped > 0) {
            std::fprintf(stderr, "[platform] lobby %llu: %llu chat lines from %llu were dropped\n",
                         static_cast<unsigned long long>(lobby), static_cast<unsigned long long>(m_dropped),
                         static_cast<unsigned long long>(sender));
            m_dropped = 0;
        }
        return true;
    }

private:
    int m_burst;
    int64_t m_intervalMs;
    int64_t m_dueMs = 0;
    uint64_t m_dropped = 0;
};

struct ChatEntry {
    uint64_t sender = 0;
    EChatEntryType type = k_EChatEntryTypeChatMsg;
    std::string text;
};

// What every participant keeps of a lobby.
struct LobbyView {
    LobbyRecord record;
    std::map<int, ChatEntry> chat;
    int nextChat = 1;  // the id the next line gets when this participant owns the lobby

    LobbyMember* Member(uint64_t id)
    {
        for (LobbyMember& member : record.members)
            if (member.id == id)
                return &member;
        return nullptr;
    }
    void AddChat(int id, ChatEntry entry)
    {
        chat[id] = std::move(entry);
        while (chat.size() > kChatHistory)
            chat.erase(chat.begin());
    }
};

struct Guest {
    Connection connection;
    uint64_t user = 0;  // 0 until it joined
    int64_t sinceMs = 0;
    ChatPace pace{kChatBurst, kChatIntervalMs};
};

struct HostedLobby {
    LobbyView view;
    Listener listener;
    std::vector<Guest> guests;
    int64_t announcedMs = 0;
    bool dirty = true;
    bool announcing = false;  // an announcement is on the worker
    int64_t retryMs = 0;      // after a failed announcement, not before this
    ChatPace ownPace{kChatBurst, kChatIntervalMs};
};

struct JoinedLobby {
    LobbyView view;
    bool finding = false;  // the directory is being asked where the lobby is
    uint64_t serial = 0;
    Connection connection;
    ChatPace ownPace{kChatBurst, kChatIntervalMs};
    // Per sender, the pace the owner's relay must keep.
    std::map<uint64_t, ChatPace> relayedPaces;
    // This member's own lines on their way through the owner: a line relayed as this member's
    // must be one of them, so an owner cannot put words in this member's mouth.
    std::deque<std::string> unechoed;
    uint64_t forgedLines = 0;
    uint64_t phantoms = 0;  // members announced past the lobby's limit
    SteamAPICall_t pendingCall = k_uAPICallInvalid;  // the join's call until the snapshot came
    bool entered = false;
    bool refused = false;    // the owner refused the join
    bool ownerLeft = false;  // the owner said it leaves
    int64_t startedMs = 0;
};

// Keys a member other than the owner may write, with the only value allowed ("" for any).
bool GuestMayWrite(const std::string& key, const std::string& value)
{
    if (key == "GuestRecord")
        return true;
    return key == "game_starting" && value == "0";
}

bool ValidKey(const char* key)
{
    return key && *key && std::strlen(key) <= kMaxKeyBytes && IsValidUtf8(key);
}

bool ValidValue(const char* value)
{
    return value && std::strlen(value) <= kMaxValueBytes && IsValidUtf8(value);
}

void SetValue(KeyValues& values, const std::string& key, const std::string& value)
{
    if (value.empty())
        values.erase(key);
    else
        values[key] = value;
}

Bytes Message(Kind kind, const std::function<void(WireWriter&)>& fields = {})
{
    WireWriter out;
    out.U8(kind);
    if (fields)
        fields(out);
    return out.Take();
}

void Log(const char* what, uint64_t lobby, const std::string& detail = {})
{
    std::fprintf(stderr, "[platform] lobby %llu: %s%s%s\n", static_cast<unsigned long long>(lobby), what,
                 detail.empty() ? "" : ": ", detail.c_str());
}

bool IsLoopback(uint32_t ip)
{
    return (ip >> 24) == 127;
}

// Which of `lobbies` have an owner that says it serves them right now. Runs on the worker.
std::vector<bool> ProbeOwners(const std::vector<LobbyRecord>& lobbies)
{
    struct Probe {
        size_t index;
        Connection connection;
        int64_t startedMs;
    };
    std::vector<bool> alive(lobbies.size(), false);
    std::map<uint32_t, size_t> perAddress;
    // An owner serves each lobby on a listener of its own: an endpoint that already served one
    // lobby, or stayed silent, is not asked again.
    std::set<uint64_t> spent;
    std::vector<Probe> running;
    size_t next = 0;
    const int64_t deadline = NowMs() + kListDeadlineMs;
    while ((next < lobbies.size() || !running.empty()) && NowMs() < deadline) {
        while (running.size() < kParallelProbes && next < lobbies.size()) {
            const LobbyRecord& lobby = lobbies[next];
            size_t index = next++;
            uint64_t endpoint = static_cast<uint64_t>(lobby.ip) << 16 | lobby.port;
            if (lobby.port == 0 || (!IsLoopback(lobby.ip) && ++perAddress[lobby.ip] > kMaxCandidatesPerAddress) ||
                spent.count(endpoint))
                continue;
            Connection connection = Connection::Connect(lobby.ip, lobby.port);
            connection.Send(Message(kProbe, [&](WireWriter& out) { out.U64(lobby.id); }));
            running.push_back({index, std::move(connection), NowMs()});
        }
        for (Probe& probe : running) {
            probe.connection.Pump();
            Bytes frame;
            if (probe.connection.Receive(frame)) {
                WireReader in(frame);
                uint8_t kind = 0, served = 0;
                uint64_t id = 0;
                const LobbyRecord& lobby = lobbies[probe.index];
                alive[probe.index] = in.U8(kind) && kind == kAlive && in.U64(id) && in.U8(served) && in.AtEnd() &&
                                     id == lobby.id && served == 1 &&
                                     !spent.count(static_cast<uint64_t>(lobby.ip) << 16 | lobby.port);
                if (alive[probe.index])
                    spent.insert(static_cast<uint64_t>(lobby.ip) << 16 | lobby.port);
                probe.connection.Close();
            } else if (probe.connection.Usable() && NowMs() - probe.startedMs > kProbeTimeoutMs) {
                const LobbyRecord& lobby = lobbies[probe.index];
                spent.insert(static_cast<uint64_t>(lobby.ip) << 16 | lobby.port);
                probe.connection.Close();
            }
        }
        std::erase_if(running, [](const Probe& probe) { return !probe.connection.Usable(); });
        if (!running.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return alive;
}

} // namespace

class LobbyEngine final : public ISteamMatchmaking {
public:
    explicit LobbyEngine(OnlineContext& context) : m_context(context) {}
    ~LobbyEngine() override
    {
        auto hold = HoldState();
        std::vector<uint64_t> ids;
        for (const auto& [id, lobby] : m_hosted)
            ids.push_back(id);
        for (const auto& [id, lobby] : m_joined)
            ids.push_back(id);
        for (uint64_t id : ids)
            LeaveLobby(CSteamID(id));
    }

    // ---- ISteamMatchmaking ----

    SteamAPICall_t CreateLobby(ELobbyType type, int maxMembers) override
    {
        auto hold = HoldState();
        LobbyCreated_t created{};
        auto hosted = std::make_unique<HostedLobby>();
        LobbyRecord& record = hosted->view.record;
        record.id = RandomId();
        record.owner = m_context.Self().ConvertToUint64();
        record.type = type;
        record.limit = std::clamp(maxMembers, 1, static_cast<int>(kMaxLobbyMembers));
        record.members.push_back({record.owner, m_context.PersonaName(), {}});
        IOnlineBackend& backend = m_context.Backend();
        if (!hosted->listener.Open(backend.BindIp(), 0)) {
            created.m_eResult = k_EResultFail;
            return m_context.EmitResult(created);
        }
        record.ip = backend.AdvertisedIp();
        record.port = hosted->listener.Port();
        if (!backend.PublishLobby(record)) {
            created.m_eResult = k_EResultNoConnection;
            return m_context.EmitResult(created);
        }
        backend.PublishPersona(record.owner, m_context.PersonaName());
        hosted->announcedMs = NowMs();
        hosted->dirty = false;
        created.m_eResult = k_EResultOK;
        created.m_ulSteamIDLobby = record.id;
        uint64_t id = record.id;
        m_hosted[id] = std::move(hosted);
        SteamAPICall_t call = m_context.EmitResult(created);
        LobbyEnter_t enter{};
        enter.m_ulSteamIDLobby = id;
        enter.m_EChatRoomEnterResponse = k_EChatRoomEnterResponseSuccess;
        m_context.Emit(enter);
        return call;
    }

    SteamAPICall_t JoinLobby(CSteamID lobby) override
    {
        auto hold = HoldState();
        uint64_t id = lobby.ConvertToUint64();
        LobbyEnter_t enter{};
        enter.m_ulSteamIDLobby = id;
        if (m_hosted.count(id) || (m_joined.count(id) && m_joined[id]->entered)) {
            enter.m_EChatRoomEnterResponse = k_EChatRoomEnterResponseSuccess;
            return m_context.EmitResult(enter);
        }
        if (m_joined.count(id)) {
            enter.m_EChatRoomEnterResponse = k_EChatRoomEnterResponseError;
            return m_context.EmitResult(enter);
        }
        if (!lobby.IsValid()) {
            enter.m_EChatRoomEnterResponse = k_EChatRoomEnterResponseDoesntExist;
            return m_context.EmitResult(enter);
        }
        // The directory says where the owner serves it; the join goes on when the worker answers.
        auto joined = std::make_unique<JoinedLobby>();
        joined->finding = true;
        joined->serial = ++m_serial;
        joined->startedMs = NowMs();
        SteamAPICall_t call = NextCall();
        joined->pendingCall = call;
        uint64_t serial = joined->serial;
        m_joined[id] = std::move(joined);
        auto found = std::make_shared<std::optional<LobbyRecord>>();
        uint64_t self = m_context.Self().ConvertToUint64();
        m_context.Worker().Post(
            [id, found, self, name = m_context.PersonaName()](IOnlineBackend& backend) {
                LobbyRecord record;
                if (backend.FindLobby(id, record))
                    *found = std::move(record);
                backend.PublishPersona(self, name);
            },
            [this, id, serial, found] { ContinueJoin(id, serial, *found); });
        return call;
    }

    void ContinueJoin(uint64_t id, uint64_t serial, const std::optional<LobbyRecord>& found)
    {
        auto hold = HoldState();
        auto entry = m_joined.find(id);
        if (entry == m_joined.end() || entry->second->serial != serial)
            return;  // left meanwhile
        JoinedLobby& joined = *entry->second;
        if (!found) {
            LobbyEnter_t enter{};
            enter.m_ulSteamIDLobby = id;
            enter.m_EChatRoomEnterResponse = k_EChatRoomEnterResponseDoesntExist;
            m_context.EmitResult(joined.pendingCall, enter);
            m_joined.erase(entry);
            return;
        }
        joined.finding = false;
        joined.view.record = *found;
        joined.connection = Connection::Connect(found->ip, found->port);
        joined.startedMs = NowMs();
        joined.connection.Send(Message(kJoin, [&](WireWriter& out) {
            out.U64(m_context.Self().ConvertToUint64());
            out.Text(m_context.PersonaName());
        }));
    }

    void LeaveLobby(CSteamID lobby) override
    {
        auto hold = HoldState();
        uint64_t id = lobby.ConvertToUint64();
        if (auto hosted = m_hosted.find(id); hosted != m_hosted.end()) {
            uint64_t self = m_context.Self().ConvertToUint64();
            Bytes left = Message(kMemberLeft, [&](WireWriter& out) {
                out.U64(self);
                out.U32(k_EChatMemberStateChangeLeft);
            });
            for (Guest& guest : hosted->second->guests) {
                if (guest.user != 0)
                    guest.connection.Send(left);
                guest.connection.Close();
            }
            m_context.Worker().Post([id](IOnlineBackend& backend) { backend.WithdrawLobby(id); });
            m_hosted.erase(hosted);
            return;
        }
        if (auto joined = m_joined.find(id); joined != m_joined.end()) {
            joined->second->connection.Send(Message(kLeave));
            joined->second->connection.Close();
            if (joined->second->pendingCall != k_uAPICallInvalid) {
                LobbyEnter_t enter{};
                enter.m_ulSteamIDLobby = id;
                enter.m_EChatRoomEnterResponse = k_EChatRoomEnterResponseError;
                m_context.EmitResult(joined->second->pendingCall, enter);
            }
            m_joined.erase(joined);
        }
    }

    void AddRequestLobbyListStringFilter(const char* key, const char* value, ELobbyComparison comparison) override
    {
        auto hold = HoldState();
        if (!key || !value)
            return;
        m_filters.push_back({key, value, comparison});
    }

    SteamAPICall_t RequestLobbyList() override
    {
        auto hold = HoldState();
        std::vector<Filter> filters;
        filters.swap(m_filters);
        SteamAPICall_t call = NextCall();
        struct Found {
            bool ok = false;
            std::vector<LobbyRecord> lobbies;
        };
        auto found = std::make_shared<Found>();
        // Read, filtered and probed on the worker; the frame goes on meanwhile.
        m_context.Worker().Post(
            [found, filters = std::move(filters)](IOnlineBackend& backend) {
                std::vector<LobbyRecord> lobbies;
                found->ok = backend.ListLobbies(lobbies);
                std::erase_if(lobbies, [&](const LobbyRecord& lobby) {
                    return lobby.type != k_ELobbyTypePublic || !Matches(lobby, filters);
                });
                std::vector<bool> alive = ProbeOwners(lobbies);
                for (size_t i = 0; i < lobbies.size() && found->lobbies.size() < kMaxListedLobbies; ++i)
                    if (alive[i])
                        found->lobbies.push_back(std::move(lobbies[i]));
            },
            [this, call, found] {
                auto hold = HoldState();
                m_listed.clear();
                m_listedIds.clear();
                for (LobbyRecord& lobby : found->lobbies) {
                    m_listedIds.push_back(lobby.id);
                    m_listed[lobby.id] = std::move(lobby);
                }
                LobbyMatchList_t result{};
                result.m_nLobbiesMatching = static_cast<uint32_t>(m_listedIds.size());
                m_context.EmitResult(call, result, !found->ok);
            });
        return call;
    }

    CSteamID GetLobbyByIndex(int index) override
    {
        auto hold = HoldState();
        if (index < 0 || index >= static_cast<int>(m_listedIds.size()))
            return CSteamID();
        return CSteamID(m_listedIds[static_cast<size_t>(index)]);
    }

    int GetNumLobbyMembers(CSteamID lobby) override
    {
        auto hold = HoldState();
        const LobbyRecord* record = View(lobby);
        return record ? static_cast<int>(record->members.size()) : 0;
    }

    CSteamID GetLobbyMemberByIndex(CSteamID lobby, int index) override
    {
        auto hold = HoldState();
        const LobbyRecord* record = View(lobby);
        if (!record || index < 0 || index >= static_cast<int>(record->members.size()))
            return CSteamID();
        return CSteamID(record->members[static_cast<size_t>(index)].id);
    }

    CSteamID GetLobbyOwner(CSteamID lobby) override
    {
        auto hold = HoldState();
        const LobbyRecord* record = View(lobby);
        return record ? CSteamID(record->owner) : CSteamID();
    }

    const char* GetLobbyData(CSteamID lobby, const char* key) override
    {
        auto hold = HoldState();
        const LobbyRecord* record = View(lobby);
        if (!record || !key)
            return "";
        auto found = record->data.find(key);
        return found == record->data.end() ? "" : found->second.c_str();
    }

    bool SetLobbyData(CSteamID lobby, const char* key, const char* value) override
    {
        auto hold = HoldState();
        if (!ValidKey(key) || !ValidValue(value))
            return false;
        uint64_t id = lobby.ConvertToUint64();
        if (auto hosted = m_hosted.find(id); hosted != m_hosted.end())
            return ApplyData(*hosted->second, key, value);
        auto joined = m_joined.find(id);
        if (joined == m_joined.end() || !joined->second->entered || !GuestMayWrite(key, value))
            return false;
        return joined->second->connection.Send(Message(kSetData, [&](WireWriter& out) {
            out.Text(key);
            out.Text(value);
        }));
    }

    const char* GetLobbyMemberData(CSteamID lobby, CSteamID member, const char* key) override
    {
        auto hold = HoldState();
        const LobbyRecord* record = View(lobby);
        if (!record || !key)
            return "";
        for (const LobbyMember& entry : record->members) {
            if (entry.id != member.ConvertToUint64())
                continue;
            auto found = entry.data.find(key);
            return found == entry.data.end() ? "" : found->second.c_str();
        }
        return "";
    }

    void SetLobbyMemberData(CSteamID lobby, const char* key, const char* value) override
    {
        auto hold = HoldState();
        if (!ValidKey(key) || !ValidValue(value))
            return;
        uint64_t id = lobby.ConvertToUint64();
        if (auto hosted = m_hosted.find(id); hosted != m_hosted.end()) {
            ApplyMemberData(*hosted->second, m_context.Self().ConvertToUint64(), key, value);
            return;
        }
        auto joined = m_joined.find(id);
        if (joined != m_joined.end() && joined->second->entered)
            joined->second->connection.Send(Message(kSetMemberData, [&](WireWriter& out) {
                out.Text(key);
                out.Text(value);
            }));
    }

    bool RequestLobbyData(CSteamID lobby) override
    {
        auto hold = HoldState();
        uint64_t id = lobby.ConvertToUint64();
        LobbyDataUpdate_t update{};
        update.m_ulSteamIDLobby = id;
        update.m_ulSteamIDMember = id;
        if (m_hosted.count(id) || m_joined.count(id)) {
            update.m_bSuccess = 1;
            m_context.Emit(update);
            return true;
        }
        auto found = std::make_shared<std::optional<LobbyRecord>>();
        m_context.Worker().Post(
            [id, found](IOnlineBackend& backend) {
                LobbyRecord record;
                if (backend.FindLobby(id, record))
                    *found = std::move(record);
            },
            [this, update, id, found]() mutable {
                auto hold = HoldState();
                if (*found) {
                    m_listed[id] = std::move(**found);
                    update.m_bSuccess = 1;
                } else {
                    m_listed.erase(id);
                    update.m_bSuccess = 0;
                }
                m_context.Emit(update);
            });
        return true;
    }

    bool SetLobbyMemberLimit(CSteamID lobby, int maxMembers) override
    {
        auto hold = HoldState();
        auto hosted = m_hosted.find(lobby.ConvertToUint64());
        if (hosted == m_hosted.end() || maxMembers < 1 || maxMembers > static_cast<int>(kMaxLobbyMembers))
            return false;
        HostedLobby& host = *hosted->second;
        host.view.record.limit = maxMembers;
        host.dirty = true;
        Broadcast(host, Message(kLimit, [&](WireWriter& out) { out.I32(maxMembers); }));
        EmitDataUpdate(host.view.record.id, host.view.record.id);
        return true;
    }

    int GetLobbyMemberLimit(CSteamID lobby) override
    {
        auto hold = HoldState();
        const LobbyRecord* record = View(lobby);
        return record ? record->limit : 0;
    }

    bool SendLobbyChatMsg(CSteamID lobby, const void* body, int bytes) override
    {
        auto hold = HoldState();
        if (bytes < 0 || static_cast<size_t>(bytes) > kMaxChatBytes || (bytes > 0 && !body))
            return false;
        // A terminator passed along with the text is not part of it; a line is one line.
        std::string text = CleanLine(std::string_view(static_cast<const char*>(body), static_cast<size_t>(bytes)),
                                     kMaxChatBytes);
        uint64_t id = lobby.ConvertToUint64();
        uint64_t self = m_context.Self().ConvertToUint64();
        if (auto hosted = m_hosted.find(id); hosted != m_hosted.end()) {
            if (!hosted->second->ownPace.Take(id, self))
                return false;
            ApplyChat(*hosted->second, self, text);
            return true;
        }
        auto joined = m_joined.find(id);
        if (joined == m_joined.end() || !joined->second->entered)
            return false;
        JoinedLobby& member = *joined->second;
        if (!member.ownPace.Take(id, self) ||
            !member.connection.Send(Message(kChat, [&](WireWriter& out) { out.Text(text); })))
            return false;
        member.unechoed.push_back(text);
        if (member.unechoed.size() > kMaxUnechoedLines)
            member.unechoed.pop_front();
        return true;
    }

    int GetLobbyChatEntry(CSteamID lobby, int chatId, CSteamID* user, void* data, int maxBytes,
                          EChatEntryType* type) override
    {
        auto hold = HoldState();
        LobbyView* view = JoinedView(lobby.ConvertToUint64());
        if (!view)
            return 0;
        auto found = view->chat.find(chatId);
        if (found == view->chat.end())
            return 0;
        if (user)
            *user = CSteamID(found->second.sender);
        if (type)
            *type = found->second.type;
        int copied = std::min<int>(std::max(maxBytes, 0), static_cast<int>(found->second.text.size()));
        if (copied > 0 && data)
            std::memcpy(data, found->second.text.data(), static_cast<size_t>(copied));
        return data ? copied : 0;
    }

    void SetLobbyGameServer(CSteamID lobby, uint32_t ip, uint16_t port, CSteamID server) override
    {
        auto hold = HoldState();
        auto hosted = m_hosted.find(lobby.ConvertToUint64());
        if (hosted == m_hosted.end())
            return;
        HostedLobby& host = *hosted->second;
        host.view.record.server = {ip, port, server.ConvertToUint64()};
        host.dirty = true;
        Broadcast(host, Message(kGameServer, [&](WireWriter& out) {
            out.U32(ip);
            out.U16(port);
            out.U64(server.ConvertToUint64());
        }));
        EmitGameCreated(host.view.record);
    }

    bool GetLobbyGameServer(CSteamID lobby, uint32_t* ip, uint16_t* port, CSteamID* server) override
    {
        auto hold = HoldState();
        const LobbyRecord* record = View(lobby);
        bool published = record && record->server.id != 0;
        if (ip)
            *ip = published ? record->server.ip : 0;
        if (port)
            *port = published ? record->server.port : 0;
        if (server)
            *server = published ? CSteamID(record->server.id) : CSteamID();
        return published;
    }

    // ---- engine ----

    bool SendTicket(uint64_t server, const TicketSecret& secret)
    {
        bool sent = false;
        for (auto& [id, joined] : m_joined)
            if (joined->entered && server != 0 && joined->view.record.server.id == server)
                sent = joined->connection.Send(Message(kTicket, [&](WireWriter& out) {
                    out.U64(server);
                    out.Raw(secret.data(), secret.size());
                })) || sent;
        return sent;
    }

    void ReplayOwnerFrames(const LobbyRecord& lobby, const std::vector<Bytes>& frames)
    {
        auto hold = HoldState();
        LeaveLobby(CSteamID(lobby.id));
        auto fresh = std::make_unique<JoinedLobby>();
        fresh->view.record = lobby;
        fresh->pendingCall = NextCall();
        fresh->serial = ++m_serial;
        fresh->startedMs = NowMs();
        JoinedLobby& joined = *fresh;
        m_joined[lobby.id] = std::move(fresh);
        for (const Bytes& frame : frames)
            if (joined.refused || joined.ownerLeft || !HandleOwnerFrame(joined, frame))
                break;
        if (joined.refused || joined.ownerLeft)
            m_joined.erase(lobby.id);
    }

    void ReplayGuestFrames(const LobbyRecord& lobby, const std::vector<GuestFrame>& frames)
    {
        auto hold = HoldState();
        LeaveLobby(CSteamID(lobby.id));
        auto fresh = std::make_unique<HostedLobby>();
        fresh->view.record = lobby;
        fresh->guests.resize(kReplayGuests);
        HostedLobby& host = *fresh;
        m_hosted[lobby.id] = std::move(fresh);
        std::array<bool, kReplayGuests> dropped{};
        for (const GuestFrame& arriving : frames) {
            size_t from = arriving.from % kReplayGuests;
            Guest& guest = host.guests[from];
            if (dropped[from] || HandleGuestFrame(host, guest, arriving.frame))
                continue;
            // As the poll does with a member that broke the protocol: it leaves.
            dropped[from] = true;
            if (guest.user != 0)
                RemoveMember(host, guest.user, k_EChatMemberStateChangeLeft);
            guest.user = 0;
        }
    }

    void Poll()
    {
        std::vector<uint64_t> ids;
        for (const auto& [id, hosted] : m_hosted)
            ids.push_back(id);
        for (uint64_t id : ids)
            PollHosted(*m_hosted[id]);
        ids.clear();
        for (const auto& [id, joined] : m_joined)
            ids.push_back(id);
        for (uint64_t id : ids)
            PollJoined(id);
    }

    const LobbyRecord* View(CSteamID lobby)
    {
        uint64_t id = lobby.ConvertToUint64();
        if (LobbyView* view = JoinedView(id))
            return &view->record;
        auto listed = m_listed.find(id);
        return listed == m_listed.end() ? nullptr : &listed->second;
    }

    std::vector<const LobbyRecord*> Joined()
    {
        std::vector<const LobbyRecord*> lobbies;
        for (const auto& [id, hosted] : m_hosted)
            lobbies.push_back(&hosted->view.record);
        for (const auto& [id, joined] : m_joined)
            if (joined->entered)
                lobbies.push_back(&joined->view.record);
        return lobbies;
    }

private:
    struct Filter {
        std::string key;
        std::string value;
        ELobbyComparison comparison;
    };

    static bool Matches(const LobbyRecord& lobby, const std::vector<Filter>& filters)
    {
        for (const Filter& filter : filters) {
            auto found = lobby.data.find(filter.key);
            std::string value = found == lobby.data.end() ? "" : found->second;
            // "Join" is never written: it stands for whether the lobby has a free place.
            if (found == lobby.data.end() && filter.key == "Join")
                value.assign(1, static_cast<int32_t>(lobby.members.size()) < lobby.limit ? '1' : '0');
            bool equal = value == filter.value;
            if (filter.comparison == k_ELobbyComparisonEqual ? !equal : equal)
                return false;
        }
        return true;
    }

    LobbyView* JoinedView(uint64_t id)
    {
        if (auto hosted = m_hosted.find(id); hosted != m_hosted.end())
            return &hosted->second->view;
        if (auto joined = m_joined.find(id); joined != m_joined.end() && joined->second->entered)
            return &joined->second->view;
        return nullptr;
    }

    void EmitDataUpdate(uint64_t lobby, uint64_t member)
    {
        LobbyDataUpdate_t update{};
        update.m_ulSteamIDLobby = lobby;
        update.m_ulSteamIDMember = member;
        update.m_bSuccess = 1;
        m_context.Emit(update);
    }

    void EmitMemberChange(uint64_t lobby, uint64_t member, uint32_t change)
    {
        LobbyChatUpdate_t update{};
        update.m_ulSteamIDLobby = lobby;
        update.m_ulSteamIDUserChanged = member;
        update.m_ulSteamIDMakingChange = member;
        update.m_rgfChatMemberStateChange = change;
        m_context.Emit(update);
    }

    void EmitChat(uint64_t lobby, uint64_t sender, int chatId)
    {
        LobbyChatMsg_t message{};
        message.m_ulSteamIDLobby = lobby;
        message.m_ulSteamIDUser = sender;
        message.m_eChatEntryType = k_EChatEntryTypeChatMsg;
        message.m_iChatID = static_cast<uint32_t>(chatId);
        m_context.Emit(message);
    }

    void EmitGameCreated(const LobbyRecord& record)
    {
        LobbyGameCreated_t created{};
        created.m_ulSteamIDLobby = record.id;
        created.m_ulSteamIDGameServer = record.server.id;
        created.m_unIP = record.server.ip;
        created.m_usPort = record.server.port;
        m_context.Emit(created);
    }

    // ---- the owner's side ----

    void Broadcast(HostedLobby& host, const Bytes& message)
    {
        for (Guest& guest : host.guests)
            if (guest.user != 0 && !guest.connection.Send(message))
                Log("a member cannot keep up and is dropped", host.view.record.id);
    }

    // Whether the record still fits in one frame after `key` takes `value`.
    static bool Fits(const LobbyRecord& record, const std::string& key, const std::string& value)
    {
        return value.empty() || EncodeLobby(record).size() + 4 + key.size() + value.size() <= kMaxLobbyRecordBytes;
    }

    bool ApplyData(HostedLobby& host, const std::string& key, const std::string& value)
    {
        KeyValues& data = host.view.record.data;
        if ((!data.count(key) && !value.empty() && data.size() >= kMaxLobbyKeys) || !Fits(host.view.record, key, value))
            return false;
        SetValue(data, key, value);
        host.dirty = true;
        Broadcast(host, Message(kData, [&](WireWriter& out) {
            out.Text(key);
            out.Text(value);
        }));
        EmitDataUpdate(host.view.record.id, host.view.record.id);
        return true;
    }

    void ApplyMemberData(HostedLobby& host, uint64_t member, const std::string& key, const std::string& value)
    {
        LobbyMember* entry = host.view.Member(member);
        if (!entry || (!entry->data.count(key) && !value.empty() && entry->data.size() >= kMaxMemberKeys) ||
            !Fits(host.view.record, key, value))
            return;
        SetValue(entry->data, key, value);
        host.dirty = true;
        Broadcast(host, Message(kMemberData, [&](WireWriter& out) {
            out.U64(member);
            out.Text(key);
            out.Text(value);
        }));
        EmitDataUpdate(host.view.record.id, member);
    }

    void ApplyChat(HostedLobby& host, uint64_t sender, const std::string& text)
    {
        int chatId = host.view.nextChat;
        host.view.nextChat = NextChatId(chatId);
        host.view.AddChat(chatId, {sender, k_EChatEntryTypeChatMsg, text});
        Broadcast(host, Message(kChatEntry, [&](WireWriter& out) {
            out.U32(static_cast<uint32_t>(chatId));
            out.U64(sender);
            out.U8(k_EChatEntryTypeChatMsg);
            out.Text(text);
        }));
        EmitChat(host.view.record.id, sender, chatId);
    }

    void RemoveMember(HostedLobby& host, uint64_t member, uint32_t change)
    {
        auto& members = host.view.record.members;
        auto found = std::find_if(members.begin(), members.end(), [&](const LobbyMember& m) { return m.id == member; });
        if (found == members.end())
            return;
        members.erase(found);
        host.dirty = true;
        Broadcast(host, Message(kMemberLeft, [&](WireWriter& out) {
            out.U64(member);
            out.U32(change);
        }));
        EmitMemberChange(host.view.record.id, member, change);
    }

    void PollHosted(HostedLobby& host)
    {
        uint64_t lobbyId = host.view.record.id;
        for (int accepted = 0; accepted < 8; ++accepted) {
            std::optional<Connection> connection = host.listener.Accept();
            if (!connection)
                break;
            size_t pending = std::count_if(host.guests.begin(), host.guests.end(),
                                           [](const Guest& g) { return g.user == 0 && g.connection.Usable(); });
            if (pending >= kMaxPendingGuests) {
                // The oldest goes, not the newcomer: a crowd that never joins cannot keep a
                // player who does out of the lobby.
                auto oldest = std::find_if(host.guests.begin(), host.guests.end(),
                                           [](const Guest& g) { return g.user == 0 && g.connection.Usable(); });
                if (oldest != host.guests.end()) {
                    Log("too many connections that did not join; the oldest is closed", lobbyId);
                    oldest->connection.Close();
                }
            }
            host.guests.push_back({std::move(*connection), 0, NowMs()});
        }
        for (size_t i = 0; i < host.guests.size(); ++i) {
            Guest& guest = host.guests[i];
            guest.connection.Pump();
            Bytes frame;
            // Bounded per pump, so one chatty member cannot hold the frame.
            for (int n = 0; n < 256 && guest.connection.Usable() && guest.connection.Receive(frame); ++n)
                if (!HandleGuestFrame(host, guest, frame)) {
                    Log("a member broke the protocol and is dropped", lobbyId);
                    guest.connection.Close();
                }
            if (guest.user == 0 && guest.connection.Usable() && NowMs() - guest.sinceMs > kJoinTimeoutMs)
                guest.connection.Close();
        }
        for (size_t i = 0; i < host.guests.size();) {
            Guest& guest = host.guests[i];
            if (guest.connection.Usable()) {
                ++i;
                continue;
            }
            if (guest.connection.GetState() == Connection::State::Failed)
                Log("a member's connection failed", lobbyId, guest.connection.Reason());
            uint64_t user = guest.user;
            host.guests.erase(host.guests.begin() + static_cast<std::ptrdiff_t>(i));
            if (user != 0)
                RemoveMember(host, user, k_EChatMemberStateChangeLeft);
        }
        int64_t now = NowMs();
        if (!host.announcing && now >= host.retryMs && (host.dirty || now - host.announcedMs >= kAnnouncementRefreshMs)) {
            // One announcement at a time, on the worker; a failed one is tried again after the
            // refresh interval, not every frame.
            host.announcing = true;
            host.dirty = false;
            host.announcedMs = now;
            auto published = std::make_shared<bool>(false);
            m_context.Worker().Post(
                [record = host.view.record, published](IOnlineBackend& backend) {
                    *published = backend.PublishLobby(record);
                },
                [this, lobbyId, hosted = &host, published] {
                    auto found = m_hosted.find(lobbyId);
                    if (found == m_hosted.end() || found->second.get() != hosted)
                        return;
                    hosted->announcing = false;
                    if (!*published) {
                        hosted->dirty = true;
                        hosted->retryMs = NowMs() + kAnnouncementRefreshMs;
                    }
                });
        }
    }

    bool HandleGuestFrame(HostedLobby& host, Guest& guest, const Bytes& frame)
    {
        WireReader in(frame);
        uint8_t kind = 0;
        if (!in.U8(kind))
            return false;
        LobbyRecord& record = host.view.record;
        if (guest.user == 0 && kind == kProbe) {
            // A browser asks whether this lobby is served here.
            uint64_t lobby = 0;
            if (!in.U64(lobby) || !in.AtEnd())
                return false;
            guest.connection.Send(Message(kAlive, [&](WireWriter& out) {
                out.U64(lobby);
                out.U8(lobby == record.id ? 1 : 0);
            }));
            guest.connection.Close();
            return true;
        }
        if (guest.user == 0) {
            // The first message must be the join.
            uint64_t user = 0;
            std::string name;
            if (kind != kJoin || !in.U64(user) || !in.Text(name, kMaxNameBytes) || !in.AtEnd() || user == 0)
                return false;
            name = CleanLine(name, kMaxNameBytes);
            uint32_t response = k_EChatRoomEnterResponseSuccess;
            if (host.view.Member(user))
                response = k_EChatRoomEnterResponseNotAllowed;
            else if (static_cast<int32_t>(record.members.size()) >= record.limit ||
                     record.members.size() >= kMaxLobbyMembers)
                response = k_EChatRoomEnterResponseFull;
            guest.connection.Send(Message(kEnter, [&](WireWriter& out) { out.U32(response); }));
            if (response != k_EChatRoomEnterResponseSuccess) {
                guest.connection.Close();
                return true;
            }
            Broadcast(host, Message(kMemberJoined, [&](WireWriter& out) {
                out.U64(user);
                out.Text(name);
            }));
            guest.user = user;
            record.members.push_back({user, name, {}});
            host.dirty = true;
            guest.connection.Send(Message(kSnapshot, [&](WireWriter& out) { WriteLobby(out, record); }));
            m_context.Worker().Post([user, name](IOnlineBackend& backend) { backend.PublishPersona(user, name); });
            EmitMemberChange(record.id, user, k_EChatMemberStateChangeEntered);
            PersonaStateChange_t persona{};
            persona.m_ulSteamID = user;
            persona.m_nChangeFlags = 1;
            m_context.Emit(persona);
            return true;
        }
        std::string key, value, text;
        switch (kind) {
        case kSetData:
            if (!in.Text(key, kMaxKeyBytes) || !in.Text(value, kMaxValueBytes) || !in.AtEnd() || key.empty())
                return false;
            if (GuestMayWrite(key, value))
                ApplyData(host, key, value);
            else
                Log("a member may not write this key; refused", record.id, key);
            return true;
        case kSetMemberData:
            if (!in.Text(key, kMaxKeyBytes) || !in.Text(value, kMaxValueBytes) || !in.AtEnd() || key.empty())
                return false;
            ApplyMemberData(host, guest.user, key, value);
            return true;
        case kChat:
            if (!in.Text(text, kMaxChatBytes) || !in.AtEnd())
                return false;
            if (guest.pace.Take(record.id, guest.user))
                ApplyChat(host, guest.user, CleanLine(text, kMaxChatBytes));
            return true;
        case kTicket: {
            uint64_t server = 0;
            Bytes secret;
            if (!in.U64(server) || !in.Raw(secret, kTicketSecretBytes) || !in.AtEnd())
                return false;
            // Only for the server this lobby published; the game server checks the rest.
            if (server != 0 && server == record.server.id) {
                TicketSecret copy{};
                std::copy(secret.begin(), secret.end(), copy.begin());
                m_context.OfferTicket(guest.user, server, copy);
            }
            return true;
        }
        case kLeave:
            if (!in.AtEnd())
                return false;
            RemoveMember(host, guest.user, k_EChatMemberStateChangeLeft);
            guest.user = 0;
            guest.connection.Close();
            return true;
        default:
            return false;
        }
    }

    // ---- a member's side ----

    void PollJoined(uint64_t id)
    {
        JoinedLobby& joined = *m_joined[id];
        if (joined.finding)
            return;
        joined.connection.Pump();
        Bytes frame;
        bool broken = false;
        for (int n = 0; n < 256 && !broken && !joined.refused && !joined.ownerLeft && joined.connection.Receive(frame); ++n)
            if (!HandleOwnerFrame(joined, frame)) {
                Log("the owner broke the protocol; leaving", id);
                broken = true;
            }
        if (joined.refused) {
            m_joined.erase(id);
            return;
        }
        if (joined.ownerLeft) {
            joined.connection.Close();
            OwnerGone(id);
            return;
        }
        if (joined.pendingCall != k_uAPICallInvalid && NowMs() - joined.startedMs > kJoinTimeoutMs) {
            Log("no answer from the owner", id);
            broken = true;
        }
        if (!broken && joined.connection.Usable())
            return;
        if (joined.connection.GetState() == Connection::State::Failed)
            Log("connection to the owner failed", id, joined.connection.Reason());
        if (joined.pendingCall != k_uAPICallInvalid) {
            LobbyEnter_t enter{};
            enter.m_ulSteamIDLobby = id;
            enter.m_EChatRoomEnterResponse = k_EChatRoomEnterResponseError;
            m_context.EmitResult(joined.pendingCall, enter);
            m_joined.erase(id);
            return;
        }
        OwnerGone(id);
    }

    // The owner left or died: tell the game, and let the first remaining member carry on.
    void OwnerGone(uint64_t id)
    {
        std::unique_ptr<JoinedLobby> joined = std::move(m_joined[id]);
        m_joined.erase(id);
        LobbyRecord& record = joined->view.record;
        uint64_t owner = record.owner;
        auto& members = record.members;
        if (std::find_if(members.begin(), members.end(), [&](const LobbyMember& m) { return m.id == owner; }) !=
            members.end()) {
            std::erase_if(members, [&](const LobbyMember& m) { return m.id == owner; });
            EmitMemberChange(id, owner, k_EChatMemberStateChangeLeft);
        }
        uint64_t self = m_context.Self().ConvertToUint64();
        if (members.empty() || members.front().id != self) {
            Log("the owner is gone and another member takes over; this member leaves", id);
            return;
        }
        auto hosted = std::make_unique<HostedLobby>();
        hosted->view = std::move(joined->view);
        hosted->view.record.owner = self;
        IOnlineBackend& backend = m_context.Backend();
        if (!hosted->listener.Open(backend.BindIp(), 0)) {
            Log("cannot serve the lobby after its owner left", id);
            return;
        }
        hosted->view.record.ip = backend.AdvertisedIp();
        hosted->view.record.port = hosted->listener.Port();
        hosted->dirty = true;
        m_hosted[id] = std::move(hosted);
        EmitDataUpdate(id, id);
    }

    bool HandleOwnerFrame(JoinedLobby& joined, const Bytes& frame)
    {
        WireReader in(frame);
        uint8_t kind = 0;
        if (!in.U8(kind))
            return false;
        LobbyView& view = joined.view;
        uint64_t id = view.record.id;
        if (joined.pendingCall != k_uAPICallInvalid) {
            if (kind == kEnter) {
                uint32_t response = 0;
                if (!in.U32(response) || !in.AtEnd())
                    return false;
                if (response == k_EChatRoomEnterResponseSuccess)
                    return true;  // the snapshot follows
                LobbyEnter_t enter{};
                enter.m_ulSteamIDLobby = id;
                enter.m_EChatRoomEnterResponse = response;
                m_context.EmitResult(joined.pendingCall, enter);
                joined.pendingCall = k_uAPICallInvalid;
                joined.refused = true;
                return true;
            }
            LobbyRecord record;
            if (kind != kSnapshot || !DecodeLobby(in, record) || !in.AtEnd() || record.id != id)
                return false;
            record.ip = view.record.ip;
            record.port = view.record.port;
            view.record = std::move(record);
            joined.entered = true;
            LobbyEnter_t enter{};
            enter.m_ulSteamIDLobby = id;
            enter.m_EChatRoomEnterResponse = k_EChatRoomEnterResponseSuccess;
            m_context.EmitResult(joined.pendingCall, enter);
            joined.pendingCall = k_uAPICallInvalid;
            EmitDataUpdate(id, id);
            if (view.record.server.id != 0)
                EmitGameCreated(view.record);
            return true;
        }
        std::string key, value, text;
        uint64_t member = 0;
        switch (kind) {
        case kData:
            if (!in.Text(key, kMaxKeyBytes) || !in.Text(value, kMaxValueBytes) || !in.AtEnd() || key.empty())
                return false;
            SetValue(view.record.data, key, value);
            EmitDataUpdate(id, id);
            return true;
        case kMemberJoined:
            if (!in.U64(member) || !in.Text(text, kMaxNameBytes) || !in.AtEnd() || member == 0)
                return false;
            if (view.Member(member))
                return true;
            // No more members than the lobby takes: an owner cannot fill the list with made-up ones.
            if (view.record.members.size() >= std::min<size_t>(static_cast<size_t>(view.record.limit), kMaxLobbyMembers)) {
                if (joined.phantoms++ == 0)
                    Log("the owner announced more members than the lobby takes; they are ignored", id);
                return true;
            }
            view.record.members.push_back({member, CleanLine(text, kMaxNameBytes), {}});
            EmitMemberChange(id, member, k_EChatMemberStateChangeEntered);
            return true;
        case kMemberLeft: {
            uint32_t change = 0;
            if (!in.U64(member) || !in.U32(change) || !in.AtEnd())
                return false;
            if (member == view.record.owner) {
                joined.ownerLeft = true;  // OwnerGone tells the game
                return true;
            }
            if (!view.Member(member))
                return true;
            std::erase_if(view.record.members, [&](const LobbyMember& m) { return m.id == member; });
            joined.relayedPaces.erase(member);
            EmitMemberChange(id, member, k_EChatMemberStateChangeLeft);
            return true;
        }
        case kMemberData: {
            if (!in.U64(member) || !in.Text(key, kMaxKeyBytes) || !in.Text(value, kMaxValueBytes) || !in.AtEnd() ||
                key.empty())
                return false;
            LobbyMember* entry = view.Member(member);
            if (!entry)
                return true;
            SetValue(entry->data, key, value);
            EmitDataUpdate(id, member);
            return true;
        }
        case kChatEntry: {
            uint32_t chatId = 0;
            uint8_t type = 0;
            if (!in.U32(chatId) || !in.U64(member) || !in.U8(type) || !in.Text(text, kMaxChatBytes) || !in.AtEnd() ||
                chatId < 1 || chatId > static_cast<uint32_t>(INT32_MAX))
                return false;
            if (AcceptRelayedChat(joined, member, text))
                AddMemberChat(joined, static_cast<int>(chatId), member, static_cast<EChatEntryType>(type),
                              CleanLine(text, kMaxChatBytes));
            return true;
        }
        case kGameServer:
            if (!in.U32(view.record.server.ip) || !in.U16(view.record.server.port) || !in.U64(view.record.server.id) ||
                !in.AtEnd())
                return false;
            // The ticket goes to the owner now, ahead of the connection that will use it.
            if (view.record.server.id != 0)
                m_context.PrepareTicket(view.record.server.id);
            EmitGameCreated(view.record);
            return true;
        case kLimit: {
            int32_t limit = 0;
            if (!in.I32(limit) || !in.AtEnd() || limit < 1 || limit > static_cast<int32_t>(kMaxLobbyMembers))
                return false;
            view.record.limit = limit;
            EmitDataUpdate(id, id);
            return true;
        }
        default:
            return false;
        }
    }

    // Whether a line the owner relays may be shown: its sender is a member, within the pace the
    // owner keeps, and a line said to be this member's is one this member sent.
    bool AcceptRelayedChat(JoinedLobby& joined, uint64_t sender, const std::string& text)
    {
        uint64_t id = joined.view.record.id;
        if (!joined.view.Member(sender))
            return false;
        if (sender == m_context.Self().ConvertToUint64()) {
            std::string clean = CleanLine(text, kMaxChatBytes);
            auto sent = std::find(joined.unechoed.begin(), joined.unechoed.end(), clean);
            if (sent == joined.unechoed.end()) {
                if (joined.forgedLines++ == 0)
                    Log("the owner relayed a line this member never sent; it is not shown", id);
                return false;
            }
            // Lines before it were dropped by the owner's pace: they will not come back.
            joined.unechoed.erase(joined.unechoed.begin(), sent + 1);
            return true;
        }
        auto pace = joined.relayedPaces.try_emplace(sender, kRelayedChatBurst, kRelayedChatIntervalMs).first;
        return pace->second.Take(id, sender);
    }

    void AddMemberChat(JoinedLobby& joined, int chatId, uint64_t sender, EChatEntryType type, std::string text)
    {
        LobbyView& view = joined.view;
        view.AddChat(chatId, {sender, type, std::move(text)});
        view.nextChat = NextChatId(chatId);
        EmitChat(view.record.id, sender, chatId);
    }

    OnlineContext& m_context;
    std::map<uint64_t, std::unique_ptr<HostedLobby>> m_hosted;
    std::map<uint64_t, std::unique_ptr<JoinedLobby>> m_joined;
    std::vector<Filter> m_filters;
    std::vector<uint64_t> m_listedIds;
    std::map<uint64_t, LobbyRecord> m_listed;
    uint64_t m_serial = 0;
};

LobbyEngine* MakeLobbyEngine(OnlineContext& context)
{
    return new LobbyEngine(context);
}

void DeleteLobbyEngine(LobbyEngine* engine)
{
    delete engine;
}

ISteamMatchmaking* AsMatchmaking(LobbyEngine& engine)
{
    return &engine;
}

void PollLobbies(LobbyEngine& engine)
{
    engine.Poll();
}

const LobbyRecord* FindLobbyView(LobbyEngine& engine, uint64_t lobby)
{
    return engine.View(CSteamID(lobby));
}

std::vector<const LobbyRecord*> JoinedLobbies(LobbyEngine& engine)
{
    return engine.Joined();
}

bool SendTicketToOwners(LobbyEngine& engine, uint64_t server, const TicketSecret& secret)
{
    return engine.SendTicket(server, secret);
}

void ReplayOwnerFrames(LobbyEngine& engine, const LobbyRecord& lobby, const std::vector<Bytes>& frames)
{
    engine.ReplayOwnerFrames(lobby, frames);
}

void ReplayGuestFrames(LobbyEngine& engine, const LobbyRecord& lobby, const std::vector<GuestFrame>& frames)
{
    engine.ReplayGuestFrames(lobby, frames);
}

} // namespace platform::steam
