#include "lane/AttackLine.h"

#include "engine/PlayerSettings.h"
#include "kv/KVWnd.h"

#include <helvane/Log.h>

#include <algorithm>

namespace {

// 1/1.2 is held as the float 0.8333333.
constexpr float kWeak = 0.8333333f;
// T[player kind + 4 x enemy kind]
constexpr float kClash[16] = {
    1.0f, 1.2f, kWeak, 1.0f, // enemy kind 0
    kWeak, 1.0f, 1.2f, 1.0f, // enemy kind 1
    1.2f, kWeak, 1.0f, 1.0f, // enemy kind 2
    1.0f, 1.0f, 1.0f, 1.0f, // enemy kind 3
};

kv::KVWnd* FindIn(kv::KVWnd* root, const wchar_t* name)
{
    if (!root)
        return nullptr;
    if (root->GetName() == name)
        return root;
    return root->FindChild(name);
}

bool SideIsCrazy(const std::vector<AttackLineBlock*>& units)
{
    for (const AttackLineBlock* unit : units) {
        if (unit->m_nPower < AttackLine::kCrazyPower)
            continue;
        const auto* crazy = static_cast<const BlockState_Crazy*>(unit->FindCrazyState());
        if (!crazy || crazy->m_bStrong)
            return true;
    }
    return false;
}

void SortFrontFirst(std::vector<AttackLineBlock*>& units)
{
    std::stable_sort(units.begin(), units.end(),
                     [](const AttackLineBlock* a, const AttackLineBlock* b) { return a->m_fPosition > b->m_fPosition; });
}

void SortWeakestFirst(std::vector<AttackLineBlock*>& units)
{
    std::stable_sort(units.begin(), units.end(),
                     [](const AttackLineBlock* a, const AttackLineBlock* b) { return a->m_nPower < b->m_nPower; });
}

D3DXMATRIX Translation(float x, float y)
{
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, 0.0f);
    return m;
}

} // namespace

AttackLine::AttackLine(const LaneContext& context) : m_Context(context)
{
    // Builds a unit with the two overlay states once, so their animation files are read
    // before play.
    auto* unit = new AttackLineBlock(m_Context);
    delete new BlockState_Crazy(unit);
    delete new BlockState_Invincible(unit);
    delete unit;
}

AttackLine::~AttackLine()
{
    ClearUnits();
    ClearMines();
}

void AttackLine::Bind(kv::KVWnd* root)
{
    m_DrawHooks[0].Hang<AttackLine>(FindIn(root, L"Pic_chattackline"), L"Draw", this, &AttackLine::DrawLane);
    m_DrawHooks[1].Hang<AttackLine>(FindIn(root, L"Pic_effectLine"), L"Draw", this, &AttackLine::DrawEffectLine);
    m_DrawHooks[2].Hang<AttackLine>(FindIn(root, L"Pic_crazy_user"), L"Draw", this, &AttackLine::DrawOverlays);
    m_pRoot = root;
    m_pLaneWnd = FindIn(root, L"Pic_chattackline");
    if (m_pLaneWnd) {
        const kv::KVRect rect = m_pLaneWnd->GetAbsoluteRect();
        LaneGeometry& g = m_Context.geometry;
        g.laneLeft = static_cast<int32_t>(rect.left);
        g.laneRight = static_cast<int32_t>(rect.right);
        g.laneLength = static_cast<int32_t>(rect.right - rect.left);
        m_fBaselineY = rect.bottom;
    }

    delete new AttackLineBlock(m_Context);
    LoadLaneAnimations();

    const wchar_t* crazyWindows[2] = {L"Pic_crazy_user", L"Pic_crazy_enemy"};
    for (int i = 0; i < 2; ++i) {
        kv::KVWnd* window = FindIn(root, crazyWindows[i]);
        if (!window)
            continue;
        AnimationPlayer& display = m_Anim[kAnimPlayerCrazy + i];
        display.Load(GetSkinFileName(LaneSkin::kPlayerEffectCrazy));
        display.m_bVisible = false;
        display.m_bLoop = true;
        const kv::KVPoint at = window->GetAbsolutePosition();
        D3DXMatrixTranslation(&display.m_matWorld, at.x, at.y, 0.0f);
    }
}

