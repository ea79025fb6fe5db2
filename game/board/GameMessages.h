// The game's scene-message vocabulary: the ids that boards, lanes, replayers and the online
// client post to the current game scene. The pop-ups' ids are with the pop-ups, and the shortest
// length of each message is with the game scenes that check it.
#pragma once

#include <cstdint>

#include "board/BoardMessages.h"

inline constexpr int32_t MSG_CHANGE_SCENE = 2027;
inline constexpr int32_t MSG_GO_TO_MENU = 2028;
inline constexpr int32_t MSG_RESTART = 2029;
inline constexpr int32_t MSG_GAME_WIN = 2032;
inline constexpr int32_t MSG_GAME_LOSE = 2033;
inline constexpr int32_t MSG_GHOST_TEXT = 2066;
inline constexpr int32_t MSG_GHOST_SOUND = 2067;
inline constexpr int32_t MSG_RESERVED_2068 = 2068;
inline constexpr int32_t MSG_RESERVED_2072 = 2072;
inline constexpr int32_t MSG_RESERVED_2073 = 2073;
inline constexpr int32_t MSG_PLAYER_TOWER_HIT = 2074;
inline constexpr int32_t MSG_ENEMY_TOWER_HIT = 2075;
inline constexpr int32_t MSG_LANE_CLASH = 2076;
inline constexpr int32_t MSG_ENEMY_ATTACK = 2077;
inline constexpr int32_t MSG_GHOST_COMMAND = 2079;
inline constexpr int32_t MSG_LANE_UNITS_MET = 2089;
inline constexpr int32_t MSG_LANE_UNIT_HIT_MINE = 2090;
inline constexpr int32_t MSG_LANE_UNIT_POWER = 2091;
inline constexpr int32_t MSG_ITEM_GET = 2092;
inline constexpr int32_t MSG_PUSH_BLOCK_DROP = 2106;

// The change-scene message's scene-name field.
inline constexpr int kSceneNameBytes = 64;
