// What the main menu shows of the player's progress: the guided first play's locks and hints,
// the level marks of the battle and push sub-menus with their achievements, the puzzle
// sub-menu's records, the skin marks and hint, and the local bests written once per change.
#include "MainMenuFixture.h"

#include "net/Achievements.h"
#include "net/LeaderBoard.h"
#include "net/NetGlobals.h"

#include <algorithm>
#include <filesystem>

namespace menutest {
namespace {

class RecordingAchievements : public Achievements {
public:
    void Unlock(AchievementRecord* record) override { unlocked.push_back(record->apiName); }
    bool Has(const std::string& name) const { return std::count(unlocked.begin(), unlocked.end(), name) != 0; }
    std::vector<std::string> unlocked;
};

class MainMenuProgressTest : public MainMenuFixture {
protected:
    MainMenuProgressTest()
    {
        AddLayout("data/MAINMENU.xml", "Wnd_main",
                  {{"BUTTON", "Anibtn_puzzle"}, {"BUTTON", "Anibtn_battle"}, {"BUTTON", "Anibtn_pushing"},
                   {"BUTTON", "Anibtn_iq"}, {"BUTTON", "Steam_Anibtn_multi"}, {"BUTTON", "Anibtn_lock_battle"},
                   {"BUTTON", "Anibtn_lock_push"}, {"BUTTON", "Anibtn_lock_iq"}, {"BUTTON", "Steam_Anibtn_lock_multi"},
                   {"PICTURE", "main_clickhere"}, {"PICTURE", "S0_back"}, {"PICTURE", "S1_back"}, {"PICTURE", "S2_back"},
                   {"PICTURE", "S0_currentskin"}, {"PICTURE", "S1_currentskin"}, {"PICTURE", "S2_currentskin"}},
                  {"main_in", "return"});
        AddLayout("data/QUICKMENU.xml", "Wnd_quick", {{"PICTURE", "Pic_skins_comment"}}, {"main_return"}, 700, 68);
        const std::vector<Child> common = {{"BUTTON", "Anibtn_arrowL"}, {"BUTTON", "Anibtn_arrow_R"},
                                           {"BUTTON", "Anibtn_howtoman"}, {"BUTTON", "Anibtn_howtoman_first"}};
        auto with = [&common](std::vector<Child> extra) {
            std::vector<Child> all = common;
            all.insert(all.end(), extra.begin(), extra.end());
            return all;
        };
        AddLayout("data/SUB_puzzle.xml", "Wnd_sub0",
                  with({{"PICTURE", "main_clickhere"}, {"PICTURE", "Pic_sub_current"}, {"LABEL", "Label_cmt_stage"},
                        {"LABEL", "Label_cmt_combo"}, {"LABEL", "Label_cmt_point"},
                        {"BUTTON", "Steam_btn_puzzle_ranking_combo"}, {"BUTTON", "Steam_btn_puzzle_ranking_point"},
                        {"BUTTON", "Steam_btn_puzzle_ranking_stage"}, {"PICTURE", "Pic_icon_stage_allclear_hard"},
                        {"PICTURE", "Pic_icon_stage_clear_hard"}}),
                  {"return"});
        std::vector<Child> levels = {{"LABEL", "Label_cmt_self"}};
        for (const char* level : {"easy", "normal", "hard", "extreme"}) {
            levels.push_back({"LABEL", std::string("Label_cmt_") + level});
            levels.push_back({"PICTURE", std::string("Pic_icon_allclear_") + level});
            levels.push_back({"PICTURE", std::string("Pic_icon_clear_") + level});
        }
        AddLayout("data/SUB_battle.xml", "Wnd_sub1", with(levels), {"return"});
        AddLayout("data/SUB_pushing.xml", "Wnd_sub2", with(levels), {"return"});
        AddLayout("data/SUB_iq.xml", "Wnd_sub3",
                  with({{"LABEL", "Label_cmt_easy"}, {"LABEL", "Label_cmt_normal"}, {"LABEL", "Label_cmt_hard"}}),
                  {"return"});
        g_pAchievements = &achievements;
        m_savedBests = GetLeaderBoard().m_nBest;
    }
    ~MainMenuProgressTest() override
    {
        g_pAchievements = nullptr;
        GetLeaderBoard().m_nBest = m_savedBests;
    }

