// The 75 achievements of the game: their records, the display order of the achievements
// pop-up, and the interface through which the game reaches the one achievements object
// (g_pAchievements). Every operation of the interface does nothing here; Achievements_Steam
// does the work with the platform.
#pragma once

#include <cstdint>

inline constexpr int kAchievementCount = 75;

// One achievement. The table g_AchievementRecords holds them in id order; callers address
// records by pointer into it.
struct AchievementRecord {
    int32_t id;
    const char* apiName;  // the platform's name, fixed in the program
    char name[128];       // built-in English title, then the platform's display name
    char desc1[256];
    char desc2[256];
    bool achieved;
    char time[128];  // "YYYY.MM.DD hh:mm:ss", local time
    int32_t lockTexture;
    int32_t unlockTexture;
};

extern AchievementRecord g_AchievementRecords[kAchievementCount];
// Slot k holds the id of the record the pop-up shows k-th.
extern int32_t g_nAchievementOrder[kAchievementCount];

// The record of an API name; null for a name the table lacks.
AchievementRecord* FindAchievement(const char* apiName);
// Earns the record of an API name through g_pAchievements; nothing without that object.
void UnlockAchievementNamed(const char* apiName);

class Achievements {
public:
    virtual ~Achievements() = default;
    // Right after Update on every idle turn of the main loop.
    virtual void PostUpdate() {}
    virtual void OnMainMenuLeave() {}
    // Every idle turn: fetches the player's state once after log-on, then stores pending changes.
    virtual void Update() {}
    virtual void CheckStatAchievements() {}
    virtual void CheckPushUnlock() {}
    virtual void CheckUnlockAchievements() {}
    virtual void CheckMaxCombo() {}
    virtual void Unlock(AchievementRecord* /*record*/) {}
    virtual void Store() {}
};
