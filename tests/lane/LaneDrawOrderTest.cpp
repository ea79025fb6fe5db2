// What the lane's and the towers' draw handlers draw, recorded: the handlers hang on the
// layout's windows once per window, also on a new layout where the last one stood; units come
// out in layers with the weakest of a side on top, and items and mines stand where the lane
// puts them.
#include "lane/AttackLine.h"
#include "lane/Player.h"
#include "engine/PlayerSettings.h"
#include "kv/KVSystem.h"

#include "engine/AnimationXml.h"
#include "engine/EngineFakes.h"
#include "support/GameSeamFakes.h"
#include "support/kv/KVTestKit.h"

#include <gtest/gtest.h>

namespace {

using namespace enginetest;
using namespace enginetest::animxml;
using kv::KVWnd;

std::string Res(int w, int h)
{
    return "<param type=\"RES\" x=\"" + std::to_string(w) + "\" y=\"" + std::to_string(h) + "\"/>";
}

KVWnd* Make(KVWnd* parent, const wchar_t* name, float x, float y, float w, float h)
{
    auto* window = new testsupport::TestWindow;
    window->SetName(name);
    parent->AddChild(window);
    window->SetPosition(x, y);
    window->SetSize(w, h);
    return window;
}

class LaneDrawOrderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        user = backend.AddTexture("user.png", 40, 44);
        enemy = backend.AddTexture("enemy.png", 40, 44);
        badge = backend.AddTexture("badge.png", 44, 24);
        mine = backend.AddTexture("mine.png", 36, 36);
        item = backend.AddTexture("item.png", 40, 40);
        towerUser = backend.AddTexture("tower_user.png", 60, 120);
        towerEnemy = backend.AddTexture("tower_enemy.png", 60, 120);
        std::string walkUser, walkEnemy;
        for (const char* scene : {"ch_walk", "ch_win", "ch_fall", "ch_die"}) {
            walkUser += SceneXml(scene, {{0}, {400}}, Res(40, 44), "user.png");
            walkEnemy += SceneXml(scene, {{0}, {400}}, Res(40, 44), "enemy.png");
        }
        folder.Write("anim/WalkUser.xml", FileXml(walkUser));
        folder.Write("anim/WalkEnemy.xml", FileXml(walkEnemy));
        folder.Write("anim/Badge.xml", FileXml(SceneXml("Default", {{0}, {400}}, Res(44, 24), "badge.png")));
        folder.Write("anim/Mine.xml", FileXml(SceneXml("item_drop", {{0}, {400}}, Res(36, 36), "mine.png") +
                                              SceneXml("item_hold", {{0}, {400}}, Res(36, 36), "mine.png")));
        std::string towerUserScenes, towerEnemyScenes;
        for (int scene = 1; scene <= 10; ++scene) {
            towerUserScenes += SceneXml(std::to_string(scene), {{0}, {400}}, Res(60, 120), "tower_user.png");
            towerEnemyScenes += SceneXml(std::to_string(scene), {{0}, {400}}, Res(60, 120), "tower_enemy.png");
        }
        folder.Write("anim/TowerUser.xml", FileXml(towerUserScenes));
        folder.Write("anim/TowerEnemy.xml", FileXml(towerEnemyScenes));
        folder.Write("anim/Item.xml", FileXml(SceneXml("item_drop", {{0}, {400}}, Res(40, 40), "item.png") +
                                              SceneXml("item_hold", {{0}, {400}}, Res(40, 40), "item.png")));
        AttachPlayerSettings({[](int index) -> std::string {
                                  if (index >= LaneSkin::kAttackBlockUser1 && index < LaneSkin::kAttackBlockEnemy1)
                                      return "WalkUser.xml";
                                  if (index >= LaneSkin::kAttackBlockEnemy1 && index < LaneSkin::kAttackBlockUserCount)
                                      return "WalkEnemy.xml";
                                  if (index == LaneSkin::kAttackBlockUserCount || index == LaneSkin::kAttackBlockEnemyCount)
                                      return "Badge.xml";
                                  if (index == LaneSkin::kMineUser || index == LaneSkin::kMineEnemy)
                                      return "Mine.xml";
                                  if (index >= LaneSkin::kItemHpPlus && index < LaneSkin::kItemHpPlus + 6)
                                      return "Item.xml";
                                  if (index == LaneSkin::kHpTowerUser)
                                      return "TowerUser.xml";
                                  if (index == LaneSkin::kHpTowerEnemy)
                                      return "TowerEnemy.xml";
                                  return "";
                              },
                              {}});
        root = Make(env.Root(), L"Wnd_LayoutBattleCom", 0, 0, 1024, 768);
        laneWindow = Make(root, L"Pic_chattackline", 100, 40, 800, 160);
        Make(root, L"Pic_effectLine", 100, 40, 800, 160);
        overlays = Make(root, L"Pic_crazy_user", 900, 100, 90, 90);
    }
    void TearDown() override { AttachPlayerSettings({}); }

    // (texture, screen x, screen y) of each recorded sprite.
    struct Drawn {
        int handle;
        float x, y;
    };
    std::vector<Drawn> Sprites() const
    {
        std::vector<Drawn> out;
        for (const auto& sprite : backend.sprites)
            out.push_back({sprite.handle, sprite.matrix._41, sprite.matrix._42});
        return out;
    }

    DataFolder folder;
    RecordingRenderBackend backend;
    testsupport::KVEnvironment env;
    KVWnd* root = nullptr;
    KVWnd* laneWindow = nullptr;
    KVWnd* overlays = nullptr;
    RecordingMessages messages;
    RecordingSounds sounds;
    FixedAnimationLengths lengths;
    AttackLine lane{LaneContext(messages, sounds, lengths)};
    int user = 0, enemy = 0, badge = 0, mine = 0, item = 0, towerUser = 0, towerEnemy = 0;
};

