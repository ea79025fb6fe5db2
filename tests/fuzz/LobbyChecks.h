// What both sides of the lobby protocol must keep, whatever frames reach them: the chat ids the
// platform reported, and the checks on the lobby as the game sees it afterwards.
#pragma once

#include "../../platform/steam/Online.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace fuzzsupport {

// Keeps the id of every chat line the platform reports to the game.
class ChatIds final : public platform::steam::IEventSink {
public:
    void Client(int id, const void* payload, size_t bytes) override
    {
        if (id == LobbyChatMsg_t::k_iCallback && bytes == sizeof(LobbyChatMsg_t))
            ids.push_back(static_cast<const LobbyChatMsg_t*>(payload)->m_iChatID);
    }
    void ClientResult(SteamAPICall_t, int, const void*, size_t, bool) override {}
    void Server(int, const void*, size_t) override {}
    std::vector<uint32_t> ids;
};

inline bool BreaksItsLine(const std::string& text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    return false;
}

// Aborts unless the lobby holds `least` to `most` members, each once and shown by a name no other
// member shows and that keeps to its line, and every reported chat line has an id in the game's
// range and keeps to its line. Leaves the lobby afterwards, ready for the next input.
inline void CheckLobby(platform::steam::OnlineContext& context, CSteamID lobby, const std::vector<uint32_t>& chatIds,
                       int least, int most)
{
    ISteamMatchmaking* matchmaking = context.Matchmaking();
    const int members = matchmaking->GetNumLobbyMembers(lobby);
    if (members < least || members > most)
        std::abort();
    std::set<uint64_t> ids;
    std::set<std::string> shown;
    for (int i = 0; i < members; ++i) {
        const CSteamID member = matchmaking->GetLobbyMemberByIndex(lobby, i);
        if (member.ConvertToUint64() == 0 || !ids.insert(member.ConvertToUint64()).second)
            std::abort();  // nobody, or one member twice
        const std::string name = context.PersonaOf(member);
        if (!shown.insert(name).second || BreaksItsLine(name))
            std::abort();  // two members look alike, or a name breaks its line
    }
    for (uint32_t chat : chatIds) {
        if (chat < 1 || chat > static_cast<uint32_t>(INT32_MAX))
            std::abort();
        char text[platform::steam::kMaxChatBytes] = {};
        const int bytes =
            matchmaking->GetLobbyChatEntry(lobby, static_cast<int>(chat), nullptr, text, sizeof text, nullptr);
        if (bytes > 0 && BreaksItsLine(std::string(text, std::min<size_t>(static_cast<size_t>(bytes), sizeof text))))
            std::abort();  // a control character would break the line
    }
    matchmaking->LeaveLobby(lobby);
}

} // namespace fuzzsupport
