// What both online match scenes share: the end of a match (once, with its cubes, records and
// sounds), the host's way back to the lobby, the disconnection notice, the board layout sent to
// the other machine and the other machine's layout and turns on the mirror board.
#include "OnlineFixture.h"

#include "data/Options.h"
#include "board/VanteoBlockMap.h"
#include "engine/SceneMessage.h"
#include "net/LeaderBoard.h"
#include "net/NetGameMessages.h"
#include "online/VanteoNetBaseScene.h"
#include "support/GameSeamFakes.h"
#include "support/kv/KVTestKit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A match scene whose role and outgoing game messages the test holds.
class ProbeScene : public VanteoNetBaseScene {
public:
    using VanteoNetBaseScene::CreateMirrorBoard;
    using VanteoNetBaseScene::FinishMatch;
    bool Hosting() const override { return host; }
    bool SendGameMessage(int32_t id, const PayloadWriter& fields) override
    {
        sent.push_back(netmsg::Build(id, 0x0110000100000007ull, fields));
        return true;
    }
    bool host = false;
    std::vector<std::vector<uint8_t>> sent;
};

class NetMatchBaseTest : public onlinetest::OnlineTest {
protected:
    void SetUp() override
    {
        onlinetest::OnlineTest::SetUp();
        scene.SetLocalSinks(&messages, &sounds);
        scene.Enter(0, 0);
        GameConfig = GameConfigRecord{};
        g_nSessionRecord = kNoMultiRecord;
        g_nMultiRecord = kNoMultiRecord;
    }
    void TearDown() override
    {
        scene.Leave();
        onlinetest::OnlineTest::TearDown();
    }
    // A record as the scene queue hands it: from the id word on, in a 1024-byte buffer.
    int Deliver(const std::vector<uint8_t>& record)
    {
        std::vector<uint8_t> bytes(kSceneMessageDataBytes, 0);
        std::memcpy(bytes.data(), record.data() + 4, record.size() - 4);
        int32_t id = 0;
        std::memcpy(&id, bytes.data(), 4);
        return scene.Dispatch(id, bytes.data(), static_cast<int>(record.size() - 4));
    }
    testsupport::KVEnvironment kv;
    ProbeScene scene;
    RecordingMessages messages;
    RecordingSounds sounds;
};

TEST_F(NetMatchBaseTest, AMatchEndsOnceWithItsCubesRecordsAndSound)
{
    struct Case {
        bool won;
        int cubesBefore, cubesAfter;
        int32_t session;
        int wins, losses;
        int sound;
    };
    const Case cases[] = {
        {true, 100, 150, kNoMultiRecord + 0x10000, 1, 0, VanteoNetBaseScene::kSoundWin},
        {false, 100, 105, kNoMultiRecord - 1, 0, 1, VanteoNetBaseScene::kSoundLose},
        {true, 9990, 9999, kNoMultiRecord + 0x10000, 1, 0, VanteoNetBaseScene::kSoundWin},  // capped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cubesBefore);
        GameConfig.cubes = c.cubesBefore;
        g_nSessionRecord = kNoMultiRecord;
        g_nMultiRecord = kNoMultiRecord;
        scene.m_nState = kGameStatePlaying;
        sounds.played.clear();
        EXPECT_TRUE(scene.FinishMatch(c.won, 26));
        EXPECT_EQ(scene.m_nState, kGameStateFinished);
        EXPECT_EQ(scene.m_bWon, c.won ? 1 : 0);
        EXPECT_EQ(GameConfig.cubes, c.cubesAfter);
        EXPECT_EQ(g_nSessionRecord, c.session);
        EXPECT_EQ(MultiRecordWins(g_nMultiRecord), c.wins);
        EXPECT_EQ(MultiRecordLosses(g_nMultiRecord), c.losses);
        EXPECT_EQ(sounds.played, std::vector<int>{c.sound});
        // The other end, or the same one again, changes nothing any more.
        EXPECT_FALSE(scene.FinishMatch(!c.won, 26));
        EXPECT_FALSE(scene.FinishMatch(c.won, 26));
        EXPECT_EQ(GameConfig.cubes, c.cubesAfter);
        EXPECT_EQ(g_nSessionRecord, c.session);
        EXPECT_EQ(scene.m_bWon, c.won ? 1 : 0);
    }
}

TEST_F(NetMatchBaseTest, OnlyTheHostContinuesBackToTheLobby)
{
    EXPECT_EQ(scene.OnResultContinue(nullptr, 4), 1);
    EXPECT_TRUE(messages.WithId(MSG_CHANGE_SCENE).empty());

    scene.host = true;
    EXPECT_EQ(scene.OnResultContinue(nullptr, 4), 0);
    const auto changes = messages.WithId(MSG_CHANGE_SCENE);
    ASSERT_EQ(changes.size(), 1u);
    PayloadReader r = changes[0].Reader();
    EXPECT_EQ(r.Text(kSceneNameBytes), "QuiblyLobbyScene");
    EXPECT_EQ(r.I32(), 4);
    EXPECT_EQ(r.I32(), 0);
}

TEST_F(NetMatchBaseTest, ALeavingPlayerOpensTheDisconnectionNotice)
{
    for (int32_t id : {2114, 2116}) {
        scene.m_bDisconnected = 0;
        Deliver(PayloadWriter().I32(12).I32(id).U64(0).Bytes());
        EXPECT_EQ(scene.m_bDisconnected, 1) << id;
    }
}

TEST_F(NetMatchBaseTest, BoardLayoutsTravelToTheMirrorBoard)
{
    // The own layout goes out cell by cell.
    PayloadWriter local;
    local.I32(MSG_BOARD_LAYOUT);
    for (int i = 0; i < 64; ++i)
        local.U16(static_cast<uint16_t>(i % 3));
    std::vector<uint8_t> bytes = local.Bytes();
    bytes.resize(kSceneMessageDataBytes, 0);
    scene.Dispatch(MSG_BOARD_LAYOUT, bytes.data(), 4 + 128);
    ASSERT_EQ(scene.sent.size(), 1u);
    const std::vector<uint8_t>& out = scene.sent[0];
    ASSERT_EQ(out.size(), 144u);
    EXPECT_EQ(0, std::memcmp(out.data() + 16, local.Bytes().data() + 4, 128));

    // The other machine's layout and turns reach the mirror board; a wrong direction does not.
    scene.CreateMirrorBoard(34, 197);
    ASSERT_NE(scene.m_pMirrorBoard, nullptr);
    EXPECT_EQ(scene.m_pMirrorBoard->quiet, 1);
    EXPECT_FLOAT_EQ(scene.m_pMirrorBoard->scaleX, 0.5f);
    Deliver(out);
    struct Turn {
        int8_t direction;
        bool turns;
    };
    for (const Turn& t : {Turn{5, false}, Turn{0, false}, Turn{-1, true}}) {
        scene.m_pMirrorBoard->turnAngle = 0;
        scene.m_pMirrorBoard->turnTarget = 0;
        scene.m_pMirrorBoard->turnReady = 1;
        Deliver(netmsg::Build(netmsg::kRotate, 9, PayloadWriter().U32(static_cast<uint8_t>(t.direction))));
        EXPECT_EQ(scene.m_pMirrorBoard->turnTarget != 0, t.turns) << int(t.direction);
    }
}

} // namespace
