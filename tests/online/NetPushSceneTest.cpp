// Two online push scenes in one process, a host and a guest, wired through the platform client's
// own block transport: the host's field is the true one and the guest follows its states
// mirrored, blocks drop only through the host, the host takes nothing but the traps from the
// guest's state, the warning shows at three blocks, and every record from the other machine is
// checked before it touches the field.
#include "../modes/ModeSceneFixture.h"

#include "board/BoardMessages.h"
#include "data/Options.h"
#include "menus/PopUpResult.h"
#include "net/GameMessageBlocks.h"
#include "net/LeaderBoard.h"
#include "net/NetGameMessages.h"
#include "net/NetGlobals.h"
#include "net/SteamClient.h"
#include "net/SteamServer.h"
#include "online/SteamVanteoScene_Push.h"
#include "support/GameSeamFakes.h"
#include "support/TempDir.h"

#include <steam/SteamApi.h>
#include <steam/SteamTesting.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace {

using modetest::Layout;
using modetest::Wnd;

std::string MainLayout()
{
    return Layout("Wnd_LayoutPush",
                  Wnd("Wnd_PuzzleArea", 500, 200, 360, 360) + Wnd("Wnd_ComboArea", 500, 200, 360, 360) +
                      Wnd("Wnd_PuzzleArea_enemy", 34, 197, 180, 180) + Wnd("Anibtn_rotate_L", 10, 600, 40, 40) +
                      Wnd("Anibtn_rotate_R", 60, 600, 40, 40) + Wnd("Anibtn_menu", 10, 700, 90, 40) +
                      Wnd("Pic_warning", 0, 0, 9, 9) + Wnd("Pic_effect_highlight_Large", 0, 0, 9, 9) +
                      Wnd("Pic_effect_highlight_small", 0, 0, 9, 9) + Wnd("Pic_num_time_1", 20, 20, 20, 30) +
                      Wnd("Label_name_enemy", 40, 160, 180, 30, "", "LABEL") +
                      Wnd("Label_name_user", 500, 160, 180, 30, "", "LABEL"));
}

std::string FieldLayout()
{
    std::string children = Wnd("Wnd_Push_DrawArea", 0, 0, 1024, 768);
    for (int k = 1; k <= 3; ++k)
        children += Wnd("Pic_pushing_block_" + std::to_string(k), 400, 40 + 40 * k, 40, 40);
    children += Wnd("Pic_pushing_lever_user", 300, 140, 40, 8) + Wnd("Pic_pushing_lever_enemy", 700, 140, 40, 8);
    return Layout("Wnd_Pushing", children);
}

// A push scene of a given role whose game messages leave through an outbox of the client's
// blocks, and whose local messages (its field's and its boards') go to a recorder that the test
// hands back to the scene as its queue would.
class WiredPushScene : public SteamVanteoScene_Push {
public:
    // The scene manager owns its scenes by name: the second machine's scene takes another.
    WiredPushScene(uint64_t id, const char* name, bool hosting)
        : SteamVanteoScene_Push(&local, &sounds), platformId(id), host(hosting)
    {
        SetName(name);
    }
    // The scene leaves while its recorders still exist.
    ~WiredPushScene() override { Leave(); }
    bool Hosting() const override { return host; }
    bool SendGameMessage(int32_t id, const PayloadWriter& fields) override
    {
        const std::vector<uint8_t> record = netmsg::Build(id, platformId, fields);
        sent.push_back(id);
        return outbox.Queue(record.data(), static_cast<uint32_t>(record.size()));
    }
    // Hands a message to the scene as the scene queue does: the id word, then the payload.
    void Deliver(int32_t id, const uint8_t* payload, size_t bytes)
    {
        std::vector<uint8_t> data(kSceneMessageDataBytes, 0);
        std::memcpy(data.data(), &id, 4);
        if (bytes > 0)
            std::memcpy(data.data() + 4, payload, std::min(bytes, data.size() - 4));
        Dispatch(id, data.data(), static_cast<int>(4 + bytes));
    }
    void DeliverLocal()
    {
        const std::vector<PostedMessage> posted = local.posted;
        local.Clear();
        for (const PostedMessage& m : posted)
            Deliver(m.id, m.payload.data(), m.payload.size());
    }

    // The game messages of this id the scene sent.
    size_t Sent(int32_t id) const { return static_cast<size_t>(std::count(sent.begin(), sent.end(), id)); }

