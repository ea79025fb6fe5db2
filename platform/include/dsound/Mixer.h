// The mixer behind the DirectSound stand-in, for tests and benchmarks: with the manual mixer on,
// DirectSoundCreate8 opens no SDL device and the output advances only through Mix, so tests
// read exactly what a player would hear, sample by sample.
#pragma once

#include "win32/Types.h"

#include <cstdint>

namespace platform::dsound {

// Takes effect for devices created afterwards.
void UseManualMixer(bool on);

// The output format: the primary buffer's format, 16-bit signed samples interleaved.
struct MixFormat {
    uint32_t rate;
    uint32_t channels;
};
MixFormat GetMixFormat();

// Mixes every playing buffer into `frames` frames of output and advances their play cursors,
// setting the events of the notification positions they pass. `out` holds frames x channels.
void Mix(int16_t* out, uint32_t frames);

} // namespace platform::dsound
