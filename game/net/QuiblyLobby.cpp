#include "net/QuiblyLobby.h"

#include "board/GameSeams.h"
#include "net/LeaderBoard.h"
#include "net/OnlineSinks.h"
#include "net/ServerMessages.h"

#include <win32/Text.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kSoundGuestIn = 112;
constexpr size_t kLobbyTextUnits = 255;
constexpr size_t kChatBytes = 128;

void PostEmpty(int32_t id)
{
    PayloadWriter().U64(0).PostTo(OnlineMessages(), id);
}

CSteamID LocalUser()
{
    ISteamUser* user = SteamUser();
    return user ? user->GetSteamID() : CSteamID();
}

int DataInt(ISteamMatchmaking* matchmaking, CSteamID lobby, const char* key)
{
    const char* value = matchmaking->GetLobbyData(lobby, key);
    return value ? std::atoi(value) : 0;
}

} // namespace

std::string RecordText(int32_t record)
{
    char text[64];
    std::snprintf(text, sizeof text, "W %d - L %d", MultiRecordWins(record), MultiRecordLosses(record));
    return text;
}

std::wstring OneLine(std::wstring text)
{
    std::erase_if(text, [](wchar_t c) {
        return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
    });
    return text;
}

std::wstring LobbyText(const char* utf8)
{
    std::wstring text = OneLine(utf8 ? platform::Widen(utf8) : std::wstring());
    if (text.size() > kLobbyTextUnits)
        text.resize(kLobbyTextUnits);
    return text;
}

std::string CutUtf8(const std::string& text, size_t maxBytes)
{
    size_t end = std::min(text.size(), maxBytes);
    // A character that does not end inside the kept bytes is left out whole: find the lead
    // byte of the last character and see whether all its bytes are there.
    size_t lead = end;
    while (lead > 0 && end - lead < 4 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80)
        --lead;
    if (lead > 0) {
        const auto first = static_cast<unsigned char>(text[lead - 1]);
        const size_t length = first < 0x80 ? 1 : (first & 0xE0) == 0xC0 ? 2 : (first & 0xF0) == 0xE0 ? 3 : 4;
        if (first >= 0x80 && end - (lead - 1) < length)
            end = lead - 1;
    }
    return text.substr(0, end);
}

// The joined lobby.

QuiblyLobby::QuiblyLobby()
    : m_PersonaStateChange(this, &QuiblyLobby::OnPersonaStateChange),
      m_LobbyDataUpdate(this, &QuiblyLobby::OnLobbyDataUpdate),
      m_LobbyChatUpdate(this, &QuiblyLobby::OnLobbyChatUpdate), m_LobbyChatMsg(this, &QuiblyLobby::OnLobbyChatMsg)
{
}

void QuiblyLobby::OnChanged()
{
    PostEmpty(MSG_LOBBY_CHANGED);
}

void QuiblyLobby::SetLobby(CSteamID lobby)
{
    m_steamIDLobby = lobby;
    OnChanged();
}

bool QuiblyLobby::AllMembersReady() const
{
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    if (!matchmaking)
        return true;
    const CSteamID self = LocalUser();
    const int members = matchmaking->GetNumLobbyMembers(m_steamIDLobby);
    for (int i = 0; i < members; ++i) {
        const CSteamID member = matchmaking->GetLobbyMemberByIndex(m_steamIDLobby, i);
        if (member == self)
            continue;
        const char* ready = matchmaking->GetLobbyMemberData(m_steamIDLobby, member, "ready");
        if (ready && std::atoi(ready) != 1)
            return false;
    }
    return true;
}

void QuiblyLobby::OnPersonaStateChange(PersonaStateChange_t* callback)
{
    ISteamFriends* friends = SteamFriends();
    if (friends && friends->IsUserInSource(CSteamID(callback->m_ulSteamID), m_steamIDLobby))
        OnChanged();
}

void QuiblyLobby::OnLobbyDataUpdate(LobbyDataUpdate_t* callback)
{
    if (CSteamID(callback->m_ulSteamIDLobby) != m_steamIDLobby || !m_steamIDLobby.IsValid())
        return;
    OnChanged();
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    if (!matchmaking)
        return;
    const char* starting = matchmaking->GetLobbyData(m_steamIDLobby, "game_starting");
    if (starting && matchmaking->GetLobbyOwner(m_steamIDLobby) != LocalUser() && std::string(starting) == "1")
        PayloadWriter().I32(0).PostTo(OnlineMessages(), MSG_LOBBY_GAME_STARTING);
}

void QuiblyLobby::OnLobbyChatUpdate(LobbyChatUpdate_t* callback)
{
    if (CSteamID(callback->m_ulSteamIDLobby) != m_steamIDLobby || !m_steamIDLobby.IsValid())
        return;
    const uint32_t change = callback->m_rgfChatMemberStateChange;
    if (change == k_EChatMemberStateChangeEntered) {
        OnlineSounds().Play(kSoundGuestIn);
        g_nSessionRecord = kNoMultiRecord;
    } else if (change == k_EChatMemberStateChangeLeft) {
        g_nSessionRecord = kNoMultiRecord;
    }
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    if (matchmaking && matchmaking->GetLobbyOwner(m_steamIDLobby) == LocalUser())
        matchmaking->SetLobbyData(m_steamIDLobby, "HostRecord", RecordText(g_nMultiRecord).c_str());
    OnChanged();
}

