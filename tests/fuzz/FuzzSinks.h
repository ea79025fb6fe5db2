// Message and sound sinks that keep nothing, for fuzz targets that drive game logic.
#pragma once

#include "board/GameSeams.h"

namespace fuzzsupport {

class NullMessages : public IMessageSink {
public:
    void Post(int32_t, const uint8_t*, size_t) override {}
};

class NullSounds : public ISoundSink {
public:
    void Play(int, bool, float) override {}
    void Stop(int) override {}
    bool IsPlaying(int) override { return false; }
};

} // namespace fuzzsupport
