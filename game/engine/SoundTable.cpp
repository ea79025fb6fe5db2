// The sound table (see SoundTable.h).
#include "engine/SoundTable.h"
#include <helvane/XmlText.h>

#include <helvane/Log.h>
#include <helvane/ResourceFileManager.h>
#include <win32/Files.h>
#include <win32/Text.h>

#include <tinyxml.h>

CSoundTable SoundTable;

namespace {

constexpr int kControlVolume = 1;

constexpr std::array<const char*, CSoundTable::kKeyCount> kSoundKeys = {
    "Click", "ClickStar", "ItemDrop", "AllClear", "AllClearTail", "ComboStart", "ComboStartVoice",
    "AllClear5", "Rotate", "UnlockItem", "UnlockItemFail", "GameModeUnlock", "Unlock_Achievements",
    "MagicTurn", "DoubleChance", "Double", "ClickLoss", "ReadyGo", "ReadyGoIQ", "Eraser", "BGM_Opening1",
    "BGM_Opening2", "BGM_Opening3", "BGM_OpeningLoop", "BGM_Menu", "BGM_Credit", "BGM_BATTLE", "BGM_PUZZLE",
    "BGM_IQPUZZLE", "BGM_IQPUZZLELIST", "BGM_PUSH", "BGM_RESULT", "PushGoUser", "PushGoCom",
    "PushAttackingBase", "PushAttackingVoice", "PushAttackedBase", "PushAttackedVoice", "AttackingBase1",
    "AttackingBase2", "AttackingBase3", "AttackingVoice1", "AttackingVoice2", "AttackedBase1",
    "AttackedBase2", "AttackedBase3", "AttackedVoice1", "AttackedVoice2", "CrazyLoopUser", "CrazyJumpUser",
    "CrazyLoopCom", "CrazyJumpCom", "Slip", "RemovePin", "Alert", "GoSmallUser", "GoUser", "GoBigUser",
    "GoCrazyUser", "GoSmallCom", "GoCom", "GoBigCom", "GoCrazyCom", "Vanteo", "LastAttacking",
    "LastAttacked", "Result_NewRecord", "Result_GameOver", "IQPuzzle_Clear", "IQPuzzle_Fail",
    "IQPuzzle_BlockDown", "UpSizing", "Invinsible", "BigStar", "BigStarLast", "BigStarCom", "BigStone",
    "BigStoneCom", "KillPin", "SpeedUp", "DownSizing", "BlockDrop", "PenaltySmall", "PenaltyBig",
    "MaxCombo10", "MaxCombo100", "MC_PlusOne", "MC_PlusFull", "MC_EraseBlock", "SC_SelectStage",
    "SC_ComboBreak", "SC_PointUp1", "SC_PointUp2", "SC_PointUp3", "SC_ComboUp", "SC_Countdown_3",
    "SC_Countdown_10", "PC_ReadyGo", "PC_PlayEnd", "PC_BonusTime", "PC_10Sec", "PC_AllClearN",
    "PC_AllClearNN", "PC_Alert50", "PC_Alert57", "PC_PointSign1", "PC_PointSign2", "PC_PointSign3",
    "PC_PointUp1", "PC_PointUp2", "PC_PointUp3", "PC_EraseBlock", "Multi_GuestIn", "Multi_Ready",
    "Multi_NoReady", "Multi_ChatMsg"};

// Loads a game-data file from the current directory, else through the data-folder index.
bool LoadDataXml(const std::string& name, TiXmlDocument& doc)
{
    std::string text;
    bool read = platform::ReadWholeFile(name, text, platform::kMaxXmlFileBytes);
    if (!read) {
        const wchar_t* found = CResourceFileManager::GetSingleton().GetFullPathNameW(platform::Widen(name), kResourceData);
        read = found && platform::ReadWholeFile(platform::Narrow(found), text, platform::kMaxXmlFileBytes);
    }
    if (!read)
        return false;
    ParseXmlText(doc, text);
    return !doc.Error();
}

} // namespace

const std::array<const char*, CSoundTable::kKeyCount>& CSoundTable::KeyNames() { return kSoundKeys; }

void CSoundTable::AttachServer(SoundTableServer* server)
{
    std::lock_guard guard(m_lock);
    m_server = server;
}

int CSoundTable::GetSoundId(int key) const
{
    std::lock_guard guard(m_lock);
    return ValidKey(key) ? m_ids[key] : -1;
}

int CSoundTable::GetSetFileCount() const
{
    std::lock_guard guard(m_lock);
    return static_cast<int>(m_setFiles.size());
}