TEST_F(LaneDrawOrderTest, BindTakesTheGeometryAndHangsEachHandlerOncePerRoot)
{
    lane.Bind(root);
    lane.Bind(root);
    EXPECT_EQ(lane.Geometry().laneLeft, 100);
    EXPECT_EQ(lane.Geometry().laneRight, 900);
    EXPECT_EQ(lane.Geometry().laneLength, 800);
    EXPECT_EQ(lane.m_fBaselineY, 200.0f);

    lane.PlaceMine(-1, 0, 0); // at 100 from laneLeft
    laneWindow->Draw();
    std::vector<Drawn> drawn = Sprites();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].handle, mine);
    EXPECT_FLOAT_EQ(drawn[0].x, 200.0f);
    EXPECT_FLOAT_EQ(drawn[0].y, 191.0f);

    backend.sprites.clear();
    overlays->Draw(); // mine body again, its effect has no file
    EXPECT_EQ(Sprites().size(), 1u);

    // A root without lane windows: no handlers, and the geometry stays.
    KVWnd* bare = Make(env.Root(), L"Wnd_bare", 0, 0, 100, 100);
    lane.Bind(bare);
    EXPECT_EQ(lane.m_pLaneWnd, nullptr);
    EXPECT_EQ(lane.Geometry().laneLength, 800);
    EXPECT_EQ(lane.m_fBaselineY, 200.0f);
}

