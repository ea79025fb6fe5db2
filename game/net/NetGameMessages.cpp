#include "net/NetGameMessages.h"

#include <algorithm>
#include <cmath>

namespace netmsg {

int32_t RecordLength(int32_t id)
{
    switch (id) {
    case kHpSync: return 20;
    case kPushState: return 236;
    case kSpeedUp: return 12;
    case kItemDrop: return 20;
    case kItemGet: return 16;
    case kReady: return 4;
    case kBoardLayout: return 140;
    case kRotate: return 16;
    case kBulletGain: return 20;
    case kFireRequest: return 24;
    case kAttackCreated: return 36;
    case kLaneUnitsMet: return 44;
    case kLaneUnitHitMine: return 36;
    case kBigStone: return 16;
    case kPushPoints: return 20;
    case kLaneUnitPower: return 28;
    case kPushBlockDrop: return 20;
    default: return 0;
    }
}

std::optional<Record> Parse(const uint8_t* data, size_t bytes)
{
    if (!data || bytes < 4)
        return std::nullopt;
    PayloadReader in(data, bytes);
    Record r;
    r.id = in.I32();
    const int32_t length = RecordLength(r.id);
    if (length == 0 || bytes < static_cast<size_t>(length))
        return std::nullopt;
    if (length > 4)
        r.sender = in.U64();
    r.fields.assign(data + std::min<size_t>(12, static_cast<size_t>(length)), data + length);
    return r;
}

std::vector<uint8_t> Build(int32_t id, uint64_t sender, const PayloadWriter& fields)
{
    PayloadWriter out;
    const int32_t length = RecordLength(id);
    out.I32(length).I32(id);
    if (length > 4)
        out.U64(sender);
    std::vector<uint8_t> bytes = out.Bytes();
    bytes.insert(bytes.end(), fields.Bytes().begin(), fields.Bytes().end());
    // Exactly the record's length: short fields are zero-filled, extra bytes are left out.
    bytes.resize(static_cast<size_t>(length) + 4, 0);
    return bytes;
}

PayloadWriter Fields(const HpSync& m) { return PayloadWriter().I32(m.hostHp).I32(m.guestHp); }
PayloadWriter Fields(const ItemDrop& m) { return PayloadWriter().I32(m.kind).F32(m.x); }
PayloadWriter Fields(const FireRequest& m) { return PayloadWriter().I32(m.unused).I32(m.type).I32(m.count); }
PayloadWriter Fields(const AttackCreated& m)
{
    return PayloadWriter().I32(m.forRequester).U64(m.owner).I32(m.serial).I32(m.type).I32(m.count);
}
PayloadWriter Fields(const UnitsMet& m)
{
    PayloadWriter w;
    m.hostPlayerUnit.Write(w);
    w.I32(m.hostEnemyPower);
    m.hostEnemyUnit.Write(w);
    w.I32(m.hostPlayerPower);
    return w;
}
PayloadWriter Fields(const UnitHitMine& m)
{
    PayloadWriter w;
    m.unit.Write(w);
    m.mine.Write(w);
    return w;
}
PayloadWriter Fields(const UnitPower& m)
{
    PayloadWriter w;
    m.unit.Write(w);
    w.I32(m.power);
    return w;
}
PayloadWriter Fields(const PushLaneState& m)
{
    PayloadWriter w;
    const std::vector<uint8_t> bytes = m.Encode();
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4)
        w.U32(static_cast<uint32_t>(bytes[i]) | static_cast<uint32_t>(bytes[i + 1]) << 8 |
              static_cast<uint32_t>(bytes[i + 2]) << 16 | static_cast<uint32_t>(bytes[i + 3]) << 24);
    return w;
}

namespace {
PayloadReader FieldsOf(const Record& r, int32_t id, bool& ok)
{
    ok = r.id == id;
    return PayloadReader(r.fields.data(), r.fields.size());
}
} // namespace

bool Read(const Record& r, HpSync& out)
{
    bool ok;
    PayloadReader in = FieldsOf(r, kHpSync, ok);
    out.hostHp = in.I32();
    out.guestHp = in.I32();
    return ok && in.Ok();
}

bool Read(const Record& r, ItemDrop& out)
{
    bool ok;
    PayloadReader in = FieldsOf(r, kItemDrop, ok);
    out.kind = in.I32();
    out.x = in.F32();
    return ok && in.Ok() && out.kind >= 0 && out.kind <= 5 && std::isfinite(out.x);
}

bool Read(const Record& r, FireRequest& out)
{
    bool ok;
    PayloadReader in = FieldsOf(r, kFireRequest, ok);
    out.unused = in.I32();
    out.type = in.I32();
    out.count = in.I32();
    return ok && in.Ok() && out.type >= 0 && out.type <= 3;
}

bool Read(const Record& r, AttackCreated& out)
{
    bool ok;
    PayloadReader in = FieldsOf(r, kAttackCreated, ok);
    out.forRequester = in.I32();
    out.owner = in.U64();
    out.serial = in.I32();
    out.type = in.I32();
    out.count = in.I32();
    return ok && in.Ok() && out.type >= 0 && out.type <= 3;
}

bool Read(const Record& r, UnitsMet& out)
{
    bool ok;
    PayloadReader in = FieldsOf(r, kLaneUnitsMet, ok);
    out.hostPlayerUnit = NetBlockId::Read(in);
    out.hostEnemyPower = in.I32();
    out.hostEnemyUnit = NetBlockId::Read(in);
    out.hostPlayerPower = in.I32();
    return ok && in.Ok();
}

bool Read(const Record& r, UnitHitMine& out)
{
    bool ok;
    PayloadReader in = FieldsOf(r, kLaneUnitHitMine, ok);
    out.unit = NetBlockId::Read(in);
    out.mine = NetBlockId::Read(in);
    return ok && in.Ok();
}

bool Read(const Record& r, UnitPower& out)
{
    bool ok;
    PayloadReader in = FieldsOf(r, kLaneUnitPower, ok);
    out.unit = NetBlockId::Read(in);
    out.power = in.I32();
    return ok && in.Ok();
}

bool Read(const Record& r, PushLaneState& out)
{
    return r.id == kPushState && out.Decode(r.fields.data(), r.fields.size());
}

bool ReadInt(const Record& r, int index, int32_t& out)
{
    PayloadReader in(r.fields.data(), r.fields.size());
    for (int i = 0; i < index; ++i)
        in.I32();
    out = in.I32();
    return index >= 0 && in.Ok();
}

bool ReadRotate(const Record& r, int& direction)
{
    if (r.id != kRotate || r.fields.empty())
        return false;
    direction = static_cast<int8_t>(r.fields[0]);
    return direction == 1 || direction == -1;
}

bool ReadLayout(const Record& r, std::vector<uint16_t>& cells)
{
    if (r.id != kBoardLayout || r.fields.size() < 128)
        return false;
    PayloadReader in(r.fields.data(), r.fields.size());
    cells.resize(64);
    for (uint16_t& c : cells)
        c = in.U16();
    return in.Ok();
}

} // namespace netmsg
