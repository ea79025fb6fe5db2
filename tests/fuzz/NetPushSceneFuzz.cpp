// Fuzzes the online push scene with what the other machine may send once the client has let it
// through (a game message of a known id and exactly its length, any field values), mixed with the
// scene's own board and field reports and its frames, in either role. Whatever arrives, the
// field's lanes stay inside their limits, its traps on the three lanes and two sides and no more
// than its state can carry, and the state it sends back decodes.
#include "FuzzSinks.h"
#include "FuzzSupport.h"

#include "board/GameMessages.h"
#include "engine/SceneMessage.h"
#include "modes/VanteoBaseScene.h"
#include "net/NetGameMessages.h"
#include "online/SteamVanteoScene_Push.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Keeps the scene's local messages until the next frame hands them back, as the scene queue does.
class QueueSink : public IMessageSink {
public:
    void Post(int32_t id, const uint8_t* payload, size_t bytes) override
    {
        if (queued.size() < 256)
            queued.push_back({id, std::vector<uint8_t>(payload, payload + bytes)});
    }
    struct Message {
        int32_t id;
        std::vector<uint8_t> payload;
    };
    std::vector<Message> queued;
};

class FuzzPushScene : public SteamVanteoScene_Push {
public:
    FuzzPushScene(IMessageSink* messages, ISoundSink* sounds, bool hosting)
        : SteamVanteoScene_Push(messages, sounds), host(hosting)
    {
    }
    bool Hosting() const override { return host; }
    bool SendGameMessage(int32_t id, const PayloadWriter& fields) override
    {
        // What the scene sends must be a record the other machine's client accepts.
        const std::vector<uint8_t> record = netmsg::Build(id, 1, fields);
        if (!netmsg::Parse(record.data() + 4, record.size() - 4))
            std::abort();
        if (id == netmsg::kPushState) {
            PushLaneState state;
            if (!state.Decode(record.data() + 16, record.size() - 16))
                std::abort();
        }
        return true;
    }
    bool host;
};

void Deliver(CScene& scene, int32_t id, const uint8_t* payload, size_t bytes)
{
    std::vector<uint8_t> data(kSceneMessageDataBytes, 0);
    std::memcpy(data.data(), &id, 4);
    bytes = std::min(bytes, data.size() - 4);
    if (bytes > 0)
        std::memcpy(data.data() + 4, payload, bytes);
    scene.Dispatch(id, data.data(), static_cast<int>(4 + bytes));
}

// The messages a step may deliver: the other machine's game messages (the sender and the
// fields come from the input) and the scene's own local ones.
constexpr int32_t kNetIds[] = {netmsg::kPushState, netmsg::kFireRequest, netmsg::kBigStone, netmsg::kPushPoints,
                               netmsg::kPushBlockDrop, netmsg::kBoardLayout, netmsg::kRotate};
constexpr int32_t kLocalIds[] = {MSG_GROUP_CLEARED, MSG_BIG_STAR, MSG_BIG_STONE, MSG_PUSH_BLOCK_DROP, 2102, 2114,
                                 MSG_COMBO};

// `ownStones`: the stone squares the scene's own board reported; each may add one trap beyond
// what the other machine can cause.
void Check(const PushBlockSet& field, size_t ownStones)
{
    if (field.stones.size() > static_cast<size_t>(PushLaneState::kMaxStones) + ownStones)
        std::abort();
    for (const PushStone& s : field.stones)
        if (s.lane < 0 || s.lane > 2 || (s.side != 0 && s.side != 1) || !std::isfinite(s.limit))
            std::abort();
    for (const PushLane& lane : field.lanes)
        if (!(std::fabs(lane.pos) <= PushBlockSet::kLaneLimit) || !(std::fabs(lane.target) <= PushBlockSet::kLaneLimit))
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::EnterPrivateFolder(argc, argv, "fuzz_NetPushScene");
    return 0;
}

// Input: a role byte, then steps: a selector byte and, for a message, its payload bytes (as many
// as the message holds, zero-filled when the input ends).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // One scene of each role, entered once (entering builds boards and windows, which is slow);
    // every input starts it again from a fresh field in play.
    static fuzzsupport::NullSounds sounds;
    static QueueSink local;
    static FuzzPushScene* scenes[2] = {};
    FuzzPushScene*& entered = scenes[data[0] & 1];
    if (!entered) {
        entered = new FuzzPushScene(&local, &sounds, data[0] & 1);
        entered->Enter(0, 0);
    }
    FuzzPushScene& scene = *entered;
    local.queued.clear();
    scene.m_Field.Reset();
    scene.m_ReadyGo.m_bPlaying = false;
    scene.m_nState = kGameStateStart;
    scene.m_bDisconnected = 0;
    scene.m_bStateChanged = 0;
    scene.Update(0.02f);
    size_t at = 1;
    size_t ownStones = 0;
    // Frames run the two boards' hundreds of blocks: a few per input leave time for messages.
    int frames = 0;
    auto take = [&](size_t bytes) {
        std::vector<uint8_t> out(bytes, 0);
        const size_t n = std::min(bytes, size - at);
        if (n > 0)
            std::memcpy(out.data(), data + at, n);
        at += n;
        return out;
    };
    for (int step = 0; step < 200 && at < size; ++step) {
        const uint8_t selector = data[at++];
        const size_t netCount = std::size(kNetIds), localCount = std::size(kLocalIds);
        if (selector % 16 < netCount) {
            const int32_t id = kNetIds[selector % 16];
            const std::vector<uint8_t> payload = take(static_cast<size_t>(netmsg::RecordLength(id) - 4));
            Deliver(scene, id, payload.data(), payload.size());
        } else if (selector % 16 < netCount + localCount) {
            const int32_t id = kLocalIds[selector % 16 - netCount];
            ownStones += id == MSG_BIG_STONE ? 1 : 0;
            const std::vector<uint8_t> payload = take(static_cast<size_t>(MinimumMessageLength(id) - 4));
            Deliver(scene, id, payload.data(), payload.size());
        } else if (frames++ < 12) {
            // A frame: the local messages of the last one come back first.
            std::vector<QueueSink::Message> queued;
            queued.swap(local.queued);
            for (const QueueSink::Message& m : queued)
                Deliver(scene, m.id, m.payload.data(), m.payload.size());
            scene.Update(static_cast<float>(selector >> 4) * 0.05f);
        }
        Check(scene.m_Field, ownStones);
    }
    return 0;
}
