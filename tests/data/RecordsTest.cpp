// Record counters and local rankings: creation, counting, insertion order and save/reload.
#include "data/Records.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

class RecordsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearRanking();
        PlayRecord.thisGame.reset();
    }
    void TearDown() override { ClearRanking(); }
    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
};

int Counter(const TiXmlElement* element, const char* name)
{
    int value = -999;
    element->QueryIntAttribute(name, &value);
    return value;
}

TEST_F(RecordsTest, MissingRecordIsCreatedWithAZeroedPlayerAndStartsAreCounted)
{
    LoadPlayRecord();
    ASSERT_NE(PlayRecord.player, nullptr);
    EXPECT_EQ(PlayRecord.loaded, 1);
    for (const char* counter : kRecordCounters)
        EXPECT_EQ(Counter(PlayRecord.player, counter), 0) << counter;
    CountGameStart();
    CountGameStart();
    LoadPlayRecord();
    EXPECT_EQ(Counter(PlayRecord.player, "Excute"), 2);
    EXPECT_STREQ(PlayRecord.player->Attribute("name"), "##player##");
}

// Counters read from the play data hold at the int range's limits instead of overflowing, however
// large (or beyond the range) the stored value is.
TEST_F(RecordsTest, CountersSaturateInsteadOfOverflowing)
{
    for (const char* stored : {"2147483647", "99999999999999"}) {
        m_dir.Write(kRecordFile, std::string("<Record><Player name=\"##player##\" Excute=\"") + stored + "\"/></Record>");
        LoadPlayRecord();
        CountGameStart();
        LoadPlayRecord();
        EXPECT_EQ(Counter(PlayRecord.player, "Excute"), 2147483647) << stored;
    }
    ResetThisGame();
    SetThisGameCounter(kRecordCounters[17], 2147483647);
    AddThisGameCounter(17, 1);
    EXPECT_EQ(Counter(PlayRecord.thisGame.get(), kRecordCounters[17]), 2147483647);
    SetThisGameCounter(kRecordCounters[17], -2147483647 - 1);
    AddThisGameCounter(17, -1);
    EXPECT_EQ(Counter(PlayRecord.thisGame.get(), kRecordCounters[17]), -2147483647 - 1);
}

TEST_F(RecordsTest, FindsTheLocalPlayerAmongOthersAndAddsOneWhenAbsent)
{
    m_dir.Write(kRecordFile, "<Record><Player name=\"other\" Excute=\"9\"/><Player name=\"##player##\" Excute=\"4\"/></Record>");
    LoadPlayRecord();
    EXPECT_EQ(Counter(PlayRecord.player, "Excute"), 4);
    SetRecordCounter("PlayTime", 120);
    SavePlayRecord();
    LoadPlayRecord();
    EXPECT_EQ(Counter(PlayRecord.player, "PlayTime"), 120);

    m_dir.Write(kRecordFile, "<Record><Player name=\"other\" Excute=\"9\"/></Record>");
    LoadPlayRecord();
    EXPECT_EQ(Counter(PlayRecord.player, "Excute"), 0);
    std::string saved = m_dir.Read(kRecordFile); // saved at once, the other player kept
    EXPECT_NE(saved.find("name=\"other\""), std::string::npos);
    EXPECT_NE(saved.find("##player##"), std::string::npos);
}

TEST_F(RecordsTest, DamagedRecordIsKeptAsideBeforeItIsReplaced)
{
    m_dir.Write(kRecordFile, "<Record><Player name=\"##player##\" Excute=\"50\"");
    LoadPlayRecord();
    CountGameStart();
    EXPECT_EQ(m_dir.Read(std::string(kRecordFile) + ".bad"), "<Record><Player name=\"##player##\" Excute=\"50\"");
    EXPECT_EQ(Counter(PlayRecord.player, "Excute"), 1);
}

TEST_F(RecordsTest, ThisGameCountersStartAtZeroAndAreNeverSaved)
{
    LoadPlayRecord();
    AddThisGameCounter(17, 1);
    AddThisGameCounter(17, 1);
    EXPECT_EQ(Counter(PlayRecord.thisGame.get(), "BlockClick"), 2);
    AddThisGameCounter(27, 5); // outside the counters: ignored
    AddThisGameCounter(-1, 5);
    ResetThisGame();
    EXPECT_EQ(Counter(PlayRecord.thisGame.get(), "BlockClick"), 0);
    SetThisGameCounter("MaxCombo", 12);
    SavePlayRecord();
    EXPECT_EQ(m_dir.Read(kRecordFile).find("ThisGame"), std::string::npos);
}

std::vector<int> Scores(const RankEntry* places)
{
    std::vector<int> scores;
    for (int i = 0; i < RankingTable::kPlaces; ++i)
        scores.push_back(places[i].score);
    return scores;
}

TEST_F(RecordsTest, InsertedResultTakesTheSixthPlaceThenTheTableIsSorted)
{
    for (int score : {900, 800, 700, 600, 400})
        InsertRankingScore(RANK_COMBO, "3", score, 10);
    InsertRankingScore(RANK_COMBO, "3", 500, 30);
    RankEntry* places = FindRankingTable(RANK_COMBO, "3");
    ASSERT_NE(places, nullptr);
    EXPECT_EQ(Scores(places), (std::vector<int>{900, 800, 700, 600, 500, 400}));
    EXPECT_EQ(places[4].isNew, 1);
    EXPECT_EQ(places[5].isNew, 0);

    // A full table: the lowest result is dropped for the new one, whatever it scored.
    InsertRankingScore(RANK_COMBO, "3", 100, 5);
    EXPECT_EQ(Scores(places), (std::vector<int>{900, 800, 700, 600, 500, 100}));
    EXPECT_EQ(places[5].isNew, 1);
}

