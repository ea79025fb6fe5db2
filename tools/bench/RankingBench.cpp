// The ranking page's cost to the frame loop, on a board of 100,000 entries, for each backend (the
// embedded one in a temporary folder; Redis through a redis-server the benchmark starts on a free
// port). One iteration is one page: DownloadLeaderboardEntries, then one SteamAPI_RunCallbacks a
// frame until the call result has come and its ten rows are read, as the ranking pop-up does.
// - the reported time (manual) is the whole time the frame loop spent on the page: the request
//   and every RunCallbacks until the answer;
// - max_frame_ms: the most any one frame spent on it (the request's frame or a pump);
// - frames: how many frames the page took to arrive;
// - BM_BackendOnCaller: the backend's board read as the calling thread used to make it for every
//   request (a fresh read of the board each time), for comparison.
// Pages: 0 the top ten, 1 ten rows around the player (ranked in the middle), 2 ranks 90,001-90,010.
#include "steam/SteamApi.h"
#include "steam/SteamTesting.h"

#include "../../platform/steam/OnlineBackend.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <netinet/in.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kEntries = 100000;
constexpr const char* kBoard = "Stage Challenge Hard";

std::string MakeTempFolder(const char* tag)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string("quibly-bench-") + tag + "-XXXXXX")).string();
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

int FreePort()
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

int ConnectLoopback(int port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return fd;
    ::close(fd);
    return -1;
}

