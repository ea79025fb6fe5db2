// The base game scene: every message's play statistics, the achievement thresholds, the length
// check in front of every handler, the scene change with an unterminated name, the pause and
// exit answers, and the record file written by Leave.
#include "data/Records.h"
#include "board/BoardEventRecorder.h"
#include "modes/VanteoBaseScene.h"
#include "engine/EngineFakes.h"
#include "engine/SceneManager.h"
#include "net/Achievements.h"
#include "net/NetGlobals.h"
#include "support/GameSeamFakes.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <helvane/DXUtil.h>
#include <win32/Time.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// A mode that counts the base's calls into it.
class TestModeScene : public VanteoBaseScene {
public:
    TestModeScene() { SetName("TestModeScene"); }
    void ShowUI() override { ++shown; }
    int GoToMenu() override
    {
        ++menus;
        return 1;
    }
    int shown = 0;
    int menus = 0;
};

class FakeAchievements : public Achievements {
public:
    void Unlock(AchievementRecord* record) override { unlocked.push_back(record->apiName); }
    std::vector<std::string> unlocked;
};

class FakeRecorder : public IBoardEventRecorder {
public:
    void AppendRecordEvent(float, const uint8_t* data, int32_t size) override
    {
        events.emplace_back(data, data + size);
    }
    bool FinishRecording(const char*) override
    {
        ++finished;
        return false;
    }
    std::vector<std::vector<uint8_t>> events;
    int finished = 0;
};

// The message data as the queue hands it over: the id word, then the payload.
std::vector<uint8_t> Message(int32_t id, const PayloadWriter& payload)
{
    PayloadWriter whole;
    whole.I32(id);
    std::vector<uint8_t> bytes = whole.Bytes();
    bytes.insert(bytes.end(), payload.Bytes().begin(), payload.Bytes().end());
    return bytes;
}

PayloadWriter Words(std::initializer_list<int32_t> words)
{
    PayloadWriter writer;
    for (int32_t w : words)
        writer.I32(w);
    return writer;
}

class BaseSceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadPlayRecord();
        ResetThisGame();
        scene.Enter(0, 0);
        SetBoardEventRecorder(&recorder);
        g_pAchievements = &achievements;
    }
    void TearDown() override
    {
        g_pAchievements = nullptr;
        SetBoardEventRecorder(nullptr);
    }

    int Send(int32_t id, const PayloadWriter& payload = PayloadWriter())
    {
        std::vector<uint8_t> bytes = Message(id, payload);
        // The queue's record is always 1024 bytes; the length says how many were filled.
        bytes.resize(kSceneMessageDataBytes, 0);
        return scene.Dispatch(id, bytes.data(), static_cast<int>(Message(id, payload).size()));
    }

    std::map<std::string, int> Snapshot(int (*get)(const char*))
    {
        std::map<std::string, int> values;
        for (const char* counter : kRecordCounters)
            values[counter] = get(counter);
        return values;
    }

    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
    TestModeScene scene;
    FakeRecorder recorder;
    FakeAchievements achievements;
};

struct CounterCase {
    const char* what;
    int32_t id;
    std::vector<int32_t> payload;
    std::map<std::string, int> overall;   // lifetime counter deltas
    std::map<std::string, int> thisGame;  // current-game counter deltas
};

class BaseSceneCounterTest : public BaseSceneTest, public ::testing::WithParamInterface<CounterCase> {};

