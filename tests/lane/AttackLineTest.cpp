#include "LaneFixture.h"

#include <cmath>

using namespace lanetest;

namespace {

// ---- Clashes ------------------------------------------------------------------------------

struct ClashCase {
    int playerKind, playerPower;
    int enemyKind, enemyPower;
    bool playerInvincible, enemyInvincible;
    int playerAfter; // -1: removed
    int enemyAfter;
};

class LaneClash : public LaneTest, public ::testing::WithParamInterface<ClashCase> {};

TEST_P(LaneClash, ComparesThePowersWithTheKindFactor)
{
    const ClashCase& c = GetParam();
    AttackLineBlock* player = Player(c.playerPower, c.playerKind, 400.0f);
    Enemy(c.enemyPower, c.enemyKind, 400.0f, c.enemyInvincible ? 1 : 0);
    if (c.playerInvincible)
        player->AddState(new BlockState_Invincible(player));
    sounds.played.clear();

    lane.ResolveClash(0.0f);

    EXPECT_EQ(sounds.played, std::vector<int>{LaneSound::kVanteo});
    ASSERT_EQ(lane.m_HitEffect.GetEntries().size(), 1u);
    // Midpoint of (904 - 400) and (120 + 400), less 45.
    EXPECT_FLOAT_EQ(lane.m_HitEffect.GetEntries()[0].x, 467.0f);
    EXPECT_FLOAT_EQ(lane.m_HitEffect.GetEntries()[0].y, 123.0f);
    if (c.playerAfter < 0) {
        EXPECT_TRUE(lane.m_PlayerUnits.empty());
    } else {
        ASSERT_EQ(lane.m_PlayerUnits.size(), 1u);
        EXPECT_EQ(lane.m_PlayerUnits[0]->m_nPower, c.playerAfter);
        EXPECT_EQ(lane.m_PlayerUnits[0]->m_fSpeed, AttackLine::SpeedForPower(c.playerAfter, c.playerKind));
    }
    if (c.enemyAfter < 0) {
        EXPECT_TRUE(lane.m_EnemyUnits.empty());
    } else {
        ASSERT_EQ(lane.m_EnemyUnits.size(), 1u);
        EXPECT_EQ(lane.m_EnemyUnits[0]->m_nPower, c.enemyAfter);
    }
    EXPECT_TRUE(messages.posted.empty());
}

INSTANTIATE_TEST_SUITE_P(Outcomes, LaneClash, ::testing::Values(
    // 90 x 0.8333333 is just under 75: the player keeps 25.
    ClashCase{0, 100, 1, 90, false, false, 25, -1},
    // 60 - 50 / 1.2 = 18.3: the enemy keeps 18.
    ClashCase{1, 50, 0, 60, false, false, -1, 18},
    // 5 x 1.2f is just above 6, and 5 - 6 / 1.2f truncates to 0: both go.
    ClashCase{1, 6, 0, 5, false, false, -1, -1},
    ClashCase{2, 70, 2, 70, false, false, -1, -1},
    // The star unit is neutral.
    ClashCase{3, 100, 0, 40, false, false, 60, -1},
    // Invincible units never lose power.
    ClashCase{0, 10, 0, 300, true, false, 10, -1},
    ClashCase{0, 300, 0, 10, false, true, -1, 10},
    ClashCase{0, 300, 0, 10, true, true, -1, -1}));

TEST_F(LaneTest, ClashesEveryMeetingPairInOneFrameAndNotUnitsApart)
{
    Player(10, 0, 400.0f);
    Player(10, 0, 399.0f);
    Player(10, 0, 398.0f);
    Enemy(25, 0, 400.0f);
    lane.ResolveClash(0.0f);
    // 10 against 25, 10 against 15, then 10 against 5: one player unit of 5 is left.
    ASSERT_EQ(lane.m_PlayerUnits.size(), 1u);
    EXPECT_EQ(lane.m_PlayerUnits[0]->m_nPower, 5);
    EXPECT_TRUE(lane.m_EnemyUnits.empty());
    EXPECT_EQ(CountPlayed(LaneSound::kVanteo), 3);

    lane.m_PlayerUnits[0]->m_fPosition = 100.0f;
    Enemy(5, 0, 100.0f);
    lane.ResolveClash(0.0f);
    EXPECT_EQ(lane.m_PlayerUnits.size(), 1u);
    EXPECT_EQ(lane.m_EnemyUnits.size(), 1u);
}

TEST(LaneRules, ClashMultiplierBeatsInACircleAndIgnoresUnknownKinds)
{
    EXPECT_EQ(AttackLine::ClashMultiplier(0, 1), 0.8333333f);
    EXPECT_EQ(AttackLine::ClashMultiplier(1, 0), 1.2f);
    EXPECT_EQ(AttackLine::ClashMultiplier(2, 0), 0.8333333f);
    EXPECT_EQ(AttackLine::ClashMultiplier(0, 2), 1.2f);
    EXPECT_EQ(AttackLine::ClashMultiplier(3, 1), 1.0f);
    EXPECT_EQ(AttackLine::ClashMultiplier(-1, 0), 1.0f);
    EXPECT_EQ(AttackLine::ClashMultiplier(0, 9), 1.0f);
}

// ---- Speed ----------------------------------------------------------------------------------

TEST(LaneRules, SpeedForPowerFollowsTheBandsDoublesStarsAndStopsAtFive)
{
    struct Case {
        int power, kind;
        float speed;
    };
    const Case cases[] = {{-5, 0, 100}, {32, 0, 100}, {33, 1, 85}, {48, 0, 85}, {49, 2, 70}, {64, 0, 70},
                          {65, 0, 55},  {80, 0, 55},  {81, 0, 40}, {100, 0, 40}, {115, 0, 39}, {250, 0, 30},
                          {624, 0, 40.0f - 524.0f / 15.0f}, {625, 0, 5}, {5000, 1, 5}, {32, 3, 200}, {5000, 3, 10}};
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(AttackLine::SpeedForPower(c.power, c.kind), c.speed) << c.power << " kind " << c.kind;
}

TEST_F(LaneTest, TheSpeedLevelScalesEveryStepAndStaysInItsTable)
{
    AttackLineBlock* unit = Player(10, 0); // 100 px/s
    lane.m_nSpeedLevel = 5;
    lane.Update(0.5f);
    EXPECT_FLOAT_EQ(unit->m_fPosition, 100.0f);
    lane.m_nSpeedLevel = 9; // written out of range by a caller: the last level holds
    lane.Update(0.5f);
    EXPECT_FLOAT_EQ(unit->m_fPosition, 200.0f);
    lane.m_nSpeedLevel = -3;
    lane.Update(0.5f);
    EXPECT_FLOAT_EQ(unit->m_fPosition, 250.0f);
}

// ---- Launches ---------------------------------------------------------------------------------

struct LaunchCase {
    bool player;
    int power;
    int kind;
    int key; // -1: silent
    float volume;
};

class LaneLaunch : public LaneTest, public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(LaneLaunch, PlaysTheSoundOfThePowerBand)
{
    const LaunchCase& c = GetParam();
    sounds.calls.clear();
    AttackLineBlock* unit = c.player ? lane.LaunchPlayer(c.power, c.kind) : lane.LaunchEnemy(c.power, c.kind, 0);
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->m_nSide, c.player ? 1 : 0);
    EXPECT_EQ(unit->m_fPosition, 0.0f);
    EXPECT_EQ(unit->m_fBaselineY, lane.m_fBaselineY);
    if (c.key < 0) {
        EXPECT_TRUE(sounds.calls.empty());
        return;
    }
    ASSERT_EQ(sounds.calls.size(), 1u);
    EXPECT_EQ(sounds.calls[0].key, c.key);
    EXPECT_FALSE(sounds.calls[0].loop);
    EXPECT_NEAR(sounds.calls[0].volume, c.volume, 1e-4f);
}

