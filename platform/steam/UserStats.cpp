// User statistics of the platform: achievements kept per profile, and leaderboards.
// Implemented: RequestCurrentStats (UserStatsReceived_t on the next pump), GetAchievement,
//              SetAchievement (one UserAchievementStored_t each), ClearAchievement, display names
//              (the API name), StoreStats (UserStatsStored_t); achievements are written to the
//              profile's "achievements.txt" ("<name> <unix time>" per earned one) at every change.
//              Leaderboards: found or created, uploaded (keep-best or force) and downloaded
//              (global ranges and around the user) through the online backend (Online.h).
// Left out:    numeric statistics and leaderboard details (uploaded details are not kept).
#include "ClientState.h"

#include "win32/Files.h"

#include <cstring>
#include <ctime>
#include <sstream>

namespace platform::steam {

namespace {

constexpr const char* kAchievementFile = "achievements.txt";
constexpr size_t kNameBytes = 128;

bool IsAchievementName(const char* name)
{
    if (!name)
        return false;
    size_t length = std::strlen(name);
    if (length == 0 || length >= kNameBytes)
        return false;
    for (size_t i = 0; i < length; ++i) {
        char c = name[i];
        bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok)
            return false;
    }
    return true;
}

class ProfileUserStats final : public ISteamUserStats {
public:
    ProfileUserStats(std::string folder, CSteamID self) : m_file(std::move(folder) + "/" + kAchievementFile), m_self(self)
    {
        Load();
    }

    bool RequestCurrentStats() override
    {
        UserStatsReceived_t record{};
        record.m_nGameID = kAppId & 0xFFFFFF;
        record.m_eResult = k_EResultOK;
        record.m_steamIDUser = m_self;
        QueueRecord(record);
        return true;
    }

    bool GetAchievement(const char* name, bool* achieved) override
    {
        if (!IsAchievementName(name) || !achieved)
            return false;
        std::lock_guard guard(State().lock);
        *achieved = m_earned.count(name) != 0;
        return true;
    }

    bool SetAchievement(const char* name) override
    {
        if (!IsAchievementName(name))
            return false;
        std::lock_guard guard(State().lock);
        if (!m_earned.count(name)) {
            m_earned[name] = static_cast<int64_t>(std::time(nullptr));
            Save();
        }
        UserAchievementStored_t record{};
        record.m_nGameID = kAppId & 0xFFFFFF;
        std::strncpy(record.m_rgchAchievementName, name, sizeof record.m_rgchAchievementName - 1);
        QueueRecord(record);
        return true;
    }

    bool ClearAchievement(const char* name) override
    {
        if (!IsAchievementName(name))
            return false;
        std::lock_guard guard(State().lock);
        if (m_earned.erase(name))
            Save();
        return true;
    }

    const char* GetAchievementDisplayAttribute(const char* name, const char* key) override
    {
        if (!IsAchievementName(name) || !key || std::strcmp(key, "name") != 0)
            return "";
        std::lock_guard guard(State().lock);
        return m_displayNames.emplace(name, name).first->second.c_str();
    }

    bool StoreStats() override
    {
        std::lock_guard guard(State().lock);
        bool saved = Save();
        UserStatsStored_t record{};
        record.m_nGameID = kAppId & 0xFFFFFF;
        record.m_eResult = saved ? k_EResultOK : k_EResultFail;
        QueueRecord(record);
        return true;
    }

    // Leaderboards live in the online backend, shared by every player who reaches it.
    SteamAPICall_t FindOrCreateLeaderboard(const char* name, ELeaderboardSortMethod sort,
                                           ELeaderboardDisplayType display) override
    {
        std::lock_guard guard(State().lock);
        return Boards() ? Boards()->FindOrCreateLeaderboard(name, sort, display) : k_uAPICallInvalid;
    }

    const char* GetLeaderboardName(SteamLeaderboard_t board) override
    {
        std::lock_guard guard(State().lock);
        return Boards() ? Boards()->GetLeaderboardName(board) : "";
    }

    int GetLeaderboardEntryCount(SteamLeaderboard_t board) override
    {
        std::lock_guard guard(State().lock);
        return Boards() ? Boards()->GetLeaderboardEntryCount(board) : 0;
    }

    SteamAPICall_t DownloadLeaderboardEntries(SteamLeaderboard_t board, ELeaderboardDataRequest request, int start,
                                              int end) override
    {
        std::lock_guard guard(State().lock);
        return Boards() ? Boards()->DownloadLeaderboardEntries(board, request, start, end) : k_uAPICallInvalid;
    }

    bool GetDownloadedLeaderboardEntry(SteamLeaderboardEntries_t entries, int index, LeaderboardEntry_t* entry,
                                       int32_t* details, int detailsMax) override
    {
        std::lock_guard guard(State().lock);
        return Boards() && Boards()->GetDownloadedLeaderboardEntry(entries, index, entry, details, detailsMax);
    }

    SteamAPICall_t UploadLeaderboardScore(SteamLeaderboard_t board, ELeaderboardUploadScoreMethod method, int32_t score,
                                          const int32_t* /*details*/, int /*detailsCount*/) override
    {
        std::lock_guard guard(State().lock);
        return Boards() ? Boards()->UploadLeaderboardScore(board, method, score) : k_uAPICallInvalid;
    }

private:
    static Leaderboards* Boards() { return State().online ? &State().online->Boards() : nullptr; }

    void Load()
    {
        std::string text;
        if (!platform::ReadWholeFile(m_file, text))
            return;
        std::istringstream lines(text);
        std::string name;
        int64_t time = 0;
        while (lines >> name >> time)
            if (IsAchievementName(name.c_str()))
                m_earned[name] = time;
    }

    bool Save() const
    {
        std::ostringstream out;
        for (const auto& [name, time] : m_earned)
            out << name << ' ' << time << '\n';
        return platform::SaveFileAtomically(m_file, out.str());
    }

    std::string m_file;
    CSteamID m_self;
    std::map<std::string, int64_t> m_earned;
    std::map<std::string, std::string> m_displayNames;
};

} // namespace

std::unique_ptr<ISteamUserStats> MakeUserStats(const std::string& folder, CSteamID self)
{
    return std::make_unique<ProfileUserStats>(folder, self);
}

} // namespace platform::steam
