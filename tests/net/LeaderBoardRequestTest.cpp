// The leaderboards in play: uploads of the local bests, page and own-row downloads, the scene
// messages, the online record and the bests file, over the embedded platform backend with other
// players simulated in the same process.
#include "online/LeaderBoardKit.h"
#include "online/OnlineFixture.h"

#include "board/GameSeams.h"
#include "net/LeaderBoard.h"
#include "support/GameSeamFakes.h"

#include <steam/SteamTesting.h>
#include <win32/Files.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

namespace {

using platform::steam::OnlinePeer;
using namespace leaderboardtest;

class LeaderBoardRequestTest : public onlinetest::OnlineTest {
protected:
    void SetUp() override
    {
        setenv("QUIBLY_ONLINE_DIR", m_shared.Str().c_str(), 1);
        OnlineTest::SetUp();
        m_board.SetMessageSink(&m_messages);
    }
    void TearDown() override
    {
        OnlineTest::TearDown();
        unsetenv("QUIBLY_ONLINE_DIR");
    }

    // Finds all seven boards and lets the start-up fetch of board 6 finish.
    void StartUp()
    {
        m_board.Init();
        ASSERT_TRUE(PumpUntil([&] { return m_board.GetHandle(LB_MULTI) != 0 && m_board.m_nDownloadState == LB_DONE; }));
        m_messages.Clear();
    }

