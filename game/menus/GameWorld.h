// The game's own seams, which the scenes hand to the game logic they make: boards post into the
// scene queue, play through the sound table and draw from the process's generator, with their
// tuning read from the options, the mode configuration and the selected stage at every new
// game; the lane's units also ask the animation library how long their animations last.
#pragma once

#include "board/BoardTuning.h"
#include "lane/LaneContext.h"
#include "board/VanteoBlockMap.h"

BoardWorld GameBoardWorld();
// The tuning of the options (clear timeline), the mode configuration and the selected stage.
BoardTuning GameBoardTuning();
LaneContext GameLaneContext();
