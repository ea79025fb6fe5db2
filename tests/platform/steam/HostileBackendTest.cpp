// The shared backends against whoever else can write them: a folder holding a FIFO, hard links
// to a huge record, thousands of forged lobbies and a damaged leaderboard; a Redis holding keys
// of the wrong type, a million bogus ids, oversized values, and a server that hangs. The real
// lobby is still listed, nothing blocks, and the frame loop never waits on the backend.
#include "OnlineFixture.h"

#include "../../platform/steam/OnlineBackend.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace steamtest {
namespace {

namespace fs = std::filesystem;
using platform::steam::LobbyRecord;

constexpr uint64_t kBee = 0x1000000000000B0B;

// One command to the test's redis-server, its reply's first line.
std::string Redis(int port, const std::vector<std::string>& args)
{
    std::string command = "*" + std::to_string(args.size()) + "\r\n";
    for (const std::string& arg : args)
        command += "$" + std::to_string(arg.size()) + "\r\n" + arg + "\r\n";
    int fd = ConnectLoopback(port);
    if (fd < 0)
        return "";
    for (size_t sent = 0; sent < command.size();) {
        ssize_t n = ::send(fd, command.data() + sent, command.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += static_cast<size_t>(n);
    }
    std::string reply;
    char c = 0;
    while (::recv(fd, &c, 1, 0) == 1 && c != '\n')
        if (c != '\r')
            reply += c;
    ::close(fd);
    return reply;
}

class HostileBackend : public OnlineContract {
protected:
    CSteamID CreateLobbyAsA()
    {
        Answer<LobbyCreated_t> created;
        created.Bind(SteamMatchmaking()->CreateLobby(k_ELobbyTypePublic, 2));
        EXPECT_TRUE(PumpUntil([&] { return created.got; }));
        EXPECT_EQ(created.value.m_eResult, k_EResultOK);
        return CSteamID(created.value.m_ulSteamIDLobby);
    }

    // Bee's list: the lobbies in it.
    std::vector<CSteamID> ListAsBee(Player& bee)
    {
        SteamAPICall_t call = bee.peer.Matchmaking()->RequestLobbyList();
        EXPECT_TRUE(PumpUntil([&] { return ResultOf(bee.events, call) != nullptr; }));
        std::vector<CSteamID> listed;
        if (const Event* list = ResultOf(bee.events, call))
            for (uint32_t i = 0; i < list->As<LobbyMatchList_t>().m_nLobbiesMatching; ++i)
                listed.push_back(bee.peer.Matchmaking()->GetLobbyByIndex(static_cast<int>(i)));
        return listed;
    }

    static platform::steam::Bytes ForgedRecord(uint64_t id)
    {
        LobbyRecord lobby;
        lobby.id = id;
        lobby.owner = id;
        lobby.limit = 2;
        lobby.ip = platform::steam::kLoopback;
        lobby.port = 9;  // nobody answers there
        lobby.members.push_back({id, "forged", {}});
        return platform::steam::EncodeLobby(lobby);
    }
};

class HostileFolder : public HostileBackend {};

TEST_P(HostileFolder, AFifoLinksAndForgeriesNeitherBlockNorBuryTheRealLobby)
{
    CSteamID real = CreateLobbyAsA();
    const fs::path lobbies = m_shared.Path() / "lobbies";
    // A FIFO nobody writes: opening it for reading would block for ever.
    ASSERT_EQ(::mkfifo((lobbies / "0000000000000001").c_str(), 0644), 0);
    // A 4 MB record and 200 more names for it.
    {
        std::ofstream big(lobbies / "0000000000000002", std::ios::binary);
        big << std::string(4 * 1024 * 1024, 'x');
    }
    for (int i = 0; i < 200; ++i) {
        char name[17];
        std::snprintf(name, sizeof name, "%016x", 0x100 + i);
        fs::create_hard_link(lobbies / "0000000000000002", lobbies / name);
    }
    // 5,000 forged announcements, all sorting before the real lobby, none served.
    for (uint64_t id = 0x1000; id < 0x1000 + 5000; ++id) {
        char name[17];
        std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(id));
        platform::steam::Bytes bytes = ForgedRecord(id);
        std::ofstream(lobbies / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                             static_cast<std::streamsize>(bytes.size()));
    }
    Player& bee = AddPlayer(kBee, "Bee");
    EXPECT_EQ(ListAsBee(bee), std::vector<CSteamID>{real});
}

TEST_P(HostileFolder, ADamagedBoardIsSetAsideAndStartedAfresh)
{
    // "Battle Ranking" in hex, as the folder names boards.
    std::string hex;
    for (unsigned char c : std::string("Battle Ranking")) {
        char two[3];
        std::snprintf(two, sizeof two, "%02x", c);
        hex += two;
    }
    const fs::path board = m_shared.Path() / "boards" / hex;
    fs::create_directories(board.parent_path());
    std::ofstream(board, std::ios::binary) << "QBD1 but nothing after it";
    Answer<LeaderboardFindResult_t> found;
    found.Bind(SteamUserStats()->FindOrCreateLeaderboard("Battle Ranking", k_ELeaderboardSortMethodDescending,
                                                         k_ELeaderboardDisplayTypeNumeric));
    ASSERT_TRUE(PumpUntil([&] { return found.got; }));
    ASSERT_FALSE(found.ioFailure);
    ASSERT_TRUE(found.value.m_bLeaderboardFound);
    EXPECT_EQ(SteamUserStats()->GetLeaderboardEntryCount(found.value.m_hSteamLeaderboard), 0);
    EXPECT_TRUE(fs::exists(board.string() + ".bad")) << "the damaged board is kept for a look";
    Answer<LeaderboardScoreUploaded_t> uploaded;
    uploaded.Bind(SteamUserStats()->UploadLeaderboardScore(found.value.m_hSteamLeaderboard,
                                                           k_ELeaderboardUploadScoreMethodKeepBest, 1200, nullptr, 0));
    ASSERT_TRUE(PumpUntil([&] { return uploaded.got; }));
    EXPECT_TRUE(uploaded.value.m_bSuccess);
    EXPECT_EQ(uploaded.value.m_nGlobalRankNew, 1);
}

class HostileRedis : public HostileBackend {};

TEST_P(HostileRedis, WrongTypesBogusIdsAndHugeValuesAreRefusedAndTheRealLobbyListed)
{
    const int port = s_redis->Port();
    // The index replaced by a string: the owner's next announcement makes it a set again.
    ASSERT_EQ(Redis(port, {"SET", "quibly:lobbies", "x"}), "+OK");
    CSteamID real = CreateLobbyAsA();
    // 60,000 ids nobody announced (three times what one list looks at), and one whose record is 4 MB.
    for (int batch = 0; batch < 6; ++batch) {
        std::vector<std::string> args{"SADD", "quibly:lobbies"};
        for (int i = 0; i < 10000; ++i)
            args.push_back(std::to_string(1000000 + batch * 10000 + i));
        ASSERT_EQ(Redis(port, args).substr(0, 1), ":");
    }
    ASSERT_EQ(Redis(port, {"SADD", "quibly:lobbies", "42"}), ":1");
    ASSERT_EQ(Redis(port, {"SET", "quibly:lobby:42", std::string(4 * 1024 * 1024, 'x')}), "+OK");
    // A persona name of 1 MB and one of the wrong type.
    ASSERT_EQ(Redis(port, {"SET", "quibly:user:77", std::string(1024 * 1024, 'n')}), "+OK");
    ASSERT_EQ(Redis(port, {"HSET", "quibly:user:78", "a", "b"}), ":1");

    Player& bee = AddPlayer(kBee, "Bee");
    std::vector<CSteamID> listed;
    // The bogus ids are cleared page by page; the real lobby shows within a few lists.
    for (int attempt = 0; attempt < 10 && listed.empty(); ++attempt)
        listed = ListAsBee(bee);
    EXPECT_EQ(listed, std::vector<CSteamID>{real});
    for (uint64_t user : {77ull, 78ull}) {
        bee.peer.PersonaOf(CSteamID(user));
        for (int round = 0; round < 100; ++round) {
            PumpUntil([] { return true; });
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_STREQ(bee.peer.PersonaOf(CSteamID(user)), "");
    }
}

TEST_P(HostileRedis, AHungServerNeverHoldsTheFrame)
{
    CSteamID lobby = CreateLobbyAsA();
    Player& bee = AddPlayer(kBee, "Bee");
    ASSERT_EQ(ListAsBee(bee), std::vector<CSteamID>{lobby});
    // Redis stops answering: the owner keeps announcing, a list and persona names are asked for.
    ASSERT_EQ(::kill(s_redis->Pid(), SIGSTOP), 0);
    SteamAPICall_t list = SteamMatchmaking()->RequestLobbyList();
    int64_t longest = 0;
    for (int frame = 0; frame < 150; ++frame) {
        auto started = std::chrono::steady_clock::now();
        SteamFriends()->GetFriendPersonaName(CSteamID(static_cast<uint64_t>(1000 + frame)));
        SteamAPI_RunCallbacks();
        auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
        longest = std::max<int64_t>(longest, took.count());
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    ::kill(s_redis->Pid(), SIGCONT);
    // A command waits up to a second on a hung server; a frame never waits on one.
    EXPECT_LT(longest, 500) << "a frame waited on the backend";
    (void)list;
}

INSTANTIATE_TEST_SUITE_P(Backends, HostileFolder, ::testing::Values("embedded"), BackendName);
INSTANTIATE_TEST_SUITE_P(Backends, HostileRedis, ::testing::Values("redis"), BackendName);

} // namespace
} // namespace steamtest
