#include "lane/Player.h"

#include "lane/LaneAssets.h"
#include "engine/PlayerSettings.h"
#include "kv/KVLabel.h"
#include "kv/KVVanteoAnimButton.h"
#include "kv/KVWnd.h"

#include <helvane/Log.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr float kHpRate = 250.0f;
constexpr float kDustSeconds = 0.5f;
constexpr int kMaxHp = 1000;

kv::KVWnd* FindIn(kv::KVWnd* root, const std::wstring& name)
{
    if (!root)
        return nullptr;
    if (root->GetName() == name)
        return root;
    return root->FindChild(name);
}

std::wstring Named(const wchar_t* format, int a, int b)
{
    wchar_t name[64];
    std::swprintf(name, 64, format, a, b);
    return name;
}

// A label's text colour; white for other windows.
D3DCOLOR TextColour(kv::KVWnd* window)
{
    if (auto* label = dynamic_cast<kv::KVLabel*>(window))
        return label->colour;
    return 0xFFFFFFFF;
}

// A number display over the window's absolute rectangle, centred, in the window's text colour.
DigitDisplay* NumberOver(kv::KVWnd* window, int digits, int style)
{
    const kv::KVRect rect = window->GetAbsoluteRect();
    auto* display = new DigitDisplay;
    display->Create(digits, style, static_cast<int>(rect.left), static_cast<int>(rect.top),
                    static_cast<int>(rect.right), static_cast<int>(rect.bottom), 0);
    display->m_dwColour = TextColour(window);
    const kv::KVPoint at = window->GetAbsolutePosition();
    display->m_fX = at.x;
    display->m_fY = at.y;
    return display;
}

void Show(kv::KVWnd* window, bool show)
{
    if (window)
        window->SetVisible(show);
}

void PlayFrame(kv::KVWnd* frame, const wchar_t* scene)
{
    if (frame)
        frame->PlayUIScene(scene);
}

// The icon keeps its middle while it is scaled: the window scales about its top-left corner,
// so its position moves by half the change of its size.
void ScaleAboutMiddle(kv::KVWnd* icon, float middleX, float middleY, float scale)
{
    icon->SetScale(scale, scale);
    icon->SetAbsolutePosition(middleX - icon->GetWidth() * scale / 2.0f, middleY - icon->GetHeight() * scale / 2.0f);
}

void SetGauge(const TowerGauge& gauge, float width, float height, float x, float y)
{
    if (!gauge.window)
        return;
    gauge.window->SetSize(width, height);
    gauge.window->OnResize(kv::KVWnd::kSizeChanged);
    gauge.window->SetAbsolutePosition(x, y);
}

void FlashTowerBack(kv::KVWnd* back)
{
    if (auto* button = dynamic_cast<KVVanteoAnimButton*>(back))
        button->SetState(2);
}

void PlayTowerScene(AnimationPlayer& tower, int sceneNumber, float seconds)
{
    const std::string scene = std::to_string(sceneNumber);
    if (tower.m_strScene != scene)
        tower.Play(scene);
    tower.Update(seconds);
}

void DrawTowerAt(AnimationPlayer& tower, kv::KVWnd* window)
{
    if (!window)
        return;
    const kv::KVPoint at = window->GetAbsolutePosition();
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, at.x, at.y, 0.0f);
    tower.Draw(&world);
}

} // namespace

void TowerGauge::Bind(kv::KVWnd* gauge)
{
    window = gauge;
    if (!gauge)
        return;
    width = gauge->GetWidth();
    height = gauge->GetHeight();
    const kv::KVPoint at = gauge->GetAbsolutePosition();
    x = at.x;
    y = at.y;
}

int TowerDisplay::DisplayedHp(float shown)
{
    if (!(shown > 0.0f))
        return 0;
    if (shown >= static_cast<float>(kMaxHp))
        return kMaxHp;
    return static_cast<int>(shown);
}

