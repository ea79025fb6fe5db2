#include "online/AttackLine_Multi.h"
#include "online/Player_Net.h"

#include "board/GameMessages.h"
#include "lane/LaneAssets.h"
#include "engine/PlayerSettings.h"
#include "support/GameSeamFakes.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

constexpr uint64_t kHostId = 0x0110000100000007ull;
constexpr uint64_t kGuestId = 0x0110000100000009ull;

// One machine's lane: the own units launched by `self`, the opponent's by `peer`.
class MultiLane {
public:
    MultiLane(bool host, uint64_t self, uint64_t peer) : self(self), peer(peer) { lane.SetHost(host); }

    AttackLineBlock* Own(int serial, int power, int kind, float position = 0.0f)
    {
        AttackLineBlock* unit = lane.LaunchPlayer(power, kind);
        unit->m_Id = {self, serial};
        unit->m_fPosition = position;
        return unit;
    }
    AttackLineBlock* Enemy(int serial, int power, int kind, float position = 0.0f, int invincible = 0)
    {
        AttackLineBlock* unit = lane.LaunchEnemy(power, kind, invincible);
        unit->m_Id = {peer, serial};
        unit->m_fPosition = position;
        return unit;
    }

    uint64_t self;
    uint64_t peer;
    RecordingMessages messages;
    RecordingSounds sounds;
    FixedAnimationLengths lengths{1.0f};
    AttackLine_Multi lane{LaneContext(messages, sounds, lengths)};
};

class AttackLineMultiTest : public ::testing::Test {
protected:
    AttackLineMultiTest() { AttachPlayerSettings({[](int index) { return "skin" + std::to_string(index) + ".xml"; }, {}}); }
    ~AttackLineMultiTest() override { AttachPlayerSettings({}); }
    testsupport::LogCapture log;
};

struct ClashCase {
    const char* name;
    int ownPower, ownKind;
    int enemyPower, enemyKind;
    bool ownSafe, enemySafe;
    int expectOwn, expectEnemy;
    int expectClashValue; // 0: no MSG_LANE_CLASH
};

class ClashTest : public AttackLineMultiTest, public ::testing::WithParamInterface<ClashCase> {};

void MakeInvincible(AttackLineBlock* unit)
{
    unit->AddState(new BlockState_Invincible(unit));
}

