// The embedded backend: files in one folder shared by every profile on this machine.
// Layout under the folder:
//   lobbies/<id>   a lobby record (see LobbyRecord.cpp), rewritten by its owner every 2 s;
//                  records older than 6 s are of gone owners and are not listed
//   servers/<id>   uint32 ip, uint16 port of a game server
//   personas/<id>  a user's persona name, UTF-8
//   boards/<hex>   a leaderboard (magic "QBD1", sort, display, rows), changed under an flock
// Ids are 16 hex digits. Every file is written to a temporary name and renamed into place, so a
// reader never sees half a file; names holding ".tmp" or ".claim" are never read as records.
#include "OnlineBackend.h"
#include "win32/Files.h"

#include <algorithm>
#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform::steam {

namespace {

constexpr uint32_t kBoardMagic = 0x31444251;  // "QBD1"
constexpr size_t kMaxBoardRows = 100000;
constexpr size_t kMaxRecordFileBytes = 4 * 1024 * 1024;
// A full board: the header, then each row's id, score and name (a 16-bit length and the bytes).
constexpr size_t kMaxBoardFileBytes = 16 + kMaxBoardRows * (8 + 4 + 2 + kMaxNameBytes);


std::string Hex(uint64_t id)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, id);
    return text;
}

bool ParseHex(const std::string& text, uint64_t& id)
{
    if (text.size() != 16 || text.find_first_not_of("0123456789abcdef") != std::string::npos)
        return false;
    id = std::strtoull(text.c_str(), nullptr, 16);
    return true;
}

std::string HexOfText(const std::string& text)
{
    std::string hex;
    static const char* digits = "0123456789abcdef";
    for (unsigned char c : text) {
        hex.push_back(digits[c >> 4]);
        hex.push_back(digits[c & 15]);
    }
    return hex;
}

// Through the guarded open: another profile may leave a FIFO, a device or a huge file in the
// shared folder, and none of them may block or flood the reader. `limit` fits the record's kind.
bool ReadFileBytes(const std::string& path, Bytes& bytes, size_t limit = kMaxRecordFileBytes)
{
    std::string read;
    if (platform::TryReadExactPath(path, read, limit) != platform::ReadOutcome::Read)
        return false;
    bytes.assign(read.begin(), read.end());
    return true;
}

