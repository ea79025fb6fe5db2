// The online battle with a host and a guest scene wired together in one process: firing and the
// host's numbering of every unit, auto-fire, clashes and tower hits agreed on both machines, the
// end of the match and its precedence, the ready handshake on an injected clock, the frame's
// precedence, items, speed-up, mines, the opponent's bullets, and hostile records refused.
#include "NetBattleKit.h"
#include "engine/LoadingScene.h"

#include "board/GameMessages.h"
#include "engine/InputKeyboard.h"
#include "menus/PopUp.h"
#include "modes/VanteoScene.h"
#include "support/LogCapture.h"

#include <win32/VirtualKeys.h>

#include <cmath>
#include <limits>
#include <set>

namespace {

using namespace netbattletest;

std::vector<int32_t> Serials(const std::vector<AttackLineBlock*>& units)
{
    std::vector<int32_t> serials;
    for (const AttackLineBlock* u : units)
        serials.push_back(u->m_Id.serial);
    return serials;
}

std::vector<int32_t> Powers(const std::vector<AttackLineBlock*>& units)
{
    std::vector<int32_t> powers;
    for (const AttackLineBlock* u : units)
        powers.push_back(u->m_nPower);
    return powers;
}

TEST_F(NetBattleTest, EnteringSetsUpBothRolesWithTheirSerialSpaces)
{
    EnterBoth();
    for (TestBattle* s : {&host, &guest}) {
        ASSERT_NE(s->m_pBoard, nullptr);
        ASSERT_NE(s->m_pMirrorBoard, nullptr);
        EXPECT_EQ(s->m_pBoard->pointsCap, 999);
        EXPECT_EQ(s->m_pMirrorBoard->quiet, 1);
        EXPECT_FLOAT_EQ(s->m_pMirrorBoard->scaleX, 0.5f);
        const kv::KVPoint at = s->m_pRoot->FindChild(L"Wnd_PuzzleArea_enemy")->GetAbsolutePosition();
        EXPECT_FLOAT_EQ(s->m_pMirrorBoard->originX, at.x);
        EXPECT_EQ(s->m_nState, kGameStateStart);
        EXPECT_FLOAT_EQ(s->m_fItemTimer, 3.0f);
        EXPECT_EQ(g_bAutoAttack, 1);
        EXPECT_FALSE(s->m_pRoot->FindChild(L"Anibtn_bullet_1")->IsEnabled());
        EXPECT_FALSE(s->m_pRoot->FindChild(L"Pic_battle_enemy")->IsVisible());
        EXPECT_STREQ(s->m_wszPlayerName, L"Unknown Player");
        ASSERT_NE(ModeConfig.currentStage, nullptr);
        EXPECT_STREQ(ModeConfig.currentStage->name, "MultiPlay");
        EXPECT_EQ(ModeConfig.currentStage->speedUp, 1);
        // The handshake's ready message went out, without a sender.
        ASSERT_EQ(s->Sent(netmsg::kReady).size(), 1u);
        EXPECT_EQ(s->Sent(netmsg::kReady)[0].size(), 8u);
    }
    EXPECT_EQ(host.m_Lane.Context().serials.PeekUnit(), 0);
    EXPECT_EQ(guest.m_Lane.Context().serials.PeekUnit(), SteamVanteoScene::kGuestFirstSerial);
}

TEST_F(NetBattleTest, FireBestTakesTheSmallestPartialStack)
{
    Play();
    host.SetAutoFire(0);
    struct Case {
        int bullets[3];
        int kind;  // -1: nothing fired
        int power;
    };
    const Case cases[] = {
        {{250, 0, 0}, 0, 50},
        {{300, 0, 0}, 0, 100},
        {{0, 40, 30}, 2, 30},
        {{200, 100, 0}, 1, 100},
        {{0, 0, 0}, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.power);
        host.m_Lane.Reset();
        std::copy(c.bullets, c.bullets + 3, host.m_pBoard->bullets);
        host.sent.clear();
        host.FireBest();
        if (c.kind < 0) {
            EXPECT_TRUE(host.m_Lane.m_PlayerUnits.empty());
            EXPECT_TRUE(host.Sent(netmsg::kAttackCreated).empty());
            continue;
        }
        ASSERT_EQ(host.m_Lane.m_PlayerUnits.size(), 1u);
        EXPECT_EQ(host.m_Lane.m_PlayerUnits[0]->m_nKind, c.kind);
        EXPECT_EQ(host.m_Lane.m_PlayerUnits[0]->m_nPower, c.power);
        EXPECT_EQ(host.m_pBoard->bullets[c.kind], c.bullets[c.kind] - c.power);
        EXPECT_EQ(host.Sent(netmsg::kAttackCreated).size(), 1u);
    }
}

TEST_F(NetBattleTest, AutoFireLaunchesWhatABoardGainedInTheNextPlayingFrame)
{
    Play();
    host.m_pBoard->bullets[1] = 7;
    Frame();
    ASSERT_EQ(host.m_Lane.m_PlayerUnits.size(), 1u);
    EXPECT_EQ(host.m_Lane.m_PlayerUnits[0]->m_nPower, 7);
    EXPECT_EQ(host.m_Lane.m_PlayerUnits[0]->m_nKind, 1);
    EXPECT_EQ(host.m_pBoard->bullets[1], 0);

    // F8 gives 1, 2 and 3 bullets, which the next frame's auto-fire sends as units.
    input.keys.insert(VK_F8);
    host.Update(0.02f);
    input.keys.clear();
    singleton<CInputKeyboard>::GetSingleton().Update();
    EXPECT_EQ(std::vector<int>(host.m_pBoard->bullets, host.m_pBoard->bullets + 3), (std::vector<int>{1, 2, 3}));
    host.Update(0.02f);
    EXPECT_EQ(std::vector<int>(host.m_pBoard->bullets, host.m_pBoard->bullets + 3), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(host.m_Lane.m_PlayerUnits.size(), 4u);
}

TEST_F(NetBattleTest, TheHostNumbersEveryUnitAndBothLanesHoldTheSame)
{
    Play();
    // The guest fires: its bullets are spent at once, the unit comes with the host's answer.
    guest.m_pBoard->bullets[0] = 12;
    Frame();
    EXPECT_EQ(guest.m_pBoard->bullets[0], 0);
    EXPECT_TRUE(guest.m_Lane.m_PlayerUnits.empty());
    ASSERT_EQ(guest.Sent(netmsg::kFireRequest).size(), 1u);
    // The host's own attack and the guest's special attack, in the same frames.
    host.m_pBoard->bullets[2] = 30;
    ASSERT_TRUE(guest.FireBullet(true, 3));
    Frames(3);

    // The guest's special reached the host before the host's own frame fired its stack.
    EXPECT_EQ(Serials(host.m_Lane.m_EnemyUnits), (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(Powers(host.m_Lane.m_EnemyUnits), (std::vector<int32_t>{12, 100}));
    EXPECT_EQ(Serials(host.m_Lane.m_PlayerUnits), (std::vector<int32_t>{2}));
    EXPECT_EQ(Serials(guest.m_Lane.m_PlayerUnits), Serials(host.m_Lane.m_EnemyUnits));
    EXPECT_EQ(Serials(guest.m_Lane.m_EnemyUnits), Serials(host.m_Lane.m_PlayerUnits));
    EXPECT_EQ(Powers(guest.m_Lane.m_PlayerUnits), Powers(host.m_Lane.m_EnemyUnits));
    EXPECT_EQ(guest.m_Lane.m_PlayerUnits[1]->m_nKind, 3);
    // The answer names the guest as the requester.
    const auto answers = host.Sent(netmsg::kAttackCreated);
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(WordAt(answers[0].data(), 20) | static_cast<uint64_t>(WordAt(answers[0].data(), 24)) << 32, kGuestId);
    EXPECT_EQ(static_cast<int32_t>(WordAt(answers[0].data(), 16)), 1);
    EXPECT_EQ(static_cast<int32_t>(WordAt(answers[1].data(), 16)), 1);
    EXPECT_EQ(static_cast<int32_t>(WordAt(answers[2].data(), 16)), 0);
}

TEST_F(NetBattleTest, AMatchPlayedOutAgreesOnBothMachines)
{
    Play();
    // Both sides fire a few times; the units meet, clash, and the rest walk on to the towers.
    const int rounds[][2] = {{40, 25}, {10, 60}, {80, 0}, {0, 90}};
    for (const auto& r : rounds) {
        host.m_pBoard->bullets[0] = r[0];
        guest.m_pBoard->bullets[1] = r[1];
        Frames(200, 0.05f);
    }
    EXPECT_TRUE(host.m_Lane.m_PlayerUnits.empty() && host.m_Lane.m_EnemyUnits.empty());
    EXPECT_TRUE(guest.m_Lane.m_PlayerUnits.empty() && guest.m_Lane.m_EnemyUnits.empty());
    // The host's values are the truth; the guest took them with the last sync.
    EXPECT_LT(host.m_Player.m_fRealHp, 1000.0f);
    EXPECT_LT(host.m_pOpponent->m_fRealHp, 1000.0f);
    EXPECT_FLOAT_EQ(guest.m_Player.m_fRealHp, host.m_pOpponent->m_fRealHp);
    EXPECT_FLOAT_EQ(guest.m_pOpponent->m_fRealHp, host.m_Player.m_fRealHp);
    // Each told the other of its bullets.
    EXPECT_FALSE(guest.Sent(netmsg::kBulletGain).empty());
}

TEST_F(NetBattleTest, BothTowersFallingInOneHostFrameIsTheHostsLoss)
{
    struct Case {
        float hostHp, guestHp;
        bool hostWon;
    };
    for (const Case& c : {Case{0, 0, false}, Case{-20, 300, false}, Case{300, -5, true}}) {
        SCOPED_TRACE(c.hostHp);
        Play();
        host.m_Player.m_fRealHp = c.hostHp;
        host.m_pOpponent->m_fRealHp = c.guestHp;
        Frames(15);
        EXPECT_EQ(host.m_nState, kGameStateFinished);
        EXPECT_EQ(guest.m_nState, kGameStateFinished);
        EXPECT_EQ(host.m_bWon, c.hostWon ? 1 : 0);
        EXPECT_EQ(guest.m_bWon, c.hostWon ? 0 : 1);
        // The host keeps sending and re-posting its end; nothing changes any more.
        const int32_t session = g_nSessionRecord;
        const int cubes = GameConfig.cubes;
        Frames(30);
        EXPECT_EQ(g_nSessionRecord, session);
        EXPECT_EQ(GameConfig.cubes, cubes);
        host.Leave();
        guest.Leave();
    }
    // One win and one loss each, on the same process-wide counters.
    EXPECT_EQ(GameConfig.cubes, 3 * (50 + 5));
}

TEST_F(NetBattleTest, TheReadyWaitEndsOnTheAnswerResendsAndGivesUpAfterAMinute)
{
    struct Case {
        uint32_t answerAt;  // the other machine's ready message arrives then; 0: never
        bool answered;
        size_t sent;
    };
    const Case cases[] = {{1, true, 1}, {2550, true, 3}, {0, false, 61}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answerAt);
        uint32_t now = 5000;
        guest.m_Ticks = [&] { return now; };
        guest.m_Sleep = [&](uint32_t ms) {
            now += ms;
            if (c.answerAt && now - 5000 >= c.answerAt)
                g_nNetReadyCount = 0;
        };
        g_nNetReadyCount = 1;
        guest.sent.clear();
        guest.m_bDisconnected = 0;
        guest.m_Disconnect.Close();
        EXPECT_EQ(guest.WaitForOpponent(), c.answered);
        EXPECT_EQ(guest.Sent(netmsg::kReady).size(), c.sent);
        EXPECT_EQ(guest.m_bDisconnected, c.answered ? 0 : 1);
        EXPECT_EQ(guest.m_Disconnect.IsOpen(), !c.answered);
        if (!c.answered) {
            EXPECT_GT(now - 5000, SteamVanteoScene::kReadyTimeoutMs);
        }
    }
    guest.m_Disconnect.Close();
}

TEST_F(NetBattleTest, ClosingTheProgramEndsTheReadyWaitAtOnceWithoutANotice)
{
    uint32_t now = 5000;
    guest.m_Ticks = [&] { return now; };
    // The player closes the window while the other machine has not answered.
    guest.m_Sleep = [&](uint32_t ms) {
        now += ms;
        if (now - 5000 == 300)
            manager->Quit();
    };
    g_nNetReadyCount = 1;
    EXPECT_FALSE(guest.WaitForOpponent());
    EXPECT_LE(now - 5000, 400u);
    EXPECT_EQ(guest.m_bDisconnected, 0);
    EXPECT_FALSE(guest.m_Disconnect.IsOpen());
}

TEST_F(NetBattleTest, TheIntroRunsFirstAndADisconnectionFreezesTheBoardAndLane)
{
    EnterBoth();
    guest.OnNetDisconnect(nullptr, 0);
    ASSERT_EQ(guest.m_bDisconnected, 1);
    // The intro still plays to its end under the notice.
    for (int i = 0; i < 50 && guest.m_nState == kGameStateStart; ++i)
        guest.Update(0.02f);
    EXPECT_EQ(guest.m_nState, kGameStatePlaying);
    // Then nothing moves: no auto-fire, no lane, no play clock.
    guest.m_pBoard->bullets[0] = 9;
    guest.m_Lane.LaunchEnemy(10, 0, 0);
    const float clock = guest.m_pBoard->playTime;
    guest.Update(0.5f);
    EXPECT_EQ(guest.m_pBoard->bullets[0], 9);
    EXPECT_FLOAT_EQ(guest.m_Lane.m_EnemyUnits[0]->m_fPosition, 0.0f);
    EXPECT_FLOAT_EQ(guest.m_pBoard->playTime, clock);
    // Its confirmation goes back to the room.
    guest.OnPopUpOk(nullptr, 0);
    ASSERT_EQ(guest.local.posted.size(), 1u);
    EXPECT_EQ(guest.local.posted[0].id, MSG_CHANGE_SCENE);
    EXPECT_EQ(guest.local.posted[0].Reader().Text(kSceneNameBytes), "QuiblyLobbyScene");
    guest.m_Disconnect.Close();
}

TEST_F(NetBattleTest, ItemsDropBetweenTheFrontsByTheHitPoints)
{
    struct Case {
        float own, opponent;
        float share;  // of the gap, from the opponent's front
    };
    const Case cases[] = {{500, 500, 0.5f}, {0, 1000, 0.8f}, {1000, 0, 0.2f}, {0, 0, 0.5f}};
    EnterBoth();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.share);
        host.m_Lane.Reset();
        guest.m_Lane.Reset();
        host.sent.clear();
        host.m_Player.m_fShownHp = c.own;
        host.m_pOpponent->m_fShownHp = c.opponent;
        host.m_fItemTimer = 0.01f;
        host.UpdateItemTimer(0.02f);
        const LaneGeometry& g = host.m_Lane.Geometry();
        const float expected = static_cast<float>(g.laneLeft) + c.share * static_cast<float>(g.laneLength);
        EXPECT_NEAR(host.m_Lane.m_fItemX, expected, 0.01f);
        EXPECT_GE(host.m_fItemTimer, 12.0f);
        const auto drops = host.Sent(netmsg::kItemDrop);
        ASSERT_EQ(drops.size(), 1u);
        guest.Receive(drops[0]);
        EXPECT_NEAR(guest.m_Lane.m_fItemX, static_cast<float>(g.laneLeft + g.laneRight) - expected, 0.01f);
        EXPECT_EQ(guest.m_Lane.m_nItemKind, host.m_Lane.m_nItemKind);
    }
    // Fronts 256 or less apart: the timer stands still.
    host.m_Lane.Reset();
    host.m_Lane.LaunchPlayer(10, 0)->m_fPosition = 400.0f;
    host.m_Lane.LaunchEnemy(10, 0, 0)->m_fPosition = 200.0f;
    host.m_fItemTimer = 2.0f;
    host.UpdateItemTimer(1.0f);
    EXPECT_FLOAT_EQ(host.m_fItemTimer, 2.0f);
}

TEST_F(NetBattleTest, AnItemPickedUpOnOneMachineActsOnTheSameUnitOnTheOther)
{
    Play();
    host.m_pBoard->bullets[0] = 20;
    Frames(3);
    ASSERT_EQ(guest.m_Lane.m_EnemyUnits.size(), 1u);
    // A doubling item lies just ahead of the host's unit on both lanes.
    const LaneGeometry& g = host.m_Lane.Geometry();
    AttackLineBlock* unit = host.m_Lane.m_PlayerUnits[0];
    host.m_Lane.DropItem(2, static_cast<float>(g.laneRight) - unit->m_fPosition - 1.0f);
    guest.m_Lane.DropItem(2, static_cast<float>(g.laneLeft) + unit->m_fPosition + 1.0f);
    host.m_Lane.m_bItemLanded = 1;
    guest.m_Lane.m_bItemLanded = 1;
    host.m_fItemTimer = 100.0f;
    Frames(10);
    EXPECT_EQ(host.m_Lane.m_PlayerUnits[0]->m_nPower, 40);
    EXPECT_EQ(guest.m_Lane.m_EnemyUnits[0]->m_nPower, 40);
    EXPECT_EQ(host.m_Lane.m_bItemLanded, 0);
    EXPECT_EQ(guest.m_Lane.m_bItemLanded, 0);
    EXPECT_EQ(host.Sent(netmsg::kItemGet).size(), 1u);
}

TEST_F(NetBattleTest, TowerDamageFollowsTheSpeedLevelWhichStopsAtFive)
{
    Play();
    for (int i = 0; i < 8; ++i)
        host.OnPlayTimeStep(nullptr, 4);
    EXPECT_EQ(host.m_Lane.m_nSpeedLevel, 5);
    EXPECT_EQ(host.Sent(netmsg::kSpeedUp).size(), 8u);
    Frame();
    EXPECT_EQ(guest.m_Lane.m_nSpeedLevel, 5);
    // A guest's own time steps only play the effect.
    guest.m_Lane.m_nSpeedLevel = 0;
    guest.OnPlayTimeStep(nullptr, 4);
    EXPECT_EQ(guest.m_Lane.m_nSpeedLevel, 0);

    // At level 5 a unit of power 50 costs 100; two hits cost both.
    const std::vector<uint8_t> hit = PayloadWriter().I32(MSG_PLAYER_TOWER_HIT).I32(0).I32(50).Bytes();
    std::vector<uint8_t> bytes(hit);
    bytes.resize(kSceneMessageDataBytes, 0);
    host.Dispatch(MSG_PLAYER_TOWER_HIT, bytes.data(), 12);
    host.Dispatch(MSG_PLAYER_TOWER_HIT, bytes.data(), 12);
    EXPECT_FLOAT_EQ(host.m_Player.m_fRealHp, 800.0f);
}

TEST_F(NetBattleTest, MinesCarryTheirSerialToTheOtherLaneAndAreCappedPerFrame)
{
    Play();
    std::vector<uint8_t> stone(kSceneMessageDataBytes, 0);
    std::memcpy(stone.data(), &MSG_BIG_STONE, 4);
    host.Dispatch(MSG_BIG_STONE, stone.data(), 12);
    host.Dispatch(MSG_BIG_STONE, stone.data(), 12);
    ASSERT_EQ(host.m_Lane.m_Mines.size(), 2u);
    Frame();
    ASSERT_EQ(guest.m_Lane.m_Mines.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(guest.m_Lane.m_Mines[i]->id, host.m_Lane.m_Mines[i]->id);
        EXPECT_EQ(guest.m_Lane.m_Mines[i]->side, 1);
    }
    // A flood of mines in one frame places only the frame's share.
    guest.Update(0.0f);
    for (int i = 0; i < 50; ++i)
        guest.Receive(Record(netmsg::kBigStone, {100 + i}, kHostId));
    EXPECT_EQ(guest.m_Lane.m_Mines.size(), 2u + SteamVanteoScene::kMaxMinesPerFrame);
}

TEST_F(NetBattleTest, RecordsFromTheOtherMachineAreCheckedBeforeTheyActOrIndex)
{
    EnterBoth();
    testsupport::LogCapture log;
    const float fallTime = guest.m_Lane.m_fItemFallTime;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    auto itemDrop = [](int32_t kind, float x) {
        return netmsg::Build(netmsg::kItemDrop, kHostId, PayloadWriter().I32(kind).F32(x));
    };
    // Nothing of these may create a unit, an item or a mine, or touch the bullet counts wrongly.
    const std::vector<std::vector<uint8_t>> toHost = {
        Record(netmsg::kFireRequest, {-1, 7, 10}),
        Record(netmsg::kFireRequest, {-1, -1, 10}),
        Record(netmsg::kFireRequest, {-1, 0, 0}),
        Record(netmsg::kFireRequest, {-1, 1, -40}),
    };
    for (const auto& r : toHost)
        host.Receive(r);
    EXPECT_TRUE(host.m_Lane.m_EnemyUnits.empty());
    const std::vector<std::vector<uint8_t>> toGuest = {
        Record(netmsg::kAttackCreated, {1, 0, 0, 5, 9, 10}, kHostId),
        Record(netmsg::kAttackCreated, {2, 0, 0, 5, 1, 10}, kHostId),
        Record(netmsg::kAttackCreated, {0, 0, 0, 5, 1, 0}, kHostId),
        itemDrop(6, 500.0f), itemDrop(-1, 500.0f), itemDrop(1, nan), itemDrop(1, 5000.0f),
        itemDrop(1, -std::numeric_limits<float>::infinity()),
        Record(netmsg::kBulletGain, {3, 50}, kHostId), Record(netmsg::kBulletGain, {-1, 50}, kHostId),
    };
    for (const auto& r : toGuest)
        guest.Receive(r);
    EXPECT_TRUE(guest.m_Lane.m_PlayerUnits.empty() && guest.m_Lane.m_EnemyUnits.empty());
    EXPECT_EQ(guest.m_Lane.m_fItemFallTime, fallTime);
    EXPECT_EQ(std::vector<int>(guest.m_pOpponent->m_nBullets, guest.m_pOpponent->m_nBullets + 3), (std::vector<int>{0, 0, 0}));

    // Amounts are bounded: a guest's request by what one clear may bring, bullet counts by the
    // stack, powers by the unit's limit.
    host.Receive(Record(netmsg::kFireRequest, {-1, 2, 100000}));
    ASSERT_EQ(host.m_Lane.m_EnemyUnits.size(), 1u);
    EXPECT_EQ(host.m_Lane.m_EnemyUnits[0]->m_nPower, SteamVanteoScene::kMaxMessagePower);
    guest.Receive(Record(netmsg::kBulletGain, {1, -30}, kHostId));
    guest.Receive(Record(netmsg::kBulletGain, {2, 2000000000}, kHostId));
    guest.Receive(Record(netmsg::kBulletGain, {2, 2000000000}, kHostId));
    EXPECT_EQ(guest.m_pOpponent->m_nBullets[1], 0);
    EXPECT_EQ(guest.m_pOpponent->m_nBullets[2], VanteoBlockMap::kMaxBullets);
    AttackLineBlock* unit = guest.m_Lane.LaunchPlayer(30, 0);
    unit->m_Id.serial = 77;
    guest.Receive(netmsg::Build(netmsg::kLaneUnitPower, kHostId, PayloadWriter().U64(0).I32(77).I32(-3)));
    guest.Receive(netmsg::Build(netmsg::kLaneUnitPower, kHostId, PayloadWriter().U64(0).I32(77).I32(5000)));
    EXPECT_EQ(unit->m_nPower, 30);
    // Hit points from the host are bounded and end the match only once per frame.
    guest.Receive(Record(netmsg::kHpSync, {2000000000, -2000000000}, kHostId));
    EXPECT_FLOAT_EQ(guest.m_pOpponent->m_fRealHp, 1000.0f);
    EXPECT_TRUE(std::isfinite(guest.m_Player.m_fRealHp));
    for (int i = 0; i < 20; ++i)
        guest.Receive(Record(netmsg::kHpSync, {0, 0}, kHostId));
    EXPECT_EQ(guest.local.posted.size(), 1u);
    // The host takes no hit points, attacks or lane results from the guest.
    host.Receive(Record(netmsg::kHpSync, {0, 0}));
    host.Receive(Record(netmsg::kAttackCreated, {1, 0, 0, 5, 1, 10}));
    EXPECT_FLOAT_EQ(host.m_Player.m_fRealHp, 1000.0f);
    EXPECT_EQ(host.m_Lane.m_PlayerUnits.size(), 0u);
    EXPECT_TRUE(log.Contains(L"item drop refused"));
}

} // namespace

