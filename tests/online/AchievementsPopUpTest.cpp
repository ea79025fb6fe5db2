// The achievements pop-up: the boxes of a page in display order, earned and locked boxes, the
// counts, percentage and gauge, paging by buttons, keys and bounds, and the icons' drawing.
#include "OnlineFixture.h"

#include "../engine/EngineFakes.h"
#include "../menus/PopUpKit.h"

#include "kv/KVProgress.h"
#include "menus/PopUpAchievements.h"

#include <win32/VirtualKeys.h>

#include <cstring>

using namespace popuptest;

namespace {

std::string AchievementsLayout()
{
    std::string c;
    int x = 0;
    for (const char* name : {"Anibtn_popup_ok", "anibtn_achi_prev", "anibtn_achi_next", "Steam_globalachi", "Single_globalachi"})
        c += Child({"BUTTON", name, 500 + 60 * x++, 700, 50, 20});
    for (const char* name : {"Label_achi_pagecurrent", "Label_achi_pageall", "Label_achi_unlocked_count",
                             "Label_achi_unlocked_total", "Label", "Label_fontcolor_on", "Label_fontcolor_off",
                             "Label_datecolor_on", "Label_datecolor_off"})
        c += Child({"LABEL", name, 0, 0, 10, 10});
    c += "<child type=\"PROGRESS\" name=\"Progress_gauge\"><pos x=\"0\" y=\"0\"/><rect l=\"0\" t=\"0\" r=\"100\" b=\"10\"/></child>";
    for (int n = 1; n <= 12; ++n) {
        std::string k = std::to_string(n), inner;
        inner += Child({"PICTURE", "achi_icon_on_" + k, 4, 4, 32, 32});
        for (const char* label : {"Label_line1_on_", "Label_line2_1_on_", "Label_line2_2_on_", "Label_date1_on_", "Label_date2_on_"})
            inner += Child({"LABEL", label + k, 40, 0, 100, 10});
        inner += Child({"PICTURE", "achi_box_off_" + k, 0, 0, 150, 40});
        c += Child({"WND", "dummy_box_" + k, 10, 50 * n, 150, 40}, inner);
    }
    return Layout("Wnd_achievements", c, "achievements_anim.xml");
}

class AchievementsPopUpTest : public onlinetest::OnlineTest {
protected:
    void SetUp() override
    {
        OnlineTest::SetUp();
        m_world = std::make_unique<PopUpWorld>();
        m_world->AddFile("data/achievements.xml", AchievementsLayout());
        m_world->AddFile("data/achievements_anim.xml", Animation("Wnd_achievements", {{"skins_in", 200}, {"skins_out", 200}}));
        for (int i = 0; i < kAchievementCount; ++i) {
            AchievementRecord& r = g_AchievementRecords[i];
            std::snprintf(r.desc1, sizeof r.desc1, "line %d", i);
            r.lockTexture = 1000 + i;
            r.unlockTexture = 2000 + i;
            g_nAchievementOrder[i] = kAchievementCount - 1 - i;  // shown in reverse
        }
    }
    void TearDown() override
    {
        m_world.reset();
        OnlineTest::TearDown();
    }
    std::wstring Text(const std::wstring& name) { return m_world->Text(name); }
    bool Enabled(const std::wstring& name) { return m_world->Find(name)->IsEnabled(); }

