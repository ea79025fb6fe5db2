// A unit of the attack lane and its timed states. A unit walks from its side's end of the lane
// towards the other tower; its power is both its strength in a clash and its size on screen,
// and its speed follows from power and kind. States change a unit for a while: a stun stops and
// weakens it, invincibility protects it, a crazy side boosts it, a mine kills it.
#pragma once

#include "lane/LaneContext.h"
#include "engine/AnimationPlayer.h"
#include "engine/DigitDisplay.h"

#include <cstdint>
#include <memory>
#include <vector>

class AttackLineBlock;

// Base of the unit states. The unit owns its states and deletes one after the update that
// sets its finished flag; deleting a state gives back what it changed on the unit.
class AttackLineBlockState {
public:
    static constexpr int kStun = 1;
    static constexpr int kInvincible = 2;
    static constexpr int kCrazy = 3;
    static constexpr int kAttackedTrap = 4;

    AttackLineBlockState(int type, AttackLineBlock* unit) : m_nType(type), m_pUnit(unit) {}
    virtual ~AttackLineBlockState() = default;
    AttackLineBlockState(const AttackLineBlockState&) = delete;
    AttackLineBlockState& operator=(const AttackLineBlockState&) = delete;

    virtual void Start() {}
    virtual void Update(float /*seconds*/) {}
    // Draws the unit as this state shows it: the plain unit, and the state's overlay if any.
    virtual void Draw() {}
    // The state's overlay over the unit's walking animation (nothing for most states).
    virtual void DrawOverlay() {}

    int32_t m_nType;
    int32_t m_bFinished = 0;
    AttackLineBlock* m_pUnit;
};

class AttackLineBlock {
public:
    static constexpr int kPlayerSide = 1;
    static constexpr int kEnemySide = 0;
    static constexpr int kStarKind = 3;
    static constexpr int kKindCount = 4;

    // Takes the next unit serial of the context and loads the animations.
    explicit AttackLineBlock(LaneContext& context);
    ~AttackLineBlock();
    AttackLineBlock(const AttackLineBlock&) = delete;
    AttackLineBlock& operator=(const AttackLineBlock&) = delete;

    void LoadAnimations();
    // One frame; the seconds already carry the lane's speed factor.
    void Update(float seconds);
    // The plain unit: walking animation, badge and power digits.
    void Draw();
    // Its three layers, for a lane that draws every unit's walking animation, then every badge,
    // then every power number.
    void DrawBody();
    void DrawBadge();
    void DrawPower();
    // Only the power digits now showing `digit` (0 to 9).
    void DrawPowerDigit(int digit);
    // The one-shot effect over the badge ("sizeup", "invincible", "jump", "remove").
    void DrawEffect();

    // Takes ownership of a state built for this unit. A stun ends invincibility, a crazy state
    // ends a stun, and a state replaces an older one of its type.
    void AddState(AttackLineBlockState* state);
    // Deletes every state of the type.
    void RemoveStates(int type);
    bool IsInvincible() const;
    AttackLineBlockState* FindCrazyState() const;
    bool HasStates() const { return !m_States.empty(); }
    AttackLineBlockState* FirstState() const { return m_States.empty() ? nullptr : m_States.front().get(); }

    // The walking animation in use (by side and kind) and its skin entry.
    AnimationPlayer& Walk();
    int WalkSkinEntry() const;
    // Screen x of the unit's front edge.
    float ScreenX() const;
    // The drawing scale: power / 100 x 0.8 + 0.2.
    float DrawScale() const;
    // Screen x of the badge's left edge.
    float BadgeX();

    LaneContext* m_pContext;
    float m_fPosition = 0.0f;
    float m_fSpeed = 0.0f;
    float m_fBaselineY = 137.0f;
    int32_t m_nKind = 0;
    int32_t m_nPower = 0;
    int32_t m_nSide = kEnemySide;
    NetBlockId m_Id;
    std::vector<std::unique_ptr<AttackLineBlockState>> m_States;
    AnimationPlayer m_Walk[8];
    AnimationPlayer m_Badge[2];
    AnimationPlayer m_Effect;
    DigitDisplay m_PowerDisplay;
    int32_t m_bWon = 0;
    int32_t m_bLost = 0;

private:
    int KindIndex() const;
};

// Stopped and weakened for 7 s: power halved (at least 1) while it lasts, doubled at its end.
class BlockState_Stun : public AttackLineBlockState {
public:
    explicit BlockState_Stun(AttackLineBlock* unit);
    ~BlockState_Stun() override;
    void Update(float seconds) override;
    void Draw() override;

    float m_fTimeLeft = 7.0f;
};

// Cannot lose a clash or be trapped for 4 s.
class BlockState_Invincible : public AttackLineBlockState {
public:
    explicit BlockState_Invincible(AttackLineBlock* unit);
    void Start() override;
    void Update(float seconds) override;
    void Draw() override;
    void DrawOverlay() override;

    float m_fTimeLeft = 4.0f;
    AnimationPlayer m_OverlayUser;
    AnimationPlayer m_OverlayEnemy;
};

// Boosted by 1.25 while its side is crazy, unless it was already 400 strong (then "strong").
class BlockState_Crazy : public AttackLineBlockState {
public:
    explicit BlockState_Crazy(AttackLineBlock* unit);
    ~BlockState_Crazy() override;
    void Start() override;
    void Update(float seconds) override;
    void Draw() override;
    void DrawOverlay() override;

    int32_t m_bStrong = 0;
    AnimationPlayer m_OverlayUser;
    AnimationPlayer m_OverlayEnemy;
};

// Stepped on a mine: stands and dies when its "ch_die" animation ends.
class BlockState_AttackedTrap : public AttackLineBlockState {
public:
    explicit BlockState_AttackedTrap(AttackLineBlock* unit);
    void Update(float seconds) override;
    void Draw() override;

    float m_fTimeLeft = 0.0f;
};
