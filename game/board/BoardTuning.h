// The values that tune a board: clear timeline, speeds, score factors, combo bonuses, seed and
// the kind weights of the current stage. The scene that makes a board hands in where they come
// from (the game reads its options and mode configuration); tests set them directly.
#pragma once

#include <cstdint>
#include <functional>
#include <type_traits>
#include <utility>

struct BoardTuning {
    static constexpr int kComboSteps = 20;
    static constexpr int kKinds = 8;

    // Clear timeline (options file).
    float clearTimer = 0.45f;     // T
    float clearTimerLast = 0.25f; // Last
    float clearTimerMin = 0.05f;
    float clearTimerMax = 1.0f;
    float clearTimerAccel = 0.15f;
    float clearMaxCountA = 1.0f;
    float clearMaxCountB = 1.0f;
    float clearMaxCountSpeed = 1.0f; // S
    // Mode configuration.
    float modeFactor = 1.0f;
    float rotateTime = 0.2f;
    float refillSpeed = 300.0f;
    float maxRefillSpeed = 500.0f;
    float bigBlockK = 1.0f;
    float bigBlockM = 0.0f;
    float comboBonus[kComboSteps] = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f,
                                     1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    int randomSeed = -1;
    // The current stage: whether one is selected, its seed and its kind weights.
    int hasStage = 0;
    int stageSeed = -1;
    int weights[kKinds] = {0, 1, 1, 1, 0, 0, 0, 0};

    // B(combo): C1..C20 (C20 past 20), at most 9.9; combos below 1 count as 1.
    float ComboBonus(int combo) const;
    int WeightTotal() const;
};

// Where a board takes its tuning, read again at Reset, Init, Resize and NewGame because the
// selected stage changes between games: the game reads its data each time, a test hands in
// fixed values or a function of its own.
class BoardTuningSource {
public:
    BoardTuningSource(const BoardTuning& fixed) : m_read([fixed] { return fixed; }) {}
    template <typename Read, typename = std::enable_if_t<!std::is_same_v<Read, BoardTuningSource> &&
                                                         std::is_invocable_r_v<BoardTuning, Read&>>>
    BoardTuningSource(Read read) : m_read(std::move(read))
    {
    }
    BoardTuning operator()() const { return m_read(); }

private:
    std::function<BoardTuning()> m_read;
};
