// Fuzzes a lobby member's side of the lobby protocol: whatever frames an owner sends after a
// join, the member keeps at most the lobby's members, shows each member by a name no other
// member shows, keeps every chat line on one line and every chat id in the game's range.
// The input is a list of frames, each a uint16 little-endian length and its bytes; the first
// frames of each corpus input enter the lobby (ENTER, SNAPSHOT).
#include "FuzzSupport.h"
#include "LobbyChecks.h"

#include "../../platform/steam/Online.h"

#include <algorithm>

using namespace platform::steam;

namespace {

constexpr uint64_t kSelf = 0x1000000000000B0B;
constexpr uint64_t kLobby = 0x2000000000000042;

OnlineContext* g_context = nullptr;
fuzzsupport::ChatIds* g_sink = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::EnterPrivateFolder(argc, argv, "fuzz_LobbyOwnerFrames");
    g_sink = new fuzzsupport::ChatIds;
    g_context = new OnlineContext(CSteamID(kSelf), "Bee", MakeEmbeddedBackend("online"), *g_sink);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<Bytes> frames;
    for (size_t at = 0; at + 2 <= size;) {
        size_t length = data[at] | static_cast<size_t>(data[at + 1]) << 8;
        at += 2;
        length = std::min(length, size - at);
        frames.emplace_back(data + at, data + at + length);
        at += length;
    }
    LobbyRecord lobby;
    lobby.id = kLobby;
    lobby.owner = 0x1000000000000111;
    lobby.type = k_ELobbyTypePublic;
    lobby.limit = 2;
    lobby.ip = kLoopback;
    lobby.port = 9;
    lobby.members.push_back({lobby.owner, "Owner", {}});
    g_sink->ids.clear();
    ReplayOwnerFrames(g_context->Lobbies(), lobby, frames);

    fuzzsupport::CheckLobby(*g_context, CSteamID(kLobby), g_sink->ids, 0, static_cast<int>(kMaxLobbyMembers));
    return 0;
}
