// The online battle between two players. Each clears blocks on an own board; the bullets won
// there become attack units that walk along a shared lane towards the opponent's tower, and a
// tower that loses all its hit points loses the match. A half-size mirror board shows the
// opponent's board as its messages describe it.
//
// The host (the machine running the game server) decides what both screens must agree on: it
// creates every unit and numbers it, resolves the clashes on the lane, drops the lane items,
// raises the speed level, holds the real hit points and decides the end. The guest fires by
// spending its bullets and asking the host, launches a unit only when the host says so, and
// takes the host's hit points and lane results as they arrive. Everything that crosses between
// the machines is range-checked before it indexes or creates anything, and what one frame's
// records may create (units, mines, end messages) is capped.
#pragma once

#include "lane/Player.h"
#include "online/AttackLine_Multi.h"
#include "online/Player_Net.h"
#include "online/VanteoNetBaseScene.h"
#include "engine/AnimationPlayer.h"
#include "engine/TimeDisplay.h"
#include "menus/GameWorld.h"

#include <cstdint>
#include <functional>
#include <memory>

class GameRandom;

inline constexpr const char* kOnlineBattleSceneName = "SteamVanteoScene";

class SteamVanteoScene : public VanteoNetBaseScene {
public:
    // Sound keys.
    static constexpr int kSoundReadyGo = 17;
    static constexpr int kMusicBattle = 26;
    static constexpr int kSoundAlert = 54;
    static constexpr int kSoundUpSizing = 71;
    static constexpr int kSoundInvincible = 72;
    static constexpr int kSoundBigStarCom = 75;
    static constexpr int kSoundBigStoneCom = 77;
    static constexpr int kSoundSpeedUp = 79;
    static constexpr int kSoundDownSizing = 80;
    // Skin entries.
    static constexpr int kSkinLayout = 10;  // "LayoutBattleUser"
    static constexpr int kSkinSpeedUp = 95;
    static constexpr const char* kPausePicture = "PauseMenu.bmp";

    static constexpr float kFirstItemTimer = 3.0f;
    static constexpr float kItemGap = 256.0f;
    static constexpr float kHpSyncSeconds = 0.2f;
    static constexpr int kMaxSpeedLevel = 5;
    static constexpr int kWarningHp = 100;
    static constexpr int kSpecialPower = 100;
    // The largest power a unit may get from a message of the other machine: what one clear may
    // bring (the board's per-clear cap in the battle).
    static constexpr int kMaxMessagePower = 999;
    // The guest's serials start here, so that serials its lane makes up never equal a host's.
    static constexpr int32_t kGuestFirstSerial = 65536;
    // The handshake: the wait's limit, the pause between looks, and how often the ready message
    // goes out again while waiting (the other machine may still be switching scenes).
    static constexpr uint32_t kReadyTimeoutMs = 60000;
    static constexpr uint32_t kReadyPollMs = 100;
    static constexpr uint32_t kReadyResendMs = 1000;
    // What the other machine's records may create in one frame.
    static constexpr int kMaxMinesPerFrame = 4;
    static constexpr int kMaxLaneMines = 32;
    static constexpr int kMaxUnitsPerFrame = 16;
    static constexpr int kMaxEndPostsPerFrame = 1;

    SteamVanteoScene();
    ~SteamVanteoScene() override;

    int Enter(int a, int b) override;
    void Leave() override;
    int Render() override;
    int Update(float seconds) override;
    void ShowUI() override;
    void OnKey(int) override;
    void OnMouse(int) override;
    void OnBoardRightPress(float x, float y) override;
    int GoToMenu() override;
    int Restart(int a, int b) override;

