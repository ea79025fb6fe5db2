// The achievements object of the game: fetches the player's achievements from the platform once
// after log-on, stores the statistics when a change is pending, and keeps the local state file
// "Data/PlayData/Steam_Achievements.xml" with the texts and icons of the description file.
#pragma once

#include "online/Achievements.h"

#include <steam/SteamApi.h>

#include <cstddef>
#include <deque>

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
};

// "YYYY.MM.DD hh:mm:ss" of the current local time.
void FormatAchievementTime(char* out, size_t capacity);
