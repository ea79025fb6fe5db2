// The Redis backend ($QUIBLY_ONLINE=redis://host:port), through hiredis. Keys:
//   quibly:lobby:<id>     a lobby record (LobbyRecord.cpp), set by its owner every 2 s, expiring
//                         after 6 s; quibly:lobbies is the set of announced ids
//   quibly:gs:<id>        "ip port" of a game server
//   quibly:user:<id>      a persona name
//   quibly:lb:<name>      a leaderboard's sorted set (member: user id, score: the score)
//   quibly:lbmeta:<name>  its sort and display; quibly:lbname:<name> the rows' persona names
// Every value is written in one command, so a reader sees the old or the new value, never a part.
// Every read is bounded before it is made, because anyone with the server can write any key:
// the lobby index is scanned in pages up to a cap of ids, and values are read with GETRANGE up to
// one byte past their kind's limit, so an oversized value costs at most that and is refused. A key
// of the wrong type is refused, and the refusal is said once (with counts as it repeats).
// The time-outs fit a server across the internet. The first connection is made at start, waiting
// up to the connect time-out; a command waits up to the command time-out. While the server is
// unreachable calls fail at once: a new connection is begun at most every 2 s, without waiting,
// and taken into use by the first call after it has been made. The lobby directory and persona
// names are used from the backend worker, off the frame loop.
#include "OnlineBackend.h"

#include <hiredis/hiredis.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <map>
#include <string_view>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace platform::steam {

namespace {

constexpr int kConnectTimeoutMs = 5000;
constexpr int kCommandTimeoutMs = 3000;
constexpr int64_t kReconnectPauseMs = 2000;
// The lobby index is read in pages of 256 ids, up to kMaxDirectoryLobbies ids and
// kMaxListingBytes of records a listing, in at most 100 round trips.
constexpr int kScanPage = 256;
constexpr int kMaxScanPages = 100;
// "ip port" of a game server.
constexpr size_t kMaxServerValueBytes = 32;

struct ReplyDeleter {
    void operator()(redisReply* reply) const
    {
        if (reply)
            freeReplyObject(reply);
    }
};
using Reply = std::unique_ptr<redisReply, ReplyDeleter>;

timeval Timeval(int ms)
{
    return timeval{ms / 1000, (ms % 1000) * 1000};
}

class RedisBackend final : public IOnlineBackend {
public:
    RedisBackend(std::string host, int port) : m_host(std::move(host)), m_port(port) { Connect(); }
    ~RedisBackend() override
    {
        if (m_context)
            redisFree(m_context);
        if (m_pending)
            redisFree(m_pending);
    }

    const char* Kind() const override { return "redis"; }
    std::unique_ptr<IOnlineBackend> Clone() const override { return std::make_unique<RedisBackend>(m_host, m_port); }
    // Listeners bind the address this machine reaches the Redis server from: the loopback when
    // the server is local, else the interface other players on that network can reach.
    uint32_t BindIp() override { return AdvertisedIp(); }
    uint32_t AdvertisedIp() override { return m_localIp ? m_localIp : kLoopback; }

    bool PublishLobby(const LobbyRecord& lobby) override
    {
        Bytes bytes = EncodeLobby(lobby);
        if (bytes.size() > kMaxLobbyRecordBytes)
            return false;
        std::string key = "quibly:lobby:" + std::to_string(lobby.id);
        Reply set = Command("SET %s %b PX %lld", key.c_str(), bytes.data(), bytes.size(),
                            static_cast<long long>(kAnnouncementLifetimeMs));
        Reply add = Command("SADD quibly:lobbies %llu", static_cast<unsigned long long>(lobby.id));
        if (!add && m_lastErrorWrongType) {
            // The index is ours: a value of another type in its place hides every lobby, so it is
            // replaced by a set again.
            SayOnce("quibly:lobbies is not a set; it is made a set again");
            Command("DEL quibly:lobbies");
            add = Command("SADD quibly:lobbies %llu", static_cast<unsigned long long>(lobby.id));
        }
        return IsOk(set) && add;
    }

