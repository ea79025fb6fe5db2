#include "lane/Player.h"

#include "support/LogCapture.h"
#include "support/kv/KVTestKit.h"

#include <gtest/gtest.h>

namespace {

using kv::KVWnd;
using testsupport::KVEnvironment;
using testsupport::TestWindow;

KVWnd* Make(KVWnd* parent, const std::wstring& name, float x, float y, float w, float h)
{
    auto* window = new TestWindow;
    window->SetName(name);
    parent->AddChild(window);
    window->SetPosition(x, y);
    window->SetSize(w, h);
    return window;
}

TEST(TowerDisplay, TheTowerCrumblesInNineSteps)
{
    struct Case {
        int hp, scene;
    };
    for (const Case c : {Case{1000, 1}, Case{1500, 1}, Case{999, 3}, Case{889, 3}, Case{888, 4}, Case{556, 6},
                         Case{555, 7}, Case{334, 8}, Case{333, 9}, Case{1, 9}, Case{0, 10}, Case{-20, 10}})
        EXPECT_EQ(TowerDisplay::TowerScene(c.hp), c.scene) << c.hp;
    EXPECT_EQ(TowerDisplay::DisplayedHp(-3.5f), 0);
    EXPECT_EQ(TowerDisplay::DisplayedHp(999.9f), 999);
    EXPECT_EQ(TowerDisplay::DisplayedHp(1234.0f), 1000);
}

class TowerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = Make(env.Root(), L"Wnd_LayoutBattleCom", 0, 0, 1024, 768);
        gaugeUser = Make(root, L"Pic_gauge_user_2", 900, 200, 20, 300);
        gaugeUserH = Make(root, L"Pic_gauge_user_H", 600, 40, 200, 10);
        dustUser = Make(root, L"Pic_gauge_dust_user", 900, 200, 20, 300);
        gaugeEnemy = Make(root, L"Pic_gauge_enemy_2", 100, 200, 20, 300);
        gaugeEnemyH = Make(root, L"Pic_gauge_enemy_H", 200, 40, 200, 10);
        KVWnd* panel = Make(root, L"Wnd_bullets", 500, 600, 400, 100);
        for (int c = 1; c <= 3; ++c) {
            for (int j = 1; j <= 4; ++j) {
                icons[c - 1][j - 1] = Make(panel, L"Anibtn_bullet_full_" + std::to_wstring(c) + L"_" + std::to_wstring(j),
                                           static_cast<float>(j * 40), static_cast<float>(c * 30), 20, 20);
                enemyIcons[c - 1][j - 1] =
                    Make(root, L"Pic_bullet_full_" + std::to_wstring(c) + L"_" + std::to_wstring(j), 0, 0, 10, 10);
            }
            crazyBacks[c - 1] = Make(root, L"bullet_crazy_back_" + std::to_wstring(c), 0, 0, 10, 10);
        }
    }

    KVEnvironment env;
    KVWnd* root = nullptr;
    KVWnd* gaugeUser = nullptr;
    KVWnd* gaugeUserH = nullptr;
    KVWnd* dustUser = nullptr;
    KVWnd* gaugeEnemy = nullptr;
    KVWnd* gaugeEnemyH = nullptr;
    KVWnd* icons[3][4] = {};
    KVWnd* enemyIcons[3][4] = {};
    KVWnd* crazyBacks[3] = {};
    int32_t bullets[3] = {0, 0, 0};
};

TEST_F(TowerTest, AHitFallsAt250PerSecondWithDustUntilHalfASecondAfter)
{
    Player player;
    player.Init(root, bullets);
    EXPECT_FALSE(dustUser->IsVisible());
    EXPECT_EQ(player.m_fShownHp, 1000.0f);

    player.m_fRealHp = 700.0f;
    player.Update(0.1f);
    EXPECT_FLOAT_EQ(player.m_fShownHp, 975.0f);
    EXPECT_TRUE(dustUser->IsVisible());
    for (int i = 0; i < 10; ++i)
        player.Update(0.1f);
    EXPECT_NEAR(player.m_fShownHp, 725.0f, 0.01f);
    player.Update(0.1f); // 1.2 s: the fall ends without overshooting
    EXPECT_FLOAT_EQ(player.m_fShownHp, 700.0f);
    EXPECT_TRUE(dustUser->IsVisible());
    for (int i = 0; i < 4; ++i)
        player.Update(0.1f);
    EXPECT_TRUE(dustUser->IsVisible());
    player.Update(0.1f);
    player.Update(0.1f);
    EXPECT_FALSE(dustUser->IsVisible());
    EXPECT_EQ(player.m_Tower.m_strScene, ""); // no tower window: no tower

    // A heal rises in 0.4 s without dust.
    player.m_fRealHp = 800.0f;
    for (int i = 0; i < 3; ++i)
        player.Update(0.1f);
    EXPECT_NEAR(player.m_fShownHp, 775.0f, 0.01f);
    EXPECT_FALSE(dustUser->IsVisible());
    player.Update(0.1f);
    EXPECT_FLOAT_EQ(player.m_fShownHp, 800.0f);
}

