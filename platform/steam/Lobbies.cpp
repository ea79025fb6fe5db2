// Lobbies. The owner's process is a lobby's authority: it listens on a TCP port of its own,
// keeps the lobby's data, members, member data, member limit, chat and game server, checks
// every request of a member and sends every change to every member in one order. Members keep
// one connection to it. The backend's directory only makes lobbies findable: the owner
// announces its lobby there every 2 s.
// Messages are frames whose first byte is the kind; fields follow little-endian.
//   member -> owner: JOIN {u64 user, text name}, SET_DATA {key, value},
//                    SET_MEMBER_DATA {key, value}, CHAT {text}, LEAVE {}
//   owner -> member: ENTER {u32 response}, SNAPSHOT {lobby record}, DATA {key, value},
//                    MEMBER_JOINED {u64, name}, MEMBER_LEFT {u64, u32 change},
//                    MEMBER_DATA {u64, key, value}, CHAT {u32 id, u64 sender, u8 type, text},
//                    GAME_SERVER {u32 ip, u16 port, u64 id}, LIMIT {i32}
// A peer that breaks these rules is dropped with a log line. When the owner goes, the first
// remaining member becomes the owner and serves the lobby from its copy.
#include "ClientState.h"
#include "Online.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

namespace platform::steam {

namespace {

// The game may call from its loader thread while the main thread pumps: every call holds the
// process lock, which the pump holds too.
std::unique_lock<std::recursive_mutex> HoldState()
{
    return std::unique_lock(State().lock);
}

enum Kind : uint8_t {
    kJoin = 1,
    kSetData = 2,
    kSetMemberData = 3,
    kChat = 4,
    kLeave = 5,
    kEnter = 20,
    kSnapshot = 21,
    kData = 22,
    kMemberJoined = 23,
    kMemberLeft = 24,
    kMemberData = 25,
    kChatEntry = 26,
    kGameServer = 27,
    kLimit = 28,
};

constexpr size_t kChatHistory = 64;
constexpr size_t kMaxPendingGuests = 16;
constexpr int64_t kJoinTimeoutMs = 10000;

struct ChatEntry {
    uint64_t sender = 0;
    EChatEntryType type = k_EChatEntryTypeChatMsg;
    std::string text;
};

// What every participant keeps of a lobby.
struct LobbyView {
    LobbyRecord record;
    std::map<int, ChatEntry> chat;
    int nextChat = 1;

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
};

struct HostedLobby {
    LobbyView view;
    Listener listener;
    std::vector<Guest> guests;
    int64_t announcedMs = 0;
    bool dirty = true;
};

struct JoinedLobby {
    LobbyView view;
    Connection connection;
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
        LobbyRecord found;
        if (!lobby.IsValid() || !m_context.Backend().FindLobby(id, found)) {
            enter.m_EChatRoomEnterResponse = k_EChatRoomEnterResponseDoesntExist;
            return m_context.EmitResult(enter);
        }
        auto joined = std::make_unique<JoinedLobby>();
        joined->view.record = found;
        joined->connection = Connection::Connect(found.ip, found.port);
        joined->startedMs = NowMs();
        joined->connection.Send(Message(kJoin, [&](WireWriter& out) {
            out.U64(m_context.Self().ConvertToUint64());
            out.Text(m_context.PersonaName());
        }));
        SteamAPICall_t call = NextCall();
        joined->pendingCall = call;
        m_joined[id] = std::move(joined);
        m_context.Backend().PublishPersona(m_context.Self().ConvertToUint64(), m_context.PersonaName());
        return call;
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
            m_context.Backend().WithdrawLobby(id);
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
        std::vector<LobbyRecord> lobbies;
        bool ok = m_context.Backend().ListLobbies(lobbies);
        m_listed.clear();
        m_listedIds.clear();
        for (LobbyRecord& lobby : lobbies) {
            if (lobby.type != k_ELobbyTypePublic || !Matches(lobby, filters))
                continue;
            if (m_listedIds.size() >= kMaxListedLobbies)
                break;
            m_listedIds.push_back(lobby.id);
            m_listed[lobby.id] = std::move(lobby);
        }
        LobbyMatchList_t result{};
        result.m_nLobbiesMatching = static_cast<uint32_t>(m_listedIds.size());
        return m_context.EmitResult(result, !ok);
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
        if (auto hosted = m_hosted.find(id); hosted != m_hosted.end()) {
            ApplyData(*hosted->second, key, value);
            return true;
        }
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
        LobbyRecord record;
        if (!m_context.Backend().FindLobby(id, record)) {
            m_listed.erase(id);
            return false;
        }
        m_listed[id] = std::move(record);
        update.m_bSuccess = 1;
        m_context.Emit(update);
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
        std::string text(static_cast<const char*>(body), static_cast<size_t>(bytes));
        // A terminator passed along with the text is not part of it.
        while (!text.empty() && text.back() == '\0')
            text.pop_back();
        if (!IsValidUtf8(text))
            text = CleanUtf8(text, kMaxChatBytes);
        uint64_t id = lobby.ConvertToUint64();
        if (auto hosted = m_hosted.find(id); hosted != m_hosted.end()) {
            ApplyChat(*hosted->second, m_context.Self().ConvertToUint64(), text);
            return true;
        }
        auto joined = m_joined.find(id);
        if (joined == m_joined.end() || !joined->second->entered)
            return false;
        return joined->second->connection.Send(Message(kChat, [&](WireWriter& out) { out.Text(text); }));
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
                value = static_cast<int32_t>(lobby.members.size()) < lobby.limit ? "1" : "0";
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

