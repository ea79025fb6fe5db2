// The board bound to a scene layout: its origin, the draw handlers, the combo panel and the
// double-chance pictures; and a layout that lacks them.
#include "BoardFixture.h"

#include "support/kv/KVTestKit.h"

#include "kv/KVLabel.h"
#include "kv/KVWindowFactory.h"

namespace {

using namespace boardtest;

std::string Child(const std::string& type, const std::string& name, int x, int y, const std::string& inner = "")
{
    return "<child type=\"" + type + "\" name=\"" + name + "\"><pos x=\"" + std::to_string(x) + "\" y=\"" +
           std::to_string(y) + "\"/><rect l=\"0\" t=\"0\" r=\"40\" b=\"40\"/>" + inner + "</child>";
}

std::string BoardLayout(bool withBoardWindows)
{
    std::string xml = "<kevrin version=\"2\"><base type=\"WND\" name=\"Wnd_game\"><pos x=\"10\" y=\"20\"/>"
                      "<rect l=\"0\" t=\"0\" r=\"1000\" b=\"700\"/>";
    if (withBoardWindows) {
        xml += Child("WND", "Wnd_PuzzleArea", 100, 50) + Child("WND", "Wnd_ComboArea", 0, 0);
        xml += Child("WND", "Pic_puzzle_combo_black", 600, 100,
                     Child("WND", "Pic_plus_combo_1", 0, 0) + Child("WND", "Pic_plus_combo_2", 0, 0) +
                         Child("WND", "Pic_plus_combo_3", 0, 0) +
                         Child("LABEL", "Pic_num_combo", 5, 5, "<Color val=\"#112233FF\"/>") +
                         Child("WND", "Pic_num_bonus_1", 5, 50) + Child("WND", "Pic_num_bonus_2", 25, 50));
        for (const char* name : {"Pic_doublechance_on", "Pic_doublechance_white", "Pic_doublechance_fail",
                                 "Pic_doublechance_success"})
            xml += Child("WND", name, 700, 300);
    } else {
        xml += Child("WND", "Wnd_other", 100, 50);
    }
    return xml + "</base></kevrin>";
}

class BoardWindowsTest : public ::testing::Test {
protected:
    kv::KVWnd* Layout(bool withBoardWindows)
    {
        static kv::KVWindowFactoryT<kv::KVLabel> labels(L"Label");
        env.system->GetRegistry().Unregister(L"Label");
        env.system->GetRegistry().Register(&labels);
        kv::KVWnd* window = env.LoadText(BoardLayout(withBoardWindows));
        EXPECT_NE(window, nullptr);
        window->SetVisible(true);
        return window;
    }
    bool Visible(kv::KVWnd* layout, const wchar_t* name) { return layout->FindChild(name)->IsShownRecursive(); }

    testsupport::KVEnvironment env;
    Harness h;
};

TEST_F(BoardWindowsTest, InitTakesTheOriginAndHidesTheComboPictures)
{
    kv::KVWnd* layout = Layout(true);
    VanteoBlockMap& b = *h.board;
    b.Init(layout, 8, 8);
    EXPECT_FLOAT_EQ(b.originX, 110);
    EXPECT_FLOAT_EQ(b.originY, 70);
    EXPECT_NE(b.comboPanel, nullptr);
    for (const wchar_t* name : {L"Pic_doublechance_on", L"Pic_doublechance_white", L"Pic_doublechance_fail",
                                L"Pic_doublechance_success", L"Pic_plus_combo_1", L"Pic_plus_combo_3"})
        EXPECT_FALSE(layout->FindChild(name)->IsVisible()) << std::string(name, name + wcslen(name)).c_str();
    EXPECT_EQ(b.comboDigits.m_dwColour, 0xFF112233u);
    // Drawing the layout draws the board through its area's handler.
    layout->Draw();
    EXPECT_FLOAT_EQ(b.drawMatrix._41, 110);
    EXPECT_FLOAT_EQ(b.drawMatrix._42, 70);
    // A second Init on the same layout installs no second handler; a cell maps from the new origin.
    b.Init(layout, 8, 8);
    int col, row;
    EXPECT_TRUE(b.CellFromPoint(110, 70, &col, &row));
    EXPECT_EQ(col, 0);
}

TEST_F(BoardWindowsTest, TheComboPanelShowsFromTheThirdClearAndTheDoubleChanceOpensAtTen)
{
    kv::KVWnd* layout = Layout(true);
    VanteoBlockMap& b = *h.board;
    b.Init(layout, 8, 8);
    b.combo = 3;
    b.UpdateComboDisplay(0.01f);
    EXPECT_TRUE(Visible(layout, L"Pic_puzzle_combo_black"));
    b.combo = 1;
    b.UpdateComboDisplay(0.01f);
    EXPECT_FALSE(Visible(layout, L"Pic_puzzle_combo_black"));

    h.Fill({"WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "GWWWWWWW", "RRWWWWWW", "RRWWWWWW"});
    b.FindGroups();
    b.combo = 10;
    b.ClearGroup(0, 7);
    EXPECT_TRUE(Visible(layout, L"Pic_doublechance_on"));
    EXPECT_TRUE(layout->FindChild(L"Pic_plus_combo_1")->IsVisible());
    b.clearQueue.clear();
    b.clearTimer = -1;
    b.ClickSingle(0, 5); // the chance is missed
    EXPECT_TRUE(Visible(layout, L"Pic_doublechance_fail"));
    EXPECT_FALSE(Visible(layout, L"Pic_doublechance_on"));
    EXPECT_EQ(b.combo, 1);
    b.NewGame();
    EXPECT_FALSE(layout->FindChild(L"Pic_doublechance_fail")->IsVisible());
}

TEST_F(BoardWindowsTest, ALayoutWithoutTheBoardWindowsStillPlays)
{
    kv::KVWnd* layout = Layout(false);
    VanteoBlockMap& b = *h.board;
    EXPECT_EQ(b.Init(layout, 8, 8), 1);
    EXPECT_FLOAT_EQ(b.originX, 329);
    EXPECT_FLOAT_EQ(b.originY, 303);
    EXPECT_EQ(b.comboPanel, nullptr);
    b.NewGame();
    h.Settle(3000);
    for (int i = 0; i < 64; ++i)
        EXPECT_TRUE(b.cells[i]->present);
    b.combo = 12;
    b.UpdateComboDisplay(0.01f);
    b.DrawOverlay();
    b.DrawComboArea();
}

} // namespace
