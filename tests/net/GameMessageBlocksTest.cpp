// The match's message transport: records packed into 1024-byte blocks without splitting, the
// game-data message of a block, the walk over a received block with its stopping rules, and the
// client's flush and dispatch.
#include "online/OnlineFixture.h"

#include "net/GameMessageBlocks.h"
#include "net/SteamClient.h"
#include "support/GameSeamFakes.h"

#include <gtest/gtest.h>

namespace {

// A record of `size` bytes in all: its length word, id `id`, then filler.
std::vector<uint8_t> RecordOf(int32_t id, uint32_t size)
{
    std::vector<uint8_t> r(size, 0x5A);
    const uint32_t length = size - 4;
    for (int i = 0; i < 4; ++i) {
        r[static_cast<size_t>(i)] = static_cast<uint8_t>(length >> (8 * i));
        r[static_cast<size_t>(4 + i)] = static_cast<uint8_t>(static_cast<uint32_t>(id) >> (8 * i));
    }
    return r;
}

std::vector<std::pair<int32_t, size_t>> Walked(const std::vector<uint8_t>& message)
{
    std::vector<std::pair<int32_t, size_t>> out;
    GameMessageBlocks::Walk(message.data(), message.size(),
                            [&](int32_t id, const uint8_t*, size_t bytes) { out.emplace_back(id, bytes); });
    return out;
}

TEST(GameMessageBlocksTest, RecordsArePackedWholeWithTheirZeroTail)
{
    struct Case {
        std::vector<uint32_t> sizes;
        std::vector<uint32_t> used;  // per block
    };
    const Case cases[] = {{{1020}, {1020}},
                          {{508, 508}, {1016}},
                          {{508, 508, 8}, {1016, 8}},
                          {{600, 500}, {600, 500}}};
    for (const Case& c : cases) {
        GameMessageBlocks blocks;
        for (uint32_t size : c.sizes)
            ASSERT_TRUE(blocks.Queue(RecordOf(2125, size).data(), size));
        std::vector<GameMessageBlocks::Block> taken = blocks.TakeAll();
        ASSERT_EQ(taken.size(), c.used.size());
        for (size_t i = 0; i < taken.size(); ++i) {
            EXPECT_EQ(taken[i].used, c.used[i]);
            for (size_t b = taken[i].used; b < taken[i].used + 4 && b < GameMessageBlocks::kBlockBytes; ++b)
                EXPECT_EQ(taken[i].data[b], 0);
        }
        EXPECT_EQ(blocks.Count(), 0u);
    }
    GameMessageBlocks blocks;
    EXPECT_FALSE(blocks.Queue(RecordOf(2125, 1021).data(), 1021));
    EXPECT_FALSE(blocks.Queue(RecordOf(2125, 8).data(), 3));
    EXPECT_EQ(blocks.Count(), 0u);
}

TEST(GameMessageBlocksTest, AReceivedBlockIsWalkedUpToItsEnd)
{
    GameMessageBlocks blocks;
    blocks.Queue(RecordOf(2124, 144).data(), 144);
    blocks.Queue(RecordOf(2121, 8).data(), 8);
    std::vector<uint8_t> message = GameMessageBlocks::Message(0x42, blocks.TakeAll()[0]);
    ASSERT_EQ(message.size(), GameMessageBlocks::kMessageBytes);
    EXPECT_EQ(Walked(message), (std::vector<std::pair<int32_t, size_t>>{{2124, 136}, {2121, 0}}));

    struct Case {
        const char* what;
        int32_t firstLength;
        size_t records;
    };
    for (const Case& c : {Case{"a zero length", 0, 0}, Case{"a negative length", -5, 0},
                          Case{"a length past the block", 1021, 0}, Case{"a length to the last byte", 1020, 1}}) {
        std::vector<uint8_t> hostile(GameMessageBlocks::kMessageBytes, 0);
        std::memcpy(hostile.data() + 12, &c.firstLength, 4);
        EXPECT_EQ(Walked(hostile).size(), c.records) << c.what;
    }
    EXPECT_TRUE(Walked(std::vector<uint8_t>(11, 0)).empty());
}

class ClientTransportTest : public onlinetest::OnlineTest {};

TEST_F(ClientTransportTest, BlocksLeaveOnlyInFramesWithTimeAndDispatchPostsTheRecords)
{
    VanteoSteamClient client(CSteamID(7));
    RecordingMessages messages;
    client.SetMessageSink(&messages);
    std::vector<uint8_t> record = RecordOf(2125, 20);
    ASSERT_TRUE(client.QueueGameMessage(record.data(), 20));
    client.FlushGameMessages(0.0f);
    EXPECT_EQ(client.m_Outgoing.Count(), 1u);  // a frame of no time sends nothing
    client.FlushGameMessages(0.016f);
    EXPECT_EQ(client.m_Outgoing.Count(), 0u);  // not connected: dropped unsent

    GameMessageBlocks blocks;
    blocks.Queue(record.data(), 20);
    std::vector<uint8_t> message = GameMessageBlocks::Message(9, blocks.TakeAll()[0]);
    client.DispatchGameMessages(message.data(), message.size());
    ASSERT_EQ(messages.posted.size(), 1u);
    EXPECT_EQ(messages.posted[0].id, 2125);
    EXPECT_EQ(messages.posted[0].payload.size(), 12u);
}

} // namespace
