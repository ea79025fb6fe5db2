// The embedded backend's files as other processes see them: an announcement rewritten by its
// owner is always readable whole, and a board changed by two processes at once keeps every row.
#include "../../../platform/steam/OnlineBackend.h"
#include "support/Fifo.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace platform::steam;

LobbyRecord Lobby(int round)
{
    LobbyRecord lobby;
    lobby.id = 0x4242;
    lobby.owner = 7;
    lobby.type = 2;
    lobby.limit = 2;
    lobby.members.push_back({7, "Owner", {}});
    // Large and different every round, so a torn read would show.
    lobby.data["name"] = std::string(kMaxValueBytes, static_cast<char>('a' + round % 26));
    return lobby;
}

TEST(EmbeddedFiles, AReaderNeverSeesHalfAnAnnouncement)
{
    testsupport::TempDir shared;
    auto backend = MakeEmbeddedBackend(shared.Str());
    ASSERT_TRUE(backend->PublishLobby(Lobby(0)));
    pid_t writer = ::fork();
    if (writer == 0) {
        auto own = MakeEmbeddedBackend(shared.Str());
        for (int round = 1; round <= 400; ++round)
            own->PublishLobby(Lobby(round));
        std::_Exit(0);
    }
    int torn = 0, reads = 0;
    for (int i = 0; i < 4000; ++i) {
        LobbyRecord read;
        ++reads;
        if (!backend->FindLobby(0x4242, read) || read.data["name"].size() != kMaxValueBytes ||
            read.data["name"].find_first_not_of(read.data["name"][0]) != std::string::npos)
            ++torn;
        if (::waitpid(writer, nullptr, WNOHANG) == writer) {
            writer = 0;
            break;
        }
    }
    if (writer != 0)
        ::waitpid(writer, nullptr, 0);
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
}

TEST(EmbeddedFiles, TwoProcessesUploadingAtOnceKeepEveryRow)
{
    testsupport::TempDir shared;
    BoardInfo info;
    ASSERT_TRUE(MakeEmbeddedBackend(shared.Str())->OpenBoard("Race", k_ELeaderboardSortMethodDescending,
                                                             k_ELeaderboardDisplayTypeNumeric, info));
    auto upload = [&](uint64_t firstUser) {
        auto backend = MakeEmbeddedBackend(shared.Str());
        UploadOutcome outcome;
        for (uint64_t user = firstUser; user < firstUser + 50; ++user)
            backend->UploadScore("Race", {user, static_cast<int32_t>(user % 7), "P"},
                                 k_ELeaderboardUploadScoreMethodKeepBest, outcome);
    };
    pid_t other = ::fork();
    if (other == 0) {
        upload(1000);
        std::_Exit(0);
    }
    upload(1);
    ::waitpid(other, nullptr, 0);
    std::vector<RankedRow> rows;
    int32_t count = 0;
    ASSERT_TRUE(MakeEmbeddedBackend(shared.Str())->DownloadRows("Race", k_ELeaderboardDataRequestGlobal, 1, 1000, 0,
                                                                rows, count));
    EXPECT_EQ(count, 100);
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_GE(rows[i - 1].row.score, rows[i].row.score);
}

// Any profile on the machine can write to the shared folder: a FIFO where a record belongs is
// passed over at once, never waited on (the lobby list and the board lock would stall with it).
TEST(EmbeddedFiles, AFifoInTheSharedFolderIsPassedOver)
{
    testsupport::TempDir shared;
    auto backend = MakeEmbeddedBackend(shared.Str());
    const std::vector<std::filesystem::path> fifos = {
        shared.Path() / "lobbies" / "0000000000004242", shared.Path() / "servers" / "0000000000000007",
        shared.Path() / "personas" / "0000000000000007", shared.Path() / "boards" / "52616365"};  // "Race"
    for (const auto& fifo : fifos)
        ASSERT_TRUE(testsupport::MakeFifo(fifo)) << fifo;
    std::vector<LobbyRecord> lobbies;
    LobbyRecord lobby;
    uint32_t ip = 0;
    uint16_t port = 0;
    std::string name;
    BoardInfo info;
    bool found = true;
    EXPECT_TRUE(testsupport::FinishesWithin(
        [&] {
            found = backend->ListLobbies(lobbies) && !lobbies.empty();
            found = found || backend->FindLobby(0x4242, lobby) || backend->FindServer(7, ip, port) ||
                    backend->FindPersona(7, name) ||
                    backend->OpenBoard("Race", k_ELeaderboardSortMethodDescending, k_ELeaderboardDisplayTypeNumeric,
                                       info);
        },
        fifos));
    EXPECT_FALSE(found);
}

} // namespace
