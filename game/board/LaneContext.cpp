#include "board/LaneContext.h"

#include "board/GameSinks.h"

LaneContext LaneContext::ForGame()
{
    return LaneContext(GetSceneQueueSink(), GetSoundTableSink(), GetAnimationLibraryLengths());
}
