#include "menus/GameWorld.h"

#include "data/ModeConfig.h"
#include "data/Options.h"
#include "board/GameSinks.h"

BoardWorld GameBoardWorld()
{
    return BoardWorld{GetSceneQueueSink(), GetSoundTableSink(), GetGameRandom()};
}

BoardTuning GameBoardTuning()
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
    for (int c = 0; c < BoardTuning::kComboSteps; ++c)
        t.comboBonus[c] = GetComboBonus(c + 1);
    t.randomSeed = ModeConfig.randomSeed;
    if (const StageRecord* stage = ModeConfig.currentStage) {
        t.hasStage = 1;
        t.stageSeed = stage->seed;
        for (int k = 0; k < BoardTuning::kKinds; ++k)
            t.weights[k] = stage->weights[k];
    } else {
        t.hasStage = 0;
    }
    return t;
}

LaneContext GameLaneContext()
{
    return LaneContext(GetSceneQueueSink(), GetSoundTableSink(), GetAnimationLibraryLengths());
}