INSTANTIATE_TEST_SUITE_P(Bands, LaneLaunch, ::testing::Values(
    LaunchCase{true, 30, 0, LaneSound::kGoSmallUser, 1.0f},
    LaunchCase{true, 0, 1, LaneSound::kGoSmallUser, 0.8f},
    LaunchCase{true, 31, 0, LaneSound::kGoUser, 0.70176f},
    LaunchCase{true, 199, 2, LaneSound::kGoUser, 1.0f - 0.3f / 170.0f},
    LaunchCase{true, 200, 0, LaneSound::kGoBigUser, 0.7f},
    LaunchCase{true, 399, 0, LaneSound::kGoBigUser, 0.9985f},
    LaunchCase{true, 400, 0, LaneSound::kGoCrazyUser, -1.0f},
    // A volume that comes out at 0 or below keeps the sound's own.
    LaunchCase{true, -200, 0, LaneSound::kGoSmallUser, -1.0f},
    LaunchCase{true, 100, 3, -1, 0.0f},
    LaunchCase{false, 30, 0, LaneSound::kGoSmallCom, 1.0f},
    LaunchCase{false, 31, 1, LaneSound::kGoCom, 0.70176f},
    LaunchCase{false, 200, 2, LaneSound::kGoBigCom, 0.7f},
    LaunchCase{false, 999, 0, LaneSound::kGoCrazyCom, -1.0f},
    LaunchCase{false, 100, 3, -1, 0.0f}));

