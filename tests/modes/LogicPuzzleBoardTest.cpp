// The logic puzzle's file and board: the 132-byte layout and its files, big blocks formed from
// loaded blocks, groups, the win once only walls are left, and the combo reports.
#include "../board/BoardFixture.h"
#include "support/TempDir.h"

#include "board/GameMessages.h"
#include "modes/PuzzleLayout.h"
#include "modes/VanteoBlockMap_IQ.h"

#include <cstdlib>

using namespace boardtest;

namespace {

// A layout from a picture of eight rows ('.' empty, R G B colours, S star, W wall).
PuzzleLayout LayoutOf(std::initializer_list<const char*> rows)
{
    PuzzleLayout layout;
    int row = 0;
    for (const char* line : rows) {
        for (int col = 0; col < kPuzzleSide && line[col]; ++col)
            layout.SetCell(col + row * kPuzzleSide, static_cast<uint16_t>(KindOf(line[col])));
        ++row;
    }
    return layout;
}

class LogicPuzzleBoardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        board = &h.Use<VanteoBlockMap_IQ>();
        board->NewGame();
    }
    void Load(const PuzzleLayout& layout)
    {
        ASSERT_EQ(board->LoadLayout(layout.Data(), layout.Size()), 1);
        h.messages.Clear();
    }
    size_t Wins() { return h.messages.WithId(MSG_GAME_WIN).size(); }

    Harness h;
    VanteoBlockMap_IQ* board = nullptr;
};

TEST(PuzzleLayoutTest, CellsFilesAndTypes)
{
    PuzzleLayout layout;
    EXPECT_EQ(layout.Id(), kPuzzleLayoutId);
    layout.SetCell(9, 0x0001);
    layout.SetCell(63, 0x0007);
    layout.SetCell(64, 0x0003);  // outside: nothing
    EXPECT_EQ(layout.Data()[4 + 18], 1);
    EXPECT_EQ(layout.Cell(63), 7);
    EXPECT_EQ(layout.Cell(64), 0);

    testsupport::TempDir dir;
    const std::string path = dir.Str() + "/one.pzl";
    ASSERT_TRUE(layout.Write(path));
    EXPECT_EQ(dir.Read("one.pzl").size(), kPuzzleLayoutBytes);
    PuzzleLayout again;
    again.SetCell(0, 5);
    ASSERT_TRUE(again.Read(path));
    EXPECT_EQ(again.Cell(9), 1);
    EXPECT_EQ(again.Cell(0), 0);

    // A file that is not exactly 132 bytes, or whose cells are no valid board, is refused and
    // leaves the layout as it was: nothing of an earlier puzzle mixes into the next one.
    const std::string whole(reinterpret_cast<const char*>(layout.Data()), kPuzzleLayoutBytes);
    std::string badKind = whole;
    badKind[4] = 9;
    std::string looseCover = whole;
    looseCover[5] = 0x01;  // a covered cell without its big block
    const std::pair<const char*, std::string> refused[] = {{"short.pz0", whole.substr(0, 6)},
                                                           {"long.pz1", whole + "extra"},
                                                           {"empty.pzl", ""},
                                                           {"kind.pzl", badKind},
                                                           {"cover.pzl", looseCover}};
    for (const auto& [name, bytes] : refused) {
        dir.Write(name, bytes);
        PuzzleLayout kept = layout;
        kept.SetCell(0, 2);
        EXPECT_FALSE(kept.Read(dir.Str() + "/" + name)) << name;
        EXPECT_EQ(kept.Cell(0), 2) << name;
        EXPECT_EQ(kept.Cell(9), 1) << name;
    }
    PuzzleLayout missing;
    EXPECT_FALSE(missing.Read(dir.Str() + "/missing.pzl"));

    // A save that fails leaves the old file.
    setenv("QUIBLY_FAULT_NO_SPACE", "one.pzl", 1);
    PuzzleLayout other;
    EXPECT_FALSE(other.Write(path));
    unsetenv("QUIBLY_FAULT_NO_SPACE");
    PuzzleLayout kept;
    ASSERT_TRUE(kept.Read(path));
    EXPECT_EQ(kept.Cell(9), 1);

    const std::pair<const char*, int> types[] = {{"a.pz0", 0}, {"a.PZL", 0}, {"dir.x/a.pz1", 1}, {"a.txt", -1}, {"pz1", -1}};
    for (const auto& [name, type] : types)
        EXPECT_EQ(PuzzleTypeOfPath(name), type) << name;
}

