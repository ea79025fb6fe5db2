// The options and progress file (see Options.h).
#include "data/Options.h"
#include "data/GameDataXml.h"

#include <helvane/Log.h>

#include <algorithm>
#include <string>

using gamedata::IntAttribute;
using gamedata::RealAttribute;

GameConfigRecord GameConfig;

namespace {

// Sound levels held in memory while no sound server is attached.
class StoredOptionsSoundLevels final : public OptionsSoundLevels {
public:
    void SetMusicVolume(float volume) override { m_music = std::clamp(volume, 0.0f, 1.0f); }
    void SetEffectsVolume(float volume) override { m_effects = std::clamp(volume, 0.0f, 1.0f); }
    void SetEffectsMute(bool mute) override { m_effectsMute = mute; }
    void SetMusicMute(bool mute) override { m_musicMute = mute; }
    float GetMusicVolume() const override { return m_music; }
    float GetEffectsVolume() const override { return m_effects; }
    bool IsEffectsMuted() const override { return m_effectsMute; }
    bool IsMusicMuted() const override { return m_musicMute; }

private:
    float m_music = 0.5f;
    float m_effects = 0.5f;
    bool m_effectsMute = false;
    bool m_musicMute = false;
};

StoredOptionsSoundLevels g_storedLevels;
OptionsSoundLevels* g_soundLevels = &g_storedLevels;

struct ShowFlag {
    const char* element;
    int GameConfigRecord::*field;
};

// The "IsShow" elements, in the order the file keeps them.
constexpr ShowFlag kShowFlags[] = {
    {"Opening", &GameConfigRecord::showOpening},
    {"Tutorial", &GameConfigRecord::showTutorial},
    {"BattleTutorial", &GameConfigRecord::showBattleTutorial},
    {"IQTutorial", &GameConfigRecord::showIQTutorial},
    {"PuzzleTutorial", &GameConfigRecord::showPuzzleTutorial},
    {"PushTutorial", &GameConfigRecord::showPushTutorial},
    {"ClickHere", &GameConfigRecord::showClickHere},
    {"GuidedPlay", &GameConfigRecord::guidedPlay},
};

struct IntField {
    const char* attribute;
    int GameConfigRecord::*field;
};

struct IntGroup {
    const char* element;
    IntField fields[5];
    int puzzleDefault; // "UnlockMainMenu" opens the puzzle menu when its attribute is missing
};

constexpr IntGroup kCounterGroups[] = {
    {"SelfWinCount", {{"Battle", &GameConfigRecord::selfWinBattle}, {"Push", &GameConfigRecord::selfWinPush}}, 0},
    {"SelfWinCountStack",
     {{"Battle", &GameConfigRecord::selfWinStackBattle}, {"Push", &GameConfigRecord::selfWinStackPush}}, 0},
    {"SkinUnlock", {{"Skin2", &GameConfigRecord::skin2Unlocked}, {"Skin3", &GameConfigRecord::skin3Unlocked}}, 0},
    {"UnlockMainMenu",
     {{"Puzzle", &GameConfigRecord::unlockPuzzle},
      {"Battle", &GameConfigRecord::unlockBattle},
      {"Push", &GameConfigRecord::unlockPush},
      {"IQ", &GameConfigRecord::unlockIQ},
      {"Multi", &GameConfigRecord::unlockMulti}},
     1},
};

struct RealField {
    const char* attribute;
    float GameConfigRecord::*field;
};

struct RealGroup {
    const char* element;
    RealField fields[5];
};

constexpr RealGroup kRealGroups[] = {
    {"BlockClearTimer",
     {{"BlockClearTimer", &GameConfigRecord::blockClearTimer},
      {"fBlockClearTimerAccel", &GameConfigRecord::blockClearTimerAccel},
      {"BlockClearTimerMin", &GameConfigRecord::blockClearTimerMin},
      {"BlockClearTimerMax", &GameConfigRecord::blockClearTimerMax},
      {"BlockClearTimerLast", &GameConfigRecord::blockClearTimerLast}}},
    {"BlockClearMaxCount",
     {{"BlockClearMaxCount_A", &GameConfigRecord::blockClearMaxCountA},
      {"BlockClearMaxCount_B", &GameConfigRecord::blockClearMaxCountB},
      {"BlockClearMaxCount_Speed", &GameConfigRecord::blockClearMaxCountSpeed}}},
};

void ReadPlayerName(const TiXmlElement* root)
{
    GameConfig.playerName[0] = '\0';
    const TiXmlElement* element = root->FirstChildElement("PlayerName");
    if (!element) {
        gamedata::CopyText(GameConfig.playerName, sizeof GameConfig.playerName, "Unknown Player");
        return;
    }
    if (const char* name = element->Attribute("Name"))
        gamedata::CopyText(GameConfig.playerName, sizeof GameConfig.playerName, name);
}

void ReadSound(const TiXmlElement* root)
{
    OptionsSoundLevels& levels = GetOptionsSoundLevels();
    const TiXmlElement* element = root->FirstChildElement("Sound");
    levels.SetMusicVolume(RealAttribute(element, "MusicVolume", 0.5f));
    levels.SetEffectsVolume(RealAttribute(element, "SoundVolume", 0.5f));
    if (!element)
        return;
    levels.SetEffectsMute(IntAttribute(element, "SoundMute", 0) != 0);
    levels.SetMusicMute(IntAttribute(element, "MusicMute", 0) != 0);
}

void ReadPlayConfig(const TiXmlElement* root)
{
    const TiXmlElement* element = root->FirstChildElement("PlayConfig");
    GameConfig.leftHand = IntAttribute(element, "LeftHand", 0);
    if (element)
        GameConfig.fullScreen = IntAttribute(element, "FullScreen", 0);
}

void ReadGroups(const TiXmlElement* root)
{
    for (const ShowFlag& flag : kShowFlags)
        if (const TiXmlElement* element = root->FirstChildElement(flag.element))
            GameConfig.*flag.field = IntAttribute(element, "IsShow", 0);
    for (const IntGroup& group : kCounterGroups) {
        const TiXmlElement* element = root->FirstChildElement(group.element);
        if (!element)
            continue;
        for (const IntField& field : group.fields)
            if (field.attribute)
                GameConfig.*field.field =
                    IntAttribute(element, field.attribute, field.field == &GameConfigRecord::unlockPuzzle ? group.puzzleDefault : 0);
    }
    for (const RealGroup& group : kRealGroups) {
        const TiXmlElement* element = root->FirstChildElement(group.element);
        for (const RealField& field : group.fields)
            if (field.attribute)
                GameConfig.*field.field = RealAttribute(element, field.attribute, GameConfig.*field.field);
    }
}

TiXmlElement* AddElement(TiXmlElement* root, const char* name)
{
    return root->LinkEndChild(new TiXmlElement(name))->ToElement();
}

} // namespace

