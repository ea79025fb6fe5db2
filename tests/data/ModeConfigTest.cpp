// Mode configuration files: combo table, tuning defaults, stages, multipliers and puzzle lists.
#include "data/ModeConfig.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ModeConfigTest : public ::testing::Test {
protected:
    void SetUp() override { ModeConfig = ModeConfigRecord{}; }
    void TearDown() override { ModeConfig = ModeConfigRecord{}; }
    int Load(const std::string& body)
    {
        m_dir.Write(kBattleConfigFile, "<VanteoConfig>" + body + "</VanteoConfig>");
        return LoadModeConfig(kBattleConfigFile);
    }
    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
};

TEST_F(ModeConfigTest, ComboTableFillsGapsFromThePreviousValueAndCapsTheBonus)
{
    ASSERT_EQ(Load("<ComboBonus C1=\"1.5\" C3=\"2\" C19=\"12\"/>"), 1);
    EXPECT_FLOAT_EQ(ModeConfig.comboBonus[0], 1.5f);
    EXPECT_FLOAT_EQ(ModeConfig.comboBonus[1], 1.5f);
    EXPECT_FLOAT_EQ(ModeConfig.comboBonus[2], 2.0f);
    EXPECT_FLOAT_EQ(ModeConfig.comboBonus[17], 2.0f);
    EXPECT_FLOAT_EQ(ModeConfig.comboBonus[19], 12.0f);
    EXPECT_FLOAT_EQ(GetComboBonus(3), 2.0f);
    EXPECT_FLOAT_EQ(GetComboBonus(19), 9.9f);
    EXPECT_FLOAT_EQ(GetComboBonus(25), 9.9f);
    EXPECT_FLOAT_EQ(GetComboBonus(0), 0.0f);
    EXPECT_FLOAT_EQ(GetComboBonus(-5), 0.0f);
}

TEST_F(ModeConfigTest, TuningDefaultsApplyPerElementAndMissingElementsKeepTheLastFile)
{
    ASSERT_EQ(Load("<PushBlock/><Setting/><BigBlock BigBlockK=\"3\"/>"), 1);
    EXPECT_FLOAT_EQ(ModeConfig.pushTrapTime, 10.0f);
    EXPECT_FLOAT_EQ(ModeConfig.pushMoveSpeed, 10.0f); // 30 before any load, 10 when missing
    EXPECT_FLOAT_EQ(ModeConfig.refillSpeed, 300.0f);
    EXPECT_FLOAT_EQ(ModeConfig.maxRefillSpeed, 500.0f);
    EXPECT_FLOAT_EQ(ModeConfig.bigBlockK, 3.0f);
    EXPECT_FLOAT_EQ(ModeConfig.bigBlockM, 0.0f);
    ASSERT_EQ(Load("<Setting RotateTime=\"0.5\"/>"), 1);
    EXPECT_FLOAT_EQ(ModeConfig.rotateTime, 0.5f);
    EXPECT_FLOAT_EQ(ModeConfig.bigBlockK, 3.0f);
    EXPECT_EQ(ModeConfig.randomSeed, -1);
}

struct StageCase {
    const char* name;
    const char* element;
    int speedUp, xGrid, yGrid, seed, clearType, clearNum, clearTime;
    int weights[8];
};

class StageDefaultsTest : public ModeConfigTest, public ::testing::WithParamInterface<StageCase> {};

TEST_P(StageDefaultsTest, ReadsAttributesWithTheirDefaults)
{
    const StageCase& c = GetParam();
    ASSERT_EQ(Load(std::string("<StageList>") + c.element + "</StageList>"), 1);
    ASSERT_EQ(ModeConfig.stages.size(), 2u);
    const StageRecord& stage = *ModeConfig.stages[1];
    EXPECT_EQ(stage.speedUp, c.speedUp);
    EXPECT_EQ(stage.xGrid, c.xGrid);
    EXPECT_EQ(stage.yGrid, c.yGrid);
    EXPECT_EQ(stage.seed, c.seed);
    EXPECT_EQ(stage.clearType, c.clearType);
    EXPECT_EQ(stage.clearNum, c.clearNum);
    EXPECT_EQ(stage.clearTime, c.clearTime);
    int total = 0;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(stage.weights[i], c.weights[i]) << i;
        total += c.weights[i];
    }
    EXPECT_EQ(stage.weightTotal, total);
}

