// Online play inside one test process: the process's platform user is the host (its lobby, its
// game server, its client), other players are in-process peers of the same shared online folder.
// Scene messages and sounds of the online objects go to recorders; frames are pumped until a
// condition holds, never for a time tuned to one machine.
#pragma once

#include "OnlineFixture.h"

#include "../platform/steam/OnlineFixture.h"
#include "support/GameSeamFakes.h"

#include "engine/SceneMessage.h"
#include "net/GameMessageBlocks.h"
#include "net/SteamClient.h"
#include "net/NetGlobals.h"
#include "net/OnlineSinks.h"
#include "net/ServerMessages.h"
#include "net/SteamServer.h"

#include <cerrno>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace matchtest {

using steamtest::Answer;
using steamtest::Event;
using steamtest::EventsOf;
using steamtest::ResultOf;

inline constexpr uint32_t kLoopback = 0x7F000001u;

// A peer with its own connection to a game server and every message it received on it.
struct Peer {
    Peer(uint64_t id, const std::string& name) : peer(id, name) {}
    platform::steam::OnlinePeer peer;
    std::vector<Event> events;
    SNetSocket_t socket = 0;
    std::vector<std::vector<uint8_t>> received;

    void Send(const std::vector<uint8_t>& bytes)
    {
        peer.Networking()->SendDataOnSocket(socket, bytes.data(), static_cast<uint32_t>(bytes.size()), true);
    }
    // The received messages with this id, in order.
    std::vector<std::vector<uint8_t>> Of(int32_t id) const
    {
        std::vector<std::vector<uint8_t>> found;
        for (const auto& m : received)
            if (m.size() >= 4 && static_cast<int32_t>(WordAt(m.data(), 0)) == id)
                found.push_back(m);
        return found;
    }
};

class MatchTest : public onlinetest::OnlineTest {
protected:
    void SetUp() override
    {
        setenv("QUIBLY_ONLINE_DIR", m_shared.Str().c_str(), 1);
        unsetenv("QUIBLY_ONLINE");
        OnlineTest::SetUp();
        SetOnlineSinks(&messages, &sounds);
    }
    void TearDown() override
    {
        server.reset();
        delete g_pSteamServer;
        g_pSteamServer = nullptr;
        m_peers.clear();
        SetOnlineSinks(nullptr, nullptr);
        OnlineTest::TearDown();
        unsetenv("QUIBLY_ONLINE_DIR");
    }

