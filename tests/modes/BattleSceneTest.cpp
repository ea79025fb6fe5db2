// The battle headless: the firing rules, the cube reward and ranking values, the item timer, and
// the scene with a small layout and hand-made ghosts: entry from the stage's ghost, auto-attack,
// tower hits, the end of a game (lose before win in one frame, a non-looping ghost outlasted),
// the self-play recording written once, restart refused during the ready-go, the ghost
// commands, items only between distant front units, and a missing stage going back to the menu.
#include "engine/Getters.h"
#include "data/ModeConfig.h"
#include "data/Options.h"
#include "data/Records.h"
#include "board/BoardMessages.h"
#include "board/GameMessages.h"
#include "board/VanteoBlockMap.h"
#include "engine/AnimationXml.h"
#include "engine/EngineFakes.h"
#include "engine/InputKeyboard.h"
#include "engine/InputSystem.h"
#include "engine/SceneManager.h"
#include "engine/SkinTable.h"
#include "menus/PopUp.h"
#include "modes/BattleRules.h"
#include "modes/VanteoScene.h"
#include "ModeSceneFixture.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/kv/KVTestKit.h"

#include <helvane/ResourceFileManager.h>
#include <win32/Text.h>
#include <win32/Time.h>
#include <win32/VirtualKeys.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using enginetest::animxml::FileXml;
using enginetest::animxml::SceneXml;

// --- the rules ---------------------------------------------------------------------------------

TEST(BattleRulesTest, TheSmallestStackShotAndTheWholeStack)
{
    struct Case {
        int counts[3];
        int colour;
        int bullets;
    };
    const Case cases[] = {
        {{130, 250, 90}, 0, 30},   // the smallest non-zero remainder
        {{200, 100, 0}, 1, 100},   // all full hundreds: the smallest count fires a hundred
        {{0, 0, 0}, -1, 0},        // nothing
        {{45, 0, 45}, 0, 45},      // a tie goes to the lower colour
        {{300, 7, 100}, 1, 7},
        {{100, 100, 100}, 0, 100},
    };
    for (const Case& c : cases) {
        const battle::StackChoice choice = battle::ChooseSmallestStack(c.counts);
        EXPECT_EQ(choice.colour, c.colour) << c.counts[0] << " " << c.counts[1] << " " << c.counts[2];
        EXPECT_EQ(choice.bullets, c.bullets) << c.counts[0] << " " << c.counts[1] << " " << c.counts[2];
    }
    EXPECT_EQ(battle::BulletsToFire(250, true), 250);
    EXPECT_EQ(battle::BulletsToFire(250, false), 50);
    EXPECT_EQ(battle::BulletsToFire(300, false), 100);
    EXPECT_EQ(battle::BulletsToFire(0, true), 0);
}

TEST(BattleRulesTest, CubeRewardsRankingValuesAndModeKeys)
{
    RankEntry table[RankingTable::kPlaces];
    std::strcpy(table[2].name, "Someone");
    table[1].isNew = 1;
    EXPECT_EQ(battle::CubeReward(table, 3), 74);  // 54 + 100 / 5
    std::strcpy(table[2].name, kLocalPlayerName);
    EXPECT_EQ(battle::CubeReward(table, 3), 37);  // halved above the player's own older entry
    table[1].isNew = 0;
    EXPECT_EQ(battle::CubeReward(table, 3), 0);   // no new entry
    table[5].isNew = 1;
    EXPECT_EQ(battle::CubeReward(table, 12), 3);  // the sixth place
    table[5].isNew = 0;
    table[0].isNew = 1;
    EXPECT_EQ(battle::CubeReward(table, 13), 72 + 150);
    EXPECT_EQ(battle::CubeReward(nullptr, 3), 0);

    const battle::RankingValues lost = battle::RankingFor(0.0f, 95.5f);
    EXPECT_EQ(lost.score, 0);
    EXPECT_EQ(lost.time, 999905);
    const battle::RankingValues won = battle::RankingFor(512.7f, 80.9f);
    EXPECT_EQ(won.score, 512);
    EXPECT_EQ(won.time, 80);

    EXPECT_EQ(battle::ModeKey(2, "EASY"), "BATTLE.FREEPLAY.EASY");
    EXPECT_EQ(battle::ModeKey(9, "GEEK"), "BATTLE.GEEKPLAY.GEEK");
    EXPECT_EQ(battle::ModeKey(13, "X"), "BATTLE.SELFPLAY");
    EXPECT_EQ(battle::CubeBonus(4), 200);
    EXPECT_EQ(battle::CubeBonus(14), 0);
}

