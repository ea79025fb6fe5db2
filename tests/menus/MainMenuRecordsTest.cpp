// The main menu's record queries over local ranking tables built in memory.
#include "data/ModeConfig.h"
#include "data/Records.h"
#include "menus/MainMenuScene.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using Menu = VanteoMainMenuScene;

struct Place {
    const char* name;  // "P" for the player
    int score;
    int time;
};

class MainMenuRecordsTest : public ::testing::Test {
protected:
    MainMenuRecordsTest() : m_cwd(m_dir.Path()) { ClearRanking(); }
    ~MainMenuRecordsTest() override
    {
        ClearRanking();
        ClearModeConfig();
    }

    // A table whose places are given best first; the rest stay empty ("##player##", -1, -1).
    static void Table(int board, const std::string& key, std::initializer_list<Place> places)
    {
        InsertRankingScore(board, key.c_str(), -1, -1);
        RankEntry* table = FindRankingTable(board, key.c_str());
        for (int i = 0; i < RankingTable::kPlaces; ++i) {
            std::snprintf(table[i].name, sizeof table[i].name, "%s", kLocalPlayerName);
            table[i].score = -1;
            table[i].time = -1;
            table[i].isNew = 0;
        }
        int i = 0;
        for (const Place& p : places) {
            std::snprintf(table[i].name, sizeof table[i].name, "%s",
                          std::string(p.name) == "P" ? kLocalPlayerName : p.name);
            table[i].score = p.score;
            table[i].time = p.time;
            ++i;
        }
    }

    static void HardStages(int count, std::initializer_list<Place> places)
    {
        for (int key = 0; key < count; ++key)
            Table(RANK_STAGE_HARD, std::to_string(key), places);
    }

    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd;
};

TEST_F(MainMenuRecordsTest, HardStageReachedCountsStagesWithThePlayersPlace)
{
    EXPECT_EQ(Menu::GetHardStageReached(), 0);  // no table "0"
    HardStages(1, {});
    EXPECT_EQ(Menu::GetHardStageReached(), 0);  // its first place is empty
    HardStages(12, {{"Ann", 500, 30}, {"P", 200, 40}});
    EXPECT_EQ(Menu::GetHardStageReached(), 12);
    Table(RANK_STAGE_HARD, "3", {{"Ann", 500, 30}, {"Bob", 400, 30}, {"Cy", 300, 30}, {"Di", 200, 30},
                                 {"Ed", 100, 30}, {"Flo", 50, 30}});
    EXPECT_EQ(Menu::GetHardStageReached(), 3);  // six places, none the player's
    HardStages(50, {{"P", 900, 20}});
    EXPECT_EQ(Menu::GetHardStageReached(), 50);
}

TEST_F(MainMenuRecordsTest, HardStageTimesAndFirstPlaces)
{
    HardStages(50, {{"P", 900, 20}, {"Ann", 500, 30}});
    EXPECT_EQ(Menu::GetHardStageTotalTime(), 1000);
    EXPECT_TRUE(Menu::IsFirstInAllHardStages());
    Table(RANK_STAGE_HARD, "7", {{"Ann", 950, 10}, {"P", 900, 25}});
    EXPECT_EQ(Menu::GetHardStageTotalTime(), 1005);
    EXPECT_FALSE(Menu::IsFirstInAllHardStages());
    Table(RANK_STAGE_HARD, "8", {{"Ann", 950, 10}});
    EXPECT_EQ(Menu::GetHardStageTotalTime(), -1);  // a stage without the player's score
    ClearRanking();
    EXPECT_FALSE(Menu::IsFirstInAllHardStages());
}