// Temporary file and rename: readers see the old or the new file, never a part.
bool WriteFileAtomically(const std::string& path, const Bytes& bytes)
{
    static std::atomic<unsigned> counter{0};
    std::string temp = path + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
    std::FILE* out = platform::OpenExactPath(temp, "wb");
    if (!out)
        return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    ok = std::fclose(out) == 0 && ok;
    std::error_code ec;
    if (ok)
        fs::rename(temp, path, ec);
    if (!ok || ec) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

int64_t AgeMs(const fs::path& path)
{
    std::error_code ec;
    auto written = fs::last_write_time(path, ec);
    if (ec)
        return INT64_MAX;
    auto age = fs::file_time_type::clock::now() - written;
    return std::chrono::duration_cast<std::chrono::milliseconds>(age).count();
}

bool IsRecordName(const std::string& name)
{
    return name.find(".tmp") == std::string::npos && name.find(".claim") == std::string::npos &&
           name.find(".lock") == std::string::npos;
}

// An flock held for a scope.
class FolderLock {
public:
    // The lock file is opened without blocking and must be a regular file: a FIFO put in its
    // place by another profile is not waited on.
    explicit FolderLock(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW, 0644))
    {
        struct stat info {};
        if (m_fd >= 0 && (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode) || ::flock(m_fd, LOCK_EX) != 0)) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~FolderLock()
    {
        if (m_fd >= 0) {
            ::flock(m_fd, LOCK_UN);
            ::close(m_fd);
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd;
};

void SortRows(ELeaderboardSortMethod sort, std::vector<BoardRow>& rows)
{
    std::stable_sort(rows.begin(), rows.end(),
                     [sort](const BoardRow& a, const BoardRow& b) { return Better(sort, a.score, b.score); });
}

class EmbeddedBackend final : public IOnlineBackend {
public:
    explicit EmbeddedBackend(std::string folder) : m_folder(std::move(folder))
    {
        std::error_code ec;
        for (const char* sub : {"lobbies", "servers", "personas", "boards"})
            fs::create_directories(m_folder + "/" + sub, ec);
    }

    const char* Kind() const override { return "embedded"; }
    std::unique_ptr<IOnlineBackend> Clone() const override { return std::make_unique<EmbeddedBackend>(m_folder); }
    uint32_t BindIp() override { return kLoopback; }
    uint32_t AdvertisedIp() override { return kLoopback; }

    bool PublishLobby(const LobbyRecord& lobby) override
    {
        return WriteFileAtomically(Path("lobbies", lobby.id), EncodeLobby(lobby));
    }

    void WithdrawLobby(uint64_t lobby) override
    {
        std::error_code ec;
        fs::remove(Path("lobbies", lobby), ec);
    }

    bool ListLobbies(std::vector<LobbyRecord>& lobbies) override
    {
        lobbies.clear();
        std::error_code ec;
        fs::directory_iterator it(m_folder + "/lobbies", ec);
        if (ec)
            return false;
        size_t scanned = 0, bytesRead = 0;
        for (const auto& entry : it) {
            if (++scanned > kMaxDirectoryLobbies || bytesRead >= kMaxListingBytes)
                break;
            std::string name = entry.path().filename().string();
            uint64_t id = 0;
            if (!IsRecordName(name) || !ParseHex(name, id))
                continue;
            // Only a plain record as its owner writes it: a regular file (never a FIFO, a device or
            // a link), with one name (its owner renames a fresh file into place, so more names
            // mean someone linked it), and no larger than a record can be. Checked before it is
            // opened, so none of them costs a read.
            if (entry.symlink_status(ec).type() != fs::file_type::regular || entry.hard_link_count(ec) != 1 ||
                entry.file_size(ec) > kMaxLobbyRecordBytes || ec)
                continue;
            int64_t age = AgeMs(entry.path());
            if (age > kAnnouncementLifetimeMs) {
                // Long gone: its owner died without withdrawing it.
                if (age > 10 * kAnnouncementLifetimeMs)
                    fs::remove(entry.path(), ec);
                continue;
            }
            LobbyRecord lobby;
            Bytes bytes;
            if (!ReadFileBytes(entry.path().string(), bytes, kMaxLobbyRecordBytes))
                continue;
            bytesRead += bytes.size();
            // Every owner on this machine serves its lobbies on the loopback.
            if (!ParseLobbyFile(bytes, lobby) || lobby.id != id || (lobby.ip >> 24) != 127)
                continue;
            lobbies.push_back(std::move(lobby));
        }
        std::sort(lobbies.begin(), lobbies.end(), [](const LobbyRecord& a, const LobbyRecord& b) { return a.id < b.id; });
        return true;
    }

    bool FindLobby(uint64_t lobby, LobbyRecord& record) override
    {
        std::string path = Path("lobbies", lobby);
        Bytes bytes;
        if (AgeMs(path) > kAnnouncementLifetimeMs || !ReadFileBytes(path, bytes, kMaxLobbyRecordBytes))
            return false;
        return ParseLobbyFile(bytes, record) && record.id == lobby;
    }

    bool PublishServer(uint64_t server, uint32_t ip, uint16_t port) override
    {
        WireWriter out;
        out.U32(ip);
        out.U16(port);
        return WriteFileAtomically(Path("servers", server), out.Data());
    }

    void WithdrawServer(uint64_t server) override
    {
        std::error_code ec;
        fs::remove(Path("servers", server), ec);
    }

    bool FindServer(uint64_t server, uint32_t& ip, uint16_t& port) override
    {
        Bytes bytes;
        if (!ReadFileBytes(Path("servers", server), bytes, 6))
            return false;
        WireReader in(bytes);
        return in.U32(ip) && in.U16(port) && in.AtEnd() && port != 0;
    }

    void PublishPersona(uint64_t user, const std::string& name) override
    {
        std::string clean = CleanUtf8(name, kMaxNameBytes);
        WriteFileAtomically(Path("personas", user), Bytes(clean.begin(), clean.end()));
    }

    bool FindPersona(uint64_t user, std::string& name) override
    {
        Bytes bytes;
        if (!ReadFileBytes(Path("personas", user), bytes, kMaxNameBytes))
            return false;
        name = CleanLine(std::string(bytes.begin(), bytes.end()), kMaxNameBytes);
        return true;
    }

    bool OpenBoard(const std::string& name, ELeaderboardSortMethod sort, ELeaderboardDisplayType display,
                   BoardInfo& info) override
    {
        FolderLock lock(m_folder + "/boards/.lock");
        if (!lock.Held())
            return false;
        std::lock_guard guard(m_boardLock);
        if (const CachedBoard* board = LoadBoard(name)) {
            info = board->info;
            return true;
        }
        if (fs::exists(BoardPath(name)) && !SetAsideIfDamaged(name))
            return false;  // there but unreadable: never overwrite a board with an empty one
        info = BoardInfo{sort, display, 0};
        return StoreBoard(name, info, {});
    }

    bool UploadScore(const std::string& name, const BoardRow& row, ELeaderboardUploadScoreMethod method,
                     UploadOutcome& outcome) override
    {
        FolderLock lock(m_folder + "/boards/.lock");
        if (!lock.Held())
            return false;
        std::lock_guard guard(m_boardLock);
        // The new rows are built on a copy: a failed write leaves the cache as the file is.
        BoardInfo info{k_ELeaderboardSortMethodDescending, k_ELeaderboardDisplayTypeNumeric, 0};
        std::vector<BoardRow> rows;
        if (const CachedBoard* board = LoadBoard(name)) {
            info = board->info;
            rows = board->rows;
        } else if (!fs::exists(BoardPath(name)) || !SetAsideIfDamaged(name)) {
            return false;
        }
        // else: a damaged board was set aside and the score starts a fresh one.
        auto mine = std::find_if(rows.begin(), rows.end(), [&](const BoardRow& r) { return r.user == row.user; });
        outcome = {};
        if (mine != rows.end()) {
            outcome.rankPrevious = static_cast<int32_t>(mine - rows.begin()) + 1;
            bool replace = method == k_ELeaderboardUploadScoreMethodForceUpdate || Better(info.sort, row.score, mine->score);
            if (!replace) {
                outcome.rankNew = outcome.rankPrevious;
                outcome.count = static_cast<int32_t>(rows.size());
                mine->name = row.name;
                return StoreBoard(name, info, std::move(rows));
            }
            rows.erase(mine);
        }
        if (rows.size() >= kMaxBoardRows)
            return false;
        // A new score goes after every equal one: earlier uploads rank first on ties.
        auto at = std::find_if(rows.begin(), rows.end(), [&](const BoardRow& r) { return Better(info.sort, row.score, r.score); });
        outcome.rankNew = static_cast<int32_t>(at - rows.begin()) + 1;
        rows.insert(at, row);
        outcome.changed = true;
        outcome.count = static_cast<int32_t>(rows.size());
        return StoreBoard(name, info, std::move(rows));
    }

    bool DownloadRows(const std::string& name, ELeaderboardDataRequest request, int first, int last, uint64_t user,
                      std::vector<RankedRow>& result, int32_t& count) override
    {
        std::lock_guard guard(m_boardLock);
        const CachedBoard* board = LoadBoard(name);
        if (!board)
            return false;
        const std::vector<BoardRow>& rows = board->rows;
        count = static_cast<int32_t>(rows.size());
        result.clear();
        int64_t from = first, to = last;  // 0-based indexes after the adjustments below
        if (request == k_ELeaderboardDataRequestGlobalAroundUser) {
            auto mine = std::find_if(rows.begin(), rows.end(), [&](const BoardRow& r) { return r.user == user; });
            if (mine == rows.end())
                return true;
            int64_t at = mine - rows.begin();
            from = at + first;
            to = at + last;
        } else {
            from = static_cast<int64_t>(first) - 1;
            to = static_cast<int64_t>(last) - 1;
        }
        from = std::max<int64_t>(from, 0);
        to = std::min<int64_t>(to, static_cast<int64_t>(rows.size()) - 1);
        for (int64_t i = from; i <= to; ++i)
            result.push_back({rows[static_cast<size_t>(i)], static_cast<int32_t>(i + 1)});
        return true;
    }

private:
    std::string Path(const char* sub, uint64_t id) const { return m_folder + "/" + sub + "/" + Hex(id); }
    std::string BoardPath(const std::string& name) const { return m_folder + "/boards/" + HexOfText(name); }

    // Under the board lock: a board file that reads but does not parse (damaged, cut short,
    // written by something else) is renamed to "<name>.bad" beside it, so the board can start
    // afresh and the damaged copy stays for a look. A file that cannot be read at all (I/O,
    // permissions, not a regular file, too large) is left alone: false.
    bool SetAsideIfDamaged(const std::string& name)
    {
        std::string path = BoardPath(name);
        std::error_code ec;
        Bytes bytes;
        if (!ReadFileBytes(path, bytes, kMaxBoardFileBytes))
            return false;
        BoardInfo info;
        std::vector<BoardRow> rows;
        if (ParseBoardFile(bytes, info, rows))
            return false;
        fs::rename(path, path + ".bad", ec);
        if (ec)
            return false;
        m_boards.erase(name);
        std::fprintf(stderr, "[platform] leaderboard \"%s\" was damaged; set aside as %s.bad and started afresh\n",
                     name.c_str(), path.c_str());
        return true;
    }

    // What identifies one version of a board file: another process's write replaces the file
    // (a rename), which changes at least one of these.
    struct FileStamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        int64_t modifiedNs = -1;
        bool operator==(const FileStamp&) const = default;
    };
    // A board as its file holds it, rows in rank order.
    struct CachedBoard {
        FileStamp stamp;
        BoardInfo info;
        std::vector<BoardRow> rows;
    };

    static bool StampOf(const std::string& path, FileStamp& stamp)
    {
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0)
            return false;
        stamp = {status.st_dev, status.st_ino, status.st_size,
                 static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
        return true;
    }

    // Under the board lock: the board, read from its file only when the file is not the one
    // read last time (another process wrote it); null when it is missing or unreadable.
    const CachedBoard* LoadBoard(const std::string& name)
    {
        const std::string path = BoardPath(name);
        FileStamp stamp;
        if (!StampOf(path, stamp)) {
            m_boards.erase(name);
            return nullptr;
        }
        auto cached = m_boards.find(name);
        if (cached != m_boards.end() && cached->second.stamp == stamp)
            return &cached->second;
        CachedBoard board;
        Bytes bytes;
        // The stamp is taken before the read: a write racing the read makes the next request
        // read again rather than keep a stale board.
        if (!ReadFileBytes(path, bytes, kMaxBoardFileBytes) || !ParseBoardFile(bytes, board.info, board.rows)) {
            m_boards.erase(name);
            return nullptr;
        }
        board.stamp = stamp;
        return &(m_boards[name] = std::move(board));
    }

    // Under the board lock: writes the board's file and keeps the rows as written.
    bool StoreBoard(const std::string& name, const BoardInfo& info, std::vector<BoardRow> rows)
    {
        const std::string path = BoardPath(name);
        if (!WriteFileAtomically(path, FormatBoardFile(info, rows)))
            return false;
        CachedBoard board;
        board.info = info;
        board.info.count = static_cast<int32_t>(rows.size());
        board.rows = std::move(rows);
        if (!StampOf(path, board.stamp)) {
            m_boards.erase(name);
            return true;
        }
        m_boards[name] = std::move(board);
        return true;
    }

    std::string m_folder;
    // The board calls run on the leaderboard worker, apart from the other calls: the cache of
    // boards read is theirs alone.
    std::mutex m_boardLock;
    std::map<std::string, CachedBoard> m_boards;
};

} // namespace

