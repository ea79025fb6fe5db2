// Fuzzes the embedded online backend's files: lobby announcements and leaderboards. Any bytes
// must be refused or parsed into a record within the caps that survives a re-encode unchanged.
#include "../../platform/steam/OnlineBackend.h"

#include <cstdlib>

using namespace platform::steam;

namespace {

void CheckLobby(const Bytes& bytes)
{
    LobbyRecord lobby;
    if (!ParseLobbyFile(bytes, lobby))
        return;
    if (lobby.id == 0 || lobby.members.size() > kMaxLobbyMembers || lobby.data.size() > kMaxLobbyKeys)
        std::abort();
    for (const auto& [key, value] : lobby.data)
        if (key.size() > kMaxKeyBytes || value.size() > kMaxValueBytes || !IsValidUtf8(key) || !IsValidUtf8(value))
            std::abort();
    for (const LobbyMember& member : lobby.members)
        if (member.name.size() > kMaxNameBytes || !IsValidUtf8(member.name) || member.id == 0)
            std::abort();
    LobbyRecord again;
    if (!ParseLobbyFile(EncodeLobby(lobby), again) || EncodeLobby(again) != EncodeLobby(lobby))
        std::abort();
}

void CheckBoard(const Bytes& bytes)
{
    BoardInfo info;
    std::vector<BoardRow> rows;
    if (!ParseBoardFile(bytes, info, rows))
        return;
    if (info.count != static_cast<int32_t>(rows.size()))
        std::abort();
    for (size_t i = 1; i < rows.size(); ++i)
        if (Better(info.sort, rows[i].score, rows[i - 1].score))
            std::abort();  // out of rank order
    BoardInfo againInfo;
    std::vector<BoardRow> again;
    if (!ParseBoardFile(FormatBoardFile(info, rows), againInfo, again) || again.size() != rows.size())
        std::abort();
}

} // namespace

// The first byte chooses the file kind.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    Bytes bytes(data + 1, data + size);
    if (data[0] & 1)
        CheckBoard(bytes);
    else
        CheckLobby(bytes);
    return 0;
}
