// The mode start dialog: backgrounds, icons and the self-play panel by kind and mode, the rows
// filled from ranking fixtures, the clear marks, every key cancelling, the reset button posting
// at once and the start posted only once the closing has played.
#include "PopUpKit.h"

#include "data/Options.h"
#include "data/Records.h"
#include "menus/PopUpStart.h"

#include <win32/VirtualKeys.h>

#include <cstring>
#include <functional>

using namespace popuptest;

namespace {

constexpr float kAnim = 0.2f;

RankEntry Place(const char* name, int score, int time)
{
    RankEntry e;
    std::strncpy(e.name, name, sizeof e.name - 1);
    e.score = score;
    e.time = time;
    return e;
}

// A table of six empty places.
std::vector<RankEntry> Empty()
{
    return std::vector<RankEntry>(6, Place(kLocalPlayerName, -1, -1));
}

class StartPopUpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string c = Child({"BUTTON", "AnimBtn_start", 300, 650, 80, 40}) + Child({"BUTTON", "AnimBtn_cancel", 500, 650, 80, 40}) +
            Child({"BUTTON", "AniBtn_start_self_reset", 700, 650, 80, 40});
        for (const char* name : {"Wnd_start_rank", "Wnd_start_self", "Pic_start_icon_allclear", "Pic_start_icon_clear",
                                 "Pic_start_battle_back", "Pic_start_push_back", "Pic_start_puzzle_back"})
            c += Child({"PICTURE", name, 0, 0, 10, 10});
        for (const char* icon : {"battle_easy", "battle_normal", "battle_hard", "battle_extreme", "battle_clone",
                                 "battle_star", "battle_stone", "battle_big", "battle_dash", "battle_hell", "battle_self",
                                 "push_easy", "push_normal", "push_hard", "push_extreme", "push_clone", "push_hell",
                                 "push_self", "puzzle_combo", "puzzle_point"})
            c += Child({"PICTURE", std::string("Pic_start_icon_") + icon, 0, 0, 10, 10});
        for (int n = 1; n <= 6; ++n)
            for (const char* label : {"Label_rank_", "Label_rank_name_", "Label_rank_score_", "Label_rank_time_m_",
                                      "Label_rank_time_s_"})
                c += Child({"LABEL", label + std::to_string(n), 0, 0, 10, 10});
        world.AddFile("data/startpopup.xml", Layout("Wnd_start", c, "start_anim.xml"));
        world.AddFile("data/start_anim.xml", Animation("Wnd_start", {{"start_in", 200}, {"start_out", 200}}));
        GameConfig = GameConfigRecord{};
        std::strcpy(GameConfig.playerName, "Mina");
    }
    void TearDown() override { GameConfig = GameConfigRecord{}; }

    void OpenAndSettle(int kind, int mode)
    {
        ASSERT_EQ(start.Open(), 1);
        start.SetMode(kind, mode);
        world.Run(start, kAnim + 0.3f);
    }
    std::vector<std::string> VisibleIcons()
    {
        std::vector<std::string> shown;
        std::function<void(kv::KVWnd*)> walk = [&](kv::KVWnd* w) {
            const std::wstring& name = w->GetName();
            if (name.rfind(L"Pic_start_icon_", 0) == 0 && w->IsVisible() && !w->IsHiding())
                shown.emplace_back(name.begin() + 15, name.end());
            for (int i = 0; i < w->GetChildCount(); ++i)
                walk(w->GetChild(i));
        };
        walk(start.m_pWindow);
        return shown;
    }
    void RunUntilClosed()
    {
        for (int frame = 0; frame < 20 && start.IsOpen(); ++frame)
            world.Frame(start, 0.05f);
    }

    PopUpWorld world;
    VanteoPopUp_Start start;
};

TEST_F(StartPopUpTest, SelfPlayShowsItsPanelAndTheResetFollowsTheWins)
{
    OpenAndSettle(VanteoPopUp_Start::kBattle, 13);
    EXPECT_EQ(VisibleIcons(), (std::vector<std::string>{"battle_self"}));
    EXPECT_TRUE(world.Visible(L"Wnd_start_self"));
    EXPECT_FALSE(world.Visible(L"Wnd_start_rank"));
    EXPECT_FALSE(world.Find(L"AniBtn_start_self_reset")->IsEnabled());
    EXPECT_TRUE(world.Visible(L"Pic_start_battle_back"));
    EXPECT_FALSE(world.Visible(L"Pic_start_push_back"));

    GameConfig.selfWinPush = 3;
    start.SetMode(VanteoPopUp_Start::kPush, 10);
    world.Frame(start, 0.05f);
    EXPECT_EQ(VisibleIcons(), (std::vector<std::string>{"push_self"}));
    EXPECT_TRUE(world.Find(L"AniBtn_start_self_reset")->IsEnabled());
    EXPECT_TRUE(world.Visible(L"Pic_start_push_back"));
    ASSERT_TRUE(world.ClickOn(L"AniBtn_start_self_reset"));
    ASSERT_TRUE(world.ClickOn(L"AniBtn_start_self_reset"));
    ASSERT_EQ(world.messages.Ids(), (std::vector<int32_t>{MSG_START_RESET_SELF, MSG_START_RESET_SELF}));
    EXPECT_EQ(world.messages.posted[0].Reader().I32(), 1);
    EXPECT_TRUE(start.IsOpen());

    start.SetMode(VanteoPopUp_Start::kBattle, 2);
    world.Frame(start, 0.05f);
    EXPECT_TRUE(world.Visible(L"Wnd_start_rank"));
    EXPECT_FALSE(world.Visible(L"Wnd_start_self"));
}

