// The scene messages a board posts, with their ids. Payloads are little-endian 32-bit fields
// after the id (board layout: 16-bit cell words).
#pragma once

#include <cstdint>

inline constexpr int32_t MSG_PLAY_TIME_STEP = 2065;
inline constexpr int32_t MSG_BIG_STONE = 2069;
inline constexpr int32_t MSG_BIG_STAR = 2070;
inline constexpr int32_t MSG_GROUP_CLEARED = 2071;
inline constexpr int32_t MSG_BULLET_OVERFLOW = 2078;
inline constexpr int32_t MSG_BLOCK_CLICKED = 2080;
inline constexpr int32_t MSG_COMBO = 2081;
inline constexpr int32_t MSG_COMBO_BREAK = 2082;
inline constexpr int32_t MSG_BOARD_LAYOUT = 2083;
inline constexpr int32_t MSG_BULLET_GAIN = 2084;
inline constexpr int32_t MSG_MAGIC_TURN = 2085;
inline constexpr int32_t MSG_CHAIN = 2086;
inline constexpr int32_t MSG_DOUBLE_CHANCE = 2087;
inline constexpr int32_t MSG_ROTATE = 2088;

// Sound keys the board plays.
inline constexpr int kSoundClick = 0;
inline constexpr int kSoundClickStar = 1;
inline constexpr int kSoundAllClear = 3;
inline constexpr int kSoundAllClearTail = 4;
inline constexpr int kSoundRotate = 8;
inline constexpr int kSoundMagicTurn = 13;
inline constexpr int kSoundDoubleChance = 14;
inline constexpr int kSoundDouble = 15;
inline constexpr int kSoundClickLoss = 16;
inline constexpr int kSoundBigStar = 73;
inline constexpr int kSoundBigStarLast = 74;
inline constexpr int kSoundBigStone = 76;
inline constexpr int kSoundBlockDrop = 81;