    RecordingMessages local;
    RecordingSounds sounds;
    uint64_t platformId;
    bool host;
    GameMessageBlocks outbox;
    std::vector<int32_t> sent;
};

class NetPushSceneTest : public modetest::ModeSceneTest<> {
protected:
    void SetUp() override
    {
        SteamAPI_Shutdown();
        setenv("QUIBLY_PROFILE_DIR", m_profile.Str().c_str(), 1);
        ASSERT_TRUE(SteamAPI_Init());
        AddLayout("layout/Push.xml", MainLayout());
        kv.iface.AddFile(L"data/PUSHING_layout.xml", FieldLayout());
        kv.iface.AddFile(L"data/result.xml", Layout("Wnd_result", ""));
        kv.iface.AddFile(L"data/warning_1btn.xml",
                         Layout("Wnd_warning", Wnd("Label_title", 0, 0, 40, 20, "", "LABEL") +
                                                   Wnd("Label_message", 0, 30, 40, 20, "", "LABEL") +
                                                   Wnd("Anibtn_popup_ok", 500, 500, 60, 30)));
        data.Write("anim/readygo.xml", enginetest::animxml::FileXml(enginetest::animxml::SceneXml("readygo", {{0}, {200}})));
        data.Write("PlayData/QuiblyConfig_Push.xml",
                   "<VanteoConfig><PushBlock TrapTime=\"1\" MoveSpeed=\"400\"/><StageList/></VanteoConfig>");
        host = new WiredPushScene(kHostId, kNetPushSceneName, true);
        guest = new WiredPushScene(kGuestId, "GuestPushScene", false);
        SetUpScene(host, {{"LayoutPush", "Push.xml"}, {"Effect_ReadyGo", "readygo.xml"}});
        manager->RegisterScene(guest);
        hostClient = std::make_unique<VanteoSteamClient>(CSteamID(kHostId));
        guestClient = std::make_unique<VanteoSteamClient>(CSteamID(kGuestId));
        hostClient->SetMessageSink(&hostInbox);
        guestClient->SetMessageSink(&guestInbox);

        host->Enter(0, 0);
        guest->Enter(0, 0);
        // Through the ready-go into play, and the fields' first frame.
        Frames(20);
        ASSERT_EQ(host->m_nState, kGameStatePlaying);
        ASSERT_EQ(guest->m_nState, kGameStatePlaying);
    }
    void TearDown() override
    {
        g_pSteamClient = nullptr;
        delete g_pSteamServer;
        g_pSteamServer = nullptr;
        hostClient.reset();
        guestClient.reset();
        modetest::ModeSceneTest<>::TearDown();
        SteamAPI_RunCallbacks();
        SteamAPI_Shutdown();
        unsetenv("QUIBLY_PROFILE_DIR");
    }

    // The game messages one scene queued travel as the client's game-data messages to the
    // other machine's client, which posts what it accepts into that scene's queue.
    static void Carry(WiredPushScene& from, VanteoSteamClient& to, RecordingMessages& inbox, WiredPushScene& scene)
    {
        for (const GameMessageBlocks::Block& block : from.outbox.TakeAll()) {
            const std::vector<uint8_t> message = GameMessageBlocks::Message(from.platformId, block);
            to.DispatchGameMessages(message.data(), message.size());
        }
        const std::vector<PostedMessage> posted = inbox.posted;
        inbox.Clear();
        for (const PostedMessage& m : posted)
            scene.Deliver(m.id, m.payload.data(), m.payload.size());
    }
    void Link()
    {
        Carry(*host, *guestClient, guestInbox, *guest);
        Carry(*guest, *hostClient, hostInbox, *host);
    }
    // Frames of both machines: each takes its field's reports, runs, and the messages cross.
    void Frames(int count, float seconds = 0.02f)
    {
        for (int i = 0; i < count; ++i) {
            for (WiredPushScene* scene : {host, guest}) {
                scene->DeliverLocal();
                scene->Update(seconds);
            }
            Link();
        }
    }
    static void Send(WiredPushScene& scene, int32_t id, std::initializer_list<int32_t> words)
    {
        PayloadWriter payload;
        for (int32_t w : words)
            payload.I32(w);
        scene.Deliver(id, payload.Bytes().data(), payload.Bytes().size());
    }
    // A game message as it arrives from the other machine, fields given as words.
    static void Receive(WiredPushScene& scene, int32_t id, const PayloadWriter& fields)
    {
        const std::vector<uint8_t> record = netmsg::Build(id, kHostId, fields);
        scene.Deliver(id, record.data() + 8, record.size() - 8);
    }