TEST_F(StartPopUpTest, ARankingTableFillsTheRowsAndTheClearMark)
{
    std::vector<RankEntry> table = Empty();
    table[0] = Place(kLocalPlayerName, 1500, 75);
    table[1] = Place("Rival", 0, 999970);
    table[2] = Place("Big", 1234567, 600);
    OpenAndSettle(VanteoPopUp_Start::kBattle, 1);
    start.FillRanking(table.data());
    world.Frame(start, 0.05f);
    EXPECT_EQ(world.Text(L"Label_rank_1"), L"1");
    EXPECT_EQ(world.Text(L"Label_rank_name_1"), L"Mina");
    EXPECT_EQ(dynamic_cast<kv::KVLabel*>(world.Find(L"Label_rank_name_1"))->style, 1);
    EXPECT_EQ(world.Text(L"Label_rank_score_1"), L"1,500");
    EXPECT_EQ(world.Text(L"Label_rank_time_m_1"), L"01");
    EXPECT_EQ(world.Text(L"Label_rank_time_s_1"), L"15");
    EXPECT_EQ(world.Text(L"Label_rank_time_m_2"), L"00");  // a lost game: 1000000 - 999970
    EXPECT_EQ(world.Text(L"Label_rank_time_s_2"), L"30");
    EXPECT_EQ(dynamic_cast<kv::KVLabel*>(world.Find(L"Label_rank_name_2"))->style, 0);
    EXPECT_EQ(world.Text(L"Label_rank_score_3"), L"1,234,567");
    EXPECT_EQ(world.Text(L"Label_rank_name_4"), L"-----");  // empty: the player's name is not repeated
    EXPECT_EQ(world.Text(L"Label_rank_score_4"), L"----");
    EXPECT_EQ(world.Text(L"Label_rank_time_s_6"), L"--");
    EXPECT_EQ(start.m_nBestPlace, 0);
    EXPECT_TRUE(world.Visible(L"Pic_start_icon_allclear"));
    EXPECT_FALSE(world.Visible(L"Pic_start_icon_clear"));

    std::swap(table[0], table[1]);
    start.FillRanking(table.data());
    world.Frame(start, 0.05f);
    EXPECT_EQ(start.m_nBestPlace, 1);
    EXPECT_TRUE(world.Visible(L"Pic_start_icon_clear"));
    EXPECT_FALSE(world.Visible(L"Pic_start_icon_allclear"));

    // Puzzle challenges never show a mark; a missing table leaves none either.
    start.SetMode(VanteoPopUp_Start::kPuzzle, 0);
    world.Frame(start, 0.05f);
    EXPECT_FALSE(world.Visible(L"Pic_start_icon_clear"));
    EXPECT_EQ(VisibleIcons(), (std::vector<std::string>{"puzzle_combo"}));
    start.FillRanking(nullptr);
    EXPECT_EQ(start.m_nBestPlace, -1);
}

struct PushCase {
    int score;
    const wchar_t* shown;
    int bestPlace;
};

class StartPushTest : public StartPopUpTest, public ::testing::WithParamInterface<PushCase> {};

TEST_P(StartPushTest, PushScoresAreGamesAndOnlyAWonGameCounts)
{
    std::vector<RankEntry> table = Empty();
    table[0] = Place(kLocalPlayerName, GetParam().score, 999905);
    OpenAndSettle(VanteoPopUp_Start::kPush, 2);
    start.FillSelfRecord(table.data());
    EXPECT_EQ(world.Text(L"Label_rank_score_1"), GetParam().shown);
    EXPECT_EQ(world.Text(L"Label_rank_score_2"), L"-:-");
    EXPECT_EQ(start.m_nBestPlace, GetParam().bestPlace);
}

INSTANTIATE_TEST_SUITE_P(Scores, StartPushTest,
                         ::testing::Values(PushCase{43, L"4 : 1", 0}, PushCase{24, L"2 : 0", -1},
                                           PushCase{40, L"4 : 4", -1}));

TEST_F(StartPopUpTest, EveryKeyCancelsAndOnlyTheStartButtonReportsAfterItsClosing)
{
    OpenAndSettle(VanteoPopUp_Start::kBattle, 3);
    world.Frame(start, 0.05f, {VK_RETURN});
    RunUntilClosed();
    EXPECT_TRUE(world.messages.posted.empty());

    OpenAndSettle(VanteoPopUp_Start::kBattle, 3);
    ASSERT_TRUE(world.ClickOn(L"AnimBtn_start"));
    world.Frame(start, 0.05f);
    ASSERT_TRUE(world.ClickOn(L"AnimBtn_cancel"));  // during "start_out": ignored
    EXPECT_TRUE(world.messages.posted.empty());
    RunUntilClosed();
    ASSERT_EQ(world.messages.Ids(), (std::vector<int32_t>{MSG_START_CONFIRMED}));
    PayloadReader reader = world.messages.posted[0].Reader();
    EXPECT_EQ(reader.I32(), 0);
    EXPECT_EQ(reader.I32(), 3);
}

} // namespace