    void WithdrawLobby(uint64_t lobby) override
    {
        Command("DEL quibly:lobby:%llu", static_cast<unsigned long long>(lobby));
        Command("SREM quibly:lobbies %llu", static_cast<unsigned long long>(lobby));
    }

    bool ListLobbies(std::vector<LobbyRecord>& lobbies) override
    {
        lobbies.clear();
        std::string cursor = "0";
        size_t seen = 0, bytesRead = 0;
        for (int page = 0; page < kMaxScanPages && seen < kMaxDirectoryLobbies && bytesRead < kMaxListingBytes; ++page) {
            Reply scan = Command("SSCAN quibly:lobbies %s COUNT %d", cursor.c_str(), kScanPage);
            if (!scan || scan->type != REDIS_REPLY_ARRAY || scan->elements != 2 ||
                scan->element[0]->type != REDIS_REPLY_STRING || scan->element[1]->type != REDIS_REPLY_ARRAY) {
                if (scan)
                    SayOnce("quibly:lobbies does not scan as a set");
                return false;
            }
            cursor.assign(scan->element[0]->str, scan->element[0]->len);
            std::vector<std::string> idTexts;
            std::vector<std::string> keys;
            const redisReply* ids = scan->element[1];
            // A page may hold more than asked for (small sets come whole): the cap holds anyway.
            for (size_t i = 0; i < ids->elements && seen < kMaxDirectoryLobbies; ++i, ++seen) {
                const redisReply* id = ids->element[i];
                if (id->type != REDIS_REPLY_STRING || id->len == 0 || id->len > 20 ||
                    std::string_view(id->str, id->len).find_first_not_of("0123456789") != std::string_view::npos)
                    continue;
                idTexts.emplace_back(id->str, id->len);
                keys.push_back("quibly:lobby:" + idTexts.back());
            }
            std::vector<Reply> values;
            if (!ReadBounded(keys, kMaxLobbyRecordBytes, values))
                return false;
            std::vector<std::string> gone;
            for (size_t i = 0; i < values.size(); ++i) {
                const redisReply* value = values[i].get();
                if (value->type != REDIS_REPLY_STRING) {
                    SayOnce("a lobby record is not a string; refused");
                    continue;
                }
                bytesRead += value->len;
                if (value->len == 0) {
                    gone.push_back(idTexts[i]);  // expired: its owner is gone
                    continue;
                }
                if (value->len > kMaxLobbyRecordBytes) {
                    SayOnce("a lobby record is over its size limit; refused");
                    continue;
                }
                LobbyRecord lobby;
                Bytes bytes(value->str, value->str + value->len);
                if (!DecodeLobby(bytes, lobby) || std::to_string(lobby.id) != idTexts[i]) {
                    SayOnce("a lobby record does not decode; refused");
                    continue;
                }
                lobbies.push_back(std::move(lobby));
            }
            if (!gone.empty()) {
                std::vector<std::string> argv{"SREM", "quibly:lobbies"};
                argv.insert(argv.end(), gone.begin(), gone.end());
                CommandArgv(argv);
            }
            if (cursor == "0")
                break;
        }
        std::sort(lobbies.begin(), lobbies.end(), [](const LobbyRecord& a, const LobbyRecord& b) { return a.id < b.id; });
        return true;
    }

    bool FindLobby(uint64_t lobby, LobbyRecord& record) override
    {
        std::string value;
        if (!ReadValue("quibly:lobby:" + std::to_string(lobby), kMaxLobbyRecordBytes, "lobby record", value))
            return false;
        Bytes bytes(value.begin(), value.end());
        return DecodeLobby(bytes, record) && record.id == lobby;
    }

    bool PublishServer(uint64_t server, uint32_t ip, uint16_t port) override
    {
        return IsOk(Command("SET quibly:gs:%llu %s EX 86400", static_cast<unsigned long long>(server),
                            (std::to_string(ip) + " " + std::to_string(port)).c_str()));
    }

    void WithdrawServer(uint64_t server) override
    {
        Command("DEL quibly:gs:%llu", static_cast<unsigned long long>(server));
    }

    bool FindServer(uint64_t server, uint32_t& ip, uint16_t& port) override
    {
        std::string text;
        return ReadValue("quibly:gs:" + std::to_string(server), kMaxServerValueBytes, "game server", text) &&
               ParseServerValue(text, ip, port);
    }

