// The one interface between the platform client's online services and where they are shared:
// the lobby directory, the game-server directory, persona names and leaderboards. Tickets are
// never kept here, where every participant can write: they travel through the lobby's own
// connection (Lobbies.cpp). Two backends implement it: the embedded one (files in a folder
// shared by every profile on this machine) and Redis (shared by players on many machines).
// Lobbies themselves are served by their owner's process over TCP with either backend; the
// backend only makes them findable.
#pragma once

#include "Wire.h"
#include "steam/SteamTypes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform::steam {

// Caps of texts that cross processes. Longer input is refused or cut, never trusted.
constexpr size_t kMaxKeyBytes = 255;
constexpr size_t kMaxValueBytes = 8 * 1024;
constexpr size_t kMaxChatBytes = 4 * 1024;
constexpr size_t kMaxNameBytes = 127;
constexpr size_t kMaxBoardNameBytes = 127;
constexpr size_t kMaxLobbyKeys = 64;
constexpr size_t kMaxMemberKeys = 16;
// The game's lobbies hold two players and its browser skips lobbies of ten or more: sixteen
// leaves room and keeps an owner from filling a member's lists with made-up members.
constexpr size_t kMaxLobbyMembers = 16;
// A lobby record travels whole in one frame (the snapshot), so no record is larger.
constexpr size_t kMaxLobbyRecordBytes = kMaxFramePayload - 1;
// What one list request returns, after the filters (25 pages of the browser's 8 rows).
constexpr size_t kMaxListedLobbies = 200;
// What a backend looks at for one list, before the owners are asked whether they are alive: at
// most 20,000 announcements (ids in the index, names in the folder) and 4 MiB of records. A real
// record is a few hundred bytes, so thousands of forged ones still leave the real ones read; the
// probes then drop every lobby nobody serves.
constexpr size_t kMaxDirectoryLobbies = 20000;
constexpr size_t kMaxListingBytes = 4 * 1024 * 1024;
// Announcements older than this are of lobbies whose owner is gone.
constexpr int64_t kAnnouncementLifetimeMs = 6000;
constexpr int64_t kAnnouncementRefreshMs = 2000;

using KeyValues = std::map<std::string, std::string>;

struct LobbyMember {
    uint64_t id = 0;
    std::string name;
    KeyValues data;
};

struct GameServerInfo {
    uint32_t ip = 0;
    uint16_t port = 0;
    uint64_t id = 0;
};

// A lobby as its owner serves it: in the directory, in a member's snapshot.
struct LobbyRecord {
    uint64_t id = 0;
    uint64_t owner = 0;
    int32_t type = 0;
    int32_t limit = 0;
    uint32_t ip = 0;  // where the owner serves it
    uint16_t port = 0;
    KeyValues data;
    std::vector<LobbyMember> members;
    GameServerInfo server;
};

// Writes and reads a lobby record field by field; Decode checks every count, length and text.
Bytes EncodeLobby(const LobbyRecord& lobby);
bool DecodeLobby(WireReader& in, LobbyRecord& lobby);
bool DecodeLobby(const Bytes& bytes, LobbyRecord& lobby);
// The names members are shown by, in member order: each member's name, with " (2)", " (3)"...
// added where an earlier member already shows that name, so no two members look alike. Every
// participant sees the members in the owner's order, so every participant shows the same names.
std::vector<std::string> DisplayNames(const LobbyRecord& lobby);
void WriteLobby(WireWriter& out, const LobbyRecord& lobby);

// One leaderboard row as a backend keeps it.
struct BoardRow {
    uint64_t user = 0;
    int32_t score = 0;
    std::string name;
};

struct BoardInfo {
    ELeaderboardSortMethod sort = k_ELeaderboardSortMethodDescending;
    ELeaderboardDisplayType display = k_ELeaderboardDisplayTypeNumeric;
    int32_t count = 0;
};