void AttackLine::LoadLaneAnimations()
{
    for (int kind = 0; kind < kItemKindCount; ++kind)
        m_Anim[kind].Load(GetSkinFileName(LaneSkin::kItemHpPlus + kind));
    m_Anim[kAnimPlayerLaunch].Load(GetSkinFileName(LaneSkin::kAttackEffectUser));
    m_Anim[kAnimEnemyLaunch].Load(GetSkinFileName(LaneSkin::kAttackEffectEnemy));
}

void AttackLine::Reset()
{
    m_nSpeedLevel = 0;
    ClearMines();
    ClearUnits();
    m_Context.sounds->Stop(LaneSound::kCrazyLoopUser);
    m_Context.sounds->Stop(LaneSound::kCrazyLoopCom);
    m_bCrazyShown[0] = m_bCrazyShown[1] = false;
    m_Anim[kAnimPlayerCrazy].m_bVisible = false;
    m_Anim[kAnimEnemyCrazy].m_bVisible = false;
    m_HitEffect.Clear();
    m_fItemFallTime = -1.0f;
    m_bItemLanded = 0;
    m_nItemAdd = 0;
    m_nItemFactor = 1;
}

void AttackLine::ClearMines()
{
    for (AttackLineMine* mine : m_Mines)
        delete mine;
    m_Mines.clear();
}

void AttackLine::ClearUnits()
{
    for (AttackLineBlock* unit : m_PlayerUnits)
        delete unit;
    m_PlayerUnits.clear();
    for (AttackLineBlock* unit : m_EnemyUnits)
        delete unit;
    m_EnemyUnits.clear();
}

float AttackLine::SpeedFactor() const
{
    return m_fSpeedFactors[std::clamp(m_nSpeedLevel, 0, kSpeedLevelCount - 1)];
}

void AttackLine::Update(float seconds)
{
    if (m_fItemFallTime > 0.0f) {
        m_fItemFallTime -= seconds;
        // Landing at exactly 0 too, so an item whose fall runs out to the last bit still lands.
        if (m_fItemFallTime <= 0.0f) {
            m_fItemFallTime = 0.0f;
            m_bItemLanded = 1;
        }
    }
    for (int i = kAnimPlayerLaunch; i <= kAnimEnemyCrazy; ++i)
        m_Anim[i].Update(seconds);
    if (m_bItemLanded)
        m_Anim[std::clamp(m_nItemKind, 0, kItemKindCount - 1)].Update(seconds);
    for (AttackLineMine* mine : m_Mines) {
        mine->body.Update(seconds);
        mine->effect.Update(seconds);
    }
    m_HitEffect.Update(seconds);

    MovePlayerLane(seconds);
    MoveEnemyLane(seconds);
    SortByPosition();
    ResolveClash(seconds);
    CheckMines(seconds);
    UpdateCrazyMode();
}

void AttackLine::SortByPosition()
{
    SortFrontFirst(m_PlayerUnits);
    SortFrontFirst(m_EnemyUnits);
}

// Launching.

AttackLineBlock* AttackLine::LaunchPlayer(int power, int kind)
{
    if (kind < 0 || kind >= AttackLineBlock::kKindCount) {
        DFLog(LOG_WARN, L"AttackLine: player unit of kind %d refused", kind);
        return nullptr;
    }
    auto* unit = new AttackLineBlock(m_Context);
    unit->m_fPosition = 0.0f;
    unit->m_fBaselineY = m_fBaselineY;
    unit->m_nKind = kind;
    unit->m_nPower = power;
    unit->m_nSide = AttackLineBlock::kPlayerSide;
    unit->m_fSpeed = SpeedForPower(power, kind);
    if (kind != AttackLineBlock::kStarKind)
        PlayLaunchSound(power, AttackLineBlock::kPlayerSide);
    m_PlayerUnits.push_back(unit);
    m_Anim[kAnimPlayerLaunch].Play("attack_user");
    return unit;
}

