// Fuzzes the game server's receive path and its admission: messages of any id, size and bytes
// from a handful of connections, interleaved with the platform's verdicts, dropped connections,
// real tickets and the passing of time. Each message is handed over in a buffer of exactly its
// size; no connection may hold two places, and the places in use never pass the player limit.
#include "FuzzSupport.h"
#include "FuzzSinks.h"

#include "net/ServerMessages.h"
#include "net/SteamServer.h"

#include <steam/SteamApi.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

uint64_t g_now = 1000;

void CheckSlots(const CSteamServer& server)
{
    uint32_t inUse = 0;
    for (uint32_t i = 0; i < server.m_uMaxPlayers; ++i) {
        const ServerClientSlot& pending = server.m_rgPendingClientData[i];
        inUse += server.m_rgClientData[i].m_bActive ? 1 : 0;
        inUse += pending.m_hSocket != 0 ? 1 : 0;
        for (uint32_t j = i + 1; j < server.m_uMaxPlayers && pending.m_hSocket != 0; ++j)
            if (server.m_rgPendingClientData[j].m_hSocket == pending.m_hSocket)
                std::abort();
        if (pending.m_hSocket == 0 && pending.m_bActive)
            std::abort();
    }
    if (inUse > server.m_uMaxPlayers)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::EnterPrivateFolder(argc, argv, "fuzz_ServerReceive");
    std::filesystem::create_directories("profile");
    std::filesystem::create_directories("online");
    setenv("QUIBLY_PROFILE_DIR", (std::filesystem::current_path() / "profile").c_str(), 1);
    setenv("QUIBLY_ONLINE_DIR", (std::filesystem::current_path() / "online").c_str(), 1);
    SteamAPI_Init();
    return 0;
}

// Input: operations, each a byte naming it and its bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzzsupport::NullMessages messages;
    static CSteamServer* server = [] {
        auto* s = new CSteamServer([] { return g_now; });
        s->SetMessageSink(&messages);
        s->RunFrame();
        return s;
    }();
    // Every input starts from a server with no players.
    for (uint32_t i = 0; i < CSteamServer::kMaxSlots; ++i) {
        server->m_rgClientData[i] = ServerClientSlot{};
        server->m_rgPendingClientData[i] = ServerClientSlot{};
    }
    server->m_eGameState = serverstate::kWaiting;
    server->m_uExpectedPlayers = 2;
    size_t at = 0;
    while (at + 2 <= size) {
        const uint8_t op = data[at];
        const SNetSocket_t socket = 0x7000 + (data[at + 1] % 5);
        at += 2;
        switch (op % 6) {
        case 0: {  // a message: a 16-bit size, then its bytes
            if (at + 2 > size)
                return 0;
            const size_t bytes = std::min<size_t>(data[at] | (data[at + 1] << 8), size - at - 2);
            std::vector<uint8_t> message(data + at + 2, data + at + 2 + bytes);
            server->HandleClientMessage(socket, message.data(), static_cast<uint32_t>(message.size()));
            at += 2 + bytes;
            break;
        }
        case 1: {  // a ticket the platform can read, for a user the input names
            uint8_t token[kAuthTokenBytes] = {};
            int length = SteamUser() ? SteamUser()->InitiateGameConnection(token, sizeof token,
                                                                           SteamGameServer()->GetSteamID(), 0, 0, false)
                                     : 0;
            server->OnClientBeginAuthentication(socket, token, static_cast<uint32_t>(length > 0 ? length : 0));
            break;
        }
        case 2: {  // the platform's verdict on the user of a place
            const ServerClientSlot& pending = server->m_rgPendingClientData[data[at - 1] % CSteamServer::kMaxPlayers];
            if (op & 0x80) {
                GSClientApprove_t approve{pending.m_SteamIDUser};
                server->OnGSClientApprove(&approve);
            } else {
                GSClientDeny_t deny{};
                deny.m_SteamID = pending.m_SteamIDUser;
                deny.m_eDenyReason = (op & 0x40) ? k_EDenySteamValidationStalled : k_EDenyGeneric;
                server->OnGSClientDeny(&deny);
            }
            break;
        }
        case 3: {  // a connection changes state
            SocketStatusCallback_t status{};
            status.m_hSocket = socket;
            status.m_hListenSocket = server->m_hSocketListen;
            status.m_eSNetSocketState = op & 0x80 ? k_ESNetSocketStateConnectionBroken : k_ESNetSocketStateConnected;
            server->OnSocketStatusCallback(&status);
            break;
        }
        case 4:  // time passes and a frame runs
            g_now += static_cast<uint64_t>(data[at - 1]) * 100;
            server->RunFrame();
            break;
        default:
            server->RemovePlayerFromServer(data[at - 1] % 12);
            break;
        }
        CheckSlots(*server);
    }
    return 0;
}
