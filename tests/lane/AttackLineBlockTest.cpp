#include "LaneFixture.h"

using namespace lanetest;

namespace {

class UnitTest : public LaneTest {
protected:
    AttackLineBlock* Unit(int power)
    {
        AttackLineBlock* unit = Player(power, 0, 100.0f);
        unit->m_fSpeed = 40.0f;
        return unit;
    }
};

TEST_F(UnitTest, AStunHalvesThePowerForSevenSecondsAndDoublesItAfter)
{
    struct Case {
        int power, stunned, after;
    };
    for (const Case c : {Case{7, 3, 6}, Case{1, 1, 2}, Case{0, 1, 2}, Case{100, 50, 100}}) {
        AttackLineBlock* unit = Unit(c.power);
        unit->AddState(new BlockState_Stun(unit));
        EXPECT_EQ(unit->m_nPower, c.stunned) << c.power;
        for (int i = 0; i < 69; ++i)
            unit->Update(0.1f);
        EXPECT_EQ(unit->m_nPower, c.stunned) << c.power;
        EXPECT_NEAR(unit->m_fPosition, 100.0f, 1e-3f);
        EXPECT_EQ(unit->m_fSpeed, 40.0f);
        unit->Update(0.11f);
        EXPECT_EQ(unit->m_nPower, c.after) << c.power;
        EXPECT_FALSE(unit->HasStates());
        // The last step walks 0.11 s and gives back the 0.01 s past the stun.
        EXPECT_NEAR(unit->m_fPosition, 100.0f - 0.4f, 1e-3f);
        unit->Update(0.5f);
        EXPECT_NEAR(unit->m_fPosition, 119.6f, 1e-3f);
    }
}

TEST_F(UnitTest, ASecondStunReplacesTheFirstAndStartsAnew)
{
    AttackLineBlock* unit = Unit(8);
    unit->AddState(new BlockState_Stun(unit));
    EXPECT_EQ(unit->m_nPower, 4);
    unit->Update(5.0f);
    unit->AddState(new BlockState_Stun(unit));
    EXPECT_EQ(unit->m_nPower, 4); // 2, then doubled by the first stun's end
    ASSERT_EQ(unit->m_States.size(), 1u);
    unit->Update(5.0f);
    EXPECT_EQ(unit->m_nPower, 4);
    unit->Update(2.5f);
    EXPECT_EQ(unit->m_nPower, 8);
}

TEST_F(UnitTest, NewStatesReplaceOnlyWhatTheyEnd)
{
    using S = AttackLineBlockState;
    struct Case {
        std::vector<int> existing;
        int added;
        std::vector<int> after;
    };
    const Case cases[] = {
        {{S::kInvincible}, S::kStun, {S::kStun}},               // a stun ends invincibility
        {{S::kStun}, S::kInvincible, {S::kStun, S::kInvincible}}, // invincibility leaves the stun
        {{S::kStun}, S::kCrazy, {S::kCrazy}},                   // a crazy boost ends a stun
        {{S::kCrazy}, S::kStun, {S::kCrazy, S::kStun}},         // a stun leaves the crazy state
        {{S::kInvincible, S::kCrazy}, S::kInvincible, {S::kCrazy, S::kInvincible}},
        {{S::kCrazy, S::kInvincible}, S::kAttackedTrap, {S::kCrazy, S::kInvincible, S::kAttackedTrap}},
    };
    auto make = [](int type, AttackLineBlock* unit) -> AttackLineBlockState* {
        switch (type) {
        case S::kStun: return new BlockState_Stun(unit);
        case S::kInvincible: return new BlockState_Invincible(unit);
        case S::kCrazy: return new BlockState_Crazy(unit);
        default: return new BlockState_AttackedTrap(unit);
        }
    };
    for (const Case& c : cases) {
        AttackLineBlock* unit = Unit(100);
        for (int type : c.existing)
            unit->AddState(make(type, unit));
        unit->AddState(make(c.added, unit));
        std::vector<int> types;
        for (const auto& state : unit->m_States)
            types.push_back(state->m_nType);
        EXPECT_EQ(types, c.after) << "adding " << c.added;
        EXPECT_EQ(unit->IsInvincible(), std::find(types.begin(), types.end(), S::kInvincible) != types.end());
    }
}

TEST_F(UnitTest, CrazyBoostsBelow400AndGivesTheBoostBack)
{
    struct Case {
        int power, boosted, after;
        int strong;
    };
    for (const Case c : {Case{399, 498, 398, 0}, Case{400, 400, 400, 1}, Case{100, 125, 100, 0}, Case{4, 5, 4, 0}}) {
        AttackLineBlock* unit = Unit(c.power);
        auto* crazy = new BlockState_Crazy(unit);
        unit->AddState(crazy);
        EXPECT_EQ(unit->m_nPower, c.boosted);
        EXPECT_EQ(crazy->m_bStrong, c.strong);
        EXPECT_EQ(unit->FindCrazyState(), crazy);
        unit->Update(100.0f); // never ends by itself
        EXPECT_EQ(unit->FindCrazyState(), crazy);
        unit->RemoveStates(AttackLineBlockState::kCrazy);
        EXPECT_EQ(unit->m_nPower, c.after);
        EXPECT_EQ(unit->FindCrazyState(), nullptr);
    }

    // On a stunned unit the boost is decided on the stunned power, then the stun ends.
    AttackLineBlock* unit = Unit(100);
    unit->AddState(new BlockState_Stun(unit));
    EXPECT_EQ(unit->m_nPower, 50);
    unit->AddState(new BlockState_Crazy(unit));
    EXPECT_EQ(unit->m_nPower, 124);
    unit->RemoveStates(AttackLineBlockState::kCrazy);
    EXPECT_EQ(unit->m_nPower, 99);
}

TEST_F(UnitTest, InvincibilityLastsFourSeconds)
{
    AttackLineBlock* unit = Unit(50);
    unit->AddState(new BlockState_Invincible(unit));
    unit->Update(3.9f);
    EXPECT_TRUE(unit->IsInvincible());
    EXPECT_EQ(unit->m_nPower, 50);
    unit->Update(0.1f);
    EXPECT_FALSE(unit->IsInvincible());
    EXPECT_FALSE(unit->HasStates());
}

TEST_F(UnitTest, ATrapLastsAsLongAsTheWalkersDieAnimation)
{
    lengths.lengths[{SkinName(LaneSkin::kAttackBlockEnemy1 + 1), "ch_die"}] = 0.8f;
    AttackLineBlock* unit = Enemy(60, 1, 200.0f);
    unit->AddState(new BlockState_AttackedTrap(unit));
    unit->Update(0.7f);
    EXPECT_EQ(unit->m_nPower, 60);
    EXPECT_FLOAT_EQ(unit->m_fPosition, 200.0f);
    unit->Update(0.11f);
    EXPECT_EQ(unit->m_nPower, 0);
    EXPECT_FALSE(unit->HasStates());
}

TEST_F(UnitTest, DestroyingAUnitDestroysItsStatesFirst)
{
    AttackLineBlock* unit = Unit(9);
    unit->AddState(new BlockState_Stun(unit));
    unit->AddState(new BlockState_Crazy(unit));
    unit->AddState(new BlockState_Invincible(unit));
    lane.Reset(); // deletes the unit; the states give back their changes on a live unit
    EXPECT_TRUE(lane.m_PlayerUnits.empty());
}

TEST_F(UnitTest, UnitsScaleWithPowerAndStandAtTheirSidesScreenX)
{
    AttackLineBlock* player = Player(400, 0, 100.0f);
    AttackLineBlock* enemy = Enemy(0, 0, 100.0f);
    EXPECT_FLOAT_EQ(player->DrawScale(), 3.4f);
    EXPECT_FLOAT_EQ(enemy->DrawScale(), 0.2f);
    EXPECT_FLOAT_EQ(Player(100, 1)->DrawScale(), 1.0f);
    EXPECT_FLOAT_EQ(player->ScreenX(), 904.0f - 100.0f);
    EXPECT_FLOAT_EQ(enemy->ScreenX(), 120.0f + 100.0f);
}

} // namespace
