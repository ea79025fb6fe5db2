// Leaderboard calls off the frame: the backend's board calls run on the worker thread and their
// answers arrive as call results at the next poll; the embedded backend keeps each board it has
// read and reads its file again only when another process has replaced it.
#include "../../../platform/steam/Online.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <sys/stat.h>
#include <thread>

namespace {

using namespace platform::steam;

// A backend whose board calls wait at a gate until the test opens it, and say on which thread
// they ran. Everything else answers at once.
class GatedBackend final : public IOnlineBackend {
public:
    const char* Kind() const override { return "gated"; }
    // The lobby worker's own backend: it only ever asks for lobbies and names.
    std::unique_ptr<IOnlineBackend> Clone() const override { return std::make_unique<GatedBackend>(); }
    uint32_t BindIp() override { return kLoopback; }
    uint32_t AdvertisedIp() override { return kLoopback; }
    bool PublishLobby(const LobbyRecord&) override { return true; }
    void WithdrawLobby(uint64_t) override {}
    bool ListLobbies(std::vector<LobbyRecord>&) override { return true; }
    bool FindLobby(uint64_t, LobbyRecord&) override { return false; }
    bool PublishServer(uint64_t, uint32_t, uint16_t) override { return true; }
    void WithdrawServer(uint64_t) override {}
    bool FindServer(uint64_t, uint32_t&, uint16_t&) override { return false; }
    void PublishPersona(uint64_t, const std::string&) override {}
    bool FindPersona(uint64_t, std::string&) override { return false; }

    bool OpenBoard(const std::string&, ELeaderboardSortMethod sort, ELeaderboardDisplayType display,
                   BoardInfo& info) override
    {
        Pass();
        info = {sort, display, 3};
        return true;
    }
    bool UploadScore(const std::string&, const BoardRow&, ELeaderboardUploadScoreMethod, UploadOutcome& outcome) override
    {
        Pass();
        outcome = {true, 1, 0, 4};
        return true;
    }
    bool DownloadRows(const std::string&, ELeaderboardDataRequest, int first, int last, uint64_t,
                      std::vector<RankedRow>& rows, int32_t& count) override
    {
        Pass();
        rows.clear();
        for (int rank = first; rank <= last && rank <= 3; ++rank)
            rows.push_back({{static_cast<uint64_t>(100 + rank), 1000 - rank, "P"}, rank});
        count = 3;
        return true;
    }

    void Open()
    {
        std::lock_guard guard(lock);
        open = true;
        changed.notify_all();
    }

    std::mutex lock;
    std::condition_variable changed;
    bool open = false;
    int calls = 0;
    std::thread::id callerThread;

private:
    void Pass()
    {
        std::unique_lock guard(lock);
        ++calls;
        callerThread = std::this_thread::get_id();
        changed.notify_all();
        changed.wait(guard, [this] { return open; });
    }
};

struct Recorded {
    SteamAPICall_t call;
    int id;
    std::vector<uint8_t> payload;
    bool ioFailure;
};

class RecordingSink final : public IEventSink {
public:
    void Client(int, const void*, size_t) override {}
    void Server(int, const void*, size_t) override {}
    void ClientResult(SteamAPICall_t call, int id, const void* payload, size_t bytes, bool ioFailure) override
    {
        const auto* begin = static_cast<const uint8_t*>(payload);
        results.push_back({call, id, std::vector<uint8_t>(begin, begin + bytes), ioFailure});
    }
    const Recorded* Find(SteamAPICall_t call) const
    {
        for (const Recorded& r : results)
            if (r.call == call)
                return &r;
        return nullptr;
    }
    template <typename P>
    P As(SteamAPICall_t call) const
    {
        P value{};
        const Recorded* r = Find(call);
        if (r && r->payload.size() == sizeof value)
            std::memcpy(&value, r->payload.data(), sizeof value);
        return value;
    }
    std::vector<Recorded> results;
};

class LeaderboardWorker : public ::testing::Test {
protected:
    LeaderboardWorker()
    {
        auto backend = std::make_unique<GatedBackend>();
        m_backend = backend.get();
        m_context = std::make_unique<OnlineContext>(CSteamID(7), "Seven", std::move(backend), m_sink);
    }

