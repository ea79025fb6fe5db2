// Free play: one board of the chosen size, no timer, no goal and no end. The player clears
// groups for points for as long as they like; the scene shows the running score and the play
// time and is left only through the pause menu (back to the menu, restart, or quit the game).
#pragma once

#include "modes/VanteoBaseScene.h"
#include "board/VanteoBlockMap.h"
#include "engine/AnimationPlayer.h"
#include "engine/DigitDisplay.h"
#include "engine/TimeDisplay.h"
#include "menus/SceneNames.h"

#include <memory>

namespace kv {
class KVWnd;
struct EventArgs;
}

// The free-play board: the base board with its own combo voices.
class VanteoBlockMap_Puzzle : public VanteoBlockMap {
public:
    using VanteoBlockMap::VanteoBlockMap;
    ~VanteoBlockMap_Puzzle() override;
    void OnCombo() override;
};

class VanteoScene_Puzzle : public VanteoBaseScene {
public:
    // Sound keys the scene plays.
    static constexpr int kSoundReadyGo = 17;
    static constexpr int kMusicPuzzle = 27;
    static constexpr int kSoundSpeedUp = 79;
    // Skin entries.
    static constexpr int kSkinFirstBoardLayout = 14;
    static constexpr int kSkinBackLayout = 22;

    VanteoScene_Puzzle();
    ~VanteoScene_Puzzle() override;

    int Enter(int stage, int b) override;
    void Leave() override;
    int Render() override;
    int Update(float seconds) override;
    void ShowUI() override;
    int GoToMenu() override;
    int OnPopUpYes(const void* data, int length) override;
    int OnPopUpNo(const void* data, int length) override;
    int Restart(int a, int b) override;
    int OnPlayTimeStep(const void* data, int length) override;
    int OnBigStarCleared(const void* data, int length) override;
    int OnGroupCleared(const void* data, int length) override;

    // The pause menu, from "Anibtn_menu", Escape and Backspace: only while playing.
    void OpenPauseMenu();

    // UI handlers.
    void DrawPlayTime(kv::EventArgs& args);
    void DrawScore(kv::EventArgs& args);
    void OnRotateRight(kv::EventArgs& args);
    void OnRotateLeft(kv::EventArgs& args);
    void OnMenuButton(kv::EventArgs& args);

    // The text the pause menu shows for the current stage: "PUZZLE.FREEPLAY." and its name.
    static std::wstring PauseModeText(const char* stageName);

    kv::KVWnd* m_pBoardWindow = nullptr;
    kv::KVWnd* m_pBackWindow = nullptr;
    ComboEffect m_SpeedUpEffect;
    int m_nScore = 0;
    DigitDisplay m_ScoreDisplay;
    TimeNumberPair m_PlayTimeDisplay;
    AnimationPlayer m_ReadyGo;
    // Set once Enter has built the scene; a stage that could not be entered leaves it clear.
    bool m_bEntered = false;

private:
    void CreateScoreDisplay();
    void StartNewBoardGame();
    void RestartMusic();
    void PlayReadyGo();
    void UpdatePlayClockDisplay(float seconds);
    void HideWindowAtOnce(const wchar_t* name);
};