    void PublishPersona(uint64_t user, const std::string& name) override
    {
        std::string clean = CleanUtf8(name, kMaxNameBytes);
        Command("SET quibly:user:%llu %b", static_cast<unsigned long long>(user), clean.data(), clean.size());
    }

    bool FindPersona(uint64_t user, std::string& name) override
    {
        std::string value;
        if (!ReadValue("quibly:user:" + std::to_string(user), kMaxNameBytes, "persona name", value))
            return false;
        name = CleanLine(value, kMaxNameBytes);
        return true;
    }

    // The board calls run on the leaderboard worker while the frame's thread makes the others;
    // a connection is used by one thread at a time, so they go through a second backend object
    // with a connection of its own, made at the first board call.
    bool OpenBoard(const std::string& name, ELeaderboardSortMethod sort, ELeaderboardDisplayType display,
                   BoardInfo& info) override
    {
        std::lock_guard guard(m_boardLock);
        return BoardSide().OpenBoardHere(name, sort, display, info);
    }

    bool UploadScore(const std::string& name, const BoardRow& row, ELeaderboardUploadScoreMethod method,
                     UploadOutcome& outcome) override
    {
        std::lock_guard guard(m_boardLock);
        return BoardSide().UploadScoreHere(name, row, method, outcome);
    }

    bool DownloadRows(const std::string& name, ELeaderboardDataRequest request, int first, int last, uint64_t user,
                      std::vector<RankedRow>& rows, int32_t& count) override
    {
        std::lock_guard guard(m_boardLock);
        return BoardSide().DownloadRowsHere(name, request, first, last, user, rows, count);
    }

private:
    RedisBackend& BoardSide()
    {
        if (!m_boardSide)
            m_boardSide = std::make_unique<RedisBackend>(m_host, m_port);
        return *m_boardSide;
    }

    bool OpenBoardHere(const std::string& name, ELeaderboardSortMethod sort, ELeaderboardDisplayType display,
                       BoardInfo& info)
    {
        std::string meta = "quibly:lbmeta:" + name;
        // HSETNX: the first finder fixes the board's sort and display.
        Reply a = Command("HSETNX %b sort %d", meta.data(), meta.size(), static_cast<int>(sort));
        Reply b = Command("HSETNX %b display %d", meta.data(), meta.size(), static_cast<int>(display));
        Reply read = Command("HMGET %b sort display", meta.data(), meta.size());
        if (!a || !b || !read || read->type != REDIS_REPLY_ARRAY || read->elements != 2)
            return false;
        for (size_t i = 0; i < 2; ++i)
            if (read->element[i]->type != REDIS_REPLY_STRING)
                return false;
        int readSort = std::atoi(read->element[0]->str);
        int readDisplay = std::atoi(read->element[1]->str);
        if (readSort < k_ELeaderboardSortMethodNone || readSort > k_ELeaderboardSortMethodDescending)
            return false;
        info.sort = static_cast<ELeaderboardSortMethod>(readSort);
        info.display = static_cast<ELeaderboardDisplayType>(readDisplay);
        return Count(name, info.count);
    }

    bool UploadScoreHere(const std::string& name, const BoardRow& row, ELeaderboardUploadScoreMethod method,
                         UploadOutcome& outcome)
    {
        BoardInfo info;
        if (!OpenBoardHere(name, k_ELeaderboardSortMethodDescending, k_ELeaderboardDisplayTypeNumeric, info))
            return false;
        std::string key = "quibly:lb:" + name;
        std::string names = "quibly:lbname:" + name;
        std::string member = std::to_string(row.user);
        outcome = {};
        outcome.rankPrevious = Rank(key, info.sort, member);
        const char* keep = info.sort == k_ELeaderboardSortMethodAscending ? "LT" : "GT";
        Reply added = method == k_ELeaderboardUploadScoreMethodForceUpdate
                          ? Command("ZADD %b CH %d %s", key.data(), key.size(), row.score, member.c_str())
                          : Command("ZADD %b %s CH %d %s", key.data(), key.size(), keep, row.score, member.c_str());
        if (!added || added->type != REDIS_REPLY_INTEGER)
            return false;
        outcome.changed = added->integer > 0 || method == k_ELeaderboardUploadScoreMethodForceUpdate;
        std::string clean = CleanUtf8(row.name, kMaxNameBytes);
        Command("HSET %b %s %b", names.data(), names.size(), member.c_str(), clean.data(), clean.size());
        outcome.rankNew = Rank(key, info.sort, member);
        return Count(name, outcome.count);
    }

