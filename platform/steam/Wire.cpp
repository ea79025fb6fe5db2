// Frames, little-endian fields, UTF-8 checks and the non-blocking TCP connection and listener.
#include "Wire.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <string>
#include <unistd.h>

namespace platform::steam {

int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// ---- frames ----

void FrameReader::Feed(const uint8_t* data, size_t bytes)
{
    // Drop what was read before growing, so a long stream does not keep every frame.
    if (m_read > 0 && m_read * 2 >= m_buffer.size()) {
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(m_read));
        m_read = 0;
    }
    m_buffer.insert(m_buffer.end(), data, data + bytes);
}

FrameReader::Status FrameReader::Next(Bytes& payload)
{
    size_t available = m_buffer.size() - m_read;
    if (available < 4)
        return Status::NeedMore;
    const uint8_t* head = m_buffer.data() + m_read;
    uint32_t length = static_cast<uint32_t>(head[0]) | static_cast<uint32_t>(head[1]) << 8 |
                      static_cast<uint32_t>(head[2]) << 16 | static_cast<uint32_t>(head[3]) << 24;
    if (length > kMaxFramePayload)
        return Status::Oversize;
    if (available - 4 < length)
        return Status::NeedMore;
    payload.assign(head + 4, head + 4 + length);
    m_read += 4 + length;
    return Status::Frame;
}

void AppendFrame(Bytes& out, const uint8_t* payload, size_t bytes)
{
    uint32_t length = static_cast<uint32_t>(bytes);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(length >> (8 * i)));
    if (bytes > 0)
        out.insert(out.end(), payload, payload + bytes);
}

// ---- fields ----

void WireWriter::U16(uint16_t value)
{
    U8(static_cast<uint8_t>(value));
    U8(static_cast<uint8_t>(value >> 8));
}

void WireWriter::U32(uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        U8(static_cast<uint8_t>(value >> (8 * i)));
}

void WireWriter::U64(uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        U8(static_cast<uint8_t>(value >> (8 * i)));
}

void WireWriter::Text(std::string_view text)
{
    size_t bytes = text.size() > 0xFFFF ? 0xFFFF : text.size();
    U16(static_cast<uint16_t>(bytes));
    Raw(text.data(), bytes);
}

void WireWriter::Raw(const void* data, size_t bytes)
{
    const auto* begin = static_cast<const uint8_t*>(data);
    if (bytes > 0)
        m_bytes.insert(m_bytes.end(), begin, begin + bytes);
}

bool WireReader::Take(void* out, size_t bytes)
{
    if (!m_ok || m_size - m_read < bytes) {
        m_ok = false;
        return false;
    }
    if (bytes > 0)
        std::memcpy(out, m_data + m_read, bytes);
    m_read += bytes;
    return true;
}

bool WireReader::U8(uint8_t& value)
{
    return Take(&value, 1);
}

bool WireReader::U16(uint16_t& value)
{
    uint8_t b[2];
    if (!Take(b, 2))
        return false;
    value = static_cast<uint16_t>(b[0] | b[1] << 8);
    return true;
}

bool WireReader::U32(uint32_t& value)
{
    uint8_t b[4];
    if (!Take(b, 4))
        return false;
    value = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
            static_cast<uint32_t>(b[3]) << 24;
    return true;
}

bool WireReader::U64(uint64_t& value)
{
    uint32_t low = 0, high = 0;
    if (!U32(low) || !U32(high))
        return false;
    value = static_cast<uint64_t>(high) << 32 | low;
    return true;
}

bool WireReader::I32(int32_t& value)
{
    uint32_t raw = 0;
    if (!U32(raw))
        return false;
    value = static_cast<int32_t>(raw);
    return true;
}

bool WireReader::Text(std::string& text, size_t cap)
{
    uint16_t length = 0;
    if (!U16(length))
        return false;
    if (length > cap || m_size - m_read < length) {
        m_ok = false;
        return false;
    }
    text.assign(reinterpret_cast<const char*>(m_data + m_read), length);
    m_read += length;
    if (!IsValidUtf8(text)) {
        m_ok = false;
        return false;
    }
    return true;
}

