// What the board posts and plays: its scene messages (ids in the game's vocabulary; payloads are
// little-endian 32-bit fields after the id, the board layout 16-bit cell words) and its sounds.
#pragma once

#include "board/GameMessages.h"

#include <cstdint>

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
