// The ranking page's cost to the frame loop, on a board of 100,000 entries (99,999 other players
// and the player), for each backend (the embedded one in a temporary folder; Redis through a
// redis-server the benchmark starts on a free port). One iteration is one page:
// DownloadLeaderboardEntries, then one SteamAPI_RunCallbacks a frame until the call result has
// come and its ten rows are read, as the ranking pop-up does.
// - the reported time (manual) is the whole time the frame loop spent on the page: the request
//   and every RunCallbacks until the answer;
// - max_frame_ms: the most any one frame spent on it (the request's frame or a pump), wall time;
// - max_frame_cpu_ms: the most processor time the frame loop's thread used in one such frame. A
//   frame whose wall time is far above its processor time waited: on a lock, a socket or a file,
//   or for a processor on a loaded machine;
// - frames: how many frames the page took to arrive;
// - BM_BackendOnCaller: the backend's board read as the calling thread used to make it for every
//   request (a fresh read of the board each time), for comparison.
// Pages: 0 the top ten, 1 ten rows around the player (ranked in the middle), 2 ranks 90,001-90,010.
#include "steam/SteamApi.h"
#include "steam/SteamTesting.h"

#include "../../platform/steam/OnlineBackend.h"

#include "LoopbackServers.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <time.h>
#include <vector>

namespace {

using bench::MakeTempFolder;

using Clock = std::chrono::steady_clock;
constexpr int kEntries = 100000;
// Every other player; the player's own upload makes the last entry (the embedded board's cap).
constexpr int kOthers = kEntries - 1;
constexpr const char* kBoard = "Stage Challenge Hard";

const std::string g_shared = MakeTempFolder("ranking");
std::unique_ptr<bench::RedisServer> g_redis;
int g_filled = -1;  // the backend whose board is filled and whose client is running

// The board of the other players: users 1..99,999 with scores 100,000..2, every name 12 bytes.
bool FillBoard(int backend)
{
    if (backend == 1) {
        std::vector<std::vector<std::string>> commands;
        for (int first = 1; first <= kOthers; first += 1000) {
            std::vector<std::string> zadd{"ZADD", std::string("quibly:lb:") + kBoard};
            std::vector<std::string> hset{"HSET", std::string("quibly:lbname:") + kBoard};
            for (int user = first; user < first + 1000 && user <= kOthers; ++user) {
                zadd.push_back(std::to_string(kEntries + 1 - user));
                zadd.push_back(std::to_string(user));
                hset.push_back(std::to_string(user));
                hset.push_back("Player " + std::to_string(100000 + user).substr(1));
            }
            commands.push_back(std::move(zadd));
            commands.push_back(std::move(hset));
        }
        return g_redis->Send(commands);
    }
    using namespace platform::steam;
    std::vector<BoardRow> rows;
    for (int user = 1; user <= kOthers; ++user)
        rows.push_back({static_cast<uint64_t>(user), kEntries + 1 - user, "Player " + std::to_string(100000 + user).substr(1)});
    Bytes bytes = FormatBoardFile({k_ELeaderboardSortMethodDescending, k_ELeaderboardDisplayTypeNumeric, 0}, rows);
    std::string hex;
    for (unsigned char c : std::string(kBoard)) {
        hex.push_back("0123456789abcdef"[c >> 4]);
        hex.push_back("0123456789abcdef"[c & 15]);
    }
    std::filesystem::create_directories(g_shared + "/boards");
    std::ofstream file(g_shared + "/boards/" + hex, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
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
            g_redis = std::make_unique<bench::RedisServer>();
        setenv("QUIBLY_ONLINE", g_redis->Url().c_str(), 1);
    } else {
        unsetenv("QUIBLY_ONLINE");
    }
    setenv("QUIBLY_PROFILE_DIR", MakeTempFolder("profile").c_str(), 1);
    if (!FillBoard(backend) || !SteamAPI_Init())
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

// Processor time of the calling thread, in milliseconds.
double ThreadCpuMs()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The frame loop's share of one page: the wall time of each of its frames and their processor time.
struct FrameCost {
    Clock::duration spent{};
    double worstWallMs = 0.0;
    double worstCpuMs = 0.0;

    template <typename Frame>
    void Measure(Frame frame)
    {
        const double cpu0 = ThreadCpuMs();
        const Clock::time_point t0 = Clock::now();
        frame();
        const Clock::duration wall = Clock::now() - t0;
        const double cpu = ThreadCpuMs() - cpu0;
        spent += wall;
        worstWallMs = std::max(worstWallMs, Ms(wall));
        worstCpuMs = std::max(worstCpuMs, cpu);
    }
};

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
    double worstCpu = 0.0;
    double frames = 0.0;
    for (auto _ : state) {
        page.arrived = false;
        FrameCost cost;
        cost.Measure([&] {
            page.scores.Set(SteamUserStats()->DownloadLeaderboardEntries(page.board, request, start, end), &page,
                            &Page::OnScores);
        });
        int pumps = 0;
        while (!page.arrived && pumps < 10000) {
            std::this_thread::sleep_for(std::chrono::microseconds(500));
            cost.Measure([] { SteamAPI_RunCallbacks(); });
            ++pumps;
        }
        frames += pumps + 1;
        worstFrame = std::max(worstFrame, cost.worstWallMs);
        worstCpu = std::max(worstCpu, cost.worstCpuMs);
        if (page.rows != end - start + 1)
            state.SkipWithError("the page did not arrive whole");
        state.SetIterationTime(std::chrono::duration<double>(cost.spent).count());
    }
    state.counters["max_frame_ms"] = worstFrame;
    state.counters["max_frame_cpu_ms"] = worstCpu;
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
