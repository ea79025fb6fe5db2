// Fuzzes a lobby member's side of the lobby protocol: whatever frames an owner sends after a
// join, the member keeps at most the lobby's members, shows each member by a name no other
// member shows, keeps every chat line on one line and every chat id in the game's range.
// The input is a list of frames, each a uint16 little-endian length and its bytes; the first
// frames of each corpus input enter the lobby (ENTER, SNAPSHOT).
#include "FuzzSupport.h"

#include "../../platform/steam/Online.h"

#include <cstdlib>
#include <set>

using namespace platform::steam;

namespace {

class ChatIds final : public IEventSink {
public:
    void Client(int id, const void* payload, size_t bytes) override
    {
        if (id == LobbyChatMsg_t::k_iCallback && bytes == sizeof(LobbyChatMsg_t))
            ids.push_back(static_cast<const LobbyChatMsg_t*>(payload)->m_iChatID);
    }
    void ClientResult(SteamAPICall_t, int, const void*, size_t, bool) override {}
    void Server(int, const void*, size_t) override {}
    std::vector<uint32_t> ids;
};

constexpr uint64_t kSelf = 0x1000000000000B0B;
constexpr uint64_t kLobby = 0x2000000000000042;

OnlineContext* g_context = nullptr;
ChatIds* g_sink = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::EnterPrivateFolder(argc, argv, "fuzz_LobbyOwnerFrames");
    g_sink = new ChatIds;
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

    ISteamMatchmaking* matchmaking = g_context->Matchmaking();
    CSteamID id(kLobby);
    int members = matchmaking->GetNumLobbyMembers(id);
    if (members < 0 || members > static_cast<int>(kMaxLobbyMembers))
        std::abort();
    std::set<std::string> shown;
    for (int i = 0; i < members; ++i) {
        std::string name = g_context->PersonaOf(matchmaking->GetLobbyMemberByIndex(id, i));
        if (!shown.insert(name).second || name.find('\n') != std::string::npos)
            std::abort();  // two members look alike, or a name breaks its line
    }
    for (uint32_t chat : g_sink->ids) {
        if (chat < 1 || chat > static_cast<uint32_t>(INT32_MAX))
            std::abort();
        char text[kMaxChatBytes] = {};
        int bytes = matchmaking->GetLobbyChatEntry(id, static_cast<int>(chat), nullptr, text, sizeof text, nullptr);
        for (int i = 0; i < bytes; ++i)
            if (static_cast<unsigned char>(text[i]) < 0x20 || text[i] == 0x7F)
                std::abort();  // a control character would break the line
    }
    matchmaking->LeaveLobby(id);
    return 0;
}
