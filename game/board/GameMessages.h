// The game's scene-message vocabulary: the ids that boards, lanes, replayers, pop-ups and the
// online client post to the current game scene, and the shortest length (id word included)
// each one must have before a handler may read its payload.
#pragma once

#include <cstdint>

#include "board/BoardMessages.h"
#include "menus/PopUp.h"

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

// The shortest length, in bytes from the id word on, that a message of this id must have for
// its handlers to read their fields; 4 (the id alone) for ids whose handlers read nothing.
constexpr int MinimumMessageLength(int32_t id)
{
    switch (id) {
    case MSG_CHANGE_SCENE: return 4 + kSceneNameBytes + 8;
    case MSG_POPUP_YES:
    case MSG_POPUP_NO: return 8;                // param
    case MSG_BIG_STAR: return 12;               // col, row
    case MSG_GROUP_CLEARED: return 36;          // eight words
    case MSG_PLAYER_TOWER_HIT: return 12;       // kind, power
    case MSG_ENEMY_TOWER_HIT: return 20;        // owner (two words), kind, power
    case MSG_ENEMY_ATTACK: return 16;           // flag, kind, power
    case MSG_BULLET_OVERFLOW: return 12;        // colour, excess
    case MSG_BLOCK_CLICKED: return 32;          // col, row, kind, present, pin, fixed, point
    case MSG_COMBO: return 8;                   // combo
    case MSG_COMBO_BREAK: return 8;
    case MSG_BOARD_LAYOUT: return 4 + 64 * 2;   // 64 cell words of 16 bits
    case MSG_BULLET_GAIN: return 12;            // colour, delta
    case MSG_MAGIC_TURN: return 8;              // kind
    case MSG_ROTATE: return 8;                  // direction
    case MSG_ITEM_GET: return 8;                // item
    default: return 4;
    }
}
