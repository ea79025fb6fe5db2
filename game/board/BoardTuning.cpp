#include "board/BoardTuning.h"

#include "app/GameDataXml.h"
#include "app/ModeConfig.h"
#include "app/Options.h"

#include <algorithm>

float BoardTuning::ComboBonus(int combo) const
{
    int index = std::clamp(combo, 1, kComboSteps) - 1;
    return std::min(comboBonus[index], 9.9f);
}

int BoardTuning::WeightTotal() const
{
    // Held at the int range: weights set by hand or by an old configuration may be any int.
    int total = 0;
    for (int weight : weights)
        total = gamedata::SaturatingAdd(total, std::max(weight, 0));
    return total;
}

BoardTuning BoardTuning::FromGameData()
{
    BoardTuning t;
    t.clearTimer = GameConfig.blockClearTimer;
    t.clearTimerLast = GameConfig.blockClearTimerLast;
    t.clearTimerMin = GameConfig.blockClearTimerMin;
    t.clearTimerMax = GameConfig.blockClearTimerMax;
    t.clearTimerAccel = GameConfig.blockClearTimerAccel;
    t.clearMaxCountA = GameConfig.blockClearMaxCountA;
    t.clearMaxCountB = GameConfig.blockClearMaxCountB;
    t.clearMaxCountSpeed = GameConfig.blockClearMaxCountSpeed;
    t.modeFactor = ModeConfig.blockClearTimerModeFactor;
    t.rotateTime = ModeConfig.rotateTime;
    t.refillSpeed = ModeConfig.refillSpeed;
    t.maxRefillSpeed = ModeConfig.maxRefillSpeed;
    t.bigBlockK = ModeConfig.bigBlockK;
    t.bigBlockM = ModeConfig.bigBlockM;
    for (int c = 0; c < kComboSteps; ++c)
        t.comboBonus[c] = GetComboBonus(c + 1);
    t.randomSeed = ModeConfig.randomSeed;
    if (const StageRecord* stage = ModeConfig.currentStage) {
        t.hasStage = 1;
        t.stageSeed = stage->seed;
        for (int k = 0; k < kKinds; ++k)
            t.weights[k] = stage->weights[k];
    } else {
        t.hasStage = 0;
    }
    return t;
}
