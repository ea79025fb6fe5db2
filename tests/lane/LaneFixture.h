// A lane wired to recording sinks, with skin entries named "skin<index>.xml" (no such files:
// every animation player stays empty) so tests can give scene lengths by file.
#pragma once

#include "support/GameSeamFakes.h"

#include "lane/AttackLine.h"
#include "engine/PlayerSettings.h"

#include <gtest/gtest.h>

#include <string>

namespace lanetest {

inline std::string SkinName(int index)
{
    return "skin" + std::to_string(index) + ".xml";
}

class LaneTest : public ::testing::Test {
protected:
    LaneTest() { AttachPlayerSettings({[](int index) { return SkinName(index); }, {}}); }
    ~LaneTest() override { AttachPlayerSettings({}); }

    // A unit placed at a position of its side, with its speed as launched.
    AttackLineBlock* Player(int power, int kind, float position = 0.0f)
    {
        AttackLineBlock* unit = lane.LaunchPlayer(power, kind);
        unit->m_fPosition = position;
        return unit;
    }
    AttackLineBlock* Enemy(int power, int kind, float position = 0.0f, int invincible = 0)
    {
        AttackLineBlock* unit = lane.LaunchEnemy(power, kind, invincible);
        unit->m_fPosition = position;
        return unit;
    }
    int CountPlayed(int key) const
    {
        int n = 0;
        for (int played : sounds.played)
            n += played == key;
        return n;
    }

    RecordingMessages messages;
    RecordingSounds sounds;
    FixedAnimationLengths lengths{1.0f};
    AttackLine lane{LaneContext(messages, sounds, lengths)};
};

} // namespace lanetest
