// Fuzzes the match's game messages as they come from the network: any bytes are refused or
// parsed into a record of a known id whose fields every reader takes without reading past them.
#include "online/NetGameMessages.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto r = netmsg::Parse(data, size);
    if (!r)
        return 0;
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
    return 0;
}