TEST_F(LogicPuzzleBoardTest, ALayoutWithIdZeroLoadsLikeAnyOther)
{
    PuzzleLayout layout = LayoutOf({"........", ".R......", "........", "........", "........", "........", "........", ".......W"});
    layout.SetId(0);
    Load(layout);
    EXPECT_EQ(board->arranged, 1);
    EXPECT_EQ(h.Picture()[1], ".R......");
    EXPECT_EQ(h.Picture()[7], ".......W");
}

TEST_F(LogicPuzzleBoardTest, LoadedBlocksFormBigBlocksAndGroups)
{
    Load(LayoutOf({"........", "........", "........", "........", "........", "......RR", "...GG.RR", "...GGGRR"}));
    h.Settle();
    EXPECT_EQ(board->CellAt(3, 7)->corner, 4);
    EXPECT_TRUE(board->CellAt(4, 6)->inSquare);
    EXPECT_FALSE(board->CellAt(5, 7)->inSquare);
    // Of the 2 x 3 red block the lower square is taken; the rest forms none.
    EXPECT_EQ(board->CellAt(6, 7)->corner, 4);
    EXPECT_EQ(board->CellAt(6, 5)->corner, 0);
    EXPECT_FALSE(board->CellAt(6, 5)->inSquare);
    // The loose green block joins its square's group: a click clears all five, without points.
    h.ClickCell(3, 7);
    h.Settle();
    EXPECT_EQ(h.Picture()[7], "......RR");
    auto cleared = h.messages.WithId(MSG_GROUP_CLEARED);
    ASSERT_EQ(cleared.size(), 1u);
    EXPECT_EQ(h.Payload(cleared[0])[3], 5);  // cells
}

TEST_F(LogicPuzzleBoardTest, FixedBlocksAndWallsNeverFormBigBlocks)
{
    PuzzleLayout layout = LayoutOf({"........", "........", "........", "........", "........", "........", "RR....WW", "RR....WW"});
    layout.SetCell(0 + 6 * 8, 0x0201);  // fixed red
    Load(layout);
    h.Settle();
    EXPECT_EQ(board->CellAt(0, 7)->corner, 0);
    EXPECT_EQ(board->CellAt(6, 7)->corner, 0);
}

TEST_F(LogicPuzzleBoardTest, TheWinComesOnlyWhenWallsAloneAreLeft)
{
    Load(LayoutOf({"........", "........", "........", "........", "........", "........", "RR.....S", "RR.....W"}));
    h.Settle();
    h.ClickCell(0, 7);
    h.Settle();
    EXPECT_EQ(Wins(), 0u);  // the star is still there

    Load(LayoutOf({"........", "........", "........", "........", "........", "........", "........", "W......W"}));
    board->Update(0.05f);
    size_t first = Wins();
    EXPECT_GT(first, 0u);
    board->Update(0.05f);
    EXPECT_GT(Wins(), first);  // every step until the scene freezes the board
    board->frozen = 1;
    h.messages.Clear();
    board->Update(0.05f);
    EXPECT_EQ(Wins(), 0u);
}

TEST_F(LogicPuzzleBoardTest, ClearsReportComboOneThenTwoAndAClickBreaksIt)
{
    Load(LayoutOf({"........", "........", "........", "BB......", "BB......", "GG......", "GG......", "RR.RR..B"}));
    auto combos = [&] {
        std::vector<int32_t> out;
        for (const auto& m : h.messages.WithId(MSG_COMBO))
            out.push_back(h.Payload(m)[0]);
        return out;
    };
    h.Settle();
    h.ClickCell(0, 6);  // the green square
    h.Settle();
    h.ClickCell(0, 6);  // the blue square, fallen
    h.Settle();
    EXPECT_EQ(combos(), (std::vector<int32_t>{1, 2}));
    h.ClickCell(7, 7);  // a single block
    h.ClickCell(3, 7);  // and another, with no clear since
    EXPECT_EQ(h.messages.WithId(MSG_COMBO_BREAK).size(), 1u);
    EXPECT_EQ(board->combo, 1);
}

} // namespace
