#include "board/GameSeams.h"

#include "engine/SceneManager.h"

#include <cstddef>

#include <helvane/Log.h>

GameRandom& GetGameRandom()
{
    static GameRandom random;
    return random;
}

namespace {
// The packet header followed directly by the payload, as the queue copies it.
struct RawPacket {
    SceneMessagePacket header;
    uint8_t payload[kSceneMessageDataBytes - 4];
};
static_assert(offsetof(RawPacket, payload) == sizeof(SceneMessagePacket));
}

void SceneQueueSink::Post(int32_t id, const uint8_t* payload, size_t bytes)
{
    RawPacket packet{};
    if (bytes > sizeof(packet.payload)) {
        DFLog(LOG_WARN, L"SceneQueueSink: message %d refused, %d payload bytes", id, static_cast<int>(bytes));
        return;
    }
    packet.header.id = id;
    packet.header.length = static_cast<int32_t>(4 + bytes);
    if (bytes)
        std::memcpy(packet.payload, payload, bytes);
    if (CSceneManager* manager = CSceneManager::GetSingletonPtr())
        manager->PostMessage(&packet.header);
}

SceneQueueSink& GetSceneQueueSink()
{
    static SceneQueueSink sink;
    return sink;
}