TEST(BattleRulesTest, TheItemTimerSpansItsRangeWithFifteenBitRandoms)
{
    EXPECT_FLOAT_EQ(battle::ItemTimer(0), 12.0f);
    EXPECT_FLOAT_EQ(battle::ItemTimer(32767), 44.767f);
    GameRandom random(99);
    for (int i = 0; i < 2000; ++i) {
        const float t = battle::ItemTimer(random.Next());
        EXPECT_GE(t, 12.0f);
        EXPECT_LE(t, 44.767f);
    }
}

TEST(BattleRulesTest, AGhostFallbackNameStaysInsideThePlayDataFolder)
{
    const std::pair<const char*, const char*> cases[] = {
        {"data/PlayData/Ghost01.gst", "Ghost01.gst"},
        {"../../etc/passwd", "passwd"},
        {"C:\\x\\evil.gst", "evil.gst"},
        {"..", "BattleGhost.gst"},
        {"", "BattleGhost.gst"},
        {"we ird*name?.gst", "weirdname.gst"},
        {".hidden", "hidden"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(battle::SafeGhostFileName(in), out) << in;
}

// --- the scene ------------------------------------------------------------------------------

std::string Child(const char* name, int x, int y, int w, int h, const char* type = "WND")
{
    return std::string("<child type=\"") + type + "\" name=\"" + name + "\"><pos x=\"" + std::to_string(x) + "\" y=\"" +
           std::to_string(y) + "\"/><rect l=\"0\" t=\"0\" r=\"" + std::to_string(w) + "\" b=\"" + std::to_string(h) +
           "\"/></child>";
}

std::string BattleLayout()
{
    std::string children = Child("Wnd_PuzzleArea", 300, 300, 360, 360) + Child("Wnd_ComboArea", 300, 300, 360, 360) +
                           Child("Pic_chattackline", 120, 40, 784, 152) + Child("Pic_warning", 0, 0, 9, 9) +
                           Child("Anibtn_menu", 10, 700, 90, 40) + Child("Anibtn_attack_on", 10, 10, 40, 40) +
                           Child("Anibtn_attack_off", 50, 600, 40, 40);
    for (int i = 1; i <= 3; ++i) {
        children += Child(("Anibtn_bullet_" + std::to_string(i)).c_str(), 800 + 50 * i, 600, 40, 40);
        children += Child(("Pic_message_" + std::to_string(i)).c_str(), 700, 300, 40, 40);
    }
    return "<kevrin version=\"2\"><base type=\"PANEL\" name=\"Wnd_battle\"><pos x=\"0\" y=\"0\"/>"
           "<rect l=\"0\" t=\"0\" r=\"1024\" b=\"768\"/>" + children + "</base></kevrin>";
}

// Stages of modes 0..3 and 13: mode 1 a looping ghost with 800 hit points that gives the
// player 600; mode 2 a ghost that ends after 30 s; mode 3 a ghost file that is missing.
std::string Config()
{
    std::string stages;
    const char* files[14] = {"data/PlayData/Loop.gst", "data/PlayData/Loop.gst", "data/PlayData/Short.gst",
                             "data/PlayData/Gone.gst"};
    for (int mode = 0; mode < 14; ++mode) {
        const char* file = mode == 13 ? "data/PlayData/BattleYour.gst" : files[mode] ? files[mode] : "data/PlayData/Loop.gst";
        stages += "<Stage name=\"S" + std::to_string(mode) + "\" file=\"" + file + "\"" + (mode == 1 ? " SpeedUp=\"TRUE\"" : "") + "/>";
    }
    return "<VanteoConfig><RandomSeed Seed=\"7\"/><StageList>" + stages + "</StageList></VanteoConfig>";
}

class BattleSceneTest : public modetest::ModeSceneTest<VanteoScene> {
protected:
    void SetUp() override
    {
        AddLayout("layout/Battle.xml", BattleLayout());
        data.Write("anim/readygo.xml", FileXml(SceneXml("readygo", {{0}, {500}})));  // 0.5 s
        WriteSkin("LayoutBattleCom=\"Battle.xml\" Effect_ReadyGo=\"readygo.xml\"");
        data.Write("PlayData/QuiblyConfig_Battle.xml", Config());
        data.Write("PlayData/Loop.gst", "<Replay HP=\"800\" UserHP=\"600\"><Rep T=\"5.0\" B0=\"10\"/><Rep T=\"20.0\" A0=\"10\"/></Replay>");
        data.Write("PlayData/Short.gst", "<Replay loop=\"FALSE\"><Rep T=\"10.0\" B0=\"10\"/><Rep T=\"30.0\" A0=\"10\"/></Replay>");
        data.Write("PlayData/BattleYour_Init.gst", "<Replay loop=\"TRUE\"><Rep T=\"50.0\" A1=\"5\"/></Replay>");
        LoadPlayRecord();
        ResetThisGame();
        ClearRanking();
        GameConfig = GameConfigRecord{};
        std::strcpy(GameConfig.playerName, "Tester");
        scene = new VanteoScene();
        StartManager({scene});
        // The queue is left alone: the tests send the messages they mean.
        dispatchEachFrame = false;
    }

    void Enter(int mode) { manager->SetFirstScene(kBattleSceneName, mode, 0); }

    // Past the ready-go into play.
    void Play()
    {
        for (int frame = 0; frame < 100 && scene->m_nState == kGameStateStart; ++frame)
            Run(1, 0.02f);
        ASSERT_EQ(scene->m_nState, kGameStatePlaying);
    }
};

TEST_F(BattleSceneTest, EnteringPlaysTheStagesGhostWithAutoAttackOn)
{
    Enter(1);
    ASSERT_NE(scene->m_pBoard, nullptr);
    EXPECT_EQ(scene->m_pBoard->pointsCap, 999);
    EXPECT_EQ(scene->m_nState, kGameStateStart);
    EXPECT_TRUE(scene->m_Ghost.m_bLoop);
    EXPECT_FLOAT_EQ(scene->m_Ghost.m_fRealHp, 800.0f);
    EXPECT_FLOAT_EQ(scene->m_Player.m_fRealHp, 600.0f);  // the ghost's UserHP
    EXPECT_EQ(g_bAutoAttack, 1);
    EXPECT_FALSE(scene->m_pLayout->FindChild(L"Anibtn_bullet_1")->IsEnabled());
    EXPECT_FALSE(scene->m_pLayout->FindChild(L"Anibtn_attack_off")->IsVisible());
    EXPECT_EQ(scene->ModeKey(), "BATTLE.FREEPLAY.S1");

    // Restart is refused while the ready-go plays.
    Run(5, 0.02f);
    EXPECT_EQ(scene->Restart(0, 0), 0);
    Play();

    // Auto-attack fires a stack at the start of the next playing frame.
    scene->m_pBoard->bullets[1] = 40;
    scene->m_pBoard->bulletTotals[1] = 40;
    Run(1, 0.02f);
    ASSERT_EQ(scene->m_Lane.m_PlayerUnits.size(), 1u);
    EXPECT_EQ(scene->m_Lane.m_PlayerUnits[0]->m_nPower, 40);
    EXPECT_EQ(scene->m_Lane.m_PlayerUnits[0]->m_nKind, 1);
    EXPECT_EQ(scene->m_pBoard->bullets[1], 0);
    EXPECT_EQ(GetThisGameCounter("Attacking_G"), 40);

    // With it off, the keys fire by hand: '1' the whole stack, Space the smallest remainder.
    scene->SetAutoAttack(0);
    EXPECT_TRUE(scene->m_pLayout->FindChild(L"Anibtn_bullet_1")->IsEnabled());
    int stacks[3] = {130, 250, 90};
    std::copy(stacks, stacks + 3, scene->m_pBoard->bullets);
    input.keys.insert(VK_SPACE);
    Run(1, 0.02f);
    input.keys.clear();
    Run(1, 0.02f);
    EXPECT_EQ(scene->m_pBoard->bullets[0], 100);
    input.keys.insert('9');
    Run(1, 0.02f);
    input.keys.clear();
    EXPECT_EQ(scene->m_pBoard->bullets[1], 0);
    EXPECT_EQ(scene->m_Lane.m_PlayerUnits.size(), 3u);
}

// A tower hit cut short before its power word is refused: the bytes behind it in the message
// record are never read as the power.
TEST_F(BattleSceneTest, ATowerHitWithoutItsPowerIsRefused)
{
    Enter(1);
    Play();
    const float before = scene->m_Ghost.m_fRealHp;
    std::vector<uint8_t> bytes(kSceneMessageDataBytes, 0x01);
    PayloadWriter head;
    head.I32(MSG_ENEMY_TOWER_HIT).U64(0).I32(1);
    std::copy(head.Bytes().begin(), head.Bytes().end(), bytes.begin());
    scene->Dispatch(MSG_ENEMY_TOWER_HIT, bytes.data(), static_cast<int>(head.Bytes().size()));
    EXPECT_FLOAT_EQ(scene->m_Ghost.m_fRealHp, before);
}

TEST_F(BattleSceneTest, TowerHitsCostHitPointsByTheSpeedLevelAndWarnAtOneHundred)
{
    Enter(1);
    Play();
    scene->m_Lane.m_nSpeedLevel = 2;  // factor 1.4
    Send(MSG_PLAYER_TOWER_HIT, {0, 100});
    EXPECT_FLOAT_EQ(scene->m_Player.m_fRealHp, 460.0f);
    EXPECT_FALSE(scene->m_pLayout->FindChild(L"Pic_warning")->IsVisible());
    Send(MSG_PLAYER_TOWER_HIT, {0, 260});
    EXPECT_FLOAT_EQ(scene->m_Player.m_fRealHp, 96.0f);
    EXPECT_TRUE(scene->m_pLayout->FindChild(L"Pic_warning")->IsVisible());
    Send(MSG_ENEMY_TOWER_HIT, {0, 0, 1, 50});
    EXPECT_FLOAT_EQ(scene->m_Ghost.m_fRealHp, 730.0f);

    // The ghost's commands: hit points, three mines, the player's stacks emptied.
    Send(MSG_GHOST_COMMAND, {0, 20});
    EXPECT_FLOAT_EQ(scene->m_Ghost.m_fRealHp, 750.0f);
    Send(MSG_GHOST_COMMAND, {1, 0});
    EXPECT_EQ(scene->m_Lane.m_Mines.size(), 3u);
    scene->m_pBoard->bullets[2] = 77;
    scene->m_pBoard->bulletTotals[2] = 300;
    Send(MSG_GHOST_COMMAND, {3, 0});
    EXPECT_EQ(scene->m_pBoard->bullets[2], 0);
    EXPECT_EQ(scene->m_pBoard->bulletTotals[2], 223);
    Send(MSG_GHOST_COMMAND, {9, 0});  // unknown: nothing

    // The speed-up step raises the lane's level on a speed-up stage, at most to 5.
    for (int i = 0; i < 5; ++i)
        Send(MSG_PLAY_TIME_STEP, {});
    EXPECT_EQ(scene->m_Lane.m_nSpeedLevel, 5);
}

TEST_F(BattleSceneTest, BothGaugesEmptyInOneFrameLoseAndTheLossRanksByItsLength)
{
    Enter(1);
    Play();
    Run(50, 0.1f);
    scene->m_pBoard->playTime = 95.5f;
    scene->m_Player.m_fShownHp = 0.0f;
    scene->m_Ghost.m_fShownHp = 0.0f;
    scene->CheckDefeat();
    EXPECT_EQ(scene->m_Ghost.m_bStop, 1);
    const int cubes = GameConfig.cubes;
    manager->DispatchMessages();
    EXPECT_EQ(scene->m_nState, kGameStateFinished);
    EXPECT_EQ(scene->m_bWon, 0);  // the loss came first; the win was ignored
    EXPECT_EQ(scene->m_pBoard->frozen, 1);
    EXPECT_EQ(GameConfig.cubes, cubes + 1);
    RankEntry* table = FindRankingTable(RANK_BATTLE, "1");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table[0].score, 0);
    EXPECT_EQ(table[0].time, 999905);
    EXPECT_TRUE(std::filesystem::exists("data/PlayData/QuiblyRanking.xml"));
}

TEST_F(BattleSceneTest, ANonLoopingGhostTakesNoDamageAndIsBeatenWhenItsReplayEnds)
{
    Enter(2);
    EXPECT_FALSE(scene->m_Ghost.m_bLoop);
    Play();
    Run(50, 0.1f);  // 5 s of play
    EXPECT_EQ(scene->m_TimeDisplay.m_nSecond, 25);  // counts down from the last record at 30 s
    const float hp = scene->m_Ghost.m_fRealHp;
    Send(MSG_ENEMY_TOWER_HIT, {0, 0, 0, 300});
    EXPECT_FLOAT_EQ(scene->m_Ghost.m_fRealHp, hp);
    for (int i = 0; i < 300 && scene->m_nState != kGameStateFinished; ++i) {
        Run(1, 0.1f);
        manager->DispatchMessages();
    }
    EXPECT_EQ(scene->m_nState, kGameStateFinished);
    EXPECT_EQ(scene->m_bWon, 1);
    RankEntry* table = FindRankingTable(RANK_BATTLE, "2");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table[0].score, 1000);
    // First place, mode 2, above the empty places that a new table fills with the local player.
    EXPECT_EQ(GameConfig.cubes, (72 + 50 / 5) / 2);
    EXPECT_FALSE(std::filesystem::exists("data/PlayData/BattleYour.gst"));  // only self-play records
    scene->Render();
    EXPECT_FALSE(std::filesystem::exists("data/PlayData/BattleYour.gst"));
}