struct UploadOutcome {
    bool changed = false;
    int32_t rankNew = 0;
    int32_t rankPrevious = 0;
    int32_t count = 0;
};

// Rows with their 1-based global ranks.
struct RankedRow {
    BoardRow row;
    int32_t rank = 0;
};

class IOnlineBackend {
public:
    virtual ~IOnlineBackend() = default;
    // "embedded" or "redis", for log lines.
    virtual const char* Kind() const = 0;
    // A new backend onto the same shared place, with a connection of its own: for a thread of
    // its own. Safe to call from any thread.
    virtual std::unique_ptr<IOnlineBackend> Clone() const = 0;
    // The address this process's listeners bind, and the one peers are told to reach them at
    // (host byte order).
    virtual uint32_t BindIp() = 0;
    virtual uint32_t AdvertisedIp() = 0;

    // The lobby directory. Publish creates or refreshes an announcement.
    virtual bool PublishLobby(const LobbyRecord& lobby) = 0;
    virtual void WithdrawLobby(uint64_t lobby) = 0;
    // Fresh announcements only, at most kMaxDirectoryLobbies; false when the backend is unreachable.
    virtual bool ListLobbies(std::vector<LobbyRecord>& lobbies) = 0;
    virtual bool FindLobby(uint64_t lobby, LobbyRecord& record) = 0;

    // The game-server directory: server id -> endpoint.
    virtual bool PublishServer(uint64_t server, uint32_t ip, uint16_t port) = 0;
    virtual void WithdrawServer(uint64_t server) = 0;
    virtual bool FindServer(uint64_t server, uint32_t& ip, uint16_t& port) = 0;

    virtual void PublishPersona(uint64_t user, const std::string& name) = 0;
    virtual bool FindPersona(uint64_t user, std::string& name) = 0;

    // Leaderboards, found by name; a missing board is created with the given sort and display.
    // These three run on the leaderboard worker thread while the frame's thread makes the other
    // calls: a backend keeps what they use (connection, cache) apart from the rest.
    virtual bool OpenBoard(const std::string& name, ELeaderboardSortMethod sort, ELeaderboardDisplayType display,
                           BoardInfo& info) = 0;
    virtual bool UploadScore(const std::string& name, const BoardRow& row, ELeaderboardUploadScoreMethod method,
                             UploadOutcome& outcome) = 0;
    // Global: ranks first..last (1-based, inclusive). Around the user: the user's rank plus
    // first..last. `count` is the board's entry count.
    virtual bool DownloadRows(const std::string& name, ELeaderboardDataRequest request, int first, int last,
                              uint64_t user, std::vector<RankedRow>& rows, int32_t& count) = 0;
};

// The folder of the embedded backend: $QUIBLY_ONLINE_DIR, else <data home>/quibly-online.
std::string EmbeddedBackendFolder();
std::unique_ptr<IOnlineBackend> MakeEmbeddedBackend(const std::string& folder);
// "redis://host:port"; null when the address does not parse. An unreachable server gives a
// backend whose calls fail until it can be reached.
std::unique_ptr<IOnlineBackend> MakeRedisBackend(const std::string& url);
// From $QUIBLY_ONLINE: the embedded backend when unset or empty.
std::unique_ptr<IOnlineBackend> MakeBackendFromEnvironment();

// A Redis game-server value "ip port" (decimal, host byte order), exposed for its fuzz target.
bool ParseServerValue(const std::string& text, uint32_t& ip, uint16_t& port);

// The embedded backend's file layouts, exposed for their fuzz target.
bool ParseLobbyFile(const Bytes& bytes, LobbyRecord& lobby);
bool ParseBoardFile(const Bytes& bytes, BoardInfo& info, std::vector<BoardRow>& rows);
Bytes FormatBoardFile(const BoardInfo& info, const std::vector<BoardRow>& rows);

// Board order shared by both backends: better scores first, ties in upload order.
bool Better(ELeaderboardSortMethod sort, int32_t a, int32_t b);

} // namespace platform::steam
