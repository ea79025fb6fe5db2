// What the attack lane shares with its units and mines: the sinks through which they reach the
// world (scene messages, sounds, animation lengths), the lane's screen geometry and the serial
// counters of units and mines. The lane owns one context; its units and mines point to it, so
// a test or the online battle sets the counters of exactly the lane it plays on.
#pragma once

#include "board/GameSeams.h"

#include <cstdint>

// The identity of a lane unit or mine on both machines of a match: the platform user id of
// the player who launched it (0 offline) and a serial. 12 bytes in a message, low word first.
struct NetBlockId {
    uint64_t owner = 0;
    int32_t serial = 0;

    static constexpr size_t kWireBytes = 12;
    void Write(PayloadWriter& writer) const { writer.U64(owner).I32(serial); }
    static NetBlockId Read(PayloadReader& reader)
    {
        NetBlockId id;
        id.owner = reader.U64();
        id.serial = reader.I32();
        return id;
    }
    bool operator==(const NetBlockId&) const = default;
};

// The serials handed to new units and mines; both counters start at 0. Every unit constructed,
// also one built only to load animation files, takes the next unit serial.
class LaneSerials {
public:
    int32_t NextUnit() { return m_nextUnit++; }
    int32_t NextMine() { return m_nextMine++; }
    int32_t PeekUnit() const { return m_nextUnit; }
    int32_t PeekMine() const { return m_nextMine; }
    // The online battle starts the unit counter at 0 on the hosting machine and at 65536 on
    // the other, so both machines never hand out the same serial.
    void SetNextUnit(int32_t serial) { m_nextUnit = serial; }
    void SetNextMine(int32_t serial) { m_nextMine = serial; }

private:
    int32_t m_nextUnit = 0;
    int32_t m_nextMine = 0;
};

// The lane's ends in screen x. Units walk from their own side's end: an enemy unit at position
// p stands at laneLeft + p, a player unit at laneRight - p.
struct LaneGeometry {
    int32_t laneLeft = 120;
    int32_t laneRight = 904;
    int32_t laneLength = 784;
};

class LaneContext {
public:
    LaneContext(IMessageSink& messages, ISoundSink& sounds, IAnimationLengths& lengths)
        : messages(&messages), sounds(&sounds), lengths(&lengths)
    {
    }
    IMessageSink* messages;
    ISoundSink* sounds;
    IAnimationLengths* lengths;
    LaneGeometry geometry;
    LaneSerials serials;
};
