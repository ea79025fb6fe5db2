// Fuzzes the match's game messages as they come from the network: a game-data message is walked
// into its records, and every record is refused or parsed into one of a known id whose fields
// every reader takes without reading past them.
#include "net/GameMessageBlocks.h"
#include "net/NetGameMessages.h"

#include <cstdlib>

namespace {
void CheckRecord(const uint8_t* data, size_t size)
{
    auto r = netmsg::Parse(data, size);
    if (!r)
        return;
    if (netmsg::RecordLength(r->id) == 0)
        std::abort();
    netmsg::HpSync hp;
    netmsg::ItemDrop item;
    netmsg::FireRequest fire;
    netmsg::AttackCreated attack;
    netmsg::UnitsMet met;
    netmsg::UnitHitMine mine;
    netmsg::UnitPower power;
    PushLaneState state;
    netmsg::Read(*r, hp);
    netmsg::Read(*r, item);
    netmsg::Read(*r, fire);
    netmsg::Read(*r, attack);
    netmsg::Read(*r, met);
    netmsg::Read(*r, mine);
    netmsg::Read(*r, power);
    if (netmsg::Read(*r, state) && (state.stoneCount < 0 || state.stoneCount > PushLaneState::kMaxStones))
        std::abort();
    int32_t value = 0;
    for (int i = 0; i < 3; ++i)
        netmsg::ReadInt(*r, i, value);
    int direction = 0;
    if (netmsg::ReadRotate(*r, direction) && direction != 1 && direction != -1)
        std::abort();
    std::vector<uint16_t> cells;
    if (netmsg::ReadLayout(*r, cells) && cells.size() != 64)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckRecord(data, size);
    size_t walked = 0;
    GameMessageBlocks::Walk(data, size, [&](int32_t id, const uint8_t* payload, size_t bytes) {
        walked += bytes + 8;
        if (walked > GameMessageBlocks::kBlockBytes)
            std::abort();
        std::vector<uint8_t> record(4 + bytes);
        for (int i = 0; i < 4; ++i)
            record[static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(id) >> (8 * i));
        std::copy(payload, payload + bytes, record.begin() + 4);
        CheckRecord(record.data(), record.size());
    });
    return 0;
}
