#include "BoardFixture.h"

using namespace boardtest;

namespace {

std::vector<uint8_t> Message(const std::vector<uint16_t>& words, size_t header = 4)
{
    std::vector<uint8_t> data(header, 0);
    data[0] = 0x23; // 2083, the layout message's id word
    data[1] = 0x08;
    for (uint16_t w : words) {
        data.push_back(static_cast<uint8_t>(w));
        data.push_back(static_cast<uint8_t>(w >> 8));
    }
    return data;
}

TEST(BoardLayout, CellWordsCarryKindSquareFixedPointAndCorner)
{
    Harness h;
    h.Fill({"RRGSS...", "RRGSS...", "........", "........", "........", "........", "........", "........"});
    VanteoBlockMap& b = *h.board;
    b.FindSquares(); // squares form only from row 1 up
    b.CellAt(2, 0)->fixed = 1;
    b.CellAt(2, 1)->point = 1;
    const std::vector<uint16_t> words = b.LayoutWords();
    EXPECT_EQ(words[0], 0x0101);  // covered block of the red square
    EXPECT_EQ(words[8], 0x4001);  // its anchor, corner 4
    EXPECT_EQ(words[2], 0x0202);  // fixed green
    EXPECT_EQ(words[10], 0x0402); // point green
    EXPECT_EQ(words[11], 0x4004); // star anchor
    EXPECT_EQ(words[5], 0x0000);  // empty
}

TEST(BoardLayout, ASettledBoardSavedAsWordsLoadsBackAsTheSameBoard)
{
    Harness h;
    h.board->NewGame();
    h.Settle(3000);
    h.board->CellAt(2, 2)->fixed = 1;
    const std::vector<uint16_t> words = h.board->LayoutWords();
    Harness other(8, 99);
    const std::vector<uint8_t> data = Message(words);
    ASSERT_EQ(other.board->LoadLayout(data.data(), data.size()), 1);
    EXPECT_EQ(other.board->LayoutWords(), words);
    EXPECT_EQ(other.Picture(), h.Picture());
    // The settled board's own report is the same message.
    auto posted = h.messages.WithId(MSG_BOARD_LAYOUT);
    ASSERT_FALSE(posted.empty());
    Harness third(8, 5);
    std::vector<uint8_t> reported = {0x23, 0x08, 0, 0};
    reported.insert(reported.end(), posted.back().payload.begin(), posted.back().payload.end());
    ASSERT_EQ(third.board->LoadLayout(reported.data(), reported.size()), 1);
    h.board->CellAt(2, 2)->fixed = 0;
    EXPECT_EQ(third.board->LayoutWords(), h.board->LayoutWords());
}

TEST(BoardLayout, TheThreeLoadersTreatFixedAndPointBitsDifferently)
{
    std::vector<uint16_t> words(64, 0x0003);
    Harness h;
    VanteoBlockMap& b = *h.board;
    b.CellAt(0, 0)->point = 1;
    words[0] = 0x0201;
    std::vector<uint8_t> data = Message(words);
    ASSERT_EQ(b.LoadLayout(data.data(), data.size()), 1);
    EXPECT_TRUE(b.CellAt(0, 0)->fixed);
    EXPECT_TRUE(b.CellAt(0, 0)->point); // untouched by the word
    EXPECT_EQ(b.CellAt(0, 0)->kind, 1);
    words[0] = 0x0001;
    data = Message(words, 12);
    ASSERT_EQ(b.LoadSnapshot(data.data(), data.size()), 1);
    EXPECT_TRUE(b.CellAt(0, 0)->fixed); // a snapshot never clears fixed
    data = Message(words);
    ASSERT_EQ(b.LoadLayout(data.data(), data.size()), 1);
    EXPECT_FALSE(b.CellAt(0, 0)->fixed);
    words[1] = 0x0402;
    EXPECT_EQ(b.ApplyLayoutWords(words.data(), words.size()), 1);
    EXPECT_TRUE(b.CellAt(1, 0)->point);
    data = Message(words);
    b.CellAt(1, 0)->point = 0;
    ASSERT_EQ(b.LoadLayout(data.data(), data.size()), 1);
    EXPECT_FALSE(b.CellAt(1, 0)->point); // LoadLayout ignores the point bit
}

TEST(BoardLayout, BadWordsAreRefusedWholeAndTheBoardStaysAsItWas)
{
    struct Case {
        const char* name;
        std::vector<std::pair<int, uint16_t>> words;
    };
    const std::vector<Case> cases = {
        {"kind 0 with a flag", {{5, 0x0100}}},
        {"kind 8", {{5, 0x0008}}},
        {"kind 255", {{5, 0x00FF}}},
        {"corner 5", {{5, 0x5001}}},
        {"anchor whose square leaves the grid", {{0, 0x4001}, {1, 0x0101}}},
        {"anchor without its covered blocks", {{9, 0x4001}}},
        {"covered block without anchor", {{9, 0x0101}}},
        {"covered block of another kind", {{9, 0x4001}, {10, 0x0101}, {1, 0x0101}, {2, 0x0102}}},
        {"anchor flagged covered", {{9, 0x4101}, {10, 0x0101}, {1, 0x0101}, {2, 0x0101}}},
    };
    for (const Case& c : cases) {
        Harness h;
        h.Fill({"GGGGGGGG", "GGGGGGGG", "GGGGGGGG", "GGGGGGGG", "GGGGGGGG", "GGGGGGGG", "GGGGGGGG", "GGGGGGGG"});
        std::vector<uint16_t> words(64, 0x0003);
        for (auto [cell, word] : c.words)
            words[cell] = word;
        const std::vector<uint8_t> data = Message(words);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(h.board->LoadLayout(data.data(), data.size()), 0);
        std::vector<uint8_t> snapshot = Message(words, 12);
        EXPECT_EQ(h.board->LoadSnapshot(snapshot.data(), snapshot.size()), 0);
        EXPECT_EQ(h.board->ApplyLayoutWords(words.data(), words.size()), 0);
        EXPECT_EQ(h.Picture()[0], "GGGGGGGG");
    }
    // A valid square: anchor in corner 4 at (1, 1).
    Harness h;
    std::vector<uint16_t> words(64, 0x0003);
    words[9] = 0x4001;
    words[10] = words[1] = words[2] = 0x0101;
    const std::vector<uint8_t> data = Message(words);
    EXPECT_EQ(h.board->LoadLayout(data.data(), data.size()), 1);
    // Short data is refused.
    EXPECT_EQ(h.board->LoadLayout(data.data(), data.size() - 1), 0);
    EXPECT_EQ(h.board->LoadSnapshot(data.data(), data.size()), 0);
    EXPECT_EQ(h.board->ApplyLayoutWords(words.data(), 63), 0);
    EXPECT_EQ(h.board->LoadLayout(nullptr, 0), 0);
}

TEST(BoardLayout, OnlyEightWideLoudBoardsReportTheirLayout)
{
    Harness quiet;
    quiet.board->quiet = 1;
    quiet.board->PostLayout();
    Harness wide(10);
    wide.board->PostLayout();
    Harness normal;
    normal.board->PostLayout();
    EXPECT_TRUE(quiet.messages.posted.empty());
    EXPECT_TRUE(wide.messages.posted.empty());
    ASSERT_EQ(normal.messages.posted.size(), 1u);
    EXPECT_EQ(normal.messages.posted[0].id, MSG_BOARD_LAYOUT);
    EXPECT_EQ(normal.messages.posted[0].payload, std::vector<uint8_t>(128, 0));
}

} // namespace
