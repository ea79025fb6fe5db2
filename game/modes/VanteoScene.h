// The single-player battle. The player's board feeds bullets of three colours; the player fires
// them as units down the attack lane at the opponent's tower, by hand or all at once with
// auto-attack. The opponent is a recorded ghost whose replay launches units, mines and special
// attacks at the player's tower. The scene wires the board, both tower displays, the ghost and
// the lane together, drops random items between the front units, ends the game when a gauge
// runs out (or, against a ghost that does not loop, when its replay ends), ranks it and pays
// cubes, and in self-play makes a won game the next self-play opponent.
#pragma once

#include "lane/AttackLine.h"
#include "lane/Player.h"
#include "lane/PlayerGhost.h"
#include "modes/VanteoBaseScene.h"
#include "engine/AnimationPlayer.h"
#include "engine/TimeDisplay.h"
#include "menus/GameWorld.h"

#include <string>

namespace kv {
class KVWnd;
struct EventArgs;
} // namespace kv

inline constexpr const char* kBattleSceneName = "VanteoScene";

// The auto-attack switch, shared with the online battle: while set, every bullet the board
// produces is fired at once and the bullet buttons are disabled.
extern int g_bAutoAttack;

class VanteoScene : public VanteoBaseScene {
public:
    // Sound keys.
    static constexpr int kSoundReadyGo = 17;
    static constexpr int kMusicBattle = 26;
    static constexpr int kSoundAlert = 54;
    static constexpr int kSoundLastAttacking = 64;
    static constexpr int kSoundLastAttacked = 65;
    static constexpr int kSoundUpSizing = 71;
    static constexpr int kSoundInvincible = 72;
    static constexpr int kSoundBigStarCom = 75;
    static constexpr int kSoundBigStoneCom = 77;
    static constexpr int kSoundSpeedUp = 79;
    static constexpr int kSoundDownSizing = 80;
    // Skin entries.
    static constexpr int kSkinLayout = 9;
    static constexpr int kSkinSpeedUp = 95;
    // The item timer at entry and after a restart; the gap the front units need for an item.
    static constexpr float kFirstItemTimer = 3.0f;
    static constexpr float kRestartItemTimer = 1.0f;
    static constexpr float kItemGap = 256.0f;

    VanteoScene();
    ~VanteoScene() override;

    int Enter(int mode, int b) override;
    void Leave() override;
    int Render() override;
    int Update(float seconds) override;
    void ShowUI() override;
    void OnKey(int) override;
    void OnMouse(int) override;
    // The cubes for the first new place of a ranking table (RankEntry[6]); 0 for none.
    int ComputeCubeReward(const void* table) override;
    int GoToMenu() override;
    int Restart(int a, int b) override;
    int OnGameWin(const void* data, int length) override;
    int OnGameLose(const void* data, int length) override;
    int OnPlayTimeStep(const void* data, int length) override;
    int OnBigStoneCleared(const void* data, int length) override;
    int OnBigStarCleared(const void* data, int length) override;
    int OnPlayerTowerHit(const void* data, int length) override;
    int OnEnemyTowerHit(const void* data, int length) override;
    int OnEnemyAttack(const void* data, int length) override;
    int OnBulletOverflow(const void* data, int length) override;
    int OnGhostCommand(const void* data, int length) override;
    int OnComboCount(const void* data, int length) override;
    // Param 0 quits the program, param 1 resets the self-play ghost.
    int OnPopUpYes(const void* data, int length) override;
    int OnResultResetSelf(const void* data, int length);
    int OnResultReturn(const void* data, int length);

    // Fires the colour's whole stack (all) or its part above the last full hundred; colour 3
    // sends a special unit instead. False when the colour holds no bullets.
    bool FireBullets(bool all, int colour);
    // Space and the right button: the stack with the smallest remainder.
    void FireSmallestStack();
    void UpdateItems(float seconds);
    // Posts the loss when the player's gauge is empty, then the win when the ghost's is.
    void CheckDefeat();
    void ShowBulletHint();
    // The pause, only while playing.
    void OnMenuClicked();
    void SetAutoAttack(int on);

    // UI handlers.
    void OnDrawOverlay(kv::EventArgs& args);
    void OnAttackOnClicked(kv::EventArgs& args);
    void OnAttackOffClicked(kv::EventArgs& args);
    void OnBullet1Clicked(kv::EventArgs& args);
    void OnBullet2Clicked(kv::EventArgs& args);
    void OnBullet3Clicked(kv::EventArgs& args);
    void OnMenuClicked(kv::EventArgs& args);
    void OnRotateRightClicked(kv::EventArgs& args);
    void OnRotateLeftClicked(kv::EventArgs& args);

    // "BATTLE.FREEPLAY.<stage>" and the like, for the pause and the result.
    std::string ModeKey() const;

    Player m_Player;
    Player_Ghost m_Ghost{GetSceneQueueSink()};
    int m_bWon = 0;
    kv::KVWnd* m_pLayout = nullptr;
    AnimationPlayer m_SpeedUp;
    AttackLine m_Lane{GameLaneContext()};
    float m_fItemTimer = kFirstItemTimer;
    int m_nMode = 0;
    int m_bHintShown = 0;
    TimeNumberPair m_TimeDisplay;
    AnimationPlayer m_ReadyGo;
    // Set once Enter has built the scene; a mode the configuration lacks leaves it clear.
    bool m_bEntered = false;

private:
    void FireColour(int colour, int bullets);
    void LoadGhost();
    void PlayReadyGo();
    void StartBoardGame();
    void ButtonDown(const wchar_t* name);
    void UpdateTimeDisplay(float seconds);
    void FinishGame(bool won);
    VanteoPopUp_Result* OpenResult(bool won);
    kv::KVWnd* Find(const wchar_t* name) const;
};
