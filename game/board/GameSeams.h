// The narrow interfaces through which the game logic (board, lane and units, push field,
// recorders, ghosts) reaches the world: it posts scene messages, plays sounds by key, draws
// random numbers and asks how long an animation lasts. Scenes wire the real ones once; tests
// hand in recorders. Nothing here includes SDL, OpenGL or the sound server.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

// A scene message as the game logic posts it: an id and its payload bytes, little-endian.
class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    virtual void Post(int32_t id, const uint8_t* payload, size_t bytes) = 0;
};

// Sounds by key, the index of a key of the sound list's current set.
class ISoundSink {
public:
    virtual ~ISoundSink() = default;
    // volume -1 keeps the sound's own volume.
    virtual void Play(int key, bool loop = false, float volume = -1.0f) = 0;
    virtual void Stop(int key) = 0;
    virtual bool IsPlaying(int key) = 0;
};

// The game's random numbers: one sequence in 0 to 32767, seeded as each mode says. The game
// shares one generator for the process (GetGameRandom); tests make their own.
class GameRandom {
public:
    static constexpr int kMax = 32767;
    explicit GameRandom(uint32_t seed = 1) { Seed(seed); }
    void Seed(uint32_t seed) { m_state = seed; }
    // The next number, 0 to 32767.
    int Next()
    {
        m_state = m_state * 1103515245u + 12345u;
        return static_cast<int>((m_state >> 16) & 0x7FFF);
    }
    uint32_t State() const { return m_state; }

private:
    uint32_t m_state = 1;
};
GameRandom& GetGameRandom();

// How long an animation scene lasts, in seconds; 0 when the file or the scene is unknown.
// The game answers from the engine's animation library, tests from a table.
class IAnimationLengths {
public:
    virtual ~IAnimationLengths() = default;
    virtual float SceneLength(const std::string& file, const std::string& scene) = 0;
};

// What a board or the push field may do to the world outside it: post scene messages, play sounds, draw random
// numbers and read the clock that seeds a game without a seed. The scene that makes a board
// hands in the game's own (the scene queue, the sound table, the process's generator); tests
// hand in recorders.
struct BoardWorld {
    IMessageSink& messages;
    ISoundSink& sounds;
    GameRandom& random;
    // Milliseconds of a steady clock.
    std::function<uint32_t()> ticks = SteadyClockTicks;

    static uint32_t SteadyClockTicks()
    {
        using namespace std::chrono;
        return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
};

// Builds a message payload field by field, little-endian.
class PayloadWriter {
public:
    PayloadWriter& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    PayloadWriter& U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    PayloadWriter& U16(uint16_t v)
    {
        m_bytes.push_back(static_cast<uint8_t>(v));
        m_bytes.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    PayloadWriter& U64(uint64_t v)
    {
        U32(static_cast<uint32_t>(v));
        return U32(static_cast<uint32_t>(v >> 32));
    }
    PayloadWriter& F32(float v)
    {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return U32(bits);
    }
    // A fixed-size text field, zero-filled and always terminated.
    PayloadWriter& Text(const std::string& text, size_t fieldBytes)
    {
        size_t n = text.size() < fieldBytes ? text.size() : (fieldBytes ? fieldBytes - 1 : 0);
        m_bytes.insert(m_bytes.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
        m_bytes.insert(m_bytes.end(), fieldBytes - n, 0);
        return *this;
    }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    void PostTo(IMessageSink& sink, int32_t id) const { sink.Post(id, m_bytes.data(), m_bytes.size()); }

private:
    std::vector<uint8_t> m_bytes;
};

// Reads a payload field by field, little-endian; reading past the end fails the reader and
// gives 0, so a short payload is refused by checking Ok() once at the end.
class PayloadReader {
public:
    PayloadReader(const uint8_t* bytes, size_t size) : m_bytes(bytes), m_size(size) {}
    uint32_t U32()
    {
        if (!Need(4)) return 0;
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(m_bytes[m_pos + i]) << (8 * i);
        m_pos += 4;
        return v;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    uint16_t U16()
    {
        if (!Need(2)) return 0;
        uint16_t v = static_cast<uint16_t>(m_bytes[m_pos] | (m_bytes[m_pos + 1] << 8));
        m_pos += 2;
        return v;
    }
    uint64_t U64()
    {
        uint64_t lo = U32();
        return lo | (static_cast<uint64_t>(U32()) << 32);
    }
    float F32()
    {
        uint32_t bits = U32();
        float v;
        std::memcpy(&v, &bits, 4);
        return v;
    }
    // A fixed-size text field up to its first zero byte (or the whole field when it has none).
    std::string Text(size_t fieldBytes)
    {
        if (!Need(fieldBytes)) return {};
        const char* p = reinterpret_cast<const char*>(m_bytes + m_pos);
        size_t n = strnlen(p, fieldBytes);
        m_pos += fieldBytes;
        return std::string(p, n);
    }
    bool Ok() const { return m_ok; }
    size_t Remaining() const { return m_ok ? m_size - m_pos : 0; }

private:
    bool Need(size_t n)
    {
        if (!m_ok || m_size - m_pos < n) {
            m_ok = false;
            return false;
        }
        return true;
    }
    const uint8_t* m_bytes;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

// The little-endian int32 at word `index` of a scene message of `length` bytes as its handler
// receives it (word 0 is the id); 0 when the message ends before that word.
inline int32_t MessageWord(const void* data, int length, int index)
{
    if (!data || index < 0 || length < 0 || static_cast<size_t>(index) > static_cast<size_t>(length) / 4)
        return 0;
    const size_t at = 4 * static_cast<size_t>(index);
    PayloadReader in(static_cast<const uint8_t*>(data) + at, static_cast<size_t>(length) - at);
    return in.I32();
}

// The game's message sink: posts into the scene manager's queue, where the current scene's
// handlers receive the id followed by the payload.
class SceneQueueSink : public IMessageSink {
public:
    void Post(int32_t id, const uint8_t* payload, size_t bytes) override;
};
SceneQueueSink& GetSceneQueueSink();
