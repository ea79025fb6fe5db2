// The stage select: where the choice starts (the last stage played, never past the limit), the
// limit the slider and the keys keep to, the labels, graph and clear marks, the preview board
// of the chosen stage's size, and the messages of its buttons and keys.
#include "PopUpKit.h"

#include "data/ModeConfig.h"
#include "data/Records.h"
#include "board/VanteoBlockMap.h"
#include "kv/KVSlider.h"
#include "menus/PopUpStageSelect.h"
#include "modes/VanteoScene_StageChallenge.h"
#include "support/TempDir.h"

#include <win32/VirtualKeys.h>

#include <cmath>
#include <cstring>

using namespace popuptest;

namespace {

// 50 stages: stage 5 is 10 x 10 with a combo goal, the others 4 x 4 point stages.
std::string StageConfig()
{
    std::string list;
    for (int i = 0; i < 50; ++i) {
        const bool combo = i == 5;
        const int size = combo ? 10 : 4;
        list += "<Stage name=\"S" + std::to_string(i + 1) + "\" XGrid=\"" + std::to_string(size) + "\" YGrid=\"" +
                std::to_string(size) + "\"><BlockColorRate A=\"30\" B=\"30\" C=\"30\"/><Challenge ClearType=\"" + (combo ? "Combo" : "Point") +
                "\" ClearNum=\"10\" ClearTime=\"60\"/></Stage>";
    }
    return "<VanteoConfig><StageList>" + list + "</StageList></VanteoConfig>";
}

class StageSelectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write("Data/PlayData/QuiblyConfig_StageChallenge.xml", StageConfig());
        std::string c = Child({"BUTTON", "Anibtn_stageselect_start", 300, 600, 100, 40}) +
                        Child({"BUTTON", "Anibtn_stageselect_close", 500, 600, 100, 40}) +
                        Child({"WND", "Pic_stageselect_puzzle", 100, 120, 154, 154}) +
                        Child({"SLIDER", "HSlider_stageselect", 100, 500, 600, 30},
                              "<control type=\"THUMB\" name=\"Btn_thumb\"><pos x=\"0\" y=\"0\"/><rect l=\"0\" t=\"0\" "
                              "r=\"20\" b=\"30\"/></control><sliderect l=\"0\" t=\"0\" r=\"600\" b=\"30\"/>") +
                        Child({"PICTURE", "Pic_stageselect_graph", 100, 400, 500, 16}) +
                        Child({"PICTURE", "Pic_stageselect_record", 100, 380, 20, 20}) +
                        Child({"PICTURE", "Pic_stageselect_arrow", 100, 370, 20, 10});
        for (const char* name : {"Label_stage_num", "Label_stageselect_stagenum", "Label_stageselect_record",
                                 "Label_stage_size", "Label_stage_mode", "Label_stageselect_easy", "Label_stageselect_hard"})
            c += Child({"LABEL", name, 0, 0, 10, 10});
        for (const char* name : {"Wnd_stageselect_pointback", "Pic_stage_point_top_dummy", "Wnd_stageselect_comboback",
                                 "Pic_stage_combo_top_dummy", "Pic_stage_allclear", "Pic_stage_clear",
                                 "Wnd_stageselect_allclear", "Pic_stageselect_allclear", "Pic_stageselect_allclear_graph"})
            c += Child({"WND", name, 0, 0, 10, 10});
        world.AddFile("data/stageselect.xml", Layout("Wnd_stageselect", c, "stageselect_anim.xml"));
        world.AddFile("data/stageselect_anim.xml", Animation("Wnd_stageselect", {{"select_in", 100}, {"select_out", 100}}));
        ClearRanking();
        g_nStageChallengeStage = -1;
    }
    void TearDown() override
    {
        ClearRanking();
        g_nStageChallengeStage = -1;
        ClearModeConfig();
    }

    void Open(int best)
    {
        ASSERT_EQ(select.Open(), 1);
        select.Setup(best);
        world.Run(select, 0.6f);
    }
    kv::KVSlider* Slider() { return dynamic_cast<kv::KVSlider*>(world.Find(L"HSlider_stageselect")); }
    std::vector<int32_t> Ids() const { return world.messages.Ids(); }

    testsupport::TempDir dir;
    testsupport::ScopedCurrentDir cwd{dir.Path()};
    PopUpWorld world;
    VanteoPopUp_StageSelect select;
};

struct StartCase {
    const char* name;
    int best, lastStage;
    int current;
    const wchar_t* record;
    bool allClearShown;
};

class StageSelectStart : public StageSelectTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StageSelectStart, StartsOnTheLastStagePlayedWithinTheLimit)
{
    const StartCase& c = GetParam();
    g_nStageChallengeStage = c.lastStage;
    Open(c.best);
    EXPECT_EQ(select.m_nCurrent, c.current);
    EXPECT_EQ(Slider()->pos, c.current);
    EXPECT_EQ(world.Text(L"Label_stageselect_record"), c.record);
    wchar_t shown[8];
    std::swprintf(shown, 8, L"%02d", c.current + 1);
    EXPECT_EQ(world.Text(L"Label_stage_num"), shown);
    EXPECT_EQ(world.Text(L"Label_stageselect_stagenum"), shown);
    EXPECT_EQ(world.Visible(L"Pic_stageselect_allclear"), c.allClearShown);
    EXPECT_EQ(world.Visible(L"Pic_stageselect_record"), !c.allClearShown);
    EXPECT_FALSE(world.Visible(L"Label_stageselect_easy"));
    // The graph fills best fiftieths of its width; the arrow stands at the chosen stage.
    kv::KVWnd* graph = world.Find(L"Pic_stageselect_graph");
    EXPECT_FLOAT_EQ(graph->GetScale().x, c.best / 50.0f);
    EXPECT_FLOAT_EQ(world.Find(L"Pic_stageselect_arrow")->GetAbsolutePosition().x, 100.0f + 10.0f * c.current);
    EXPECT_FLOAT_EQ(world.Find(L"Pic_stageselect_arrow")->GetAbsolutePosition().y, 380.0f);
}

