// The stage start banner: its texts per goal, the hint picture of the first ten stages, OK by
// key after the opening, hiding (never destroying) the window, the one OK handler, and a
// missing layout that never blocks the stage.
#include "PopUpKit.h"

#include "data/ModeConfig.h"
#include "kv/KVDirector.h"
#include "kv/KVPicture.h"
#include "menus/PopUpStageStart.h"

#include <win32/VirtualKeys.h>

using namespace popuptest;

namespace {

class StageStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string c = Child({"BUTTON", "Anibtn_popup_ok", 500, 600, 80, 40}) +
                        Child({"WND", "wnd_stagestart_point", 0, 0, 10, 10}) +
                        Child({"WND", "wnd_stagestart_combo", 0, 0, 10, 10});
        for (const char* label : {"stage", "size", "time", "mode", "point", "combo"})
            c += Child({"LABEL", std::string("Label_stagestart_") + label, 0, 0, 10, 10});
        for (int n = 1; n <= 10; ++n)
            c += Child({"PICTURE", "stage_start_" + std::to_string(n), 0, 0, 10, 10},
                       "<asset type=\"ANIMATION\">hint.xml</asset>");
        world.AddFile("data/stagestart.xml", Layout("Wnd_stagestart", c, "stagestart_anim.xml"));
        world.AddFile("data/stagestart_anim.xml", Animation("Wnd_stagestart", {{"stagestart_in", 200},
                                                                               {"stagestart_2_in", 200},
                                                                               {"stagestart_out", 200}}));
        world.AddFile("data/hint.xml", Animation("hint", {{"hint", 1000}}));
        m_record.xGrid = 8;
        ModeConfig.currentStage = &m_record;
    }
    void TearDown() override { ModeConfig.currentStage = nullptr; }

    std::wstring Scene()
    {
        kv::KVDirector* director = banner.m_pWindow->GetDirector();
        return director && director->currentScene ? director->currentScene->name : L"";
    }
    std::vector<int> ShownHints()
    {
        std::vector<int> shown;
        for (int n = 1; n <= 10; ++n)
            if (world.Visible(L"stage_start_" + std::to_wstring(n)))
                shown.push_back(n);
        return shown;
    }

    PopUpWorld world;
    StageRecord m_record;
    VanteoPopUp_StageStart banner;
};

struct BannerCase {
    int stage, clearType, clearNum, clearTime;
    const wchar_t* scene;
    std::vector<int> hints;
    const wchar_t *mode, *stageText, *time, *goalLabel, *goal, *panelShown;
};

class BannerTexts : public StageStartTest, public ::testing::WithParamInterface<BannerCase> {};

TEST_P(BannerTexts, ShowTheStageFromItsRecord)
{
    const BannerCase& c = GetParam();
    m_record.clearType = c.clearType;
    m_record.clearNum = c.clearNum;
    m_record.clearTime = c.clearTime;
    banner.Load();
    ASSERT_EQ(banner.Open(), 1);
    banner.Setup(c.stage);
    world.Frame(banner, 0.05f);
    EXPECT_TRUE(banner.IsOpen());
    EXPECT_EQ(Scene(), c.scene);
    EXPECT_EQ(ShownHints(), c.hints);
    EXPECT_EQ(world.Text(L"Label_stagestart_stage"), c.stageText);
    EXPECT_EQ(world.Text(L"Label_stagestart_size"), L"8X8");
    EXPECT_EQ(world.Text(L"Label_stagestart_time"), c.time);
    EXPECT_EQ(world.Text(L"Label_stagestart_mode"), c.mode);
    if (c.goalLabel) {
        EXPECT_EQ(world.Text(c.goalLabel), c.goal);
    }
    if (c.panelShown) {
        EXPECT_TRUE(world.Shown(c.panelShown));
        EXPECT_NE(world.Shown(L"wnd_stagestart_point"), world.Shown(L"wnd_stagestart_combo"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Stages, BannerTexts,
    ::testing::Values(BannerCase{0, 1, 3000, 90, L"stagestart_in", {1}, L"POINT", L"1", L"90", L"Label_stagestart_point",
                                 L"3000", L"wnd_stagestart_point"},
                      BannerCase{9, 2, 12, 5, L"stagestart_in", {10}, L"COMBO", L"10", L"05", L"Label_stagestart_combo",
                                 L"12", L"wnd_stagestart_combo"},
                      BannerCase{10, 1, 50, 120, L"stagestart_2_in", {}, L"POINT", L"11", L"120",
                                 L"Label_stagestart_point", L"50", L"wnd_stagestart_point"},
                      BannerCase{49, 0, 7, 60, L"stagestart_2_in", {}, L"", L"50", L"60", nullptr, nullptr, nullptr}));

TEST_F(StageStartTest, OkHidesTheBannerOnceAndItOpensAgainForTheNextStage)
{
    m_record.clearType = 1;
    banner.Load();
    kv::KVWnd* window = banner.m_pWindow;
    ASSERT_NE(window, nullptr);
    for (int stage = 0; stage < 3; ++stage) {
        SCOPED_TRACE(stage);
        ASSERT_EQ(banner.Open(), 1);
        EXPECT_EQ(banner.Open(), 1) << "opening while shown changes nothing";
        banner.Setup(stage);
        world.Frame(banner, 0.05f, {VK_SPACE}); // during the opening: ignored
        world.Run(banner, 0.4f);
        EXPECT_FALSE(banner.m_bClosing);
        world.Frame(banner, 0.05f, {VK_RETURN});
        EXPECT_TRUE(banner.m_bClosing);
        EXPECT_EQ(Scene(), L"stagestart_out");
        for (int frame = 0; frame < 20 && banner.IsOpen(); ++frame)
            world.Frame(banner, 0.05f);
        EXPECT_FALSE(banner.IsOpen());
        EXPECT_EQ(banner.m_pWindow, window) << "the window is kept";
    }
    // One OK handler however often the banner opened: a click starts the closing once.
    ASSERT_EQ(banner.Open(), 1);
    banner.Setup(3);
    world.Run(banner, 0.4f);
    ASSERT_TRUE(world.ClickOn(L"Anibtn_popup_ok"));
    EXPECT_TRUE(banner.m_bClosing);
    EXPECT_TRUE(world.messages.posted.empty()) << "the banner posts nothing";
}

TEST_F(StageStartTest, WithoutItsLayoutTheBannerNeverBlocks)
{
    world.AddFile("data/stagestart.xml", "");
    banner.Load();
    EXPECT_EQ(banner.Open(), 0);
    banner.Setup(0);
    world.Frame(banner, 0.05f, {VK_SPACE});
    EXPECT_FALSE(banner.IsOpen());

    // Without a stage record the banner still opens and closes.
    world.AddFile("data/stagestart.xml",
                  Layout("Wnd_stagestart", Child({"BUTTON", "Anibtn_popup_ok", 500, 600, 80, 40}), ""));
    ModeConfig.currentStage = nullptr;
    banner.Load();
    ASSERT_EQ(banner.Open(), 1);
    banner.Setup(12);
    world.Frame(banner, 0.05f, {VK_SPACE});
    world.Frame(banner, 0.05f);
    EXPECT_FALSE(banner.IsOpen());
}

} // namespace
