// Fuzzes the online battle's handlers with what the other machine may send: records of the game
// messages, exactly as long as their ids (the length the client lets through), with any field
// values, interleaved with frames of the scene. The first byte chooses the role; then each chunk
// is one byte choosing the id, then the record's fields; a chunk's first byte with its high bit
// set runs a frame instead. Nothing may read out of bounds, overflow, or grow without limit.
#include "board/VanteoBlockMap.h"
#include "engine/SceneMessage.h"
#include "menus/GameWorld.h"
#include "net/NetGameMessages.h"
#include "online/SteamVanteoScene.h"

#include "FuzzSinks.h"

#include <helvane/Log.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Posts back into the scene, as the scene queue would at the next frame.
class LoopBack : public IMessageSink {
public:
    void Post(int32_t id, const uint8_t* payload, size_t bytes) override
    {
        std::vector<uint8_t> message(4 + bytes);
        std::memcpy(message.data(), &id, 4);
        if (bytes)
            std::memcpy(message.data() + 4, payload, bytes);
        if (queued.size() < 256)
            queued.push_back(std::move(message));
    }
    std::vector<std::vector<uint8_t>> queued;
};

class FuzzBattle : public SteamVanteoScene {
public:
    FuzzBattle()
    {
        SetLocalSinks(&loop, &sounds);
        VanteoBaseScene::Enter(0, 0);
        RegisterMatchMessages();
        m_pBoard = new VanteoBlockMap(MakeBoardWorld(), GameBoardTuning);
        m_pBoard->Init(nullptr, -1, -1);
        CreateMirrorBoard(34, 197);
        m_pOpponent = std::make_unique<Player_Net>();
        m_Lane.Context().messages = &loop;
        m_Lane.Context().sounds = &sounds;
        m_bEntered = true;
    }
    // A fresh match in the given role; the scene is built once, as building it is slow.
    void Begin(bool hosting)
    {
        host = hosting;
        loop.queued.clear();
        m_Lane.Reset();
        m_Lane.SetHost(host);
        m_Lane.Context().serials.SetNextUnit(host ? 0 : kGuestFirstSerial);
        m_nState = kGameStatePlaying;
        m_bDisconnected = 0;
        m_fItemTimer = kFirstItemTimer;
        m_Player.m_fRealHp = m_Player.m_fShownHp = 1000.0f;
        m_pOpponent->m_fRealHp = m_pOpponent->m_fShownHp = 1000.0f;
        for (int c = 0; c < 3; ++c) {
            m_pOpponent->m_nBullets[c] = 0;
            m_pBoard->bullets[c] = 0;
        }
    }
    ~FuzzBattle() override
    {
        m_bEntered = false;
        DeleteBoards();
    }
    bool Hosting() const override { return host; }
    bool SendGameMessage(int32_t, const PayloadWriter&) override { return true; }

    void Deliver(const std::vector<uint8_t>& message)
    {
        std::vector<uint8_t> bytes(kSceneMessageDataBytes, 0);
        std::memcpy(bytes.data(), message.data(), std::min(message.size(), bytes.size()));
        int32_t id = 0;
        std::memcpy(&id, bytes.data(), 4);
        Dispatch(id, bytes.data(), static_cast<int>(message.size()));
    }
    void Frame()
    {
        for (int round = 0; round < 4 && !loop.queued.empty(); ++round) {
            std::vector<std::vector<uint8_t>> now;
            now.swap(loop.queued);
            for (const auto& m : now)
                Deliver(m);
        }
        Update(0.05f);
        if (m_Lane.m_Mines.size() > kMaxLaneMines + 64 || m_Lane.m_EnemyUnits.size() + m_Lane.m_PlayerUnits.size() > 100000)
            std::abort();
        for (int c = 0; c < 3; ++c)
            if (m_pOpponent->m_nBullets[c] < 0 || m_pOpponent->m_nBullets[c] > VanteoBlockMap::kMaxBullets)
                std::abort();
    }

    bool host = false;
    LoopBack loop;
    fuzzsupport::NullSounds sounds;
};

constexpr int32_t kIds[] = {netmsg::kHpSync,       netmsg::kSpeedUp,        netmsg::kItemDrop,     netmsg::kItemGet,
                            netmsg::kBoardLayout,  netmsg::kRotate,         netmsg::kBulletGain,   netmsg::kFireRequest,
                            netmsg::kAttackCreated, netmsg::kLaneUnitsMet,  netmsg::kLaneUnitHitMine,
                            netmsg::kBigStone,     netmsg::kLaneUnitPower,  2114,                  2116};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The handlers log every record they refuse; a log that writes nowhere keeps the runs fast
    // (run with QUIBLY_DEBUG_OUTPUT=0 to keep the debugger output quiet too).
    static KdLog quiet(0u);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static FuzzBattle scene;
    scene.Begin((data[0] & 1) != 0);
    size_t at = 1;
    int frames = 0;
    while (at < size && frames < 60) {
        const uint8_t choice = data[at++];
        if (choice & 0x80) {
            scene.Frame();
            ++frames;
            continue;
        }
        const int32_t id = kIds[choice % (sizeof kIds / sizeof kIds[0])];
        const int32_t length = netmsg::RecordLength(id) > 0 ? netmsg::RecordLength(id) : 12;
        std::vector<uint8_t> message(static_cast<size_t>(length), 0);
        std::memcpy(message.data(), &id, 4);
        const size_t take = std::min(size - at, message.size() - 4);
        if (take)
            std::memcpy(message.data() + 4, data + at, take);
        at += take;
        scene.Deliver(message);
    }
    scene.Frame();
    return 0;
}
