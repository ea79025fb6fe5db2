// The leaderboards at start: the local bests file, and the seven boards found one at a time.
#include "online/LeaderBoardKit.h"
#include "online/OnlineFixture.h"

#include "data/PlayDataPack.h"
#include "net/LeaderBoard.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

namespace {

using onlinetest::OnlineTest;
using leaderboardtest::Bytes;

class LeaderBoardTest : public OnlineTest {};

TEST_F(LeaderBoardTest, MissingBestsFileIsCreatedWithTheDefaults)
{
    QuiblyLeaderBoard board;
    board.LoadLocalBests();
    EXPECT_EQ(m_work.Read(kLeaderBoardFile), Bytes({-1, 0, 0, 0, 0, 0, 65535}));
    EXPECT_EQ(g_nMultiRecord, 0xFFFF);
}

TEST_F(LeaderBoardTest, ShortBestsFileLeavesTheRestAsItWas)
{
    m_work.Write(kLeaderBoardFile, Bytes({120, 5000}) + "\x01\x02");
    QuiblyLeaderBoard board;
    board.LoadLocalBests();
    EXPECT_EQ(board.m_nBest[0], 120);
    EXPECT_EQ(board.m_nBest[1], 5000);
    EXPECT_EQ(board.m_nBest[2], 0);
    EXPECT_EQ(board.m_nBest[6], 0xFFFF);
    EXPECT_EQ(m_work.Read(kLeaderBoardFile).size(), 10u);  // reading never rewrites it
}

// A bests file that exists but cannot be read is not missing: the packed bests of this run stand
// in, and without them the defaults are used but never saved over the file.
TEST_F(LeaderBoardTest, AnUnreadableBestsFileIsNeverReplacedByTheDefaults)
{
    ConfigPak::ResetForNewRun();
    m_work.Write(kLeaderBoardFile, Bytes({120, 5000}));
    ::setenv("QUIBLY_FAULT_UNREADABLE", "UserLeaderBoard.bin", 1);
    QuiblyLeaderBoard board;
    board.LoadLocalBests();
    EXPECT_EQ(board.m_nBest[0], -1);
    EXPECT_FALSE(board.SaveLocalBests());
    ::unsetenv("QUIBLY_FAULT_UNREADABLE");
    EXPECT_EQ(m_work.Read(kLeaderBoardFile), Bytes({120, 5000}));

    m_work.Write(ConfigPak::kPackFile, ConfigPak::EncodePack(ConfigPak::EncodeRecords({{2, Bytes({300, 6000})}})));
    ASSERT_EQ(ConfigPak::UnpackPack(), 1);
    m_work.Write(kLeaderBoardFile, Bytes({120, 5000}));
    ::setenv("QUIBLY_FAULT_UNREADABLE", "UserLeaderBoard.bin", 1);
    board.LoadLocalBests();
    ::unsetenv("QUIBLY_FAULT_UNREADABLE");
    EXPECT_EQ(board.m_nBest[0], 300);
    EXPECT_EQ(m_work.Read(std::string(kLeaderBoardFile) + ".bad"), Bytes({120, 5000}));
    EXPECT_TRUE(board.SaveLocalBests());
    ConfigPak::ResetForNewRun();
}

TEST_F(LeaderBoardTest, InitFindsTheSevenBoardsOneAfterAnother)
{
    QuiblyLeaderBoard board;
    board.Init();
    EXPECT_TRUE(board.IsEnabled());
    // Board requests are answered by the platform's worker thread: each answer comes within a few
    // pumps, and the next board is asked for only once the one before it is found.
    const auto pumpUntil = [](const std::function<bool()>& done) {
        for (int round = 0; round < 400 && !done(); ++round) {
            SteamAPI_RunCallbacks();
            if (!done())
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    };
    for (int pump = 0; pump < kLeaderBoardCount; ++pump) {
        ASSERT_TRUE(pumpUntil([&] { return board.GetHandle(pump) != 0u; })) << pump;
    }
    EXPECT_STREQ(SteamUserStats()->GetLeaderboardName(board.GetHandle(6)), "Multi Battle Ranking");
    EXPECT_EQ(board.m_nCurrentBoard, 6);
    EXPECT_TRUE(pumpUntil([&] { return board.m_nDownloadState == 2; }));
}

TEST_F(LeaderBoardTest, WithoutThePlatformNoBoardIsSearched)
{
    SteamAPI_Shutdown();
    platform::steam::SetInitResult(false);
    QuiblyLeaderBoard board;
    board.Init();
    EXPECT_FALSE(board.IsEnabled());
    SteamAPI_RunCallbacks();
    EXPECT_EQ(board.GetHandle(0), 0u);
    EXPECT_EQ(m_work.Read(kLeaderBoardFile).size(), 28u);
}

} // namespace
