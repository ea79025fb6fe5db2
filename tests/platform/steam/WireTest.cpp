// The platform client's frames and texts: frames survive any split of the byte stream, an
// oversize length stops the stream, and texts from peers are checked and cleaned as UTF-8.
// Connections over the loopback read a flood in bounded shares, drop a peer that does not read
// what it is sent, and keep alive or give up on a silent peer.
#include "../../../platform/steam/Wire.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace platform::steam;

TEST(FrameReader, FramesComeOutWholeWhateverTheSplit)
{
    std::vector<Bytes> sent = {{}, {1, 2, 3}, Bytes(1040, 7), Bytes(kMaxFramePayload, 9), {4}};
    Bytes stream;
    for (const Bytes& payload : sent)
        AppendFrame(stream, payload.data(), payload.size());
    for (size_t piece : {size_t{1}, size_t{3}, size_t{4}, size_t{1000}, stream.size()}) {
        FrameReader reader;
        std::vector<Bytes> got;
        Bytes payload;
        for (size_t at = 0; at < stream.size(); at += piece) {
            reader.Feed(stream.data() + at, std::min(piece, stream.size() - at));
            while (reader.Next(payload) == FrameReader::Status::Frame)
                got.push_back(payload);
        }
        EXPECT_EQ(got, sent) << "pieces of " << piece;
        EXPECT_EQ(reader.Buffered(), 0u);
    }
}

TEST(FrameReader, ALengthOverTheCapStopsTheStream)
{
    Bytes stream;
    AppendFrame(stream, Bytes{5}.data(), 1);
    uint32_t over = kMaxFramePayload + 1;
    for (int i = 0; i < 4; ++i)
        stream.push_back(static_cast<uint8_t>(over >> (8 * i)));
    FrameReader reader;
    reader.Feed(stream.data(), stream.size());
    Bytes payload;
    EXPECT_EQ(reader.Next(payload), FrameReader::Status::Frame);
    EXPECT_EQ(reader.Next(payload), FrameReader::Status::Oversize);
    EXPECT_EQ(reader.Next(payload), FrameReader::Status::Oversize) << "no frame after a broken length";
}

TEST(WireText, OnlyValidUtf8WithinItsCapIsRead)
{
    struct Case {
        std::string bytes;
        size_t cap;
        bool accepted;
    };
    const Case cases[] = {
        {"Bee", 10, true},
        {"\xEC\xBA\xA3", 3, true},   // one Hangul syllable
        {"\xEC\xBA", 10, false},     // cut inside a character
        {"\xC0\xAF", 10, false},     // overlong '/'
        {"\xED\xA0\x80", 10, false}, // a surrogate
        {"abcd", 3, false},          // over the cap
    };
    for (const Case& c : cases) {
        WireWriter out;
        out.Text(c.bytes);
        WireReader in(out.Data());
        std::string text;
        EXPECT_EQ(in.Text(text, c.cap), c.accepted) << c.bytes;
    }
}

TEST(WireText, CleaningReplacesBadBytesAndNeverCutsACharacter)
{
    EXPECT_EQ(CleanUtf8("a\xFF" "b", 10), "a?b");
    EXPECT_EQ(CleanUtf8("ab\xEC\xBA\xA3", 4), "ab");
    EXPECT_EQ(CleanUtf8("ab\xEC\xBA\xA3", 5), "ab\xEC\xBA\xA3");
}

TEST(WireReader, AReadPastTheEndFailsAndStaysFailed)
{
    WireWriter out;
    out.U32(7);
    out.U16(1);
    WireReader in(out.Data());
    uint32_t word = 0;
    uint64_t wide = 0;
    uint8_t byte = 0;
    EXPECT_TRUE(in.U32(word));
    EXPECT_EQ(word, 7u);
    EXPECT_FALSE(in.U64(wide));
    EXPECT_FALSE(in.U8(byte)) << "a failed reader must not resume";
    EXPECT_FALSE(in.AtEnd());
}