// A redis-server of the benchmark's own, for the whole run.
class Redis {
public:
    Redis()
    {
        m_dir = MakeTempFolder("redis");
        m_port = FreePort();
        std::string port = std::to_string(m_port);
        const char* argv[] = {"redis-server", "--port", port.c_str(), "--bind", "127.0.0.1", "--dir", m_dir.c_str(),
                              "--save", "", "--appendonly", "no", "--logfile", "redis.log", nullptr};
        if (::posix_spawn(&m_pid, "/usr/bin/redis-server", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
            m_pid = -1;
        for (int i = 0; i < 500 && m_pid > 0; ++i) {
            int fd = ConnectLoopback(m_port);
            if (fd >= 0) {
                ::close(fd);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~Redis()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    std::string Url() const { return "redis://127.0.0.1:" + std::to_string(m_port); }

    // Sends commands in the server's protocol and reads one reply line per command.
    bool Send(const std::vector<std::vector<std::string>>& commands)
    {
        int fd = ConnectLoopback(m_port);
        if (fd < 0)
            return false;
        std::string out;
        for (const auto& words : commands) {
            out += "*" + std::to_string(words.size()) + "\r\n";
            for (const std::string& word : words)
                out += "$" + std::to_string(word.size()) + "\r\n" + word + "\r\n";
        }
        bool ok = true;
        for (size_t sent = 0; ok && sent < out.size();) {
            ssize_t n = ::write(fd, out.data() + sent, out.size() - sent);
            ok = n > 0;
            sent += ok ? static_cast<size_t>(n) : 0;
        }
        size_t lines = 0;
        char buffer[4096];
        while (ok && lines < commands.size()) {
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            ok = n > 0;
            for (ssize_t i = 0; i < n; ++i) {
                lines += buffer[i] == '\n' ? 1 : 0;
                ok = ok && buffer[i] != '-';
            }
        }
        ::close(fd);
        return ok;
    }

private:
    std::string m_dir;
    int m_port = 0;
    pid_t m_pid = -1;
};

const std::string g_shared = MakeTempFolder("ranking");
std::unique_ptr<Redis> g_redis;
int g_filled = -1;  // the backend whose board is filled and whose client is running

// The board of 100,000 rows, users 1..100,000 with scores 100,000..1, every name 12 bytes.
void FillBoard(int backend)
{
    if (backend == 1) {
        std::vector<std::vector<std::string>> commands;
        for (int first = 1; first <= kEntries; first += 1000) {
            std::vector<std::string> zadd{"ZADD", std::string("quibly:lb:") + kBoard};
            std::vector<std::string> hset{"HSET", std::string("quibly:lbname:") + kBoard};
            for (int user = first; user < first + 1000; ++user) {
                zadd.push_back(std::to_string(kEntries + 1 - user));
                zadd.push_back(std::to_string(user));
                hset.push_back(std::to_string(user));
                hset.push_back("Player " + std::to_string(100000 + user).substr(1));
            }
            commands.push_back(std::move(zadd));
            commands.push_back(std::move(hset));
        }
        g_redis->Send(commands);
        return;
    }
    using namespace platform::steam;
    std::vector<BoardRow> rows;
    for (int user = 1; user <= kEntries; ++user)
        rows.push_back({static_cast<uint64_t>(user), kEntries + 1 - user, "Player " + std::to_string(100000 + user).substr(1)});
    Bytes bytes = FormatBoardFile({k_ELeaderboardSortMethodDescending, k_ELeaderboardDisplayTypeNumeric, 0}, rows);
    std::string hex;
    for (unsigned char c : std::string(kBoard)) {
        hex.push_back("0123456789abcdef"[c >> 4]);
        hex.push_back("0123456789abcdef"[c & 15]);
    }
    std::filesystem::create_directories(g_shared + "/boards");
    std::ofstream(g_shared + "/boards/" + hex, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Starts the platform client on the backend's full board, once per backend.
bool UseBackend(int backend)
{
    if (g_filled == backend)
        return true;
    SteamAPI_Shutdown();
    setenv("QUIBLY_ONLINE_DIR", g_shared.c_str(), 1);
    if (backend == 1) {
        if (!g_redis)
            g_redis = std::make_unique<Redis>();
        setenv("QUIBLY_ONLINE", g_redis->Url().c_str(), 1);
    } else {
        unsetenv("QUIBLY_ONLINE");
    }
    setenv("QUIBLY_PROFILE_DIR", MakeTempFolder("profile").c_str(), 1);
    FillBoard(backend);
    if (!SteamAPI_Init())
        return false;
    g_filled = backend;
    return true;
}

struct Page {
    void OnFound(LeaderboardFindResult_t* result, bool ioFailure) { board = ioFailure ? 0 : result->m_hSteamLeaderboard; }
    void OnUploaded(LeaderboardScoreUploaded_t*, bool ioFailure) { uploaded = !ioFailure; }
    void OnScores(LeaderboardScoresDownloaded_t* result, bool ioFailure)
    {
        arrived = true;
        rows = 0;
        if (ioFailure)
            return;
        // As the ranking pop-up does: every row of the answer, read in its handler.
        for (int i = 0; i < result->m_cEntryCount; ++i) {
            LeaderboardEntry_t entry{};
            if (SteamUserStats()->GetDownloadedLeaderboardEntry(result->m_hSteamLeaderboardEntries, i, &entry, nullptr, 0))
                ++rows;
        }
    }
    SteamLeaderboard_t board = 0;
    bool uploaded = false;
    bool arrived = false;
    int rows = 0;
    CCallResult<Page, LeaderboardFindResult_t> find;
    CCallResult<Page, LeaderboardScoreUploaded_t> upload;
    CCallResult<Page, LeaderboardScoresDownloaded_t> scores;
};

// Pumps like frames (1 ms apart) until `done`, at most 10 s.
template <typename Done>
bool PumpUntil(Done done)
{
    for (int i = 0; i < 10000 && !done(); ++i) {
        SteamAPI_RunCallbacks();
        if (!done())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void BM_RankingPage(benchmark::State& state)
{
    const int backend = static_cast<int>(state.range(0));
    const int pageKind = static_cast<int>(state.range(1));
    state.SetLabel(backend == 1 ? "redis" : "embedded");
    if (!UseBackend(backend)) {
        state.SkipWithError("the platform client did not start");
        return;
    }
    Page page;
    page.find.Set(SteamUserStats()->FindOrCreateLeaderboard(kBoard, k_ELeaderboardSortMethodDescending,
                                                            k_ELeaderboardDisplayTypeNumeric),
                  &page, &Page::OnFound);
    if (!PumpUntil([&] { return page.board != 0; })) {
        state.SkipWithError("the board was not found");
        return;
    }
    if (pageKind == 1) {
        // The player ranks in the middle of the board.
        page.upload.Set(SteamUserStats()->UploadLeaderboardScore(page.board, k_ELeaderboardUploadScoreMethodForceUpdate,
                                                                 kEntries / 2, nullptr, 0),
                        &page, &Page::OnUploaded);
        if (!PumpUntil([&] { return page.uploaded; })) {
            state.SkipWithError("the player's score was not uploaded");
            return;
        }
    }
    const ELeaderboardDataRequest request =
        pageKind == 1 ? k_ELeaderboardDataRequestGlobalAroundUser : k_ELeaderboardDataRequestGlobal;
    const int start = pageKind == 0 ? 1 : pageKind == 1 ? -4 : 90001;
    const int end = pageKind == 0 ? 10 : pageKind == 1 ? 5 : 90010;

    double worstFrame = 0.0;
    double frames = 0.0;
    for (auto _ : state) {
        page.arrived = false;
        Clock::duration spent{};
        Clock::time_point t0 = Clock::now();
        page.scores.Set(SteamUserStats()->DownloadLeaderboardEntries(page.board, request, start, end), &page,
                        &Page::OnScores);
        Clock::duration first = Clock::now() - t0;
        spent += first;
        worstFrame = std::max(worstFrame, Ms(first));
        int pumps = 0;
        while (!page.arrived && pumps < 10000) {
            std::this_thread::sleep_for(std::chrono::microseconds(500));
            Clock::time_point f0 = Clock::now();
            SteamAPI_RunCallbacks();
            Clock::duration frame = Clock::now() - f0;
            spent += frame;
            worstFrame = std::max(worstFrame, Ms(frame));
            ++pumps;
        }
        frames += pumps + 1;
        if (page.rows != end - start + 1)
            state.SkipWithError("the page did not arrive whole");
        state.SetIterationTime(std::chrono::duration<double>(spent).count());
    }
    state.counters["max_frame_ms"] = worstFrame;
    state.counters["frames"] = benchmark::Counter(frames, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RankingPage)
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(30);

void BM_BackendOnCaller(benchmark::State& state)
{
    const int backend = static_cast<int>(state.range(0));
    state.SetLabel(backend == 1 ? "redis" : "embedded");
    if (!UseBackend(backend)) {
        state.SkipWithError("the platform client did not start");
        return;
    }
    for (auto _ : state) {
        // A backend made afresh has read nothing yet, as every request used to find it.
        auto fresh = platform::steam::MakeBackendFromEnvironment();
        std::vector<platform::steam::RankedRow> rows;
        int32_t count = 0;
        fresh->DownloadRows(kBoard, k_ELeaderboardDataRequestGlobal, 90001, 90010, 0, rows, count);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_BackendOnCaller)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace
