#include "online/AttackLine_Multi.h"

#include "board/GameMessages.h"
#include "lane/LaneAssets.h"

#include <helvane/Log.h>

#include <algorithm>

namespace {

// Hit flashes of the online lane are centred 36 pixels left of the point they mark.
constexpr float kHitEffectShift = 36.0f;

void PostClash(LaneContext& context, uint64_t owner, int value)
{
    PayloadWriter payload;
    payload.U64(owner).I32(value);
    payload.PostTo(*context.messages, MSG_LANE_CLASH);
}

void PostPower(LaneContext& context, const AttackLineBlock& unit)
{
    PayloadWriter payload;
    unit.m_Id.Write(payload);
    payload.I32(unit.m_nPower);
    payload.PostTo(*context.messages, MSG_LANE_UNIT_POWER);
}

void SetPower(AttackLineBlock& unit, int power)
{
    unit.m_nPower = power;
    unit.m_fSpeed = AttackLine::SpeedForPower(power, unit.m_nKind);
}

AttackLineBlock* FindIn(std::vector<AttackLineBlock*>& units, const NetBlockId& id)
{
    for (AttackLineBlock* unit : units)
        if (unit->m_Id == id)
            return unit;
    return nullptr;
}

bool IsEnemy(const AttackLineBlock& unit)
{
    return unit.m_nSide != AttackLineBlock::kPlayerSide;
}

} // namespace

AttackLineBlock* AttackLine_Multi::FindBlock(AttackLine& lane, const NetBlockId& id)
{
    if (AttackLineBlock* unit = FindIn(lane.m_EnemyUnits, id))
        return unit;
    return FindIn(lane.m_PlayerUnits, id);
}

AttackLineMine* AttackLine_Multi::FindBarr(AttackLine& lane, const NetBlockId& id)
{
    for (AttackLineMine* mine : lane.m_Mines)
        if (mine->id == id)
            return mine;
    return nullptr;
}

void AttackLine_Multi::RemoveBlock(AttackLine& lane, AttackLineBlock* unit)
{
    for (auto* units : {&lane.m_EnemyUnits, &lane.m_PlayerUnits}) {
        auto it = std::find(units->begin(), units->end(), unit);
        if (it != units->end()) {
            units->erase(it);
            delete unit;
            return;
        }
    }
    DFLog(LOG_WARN, L"없는 블럭 아이디 입니다.");
}

void AttackLine_Multi::RemoveBarr(AttackLine& lane, AttackLineMine* mine)
{
    auto it = std::find(lane.m_Mines.begin(), lane.m_Mines.end(), mine);
    if (it == lane.m_Mines.end())
        return;
    lane.m_Mines.erase(it);
    delete mine;
}

// The own units walk towards the opponent's tower; one that reaches it is reported with its
// owner, kind and power and leaves the lane.
void AttackLine_Multi::MovePlayerLane(float seconds)
{
    const float step = SpeedFactor() * seconds;
    const LaneGeometry& g = Geometry();
    LaneContext& context = Context();
    for (size_t i = 0; i < m_PlayerUnits.size();) {
        AttackLineBlock* unit = m_PlayerUnits[i];
        unit->Update(step);
        const int power = unit->m_nPower;
        if (power > 0 && unit->m_fPosition > static_cast<float>(g.laneLength)) {
            PayloadWriter payload;
            payload.U64(unit->m_Id.owner).I32(unit->m_nKind).I32(power);
            payload.PostTo(*context.messages, MSG_ENEMY_TOWER_HIT);
            const float p = static_cast<float>(power);
            if (power < 30)
                context.sounds->Play(LaneSound::kAttackingBase1, false, 0.8f + 0.2f * p / 30.0f);
            else if (power >= 160)
                context.sounds->Play(LaneSound::kAttackingBase3, false, 0.8f + 0.2f * (p - 160.0f) / 190.0f);
            else
                context.sounds->Play(LaneSound::kAttackingBase2, false, 0.7f + 0.3f * (p - 30.0f) / 130.0f);
            context.sounds->Play(power >= 100 ? LaneSound::kAttackingVoice2 : LaneSound::kAttackingVoice1, false, -1.0f);
            m_HitEffect.Add(static_cast<float>(g.laneLeft) - kHitEffectShift, kHitEffectY);
            RemoveUnit(m_PlayerUnits, i);
        } else if (power <= 0) {
            RemoveUnit(m_PlayerUnits, i);
        } else {
            ++i;
        }
    }
}

// Only the host reports a meeting of the two front units, every frame in which they overlap;
// the guest learns of it from the host.
void AttackLine_Multi::ResolveClash(float)
{
    if (!m_bHost || m_PlayerUnits.empty() || m_EnemyUnits.empty())
        return;
    const AttackLineBlock* own = m_PlayerUnits.front();
    const AttackLineBlock* enemy = m_EnemyUnits.front();
    const LaneGeometry& g = Geometry();
    if (static_cast<float>(g.laneRight) - own->m_fPosition - enemy->m_fPosition - static_cast<float>(g.laneLeft) > 0.0f)
        return;
    PayloadWriter payload;
    enemy->m_Id.Write(payload);
    payload.I32(enemy->m_nPower);
    own->m_Id.Write(payload);
    payload.I32(own->m_nPower);
    payload.PostTo(*Context().messages, MSG_LANE_UNITS_MET);
}

