#include "lane/AttackLineBlock.h"

#include "lane/LaneAssets.h"
#include "engine/PlayerSettings.h"

#include <algorithm>

namespace {

constexpr int kBadgeMargin = 42;
constexpr int kPowerBoxWidth = 30;

D3DCOLOR ColourFromTrack(const D3DXCOLOR& c)
{
    auto channel = [](float v) { return static_cast<uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    return D3DCOLOR_ARGB(channel(c.a), channel(c.r), channel(c.g), channel(c.b));
}

// translation (ox, oy), scaling (s, s, 1), translation (x, y)
D3DXMATRIX PlaceScaled(float ox, float oy, float s, float x, float y)
{
    D3DXMATRIX origin, scale, place;
    D3DXMatrixTranslation(&origin, ox, oy, 0.0f);
    D3DXMatrixScaling(&scale, s, s, 1.0f);
    D3DXMatrixTranslation(&place, x, y, 0.0f);
    D3DXMatrixMultiply(&origin, &origin, &scale);
    D3DXMatrixMultiply(&origin, &origin, &place);
    return origin;
}

void LoadOverlay(AnimationPlayer& player, int skinEntry)
{
    player.Load(GetSkinFileName(skinEntry));
    player.Play("ch_hero");
    player.m_bLoop = true;
}

// Draws a state's overlay over the unit, scaled with it; its bottom edge lies at
// baseline - (walking height) + (overlay height).
void DrawScaledOverlay(AttackLineBlock& unit, AnimationPlayer& overlay)
{
    int w = 0, h = 0, ow = 0, oh = 0;
    unit.Walk().GetSize(&w, &h);
    overlay.GetSize(&ow, &oh);
    const bool player = unit.m_nSide == AttackLineBlock::kPlayerSide;
    const D3DXMATRIX world = PlaceScaled(player ? 0.0f : -static_cast<float>(ow), -static_cast<float>(oh),
                                         unit.DrawScale(), unit.ScreenX(),
                                         unit.m_fBaselineY - static_cast<float>(h) + static_cast<float>(oh));
    overlay.Draw(&world);
}

} // namespace

AttackLineBlock::AttackLineBlock(LaneContext& context) : m_pContext(&context)
{
    m_Id.owner = 0;
    m_Id.serial = context.serials.NextUnit();
    LoadAnimations();
}

AttackLineBlock::~AttackLineBlock()
{
    // States first: their destructors give back what they changed on the unit.
    while (!m_States.empty())
        m_States.pop_back();
}

void AttackLineBlock::LoadAnimations()
{
    for (int i = 0; i < 8; ++i) {
        const int entry = i < 4 ? LaneSkin::kAttackBlockUser1 + i : LaneSkin::kAttackBlockEnemy1 + (i - 4);
        m_Walk[i].Load(GetSkinFileName(entry));
        m_Walk[i].Play("ch_walk");
        m_Walk[i].m_bLoop = true;
    }
    m_Badge[0].Load(GetSkinFileName(LaneSkin::kAttackBlockUserCount));
    m_Badge[1].Load(GetSkinFileName(LaneSkin::kAttackBlockEnemyCount));
    for (AnimationPlayer& badge : m_Badge) {
        badge.Play("Default");
        badge.m_bLoop = true;
    }
    m_Effect.Load(GetSkinFileName(LaneSkin::kBlockEffectMsg));
    m_PowerDisplay.Create(3, LaneSkin::kDigitStyleAttackLine, 0, 0, kPowerBoxWidth, 0, 0);
}

int AttackLineBlock::KindIndex() const
{
    return std::clamp(m_nKind, 0, kKindCount - 1);
}

AnimationPlayer& AttackLineBlock::Walk()
{
    return m_Walk[(m_nSide == kPlayerSide ? 0 : 4) + KindIndex()];
}

int AttackLineBlock::WalkSkinEntry() const
{
    return (m_nSide == kPlayerSide ? LaneSkin::kAttackBlockUser1 : LaneSkin::kAttackBlockEnemy1) + KindIndex();
}

float AttackLineBlock::ScreenX() const
{
    const LaneGeometry& g = m_pContext->geometry;
    return m_nSide == kPlayerSide ? static_cast<float>(g.laneRight) - m_fPosition
                                  : static_cast<float>(g.laneLeft) + m_fPosition;
}

float AttackLineBlock::DrawScale() const
{
    return static_cast<float>(m_nPower) / 100.0f * 0.8f + 0.2f;
}

float AttackLineBlock::BadgeX()
{
    int w = 0, h = 0, bw = 0, bh = 0;
    Walk().GetSize(&w, &h);
    m_Badge[m_nSide == kPlayerSide ? 0 : 1].GetSize(&bw, &bh);
    const float half = static_cast<float>(w - kBadgeMargin) * DrawScale() / 2.0f;
    const float x = ScreenX();
    if (m_nSide == kPlayerSide)
        return x + half - static_cast<float>(bw) / 2.0f;
    return x - (half + static_cast<float>(bw) / 2.0f);
}

void AttackLineBlock::Update(float seconds)
{
    for (AnimationPlayer& walk : m_Walk)
        walk.Update(seconds);
    m_Effect.Update(seconds);
    if (m_bWon || m_bLost)
        return;

    m_fPosition += m_fSpeed * seconds;
    for (size_t i = 0; i < m_States.size();) {
        m_States[i]->Update(seconds);
        if (m_States[i]->m_bFinished)
            m_States.erase(m_States.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
    m_PowerDisplay.SetValue(m_nPower);
    m_PowerDisplay.Update(seconds);
}

void AttackLineBlock::Draw()
{
    DrawBody();
    DrawBadge();
    DrawPower();
}

void AttackLineBlock::DrawBody()
{
    int w = 0, h = 0;
    AnimationPlayer& walk = Walk();
    walk.GetSize(&w, &h);
    const bool player = m_nSide == kPlayerSide;
    const D3DXMATRIX body = PlaceScaled(player ? 0.0f : -static_cast<float>(w), -static_cast<float>(h), DrawScale(),
                                        ScreenX(), m_fBaselineY);
    walk.Draw(&body);
}

void AttackLineBlock::DrawBadge()
{
    D3DXMATRIX at;
    D3DXMatrixTranslation(&at, BadgeX(), m_fBaselineY, 0.0f);
    m_Badge[m_nSide == kPlayerSide ? 0 : 1].Draw(&at);
}

void AttackLineBlock::DrawPower()
{
    DrawPowerDigit(-1);
}

void AttackLineBlock::DrawPowerDigit(int digit)
{
    // The badge's number track places and colours the digits; without it they sit on the
    // badge's top-left corner in white.
    const bool player = m_nSide == kPlayerSide;
    AnimationPlayer& badge = m_Badge[player ? 0 : 1];
    D3DXVECTOR3 offset{0.0f, 0.0f, 0.0f};
    D3DCOLOR colour = 0xFFFFFFFF;
    if (LocusKeyTRSC* track = badge.GetTrack("Default", player ? "ani_Pic_ch_num_user" : "ani_Pic_ch_num_enemy")) {
        track->GetTranslationInterval(0.0f, offset);
        D3DXCOLOR c(1.0f, 1.0f, 1.0f, 1.0f);
        track->GetColorInterval(0.0f, c);
        colour = ColourFromTrack(c);
    }
    m_PowerDisplay.m_fX = BadgeX() + offset.x;
    m_PowerDisplay.m_fY = m_fBaselineY + offset.y;
    m_PowerDisplay.m_fZ = offset.z;
    m_PowerDisplay.m_dwColour = colour;
    m_PowerDisplay.RenderDigit(nullptr, 0.0f, digit);
}

void AttackLineBlock::DrawEffect()
{
    D3DXMATRIX at;
    D3DXMatrixTranslation(&at, BadgeX(), m_fBaselineY, 0.0f);
    m_Effect.Draw(&at);
}

void AttackLineBlock::AddState(AttackLineBlockState* state)
{
    if (!state)
        return;
    const int type = state->m_nType;
    for (size_t i = 0; i < m_States.size();) {
        const int old = m_States[i]->m_nType;
        const bool replaced = old == type || (type == AttackLineBlockState::kStun && old == AttackLineBlockState::kInvincible) ||
                              (type == AttackLineBlockState::kCrazy && old == AttackLineBlockState::kStun);
        if (replaced)
            m_States.erase(m_States.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
    m_States.emplace_back(state);
}

void AttackLineBlock::RemoveStates(int type)
{
    for (size_t i = 0; i < m_States.size();) {
        if (m_States[i]->m_nType == type)
            m_States.erase(m_States.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}

bool AttackLineBlock::IsInvincible() const
{
    return std::any_of(m_States.begin(), m_States.end(),
                       [](const auto& s) { return s->m_nType == AttackLineBlockState::kInvincible; });
}

AttackLineBlockState* AttackLineBlock::FindCrazyState() const
{
    for (const auto& state : m_States)
        if (state->m_nType == AttackLineBlockState::kCrazy)
            return state.get();
    return nullptr;
}

// Stun.

BlockState_Stun::BlockState_Stun(AttackLineBlock* unit) : AttackLineBlockState(kStun, unit)
{
    unit->m_nPower /= 2;
    if (unit->m_nPower == 0)
        unit->m_nPower = 1;
    unit->Walk().Play("ch_fall");
}

BlockState_Stun::~BlockState_Stun()
{
    m_pUnit->m_nPower *= 2;
    m_pUnit->Walk().Play("ch_walk");
}

void BlockState_Stun::Update(float seconds)
{
    AnimationPlayer& walk = m_pUnit->Walk();
    if (walk.m_strScene != "ch_fall")
        walk.Play("ch_fall");
    m_fTimeLeft -= seconds;
    // Takes back the step the unit made in this update, so it stands still.
    m_pUnit->m_fPosition -= m_pUnit->m_fSpeed * seconds;
    if (m_fTimeLeft <= 0.0f) {
        m_pUnit->m_fPosition += m_pUnit->m_fSpeed * m_fTimeLeft;
        m_bFinished = 1;
    }
}

void BlockState_Stun::Draw()
{
    m_pUnit->Draw();
}

// Invincible.

BlockState_Invincible::BlockState_Invincible(AttackLineBlock* unit) : AttackLineBlockState(kInvincible, unit)
{
    unit->m_Effect.Play("invincible");
    BlockState_Invincible::Start();
}

void BlockState_Invincible::Start()
{
    LoadOverlay(m_OverlayUser, LaneSkin::kBlockEffectHero);
    LoadOverlay(m_OverlayEnemy, LaneSkin::kBlockEffectHeroEnemy);
}

void BlockState_Invincible::Update(float seconds)
{
    m_fTimeLeft -= seconds;
    if (m_fTimeLeft <= 0.0f)
        m_bFinished = 1;
    m_OverlayUser.Update(seconds);
    m_OverlayEnemy.Update(seconds);
}

void BlockState_Invincible::Draw()
{
    m_pUnit->Draw();
    DrawOverlay();
}

void BlockState_Invincible::DrawOverlay()
{
    DrawScaledOverlay(*m_pUnit, m_pUnit->m_nSide == AttackLineBlock::kPlayerSide ? m_OverlayUser : m_OverlayEnemy);
}

// Crazy.

BlockState_Crazy::BlockState_Crazy(AttackLineBlock* unit) : AttackLineBlockState(kCrazy, unit)
{
    unit->m_Effect.Play("sizeup");
    if (unit->m_nPower >= 400)
        m_bStrong = 1;
    else
        unit->m_nPower = static_cast<int32_t>(static_cast<float>(unit->m_nPower) * 1.25f);
    BlockState_Crazy::Start();
}

BlockState_Crazy::~BlockState_Crazy()
{
    if (!m_bStrong)
        m_pUnit->m_nPower = static_cast<int32_t>(static_cast<float>(m_pUnit->m_nPower) / 1.25f);
}

void BlockState_Crazy::Start()
{
    LoadOverlay(m_OverlayUser, LaneSkin::kBlockEffectCrazy);
    LoadOverlay(m_OverlayEnemy, LaneSkin::kBlockEffectCrazyEnemy);
}

void BlockState_Crazy::Update(float seconds)
{
    m_OverlayUser.Update(seconds);
    m_OverlayEnemy.Update(seconds);
}

void BlockState_Crazy::Draw()
{
    m_pUnit->Draw();
    DrawOverlay();
}

void BlockState_Crazy::DrawOverlay()
{
    DrawScaledOverlay(*m_pUnit, m_pUnit->m_nSide == AttackLineBlock::kPlayerSide ? m_OverlayUser : m_OverlayEnemy);
}

// Attacked trap.

BlockState_AttackedTrap::BlockState_AttackedTrap(AttackLineBlock* unit) : AttackLineBlockState(kAttackedTrap, unit)
{
    unit->Walk().Play("ch_die");
    m_fTimeLeft = unit->m_pContext->lengths->SceneLength(GetSkinFileName(unit->WalkSkinEntry()), "ch_die");
}

void BlockState_AttackedTrap::Update(float seconds)
{
    // The unit stands while it dies. A "ch_die" of no length (a missing file) ends at the
    // first update rather than leaving a trapped unit walking for ever.
    m_pUnit->m_fPosition -= m_pUnit->m_fSpeed * seconds;
    if (m_fTimeLeft > 0.0f)
        m_fTimeLeft -= seconds;
    if (m_fTimeLeft <= 0.0f) {
        m_pUnit->m_nPower = 0;
        m_bFinished = 1;
    }
}

void BlockState_AttackedTrap::Draw()
{
    m_pUnit->Draw();
}