INSTANTIATE_TEST_SUITE_P(Cases, StageSelectStart,
                         ::testing::Values(StartCase{"NothingPlayed", 0, -1, 0, L"01", false},
                                           StartCase{"KeepsTheLastStage", 20, 7, 7, L"21", false},
                                           StartCase{"AllClear", 50, -1, 49, L"50", true},
                                           // A last stage beyond the limit starts at the limit.
                                           StartCase{"LastStageBeyondTheLimit", 12, 30, 12, L"13", false}),
                         [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

TEST_F(StageSelectTest, TheSliderSnapsBackToTheLimit)
{
    Open(12);
    Slider()->SetPos(30);
    EXPECT_EQ(select.m_nCurrent, 12);
    EXPECT_EQ(Slider()->pos, 12);
    EXPECT_EQ(world.Text(L"Label_stage_num"), L"13");
    Slider()->SetPos(3);
    EXPECT_EQ(select.m_nCurrent, 3);
    EXPECT_EQ(world.sounds.played, (std::vector<int>{89}));  // the snap-back chose nothing
}

TEST_F(StageSelectTest, TurnKeysStepWithinTheLimit)
{
    Open(10);
    ASSERT_EQ(select.m_nCurrent, 10);
    // A key counts once per press: each press is followed by a frame without it.
    for (int i = 0; i < 11; ++i) {
        world.Frame(select, 0.02f, {'W'});
        world.Frame(select, 0.02f);
    }
    EXPECT_EQ(select.m_nCurrent, 0);
    for (int i = 0; i < 11; ++i) {
        world.Frame(select, 0.02f, {i % 2 ? 'E' : static_cast<int>(VK_RIGHT)});
        world.Frame(select, 0.02f);
    }
    EXPECT_EQ(select.m_nCurrent, 10);
    EXPECT_EQ(world.Text(L"Label_stage_num"), L"11");
}

TEST_F(StageSelectTest, ThePreviewFollowsTheStagesBoard)
{
    Open(10);
    Slider()->SetPos(5);
    world.Run(select, 0.1f);
    EXPECT_EQ(world.Text(L"Label_stage_size"), L"10X10");
    EXPECT_EQ(world.Text(L"Label_stage_mode"), L"COMBO");
    EXPECT_TRUE(world.Visible(L"Wnd_stageselect_comboback"));
    EXPECT_FALSE(world.Visible(L"Wnd_stageselect_pointback"));
    EXPECT_EQ(select.m_nShown, 3);
    VanteoBlockMap* board = select.ShownBoard();
    EXPECT_EQ(board->width, 10);
    EXPECT_FLOAT_EQ(board->scaleX, 0.2444f);
    const float d = 2 * 0.2444f * 45.0f;
    EXPECT_NEAR(board->originX, 100.0f + d, 1e-3);
    EXPECT_NEAR(board->originY, 120.0f + d, 1e-3);
    Slider()->SetPos(4);
    world.Run(select, 0.1f);
    EXPECT_EQ(world.Text(L"Label_stage_size"), L"4X4");
    EXPECT_EQ(select.m_nShown, 0);
    // The previews only show: nothing they do reaches the menu's queue.
    EXPECT_TRUE(Ids().empty());
}

TEST_F(StageSelectTest, ClearMarksShowWhoseRecordTheStageHolds)
{
    InsertRankingScore(5, "1", 100, 30);          // the player's win
    InsertRankingScore(5, "2", -1, 60);           // a time-out only
    InsertRankingScore(5, "3", 100, 30);
    std::strcpy(FindRankingTable(5, "3")[0].name, "Rival");
    struct Mark {
        int stage;
        bool allClear, clear;
    };
    Open(10);
    for (Mark m : {Mark{1, true, false}, Mark{2, false, false}, Mark{3, false, true}, Mark{4, false, false}}) {
        Slider()->SetPos(m.stage);
        world.Run(select, 0.05f);
        EXPECT_EQ(world.Visible(L"Pic_stage_allclear"), m.allClear) << m.stage;
        EXPECT_EQ(world.Visible(L"Pic_stage_clear"), m.clear) << m.stage;
    }
}

TEST_F(StageSelectTest, OnlyStartPostsTheStageEveryCloseKeyCancels)
{
    for (int key : {static_cast<int>(VK_ESCAPE), static_cast<int>(VK_BACK), static_cast<int>(VK_RETURN)}) {
        world.messages.posted.clear();
        Open(10);
        world.Frame(select, 0.02f, {key});
        world.Run(select, 0.3f);
        EXPECT_FALSE(select.IsOpen());
        EXPECT_EQ(Ids(), (std::vector<int32_t>{MSG_STAGE_SELECT_CANCELLED})) << key;
    }
    world.messages.posted.clear();
    g_nStageChallengeStage = 4;
    Open(10);
    ASSERT_TRUE(world.ClickOn(L"Anibtn_stageselect_start"));
    world.Run(select, 0.3f);
    ASSERT_EQ(Ids(), (std::vector<int32_t>{MSG_STAGE_SELECTED}));
    PayloadReader reader(world.messages.posted[0].payload.data(), world.messages.posted[0].payload.size());
    EXPECT_EQ(reader.I32(), 1);
    EXPECT_EQ(reader.I32(), 4);
}

} // namespace