    std::unique_ptr<PopUpWorld> m_world;
    VanteoPopUp_Achievements_Steam m_popUp;
};

TEST_F(AchievementsPopUpTest, BoxesShowTheirRecordsInDisplayOrder)
{
    AchievementRecord& earnedTwoLines = g_AchievementRecords[74];  // display slot 0
    std::strcpy(earnedTwoLines.desc2, "second line");
    earnedTwoLines.achieved = true;
    std::strcpy(earnedTwoLines.time, "2026.12.10 21:05:07");
    AchievementRecord& earnedOneLine = g_AchievementRecords[73];  // slot 1
    earnedOneLine.achieved = true;
    std::strcpy(earnedOneLine.time, "2026.12.09 08:00:00");
    ASSERT_EQ(m_popUp.Open(), 1);

    EXPECT_EQ(Text(L"Label_line2_1_on_1"), L"line 74");
    EXPECT_EQ(Text(L"Label_line2_2_on_1"), L"second line");
    EXPECT_EQ(Text(L"Label_line1_on_1"), L"");
    EXPECT_EQ(Text(L"Label_date2_on_1"), L"2026.12.10 21:05:07");
    EXPECT_EQ(Text(L"Label_date1_on_1"), L"");
    EXPECT_EQ(Text(L"Label_line1_on_2"), L"line 73");
    EXPECT_EQ(Text(L"Label_date1_on_2"), L"2026.12.09 08:00:00");
    EXPECT_EQ(m_popUp.IconOf(0), 2074);
    EXPECT_FALSE(m_world->Visible(L"achi_box_off_1"));
    // Locked: the lock icon, no date, the overlay, 6 pixels lower.
    EXPECT_EQ(Text(L"Label_line1_on_3"), L"line 72");
    EXPECT_EQ(Text(L"Label_date1_on_3"), L"");
    EXPECT_EQ(m_popUp.IconOf(2), 1072);
    EXPECT_TRUE(m_world->Visible(L"achi_box_off_3"));
    EXPECT_FLOAT_EQ(m_world->Find(L"dummy_box_3")->GetPosition().y - m_world->Find(L"dummy_box_2")->GetPosition().y,
                    50.0f + 6.0f);
    EXPECT_EQ(Text(L"Label_achi_pagecurrent"), L"1");
    EXPECT_EQ(Text(L"Label_achi_pageall"), L"7");
}

TEST_F(AchievementsPopUpTest, TheLastPageHoldsThreeAndEmptyBoxes)
{
    ASSERT_EQ(m_popUp.Open(), 1);
    m_world->Run(m_popUp, 0.4f);
    for (int page = 0; page < 6; ++page)
        ASSERT_TRUE(m_world->ClickOn(L"anibtn_achi_next"));
    EXPECT_EQ(m_popUp.Page(), 6);
    EXPECT_EQ(Text(L"Label_line1_on_1"), L"line 2");  // display slot 72
    EXPECT_EQ(Text(L"Label_line1_on_3"), L"line 0");
    EXPECT_EQ(Text(L"Label_line1_on_4"), L"");
    EXPECT_TRUE(m_world->Visible(L"achi_box_off_12"));
    EXPECT_EQ(m_popUp.IconOf(3), -1);
    EXPECT_FALSE(Enabled(L"anibtn_achi_next"));
    EXPECT_TRUE(Enabled(L"anibtn_achi_prev"));
    ASSERT_TRUE(m_world->ClickOn(L"anibtn_achi_next"));  // disabled: stays
    EXPECT_EQ(m_popUp.Page(), 6);
}

TEST_F(AchievementsPopUpTest, KeysAndTheWheelTurnPagesWithinBounds)
{
    ASSERT_EQ(m_popUp.Open(), 1);
    m_world->Run(m_popUp, 0.4f);
    for (int key : {0x50, int(VK_LEFT), int(VK_PRIOR), 0x57, 0x55}) {
        m_world->Frame(m_popUp, 0.05f, {key});
        m_world->Frame(m_popUp, 0.05f);
        EXPECT_EQ(m_popUp.Page(), 0) << key;
    }
    EXPECT_FALSE(Enabled(L"anibtn_achi_prev"));
    int expect = 0;
    for (int key : {0x4E, int(VK_RIGHT), int(VK_NEXT), 0x45, 0x49, 0x4E, 0x4E}) {
        m_world->Frame(m_popUp, 0.05f, {key});
        m_world->Frame(m_popUp, 0.05f);
        expect = std::min(expect + 1, 6);
        EXPECT_EQ(m_popUp.Page(), expect) << key;
    }
    m_world->Frame(m_popUp, 0.05f, {VK_ESCAPE});
    m_world->Run(m_popUp, 0.5f);
    EXPECT_FALSE(m_popUp.IsOpen());
    EXPECT_EQ(m_popUp.Page(), 0);
}

TEST_F(AchievementsPopUpTest, CountPercentAndGauge)
{
    struct Case {
        int earned;
        const wchar_t* percent;
        int gauge;
    };
    for (const Case& c : {Case{0, L"0 %", 0}, Case{1, L"1 %", 1}, Case{38, L"50 %", 50}, Case{75, L"100 %", 100}}) {
        for (int i = 0; i < kAchievementCount; ++i)
            g_AchievementRecords[i].achieved = i < c.earned;
        ASSERT_EQ(m_popUp.Open(), 1);
        EXPECT_EQ(Text(L"Label_achi_unlocked_count"), std::to_wstring(c.earned));
        EXPECT_EQ(Text(L"Label_achi_unlocked_total"), L"75");
        EXPECT_EQ(Text(L"Label"), c.percent);
        auto* gauge = dynamic_cast<kv::KVProgress*>(m_world->Find(L"Progress_gauge"));
        ASSERT_NE(gauge, nullptr);
        EXPECT_EQ(gauge->value, c.gauge);
        m_popUp.Close();
    }
}

// The global page needs the platform's overlay, which this platform does not have: the button
// shows it cannot act instead of doing nothing when clicked.
TEST_F(AchievementsPopUpTest, TheGlobalButtonRestsWithoutAnOverlay)
{
    ASSERT_NE(SteamUtils(), nullptr);
    ASSERT_FALSE(SteamUtils()->IsOverlayEnabled());
    ASSERT_EQ(m_popUp.Open(), 1);
    m_popUp.Update(0.05f);
    EXPECT_FALSE(Enabled(L"Steam_globalachi"));
    EXPECT_FALSE(m_world->Find(L"Single_globalachi")->IsVisible());
}

TEST_F(AchievementsPopUpTest, IconsAreDrawnWithTheWindowsAlpha)
{
    enginetest::RecordingRenderBackend backend;
    ASSERT_EQ(m_popUp.Open(), 1);
    struct Case {
        float alpha;
        D3DCOLOR colour;
    };
    for (const Case& c : {Case{1.0f, 0xFFFFFFFF}, Case{0.5f, 0x80FFFFFF}, Case{0.0f, 0x00FFFFFF}}) {
        backend.sprites.clear();
        m_world->Find(L"achi_icon_on_1")->SetAlpha(c.alpha);
        kv::EventArgs args;
        m_popUp.DrawIcon(0, args);
        EXPECT_TRUE(args.handled);
        ASSERT_EQ(backend.sprites.size(), 1u);
        EXPECT_EQ(backend.sprites[0].colour, c.colour) << c.alpha;
        EXPECT_EQ(backend.sprites[0].handle, m_popUp.IconOf(0));
    }
    // An empty box draws nothing, and still keeps the window's own drawing away.
    for (int page = 0; page < 6; ++page)
        m_popUp.OnNextPage(*std::make_unique<kv::EventArgs>());
    backend.sprites.clear();
    kv::EventArgs args;
    m_popUp.DrawIcon(11, args);
    EXPECT_TRUE(args.handled);
    EXPECT_TRUE(backend.sprites.empty());
}

} // namespace
