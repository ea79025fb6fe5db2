// The two objects between the lobby scene and the platform's matchmaking: QuiblyLobby, the one
// lobby the player created or joined, which turns the lobby's callbacks into scene messages
// (lobby changed, chat line, match starting), keeps the owner's record current and answers
// whether every other member is ready; and QuiblyLobbyBrowser, the filtered list of open lobbies
// as rows. Lobby texts come from other machines: they are read as UTF-8 and cut to 255 units.
#pragma once

#include <steam/SteamApi.h>

#include <cstdint>
#include <string>
#include <vector>

// The record text "W %d - L %d" of an online record (wins in the upper 16 bits, 65535 minus the
// losses in the lower 16 bits).
std::string RecordText(int32_t record);
// A text from another player shown on one line: control characters and line breaks left out.
std::wstring OneLine(std::wstring text);
// A lobby text as the room and the list show it: UTF-8 to wide, one line, at most 255 units.
std::wstring LobbyText(const char* utf8);
// The longest start of a UTF-8 text that fits `maxBytes` without splitting a character.
std::string CutUtf8(const std::string& text, size_t maxBytes);

// One row of the lobby list.
struct LobbyListEntry {
    uint64_t m_ulSteamIDLobby = 0;
    int32_t m_nType = 0;
    int32_t m_nMode = 0;
    int32_t m_bHasGuest = 0;
    std::wstring m_HostRecord;
    std::wstring m_GuestRecord;
    std::wstring m_Name;
    std::wstring m_GuestName;
};

class QuiblyLobby {
public:
    QuiblyLobby();
    // Unregisters the callbacks; does not leave the lobby.
    virtual ~QuiblyLobby() = default;
    QuiblyLobby(const QuiblyLobby&) = delete;
    QuiblyLobby& operator=(const QuiblyLobby&) = delete;

    virtual void Reserved0() {}
    virtual void Reserved1() {}
    // Posts MSG_LOBBY_CHANGED.
    virtual void OnChanged();

    // Sets the lobby and announces the change once.
    void SetLobby(CSteamID lobby);
    // True when every member but the local player has "ready" = 1; alone counts as ready.
    bool AllMembersReady() const;

    void OnPersonaStateChange(PersonaStateChange_t* callback);
    void OnLobbyDataUpdate(LobbyDataUpdate_t* callback);
    void OnLobbyChatUpdate(LobbyChatUpdate_t* callback);
    void OnLobbyChatMsg(LobbyChatMsg_t* callback);

    CSteamID m_steamIDLobby;

private:
    CCallback<QuiblyLobby, PersonaStateChange_t> m_PersonaStateChange;
    CCallback<QuiblyLobby, LobbyDataUpdate_t> m_LobbyDataUpdate;
    CCallback<QuiblyLobby, LobbyChatUpdate_t> m_LobbyChatUpdate;
    CCallback<QuiblyLobby, LobbyChatMsg_t> m_LobbyChatMsg;
};

class QuiblyLobbyBrowser {
public:
    static constexpr int kModeBattle = 0;
    static constexpr int kModePush = 1;
    static constexpr int kModeAll = 2;
    static constexpr int kJoinableOnly = 0;
    static constexpr int kJoinAll = 1;
    // Lobbies with this many members or more are never listed.
    static constexpr int kMaxListedMembers = 10;

    // Sends the first request at once.
    QuiblyLobbyBrowser();
    virtual ~QuiblyLobbyBrowser() = default;
    QuiblyLobbyBrowser(const QuiblyLobbyBrowser&) = delete;
    QuiblyLobbyBrowser& operator=(const QuiblyLobbyBrowser&) = delete;

    // Asks for the list with the current filters; nothing while a request is in flight. The rows
    // are cleared at once.
    virtual void RequestList();
    // Posts MSG_LOBBY_LIST_CHANGED.
    virtual void OnListChanged();
    virtual void Reserved0() {}
    virtual void Reserved1() {}
    virtual void OnLobbyMatchList(LobbyMatchList_t* result, bool ioFailure);

    void OnLobbyDataUpdate(LobbyDataUpdate_t* callback);
    // The row, or null for an index outside the rows.
    const LobbyListEntry* GetEntry(int index) const;
    int GetEntryCount() const { return static_cast<int>(m_Entries.size()); }

    bool m_bRequestingLobbies = false;
    // The last request failed: the online service could not be reached.
    bool m_bBackendUnreachable = false;
    std::vector<LobbyListEntry> m_Entries;
    int m_nModeFilter = kModeAll;
    int m_nJoinFilter = kJoinAll;

private:
    CCallResult<QuiblyLobbyBrowser, LobbyMatchList_t> m_LobbyMatchList;
    CCallback<QuiblyLobbyBrowser, LobbyDataUpdate_t> m_LobbyDataUpdate;
};
