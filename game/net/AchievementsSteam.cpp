#include "net/AchievementsSteam.h"

#include "data/GameDataXml.h"
#include "data/Options.h"
#include "data/Records.h"
#include "data/UnlockInfo.h"
#include "board/GameSeams.h"
#include "board/GameSinks.h"
#include "engine/DigitDisplay.h"
#include "engine/RenderBackend.h"

#include <helvane/Log.h>
#include <win32/Debug.h>
#include <win32/Text.h>
#include <win32/Time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

int g_nStageChallengeCleared = 0;
int g_bClearAchievements = 0;

namespace {

// Record ids the checks of this object earn.
enum : int {
    ACH_BATTLE_SELF_WIN_10 = 2,
    ACH_BATTLE_SELF_WIN_100 = 3,
    ACH_PUSH_SELF_WIN_10 = 8,
    ACH_PUSH_SELF_WIN_100 = 9,
    ACH_STAT_EXECUTE_100 = 37,
    ACH_STAT_CUBE_2K = 55,
    ACH_STAT_CUBE_9K = 56,
    ACH_UNLOCK_MODE_PUSH = 62,
    ACH_UNLOCK_MODE_BATTLE = 63,
    ACH_UNLOCK_MODE_IQ = 64,
    ACH_UNLOCK_ALL_PUZZLE = 65,
    ACH_UNLOCK_ALL_BATTLE = 66,
    ACH_UNLOCK_ALL_PUSH = 67,
    ACH_UNLOCK_ALL_IQ = 68,
    ACH_UNLOCK_ALL_SKINS = 69,
    ACH_UNLOCK_ALL_TUTORIALS = 70,
};

// The play-record counters and their two thresholds, in the order they are checked; the
// records are consecutive from ACH_STAT_EXECUTE_100.
struct StatRule {
    const char* counter;
    int first, second;
};
constexpr StatRule kStatRules[] = {
    {"Excute", 100, 500},     {"PlayTime", 36000, 180000}, {"BlockClick", 10000, 500000},
    {"Rotation", 2000, 100000}, {"BlockClear", 5000, 250000}, {"BigStar", 500, 5000},
    {"BigStone", 500, 5000},  {"Chain", 1000, 50000},      {"MagicTurn", 500, 20000},
};

// True when every entry of the unlock group is unlocked; an empty group counts as unlocked.
bool AllUnlocked(int group)
{
    for (int i = 0;; ++i) {
        const UnlockInfo* info = GetUnlockInfo(group, i);
        if (!info)
            return true;
        if (!info->isUnlock)
            return false;
    }
}

int CounterOf(const TiXmlElement* element, const char* counter)
{
    int value = 0;
    return element && element->QueryIntAttribute(counter, &value) == TIXML_SUCCESS ? value : 0;
}

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

void Achievements_Steam::SetSinks(ISoundSink* sounds, IMessageSink* messages)
{
    m_pSounds = sounds;
    m_pMessages = messages;
}

size_t Achievements_Steam::PendingCount() const
{
    std::lock_guard guard(m_Lock);
    return m_Pending.size();
}

void Achievements_Steam::Update()
{
    std::lock_guard guard(m_Lock);
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
    std::lock_guard guard(m_Lock);
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
    std::lock_guard guard(m_Lock);
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
    std::lock_guard guard(m_Lock);
    m_bStoring = false;
}

void Achievements_Steam::Unlock(AchievementRecord* record)
{
    if (!record)
        return;
    std::lock_guard guard(m_Lock);
    if (record->achieved)
        return;
    if (!m_pSteamUserStats) {
        // Without the platform the achievement is kept here, with its time, and pays nothing.
        record->achieved = true;
        FormatAchievementTime(record->time, sizeof record->time);
        SaveFile();
        return;
    }
    if (!m_Pending.empty()) {
        // One achievement is in flight at a time; this one is sent when its turn comes.
        record->achieved = true;
        m_Pending.push_back(record);
    } else {
        if (m_pSteamUserStats->SetAchievement(record->apiName)) {
            record->achieved = true;
            DFLog(L"Send Achievement = %S", record->name);
            m_bStoreNeeded = true;
            m_Pending.push_back(record);
            FormatAchievementTime(record->time, sizeof record->time);
        }
        SaveFile();
    }
    Store();
}

bool Achievements_Steam::SendHead()
{
    while (!m_Pending.empty()) {
        AchievementRecord* head = m_Pending.front();
        if (m_pSteamUserStats && m_pSteamUserStats->SetAchievement(head->apiName)) {
            DFLog(L"Send Achievement = %S", head->name);
            FormatAchievementTime(head->time, sizeof head->time);
            m_bStoreNeeded = true;
            return true;
        }
        DFLog(L"The platform refused the achievement %S; it stays earned here", head->apiName);
        m_Pending.pop_front();
    }
    return false;
}

void Achievements_Steam::PayBonus()
{
    ISoundSink& sounds = m_pSounds ? *m_pSounds : static_cast<ISoundSink&>(GetSoundTableSink());
    sounds.Play(kAchievementSound);
    GameConfig.cubes = std::min(GameConfig.cubes + kAchievementBonusCubes, kMaxCubes);
    // Saved at once: nothing else may save the options before the player quits, and the bonus
    // would be lost with them.
    SaveGameConfig();
    ShowBonusMessage();
    IMessageSink& messages = m_pMessages ? *m_pMessages : static_cast<IMessageSink&>(GetSceneQueueSink());
    messages.Post(MSG_ACHIEVEMENT_STORED, nullptr, 0);
}

void Achievements_Steam::OnAchievementStored(UserAchievementStored_t* result)
{
    std::lock_guard guard(m_Lock);
    char name[sizeof result->m_rgchAchievementName + 1] = {};
    std::memcpy(name, result->m_rgchAchievementName, sizeof result->m_rgchAchievementName);
    DFLog(L"Recieve Achievement = %S", name);
    // Only the achievement in flight is confirmed by this; any other name is not one this
    // object sent, and pays nothing.
    if (m_Pending.empty() || std::strcmp(m_Pending.front()->apiName, name) != 0) {
        DFLog(L"The confirmed achievement %S was not the one sent; ignored", name);
        return;
    }
    PayBonus();
    m_Pending.pop_front();
    if (!SendHead())
        SaveFile();
    Store();
}

void Achievements_Steam::CheckStatAchievements()
{
    std::lock_guard guard(m_Lock);
    if (GameConfig.unlockBattle)
        Unlock(&g_AchievementRecords[ACH_UNLOCK_MODE_BATTLE]);
    int record = ACH_STAT_EXECUTE_100;
    for (const StatRule& rule : kStatRules) {
        const TiXmlElement* player = PlayRecord.player;
        if (!player)
            break;
        int value = CounterOf(player, rule.counter);
        if (value >= rule.first)
            Unlock(&g_AchievementRecords[record]);
        if (value >= rule.second)
            Unlock(&g_AchievementRecords[record + 1]);
        record += 2;
    }
    if (GameConfig.cubes >= 2000)
        Unlock(&g_AchievementRecords[ACH_STAT_CUBE_2K]);
    if (GameConfig.cubes >= 9000)
        Unlock(&g_AchievementRecords[ACH_STAT_CUBE_9K]);
}

void Achievements_Steam::CheckPushUnlock()
{
    if (g_nStageChallengeCleared == 10)
        Unlock(&g_AchievementRecords[ACH_UNLOCK_MODE_PUSH]);
}

void Achievements_Steam::CheckUnlockAchievements()
{
    std::lock_guard guard(m_Lock);
    if (AllUnlocked(UNLOCK_PUZZLE))
        Unlock(&g_AchievementRecords[ACH_UNLOCK_ALL_PUZZLE]);
    if (AllUnlocked(UNLOCK_IQ))
        Unlock(&g_AchievementRecords[ACH_UNLOCK_ALL_IQ]);
    if (AllUnlocked(UNLOCK_BATTLE) && AllUnlocked(UNLOCK_BATTLE_GEEK))
        Unlock(&g_AchievementRecords[ACH_UNLOCK_ALL_BATTLE]);
    if (AllUnlocked(UNLOCK_PUSH) && AllUnlocked(UNLOCK_PUSH_GEEK))
        Unlock(&g_AchievementRecords[ACH_UNLOCK_ALL_PUSH]);
    if (!GameConfig.showBattleTutorial && !GameConfig.showIQTutorial && !GameConfig.showPuzzleTutorial &&
        !GameConfig.showPushTutorial)
        Unlock(&g_AchievementRecords[ACH_UNLOCK_ALL_TUTORIALS]);
    if (GameConfig.skin2Unlocked && GameConfig.skin3Unlocked)
        Unlock(&g_AchievementRecords[ACH_UNLOCK_ALL_SKINS]);
    auto selfWins = [&](int wins, int ten, int hundred) {
        if (wins >= 100) {
            Unlock(&g_AchievementRecords[ten]);
            Unlock(&g_AchievementRecords[hundred]);
        } else if (wins >= 10) {
            Unlock(&g_AchievementRecords[ten]);
        }
    };
    selfWins(GameConfig.selfWinBattle + GameConfig.selfWinStackBattle, ACH_BATTLE_SELF_WIN_10, ACH_BATTLE_SELF_WIN_100);
    selfWins(GameConfig.selfWinPush + GameConfig.selfWinStackPush, ACH_PUSH_SELF_WIN_10, ACH_PUSH_SELF_WIN_100);
}

void Achievements_Steam::CheckMaxCombo()
{
    if (CounterOf(PlayRecord.thisGame.get(), "MaxCombo") >= 50)
        Unlock(&g_AchievementRecords[ACH_UNLOCK_MODE_IQ]);
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