bool WireReader::Raw(Bytes& out, size_t bytes)
{
    if (!m_ok || m_size - m_read < bytes) {
        m_ok = false;
        return false;
    }
    out.assign(m_data + m_read, m_data + m_read + bytes);
    m_read += bytes;
    return true;
}

namespace {

// Length of the valid UTF-8 sequence at `text[at]`, 0 when it is not one.
size_t Utf8SequenceLength(std::string_view text, size_t at)
{
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    uint32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (byte(at + i) & 0x3F);
    }
    static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

bool IsValidUtf8(std::string_view text)
{
    for (size_t at = 0; at < text.size();) {
        size_t length = Utf8SequenceLength(text, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

namespace {

// Copies whole UTF-8 sequences of `text` while they fit in `bytes`, a broken byte as '?';
// sequences that `drop` names (the text, the offset, the sequence's length) are left out.
template <typename Drop>
std::string CopyUtf8(std::string_view text, size_t bytes, Drop drop)
{
    std::string clean;
    for (size_t at = 0; at < text.size();) {
        size_t length = Utf8SequenceLength(text, at);
        size_t take = length == 0 ? 1 : length;
        if (!drop(text, at, length)) {
            if (clean.size() + take > bytes)
                break;
            if (length == 0)
                clean.push_back('?');
            else
                clean.append(text.substr(at, length));
        }
        at += take;
    }
    return clean;
}

} // namespace

std::string CleanUtf8(std::string_view text, size_t bytes)
{
    return CopyUtf8(text, bytes, [](std::string_view, size_t, size_t) { return false; });
}

std::string CleanLine(std::string_view text, size_t bytes)
{
    return CopyUtf8(text, bytes, [](std::string_view line, size_t at, size_t length) {
        auto lead = static_cast<unsigned char>(line[at]);
        // C0 controls and DEL; C1 controls (U+0080..U+009F, lead byte 0xC2); the line and
        // paragraph separators U+2028 and U+2029.
        return length == 1 ? (lead < 0x20 || lead == 0x7F)
               : length == 2 ? lead == 0xC2 && static_cast<unsigned char>(line[at + 1]) < 0xA0
               : length == 3 ? line.substr(at, 3) == "\xE2\x80\xA8" || line.substr(at, 3) == "\xE2\x80\xA9"
                             : false;
    });
}

// ---- connections ----

namespace {

bool MakeNonBlocking(int fd)
{
    int flags = ::fcntl(fd, F_GETFL, 0);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// No delay for small messages; keep-alive probes notice a peer that vanished without closing
// (a machine switched off, a cable pulled) after about 25 s of silence.
void TuneSocket(int fd)
{
    int one = 1, idle = 10, interval = 5, count = 3;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
}

sockaddr_in Address(uint32_t ip, uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(ip);
    address.sin_port = htons(port);
    return address;
}

} // namespace

Connection Connection::Connect(uint32_t ip, uint16_t port)
{
    Connection connection;
    connection.m_peerIp = ip;
    connection.m_peerPort = port;
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || !MakeNonBlocking(fd)) {
        if (fd >= 0)
            ::close(fd);
        connection.m_state = State::Failed;
        connection.m_reason = "no socket";
        return connection;
    }
    TuneSocket(fd);
    connection.m_fd = fd;
    sockaddr_in address = Address(ip, port);
    int result = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    if (result == 0)
        connection.m_state = State::Open;
    else if (errno == EINPROGRESS)
        connection.m_state = State::Connecting;
    else
        connection.Fail(std::string("connect: ") + std::strerror(errno));
    return connection;
}

Connection Connection::Adopt(int fd)
{
    Connection connection;
    MakeNonBlocking(fd);
    TuneSocket(fd);
    connection.m_fd = fd;
    connection.m_state = State::Open;
    sockaddr_in address{};
    socklen_t size = sizeof address;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        connection.m_peerIp = ntohl(address.sin_addr.s_addr);
        connection.m_peerPort = ntohs(address.sin_port);
    }
    return connection;
}

Connection::Connection(Connection&& other) noexcept
{
    *this = std::move(other);
}

Connection& Connection::operator=(Connection&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.m_fd;
        m_state = other.m_state;
        m_out = std::move(other.m_out);
        m_outSent = other.m_outSent;
        m_outFrameEnds = std::move(other.m_outFrameEnds);
        m_reader = std::move(other.m_reader);
        m_frames = std::move(other.m_frames);
        m_queuedBytes = other.m_queuedBytes;
        m_parsedThisPump = other.m_parsedThisPump;
        m_keepAliveMs = other.m_keepAliveMs;
        m_silenceMs = other.m_silenceMs;
        m_lastSentMs = other.m_lastSentMs;
        m_lastHeardMs = other.m_lastHeardMs;
        m_peerIp = other.m_peerIp;
        m_peerPort = other.m_peerPort;
        m_reason = std::move(other.m_reason);
        other.m_fd = -1;
        other.m_state = State::Closed;
    }
    return *this;
}

Connection::~Connection()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void Connection::Fail(const std::string& reason)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_state = State::Failed;
    m_reason = reason;
}

void Connection::Pump()
{
    if (m_state == State::Connecting) {
        int error = 0;
        socklen_t size = sizeof error;
        // A connect in progress is done once the socket is writable; probe without blocking.
        sockaddr_in peer{};
        socklen_t peerSize = sizeof peer;
        if (::getpeername(m_fd, reinterpret_cast<sockaddr*>(&peer), &peerSize) == 0) {
            m_state = State::Open;
        } else {
            ::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &size);
            if (error != 0 && error != EINPROGRESS && error != EALREADY)
                Fail(std::string("connect: ") + std::strerror(error));
            return;
        }
    }
    if (m_state != State::Open)
        return;
    const int64_t now = NowMs();
    if (m_keepAliveMs > 0 && m_outFrameEnds.empty() && now - m_lastSentMs >= m_keepAliveMs) {
        AppendFrame(m_out, nullptr, 0);
        m_outFrameEnds.push_back(m_out.size());
        m_lastSentMs = now;
    }
    Flush();
    m_parsedThisPump = 0;
    if (m_state == State::Open)
        ParseFrames();  // what an earlier pump read but left for lack of room
    if (m_state == State::Open)
        ReadAvailable();
    if (m_state != State::Open || m_keepAliveMs <= 0)
        return;
    // A peer whose frames wait here unread is not silent: this side is not taking them.
    if (QueueFull() || m_reader.Buffered() >= kMaxReadPerPump)
        m_lastHeardMs = now;
    if (now - m_lastHeardMs > m_silenceMs)
        Fail("nothing arrived for " + std::to_string(m_silenceMs / 1000) + " s");
}