TEST_F(BattleSceneTest, WinningSelfPlayWritesTheGhostOnceAndResetRestoresIt)
{
    Enter(13);  // no own ghost yet: the initial one is copied there
    EXPECT_TRUE(std::filesystem::exists("data/PlayData/BattleYour.gst"));
    Play();
    scene->m_pBoard->bullets[0] = 30;
    scene->m_pBoard->bulletTotals[0] = 30;
    Run(1, 0.1f);  // auto-attack records the shot
    Send(MSG_GAME_WIN, {});
    EXPECT_EQ(GameConfig.selfWinBattle, 1);
    scene->Render();
    const std::string saved = testsupport::ReadFile("data/PlayData/BattleYour.gst");
    EXPECT_NE(saved.find("A0=\"30\""), std::string::npos) << saved;
    std::filesystem::remove("data/PlayData/BattleYour.gst");
    scene->Render();
    EXPECT_FALSE(std::filesystem::exists("data/PlayData/BattleYour.gst"));  // once a game

    Send(MSG_RESULT_RESET_SELF, {});
    Send(MSG_POPUP_YES, {1});
    EXPECT_NE(testsupport::ReadFile("data/PlayData/BattleYour.gst").find("A1=\"5\""), std::string::npos);
    EXPECT_EQ(GameConfig.selfWinBattle, 0);
    EXPECT_EQ(GameConfig.selfWinStackBattle, 1);

    // Retry from the result: a fresh game against the reloaded ghost.
    Send(MSG_RESULT_RETRY, {});
    EXPECT_EQ(scene->m_nState, kGameStateStart);
    EXPECT_EQ(scene->m_bWon, 0);
    EXPECT_FLOAT_EQ(scene->m_fItemTimer, VanteoScene::kRestartItemTimer);
}