TEST_F(MainMenuRecordsTest, PushAndComboRecordsCountOnlyPlayedPlaces)
{
    Table(RANK_PUSH, "2", {{"Ann", 40, 30}});  // the other five places are empty player places
    EXPECT_FALSE(Menu::HasPushRecord());
    Table(RANK_PUSH, "6", {{"Ann", 40, 30}, {"P", 0, 99}});
    EXPECT_TRUE(Menu::HasPushRecord());

    Table(RANK_COMBO, "7", {{"Ann", 80, 0}, {"P", 49, 0}});
    EXPECT_FALSE(Menu::HasComboScore50());
    Table(RANK_COMBO, "7", {{"Ann", 80, 0}, {"P", 50, 0}});
    EXPECT_TRUE(Menu::HasComboScore50());
}

TEST_F(MainMenuRecordsTest, RankingScoresWeighKeysPlacesAndTime)
{
    // Empty places earn nothing, however many there are.
    Table(RANK_BATTLE, "1", {});
    Table(RANK_PUSH, "1", {});
    EXPECT_EQ(Menu::GetBattleRankingScore(), 0);
    EXPECT_EQ(Menu::GetPushRankingScore(), 0);

    // Key 1 weighs 20: first place 5 x (300 - 100), third place 3 x max(300 - 400, 1).
    Table(RANK_BATTLE, "1", {{"P", 900, 100}, {"Ann", 800, 50}, {"P", 700, 400}});
    EXPECT_EQ(Menu::GetBattleRankingScore(), 20 * (5 * 200 + 3 * 1));
    // Key 12 weighs 500; the sixth place is not counted.
    Table(RANK_BATTLE, "12", {{"A", 9, 9}, {"B", 9, 9}, {"C", 9, 9}, {"D", 9, 9}, {"P", 1, 0}, {"P", 1, 0}});
    EXPECT_EQ(Menu::GetBattleRankingScore(), 20 * (5 * 200 + 3 * 1) + 500 * 1 * 300);
    // Keys outside the list count nothing.
    Table(RANK_BATTLE, "5", {{"P", 900, 0}});
    EXPECT_EQ(Menu::GetBattleRankingScore(), 20 * (5 * 200 + 3 * 1) + 500 * 1 * 300);

    Table(RANK_PUSH, "6", {{"P", 5, 10}});
    EXPECT_EQ(Menu::GetPushRankingScore(), 500 * 5 * 290);
}

TEST_F(MainMenuRecordsTest, PuzzlePercentagesAndScoreFollowThePuzzleFolders)
{
    m_dir.Write("Data/PlayData/QuiblyConfig_IQPuzzle.xml", "<VanteoPuzzleConfig><Setting/></VanteoPuzzleConfig>");
    for (const char* name : {"a.pz0", "b.pz0", "c.pz0", "d.pz0"})
        m_dir.Write(std::string("Data/Puzzle/Easy/") + name, "");
    EXPECT_EQ(Menu::GetPuzzleSolvedPercent(1), 0);  // an empty folder
    LoadPuzzleConfig("Data/Puzzle/Easy/");
    ASSERT_EQ(GetPuzzleCount(), 4);
    std::string a = ModeConfig.puzzles[0]->path, b = ModeConfig.puzzles[1]->path, c = ModeConfig.puzzles[2]->path;
    Table(RANK_PUZZLE, a, {{"P", 10, 1000}});
    Table(RANK_PUZZLE, b, {{"Ann", 10, 900}, {"P", 5, 1200}});
    Table(RANK_PUZZLE, c, {});
    EXPECT_EQ(Menu::GetPuzzleSolvedPercent(0), 50);
    EXPECT_EQ(Menu::GetPuzzleFirstPercent(0), 25);
    EXPECT_EQ(Menu::GetPuzzleRankingScore(), 1LL * 5 * 29000 * 5 / 100 + 1LL * 4 * 28800 * 5 / 100);
    // Without the puzzle settings no folder is read, and no list of an earlier folder counts.
    std::remove("Data/PlayData/QuiblyConfig_IQPuzzle.xml");
    EXPECT_EQ(Menu::GetPuzzleSolvedPercent(0), 0);
    EXPECT_EQ(Menu::GetPuzzleRankingScore(), 0);
}

} // namespace