void Connection::KeepAlive(int64_t everyMs, int64_t silenceMs)
{
    m_keepAliveMs = everyMs;
    m_silenceMs = silenceMs;
    m_lastSentMs = m_lastHeardMs = NowMs();
}

void Connection::Flush()
{
    while (m_outSent < m_out.size()) {
        ssize_t sent = ::send(m_fd, m_out.data() + m_outSent, m_out.size() - m_outSent, MSG_NOSIGNAL);
        if (sent > 0) {
            m_outSent += static_cast<size_t>(sent);
            while (!m_outFrameEnds.empty() && m_outFrameEnds.front() <= m_outSent)
                m_outFrameEnds.pop_front();
            continue;
        }
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return;
        Fail(std::string("send: ") + std::strerror(errno));
        return;
    }
    m_out.clear();
    m_outSent = 0;
    m_outFrameEnds.clear();
}

void Connection::ReadAvailable()
{
    uint8_t chunk[16384];
    // Bounded: a peer that streams without pause cannot hold the pump here, and what it sends
    // while the frames read before are still waiting stays with the kernel.
    size_t read = 0;
    while (read < kMaxReadPerPump && !QueueFull() && m_parsedThisPump < kMaxFramesPerPump &&
           m_reader.Buffered() < kMaxReadPerPump) {
        ssize_t got = ::recv(m_fd, chunk, std::min(sizeof chunk, kMaxReadPerPump - read), 0);
        if (got > 0) {
            read += static_cast<size_t>(got);
            m_lastHeardMs = NowMs();
            m_reader.Feed(chunk, static_cast<size_t>(got));
            ParseFrames();
            if (m_state != State::Open)
                return;
            continue;
        }
        if (got == 0) {
            ::close(m_fd);
            m_fd = -1;
            m_state = State::Closed;
            m_reason = "closed by the peer";
            return;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return;
        if (errno == EINTR)
            continue;
        Fail(std::string("recv: ") + std::strerror(errno));
        return;
    }
}

void Connection::ParseFrames()
{
    Bytes payload;
    while (!QueueFull() && m_parsedThisPump < kMaxFramesPerPump) {
        FrameReader::Status status = m_reader.Next(payload);
        if (status == FrameReader::Status::NeedMore)
            return;
        if (status == FrameReader::Status::Oversize) {
            Fail("the peer sent a frame over the size cap");
            return;
        }
        ++m_parsedThisPump;
        if (payload.empty() && m_keepAliveMs > 0)
            continue;  // a sign of life, nothing to hand on
        m_queuedBytes += payload.size();
        m_frames.push_back(std::move(payload));
    }
}

bool Connection::Send(const uint8_t* payload, size_t bytes)
{
    if (!Usable() || bytes > kMaxFramePayload || (bytes == 0 && m_keepAliveMs > 0))
        return false;
    if (m_out.size() - m_outSent + bytes + 4 > kMaxSendBacklog || m_outFrameEnds.size() >= kMaxUnsentFrames) {
        Fail("the peer does not read what it is sent");
        return false;
    }
    AppendFrame(m_out, payload, bytes);
    m_outFrameEnds.push_back(m_out.size());
    m_lastSentMs = NowMs();
    if (m_state == State::Open)
        Flush();
    return true;
}

bool Connection::Receive(Bytes& payload)
{
    if (m_frames.empty())
        return false;
    payload = std::move(m_frames.front());
    m_frames.pop_front();
    m_queuedBytes -= payload.size();
    return true;
}

std::optional<size_t> Connection::PeekSize() const
{
    if (m_frames.empty())
        return std::nullopt;
    return m_frames.front().size();
}

void Connection::Close()
{
    if (m_fd >= 0) {
        if (m_state == State::Open)
            Flush();
        if (m_fd >= 0) {
            ::shutdown(m_fd, SHUT_RDWR);
            ::close(m_fd);
        }
    }
    m_fd = -1;
    if (m_state != State::Failed)
        m_state = State::Closed;
}

// ---- listener ----

Listener::Listener(Listener&& other) noexcept
{
    *this = std::move(other);
}

Listener& Listener::operator=(Listener&& other) noexcept
{
    if (this != &other) {
        Close();
        m_fd = other.m_fd;
        m_port = other.m_port;
        other.m_fd = -1;
    }
    return *this;
}

Listener::~Listener()
{
    Close();
}

bool Listener::Open(uint32_t ip, uint16_t port, int tries)
{
    Close();
    for (int i = 0; i < tries; ++i) {
        int candidate = port == 0 ? 0 : port + i;
        if (candidate > 65535)
            break;
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in address = Address(ip, static_cast<uint16_t>(candidate));
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd, 128) == 0 &&
            MakeNonBlocking(fd)) {
            sockaddr_in bound{};
            socklen_t size = sizeof bound;
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &size);
            m_fd = fd;
            m_port = ntohs(bound.sin_port);
            return true;
        }
        ::close(fd);
        if (port == 0)
            break;
    }
    return false;
}

std::optional<Connection> Listener::Accept()
{
    if (m_fd < 0)
        return std::nullopt;
    int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    return Connection::Adopt(fd);
}

void Listener::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_port = 0;
}

} // namespace platform::steam