    static constexpr uint64_t kHostId = 0x0110000100000011ull;
    static constexpr uint64_t kGuestId = 0x0110000100000022ull;
    testsupport::TempDir m_profile;
    WiredPushScene* host = nullptr;
    WiredPushScene* guest = nullptr;
    std::unique_ptr<VanteoSteamClient> hostClient, guestClient;
    RecordingMessages hostInbox, guestInbox;
};

constexpr int32_t kOwnClear = 1;

TEST_F(NetPushSceneTest, OnlyTheHostMovesLanesAndTheGuestFollowsItsStateMirrored)
{
    struct Case {
        const char* what;
        bool hostClears;
        int colour;
        int points;
        float hostTarget;  // where the host's lane heads after the clear
    };
    const Case cases[] = {
        {"the host's own clear pushes away from it", true, 0, 40, -40.0f},
        {"the guest's clear reaches the host as a push towards it", false, 1, 40, 40.0f},
        {"a star-sized clear of the guest", false, 2, 33, 33.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WiredPushScene& clearer = c.hostClears ? *host : *guest;
        const size_t arrowsBefore = clearer.sounds.played.size();
        Send(clearer, MSG_GROUP_CLEARED, {kOwnClear, c.colour, c.points, 4, 0, 0, 0, 0});
        // The guest shows the push at once but its lane waits for the host.
        EXPECT_GT(clearer.sounds.played.size(), arrowsBefore);
        if (!c.hostClears) {
            EXPECT_FLOAT_EQ(guest->m_Field.lanes[c.colour].target, 0.0f);
        }
        Frames(2);
        EXPECT_FLOAT_EQ(host->m_Field.lanes[c.colour].target, c.hostTarget);
        EXPECT_FLOAT_EQ(guest->m_Field.lanes[c.colour].target, -c.hostTarget);
        EXPECT_FLOAT_EQ(guest->m_Field.lanes[c.colour].pos, -host->m_Field.lanes[c.colour].pos);
        // Back to the middle for the next case.
        host->m_Field.lanes.fill(PushLane{});
        guest->m_Field.lanes.fill(PushLane{});
    }

    // A clear whose flag word is 0 moves nothing and sends nothing.
    host->sent.clear();
    guest->sent.clear();
    Send(*guest, MSG_GROUP_CLEARED, {0, 1, 40, 4, 0, 0, 0, 0});
    Send(*host, MSG_GROUP_CLEARED, {0, 1, 40, 4, 0, 0, 0, 0});
    Frames(1);
    for (const WiredPushScene* scene : {host, guest}) {
        EXPECT_EQ(scene->Sent(netmsg::kPushPoints), 0u);
        EXPECT_EQ(scene->Sent(netmsg::kPushState), 0u);
    }
    EXPECT_FLOAT_EQ(host->m_Field.lanes[1].target, 0.0f);
}

TEST_F(NetPushSceneTest, OnlyAStarRequestPushesAndTheGuestsStarsMoveOnlyTheHost)
{
    for (int type = 0; type <= 2; ++type) {
        netmsg::FireRequest request;
        request.type = type;
        request.count = 50;
        Receive(*host, netmsg::kFireRequest, netmsg::Fields(request));
    }
    EXPECT_EQ(host->m_bStateChanged, 0);
    for (const PushLane& lane : host->m_Field.lanes)
        EXPECT_FLOAT_EQ(lane.target, 0.0f);

    // The guest clears a star: it shows it, the host pushes all three lanes towards itself and
    // plays the star sound; the guest's lanes follow the host's state.
    Send(*guest, MSG_BIG_STAR, {2, 2});
    for (const PushLane& lane : guest->m_Field.lanes)
        EXPECT_FLOAT_EQ(lane.target, 0.0f);
    Link();
    for (const PushLane& lane : host->m_Field.lanes)
        EXPECT_FLOAT_EQ(lane.target, 33.0f);
    EXPECT_EQ(host->sounds.played.back(), SteamVanteoScene_Push::kSoundStarPush);
    Frames(1);
    for (const PushLane& lane : guest->m_Field.lanes)
        EXPECT_FLOAT_EQ(lane.target, -33.0f);
}

TEST_F(NetPushSceneTest, BlocksDropOnlyThroughTheHostOntoTheMirroredSide)
{
    // The host's clear pushes lane 2 all the way: the block drops onto the host's pushing stack
    // and onto the guest's other stack; the guest's own report of the same lane is ignored.
    Send(*host, MSG_GROUP_CLEARED, {kOwnClear, 2, 200, 4, 0, 0, 0, 0});
    for (int i = 0; i < 100 && host->m_Field.userStack.empty(); ++i)
        Frames(1);
    Frames(3);
    EXPECT_EQ(host->m_Field.userStack.size(), 1u);
    EXPECT_EQ(host->m_Field.enemyStack.size(), 0u);
    EXPECT_EQ(guest->m_Field.enemyStack.size(), 1u);
    EXPECT_EQ(guest->m_Field.userStack.size(), 0u);

    // A drop report of the guest's own field adds nothing and sends nothing.
    guest->sent.clear();
    Send(*guest, MSG_PUSH_BLOCK_DROP, {0, 1});
    EXPECT_EQ(guest->m_Field.userStack.size(), 0u);
    EXPECT_EQ(guest->Sent(netmsg::kPushBlockDrop), 0u);
    // The host never takes a drop message: its own field decides.
    Receive(*host, netmsg::kPushBlockDrop, PayloadWriter().I32(0).I32(1));
    EXPECT_EQ(host->m_Field.userStack.size(), 1u);
}

TEST_F(NetPushSceneTest, AnExpiredTrapOnTheGuestSendsItsStateAndTheHostTakesOnlyTheTraps)
{
    // The guest clears a stone square: it traps the host's lane on its field and the host traps
    // its own lane; both hold one trap against the host.
    Send(*guest, MSG_BIG_STONE, {3, 3});
    Link();
    ASSERT_EQ(host->m_Field.stones.size(), 1u);
    ASSERT_EQ(guest->m_Field.stones.size(), 1u);
    EXPECT_EQ(host->m_Field.stones[0].side, 0);
    EXPECT_EQ(guest->m_Field.stones[0].side, 1);

    // The host's trap is made to outlast the guest's, and the host pushes a lane that the guest
    // has not heard of when its trap runs out.
    host->m_Field.stones[0].timer = 50.0f;
    Send(*host, MSG_GROUP_CLEARED, {kOwnClear, 0, 60, 4, 0, 0, 0, 0});
    host->m_bStateChanged = 0;
    host->outbox.TakeAll();
    const PushLane hostLane = host->m_Field.lanes[0];
    guest->sent.clear();
    for (int i = 0; i < 100 && guest->m_Field.stones.size() == 1; ++i) {
        guest->DeliverLocal();
        guest->Update(0.02f);
    }
    guest->DeliverLocal();
    guest->Update(0.0f);
    ASSERT_EQ(guest->Sent(netmsg::kPushState), 1u);
    Carry(*guest, *hostClient, hostInbox, *host);
    EXPECT_TRUE(host->m_Field.stones.empty());
    EXPECT_FLOAT_EQ(host->m_Field.lanes[0].target, hostLane.target);
    EXPECT_FLOAT_EQ(host->m_Field.lanes[0].pos, hostLane.pos);
}

TEST_F(NetPushSceneTest, TheHostTakesTheGuestsTrapsMirroredAndKeepsItsLanes)
{
    host->m_Field.lanes[1].target = -80.0f;
    host->m_Field.lanes[1].pos = -20.0f;
    PushLaneState state;
    state.stoneCount = 1;
    state.stones[0] = {2, 15.0f, 1, 4.0f};
    state.lanes[1].target = 120.0f;
    state.lanes[1].pos = 90.0f;
    Receive(*host, netmsg::kPushState, netmsg::Fields(state));
    ASSERT_EQ(host->m_Field.stones.size(), 1u);
    EXPECT_EQ(host->m_Field.stones[0].lane, 2);
    EXPECT_EQ(host->m_Field.stones[0].side, 1);
    EXPECT_FLOAT_EQ(host->m_Field.stones[0].limit, 15.0f);
    EXPECT_FLOAT_EQ(host->m_Field.lanes[1].target, -80.0f);
    EXPECT_FLOAT_EQ(host->m_Field.lanes[1].pos, -20.0f);

    // The guest takes the whole state, lanes included; a count of 0 clears its traps.
    guest->m_Field.TrapUserLane();
    state.stoneCount = 0;
    Receive(*guest, netmsg::kPushState, netmsg::Fields(state));
    EXPECT_TRUE(guest->m_Field.stones.empty());
    EXPECT_FLOAT_EQ(guest->m_Field.lanes[1].target, 120.0f);
}

TEST_F(NetPushSceneTest, TheWarningShowsWhileThePlayersLeverHoldsExactlyThreeBlocks)
{
    const struct {
        int blocks;
        bool shown;
    } cases[] = {{2, false}, {3, true}, {4, false}};
    for (const auto& c : cases) {
        guest->m_Field.enemyStack.clear();
        for (int i = 0; i < c.blocks; ++i)
            guest->m_Field.AddBlock(i % 3, 1);
        guest->Update(0.02f);
        kv::KVWnd* warning = guest->m_pRoot->FindWindow(L"Pic_warning");
        ASSERT_NE(warning, nullptr);
        EXPECT_EQ(warning->IsVisible(), c.shown) << c.blocks << " blocks";
    }
}

TEST_F(NetPushSceneTest, EachMachineEndsTheMatchFromItsOwnField)
{
    GameConfig.cubes = 100;
    g_nSessionRecord = kNoMultiRecord;
    // Four lanes completed on the host's field: each block reaches the guest mirrored.
    for (int lane : {0, 1, 2, 0})
        Send(*host, MSG_PUSH_BLOCK_DROP, {0, lane});
    Frames(3);
    EXPECT_EQ(guest->m_Field.enemyStack.size(), 4u);
    for (const WiredPushScene* scene : {host, guest})
        EXPECT_EQ(scene->m_nState, kGameStateFinished);
    EXPECT_EQ(host->m_bWon, 1);
    EXPECT_EQ(guest->m_bWon, 0);
    EXPECT_TRUE(host->m_pResultWin->IsOpen());
    EXPECT_TRUE(guest->m_pResultLose->IsOpen());
    EXPECT_EQ(GameConfig.cubes, 100 + 50 + 5);
    // One win and one loss against the same opponent, as each machine counts them.
    EXPECT_EQ(g_nSessionRecord, kNoMultiRecord + 0x10000 - 1);
    EXPECT_EQ(host->sounds.played.back(), VanteoNetBaseScene::kSoundWin);
    EXPECT_EQ(guest->sounds.played.back(), VanteoNetBaseScene::kSoundLose);
}

TEST_F(NetPushSceneTest, AfterADisconnectionBothClientsAreReadyForTheNextMatch)
{
    for (bool hosting : {true, false}) {
        SCOPED_TRACE(hosting ? "host" : "guest");
        WiredPushScene& scene = hosting ? *host : *guest;
        VanteoSteamClient& client = hosting ? *hostClient : *guestClient;
        client.m_eConnectedStatus = clientstate::kInMatch;
        g_pSteamClient = &client;
        if (hosting)
            g_pSteamServer = new CSteamServer();
        client.m_CurrentSceneName = [] { return std::string(kNetPushSceneName); };

        // The other player is gone: the notice opens and the board stands still.
        Send(scene, 2114, {});
        EXPECT_EQ(scene.m_bDisconnected, 1);
        EXPECT_TRUE(scene.m_Disconnect.IsOpen());
        const float clock = scene.BoardPlayClock();
        Frames(5);
        EXPECT_FLOAT_EQ(scene.BoardPlayClock(), clock);

        // Its OK goes back to the room, and the client leaves the match so that the room's next
        // start finds it in the lobby, without a game server left over.
        scene.local.Clear();
        Send(scene, MSG_POPUP_OK, {0});
        const std::vector<PostedMessage> changes = scene.local.WithId(MSG_CHANGE_SCENE);
        ASSERT_EQ(changes.size(), 1u);
        PayloadReader change = changes[0].Reader();
        EXPECT_EQ(change.Text(64), "QuiblyLobbyScene");
        EXPECT_EQ(change.I32(), 4);
        client.RunFrame(0.016f);
        EXPECT_EQ(client.m_eConnectedStatus, clientstate::kInLobby);
        EXPECT_EQ(g_pSteamServer, nullptr);
        g_pSteamClient = nullptr;
    }
}

TEST_F(NetPushSceneTest, RecordsFromTheOtherMachineAreCheckedBeforeTheyTouchTheField)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    auto state = [](int count, int lane, int side, float limit, float pos) {
        PushLaneState s;
        s.stoneCount = count;
        s.stones[0] = {lane, limit, side, 3.0f};
        s.lanes[0].pos = pos;
        return netmsg::Fields(s);
    };
    struct Case {
        const char* what;
        bool toHost;
        int32_t id;
        PayloadWriter fields;
    };
    const Case cases[] = {
        {"points for lane 3", true, netmsg::kPushPoints, PayloadWriter().I32(3).I32(40)},
        {"points for lane -1", false, netmsg::kPushPoints, PayloadWriter().I32(-1).I32(40)},
        {"a drop on side 2", false, netmsg::kPushBlockDrop, PayloadWriter().I32(2).I32(0)},
        {"a drop on lane 3", false, netmsg::kPushBlockDrop, PayloadWriter().I32(0).I32(3)},
        {"a drop on lane -7", false, netmsg::kPushBlockDrop, PayloadWriter().I32(1).I32(-7)},
        {"a fire request of type 4", true, netmsg::kFireRequest, PayloadWriter().I32(0).I32(4).I32(33)},
        {"a fire request of type -1", false, netmsg::kFireRequest, PayloadWriter().I32(0).I32(-1).I32(33)},
        {"a state of eleven traps", false, netmsg::kPushState, state(11, 0, 0, 0.0f, 50.0f)},
        {"a state of -1 traps", true, netmsg::kPushState, state(-1, 0, 0, 0.0f, 50.0f)},
        {"a trap on lane 3", false, netmsg::kPushState, state(1, 3, 0, 0.0f, 50.0f)},
        {"a trap of side 2", true, netmsg::kPushState, state(1, 0, 2, 0.0f, 50.0f)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WiredPushScene& scene = c.toHost ? *host : *guest;
        scene.sent.clear();
        Receive(scene, c.id, c.fields);
        EXPECT_TRUE(scene.m_Field.stones.empty());
        EXPECT_TRUE(scene.m_Field.userStack.empty());
        EXPECT_TRUE(scene.m_Field.enemyStack.empty());
        for (const PushLane& lane : scene.m_Field.lanes) {
            EXPECT_FLOAT_EQ(lane.target, 0.0f);
            EXPECT_FLOAT_EQ(lane.pos, 0.0f);
        }
        EXPECT_EQ(scene.m_bStateChanged, 0);
        EXPECT_EQ(scene.Sent(netmsg::kPushState) + scene.Sent(netmsg::kPushBlockDrop), 0u);
    }

    // Numbers that are no numbers never reach a lane, and the guest's points are cut to the
    // largest clear.
    Receive(*guest, netmsg::kPushState, state(1, 0, 0, nan, inf));
    for (const PushLane& lane : guest->m_Field.lanes)
        EXPECT_TRUE(std::isfinite(lane.pos) && std::isfinite(lane.target));
    for (const PushStone& stone : guest->m_Field.stones)
        EXPECT_TRUE(std::isfinite(stone.limit));
    Receive(*host, netmsg::kPushPoints, PayloadWriter().I32(1).I32(1 << 30));
    EXPECT_FLOAT_EQ(host->m_Field.lanes[1].target, PushBlockSet::kLaneLimit);
    host->m_Field.lanes[1] = PushLane{};
    Receive(*host, netmsg::kPushPoints, PayloadWriter().I32(1).I32(-500));
    EXPECT_FLOAT_EQ(host->m_Field.lanes[1].target, 0.0f);

    // A push count no game reaches is cut before the guest's next push is shown with it.
    PushLaneState counted;
    counted.lanes[0].comboCount = 791621423;
    Receive(*guest, netmsg::kPushState, netmsg::Fields(counted));
    EXPECT_EQ(guest->m_Field.lanes[0].comboCount, SteamVanteoScene_Push::kMaxComboCount);

    // A flood of stone messages traps no more lanes than the field's state can carry.
    for (int i = 0; i < 15; ++i)
        Receive(*host, netmsg::kBigStone, PayloadWriter().I32(0));
    EXPECT_EQ(host->m_Field.stones.size(), static_cast<size_t>(PushLaneState::kMaxStones));
}

} // namespace