    bool DownloadRowsHere(const std::string& name, ELeaderboardDataRequest request, int first, int last,
                          uint64_t user, std::vector<RankedRow>& rows, int32_t& count)
    {
        BoardInfo info;
        if (!OpenBoardHere(name, k_ELeaderboardSortMethodDescending, k_ELeaderboardDisplayTypeNumeric, info))
            return false;
        count = info.count;
        rows.clear();
        std::string key = "quibly:lb:" + name;
        int64_t from = static_cast<int64_t>(first) - 1, to = static_cast<int64_t>(last) - 1;
        if (request == k_ELeaderboardDataRequestGlobalAroundUser) {
            int32_t rank = Rank(key, info.sort, std::to_string(user));
            if (rank == 0)
                return true;
            from = rank - 1 + static_cast<int64_t>(first);
            to = rank - 1 + static_cast<int64_t>(last);
        }
        from = std::max<int64_t>(from, 0);
        if (to < from)
            return true;
        const char* range = info.sort == k_ELeaderboardSortMethodAscending ? "ZRANGE" : "ZREVRANGE";
        Reply got = Command("%s %b %lld %lld WITHSCORES", range, key.data(), key.size(), static_cast<long long>(from),
                            static_cast<long long>(to));
        if (!got || got->type != REDIS_REPLY_ARRAY || got->elements % 2 != 0)
            return false;
        std::string names = "quibly:lbname:" + name;
        for (size_t i = 0; i + 1 < got->elements; i += 2) {
            redisReply* member = got->element[i];
            redisReply* score = got->element[i + 1];
            if (member->type != REDIS_REPLY_STRING || score->type != REDIS_REPLY_STRING)
                return false;
            RankedRow row;
            row.row.user = std::strtoull(member->str, nullptr, 10);
            double value = std::strtod(score->str, nullptr);
            if (row.row.user == 0 || !(value >= INT32_MIN && value <= INT32_MAX))
                continue;
            row.row.score = static_cast<int32_t>(value);
            row.rank = static_cast<int32_t>(from + static_cast<int64_t>(i / 2) + 1);
            Reply title = Command("HGET %b %s", names.data(), names.size(), member->str);
            if (title && title->type == REDIS_REPLY_STRING)
                row.row.name = CleanUtf8(std::string_view(title->str, title->len), kMaxNameBytes);
            rows.push_back(std::move(row));
        }
        return true;
    }

    // 1-based rank, 0 when the user has no row.
    int32_t Rank(const std::string& key, ELeaderboardSortMethod sort, const std::string& member)
    {
        const char* command = sort == k_ELeaderboardSortMethodAscending ? "ZRANK" : "ZREVRANK";
        Reply rank = Command("%s %b %s", command, key.data(), key.size(), member.c_str());
        return rank && rank->type == REDIS_REPLY_INTEGER ? static_cast<int32_t>(rank->integer) + 1 : 0;
    }

    bool Count(const std::string& name, int32_t& count)
    {
        std::string key = "quibly:lb:" + name;
        Reply reply = Command("ZCARD %b", key.data(), key.size());
        if (!reply || reply->type != REDIS_REPLY_INTEGER)
            return false;
        count = static_cast<int32_t>(reply->integer);
        return true;
    }

    static bool IsOk(const Reply& reply) { return reply && reply->type == REDIS_REPLY_STATUS; }

    // A string value of at most `limit` bytes; false when it is missing, empty, of another type or
    // longer (each refusal said once).
    bool ReadValue(const std::string& key, size_t limit, const char* kind, std::string& value)
    {
        std::vector<Reply> replies;
        if (!ReadBounded({key}, limit, replies))
            return false;
        const redisReply* reply = replies[0].get();
        if (reply->type != REDIS_REPLY_STRING) {
            SayOnce(std::string("a ") + kind + " is not a string; refused");
            return false;
        }
        if (reply->len > limit) {
            SayOnce(std::string("a ") + kind + " is over its size limit; refused");
            return false;
        }
        if (reply->len == 0)
            return false;
        value.assign(reply->str, reply->len);
        return true;
    }

