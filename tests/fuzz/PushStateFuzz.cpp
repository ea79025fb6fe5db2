// Fuzzes the push lane state a guest receives: any bytes are refused or give lanes and stones
// inside their limits, which the field then plays with for a while without crashing. The same
// bytes are also handed to LoadState as they are, without the decoder's checks: the field takes
// them only when every stone and number is sound, and keeps its lanes inside their limits.
#include "FuzzSinks.h"
#include "lane/PushBlockSet.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// The state's fields straight from the bytes, with nothing checked.
PushLaneState RawState(const uint8_t* data, size_t size)
{
    PushLaneState state;
    size_t at = 0;
    auto take = [&](void* field) {
        if (at + 4 <= size)
            std::memcpy(field, data + at, 4);
        at += 4;
    };
    for (PushStone& s : state.stones) {
        take(&s.lane);
        take(&s.limit);
        take(&s.side);
        take(&s.timer);
    }
    take(&state.stoneCount);
    for (PushLane& l : state.lanes) {
        take(&l.pos);
        take(&l.target);
        take(&l.dropTimer);
        take(&l.comboTimer);
        take(&l.comboCount);
    }
    return state;
}

void Play(PushBlockSet& field)
{
    for (int step = 0; step < 100; ++step) {
        field.Update(0.05f);
        field.ApplyPush(step % 4, (step % 7) * 10 - 30);
        if (step % 17 == 0)
            field.TrapUserLane();
        if (step % 23 == 0)
            field.TrapEnemyLane();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzzsupport::NullMessages messages;
    static fuzzsupport::NullSounds sounds;
    static GameRandom random(3);

    PushBlockSet raw({messages, sounds, random});
    raw.Reset();
    raw.Update(0.0f);
    if (raw.LoadState(RawState(data, size))) {
        if (raw.stones.size() > static_cast<size_t>(PushLaneState::kMaxStones))
            std::abort();
        for (const PushStone& s : raw.stones)
            if (s.lane < 0 || s.lane > 2 || (s.side != 0 && s.side != 1) || !std::isfinite(s.limit))
                std::abort();
        for (const PushLane& lane : raw.lanes)
            if (!(std::fabs(lane.pos) <= PushBlockSet::kLaneLimit) || !(std::fabs(lane.target) <= PushBlockSet::kLaneLimit))
                std::abort();
        Play(raw);
    }

    PushLaneState state;
    if (!state.Decode(data, size))
        return 0;
    for (const PushLane& lane : state.lanes)
        if (!(std::fabs(lane.pos) <= PushBlockSet::kLaneLimit) || !(std::fabs(lane.target) <= PushBlockSet::kLaneLimit))
            std::abort();
    PushBlockSet field({messages, sounds, random});
    field.Reset();
    field.Update(0.0f);
    if (!field.LoadState(state))
        std::abort();  // whatever the decoder accepts, the field takes
    Play(field);
    PushLaneState again;
    field.SaveState(again);
    PushLaneState decoded;
    if (!decoded.Decode(again.Encode().data(), PushLaneState::kBytes))
        std::abort();
    return 0;
}