int TowerDisplay::TowerScene(int hp)
{
    if (hp >= kMaxHp)
        return 1;
    if (hp <= 0)
        return 10;
    return std::clamp(11 - (9 * hp) / 1000, 1, 9);
}

void TowerDisplay::EaseHp(float& shown, float real, float& dustTime, float seconds, kv::KVWnd* frame, kv::KVWnd* dust)
{
    if (shown < real) {
        shown += kHpRate * seconds;
        PlayFrame(frame, L"OVER");
        if (shown >= real) {
            if (dustTime > 0.0f) {
                dustTime -= seconds;
            } else {
                Show(dust, false);
                PlayFrame(frame, L"NORMAL");
            }
            shown = real;
        }
    } else if (shown > real) {
        dustTime = kDustSeconds;
        shown -= kHpRate * seconds;
        Show(dust, true);
        PlayFrame(frame, L"OVER");
        if (shown <= real) {
            dustTime -= seconds;
            shown = real;
        }
    } else if (dustTime > 0.0f) {
        dustTime -= seconds;
    } else {
        Show(dust, false);
        PlayFrame(frame, L"NORMAL");
    }
}

// Player.

Player::~Player()
{
    FreeDisplays();
}

void Player::FreeDisplays()
{
    delete m_pHpNumber;
    m_pHpNumber = nullptr;
    for (auto& colour : m_Bullets)
        for (BulletIcon& icon : colour) {
            delete icon.number;
            icon = {};
        }
}

void Player::Init(kv::KVWnd* root, const int32_t* bullets)
{
    m_fRealHp = m_fShownHp = static_cast<float>(kMaxHp);
    m_pBullets = bullets;
    m_pRoot = root;
    FreeDisplays();

    m_GaugeV = {};
    m_GaugeH = {};
    m_GaugeV.Bind(FindIn(root, L"Pic_gauge_user_2"));
    m_GaugeH.Bind(FindIn(root, L"Pic_gauge_user_H"));

    if (kv::KVWnd* tower = FindIn(root, L"Pic_tower_user")) {
        m_TowerHook.Hang<Player>(tower, L"Draw", this, &Player::DrawTower);
        m_Tower.Load(GetSkinFileName(LaneSkin::kHpTowerUser));
        m_Tower.m_bLoop = true;
    }

    m_pTowerBack = FindIn(root, L"towerback_user");
    if (m_pTowerBack)
        m_pTowerBack->SetMouseTransparent(true);
    m_pGaugeFrame = FindIn(root, L"Pic_gauge_user_1");
    m_pGaugeDust = FindIn(root, L"Pic_gauge_dust_user");
    Show(m_pGaugeDust, false);
    for (int c = 1; c <= kColours; ++c)
        Show(FindIn(root, Named(L"bullet_crazy_back_%d", c, 0)), false);

    m_pNumberWindow = FindIn(root, L"Pic_num_gaugecount_user");
    if (m_pNumberWindow)
        m_pHpNumber = NumberOver(m_pNumberWindow, 4, LaneSkin::kDigitStyleBattleHp);

    for (int c = 0; c < kColours; ++c) {
        for (int j = 0; j < kIcons; ++j) {
            BulletIcon& icon = m_Bullets[c][j];
            // An incomplete layout leaves the icon out rather than failing.
            icon.icon = FindIn(root, Named(L"Anibtn_bullet_full_%d_%d", c + 1, j + 1));
            if (icon.icon) {
                icon.icon->SetMouseTransparent(true);
                const kv::KVPoint at = icon.icon->GetAbsolutePosition();
                icon.middleX = at.x + icon.icon->GetWidth() / 2.0f;
                icon.middleY = at.y + icon.icon->GetHeight() / 2.0f;
            }
            icon.numberWindow = FindIn(root, Named(L"Pic_num_bullet_%d_%d", c + 1, j + 1));
            if (icon.numberWindow) {
                icon.numberWindow->SetMouseTransparent(true);
                icon.number = NumberOver(icon.numberWindow, 2, LaneSkin::kDigitStyleResourceBtn);
            }
        }
    }
}