    testsupport::TempDir m_shared;
    RecordingMessages m_messages;
    QuiblyLeaderBoard m_board;
};

TEST_F(LeaderBoardRequestTest, TheOnlineRecordCountsWinsAndLossesAndIsWrittenAtOnce)
{
    StartUp();
    m_board.RecordMultiWin();
    m_board.RecordMultiWin();
    m_board.RecordMultiLoss();
    EXPECT_EQ(g_nMultiRecord, 0x0002FFFE);
    EXPECT_EQ(MultiRecordWins(g_nMultiRecord), 2);
    EXPECT_EQ(MultiRecordLosses(g_nMultiRecord), 1);
    EXPECT_EQ(m_work.Read(kLeaderBoardFile), Bytes({-1, 0, 0, 0, 0, 0, 0x0002FFFE}));

    // The record was forced onto board 6 and comes back as the player's own row.
    m_board.UploadLocalBest(LB_MULTI);
    ASSERT_TRUE(PumpUntil([&] { return m_board.m_nOwnRowState == LB_DONE; }));
    EXPECT_EQ(m_board.m_OwnRow.m_nScore, 0x0002FFFE);
    EXPECT_EQ(m_board.m_OwnRow.m_steamIDUser, SteamUser()->GetSteamID());
}

TEST_F(LeaderBoardRequestTest, AFailedBestsWriteIsLoggedAndKeepsTheOldFile)
{
    StartUp();
    std::string before = m_work.Read(kLeaderBoardFile);
    setenv("QUIBLY_FAULT_NO_SPACE", "UserLeaderBoard.bin", 1);
    m_board.m_nBest[LB_BATTLE] = 5000;
    EXPECT_FALSE(m_board.SaveLocalBests());
    unsetenv("QUIBLY_FAULT_NO_SPACE");
    EXPECT_EQ(m_work.Read(kLeaderBoardFile), before);
    EXPECT_TRUE(m_board.SaveLocalBests());
    EXPECT_EQ(m_work.Read(kLeaderBoardFile), Bytes({-1, 5000, 0, 0, 0, 0, 0xFFFF}));
}

// Pages hold at most ten rows; an empty board still posts its (empty) page.
TEST_F(LeaderBoardRequestTest, PagesKeepTenRowsAndPostThemAsAMessage)
{
    struct Case {
        int others;
        int expectRows;
    };
    const Case cases[] = {{14, 10}, {0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.others);
        int board = c.others ? LB_BATTLE : LB_PUSH;
        std::vector<std::unique_ptr<OnlinePeer>> peers;
        for (int i = 0; i < c.others; ++i) {
            peers.push_back(std::make_unique<OnlinePeer>(1000 + i, "Rival " + std::to_string(i)));
            OtherPlayerScores(*peers.back(), board, 100 * (i + 1));
        }
        if (m_board.GetHandle(LB_MULTI) == 0)
            StartUp();
        m_messages.Clear();
        m_board.DownloadRange(board, -1, 1, k_ELeaderboardDataRequestGlobal);
        EXPECT_EQ(m_board.m_nDownloadState, LB_REQUESTED);
        ASSERT_TRUE(PumpUntil([&] { return m_board.m_nDownloadState == LB_DONE; }));
        EXPECT_EQ(m_board.m_nRowCount, c.expectRows);
        if (c.expectRows) {
            EXPECT_EQ(m_board.m_Rows[0].m_nScore, 1400);
            EXPECT_EQ(m_board.m_Rows[0].m_nGlobalRank, 1);
        }
        auto posted = m_messages.WithId(MSG_LEADERBOARD_ENTRIES);
        ASSERT_EQ(posted.size(), 1u);
        ASSERT_EQ(posted[0].payload.size(), 208u);  // 212 with the id word
        PayloadReader reader(posted[0].payload.data(), posted[0].payload.size());
        reader.I32();
        EXPECT_EQ(reader.I32(), c.expectRows);
        EXPECT_EQ(m_board.UpdateEntryCount(), c.others);
    }
}

// The own row is the player's own or nothing: a board the player has no score on leaves it.
TEST_F(LeaderBoardRequestTest, TheOwnRowIsOnlyThePlayersOwn)
{
    OnlinePeer rival(2000, "Rival");
    OtherPlayerScores(rival, LB_IQ, 700);
    StartUp();
    m_board.m_nBest[LB_IQ] = 0;
    m_board.ResetRequests();
    m_board.DownloadRange(LB_IQ, -1, 1, k_ELeaderboardDataRequestGlobal);
    m_board.RequestOwnRow();
    ASSERT_TRUE(PumpUntil([&] { return m_board.m_nOwnRowState == LB_DONE && m_board.m_nDownloadState == LB_DONE; }));
    EXPECT_FALSE(m_board.m_OwnRow.m_steamIDUser.IsValid());

    m_board.m_nBest[LB_IQ] = 900;
    m_board.UploadLocalBest(LB_IQ);
    ASSERT_TRUE(PumpUntil([&] { return m_board.m_nOwnRowState == LB_DONE; }));
    EXPECT_EQ(m_board.m_OwnRow.m_steamIDUser, SteamUser()->GetSteamID());
    EXPECT_EQ(m_board.m_OwnRow.m_nScore, 900);
    EXPECT_EQ(m_board.m_OwnRow.m_nGlobalRank, 1);
}

// Board 0 holds clear times: the smaller time ranks first, and no time (-1) is never uploaded.
TEST_F(LeaderBoardRequestTest, TheStageBoardRanksTheShortestTimeFirstAndSkipsNoTime)
{
    StartUp();
    m_board.UploadLocalBest(LB_STAGE);  // best[0] is -1: only the own row is asked for
    EXPECT_EQ(m_board.m_nOwnRowState, LB_REQUESTED);
    ASSERT_TRUE(PumpUntil([&] { return m_board.m_nOwnRowState == LB_DONE; }));
    EXPECT_EQ(m_board.UpdateEntryCount(), 0);

    // Another player's slower time, on the board the game created.
    OnlinePeer slow(3000, "Slow");
    OtherPlayerScores(slow, LB_STAGE, 1500);
    m_board.m_nBest[LB_STAGE] = 754;
    m_board.UploadLocalBest(LB_STAGE);
    ASSERT_TRUE(PumpUntil([&] { return m_board.m_nOwnRowState == LB_DONE; }));
    EXPECT_EQ(m_board.m_OwnRow.m_nGlobalRank, 1);
    m_board.DownloadRange(LB_STAGE, -1, 1, k_ELeaderboardDataRequestGlobal);
    ASSERT_TRUE(PumpUntil([&] { return m_board.m_nDownloadState == LB_DONE; }));
    ASSERT_EQ(m_board.m_nRowCount, 2);
    EXPECT_EQ(m_board.m_Rows[0].m_nScore, 754);
    EXPECT_EQ(m_board.m_Rows[1].m_nScore, 1500);
}

// A page asked for while the boards are still being found is answered as a page; the start-up
// fetch of the online record has its own request.
TEST_F(LeaderBoardRequestTest, APageAskedDuringStartUpIsNotTakenForTheRecordFetch)
{
    OnlinePeer rival(4000, "Rival");
    OtherPlayerScores(rival, LB_STAGE, 600);
    m_board.Init();
    ASSERT_TRUE(PumpUntil([&] { return m_board.GetHandle(LB_STAGE) != 0; }));
    m_board.DownloadRange(LB_STAGE, -1, 1, k_ELeaderboardDataRequestGlobal);
    ASSERT_TRUE(PumpUntil([&] { return m_board.GetHandle(LB_MULTI) != 0 && m_board.m_nDownloadState == LB_DONE; }));
    ASSERT_TRUE(PumpUntil([&] { return m_board.m_nRowCount == 1; }));
    EXPECT_EQ(m_board.m_Rows[0].m_nScore, 600);
    EXPECT_EQ(m_messages.WithId(MSG_LEADERBOARD_ENTRIES).size(), 1u);
}

TEST_F(LeaderBoardRequestTest, WithoutThePlatformNothingIsAskedButTheRecordStillCounts)
{
    SteamAPI_Shutdown();
    platform::steam::SetInitResult(false);
    m_board.Init();
    ASSERT_FALSE(m_board.IsEnabled());
    m_board.DownloadRange(LB_BATTLE, -1, 1, k_ELeaderboardDataRequestGlobal);
    m_board.UploadLocalBest(LB_BATTLE);
    EXPECT_EQ(m_board.m_nDownloadState, LB_IDLE);
    EXPECT_EQ(m_board.m_nOwnRowState, LB_IDLE);
    EXPECT_EQ(m_board.UpdateEntryCount(), 0);
    m_board.RecordMultiWin();
    EXPECT_EQ(m_work.Read(kLeaderBoardFile), Bytes({-1, 0, 0, 0, 0, 0, 0x1FFFF}));
    SteamAPI_RunCallbacks();
    EXPECT_TRUE(m_messages.posted.empty());
}

} // namespace