    void ApplyData(HostedLobby& host, const std::string& key, const std::string& value)
    {
        KeyValues& data = host.view.record.data;
        if (!data.count(key) && !value.empty() && data.size() >= kMaxLobbyKeys)
            return;
        SetValue(data, key, value);
        host.dirty = true;
        Broadcast(host, Message(kData, [&](WireWriter& out) {
            out.Text(key);
            out.Text(value);
        }));
        EmitDataUpdate(host.view.record.id, host.view.record.id);
    }

    void ApplyMemberData(HostedLobby& host, uint64_t member, const std::string& key, const std::string& value)
    {
        LobbyMember* entry = host.view.Member(member);
        if (!entry || (!entry->data.count(key) && !value.empty() && entry->data.size() >= kMaxMemberKeys))
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
        int chatId = host.view.nextChat++;
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
            size_t pending = std::count_if(host.guests.begin(), host.guests.end(), [](const Guest& g) { return g.user == 0; });
            if (pending >= kMaxPendingGuests) {
                Log("too many connections that did not join; one is refused", lobbyId);
                continue;
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
        if (host.dirty || now - host.announcedMs >= kAnnouncementRefreshMs) {
            if (m_context.Backend().PublishLobby(host.view.record)) {
                host.dirty = false;
                host.announcedMs = now;
            }
        }
    }

    bool HandleGuestFrame(HostedLobby& host, Guest& guest, const Bytes& frame)
    {
        WireReader in(frame);
        uint8_t kind = 0;
        if (!in.U8(kind))
            return false;
        LobbyRecord& record = host.view.record;
        if (guest.user == 0) {
            // The first message must be the join.
            uint64_t user = 0;
            std::string name;
            if (kind != kJoin || !in.U64(user) || !in.Text(name, kMaxNameBytes) || !in.AtEnd() || user == 0)
                return false;
            uint32_t response = k_EChatRoomEnterResponseSuccess;
            if (host.view.Member(user))
                response = k_EChatRoomEnterResponseNotAllowed;
            else if (static_cast<int32_t>(record.members.size()) >= record.limit)
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
            m_context.Backend().PublishPersona(user, name);
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
            ApplyChat(host, guest.user, text);
            return true;
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
            if (!view.Member(member) && view.record.members.size() < kMaxLobbyMembers)
                view.record.members.push_back({member, text, {}});
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
            std::erase_if(view.record.members, [&](const LobbyMember& m) { return m.id == member; });
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
            if (!in.U32(chatId) || !in.U64(member) || !in.U8(type) || !in.Text(text, kMaxChatBytes) || !in.AtEnd())
                return false;
            view.AddChat(static_cast<int>(chatId), {member, static_cast<EChatEntryType>(type), text});
            view.nextChat = static_cast<int>(chatId) + 1;
            EmitChat(id, member, static_cast<int>(chatId));
            return true;
        }
        case kGameServer:
            if (!in.U32(view.record.server.ip) || !in.U16(view.record.server.port) || !in.U64(view.record.server.id) ||
                !in.AtEnd())
                return false;
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

    OnlineContext& m_context;
    std::map<uint64_t, std::unique_ptr<HostedLobby>> m_hosted;
    std::map<uint64_t, std::unique_ptr<JoinedLobby>> m_joined;
    std::vector<Filter> m_filters;
    std::vector<uint64_t> m_listedIds;
    std::map<uint64_t, LobbyRecord> m_listed;
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

} // namespace platform::steam