void Player::Update(float seconds)
{
    TowerDisplay::EaseHp(m_fShownHp, m_fRealHp, m_fDustTime, seconds, m_pGaugeFrame, m_pGaugeDust);
    const int hp = TowerDisplay::DisplayedHp(m_fShownHp);
    const float ratio = static_cast<float>(hp) / static_cast<float>(kMaxHp);
    const TowerGauge& v = m_GaugeV;
    SetGauge(v, v.width, v.height * ratio + 1.0f, v.x, v.y + v.height - v.height * ratio - 1.0f);
    const TowerGauge& h = m_GaugeH;
    SetGauge(h, h.width * ratio, h.height, h.x + h.width - h.width * ratio, h.y);

    PlayTowerScene(m_Tower, TowerDisplay::TowerScene(hp), seconds);
    if (m_pNumberWindow && m_pHpNumber) {
        m_pHpNumber->SetValue(static_cast<int>(m_fShownHp));
        m_pHpNumber->Update(seconds);
    }
    UpdateBullets(seconds);
}

void Player::UpdateBullets(float seconds)
{
    for (int c = 0; c < kColours; ++c) {
        int n = m_pBullets ? m_pBullets[c] : 0;
        Show(FindIn(m_pRoot, Named(L"bullet_crazy_back_%d", c + 1, 0)), n == 400);
        bool empty = false;
        for (int j = 0; j < kIcons; ++j) {
            BulletIcon& icon = m_Bullets[c][j];
            const int v = std::min(n, 100);
            if (!empty && v > 0) {
                if (icon.icon) {
                    icon.icon->SetVisible(true);
                    ScaleAboutMiddle(icon.icon, icon.middleX, icon.middleY, static_cast<float>(v) / 100.0f);
                }
                if (icon.number) {
                    if (v == 100) {
                        icon.number->m_bVisible = 0;
                    } else {
                        icon.number->SetValue(v);
                        icon.number->m_bVisible = 1;
                    }
                    icon.number->Update(seconds);
                }
                n -= 100;
            } else {
                empty = true;
                Show(icon.icon, false);
                if (icon.number) {
                    icon.number->m_bVisible = 0;
                    icon.number->Update(seconds);
                }
            }
        }
    }
}

void Player::Hit(int)
{
    FlashTowerBack(m_pTowerBack);
}

void Player::DrawNumbers()
{
    if (m_pNumberWindow && m_pHpNumber)
        m_pHpNumber->Render(nullptr, 0.0f);
    for (auto& colour : m_Bullets)
        for (BulletIcon& icon : colour)
            if (icon.numberWindow && icon.number)
                icon.number->Render(nullptr, 0.0f);
}

void Player::DrawTower(kv::EventArgs&)
{
    DrawTower();
}

void Player::DrawTower()
{
    DrawTowerAt(m_Tower, FindIn(m_pRoot, L"Pic_tower_user"));
}

// Player_CPU.

Player_CPU::~Player_CPU()
{
    delete m_pHpNumber;
}

void Player_CPU::Init(kv::KVWnd* root)
{
    if (!root) {
        DFLog(L"pMainWnd Is NULL");
        return;
    }
    m_fRealHp = m_fShownHp = static_cast<float>(kMaxHp);
    for (int32_t& count : m_nBullets)
        count = 0;
    m_pRoot = root;

    m_GaugeV = {};
    m_GaugeH = {};
    m_GaugeV.Bind(FindIn(root, L"Pic_gauge_enemy_2"));
    m_GaugeH.Bind(FindIn(root, L"Pic_gauge_enemy_H"));
    if (FindIn(root, L"Pic_tower_enemy")) {
        // Both towers draw in the layer of the player's tower window.
        m_TowerHook.Hang<Player_CPU>(FindIn(root, L"Pic_tower_user"), L"Draw", this, &Player_CPU::DrawTower);
        m_Tower.Load(GetSkinFileName(LaneSkin::kHpTowerEnemy));
        m_Tower.m_bLoop = true;
    }
    m_pTowerBack = FindIn(root, L"towerback_enemy");
    if (m_pTowerBack)
        m_pTowerBack->SetMouseTransparent(true);
    m_pGaugeFrame = FindIn(root, L"Pic_gauge_enemy_1");
    m_pGaugeDust = FindIn(root, L"Pic_gauge_dust_enemy");
    Show(m_pGaugeDust, false);

    for (int c = 0; c < kColours; ++c) {
        for (int j = 0; j < kIcons; ++j) {
            kv::KVWnd* icon = FindIn(root, Named(L"Pic_bullet_full_%d_%d", c + 1, j + 1));
            m_pBulletIcons[c][j] = icon;
            if (!icon)
                continue;
            const kv::KVPoint at = icon->GetAbsolutePosition();
            m_fIconMiddle[c][j][0] = at.x + icon->GetWidth() / 2.0f;
            m_fIconMiddle[c][j][1] = at.y + icon->GetHeight() / 2.0f;
        }
    }

    delete m_pHpNumber;
    m_pHpNumber = nullptr;
    m_pNumberWindow = FindIn(root, L"Pic_num_gaugecount_enemy");
    if (m_pNumberWindow)
        m_pHpNumber = NumberOver(m_pNumberWindow, 4, LaneSkin::kDigitStyleBattleHp);
}

void Player_CPU::Update(float seconds)
{
    UpdateDisplay(seconds);
    UpdateBulletIcons();
}

void Player_CPU::UpdateDisplay(float seconds, int (*towerScene)(int))
{
    TowerDisplay::EaseHp(m_fShownHp, m_fRealHp, m_fDustTime, seconds, m_pGaugeFrame, m_pGaugeDust);
    const int hp = TowerDisplay::DisplayedHp(m_fShownHp);
    const float ratio = static_cast<float>(hp) / static_cast<float>(kMaxHp);
    const TowerGauge& v = m_GaugeV;
    SetGauge(v, v.width, v.height * ratio, v.x, v.y + v.height - v.height * ratio);
    const TowerGauge& h = m_GaugeH;
    SetGauge(h, h.width * ratio, h.height, h.x, h.y);

    PlayTowerScene(m_Tower, towerScene(hp), seconds);
    if (m_pNumberWindow && m_pHpNumber) {
        m_pHpNumber->SetValue(static_cast<int>(m_fShownHp));
        m_pHpNumber->Update(seconds);
    }
}

void Player_CPU::UpdateBulletIcons()
{
    if (!m_pRoot)
        return;
    for (int c = 0; c < kColours; ++c) {
        int n = m_nBullets[c];
        for (int j = 0; j < kIcons; ++j) {
            kv::KVWnd* icon = m_pBulletIcons[c][j];
            // A missing icon ends its colour for this frame.
            if (!icon)
                break;
            const int v = std::min(n, 100);
            if (v > 0) {
                icon->SetVisible(true);
                ScaleAboutMiddle(icon, m_fIconMiddle[c][j][0], m_fIconMiddle[c][j][1], static_cast<float>(v) / 100.0f);
                n -= 100;
            } else {
                for (int k = j; k < kIcons && m_pBulletIcons[c][k]; ++k)
                    m_pBulletIcons[c][k]->SetVisible(false);
                break;
            }
        }
    }
}

void Player_CPU::Draw()
{
    if (m_pNumberWindow && m_pHpNumber)
        m_pHpNumber->Render(nullptr, 0.0f);
}

void Player_CPU::Reset()
{
    m_bStop = 0;
}

void Player_CPU::Hit(int)
{
    FlashTowerBack(m_pTowerBack);
}

void Player_CPU::DrawTower(kv::EventArgs&)
{
    DrawTower();
}

void Player_CPU::DrawTower()
{
    DrawTowerAt(m_Tower, FindIn(m_pRoot, L"Pic_tower_enemy"));
}
