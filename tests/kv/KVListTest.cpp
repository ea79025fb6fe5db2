// Lists and list boxes: the item grid, owner drawing, click selection and the scroll bar.
#include "kv/KVList.h"
#include "kv/KVListBox.h"
#include "kv/KVScrollBar.h"

#include "TextWidgetKit.h"

#include <gtest/gtest.h>

namespace {

// Records the owner-drawing and selection events of a list as "Begin", "Item 5 at 10,30",
// "End" and "Sel 4 off".
class ListRecorder {
public:
    explicit ListRecorder(kv::KVList* list)
    {
        list->AddHandler(kv::EventBeginDrawItem, kv::MakeHandler(this, &ListRecorder::Begin));
        list->AddHandler(kv::EventDrawItem, kv::MakeHandler(this, &ListRecorder::Item));
        list->AddHandler(kv::EventEndDrawItem, kv::MakeHandler(this, &ListRecorder::End));
        list->AddHandler(kv::EventListSelChanged, kv::MakeHandler(this, &ListRecorder::Sel));
    }
    void Begin(kv::EventArgs&) { entries.push_back(L"Begin"); }
    void End(kv::EventArgs&) { entries.push_back(L"End"); }
    void Item(kv::EventArgs& args)
    {
        auto& draw = static_cast<kv::ListDrawItemEventArgs&>(args);
        entries.push_back(L"Item " + std::to_wstring(draw.item->userValue) + L" at " +
                          std::to_wstring(static_cast<int>(draw.x)) + L"," + std::to_wstring(static_cast<int>(draw.y)));
    }
    void Sel(kv::EventArgs& args)
    {
        auto* item = static_cast<kv::ListSelChangedEventArgs&>(args).item;
        entries.push_back(L"Sel " + std::to_wstring(item->userValue) + (item->selected ? L" on" : L" off"));
    }
    std::vector<std::wstring> entries;
};

class KVListTest : public ::testing::Test {
protected:
    KVListTest() { env.ShowFixture("list.xml"); }

    kv::KVList* Filled(const std::wstring& name, int count)
    {
        auto* list = env.Find<kv::KVList>(name);
        for (int i = 0; i < count; ++i)
            list->AddItem(i, L"item" + std::to_wstring(i));
        return list;
    }

    textkit::TextEnv env;
};

TEST_F(KVListTest, DrawsTheColumnsThatFitWithTheColumnSettingAsRowStride)
{
    kv::KVList* list = Filled(L"List_grid", 8);
    ListRecorder events(list);
    env.DrawFrame();
    EXPECT_EQ(events.entries, (std::vector<std::wstring>{L"Begin", L"Item 0 at 10,10", L"Item 1 at 70,10",
                                                         L"Item 2 at 130,10", L"Item 5 at 10,30", L"Item 6 at 70,30",
                                                         L"Item 7 at 130,30", L"End"}));
    EXPECT_EQ(list->GetItems()[5].displaySlot, 3);
}

TEST_F(KVListTest, AListWithoutColumnsOrItemSizeDrawsAndHitsNothing)
{
    kv::KVList* list = Filled(L"List_nocolumn", 3);
    ListRecorder events(list);
    env.DrawFrame();
    env.Click(20, 110);
    EXPECT_EQ(events.entries, (std::vector<std::wstring>{L"Begin", L"End"}));
    EXPECT_TRUE(list->GetSelection().empty());
}

struct ClickCase {
    const char* label;
    const wchar_t* list;
    int listY;
    std::vector<std::pair<int, bool>> clicks;   // item, right button
    std::vector<std::wstring> expectEvents;
    std::vector<int32_t> expectSelection;
};

class KVListClickTest : public KVListTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(KVListClickTest, SelectsByItsMode)
{
    const ClickCase& c = GetParam();
    kv::KVList* list = Filled(c.list, 4);
    ListRecorder events(list);
    for (auto [item, right] : c.clicks) {
        int x = 10 + 50 * item + 25;
        int y = c.listY + 10;
        if (right) {
            kv::MouseEventArgs args;
            args.sender = list;
            args.x = static_cast<float>(x);
            args.y = static_cast<float>(y);
            args.button = 1;
            list->RButtonDown(args);
        } else {
            env.Click(x, y);
        }
    }
    EXPECT_EQ(events.entries, c.expectEvents);
    EXPECT_EQ(list->GetSelection(), c.expectSelection);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KVListClickTest,
    ::testing::Values(
        ClickCase{"SingleMovesTheSelection", L"List_single", 150, {{3, false}, {2, false}},
                  {L"Sel 3 on", L"Sel 3 off", L"Sel 2 on"}, {2}},
        ClickCase{"SingleKeepsTheSelectedItem", L"List_single", 150, {{1, false}, {1, false}}, {L"Sel 1 on"}, {1}},
        ClickCase{"SingleSelectsOnRightClicks", L"List_single", 150, {{1, true}}, {L"Sel 1 on"}, {1}},
        ClickCase{"ToggleKeepsSeveral", L"List_toggle", 175, {{1, false}, {2, false}, {1, false}},
                  {L"Sel 1 on", L"Sel 2 on", L"Sel 1 off"}, {2}},
        ClickCase{"ToggleRightClickKeeps", L"List_toggle", 175, {{1, false}, {1, true}}, {L"Sel 1 on"}, {1}},
        ClickCase{"DeselectableSecondClick", L"List_deselect", 200, {{0, false}, {0, false}}, {L"Sel 0 on", L"Sel 0 off"}, {}},
        ClickCase{"RightClicksIgnored", L"List_deselect", 200, {{2, true}}, {}, {}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(KVListTest, TracksTheHoveredItem)
{
    kv::KVList* list = Filled(L"List_single", 4);
    env.Move(10 + 75, 160);
    EXPECT_TRUE(list->IsHovered());
    EXPECT_TRUE(list->GetItems()[1].hovered);
    env.Move(10 + 125, 160);
    EXPECT_FALSE(list->GetItems()[1].hovered);
    EXPECT_TRUE(list->GetItems()[2].hovered);
    env.Move(390, 290);   // off the list
    EXPECT_FALSE(list->GetItems()[2].hovered);
}

TEST_F(KVListTest, ListBoxScrollsByRowsThroughItsBar)
{
    auto* box = static_cast<kv::KVListSC*>(Filled(L"List_box", 10));
    kv::KVScrollBar* bar = box->GetVScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsEnabled());
    EXPECT_EQ(bar->max, 120);
    EXPECT_EQ(bar->step, 20);
    bar->SetPos(50);
    EXPECT_EQ(box->GetFirstVisibleItem(), 3);   // trunc(2.5 + 0.5)
    env.Wheel(-120, 250, 20);
    EXPECT_EQ(bar->pos, 70);
    box->EnsureVisible(9);
    EXPECT_EQ(bar->pos, 120);
    EXPECT_EQ(box->GetFirstVisibleItem(), 6);
    box->ClearItems();
    EXPECT_FALSE(bar->IsEnabled());
    EXPECT_EQ(bar->pos, 0);
}

} // namespace
