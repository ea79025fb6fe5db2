// Sound files made by the tests themselves: WAV bytes with any header field overridden, and
// Ogg Vorbis files encoded as the asset generator encodes its sounds.
#pragma once

#include <OggEncoder.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace soundfixtures {

inline void PutLE16(std::string& out, uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

inline void PutLE32(std::string& out, uint32_t v)
{
    PutLE16(out, v & 0xFFFF);
    PutLE16(out, v >> 16);
}

inline std::string Chunk(const char* id, const std::string& body, int64_t sizeOverride = -1)
{
    std::string out(id, 4);
    PutLE32(out, sizeOverride >= 0 ? static_cast<uint32_t>(sizeOverride) : static_cast<uint32_t>(body.size()));
    out += body;
    if (body.size() % 2)
        out += '\0';
    return out;
}

struct WavFormat {
    uint16_t tag = 1;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 16;
    int blockAlign = -1;     // -1: channels x bits / 8
    int64_t avgBytes = -1;   // -1: rate x block align
    size_t fmtSize = 16;     // bytes of the "fmt " body written
    std::string beforeData;  // whole chunks between "fmt " and "data"
    std::string data;
    int64_t dataSizeOverride = -1;
    int64_t riffSizeOverride = -1;
};

inline std::string MakeWav(const WavFormat& s)
{
    const uint32_t align = s.blockAlign >= 0 ? static_cast<uint32_t>(s.blockAlign) : s.channels * s.bits / 8u;
    std::string fmt;
    PutLE16(fmt, s.tag);
    PutLE16(fmt, s.channels);
    PutLE32(fmt, s.rate);
    PutLE32(fmt, s.avgBytes >= 0 ? static_cast<uint32_t>(s.avgBytes) : s.rate * align);
    PutLE16(fmt, align);
    PutLE16(fmt, s.bits);
    fmt.resize(s.fmtSize, '\0');
    std::string body = "WAVE" + Chunk("fmt ", fmt) + s.beforeData + Chunk("data", s.data, s.dataSizeOverride);
    std::string out = "RIFF";
    PutLE32(out, s.riffSizeOverride >= 0 ? static_cast<uint32_t>(s.riffSizeOverride) : static_cast<uint32_t>(body.size()));
    return out + body;
}

inline std::string Pcm16(const std::vector<int16_t>& samples)
{
    std::string out;
    for (int16_t s : samples)
        PutLE16(out, static_cast<uint16_t>(s));
    return out;
}

// A sine of `frames` frames, the same on every channel.
inline std::vector<int16_t> Sine(size_t frames, int channels, double hz, double rate, double amplitude)
{
    std::vector<int16_t> samples;
    for (size_t i = 0; i < frames; ++i) {
        const auto value = static_cast<int16_t>(std::lround(amplitude * std::sin(2.0 * M_PI * hz * i / rate)));
        for (int c = 0; c < channels; ++c)
            samples.push_back(value);
    }
    return samples;
}

// Encodes `frames` frames of a sine (every channel alike) as Ogg Vorbis; frames 0 writes only
// the headers. Returns false when the encoder refuses the settings.
inline bool WriteOgg(const std::string& path, int channels, long rate, long frames, double hz = 440.0)
{
    std::vector<int16_t> pcm;
    pcm.reserve(static_cast<size_t>(std::max(frames, 0L)) * static_cast<size_t>(std::max(channels, 0)));
    for (long i = 0; i < frames; ++i) {
        auto value = static_cast<int16_t>(16384.0 * std::sin(2.0 * M_PI * hz * i / rate));
        pcm.insert(pcm.end(), static_cast<size_t>(channels), value);
    }
    return assetgen::EncodeOgg(path, channels, static_cast<int>(rate), pcm);
}

} // namespace soundfixtures
