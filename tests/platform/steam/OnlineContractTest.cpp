// The online contract of the platform client, run against the embedded backend and Redis:
// lobbies between players, the game server and its clients over loopback, tickets,
// leaderboards, and the pumps as the only place callbacks arrive. Player A is the process's own
// client (flat API, real callback objects); the others are in-process peers.
#include "OnlineFixture.h"

#include "../../platform/steam/OnlineBackend.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace steamtest {
namespace {

constexpr uint64_t kBee = 0x1000000000000B0B;
constexpr uint64_t kCat = 0x1000000000000CA7;

// A's lobby, created and answered.
CSteamID CreateLobbyAsA(OnlineContract& /*test*/, const std::function<bool(const std::function<bool()>&)>& pump)
{
    Answer<LobbyCreated_t> created;
    created.Bind(SteamMatchmaking()->CreateLobby(k_ELobbyTypePublic, 2));
    EXPECT_TRUE(pump([&] { return created.got; }));
    EXPECT_EQ(created.value.m_eResult, k_EResultOK);
    return CSteamID(created.value.m_ulSteamIDLobby);
}

class LobbyContract : public OnlineContract {
protected:
    CSteamID CreateLobby()
    {
        return CreateLobbyAsA(*this, [this](const std::function<bool()>& done) { return PumpUntil(done); });
    }
    // The player joins the lobby and waits for the answer; returns the enter response.
    uint32_t Join(Player& player, CSteamID lobby)
    {
        SteamAPICall_t call = player.peer.Matchmaking()->JoinLobby(lobby);
        EXPECT_NE(call, k_uAPICallInvalid);
        EXPECT_TRUE(PumpUntil([&] { return ResultOf(player.events, call) != nullptr; }));
        const Event* answer = ResultOf(player.events, call);
        return answer ? answer->As<LobbyEnter_t>().m_EChatRoomEnterResponse : 0;
    }
};

TEST_P(LobbyContract, CallbacksArriveOnlyInsideTheirOwnPump)
{
    Answer<LobbyCreated_t> created;
    Heard<LobbyEnter_t> entered;
    Heard<SteamServersConnected_t, true> serverUp;
    created.Bind(SteamMatchmaking()->CreateLobby(k_ELobbyTypePublic, 2));
    ASSERT_TRUE(SteamGameServer_Init(0, 8766, 27015, 0, 27016, 3, "vanteo", "1.0.0.0"));
    EXPECT_FALSE(created.got);
    EXPECT_TRUE(entered.records.empty());

    SteamGameServer_RunCallbacks();
    EXPECT_FALSE(created.got) << "a client result arrived in the game server's pump";
    EXPECT_EQ(serverUp.records.size(), 1u);

    SteamAPI_RunCallbacks();
    EXPECT_TRUE(created.got);
    EXPECT_FALSE(created.ioFailure);
    EXPECT_EQ(created.value.m_eResult, k_EResultOK);
    ASSERT_EQ(entered.records.size(), 1u);
    EXPECT_EQ(entered.records[0].m_ulSteamIDLobby, created.value.m_ulSteamIDLobby);
    EXPECT_EQ(serverUp.records.size(), 1u);
}

TEST_P(LobbyContract, PlayersListJoinShareDataChatAndLeave)
{
    Heard<LobbyChatUpdate_t> memberChanges;
    Heard<LobbyDataUpdate_t> dataChanges;
    Heard<LobbyChatMsg_t> chat;
    CSteamID lobby = CreateLobby();
    ISteamMatchmaking* a = SteamMatchmaking();
    ASSERT_TRUE(a->SetLobbyData(lobby, "name", "A's lobby"));
    ASSERT_TRUE(a->SetLobbyData(lobby, "Mode", "2"));
    ASSERT_TRUE(a->SetLobbyData(lobby, "Type", "0"));
    EXPECT_STREQ(a->GetLobbyData(lobby, "absent"), "");
    EXPECT_EQ(a->GetLobbyOwner(lobby), SteamUser()->GetSteamID());
    // The announcement carries the data once the owner's next announcement is written.
    std::unique_ptr<platform::steam::IOnlineBackend> directory = platform::steam::MakeBackendFromEnvironment();
    ASSERT_TRUE(PumpUntil([&] {
        platform::steam::LobbyRecord announced;
        return directory->FindLobby(lobby.ConvertToUint64(), announced) && announced.data["Mode"] == "2";
    }));

    Player& bee = AddPlayer(kBee, "Bee");
    ISteamMatchmaking* b = bee.peer.Matchmaking();
    struct Case {
        const char* mode;
        const char* join;
        bool listed;
    };
    for (const Case& c : {Case{"2", "1", true}, Case{"1", nullptr, false}, Case{nullptr, "1", true}}) {
        b->AddRequestLobbyListStringFilter("Type", "0", k_ELobbyComparisonEqual);
        if (c.mode)
            b->AddRequestLobbyListStringFilter("Mode", c.mode, k_ELobbyComparisonEqual);
        if (c.join)
            b->AddRequestLobbyListStringFilter("Join", c.join, k_ELobbyComparisonEqual);
        SteamAPICall_t call = b->RequestLobbyList();
        ASSERT_TRUE(PumpUntil([&] { return ResultOf(bee.events, call) != nullptr; }));
        const Event* list = ResultOf(bee.events, call);
        EXPECT_FALSE(list->ioFailure);
        bool found = false;
        for (uint32_t i = 0; i < list->As<LobbyMatchList_t>().m_nLobbiesMatching; ++i)
            found = found || b->GetLobbyByIndex(static_cast<int>(i)) == lobby;
        EXPECT_EQ(found, c.listed) << "mode " << (c.mode ? c.mode : "any");
    }
    // A listed lobby shows its data and members before joining.
    EXPECT_STREQ(b->GetLobbyData(lobby, "name"), "A's lobby");
    EXPECT_EQ(b->GetNumLobbyMembers(lobby), 1);

    ASSERT_EQ(Join(bee, lobby), k_EChatRoomEnterResponseSuccess);
    ASSERT_TRUE(PumpUntil([&] { return !memberChanges.records.empty(); }));
    EXPECT_EQ(memberChanges.records[0].m_ulSteamIDUserChanged, kBee);
    EXPECT_EQ(memberChanges.records[0].m_rgfChatMemberStateChange, k_EChatMemberStateChangeEntered);
    EXPECT_EQ(a->GetNumLobbyMembers(lobby), 2);
    EXPECT_EQ(b->GetLobbyOwner(lobby), SteamUser()->GetSteamID());
    EXPECT_STREQ(SteamFriends()->GetFriendPersonaName(CSteamID(kBee)), "Bee");
    EXPECT_TRUE(SteamFriends()->IsUserInSource(CSteamID(kBee), lobby));

    // Member data: own only; missing keys read "".
    b->SetLobbyMemberData(lobby, "ready", "1");
    ASSERT_TRUE(PumpUntil([&] { return std::string(a->GetLobbyMemberData(lobby, CSteamID(kBee), "ready")) == "1"; }));
    EXPECT_STREQ(a->GetLobbyMemberData(lobby, SteamUser()->GetSteamID(), "ready"), "");

    // Only the owner writes lobby data; a member writes only its record and "game_starting" = "0".
    EXPECT_FALSE(b->SetLobbyData(lobby, "Mode", "1"));
    EXPECT_FALSE(b->SetLobbyData(lobby, "game_starting", "1"));
    EXPECT_TRUE(b->SetLobbyData(lobby, "GuestRecord", "W 1 - L 0"));
    ASSERT_TRUE(PumpUntil([&] { return std::string(a->GetLobbyData(lobby, "GuestRecord")) == "W 1 - L 0"; }));
    EXPECT_STREQ(a->GetLobbyData(lobby, "Mode"), "2");
    ASSERT_TRUE(PumpUntil([&] { return std::string(b->GetLobbyData(lobby, "GuestRecord")) == "W 1 - L 0"; }));

    // Chat both ways, with its chat id and type.
    const char hello[] = "hello from Bee";
    ASSERT_TRUE(b->SendLobbyChatMsg(lobby, hello, static_cast<int>(std::strlen(hello))));
    ASSERT_TRUE(PumpUntil([&] { return !chat.records.empty(); }));
    EXPECT_EQ(chat.records[0].m_ulSteamIDUser, kBee);
    EXPECT_EQ(chat.records[0].m_eChatEntryType, k_EChatEntryTypeChatMsg);
    char text[128] = {};
    CSteamID sender;
    EChatEntryType type = k_EChatEntryTypeInvalid;
    int bytes = a->GetLobbyChatEntry(lobby, static_cast<int>(chat.records[0].m_iChatID), &sender, text, 127, &type);
    EXPECT_EQ(std::string(text, static_cast<size_t>(bytes)), hello);
    EXPECT_EQ(sender, CSteamID(kBee));
    ASSERT_TRUE(a->SendLobbyChatMsg(lobby, "", 0));
    // Bee hears its own line first, then A's empty one.
    ASSERT_TRUE(PumpUntil([&] { return EventsOf<LobbyChatMsg_t>(bee.events).size() >= 2; }));
    LobbyChatMsg_t fromA = EventsOf<LobbyChatMsg_t>(bee.events)[1];
    EXPECT_EQ(fromA.m_ulSteamIDUser, SteamUser()->GetSteamID().ConvertToUint64());
    EXPECT_EQ(b->GetLobbyChatEntry(lobby, static_cast<int>(fromA.m_iChatID), nullptr, text, 127, nullptr), 0);

    // Two members fill the lobby: a third join is refused as full.
    Player& cat = AddPlayer(kCat, "Cat");
    EXPECT_EQ(Join(cat, lobby), k_EChatRoomEnterResponseFull);
    EXPECT_EQ(a->GetNumLobbyMembers(lobby), 2);

    b->LeaveLobby(lobby);
    ASSERT_TRUE(PumpUntil([&] { return memberChanges.records.size() >= 2; }));
    EXPECT_EQ(memberChanges.records[1].m_ulSteamIDUserChanged, kBee);
    EXPECT_EQ(memberChanges.records[1].m_rgfChatMemberStateChange, k_EChatMemberStateChangeLeft);
    EXPECT_EQ(a->GetNumLobbyMembers(lobby), 1);
    EXPECT_FALSE(dataChanges.records.empty());
}

TEST_P(LobbyContract, WhenTheOwnerGoesTheMemberLeftBehindOwnsTheLobby)
{
    Player& bee = AddPlayer(kBee, "Bee");
    CSteamID lobby = CreateLobby();
    SteamMatchmaking()->SetLobbyData(lobby, "name", "kept");
    ASSERT_EQ(Join(bee, lobby), k_EChatRoomEnterResponseSuccess);

    SteamMatchmaking()->LeaveLobby(lobby);
    ASSERT_TRUE(PumpUntil([&] { return !EventsOf<LobbyChatUpdate_t>(bee.events).empty(); }));
    LobbyChatUpdate_t left = EventsOf<LobbyChatUpdate_t>(bee.events).back();
    EXPECT_EQ(left.m_ulSteamIDUserChanged, SteamUser()->GetSteamID().ConvertToUint64());
    EXPECT_EQ(left.m_rgfChatMemberStateChange, k_EChatMemberStateChangeLeft);
    ISteamMatchmaking* b = bee.peer.Matchmaking();
    EXPECT_EQ(b->GetLobbyOwner(lobby), CSteamID(kBee));
    EXPECT_EQ(b->GetNumLobbyMembers(lobby), 1);
    EXPECT_STREQ(b->GetLobbyData(lobby, "name"), "kept");

    // The new owner serves it: another player can join.
    Player& cat = AddPlayer(kCat, "Cat");
    // Once the new owner's announcement is out: the old owner's withdrawal may still cross it, and
    // the new owner's next refresh (every 2 s) puts it back.
    std::unique_ptr<platform::steam::IOnlineBackend> directory = platform::steam::MakeBackendFromEnvironment();
    uint32_t response = 0;
    for (int attempt = 0; attempt < 4 && response != k_EChatRoomEnterResponseSuccess; ++attempt) {
        ASSERT_TRUE(PumpUntil([&] {
            platform::steam::LobbyRecord announced;
            return directory->FindLobby(lobby.ConvertToUint64(), announced) && announced.owner == kBee;
        }));
        response = Join(cat, lobby);
    }
    EXPECT_EQ(response, k_EChatRoomEnterResponseSuccess);
}

TEST_P(LobbyContract, ListsAreCappedAndJoiningAGoneLobbyFails)
{
    // The cap applies to what the filters let through, not to the directory.
    ASSERT_EQ(platform::steam::AnnounceDirectoryLobbies(230, "Mode", "2"), 230);
    ASSERT_EQ(platform::steam::AnnounceDirectoryLobbies(230, "Mode", "1"), 230);
    Player& bee = AddPlayer(kBee, "Bee");
    bee.peer.Matchmaking()->AddRequestLobbyListStringFilter("Mode", "2", k_ELobbyComparisonEqual);
    SteamAPICall_t call = bee.peer.Matchmaking()->RequestLobbyList();
    ASSERT_TRUE(PumpUntil([&] { return ResultOf(bee.events, call) != nullptr; }));
    EXPECT_EQ(ResultOf(bee.events, call)->As<LobbyMatchList_t>().m_nLobbiesMatching, 200u);
    EXPECT_STREQ(bee.peer.Matchmaking()->GetLobbyData(bee.peer.Matchmaking()->GetLobbyByIndex(199), "Mode"), "2");
    // Its owner serves nobody: the join fails rather than hangs.
    CSteamID listed = bee.peer.Matchmaking()->GetLobbyByIndex(0);
    EXPECT_NE(Join(bee, listed), k_EChatRoomEnterResponseSuccess);
    platform::steam::WithdrawDirectoryLobbies();
    EXPECT_EQ(Join(bee, CSteamID(12345)), k_EChatRoomEnterResponseDoesntExist);
}

// ---- the game server ----

class ServerContract : public LobbyContract {
protected:
    // A hosts a lobby with Bee in it and a game server published in it; Bee's socket is connected.
    void SetUpMatch()
    {
        ASSERT_TRUE(SteamGameServer_Init(0, 8766, 27015, 0, 27016, 3, "vanteo", "1.0.0.0"));
        m_listen = SteamGameServerNetworking()->CreateListenSocket(0, 0, 27015, true);
        ASSERT_NE(m_listen, 0u);
        uint32_t ip = 0;
        uint16_t port = 0;
        ASSERT_TRUE(SteamGameServerNetworking()->GetListenSocketInfo(m_listen, &ip, &port));
        EXPECT_EQ(ip, 0x7F000001u);
        m_port = port;
        m_lobby = CreateLobby();
        m_bee = &AddPlayer(kBee, "Bee");
        ASSERT_EQ(Join(*m_bee, m_lobby), k_EChatRoomEnterResponseSuccess);
        m_server = SteamGameServer()->GetSteamID();
        SteamMatchmaking()->SetLobbyGameServer(m_lobby, ip, port, m_server);
        ASSERT_TRUE(PumpUntil([&] { return !EventsOf<LobbyGameCreated_t>(m_bee->events).empty(); }));
        LobbyGameCreated_t created = EventsOf<LobbyGameCreated_t>(m_bee->events)[0];
        EXPECT_EQ(created.m_ulSteamIDGameServer, m_server.ConvertToUint64());
        EXPECT_EQ(created.m_usPort, port);

        m_socket = m_bee->peer.Networking()->CreateP2PConnectionSocket(m_server, 0, 10, true);
        ASSERT_NE(m_socket, 0u);
        ASSERT_TRUE(PumpUntil([&] {
            return !EventsOf<SocketStatusCallback_t>(m_bee->events).empty() && !m_serverStatus.records.empty();
        }));
        EXPECT_EQ(EventsOf<SocketStatusCallback_t>(m_bee->events)[0].m_eSNetSocketState, k_ESNetSocketStateConnected);
        EXPECT_EQ(m_serverStatus.records[0].m_hListenSocket, m_listen);
        EXPECT_EQ(m_serverStatus.records[0].m_eSNetSocketState, k_ESNetSocketStateConnected);
        m_accepted = m_serverStatus.records[0].m_hSocket;
    }