TEST_F(BattleSceneTest, ItemsDropOnlyBetweenDistantFrontsAndGoToTheUnitThatReachesThem)
{
    Enter(1);
    Play();
    AttackLine& lane = scene->m_Lane;
    AttackLineBlock* enemy = lane.LaunchEnemy(50, 0, 0);
    AttackLineBlock* player = lane.LaunchPlayer(50, 1);
    enemy->m_fPosition = 300.0f;
    player->m_fPosition = 300.0f;  // 184 apart
    scene->m_fItemTimer = 0.5f;
    scene->UpdateItems(1.0f);
    EXPECT_FLOAT_EQ(scene->m_fItemTimer, 0.5f);
    enemy->m_fPosition = 100.0f;  // 384 apart: the timer runs and an item drops
    scene->UpdateItems(1.0f);
    EXPECT_GE(scene->m_fItemTimer, 12.0f);
    EXPECT_LE(scene->m_fItemTimer, 44.767f);
    // The hit points are 800 to 600: the item lies nearer to the player's front unit.
    const float x = lane.m_fItemX;
    EXPECT_GT(x, 120.0f + 100.0f + 384.0f * 0.5f);
    EXPECT_LT(x, 904.0f - 300.0f);

    // A landed power item goes to the player's unit once it passes it.
    lane.m_bItemLanded = 1;
    lane.m_nItemKind = 2;
    lane.m_nItemAdd = 0;
    lane.m_nItemFactor = 2;
    scene->UpdateItems(0.0f);
    EXPECT_EQ(player->m_nPower, 50);
    player->m_fPosition = 904.0f - x + 1.0f;
    scene->UpdateItems(0.0f);
    EXPECT_EQ(player->m_nPower, 100);
    EXPECT_EQ(lane.m_bItemLanded, 0);
}