INSTANTIATE_TEST_SUITE_P(
    Stages, StageDefaultsTest,
    ::testing::Values(
        StageCase{"Bare", "<Stage name=\"s\"/>", 0, 8, 8, -1, 0, 0, -1, {10, 10, 10, 10, 10, 10, 10, 10}},
        StageCase{"Full",
                  "<Stage name=\"s\" seed=\"7\" XGrid=\"6\" YGrid=\"9\" SpeedUp=\"TRUE\">"
                  "<BlockColorRate A=\"1\" B=\"2\" C=\"3\" stone=\"5\"/>"
                  "<Challenge ClearType=\"Combo\" ClearNum=\"30\" ClearTime=\"60\"/></Stage>",
                  1, 6, 9, 7, 2, 30, 60, {0, 1, 2, 3, 10, 5, 0, 0}},
        StageCase{"SpeedUpNeedsExactTrue", "<Stage name=\"s\" SpeedUp=\"true\"><Challenge ClearType=\"Point\"/></Stage>",
                  0, 8, 8, -1, 1, 10, 100, {10, 10, 10, 10, 10, 10, 10, 10}},
        StageCase{"UnknownClearTypeIsPoints", "<Stage name=\"s\"><Challenge ClearType=\"Time\"/></Stage>", 0, 8, 8, -1,
                  1, 10, 100, {10, 10, 10, 10, 10, 10, 10, 10}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ModeConfigTest, StageListStartsWithMultiPlayAndSkipsNamelessStages)
{
    ASSERT_EQ(Load("<BlockColorRate A=\"4\"/><StageList><Stage/><Stage name=\"one\"/>"
                   "<Stage name=\"a name much longer than sixty-three characters, which the field has to cut\"/>"
                   "</StageList><RandomSeed Seed=\"99\"/>"),
              1);
    ASSERT_EQ(ModeConfig.stages.size(), 3u);
    StageRecord* multi = FindMultiPlayStage();
    ASSERT_EQ(multi, ModeConfig.stages[0].get());
    EXPECT_EQ(multi->speedUp, 1);
    EXPECT_EQ(multi->weights[1], 4);
    EXPECT_EQ(multi->weights[0], 0);
    EXPECT_EQ(multi->weightTotal, 44);
    EXPECT_EQ(std::string(ModeConfig.stages[2]->name).size(), 63u);
    EXPECT_EQ(ModeConfig.randomSeed, 99);

    SelectStage(0);
    EXPECT_EQ(ModeConfig.currentStage, multi);
    SelectStage(1);
    EXPECT_STREQ(ModeConfig.currentStage->name, "one");
    for (int outside : {3, -1}) {
        SelectStage(outside);
        EXPECT_EQ(ModeConfig.currentStage, nullptr);
    }
}

// A configuration with numbers far beyond play is held at the game's limits as it is read, so
// weight totals, score factors and goals never overflow what is computed from them.
TEST_F(ModeConfigTest, ExtremeNumbersAreHeldAtTheGamesLimits)
{
    ASSERT_EQ(Load("<BigBlock BigBlockK=\"3e38\" BigBlockM=\"-1e30\"/>"
                   "<Setting RotateTime=\"inf\" RefillSpeed=\"1e39\" maxRefillSpeed=\"nan\"/>"
                   "<BlockColorRate A=\"2147483647\" B=\"2147483647\" C=\"2147483647\" star=\"-5\" stone=\"99999999999\"/>"
                   "<StageList><Stage name=\"S\"><Challenge ClearNum=\"2147483647\" ClearTime=\"-1\"/></Stage></StageList>"
                   "<PointChallengeMultiRate T1=\"99999999999\"><Muiti value=\"2147483647\"/></PointChallengeMultiRate>"),
              1);
    EXPECT_FLOAT_EQ(ModeConfig.bigBlockK, 1000.0f);
    EXPECT_FLOAT_EQ(ModeConfig.bigBlockM, 0.0f);
    EXPECT_FLOAT_EQ(ModeConfig.rotateTime, 3600.0f);
    EXPECT_FLOAT_EQ(ModeConfig.refillSpeed, 100000.0f);
    EXPECT_FLOAT_EQ(ModeConfig.maxRefillSpeed, 0.0f);
    const StageRecord& multiPlay = *ModeConfig.stages[0];
    EXPECT_EQ(multiPlay.weights[1], 1000000);
    EXPECT_EQ(multiPlay.weights[4], 0);
    EXPECT_EQ(multiPlay.weights[5], 1000000);
    EXPECT_EQ(multiPlay.weightTotal, 4000000);
    ASSERT_EQ(ModeConfig.stages.size(), 2u);
    EXPECT_EQ(ModeConfig.stages[1]->clearNum, 100000000);
    EXPECT_EQ(ModeConfig.stages[1]->clearTime, 0);
    EXPECT_EQ(ModeConfig.multiRateThresholds[0], 100000000);
    EXPECT_EQ(ModeConfig.multiRateValues[0], 1000000);
}

TEST_F(ModeConfigTest, MultiRateThresholdsAndValues)
{
    std::string rate = "<PointChallengeMultiRate";
    for (int i = 1; i <= 10; ++i)
        rate += " T" + std::to_string(i) + "=\"" + std::to_string(i * 100) + "\"";
    rate += "><Muiti value=\"2\"/><Muiti/><Muiti value=\"4\"/></PointChallengeMultiRate>";
    ASSERT_EQ(Load(rate), 1);
    EXPECT_EQ(GetMultiRateLevel(250), 2);
    EXPECT_EQ(GetMultiRateLevel(99), 0);
    EXPECT_EQ(GetMultiRateLevel(5000), 10);
    EXPECT_EQ(GetMultiRateCount(), 3);
    EXPECT_EQ(ModeConfig.multiRateValues[1], 1);

    // A later file without the element leaves both lists empty.
    ASSERT_EQ(Load(""), 1);
    EXPECT_EQ(GetMultiRateCount(), 0);
    EXPECT_EQ(GetMultiRateLevel(5000), 0);
}

TEST_F(ModeConfigTest, MissingFileOrRootReturnsZeroWithTheStagesOfTheLastLoadGone)
{
    ASSERT_EQ(Load("<StageList><Stage name=\"one\"/></StageList>"), 1);
    EXPECT_EQ(LoadModeConfig("Data/PlayData/Missing.xml"), 0);
    EXPECT_TRUE(ModeConfig.stages.empty());
    m_dir.Write(kPushConfigFile, "<Other/>");
    EXPECT_EQ(LoadModeConfig(kPushConfigFile), 0);
}

TEST_F(ModeConfigTest, PuzzleConfigReadsItsSettingsAndListsPuzzleFilesByType)
{
    m_dir.Write(kIQPuzzleConfigFile, "<VanteoPuzzleConfig><Setting RotateTime=\"0.3\"/></VanteoPuzzleConfig>");
    for (const char* name : {"b.pz1", "c.pzl", "a.pz0", "d.PZ0", "e.pzlx", "notes.txt"})
        m_dir.Write(std::string("Data/Puzzle/") + name, "x");
    m_dir.Write("Data/Puzzle/folder.pz0/inner", "x");
    ASSERT_EQ(LoadPuzzleConfig("Data/Puzzle/"), 1);
    EXPECT_FLOAT_EQ(ModeConfig.rotateTime, 0.3f);
    EXPECT_FLOAT_EQ(ModeConfig.maxRefillSpeed, 300.0f);
    ASSERT_EQ(GetPuzzleCount(), 4);
    const char* titles[] = {"a", "d", "c", "b"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(ModeConfig.puzzles[i]->title, titles[i]);
        EXPECT_EQ(ModeConfig.puzzles[i]->type, i == 3 ? 1 : 0);
    }
    EXPECT_STREQ(ModeConfig.puzzles[0]->path, "Data/Puzzle/a.pz0");

    // Without a folder only the settings are read; the list stays.
    EXPECT_EQ(LoadPuzzleConfig(nullptr), 1);
    EXPECT_EQ(GetPuzzleCount(), 4);
    m_dir.Write(kIQPuzzleConfigFile, "<VanteoConfig/>");
    EXPECT_EQ(LoadPuzzleConfig("Data/Puzzle/"), 0);
}

} // namespace