TEST_F(LaneTest, LaunchesRefuseUnknownKindsAndRaiseSlowEnemiesToFive)
{
    EXPECT_EQ(lane.LaunchPlayer(10, 4), nullptr);
    EXPECT_EQ(lane.LaunchEnemy(10, -1, 0), nullptr);
    EXPECT_TRUE(lane.m_PlayerUnits.empty());
    EXPECT_TRUE(lane.m_EnemyUnits.empty());
    EXPECT_TRUE(sounds.played.empty());

    EXPECT_EQ(lane.LaunchEnemy(5000, 0, 0)->m_fSpeed, 5.0f);
    AttackLineBlock* hero = lane.LaunchEnemy(50, 1, 1);
    EXPECT_TRUE(hero->IsInvincible());
    EXPECT_EQ(CountPlayed(LaneSound::kInvinsible), 1);
    EXPECT_FALSE(lane.LaunchEnemy(50, 1, 2)->IsInvincible()); // only exactly 1
}

TEST_F(LaneTest, UnitSerialsComeFromTheLanesOwnCounter)
{
    // The constructor's and Bind's throwaway units take serials too.
    const int32_t next = lane.Context().serials.PeekUnit();
    EXPECT_EQ(next, 1);
    EXPECT_EQ(lane.LaunchPlayer(10, 0)->m_Id.serial, 1);
    lane.Context().serials.SetNextUnit(65536);
    AttackLineBlock* unit = lane.LaunchEnemy(10, 0, 0);
    EXPECT_EQ(unit->m_Id.serial, 65536);
    EXPECT_EQ(unit->m_Id.owner, 0u);

    RecordingMessages otherMessages;
    AttackLine other{LaneContext(otherMessages, sounds, lengths)};
    EXPECT_EQ(other.LaunchPlayer(10, 0)->m_Id.serial, 1);
}

TEST(LaneRules, NetBlockIdTakesTwelveBytesLowWordFirst)
{
    PayloadWriter writer;
    NetBlockId{0x1122334455667788ull, -2}.Write(writer);
    ASSERT_EQ(writer.Bytes().size(), NetBlockId::kWireBytes);
    EXPECT_EQ(writer.Bytes()[0], 0x88);
    EXPECT_EQ(writer.Bytes()[7], 0x11);
    EXPECT_EQ(writer.Bytes()[8], 0xFE);
    PayloadReader reader(writer.Bytes().data(), writer.Bytes().size());
    EXPECT_EQ(NetBlockId::Read(reader), (NetBlockId{0x1122334455667788ull, -2}));
    EXPECT_TRUE(reader.Ok());
}

// ---- Movement and arrival ----------------------------------------------------------------------

