// The combo box: dropping down over its siblings, choosing, stepping with the wheel and drawing
// its items, through clicks and wheel messages.
#include "kv/KVComboBox.h"
#include "kv/KVListBox.h"
#include "kv/KVTextArea.h"

#include "TextWidgetKit.h"

#include <gtest/gtest.h>

namespace {

// The combo stands at (10, 20), its drop button at x 140..160; the list drops to y 40..80.
constexpr int kDropX = 150;
constexpr int kDropY = 30;

class KVComboBoxTest : public ::testing::Test {
protected:
    KVComboBoxTest()
    {
        env.ShowFixture("combo.xml");
        combo = env.Find<kv::KVComboBox>(L"Combo_colour");
        for (const wchar_t* name : {L"Red", L"Green", L"Blue"})
            combo->AddItem(name);
        changes.Attach(combo, kv::EventComboSelChanged);
    }

    textkit::TextEnv env;
    kv::KVComboBox* combo = nullptr;
    testsupport::EventRecorder changes;
};

TEST_F(KVComboBoxTest, OpensOverItsSiblingsAndClosesOnAChoice)
{
    EXPECT_FALSE(combo->GetList()->IsVisible());
    env.Click(kDropX, kDropY);
    EXPECT_TRUE(combo->IsDroppedDown());
    EXPECT_TRUE(combo->GetList()->IsVisible());
    testsupport::DrawLog().clear();
    env.DrawFrame();
    // The open list is drawn after the window below it and takes the click there.
    ASSERT_EQ(env.iface.drawnTexts.size(), 2u);
    EXPECT_EQ(env.iface.drawnTexts[0].text, L"Red");
    EXPECT_EQ(env.iface.drawnTexts[0].style.colour, 0xFF0000FFu);
    EXPECT_EQ(env.iface.drawnTexts[1].y, 60);
    env.Click(50, 65);   // "Green", over Wnd_below
    EXPECT_EQ(combo->GetSelectedIndex(), 1);
    EXPECT_EQ(combo->GetTextArea()->GetText(), L"Green");
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_FALSE(combo->GetList()->IsVisible());
    EXPECT_EQ(changes.entries, std::vector<std::wstring>{L"Combo_colour:SelChanged"});
}

TEST_F(KVComboBoxTest, ChoosingTheChosenItemAgainChangesNothing)
{
    env.Click(kDropX, kDropY);
    env.Click(50, 45);   // "Red"
    env.Click(kDropX, kDropY);
    env.Click(50, 45);
    EXPECT_EQ(changes.entries.size(), 1u);
    EXPECT_TRUE(combo->IsDroppedDown());
    env.DrawFrame();
    uint32_t chosenColour = 0;
    for (const auto& drawn : env.iface.drawnTexts)
        if (drawn.text == L"Red" && drawn.y == 40)
            chosenColour = drawn.style.colour;
    EXPECT_EQ(chosenColour, 0xFFFF0000u);   // the chosen item is drawn in the select colour
}

TEST_F(KVComboBoxTest, WheelOverTheTextStepsThroughTheItems)
{
    env.Wheel(-120, 50, 30);   // nothing chosen yet
    EXPECT_EQ(combo->GetSelectedIndex(), -1);
    env.Click(kDropX, kDropY);
    env.Click(50, 45);   // "Red"
    env.Wheel(-120, 50, 30);
    env.Wheel(-120, 50, 30);
    env.Wheel(-120, 50, 30);   // already the last
    EXPECT_EQ(combo->GetSelectedIndex(), 2);
    EXPECT_EQ(combo->GetTextArea()->GetText(), L"Blue");
    EXPECT_EQ(combo->GetList()->GetFirstVisibleItem(), 1);
    env.Wheel(120, 50, 30);
    EXPECT_EQ(combo->GetSelectedIndex(), 1);
    EXPECT_EQ(changes.entries.size(), 4u);
}

TEST_F(KVComboBoxTest, LosingTheFocusClosesItAndClearingForgetsTheChoice)
{
    env.Click(kDropX, kDropY);
    env.Click(300, 200);   // elsewhere on the form
    EXPECT_FALSE(combo->IsDroppedDown());
    env.Click(kDropX, kDropY);
    env.Click(50, 45);
    combo->ClearItems();
    EXPECT_EQ(combo->GetSelectedIndex(), -1);
    EXPECT_EQ(combo->GetTextArea()->GetText(), L"");
    EXPECT_EQ(combo->GetList()->GetItemCount(), 0);
}

} // namespace