AttackLineBlock* AttackLine::LaunchEnemy(int power, int kind, int invincible)
{
    if (kind < 0 || kind >= AttackLineBlock::kKindCount) {
        DFLog(LOG_WARN, L"AttackLine: enemy unit of kind %d refused", kind);
        return nullptr;
    }
    auto* unit = new AttackLineBlock(m_Context);
    unit->m_fPosition = 0.0f;
    unit->m_fBaselineY = m_fBaselineY;
    unit->m_nKind = kind;
    unit->m_nPower = power;
    unit->m_nSide = AttackLineBlock::kEnemySide;
    unit->m_fSpeed = std::max(SpeedForPower(power, kind), 5.0f);
    if (invincible == 1) {
        auto* state = new BlockState_Invincible(unit);
        m_Context.sounds->Play(LaneSound::kInvinsible);
        unit->AddState(state);
    }
    if (kind != AttackLineBlock::kStarKind)
        PlayLaunchSound(power, AttackLineBlock::kEnemySide);
    m_EnemyUnits.push_back(unit);
    m_Anim[kAnimEnemyLaunch].Play("attack_enemy");
    return unit;
}

void AttackLine::PlayLaunchSound(int power, int side)
{
    const bool player = side == AttackLineBlock::kPlayerSide;
    const float p = static_cast<float>(power);
    int key;
    float volume;
    if (power >= 400) {
        key = player ? LaneSound::kGoCrazyUser : LaneSound::kGoCrazyCom;
        volume = -1.0f;
    } else if (power >= 200) {
        key = player ? LaneSound::kGoBigUser : LaneSound::kGoBigCom;
        volume = 1.0f - 0.3f * (400.0f - p) / 200.0f;
    } else if (power >= 31) {
        key = player ? LaneSound::kGoUser : LaneSound::kGoCom;
        volume = 1.0f - 0.3f * (200.0f - p) / 170.0f;
    } else {
        key = player ? LaneSound::kGoSmallUser : LaneSound::kGoSmallCom;
        volume = 1.0f - 0.2f * (30.0f - p) / 30.0f;
    }
    // A volume of 0 or less keeps the sound's own.
    m_Context.sounds->Play(key, false, volume > 0.0f ? volume : -1.0f);
}

// Moving and arriving.

void AttackLine::RemoveUnit(std::vector<AttackLineBlock*>& units, size_t index)
{
    delete units[index];
    units.erase(units.begin() + static_cast<std::ptrdiff_t>(index));
}

void AttackLine::MovePlayerLane(float seconds)
{
    MoveSide(m_PlayerUnits, seconds);
}

void AttackLine::MoveEnemyLane(float seconds)
{
    MoveSide(m_EnemyUnits, seconds);
}

void AttackLine::MoveSide(std::vector<AttackLineBlock*>& units, float seconds)
{
    const float step = SpeedFactor() * seconds;
    const float length = static_cast<float>(m_Context.geometry.laneLength);
    for (size_t i = 0; i < units.size();) {
        AttackLineBlock* unit = units[i];
        unit->Update(step);
        if (unit->m_nPower <= 0) {
            RemoveUnit(units, i);
        } else if (unit->m_fPosition > length) {
            ArriveAtTower(unit);
            RemoveUnit(units, i);
        } else {
            ++i;
        }
    }
}

void AttackLine::ArriveAtTower(AttackLineBlock* unit)
{
    const bool player = unit->m_nSide == AttackLineBlock::kPlayerSide;
    const int power = unit->m_nPower;
    const float p = static_cast<float>(power);
    int base;
    float volume;
    if (power < 30) {
        base = player ? LaneSound::kAttackingBase1 : LaneSound::kAttackedBase1;
        volume = 0.8f + 0.2f * p / 30.0f;
    } else if (power < 160) {
        base = player ? LaneSound::kAttackingBase2 : LaneSound::kAttackedBase2;
        volume = 0.7f + 0.3f * (p - 30.0f) / 130.0f;
    } else {
        base = player ? LaneSound::kAttackingBase3 : LaneSound::kAttackedBase3;
        volume = 0.8f + 0.2f * (p - 160.0f) / 190.0f;
    }
    m_Context.sounds->Play(base, false, volume);
    const int voice = power < 100 ? (player ? LaneSound::kAttackingVoice1 : LaneSound::kAttackedVoice1)
                                  : (player ? LaneSound::kAttackingVoice2 : LaneSound::kAttackedVoice2);
    m_Context.sounds->Play(voice, false, -1.0f);

    const LaneGeometry& g = m_Context.geometry;
    m_HitEffect.Add(static_cast<float>((player ? g.laneLeft : g.laneRight) - 45), kHitEffectY);
    PayloadWriter payload;
    if (player) {
        // The owner words carry the unit's owner: 0 for every unit of the single-player lane.
        payload.U64(unit->m_Id.owner).I32(unit->m_nKind).I32(power);
        payload.PostTo(*m_Context.messages, MSG_ENEMY_TOWER_HIT);
    } else {
        payload.I32(unit->m_nKind).I32(power);
        payload.PostTo(*m_Context.messages, MSG_PLAYER_TOWER_HIT);
    }
}

