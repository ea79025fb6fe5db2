// A small program playing one side of an online meeting through the platform client, for the
// two-process test: "host" makes a lobby, chats, runs a game server and echoes what its client
// sends; "guest" finds the lobby, joins, chats, connects to the server, authenticates and checks
// the echoes. Each step is printed on stdout; exit status 0 when the whole meeting went through.
// Every wait is bounded: the program gives up after 20 s.
#include "steam/SteamApi.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kMessages = 5;
constexpr uint32_t kMessageBytes = 1040;
const auto kDeadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);

bool Wait(const std::function<bool()>& done)
{
    while (std::chrono::steady_clock::now() < kDeadline) {
        SteamAPI_RunCallbacks();
        SteamGameServer_RunCallbacks();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

int Fail(const char* step)
{
    std::printf("failed: %s\n", step);
    std::fflush(stdout);
    return 1;
}

template <typename P, bool Server = false>
struct Heard {
    Heard() : callback(this, &Heard::On) {}
    void On(P* record) { records.push_back(*record); }
    std::vector<P> records;
    CCallback<Heard, P, Server> callback;
};

template <typename P>
struct Answer {
    void Bind(SteamAPICall_t call) { result.Set(call, this, &Answer::On); }
    void On(P* record, bool failure)
    {
        got = true;
        ioFailure = failure;
        value = *record;
    }
    bool got = false;
    bool ioFailure = false;
    P value{};
    CCallResult<Answer, P> result;
};

std::string ChatText(CSteamID lobby, const LobbyChatMsg_t& message)
{
    char text[128] = {};
    int bytes = SteamMatchmaking()->GetLobbyChatEntry(lobby, static_cast<int>(message.m_iChatID), nullptr, text, 127,
                                                      nullptr);
    return std::string(text, static_cast<size_t>(bytes));
}

int Host()
{
    Heard<LobbyChatUpdate_t> members;
    Heard<LobbyChatMsg_t> chat;
    Heard<SocketStatusCallback_t, true> sockets;
    Heard<GSClientApprove_t, true> approved;
    Heard<GSClientDeny_t, true> denied;
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    Answer<LobbyCreated_t> created;
    created.Bind(matchmaking->CreateLobby(k_ELobbyTypePublic, 2));
    if (!Wait([&] { return created.got; }) || created.value.m_eResult != k_EResultOK)
        return Fail("create lobby");
    CSteamID lobby(created.value.m_ulSteamIDLobby);
    matchmaking->SetLobbyData(lobby, "name", (std::string(SteamFriends()->GetPersonaName()) + "'s lobby").c_str());
    matchmaking->SetLobbyData(lobby, "Mode", "2");
    matchmaking->SetLobbyData(lobby, "Type", "0");
    std::printf("lobby created\n");
    std::fflush(stdout);

    if (!Wait([&] { return !members.records.empty(); }))
        return Fail("a member enters");
    CSteamID guest(members.records[0].m_ulSteamIDUserChanged);
    std::printf("member entered: %s\n", SteamFriends()->GetFriendPersonaName(guest));
    if (!Wait([&] { return !chat.records.empty(); }))
        return Fail("chat from the member");
    std::printf("chat: %s\n", ChatText(lobby, chat.records[0]).c_str());
    const char welcome[] = "welcome";
    matchmaking->SendLobbyChatMsg(lobby, welcome, static_cast<int>(std::strlen(welcome)));

    if (!SteamGameServer_Init(0, 8766, 27015, 0, 27016, 3, "vanteo", "1.0.0.0"))
        return Fail("game server start");
    ISteamGameServerNetworking* network = SteamGameServerNetworking();
    SNetListenSocket_t listen = network->CreateListenSocket(0, 0, 27015, true);
    uint32_t ip = 0;
    uint16_t port = 0;
    if (listen == 0 || !network->GetListenSocketInfo(listen, &ip, &port))
        return Fail("listen socket");
    matchmaking->SetLobbyGameServer(lobby, ip, port, SteamGameServer()->GetSteamID());

    // The first message is the ticket; every later one is echoed until the client goes.
    int echoed = 0;
    bool authenticated = false;
    std::vector<uint8_t> buffer(524288);
    bool done = Wait([&] {
        uint32_t size = 0;
        SNetSocket_t from = 0;
        while (network->RetrieveData(listen, buffer.data(), static_cast<uint32_t>(buffer.size()), &size, &from)) {
            if (!authenticated) {
                CSteamID user;
                SteamGameServer()->SendUserConnectAndAuthenticate(ip, buffer.data(), size, &user);
                authenticated = true;
                continue;
            }
            network->SendDataOnSocket(from, buffer.data(), size, false);
            ++echoed;
        }
        for (const SocketStatusCallback_t& status : sockets.records)
            if (status.m_eSNetSocketState >= k_ESNetSocketStateDisconnecting)
                return true;
        return false;
    });
    std::printf("approved: %zu denied: %zu echoed: %d\n", approved.records.size(), denied.records.size(), echoed);
    if (!done || approved.records.size() != 1 || echoed != kMessages)
        return Fail("serve the client");
    matchmaking->LeaveLobby(lobby);
    SteamGameServer()->LogOff();
    std::printf("host done\n");
    return 0;
}

int Guest()
{
    Heard<LobbyChatMsg_t> chat;
    Heard<LobbyGameCreated_t> gameCreated;
    Heard<SocketStatusCallback_t> sockets;
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    CSteamID lobby;
    // The host may not have announced its lobby yet: ask again until it is listed.
    bool listed = Wait([&] {
        // The list comes as a call result a few pumps later.
        Answer<LobbyMatchList_t> list;
        matchmaking->AddRequestLobbyListStringFilter("Mode", "2", k_ELobbyComparisonEqual);
        list.Bind(matchmaking->RequestLobbyList());
        if (!Wait([&] { return list.got; }))
            return false;
        for (uint32_t i = 0; list.got && i < list.value.m_nLobbiesMatching; ++i) {
            CSteamID candidate = matchmaking->GetLobbyByIndex(static_cast<int>(i));
            if (std::string(matchmaking->GetLobbyData(candidate, "name")) == "Host's lobby")
                lobby = candidate;
        }
        if (!lobby.IsValid())
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return lobby.IsValid();
    });
    if (!listed)
        return Fail("find the host's lobby");
    std::printf("found: %s\n", matchmaking->GetLobbyData(lobby, "name"));
    Answer<LobbyEnter_t> entered;
    entered.Bind(matchmaking->JoinLobby(lobby));
    if (!Wait([&] { return entered.got; }) || entered.value.m_EChatRoomEnterResponse != k_EChatRoomEnterResponseSuccess)
        return Fail("join");
    const char hello[] = "hello host";
    matchmaking->SendLobbyChatMsg(lobby, hello, static_cast<int>(std::strlen(hello)));
    if (!Wait([&] {
            for (const LobbyChatMsg_t& message : chat.records)
                if (ChatText(lobby, message) == "welcome")
                    return true;
            return false;
        }))
        return Fail("chat from the host");
    std::printf("chat: welcome\n");

    if (!Wait([&] { return !gameCreated.records.empty(); }))
        return Fail("game server published");
    CSteamID server(gameCreated.records[0].m_ulSteamIDGameServer);
    SNetSocket_t socket = SteamNetworking()->CreateP2PConnectionSocket(server, 0, 10, true);
    if (!Wait([&] { return !sockets.records.empty(); }) ||
        sockets.records[0].m_eSNetSocketState != k_ESNetSocketStateConnected)
        return Fail("connect to the game server");
    uint8_t ticket[1024];
    int length = SteamUser()->InitiateGameConnection(ticket, sizeof ticket, server, gameCreated.records[0].m_unIP,
                                                     gameCreated.records[0].m_usPort, false);
    if (length <= 0 || !SteamNetworking()->SendDataOnSocket(socket, ticket, static_cast<uint32_t>(length), true))
        return Fail("send the ticket");
    for (int m = 0; m < kMessages; ++m) {
        std::vector<uint8_t> message(kMessageBytes, static_cast<uint8_t>(m + 1));
        if (!SteamNetworking()->SendDataOnSocket(socket, message.data(), kMessageBytes, false))
            return Fail("send");
    }
    int matched = 0;
    std::vector<uint8_t> buffer(524288);
    Wait([&] {
        uint32_t size = 0;
        while (SteamNetworking()->RetrieveDataFromSocket(socket, buffer.data(), static_cast<uint32_t>(buffer.size()), &size))
            if (size == kMessageBytes && buffer[0] == matched + 1 && buffer[kMessageBytes - 1] == matched + 1)
                ++matched;
        return matched == kMessages;
    });
    std::printf("echoes in order: %d\n", matched);
    if (matched != kMessages)
        return Fail("echoes");
    SteamNetworking()->DestroySocket(socket, true);
    matchmaking->LeaveLobby(lobby);
    std::printf("guest done\n");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::string role = argc > 1 ? argv[1] : "";
    if (role != "host" && role != "guest") {
        std::fprintf(stderr, "usage: %s host|guest\n", argv[0]);
        return 2;
    }
    if (!SteamAPI_Init())
        return Fail("platform start");
    int status = role == "host" ? Host() : Guest();
    SteamAPI_Shutdown();
    return status;
}