    bool ShownOn(int screen, const char* name) { return Shown(Find(screen, name)); }
    bool EnabledOn(int screen, const char* name)
    {
        kv::KVWnd* window = Find(screen, name);
        return window && window->IsEnabled();
    }
    std::string TextOn(int screen, const char* name)
    {
        auto* label = dynamic_cast<kv::KVLabel*>(Find(screen, name));
        return label ? std::string(label->text.begin(), label->text.end()) : "<none>";
    }
    // One entry per sub-menu group: `bought` entries with their buttons.
    void WriteUnlocks(int puzzleBought, int battleBought)
    {
        std::string body = "<Puzzle>";
        for (int i = 0; i < 2; ++i)
            body += "<UnlockInfo BtnName=\"p" + std::to_string(i) + "\" UnlockPic=\"\" CubePic=\"\" Cube=\"10\" IsUnlock=\"" +
                    std::to_string(i < puzzleBought ? 1 : 0) + "\"/>";
        body += "</Puzzle><Battle>";
        for (int i = 0; i < 5; ++i)
            body += "<UnlockInfo BtnName=\"b" + std::to_string(i) + "\" UnlockPic=\"\" CubePic=\"\" Cube=\"10\" IsUnlock=\"" +
                    std::to_string(i < battleBought ? 1 : 0) + "\"/>";
        WriteUnlockFile(body + "</Battle>");
    }

