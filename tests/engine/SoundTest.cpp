// The volume of a sound in hundredths of a decibel.
#include "engine/Sound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct AttenuationCase {
    float volume;
    float family;
    float mute;
    LONG expected;
};

TEST(SoundTest, AttenuationFromVolumeFamilyAndMute)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const AttenuationCase cases[] = {
        {1.0f, 0.5f, 1.0f, -602},
        {0.5f, 0.5f, 1.0f, -1204},
        {1.0f, 1.0f, 1.0f, 0},
        {0.0f, 0.5f, 1.0f, -10000}, // volume 0: silence, never the logarithm of infinity
        {1.0f, 0.0f, 1.0f, -10000},
        {1.0f, 0.5f, 0.0f, -10000}, // muted
        {1e-6f, 1.0f, 1.0f, -10000}, // below the range
        {2.0f, 1.0f, 1.0f, 0},       // above the range
        {-1.0f, 1.0f, 1.0f, -10000},
        {nan, 1.0f, 1.0f, -10000},
    };
    for (const AttenuationCase& c : cases)
        EXPECT_EQ(SoundAttenuation(c.volume, c.family, c.mute), c.expected)
            << c.volume << " x " << c.family << " x " << c.mute;
}

} // namespace
