// The online match scenes' common table: every game message reaches its own operation, parsed,
// only when it holds its id's whole length, the ids nobody sends go to the do-nothing operation, and a
// game message leaves through the platform client's queue with the local player as sender.
#include "OnlineFixture.h"

#include "engine/SceneManager.h"
#include "menus/PopUp.h"
#include "net/NetGameMessages.h"
#include "net/NetGlobals.h"
#include "net/SteamClient.h"
#include "online/VanteoNetBaseScene.h"
#include "support/GameSeamFakes.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A match scene that names the operation each message reached.
class RecordingNetScene : public VanteoNetBaseScene {
public:
    using VanteoNetBaseScene::SendGameMessage;
#define RECORD(op)                                                                                                     \
    int op(const void*, int) override                                                                                  \
    {                                                                                                                  \
        reached.push_back(#op);                                                                                        \
        return 1;                                                                                                      \
    }
#define RECORD_NET(op)                                                                                                 \
    int op(const netmsg::Record&) override                                                                             \
    {                                                                                                                  \
        reached.push_back(#op);                                                                                        \
        return 1;                                                                                                      \
    }
    RECORD(OnNetSlot3)
    RECORD(OnPushBlockDrop)
    RECORD(OnPopUpOk)
    RECORD(OnNetPlayerRemoved)
    RECORD(OnNetDisconnect)
    RECORD(OnNetPlayerConnected)
    RECORD(OnNetUnused)
    RECORD_NET(OnNetPushState)
    RECORD_NET(OnNetSpeedUp)
    RECORD_NET(OnNetItemDrop)
    RECORD_NET(OnNetItemGet)
    RECORD_NET(OnNetBoardLayout)
    RECORD_NET(OnNetRotate)
    RECORD_NET(OnNetBulletGain)
    RECORD_NET(OnNetFireRequest)
    RECORD_NET(OnNetAttackCreated)
    RECORD_NET(OnNetLaneUnitsMet)
    RECORD_NET(OnNetLaneUnitHitMine)
    RECORD_NET(OnNetBigStone)
    RECORD_NET(OnNetPushPoints)
    RECORD_NET(OnNetLaneUnitPower)
    RECORD_NET(OnNetPushBlockDrop)
#undef RECORD_NET
#undef RECORD
    std::vector<std::string> reached;
};

struct Route {
    int32_t id;
    const char* operation;
};

class NetBaseSceneTest : public onlinetest::OnlineTest {
protected:
    void SetUp() override
    {
        onlinetest::OnlineTest::SetUp();
        scene.Enter(0, 0);
    }
    void TearDown() override
    {
        scene.Leave();
        onlinetest::OnlineTest::TearDown();
    }
    // The record as the scene queue hands it: from the id word, in the queue's 1024-byte record.
    int Deliver(int32_t id, int length)
    {
        std::vector<uint8_t> bytes(kSceneMessageDataBytes, 0);
        std::memcpy(bytes.data(), &id, 4);
        return scene.Dispatch(id, bytes.data(), length);
    }
    RecordingNetScene scene;
};

TEST_F(NetBaseSceneTest, GameMessagesReachTheirOperationOnlyWhenWhole)
{
    const Route routes[] = {
        {2101, "OnNetPushState"},    {2117, "OnNetSpeedUp"},         {2119, "OnNetItemDrop"},
        {2120, "OnNetItemGet"},      {2124, "OnNetBoardLayout"},     {2125, "OnNetRotate"},
        {2126, "OnNetBulletGain"},   {2127, "OnNetFireRequest"},     {2129, "OnNetAttackCreated"},
        {2130, "OnNetLaneUnitsMet"}, {2131, "OnNetLaneUnitHitMine"}, {2134, "OnNetBigStone"},
        {2136, "OnNetPushPoints"},   {2137, "OnNetLaneUnitPower"},   {2140, "OnNetPushBlockDrop"},
    };
    testsupport::LogCapture log;
    for (const Route& r : routes) {
        SCOPED_TRACE(r.id);
        const int length = netmsg::RecordLength(r.id);
        ASSERT_GT(length, 4);
        scene.reached.clear();
        EXPECT_EQ(Deliver(r.id, length - 1), 1);
        EXPECT_TRUE(scene.reached.empty());
        EXPECT_EQ(Deliver(r.id, length), 1);
        EXPECT_EQ(scene.reached, std::vector<std::string>{r.operation});
    }
    EXPECT_TRUE(log.Contains(L"game message 2140 refused, 19 bytes"));
}

TEST_F(NetBaseSceneTest, LocalOnlineMessagesAndUnusedIdsHaveTheirOperations)
{
    const Route routes[] = {
        {2102, "OnNetSlot3"},           {2106, "OnPushBlockDrop"},    {MSG_POPUP_OK, "OnPopUpOk"},
        {2113, "OnNetPlayerConnected"}, {2114, "OnNetPlayerRemoved"}, {2116, "OnNetDisconnect"},
        {2110, "OnNetUnused"},          {2111, "OnNetUnused"},        {2112, "OnNetUnused"},
        {2115, "OnNetUnused"},          {2118, "OnNetUnused"},        {2128, "OnNetUnused"},
        {2132, "OnNetUnused"},          {2133, "OnNetUnused"},        {2135, "OnNetUnused"},
        {2138, "OnNetUnused"},          {2139, "OnNetUnused"},
    };
    for (const Route& r : routes) {
        scene.reached.clear();
        EXPECT_EQ(Deliver(r.id, 4), 1) << r.id;
        EXPECT_EQ(scene.reached, std::vector<std::string>{r.operation}) << r.id;
    }
    // The hit-point sync belongs to the battle scene and the ready message to the loading
    // scene: the base table drops both.
    scene.reached.clear();
    EXPECT_EQ(Deliver(netmsg::kHpSync, netmsg::RecordLength(netmsg::kHpSync)), 0);
    EXPECT_EQ(Deliver(netmsg::kReady, 4), 0);
    EXPECT_TRUE(scene.reached.empty());
}

TEST_F(NetBaseSceneTest, AGameMessageLeavesThroughTheClientWithTheLocalSender)
{
    EXPECT_FALSE(scene.SendGameMessage(netmsg::kItemGet, PayloadWriter().I32(77)));

    VanteoSteamClient client(CSteamID(0x0110000100000042ull));
    g_pSteamClient = &client;
    EXPECT_TRUE(scene.SendGameMessage(netmsg::kItemGet, PayloadWriter().I32(77)));
    g_pSteamClient = nullptr;

    std::vector<GameMessageBlocks::Block> blocks = client.m_Outgoing.TakeAll();
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].used, 20u);
    PayloadReader r(blocks[0].data.data(), blocks[0].used);
    EXPECT_EQ(r.I32(), 16);
    EXPECT_EQ(r.I32(), netmsg::kItemGet);
    EXPECT_EQ(r.U64(), 0x0110000100000042ull);
    EXPECT_EQ(r.I32(), 77);
}

} // namespace
