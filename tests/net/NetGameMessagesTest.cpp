// The match's game messages: each record built at its length with the sender first, read back
// field by field, and records from the network that are short, of unknown ids or out of range
// refused before any field is used.
#include "net/NetGameMessages.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace netmsg;

// The record as the receiving scene gets it: from the id word on.
std::optional<Record> Receive(const std::vector<uint8_t>& built)
{
    return Parse(built.data() + 4, built.size() - 4);
}

TEST(NetGameMessagesTest, RecordsCarryTheirLengthIdSenderAndFields)
{
    const uint64_t sender = 0x0110000100000042ull;
    std::vector<uint8_t> hp = Build(kHpSync, sender, Fields(HpSync{750, -3}));
    ASSERT_EQ(hp.size(), 24u);
    int32_t length;
    std::memcpy(&length, hp.data(), 4);
    EXPECT_EQ(length, 20);
    auto r = Receive(hp);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->sender, sender);
    HpSync back;
    ASSERT_TRUE(Read(*r, back));
    EXPECT_EQ(back.hostHp, 750);
    EXPECT_EQ(back.guestHp, -3);

    AttackCreated attack{1, sender, 77, 3, 100};
    AttackCreated a;
    ASSERT_TRUE(Read(*Receive(Build(kAttackCreated, sender, Fields(attack))), a));
    EXPECT_EQ(a.serial, 77);
    EXPECT_EQ(a.owner, sender);
    EXPECT_EQ(a.count, 100);

    UnitsMet met{{0, 5}, 40, {0, 9}, 60};
    UnitsMet m;
    ASSERT_TRUE(Read(*Receive(Build(kLaneUnitsMet, sender, Fields(met))), m));
    EXPECT_EQ(m.hostPlayerUnit.serial, 5);
    EXPECT_EQ(m.hostEnemyUnit.serial, 9);
    EXPECT_EQ(m.hostPlayerPower, 60);

    PushLaneState state;
    state.stoneCount = 1;
    state.stones[0] = {2, -40.0f, 1, 3.0f};
    state.lanes[1].pos = -12.0f;
    PushLaneState s;
    std::vector<uint8_t> push = Build(kPushState, sender, Fields(state));
    ASSERT_EQ(push.size(), 240u);
    ASSERT_TRUE(Read(*Receive(push), s));
    EXPECT_EQ(s.stones[0].lane, 2);
    EXPECT_FLOAT_EQ(s.lanes[1].pos, -12.0f);

    std::vector<uint8_t> ready = Build(kReady, sender, PayloadWriter());
    EXPECT_EQ(ready.size(), 8u);  // no sender, no fields
    EXPECT_TRUE(Receive(ready));

    std::vector<uint8_t> rotate = Build(kRotate, sender, PayloadWriter().U16(static_cast<uint16_t>(0xFF)));
    int direction = 0;
    ASSERT_TRUE(ReadRotate(*Receive(rotate), direction));
    EXPECT_EQ(direction, -1);
}

TEST(NetGameMessagesTest, HostileRecordsAreRefused)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> record;  // from the id word on
        bool parsed;
    };
    std::vector<uint8_t> hp = Build(kHpSync, 1, Fields(HpSync{1, 2}));
    std::vector<uint8_t> shortHp(hp.begin() + 4, hp.end() - 1);
    std::vector<uint8_t> unknown(hp.begin() + 4, hp.end());
    unknown[0] = 0x99;  // id 2201... not a game message
    const Case cases[] = {{"a record one byte short", shortHp, false},
                          {"an unknown id", unknown, false},
                          {"three bytes", {1, 2, 3}, false}};
    for (const Case& c : cases)
        EXPECT_EQ(Parse(c.record.data(), c.record.size()).has_value(), c.parsed) << c.what;

    // Fields out of range: an item kind past 5, an attack type past 3, a turn of 2.
    ItemDrop item;
    EXPECT_FALSE(Read(*Receive(Build(kItemDrop, 1, Fields(ItemDrop{9, 10.0f}))), item));
    AttackCreated attack;
    EXPECT_FALSE(Read(*Receive(Build(kAttackCreated, 1, Fields(AttackCreated{0, 0, 1, 7, 1}))), attack));
    int direction = 0;
    EXPECT_FALSE(ReadRotate(*Receive(Build(kRotate, 1, PayloadWriter().U16(2))), direction));
    // A reader of another id refuses the record.
    HpSync hpOut;
    EXPECT_FALSE(Read(*Receive(Build(kItemGet, 1, PayloadWriter().I32(4))), hpOut));
    int32_t serial = 0;
    ASSERT_TRUE(ReadInt(*Receive(Build(kItemGet, 1, PayloadWriter().I32(4))), 0, serial));
    EXPECT_EQ(serial, 4);
    EXPECT_FALSE(ReadInt(*Receive(Build(kItemGet, 1, PayloadWriter().I32(4))), 1, serial));
}

} // namespace
