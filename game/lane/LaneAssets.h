// Skin-table entries and sound keys of the attack lane, its units and the tower displays.
#pragma once

#include "board/GameMessages.h"

namespace LaneSkin {
inline constexpr int kHpTowerUser = 25;
inline constexpr int kHpTowerEnemy = 26;
// Digit styles: skin entry 27 + style.
inline constexpr int kDigitStyleAttackLine = 0; // "Num_Battle_AttackLine"
inline constexpr int kDigitStyleResourceBtn = 1; // "Num_Battle_ResourceBtn"
inline constexpr int kDigitStyleBattleHp = 4; // "Num_Battle_HP"
inline constexpr int kBlockEffectHero = 70;
inline constexpr int kBlockEffectHeroEnemy = 71;
inline constexpr int kPlayerEffectCrazy = 72;
inline constexpr int kBlockEffectCrazy = 73;
inline constexpr int kBlockEffectCrazyEnemy = 74;
inline constexpr int kBlockEffectMsg = 75;
// Walking units: the player side's kinds 0..3 from 108, the enemy side's from 112.
inline constexpr int kAttackBlockUser1 = 108;
inline constexpr int kAttackBlockEnemy1 = 112;
inline constexpr int kAttackBlockUserCount = 116;
inline constexpr int kAttackBlockEnemyCount = 117;
inline constexpr int kVanteoEffect = 118;
inline constexpr int kAttackEffectUser = 119;
inline constexpr int kAttackEffectEnemy = 120;
// Items of kinds 0..5 from 123.
inline constexpr int kItemHpPlus = 123;
inline constexpr int kMineUser = 129;
inline constexpr int kMineEnemy = 130;
} // namespace LaneSkin

namespace LaneSound {
inline constexpr int kItemDrop = 2;
inline constexpr int kAttackingBase1 = 38;
inline constexpr int kAttackingBase2 = 39;
inline constexpr int kAttackingBase3 = 40;
inline constexpr int kAttackingVoice1 = 41;
inline constexpr int kAttackingVoice2 = 42;
inline constexpr int kAttackedBase1 = 43;
inline constexpr int kAttackedBase2 = 44;
inline constexpr int kAttackedBase3 = 45;
inline constexpr int kAttackedVoice1 = 46;
inline constexpr int kAttackedVoice2 = 47;
inline constexpr int kCrazyLoopUser = 48;
inline constexpr int kCrazyJumpUser = 49;
inline constexpr int kCrazyLoopCom = 50;
inline constexpr int kCrazyJumpCom = 51;
inline constexpr int kSlip = 52;
inline constexpr int kRemovePin = 53;
inline constexpr int kGoSmallUser = 55;
inline constexpr int kGoUser = 56;
inline constexpr int kGoBigUser = 57;
inline constexpr int kGoCrazyUser = 58;
inline constexpr int kGoSmallCom = 59;
inline constexpr int kGoCom = 60;
inline constexpr int kGoBigCom = 61;
inline constexpr int kGoCrazyCom = 62;
inline constexpr int kVanteo = 63;
inline constexpr int kInvinsible = 72;
inline constexpr int kKillPin = 78;
} // namespace LaneSound