    // The first `limit` + 1 bytes of each key in one round trip: a value longer than `limit`
    // shows as such without being read whole. A missing key reads "". Error replies are kept
    // (a key of another type answers one).
    bool ReadBounded(const std::vector<std::string>& keys, size_t limit, std::vector<Reply>& replies)
    {
        replies.clear();
        if (keys.empty())
            return true;
        if (!Ready())
            return false;
        for (const std::string& key : keys)
            redisAppendCommand(m_context, "GETRANGE %b 0 %lld", key.data(), key.size(), static_cast<long long>(limit));
        for (size_t i = 0; i < keys.size(); ++i) {
            void* reply = nullptr;
            if (redisGetReply(m_context, &reply) != REDIS_OK || !reply) {
                Drop();
                replies.clear();
                return false;
            }
            replies.emplace_back(static_cast<redisReply*>(reply));
        }
        return true;
    }

    // Says a line the first time, then again at 10, 100, 1000... repeats with the count, so a
    // damaged key read every few seconds does not fill the log.
    void SayOnce(const std::string& line)
    {
        uint64_t count = ++m_said[line];
        if (count == 1)
            std::fprintf(stderr, "[platform] redis: %s\n", line.c_str());
        else if (IsPowerOfTen(count))
            std::fprintf(stderr, "[platform] redis: %s (%llu times)\n", line.c_str(), static_cast<unsigned long long>(count));
    }

    static bool IsPowerOfTen(uint64_t n)
    {
        while (n >= 10 && n % 10 == 0)
            n /= 10;
        return n == 1;
    }

    // The connection at start, waiting for it up to the connect time-out.
    void Connect()
    {
        m_lastAttemptMs = NowMs();
        redisContext* context = redisConnectWithTimeout(m_host.c_str(), m_port, Timeval(kConnectTimeoutMs));
        if (!context || context->err) {
            ReportDown(context ? context->errstr : "no memory");
            if (context)
                redisFree(context);
            return;
        }
        Adopt(context);
    }

    void ReportDown(const char* why)
    {
        if (!m_reportedDown)
            std::fprintf(stderr, "[platform] redis %s:%d unreachable: %s\n", m_host.c_str(), m_port, why);
        m_reportedDown = true;
    }

    // A made connection: its commands wait for their answers up to the command time-out.
    void Adopt(redisContext* context)
    {
        redisSetTimeout(context, Timeval(kCommandTimeoutMs));
        m_context = context;
        m_reportedDown = false;
        // The address this machine reaches the server from is the one peers can reach it at.
        sockaddr_in local{};
        socklen_t size = sizeof local;
        if (::getsockname(context->fd, reinterpret_cast<sockaddr*>(&local), &size) == 0 && local.sin_family == AF_INET)
            m_localIp = ntohl(local.sin_addr.s_addr);
    }

    // Begins a new connection without waiting for it.
    void BeginReconnect()
    {
        m_lastAttemptMs = NowMs();
        redisContext* context = redisConnectNonBlock(m_host.c_str(), m_port);
        if (!context || context->err) {
            ReportDown(context ? context->errstr : "no memory");
            if (context)
                redisFree(context);
            return;
        }
        m_pending = context;
    }

