// The two tower displays of a battle. Player shows the local player's side at the right end of
// the lane: two hit-point gauges, the hit-point number, the tower that crumbles as the hit points
// fall, its hit flash and the three bullet stacks of the player's board. Player_CPU shows the
// opponent's side at the left: the same gauges, number, tower and flash, and its bullet icons.
// Both only display: the battle scene writes the real hit points; the shown hit points follow
// them at 250 per second, and the scene decides defeat from the shown value.
#pragma once

#include "engine/AnimationPlayer.h"
#include "lane/WindowHook.h"
#include "engine/DigitDisplay.h"

#include <cstdint>

namespace kv {
class KVWnd;
struct EventArgs;
} // namespace kv

// What both displays share: the easing of the shown hit points with the gauge frame and dust,
// the two gauges and the tower picture.
struct TowerGauge {
    kv::KVWnd* window = nullptr;
    float width = 0.0f;
    float height = 0.0f;
    float x = 0.0f;
    float y = 0.0f;

    // Takes the window's size and absolute position; a missing window leaves the gauge unbound.
    void Bind(kv::KVWnd* gauge);
};

namespace TowerDisplay {
// The shown hit points as the display uses them: truncated and clamped to 0..1000.
int DisplayedHp(float shown);
// The tower picture's scene number 1..10 for hit points 0..1000.
int TowerScene(int hp);
// One easing step of the shown value S towards the real value R with dust time D. Shows or
// hides the dust window and plays "OVER" or "NORMAL" on the gauge frame (either may be null).
void EaseHp(float& shown, float real, float& dustTime, float seconds, kv::KVWnd* frame, kv::KVWnd* dust);
} // namespace TowerDisplay

class Player {
public:
    static constexpr int kColours = 3;
    static constexpr int kIcons = 4;

    struct BulletIcon {
        kv::KVWnd* icon = nullptr;
        kv::KVWnd* numberWindow = nullptr;
        DigitDisplay* number = nullptr;
        // The icon's middle on screen; it scales about it.
        float middleX = 0.0f;
        float middleY = 0.0f;
    };

    Player() = default;
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Binds the battle layout. `bullets` points to the player board's three bullet counts
    // (colours 0..2), read every frame; null shows empty stacks.
    void Init(kv::KVWnd* root, const int32_t* bullets);
    void Update(float seconds);
    // Flashes the tower back.
    void Hit(int power);
    void DrawNumbers();
    // The "Draw" handler of "Pic_tower_user".
    void DrawTower(kv::EventArgs& args);
    void DrawTower();

    const int32_t* m_pBullets = nullptr;
    kv::KVWnd* m_pRoot = nullptr;
    TowerGauge m_GaugeV;
    TowerGauge m_GaugeH;
    kv::KVWnd* m_pTowerBack = nullptr;
    AnimationPlayer m_Tower;
    kv::KVWnd* m_pGaugeFrame = nullptr;
    kv::KVWnd* m_pGaugeDust = nullptr;
    float m_fDustTime = -1.0f;
    kv::KVWnd* m_pNumberWindow = nullptr;
    DigitDisplay* m_pHpNumber = nullptr;
    BulletIcon m_Bullets[kColours][kIcons];
    float m_fShownHp = 0.0f;
    float m_fRealHp = 0.0f;

private:
    void UpdateBullets(float seconds);
    void FreeDisplays();

    WindowHook m_TowerHook;
};

class Player_CPU {
public:
    static constexpr int kColours = 3;
    static constexpr int kIcons = 4;

    Player_CPU() = default;
    virtual ~Player_CPU();
    Player_CPU(const Player_CPU&) = delete;
    Player_CPU& operator=(const Player_CPU&) = delete;

    // A null root logs and leaves the display unbound.
    virtual void Init(kv::KVWnd* root);
    virtual void Update(float seconds);
    // Draws the hit-point number.
    virtual void Draw();
    // Clears the stop flag.
    virtual void Reset();
    void Hit(int power);
    // The "Draw" handler registered on "Pic_tower_user", drawing at "Pic_tower_enemy".
    void DrawTower(kv::EventArgs& args);
    void DrawTower();

    float m_fShownHp = 0.0f;
    float m_fRealHp = 0.0f;
    int32_t m_nBullets[kColours] = {0, 0, 0};
    kv::KVWnd* m_pRoot = nullptr;
    kv::KVWnd* m_pTowerBack = nullptr;
    AnimationPlayer m_Tower;
    TowerGauge m_GaugeV;
    TowerGauge m_GaugeH;
    kv::KVWnd* m_pGaugeFrame = nullptr;
    kv::KVWnd* m_pGaugeDust = nullptr;
    float m_fDustTime = -1.0f;
    kv::KVWnd* m_pNumberWindow = nullptr;
    DigitDisplay* m_pHpNumber = nullptr;
    kv::KVWnd* m_pBulletIcons[kColours][kIcons] = {};
    float m_fIconMiddle[kColours][kIcons][2] = {};
    int32_t m_bStop = 0;

protected:
    WindowHook m_TowerHook;

    // The easing, gauges, tower and number; the bullet icons follow. `towerScene` gives the
    // tower picture's scene number for the shown hit points.
    void UpdateDisplay(float seconds, int (*towerScene)(int) = TowerDisplay::TowerScene);
    void UpdateBulletIcons();
};
