// The game messages two machines exchange during an online match: ids 2100 to 2140, each a
// scene-message record (length, id, then the sender's platform id and the fields), read and
// written field by field, little-endian. Every record from the network is checked against its
// id's length before a field is read; a record that is too short, or of an id no match uses,
// is refused.
#pragma once

#include "board/GameSeams.h"
#include "lane/LaneContext.h"
#include "lane/PushBlockSet.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace netmsg {

inline constexpr int32_t kHpSync = 2100;
inline constexpr int32_t kPushState = 2101;
inline constexpr int32_t kSpeedUp = 2117;
inline constexpr int32_t kItemDrop = 2119;
inline constexpr int32_t kItemGet = 2120;
inline constexpr int32_t kReady = 2121;
inline constexpr int32_t kBoardLayout = 2124;
inline constexpr int32_t kRotate = 2125;
inline constexpr int32_t kBulletGain = 2126;
inline constexpr int32_t kFireRequest = 2127;
inline constexpr int32_t kAttackCreated = 2129;
inline constexpr int32_t kLaneUnitsMet = 2130;
inline constexpr int32_t kLaneUnitHitMine = 2131;
inline constexpr int32_t kBigStone = 2134;
inline constexpr int32_t kPushPoints = 2136;
inline constexpr int32_t kLaneUnitPower = 2137;
inline constexpr int32_t kPushBlockDrop = 2140;

// The record length L (from the id word to the end) of a game message; 0 for an id that is not
// one. MSG_NET_READY is 4: no sender, no fields.
int32_t RecordLength(int32_t id);

// A received record as the scene queue hands it: the id word, the sender and the fields.
struct Record {
    int32_t id = 0;
    uint64_t sender = 0;
    std::vector<uint8_t> fields;  // from offset 12
};

// Checks a record from the id word on (`bytes` as received) and splits it; nothing for a record
// shorter than its id's length or of an unknown id.
std::optional<Record> Parse(const uint8_t* data, size_t bytes);

// Builds a whole record for the transport: the length word, the id, the sender, the fields.
std::vector<uint8_t> Build(int32_t id, uint64_t sender, const PayloadWriter& fields);

struct HpSync {
    int32_t hostHp = 0, guestHp = 0;
};
struct ItemDrop {
    int32_t kind = 0;
    float x = 0;
};
struct FireRequest {
    int32_t unused = -1, type = 0, count = 0;
};
struct AttackCreated {
    int32_t forRequester = 0;
    uint64_t owner = 0;
    int32_t serial = 0, type = 0, count = 0;
};
struct UnitsMet {
    NetBlockId hostPlayerUnit;
    int32_t hostEnemyPower = 0;
    NetBlockId hostEnemyUnit;
    int32_t hostPlayerPower = 0;
};
struct UnitHitMine {
    NetBlockId unit, mine;
};
struct UnitPower {
    NetBlockId unit;
    int32_t power = 0;
};

PayloadWriter Fields(const HpSync& m);
PayloadWriter Fields(const ItemDrop& m);
PayloadWriter Fields(const FireRequest& m);
PayloadWriter Fields(const AttackCreated& m);
PayloadWriter Fields(const UnitsMet& m);
PayloadWriter Fields(const UnitHitMine& m);
PayloadWriter Fields(const UnitPower& m);
PayloadWriter Fields(const PushLaneState& m);

// Each reader takes the fields of a parsed record of its id; false when they do not hold it.
bool Read(const Record& r, HpSync& out);
bool Read(const Record& r, ItemDrop& out);
bool Read(const Record& r, FireRequest& out);
bool Read(const Record& r, AttackCreated& out);
bool Read(const Record& r, UnitsMet& out);
bool Read(const Record& r, UnitHitMine& out);
bool Read(const Record& r, UnitPower& out);
bool Read(const Record& r, PushLaneState& out);
// The one int32 field of 2120, 2134 and 2137's power-less cousins, and the two of 2126, 2136, 2140.
bool ReadInt(const Record& r, int index, int32_t& out);
// 2125: the turn direction, 1 or -1; anything else is refused.
bool ReadRotate(const Record& r, int& direction);
// 2124: the 64 cell words.
bool ReadLayout(const Record& r, std::vector<uint16_t>& cells);

} // namespace netmsg
