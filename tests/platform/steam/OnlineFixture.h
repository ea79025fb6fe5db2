// The online contract's fixture: the process's platform client as player A, peers for the other
// players, and each backend in turn. The Redis runs start their own redis-server on a free port
// in a temporary folder and stop it afterwards; without redis-server installed they are skipped.
#pragma once

#include "steam/SteamApi.h"
#include "steam/SteamTesting.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace steamtest {

// A redis-server of the test's own: loopback only, no persistence, in a temporary folder.
class RedisServer {
public:
    RedisServer();
    ~RedisServer();
    RedisServer(const RedisServer&) = delete;
    RedisServer& operator=(const RedisServer&) = delete;
    bool Running() const { return m_pid > 0; }
    std::string Url() const { return "redis://127.0.0.1:" + std::to_string(m_port); }
    int Port() const { return m_port; }
    int Pid() const { return m_pid; }
    // Empties every key, so each test starts clean.
    void Flush() const;
    void Stop();

private:
    testsupport::TempDir m_dir;
    int m_port = 0;
    int m_pid = -1;
};

// A free TCP port on the loopback at the time of asking.
int FreeLoopbackPort();

// Every record of one callback type that the process's client (or game-server) pump delivers.
template <typename P, bool GameServer = false>
struct Heard {
    Heard() : callback(this, &Heard::On) {}
    void On(P* record) { records.push_back(*record); }
    std::vector<P> records;
    CCallback<Heard, P, GameServer> callback;
};

// The one result of a call.
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

using Event = platform::steam::OnlinePeer::Event;

template <typename P>
std::vector<P> EventsOf(const std::vector<Event>& events, bool gameServer = false)
{
    std::vector<P> found;
    for (const Event& event : events)
        if (event.id == P::k_iCallback && event.gameServer == gameServer)
            found.push_back(event.As<P>());
    return found;
}

// The result of `call` among the events, or null.
const Event* ResultOf(const std::vector<Event>& events, SteamAPICall_t call);

// A peer with every event it recorded so far.
struct Player {
    Player(uint64_t id, const std::string& name) : peer(id, name) {}
    platform::steam::OnlinePeer peer;
    std::vector<Event> events;
};

class OnlineContract : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override;
    void TearDown() override;
    bool UsesRedis() const { return GetParam() == "redis"; }

    Player& AddPlayer(uint64_t id, const std::string& name);
    // Runs both pumps of the process and polls every player until `done` or a bounded number of
    // rounds (about 5 s unless `rounds` says otherwise) has passed; returns whether `done` became
    // true.
    bool PumpUntil(const std::function<bool()>& done, int rounds = 2500);

    testsupport::TempDir m_profile;
    testsupport::TempDir m_shared;
    std::vector<std::unique_ptr<Player>> m_players;
    // One redis-server for the whole binary, started by the first Redis test.
    static inline std::unique_ptr<RedisServer> s_redis;
};

inline std::string BackendName(const ::testing::TestParamInfo<std::string>& info)
{
    return info.param;
}

// ---- implementation ----

inline int ConnectLoopback(int port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

inline int FreeLoopbackPort()
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

inline RedisServer::RedisServer()
{
    if (::access("/usr/bin/redis-server", X_OK) != 0)
        return;
    m_port = FreeLoopbackPort();
    std::string port = std::to_string(m_port);
    std::string dir = m_dir.Str();
    const char* argv[] = {"redis-server", "--port", port.c_str(), "--bind", "127.0.0.1", "--dir", dir.c_str(),
                          "--save", "", "--appendonly", "no", "--logfile", "redis.log", nullptr};
    pid_t pid = 0;
    if (::posix_spawn(&pid, "/usr/bin/redis-server", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
        return;
    m_pid = pid;
    // Ready once it accepts a connection: at most 5 s.
    for (int i = 0; i < 500; ++i) {
        if (int fd = ConnectLoopback(m_port); fd >= 0) {
            ::close(fd);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Stop();
}

inline RedisServer::~RedisServer()
{
    Stop();
}

inline void RedisServer::Stop()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
}

inline void RedisServer::Flush() const
{
    int fd = ConnectLoopback(m_port);
    if (fd < 0)
        return;
    const char command[] = "FLUSHALL\r\n";
    if (::send(fd, command, sizeof command - 1, MSG_NOSIGNAL) > 0) {
        char reply[16];
        ::recv(fd, reply, sizeof reply, 0);
    }
    ::close(fd);
}

inline const Event* ResultOf(const std::vector<Event>& events, SteamAPICall_t call)
{
    for (const Event& event : events)
        if (event.call == call && call != k_uAPICallInvalid)
            return &event;
    return nullptr;
}

inline void OnlineContract::SetUp()
{
    SteamAPI_Shutdown();
    if (UsesRedis()) {
        if (!s_redis)
            s_redis = std::make_unique<RedisServer>();
        if (!s_redis->Running())
            GTEST_SKIP() << "redis-server is not installed (tools/setup.sh installs it)";
        s_redis->Flush();
        setenv("QUIBLY_ONLINE", s_redis->Url().c_str(), 1);
    } else {
        unsetenv("QUIBLY_ONLINE");
    }
    setenv("QUIBLY_ONLINE_DIR", m_shared.Str().c_str(), 1);
    setenv("QUIBLY_PROFILE_DIR", m_profile.Str().c_str(), 1);
    ASSERT_TRUE(SteamAPI_Init());
}

inline void OnlineContract::TearDown()
{
    m_players.clear();
    SteamAPI_Shutdown();
    unsetenv("QUIBLY_ONLINE");
    unsetenv("QUIBLY_PROFILE_DIR");
}

inline Player& OnlineContract::AddPlayer(uint64_t id, const std::string& name)
{
    m_players.push_back(std::make_unique<Player>(id, name));
    return *m_players.back();
}

inline bool OnlineContract::PumpUntil(const std::function<bool()>& done, int rounds)
{
    for (int round = 0; round < rounds; ++round) {
        SteamAPI_RunCallbacks();
        SteamGameServer_RunCallbacks();
        for (auto& player : m_players) {
            std::vector<Event> events = player->peer.Pump();
            player->events.insert(player->events.end(), events.begin(), events.end());
        }
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

} // namespace steamtest