    // The messages the server receives, in order, until `count` arrived.
    std::vector<std::vector<uint8_t>> ServerReceives(size_t count)
    {
        std::vector<std::vector<uint8_t>> got;
        PumpUntil([&] {
            uint32_t size = 0;
            SNetSocket_t from = 0;
            while (SteamGameServerNetworking()->IsDataAvailable(m_listen, &size, &from)) {
                std::vector<uint8_t> message(size);
                uint32_t read = 0;
                EXPECT_TRUE(SteamGameServerNetworking()->RetrieveData(m_listen, message.data(), size, &read, &from));
                EXPECT_EQ(from, m_accepted);
                message.resize(read);
                got.push_back(std::move(message));
            }
            return got.size() >= count;
        });
        return got;
    }

    Heard<SocketStatusCallback_t, true> m_serverStatus;
    Heard<GSClientApprove_t, true> m_approved;
    Heard<GSClientDeny_t, true> m_denied;
    SNetListenSocket_t m_listen = 0;
    uint16_t m_port = 0;
    CSteamID m_lobby;
    CSteamID m_server;
    Player* m_bee = nullptr;
    SNetSocket_t m_socket = 0;
    SNetSocket_t m_accepted = 0;
};

TEST_P(ServerContract, MessagesCrossInOrderWithTheirBoundaries)
{
    SetUpMatch();
    ISteamNetworking* b = m_bee->peer.Networking();
    std::vector<std::vector<uint8_t>> sent;
    for (size_t size : {size_t{1040}, size_t{4}, size_t{1}, size_t{65536}, size_t{8}}) {
        std::vector<uint8_t> message(size);
        for (size_t i = 0; i < size; ++i)
            message[i] = static_cast<uint8_t>(i * 7 + sent.size());
        ASSERT_TRUE(b->SendDataOnSocket(m_socket, message.data(), static_cast<uint32_t>(size), true)) << size;
        sent.push_back(std::move(message));
    }
    std::vector<uint8_t> tooBig(65537);
    EXPECT_FALSE(b->SendDataOnSocket(m_socket, tooBig.data(), static_cast<uint32_t>(tooBig.size()), true));
    EXPECT_EQ(ServerReceives(sent.size()), sent);

    // And back: one message per retrieve, a small buffer leaves it waiting.
    uint8_t reply[1040] = {1, 2, 3};
    ASSERT_TRUE(SteamGameServerNetworking()->SendDataOnSocket(m_accepted, reply, sizeof reply, false));
    uint32_t size = 0;
    ASSERT_TRUE(PumpUntil([&] { return b->IsDataAvailableOnSocket(m_socket, &size); }));
    EXPECT_EQ(size, sizeof reply);
    uint8_t small[16];
    EXPECT_FALSE(b->RetrieveDataFromSocket(m_socket, small, sizeof small, &size));
    std::vector<uint8_t> back(524288);
    ASSERT_TRUE(b->RetrieveDataFromSocket(m_socket, back.data(), static_cast<uint32_t>(back.size()), &size));
    EXPECT_EQ(size, sizeof reply);
    EXPECT_EQ(back[2], 3);
    EXPECT_FALSE(b->RetrieveDataFromSocket(m_socket, back.data(), static_cast<uint32_t>(back.size()), &size));
}

TEST_P(ServerContract, TicketsAdmitAMemberOnceAndRefuseForgeries)
{
    SetUpMatch();
    ISteamGameServer* server = SteamGameServer();
    // A refusal is said at once, or (for a ticket whose secret is still on its way through the
    // lobby) by a deny; it never admits.
    auto refused = [&](const std::vector<uint8_t>& ticket) {
        const size_t denies = m_denied.records.size();
        const size_t approvals = m_approved.records.size();
        CSteamID user;
        if (server->SendUserConnectAndAuthenticate(0x7F000001, ticket.data(), static_cast<uint32_t>(ticket.size()),
                                                   &user)) {
            if (!PumpUntil([&] { return m_denied.records.size() > denies || m_approved.records.size() > approvals; }))
                return false;
        }
        PumpUntil([] { return false; }, 20);
        return m_approved.records.size() == approvals;
    };
    auto ticketOf = [&](Player& player, CSteamID forServer) {
        std::vector<uint8_t> ticket(1024);
        int length = player.peer.InitiateGameConnection(ticket.data(), static_cast<int>(ticket.size()), forServer);
        EXPECT_GT(length, 0);
        ticket.resize(static_cast<size_t>(std::max(length, 0)));
        return ticket;
    };

    std::vector<uint8_t> bee = ticketOf(*m_bee, m_server);
    // Bee's id with a secret that is not the one Bee's program sent through the lobby.
    std::vector<uint8_t> wrongSecret = bee;
    wrongSecret.back() ^= 0x01;
    EXPECT_TRUE(refused(wrongSecret));

    // Bee's own ticket is admitted, once.
    CSteamID user;
    ASSERT_TRUE(server->SendUserConnectAndAuthenticate(0x7F000001, bee.data(), static_cast<uint32_t>(bee.size()), &user));
    EXPECT_EQ(user, CSteamID(kBee));
    ASSERT_TRUE(PumpUntil([&] { return !m_approved.records.empty(); }));
    EXPECT_EQ(m_approved.records.back().m_SteamID, CSteamID(kBee));

    Player& cat = AddPlayer(kCat, "Cat");
    std::vector<uint8_t> catsOwn = ticketOf(cat, m_server);
    std::vector<uint8_t> beeAsCat = bee;
    std::memcpy(beeAsCat.data() + 4, &kCat, sizeof kCat);
    std::vector<uint8_t> otherServer = ticketOf(*m_bee, CSteamID(m_server.ConvertToUint64() + 1));
    struct Case {
        const char* what;
        const std::vector<uint8_t>& ticket;
    };
    for (const Case& c : {Case{"Bee's ticket again", bee}, Case{"Bee's ticket with Cat's id", beeAsCat},
                          Case{"a non-member's own ticket", catsOwn}, Case{"a ticket for another server", otherServer}})
        EXPECT_TRUE(refused(c.ticket)) << c.what;
    EXPECT_EQ(m_approved.records.size(), 1u);
    for (const GSClientDeny_t& deny : m_denied.records)
        EXPECT_NE(deny.m_eDenyReason, k_EDenySteamValidationStalled) << "reason 14 would admit the player";
    // Bytes that are no ticket at all are refused at once.
    EXPECT_FALSE(server->SendUserConnectAndAuthenticate(0x7F000001, "garbage", 7, &user));
}

TEST_P(ServerContract, EachConnectionIsHandedAtMostItsShareOfAFrame)
{
    SetUpMatch();
    ISteamNetworking* b = m_bee->peer.Networking();
    const uint8_t request[4] = {0xF5, 0x05, 0, 0};
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(b->SendDataOnSocket(m_socket, request, sizeof request, true));
    m_bee->peer.Pump();
    // Each frame of the game server hands out at most 64 of them; the rest waits its turn.
    size_t handed = 0, frames = 0;
    while (handed < 200 && frames < 500) {
        SteamGameServer_RunCallbacks();
        m_bee->peer.Pump();
        size_t thisFrame = 0;
        uint32_t size = 0;
        SNetSocket_t from = 0;
        uint8_t message[16];
        while (SteamGameServerNetworking()->IsDataAvailable(m_listen, &size, &from) &&
               SteamGameServerNetworking()->RetrieveData(m_listen, message, sizeof message, &size, &from))
            ++thisFrame;
        EXPECT_LE(thisFrame, 64u);
        handed += thisFrame;
        ++frames;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(handed, 200u);
    EXPECT_GE(frames, 4u);
    // An empty message cannot be sent: on a game connection an empty frame is a keep-alive.
    EXPECT_FALSE(b->SendDataOnSocket(m_socket, request, 0, true));
}

TEST_P(ServerContract, ServerListCallsAreRefusedOrSaidOnceNeverFakedAsDone)
{
    SetUpMatch();
    // Every frame of the game server makes these calls: each is said at most once in the log.
    ::testing::internal::CaptureStderr();
    for (int frame = 0; frame < 3; ++frame) {
        SteamMasterServerUpdater()->SetActive(true);
        SteamMasterServerUpdater()->SetBasicServerData(7, true, "255", "game", 4, false, "game");
        SteamGameServer()->UpdateServerStatus(1, 4, 0, "Bee's game", "", "map");
        EXPECT_FALSE(SteamGameServer()->BUpdateUserData(CSteamID(kBee), "", 0));
    }
    const std::string said = ::testing::internal::GetCapturedStderr();
    for (const char* call : {"SetActive", "SetBasicServerData", "UpdateServerStatus", "BUpdateUserData"}) {
        size_t lines = 0;
        for (size_t at = said.find(call); at != std::string::npos; at = said.find(call, at + 1))
            ++lines;
        EXPECT_LE(lines, 1u) << call;
    }
}

TEST_P(ServerContract, AClosedOrMisbehavingPeerIsDroppedAndReported)
{
    SetUpMatch();
    // A raw connection that sends garbage instead of a hello never becomes a socket.
    int raw = ConnectLoopback(m_port);
    ASSERT_GE(raw, 0);
    const uint8_t garbage[] = {5, 0, 0, 0, 'h', 'e', 'l', 'l', 'o'};
    ::send(raw, garbage, sizeof garbage, MSG_NOSIGNAL);
    // A second one greets properly, then announces a frame over the cap.
    int oversize = ConnectLoopback(m_port);
    ASSERT_GE(oversize, 0);
    uint8_t hello[24] = {20, 0, 0, 0, 'Q', 'B', 'G', 'S', 1};
    ::send(oversize, hello, sizeof hello, MSG_NOSIGNAL);
    ASSERT_TRUE(PumpUntil([&] { return m_serverStatus.records.size() >= 2; }));
    const uint8_t huge[] = {0x01, 0x00, 0x02, 0x00};  // 131073 bytes
    ::send(oversize, huge, sizeof huge, MSG_NOSIGNAL);
    ASSERT_TRUE(PumpUntil([&] { return m_serverStatus.records.size() >= 3; }));
    EXPECT_EQ(m_serverStatus.records[2].m_eSNetSocketState, k_ESNetSocketStateConnectionBroken);
    char probe = 0;
    ASSERT_TRUE(PumpUntil([&] { return ::recv(raw, &probe, 1, MSG_DONTWAIT) == 0; })) << "garbage kept its connection";
    ::close(raw);
    ::close(oversize);

    // Bee goes away: the server hears the remote end closed; Bee's messages sent before it still arrive.
    uint8_t last[4] = {0xF8, 0x05, 0, 0};
    ASSERT_TRUE(m_bee->peer.Networking()->SendDataOnSocket(m_socket, last, sizeof last, true));
    ASSERT_TRUE(m_bee->peer.Networking()->DestroySocket(m_socket, true));
    ASSERT_TRUE(PumpUntil([&] { return m_serverStatus.records.size() >= 4; }));
    EXPECT_EQ(m_serverStatus.records[3].m_hSocket, m_accepted);
    EXPECT_EQ(m_serverStatus.records[3].m_eSNetSocketState, k_ESNetSocketStateRemoteEndDisconnected);
    EXPECT_EQ(ServerReceives(1), (std::vector<std::vector<uint8_t>>{{0xF8, 0x05, 0, 0}}));
}

TEST_P(ServerContract, AClientHearsWhenTheServerGoesOrIsUnknown)
{
    SetUpMatch();
    ASSERT_TRUE(SteamGameServerNetworking()->DestroyListenSocket(m_listen, true));
    ASSERT_TRUE(PumpUntil([&] { return EventsOf<SocketStatusCallback_t>(m_bee->events).size() >= 2; }));
    EXPECT_EQ(EventsOf<SocketStatusCallback_t>(m_bee->events)[1].m_eSNetSocketState,
              k_ESNetSocketStateRemoteEndDisconnected);

    SNetSocket_t unknown = m_bee->peer.Networking()->CreateP2PConnectionSocket(CSteamID(999), 0, 10, true);
    ASSERT_TRUE(PumpUntil([&] { return EventsOf<SocketStatusCallback_t>(m_bee->events).size() >= 3; }));
    SocketStatusCallback_t status = EventsOf<SocketStatusCallback_t>(m_bee->events)[2];
    EXPECT_EQ(status.m_hSocket, unknown);
    EXPECT_EQ(status.m_eSNetSocketState, k_ESNetSocketStateConnectionBroken);
}

// ---- leaderboards ----

class BoardContract : public OnlineContract {
protected:
    template <typename P>
    P Await(Player& player, SteamAPICall_t call)
    {
        EXPECT_NE(call, k_uAPICallInvalid);
        EXPECT_TRUE(PumpUntil([&] { return ResultOf(player.events, call) != nullptr; }));
        const Event* event = ResultOf(player.events, call);
        EXPECT_FALSE(event && event->ioFailure);
        return event ? event->As<P>() : P{};
    }
    // (user, rank, score) of a download.
    std::vector<std::tuple<uint64_t, int, int>> Rows(Player& player, SteamLeaderboard_t board,
                                                     ELeaderboardDataRequest request, int start, int end)
    {
        auto downloaded = Await<LeaderboardScoresDownloaded_t>(player, player.peer.DownloadLeaderboardEntries(board, request, start, end));
        std::vector<std::tuple<uint64_t, int, int>> rows;
        for (int i = 0; i < downloaded.m_cEntryCount; ++i) {
            LeaderboardEntry_t entry{};
            EXPECT_TRUE(player.peer.GetDownloadedLeaderboardEntry(downloaded.m_hSteamLeaderboardEntries, i, &entry));
            rows.emplace_back(entry.m_steamIDUser.ConvertToUint64(), entry.m_nGlobalRank, entry.m_nScore);
        }
        return rows;
    }
};

TEST_P(BoardContract, RanksFollowTheSortAndTheUploadMethod)
{
    Player& one = AddPlayer(1, "One");
    Player& two = AddPlayer(2, "Two");
    Player& three = AddPlayer(3, "Three");
    using Row = std::tuple<uint64_t, int, int>;
    struct Case {
        ELeaderboardSortMethod sort;
        ELeaderboardUploadScoreMethod method;
        std::vector<Row> expected;  // after uploads 50, 70, 60 and then One uploads 40
    };
    const Case cases[] = {
        {k_ELeaderboardSortMethodDescending, k_ELeaderboardUploadScoreMethodKeepBest, {{2, 1, 70}, {3, 2, 60}, {1, 3, 50}}},
        {k_ELeaderboardSortMethodDescending, k_ELeaderboardUploadScoreMethodForceUpdate, {{2, 1, 70}, {3, 2, 60}, {1, 3, 40}}},
        {k_ELeaderboardSortMethodAscending, k_ELeaderboardUploadScoreMethodKeepBest, {{1, 1, 40}, {3, 2, 60}, {2, 3, 70}}},
    };
    int n = 0;
    for (const Case& c : cases) {
        std::string name = "Board " + std::to_string(n++);
        SteamLeaderboard_t board = 0;
        for (Player* player : {&one, &two, &three})
            board = Await<LeaderboardFindResult_t>(*player, player->peer.FindOrCreateLeaderboard(
                                                                name.c_str(), c.sort, k_ELeaderboardDisplayTypeNumeric))
                        .m_hSteamLeaderboard;
        ASSERT_NE(board, 0u);
        int score = 50;
        for (Player* player : {&one, &two, &three}) {
            Await<LeaderboardScoreUploaded_t>(*player, player->peer.UploadLeaderboardScore(board, c.method, score));
            score = score == 50 ? 70 : 60;
        }
        auto uploaded = Await<LeaderboardScoreUploaded_t>(one, one.peer.UploadLeaderboardScore(board, c.method, 40));
        EXPECT_EQ(uploaded.m_bSuccess, 1);
        EXPECT_EQ(Rows(one, board, k_ELeaderboardDataRequestGlobal, 1, 10), c.expected) << name;
        EXPECT_EQ(one.peer.GetLeaderboardEntryCount(board), 3);
        // Ranges: global ranks are 1-based and inclusive; around the user counts from its row.
        EXPECT_EQ(Rows(one, board, k_ELeaderboardDataRequestGlobal, 2, 3),
                  std::vector<Row>(c.expected.begin() + 1, c.expected.end()));
        EXPECT_EQ(Rows(three, board, k_ELeaderboardDataRequestGlobalAroundUser, 0, 0), std::vector<Row>{c.expected[1]});
        EXPECT_EQ(Rows(three, board, k_ELeaderboardDataRequestGlobalAroundUser, -5, 5), c.expected);
    }
    // The process's own client sees the same board through ISteamUserStats, with the names.
    Answer<LeaderboardFindResult_t> found;
    found.Bind(SteamUserStats()->FindOrCreateLeaderboard("Board 0", k_ELeaderboardSortMethodDescending,
                                                         k_ELeaderboardDisplayTypeNumeric));
    ASSERT_TRUE(PumpUntil([&] { return found.got; }));
    Answer<LeaderboardScoresDownloaded_t> own;
    own.Bind(SteamUserStats()->DownloadLeaderboardEntries(found.value.m_hSteamLeaderboard,
                                                          k_ELeaderboardDataRequestGlobalAroundUser, 0, 0));
    ASSERT_TRUE(PumpUntil([&] { return own.got; }));
    EXPECT_EQ(own.value.m_cEntryCount, 0) << "no row of the local user yet";
    EXPECT_EQ(SteamUserStats()->GetLeaderboardEntryCount(found.value.m_hSteamLeaderboard), 3);
    // Names of users outside the lobbies come from the backend off the frame: shortly, not at once.
    EXPECT_TRUE(PumpUntil([] { return std::string(SteamFriends()->GetFriendPersonaName(CSteamID(2))) == "Two"; }));
}

// ---- backend failures ----

// The embedded backend cannot be unreachable: this runs for Redis only.
class BackendLoss : public OnlineContract {};

TEST_P(BackendLoss, AnUnreachableBackendFailsThroughTheResults)
{
    // Redis goes away mid-session.
    s_redis->Stop();
    s_redis.reset();
    Answer<LobbyCreated_t> created;
    Answer<LobbyMatchList_t> list;
    Answer<LeaderboardFindResult_t> board;
    created.Bind(SteamMatchmaking()->CreateLobby(k_ELobbyTypePublic, 2));
    list.Bind(SteamMatchmaking()->RequestLobbyList());
    board.Bind(SteamUserStats()->FindOrCreateLeaderboard("Battle Ranking", k_ELeaderboardSortMethodDescending,
                                                         k_ELeaderboardDisplayTypeNumeric));
    ASSERT_TRUE(PumpUntil([&] { return created.got && list.got && board.got; }));
    EXPECT_NE(created.value.m_eResult, k_EResultOK);
    EXPECT_TRUE(list.ioFailure);
    EXPECT_TRUE(board.ioFailure);

    // Unreachable from the start: the platform still starts, and fails the same way.
    SteamAPI_Shutdown();
    setenv("QUIBLY_ONLINE", ("redis://127.0.0.1:" + std::to_string(FreeLoopbackPort())).c_str(), 1);
    ASSERT_TRUE(SteamAPI_Init());
    Answer<LobbyCreated_t> again;
    again.Bind(SteamMatchmaking()->CreateLobby(k_ELobbyTypePublic, 2));
    ASSERT_TRUE(PumpUntil([&] { return again.got; }));
    EXPECT_NE(again.value.m_eResult, k_EResultOK);
}

INSTANTIATE_TEST_SUITE_P(Backends, LobbyContract, ::testing::Values("embedded", "redis"), BackendName);
INSTANTIATE_TEST_SUITE_P(Backends, ServerContract, ::testing::Values("embedded", "redis"), BackendName);
INSTANTIATE_TEST_SUITE_P(Backends, BoardContract, ::testing::Values("embedded", "redis"), BackendName);
INSTANTIATE_TEST_SUITE_P(Backends, BackendLoss, ::testing::Values("redis"), BackendName);

} // namespace
} // namespace steamtest
