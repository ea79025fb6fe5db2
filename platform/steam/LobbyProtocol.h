// The kinds of the lobby protocol's messages (Lobbies.cpp describes the messages), shared with
// the testing hooks that stand in for lobby owners.
#pragma once

#include <cstdint>

namespace platform::steam {

enum LobbyMessageKind : uint8_t {
    kLobbyJoin = 1,
    kLobbySetData = 2,
    kLobbySetMemberData = 3,
    kLobbyChat = 4,
    kLobbyLeave = 5,
    kLobbyProbe = 6,
    kLobbyTicket = 7,
    kLobbyEnter = 20,
    kLobbySnapshot = 21,
    kLobbyData = 22,
    kLobbyMemberJoined = 23,
    kLobbyMemberLeft = 24,
    kLobbyMemberData = 25,
    kLobbyChatEntry = 26,
    kLobbyGameServer = 27,
    kLobbyLimit = 28,
    kLobbyAlive = 29,
};

} // namespace platform::steam
