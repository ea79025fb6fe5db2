// The special-mode pop-ups: places, marks and achievements from the ranking tables, locks and
// prices that follow the cubes every frame, lock clicks reported at once, and the chosen mode
// reported once the pop-up has closed.
#include "PopUpKit.h"

#include "data/Options.h"
#include "data/Records.h"
#include "data/UnlockInfo.h"
#include "menus/PopUpSpecialModes.h"
#include "net/Achievements.h"
#include "net/NetGlobals.h"
#include "support/TempDir.h"

#include <win32/VirtualKeys.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace popuptest;

namespace {

const std::vector<std::string> kBattle = {"clone", "star", "stone", "big", "dash", "hell"};
const std::vector<std::string> kPush = {"onecolor", "hell"};

class RecordingAchievements : public Achievements {
public:
    void Unlock(AchievementRecord* record) override { unlocked.push_back(record->id); }
    std::vector<int> unlocked;
};

std::string ModesLayout(const std::string& top, const std::string& prefix, const std::vector<std::string>& modes)
{
    std::string c = Child({"BUTTON", "Anibtn_popup_close", 800, 650, 100, 40});
    int x = 0;
    for (const std::string& m : modes) {
        x += 120;
        c += Child({"BUTTON", prefix + m, x, 100, 100, 100});
        c += Child({"BUTTON", prefix + "lock_" + m, x, 100, 100, 100});
        c += Child({"PICTURE", "Pic_" + prefix + "cube_" + m, x, 210, 100, 30});
        c += Child({"PICTURE", "Pic_" + prefix + "cube_" + m + "_gray", x, 210, 100, 30});
        c += Child({"LABEL", "Label_cmt_" + m, x, 250, 100, 30});
        c += Child({"PICTURE", "Pic_icon_clear_" + m, x, 290, 30, 30});
        c += Child({"PICTURE", "Pic_icon_allclear_" + m, x + 40, 290, 30, 30});
    }
    return Layout(top, c, top + "_anim.xml");
}

std::string UnlockFile(const std::vector<int>& battleUnlocked)
{
    std::string text = "<UnlockMenu><BattleGeek>";
    for (size_t i = 0; i < kBattle.size(); ++i)
        text += "<UnlockInfo BtnName=\"btn_btgeek_" + kBattle[i] + "\" UnlockPic=\"btn_btgeek_lock_" + kBattle[i] +
                "\" CubePic=\"Pic_btn_btgeek_cube_" + kBattle[i] + "\" Cube=\"" + std::to_string(100 * (i + 1)) +
                "\" IsUnlock=\"" + std::to_string(battleUnlocked[i]) + "\" />";
    text += "</BattleGeek><PushGeek>";
    for (const std::string& m : kPush)
        text += "<UnlockInfo BtnName=\"btn_psgeek_" + m + "\" UnlockPic=\"btn_psgeek_lock_" + m +
                "\" CubePic=\"Pic_btn_psgeek_cube_" + m + "\" Cube=\"400\" IsUnlock=\"1\" />";
    return text + "</PushGeek></UnlockMenu>";
}

class SpecialModesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearRanking();
        ClearUnlockMenu();
        GameConfig = GameConfigRecord{};
        g_pAchievements = &achievements;
        for (const auto& [top, prefix, modes] :
             {std::tuple{std::string("Wnd_geek_battle"), std::string("btn_btgeek_"), kBattle},
              std::tuple{std::string("Wnd_geek_push"), std::string("btn_psgeek_"), kPush}}) {
            std::string file = top == "Wnd_geek_battle" ? "data/geek_battle.xml" : "data/geek_push.xml";
            world.AddFile(file, ModesLayout(top, prefix, modes));
            world.AddFile("data/" + top + "_anim.xml", Animation(top, {{"video_in", 100}, {"video_out", 100}}));
        }
    }
    void TearDown() override
    {
        g_pAchievements = nullptr;
        ClearRanking();
        ClearUnlockMenu();
        GameConfig = GameConfigRecord{};
    }

    void LoadUnlocks(const std::vector<int>& battleUnlocked)
    {
        m_dir.Write("Data/PlayData/QuiblyUnlockMenu.xml", UnlockFile(battleUnlocked));
        ASSERT_EQ(LoadUnlockMenu(), 1);
    }

    // The table of a special mode with the player at `place` (-1: not in it) with `score`.
    static void Table(int board, int number, int place, int score)
    {
        const std::string key = std::to_string(number);
        InsertRankingScore(board, key.c_str(), -1, -1);
        RankEntry* table = FindRankingTable(board, key.c_str());
        for (int i = 0; i < RankingTable::kPlaces; ++i) {
            std::snprintf(table[i].name, sizeof table[i].name, "%s", i == place ? kLocalPlayerName : "Rival");
            table[i].score = i == place ? score : 1000 - i;
        }
    }

    std::vector<std::wstring> Comments(const std::vector<std::string>& modes)
    {
        std::vector<std::wstring> out;
        for (const std::string& m : modes)
            out.push_back(world.Text(L"Label_cmt_" + std::wstring(m.begin(), m.end())));
        return out;
    }
    std::string Marks(const std::vector<std::string>& modes)
    {
        std::string out;
        for (const std::string& m : modes) {
            std::wstring w(m.begin(), m.end());
            out += world.Visible(L"Pic_icon_allclear_" + w) ? 'A' : world.Visible(L"Pic_icon_clear_" + w) ? 'C' : '-';
        }
        return out;
    }

    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
    PopUpWorld world;
    RecordingAchievements achievements;
};

