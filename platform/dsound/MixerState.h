// Shared state of the DirectSound stand-in: the live buffers and the output format, under one
// lock that the mixer holds while it reads them and every buffer call holds while it changes them.
#pragma once

#include "dsound/Mixer.h"

#include <mutex>
#include <vector>

namespace platform::dsound {

class SoundBuffer;

struct MixerState {
    std::mutex lock;
    std::vector<SoundBuffer*> buffers;
    MixFormat format{22050, 2};
    std::vector<float> accumulator;
    bool manual = false;
};

MixerState& Mixer();

// The SDL output: opened by the first device, closed with the last, reopened when the primary
// buffer's format changes. Never called with the mixer lock held (closing waits for the callback).
bool AcquireOutput();
void ReleaseOutput();
bool ChangeOutputFormat(const MixFormat& format);

} // namespace platform::dsound