// Clashes.

float AttackLine::ClashMultiplier(int kindA, int kindB)
{
    if (kindA < 0 || kindA > 3 || kindB < 0 || kindB > 3)
        return 1.0f;
    return kClash[kindA + 4 * kindB];
}

void AttackLine::ResolveClash(float)
{
    const LaneGeometry& g = m_Context.geometry;
    while (!m_PlayerUnits.empty() && !m_EnemyUnits.empty()) {
        AttackLineBlock* player = m_PlayerUnits.front();
        AttackLineBlock* enemy = m_EnemyUnits.front();
        if (static_cast<float>(g.laneRight) - player->m_fPosition - enemy->m_fPosition - static_cast<float>(g.laneLeft) > 0.0f)
            break;

        const float f = ClashMultiplier(player->m_nKind, enemy->m_nKind);
        const float P = static_cast<float>(player->m_nPower);
        const float E = static_cast<float>(enemy->m_nPower);
        m_Context.sounds->Play(LaneSound::kVanteo, false, -1.0f);
        const float mid = ((static_cast<float>(g.laneRight) - player->m_fPosition) +
                           (static_cast<float>(g.laneLeft) + enemy->m_fPosition)) / 2.0f;
        m_HitEffect.Add(mid - 45.0f, kHitEffectY);

        const bool playerSafe = player->IsInvincible();
        const bool enemySafe = enemy->IsInvincible();
        const float enemyScaled = E * f;
        bool removePlayer = false;
        bool removeEnemy = false;
        if (playerSafe && enemySafe) {
            removePlayer = removeEnemy = true;
        } else if (playerSafe) {
            removeEnemy = true;
        } else if (enemySafe) {
            removePlayer = true;
        } else if (P == enemyScaled) {
            removePlayer = removeEnemy = true;
        } else if (P > enemyScaled) {
            player->m_nPower = static_cast<int32_t>(P - enemyScaled);
            player->m_fSpeed = SpeedForPower(player->m_nPower, player->m_nKind);
            removeEnemy = true;
            removePlayer = player->m_nPower == 0;
        } else {
            enemy->m_nPower = static_cast<int32_t>(E - P / f);
            enemy->m_fSpeed = SpeedForPower(enemy->m_nPower, enemy->m_nKind);
            removePlayer = true;
            removeEnemy = enemy->m_nPower == 0;
        }
        if (removePlayer)
            RemoveUnit(m_PlayerUnits, 0);
        if (removeEnemy)
            RemoveUnit(m_EnemyUnits, 0);
    }
}

// Mines.

void AttackLine::CheckMines(float)
{
    AttackLineBlock* enemyFront = nullptr;
    AttackLineBlock* playerFront = nullptr;
    GetFrontUnits(&enemyFront, &playerFront);

    for (size_t i = 0; i < m_Mines.size(); ++i) {
        AttackLineMine* mine = m_Mines[i];
        AttackLineBlock* unit = mine->side == 1 ? playerFront : enemyFront;
        if (!unit || !(mine->position < unit->m_fPosition))
            continue;
        if (unit->m_nKind != AttackLineBlock::kStarKind) {
            if (!unit->IsInvincible()) {
                unit->AddState(new BlockState_AttackedTrap(unit));
                m_Context.sounds->Play(LaneSound::kKillPin, false, -1.0f);
            }
        } else {
            m_Context.sounds->Play(LaneSound::kRemovePin, false, -1.0f);
            unit->m_Effect.Play("remove");
        }
        delete mine;
        m_Mines.erase(m_Mines.begin() + static_cast<std::ptrdiff_t>(i));
        return;
    }
}

