// A stranger to two players' online match, for the flood end-to-end run. It finds the lobby
// whose owner runs a game server in the shared directory (the backend $QUIBLY_ONLINE chooses)
// and attacks that server and the lobby's owner as anyone who can reach their ports could:
//   1. a connection that says hello and then sends zero-length frames as fast as it can;
//   2. a connection that says hello and then sends MSG_CLIENT_INITIATE_CONNECTION (1525) as fast
//      as it can, never reading what the server answers;
//   3. 60 lines of lobby chat a second on a connection to the lobby's owner, every tenth of 4 KiB;
//   4. 40 connections to the game server that never say hello, held open to the end;
//   5. a connection that says hello, asks to connect and begins authentication with a ticket
//      of its own making, then listens for 5 s.
// Floods 1 to 3 last the given number of seconds each (3 by default); every connection stays
// open until the end. Each step and what came
// of it is printed on stdout, the last line "join: refused", "join: admitted" or "join:
// unanswered", then "game data: <n>", the count of the players' game-data messages that reached
// it. Exit status 0 once every step was made; what the players' programs did is the test's to
// judge. Every wait is bounded.
#include "OnlineBackend.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using platform::steam::Bytes;
using platform::steam::LobbyRecord;
using platform::steam::WireWriter;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kHelloMagic = 0x53474251;  // "QBGS"
constexpr uint32_t kTicketMagic = 0x4B544251; // "QBTK"
constexpr uint64_t kStranger = 0x1100000000000666;
constexpr int32_t kServerFailAuth = 1026;
constexpr int32_t kServerAcceptConnection = 1027;
constexpr int32_t kInitiateConnection = 1525;
constexpr int32_t kBeginAuth = 1526;
constexpr int32_t kGameData = 1527;
constexpr uint32_t kBeginAuthBytes = 1032;
constexpr uint8_t kLobbyJoin = 1;
constexpr uint8_t kLobbyChat = 4;
constexpr int kSilentConnections = 40;

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

Bytes Frame(const Bytes& payload)
{
    Bytes out;
    platform::steam::AppendFrame(out, payload.data(), payload.size());
    return out;
}

// A connected TCP socket made non-blocking, or -1.
int Connect(uint32_t ip, uint16_t port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(ip);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

// Sends what the socket takes of `bytes` within the time; false when the peer has gone.
bool SendSome(int fd, const Bytes& bytes, Clock::time_point until)
{
    size_t sent = 0;
    while (sent < bytes.size() && Clock::now() < until) {
        ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd wait{fd, POLLOUT, 0};
            ::poll(&wait, 1, 10);
        } else {
            return false;
        }
    }
    return true;
}

// Sends `block` over and over for the time; the bytes sent, -1 when the peer went before.
long long Flood(int fd, const Bytes& block, std::chrono::milliseconds length)
{
    const Clock::time_point until = Clock::now() + length;
    long long blocks = 0;
    while (Clock::now() < until) {
        if (!SendSome(fd, block, until))
            return -1;
        ++blocks;
    }
    return blocks * static_cast<long long>(block.size());
}

Bytes Hello(uint64_t server)
{
    WireWriter hello;
    hello.U32(kHelloMagic);
    hello.U64(kStranger);
    hello.U64(server);
    return Frame(hello.Data());
}

Bytes Message(int32_t id)
{
    WireWriter message;
    message.I32(id);
    return message.Take();
}

// Reads the game server's answers for up to `seconds`: whether it refused (an answer of failed
// authentication, or the connection closed), admitted, and how many game-data messages came.
struct JoinOutcome {
    bool refused = false;
    bool admitted = false;
    int gameData = 0;
};
JoinOutcome Listen(int fd, std::chrono::seconds seconds)
{
    JoinOutcome outcome;
    platform::steam::FrameReader reader;
    const Clock::time_point until = Clock::now() + seconds;
    uint8_t buffer[65536];
    while (Clock::now() < until) {
        pollfd wait{fd, POLLIN, 0};
        ::poll(&wait, 1, 50);
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
            outcome.refused = outcome.refused || !outcome.admitted;
            break;
        }
        if (n < 0)
            continue;
        reader.Feed(buffer, static_cast<size_t>(n));
        Bytes payload;
        while (reader.Next(payload) == platform::steam::FrameReader::Status::Frame) {
            if (payload.size() < 4)
                continue;
            int32_t id = static_cast<int32_t>(payload[0] | payload[1] << 8 | payload[2] << 16 |
                                              static_cast<uint32_t>(payload[3]) << 24);
            outcome.refused = outcome.refused || id == kServerFailAuth;
            outcome.admitted = outcome.admitted || id == kServerAcceptConnection;
            outcome.gameData += id == kGameData ? 1 : 0;
        }
    }
    return outcome;
}

} // namespace

