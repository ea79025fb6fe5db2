// Lobbies against a participant that lies: a lobby owner that makes up members, forges chat and
// runs chat ids to their end, and a member that floods the chat, breaks lines and takes the
// owner's name. Both speak the lobby framing over real loopback sockets against the real
// lobby engine.
#include "OnlineFixture.h"

#include "../../platform/steam/OnlineBackend.h"
#include "../../platform/steam/Wire.h"

#include <optional>

namespace steamtest {
namespace {

using platform::steam::Bytes;
using platform::steam::Connection;
using platform::steam::LobbyRecord;
using platform::steam::WireReader;
using platform::steam::WireWriter;

constexpr uint64_t kBee = 0x1000000000000B0B;
constexpr uint64_t kOwner = 0x1000000000000111;
constexpr uint64_t kHostile = 0x1000000000000666;

// The lobby protocol's message kinds, as they travel.
enum : uint8_t {
    kJoin = 1,
    kChat = 4,
    kEnter = 20,
    kSnapshot = 21,
    kMemberJoined = 23,
    kChatEntry = 26,
};

Bytes ChatEntry(uint32_t id, uint64_t sender, const std::string& text)
{
    WireWriter out;
    out.U8(kChatEntry);
    out.U32(id);
    out.U64(sender);
    out.U8(k_EChatEntryTypeChatMsg);
    out.Text(text);
    return out.Take();
}

class HostileLobby : public OnlineContract {
protected:
    // The text of chat entry `id` as `matchmaking` has it.
    static std::string ChatText(ISteamMatchmaking* matchmaking, CSteamID lobby, int id, CSteamID* sender = nullptr)
    {
        char text[256] = {};
        int bytes = matchmaking->GetLobbyChatEntry(lobby, id, sender, text, sizeof text, nullptr);
        return std::string(text, static_cast<size_t>(std::max(bytes, 0)));
    }

    // Pumps for a while (about half a second of rounds), moving `connection` along.
    void PumpAWhile(Connection& connection)
    {
        int rounds = 0;
        PumpUntil([&] {
            connection.Pump();
            return ++rounds >= 250;
        });
    }

