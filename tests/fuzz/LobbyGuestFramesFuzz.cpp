// Fuzzes the lobby owner's side of the lobby protocol: whatever frames up to four connections
// send (joins, data, chat, ticket secrets, leaves, broken frames), the owner keeps no more
// members than the lobby's limit, each member once and shown by a name no other member shows,
// and every chat line on one line with its id in the game's range.
// The input is a list of frames, each a byte naming the connection, a uint16 little-endian length
// and the frame's bytes.
#include "FuzzSupport.h"

#include "../../platform/steam/Online.h"

#include <algorithm>
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

constexpr uint64_t kSelf = 0x1000000000000111;
constexpr uint64_t kLobby = 0x2000000000000042;
constexpr int32_t kLimit = 4;

OnlineContext* g_context = nullptr;
ChatIds* g_sink = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::EnterPrivateFolder(argc, argv, "fuzz_LobbyGuestFrames");
    g_sink = new ChatIds;
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

    ISteamMatchmaking* matchmaking = g_context->Matchmaking();
    CSteamID id(kLobby);
    int members = matchmaking->GetNumLobbyMembers(id);
    if (members < 1 || members > kLimit)
        std::abort();
    std::set<uint64_t> ids;
    std::set<std::string> shown;
    for (int i = 0; i < members; ++i) {
        CSteamID member = matchmaking->GetLobbyMemberByIndex(id, i);
        if (member.ConvertToUint64() == 0 || !ids.insert(member.ConvertToUint64()).second)
            std::abort();  // nobody, or one member twice
        std::string name = g_context->PersonaOf(member);
        if (!shown.insert(name).second || std::any_of(name.begin(), name.end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
            }))
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