void CSoundTable::LoadSoundList(int currentSkin)
{
    std::lock_guard guard(m_lock);
    if (m_loaded)
        return;
    TiXmlDocument doc;
    if (!LoadDataXml(kSoundListFile, doc)) {
        DFLog(L"Vanteo_SoundList.xml Config 파일이 없습니다.");
        return;
    }
    const TiXmlElement* root = doc.FirstChildElement("SoundList");
    if (!root) {
        DFLog(L"XML Node에 SoundList Node가 없습니다.");
        return;
    }
    for (const TiXmlElement* sound = root->FirstChildElement("sound"); sound; sound = sound->NextSiblingElement("sound"))
        if (const char* file = sound->Attribute("file"))
            m_setFiles.emplace_back(file);
    LoadSoundSet(0);
    m_baseIds = m_ids;
    SelectSoundSet(currentSkin);
    m_loaded = 1;
}

void CSoundTable::LoadSoundSet(int set)
{
    std::lock_guard guard(m_lock);
    if (set < 0 || static_cast<size_t>(set) >= m_setFiles.size() || m_setFiles[set] == m_currentSetFile)
        return;
    m_currentSetFile = m_setFiles[set].substr(0, kSetFileChars);
    TiXmlDocument doc;
    if (!LoadDataXml(m_setFiles[set], doc)) {
        DFLog(L"%s Config 파일이 없습니다.", platform::Widen(m_setFiles[set]).c_str());
        return;
    }
    if (set > 0)
        m_ids = m_baseIds; // keys this set leaves out keep set 0's sound
    const TiXmlElement* root = doc.FirstChildElement("VanteoSkin");
    const TiXmlElement* sounds = root ? root->FirstChildElement("sound") : nullptr;
    if (!sounds || !m_server)
        return;
    // Without a sound device every file of the set fails: the first missing file is named once,
    // with the number of files missing, instead of one line per sound.
    std::string firstMissing;
    int missing = 0;
    for (int key = 0; key < kKeyCount; ++key) {
        const char* file = sounds->Attribute(kSoundKeys[key]);
        if (!file)
            continue;
        int id = m_server->LoadSound(platform::Widen(file), kControlVolume, IsMusicKey(key));
        if (id == -1) {
            if (missing++ == 0)
                firstMissing = file;
            continue;
        }
        if (IsMusicKey(key))
            m_server->SetLoop(id, true);
        if (id != m_ids[key]) {
            if (m_ids[key] != -1 && m_ids[key] != m_baseIds[key])
                m_server->UnloadSound(m_ids[key]);
            m_ids[key] = id;
        }
    }
    if (missing == 1)
        DFLog(L"%s 사운드가 없습니다.", platform::Widen(firstMissing).c_str());
    else if (missing > 1)
        DFLog(L"%s 사운드가 없습니다. (%d개)", platform::Widen(firstMissing).c_str(), missing);
}

void CSoundTable::SelectSoundSet(int set)
{
    std::lock_guard guard(m_lock);
    if (set < 0 || set > kMaxSelectableSet || static_cast<size_t>(set) >= m_setFiles.size())
        return;
    int music = m_currentMusicKey;
    if (music != -1)
        StopSoundByKey(music);
    LoadSoundSet(set);
    if (music != -1)
        PlaySoundByKey(music, false, -1.0f);
}

bool CSoundTable::PlaySoundByKey(int key, bool loop, float volume)
{
    std::lock_guard guard(m_lock);
    if (!ValidKey(key))
        return false;
    bool music = IsMusicKey(key);
    if (!music && !m_effectsEnabled)
        return false;
    if (music) {
        if (!m_musicEnabled)
            return true;
        m_currentMusicKey = key;
    }
    int id = m_ids[key];
    if (!m_server || !m_server->HasSound(id))
        return false;
    if (volume > 0.0f && volume != m_server->GetVolume(id))
        m_server->SetVolume(id, volume);
    if (m_server->IsPlaying(id))
        m_server->Reset(id);
    bool played = m_server->Play(id, loop);
    if (!played && !m_playFailureLogged[key]) {
        m_playFailureLogged[key] = true;
        DFLog(L"%d id 사운드 재생을 실패 했습니다.", key);
    }
    return played;
}

void CSoundTable::StopSoundByKey(int key)
{
    std::lock_guard guard(m_lock);
    if (!ValidKey(key))
        return;
    if (m_server && m_server->HasSound(m_ids[key]))
        m_server->Reset(m_ids[key]);
    if (key == m_currentMusicKey)
        m_currentMusicKey = -1;
}