TEST_F(LaneDrawOrderTest, EveryMatchsLayoutDrawsTheTowersAndTheLaneOnceEvenWhereTheLastOneStood)
{
    // Each match builds its layout anew under the same parent, so the new windows may stand at
    // the addresses of the last match's.
    KVWnd* holder = Make(env.Root(), L"Wnd_holder", 0, 0, 1024, 768);
    struct Windows {
        KVWnd* layout;
        KVWnd* tower;
        KVWnd* lane;
    };
    auto build = [&] {
        KVWnd* layout = Make(holder, L"Wnd_LayoutBattleUser", 0, 0, 1024, 768);
        Windows w{layout, Make(layout, L"Pic_tower_user", 900, 300, 60, 120), Make(layout, L"Pic_chattackline", 100, 40, 800, 160)};
        Make(layout, L"Pic_tower_enemy", 40, 300, 60, 120);
        return w;
    };
    Player player;
    Player_CPU opponent;
    auto count = [&](int texture) {
        int n = 0;
        for (const Drawn& d : Sprites())
            n += d.handle == texture ? 1 : 0;
        return n;
    };
    for (int match = 1; match <= 3; ++match) {
        SCOPED_TRACE(match);
        Windows w = build();
        // Entered twice on the same live windows: still one handler each.
        for (int entry = 0; entry < 2; ++entry) {
            player.Init(holder, nullptr);
            opponent.Init(holder);
            lane.Bind(holder);
        }
        player.Update(0.0f);
        opponent.Update(0.0f);
        lane.PlaceMine(-1, 0, 0);
        backend.sprites.clear();
        w.tower->Draw();
        EXPECT_EQ(count(towerUser), 1);
        EXPECT_EQ(count(towerEnemy), 1);
        backend.sprites.clear();
        w.lane->Draw();
        EXPECT_EQ(count(mine), 1);
        lane.Reset();
        kv::GetKVSystem().DetachWindow(w.layout);
    }
}

TEST_F(LaneDrawOrderTest, UnitsComeOutInLayersWithTheWeakestOfASideOnTop)
{
    lane.Bind(root);
    lane.LaunchPlayer(50, 0)->m_fPosition = 100.0f; // x 800
    lane.LaunchPlayer(20, 1)->m_fPosition = 50.0f;  // x 850
    lane.LaunchEnemy(80, 0, 0)->m_fPosition = 100.0f; // x 200
    lane.LaunchEnemy(10, 2, 0)->m_fPosition = 30.0f;  // x 130
    lane.DrawLane();

    std::vector<Drawn> drawn = Sprites();
    ASSERT_EQ(drawn.size(), 8u);
    // Walking animations: the enemies strongest first, then the players strongest first, each
    // standing on the baseline (scale 0.2 + 0.8 x power / 100).
    const int walkers[4] = {enemy, enemy, user, user};
    const float xs[4] = {200.0f - 40.0f * 0.84f, 130.0f - 40.0f * 0.28f, 800.0f, 850.0f};
    const float scales[4] = {0.84f, 0.28f, 0.6f, 0.36f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(drawn[i].handle, walkers[i]) << i;
        EXPECT_NEAR(drawn[i].x, xs[i], 1e-3f) << i;
        EXPECT_NEAR(drawn[i].y, 200.0f - 44.0f * scales[i], 1e-3f) << i;
    }
    // Then the badges in the same order, hanging from the baseline.
    for (int i = 4; i < 8; ++i) {
        EXPECT_EQ(drawn[i].handle, badge) << i;
        EXPECT_FLOAT_EQ(drawn[i].y, 200.0f);
    }
    // The player badge: x + (40 - 42) x 0.6 / 2 - 44 / 2.
    EXPECT_NEAR(drawn[6].x, 800.0f - 0.6f - 22.0f, 1e-3f);
    // The enemy badge: x - ((40 - 42) x 0.84 / 2 + 44 / 2).
    EXPECT_NEAR(drawn[4].x, 200.0f - (-0.84f + 22.0f), 1e-3f);

    // The vectors are front first again afterwards.
    EXPECT_EQ(lane.m_PlayerUnits[0]->m_nPower, 50);
    EXPECT_EQ(lane.m_EnemyUnits[0]->m_nPower, 80);
}

TEST_F(LaneDrawOrderTest, AnItemIsDrawnOnTheBaselineWhileItFallsOrLies)
{
    lane.Bind(root);
    lane.DrawLane();
    EXPECT_TRUE(Sprites().empty());

    lane.DropItem(2, 300.0f);
    lane.DrawLane();
    std::vector<Drawn> drawn = Sprites();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].handle, item);
    EXPECT_FLOAT_EQ(drawn[0].x, 300.0f);
    EXPECT_FLOAT_EQ(drawn[0].y, 160.0f);

    lane.Update(0.3f);
    backend.sprites.clear();
    lane.DrawLane();
    EXPECT_EQ(Sprites().size(), 1u);

    lane.Reset();
    backend.sprites.clear();
    lane.DrawLane();
    EXPECT_TRUE(Sprites().empty());
}

} // namespace
