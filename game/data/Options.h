// The player's options and progress, "Data/PlayData/QuiblyConfig.xml": read once at start-up
// into GameConfig (and the sound levels into the sound server), read and changed directly by
// the scenes, and rewritten whole by SaveGameConfig.
#pragma once

#include <cstddef>

inline constexpr const char* kGameConfigFile = "Data/PlayData/QuiblyConfig.xml";
// No count of cubes goes above this.
inline constexpr int kCubeCap = 9999;

struct GameConfigRecord {
    static constexpr size_t kNameBytes = 128;

    int currentSkin = 0;
    int cubes = 0;
    char playerName[kNameBytes] = {};
    int leftHand = 0;
    int fullScreen = 0;
    // The general tutorial: 0 until the player has seen it (it is then shown in full once).
    int showTutorial = 0;
    int showOpening = 0;
    int showBattleTutorial = 0;
    int showIQTutorial = 0;
    int showPuzzleTutorial = 0;
    int showPushTutorial = 0;
    int showClickHere = 0;
    // The guided first play: while 1 the menu leads a new player to the puzzle challenges and
    // keeps battle, push and logic puzzles closed. Worked out again from progress at every menu
    // entry; a file without it takes it from the modes already open.
    int guidedPlay = 0;
    int selfWinBattle = 0;
    int selfWinPush = 0;
    int selfWinStackBattle = 0;
    int selfWinStackPush = 0;
    int skin2Unlocked = 0;
    int skin3Unlocked = 0;
    int unlockPuzzle = 0;
    int unlockBattle = 0;
    int unlockPush = 0;
    int unlockIQ = 0;
    int unlockMulti = 0;
    float blockClearTimer = 0.45f;
    float blockClearTimerLast = 0.25f;
    float blockClearTimerMin = 0.05f;
    float blockClearTimerMax = 1.0f;
    float blockClearTimerAccel = 0.15f;
    float blockClearMaxCountA = 1.0f;
    float blockClearMaxCountB = 1.0f;
    float blockClearMaxCountSpeed = 1.0f;
};

// The one options record of the process.
extern GameConfigRecord GameConfig;

// Where the options keep the sound levels: the sound server's two volumes and two mutes.
class OptionsSoundLevels {
public:
    virtual ~OptionsSoundLevels() = default;
    virtual void SetMusicVolume(float volume) = 0;
    virtual void SetEffectsVolume(float volume) = 0;
    virtual void SetEffectsMute(bool mute) = 0;
    virtual void SetMusicMute(bool mute) = 0;
    virtual float GetMusicVolume() const = 0;
    virtual float GetEffectsVolume() const = 0;
    virtual bool IsEffectsMuted() const = 0;
    virtual bool IsMusicMuted() const = 0;
};

// The sound levels the options load into and save from. Until a sound server is attached they
// are kept in memory (volumes 0.5, not muted). Null attaches that in-memory store again.
void AttachOptionsSoundLevels(OptionsSoundLevels* levels);
OptionsSoundLevels& GetOptionsSoundLevels();

// 1 when the file and its root were read; 0 (with a log line) leaves every value as it was.
int LoadGameConfig();
// Rewrites the file from GameConfig and the sound levels.
void SaveGameConfig();