TEST_F(LaneTest, AUnitArrivesOnlyStrictlyPastTheLanesLength)
{
    AttackLineBlock* enemy = Enemy(120, 2, 784.0f);
    enemy->m_fSpeed = 0.0f;
    lane.Update(0.1f);
    ASSERT_EQ(lane.m_EnemyUnits.size(), 1u);
    EXPECT_TRUE(messages.posted.empty());

    enemy->m_fPosition = 784.001f;
    sounds.calls.clear();
    lane.Update(0.1f);
    EXPECT_TRUE(lane.m_EnemyUnits.empty());
    ASSERT_EQ(messages.Ids(), std::vector<int32_t>{MSG_PLAYER_TOWER_HIT});
    PayloadReader hit = messages.posted[0].Reader();
    EXPECT_EQ(hit.I32(), 2);
    EXPECT_EQ(hit.I32(), 120);
    EXPECT_EQ(hit.Remaining(), 0u);
    ASSERT_EQ(lane.m_HitEffect.GetEntries().size(), 1u);
    EXPECT_FLOAT_EQ(lane.m_HitEffect.GetEntries()[0].x, 904.0f - 45.0f);
    ASSERT_EQ(sounds.calls.size(), 2u);
    EXPECT_EQ(sounds.calls[0].key, LaneSound::kAttackedBase2);
    EXPECT_NEAR(sounds.calls[0].volume, 0.7f + 0.3f * 90.0f / 130.0f, 1e-5f);
    EXPECT_EQ(sounds.calls[1].key, LaneSound::kAttackedVoice2);
    EXPECT_EQ(sounds.calls[1].volume, -1.0f);
}

TEST_F(LaneTest, APlayerUnitAtTheEnemyTowerPostsItsOwnerKindAndPower)
{
    struct Case {
        int power;
        int base;
        float volume;
        int voice;
    };
    const Case cases[] = {{10, LaneSound::kAttackingBase1, 0.8f + 0.2f * 10.0f / 30.0f, LaneSound::kAttackingVoice1},
                          {30, LaneSound::kAttackingBase2, 0.7f, LaneSound::kAttackingVoice1},
                          {159, LaneSound::kAttackingBase2, 0.7f + 0.3f * 129.0f / 130.0f, LaneSound::kAttackingVoice2},
                          {540, LaneSound::kAttackingBase3, 1.2f, LaneSound::kAttackingVoice2}};
    for (const Case& c : cases) {
        messages.Clear();
        Player(c.power, 1, 790.0f);
        sounds.calls.clear();
        lane.Update(0.0f);
        ASSERT_EQ(messages.posted.size(), 1u) << c.power;
        EXPECT_EQ(messages.posted[0].id, MSG_ENEMY_TOWER_HIT);
        PayloadReader hit = messages.posted[0].Reader();
        EXPECT_EQ(hit.U32(), 0u); // owner id low
        EXPECT_EQ(hit.U32(), 0u); // owner id high
        EXPECT_EQ(hit.I32(), 1);
        EXPECT_EQ(hit.I32(), c.power);
        EXPECT_EQ(hit.Remaining(), 0u);
        ASSERT_EQ(sounds.calls.size(), 2u);
        EXPECT_EQ(sounds.calls[0].key, c.base);
        EXPECT_NEAR(sounds.calls[0].volume, c.volume, 1e-5f) << c.power;
        EXPECT_EQ(sounds.calls[1].key, c.voice);
    }
    EXPECT_FLOAT_EQ(lane.m_HitEffect.GetEntries()[0].x, 120.0f - 45.0f);
}

TEST_F(LaneTest, AUnitWithoutPowerLeavesSilentlyAtItsFirstUpdate)
{
    Player(0, 0, 10.0f);
    Enemy(-7, 1, 790.0f);
    sounds.played.clear();
    lane.Update(0.01f);
    EXPECT_TRUE(lane.m_PlayerUnits.empty());
    EXPECT_TRUE(lane.m_EnemyUnits.empty());
    EXPECT_TRUE(messages.posted.empty());
    EXPECT_TRUE(sounds.played.empty());
}

