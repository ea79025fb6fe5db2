// The socket protocol between the host's game server and the two clients, and the local scene
// messages that the client, the server and the lobby objects post. Every socket message begins
// with its 32-bit id, little-endian, with no other header; the sizes below are exact.
#pragma once

#include "board/GameSeams.h"

#include <cstdint>

// Server to client.
inline constexpr int32_t MSG_SERVER_INFO = 1025;
inline constexpr int32_t MSG_SERVER_FAIL_AUTH = 1026;
inline constexpr int32_t MSG_SERVER_ACCEPT_CONNECTION = 1027;
inline constexpr int32_t MSG_SERVER_UPDATE_WORLD = 1028;
inline constexpr int32_t MSG_SERVER_EXITING = 1029;
// Client to server (1527 also server to the other clients, unchanged).
inline constexpr int32_t MSG_CLIENT_INITIATE_CONNECTION = 1525;
inline constexpr int32_t MSG_CLIENT_BEGIN_AUTH = 1526;
inline constexpr int32_t MSG_CLIENT_LEAVING_SERVER = 1528;

inline constexpr uint32_t kServerInfoBytes = 152;
inline constexpr uint32_t kServerNameBytes = 128;
inline constexpr uint32_t kBeginAuthBytes = 1032;
inline constexpr uint32_t kAuthTokenBytes = 1024;
inline constexpr uint32_t kWorldUpdateBytes = 8;
inline constexpr uint32_t kAcceptConnectionBytes = 8;

// Local scene messages.
inline constexpr int32_t MSG_LOBBY_LIST_CHANGED = 2107;
inline constexpr int32_t MSG_LOBBY_CHANGED = 2108;
inline constexpr int32_t MSG_LOBBY_CHAT = 2109;
inline constexpr int32_t MSG_NET_PLAYER_CONNECTED = 2113;
inline constexpr int32_t MSG_NET_PLAYER_REMOVED = 2114;
inline constexpr int32_t MSG_LOBBY_START_GAME = 2142;
inline constexpr int32_t MSG_LOBBY_GAME_STARTING = 2143;

// The server's game states.
namespace serverstate {
inline constexpr int kWaiting = 0;
inline constexpr int kActive = 1;
inline constexpr int kPlaying = 2;
inline constexpr int kGameOver = 4;
} // namespace serverstate

// One socket message built field by field.
inline std::vector<uint8_t> SocketMessage(int32_t id, const PayloadWriter& fields = PayloadWriter())
{
    PayloadWriter out;
    out.I32(id);
    std::vector<uint8_t> bytes = out.Bytes();
    bytes.insert(bytes.end(), fields.Bytes().begin(), fields.Bytes().end());
    return bytes;
}

// The 32-bit word at a byte offset of a message the caller has checked to be long enough.
inline uint32_t WordAt(const uint8_t* data, size_t offset)
{
    return static_cast<uint32_t>(data[offset]) | static_cast<uint32_t>(data[offset + 1]) << 8 |
           static_cast<uint32_t>(data[offset + 2]) << 16 | static_cast<uint32_t>(data[offset + 3]) << 24;
}
inline uint64_t QuadAt(const uint8_t* data, size_t offset)
{
    return WordAt(data, offset) | static_cast<uint64_t>(WordAt(data, offset + 4)) << 32;
}