struct RankCase {
    const char* what;
    std::vector<int> places;  // per battle mode; -2 for no table
    int summary;
    std::vector<std::wstring> comments;
    std::string marks;
    std::vector<int> achievements;
};

class BattleRanksTest : public SpecialModesTest, public ::testing::WithParamInterface<RankCase> {};

TEST_P(BattleRanksTest, PlacesMarksAndAchievements)
{
    const RankCase& c = GetParam();
    for (int mode = 0; mode < 6; ++mode)
        if (c.places[mode] != -2)
            Table(RANK_BATTLE, 7 + mode, c.places[mode], 500);
    VanteoPopUp_BattleGeek popUp;
    ASSERT_EQ(popUp.Open(), 1);
    EXPECT_EQ(popUp.ShowRanks(), c.summary);
    EXPECT_EQ(Comments(kBattle), c.comments);
    EXPECT_EQ(Marks(kBattle), c.marks);
    EXPECT_EQ(achievements.unlocked, c.achievements);
    for (const std::string& m : kBattle)
        EXPECT_TRUE(world.Find(L"Pic_icon_clear_" + std::wstring(m.begin(), m.end()))->IsMouseTransparent());
}

INSTANTIATE_TEST_SUITE_P(
    Tables, BattleRanksTest,
    ::testing::Values(
        RankCase{"no_tables", {-2, -2, -2, -2, -2, -2}, 0, {L"", L"", L"", L"", L"", L""}, "------", {}},
        RankCase{"one_mode_unplayed", {0, 1, 2, 3, 4, -1}, 0, {L"Rank 1", L"Rank 2", L"Rank 3", L"Rank 4", L"Rank 5", L""},
                 "ACCCC-", {}},
        RankCase{"all_placed", {0, 1, 2, 3, 4, 0}, 1, {L"Rank 1", L"Rank 2", L"Rank 3", L"Rank 4", L"Rank 5", L"Rank 1"},
                 "ACCCCA", {0}},
        RankCase{"sixth_place_counts", {5, 0, 0, 0, 0, 0}, 1, {L"No Rank", L"Rank 1", L"Rank 1", L"Rank 1", L"Rank 1", L"Rank 1"},
                 "CAAAAA", {0}},
        RankCase{"all_first", {0, 0, 0, 0, 0, 0}, 2, {L"Rank 1", L"Rank 1", L"Rank 1", L"Rank 1", L"Rank 1", L"Rank 1"},
                 "AAAAAA", {0, 1}}),
    [](const ::testing::TestParamInfo<RankCase>& info) { return std::string(info.param.what); });

TEST_F(SpecialModesTest, PushCountsAScoreAbove40AsAClearAndEmptyPlacesAsNone)
{
    Table(RANK_PUSH, 5, 0, 40);
    Table(RANK_PUSH, 6, 2, 41);
    VanteoPopUp_PushGeek popUp;
    ASSERT_EQ(popUp.Open(), 1);
    EXPECT_EQ(popUp.ShowRanks(), 0);
    EXPECT_EQ(Comments(kPush), (std::vector<std::wstring>{L"", L"Rank 3"}));
    EXPECT_EQ(Marks(kPush), "-C");
    EXPECT_TRUE(achievements.unlocked.empty());
    Table(RANK_PUSH, 5, 0, 41);
    EXPECT_EQ(popUp.ShowRanks(), 1);
    EXPECT_EQ(achievements.unlocked, (std::vector<int>{6}));
    // An empty place is the player's name with score -1: no record.
    Table(RANK_PUSH, 6, 3, -1);
    EXPECT_EQ(popUp.ShowRanks(), 0);
    g_pAchievements = nullptr;
    Table(RANK_PUSH, 6, 0, 90);
    EXPECT_EQ(popUp.ShowRanks(), 2) << "without an achievements object the rest runs as usual";
    EXPECT_EQ(achievements.unlocked, (std::vector<int>{6}));
}