TEST_F(LaneTest, UnitsAreKeptFrontFirstAndEqualPositionsKeepTheirOrder)
{
    AttackLineBlock* a = Player(10, 0, 50.0f);
    AttackLineBlock* b = Player(20, 0, 80.0f);
    AttackLineBlock* c = Player(30, 0, 50.0f);
    for (AttackLineBlock* unit : {a, b, c})
        unit->m_fSpeed = 0.0f;
    lane.Update(0.0f);
    EXPECT_EQ(lane.m_PlayerUnits, (std::vector<AttackLineBlock*>{b, a, c}));
    AttackLineBlock* enemyFront = nullptr;
    AttackLineBlock* playerFront = nullptr;
    lane.GetFrontUnits(&enemyFront, &playerFront);
    EXPECT_EQ(playerFront, b);
    EXPECT_EQ(enemyFront, nullptr);
    EXPECT_FLOAT_EQ(lane.FrontGap(), 784.0f - 80.0f);
    Enemy(10, 0, 100.0f);
    EXPECT_FLOAT_EQ(lane.FrontGap(), 784.0f - 80.0f - 100.0f);
}

// ---- Mines -----------------------------------------------------------------------------------

TEST_F(LaneTest, MinesLandAheadOfTheFrontOrOnTheNextFreeSpotWithinTheLane)
{
    EXPECT_FLOAT_EQ(lane.PlaceMine(-1, 0, 0)->position, 100.0f);
    EXPECT_FLOAT_EQ(lane.PlaceMine(-1, 0, 0)->position, 105.0f);
    AttackLineMine* third = lane.PlaceMine(-1, 0, 0);
    EXPECT_FLOAT_EQ(third->position, 110.0f);
    EXPECT_EQ(third->id.serial, 2);
    EXPECT_EQ(third->side, 0);

    AttackLineMine* owned = lane.PlaceMine(42, 0x11223344, 7);
    EXPECT_EQ(owned->id.serial, 42);
    EXPECT_EQ(owned->id.owner, 0x0000000711223344ull);
    EXPECT_EQ(lane.PlaceMine(-1, 0, 0)->id.serial, 3);

    // The enemy mines are searched among their own side only.
    EXPECT_FLOAT_EQ(lane.PlaceEnemyMine(0, 0, 0, 0)->position, 100.0f);
    EXPECT_FLOAT_EQ(lane.PlaceEnemyMine(100, 0, 0, 0)->position, 200.0f);
    EXPECT_FLOAT_EQ(lane.PlaceEnemyMine(-300, 0, 0, 0)->position, 5.0f);
    EXPECT_EQ(lane.m_Mines.back()->side, 1);

    Enemy(10, 0, 30.0f);
    EXPECT_FLOAT_EQ(lane.PlaceMine(-1, 0, 0)->position, 130.0f);
    lane.m_EnemyUnits[0]->m_fPosition = 760.0f;
    EXPECT_FLOAT_EQ(lane.PlaceMine(-1, 0, 0)->position, 774.0f);
    Player(10, 0, 600.0f);
    EXPECT_FLOAT_EQ(lane.PlaceEnemyMine(200, 0, 0, 0)->position, 774.0f);
}

TEST_F(LaneTest, TheFreeSpotSearchStopsAtTheLanesEnd)
{
    for (float at = 100.0f; at <= 774.0f; at += 5.0f)
        lane.PlaceMine(-1, 0, 0);
    EXPECT_FLOAT_EQ(lane.PlaceMine(-1, 0, 0)->position, 774.0f);
    EXPECT_FALSE(lane.IsPlayerMineSpotFree(774.3f));
    EXPECT_TRUE(lane.IsPlayerMineSpotFree(776.0f));
    EXPECT_TRUE(lane.IsEnemyMineSpotFree(100.0f));
}

TEST_F(LaneTest, OneMineActsAFrameInPlacingOrder)
{
    AttackLineBlock* front = Player(50, 0, 300.0f);
    AttackLineMine* first = lane.PlaceEnemyMine(0, 0, 0, 0); // ahead of the front: 400
    first->position = 120.0f;
    lane.PlaceEnemyMine(0, 0, 0, 0)->position = 150.0f;
    lane.PlaceMine(-1, 0, 0); // the player's own mine waits for enemy units
    sounds.played.clear();

    lane.CheckMines(0.0f);
    EXPECT_EQ(lane.m_Mines.size(), 2u);
    EXPECT_FLOAT_EQ(lane.m_Mines[0]->position, 150.0f);
    ASSERT_NE(front->FirstState(), nullptr);
    EXPECT_EQ(front->FirstState()->m_nType, AttackLineBlockState::kAttackedTrap);
    EXPECT_EQ(sounds.played, std::vector<int>{LaneSound::kKillPin});

    lane.CheckMines(0.0f);
    EXPECT_EQ(lane.m_Mines.size(), 1u);
    EXPECT_EQ(lane.m_Mines[0]->side, 0);
    lane.CheckMines(0.0f);
    EXPECT_EQ(lane.m_Mines.size(), 1u);
}

