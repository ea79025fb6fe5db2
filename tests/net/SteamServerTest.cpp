// The host's game server over real loopback sockets: admission with the platform's verdicts,
// the receive size rules, relay only between admitted players, the game state on a manual
// clock, leaving, silent players and the orderly end.
#include "online/MatchFixture.h"

#include "support/LogCapture.h"

#include <unistd.h>

namespace {

using matchtest::MatchTest;
using matchtest::Peer;
using matchtest::EventsOf;

class SteamServerTest : public MatchTest {
protected:
    // A lobby with the host and one joined peer, and a server published in it.
    Peer& LobbyWithGuest(uint32_t expected = 2)
    {
        m_lobby = CreateLobby();
        Peer& guest = JoinPeer(0x1100000000000001ull, "Guest", m_lobby);
        StartServer(m_lobby, expected);
        return guest;
    }
    CSteamID m_lobby;
};

TEST_F(SteamServerTest, AdmissionAnswersEveryVerdict)
{
    Peer& guest = LobbyWithGuest();
    Peer& stranger = AddPeer(0x1100000000000002ull, "Stranger");

    // A member's ticket is approved: the accept names its slot and the host's scene hears of it.
    Admit(guest);
    const auto accept = guest.Of(MSG_SERVER_ACCEPT_CONNECTION);
    ASSERT_EQ(accept[0].size(), 8u);
    EXPECT_EQ(WordAt(accept[0].data(), 4), 0u);
    EXPECT_EQ(messages.Ids(), (std::vector<int32_t>{MSG_NET_PLAYER_CONNECTED}));

    // A stranger's ticket parses but the platform refuses it: refused, and no place is kept.
    Connect(stranger);
    stranger.Send(BeginAuth(stranger));
    ASSERT_TRUE(PumpUntil([&] { return !stranger.Of(MSG_SERVER_FAIL_AUTH).empty(); }));
    for (const ServerClientSlot& pending : server->m_rgPendingClientData)
        EXPECT_EQ(pending.m_hSocket, 0u);

    // A token longer than its field, and one the platform cannot read, are refused at once.
    for (int32_t length : {1025, 0}) {
        stranger.received.clear();
        stranger.Send(BeginAuth(stranger, length));
        ASSERT_TRUE(PumpUntil([&] { return !stranger.Of(MSG_SERVER_FAIL_AUTH).empty(); })) << length;
        for (const ServerClientSlot& pending : server->m_rgPendingClientData)
            EXPECT_EQ(pending.m_hSocket, 0u) << length;
    }
    // A begin-authentication message of the wrong size gets no answer at all.
    stranger.received.clear();
    std::vector<uint8_t> shortAuth = BeginAuth(stranger);
    shortAuth.pop_back();
    stranger.Send(shortAuth);
    stranger.Send(SocketMessage(MSG_CLIENT_INITIATE_CONNECTION));
    ASSERT_TRUE(PumpUntil([&] { return !stranger.Of(MSG_SERVER_INFO).empty(); }));
    EXPECT_TRUE(stranger.Of(MSG_SERVER_FAIL_AUTH).empty());
    EXPECT_EQ(stranger.Of(MSG_SERVER_INFO)[0].size(), kServerInfoBytes);
    EXPECT_EQ(ActivePlayers(), 1);
}

TEST_F(SteamServerTest, NobodyOutsideTheMatchIsAdmitted)
{
    // Three members in the lobby, a match of two.
    m_lobby = CreateLobby();
    Peer& guest = JoinPeer(0x1300000000000001ull, "Guest", m_lobby);
    Peer& second = JoinPeer(0x1300000000000002ull, "Second", m_lobby);
    Peer& third = JoinPeer(0x1300000000000003ull, "Third", m_lobby);
    StartServer(m_lobby, 2);
    Peer& stranger = AddPeer(0x1300000000000009ull, "Stranger");
    Connect(stranger);
    const uint64_t serverId = SteamGameServer()->GetSteamID().ConvertToUint64();
    auto refused = [&](const std::vector<uint8_t>& message) {
        const size_t refusals = stranger.Of(MSG_SERVER_FAIL_AUTH).size();
        stranger.Send(message);
        return PumpUntil([&] { return stranger.Of(MSG_SERVER_FAIL_AUTH).size() > refusals; });
    };
    // A ticket forged in the guest's name, and the host's, before either is admitted.
    for (uint64_t claimed : {uint64_t{0x1300000000000001ull}, SteamUser()->GetSteamID().ConvertToUint64()}) {
        const std::vector<uint8_t> forged = ForgedTicket(claimed, serverId, 0x77);
        EXPECT_TRUE(refused(BeginAuthWith(forged, static_cast<int32_t>(forged.size())))) << claimed;
    }
    EXPECT_EQ(ActivePlayers(), 0);

    // The guest's own ticket admits the guest; the same bytes again, from anyone, do not.
    Connect(guest);
    const std::vector<uint8_t> guestsAuth = BeginAuth(guest);
    guest.Send(guestsAuth);
    ASSERT_TRUE(PumpUntil([&] { return !guest.Of(MSG_SERVER_ACCEPT_CONNECTION).empty(); }));
    EXPECT_TRUE(refused(guestsAuth)) << "a replayed ticket";
    Connect(third);
    third.Send(guestsAuth);
    ASSERT_TRUE(PumpUntil([&] { return !third.Of(MSG_SERVER_FAIL_AUTH).empty(); })) << "another member's ticket";

    // A second member takes the match's other place; the third member finds it full.
    Admit(second);
    third.received.clear();
    third.Send(BeginAuth(third));
    ASSERT_TRUE(PumpUntil([&] { return !third.Of(MSG_SERVER_FAIL_AUTH).empty(); }));
    EXPECT_TRUE(third.Of(MSG_SERVER_ACCEPT_CONNECTION).empty());
    EXPECT_EQ(ActivePlayers(), 2);
    EXPECT_EQ(messages.Ids(), (std::vector<int32_t>{MSG_NET_PLAYER_CONNECTED, MSG_NET_PLAYER_CONNECTED}));
    // Nothing the stranger sends reaches the players.
    std::vector<uint8_t> data(1040, 0x66);
    std::copy_n(SocketMessage(MSG_CLIENT_GAME_DATA).begin(), 4, data.begin());
    stranger.Send(data);
    stranger.Send(SocketMessage(MSG_CLIENT_INITIATE_CONNECTION));
    ASSERT_TRUE(PumpUntil([&] { return !stranger.Of(MSG_SERVER_INFO).empty(); }));
    EXPECT_TRUE(guest.Of(MSG_CLIENT_GAME_DATA).empty());
    EXPECT_TRUE(second.Of(MSG_CLIENT_GAME_DATA).empty());
}

TEST_F(SteamServerTest, PendingVerdictsDecideOnThePendingPlaceOnly)
{
    struct Case {
        const char* what;
        bool approve;
        EDenyReason reason;
        bool accepted;
    };
    for (const Case& c : {Case{"deny, validation stalled", false, k_EDenySteamValidationStalled, true},
                          Case{"deny, generic", false, k_EDenyGeneric, false},
                          Case{"approve", true, k_EDenyInvalid, true}}) {
        SCOPED_TRACE(c.what);
        server.reset();
        m_peers.clear();
        messages.posted.clear();
        // A member who joined after the server was published, whose ticket's secret has not
        // come through the lobby: the platform leaves the request under way, and it is decided
        // here before the platform's own verdict.
        const CSteamID lobby = CreateLobby();
        StartServer(lobby, 2);
        Peer& stranger = JoinPeer(0x1200000000000001ull, "Member", lobby);
        Connect(stranger);
        const uint64_t serverId = SteamGameServer()->GetSteamID().ConvertToUint64();
        const std::vector<uint8_t> ticket = ForgedTicket(0x1200000000000001ull, serverId, 0x5A);
        stranger.Send(BeginAuthWith(ticket, static_cast<int32_t>(ticket.size())));
        ASSERT_TRUE(PumpUntil([&] { return server->m_rgPendingClientData[0].m_bActive; }));
        const CSteamID user = server->m_rgPendingClientData[0].m_SteamIDUser;
        EXPECT_EQ(user, CSteamID(0x1200000000000001ull));
        // A verdict for someone else changes nothing.
        GSClientApprove_t other{CSteamID(77)};
        server->OnGSClientApprove(&other);
        EXPECT_TRUE(server->m_rgPendingClientData[0].m_bActive);
        if (c.approve) {
            GSClientApprove_t approve{user};
            server->OnGSClientApprove(&approve);
        } else {
            GSClientDeny_t deny{};
            deny.m_SteamID = user;
            deny.m_eDenyReason = c.reason;
            server->OnGSClientDeny(&deny);
        }
        EXPECT_EQ(server->m_rgPendingClientData[0].m_hSocket, 0u);
        EXPECT_EQ(ActivePlayers(), c.accepted ? 1 : 0);
        const int32_t expected = c.accepted ? MSG_SERVER_ACCEPT_CONNECTION : MSG_SERVER_FAIL_AUTH;
        ASSERT_TRUE(PumpUntil([&] { return !stranger.Of(expected).empty(); }));
    }
}

TEST_F(SteamServerTest, AFullServerAndARepeatedRequestTakeNoSecondPlace)
{
    Peer& guest = LobbyWithGuest();
    server->m_uMaxPlayers = 1;
    Admit(guest);
    Peer& second = JoinPeer(0x1100000000000003ull, "Second", m_lobby);
    Connect(second);
    second.Send(BeginAuth(second));
    ASSERT_TRUE(PumpUntil([&] { return !second.Of(MSG_SERVER_FAIL_AUTH).empty(); }));

    server->m_uMaxPlayers = 4;
    second.received.clear();
    second.Send(BeginAuth(second));
    second.Send(BeginAuth(second));
    ASSERT_TRUE(PumpUntil([&] { return server->m_rgPendingClientData[0].m_hSocket != 0 || ActivePlayers() == 2; }));
    int places = 0;
    for (const ServerClientSlot& pending : server->m_rgPendingClientData)
        places += pending.m_hSocket != 0 ? 1 : 0;
    EXPECT_LE(places, 1);
}

TEST_F(SteamServerTest, GameDataIsRelayedUnchangedOnlyFromAdmittedPlayersToTheOthers)
{
    Peer& guest = LobbyWithGuest(3);
    Peer& third = JoinPeer(0x1100000000000004ull, "Third", m_lobby);
    Peer& stranger = AddPeer(0x1100000000000005ull, "Stranger");
    Admit(guest);
    Admit(third);
    Connect(stranger);

    auto gameData = [](uint8_t fill, size_t size) {
        std::vector<uint8_t> m(size, fill);
        PayloadWriter id;
        id.I32(MSG_CLIENT_GAME_DATA);
        std::copy(id.Bytes().begin(), id.Bytes().end(), m.begin());
        return m;
    };
    guest.Send(gameData(0x11, 1039));
    guest.Send(gameData(0x12, 1041));
    stranger.Send(gameData(0x13, 1040));
    guest.Send(gameData(0x14, 1040));
    ASSERT_TRUE(PumpUntil([&] { return !third.Of(MSG_CLIENT_GAME_DATA).empty(); }));
    // Whatever the two sent before is read once their next request is answered.
    guest.Send(SocketMessage(MSG_CLIENT_INITIATE_CONNECTION));
    stranger.Send(SocketMessage(MSG_CLIENT_INITIATE_CONNECTION));
    ASSERT_TRUE(PumpUntil([&] { return !guest.Of(MSG_SERVER_INFO).empty() && !stranger.Of(MSG_SERVER_INFO).empty(); }));
    ASSERT_TRUE(PumpUntil([&] { return true; }));

    const auto relayed = third.Of(MSG_CLIENT_GAME_DATA);
    ASSERT_EQ(relayed.size(), 1u);
    EXPECT_EQ(relayed[0], gameData(0x14, 1040));
    EXPECT_TRUE(guest.Of(MSG_CLIENT_GAME_DATA).empty());
    EXPECT_TRUE(stranger.Of(MSG_CLIENT_GAME_DATA).empty());
}

TEST_F(SteamServerTest, TheGameStateFollowsThePlayersAndTheClock)
{
    Peer& guest = LobbyWithGuest(2);
    // Nobody admitted: waiting however long it runs.
    now += 60000;
    server->RunFrame();
    EXPECT_EQ(server->m_eGameState, serverstate::kWaiting);

    // The guest alone of two: active only once 30 s have passed since the last change.
    server->SetGameState(serverstate::kActive);
    server->SetGameState(serverstate::kWaiting);
    Admit(guest);
    now += CSteamServer::kWaitForPlayersMs - 1;
    Touch(guest);
    EXPECT_EQ(server->m_eGameState, serverstate::kWaiting);
    guest.received.clear();
    now += 1;
    server->RunFrame();
    EXPECT_EQ(server->m_eGameState, serverstate::kActive);
    // The change is announced at once, however recently the last update went out.
    ASSERT_TRUE(PumpUntil([&] { return !guest.Of(MSG_SERVER_UPDATE_WORLD).empty(); }, false));
    const auto update = guest.Of(MSG_SERVER_UPDATE_WORLD)[0];
    ASSERT_EQ(update.size(), kWorldUpdateBytes);
    EXPECT_EQ(WordAt(update.data(), 4), static_cast<uint32_t>(serverstate::kActive));

    // Updates go out at most every 16.67 ms of the clock; setting the same state changes nothing.
    const uint64_t lastUpdate = server->m_ulLastServerUpdateTick;
    server->SetGameState(serverstate::kActive);
    EXPECT_EQ(server->m_ulLastServerUpdateTick, lastUpdate);
    now += 16;
    server->SendUpdateDataToAllClients();
    EXPECT_EQ(server->m_ulLastServerUpdateTick, lastUpdate);
    now += 1;
    server->SendUpdateDataToAllClients();
    EXPECT_EQ(server->m_ulLastServerUpdateTick, now);
}

TEST_F(SteamServerTest, BothExpectedPlayersMakeTheServerActiveAtOnce)
{
    Peer& guest = LobbyWithGuest(2);
    Peer& other = JoinPeer(0x1100000000000006ull, "Other", m_lobby);
    Admit(guest);
    server->RunFrame();
    EXPECT_EQ(server->m_eGameState, serverstate::kWaiting);
    Admit(other);
    server->RunFrame();
    EXPECT_EQ(server->m_eGameState, serverstate::kActive);
}

TEST_F(SteamServerTest, LeavingSilenceAndTheEndFreeThePlaces)
{
    Peer& guest = LobbyWithGuest(3);
    Peer& other = JoinPeer(0x1100000000000007ull, "Other", m_lobby);
    Peer& stranger = AddPeer(0x1100000000000008ull, "Stranger");
    Admit(guest);
    Admit(other);
    Connect(stranger);
    messages.posted.clear();

    // A leaving message from nobody's socket and one of the wrong size change nothing.
    stranger.Send(SocketMessage(MSG_CLIENT_LEAVING_SERVER));
    std::vector<uint8_t> longLeave = SocketMessage(MSG_CLIENT_LEAVING_SERVER);
    longLeave.push_back(0);
    guest.Send(longLeave);
    guest.Send(SocketMessage(MSG_CLIENT_INITIATE_CONNECTION));
    stranger.Send(SocketMessage(MSG_CLIENT_INITIATE_CONNECTION));
    ASSERT_TRUE(PumpUntil([&] { return !guest.Of(MSG_SERVER_INFO).empty() && !stranger.Of(MSG_SERVER_INFO).empty(); }));
    EXPECT_EQ(ActivePlayers(), 2);

    // Leaving frees the place and tells the host's scene.
    guest.Send(SocketMessage(MSG_CLIENT_LEAVING_SERVER));
    ASSERT_TRUE(PumpUntil([&] { return ActivePlayers() == 1; }));
    ASSERT_EQ(messages.Ids(), (std::vector<int32_t>{MSG_NET_PLAYER_REMOVED}));
    PayloadReader removed(messages.posted[0].payload.data(), messages.posted[0].payload.size());
    EXPECT_EQ(removed.U64(), 0x1100000000000001ull);

    // A player from whom nothing arrives for 5 s is removed, and its connection closed, so its
    // program learns that the match is over.
    now += CSteamServer::kSilenceTimeoutMs;
    server->RunFrame();
    EXPECT_EQ(ActivePlayers(), 1);
    now += 1;
    server->RunFrame();
    EXPECT_EQ(ActivePlayers(), 0);
    ASSERT_TRUE(PumpUntil([&] {
        for (const auto& status : EventsOf<SocketStatusCallback_t>(other.events))
            if (status.m_hSocket == other.socket && status.m_eSNetSocketState >= k_ESNetSocketStateDisconnecting)
                return true;
        return false;
    }));

    // The end tells each admitted player once that the server exits.
    Peer& last = JoinPeer(0x1100000000000009ull, "Last", m_lobby);
    Admit(last);
    last.received.clear();
    server.reset();
    ASSERT_TRUE(PumpUntil([&] { return !last.Of(MSG_SERVER_EXITING).empty(); }));
    ASSERT_TRUE(PumpUntil([&] { return true; }));
    EXPECT_EQ(last.Of(MSG_SERVER_EXITING).size(), 1u);
}

TEST_F(SteamServerTest, AFloodOfRequestsIsAnsweredAtAPaceAndSaidOnceInTheLog)
{
    testsupport::LogCapture log;
    Peer& guest = LobbyWithGuest();
    Admit(guest);
    Peer& stranger = AddPeer(0x1400000000000001ull, "Stranger");
    Connect(stranger);
    for (int i = 0; i < 1000; ++i)
        stranger.Send(SocketMessage(MSG_CLIENT_INITIATE_CONNECTION));
    // The frames go on; the stranger gets its burst of answers and no more while the clock
    // stands, one more once a second has passed.
    PumpUntil([] { return false; }, true, 200);
    EXPECT_EQ(stranger.Of(MSG_SERVER_INFO).size(), static_cast<size_t>(CSteamServer::kReplyBurst));
    now += CSteamServer::kReplyIntervalMs;
    stranger.Send(SocketMessage(MSG_CLIENT_INITIATE_CONNECTION));
    ASSERT_TRUE(PumpUntil([&] { return stranger.Of(MSG_SERVER_INFO).size() > CSteamServer::kReplyBurst; }));
    EXPECT_EQ(ActivePlayers(), 1);
    // The log says the answers a few times, not a thousand.
    const std::string text = log.Text();
    size_t said = 0;
    for (size_t at = text.find("Send ServerInfo"); at != std::string::npos; at = text.find("Send ServerInfo", at + 1))
        ++said;
    EXPECT_LE(said, 8u);
}

TEST_F(SteamServerTest, StrangersConnectionsNeverKeepAPlayerOutAndStayBounded)
{
    Peer& guest = LobbyWithGuest();
    // 40 connections that never say hello, 40 that say hello as nobody in the lobby.
    std::vector<int> silent, outsiders;
    for (int i = 0; i < 40; ++i)
        silent.push_back(RawConnect());
    for (int i = 0; i < 40; ++i) {
        outsiders.push_back(RawConnect());
        RawSend(outsiders.back(), Hello(0x1500000000000000ull + static_cast<uint64_t>(i)));
    }
    PumpUntil([] { return false; }, true, 50);
    // The member still gets in, and the crowd is cut to the caps: 16 without a hello and 8
    // from outside the lobby at most.
    Admit(guest);
    auto open = [](const std::vector<int>& fds) {
        return std::count_if(fds.begin(), fds.end(), [](int fd) { return fd >= 0 && !RawClosed(fd); });
    };
    EXPECT_TRUE(PumpUntil([&] { return open(silent) <= 16 && open(outsiders) <= 8; }));
    EXPECT_EQ(ActivePlayers(), 1);
    for (int fd : silent)
        ::close(fd);
    for (int fd : outsiders)
        ::close(fd);
}

TEST_F(SteamServerTest, AConnectionNotAdmittedInTimeOrFallenSilentIsClosed)
{
    Peer& guest = LobbyWithGuest();
    // A stranger that says hello and nothing more, and the guest's program stopping after it
    // was admitted: no keep-alive comes from either.
    const int idle = RawConnect();
    RawSend(idle, Hello(0x1600000000000001ull));
    const int stalled = RawConnect();
    RawSend(stalled, Hello(guest.peer.Id().ConvertToUint64()));
    RawSend(stalled, BeginAuth(guest));
    ASSERT_TRUE(PumpUntil([&] { return ActivePlayers() == 1; }));
    messages.posted.clear();
    // Not admitted within 5 s: closed.
    EXPECT_TRUE(PumpUntil([&] { return RawClosed(idle); }, true, 4000));
    EXPECT_EQ(ActivePlayers(), 1);
    // Nothing heard for 10 s: the player's connection is closed and the host's scene is told.
    EXPECT_TRUE(PumpUntil([&] { return ActivePlayers() == 0; }, true, 6000));
    EXPECT_EQ(messages.Ids(), (std::vector<int32_t>{MSG_NET_PLAYER_REMOVED}));
    EXPECT_TRUE(RawClosed(stalled));
    ::close(idle);
    ::close(stalled);
}

} // namespace
