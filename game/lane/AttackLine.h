// The attack lane between the two towers of a battle. Player units walk from the player's tower
// at the right end towards the enemy's tower at the left, enemy units the other way. Every frame
// the lane moves both columns, lets the two front units clash, lets units trip over mines,
// keeps each side's crazy display, and posts a scene message when a unit reaches a tower. The
// battle scene owns the lane, decides what a tower hit costs, and drops items, places mines and
// launches units through the operations below. The online lane replaces the virtual steps.
#pragma once

#include "lane/AttackLineBlock.h"
#include "lane/LaneAssets.h"
#include "lane/LaneContext.h"
#include "lane/VanteoEffect.h"
#include "lane/WindowHook.h"
#include "engine/AnimationPlayer.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace kv {
class KVWnd;
struct EventArgs;
} // namespace kv

// A mine on the lane. Side 0 is the player's mine in the enemy units' path, its position counted
// from laneLeft; side 1 the enemy's mine in the player units' path, counted from laneRight.
struct AttackLineMine {
    float position = 0.0f;
    int32_t side = 0;
    NetBlockId id;
    AnimationPlayer body;
    AnimationPlayer effect;
};

class AttackLine {
public:
    static constexpr int kItemKindCount = 6;
    static constexpr int kSpeedLevelCount = 6;
    // Animation players: items 0..5, the launch flashes, the crazy displays.
    static constexpr int kAnimPlayerLaunch = 6;
    static constexpr int kAnimEnemyLaunch = 7;
    static constexpr int kAnimPlayerCrazy = 8;
    static constexpr int kAnimEnemyCrazy = 9;
    static constexpr int kCrazyPower = 400;
    // Screen y of the hit flash and of mines.
    static constexpr float kHitEffectY = 123.0f;
    static constexpr float kMineY = 191.0f;

    // The lane on the sinks its scene hands in.
    explicit AttackLine(const LaneContext& context);
    virtual ~AttackLine();
    AttackLine(const AttackLine&) = delete;
    AttackLine& operator=(const AttackLine&) = delete;

    // Registers the draw handlers on the lane windows of a new root (once per root), takes the
    // lane's geometry and baseline from "Pic_chattackline" and loads the lane's animations.
    void Bind(kv::KVWnd* root);
    // Back to an empty lane: speed level 0, no units, mines, item or hit flashes, crazy sounds
    // stopped.
    void Reset();
    // One frame: items, animations, movement, sorting, clashes, mines, crazy mode.
    void Update(float seconds);

    // The three "Draw" handlers and their bodies.
    void DrawLane(kv::EventArgs& args);
    void DrawEffectLine(kv::EventArgs& args);
    void DrawOverlays(kv::EventArgs& args);
    void DrawLane();
    void DrawEffectLine();
    void DrawOverlays();

    // A new unit at position 0 of its side; null (nothing launched) for a kind outside 0..3.
    // The lane keeps ownership.
    AttackLineBlock* LaunchPlayer(int power, int kind);
    AttackLineBlock* LaunchEnemy(int power, int kind, int invincible);
    void GetFrontUnits(AttackLineBlock** enemyFront, AttackLineBlock** playerFront) const;
    // The distance between the two front units; a missing front counts as position 0.
    float FrontGap() const;
    void ClearEnemyLaneStuns();
    void ClearPlayerLaneStuns();
    // Stuns every unit of the side, or makes them jump when the side is crazy.
    void StunEnemyLane();
    void StunPlayerLane();
    bool IsEnemyLaneCrazy() const;
    bool IsPlayerLaneCrazy() const;
    // 0 when the player won, 1 when the enemy won: the units stop and cheer or fall.
    void EndGame(int enemyWon);

    // Drops an item of kind 0..5 at screen x; ignored while an item lies on the lane and for an
    // unknown kind.
    void DropItem(int kind, float x);
    // Where the battle scene drops an item between the front units: nearer to the player's front
    // the further the enemy is ahead on hit points. Hit points at or below 0 count as 0, and with
    // both at 0 the item lands in the middle of its range.
    static float ItemDropX(int laneLeft, float enemyFrontPosition, float gap, int enemyHp, int playerHp);
    AttackLineMine* PlaceMine(int serial, int ownerLow, int ownerHigh);
    AttackLineMine* PlaceEnemyMine(int offset, int serial, int ownerLow, int ownerHigh);
    bool IsPlayerMineSpotFree(float position) const;
    bool IsEnemyMineSpotFree(float position) const;
    // From `position` on in steps of 5, the first spot free on that side's lane, or `last` when
    // none is free before it.
    float FirstFreeMineSpot(float position, float last, bool enemySide) const;

    static float SpeedForPower(int power, int kind);
    // The factor on the enemy unit's power when a player unit of kind a meets an enemy of kind b.
    static float ClashMultiplier(int kindA, int kindB);
    // The speed factor of the current level (the level is kept within 0..5 when read).
    float SpeedFactor() const;

    // The frame steps the online lane replaces.
    virtual void MoveEnemyLane(float seconds);
    virtual void MovePlayerLane(float seconds);
    virtual void ResolveClash(float seconds);
    virtual void CheckMines(float seconds);

    LaneContext& Context() { return m_Context; }
    const LaneGeometry& Geometry() const { return m_Context.geometry; }

    // Read and written directly by the battle scenes.
    kv::KVWnd* m_pRoot = nullptr;
    kv::KVWnd* m_pLaneWnd = nullptr;
    float m_fBaselineY = 192.0f;
    std::vector<AttackLineBlock*> m_EnemyUnits;
    std::vector<AttackLineBlock*> m_PlayerUnits;
    VanteoEffect m_HitEffect;
    int32_t m_nItemKind = 0;
    int32_t m_nItemAdd = 0;
    int32_t m_nItemFactor = 1;
    float m_fItemX = 0.0f;
    float m_fItemFallTime = 0.0f;
    int32_t m_bItemLanded = 0;
    std::vector<AttackLineMine*> m_Mines;
    int32_t m_nSpeedLevel = 0;
    float m_fSpeedFactors[kSpeedLevelCount] = {1.0f, 1.2f, 1.4f, 1.6f, 1.8f, 2.0f};
    AnimationPlayer m_Anim[10];

protected:
    float MineScreenX(const AttackLineMine& mine) const;
    // Deletes the unit at the index and takes it out of the vector.
    static void RemoveUnit(std::vector<AttackLineBlock*>& units, size_t index);
    // Moves one side's units and handles deaths and tower arrivals.
    void MoveSide(std::vector<AttackLineBlock*>& units, float seconds);
    void ArriveAtTower(AttackLineBlock* unit);
    void SortByPosition();
    void UpdateCrazyMode();
    void ClearMines();
    void ClearUnits();
    void StunSide(std::vector<AttackLineBlock*>& units, bool crazy, int jumpSound);
    void PlayLaunchSound(int power, int side);
    AttackLineMine* NewMine(int side, int serial, int ownerLow, int ownerHigh);
    void LoadLaneAnimations();

    LaneContext m_Context;
    // Whether each side's crazy display is on (0 player, 1 enemy).
    bool m_bCrazyShown[2] = {false, false};
    // The lane's drawing on "Pic_chattackline", "Pic_effectLine" and "Pic_crazy_user".
    WindowHook m_DrawHooks[3];
};