TEST_F(LaneTest, StarUnitsClearMinesAndInvincibleUnitsPassThemUnharmed)
{
    AttackLineBlock* star = Enemy(100, 3, 200.0f);
    lane.PlaceMine(-1, 0, 0)->position = 150.0f;
    sounds.played.clear();
    lane.CheckMines(0.0f);
    EXPECT_TRUE(lane.m_Mines.empty());
    EXPECT_FALSE(star->HasStates());
    EXPECT_EQ(sounds.played, std::vector<int>{LaneSound::kRemovePin});

    star->m_nKind = 0;
    star->AddState(new BlockState_Invincible(star));
    lane.PlaceMine(-1, 0, 0)->position = 150.0f;
    sounds.played.clear();
    lane.CheckMines(0.0f);
    EXPECT_TRUE(lane.m_Mines.empty());
    EXPECT_FALSE(star->FindCrazyState());
    EXPECT_EQ(star->FirstState()->m_nType, AttackLineBlockState::kInvincible);
    EXPECT_TRUE(sounds.played.empty());
}

TEST_F(LaneTest, ATrappedUnitDiesWhenItsDieAnimationEndsWithoutReachingTheTower)
{
    lengths.lengths[{SkinName(LaneSkin::kAttackBlockUser1 + 2), "ch_die"}] = 0.5f;
    AttackLineBlock* unit = Player(50, 2, 770.0f); // 70 px/s: past the tower in 0.2 s
    lane.PlaceEnemyMine(0, 0, 0, 0)->position = 700.0f;
    lane.Update(0.0f);
    ASSERT_NE(unit->FirstState(), nullptr);
    lane.Update(0.3f);
    ASSERT_EQ(lane.m_PlayerUnits.size(), 1u);
    EXPECT_FLOAT_EQ(unit->m_fPosition, 770.0f);
    EXPECT_EQ(unit->m_fSpeed, 70.0f);
    lane.Update(0.25f);
    EXPECT_TRUE(lane.m_PlayerUnits.empty());
    EXPECT_TRUE(messages.posted.empty());
}

TEST_F(LaneTest, ATrapWithoutADieAnimationEndsAtOnce)
{
    lengths.fallback = 0.0f;
    AttackLineBlock* unit = Player(50, 0, 300.0f);
    unit->AddState(new BlockState_AttackedTrap(unit));
    lane.Update(0.01f);
    EXPECT_TRUE(lane.m_PlayerUnits.empty());
}

// ---- Crazy mode -------------------------------------------------------------------------------

TEST_F(LaneTest, AUnitOf400TurnsItsSideCrazyUntilItIsGone)
{
    AttackLineBlock* strong = Player(400, 0, 10.0f);
    AttackLineBlock* weak = Player(100, 1, 5.0f);
    AttackLineBlock* enemy = Enemy(100, 0, 5.0f);
    sounds.calls.clear();
    lane.Update(0.0f);
    EXPECT_TRUE(lane.IsPlayerLaneCrazy());
    EXPECT_FALSE(lane.IsEnemyLaneCrazy());
    EXPECT_EQ(strong->m_nPower, 400);
    EXPECT_EQ(weak->m_nPower, 125);
    EXPECT_EQ(enemy->m_nPower, 100);
    ASSERT_EQ(sounds.calls.size(), 1u);
    EXPECT_EQ(sounds.calls[0].key, LaneSound::kCrazyLoopUser);
    EXPECT_TRUE(sounds.calls[0].loop);
    EXPECT_TRUE(lane.m_Anim[AttackLine::kAnimPlayerCrazy].m_bVisible);

    // The display is switched once, not every frame, also when the loop sound is not playing.
    sounds.playing.clear();
    lane.Update(0.1f);
    EXPECT_EQ(sounds.calls.size(), 1u);

    strong->m_nPower = 0;
    lane.Update(0.0f);
    EXPECT_FALSE(lane.IsPlayerLaneCrazy());
    EXPECT_EQ(weak->m_nPower, 100);
    EXPECT_FALSE(weak->FindCrazyState());
    EXPECT_EQ(sounds.stopped, std::vector<int>{LaneSound::kCrazyLoopUser});
    EXPECT_FALSE(lane.m_Anim[AttackLine::kAnimPlayerCrazy].m_bLoop);
}

