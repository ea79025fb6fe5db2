// Fuzzes the lobby owner's side of the lobby protocol: whatever frames up to four connections
// send (joins, data, chat, ticket secrets, leaves, broken frames), the owner keeps no more
// members than the lobby's limit, each member once and shown by a name no other member shows,
// and every chat line on one line with its id in the game's range.
// The input is a list of frames, each a byte naming the connection, a uint16 little-endian length
// and the frame's bytes.
#include "FuzzSupport.h"
#include "LobbyChecks.h"

#include "../../platform/steam/Online.h"

#include <algorithm>

using namespace platform::steam;

namespace {

constexpr uint64_t kSelf = 0x1000000000000111;
constexpr uint64_t kLobby = 0x2000000000000042;
constexpr int32_t kLimit = 4;

OnlineContext* g_context = nullptr;
fuzzsupport::ChatIds* g_sink = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::EnterPrivateFolder(argc, argv, "fuzz_LobbyGuestFrames");
    g_sink = new fuzzsupport::ChatIds;
    g_context = new OnlineContext(CSteamID(kSelf), "Host", MakeEmbeddedBackend("online"), *g_sink);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<GuestFrame> frames;
    for (size_t at = 0; at + 3 <= size;) {
        GuestFrame arriving;
        arriving.from = data[at];
        size_t length = data[at + 1] | static_cast<size_t>(data[at + 2]) << 8;
        at += 3;
        length = std::min(length, size - at);
        arriving.frame.assign(data + at, data + at + length);
        frames.push_back(std::move(arriving));
        at += length;
    }
    LobbyRecord lobby;
    lobby.id = kLobby;
    lobby.owner = kSelf;
    lobby.type = k_ELobbyTypePublic;
    lobby.limit = kLimit;
    lobby.ip = kLoopback;
    lobby.port = 9;
    lobby.server.id = 0x3000000000000007;
    lobby.members.push_back({kSelf, "Host", {}});
    g_sink->ids.clear();
    ReplayGuestFrames(g_context->Lobbies(), lobby, frames);

    fuzzsupport::CheckLobby(*g_context, CSteamID(kLobby), g_sink->ids, 1, kLimit);
    return 0;
}
