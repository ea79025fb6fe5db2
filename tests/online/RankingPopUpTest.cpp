// The ranking pop-ups over a leaderboard on the embedded platform backend: page texts and
// buttons, rows and the player's own row, "my record", the score formats and closing.
#include "LeaderBoardKit.h"
#include "OnlineFixture.h"

#include "../menus/PopUpKit.h"

#include "menus/PopUpRanking.h"
#include "net/LeaderBoard.h"
#include "support/GameSeamFakes.h"

#include <steam/SteamTesting.h>
#include <win32/VirtualKeys.h>

#include <chrono>
#include <functional>
#include <thread>

using namespace popuptest;
using platform::steam::OnlinePeer;
using namespace leaderboardtest;

namespace {

std::string RankingLayout()
{
    std::string c;
    int x = 0;
    for (const char* name : {"Anibtn_popup_close", "btn_popup_ranking_prev", "btn_popup_ranking_next", "Anibtn_myrecord"})
        c += Child({"BUTTON", name, 600 + 50 * x++, 700, 40, 20});
    c += Child({"LABEL", "Label_popup_ranking_page", 0, 0, 40, 20});
    auto row = [&](const std::string& suffix) {
        for (const char* label : {"rank", "name", "point", "combo", "win", "lose"})
            c += Child({"LABEL", std::string("Label_sub_ranking_") + label + "_" + suffix, 0, 0, 200, 20});
    };
    for (int i = 1; i <= 10; ++i) {
        row(std::to_string(i));
        for (const char* pic : {"Pic_popup_ranking_combo_me_", "Pic_popup_ranking_point_me_", "Pic_popup_ranking_multi_"})
            c += Child({"PICTURE", pic + std::to_string(i), 0, 0, 40, 20});
    }
    row("me");
    return Layout("Wnd_ranking", c, "ranking_anim.xml");
}

class RankingPopUpTest : public onlinetest::OnlineTest {
protected:
    void SetUp() override
    {
        setenv("QUIBLY_ONLINE_DIR", m_shared.Str().c_str(), 1);
        OnlineTest::SetUp();
        m_world = std::make_unique<PopUpWorld>();
        m_world->AddFile("data/ranking.xml", RankingLayout());
        m_world->AddFile("data/ranking_anim.xml",
                         Animation("Wnd_ranking", {{"ranking_battle_in", 200}, {"ranking_multi_in", 200},
                                                   {"ranking_stage_in", 200}, {"ranking_out", 200}}));
        m_board.SetMessageSink(&m_messages);
    }
    void TearDown() override
    {
        m_world.reset();
        OnlineTest::TearDown();
        unsetenv("QUIBLY_ONLINE_DIR");
    }

    void StartUp()
    {
        m_board.Init();
        ASSERT_TRUE(PumpUntil([&] { return m_board.GetHandle(LB_MULTI) != 0 && m_board.m_nDownloadState == LB_DONE; }));
    }
    // `count` other players with scores 100, 200, ... on a board.
    void Rivals(int board, int count)
    {
        for (int i = 0; i < count; ++i) {
            m_peers.push_back(std::make_unique<OnlinePeer>(5000 + i, "Rival" + std::to_string(i)));
            OtherPlayerScores(*m_peers.back(), board, 100 * (i + 1));
        }
    }
    // Frames until the downloads the pop-up asked for have arrived and been shown.
    void Settle(VanteoPopUp_Ranking& popUp)
    {
        ASSERT_TRUE(PumpUntil([&] {
            m_world->Frame(popUp, 0.05f);
            return m_board.m_nDownloadState != LB_REQUESTED && m_board.m_nOwnRowState != LB_REQUESTED;
        }));
        // The rows' persona names come from the backend off the frame, a few pumps later.
        int frames = 0;
        PumpUntil([&] {
            m_world->Frame(popUp, 0.05f);
            return ++frames >= 50;
        });
        m_world->Frame(popUp, 0.05f);
    }
    bool Enabled(const std::wstring& name) { return m_world->Find(name) && m_world->Find(name)->IsEnabled(); }
    std::wstring Text(const std::wstring& name) { return m_world->Text(name); }