    // Local messages.
    int OnGameWin(const void* data, int length) override;
    int OnGameLose(const void* data, int length) override;
    int OnPlayTimeStep(const void* data, int length) override;
    int OnBigStoneCleared(const void* data, int length) override;
    int OnBigStarCleared(const void* data, int length) override;
    int OnPlayerTowerHit(const void* data, int length) override;
    int OnEnemyTowerHit(const void* data, int length) override;
    int OnEnemyAttack(const void* data, int length) override;
    int OnBulletOverflow(const void* data, int length) override;
    int OnBulletGain(const void* data, int length) override;
    int OnLaneUnitsMet(const void* data, int length) override;
    int OnLaneUnitHitMine(const void* data, int length) override;
    int OnLaneUnitPower(const void* data, int length) override;
    int OnItemGet(const void* data, int length) override;
    int OnPopUpOk(const void* data, int length) override;
    // Game messages.
    int OnNetHPSync(const netmsg::Record& record);
    int OnNetSpeedUp(const netmsg::Record& record) override;
    int OnNetItemDrop(const netmsg::Record& record) override;
    int OnNetItemGet(const netmsg::Record& record) override;
    int OnNetBulletGain(const netmsg::Record& record) override;
    int OnNetFireRequest(const netmsg::Record& record) override;
    int OnNetAttackCreated(const netmsg::Record& record) override;
    int OnNetLaneUnitsMet(const netmsg::Record& record) override;
    int OnNetLaneUnitHitMine(const netmsg::Record& record) override;
    int OnNetBigStone(const netmsg::Record& record) override;
    int OnNetLaneUnitPower(const netmsg::Record& record) override;

    // The host sends both towers' hit points every 0.2 s and decides the end from them (its own
    // tower first); the guest returns 0 at once. 1 when it sent.
    virtual int BroadcastHP(float seconds);

    // Fires one attack: types 0 to 2 a unit of that colour from its bullets (the whole stack or
    // the part above the last full hundred), 3 the special attack of power 100. The host
    // launches it, the guest asks the host. False for another type or an empty colour.
    bool FireBullet(bool all, int type);
    // The colour with the smallest part above a full hundred, else the smallest stack.
    void FireBest();
    // Auto-fire: every stack becomes a unit in the frame it is gained.
    void AutoFire();
    // The host's lane item timer: runs while the front units are far apart, then drops an item
    // between them, nearer the own front the more hit points the opponent has over the player.
    void UpdateItemTimer(float seconds);
    // The own front unit passing the lane item takes it.
    void PickUpItem();
    // The ready handshake: sends the ready message and waits until the other machine's arrives
    // (the loading scene counts it down), sending it again every second; after 60 s the
    // disconnection notice opens. True when the other machine answered.
    bool WaitForOpponent();
    void SetAutoFire(int on);

    // UI handlers.
    void DrawTimeAndTowers(kv::EventArgs& args);
    void DrawMirrorBoard(kv::EventArgs& args);
    void OnAttackOnClicked(kv::EventArgs& args);
    void OnAttackOffClicked(kv::EventArgs& args);
    void OnBullet1Clicked(kv::EventArgs& args);
    void OnBullet2Clicked(kv::EventArgs& args);
    void OnBullet3Clicked(kv::EventArgs& args);

    Player m_Player;
    std::unique_ptr<Player_Net> m_pOpponent;
    int m_bHintShown = 0;
    int m_nPausePicture = -1;
    AttackLine_Multi m_Lane{GameLaneContext()};
    float m_fItemTimer = 0.0f;
    AnimationPlayer m_SpeedUp;
    AnimationPlayer m_ReadyGo;
    float m_fHpSyncTimer = kHpSyncSeconds;
    TimeNumberPair m_TimeDisplay;
    bool m_bEntered = false;

    // The handshake's clock and pause; the system's unless a test sets them.
    std::function<uint32_t()> m_Ticks;
    std::function<void(uint32_t)> m_Sleep;
    // The item draws; the game's shared generator unless a test sets one.
    GameRandom* m_pRandom = nullptr;

protected:
    // The battle's own additions to the base table: the hit-point sync and the host's continue.
    void RegisterMatchMessages();

private:
    // Launches a unit of the attack type on the own side (or the opponent's), with the special
    // attack's stuns; the lane's new unit, or null.
    AttackLineBlock* Launch(bool own, int type, int count);
    // The host's own attack: launched and announced with its serial.
    void LaunchAndAnnounce(int type, int count);
    void SendFireRequest(int type, int count);
    void ApplyItem(AttackLineBlock& unit, bool pickedHere);
    void PostLocal(int32_t id);
    void ShowBulletHint();
    void PlayReadyGo();
    void ButtonDownForColour(int colour) const;
    void UpdateTimeDisplay();

    int m_nFrameMines = 0;
    int m_nFrameUnits = 0;
    int m_nFrameEndPosts = 0;
};
