// Scene messages: what a poster builds (SceneMessagePacket) and what the scene manager queues
// and delivers (SceneMessage). Ids 2025 to 2143 are the game's vocabulary.
#pragma once

#include <cstdint>

inline constexpr int32_t kSceneMessageDataBytes = 1024;

// The poster's packet: length counts the bytes from the id field to the end of the payload
// (4 + payload size, at most 1024). Derived packets add their payload fields after the id.
struct SceneMessagePacket {
    int32_t length = 4;
    int32_t id = 0;
};

// The queued copy: data starts with the id again and the payload follows at data + 4.
struct SceneMessage {
    int32_t id = 0;
    uint8_t data[kSceneMessageDataBytes];
    // The packet's length: the bytes of data that the poster filled, id word included.
    int32_t extra = 0;
};

// The change-scene message: a scene name and the two values for the target's Enter.
inline constexpr int32_t kSceneMessageChangeScene = 2027;
struct ChangeScenePacket : SceneMessagePacket {
    char sceneName[64] = {};
    int32_t a = 0;
    int32_t b = 0;
};