// A listener on the loopback, a connection to it accepted, and a raw client socket as a hostile
// peer that speaks the framing by hand.
struct LoopbackPair {
    LoopbackPair()
    {
        EXPECT_TRUE(listener.Open(kLoopback, 0));
        raw = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(kLoopback);
        address.sin_port = htons(listener.Port());
        EXPECT_EQ(::connect(raw, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        for (int i = 0; i < 500 && !accepted; ++i) {
            if (auto connection = listener.Accept())
                accepted = std::move(*connection);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        EXPECT_TRUE(accepted.has_value());
    }
    ~LoopbackPair() { ::close(raw); }
    Listener listener;
    std::optional<Connection> accepted;
    int raw = -1;
};

TEST(ConnectionBounds, AFloodIsTakenInBoundedSharesAndEmptyFramesAreOnlySignsOfLife)
{
    LoopbackPair pair;
    Connection& server = *pair.accepted;
    server.KeepAlive(1000, 60000);
    // 40,000 empty frames, then one message, then 300 more messages: 161 KB in one go.
    Bytes stream(160000, 0);
    Bytes last = {0x2D, 0x06, 0, 0};
    AppendFrame(stream, last.data(), last.size());
    for (int i = 0; i < 300; ++i)
        AppendFrame(stream, last.data(), last.size());
    ASSERT_EQ(::send(pair.raw, stream.data(), stream.size(), MSG_NOSIGNAL), static_cast<ssize_t>(stream.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

    size_t pumps = 0, messages = 0;
    Bytes payload;
    while (messages < 301 && pumps < 1000) {
        server.Pump();
        ++pumps;
        size_t taken = 0;
        while (server.Receive(payload)) {
            EXPECT_EQ(payload, last) << "an empty frame was handed on";
            ++taken;
        }
        // One pump never takes in more than its share.
        EXPECT_LE(taken, kMaxFramesPerPump);
        messages += taken;
    }
    EXPECT_EQ(messages, 301u);
    EXPECT_GE(pumps, 160000 / 4 / kMaxFramesPerPump) << "a pump took more frames than its share";
    EXPECT_TRUE(server.Usable());
}

TEST(ConnectionBounds, APeerThatDoesNotReadIsDropped)
{
    LoopbackPair pair;
    Connection& server = *pair.accepted;
    // The raw peer never reads: the kernel's buffers fill, then the unsent frames pile up here.
    Bytes block(1040, 0x5A);
    size_t sent = 0;
    while (server.Send(block) && sent < 200000) {
        ++sent;
        server.Pump();
    }
    EXPECT_LT(sent, 200000u) << "the backlog never filled";
    EXPECT_EQ(server.GetState(), Connection::State::Failed);
    EXPECT_FALSE(server.Send(block));
}

TEST(ConnectionBounds, AQuietPeerIsKeptAliveAndASilentOneIsDropped)
{
    Listener listener;
    ASSERT_TRUE(listener.Open(kLoopback, 0));
    Connection quiet = Connection::Connect(kLoopback, listener.Port());
    quiet.KeepAlive(50, 400);
    std::optional<Connection> accepted;
    for (int i = 0; i < 500 && !accepted; ++i) {
        quiet.Pump();
        accepted = listener.Accept();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_TRUE(accepted);
    accepted->KeepAlive(50, 400);
    // Both sides pump without a message for a second: the empty frames keep them alive.
    Bytes payload;
    for (int i = 0; i < 100; ++i) {
        quiet.Pump();
        accepted->Pump();
        EXPECT_FALSE(accepted->Receive(payload));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(quiet.Usable());
    EXPECT_TRUE(accepted->Usable());
    EXPECT_FALSE(quiet.Send(nullptr, 0)) << "an empty message would read as a sign of life";
    // The quiet side stops (a stopped process): the other gives up on it.
    for (int i = 0; i < 100 && accepted->Usable(); ++i) {
        accepted->Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(accepted->GetState(), Connection::State::Failed);
}

} // namespace
