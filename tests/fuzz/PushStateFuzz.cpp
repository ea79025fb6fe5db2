// Fuzzes the push lane state a guest receives: any bytes are refused or give lanes and stones
// inside their limits, which the field then plays with for a while without crashing.
#include "FuzzSinks.h"
#include "modes/PushBlockSet.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PushLaneState state;
    if (!state.Decode(data, size))
        return 0;
    for (const PushLane& lane : state.lanes)
        if (!(std::fabs(lane.pos) <= PushBlockSet::kLaneLimit) || !(std::fabs(lane.target) <= PushBlockSet::kLaneLimit))
            std::abort();
    static fuzzsupport::NullMessages messages;
    static fuzzsupport::NullSounds sounds;
    static GameRandom random(3);
    PushBlockSet field(&messages, &sounds, &random);
    field.Reset();
    field.Update(0.0f);
    field.LoadState(state);
    for (int step = 0; step < 100; ++step) {
        field.Update(0.05f);
        field.ApplyPush(step % 4, (step % 7) * 10 - 30);
        if (step % 17 == 0)
            field.TrapUserLane();
    }
    PushLaneState again;
    field.SaveState(again);
    PushLaneState decoded;
    if (!decoded.Decode(again.Encode().data(), PushLaneState::kBytes))
        std::abort();
    return 0;
}