TEST_F(BattleSceneTest, AModeWithoutAStageGoesBackToTheMenuWithALogLine)
{
    data.Write("PlayData/QuiblyConfig_Battle.xml", "<VanteoConfig><StageList><Stage name=\"ONLY\"/></StageList></VanteoConfig>");
    testsupport::LogCapture logged;
    Enter(4);
    EXPECT_EQ(scene->m_pBoard, nullptr);
    EXPECT_TRUE(logged.Contains(L"mode 4"));
    manager->DispatchMessages();
    EXPECT_EQ(log.Count("VanteoMainMenuScene Enter 1 0"), 1u);
}

TEST_F(BattleSceneTest, AMissingGhostIsReplacedByTheInitialOne)
{
    testsupport::LogCapture logged;
    Enter(3);
    EXPECT_TRUE(logged.Contains(L"Gone.gst"));
    EXPECT_TRUE(std::filesystem::exists("data/PlayData/Gone.gst"));
    EXPECT_TRUE(scene->m_Ghost.m_bLoop);
    EXPECT_FLOAT_EQ(scene->m_Ghost.m_fLength, 50.0f);
}

// The fallback copy never lands on a file another part of the game owns, nor on a ghost that is
// there but cannot be read: the shipped ghost is played without a copy.
TEST_F(BattleSceneTest, TheGhostFallbackWritesOnlyOverAMissingOrDamagedGhost)
{
    struct Case {
        const char* stageFile;
        const char* existing;  // the file's bytes before the battle, null when missing
        bool unreadable;
        bool copied;
    };
    const Case cases[] = {
        {"data/PlayData/PushYour.puz", "PUSH RECORDING", false, false},
        {"data/PlayData/QuiblyConfig_Push.xml", "<VanteoConfig/>", false, false},
        {"data/PlayData/Locked.gst", "<Replay><Rep T=\"7.0\" B0=\"1\"/></Replay>", true, false},
        {"data/PlayData/Damaged.gst", "<Replay", false, true},
        {"data/PlayData/Gone.gst", nullptr, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stageFile);
        const std::string name = std::filesystem::path(c.stageFile).filename().string();
        const std::string path = "data/PlayData/" + name;
        std::filesystem::remove(path);
        if (c.existing)
            data.Write("PlayData/" + name, c.existing);
        data.Write("PlayData/QuiblyConfig_Battle.xml",
                   "<VanteoConfig><StageList><Stage name=\"S1\" file=\"" +
                       std::string(c.stageFile) + "\"/></StageList></VanteoConfig>");
        if (c.unreadable)
            ::setenv("QUIBLY_FAULT_UNREADABLE", name.c_str(), 1);
        testsupport::LogCapture logged;
        if (&c != cases)
            scene->Leave();  // as when the player goes back to the menu and starts again
        Enter(0);
        ::unsetenv("QUIBLY_FAULT_UNREADABLE");
        EXPECT_TRUE(logged.Contains(platform::Widen(name)));
        EXPECT_TRUE(scene->m_Ghost.m_bLoop);
        EXPECT_FLOAT_EQ(scene->m_Ghost.m_fLength, 50.0f);  // the shipped ghost plays
        const std::string after = testsupport::ReadFile(path);
        if (c.copied) {
            EXPECT_NE(after.find("T=\"50.0"), std::string::npos) << after;
        } else {
            EXPECT_EQ(after, c.existing);
        }
    }
}

} // namespace
