// The platform client's transport: length-prefixed frames over non-blocking TCP, and the
// little-endian field reader and writer of its messages and files.
// A frame is a uint32 little-endian payload length followed by the payload, at most
// kMaxFramePayload bytes. A connection never blocks: Pump moves what the kernel takes and gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::steam {

constexpr uint32_t kMaxFramePayload = 64 * 1024;
// What one connection may hold unsent: a peer that lets more pile up does not read what it is
// sent, and its connection is dropped. A game peer gets one block and a few updates a frame, so
// either cap means seconds of not reading.
constexpr size_t kMaxSendBacklog = 1024 * 1024;
constexpr size_t kMaxUnsentFrames = 512;
// What one pump takes in from one connection: bytes read from the kernel and frames cut from
// them. Whatever a peer sends beyond waits in its own TCP window, so a flood slows its sender,
// not the frame.
constexpr size_t kMaxReadPerPump = 128 * 1024;
constexpr size_t kMaxFramesPerPump = 256;
// Received frames waiting to be taken; while either cap is reached nothing more is read.
constexpr size_t kMaxQueuedFrames = 256;
constexpr size_t kMaxQueuedBytes = 256 * 1024;

using Bytes = std::vector<uint8_t>;

// Cuts a byte stream into frames. Bytes arrive in any pieces; frames leave whole.
class FrameReader {
public:
    enum class Status { Frame, NeedMore, Oversize };
    void Feed(const uint8_t* data, size_t bytes);
    // The next whole frame into `payload`. After Oversize the stream is unusable: the peer is
    // dropped, because its framing can no longer be trusted.
    Status Next(Bytes& payload);
    size_t Buffered() const { return m_buffer.size() - m_read; }

private:
    Bytes m_buffer;
    size_t m_read = 0;
};

// Appends one frame holding `payload` to `out`.
void AppendFrame(Bytes& out, const uint8_t* payload, size_t bytes);

// Fixed-width little-endian fields, appended in order.
class WireWriter {
public:
    void U8(uint8_t value) { m_bytes.push_back(value); }
    void U16(uint16_t value);
    void U32(uint32_t value);
    void U64(uint64_t value);
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    // A uint16 length and the bytes; texts longer than 65535 bytes are cut by the caller's caps.
    void Text(std::string_view text);
    void Raw(const void* data, size_t bytes);
    const Bytes& Data() const { return m_bytes; }
    Bytes Take() { return std::move(m_bytes); }

private:
    Bytes m_bytes;
};

// Reads fields in order; any read past the end fails and every later read fails too.
class WireReader {
public:
    WireReader(const uint8_t* data, size_t bytes) : m_data(data), m_size(bytes) {}
    explicit WireReader(const Bytes& bytes) : WireReader(bytes.data(), bytes.size()) {}
    bool U8(uint8_t& value);
    bool U16(uint16_t& value);
    bool U32(uint32_t& value);
    bool U64(uint64_t& value);
    bool I32(int32_t& value);
    // A uint16 length and at most `cap` bytes of valid UTF-8.
    bool Text(std::string& text, size_t cap);
    bool Raw(Bytes& out, size_t bytes);
    bool Ok() const { return m_ok; }
    bool AtEnd() const { return m_ok && m_read == m_size; }

private:
    bool Take(void* out, size_t bytes);
    const uint8_t* m_data;
    size_t m_size;
    size_t m_read = 0;
    bool m_ok = true;
};

// Text from peers and backends: valid UTF-8 only.
bool IsValidUtf8(std::string_view text);
// Replaces every invalid sequence with '?' and cuts to at most `bytes` bytes, never inside a
// character.
std::string CleanUtf8(std::string_view text, size_t bytes);
// CleanUtf8 that also leaves out control characters (line breaks, tabs, escapes, C1 controls,
// line and paragraph separators): a text shown on one line stays one line.
std::string CleanLine(std::string_view text, size_t bytes);

// A non-blocking TCP connection carrying frames.
class Connection {
public:
    enum class State { Connecting, Open, Closed, Failed };
    // Starts connecting to ip:port (host byte order). Failed at once when no socket can be made.
    static Connection Connect(uint32_t ip, uint16_t port);
    // Takes an accepted socket.
    static Connection Adopt(int fd);
    Connection() = default;
    Connection(Connection&& other) noexcept;
    Connection& operator=(Connection&& other) noexcept;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Finishes a connect, sends what waits, reads what arrived, within the caps above. Never
    // blocks.
    void Pump();
    // From now on an empty frame is sent whenever nothing else went out for `everyMs`, empty
    // frames received are taken as such signs of life and never handed on, and a peer from
    // whom nothing arrived for `silenceMs` fails the connection. Empty messages cannot be sent.
    void KeepAlive(int64_t everyMs, int64_t silenceMs);
    // Queues one frame; false when closed or over the frame cap. A peer whose unsent frames pass
    // the backlog caps fails the connection: it does not read what it is sent.
    bool Send(const uint8_t* payload, size_t bytes);
    bool Send(const Bytes& payload) { return Send(payload.data(), payload.size()); }
    // The next whole frame received, if any. A peer that breaks the framing fails the connection.
    bool Receive(Bytes& payload);
    // The size of the next whole frame, if one has arrived.
    std::optional<size_t> PeekSize() const;
    // Sends what it can of the backlog and closes.
    void Close();
    State GetState() const { return m_state; }
    bool Usable() const { return m_state == State::Connecting || m_state == State::Open; }
    // The peer's address (host byte order), 0 before it is known.
    uint32_t PeerIp() const { return m_peerIp; }
    uint16_t PeerPort() const { return m_peerPort; }
    int Fd() const { return m_fd; }
    // Why it failed or closed, for log lines.
    const std::string& Reason() const { return m_reason; }

private:
    void Fail(const std::string& reason);
    void Flush();
    void ReadAvailable();
    void ParseFrames();
    bool QueueFull() const { return m_frames.size() >= kMaxQueuedFrames || m_queuedBytes >= kMaxQueuedBytes; }
    int m_fd = -1;
    State m_state = State::Closed;
    Bytes m_out;
    size_t m_outSent = 0;
    std::deque<size_t> m_outFrameEnds;  // where each unsent frame ends in m_out
    FrameReader m_reader;
    std::deque<Bytes> m_frames;
    size_t m_queuedBytes = 0;
    size_t m_parsedThisPump = 0;
    int64_t m_keepAliveMs = 0;  // 0: no keep-alive
    int64_t m_silenceMs = 0;
    int64_t m_lastSentMs = 0;
    int64_t m_lastHeardMs = 0;
    uint32_t m_peerIp = 0;
    uint16_t m_peerPort = 0;
    std::string m_reason;
};

// A non-blocking listening TCP socket on the loopback or any address.
class Listener {
public:
    Listener() = default;
    Listener(Listener&& other) noexcept;
    Listener& operator=(Listener&& other) noexcept;
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;
    // Binds `ip` (host byte order) on `port` or the next free one up to `port + tries - 1`;
    // port 0 takes any free port.
    bool Open(uint32_t ip, uint16_t port, int tries = 1);
    // An accepted connection, if one waits.
    std::optional<Connection> Accept();
    uint16_t Port() const { return m_port; }
    bool IsOpen() const { return m_fd >= 0; }
    void Close();

private:
    int m_fd = -1;
    uint16_t m_port = 0;
};

constexpr uint32_t kLoopback = 0x7F000001;

// Milliseconds of a monotonic clock.
int64_t NowMs();

} // namespace platform::steam