    testsupport::TempDir m_shared;
    std::unique_ptr<PopUpWorld> m_world;
    std::vector<std::unique_ptr<OnlinePeer>> m_peers;
    RecordingMessages m_messages;
    QuiblyLeaderBoard m_board;
};

TEST_F(RankingPopUpTest, PagesOfABoardWithTheirTextsButtonsAndThePlayersRow)
{
    Rivals(LB_BATTLE, 24);  // 100 .. 2400
    StartUp();
    m_board.m_nBest[LB_BATTLE] = 1250;  // uploaded when the pop-up opens: rank 13
    VanteoPopUp_Ranking_Battle popUp;
    popUp.SetLeaderBoard(&m_board);
    ASSERT_EQ(popUp.Open(), 1);
    m_world->Frame(popUp, 0.05f);
    EXPECT_EQ(Text(L"Label_sub_ranking_name_1"), L"Downloading...");
    EXPECT_FALSE(Enabled(L"btn_popup_ranking_next"));
    Settle(popUp);
    EXPECT_EQ(Text(L"Label_popup_ranking_page"), L"1 / 3");
    EXPECT_EQ(Text(L"Label_sub_ranking_rank_1"), L"1");
    EXPECT_EQ(Text(L"Label_sub_ranking_name_1"), L"Rival23");
    EXPECT_EQ(Text(L"Label_sub_ranking_point_1"), L"2,400");
    EXPECT_EQ(Text(L"Label_sub_ranking_combo_1"), L"2,400");
    EXPECT_FALSE(Enabled(L"btn_popup_ranking_prev"));
    EXPECT_TRUE(Enabled(L"btn_popup_ranking_next"));
    EXPECT_EQ(Text(L"Label_sub_ranking_rank_me"), L"13");
    EXPECT_EQ(Text(L"Label_sub_ranking_point_me"), L"1,250");

    // "My record": rank 13 is on the second page, with the player's row marked.
    ASSERT_TRUE(m_world->ClickOn(L"Anibtn_myrecord"));
    Settle(popUp);
    EXPECT_EQ(popUp.Page(), 1);
    EXPECT_EQ(Text(L"Label_popup_ranking_page"), L"2 / 3");
    EXPECT_EQ(Text(L"Label_sub_ranking_rank_3"), L"13");
    EXPECT_TRUE(m_world->Visible(L"Pic_popup_ranking_point_me_3"));
    EXPECT_FALSE(m_world->Visible(L"Pic_popup_ranking_point_me_2"));

    // The last page: ranks 21 to 25, the other slots blank, next disabled.
    ASSERT_TRUE(m_world->ClickOn(L"btn_popup_ranking_next"));
    Settle(popUp);
    EXPECT_EQ(Text(L"Label_popup_ranking_page"), L"3 / 3");
    EXPECT_EQ(Text(L"Label_sub_ranking_rank_5"), L"25");
    EXPECT_EQ(Text(L"Label_sub_ranking_rank_6"), L"");
    EXPECT_EQ(Text(L"Label_sub_ranking_name_10"), L"");
    EXPECT_FALSE(Enabled(L"btn_popup_ranking_next"));
    EXPECT_TRUE(Enabled(L"btn_popup_ranking_prev"));
}

TEST_F(RankingPopUpTest, AnEmptyBoardShowsNoPagesAndNoTimeIsNeverUploaded)
{
    StartUp();
    VanteoPopUp_Ranking_Stage popUp;  // best[0] is -1: nothing to upload
    popUp.SetLeaderBoard(&m_board);
    ASSERT_EQ(popUp.Open(), 1);
    Settle(popUp);
    EXPECT_EQ(Text(L"Label_popup_ranking_page"), L"1 / 0");
    EXPECT_EQ(Text(L"Label_sub_ranking_name_1"), L"");
    EXPECT_FALSE(Enabled(L"btn_popup_ranking_prev"));
    EXPECT_FALSE(Enabled(L"btn_popup_ranking_next"));
    EXPECT_EQ(m_board.UpdateEntryCount(), 0);
}

TEST_F(RankingPopUpTest, StageTimesReadAsMinutesAndSeconds)
{
    StartUp();
    m_board.m_nBest[LB_STAGE] = 754;
    VanteoPopUp_Ranking_Stage popUp;
    popUp.SetLeaderBoard(&m_board);
    ASSERT_EQ(popUp.Open(), 1);
    Settle(popUp);
    EXPECT_EQ(Text(L"Label_popup_ranking_page"), L"1 / 1");
    EXPECT_EQ(Text(L"Label_sub_ranking_point_1"), L"12 : 34");
    EXPECT_EQ(Text(L"Label_sub_ranking_point_me"), L"12 : 34");
}

TEST_F(RankingPopUpTest, TheOnlineBoardShowsWinsAndLosses)
{
    StartUp();
    m_board.RecordMultiWin();
    m_board.RecordMultiWin();
    m_board.RecordMultiLoss();
    VanteoPopUp_Ranking_Multi popUp;
    popUp.SetLeaderBoard(&m_board);
    ASSERT_EQ(popUp.Open(), 1);
    Settle(popUp);
    EXPECT_EQ(Text(L"Label_sub_ranking_win_1"), L"2");
    EXPECT_EQ(Text(L"Label_sub_ranking_lose_1"), L"1");
    EXPECT_EQ(Text(L"Label_sub_ranking_win_me"), L"2");
    EXPECT_EQ(Text(L"Label_sub_ranking_point_1"), L"");
    EXPECT_EQ(Text(L"Label_sub_ranking_name_1"), L"root");
}

TEST_F(RankingPopUpTest, ClosingWaitsForTheOpeningAndARefusalLeavesTheDownloadsRunning)
{
    StartUp();
    VanteoPopUp_Ranking_Battle popUp;
    popUp.SetLeaderBoard(&m_board);
    ASSERT_EQ(popUp.Open(), 1);
    EXPECT_EQ(m_board.m_nDownloadState, LB_REQUESTED);
    m_world->Frame(popUp, 0.05f, {VK_ESCAPE});  // the opening still plays
    EXPECT_TRUE(popUp.IsOpen());
    EXPECT_EQ(m_board.m_nDownloadState, LB_REQUESTED);
    EXPECT_EQ(m_board.m_nCurrentBoard, LB_BATTLE);
    Settle(popUp);
    EXPECT_EQ(Text(L"Label_popup_ranking_page"), L"1 / 1");
    m_world->Run(popUp, 0.3f);
    m_world->Frame(popUp, 0.05f, {VK_ESCAPE});
    EXPECT_EQ(popUp.m_bClosing, 1);
    m_world->Run(popUp, 0.5f);
    EXPECT_FALSE(popUp.IsOpen());
    EXPECT_EQ(m_world->sounds.stopped, (std::vector<int>{VanteoPopUp_Ranking::kRankingSound}));
}

TEST(RankingFormatTest, ScoresTimesAndRecordsReadAsThePlayerExpects)
{
    const std::pair<int32_t, const wchar_t*> points[] = {
        {0, L"0"}, {999, L"999"}, {1000, L"1,000"}, {45000, L"45,000"}, {1000000, L"1,000,000"}, {1234567, L"1,234,567"}};
    for (const auto& [score, text] : points)
        EXPECT_EQ(GroupedScore(score), text) << score;
    EXPECT_EQ(MultiRecordWins(0x0002FFFE), 2);
    EXPECT_EQ(MultiRecordLosses(0x0002FFFE), 1);
    EXPECT_EQ(MultiRecordWins(kNoMultiRecord), 0);
    EXPECT_EQ(MultiRecordLosses(kNoMultiRecord), 0);
}

} // namespace
