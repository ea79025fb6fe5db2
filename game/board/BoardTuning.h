// The values that tune a board: clear timeline, speeds, score factors, combo bonuses, seed and
// the kind weights of the current stage. The game fills them from the options and the mode
// configuration; tests set them directly.
#pragma once

#include <cstdint>

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

    // From GameConfig, ModeConfig and the selected stage record.
    static BoardTuning FromGameData();
};

// Where a board takes its tuning: the game reads the game data each time, tests hand in values.
using BoardTuningSource = BoardTuning (*)(void* context);
