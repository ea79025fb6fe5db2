// The platform client's online paths on loopback, for each backend (the embedded one in a
// temporary folder; Redis through a redis-server the benchmark starts on a free port):
// - BM_RoundTrip: one 1,040-byte message (the game's data block) from a client socket to a game
//   server in another process, which sends it straight back, until the client has it again;
// - BM_LobbyList: RequestLobbyList with a filter over 1,000 announced lobbies, until the next
//   SteamAPI_RunCallbacks delivers the result.
#include "steam/SteamApi.h"
#include "steam/SteamTesting.h"

#include "LoopbackServers.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using bench::MakeTempFolder;

constexpr uint32_t kBlockBytes = 1040;

// Points the platform at the backend (0 embedded, 1 Redis) with a fresh profile.
// Made before the echo server is forked, so both processes share them; the child never runs
// their destructors (it leaves through _Exit), the parent stops Redis at exit.
const std::string g_shared = MakeTempFolder("shared");
std::unique_ptr<bench::RedisServer> g_redis;

void UseBackend(int backend, const std::string& profile)
{
    setenv("QUIBLY_ONLINE_DIR", g_shared.c_str(), 1);
    if (backend == 1) {
        if (!g_redis)
            g_redis = std::make_unique<bench::RedisServer>();
        setenv("QUIBLY_ONLINE", g_redis->Url().c_str(), 1);
    } else {
        unsetenv("QUIBLY_ONLINE");
    }
    setenv("QUIBLY_PROFILE_DIR", profile.c_str(), 1);
}

// The echoing game server, in a child process: reports its id through the pipe, then sends
// every message back until its client goes.
[[noreturn]] void RunEchoServer(int backend, int pipeOut)
{
    UseBackend(backend, MakeTempFolder("server"));
    if (!SteamAPI_Init() || !SteamGameServer_Init(0, 8766, 27015, 0, 27016, 3, "vanteo", "1.0.0.0"))
        std::_Exit(1);
    SNetListenSocket_t listen = SteamGameServerNetworking()->CreateListenSocket(0, 0, 0, true);
    uint64_t id = SteamGameServer()->GetSteamID().ConvertToUint64();
    if (listen == 0 || ::write(pipeOut, &id, sizeof id) != sizeof id)
        std::_Exit(1);
    std::vector<uint8_t> buffer(524288);
    // Until the parent ends it (SIGTERM) or goes; at most 5 minutes.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    while (std::chrono::steady_clock::now() < deadline && ::getppid() != 1) {
        SteamGameServer_RunCallbacks();
        uint32_t size = 0;
        SNetSocket_t from = 0;
        while (SteamGameServerNetworking()->RetrieveData(listen, buffer.data(), static_cast<uint32_t>(buffer.size()),
                                                         &size, &from))
            SteamGameServerNetworking()->SendDataOnSocket(from, buffer.data(), size, false);
    }
    std::_Exit(0);
}

void BM_RoundTrip(benchmark::State& state)
{
    int backend = static_cast<int>(state.range(0));
    UseBackend(backend, MakeTempFolder("client"));
    int fds[2];
    if (::pipe(fds) != 0) {
        state.SkipWithError("no pipe");
        return;
    }
    pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        RunEchoServer(backend, fds[1]);
    }
    ::close(fds[1]);
    uint64_t server = 0;
    if (::read(fds[0], &server, sizeof server) != sizeof server) {
        state.SkipWithError("the echo server did not start");
        ::waitpid(child, nullptr, 0);
        return;
    }
    ::close(fds[0]);
    SteamAPI_Shutdown();
    UseBackend(backend, MakeTempFolder("client"));
    SteamAPI_Init();
    SNetSocket_t socket = SteamNetworking()->CreateP2PConnectionSocket(CSteamID(server), 0, 10, true);
    std::vector<uint8_t> message(kBlockBytes, 0x5A), back(524288);
    uint32_t size = 0;
    // Connected once a first message makes the round trip (bounded: 5 s).
    bool ready = false;
    for (int i = 0; i < 5000 && !ready; ++i) {
        SteamAPI_RunCallbacks();
        if (SteamNetworking()->SendDataOnSocket(socket, message.data(), kBlockBytes, false))
            for (int j = 0; j < 1000 && !ready; ++j)
                ready = SteamNetworking()->RetrieveDataFromSocket(socket, back.data(), static_cast<uint32_t>(back.size()), &size);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!ready)
        state.SkipWithError("no connection to the echo server");
    for (auto _ : state) {
        if (!ready)
            break;
        SteamNetworking()->SendDataOnSocket(socket, message.data(), kBlockBytes, false);
        while (!SteamNetworking()->RetrieveDataFromSocket(socket, back.data(), static_cast<uint32_t>(back.size()), &size)) {
        }
        benchmark::DoNotOptimize(back.data());
    }
    SteamNetworking()->DestroySocket(socket, true);
    SteamAPI_Shutdown();
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    state.SetLabel(backend == 1 ? "redis" : "embedded");
}
BENCHMARK(BM_RoundTrip)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_LobbyList(benchmark::State& state)
{
    int backend = static_cast<int>(state.range(0));
    SteamAPI_Shutdown();
    UseBackend(backend, MakeTempFolder("lister"));
    SteamAPI_Init();
    if (platform::steam::AnnounceDirectoryLobbies(1000, "Mode", "2") != 1000)
        state.SkipWithError("the lobbies could not be announced");
    struct Listener {
        void On(LobbyMatchList_t* result, bool) { count = result->m_nLobbiesMatching; }
        uint32_t count = 0;
        CCallResult<Listener, LobbyMatchList_t> call;
    } listener;
    for (auto _ : state) {
        SteamMatchmaking()->AddRequestLobbyListStringFilter("Mode", "2", k_ELobbyComparisonEqual);
        listener.call.Set(SteamMatchmaking()->RequestLobbyList(), &listener, &Listener::On);
        SteamAPI_RunCallbacks();
        benchmark::DoNotOptimize(listener.count);
    }
    state.counters["listed"] = listener.count;
    platform::steam::WithdrawDirectoryLobbies();
    SteamAPI_Shutdown();
    state.SetLabel(backend == 1 ? "redis" : "embedded");
}
BENCHMARK(BM_LobbyList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