    RecordingAchievements achievements;
    std::array<int32_t, kLeaderBoardCount> m_savedBests{};
};

TEST_F(MainMenuProgressTest, TheGuidedFirstPlayLocksTheModesAndShowsItsHints)
{
    GameConfig.unlockMulti = 0;
    Enter(-1);
    ASSERT_EQ(GameConfig.guidedPlay, 1);
    Step();
    for (const char* lock : {"Anibtn_lock_push", "Anibtn_lock_iq", "Anibtn_lock_battle"})
        EXPECT_TRUE(ShownOn(-1, lock)) << lock;
    for (const char* button : {"Anibtn_pushing", "Anibtn_iq", "Anibtn_battle"})
        EXPECT_FALSE(EnabledOn(-1, button)) << button;
    EXPECT_FALSE(ShownOn(-1, "Steam_Anibtn_lock_multi"));
    EXPECT_TRUE(EnabledOn(-1, "Steam_Anibtn_multi"));
    EXPECT_TRUE(ShownOn(-1, "main_clickhere"));
    EXPECT_TRUE(ShownOn(0, "main_clickhere"));
    EXPECT_FALSE(ShownOn(0, "Pic_sub_current"));
    EXPECT_FALSE(EnabledOn(0, "Anibtn_arrowL"));
}

TEST_F(MainMenuProgressTest, AfterTheGuidedPlayOnlyOpenModesAreFreeAndTheHintsGo)
{
    GameConfig.unlockBattle = 1;
    GameConfig.unlockMulti = 0;
    Enter(-1);
    ASSERT_EQ(GameConfig.guidedPlay, 0);
    Step();
    EXPECT_FALSE(ShownOn(-1, "Anibtn_lock_battle"));
    EXPECT_TRUE(EnabledOn(-1, "Anibtn_battle"));
    EXPECT_TRUE(ShownOn(-1, "Anibtn_lock_push"));
    EXPECT_FALSE(EnabledOn(-1, "Anibtn_pushing"));
    EXPECT_TRUE(ShownOn(-1, "Steam_Anibtn_lock_multi"));
    EXPECT_FALSE(EnabledOn(-1, "Steam_Anibtn_multi"));
    EXPECT_FALSE(ShownOn(-1, "main_clickhere"));
    EXPECT_TRUE(ShownOn(0, "Pic_sub_current"));
}

struct LevelCase {
    int place;  // where the player's first place stands, -1 for a table without one
    int score;
    bool push;
    const char* label;
    bool allClear, clear;
};

class LevelMarksTest : public MainMenuProgressTest, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(LevelMarksTest, ThePlayersFirstPlaceGivesTheRankAndTheIcon)
{
    const LevelCase& c = GetParam();
    const int board = c.push ? RANK_PUSH : RANK_BATTLE;
    // Others fill the places above the player's.
    for (int i = 0; i < c.place; ++i)
        InsertRankingScore(board, "2", 1000000 - i, 60);
    RankEntry* table = FindRankingTable(board, "2");
    if (c.place >= 0) {
        if (!table) {
            InsertRankingScore(board, "2", c.score, 60);
            table = FindRankingTable(board, "2");
        }
        for (int i = 0; i < c.place; ++i)
            std::snprintf(table[i].name, sizeof table[i].name, "Rival");
        table[c.place].score = c.score;
        std::snprintf(table[c.place].name, sizeof table[c.place].name, "%s", kLocalPlayerName);
    }
    GameConfig.unlockBattle = GameConfig.unlockPush = 1;
    const int screen = c.push ? 2 : 1;
    Enter(screen);
    EXPECT_EQ(TextOn(screen, "Label_cmt_normal"), c.label);
    EXPECT_EQ(ShownOn(screen, "Pic_icon_allclear_normal"), c.allClear);
    EXPECT_EQ(ShownOn(screen, "Pic_icon_clear_normal"), c.clear);
    EXPECT_TRUE(Find(screen, "Pic_icon_clear_normal")->IsMouseTransparent());
    EXPECT_EQ(TextOn(screen, "Label_cmt_easy"), "");  // no table
}

INSTANTIATE_TEST_SUITE_P(Places, LevelMarksTest,
                         ::testing::Values(LevelCase{0, 500, false, "Rank 1", true, false},
                                           LevelCase{3, 500, false, "Rank 4", false, true},
                                           LevelCase{5, 500, false, "No Rank", false, true},
                                           LevelCase{0, 0, false, "", false, false},
                                           LevelCase{-1, 0, false, "", false, false},
                                           LevelCase{0, 41, true, "Rank 1", true, false},
                                           LevelCase{0, 40, true, "", false, false}));

TEST_F(MainMenuProgressTest, LevelAchievementsNeedEveryLevelPlacedAndAllFirstForTheSecond)
{
    GameConfig.unlockBattle = 1;
    for (const char* key : {"1", "2", "3", "4"})
        InsertRankingScore(RANK_BATTLE, key, 500, 60);
    InsertRankingScore(RANK_BATTLE, "4", 900, 60);  // a better rival pushes the player to second
    RankEntry* extreme = FindRankingTable(RANK_BATTLE, "4");
    std::snprintf(extreme[0].name, sizeof extreme[0].name, "Rival");
    Enter(1);
    EXPECT_TRUE(achievements.Has("ACH_ACCOM_BATTLE_LEVEL_ALLCLEAR"));
    EXPECT_FALSE(achievements.Has("ACH_ACCOM_BATTLE_LEVEL_ALLCLEAR_NO1"));
    EXPECT_EQ(TextOn(1, "Label_cmt_extreme"), "Rank 2");

    std::snprintf(extreme[0].name, sizeof extreme[0].name, "%s", kLocalPlayerName);
    achievements.unlocked.clear();
    scene->UpdateSubMenu();
    EXPECT_TRUE(achievements.Has("ACH_ACCOM_BATTLE_LEVEL_ALLCLEAR_NO1"));
}

TEST_F(MainMenuProgressTest, ThePuzzleSubMenuShowsStageComboAndPointByPurchase)
{
    for (int stage = 0; stage < 12; ++stage)
        InsertRankingScore(RANK_STAGE_HARD, std::to_string(stage).c_str(), 100, 60);
    InsertRankingScore(RANK_COMBO, "7", 320, 60);
    InsertRankingScore(RANK_POINT, "2", 1234567, 60);
    WriteUnlocks(1, 0);  // the point challenge bought, the combo challenge not
    Enter(0);
    EXPECT_EQ(TextOn(0, "Label_cmt_stage"), "STAGE 12");
    EXPECT_EQ(TextOn(0, "Label_cmt_point"), "1,234,567");
    EXPECT_TRUE(EnabledOn(0, "Steam_btn_puzzle_ranking_point"));
    EXPECT_TRUE(achievements.Has("ACH_LB_PC_1M"));
    EXPECT_FALSE(achievements.Has("ACH_LB_PC_2M"));
    EXPECT_EQ(TextOn(0, "Label_cmt_combo"), "");
    EXPECT_FALSE(EnabledOn(0, "Steam_btn_puzzle_ranking_combo"));
    EXPECT_FALSE(achievements.Has("ACH_LB_CC_100"));

    WriteUnlocks(2, 0);
    ClearUnlockMenu();
    LoadUnlockMenu();
    scene->UpdateSubMenu();
    EXPECT_EQ(TextOn(0, "Label_cmt_combo"), "320 COMBO");
    EXPECT_TRUE(achievements.Has("ACH_LB_CC_100"));
    EXPECT_TRUE(achievements.Has("ACH_LB_CC_300"));
    EXPECT_FALSE(achievements.Has("ACH_LB_CC_500"));
}

TEST_F(MainMenuProgressTest, AllHardStagesShowTheClearTimeAndTheBestIsWrittenOnlyWhenItFalls)
{
    for (int stage = 0; stage < 50; ++stage)
        InsertRankingScore(RANK_STAGE_HARD, std::to_string(stage).c_str(), 100, stage == 0 ? 57 : 30);
    QuiblyLeaderBoard& bests = GetLeaderBoard();
    bests.m_nBest[LB_STAGE] = -1;
    Enter(0);
    EXPECT_EQ(TextOn(0, "Label_cmt_stage"), "ALL CLEAR 25:27");
    EXPECT_EQ(bests.m_nBest[LB_STAGE], 1527);
    EXPECT_TRUE(ShownOn(0, "Steam_btn_puzzle_ranking_stage"));
    EXPECT_TRUE(ShownOn(0, "Pic_icon_stage_allclear_hard"));
    EXPECT_TRUE(achievements.Has("ACH_ACCOM_SC_ALLCLEAR_NO1"));

    // Frames while nothing changes never rewrite the file.
    const std::string file = "Data/PlayData/UserLeaderBoard.bin";
    ASSERT_TRUE(std::filesystem::exists(file));
    std::filesystem::remove(file);
    Step(0.05f, 3);
    EXPECT_FALSE(std::filesystem::exists(file));
    bests.m_nBest[LB_STAGE] = 2000;  // a worse best in memory: the next frame lowers and writes it
    Step();
    EXPECT_EQ(bests.m_nBest[LB_STAGE], 1527);
    EXPECT_TRUE(std::filesystem::exists(file));
}

TEST_F(MainMenuProgressTest, SkinMarksFollowTheWornSkinAndTheHintTheCubes)
{
    GameConfig.currentSkin = 2;
    GameConfig.cubes = 999;
    Enter(-1);
    Step();
    EXPECT_TRUE(ShownOn(-1, "S2_currentskin"));
    EXPECT_TRUE(ShownOn(-1, "S2_back"));
    EXPECT_FALSE(ShownOn(-1, "S0_currentskin"));
    EXPECT_FALSE(ShownOn(-1, "S1_back"));
    EXPECT_FALSE(Shown(scene->GetQuickMenu()->FindWindow(L"Pic_skins_comment")));
    GameConfig.cubes = 1000;
    Step();
    EXPECT_TRUE(Shown(scene->GetQuickMenu()->FindWindow(L"Pic_skins_comment")));
    GameConfig.skin2Unlocked = GameConfig.skin3Unlocked = 1;
    Step();
    EXPECT_FALSE(Shown(scene->GetQuickMenu()->FindWindow(L"Pic_skins_comment")));
}

} // namespace
} // namespace menutest