// Both machines report a front unit past a mine it meets, every frame until the mine is gone.
void AttackLine_Multi::CheckMines(float)
{
    AttackLineBlock* enemyFront = nullptr;
    AttackLineBlock* ownFront = nullptr;
    GetFrontUnits(&enemyFront, &ownFront);
    for (const AttackLineMine* mine : m_Mines) {
        const AttackLineBlock* unit = mine->side == 1 ? ownFront : enemyFront;
        if (!unit || !(mine->position < unit->m_fPosition))
            continue;
        PayloadWriter payload;
        unit->m_Id.Write(payload);
        payload.I32(static_cast<int32_t>(mine->id.owner & 0xFFFFFFFFu))
            .I32(static_cast<int32_t>(mine->id.owner >> 32))
            .I32(mine->id.serial);
        payload.PostTo(*Context().messages, MSG_LANE_UNIT_HIT_MINE);
    }
}

void AttackLine_Multi::OnCollisionBlockToBlock(AttackLine_Multi& lane, const NetBlockId& ownId, const NetBlockId& enemyId)
{
    AttackLineBlock* own = FindBlock(lane, ownId);
    AttackLineBlock* enemy = FindBlock(lane, enemyId);
    DFLog(LOG_INFO, L"ID OnCollisionBlockToBarr Block Left ID = %d", enemyId.serial);
    DFLog(LOG_INFO, L"ID OnCollisionBlockToBarr Block Right ID = %d", ownId.serial);
    // A meeting whose partner is already gone here kills the one that remains, so a late
    // message never leaves a unit the host has destroyed.
    if (!own) {
        if (enemy)
            enemy->m_nPower = -1;
        DFLog(LOG_INFO, L"        No ID OnCollisionBlockToBarr Block Left ID = %d", enemyId.serial);
        return;
    }
    if (!enemy) {
        own->m_nPower = -1;
        DFLog(LOG_INFO, L"        No ID OnCollisionBlockToBarr Block Right ID = %d", ownId.serial);
        return;
    }

    // The float expressions stay exactly as written so that both machines reach the same result.
    const float m = ClashMultiplier(own->m_nKind, enemy->m_nKind);
    const float P = static_cast<float>(own->m_nPower);
    const float Q = static_cast<float>(enemy->m_nPower);
    int value = 0;
    const bool ownSafe = own->IsInvincible();
    const bool enemySafe = enemy->IsInvincible();
    if (ownSafe && enemySafe) {
        value = own->m_nPower;
        own->m_nPower = 0;
        enemy->m_nPower = 0;
    } else if (ownSafe) {
        value = enemy->m_nPower;
        enemy->m_nPower = 0;
    } else if (enemySafe) {
        own->m_nPower = 0;
    } else if (P == Q * m) {
        value = own->m_nPower;
        own->m_nPower = 0;
        enemy->m_nPower = 0;
    } else if (P > Q * m) {
        SetPower(*own, static_cast<int32_t>(P - Q * m));
        value = enemy->m_nPower;
        enemy->m_nPower = 0;
    } else {
        SetPower(*enemy, static_cast<int32_t>(Q - P / m));
        value = own->m_nPower;
        own->m_nPower = 0;
    }

    const LaneGeometry& g = lane.Geometry();
    const float x = (static_cast<float>(g.laneLeft) + enemy->m_fPosition + static_cast<float>(g.laneRight) - own->m_fPosition) / 2.0f;
    lane.m_HitEffect.Add(x - kHitEffectShift, kHitEffectY);
    LaneContext& context = lane.Context();
    context.sounds->Play(LaneSound::kVanteo, false, -1.0f);
    if (value > 0)
        PostClash(context, own->m_Id.owner, value);
    if (lane.IsHost()) {
        PostPower(context, *enemy);
        PostPower(context, *own);
    }
}

void AttackLine_Multi::OnCollisionBlockToBarr(const NetBlockId& unitId, const NetBlockId& mineId, AttackLine_Multi& lane)
{
    AttackLineBlock* unit = FindBlock(lane, unitId);
    AttackLineMine* mine = FindBarr(lane, mineId);
    DFLog(LOG_INFO, L"ID OnCollisionBlockToBarr Block ID = %d", unitId.serial);
    DFLog(LOG_INFO, L"ID OnCollisionBlockToBarr Barr ID = %d", mineId.serial);
    if (!unit) {
        if (mine)
            RemoveBarr(lane, mine);
        DFLog(LOG_INFO, L"      No ID OnCollisionBlockToBarr Block ID = %d", unitId.serial);
        return;
    }
    if (!mine) {
        unit->m_nPower = 0;
        DFLog(LOG_INFO, L"      No ID OnCollisionBlockToBarr Barr ID = %d", mineId.serial);
        return;
    }

    LaneContext& context = lane.Context();
    if (!unit->IsInvincible()) {
        const bool star = unit->m_nKind == AttackLineBlock::kStarKind;
        if (IsEnemy(*unit)) {
            if (star) {
                PostClash(context, unit->m_Id.owner, 100);
                context.sounds->Play(LaneSound::kRemovePin, false, -1.0f);
            } else {
                unit->AddState(new BlockState_AttackedTrap(unit));
                context.sounds->Play(LaneSound::kKillPin, false, -1.0f);
            }
        } else if (!star) {
            PostClash(context, mine->id.owner, unit->m_nPower);
            unit->AddState(new BlockState_AttackedTrap(unit));
            context.sounds->Play(LaneSound::kKillPin, false, -1.0f);
        }
    }
    RemoveBarr(lane, mine);
}

void AttackLine_Multi::ChangeBlockCount(const NetBlockId& unitId, int power, AttackLine_Multi& lane)
{
    DFLog(LOG_INFO, L"ChangeBlockCount ID = %d Count = %d", unitId.serial, power);
    AttackLineBlock* unit = FindBlock(lane, unitId);
    if (!unit) {
        DFLog(LOG_INFO, L"        No ID ChangeBlockCount ID = %d Count = %d", unitId.serial, power);
        return;
    }
    if (power == 0)
        RemoveBlock(lane, unit);
    else
        SetPower(*unit, power);
}