void AttachOptionsSoundLevels(OptionsSoundLevels* levels) { g_soundLevels = levels ? levels : &g_storedLevels; }

OptionsSoundLevels& GetOptionsSoundLevels() { return *g_soundLevels; }

int LoadGameConfig()
{
    // A file that cannot be read is not missing: its packed content stands in, or it is held so
    // the defaults are never saved over it (said by the read).
    TiXmlDocument doc;
    std::string text;
    const platform::ReadOutcome outcome = gamedata::ReadPlayDataFile(kGameConfigFile, text, platform::kMaxXmlFileBytes);
    if (outcome == platform::ReadOutcome::Unreadable)
        return 0;
    if (outcome == platform::ReadOutcome::Missing || !gamedata::ParseXmlDocument(text, doc)) {
        DFLog(L"Data/PlayData/QuiblyConfig.xml Config 파일이 없습니다.");
        return 0;
    }
    const TiXmlElement* root = doc.FirstChildElement("VanteoConfig");
    if (!root) {
        DFLog(L"Data/PlayData/QuiblyConfig.xml XML Node에 VanteoConfig Node가 없습니다.");
        return 0;
    }
    GameConfig.currentSkin = IntAttribute(root->FirstChildElement("Skin"), "LastSkin", 0);
    if (GameConfig.currentSkin < 0 || GameConfig.currentSkin > 2) {
        DFLog(LOG_WARN, L"Options: skin %d does not exist; the first skin is worn", GameConfig.currentSkin);
        GameConfig.currentSkin = 0;
    }
    GameConfig.cubes = IntAttribute(root->FirstChildElement("Cube"), "Count", 0);
    // The game never counts more cubes than the cap, nor fewer than none.
    if (GameConfig.cubes < 0 || GameConfig.cubes > kCubeCap) {
        const int clamped = std::clamp(GameConfig.cubes, 0, kCubeCap);
        DFLog(LOG_WARN, L"Options: a cube count of %d is out of range and is taken as %d", GameConfig.cubes, clamped);
        GameConfig.cubes = clamped;
    }
    ReadPlayerName(root);
    ReadSound(root);
    ReadPlayConfig(root);
    ReadGroups(root);
    if (!root->FirstChildElement("GuidedPlay")) {
        // A file from before the guided play had its own key: "Tutorial" then also held the
        // guided play, so a player who has opened a mode has seen the game and is not sent
        // through the tutorial again.
        const bool progressed = GameConfig.unlockPush || GameConfig.unlockBattle || GameConfig.unlockIQ;
        GameConfig.guidedPlay = progressed ? 0 : 1;
        if (progressed)
            GameConfig.showTutorial = 1;
    }
    return 1;
}

void SaveGameConfig()
{
    TiXmlDocument doc;
    TiXmlElement* root = doc.LinkEndChild(new TiXmlElement("VanteoConfig"))->ToElement();
    AddElement(root, "Skin")->SetAttribute("LastSkin", GameConfig.currentSkin);
    AddElement(root, "Cube")->SetAttribute("Count", GameConfig.cubes);
    AddElement(root, "PlayerName")->SetAttribute("Name", GameConfig.playerName);

    const OptionsSoundLevels& levels = GetOptionsSoundLevels();
    TiXmlElement* sound = AddElement(root, "Sound");
    gamedata::SetRealAttribute(sound, "MusicVolume", levels.GetMusicVolume());
    gamedata::SetRealAttribute(sound, "SoundVolume", levels.GetEffectsVolume());
    sound->SetAttribute("SoundMute", levels.IsEffectsMuted() ? 1 : 0);
    sound->SetAttribute("MusicMute", levels.IsMusicMuted() ? 1 : 0);

    TiXmlElement* play = AddElement(root, "PlayConfig");
    play->SetAttribute("LeftHand", GameConfig.leftHand);
    play->SetAttribute("FullScreen", GameConfig.fullScreen);
    for (const ShowFlag& flag : kShowFlags)
        AddElement(root, flag.element)->SetAttribute("IsShow", GameConfig.*flag.field);
    for (const IntGroup& group : kCounterGroups) {
        TiXmlElement* element = AddElement(root, group.element);
        for (const IntField& field : group.fields)
            if (field.attribute)
                element->SetAttribute(field.attribute, GameConfig.*field.field);
    }
    for (const RealGroup& group : kRealGroups) {
        TiXmlElement* element = AddElement(root, group.element);
        for (const RealField& field : group.fields)
            if (field.attribute)
                gamedata::SetRealAttribute(element, field.attribute, GameConfig.*field.field);
    }
    gamedata::SaveXmlFile(kGameConfigFile, doc);
}