void QuiblyLobby::OnLobbyChatMsg(LobbyChatMsg_t* callback)
{
    if (callback->m_eChatEntryType != k_EChatEntryTypeChatMsg)
        return;
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    if (!matchmaking)
        return;
    char text[kChatBytes] = {};
    const int bytes = matchmaking->GetLobbyChatEntry(CSteamID(callback->m_ulSteamIDLobby),
                                                     static_cast<int>(callback->m_iChatID), nullptr, text,
                                                     static_cast<int>(kChatBytes - 1), nullptr);
    // The last byte stays 0, and a character cut at the end is left out whole.
    const std::string line = CutUtf8(std::string(text, bytes > 0 ? strnlen(text, static_cast<size_t>(bytes)) : 0),
                                     kChatBytes - 1);
    PayloadWriter chat;
    chat.U64(0).U64(callback->m_ulSteamIDUser).Text(line, kChatBytes);
    chat.PostTo(OnlineMessages(), MSG_LOBBY_CHAT);
}

// The list of lobbies.

QuiblyLobbyBrowser::QuiblyLobbyBrowser() : m_LobbyDataUpdate(this, &QuiblyLobbyBrowser::OnLobbyDataUpdate)
{
    RequestList();
}

void QuiblyLobbyBrowser::RequestList()
{
    if (m_bRequestingLobbies)
        return;
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    if (!matchmaking)
        return;
    m_bRequestingLobbies = true;
    matchmaking->AddRequestLobbyListStringFilter("Type", "0", k_ELobbyComparisonEqual);
    if (m_nModeFilter == kModeBattle)
        matchmaking->AddRequestLobbyListStringFilter("Mode", "2", k_ELobbyComparisonEqual);
    else if (m_nModeFilter == kModePush)
        matchmaking->AddRequestLobbyListStringFilter("Mode", "1", k_ELobbyComparisonEqual);
    if (m_nJoinFilter == kJoinableOnly)
        matchmaking->AddRequestLobbyListStringFilter("Join", "1", k_ELobbyComparisonEqual);
    m_LobbyMatchList.Set(matchmaking->RequestLobbyList(), this, &QuiblyLobbyBrowser::OnLobbyMatchList);
    m_Entries.clear();
}

void QuiblyLobbyBrowser::OnListChanged()
{
    PostEmpty(MSG_LOBBY_LIST_CHANGED);
}

void QuiblyLobbyBrowser::OnLobbyMatchList(LobbyMatchList_t* result, bool ioFailure)
{
    m_Entries.clear();
    m_bRequestingLobbies = false;
    // A list that never came is not an empty list: the list view says the service is out of reach.
    m_bBackendUnreachable = ioFailure;
    ISteamMatchmaking* matchmaking = SteamMatchmaking();
    ISteamFriends* friends = SteamFriends();
    if (!matchmaking) {
        OnListChanged();
        return;
    }
    for (uint32_t i = 0; i < result->m_nLobbiesMatching; ++i) {
        const CSteamID lobby = matchmaking->GetLobbyByIndex(static_cast<int>(i));
        const int members = matchmaking->GetNumLobbyMembers(lobby);
        if (members >= kMaxListedMembers)
            continue;
        LobbyListEntry entry;
        entry.m_ulSteamIDLobby = lobby.ConvertToUint64();
        entry.m_nType = DataInt(matchmaking, lobby, "Type");
        entry.m_nMode = DataInt(matchmaking, lobby, "Mode");
        entry.m_HostRecord = LobbyText(matchmaking->GetLobbyData(lobby, "HostRecord"));
        entry.m_GuestRecord = LobbyText(matchmaking->GetLobbyData(lobby, "GuestRecord"));
        entry.m_Name = LobbyText(matchmaking->GetLobbyData(lobby, "name"));
        if (entry.m_Name.empty()) {
            matchmaking->RequestLobbyData(lobby);
            wchar_t name[32];
            std::swprintf(name, 32, L"Lobby %d", static_cast<int32_t>(lobby.GetAccountID()));
            entry.m_Name = name;
        }
        const CSteamID owner = matchmaking->GetLobbyOwner(lobby);
        for (int m = 0; m < members && friends; ++m) {
            const CSteamID member = matchmaking->GetLobbyMemberByIndex(lobby, m);
            const std::wstring persona = LobbyText(friends->GetFriendPersonaName(member));
            if (member != owner && !persona.empty()) {
                entry.m_GuestName = persona;
                entry.m_bHasGuest = 1;
            }
        }
        m_Entries.push_back(std::move(entry));
    }
    OnListChanged();
}

void QuiblyLobbyBrowser::OnLobbyDataUpdate(LobbyDataUpdate_t* callback)
{
    for (LobbyListEntry& entry : m_Entries) {
        if (entry.m_ulSteamIDLobby != callback->m_ulSteamIDLobby)
            continue;
        ISteamMatchmaking* matchmaking = SteamMatchmaking();
        const std::wstring name =
            matchmaking ? LobbyText(matchmaking->GetLobbyData(CSteamID(callback->m_ulSteamIDLobby), "name")) : L"";
        if (!name.empty())
            entry.m_Name = name;
        OnListChanged();
        return;
    }
}

const LobbyListEntry* QuiblyLobbyBrowser::GetEntry(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_Entries.size()))
        return nullptr;
    return &m_Entries[static_cast<size_t>(index)];
}
