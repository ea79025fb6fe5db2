#include "support/GameSeamFakes.h"

#include <gtest/gtest.h>

TEST(GameRandom, StaysInRangeAndRepeatsForOneSeed)
{
    GameRandom a(12345), b(12345), c(54321);
    bool differs = false;
    for (int i = 0; i < 10000; ++i) {
        int x = a.Next();
        ASSERT_GE(x, 0);
        ASSERT_LE(x, GameRandom::kMax);
        ASSERT_EQ(x, b.Next());
        differs |= x != c.Next();
    }
    EXPECT_TRUE(differs);
}

TEST(Payload, RoundTripsEveryFieldLittleEndian)
{
    PayloadWriter w;
    w.I32(-2).U16(0xBEEF).U64(0x0123456789ABCDEFull).F32(1.5f).Text("abc", 8);
    const auto& bytes = w.Bytes();
    ASSERT_EQ(bytes.size(), 4u + 2 + 8 + 4 + 8);
    EXPECT_EQ(bytes[0], 0xFE);
    EXPECT_EQ(bytes[4], 0xEF);
    EXPECT_EQ(bytes[6], 0xEF);

    PayloadReader r(bytes.data(), bytes.size());
    EXPECT_EQ(r.I32(), -2);
    EXPECT_EQ(r.U16(), 0xBEEF);
    EXPECT_EQ(r.U64(), 0x0123456789ABCDEFull);
    EXPECT_EQ(r.F32(), 1.5f);
    EXPECT_EQ(r.Text(8), "abc");
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(Payload, ShortPayloadFailsTheReaderAndLongTextIsCut)
{
    const uint8_t three[3] = {1, 2, 3};
    PayloadReader r(three, sizeof three);
    EXPECT_EQ(r.I32(), 0);
    EXPECT_FALSE(r.Ok());

    PayloadWriter w;
    w.Text("abcdef", 4);
    ASSERT_EQ(w.Bytes().size(), 4u);
    EXPECT_EQ(w.Bytes()[3], 0);
    PayloadReader t(w.Bytes().data(), w.Bytes().size());
    EXPECT_EQ(t.Text(4), "abc");
}

TEST(Payload, MessageWordsPastTheMessageEndReadZero)
{
    const std::vector<uint8_t> message = PayloadWriter().I32(2081).I32(-5).I32(9).Bytes();
    const int length = static_cast<int>(message.size());
    EXPECT_EQ(MessageWord(message.data(), length, 0), 2081);
    EXPECT_EQ(MessageWord(message.data(), length, 1), -5);
    EXPECT_EQ(MessageWord(message.data(), length, 2), 9);
    EXPECT_EQ(MessageWord(message.data(), length, 3), 0);
    EXPECT_EQ(MessageWord(message.data(), length - 1, 2), 0);
    EXPECT_EQ(MessageWord(message.data(), length, -1), 0);
    EXPECT_EQ(MessageWord(nullptr, length, 1), 0);
}

TEST(RecordingMessages, KeepsIdsAndPayloads)
{
    RecordingMessages sink;
    PayloadWriter().I32(7).PostTo(sink, 2081);
    ASSERT_EQ(sink.Ids(), std::vector<int32_t>{2081});
    EXPECT_EQ(sink.WithId(2081)[0].Reader().I32(), 7);
}
