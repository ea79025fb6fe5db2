// Sound files made by the tests themselves: WAV bytes with any header field overridden, and
// Ogg Vorbis files encoded with libvorbisenc.
#pragma once

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

struct WavSpec {
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

inline std::string MakeWav(const WavSpec& s)
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
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.3f) != 0) {
        vorbis_info_clear(&info);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);
    FILE* file = std::fopen(path.c_str(), "wb");
    auto writePage = [&](const ogg_page& page) {
        std::fwrite(page.header, 1, page.header_len, file);
        std::fwrite(page.body, 1, page.body_len, file);
    };
    ogg_packet header, commentPacket, codePacket;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentPacket, &codePacket);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentPacket);
    ogg_stream_packetin(&stream, &codePacket);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page))
        writePage(page);

    long written = 0;
    bool ended = false;
    while (!ended) {
        const long chunk = std::min<long>(1024, frames - written);
        if (chunk > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(chunk));
            for (long i = 0; i < chunk; ++i)
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] = static_cast<float>(0.5 * std::sin(2.0 * M_PI * hz * (written + i) / rate));
            vorbis_analysis_wrote(&dsp, static_cast<int>(chunk));
            written += chunk;
        } else {
            vorbis_analysis_wrote(&dsp, 0);
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page))
                    writePage(page);
                if (ogg_page_eos(&page))
                    ended = true;
            }
        }
        if (chunk <= 0)
            ended = true;
    }
    while (ogg_stream_flush(&stream, &page))
        writePage(page);
    std::fclose(file);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return true;
}

} // namespace soundfixtures
