// The joined lobby and the lobby list over the platform, with other players as in-process peers:
// who counts as ready, the messages a lobby's changes become, chat lines and their cut, the
// guest's start notice, the list's filters and rows, and the record text.
#include "online/MatchFixture.h"

#include "../../platform/steam/OnlineBackend.h"
#include "net/LeaderBoard.h"
#include "net/QuiblyLobby.h"

#include <cstring>

namespace {

using matchtest::MatchTest;
using matchtest::Peer;
using matchtest::Answer;
using matchtest::ResultOf;

class QuiblyLobbyTest : public MatchTest {
protected:
    void TearDown() override
    {
        g_nSessionRecord = kNoMultiRecord;
        g_nMultiRecord = kNoMultiRecord;
        MatchTest::TearDown();
    }
};

TEST(RecordTextTest, ShowsWinsAndLossesOfTheEncoding)
{
    EXPECT_EQ(RecordText(0xFFFF), "W 0 - L 0");
    EXPECT_EQ(RecordText(0x0001FFFE), "W 1 - L 1");
    EXPECT_EQ(RecordText(0x00050000), "W 5 - L 65535");
    EXPECT_EQ(CutUtf8("ab\xC3\xA9", 3), "ab");  // a character is never split
    EXPECT_EQ(CutUtf8("abc", 3), "abc");
    EXPECT_EQ(CutUtf8("ab\xC3", 127), "ab");  // nor kept when it arrived cut
    EXPECT_EQ(CutUtf8("a\xE2\x82\xAC", 127), "a\xE2\x82\xAC");
}

TEST_F(QuiblyLobbyTest, EveryOtherMemberMustSayReadyWithTheValueOne)
{
    const CSteamID lobbyId = CreateLobby();
    QuiblyLobby lobby;
    lobby.SetLobby(lobbyId);
    SteamMatchmaking()->SetLobbyMemberData(lobbyId, "ready", "0");
    EXPECT_TRUE(lobby.AllMembersReady());  // alone, and the own value does not count

    Peer& guest = JoinPeer(0x2100000000000001ull, "Guest", lobbyId);
    struct Case {
        const char* value;
        bool ready;
    };
    for (const Case& c : {Case{"1", true}, Case{"1 ", true}, Case{"01", true}, Case{"yes", false}, Case{"0", false},
                          Case{"", false}}) {
        guest.peer.Matchmaking()->SetLobbyMemberData(lobbyId, "ready", c.value);
        ASSERT_TRUE(PumpUntil([&] {
            return std::string(SteamMatchmaking()->GetLobbyMemberData(lobbyId, guest.peer.Id(), "ready")) == c.value;
        })) << c.value;
        EXPECT_EQ(lobby.AllMembersReady(), c.ready) << "\"" << c.value << "\"";
    }
}

TEST_F(QuiblyLobbyTest, AGuestEnteringAndChattingBecomeMessagesForTheRoom)
{
    g_nMultiRecord = 0x0002FFFD;
    g_nSessionRecord = 0x0003FFFF;
    const CSteamID lobbyId = CreateLobby();
    QuiblyLobby lobby;
    lobby.SetLobby(lobbyId);
    messages.Clear();
    Peer& guest = JoinPeer(0x2100000000000002ull, "Guest", lobbyId);
    ASSERT_TRUE(PumpUntil([&] { return !sounds.played.empty(); }));
    EXPECT_EQ(sounds.played, (std::vector<int>{112}));
    EXPECT_EQ(g_nSessionRecord, kNoMultiRecord);
    EXPECT_STREQ(SteamMatchmaking()->GetLobbyData(lobbyId, "HostRecord"), "W 2 - L 2");
    EXPECT_FALSE(messages.WithId(MSG_LOBBY_CHANGED).empty());

    // The host hears "game_starting" = 1 as nothing to act on.
    messages.Clear();
    SteamMatchmaking()->SetLobbyData(lobbyId, "game_starting", "1");
    ASSERT_TRUE(PumpUntil([&] { return !messages.WithId(MSG_LOBBY_CHANGED).empty(); }));
    EXPECT_TRUE(messages.WithId(MSG_LOBBY_GAME_STARTING).empty());

    // Chat lines arrive whole up to 127 bytes, longer ones cut there.
    messages.Clear();
    const std::string whole(127, 'a');
    const std::string longer = std::string(126, 'b') + "\xC3\xA9" + "tail";
    guest.peer.Matchmaking()->SendLobbyChatMsg(lobbyId, whole.data(), static_cast<int>(whole.size()));
    guest.peer.Matchmaking()->SendLobbyChatMsg(lobbyId, longer.data(), static_cast<int>(longer.size()));
    ASSERT_TRUE(PumpUntil([&] { return messages.WithId(MSG_LOBBY_CHAT).size() == 2; }));
    const auto chats = messages.WithId(MSG_LOBBY_CHAT);
    for (size_t i = 0; i < 2; ++i) {
        ASSERT_EQ(chats[i].payload.size(), 144u);
        PayloadReader in(chats[i].payload.data(), chats[i].payload.size());
        in.U64();
        EXPECT_EQ(in.U64(), guest.peer.Id().ConvertToUint64());
        EXPECT_EQ(in.Text(128), i == 0 ? whole : std::string(126, 'b'));
    }

    // Leaving resets the results against the opponent too.
    g_nSessionRecord = 0x00010000;
    guest.peer.Matchmaking()->LeaveLobby(lobbyId);
    ASSERT_TRUE(PumpUntil([&] { return g_nSessionRecord == kNoMultiRecord; }));
}

TEST_F(QuiblyLobbyTest, TheGuestIsToldWhenTheHostStartsTheMatch)
{
    Peer& host = AddPeer(0x2100000000000003ull, "Host");
    const SteamAPICall_t created = host.peer.Matchmaking()->CreateLobby(k_ELobbyTypePublic, 2);
    ASSERT_TRUE(PumpUntil([&] { return ResultOf(host.events, created) != nullptr; }));
    const CSteamID lobbyId(ResultOf(host.events, created)->As<LobbyCreated_t>().m_ulSteamIDLobby);
    Answer<LobbyEnter_t> entered;
    entered.Bind(SteamMatchmaking()->JoinLobby(lobbyId));
    ASSERT_TRUE(PumpUntil([&] { return entered.got; }));
    QuiblyLobby lobby;
    lobby.SetLobby(lobbyId);
    messages.Clear();
    host.peer.Matchmaking()->SetLobbyData(lobbyId, "game_starting", "1");
    ASSERT_TRUE(PumpUntil([&] { return !messages.WithId(MSG_LOBBY_GAME_STARTING).empty(); }));
    // A lobby the player is not in changes nothing.
    messages.Clear();
    LobbyDataUpdate_t other{};
    other.m_ulSteamIDLobby = lobbyId.ConvertToUint64() + 1;
    lobby.OnLobbyDataUpdate(&other);
    EXPECT_TRUE(messages.posted.empty());
}

TEST_F(QuiblyLobbyTest, TheListKeepsTheLobbiesItsFiltersAskForAsRows)
{
    struct Hosted {
        const char* type;
        const char* mode;
        const char* name;
    };
    std::vector<CSteamID> lobbies;
    for (const Hosted& h : {Hosted{"0", "2", "Ann's lobby"}, Hosted{"0", "1", ""}, Hosted{"1", "2", "Odd type"}}) {
        Peer& owner = AddPeer(0x2200000000000000ull + lobbies.size() + 1, "Owner");
        const SteamAPICall_t created = owner.peer.Matchmaking()->CreateLobby(k_ELobbyTypePublic, 2);
        ASSERT_TRUE(PumpUntil([&] { return ResultOf(owner.events, created) != nullptr; }));
        const CSteamID id(ResultOf(owner.events, created)->As<LobbyCreated_t>().m_ulSteamIDLobby);
        owner.peer.Matchmaking()->SetLobbyData(id, "Type", h.type);
        owner.peer.Matchmaking()->SetLobbyData(id, "Mode", h.mode);
        owner.peer.Matchmaking()->SetLobbyData(id, "HostRecord", "W 3 - L 4");
        if (*h.name)
            owner.peer.Matchmaking()->SetLobbyData(id, "name", h.name);
        lobbies.push_back(id);
    }
    Peer& guest = JoinPeer(0x2200000000000010ull, "Guesty", lobbies[0]);
    guest.peer.Matchmaking()->SetLobbyData(lobbies[0], "GuestRecord", "W 1 - L 0");
    // The owners' announcements are written off the frame: wait until the directory has them.
    std::unique_ptr<platform::steam::IOnlineBackend> directory = platform::steam::MakeBackendFromEnvironment();
    ASSERT_TRUE(PumpUntil([&] {
        for (const CSteamID& id : lobbies) {
            platform::steam::LobbyRecord announced;
            if (!directory->FindLobby(id.ConvertToUint64(), announced) || announced.data["HostRecord"].empty())
                return false;
        }
        platform::steam::LobbyRecord first;
        return directory->FindLobby(lobbies[0].ConvertToUint64(), first) && first.data["GuestRecord"] == "W 1 - L 0";
    }));

    QuiblyLobbyBrowser browser;
    auto reload = [&](int mode, int join) {
        browser.m_nModeFilter = mode;
        browser.m_nJoinFilter = join;
        browser.RequestList();
        EXPECT_EQ(browser.GetEntryCount(), 0);  // cleared at once
        messages.Clear();
        return PumpUntil([&] { return !messages.WithId(MSG_LOBBY_LIST_CHANGED).empty(); });
    };
    ASSERT_TRUE(PumpUntil([&] { return !browser.m_bRequestingLobbies; }));
    struct Case {
        int mode, join;
        int rows;
    };
    // Joinable only: the lobby with a free place, not the full one.
    for (const Case& c : {Case{0, 1, 1}, Case{1, 1, 1}, Case{2, 1, 2}, Case{2, 0, 1}}) {
        ASSERT_TRUE(reload(c.mode, c.join));
        EXPECT_EQ(browser.GetEntryCount(), c.rows) << c.mode << " " << c.join;
    }

    ASSERT_TRUE(reload(QuiblyLobbyBrowser::kModeBattle, QuiblyLobbyBrowser::kJoinAll));
    const LobbyListEntry* battle = browser.GetEntry(0);
    ASSERT_NE(battle, nullptr);
    EXPECT_EQ(battle->m_Name, L"Ann's lobby");
    EXPECT_EQ(battle->m_nMode, 2);
    EXPECT_EQ(battle->m_HostRecord, L"W 3 - L 4");
    EXPECT_EQ(battle->m_bHasGuest, 1);
    EXPECT_EQ(battle->m_GuestName, L"Guesty");
    EXPECT_EQ(battle->m_GuestRecord, L"W 1 - L 0");
    EXPECT_EQ(browser.GetEntry(1), nullptr);
    EXPECT_EQ(browser.GetEntry(-1), nullptr);

    ASSERT_TRUE(reload(QuiblyLobbyBrowser::kModePush, QuiblyLobbyBrowser::kJoinAll));
    const LobbyListEntry* push = browser.GetEntry(0);
    ASSERT_NE(push, nullptr);
    wchar_t expected[32];
    std::swprintf(expected, 32, L"Lobby %d", static_cast<int32_t>(lobbies[1].GetAccountID()));
    EXPECT_EQ(push->m_Name, expected);
    EXPECT_EQ(push->m_bHasGuest, 0);

    // A request in flight keeps the new filter for the next one and sends nothing now.
    browser.RequestList();
    browser.m_nModeFilter = QuiblyLobbyBrowser::kModeAll;
    browser.RequestList();
    ASSERT_TRUE(PumpUntil([&] { return !browser.m_bRequestingLobbies; }));
    EXPECT_EQ(browser.GetEntryCount(), 1);
    EXPECT_EQ(browser.m_nModeFilter, QuiblyLobbyBrowser::kModeAll);
}

} // namespace
