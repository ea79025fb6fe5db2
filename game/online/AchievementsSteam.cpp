#include "online/AchievementsSteam.h"

#include "app/GameDataXml.h"
#include "app/MainWindow.h"
#include "engine/RenderBackend.h"

#include <helvane/Log.h>
#include <win32/Debug.h>
#include <win32/Text.h>
#include <win32/Time.h>

#include <cstdio>

namespace {

// Reads the state of each record from the k-th "Achiev" element; extra elements are ignored.
void ReadStates(const TiXmlElement* root)
{
    int k = 0;
    for (const TiXmlElement* e = root->FirstChildElement("Achiev"); e && k < kAchievementCount;
         e = e->NextSiblingElement("Achiev"), ++k) {
        AchievementRecord& record = g_AchievementRecords[k];
        record.achieved = gamedata::IntAttribute(e, "IsAchiev", 0) != 0;
        const char* time = e->Attribute("time");
        if (time && *time)
            gamedata::CopyText(record.time, sizeof record.time, time);
        else
            FormatAchievementTime(record.time, sizeof record.time);
    }
}

int TextureOf(const char* file)
{
    return GetRenderBackend().GetTextureHandle(file ? file : "", true);
}

// Texts, icons and display order; an entry without a valid record id is logged and skipped.
void ReadDescriptions(const TiXmlElement* root)
{
    int k = 0;
    for (const TiXmlElement* e = root->FirstChildElement("Achiev"); e && k < kAchievementCount;
         e = e->NextSiblingElement("Achiev"), ++k) {
        int id = gamedata::IntAttribute(e, "steamid", -1);
        if (id < 0 || id >= kAchievementCount) {
            DFLog(L"%S: Achiev %d has no valid steamid", kAchievementDescFile, k);
            continue;
        }
        AchievementRecord& record = g_AchievementRecords[id];
        g_nAchievementOrder[k] = id;
        const char* desc1 = e->Attribute("desc1");
        const char* desc2 = e->Attribute("desc2");
        gamedata::CopyText(record.desc1, sizeof record.desc1, desc1 ? desc1 : "");
        gamedata::CopyText(record.desc2, sizeof record.desc2, desc2 ? desc2 : "");
        record.lockTexture = TextureOf(e->Attribute("LockImage"));
        record.unlockTexture = TextureOf(e->Attribute("UnlockImage"));
    }
}

// The root "Achievements" of a file, or null with the log line of what is missing.
const TiXmlElement* LoadRoot(const char* path, TiXmlDocument& doc)
{
    if (!gamedata::LoadXmlFile(path, doc)) {
        DFLog(L"%s Config 파일이 없습니다.", platform::Widen(path).c_str());
        return nullptr;
    }
    const TiXmlElement* root = doc.FirstChildElement("Achievements");
    if (!root)
        DFLog(L"%s XML Node에 Achievements Node가 없습니다.", platform::Widen(path).c_str());
    return root;
}

} // namespace

void FormatAchievementTime(char* out, size_t capacity)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::snprintf(out, capacity, "%d.%02d.%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
}

Achievements_Steam::Achievements_Steam()
    : m_CallbackUserStatsReceived(this, &Achievements_Steam::OnUserStatsReceived),
      m_CallbackUserStatsStored(this, &Achievements_Steam::OnUserStatsStored),
      m_CallbackAchievementStored(this, &Achievements_Steam::OnAchievementStored)
{
    if (ISteamUtils* utils = SteamUtils())
        m_nGameID = utils->GetAppID() & 0xFFFFFFu;
    m_pSteamUser = SteamUser();
    m_pSteamUserStats = SteamUserStats();
}

void Achievements_Steam::Update()
{
    if (!m_bStatsRequested) {
        if (!m_pSteamUser || !m_pSteamUserStats) {
            // Without the platform the statistics are never asked for.
            m_bStatsRequested = true;
            return;
        }
        if (!m_pSteamUser->BLoggedOn())
            return;
        m_bStatsRequested = m_pSteamUserStats->RequestCurrentStats();
    }
    if (m_bStatsReceived)
        Store();
}

void Achievements_Steam::Store()
{
    if (!m_bStoreNeeded || m_bStoring || !m_pSteamUserStats)
        return;
    bool ok = m_pSteamUserStats->StoreStats();
    if (ok)
        DFLog(L"Save Stats ");
    SaveFile();
    m_bStoring = ok;
    m_bStoreNeeded = !ok;
}

void Achievements_Steam::OnUserStatsReceived(UserStatsReceived_t* result)
{
    if (!m_pSteamUserStats || result->m_nGameID != m_nGameID || result->m_eResult != k_EResultOK)
        return;
    OutputDebugStringA("Received stats and achievements from Steam\n");
    m_bStatsReceived = true;
    for (AchievementRecord& record : g_AchievementRecords) {
        bool achieved = record.achieved;
        if (!m_pSteamUserStats->GetAchievement(record.apiName, &achieved))
            continue;
        record.achieved = achieved;
        if (g_bClearAchievements) {
            record.achieved = false;
            m_pSteamUserStats->ClearAchievement(record.apiName);
        }
        gamedata::CopyText(record.name, sizeof record.name,
                           m_pSteamUserStats->GetAchievementDisplayAttribute(record.apiName, "name"));
    }
}

void Achievements_Steam::OnUserStatsStored(UserStatsStored_t*)
{
    m_bStoring = false;
}

void Achievements_Steam::OnAchievementStored(UserAchievementStored_t* result)
{
    // Each confirmation advances the queue of records waiting for the platform by one.
    if (!m_Pending.empty())
        m_Pending.pop_front();
    if (m_Pending.empty())
        SaveFile();
    Store();
}

int Achievements_Steam::LoadFiles()
{
    if (m_bFilesLoaded)
        return 0;
    TiXmlDocument state;
    const TiXmlElement* stateRoot = LoadRoot(kAchievementStateFile, state);
    if (!stateRoot)
        return 0;
    ReadStates(stateRoot);
    TiXmlDocument desc;
    const TiXmlElement* descRoot = LoadRoot(kAchievementDescFile, desc);
    if (!descRoot)
        return 0;
    ReadDescriptions(descRoot);
    m_bFilesLoaded = true;
    return 1;
}

void Achievements_Steam::SaveFile()
{
    TiXmlDocument doc;
    auto* root = new TiXmlElement("Achievements");
    doc.LinkEndChild(root);
    for (const AchievementRecord& record : g_AchievementRecords) {
        auto* e = new TiXmlElement("Achiev");
        e->SetAttribute("IsAchiev", record.achieved ? 1 : 0);
        e->SetAttribute("time", record.time);
        root->LinkEndChild(e);
    }
    gamedata::SaveXmlFile(kAchievementStateFile, doc);
}

int Achievements_Steam::CountUnlocked() const
{
    int count = 0;
    for (const AchievementRecord& record : g_AchievementRecords)
        count += record.achieved ? 1 : 0;
    return count;
}