AttackLineMine* AttackLine::NewMine(int side, int serial, int ownerLow, int ownerHigh)
{
    auto* mine = new AttackLineMine;
    mine->side = side;
    mine->body.Load(GetSkinFileName(side == 0 ? LaneSkin::kMineUser : LaneSkin::kMineEnemy));
    mine->body.Play("item_drop", "item_hold");
    mine->effect.Load(GetSkinFileName(LaneSkin::kBlockEffectMsg));
    mine->effect.Play(side == 0 ? "mine" : "mine_enemy");
    mine->id.serial = serial == -1 ? m_Context.serials.NextMine() : serial;
    mine->id.owner = (static_cast<uint64_t>(static_cast<uint32_t>(ownerHigh)) << 32) | static_cast<uint32_t>(ownerLow);
    return mine;
}

AttackLineMine* AttackLine::PlaceMine(int serial, int ownerLow, int ownerHigh)
{
    AttackLineMine* mine = NewMine(0, serial, ownerLow, ownerHigh);
    const float last = static_cast<float>(m_Context.geometry.laneLength - 10);
    float position;
    if (!m_EnemyUnits.empty()) {
        position = m_EnemyUnits.front()->m_fPosition + 100.0f;
    } else {
        position = FirstFreeMineSpot(100.0f, last, false);
    }
    mine->position = std::max(std::min(position, last), 10.0f);
    m_Mines.push_back(mine);
    return mine;
}

float AttackLine::FirstFreeMineSpot(float position, float last, bool enemySide) const
{
    while (!(enemySide ? IsEnemyMineSpotFree(position) : IsPlayerMineSpotFree(position))) {
        position += 5.0f;
        if (position > last)
            return last;
    }
    return position;
}

AttackLineMine* AttackLine::PlaceEnemyMine(int offset, int serial, int ownerLow, int ownerHigh)
{
    AttackLineMine* mine = NewMine(1, serial, ownerLow, ownerHigh);
    const float last = static_cast<float>(m_Context.geometry.laneLength - 10);
    float position;
    if (!m_PlayerUnits.empty()) {
        position = m_PlayerUnits.front()->m_fPosition + 100.0f + static_cast<float>(offset);
    } else {
        position = FirstFreeMineSpot(static_cast<float>(offset) + 100.0f, last, true);
    }
    mine->position = std::max(std::min(position, last), 5.0f);
    m_Mines.push_back(mine);
    return mine;
}

bool AttackLine::IsPlayerMineSpotFree(float position) const
{
    return std::none_of(m_Mines.begin(), m_Mines.end(), [&](const AttackLineMine* mine) {
        return mine->side == 0 && std::abs(mine->position - position) < 0.5f;
    });
}

bool AttackLine::IsEnemyMineSpotFree(float position) const
{
    return std::none_of(m_Mines.begin(), m_Mines.end(), [&](const AttackLineMine* mine) {
        return mine->side == 1 && std::abs(mine->position - position) < 0.5f;
    });
}

// Fronts, stuns, crazy mode, the end.

void AttackLine::GetFrontUnits(AttackLineBlock** enemyFront, AttackLineBlock** playerFront) const
{
    if (enemyFront)
        *enemyFront = m_EnemyUnits.empty() ? nullptr : m_EnemyUnits.front();
    if (playerFront)
        *playerFront = m_PlayerUnits.empty() ? nullptr : m_PlayerUnits.front();
}

float AttackLine::FrontGap() const
{
    const float player = m_PlayerUnits.empty() ? 0.0f : m_PlayerUnits.front()->m_fPosition;
    const float enemy = m_EnemyUnits.empty() ? 0.0f : m_EnemyUnits.front()->m_fPosition;
    return std::abs((static_cast<float>(m_Context.geometry.laneLength) - player) - enemy);
}

void AttackLine::ClearEnemyLaneStuns()
{
    for (AttackLineBlock* unit : m_EnemyUnits)
        unit->RemoveStates(AttackLineBlockState::kStun);
}

void AttackLine::ClearPlayerLaneStuns()
{
    for (AttackLineBlock* unit : m_PlayerUnits)
        unit->RemoveStates(AttackLineBlockState::kStun);
}

void AttackLine::StunSide(std::vector<AttackLineBlock*>& units, bool crazy, int jumpSound)
{
    for (AttackLineBlock* unit : units) {
        if (crazy) {
            unit->Walk().Play("ch_win", "ch_walk");
            unit->m_Effect.Play("jump");
            m_Context.sounds->Play(jumpSound, false, -1.0f);
        } else {
            unit->AddState(new BlockState_Stun(unit));
            m_Context.sounds->Play(LaneSound::kSlip, false, -1.0f);
        }
    }
}