TEST_F(LaneTest, ABoostTo400DoesNotKeepASideCrazy)
{
    AttackLineBlock* strong = Enemy(450, 1, 10.0f);
    AttackLineBlock* boosted = Enemy(320, 1, 5.0f);
    lane.Update(0.0f);
    EXPECT_EQ(boosted->m_nPower, 400);
    strong->m_nPower = -1;
    lane.Update(0.0f);
    EXPECT_FALSE(lane.IsEnemyLaneCrazy());
    EXPECT_EQ(boosted->m_nPower, 320);
    EXPECT_EQ(sounds.stopped, std::vector<int>{LaneSound::kCrazyLoopCom});
}

TEST_F(LaneTest, StunningASideStopsItsUnitsOrMakesACrazySideJump)
{
    AttackLineBlock* a = Enemy(40, 0, 10.0f);
    AttackLineBlock* b = Enemy(41, 1, 20.0f);
    lane.StunEnemyLane();
    EXPECT_EQ(a->m_nPower, 20);
    EXPECT_EQ(b->m_nPower, 20);
    EXPECT_EQ(CountPlayed(LaneSound::kSlip), 2);
    lane.ClearEnemyLaneStuns();
    EXPECT_EQ(a->m_nPower, 40);
    EXPECT_EQ(b->m_nPower, 40);
    EXPECT_FALSE(a->HasStates());

    AttackLineBlock* c = Player(400, 0, 10.0f);
    AttackLineBlock* d = Player(40, 0, 5.0f);
    lane.Update(0.0f);
    sounds.played.clear();
    lane.StunPlayerLane();
    EXPECT_EQ(c->m_nPower, 400);
    EXPECT_EQ(d->m_nPower, 50);
    EXPECT_EQ(CountPlayed(LaneSound::kCrazyJumpUser), 2);
    EXPECT_EQ(CountPlayed(LaneSound::kSlip), 0);
    lane.ClearPlayerLaneStuns();
    EXPECT_EQ(d->m_nPower, 50);
}

// ---- Items ----------------------------------------------------------------------------------

TEST_F(LaneTest, ItemsFallLandAndWaitToBeTaken)
{
    struct Case {
        int kind, add, factor;
    };
    for (const Case c : {Case{0, 100, 1}, Case{1, -50, 1}, Case{2, 0, 2}, Case{3, 0, 4}, Case{4, 0, 2}, Case{5, 0, 2}}) {
        lane.m_bItemLanded = 0;
        lane.DropItem(c.kind, 300.0f);
        EXPECT_EQ(lane.m_nItemKind, c.kind);
        EXPECT_EQ(lane.m_nItemAdd, c.add);
        EXPECT_EQ(lane.m_nItemFactor, c.factor);
    }
    EXPECT_EQ(CountPlayed(LaneSound::kItemDrop), 6);

    // A drop during the fall replaces the falling item; once landed, drops are ignored.
    lane.DropItem(2, 400.0f);
    lane.Update(0.1f);
    EXPECT_EQ(lane.m_bItemLanded, 0);
    lane.DropItem(4, 500.0f);
    lane.Update(0.1f);
    lane.Update(0.1f);
    EXPECT_EQ(lane.m_bItemLanded, 1);
    EXPECT_EQ(lane.m_fItemFallTime, 0.0f);
    lane.DropItem(0, 600.0f);
    EXPECT_EQ(lane.m_nItemKind, 4);
    EXPECT_FLOAT_EQ(lane.m_fItemX, 500.0f);

    lane.m_bItemLanded = 0;
    sounds.played.clear();
    lane.DropItem(6, 100.0f);
    lane.DropItem(-1, 100.0f);
    EXPECT_EQ(lane.m_nItemKind, 4);
    EXPECT_TRUE(sounds.played.empty());
}