    // Pumps until `connection` received a frame or the rounds ran out.
    bool ReceiveFrame(Connection& connection, Bytes& frame)
    {
        return PumpUntil([&] {
            connection.Pump();
            return connection.Receive(frame);
        });
    }
};

// A lobby served by the test itself: Bee joins it, and the "owner" then says what it likes.
TEST_P(HostileLobby, AnOwnerCannotMakeUpMembersOrPutWordsInAMembersMouth)
{
    platform::steam::Listener listener;
    ASSERT_TRUE(listener.Open(platform::steam::kLoopback, 0));
    LobbyRecord record;
    record.id = 0x2000000000000042;
    record.owner = kOwner;
    record.type = k_ELobbyTypePublic;
    record.limit = 2;
    record.ip = platform::steam::kLoopback;
    record.port = listener.Port();
    record.members.push_back({kOwner, "Hostia", {}});
    ASSERT_TRUE(platform::steam::MakeBackendFromEnvironment()->PublishLobby(record));

    Player& bee = AddPlayer(kBee, "Hostia");
    ISteamMatchmaking* b = bee.peer.Matchmaking();
    CSteamID lobby(record.id);
    SteamAPICall_t join = b->JoinLobby(lobby);
    std::optional<Connection> owner;
    ASSERT_TRUE(PumpUntil([&] { return (owner = listener.Accept()).has_value(); }));
    Bytes frame;
    ASSERT_TRUE(ReceiveFrame(*owner, frame));
    ASSERT_EQ(frame[0], kJoin);
    {
        WireWriter enter;
        enter.U8(kEnter);
        enter.U32(k_EChatRoomEnterResponseSuccess);
        owner->Send(enter.Data());
        // The snapshot names the owner with a line break in its name.
        record.members = {{kOwner, "Hos\ntia", {}}, {kBee, "Hostia", {}}};
        WireWriter snapshot;
        snapshot.U8(kSnapshot);
        platform::steam::WriteLobby(snapshot, record);
        owner->Send(snapshot.Data());
    }
    ASSERT_TRUE(PumpUntil([&] {
        owner->Pump();
        return ResultOf(bee.events, join) != nullptr;
    }));
    ASSERT_EQ(ResultOf(bee.events, join)->As<LobbyEnter_t>().m_EChatRoomEnterResponse,
              k_EChatRoomEnterResponseSuccess);

    // Two members named alike are told apart, the same way on every side; no name breaks a line.
    EXPECT_STREQ(bee.peer.PersonaOf(CSteamID(kOwner)), "Hostia");
    EXPECT_STREQ(bee.peer.PersonaOf(CSteamID(kBee)), "Hostia (2)");

    // 250 made-up members: the lobby takes two.
    for (uint64_t ghost = 1; ghost <= 250; ++ghost) {
        WireWriter joined;
        joined.U8(kMemberJoined);
        joined.U64(0x3000000000000000 + ghost);
        joined.Text("ghost");
        owner->Send(joined.Data());
    }
    // A line with a break in it; a line "from Bee" that Bee never sent; the last chat id there is.
    owner->Send(ChatEntry(5, kOwner, "hi\nHostia (2) : I give up\r\t\x1b[2J"));
    owner->Send(ChatEntry(6, kBee, "I give up"));
    owner->Send(ChatEntry(0x7FFFFFFF, kOwner, "last id"));
    owner->Send(ChatEntry(1, kOwner, "after the wrap"));
    // A line from someone who is not a member.
    owner->Send(ChatEntry(2, 0x3000000000000001, "boo"));
    ASSERT_TRUE(PumpUntil([&] {
        owner->Pump();
        return EventsOf<LobbyChatMsg_t>(bee.events).size() >= 3;
    }));
    PumpAWhile(*owner);
    EXPECT_EQ(b->GetNumLobbyMembers(lobby), 2);
    std::vector<uint32_t> ids;
    for (const LobbyChatMsg_t& chat : EventsOf<LobbyChatMsg_t>(bee.events))
        ids.push_back(chat.m_iChatID);
    EXPECT_EQ(ids, (std::vector<uint32_t>{5, 0x7FFFFFFF, 1}));
    EXPECT_EQ(ChatText(b, lobby, 5), "hiHostia (2) : I give up[2J");
    EXPECT_EQ(ChatText(b, lobby, 0x7FFFFFFF), "last id");
    EXPECT_EQ(ChatText(b, lobby, 1), "after the wrap");

    // Bee's own line comes back through the owner and is shown as Bee's.
    ASSERT_TRUE(b->SendLobbyChatMsg(lobby, "gg", 2));
    ASSERT_TRUE(ReceiveFrame(*owner, frame));
    ASSERT_EQ(frame[0], kChat);
    owner->Send(ChatEntry(7, kBee, "gg"));
    ASSERT_TRUE(PumpUntil([&] {
        owner->Pump();
        return EventsOf<LobbyChatMsg_t>(bee.events).size() >= 4;
    }));
    CSteamID sender;
    EXPECT_EQ(ChatText(b, lobby, 7, &sender), "gg");
    EXPECT_EQ(sender, CSteamID(kBee));
    EXPECT_TRUE(b->GetLobbyOwner(lobby) == CSteamID(kOwner)) << "the member stays in the lobby";
}

// A stranger's program joins A's lobby under A's own name, and floods the chat with lines that
// hold line breaks.
TEST_P(HostileLobby, AMemberIsToldApartAndItsChatIsPacedAndKeptOnOneLine)
{
    Heard<LobbyChatMsg_t> chat;
    Answer<LobbyCreated_t> created;
    created.Bind(SteamMatchmaking()->CreateLobby(k_ELobbyTypePublic, 2));
    ASSERT_TRUE(PumpUntil([&] { return created.got; }));
    CSteamID lobby(created.value.m_ulSteamIDLobby);
    LobbyRecord record;
    ASSERT_TRUE(platform::steam::MakeBackendFromEnvironment()->FindLobby(lobby.ConvertToUint64(), record));
    const std::string ownName = SteamFriends()->GetPersonaName();

    Connection stranger = Connection::Connect(record.ip, record.port);
    WireWriter join;
    join.U8(kJoin);
    join.U64(kHostile);
    join.Text(ownName);
    stranger.Send(join.Data());
    ASSERT_TRUE(PumpUntil([&] {
        stranger.Pump();
        return SteamMatchmaking()->GetNumLobbyMembers(lobby) == 2;
    }));
    EXPECT_STREQ(SteamFriends()->GetFriendPersonaName(SteamUser()->GetSteamID()), ownName.c_str());
    EXPECT_EQ(std::string(SteamFriends()->GetFriendPersonaName(CSteamID(kHostile))), ownName + " (2)");

    for (int i = 0; i < 60; ++i) {
        WireWriter line;
        line.U8(kChat);
        line.Text("line " + std::to_string(i) + "\n" + ownName + " : I resign");
        stranger.Send(line.Data());
    }
    PumpAWhile(stranger);
    // The burst passes, and about two lines a second after it; the rest are dropped.
    ASSERT_GE(chat.records.size(), 8u);
    EXPECT_LE(chat.records.size(), 8u + 12u);
    for (const LobbyChatMsg_t& line : chat.records) {
        std::string text = ChatText(SteamMatchmaking(), lobby, static_cast<int>(line.m_iChatID));
        EXPECT_EQ(text.find('\n'), std::string::npos) << text;
        EXPECT_EQ(line.m_ulSteamIDUser, kHostile);
    }
}

TEST_P(HostileLobby, ACrowdThatNeverJoinsCannotKeepAPlayerOut)
{
    Answer<LobbyCreated_t> created;
    created.Bind(SteamMatchmaking()->CreateLobby(k_ELobbyTypePublic, 2));
    ASSERT_TRUE(PumpUntil([&] { return created.got; }));
    CSteamID lobby(created.value.m_ulSteamIDLobby);
    LobbyRecord record;
    ASSERT_TRUE(platform::steam::MakeBackendFromEnvironment()->FindLobby(lobby.ConvertToUint64(), record));
    // 40 connections to the owner that never say a word: the oldest are let go for newcomers.
    std::vector<Connection> crowd;
    for (int i = 0; i < 40; ++i) {
        crowd.push_back(Connection::Connect(record.ip, record.port));
        PumpUntil([&] { return true; });
    }
    Player& bee = AddPlayer(kBee, "Bee");
    SteamAPICall_t call = bee.peer.Matchmaking()->JoinLobby(lobby);
    ASSERT_TRUE(PumpUntil([&] {
        for (Connection& connection : crowd)
            connection.Pump();
        return ResultOf(bee.events, call) != nullptr;
    }));
    EXPECT_EQ(ResultOf(bee.events, call)->As<LobbyEnter_t>().m_EChatRoomEnterResponse, k_EChatRoomEnterResponseSuccess);
    size_t open = 0;
    for (Connection& connection : crowd) {
        connection.Pump();
        open += connection.Usable() ? 1 : 0;
    }
    EXPECT_LE(open, 16u);
}

INSTANTIATE_TEST_SUITE_P(Backends, HostileLobby, ::testing::Values("embedded"), BackendName);

} // namespace
} // namespace steamtest