void AttackLine::StunEnemyLane()
{
    StunSide(m_EnemyUnits, IsEnemyLaneCrazy(), LaneSound::kCrazyJumpCom);
}

void AttackLine::StunPlayerLane()
{
    StunSide(m_PlayerUnits, IsPlayerLaneCrazy(), LaneSound::kCrazyJumpUser);
}

bool AttackLine::IsEnemyLaneCrazy() const
{
    return SideIsCrazy(m_EnemyUnits);
}

bool AttackLine::IsPlayerLaneCrazy() const
{
    return SideIsCrazy(m_PlayerUnits);
}

void AttackLine::UpdateCrazyMode()
{
    const bool crazy[2] = {IsPlayerLaneCrazy(), IsEnemyLaneCrazy()};
    std::vector<AttackLineBlock*>* sides[2] = {&m_PlayerUnits, &m_EnemyUnits};
    for (int s = 0; s < 2; ++s) {
        for (AttackLineBlock* unit : *sides[s]) {
            if (!crazy[s])
                unit->RemoveStates(AttackLineBlockState::kCrazy);
            else if (!unit->FindCrazyState())
                unit->AddState(new BlockState_Crazy(unit));
        }
    }

    // The displays, enemy side first. Whether a display is on is remembered by the lane, so a
    // muted or missing loop sound neither restarts the display every frame nor hides it.
    struct Display {
        int side;
        int sound;
        int anim;
    };
    const Display displays[2] = {{1, LaneSound::kCrazyLoopCom, kAnimEnemyCrazy},
                                 {0, LaneSound::kCrazyLoopUser, kAnimPlayerCrazy}};
    for (const Display& d : displays) {
        AnimationPlayer& display = m_Anim[d.anim];
        if (crazy[d.side] && !m_bCrazyShown[d.side]) {
            m_bCrazyShown[d.side] = true;
            m_Context.sounds->Play(d.sound, true, -1.0f);
            display.Play("crazy_in", "crazy_hold");
            display.m_bVisible = true;
            display.m_bLoop = true;
        } else if (!crazy[d.side] && m_bCrazyShown[d.side]) {
            m_bCrazyShown[d.side] = false;
            m_Context.sounds->Stop(d.sound);
            display.Play("crazy_out");
            display.m_bLoop = false;
        }
    }
}

void AttackLine::EndGame(int enemyWon)
{
    std::vector<AttackLineBlock*>& winners = enemyWon == 0 ? m_PlayerUnits : m_EnemyUnits;
    std::vector<AttackLineBlock*>& losers = enemyWon == 0 ? m_EnemyUnits : m_PlayerUnits;
    for (AttackLineBlock* unit : winners) {
        unit->Walk().Play("ch_win");
        unit->m_bWon = 1;
    }
    for (AttackLineBlock* unit : losers) {
        unit->Walk().Play("ch_fall");
        unit->m_bLost = 1;
    }
    m_Context.sounds->Stop(LaneSound::kCrazyLoopUser);
    m_Context.sounds->Stop(LaneSound::kCrazyLoopCom);
}

// Items.

void AttackLine::DropItem(int kind, float x)
{
    if (m_bItemLanded)
        return;
    if (kind < 0 || kind >= kItemKindCount) {
        DFLog(LOG_WARN, L"AttackLine: item of kind %d refused", kind);
        return;
    }
    m_nItemKind = kind;
    m_nItemAdd = kind == 0 ? 100 : kind == 1 ? -50 : 0;
    m_nItemFactor = kind == 0 || kind == 1 ? 1 : kind == 3 ? 4 : 2;
    m_fItemX = x;
    m_fItemFallTime = 0.2f;
    m_bItemLanded = 0;
    m_Anim[kind].Play("item_drop", "item_hold");
    m_Context.sounds->Play(LaneSound::kItemDrop, false, -1.0f);
}