TEST(LaneRules, ItemDropPositionLeansTowardsThePlayerWhenTheEnemyLeadsAndSurvivesZeroHp)
{
    struct Case {
        int enemyHp, playerHp;
        float x;
    };
    const Case cases[] = {{500, 500, 100 + 20 + 300 * 0.5f}, {1000, 0, 100 + 20 + 300 * 0.8f},
                          {0, 1000, 100 + 20 + 300 * 0.2f},  {0, 0, 100 + 20 + 300 * 0.5f},
                          {-40, 0, 100 + 20 + 300 * 0.5f},   {-40, 40, 100 + 20 + 300 * 0.2f}};
    for (const Case& c : cases) {
        const float x = AttackLine::ItemDropX(100, 20.0f, 300.0f, c.enemyHp, c.playerHp);
        EXPECT_TRUE(std::isfinite(x));
        EXPECT_FLOAT_EQ(x, c.x) << c.enemyHp << " " << c.playerHp;
    }
}

// ---- Reset and the end ---------------------------------------------------------------------------

TEST_F(LaneTest, ResetEmptiesTheLane)
{
    Player(400, 0, 10.0f);
    Enemy(400, 1, 10.0f);
    lane.PlaceMine(-1, 0, 0);
    lane.DropItem(3, 200.0f);
    lane.m_nSpeedLevel = 4;
    lane.Update(0.3f);
    lane.m_HitEffect.Add(1.0f, 2.0f);
    ASSERT_TRUE(lane.IsPlayerLaneCrazy());

    lane.Reset();
    EXPECT_TRUE(lane.m_PlayerUnits.empty());
    EXPECT_TRUE(lane.m_EnemyUnits.empty());
    EXPECT_TRUE(lane.m_Mines.empty());
    EXPECT_TRUE(lane.m_HitEffect.GetEntries().empty());
    EXPECT_FALSE(lane.m_HitEffect.IsLoaded());
    EXPECT_EQ(lane.m_fItemFallTime, -1.0f);
    EXPECT_EQ(lane.m_bItemLanded, 0);
    EXPECT_EQ(lane.m_nItemAdd, 0);
    EXPECT_EQ(lane.m_nItemFactor, 1);
    EXPECT_EQ(lane.m_nSpeedLevel, 0);
    EXPECT_FALSE(sounds.IsPlaying(LaneSound::kCrazyLoopUser));
    EXPECT_FALSE(sounds.IsPlaying(LaneSound::kCrazyLoopCom));

    // After the reset a crazy side switches its display on again.
    sounds.calls.clear();
    Player(400, 0, 10.0f);
    lane.Update(0.0f);
    ASSERT_EQ(sounds.calls.size(), 2u);
    EXPECT_EQ(sounds.calls[1].key, LaneSound::kCrazyLoopUser);
}

TEST_F(LaneTest, AfterTheEndUnitsStandAndTheirStatesStop)
{
    AttackLineBlock* winner = Player(100, 0, 10.0f);
    AttackLineBlock* loser = Enemy(100, 0, 10.0f);
    loser->AddState(new BlockState_Stun(loser));
    lane.EndGame(0);
    EXPECT_EQ(winner->m_bWon, 1);
    EXPECT_EQ(loser->m_bLost, 1);
    EXPECT_EQ(sounds.stopped, (std::vector<int>{LaneSound::kCrazyLoopUser, LaneSound::kCrazyLoopCom}));
    lane.Update(10.0f);
    EXPECT_FLOAT_EQ(winner->m_fPosition, 10.0f);
    EXPECT_FLOAT_EQ(loser->m_fPosition, 10.0f);
    EXPECT_EQ(loser->m_nPower, 50);
    ASSERT_NE(loser->FirstState(), nullptr);
    EXPECT_FLOAT_EQ(static_cast<BlockState_Stun*>(loser->FirstState())->m_fTimeLeft, 7.0f);
}

} // namespace