namespace {

using namespace netbattletest;

// A local message with int32 fields, as the board or lane posts it.
int Post(TestBattle& scene, int32_t id, std::initializer_list<int32_t> fields)
{
    PayloadWriter w;
    w.I32(id);
    for (int32_t f : fields)
        w.I32(f);
    const int length = static_cast<int>(w.Bytes().size());
    std::vector<uint8_t> bytes = w.Bytes();
    bytes.resize(kSceneMessageDataBytes, 0);
    return scene.Dispatch(id, bytes.data(), length);
}

TEST_F(NetBattleTest, TheBigStarAndOverflowsBecomeAttacksOfTheirRole)
{
    Play();
    struct Case {
        int32_t id;
        std::initializer_list<int32_t> fields;
        int type, count;  // of the request or announcement; type -1: none
        bool hostLaunches;
    };
    const Case cases[] = {
        {MSG_BIG_STAR, {3, 4}, 3, 100, true},
        {MSG_BULLET_OVERFLOW, {1, 35}, 1, 35, true},
        {MSG_BULLET_OVERFLOW, {3, 7}, 3, 100, false},  // the board never reports it; the host launches nothing
        {MSG_BULLET_OVERFLOW, {5, 7}, -1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        for (TestBattle* s : {&host, &guest}) {
            s->m_Lane.Reset();
            s->sent.clear();
            Post(*s, c.id, c.fields);
        }
        const auto requests = guest.Sent(netmsg::kFireRequest);
        const auto announced = host.Sent(netmsg::kAttackCreated);
        if (c.type < 0) {
            EXPECT_TRUE(requests.empty());
            EXPECT_TRUE(announced.empty());
            continue;
        }
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(static_cast<int32_t>(WordAt(requests[0].data(), 20)), c.type);
        EXPECT_EQ(static_cast<int32_t>(WordAt(requests[0].data(), 24)), c.count);
        EXPECT_TRUE(guest.m_Lane.m_PlayerUnits.empty());
        ASSERT_EQ(announced.size(), c.hostLaunches ? 1u : 0u);
        ASSERT_EQ(host.m_Lane.m_PlayerUnits.size(), c.hostLaunches ? 1u : 0u);
        if (c.hostLaunches) {
            EXPECT_EQ(host.m_Lane.m_PlayerUnits[0]->m_nPower, c.count);
            EXPECT_EQ(static_cast<int32_t>(WordAt(announced[0].data(), 32)), c.type);
        }
    }
}

TEST_F(NetBattleTest, ComboHighlightsAtMultiplesOfTenAndOfAHundred)
{
    EnterBoth();
    kv::KVWnd* large = host.m_pRoot->FindChild(L"Pic_effect_highlight_Large");
    kv::KVWnd* small = host.m_pRoot->FindChild(L"Pic_effect_highlight_small");
    ASSERT_TRUE(large && small);
    struct Case {
        int combo;
        bool large, small;
    };
    for (const Case& c : {Case{7, false, false}, Case{20, false, true}, Case{200, true, false}, Case{0, false, false}}) {
        large->SetVisible(false);
        small->SetVisible(false);
        Post(host, MSG_COMBO, {c.combo});
        EXPECT_EQ(large->IsVisible(), c.large) << c.combo;
        EXPECT_EQ(small->IsVisible(), c.small) << c.combo;
    }
}

TEST_F(NetBattleTest, EveryNameTheSceneLooksUpIsInTheShippedLayout)
{
    EnterBoth();
    for (const wchar_t* name :
         {L"Pic_battle_enemy", L"Pic_enemy_gray", L"Wnd_multi_boss", L"Pic_battle_enemy_vs", L"Wnd_PuzzleArea_enemy",
          L"Anibtn_attack_on", L"Anibtn_attack_off", L"Anibtn_bullet_1", L"Anibtn_bullet_2", L"Anibtn_bullet_3",
          L"Anibtn_rotate_L", L"Anibtn_rotate_R", L"Anibtn_menu", L"Pic_num_gaugecount_enemy", L"Wnd_PuzzleArea",
          L"Wnd_ComboArea", L"Pic_background_2", L"Pic_warning", L"Pic_message_1", L"Pic_message_2", L"Pic_message_3",
          L"Pic_effect_highlight_Large", L"Pic_effect_highlight_small", L"Label_name_enemy", L"Label_name_user",
          L"bullet_crazy_back_1", L"bullet_crazy_back_2", L"bullet_crazy_back_3", L"Pic_chattackline"})
        EXPECT_NE(host.m_pRoot->FindChild(name), nullptr) << platform::Narrow(name);
}

TEST_F(NetBattleTest, LeavingIsSafeNeverEnteredOrTwiceAndTheRestartGoesBackToTheRoom)
{
    {
        TestBattle never(false);
        never.Leave();
    }
    EnterBoth();
    // The ready-go still plays: no restart.
    EXPECT_EQ(host.Restart(0, 0), 0);
    EXPECT_EQ(host.m_nState, kGameStateStart);
    host.Leave();
    host.Leave();
    EXPECT_EQ(host.m_pBoard, nullptr);
    EXPECT_EQ(host.m_pMirrorBoard, nullptr);
    EXPECT_EQ(host.m_pRoot, nullptr);
}

} // namespace

namespace {

using namespace netbattletest;

TEST_F(NetBattleTest, LocalEventsAreForwardedAndTheHostOnlyOnesOnlyByTheHost)
{
    EnterBoth();
    // Units on both lanes for the lane events to name.
    for (TestBattle* s : {&host, &guest}) {
        AttackLineBlock* own = s->m_Lane.LaunchPlayer(40, 0);
        own->m_Id.serial = 5;
        AttackLineBlock* enemy = s->m_Lane.LaunchEnemy(30, 0, 0);
        enemy->m_Id.serial = 6;
    }
    struct Case {
        int32_t local;
        std::vector<int32_t> fields;
        int32_t sent;  // the game message, 0: none
        bool hostOnly;
    };
    const Case cases[] = {
        {MSG_BULLET_GAIN, {1, 12}, netmsg::kBulletGain, false},
        {MSG_ITEM_GET, {5}, netmsg::kItemGet, false},
        {MSG_BIG_STONE, {2, 3}, netmsg::kBigStone, false},
        {MSG_PLAY_TIME_STEP, {}, netmsg::kSpeedUp, true},
        {MSG_LANE_UNITS_MET, {0, 0, 6, 30, 0, 0, 5, 40}, netmsg::kLaneUnitsMet, true},
        {MSG_LANE_UNIT_POWER, {0, 0, 5, 25}, netmsg::kLaneUnitPower, true},
        {MSG_LANE_UNIT_HIT_MINE, {0, 0, 5, 0, 0, 99}, netmsg::kLaneUnitHitMine, true},
    };
    std::vector<std::vector<uint8_t>> met;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.local);
        for (TestBattle* s : {&host, &guest}) {
            s->sent.clear();
            PayloadWriter w;
            w.I32(c.local);
            for (int32_t f : c.fields)
                w.I32(f);
            std::vector<uint8_t> bytes = w.Bytes();
            const int length = static_cast<int>(bytes.size());
            bytes.resize(kSceneMessageDataBytes, 0);
            s->Dispatch(c.local, bytes.data(), length);
            const bool expected = s->host || !c.hostOnly;
            EXPECT_EQ(s->Sent(c.sent).size(), expected ? 1u : 0u) << (s->host ? "host" : "guest");
        }
        if (c.local == MSG_LANE_UNITS_MET)
            met = host.Sent(netmsg::kLaneUnitsMet);
    }
    // The host resolved the meeting (40 against 30 of the same kind) and sent the powers; the
    // guest's lane is as it was until the host's messages arrive.
    EXPECT_EQ(Powers(guest.m_Lane.m_PlayerUnits), (std::vector<int32_t>{40}));
    ASSERT_EQ(met.size(), 1u);
    EXPECT_EQ(static_cast<int32_t>(WordAt(met[0].data(), 4 + 20)), 5);  // the host's own unit first
    EXPECT_EQ(static_cast<int32_t>(WordAt(met[0].data(), 4 + 36)), 6);
}

} // namespace