float AttackLine::ItemDropX(int laneLeft, float enemyFrontPosition, float gap, int enemyHp, int playerHp)
{
    const float e = static_cast<float>(std::max(enemyHp, 0));
    const float p = static_cast<float>(std::max(playerHp, 0));
    const float share = e + p > 0.0f ? e / (e + p) : 0.5f;
    return static_cast<float>(laneLeft) + enemyFrontPosition + gap * (0.6f * share + 0.2f);
}

float AttackLine::SpeedForPower(int power, int kind)
{
    float speed;
    if (power <= 32)
        speed = 100.0f;
    else if (power <= 48)
        speed = 85.0f;
    else if (power <= 64)
        speed = 70.0f;
    else if (power <= 80)
        speed = 55.0f;
    else if (power <= 100)
        speed = 40.0f;
    else
        speed = std::max(40.0f - static_cast<float>(power - 100) / 15.0f, 5.0f);
    return kind == AttackLineBlock::kStarKind ? speed * 2.0f : speed;
}

// Drawing.

void AttackLine::DrawLane(kv::EventArgs&)
{
    DrawLane();
}

void AttackLine::DrawEffectLine(kv::EventArgs&)
{
    DrawEffectLine();
}

void AttackLine::DrawOverlays(kv::EventArgs&)
{
    DrawOverlays();
}

float AttackLine::MineScreenX(const AttackLineMine& mine) const
{
    const LaneGeometry& g = m_Context.geometry;
    return mine.side == 0 ? static_cast<float>(g.laneLeft) + mine.position
                          : static_cast<float>(g.laneRight) - mine.position;
}

void AttackLine::DrawLane()
{
    for (AttackLineMine* mine : m_Mines) {
        const D3DXMATRIX at = Translation(MineScreenX(*mine), kMineY);
        mine->body.Draw(&at);
    }
    // The weakest unit of a side comes out on top.
    SortWeakestFirst(m_EnemyUnits);
    SortWeakestFirst(m_PlayerUnits);
    // Every unit is drawn as its first state shows it (its walking animation and the state's
    // overlay), in three layers: walking animations, then badges, then power numbers, digit by
    // digit. Badges hang below the baseline, so the layers keep the look of drawing unit by unit
    // while the badges and each digit's sprites share a picture and reach the device in one
    // batch each.
    auto eachUnit = [this](auto&& draw) {
        for (size_t i = m_EnemyUnits.size(); i-- > 0;)
            draw(m_EnemyUnits[i]);
        for (size_t i = m_PlayerUnits.size(); i-- > 0;)
            draw(m_PlayerUnits[i]);
    };
    eachUnit([](AttackLineBlock* unit) {
        unit->DrawBody();
        if (AttackLineBlockState* state = unit->FirstState())
            state->DrawOverlay();
    });
    eachUnit([](AttackLineBlock* unit) { unit->DrawBadge(); });
    for (int digit = 0; digit <= 9; ++digit)
        eachUnit([digit](AttackLineBlock* unit) { unit->DrawPowerDigit(digit); });
    SortByPosition();

    if (m_fItemFallTime > 0.0f || m_bItemLanded) {
        AnimationPlayer& item = m_Anim[std::clamp(m_nItemKind, 0, kItemKindCount - 1)];
        int w = 0, h = 0;
        item.GetSize(&w, &h);
        const D3DXMATRIX at = Translation(m_fItemX, m_fBaselineY - static_cast<float>(h));
        item.Draw(&at);
    }
    const D3DXMATRIX origin = Translation(0.0f, 0.0f);
    m_Anim[kAnimPlayerLaunch].Draw(&origin);
    m_Anim[kAnimEnemyLaunch].Draw(&origin);
}

void AttackLine::DrawOverlays()
{
    m_Anim[kAnimPlayerCrazy].Draw(nullptr);
    m_Anim[kAnimEnemyCrazy].Draw(nullptr);
    for (size_t i = m_EnemyUnits.size(); i-- > 0;)
        m_EnemyUnits[i]->DrawEffect();
    for (size_t i = m_PlayerUnits.size(); i-- > 0;)
        m_PlayerUnits[i]->DrawEffect();
    for (AttackLineMine* mine : m_Mines) {
        const D3DXMATRIX at = Translation(MineScreenX(*mine), kMineY);
        mine->body.Draw(&at);
        mine->effect.Draw(&at);
    }
}

void AttackLine::DrawEffectLine()
{
    m_HitEffect.Draw(nullptr);
}
