// The achievements object of the game: fetches the player's achievements from the platform once
// after log-on, stores the statistics when a change is pending, and keeps the local state file
// "Data/PlayData/Steam_Achievements.xml" with the texts and icons of the description file.
#pragma once

#include "net/Achievements.h"

#include <steam/SteamApi.h>

#include <cstddef>
#include <deque>
#include <mutex>

class IMessageSink;
class ISoundSink;

// The scene message posted for every achievement the platform confirms.
inline constexpr int32_t MSG_ACHIEVEMENT_STORED = 2031;
// Cubes paid for each confirmed achievement, and the most a player can hold.
inline constexpr int kAchievementBonusCubes = 100;
inline constexpr int kMaxCubes = 9999;
// The sound of a confirmed achievement.
inline constexpr int kAchievementSound = 12;

inline constexpr const char* kAchievementStateFile = "Data/PlayData/Steam_Achievements.xml";
inline constexpr const char* kAchievementDescFile = "Data/Achievment/Steam_Achievements_desc.xml";

class Achievements_Steam : public Achievements {
public:
    // Registers the three statistics callbacks and takes the application id, the user and the
    // statistics interfaces.
    Achievements_Steam();
    ~Achievements_Steam() override = default;

    void Update() override;
    void PostUpdate() override {}
    void Store() override;
    void Unlock(AchievementRecord* record) override;
    void CheckStatAchievements() override;
    void CheckPushUnlock() override;
    void CheckUnlockAchievements() override;
    void CheckMaxCombo() override;

    // Reads the state and description files into the records, once: 1 when both were read.
    int LoadFiles();
    // Writes the state file from the table.
    void SaveFile();
    int CountUnlocked() const;

    void OnUserStatsReceived(UserStatsReceived_t* result);
    void OnUserStatsStored(UserStatsStored_t* result);
    void OnAchievementStored(UserAchievementStored_t* result);

    bool IsStatsRequested() const { return m_bStatsRequested; }
    bool IsStatsReceived() const { return m_bStatsReceived; }
    // Records sent or waiting to be sent, the one in flight first.
    size_t PendingCount() const;

    // Where the confirmation sound and message go (the game's unless a test says otherwise).
    void SetSinks(ISoundSink* sounds, IMessageSink* messages);

protected:
    CCallback<Achievements_Steam, UserStatsReceived_t> m_CallbackUserStatsReceived;
    CCallback<Achievements_Steam, UserStatsStored_t> m_CallbackUserStatsStored;
    CCallback<Achievements_Steam, UserAchievementStored_t> m_CallbackAchievementStored;
    bool m_bStatsRequested = false;
    bool m_bStatsReceived = false;
    bool m_bStoreNeeded = false;
    ISteamUser* m_pSteamUser = nullptr;
    ISteamUserStats* m_pSteamUserStats = nullptr;
    uint64_t m_nGameID = 0;
    std::deque<AchievementRecord*> m_Pending;
    bool m_bFilesLoaded = false;
    bool m_bStoring = false;
    // The queue and the flags are reached from the scene loader thread (the main menu's Enter)
    // and from the main thread's callbacks.
    mutable std::recursive_mutex m_Lock;
    ISoundSink* m_pSounds = nullptr;
    IMessageSink* m_pMessages = nullptr;

private:
    // Sends the head of the queue; a record the platform refuses leaves the queue (it stays
    // earned locally) so the ones behind it are not held up. True when one is in flight.
    bool SendHead();
    void PayBonus();
};

// The 1-based number of the stage last won in the stage challenge.
extern int g_nStageChallengeCleared;
// "-a" on the command line: clear every achievement when the platform's statistics arrive.
extern int g_bClearAchievements;

// "YYYY.MM.DD hh:mm:ss" of the current local time.
void FormatAchievementTime(char* out, size_t capacity);
