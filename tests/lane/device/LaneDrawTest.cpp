// The lane and a tower drawn on the test device: units of both sides stand on the lane's
// baseline at the screen x their side's position gives, grow with their power, and the
// player's tower stands in its window.
#include "lane/AttackLine.h"
#include "lane/Player.h"
#include "engine/LumenkitRenderBackend.h"
#include "engine/PlayerSettings.h"
#include "engine/SkinTable.h"

#include "../../engine/AnimationXml.h"
#include "../../lumenkit/device/LumenkitDevice.h"
#include "support/GameSeamFakes.h"
#include "kv/KVWnd.h"

#include <gtest/gtest.h>

namespace {

using enginetest::animxml::FileXml;
using enginetest::animxml::Key;
using enginetest::animxml::SceneXml;

constexpr uint32_t kUserColour = 0xFFE8505B;
constexpr uint32_t kEnemyColour = 0xFF3CC47C;
constexpr uint32_t kTowerColour = 0xFF3D8BFD;
constexpr uint32_t kBadgeColour = 0xFFF7C548;
constexpr uint32_t kDigitColour = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;

// A named window at a place of its parent, as a layout would make it.
kv::KVWnd* Place(kv::KVWnd* parent, const wchar_t* name, float x, float y, float w, float h)
{
    auto* window = new kv::KVWnd;
    window->SetName(name);
    if (parent)
        parent->AddChild(window);
    window->SetPosition(x, y);
    window->SetSize(w, h);
    return window;
}

// One still scene showing the picture with its top-left corner at the origin.
std::string StillScene(const std::string& name, const std::string& image, int width, int height)
{
    const std::string res = "<param type=\"RES\" x=\"" + std::to_string(width) + "\" y=\"" + std::to_string(height) + "\"/>";
    return SceneXml(name, {Key{0}, Key{400}}, res, image);
}

// The badge: its picture, and the hidden track whose place at time 0 is the top-left corner of
// the power number's 30-pixel box (7, 2).
std::string BadgeScene()
{
    auto frame = [](int ms, float x, float y, int visible) {
        return "<frame cnt=\"" + std::to_string(ms) + "\"><posx val=\"" + std::to_string(x) + "\"/><posy val=\"" +
               std::to_string(y) + "\"/><centerx val=\"0\"/><centery val=\"0\"/><scalex val=\"1\"/><scaley val=\"1\"/>"
               "<rotate val=\"0\"/><alpha val=\"1\"/><visible val=\"" + std::to_string(visible) + "\"/></frame>";
    };
    return "<scene name=\"Default\"><asset type=\"IMAGE\" name=\"Image_badge\" path=\"img/badge.tga\"/>"
           "<param type=\"RES\" x=\"44\" y=\"24\"/>"
           "<object name=\"badge\" ani=\"a\"><asset link=\"Image_badge\"/></object>"
           "<object name=\"num\" ani=\"ani_Pic_ch_num_user\"><asset link=\"Image_badge\"/></object>"
           "<anim name=\"a\">" + frame(0, 0, 0, 1) + frame(400, 0, 0, 1) + "</anim>"
           "<anim name=\"ani_Pic_ch_num_user\">" + frame(0, 7.0f / 44, 2.0f / 24, 0) + frame(400, 7.0f / 44, 2.0f / 24, 0) +
           "</anim></scene>";
}

class LaneDrawTest : public lumenkittest::LumenkitDeviceTest {
protected:
    void SetUp() override
    {
        LumenkitDeviceTest::SetUp();
        lumenkittest::WriteSolidTga(m_data, "data/img/unit_user.tga", 40, 44, kUserColour);
        lumenkittest::WriteSolidTga(m_data, "data/img/unit_enemy.tga", 40, 44, kEnemyColour);
        lumenkittest::WriteSolidTga(m_data, "data/img/tower.tga", 64, 96, kTowerColour);
        lumenkittest::WriteSolidTga(m_data, "data/img/badge.tga", 44, 24, kBadgeColour);
        lumenkittest::WriteSolidTga(m_data, "data/img/digit.tga", 13, 20, kDigitColour);
        std::string walkUser, walkEnemy, tower;
        for (const char* scene : {"ch_walk", "ch_win", "ch_fall", "ch_die"}) {
            walkUser += StillScene(scene, "unit_user.tga", 40, 44);
            walkEnemy += StillScene(scene, "unit_enemy.tga", 40, 44);
        }
        for (int n = 1; n <= 10; ++n)
            tower += StillScene(std::to_string(n), "tower.tga", 64, 96);
        m_data.Write("data/anim/WalkUser.xml", FileXml(walkUser));
        m_data.Write("data/anim/WalkEnemy.xml", FileXml(walkEnemy));
        m_data.Write("data/anim/Tower.xml", FileXml(tower));
        m_data.Write("data/anim/Badge.xml", FileXml(BadgeScene()));
        std::string digits;
        for (int d = 0; d <= 9; ++d)
            digits += StillScene(std::to_string(d), "digit.tga", 13, 20);
        m_data.Write("data/anim/Digits.xml", FileXml(digits));
        // Number styles come from the skin table: the lane's style names the digits above.
        const std::string skin = "<VanteoSkin><Common Num_Battle_AttackLine=\"Digits.xml\"/></VanteoSkin>";
        m_data.Write("data/KVSkin_Default.xml", skin + skin);
        Reindex();
        // Whichever skin is current, one of the two loads reads this file.
        SkinTable.LoadSkin(0);
        SkinTable.LoadSkin(1);
        AttachPlayerSettings({[](int index) -> std::string {
                                  if (index >= LaneSkin::kAttackBlockUser1 && index < LaneSkin::kAttackBlockEnemy1)
                                      return "WalkUser.xml";
                                  if (index >= LaneSkin::kAttackBlockEnemy1 && index < LaneSkin::kAttackBlockUserCount)
                                      return "WalkEnemy.xml";
                                  if (index == LaneSkin::kHpTowerUser)
                                      return "Tower.xml";
                                  if (index == LaneSkin::kAttackBlockUserCount)
                                      return "Badge.xml";
                                  return "";
                              },
                              {}});
        InstallLumenkitRenderBackend();
    }
    void TearDown() override
    {
        SetRenderBackend(nullptr);
        AttachPlayerSettings({});
        LumenkitDeviceTest::TearDown();
    }
};

TEST_F(LaneDrawTest, UnitsAndTheTowerStandWhereTheLanesGeometryPutsThem)
{
    std::unique_ptr<kv::KVWnd> root(Place(nullptr, L"Wnd_LayoutBattleCom", 0, 0, 1024, 768));
    Place(root.get(), L"Pic_tower_user", 920, 40, 64, 96);
    Place(root.get(), L"Pic_chattackline", 100, 40, 800, 160);

    RecordingMessages messages;
    RecordingSounds sounds;
    FixedAnimationLengths lengths;
    AttackLine lane{LaneContext(messages, sounds, lengths)};
    lane.Bind(root.get());
    ASSERT_EQ(lane.Geometry().laneLeft, 100);
    ASSERT_EQ(lane.Geometry().laneRight, 900);
    ASSERT_EQ(lane.m_fBaselineY, 200.0f);
    lane.LaunchPlayer(100, 0)->m_fPosition = 200.0f;  // x 700, 40 x 44 at scale 1
    lane.LaunchEnemy(100, 1, 0)->m_fPosition = 80.0f; // x 180, drawn to its left
    lane.LaunchPlayer(399, 2)->m_fPosition = 420.0f;  // x 480, 3.392 times as big
    lane.m_nSpeedLevel = 0;
    for (AttackLineBlock* unit : lane.m_PlayerUnits)
        unit->m_fSpeed = 0.0f;
    for (AttackLineBlock* unit : lane.m_EnemyUnits)
        unit->m_fSpeed = 0.0f;
    lane.Update(0.0f); // the power numbers take their values
    int32_t bullets[3] = {0, 0, 0};
    Player player;
    player.Init(root.get(), bullets);
    player.Update(0.0f);

    RenderBackend& backend = GetRenderBackend();
    backend.Begin();
    ASSERT_TRUE(backend.BeginScene(kBlack));
    lane.DrawLane();
    player.DrawTower();
    backend.FlushSprite();
    struct Probe {
        int x, y;
        uint32_t colour;
        const char* what;
    };
    const Probe probes[] = {
        {702, 160, kUserColour, "player unit's front edge at 900 - 200"},
        {738, 198, kUserColour, "standing on the baseline"},
        {698, 180, kBlack, "nothing ahead of the player unit"},
        {742, 180, kBlack, "40 pixels wide"},
        {720, 154, kBlack, "44 pixels tall"},
        {178, 180, kEnemyColour, "enemy unit's front edge at 100 + 80"},
        {142, 158, kEnemyColour, "drawn to the left of its front"},
        {182, 180, kBlack, "nothing ahead of the enemy unit"},
        {482, 60, kUserColour, "the strong unit reaches 150 pixels above the baseline"},
        {612, 190, kUserColour, "and 135 pixels back"},
        {482, 48, kBlack, "no higher"},
        {618, 190, kBlack, "no wider"},
        {925, 45, kTowerColour, "the tower in its window"},
        {980, 132, kTowerColour, "64 x 96"},
        {915, 80, kBlack, "left of the tower"},
        // The player unit's badge hangs from the baseline, centred at 700 + (40 - 42) / 2, and
        // "100" is centred in the 30-pixel box 7 pixels into it: 39 pixels from 680 on.
        {678, 212, kBadgeColour, "badge left of the number"},
        {720, 201, kBadgeColour, "badge's right end"},
        {676, 212, kBlack, "badge 44 pixels wide"},
        {681, 212, kDigitColour, "first digit"},
        {718, 220, kDigitColour, "last digit"},
        {700, 223, kBadgeColour, "digits 20 pixels tall"},
    };
    std::vector<uint32_t> seen;
    for (const Probe& p : probes)
        seen.push_back(Pixel(p.x, p.y));
    backend.EndScene();
    backend.End();
    for (size_t i = 0; i < seen.size(); ++i)
        EXPECT_TRUE(lumenkittest::NearColor(seen[i], probes[i].colour))
            << probes[i].what << " at " << probes[i].x << "," << probes[i].y << ": " << std::hex << seen[i];
}

} // namespace