    // Looks at the connection begun, without waiting: true once it is made and in use.
    bool FinishReconnect()
    {
        pollfd connecting{m_pending->fd, POLLOUT, 0};
        const int ready = ::poll(&connecting, 1, 0);
        if (ready == 0 && NowMs() - m_lastAttemptMs < kConnectTimeoutMs)
            return false;
        int error = ready == 0 ? ETIMEDOUT : 0;
        socklen_t size = sizeof error;
        if (ready < 0 || (ready > 0 && ::getsockopt(m_pending->fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0))
            error = errno;
        if (error != 0) {
            ReportDown(std::strerror(error));
            redisFree(m_pending);
            m_pending = nullptr;
            m_lastAttemptMs = NowMs();
            return false;
        }
        // From now on the connection waits for answers like the one made at start.
        const int flags = ::fcntl(m_pending->fd, F_GETFL);
        ::fcntl(m_pending->fd, F_SETFL, flags & ~O_NONBLOCK);
        m_pending->flags |= REDIS_BLOCK;
        Adopt(m_pending);
        m_pending = nullptr;
        return true;
    }

    bool Ready()
    {
        if (m_context)
            return true;
        if (!m_pending) {
            if (NowMs() - m_lastAttemptMs < kReconnectPauseMs)
                return false;
            BeginReconnect();
            if (!m_pending)
                return false;
        }
        return FinishReconnect();
    }

    void Drop()
    {
        std::fprintf(stderr, "[platform] redis connection lost: %s\n", m_context->errstr);
        redisFree(m_context);
        m_context = nullptr;
        m_lastAttemptMs = NowMs();
    }

    template <typename... Args>
    Reply Command(const char* format, Args... args)
    {
        if (!Ready())
            return nullptr;
        Reply reply(static_cast<redisReply*>(redisCommand(m_context, format, args...)));
        return Checked(std::move(reply));
    }

    Reply CommandArgv(const std::vector<std::string>& args)
    {
        if (!Ready())
            return nullptr;
        std::vector<const char*> argv;
        std::vector<size_t> lengths;
        for (const std::string& arg : args) {
            argv.push_back(arg.data());
            lengths.push_back(arg.size());
        }
        Reply reply(static_cast<redisReply*>(
            redisCommandArgv(m_context, static_cast<int>(argv.size()), argv.data(), lengths.data())));
        return Checked(std::move(reply));
    }

    Reply Checked(Reply reply)
    {
        m_lastErrorWrongType = false;
        if (!reply) {
            Drop();
            return nullptr;
        }
        if (reply->type == REDIS_REPLY_ERROR) {
            std::string error(reply->str, reply->len);
            m_lastErrorWrongType = error.rfind("WRONGTYPE", 0) == 0;
            SayOnce(error);
            return nullptr;
        }
        return reply;
    }

    std::string m_host;
    int m_port;
    redisContext* m_context = nullptr;
    // A connection begun and not yet made.
    redisContext* m_pending = nullptr;
    int64_t m_lastAttemptMs = 0;
    bool m_reportedDown = false;
    uint32_t m_localIp = 0;
    std::mutex m_boardLock;
    std::unique_ptr<RedisBackend> m_boardSide;
    bool m_lastErrorWrongType = false;
    std::map<std::string, uint64_t> m_said;
};

} // namespace

bool ParseServerValue(const std::string& text, uint32_t& ip, uint16_t& port)
{
    unsigned long long readIp = 0, readPort = 0;
    int used = 0;
    if (text.size() > kMaxServerValueBytes || text.find('\0') != std::string::npos ||
        std::sscanf(text.c_str(), "%llu %llu%n", &readIp, &readPort, &used) != 2 ||
        static_cast<size_t>(used) != text.size() || readIp > UINT32_MAX || readPort == 0 || readPort > 65535)
        return false;
    ip = static_cast<uint32_t>(readIp);
    port = static_cast<uint16_t>(readPort);
    return true;
}

std::unique_ptr<IOnlineBackend> MakeRedisBackend(const std::string& url)
{
    const std::string scheme = "redis://";
    if (url.compare(0, scheme.size(), scheme) != 0)
        return nullptr;
    std::string rest = url.substr(scheme.size());
    if (!rest.empty() && rest.back() == '/')
        rest.pop_back();
    size_t colon = rest.rfind(':');
    std::string host = colon == std::string::npos ? rest : rest.substr(0, colon);
    int port = 6379;
    if (colon != std::string::npos) {
        char* end = nullptr;
        long parsed = std::strtol(rest.c_str() + colon + 1, &end, 10);
        if (*end != '\0' || parsed < 1 || parsed > 65535)
            return nullptr;
        port = static_cast<int>(parsed);
    }
    if (host.empty())
        return nullptr;
    return std::make_unique<RedisBackend>(host, port);
}

} // namespace platform::steam
