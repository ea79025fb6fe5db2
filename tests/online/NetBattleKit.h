// Two online battle scenes in one process, the host and the guest, wired to each other: the game
// messages one queues reach the other at the start of its next frame, and each scene's own scene
// messages come back to it, as the scene queue delivers them. The screen is the shipped online
// battle layout, with a short ready-go and a battle configuration of its own.
#pragma once

#include "data/ModeConfig.h"
#include "data/Options.h"
#include "data/Records.h"
#include "board/VanteoBlockMap.h"
#include "engine/AnimationXml.h"
#include "engine/EngineFakes.h"
#include "engine/InputKeyboard.h"
#include "engine/InputSystem.h"
#include "engine/SceneManager.h"
#include "engine/SceneMessage.h"
#include "engine/SkinTable.h"
#include "engine/Getters.h"
#include "net/LeaderBoard.h"
#include "net/ServerMessages.h"
#include "net/NetGameMessages.h"
#include "engine/LoadingScene.h"
#include "net/NetGlobals.h"
#include "online/SteamVanteoScene.h"
#include "support/GameSeamFakes.h"
#include "support/TempDir.h"
#include "support/kv/KVTestKit.h"

#include <helvane/ResourceFileManager.h>
#include <win32/Text.h>
#include <win32/Time.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace netbattletest {

inline constexpr uint64_t kHostId = 0x0110000100000007ull;
inline constexpr uint64_t kGuestId = 0x0110000100000009ull;
inline const std::string kShippedData = std::string(QUIBLY_FIXTURES_DIR) + "/../../data/data/";

// The scene messages a scene posts to itself, delivered at its next frame.
class LocalQueue : public IMessageSink {
public:
    void Post(int32_t id, const uint8_t* payload, size_t bytes) override
    {
        posted.push_back({id, std::vector<uint8_t>(payload, payload + bytes)});
    }
    std::vector<PostedMessage> posted;
};

// A battle scene whose role is fixed and whose game messages go to an outbox.
class TestBattle : public SteamVanteoScene {
public:
    explicit TestBattle(bool host) : host(host) { SetLocalSinks(&local, &sounds); }
    bool Hosting() const override { return host; }
    bool SendGameMessage(int32_t id, const PayloadWriter& fields) override
    {
        outbox.push_back(netmsg::Build(id, LocalPlayerId(), fields));
        sent.push_back(outbox.back());
        return true;
    }
    uint64_t LocalPlayerId() const override { return host ? kHostId : kGuestId; }

    // The records of one id this scene sent, oldest first.
    std::vector<std::vector<uint8_t>> Sent(int32_t id) const
    {
        std::vector<std::vector<uint8_t>> found;
        for (const auto& r : sent)
            if (static_cast<int32_t>(WordAt(r.data(), 4)) == id)
                found.push_back(r);
        return found;
    }
    // A whole record (length word first) as the scene queue hands it to the handlers.
    int Receive(const std::vector<uint8_t>& record)
    {
        std::vector<uint8_t> bytes(kSceneMessageDataBytes, 0);
        std::memcpy(bytes.data(), record.data() + 4, std::min(record.size() - 4, bytes.size()));
        return Dispatch(static_cast<int32_t>(WordAt(record.data(), 4)), bytes.data(), static_cast<int>(record.size() - 4));
    }
    // Delivers the scene's own posted messages (and those they post in turn).
    void DeliverLocal()
    {
        for (int round = 0; round < 8 && !local.posted.empty(); ++round) {
            std::vector<PostedMessage> now;
            now.swap(local.posted);
            for (const PostedMessage& m : now) {
                std::vector<uint8_t> bytes(kSceneMessageDataBytes, 0);
                std::memcpy(bytes.data(), &m.id, 4);
                if (!m.payload.empty())
                    std::memcpy(bytes.data() + 4, m.payload.data(), std::min(m.payload.size(), bytes.size() - 4));
                Dispatch(m.id, bytes.data(), static_cast<int>(4 + m.payload.size()));
            }
        }
    }

    bool host;
    LocalQueue local;
    RecordingSounds sounds;
    // What is on its way to the other machine, and everything ever sent.
    std::vector<std::vector<uint8_t>> outbox;
    std::vector<std::vector<uint8_t>> sent;
};

// A record of `id` from the other machine with the given int32 fields.
inline std::vector<uint8_t> Record(int32_t id, std::initializer_list<int32_t> fields, uint64_t sender = kGuestId)
{
    PayloadWriter w;
    for (int32_t f : fields)
        w.I32(f);
    return netmsg::Build(id, sender, w);
}

class NetBattleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::UseManualClock(true);
        const std::string layout = testsupport::ReadFile(kShippedData + "layout/LayoutBattleUser.xml");
        AddLayout("layout/LayoutBattleUser.xml", layout);
        kv.iface.AddFile(L"data/warning_1btn.xml", testsupport::ReadFile(kShippedData + "warning_1btn.xml"));
        data.Write("anim/readygo.xml", enginetest::animxml::FileXml(enginetest::animxml::SceneXml("readygo", {{0}, {200}})));
        const std::string skin = "<VanteoSkin><Common LayoutBattleUser=\"LayoutBattleUser.xml\" Effect_ReadyGo=\"readygo.xml\"/></VanteoSkin>";
        data.Write("KVSkin_Default.xml", skin + skin);
        SkinTable.LoadSkin(0);
        SkinTable.LoadSkin(1);
        data.Write("PlayData/QuiblyConfig_Battle.xml",
                   "<VanteoConfig><RandomSeed Seed=\"7\"/><BlockColorRate A=\"30\" B=\"30\" C=\"30\" star=\"3\" stone=\"3\"/>"
                   "<StageList><Stage name=\"ONE\" file=\"x.gst\"/></StageList></VanteoConfig>");
        LoadPlayRecord();
        ResetThisGame();
        GameConfig = GameConfigRecord{};
        std::strcpy(GameConfig.playerName, "Tester");
        g_nSessionRecord = kNoMultiRecord;
        g_nMultiRecord = kNoMultiRecord;
        g_nNetReadyCount = 0;
        GetInputManager()->Init(enginetest::FakeWindow());
        singleton<CInputKeyboard>::GetSingleton().Update();
        singleton<CInputKeyboard>::GetSingleton().Update();
        manager = std::make_unique<CSceneManager>();
    }
    void TearDown() override
    {
        host.Leave();
        guest.Leave();
        manager.reset();
        singleton<CInputKeyboard>::GetSingleton().SetWindow(nullptr);
        platform::UseManualClock(false);
        g_nNetReadyCount = 0;
    }

    void AddLayout(const std::string& relative, const std::string& xml)
    {
        data.Write(relative, xml);
        std::wstring name = platform::Widen(relative.substr(relative.find('/') + 1));
        const wchar_t* path = singleton<CResourceFileManager>::GetSingleton().GetFullPathNameW(name, 9);
        ASSERT_NE(path, nullptr) << relative;
        kv.iface.AddFile(path, xml);
    }

    void EnterBoth()
    {
        host.Enter(0, 0);
        guest.Enter(0, 0);
    }
    // One frame of both machines: each first takes what arrived (the other's game messages of
    // the last frame, its own scene messages), then runs its frame.
    void Frame(float seconds = 0.02f)
    {
        for (TestBattle* self : {&host, &guest}) {
            TestBattle& other = self == &host ? guest : host;
            std::vector<std::vector<uint8_t>> arrived;
            arrived.swap(other.outbox);
            for (const auto& record : arrived)
                self->Receive(record);
            self->DeliverLocal();
            self->Update(seconds);
            self->DeliverLocal();
        }
        singleton<CInputKeyboard>::GetSingleton().Update();
    }
    void Frames(int n, float seconds = 0.02f)
    {
        for (int i = 0; i < n; ++i)
            Frame(seconds);
    }
    // Both past the ready-go into play.
    void Play()
    {
        EnterBoth();
        for (int i = 0; i < 100 && (host.m_nState == kGameStateStart || guest.m_nState == kGameStateStart); ++i)
            Frame();
        ASSERT_EQ(host.m_nState, kGameStatePlaying);
        ASSERT_EQ(guest.m_nState, kGameStatePlaying);
        // Nothing from the boards' first moves, so each test starts from empty stacks.
        for (TestBattle* s : {&host, &guest})
            for (int c = 0; c < 3; ++c)
                s->m_pBoard->bullets[c] = 0;
    }

    enginetest::animxml::DataFolder data;
    testsupport::KVEnvironment kv;
    enginetest::RecordingRenderBackend renderer;
    enginetest::FakeInputPlatform input;
    std::unique_ptr<CSceneManager> manager;
    TestBattle host{true};
    TestBattle guest{false};
};

} // namespace netbattletest
