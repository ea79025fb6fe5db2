// The lobby record's byte layout, shared by the directory files, the Redis values and the
// snapshot a lobby's owner sends to a member who joins; and the board order.
#include "OnlineBackend.h"

#include <algorithm>

namespace platform::steam {

namespace {

constexpr uint32_t kLobbyMagic = 0x31424C51;  // "QLB1"

void WriteValues(WireWriter& out, const KeyValues& values)
{
    out.U16(static_cast<uint16_t>(values.size()));
    for (const auto& [key, value] : values) {
        out.Text(key);
        out.Text(value);
    }
}

bool ReadValues(WireReader& in, KeyValues& values, size_t maxKeys)
{
    uint16_t count = 0;
    if (!in.U16(count) || count > maxKeys)
        return false;
    values.clear();
    for (uint16_t i = 0; i < count; ++i) {
        std::string key, value;
        if (!in.Text(key, kMaxKeyBytes) || !in.Text(value, kMaxValueBytes) || key.empty())
            return false;
        values[key] = std::move(value);
    }
    return true;
}

} // namespace

void WriteLobby(WireWriter& out, const LobbyRecord& lobby)
{
    out.U32(kLobbyMagic);
    out.U64(lobby.id);
    out.U64(lobby.owner);
    out.I32(lobby.type);
    out.I32(lobby.limit);
    out.U32(lobby.ip);
    out.U16(lobby.port);
    out.U32(lobby.server.ip);
    out.U16(lobby.server.port);
    out.U64(lobby.server.id);
    WriteValues(out, lobby.data);
    out.U16(static_cast<uint16_t>(lobby.members.size()));
    for (const LobbyMember& member : lobby.members) {
        out.U64(member.id);
        out.Text(member.name);
        WriteValues(out, member.data);
    }
}

Bytes EncodeLobby(const LobbyRecord& lobby)
{
    WireWriter out;
    WriteLobby(out, lobby);
    return out.Take();
}

bool DecodeLobby(WireReader& in, LobbyRecord& lobby)
{
    uint32_t magic = 0;
    if (!in.U32(magic) || magic != kLobbyMagic)
        return false;
    LobbyRecord read;
    if (!in.U64(read.id) || !in.U64(read.owner) || !in.I32(read.type) || !in.I32(read.limit) || !in.U32(read.ip) ||
        !in.U16(read.port) || !in.U32(read.server.ip) || !in.U16(read.server.port) || !in.U64(read.server.id))
        return false;
    if (read.id == 0 || read.owner == 0 || read.limit < 1 || read.limit > static_cast<int32_t>(kMaxLobbyMembers))
        return false;
    if (!ReadValues(in, read.data, kMaxLobbyKeys))
        return false;
    uint16_t members = 0;
    if (!in.U16(members) || members > kMaxLobbyMembers)
        return false;
    for (uint16_t i = 0; i < members; ++i) {
        LobbyMember member;
        if (!in.U64(member.id) || member.id == 0 || !in.Text(member.name, kMaxNameBytes) ||
            !ReadValues(in, member.data, kMaxMemberKeys))
            return false;
        // A name is shown on one line: control characters are left out.
        member.name = CleanLine(member.name, kMaxNameBytes);
        for (const LobbyMember& earlier : read.members)
            if (earlier.id == member.id)
                return false;
        read.members.push_back(std::move(member));
    }
    lobby = std::move(read);
    return true;
}

bool DecodeLobby(const Bytes& bytes, LobbyRecord& lobby)
{
    WireReader in(bytes);
    LobbyRecord read;
    if (!DecodeLobby(in, read) || !in.AtEnd())
        return false;
    lobby = std::move(read);
    return true;
}

std::vector<std::string> DisplayNames(const LobbyRecord& lobby)
{
    std::vector<std::string> names;
    for (const LobbyMember& member : lobby.members) {
        std::string base = member.name.empty() ? "?" : member.name;
        std::string shown = base;
        for (int n = 2; std::find(names.begin(), names.end(), shown) != names.end(); ++n)
            shown = base + " (" + std::to_string(n) + ")";
        names.push_back(std::move(shown));
    }
    return names;
}

bool Better(ELeaderboardSortMethod sort, int32_t a, int32_t b)
{
    return sort == k_ELeaderboardSortMethodAscending ? a < b : a > b;
}

} // namespace platform::steam
