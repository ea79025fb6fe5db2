// The battle's rules that need no screen: which stack the smallest-stack shot fires and how many
// bullets, the mode key and cube bonus of each battle mode, the ranking values of a finished
// game, the cubes a ranking place earns, the random item's timer, and the file name a stage's
// missing ghost is rebuilt under.
#pragma once

#include <string>

struct RankEntry;
class AttackLineBlock;

namespace battle {

inline constexpr int kModeCount = 14;
inline constexpr int kSelfPlayMode = 13;
inline constexpr int kMaxCubes = 9999;

// How many bullets a shot takes from a stack of `count`: all of them, or the part above the last
// full hundred (a whole hundred when the count is a multiple of 100).
int BulletsToFire(int count, bool all);

struct StackChoice {
    int colour = -1; // -1: nothing to fire
    int bullets = 0;
};
// The smallest-stack shot: the colour with the smallest non-zero remainder modulo 100 (ties to
// the lower colour), else the smallest positive count, which fires 100.
StackChoice ChooseSmallestStack(const int counts[3]);

// "BATTLE.SELFPLAY", "BATTLE.FREEPLAY.<stage>" or "BATTLE.GEEKPLAY.<stage>".
std::string ModeKey(int mode, const char* stageName);
int CubeBonus(int mode);

struct RankingValues {
    int score = 0;
    int time = 0;
};
// The shown hit points and the play clock at the finish; a game without hit points left ranks
// by 1000000 minus its time, so that the longer of two lost games ranks higher.
RankingValues RankingFor(float shownHp, float playClock);

// The cubes for the table's first new place: 3 for the sixth; else a base by place plus a fifth
// of the mode's bonus, halved when the local player's own older entry sits right below.
int CubeReward(const RankEntry* table, int mode);

// The next random item's delay from one 15-bit random value: 12.000 to 44.767 seconds.
float ItemTimer(int random15);

// The strongest unit a lane item may make.
inline constexpr int kMaxItemPower = 999;

// What a lane item does to the unit that takes it: kinds 0 to 3 change its power (never above
// 999) and with it its speed, kind 4 makes it invincible. The sound key the change calls for
// (smaller, larger, invincible); 0 for kind 5, the stun, which the caller applies because the
// lane it stuns depends on who took the item, and for unknown kinds.
int ApplyItemToUnit(AttackLineBlock& unit, int kind, int factor, int add);

// A configuration's ghost file name made safe to rebuild under "data/PlayData/": only its last
// path part, only letters, digits, '.', '_' and '-', no leading dot; "BattleGhost.gst" when
// nothing is left.
std::string SafeGhostFileName(const char* name);

// True when a fallback copy may be written under this name: a battle ghost by its extension
// (".gst", any case) with a name before it. Every other play-data file (the push recording, the
// configurations, the records, the pack) belongs to another part of the game and is never
// written over with a ghost.
bool IsGhostFileName(const std::string& name);

} // namespace battle