    // Pumps the process's client pump, the server's frame (when `frames`) and every peer until
    // `done` holds; false after about 10 s (or `rounds` of about 2 ms).
    bool PumpUntil(const std::function<bool()>& done, bool frames = true, int rounds = 5000)
    {
        for (int round = 0; round < rounds; ++round) {
            SteamAPI_RunCallbacks();
            if (frames && server)
                server->RunFrame();
            for (auto& p : m_peers) {
                std::vector<Event> events = p->peer.Pump();
                p->events.insert(p->events.end(), events.begin(), events.end());
                uint8_t buffer[2048];
                uint32_t size = 0;
                while (p->socket && p->peer.Networking()->RetrieveDataFromSocket(p->socket, buffer, sizeof buffer, &size))
                    p->received.emplace_back(buffer, buffer + size);
            }
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    // A lobby owned by the process's user.
    CSteamID CreateLobby(int members = 4)
    {
        Answer<LobbyCreated_t> created;
        created.Bind(SteamMatchmaking()->CreateLobby(k_ELobbyTypePublic, members));
        EXPECT_TRUE(PumpUntil([&] { return created.got; }));
        return CSteamID(created.value.m_ulSteamIDLobby);
    }

    Peer& AddPeer(uint64_t id, const std::string& name)
    {
        m_peers.push_back(std::make_unique<Peer>(id, name));
        return *m_peers.back();
    }

    // A peer that joined the lobby.
    Peer& JoinPeer(uint64_t id, const std::string& name, CSteamID lobby)
    {
        Peer& p = AddPeer(id, name);
        SteamAPICall_t call = p.peer.Matchmaking()->JoinLobby(lobby);
        EXPECT_TRUE(PumpUntil([&] { return ResultOf(p.events, call) != nullptr; }));
        const Event* entered = ResultOf(p.events, call);
        EXPECT_TRUE(entered && entered->As<LobbyEnter_t>().m_EChatRoomEnterResponse == k_EChatRoomEnterResponseSuccess);
        return p;
    }

    // A game server on a manual clock, published in the lobby.
    void StartServer(CSteamID lobby, uint32_t expected)
    {
        server = std::make_unique<CSteamServer>([this] { return now; });
        server->m_uExpectedPlayers = expected;
        server->SetMessageSink(&messages);
        SteamAPI_RunCallbacks();
        server->RunFrame();
        if (lobby.IsValid())
            SteamMatchmaking()->SetLobbyGameServer(lobby, kLoopback, server->GetPort(), SteamGameServer()->GetSteamID());
    }

    // Connects a peer to the server's port and waits for the connection.
    void Connect(Peer& p)
    {
        p.socket = p.peer.Networking()->CreateConnectionSocket(kLoopback, server->GetPort(), 10);
        ASSERT_NE(p.socket, 0u);
        ASSERT_TRUE(PumpUntil([&] {
            for (const auto& s : EventsOf<SocketStatusCallback_t>(p.events))
                if (s.m_hSocket == p.socket && s.m_eSNetSocketState == k_ESNetSocketStateConnected)
                    return true;
            return false;
        }));
    }

    // The begin-authentication message with the peer's ticket for this server (or `length`).
    std::vector<uint8_t> BeginAuth(Peer& p, int32_t length = -1)
    {
        std::vector<uint8_t> token(kAuthTokenBytes);
        int made = p.peer.InitiateGameConnection(token.data(), static_cast<int>(token.size()),
                                                 SteamGameServer()->GetSteamID());
        return BeginAuthWith(token, length >= 0 ? length : made);
    }

    // The begin-authentication message carrying `token` (its first `length` bytes count).
    static std::vector<uint8_t> BeginAuthWith(std::vector<uint8_t> token, int32_t length)
    {
        token.resize(kAuthTokenBytes);
        PayloadWriter fields;
        fields.U32(static_cast<uint32_t>(length));
        std::vector<uint8_t> message = SocketMessage(MSG_CLIENT_BEGIN_AUTH, fields);
        message.insert(message.end(), token.begin(), token.end());
        return message;
    }

    // A ticket in the platform's layout {"QBTK", user, server, 16-byte secret} whose secret no
    // member's program made: what a stranger on the network can forge.
    static std::vector<uint8_t> ForgedTicket(uint64_t user, uint64_t serverId, uint8_t fill)
    {
        PayloadWriter ticket;
        ticket.U32(0x4B544251u).U64(user).U64(serverId);
        std::vector<uint8_t> bytes = ticket.Bytes();
        bytes.resize(bytes.size() + 16, fill);
        return bytes;
    }

    // Connects and authenticates a peer that is a member of the server's lobby, up to its slot.
    void Admit(Peer& p)
    {
        Connect(p);
        p.Send(BeginAuth(p));
        ASSERT_TRUE(PumpUntil([&] { return !p.Of(MSG_SERVER_ACCEPT_CONNECTION).empty(); }));
    }

    // The peer says something and the server has read it: its last data time is now.
    void Touch(Peer& p)
    {
        const size_t answers = p.Of(MSG_SERVER_INFO).size();
        p.Send(SocketMessage(MSG_CLIENT_INITIATE_CONNECTION));
        ASSERT_TRUE(PumpUntil([&] { return p.Of(MSG_SERVER_INFO).size() > answers; }));
    }

    // A raw connection to the server's port, as a hostile client opens it; -1 when refused.
    int RawConnect()
    {
        return steamtest::ConnectLoopback(server->GetPort());
    }
    // Sends one frame of the platform's framing on a raw connection.
    static void RawSend(int fd, const std::vector<uint8_t>& payload)
    {
        std::vector<uint8_t> frame;
        PayloadWriter length;
        length.U32(static_cast<uint32_t>(payload.size()));
        frame = length.Bytes();
        frame.insert(frame.end(), payload.begin(), payload.end());
        ::send(fd, frame.data(), frame.size(), MSG_NOSIGNAL);
    }
    // The hello a client says first: {"QBGS", the user it says it is, server id or 0}.
    static std::vector<uint8_t> Hello(uint64_t user)
    {
        PayloadWriter hello;
        hello.U32(0x53474251u).U64(user).U64(0);
        return hello.Bytes();
    }
    // Whether the server closed a raw connection (what it sent is read and thrown away).
    static bool RawClosed(int fd)
    {
        uint8_t buffer[4096];
        for (;;) {
            ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
                return true;
            if (got < 0)
                return false;
        }
    }

    int ActivePlayers() const
    {
        int n = 0;
        for (uint32_t i = 0; i < server->m_uMaxPlayers; ++i)
            n += server->m_rgClientData[i].m_bActive ? 1 : 0;
        return n;
    }

    testsupport::TempDir m_shared;
    std::vector<std::unique_ptr<Peer>> m_peers;
    std::unique_ptr<CSteamServer> server;
    uint64_t now = 1000000;
    RecordingMessages messages;
    RecordingSounds sounds;
};

} // namespace matchtest