TEST_P(ClashTest, OutcomeMessagesAndHostPowers)
{
    const ClashCase& c = GetParam();
    for (bool host : {true, false}) {
        SCOPED_TRACE(host ? "host" : "guest");
        MultiLane m(host, kHostId, kGuestId);
        AttackLineBlock* own = m.Own(3, c.ownPower, c.ownKind, 400.0f);
        AttackLineBlock* enemy = m.Enemy(65539, c.enemyPower, c.enemyKind, 390.0f);
        if (c.ownSafe)
            MakeInvincible(own);
        if (c.enemySafe)
            MakeInvincible(enemy);
        m.sounds.played.clear();

        AttackLine_Multi::OnCollisionBlockToBlock(m.lane, own->m_Id, enemy->m_Id);

        EXPECT_EQ(own->m_nPower, c.expectOwn);
        EXPECT_EQ(enemy->m_nPower, c.expectEnemy);
        EXPECT_EQ(m.sounds.played, std::vector<int>{LaneSound::kVanteo});
        auto clashes = m.messages.WithId(MSG_LANE_CLASH);
        if (c.expectClashValue > 0) {
            ASSERT_EQ(clashes.size(), 1u);
            PayloadReader r = clashes[0].Reader();
            EXPECT_EQ(r.U64(), kHostId);
            EXPECT_EQ(r.I32(), c.expectClashValue);
        } else {
            EXPECT_TRUE(clashes.empty());
        }
        auto powers = m.messages.WithId(MSG_LANE_UNIT_POWER);
        if (!host) {
            EXPECT_TRUE(powers.empty());
            continue;
        }
        // The opponent's power first, then the own unit's.
        ASSERT_EQ(powers.size(), 2u);
        PayloadReader first = powers[0].Reader();
        EXPECT_EQ(NetBlockId::Read(first), enemy->m_Id);
        EXPECT_EQ(first.I32(), c.expectEnemy);
        PayloadReader second = powers[1].Reader();
        EXPECT_EQ(NetBlockId::Read(second), own->m_Id);
        EXPECT_EQ(second.I32(), c.expectOwn);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, ClashTest,
    ::testing::Values(
        // Kind 1 has the upper hand over kind 0: 100 - 100 x 0.8333333 leaves 16.
        ClashCase{"WeakerKindStillWins", 100, 0, 100, 1, false, false, 16, 0, 100},
        ClashCase{"EqualKinds", 60, 0, 50, 0, false, false, 10, 0, 50},
        ClashCase{"OpponentStronger", 40, 2, 100, 2, false, false, 0, 60, 40},
        ClashCase{"EqualEffectivePowers", 50, 1, 50, 1, false, false, 0, 0, 50},
        ClashCase{"SpecialKindsClashEvenly", 70, 3, 30, 0, false, false, 40, 0, 30},
        ClashCase{"BothInvincible", 30, 0, 80, 0, true, true, 0, 0, 30},
        ClashCase{"OwnInvincible", 30, 0, 80, 0, true, false, 30, 0, 80},
        ClashCase{"OpponentInvincible", 80, 0, 30, 0, false, true, 0, 30, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// The host resolves with its own unit first, the guest with the guest's unit first; both reach
// the same powers for the same pair of units.
TEST_F(AttackLineMultiTest, BothMachinesReachTheSameOutcomeWithTheRolesSwapped)
{
    struct Pair {
        int hostPower, hostKind, guestPower, guestKind;
    };
    for (Pair p : {Pair{100, 0, 100, 1}, Pair{100, 1, 100, 0}, Pair{90, 2, 75, 0}, Pair{60, 0, 72, 1}, Pair{120, 1, 100, 2}, Pair{55, 3, 40, 1}}) {
        SCOPED_TRACE(testing::Message() << p.hostPower << "/" << p.hostKind << " vs " << p.guestPower << "/" << p.guestKind);
        MultiLane host(true, kHostId, kGuestId);
        MultiLane guest(false, kGuestId, kHostId);
        AttackLineBlock* hostOwn = host.Own(1, p.hostPower, p.hostKind, 400.0f);
        AttackLineBlock* hostEnemy = host.Enemy(65537, p.guestPower, p.guestKind, 390.0f);
        AttackLineBlock* guestOwn = guest.Own(65537, p.guestPower, p.guestKind, 390.0f);
        AttackLineBlock* guestEnemy = guest.Enemy(1, p.hostPower, p.hostKind, 400.0f);

        AttackLine_Multi::OnCollisionBlockToBlock(host.lane, hostOwn->m_Id, hostEnemy->m_Id);
        AttackLine_Multi::OnCollisionBlockToBlock(guest.lane, guestOwn->m_Id, guestEnemy->m_Id);

        EXPECT_EQ(hostOwn->m_nPower, guestEnemy->m_nPower);
        EXPECT_EQ(hostEnemy->m_nPower, guestOwn->m_nPower);
    }
}

TEST_F(AttackLineMultiTest, AMeetingWithAPartnerAlreadyGoneKillsTheOneLeft)
{
    MultiLane m(false, kGuestId, kHostId);
    AttackLineBlock* own = m.Own(65540, 50, 0);
    AttackLine_Multi::OnCollisionBlockToBlock(m.lane, own->m_Id, {kHostId, 12});
    EXPECT_EQ(own->m_nPower, -1);

    AttackLineBlock* enemy = m.Enemy(12, 50, 0);
    AttackLine_Multi::OnCollisionBlockToBlock(m.lane, {kGuestId, 99}, enemy->m_Id);
    EXPECT_EQ(enemy->m_nPower, -1);
    EXPECT_TRUE(m.messages.posted.empty());
    EXPECT_TRUE(log.Contains(L"No ID OnCollisionBlockToBarr Block Right ID = 65540"));
    EXPECT_TRUE(log.Contains(L"No ID OnCollisionBlockToBarr Block Left ID = 12"));
}

TEST_F(AttackLineMultiTest, OnlyTheHostReportsOverlappingFrontUnits)
{
    for (bool host : {true, false}) {
        MultiLane m(host, kHostId, kGuestId);
        const LaneGeometry& g = m.lane.Geometry();
        // Fronts exactly touching count as met; the second units behind them are not reported.
        const float own = 400.0f;
        const float enemy = static_cast<float>(g.laneRight - g.laneLeft) - own;
        m.Own(5, 70, 1, own);
        m.Own(6, 20, 1, 10.0f);
        m.Enemy(70000, 40, 2, enemy);
        m.lane.Update(0.0f);
        auto met = m.messages.WithId(MSG_LANE_UNITS_MET);
        if (!host) {
            EXPECT_TRUE(met.empty());
            continue;
        }
        ASSERT_EQ(met.size(), 1u);
        ASSERT_EQ(met[0].payload.size(), 32u);
        PayloadReader r = met[0].Reader();
        EXPECT_EQ(NetBlockId::Read(r), (NetBlockId{kGuestId, 70000}));
        EXPECT_EQ(r.I32(), 40);
        EXPECT_EQ(NetBlockId::Read(r), (NetBlockId{kHostId, 5}));
        EXPECT_EQ(r.I32(), 70);
        // Nothing is resolved by the detection itself.
        EXPECT_EQ(m.lane.m_PlayerUnits.size(), 2u);
        EXPECT_EQ(m.lane.m_EnemyUnits.size(), 1u);
    }
}

TEST_F(AttackLineMultiTest, AFrontUnitPastAMineIsReportedEveryFrameOnBothMachines)
{
    for (bool host : {true, false}) {
        MultiLane m(host, kHostId, kGuestId);
        AttackLineMine* mine = m.lane.PlaceEnemyMine(0, 4, 0x11, 0x22);
        ASSERT_NE(mine, nullptr);
        AttackLineBlock* unit = m.Own(8, 30, 0, mine->position + 1.0f);
        unit->m_fSpeed = 0.0f;
        m.lane.Update(0.0f);
        m.lane.Update(0.0f);
        auto hits = m.messages.WithId(MSG_LANE_UNIT_HIT_MINE);
        ASSERT_EQ(hits.size(), 2u);
        ASSERT_EQ(hits[0].payload.size(), 24u);
        PayloadReader r = hits[0].Reader();
        EXPECT_EQ(NetBlockId::Read(r), unit->m_Id);
        EXPECT_EQ(r.I32(), 0x11);
        EXPECT_EQ(r.I32(), 0x22);
        EXPECT_EQ(r.I32(), 4);
        EXPECT_EQ(m.lane.m_Mines.size(), 1u);
        EXPECT_EQ(unit->m_nPower, 30);
    }
}

struct MineCase {
    const char* name;
    bool enemyUnit;
    int kind;
    bool invincible;
    int expectClashValue; // 0: none
    int expectSound;      // -1: none
    bool trapped;
};

class MineTest : public AttackLineMultiTest, public ::testing::WithParamInterface<MineCase> {};

TEST_P(MineTest, ResolvesTheUnitAndAlwaysRemovesTheMine)
{
    const MineCase& c = GetParam();
    MultiLane m(true, kHostId, kGuestId);
    // An own mine lies in the opponent units' path, the opponent's in the own units' path.
    AttackLineMine* mine = c.enemyUnit ? m.lane.PlaceMine(2, 7, 0) : m.lane.PlaceEnemyMine(0, 2, 9, 0);
    ASSERT_NE(mine, nullptr);
    const NetBlockId mineId = mine->id;
    AttackLineBlock* unit = c.enemyUnit ? m.Enemy(40, 55, c.kind) : m.Own(40, 55, c.kind);
    if (c.invincible)
        MakeInvincible(unit);
    m.sounds.played.clear();

    AttackLine_Multi::OnCollisionBlockToBarr(unit->m_Id, mineId, m.lane);

    EXPECT_TRUE(m.lane.m_Mines.empty());
    auto clashes = m.messages.WithId(MSG_LANE_CLASH);
    if (c.expectClashValue) {
        ASSERT_EQ(clashes.size(), 1u);
        PayloadReader r = clashes[0].Reader();
        // The special unit's own owner, or the mine's owner when an own unit trips.
        EXPECT_EQ(r.U64(), c.enemyUnit ? unit->m_Id.owner : mineId.owner);
        EXPECT_EQ(r.I32(), c.expectClashValue);
    } else {
        EXPECT_TRUE(clashes.empty());
    }
    if (c.expectSound >= 0)
        EXPECT_EQ(m.sounds.played, std::vector<int>{c.expectSound});
    else
        EXPECT_TRUE(m.sounds.played.empty());
    bool trapped = false;
    for (const auto& state : unit->m_States)
        trapped |= dynamic_cast<BlockState_AttackedTrap*>(state.get()) != nullptr;
    EXPECT_EQ(trapped, c.trapped);
    EXPECT_EQ(unit->m_nPower, 55);
}

INSTANTIATE_TEST_SUITE_P(
    Units, MineTest,
    ::testing::Values(MineCase{"OpponentSpecialSurvivesWithAClashOf100", true, 3, false, 100, LaneSound::kRemovePin, false},
                      MineCase{"OpponentUnitIsTrapped", true, 1, false, 0, LaneSound::kKillPin, true},
                      MineCase{"OwnSpecialPassesSilently", false, 3, false, 0, -1, false},
                      MineCase{"OwnUnitIsTrappedAndReported", false, 0, false, 55, LaneSound::kKillPin, true},
                      MineCase{"InvincibleUnitIsNotAffected", false, 2, true, 0, -1, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AttackLineMultiTest, AMineHitWithAMissingPartner)
{
    MultiLane m(true, kHostId, kGuestId);
    m.lane.PlaceMine(5, 0, 0);
    AttackLine_Multi::OnCollisionBlockToBarr({kGuestId, 1234}, {0, 5}, m.lane);
    EXPECT_TRUE(m.lane.m_Mines.empty());

    AttackLineBlock* unit = m.Own(9, 44, 0);
    AttackLine_Multi::OnCollisionBlockToBarr(unit->m_Id, {0, 77}, m.lane);
    EXPECT_EQ(unit->m_nPower, 0);
    EXPECT_TRUE(log.Contains(L"No ID OnCollisionBlockToBarr Block ID = 1234"));
    EXPECT_TRUE(log.Contains(L"No ID OnCollisionBlockToBarr Barr ID = 77"));
}

TEST_F(AttackLineMultiTest, ChangeBlockCountSetsPowerOrRemovesTheUnit)
{
    MultiLane m(false, kGuestId, kHostId);
    AttackLineBlock* a = m.Enemy(1, 50, 0);
    m.Own(65537, 50, 0);
    AttackLine_Multi::ChangeBlockCount({kHostId, 1}, 120, m.lane);
    EXPECT_EQ(a->m_nPower, 120);
    EXPECT_FLOAT_EQ(a->m_fSpeed, AttackLine::SpeedForPower(120, 0));

    AttackLine_Multi::ChangeBlockCount({kGuestId, 65537}, 0, m.lane);
    EXPECT_TRUE(m.lane.m_PlayerUnits.empty());
    AttackLine_Multi::ChangeBlockCount({kGuestId, 3}, 10, m.lane);
    EXPECT_TRUE(log.Contains(L"No ID ChangeBlockCount ID = 3 Count = 10"));
    EXPECT_EQ(m.lane.m_EnemyUnits.size(), 1u);
}

TEST_F(AttackLineMultiTest, RemovingAUnitOfNoListOnlyLogs)
{
    MultiLane m(true, kHostId, kGuestId);
    auto stray = std::make_unique<AttackLineBlock>(m.lane.Context());
    AttackLine_Multi::RemoveBlock(m.lane, stray.get());
    EXPECT_TRUE(log.Contains(L"없는 블럭 아이디 입니다."));
}

TEST_F(AttackLineMultiTest, AUnitAtTheOpponentsTowerIsReportedWithItsSounds)
{
    struct Arrival {
        int power;
        int base;
        float factor;
        int voice;
    };
    for (Arrival a : {Arrival{170, LaneSound::kAttackingBase3, 0.8f + 0.2f * 10.0f / 190.0f, LaneSound::kAttackingVoice2},
                      Arrival{20, LaneSound::kAttackingBase1, 0.8f + 0.2f * 20.0f / 30.0f, LaneSound::kAttackingVoice1},
                      Arrival{100, LaneSound::kAttackingBase2, 0.7f + 0.3f * 70.0f / 130.0f, LaneSound::kAttackingVoice2}}) {
        MultiLane m(false, kGuestId, kHostId);
        m.Own(65600, a.power, 2, static_cast<float>(m.lane.Geometry().laneLength) + 1.0f);
        m.sounds.calls.clear();
        m.lane.Update(0.0f);
        EXPECT_TRUE(m.lane.m_PlayerUnits.empty());
        auto hits = m.messages.WithId(MSG_ENEMY_TOWER_HIT);
        ASSERT_EQ(hits.size(), 1u);
        PayloadReader r = hits[0].Reader();
        EXPECT_EQ(r.U64(), kGuestId);
        EXPECT_EQ(r.I32(), 2);
        EXPECT_EQ(r.I32(), a.power);
        ASSERT_GE(m.sounds.calls.size(), 2u);
        EXPECT_EQ(m.sounds.calls[0].key, a.base);
        EXPECT_FLOAT_EQ(m.sounds.calls[0].volume, a.factor);
        EXPECT_EQ(m.sounds.calls[1].key, a.voice);
    }
}

TEST(PlayerNetTest, TheFaceCountsFramesFromTheShownHitPoints)
{
    struct Face {
        int hp;
        int scene;
    };
    for (Face f : {Face{1000, 2}, Face{999, 3}, Face{500, 7}, Face{112, 9}, Face{1, 9}, Face{0, 10}})
        EXPECT_EQ(Player_Net::FaceScene(f.hp), f.scene) << f.hp;

    // The battle's opponent shows its first frame at full hit points.
    EXPECT_EQ(TowerDisplay::TowerScene(1000), 1);
}

} // namespace