bool ParseLobbyFile(const Bytes& bytes, LobbyRecord& lobby)
{
    return DecodeLobby(bytes, lobby);
}

Bytes FormatBoardFile(const BoardInfo& info, const std::vector<BoardRow>& rows)
{
    WireWriter out;
    out.U32(kBoardMagic);
    out.I32(info.sort);
    out.I32(info.display);
    out.U32(static_cast<uint32_t>(rows.size()));
    for (const BoardRow& row : rows) {
        out.U64(row.user);
        out.I32(row.score);
        out.Text(row.name);
    }
    return out.Take();
}

bool ParseBoardFile(const Bytes& bytes, BoardInfo& info, std::vector<BoardRow>& rows)
{
    WireReader in(bytes);
    uint32_t magic = 0, count = 0;
    int32_t sort = 0, display = 0;
    if (!in.U32(magic) || magic != kBoardMagic || !in.I32(sort) || !in.I32(display) || !in.U32(count))
        return false;
    if (sort < k_ELeaderboardSortMethodNone || sort > k_ELeaderboardSortMethodDescending ||
        display < k_ELeaderboardDisplayTypeNone || display > 3 || count > kMaxBoardRows)
        return false;
    std::vector<BoardRow> read;
    for (uint32_t i = 0; i < count; ++i) {
        BoardRow row;
        if (!in.U64(row.user) || row.user == 0 || !in.I32(row.score) || !in.Text(row.name, kMaxNameBytes))
            return false;
        read.push_back(std::move(row));
        if (!in.Ok())
            return false;
    }
    if (!in.AtEnd())
        return false;
    info.sort = static_cast<ELeaderboardSortMethod>(sort);
    info.display = static_cast<ELeaderboardDisplayType>(display);
    // A file written by hand may be out of order: rank as the board's sort says.
    SortRows(info.sort, read);
    info.count = static_cast<int32_t>(read.size());
    rows = std::move(read);
    return true;
}

std::string EmbeddedBackendFolder()
{
    if (const char* dir = std::getenv("QUIBLY_ONLINE_DIR"); dir && *dir)
        return dir;
    // Beside the profiles, so the boards outlive the session and every profile shares them.
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        return std::string(xdg) + "/quibly-online";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.local/share/quibly-online";
    return "/tmp/quibly-online-" + std::to_string(::getuid());
}

std::unique_ptr<IOnlineBackend> MakeEmbeddedBackend(const std::string& folder)
{
    return std::make_unique<EmbeddedBackend>(folder);
}

std::unique_ptr<IOnlineBackend> MakeBackendFromEnvironment()
{
    const char* url = std::getenv("QUIBLY_ONLINE");
    if (url && *url) {
        if (auto redis = MakeRedisBackend(url))
            return redis;
        std::fprintf(stderr, "[platform] QUIBLY_ONLINE=%s is not redis://host:port; using the embedded backend\n", url);
    }
    return MakeEmbeddedBackend(EmbeddedBackendFolder());
}

} // namespace platform::steam
