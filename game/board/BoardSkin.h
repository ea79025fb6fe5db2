// The skin-table entries the board, its blocks and its effects draw from, and the colour
// layouts they read once per skin.
#pragma once

#include <d3d9/D3D9Types.h>

#include <string>

inline constexpr int kSkinBlockSmall = 61;      // "Block1S" .. "BlockRockS", by kind 1..7
inline constexpr int kSkinBlockClearBonus = 68; // "BlockClearBouns"
inline constexpr int kSkinBlockMagicTurn = 69;  // "BlockMagicTurn"
inline constexpr int kSkinBlockLarge = 76;      // "Block1L" .. "BlockRockL", by kind 1..7
inline constexpr int kSkinBlockNumColor = 83;   // "BlockNumColor"
inline constexpr int kSkinBlockPoint = 84;      // "BlockPoint1" .. "BlockPoint3"
inline constexpr int kSkinBlockPointLarge = 87; // "BlockPoint1R" .. "BlockPoint3R"
inline constexpr int kSkinBlockPointNum = 90;   // "BlockPointNum"
inline constexpr int kSkinBlockPointColor = 91; // "BlockPointColor"
inline constexpr int kSkinEffectCombo = 92;     // "Effect_Combo"
inline constexpr int kSkinEffectSCombo = 93;    // "Effect_SCombo"
inline constexpr int kSkinEffectComboBreak = 94;
inline constexpr int kSkinEffectStarOver = 98;
inline constexpr int kSkinBlockPin = 100;       // the fixed overlay
inline constexpr int kSkinBlockErase = 101;     // the pin overlay
inline constexpr int kSkinBlockHandRight = 102; // "BlockHandRight1" .. 3
inline constexpr int kSkinBlockHandBottom = 105; // "BlockHandBottom1" .. 3
inline constexpr int kSkinDigitStyleBase = 27;  // digit style s is entry 27 + s
inline constexpr int kSkinEntryCount = 131;

// Digit styles the board uses.
inline constexpr int kDigitComboRate = 2;
inline constexpr int kDigitComboCount = 5;
inline constexpr int kDigitBlockClear = 6;
inline constexpr int kDigitBlockClearLarge = 7;
inline constexpr int kDigitBlockClearWhite = 8;
inline constexpr int kDigitBlockClearLargeWhite = 9;
inline constexpr int kDigitComboEffect = 21;

// The file of a skin entry; empty (with a log line for an index out of range) when there is none.
std::string BoardSkinFile(int index);

// The text colours of the windows `names` of the layout that skin entry `skinIndex` names, read
// once per layout file and kept; a layout or window that is missing keeps the fallback colour.
void ReadSkinColours(int skinIndex, const wchar_t* const* names, int count, const D3DCOLOR* fallback,
                     D3DCOLOR* out);
// Forgets the colours read so far (a skin change reads them anew).
void ForgetSkinColours();
