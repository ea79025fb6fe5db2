// The mode configuration files under Data/PlayData: each game mode loads its rules (combo
// bonuses, push and big-block tuning, board speeds, stages, seed, point-challenge multipliers)
// into ModeConfig when its scene is entered; the logic-puzzle mode reads its own settings and
// lists the puzzle files of a folder.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

inline constexpr const char* kBattleConfigFile = "Data/PlayData/QuiblyConfig_Battle.xml";
inline constexpr const char* kPushConfigFile = "Data/PlayData/QuiblyConfig_Push.xml";
inline constexpr const char* kPuzzleConfigFile = "Data/PlayData/QuiblyConfig_Puzzle.xml";
inline constexpr const char* kStageChallengeConfigFile = "Data/PlayData/QuiblyConfig_StageChallenge.xml";
inline constexpr const char* kPointChallengeConfigFile = "Data/PlayData/QuiblyConfig_PointChallenge.xml";
inline constexpr const char* kIQPuzzleConfigFile = "Data/PlayData/QuiblyConfig_IQPuzzle.xml";

// One stage of a mode.
struct StageRecord {
    static constexpr size_t kTextBytes = 64;
    static constexpr int kKinds = 8;

    char name[kTextBytes] = {};
    char file[kTextBytes] = {};
    int speedUp = 0;
    int xGrid = 8;
    int yGrid = 8;
    int seed = -1;
    int weights[kKinds] = {};
    int weightTotal = 0;
    int clearType = 0; // 0 no challenge, 1 points, 2 combo
    int clearNum = 0;
    int clearTime = -1;
};

// One logic-puzzle file found in a folder.
struct PuzzleEntry {
    static constexpr size_t kPathBytes = 512;
    static constexpr size_t kTitleBytes = 128;

    char path[kPathBytes] = {};
    char title[kTitleBytes] = {};
    int type = 0; // 0 for ".pz0" and ".pzl", 1 for ".pz1"
};

struct ModeConfigRecord {
    static constexpr int kComboSteps = 20;

    float comboBonus[kComboSteps] = {};
    float pushTrapTime = 10.0f;
    float pushMoveSpeed = 30.0f;
    float bigBlockK = 1.0f;
    float bigBlockM = 0.0f;
    float rotateTime = 0.2f;
    float refillSpeed = 0.2f;
    float maxRefillSpeed = 1.0f;
    float blockClearTimerModeFactor = 1.0f;
    std::vector<std::unique_ptr<StageRecord>> stages; // the first is "MultiPlay"
    StageRecord* currentStage = nullptr;
    int randomSeed = -1;
    std::vector<int> multiRateThresholds;
    std::vector<int> multiRateValues;
    int loaded = 0;
    std::vector<std::unique_ptr<PuzzleEntry>> puzzles;
};

// The one mode configuration of the process.
extern ModeConfigRecord ModeConfig;

// 1 when the file was read; 0 (with a log line) when it or its root is missing.
int LoadModeConfig(const char* path);
// Selects the stage at `index` (0 is "MultiPlay"); an index outside the list selects none.
void SelectStage(int index);
StageRecord* FindMultiPlayStage();
// The bonus factor of a combo (C1..C20, combos past 20 use C20), at most 9.9; 0 below 1.
float GetComboBonus(int combo);
int GetMultiRateCount();
// How many thresholds, in order, are at most `value`.
int GetMultiRateLevel(int value);
// Reads the logic-puzzle settings; with a folder (ending in a separator) also lists its
// ".pz0", then ".pzl", then ".pz1" files.
int LoadPuzzleConfig(const char* folder);
int GetPuzzleCount();
void ClearModeConfig();
