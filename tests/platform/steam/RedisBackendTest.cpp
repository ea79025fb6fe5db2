// The Redis backend's connection: a server whose connection takes longer than a local one is
// still reached, and a server that comes up later is reached without waiting for it. The
// servers here are small stand-ins on the loopback that answer every command with an empty
// list, which is all a lobby list needs.
#include "../../../platform/steam/OnlineBackend.h"
#include "OnlineFixture.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr char kEmptyScan[] = "*2\r\n$1\r\n0\r\n*0\r\n";

int Listener(int port, int backlog)
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    at.sin_port = htons(static_cast<uint16_t>(port));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || ::listen(fd, backlog) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int PortOf(int fd)
{
    sockaddr_in at{};
    socklen_t size = sizeof at;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&at), &size);
    return ntohs(at.sin_port);
}

// Accepts connections on the listener and answers every command with an empty list, until
// stopped. When `blocker` is given, that queued connection is taken first, after `delay`.
class EmptyListServer {
public:
    EmptyListServer(int listener, int blocker = -1, std::chrono::milliseconds delay = 0ms)
        : m_listener(listener), m_thread([=, this] { Run(blocker, delay); })
    {
    }
    ~EmptyListServer()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_listener);
    }
    int Answered() const { return m_answered; }

private:
    void Run(int blocker, std::chrono::milliseconds delay)
    {
        if (blocker >= 0) {
            std::this_thread::sleep_for(delay);
            ::close(::accept(m_listener, nullptr, nullptr));
            ::close(blocker);
        }
        std::vector<int> clients;
        while (!m_stop) {
            pollfd waiting{m_listener, POLLIN, 0};
            if (::poll(&waiting, 1, 20) > 0)
                clients.push_back(::accept(m_listener, nullptr, nullptr));
            for (int client : clients) {
                pollfd reading{client, POLLIN, 0};
                char bytes[512];
                if (::poll(&reading, 1, 0) > 0 && ::read(client, bytes, sizeof bytes) > 0) {
                    // Counted before the answer goes out: the client may read it and the test
                    // look at the count before this thread runs again.
                    ++m_answered;
                    // A scan's last page with nothing in it: cursor "0" and no ids.
                    (void)!::write(client, kEmptyScan, sizeof kEmptyScan - 1);
                }
            }
        }
        for (int client : clients)
            ::close(client);
    }

    int m_listener;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_answered{0};
    std::thread m_thread;
};

std::string UrlOf(int port)
{
    return "redis://127.0.0.1:" + std::to_string(port);
}

TEST(RedisBackend, AServerWhoseConnectionTakesASecondIsReached)
{
    // The listener's queue is full when the connection is first asked for, so the first try of
    // the handshake goes unanswered and only the try a second later gets through, as on a slow
    // link across the internet.
    int listener = Listener(0, 0);
    ASSERT_GE(listener, 0);
    const int port = PortOf(listener);
    int blocker = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    at.sin_port = htons(static_cast<uint16_t>(port));
    ASSERT_EQ(::connect(blocker, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    EmptyListServer server(listener, blocker, 600ms);

    std::unique_ptr<platform::steam::IOnlineBackend> backend = platform::steam::MakeRedisBackend(UrlOf(port));
    ASSERT_NE(backend, nullptr);
    std::vector<platform::steam::LobbyRecord> lobbies;
    EXPECT_TRUE(backend->ListLobbies(lobbies));
    EXPECT_TRUE(lobbies.empty());
    EXPECT_EQ(server.Answered(), 1);
}

TEST(RedisBackend, AServerThatComesUpLaterIsReachedAgain)
{
    const int port = steamtest::FreeLoopbackPort();
    std::unique_ptr<platform::steam::IOnlineBackend> backend = platform::steam::MakeRedisBackend(UrlOf(port));
    ASSERT_NE(backend, nullptr);
    std::vector<platform::steam::LobbyRecord> lobbies;
    EXPECT_FALSE(backend->ListLobbies(lobbies));

    int listener = Listener(port, 8);
    ASSERT_GE(listener, 0);
    EmptyListServer server(listener);
    // Calls fail at once until the connection begun in the background is made.
    bool reached = false;
    for (auto until = std::chrono::steady_clock::now() + 15s; !reached && std::chrono::steady_clock::now() < until;) {
        reached = backend->ListLobbies(lobbies);
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(reached);
}

} // namespace
