// The push mode's tug-of-war field: three lanes, each with one block between the player's side
// and the opponent's. Clearing groups pushes the block of the group's colour; a star pushes all
// three and frees the pusher's lanes of stones; a stone traps the other side's most advanced
// lane for a while. A block pushed past the end of its lane drops onto the pusher's stack, which
// weighs down the other side's lever; the first stack of four wins. Arrows show each push, digits
// count each stack, and little walkers cheer or fall when a block lands and when the game ends.
#pragma once

#include "board/GameSeams.h"
#include "engine/AnimationPlayer.h"

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

namespace kv {
class KVWnd;
struct EventArgs;
}

inline constexpr int32_t MSG_PUSH_FIELD_CHANGED = 2102;
inline constexpr int32_t MSG_PUSH_BLOCK_DROP_ID = 2106;

struct PushLane {
    float pos = 0;
    float target = 0;
    float dropTimer = 1.0f;
    float comboTimer = 0;
    int32_t comboCount = 0;
};

struct PushStone {
    int32_t lane = 0;
    float limit = 0;
    int32_t side = 0;  // 0 holds the block at or above the limit, 1 at or below
    float timer = 0;
};

// The lanes and stones as the host sends them to the guest: 224 bytes, little-endian.
struct PushLaneState {
    static constexpr size_t kBytes = 224;
    static constexpr int kMaxStones = 10;
    std::array<PushStone, kMaxStones> stones{};
    int32_t stoneCount = 0;
    std::array<PushLane, 3> lanes{};

    std::vector<uint8_t> Encode() const;
    // False for a short buffer; a stone count outside 0..10, stones off lanes 0..2 and sides
    // other than 0 and 1 are refused; positions are brought inside the lanes.
    bool Decode(const uint8_t* data, size_t size);
};

class PushBlockSet {
public:
    static constexpr float kLaneLimit = 132.0f;
    static constexpr float kComplete = 122.0f;
    static constexpr float kBand = 102.0f;
    static constexpr float kDropSpeed = 600.0f;
    static constexpr int kWinningStack = 4;
    static constexpr float kSpawnInterval = 2.0f;
    static constexpr int kWalkers = 4;
    static constexpr float kPoseSeconds = 3.0f;
    static constexpr float kEndPoseSeconds = 10000.0f;

    struct DropBlock {
        AnimationPlayer player;
        int lane = 0;
        float y = 0;
        int landed = 0;
    };
    struct Walker {
        float x = 0, y = 0, z = 0;
        AnimationPlayer player;
        int facing = 0;
        float fallTimer = -1.0f;
        float winTimer = -1.0f;
        float scale = 1.0f;
    };

    explicit PushBlockSet(const BoardWorld& world);
    ~PushBlockSet();
    PushBlockSet(const PushBlockSet&) = delete;
    PushBlockSet& operator=(const PushBlockSet&) = delete;

    void Init(kv::KVWnd* layout, kv::KVWnd* area);
    // Forgets the windows given to Init, once the scene has destroyed them, so that a layout
    // built later at the same address is bound again.
    void Detach();
    void Reset();
    void Update(float seconds);
    void Draw();
    void OnDraw(kv::EventArgs& args);
    void ApplyPush(int lane, int amount);
    void AddPush(int lane, int amount);
    void TrapUserLane();
    void TrapEnemyLane();
    void AddBlock(int lane, int side);
    // The state as the peer sees it (this machine's opponent is its player): mirrored.
    void SaveState(PushLaneState& out) const;
    // Applies a received state as it is; false (and nothing changes) for a stone off the lanes
    // or of no side, or a number that is not finite. At most 10 stones are taken.
    bool LoadState(const PushLaneState& in);

    // The lane speed and stone time of the mode configuration (tests set their own).
    float moveSpeed = 30.0f;
    float trapTime = 10.0f;

    std::array<PushLane, 3> lanes{};
    std::list<std::unique_ptr<DropBlock>> userStack, enemyStack;
    std::vector<PushStone> stones;
    int enemyStackSize = 4;
    int userStackSize = 4;
    int gameOver = 0;
    int started = 0;
    float userLeverBase = -1, enemyLeverBase = -1, userLever = 0, enemyLever = 0;

private:
    void UpdateLanes(float seconds);
    void UpdateStacks(float seconds, std::list<std::unique_ptr<DropBlock>>& stack, bool user);
    void UpdateStones(float seconds);
    void UpdateWalkers(float seconds, bool user);
    void Pose(bool user, bool win, float seconds);
    void ShowArrow(int lane, int amount, float diff);
    void RemoveStones(int side);
    void Trap(int side);
    kv::KVWnd* Find(const wchar_t* name) const;
    kv::KVWnd* FindArea(const wchar_t* name) const;
    void Post(int32_t id, const PayloadWriter& payload);
    void Sound(int key);
    float BlockHeight() const;

    IMessageSink* m_pMessages;
    ISoundSink* m_pSounds;
    GameRandom* m_pRandom;
    std::array<AnimationPlayer, 3> m_LanePlayers;
    AnimationPlayer m_EnemyScore, m_UserScore, m_Stone;
    std::array<AnimationPlayer, 3> m_UserArrows, m_EnemyArrows;
    std::array<std::unique_ptr<Walker>, kWalkers> m_UserWalkers, m_EnemyWalkers;
    float m_UserRect[4] = {}, m_EnemyRect[4] = {};
    bool m_bUserArea = false, m_bEnemyArea = false;
    float m_fUserSpawn = kSpawnInterval, m_fEnemySpawn = kSpawnInterval;
    kv::KVWnd* m_pLayout = nullptr;
    kv::KVWnd* m_pArea = nullptr;
    kv::KVWnd* m_pBoundLayout = nullptr;
};
