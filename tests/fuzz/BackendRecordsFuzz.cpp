// Fuzzes what the online backends read from storage every player can write: the shared folder's
// lobby records, persona names, game-server entries and leaderboards, read through the embedded
// backend's own calls from a private folder, and the Redis values (lobby records, game servers,
// persona names) through the parsers the Redis backend reads them with. Whatever the bytes, a
// listed lobby is within its caps and served on the loopback, a name is one line within its cap,
// a game server has a port, and a damaged leaderboard is set aside so the board opens afresh.
// The first byte chooses the record's kind.
#include "FuzzSupport.h"

#include "../../platform/steam/OnlineBackend.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace platform::steam;
namespace fs = std::filesystem;

namespace {

constexpr uint64_t kId = 0x00000000000000aa;
const char* kIdName = "00000000000000aa";

std::unique_ptr<IOnlineBackend> g_backend;

void Write(const std::string& path, const Bytes& bytes)
{
    if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
        if (!bytes.empty())
            std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
}

void CheckName(const std::string& name)
{
    if (name.size() > kMaxNameBytes || !IsValidUtf8(name))
        std::abort();
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F)
            std::abort();
}

void CheckLobby(const LobbyRecord& lobby)
{
    if (lobby.id == 0 || lobby.members.size() > kMaxLobbyMembers || lobby.data.size() > kMaxLobbyKeys ||
        EncodeLobby(lobby).size() > kMaxLobbyRecordBytes + kMaxFramePayload)
        std::abort();
    for (const LobbyMember& member : lobby.members)
        CheckName(member.name);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::EnterPrivateFolder(argc, argv, "fuzz_BackendRecords");
    g_backend = MakeEmbeddedBackend("online");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    Bytes bytes(data + 1, data + size);
    std::string text(bytes.begin(), bytes.end());
    switch (data[0] % 7) {
    case 0: {  // a lobby record in the folder; the file is fresh, so it counts as announced
        Write(std::string("online/lobbies/") + kIdName, bytes);
        std::vector<LobbyRecord> lobbies;
        g_backend->ListLobbies(lobbies);
        for (const LobbyRecord& lobby : lobbies)
            if (lobby.id != kId || (lobby.ip >> 24) != 127)
                std::abort();
            else
                CheckLobby(lobby);
        LobbyRecord found;
        if (g_backend->FindLobby(kId, found))
            CheckLobby(found);
        break;
    }
    case 1: {  // a persona name in the folder
        Write(std::string("online/personas/") + kIdName, bytes);
        std::string name;
        if (g_backend->FindPersona(kId, name))
            CheckName(name);
        break;
    }
    case 2: {  // a game server in the folder
        Write(std::string("online/servers/") + kIdName, bytes);
        uint32_t ip = 0;
        uint16_t port = 0;
        if (g_backend->FindServer(kId, ip, port) && port == 0)
            std::abort();
        break;
    }
    case 3: {  // a leaderboard in the folder: it opens, damaged or not, and takes a score
        Write("online/boards/66757a7a", bytes);  // the board "fuzz"
        BoardInfo info;
        if (!g_backend->OpenBoard("fuzz", k_ELeaderboardSortMethodDescending, k_ELeaderboardDisplayTypeNumeric, info))
            std::abort();
        UploadOutcome outcome;
        if (!g_backend->UploadScore("fuzz", {kId, 5, "Bee"}, k_ELeaderboardUploadScoreMethodKeepBest, outcome))
            std::abort();
        break;
    }
    case 4: {  // a Redis lobby value
        LobbyRecord lobby;
        if (DecodeLobby(bytes, lobby))
            CheckLobby(lobby);
        break;
    }
    case 5: {  // a Redis game-server value
        uint32_t ip = 0;
        uint16_t port = 0;
        if (ParseServerValue(text, ip, port) && port == 0)
            std::abort();
        break;
    }
    default:  // a Redis persona name, as FindPersona cleans it
        CheckName(CleanLine(text, kMaxNameBytes));
        break;
    }
    return 0;
}