TEST_F(SpecialModesTest, LocksAndPricesFollowTheCubesEveryFrame)
{
    LoadUnlocks({1, 0, 0, 0, 0, 0});
    GameConfig.cubes = 199;  // star costs 200
    VanteoPopUp_BattleGeek popUp;
    ASSERT_EQ(popUp.Open(), 1);
    world.Frame(popUp, 0.05f);
    EXPECT_TRUE(world.Visible(L"btn_btgeek_lock_star")) << "nothing set before the owner attaches the unlocks";
    popUp.m_bUnlocksSet = true;
    popUp.UpdateLocks();
    EXPECT_FALSE(world.Visible(L"btn_btgeek_lock_clone"));
    EXPECT_TRUE(world.Find(L"btn_btgeek_clone")->IsEnabled());
    EXPECT_TRUE(world.Visible(L"btn_btgeek_lock_star"));
    EXPECT_FALSE(world.Find(L"btn_btgeek_star")->IsEnabled());
    EXPECT_TRUE(world.Visible(L"Pic_btn_btgeek_cube_star_gray"));
    EXPECT_FALSE(world.Visible(L"Pic_btn_btgeek_cube_star"));
    EXPECT_TRUE(world.Find(L"Pic_btn_btgeek_cube_star")->IsMouseTransparent());
    GameConfig.cubes = 200;
    world.Frame(popUp, 0.05f);
    EXPECT_FALSE(world.Visible(L"Pic_btn_btgeek_cube_star_gray"));
    EXPECT_TRUE(world.Visible(L"Pic_btn_btgeek_cube_star"));
    EXPECT_TRUE(world.Visible(L"Pic_btn_btgeek_cube_stone_gray"));
    // A purchase shows in the next frame.
    GetUnlockInfo(UNLOCK_BATTLE_GEEK, 1)->isUnlock = 1;
    world.Frame(popUp, 0.05f);
    EXPECT_FALSE(world.Visible(L"btn_btgeek_lock_star"));
    EXPECT_TRUE(world.Find(L"btn_btgeek_star")->IsEnabled());
}

TEST_F(SpecialModesTest, LockClicksReportAtOnceAndClosingReportsTheChoiceOnce)
{
    LoadUnlocks({0, 0, 0, 1, 0, 0});
    VanteoPopUp_BattleGeek popUp;
    ASSERT_EQ(popUp.Open(), 1);
    popUp.m_bUnlocksSet = true;
    popUp.UpdateLocks();
    ASSERT_TRUE(world.ClickOn(L"btn_btgeek_lock_dash"));
    ASSERT_TRUE(world.ClickOn(L"btn_btgeek_lock_dash"));
    ASSERT_EQ(world.messages.posted.size(), 2u);
    for (const auto& m : world.messages.posted) {
        EXPECT_EQ(m.id, MSG_BATTLE_GEEK_LOCKED);
        EXPECT_EQ(m.payload, (std::vector<uint8_t>{4, 0, 0, 0}));
    }
    // The unlocked mode, chosen during the opening, does nothing; after it, it closes the pop-up.
    ASSERT_TRUE(world.ClickOn(L"btn_btgeek_big"));
    world.Frame(popUp, 0.05f);
    EXPECT_FALSE(popUp.m_bClosing);
    world.Run(popUp, 0.3f);
    ASSERT_TRUE(world.ClickOn(L"btn_btgeek_big"));
    world.Frame(popUp, 0.01f, {VK_ESCAPE});
    world.Run(popUp, 0.4f);
    EXPECT_FALSE(popUp.IsOpen());
    ASSERT_EQ(world.messages.posted.size(), 3u);
    EXPECT_EQ(world.messages.posted[2].id, MSG_BATTLE_GEEK_CLOSED);
    EXPECT_EQ(world.messages.posted[2].payload, (std::vector<uint8_t>{3, 0, 0, 0}));

    // Escape closes with the none value.
    VanteoPopUp_PushGeek push;
    ASSERT_EQ(push.Open(), 1);
    world.Run(push, 0.3f);
    world.Frame(push, 0.01f, {VK_ESCAPE});
    world.Run(push, 0.4f);
    ASSERT_EQ(world.messages.posted.size(), 4u);
    EXPECT_EQ(world.messages.posted[3].id, MSG_PUSH_GEEK_CLOSED);
    EXPECT_EQ(world.messages.posted[3].payload, (std::vector<uint8_t>{2, 0, 0, 0}));
}

} // namespace