TEST_P(BaseSceneCounterTest, ChangesExactlyTheCountersOfItsMessage)
{
    const CounterCase& c = GetParam();
    auto overallBefore = Snapshot(GetPlayerCounter);
    auto gameBefore = Snapshot(GetThisGameCounter);
    PayloadWriter payload;
    for (int32_t w : c.payload)
        payload.I32(w);
    EXPECT_EQ(Send(c.id, payload), 1);
    for (const char* counter : kRecordCounters) {
        auto expectedOverall = c.overall.count(counter) ? c.overall.at(counter) : 0;
        auto expectedGame = c.thisGame.count(counter) ? c.thisGame.at(counter) : 0;
        EXPECT_EQ(GetPlayerCounter(counter) - overallBefore[counter], expectedOverall) << c.what << " " << counter;
        EXPECT_EQ(GetThisGameCounter(counter) - gameBefore[counter], expectedGame) << c.what << " " << counter;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Messages, BaseSceneCounterTest,
    ::testing::Values(
        CounterCase{"big stone", MSG_BIG_STONE, {}, {{"BigStone", 1}, {"BlockClick", 1}}, {{"BigStone", 1}, {"BlockClick", 1}}},
        CounterCase{"big star", MSG_BIG_STAR, {2, 3}, {{"BigStar", 1}, {"BlockClick", 1}}, {{"BigStar", 1}, {"BlockClick", 1}}},
        CounterCase{"green group of 12", MSG_GROUP_CLEARED, {1, 1, 120, 12, 0, 0, 0, 0},
                    {{"BlockClick", 1}, {"BlockClearG", 12}, {"BlockClear", 12}},
                    {{"BlockClick", 1}, {"BlockClearG", 12}, {"BlockClear", 12}}},
        CounterCase{"group with flag 0 only clicks", MSG_GROUP_CLEARED, {0, 2, 50, 8, 0, 0, 0, 0},
                    {{"BlockClick", 1}}, {{"BlockClick", 1}}},
        CounterCase{"group of an unknown colour only clicks", MSG_GROUP_CLEARED, {1, 7, 50, 8, 0, 0, 0, 0},
                    {{"BlockClick", 1}}, {{"BlockClick", 1}}},
        CounterCase{"attacked by a star", MSG_ENEMY_ATTACK, {1, 3, 40}, {}, {{"Attacked_BigStar", 40}}},
        CounterCase{"attacked by a mine", MSG_ENEMY_ATTACK, {1, 4, 25}, {}, {{"Attacked_BigStone", 25}}},
        CounterCase{"attacked by an unknown kind", MSG_ENEMY_ATTACK, {1, 9, 25}, {}, {}},
        CounterCase{"blue overflow", MSG_BULLET_OVERFLOW, {2, 33}, {}, {{"Attacking_B", 33}}},
        CounterCase{"overflow of an unknown colour", MSG_BULLET_OVERFLOW, {-1, 33}, {}, {}},
        CounterCase{"loose block click", MSG_BLOCK_CLICKED, {1, 1, 2, 1, 0, 0, 0}, {{"BlockClick", 1}}, {{"BlockClick", 1}}},
        CounterCase{"stone click", MSG_BLOCK_CLICKED, {1, 1, 5, 1, 0, 0, 0}, {}, {}},
        CounterCase{"empty cell click", MSG_BLOCK_CLICKED, {1, 1, 2, 0, 0, 0, 0}, {}, {}},
        CounterCase{"right turn", MSG_ROTATE, {1}, {{"RotationR", 1}, {"Rotation", 1}}, {{"RotationR", 1}, {"Rotation", 1}}},
        CounterCase{"left turn", MSG_ROTATE, {-1}, {{"RotationL", 1}, {"Rotation", 1}}, {{"RotationL", 1}, {"Rotation", 1}}},
        CounterCase{"turn of direction 0", MSG_ROTATE, {0}, {{"Rotation", 1}}, {{"Rotation", 1}}},
        CounterCase{"magic turn", MSG_MAGIC_TURN, {2}, {{"MagicTurn", 1}}, {{"MagicTurn", 1}}},
        CounterCase{"chain", MSG_CHAIN, {}, {{"Chain", 1}}, {{"Chain", 1}}},
        CounterCase{"double chance", MSG_DOUBLE_CHANCE, {}, {{"Double", 1}}, {{"Double", 1}}},
        CounterCase{"item", MSG_ITEM_GET, {3}, {{"ItemGet", 1}}, {{"ItemGet", 1}}},
        CounterCase{"combo sets the best", MSG_COMBO, {6}, {{"MaxCombo", 6}}, {{"MaxCombo", 6}}},
        CounterCase{"bullet gain has no counter", MSG_BULLET_GAIN, {0, 12}, {}, {}},
        CounterCase{"combo break has no counter", MSG_COMBO_BREAK, {0}, {}, {}}));

TEST_F(BaseSceneTest, MaxComboKeepsTheLargerValueOverallAndForTheGameSeparately)
{
    SetRecordCounter("MaxCombo", 8);
    Send(MSG_COMBO, Words({5}));
    EXPECT_EQ(GetPlayerCounter("MaxCombo"), 8);
    EXPECT_EQ(GetThisGameCounter("MaxCombo"), 5);
    Send(MSG_COMBO, Words({3}));
    EXPECT_EQ(GetThisGameCounter("MaxCombo"), 5);
    Send(MSG_COMBO, Words({11}));
    EXPECT_EQ(GetPlayerCounter("MaxCombo"), 11);
    EXPECT_EQ(GetThisGameCounter("MaxCombo"), 11);
}

// A record holding the largest int (or more) must not overflow on the next count.
TEST_F(BaseSceneTest, CountersFromThePlayDataSaturate)
{
    SetRecordCounter("Chain", 2147483647);
    PlayRecord.player->SetAttribute("Double", "99999999999");
    SetThisGameCounter("Chain", 2147483647);
    Send(MSG_CHAIN);
    Send(MSG_DOUBLE_CHANCE);
    EXPECT_EQ(GetPlayerCounter("Chain"), 2147483647);
    EXPECT_EQ(GetThisGameCounter("Chain"), 2147483647);
    EXPECT_EQ(GetPlayerCounter("Double"), 2147483647);
}

TEST_F(BaseSceneTest, AchievementsUnlockAtTheirThresholds)
{
    struct Case {
        int32_t id;
        int32_t value;
        std::vector<std::string> unlocked;
    };
    const Case cases[] = {
        {MSG_COMBO, 9, {}},
        {MSG_COMBO, 10, {"ACH_STAGEC_FIRST_COMBO_10"}},
        {MSG_COMBO, 25, {"ACH_STAGEC_FIRST_COMBO_10", "ACH_STAGEC_FIRST_COMBO_20"}},
        {MSG_MAGIC_TURN, 1, {"ACH_STAGEC_FIRSTMAGICTURN"}},
        {MSG_MAGIC_TURN, 3, {"ACH_STAGEC_FIRSTMAGICTURN"}},
        {MSG_MAGIC_TURN, 4, {"ACH_STAGEC_FIRSTMAGICTURN_STAR"}},
        {MSG_MAGIC_TURN, 5, {"ACH_STAGEC_FIRSTMAGICTURN_STONE"}},
        {MSG_MAGIC_TURN, 0, {}},
        {MSG_MAGIC_TURN, 6, {}},
    };
    for (const Case& c : cases) {
        achievements.unlocked.clear();
        Send(c.id, Words({c.value}));
        EXPECT_EQ(achievements.unlocked, c.unlocked) << c.id << " " << c.value;
    }
    // Without an achievements object the same messages still count.
    g_pAchievements = nullptr;
    Send(MSG_COMBO, Words({30}));
    EXPECT_EQ(GetThisGameCounter("MaxCombo"), 30);
}

TEST_F(BaseSceneTest, AMessageShorterThanItsFieldsIsRefusedBeforeAnythingReadsIt)
{
    testsupport::LogCapture log;
    struct Case {
        int32_t id;
        const char* counter;
    };
    const Case cases[] = {{MSG_GROUP_CLEARED, "BlockClick"}, {MSG_BIG_STAR, "BigStar"},
                          {MSG_BLOCK_CLICKED, "BlockClick"}, {MSG_ROTATE, "Rotation"},
                          {MSG_COMBO, "MaxCombo"},           {MSG_ITEM_GET, "ItemGet"}};
    for (const Case& c : cases) {
        int before = GetPlayerCounter(c.counter);
        // One byte short of what the id needs; the record behind it is full of non-zero bytes.
        std::vector<uint8_t> bytes(kSceneMessageDataBytes, 0x01);
        PayloadWriter id;
        id.I32(c.id);
        std::copy(id.Bytes().begin(), id.Bytes().end(), bytes.begin());
        EXPECT_EQ(scene.Dispatch(c.id, bytes.data(), MinimumMessageLength(c.id) - 1), 1) << c.id;
        EXPECT_EQ(GetPlayerCounter(c.counter), before) << c.id;
    }
    EXPECT_TRUE(log.Contains(L"refused"));
    // A popup answer without its param neither quits nor resumes.
    scene.m_nState = kGameStatePaused;
    EXPECT_EQ(scene.Dispatch(MSG_POPUP_NO, Message(MSG_POPUP_NO, {}).data(), 4), 1);
    EXPECT_EQ(scene.m_nState, kGameStatePaused);
}

TEST_F(BaseSceneTest, PauseAndQuestionAnswersMoveTheState)
{
    scene.m_nState = kGameStatePaused;
    EXPECT_EQ(Send(MSG_POPUP_YES, Words({3})), 0);  // another question's yes: the game goes on
    EXPECT_EQ(scene.m_nState, kGameStatePaused);
    Send(MSG_POPUP_NO, Words({2}));
    EXPECT_EQ(scene.m_nState, kGameStatePaused);
    Send(MSG_POPUP_NO, Words({0}));
    EXPECT_EQ(scene.m_nState, kGameStatePlaying);
    EXPECT_EQ(scene.shown, 1);

    scene.m_nState = kGameStatePaused;
    Send(MSG_PAUSE_RESUME);
    EXPECT_EQ(scene.m_nState, kGameStatePlaying);
    EXPECT_EQ(scene.shown, 2);

    Send(MSG_PAUSE_QUIT);
    Send(MSG_GO_TO_MENU);
    EXPECT_EQ(scene.menus, 2);

    scene.MsgProc(kMsgFinishGame, 0, 0);
    EXPECT_EQ(scene.m_nState, kGameStateFinished);
}

TEST_F(BaseSceneTest, RestartAndGameEndsCloseTheRecordingAndRestartStartsAFreshGame)
{
    Send(MSG_CHAIN);
    EXPECT_EQ(GetThisGameCounter("Chain"), 1);
    Send(MSG_PAUSE_RETRY);
    EXPECT_EQ(GetThisGameCounter("Chain"), 0);
    EXPECT_EQ(GetPlayerCounter("Chain"), 1);
    EXPECT_EQ(recorder.finished, 1);
    Send(MSG_RESTART, Words({0, 0}));
    Send(MSG_GAME_WIN);
    Send(MSG_GAME_LOSE);
    EXPECT_EQ(recorder.finished, 4);
}

TEST_F(BaseSceneTest, WithoutRecordingOrBoardNoEventReachesTheRecorder)
{
    scene.m_bRecord = 1;  // no board yet: nothing to time the events by
    Send(MSG_ROTATE, Words({1}));
    Send(MSG_BIG_STONE);
    scene.m_bRecord = 0;
    Send(MSG_GROUP_CLEARED, Words({1, 0, 10, 4, 0, 0, 0, 0}));
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(BaseSceneTest, LeaveWithoutBoardSavesTheRecordWithoutChangingPlayTime)
{
    SetRecordCounter("PlayTime", 42);
    Send(MSG_DOUBLE_CHANCE);
    scene.Leave();
    std::string saved = m_dir.Read(kRecordFile);
    EXPECT_NE(saved.find("PlayTime=\"42\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("Double=\"1\""), std::string::npos) << saved;
    EXPECT_EQ(GetThisGameCounter("Double"), 0);  // a fresh current game
    EXPECT_EQ(recorder.finished, 0);             // recording was off
}

TEST_F(BaseSceneTest, UnknownAndDefaultIdsAreAcceptedAndIgnored)
{
    auto before = Snapshot(GetPlayerCounter);
    for (int32_t id : {MSG_PLAY_TIME_STEP, MSG_GHOST_TEXT, MSG_LANE_CLASH, MSG_PUSH_BLOCK_DROP, MSG_GHOST_COMMAND})
        EXPECT_EQ(Send(id), 1) << id;
    EXPECT_EQ(Snapshot(GetPlayerCounter), before);
}

// The scene change through the real scene manager: the name field is read up to its 64 bytes
// even when it is not terminated, and the two values follow it.
class BaseSceneChangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::UseManualClock(true);
        manager = std::make_unique<CSceneManager>();
        DXUtil_Timer(TIMER_GETELAPSEDTIME);
    }
    void TearDown() override
    {
        manager->Shutdown();
        manager.reset();
        platform::UseManualClock(false);
    }
    void PostChange(const std::string& field, int a, int b)
    {
        struct {
            ChangeScenePacket packet;
        } message;
        message.packet.length = 4 + 64 + 8;
        message.packet.id = MSG_CHANGE_SCENE;
        std::memcpy(message.packet.sceneName, field.data(), std::min<size_t>(64, field.size()));
        message.packet.a = a;
        message.packet.b = b;
        manager->PostMessage(&message.packet);
    }
    void Step()
    {
        platform::AdvanceManualClock(16000000);
        manager->Update();
    }

    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
    enginetest::EventLog log;
    enginetest::FakeInputPlatform input;
    enginetest::RecordingRenderBackend renderer;
    std::unique_ptr<CSceneManager> manager;
};

TEST_F(BaseSceneChangeTest, TheSceneNameIsEndedAtItsFieldBeforeUse)
{
    LoadPlayRecord();
    auto* mode = new TestModeScene();
    manager->RegisterScene(mode);
    const std::string longName(64, 'M');
    manager->RegisterScene(new enginetest::RecordingScene(longName.c_str(), log));
    manager->RegisterScene(new enginetest::RecordingScene("Target", log));
    manager->SetFirstScene("TestModeScene", 0, 0);

    PostChange(longName, 7, 9);  // all 64 bytes used: no terminator inside the field
    Step();
    EXPECT_EQ(log.Count(longName + " Enter 7 9"), 1u);

    manager->SetFirstScene("TestModeScene", 0, 0);
    PostChange(std::string("Target\0garbage", 14), -1, 0);
    Step();
    EXPECT_EQ(log.Count("Target Enter -1 0"), 1u);
}

} // namespace
