// The menu unlock file "Data/PlayData/QuiblyUnlockMenu.xml": for seven groups of menu buttons,
// each sub-mode button that can be bought with cubes, its lock and price pictures, its price
// and whether it is unlocked. Loaded once per run by the main menu, which changes the flags
// and saves the file.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

inline constexpr const char* kUnlockMenuFile = "Data/PlayData/QuiblyUnlockMenu.xml";

enum UnlockGroup : int {
    UNLOCK_PUZZLE = 0,
    UNLOCK_BATTLE,
    UNLOCK_PUSH,
    UNLOCK_IQ,
    UNLOCK_MULTI,
    UNLOCK_BATTLE_GEEK,
    UNLOCK_PUSH_GEEK,
    UNLOCK_GROUP_COUNT
};

struct UnlockInfo {
    static constexpr size_t kNameBytes = 128;

    int group = 0;
    char btnName[kNameBytes] = {};
    char unlockPic[kNameBytes] = {};
    char cubePic[kNameBytes] = {};
    int cube = 100;
    int isUnlock = 0;
};

// 1 when the file was read now; 0 when already loaded in this run, or the file or root is missing.
int LoadUnlockMenu();
void SaveUnlockMenu();
// Lookups return null for a group outside 0..6 or when nothing matches.
UnlockInfo* GetUnlockInfo(int group, int position);
UnlockInfo* FindUnlockInfoByButton(int group, const char* btnName);
UnlockInfo* FindUnlockInfoByPic(int group, const char* unlockPic);

// Frees every entry and clears the loaded flag, as at the end of a run.
void ClearUnlockMenu();