    // Polls until the call has its result, for at most two seconds.
    bool Answered(SteamAPICall_t call)
    {
        for (int round = 0; round < 400 && !m_sink.Find(call); ++round) {
            m_context->PollClient();
            if (!m_sink.Find(call))
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return m_sink.Find(call) != nullptr;
    }

    SteamLeaderboard_t OpenBoard()
    {
        m_backend->Open();
        SteamAPICall_t call = m_context->Boards().FindOrCreateLeaderboard("Stage", k_ELeaderboardSortMethodDescending,
                                                                          k_ELeaderboardDisplayTypeNumeric);
        EXPECT_TRUE(Answered(call));
        std::lock_guard guard(m_backend->lock);
        m_backend->open = false;
        return m_sink.As<LeaderboardFindResult_t>(call).m_hSteamLeaderboard;
    }

    RecordingSink m_sink;
    GatedBackend* m_backend = nullptr;
    std::unique_ptr<OnlineContext> m_context;
};

TEST_F(LeaderboardWorker, AStalledBackendNeverHoldsTheCallerAndAnswersThroughTheResult)
{
    SteamLeaderboard_t board = OpenBoard();
    ASSERT_NE(board, 0u);
    Leaderboards& boards = m_context->Boards();

    // The backend stalls: the calls return at once with their handles, and nothing is answered.
    const auto before = std::chrono::steady_clock::now();
    SteamAPICall_t download = boards.DownloadLeaderboardEntries(board, k_ELeaderboardDataRequestGlobal, 1, 10);
    SteamAPICall_t upload = boards.UploadLeaderboardScore(board, k_ELeaderboardUploadScoreMethodKeepBest, 50);
    m_context->PollClient();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
    ASSERT_NE(download, k_uAPICallInvalid);
    ASSERT_NE(upload, k_uAPICallInvalid);
    EXPECT_EQ(m_sink.Find(download), nullptr);
    {
        std::unique_lock guard(m_backend->lock);
        ASSERT_TRUE(m_backend->changed.wait_for(guard, std::chrono::seconds(2), [&] { return m_backend->calls >= 2; }));
        EXPECT_NE(m_backend->callerThread, std::this_thread::get_id());
    }

    // Released, the answers come in the order asked, and the download's rows are readable.
    m_backend->Open();
    ASSERT_TRUE(Answered(upload));
    ASSERT_TRUE(m_sink.Find(download));
    auto scores = m_sink.As<LeaderboardScoresDownloaded_t>(download);
    EXPECT_FALSE(m_sink.Find(download)->ioFailure);
    EXPECT_EQ(scores.m_hSteamLeaderboard, board);
    ASSERT_EQ(scores.m_cEntryCount, 3);
    LeaderboardEntry_t entry{};
    ASSERT_TRUE(boards.GetDownloadedLeaderboardEntry(scores.m_hSteamLeaderboardEntries, 2, &entry, nullptr, 0));
    EXPECT_EQ(entry.m_nGlobalRank, 3);
    EXPECT_EQ(entry.m_nScore, 997);
    EXPECT_EQ(m_sink.As<LeaderboardScoreUploaded_t>(upload).m_bSuccess, 1);
    // The upload's answer carries the board's new count.
    EXPECT_EQ(boards.GetLeaderboardEntryCount(board), 4);
}

TEST_F(LeaderboardWorker, RequestsPastTheQueueFailAtOnceInsteadOfPilingUp)
{
    SteamLeaderboard_t board = OpenBoard();
    Leaderboards& boards = m_context->Boards();
    std::vector<SteamAPICall_t> calls;
    for (size_t i = 0; i < Leaderboards::kMaxQueuedRequests + 5; ++i)
        calls.push_back(boards.DownloadLeaderboardEntries(board, k_ELeaderboardDataRequestGlobal, 1, 1));
    // The five past the bound are answered as failures without waiting for the backend.
    int failed = 0;
    for (SteamAPICall_t call : calls)
        if (const Recorded* r = m_sink.Find(call))
            failed += r->ioFailure ? 1 : 0;
    EXPECT_EQ(failed, 5);
    m_backend->Open();
    for (SteamAPICall_t call : calls)
        EXPECT_TRUE(Answered(call));
}

TEST_F(LeaderboardWorker, AContextEndsWhileItsBackendStalls)
{
    SteamLeaderboard_t board = OpenBoard();
    m_context->Boards().DownloadLeaderboardEntries(board, k_ELeaderboardDataRequestGlobal, 1, 1);
    m_context->Boards().DownloadLeaderboardEntries(board, k_ELeaderboardDataRequestGlobal, 1, 1);
    {
        std::unique_lock guard(m_backend->lock);
        ASSERT_TRUE(m_backend->changed.wait_for(guard, std::chrono::seconds(2), [&] { return m_backend->calls >= 2; }));
    }
    // The running call is let go; the queued one is dropped with the context.
    std::thread release([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        m_backend->Open();
    });
    m_context.reset();
    release.join();
}

// ---- the embedded backend's board cache ----

std::vector<BoardRow> Rows(int count, size_t nameBytes)
{
    std::vector<BoardRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({static_cast<uint64_t>(i + 1), count - i, std::string(nameBytes, 'n')});
    return rows;
}

void WriteBoard(const std::string& path, const std::vector<BoardRow>& rows)
{
    Bytes bytes = FormatBoardFile({k_ELeaderboardSortMethodDescending, k_ELeaderboardDisplayTypeNumeric, 0}, rows);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::string BoardFile(const testsupport::TempDir& folder, const std::string& name)
{
    std::string hex;
    for (unsigned char c : name) {
        hex.push_back("0123456789abcdef"[c >> 4]);
        hex.push_back("0123456789abcdef"[c & 15]);
    }
    return folder.Str() + "/boards/" + hex;
}

TEST(EmbeddedBoards, AReadBoardIsKeptUntilAnotherProcessReplacesItsFile)
{
    testsupport::TempDir shared;
    auto backend = MakeEmbeddedBackend(shared.Str());
    const std::string path = BoardFile(shared, "Kept");
    WriteBoard(path, Rows(5, 4));
    std::vector<RankedRow> rows;
    int32_t count = 0;
    ASSERT_TRUE(backend->DownloadRows("Kept", k_ELeaderboardDataRequestGlobal, 1, 10, 0, rows, count));
    ASSERT_EQ(count, 5);

    // The same file, scrambled in place with its size and time kept: the board is not read again.
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(0);
        file.write("XXXX", 4);
    }
    const timespec times[2] = {status.st_atim, status.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    ASSERT_TRUE(backend->DownloadRows("Kept", k_ELeaderboardDataRequestGlobal, 1, 10, 0, rows, count));
    EXPECT_EQ(count, 5);

    // Another process's write replaces the file: the next request reads the new board.
    WriteBoard(path + ".new", Rows(8, 4));
    ASSERT_EQ(std::rename((path + ".new").c_str(), path.c_str()), 0);
    ASSERT_TRUE(backend->DownloadRows("Kept", k_ELeaderboardDataRequestGlobal, 1, 10, 0, rows, count));
    EXPECT_EQ(count, 8);
    EXPECT_EQ(rows.front().row.score, 8);

    // A board that has become unreadable is not served from the cache.
    Bytes broken = {1, 2, 3};
    std::ofstream(path + ".new", std::ios::binary).write(reinterpret_cast<const char*>(broken.data()), 3);
    ASSERT_EQ(std::rename((path + ".new").c_str(), path.c_str()), 0);
    EXPECT_FALSE(backend->DownloadRows("Kept", k_ELeaderboardDataRequestGlobal, 1, 10, 0, rows, count));
}

TEST(EmbeddedBoards, AFullBoardOfLongNamesStaysReadableAndTakesUploads)
{
    // 40,000 rows of the longest names make a file well past the size of the other record files.
    testsupport::TempDir shared;
    auto backend = MakeEmbeddedBackend(shared.Str());
    WriteBoard(BoardFile(shared, "Long"), Rows(40000, kMaxNameBytes));
    std::vector<RankedRow> rows;
    int32_t count = 0;
    ASSERT_TRUE(backend->DownloadRows("Long", k_ELeaderboardDataRequestGlobal, 39999, 40005, 0, rows, count));
    EXPECT_EQ(count, 40000);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].rank, 40000);

    UploadOutcome outcome;
    ASSERT_TRUE(backend->UploadScore("Long", {90000, 20000, "Mid"}, k_ELeaderboardUploadScoreMethodKeepBest, outcome));
    EXPECT_EQ(outcome.count, 40001);
    EXPECT_EQ(outcome.rankNew, 20002);  // after the row that had 20,000 first
    // A second backend, as another process would, reads what the first wrote.
    ASSERT_TRUE(MakeEmbeddedBackend(shared.Str())->DownloadRows("Long", k_ELeaderboardDataRequestGlobalAroundUser, 0, 0,
                                                                90000, rows, count));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].rank, 20002);
}

} // namespace