TEST_F(TowerTest, GaugesKeepTheirEdgesAndThePlayersIsOnePixelTaller)
{
    Player player;
    Player_CPU enemy;
    player.Init(root, bullets);
    enemy.Init(root);
    player.m_fRealHp = player.m_fShownHp = 500.0f;
    enemy.m_fRealHp = enemy.m_fShownHp = 500.0f;
    player.Update(0.0f);
    enemy.Update(0.0f);

    EXPECT_FLOAT_EQ(gaugeUser->GetHeight(), 151.0f);
    EXPECT_FLOAT_EQ(gaugeUser->GetAbsolutePosition().y, 200.0f + 300.0f - 151.0f);
    EXPECT_FLOAT_EQ(gaugeEnemy->GetHeight(), 150.0f);
    EXPECT_FLOAT_EQ(gaugeEnemy->GetAbsolutePosition().y, 200.0f + 300.0f - 150.0f);
    // The player's horizontal gauge keeps its right edge, the opponent's its left.
    EXPECT_FLOAT_EQ(gaugeUserH->GetWidth(), 100.0f);
    EXPECT_FLOAT_EQ(gaugeUserH->GetAbsolutePosition().x, 700.0f);
    EXPECT_FLOAT_EQ(gaugeEnemyH->GetWidth(), 100.0f);
    EXPECT_FLOAT_EQ(gaugeEnemyH->GetAbsolutePosition().x, 200.0f);

    // Hit points out of range are followed but drawn as 0 or 1000.
    player.m_fRealHp = player.m_fShownHp = -50.0f;
    enemy.m_fRealHp = enemy.m_fShownHp = 1300.0f;
    player.Update(0.0f);
    enemy.Update(0.0f);
    EXPECT_FLOAT_EQ(gaugeUser->GetHeight(), 1.0f);
    EXPECT_FLOAT_EQ(gaugeEnemy->GetHeight(), 300.0f);
    EXPECT_FLOAT_EQ(gaugeEnemyH->GetWidth(), 200.0f);
}

TEST_F(TowerTest, BulletStacksShowHundredsAsIconsAndTheRestAsAPartIcon)
{
    Player player;
    player.Init(root, bullets);
    const KVWnd* partIcon = icons[0][2];
    const float middleX = partIcon->GetAbsolutePosition().x + 10.0f;
    bullets[0] = 250;
    bullets[1] = 400;
    bullets[2] = 0;
    player.Update(0.1f);

    EXPECT_TRUE(icons[0][0]->IsVisible());
    EXPECT_TRUE(icons[0][1]->IsVisible());
    EXPECT_TRUE(icons[0][2]->IsVisible());
    EXPECT_FALSE(icons[0][3]->IsVisible());
    EXPECT_FLOAT_EQ(icons[0][0]->GetScale().x, 1.0f);
    EXPECT_FLOAT_EQ(partIcon->GetScale().x, 0.5f);
    // The half-size icon keeps its middle.
    EXPECT_FLOAT_EQ(partIcon->GetAbsolutePosition().x + 10.0f * 0.5f, middleX);
    EXPECT_FALSE(crazyBacks[0]->IsVisible());

    for (KVWnd* icon : icons[1])
        EXPECT_TRUE(icon->IsVisible());
    EXPECT_TRUE(crazyBacks[1]->IsVisible());
    for (KVWnd* icon : icons[2])
        EXPECT_FALSE(icon->IsVisible());
    EXPECT_FALSE(crazyBacks[2]->IsVisible());

    bullets[1] = 399;
    player.Update(0.1f);
    EXPECT_FALSE(crazyBacks[1]->IsVisible());
    EXPECT_FLOAT_EQ(icons[1][3]->GetScale().x, 0.99f);
}

TEST_F(TowerTest, TheOpponentsIconsStopAtAMissingWindow)
{
    Player_CPU enemy;
    enemy.Init(root);
    enemy.m_nBullets[0] = 150;
    enemy.m_nBullets[2] = 400;
    enemy.Update(0.0f);
    EXPECT_TRUE(enemyIcons[0][1]->IsVisible());
    EXPECT_FLOAT_EQ(enemyIcons[0][1]->GetScale().x, 0.5f);
    EXPECT_FALSE(enemyIcons[0][2]->IsVisible());
    EXPECT_FALSE(enemyIcons[1][0]->IsVisible());
    EXPECT_TRUE(enemyIcons[2][3]->IsVisible());

    // An incomplete layout: icon 2 of colour 1 is gone; the icons after it are left alone.
    KVWnd* later = enemyIcons[0][2];
    later->SetVisible(true);
    root->DeleteChild(enemyIcons[0][1]);
    enemy.Init(root);
    enemy.m_nBullets[0] = 0;
    enemy.Update(0.0f);
    EXPECT_FALSE(enemyIcons[0][0]->IsVisible());
    EXPECT_TRUE(later->IsVisible());
}

TEST(TowerDisplayLayout, AnIncompleteLayoutIsSkippedWithoutFailing)
{
    KVEnvironment env;
    KVWnd* root = Make(env.Root(), L"Wnd_empty", 0, 0, 1024, 768);
    int32_t bullets[3] = {400, 120, 5};
    Player player;
    player.Init(root, bullets);
    player.m_fRealHp = 10.0f;
    player.Update(0.5f);
    player.Hit(100);
    player.DrawNumbers();
    player.DrawTower();
    Player_CPU enemy;
    enemy.Init(root);
    enemy.m_nBullets[1] = 300;
    enemy.Update(0.5f);
    enemy.Hit(100);
    enemy.Draw();
    enemy.DrawTower();
    EXPECT_FLOAT_EQ(player.m_fShownHp, 875.0f);

    testsupport::LogCapture log;
    Player_CPU unbound;
    unbound.Init(nullptr);
    unbound.Update(0.1f);
    EXPECT_TRUE(log.Contains(L"pMainWnd Is NULL"));
    EXPECT_EQ(unbound.m_pRoot, nullptr);
    unbound.m_bStop = 1;
    unbound.Reset();
    EXPECT_EQ(unbound.m_bStop, 0);
}

} // namespace