int main(int argc, char** argv)
{
    const int floodSeconds = argc > 1 ? std::atoi(argv[1]) : 3;
    const std::chrono::milliseconds floodLength(std::clamp(floodSeconds, 1, 60) * 1000);
    std::unique_ptr<platform::steam::IOnlineBackend> backend = platform::steam::MakeBackendFromEnvironment();

    // The lobby whose owner runs a game server.
    LobbyRecord lobby;
    const Clock::time_point findBy = Clock::now() + std::chrono::seconds(60);
    bool found = false;
    while (!found && Clock::now() < findBy) {
        std::vector<LobbyRecord> lobbies;
        if (backend->ListLobbies(lobbies))
            for (const LobbyRecord& record : lobbies)
                if (record.server.port != 0 && record.port != 0) {
                    lobby = record;
                    found = true;
                }
        if (!found)
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    if (!found) {
        Say("no lobby with a game server was found");
        return 1;
    }
    const platform::steam::GameServerInfo server = lobby.server;
    Say("game server on port " + std::to_string(server.port) + ", lobby owner on port " + std::to_string(lobby.port));

    std::vector<int> held;
    {
        int fd = Connect(server.ip, server.port);
        held.push_back(fd);
        bool greeted = fd >= 0 && SendSome(fd, Hello(server.id), Clock::now() + std::chrono::seconds(1));
        Bytes empties(64 * 1024, 0);
        long long sent = greeted ? Flood(fd, empties, floodLength) : -1;
        Say("zero-length frames: " + (sent < 0 ? std::string("the server closed the connection")
                                                : std::to_string(sent / 4) + " sent"));
    }
    {
        int fd = Connect(server.ip, server.port);
        held.push_back(fd);
        bool greeted = fd >= 0 && SendSome(fd, Hello(server.id), Clock::now() + std::chrono::seconds(1));
        Bytes one = Frame(Message(kInitiateConnection));
        Bytes many;
        for (int i = 0; i < 8192; ++i)
            many.insert(many.end(), one.begin(), one.end());
        long long sent = greeted ? Flood(fd, many, floodLength) : -1;
        Say("connection requests: " + (sent < 0 ? std::string("the server closed the connection")
                                                 : std::to_string(sent / static_cast<long long>(one.size())) + " sent"));
    }
    {
        int fd = Connect(lobby.ip, lobby.port);
        held.push_back(fd);
        WireWriter join;
        join.U8(kLobbyJoin);
        join.U64(kStranger);
        join.Text("Stranger");
        bool open = fd >= 0 && SendSome(fd, Frame(join.Data()), Clock::now() + std::chrono::seconds(1));
        int lines = 0;
        const Clock::time_point start = Clock::now();
        while (open && Clock::now() - start < floodLength) {
            WireWriter chat;
            chat.U8(kLobbyChat);
            chat.Text(lines % 10 == 9 ? std::string(4096, 'w') : "line " + std::to_string(lines));
            open = SendSome(fd, Frame(chat.Data()), Clock::now() + std::chrono::seconds(1));
            lines += open ? 1 : 0;
            std::this_thread::sleep_until(start + std::chrono::milliseconds(1000 * lines / 60));
        }
        Say("chat lines: " + std::to_string(lines) + (open ? "" : ", then the owner closed the connection"));
    }

    int silent = 0;
    for (int i = 0; i < kSilentConnections; ++i) {
        int fd = Connect(server.ip, server.port);
        held.push_back(fd);
        silent += fd >= 0 ? 1 : 0;
    }
    Say("silent connections: " + std::to_string(silent));

    // The stranger asks to join the match with a ticket of its own making.
    int fd = Connect(server.ip, server.port);
    std::mt19937_64 random{std::random_device{}()};
    WireWriter ticket;
    ticket.U32(kTicketMagic);
    ticket.U64(kStranger);
    ticket.U64(server.id);
    ticket.U64(random());
    WireWriter begin;
    begin.I32(kBeginAuth);
    begin.U32(static_cast<uint32_t>(ticket.Data().size()));
    begin.Raw(ticket.Data().data(), ticket.Data().size());
    Bytes auth = begin.Take();
    auth.resize(kBeginAuthBytes, 0);
    Bytes request = Hello(server.id);
    for (const Bytes& message : {Message(kInitiateConnection), auth}) {
        Bytes framed = Frame(message);
        request.insert(request.end(), framed.begin(), framed.end());
    }
    JoinOutcome outcome;
    if (fd >= 0 && SendSome(fd, request, Clock::now() + std::chrono::seconds(2)))
        outcome = Listen(fd, std::chrono::seconds(5));
    else
        outcome.refused = true;
    Say(std::string("join: ") + (outcome.admitted ? "admitted" : outcome.refused ? "refused" : "unanswered"));
    Say("game data: " + std::to_string(outcome.gameData));
    for (int heldFd : held)
        if (heldFd >= 0)
            ::close(heldFd);
    if (fd >= 0)
        ::close(fd);
    return 0;
}