TEST_F(RecordsTest, TiesGoToTheLowerTimeThenToTheLocalPlayer)
{
    m_dir.Write(kRankingFile,
                "<Ranking><Battle><Table Name=\"1\">"
                "<Rank Name=\"rival\" Score=\"500\" Time=\"20\"/><Rank Name=\"fast\" Score=\"500\" Time=\"10\"/>"
                "</Table></Battle></Ranking>");
    ASSERT_EQ(LoadRanking(), 1);
    InsertRankingScore(RANK_BATTLE, "1", 500, 20);
    RankEntry* places = FindRankingTable(RANK_BATTLE, "1");
    EXPECT_STREQ(places[0].name, "fast");
    EXPECT_STREQ(places[1].name, "##player##");
    EXPECT_EQ(places[1].isNew, 1);
    EXPECT_STREQ(places[2].name, "rival");
}

TEST_F(RecordsTest, NewTableGetsFiveEmptyPlacesBehindTheResult)
{
    InsertRankingScore(RANK_STAGE_EASY, "7", 42, 3);
    RankEntry* places = FindRankingTable(RANK_STAGE_EASY, "7");
    ASSERT_NE(places, nullptr);
    EXPECT_EQ(places[0].score, 42);
    for (int i = 1; i < 6; ++i) {
        EXPECT_STREQ(places[i].name, "##player##");
        EXPECT_EQ(places[i].score, -1);
        EXPECT_EQ(places[i].time, -1);
    }
    EXPECT_EQ(FindRankingTable(RANK_STAGE_HARD, "7"), nullptr);
    EXPECT_EQ(FindRankingTable(8, "7"), nullptr);
    EXPECT_EQ(InsertRankingScore(-1, "7", 1, 1), 0);
}

TEST_F(RecordsTest, SaveAndReloadKeepTablesAndClearNewMarks)
{
    InsertRankingScore(RANK_PUZZLE, "Data/Puzzle/a.pz0", 10, 99);
    InsertRankingScore(RANK_PUSH, "2", 300, 40);
    std::string longName(140, 'n');
    InsertRankingScore(RANK_POINT, longName.c_str(), 5, 5);
    InsertRankingScore(RANK_POINT, longName.c_str(), 6, 5); // same (cut) table
    EXPECT_EQ(SaveRanking(), 1);
    ClearRanking();
    ASSERT_EQ(LoadRanking(), 1);
    RankEntry* push = FindRankingTable(RANK_PUSH, "2");
    ASSERT_NE(push, nullptr);
    EXPECT_EQ(push[0].score, 300);
    EXPECT_EQ(push[0].isNew, 0);
    EXPECT_NE(FindRankingTable(RANK_PUZZLE, "Data/Puzzle/a.pz0"), nullptr);
    RankEntry* point = FindRankingTable(RANK_POINT, longName.substr(0, 127).c_str());
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(Scores(point), (std::vector<int>{6, 5, -1, -1, -1, -1}));
    std::string text = m_dir.Read(kRankingFile);
    EXPECT_NE(text.find("<Stage_Hard />"), std::string::npos);
}

TEST_F(RecordsTest, DamagedPlacesAreTakenAsEmptyOrTheirTimeBackIntoRange)
{
    m_dir.Write(kRankingFile,
                "<Ranking><Battle><Table Name=\"1\">"
                "<Rank Name=\"a\" Score=\"300\" Time=\"-20\"/><Rank Name=\"b\" Score=\"200\" Time=\"2000000\"/>"
                "<Rank Name=\"c\" Score=\"-99\" Time=\"5\"/></Table></Battle></Ranking>");
    ASSERT_EQ(LoadRanking(), 1);
    RankEntry* places = FindRankingTable(RANK_BATTLE, "1");
    ASSERT_NE(places, nullptr);
    EXPECT_EQ(places[0].time, 0);
    EXPECT_EQ(places[1].time, 1000000);
    EXPECT_EQ(places[2].score, -1);
    EXPECT_EQ(places[2].time, -1);
}

TEST_F(RecordsTest, RankingLoadIgnoresExtraPlacesAndKeepsTablesWhenTheFileIsMissing)
{
    std::string ranks;
    for (int i = 0; i < 8; ++i)
        ranks += "<Rank Name=\"p" + std::to_string(i) + "\" Score=\"" + std::to_string(i * 10) + "\"/>";
    m_dir.Write(kRankingFile, "<Ranking><Point><Table>" + ranks + "</Table><Table Name=\"x\">" + ranks +
                                  "<Rank/></Table></Point></Ranking>");
    ASSERT_EQ(LoadRanking(), 1);
    RankEntry* places = FindRankingTable(RANK_POINT, "x");
    ASSERT_NE(places, nullptr);
    EXPECT_EQ(Scores(places), (std::vector<int>{50, 40, 30, 20, 10, 0}));
    EXPECT_EQ(places[0].time, 0);

    std::filesystem::remove(m_dir.Path() / kRankingFile);
    EXPECT_EQ(LoadRanking(), 0);
    EXPECT_NE(FindRankingTable(RANK_POINT, "x"), nullptr);
    m_dir.Write(kRankingFile, "<Other/>");
    EXPECT_EQ(LoadRanking(), 1);
    EXPECT_EQ(FindRankingTable(RANK_POINT, "x"), nullptr);
}

} // namespace
