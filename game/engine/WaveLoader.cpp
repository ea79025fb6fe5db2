// RIFF WAV reading: "RIFF" size "WAVE", then chunks (id, 32-bit little-endian size, body padded
// to an even length). The first "fmt " chunk (PCM, at least 16 bytes) and the first "data"
// chunk are used; any other chunk ("LIST", "fact", ...) is skipped.
#include "engine/WaveLoader.h"

#include <helvane/Log.h>
#include <win32/Files.h>
#include <win32/Text.h>

#include <climits>
#include <cstring>

namespace {

uint32_t ReadLE32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t ReadLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

bool ReadAt(FILE* file, uint32_t offset, void* destination, size_t bytes)
{
    return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 &&
           std::fread(destination, 1, bytes, file) == bytes;
}

// Rates the mixer can play; anything outside is a damaged header.
constexpr uint32_t kMinRate = 100;
constexpr uint32_t kMaxRate = 200000;

const char* CheckFormat(const WAVEFORMATEX& f)
{
    if (f.wFormatTag != WAVE_FORMAT_PCM)
        return "not PCM";
    if (f.nChannels < 1 || f.nChannels > 2)
        return "unsupported channel count";
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16)
        return "unsupported sample size";
    if (f.nSamplesPerSec < kMinRate || f.nSamplesPerSec > kMaxRate)
        return "sample rate out of range";
    if (f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8 || f.nAvgBytesPerSec != f.nSamplesPerSec * f.nBlockAlign)
        return "inconsistent block align or byte rate";
    return nullptr;
}

} // namespace

SoundLoaderWave::~SoundLoaderWave()
{
    if (m_file)
        std::fclose(m_file);
}

bool SoundLoaderWave::Open(const wchar_t* path)
{
    if (!path)
        return false;
    FILE* file = _wfopen(path, L"rb");
    if (!file)
        return false;
    std::string reason;
    if (OpenStream(file, &reason))
        return true;
    DFLog(LOG_WARN, L"WAV file %s refused: %s", path, platform::Widen(reason).c_str());
    return false;
}

bool SoundLoaderWave::OpenStream(FILE* file, std::string* reason)
{
    if (m_file)
        std::fclose(m_file);
    m_file = file;
    std::string why;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    if (size < 0 || size > static_cast<long>(UINT32_MAX))
        why = "cannot measure the file";
    else if (ParseChunks(static_cast<uint32_t>(size), why) && Rewind())
        return true;
    if (why.empty())
        why = "cannot seek to the samples";
    if (reason)
        *reason = why;
    std::fclose(m_file);
    m_file = nullptr;
    return false;
}

bool SoundLoaderWave::ParseChunks(uint32_t fileSize, std::string& reason)
{
    uint8_t header[12];
    if (fileSize < sizeof(header) || !ReadAt(m_file, 0, header, sizeof(header))) {
        reason = "shorter than a RIFF header";
        return false;
    }
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) {
        reason = "not a RIFF WAVE file";
        return false;
    }
    const uint64_t riffEnd = 8ull + ReadLE32(header + 4);
    if (riffEnd > fileSize || riffEnd < sizeof(header)) {
        reason = "RIFF size does not match the file";
        return false;
    }
    m_riffEnd = static_cast<uint32_t>(riffEnd);

    bool haveFormat = false;
    bool haveData = false;
    uint32_t dataBytes = 0;
    uint64_t position = sizeof(header);
    while (position + 8 <= m_riffEnd && !(haveFormat && haveData)) {
        uint8_t chunk[8];
        if (!ReadAt(m_file, static_cast<uint32_t>(position), chunk, sizeof(chunk))) {
            reason = "cannot read a chunk header";
            return false;
        }
        const uint32_t chunkSize = ReadLE32(chunk + 4);
        const uint64_t body = position + 8;
        if (body + chunkSize > m_riffEnd) {
            reason = "a chunk runs past the end of the RIFF chunk";
            return false;
        }
        if (!haveFormat && std::memcmp(chunk, "fmt ", 4) == 0) {
            uint8_t f[16];
            if (chunkSize < sizeof(f) || !ReadAt(m_file, static_cast<uint32_t>(body), f, sizeof(f))) {
                reason = "format chunk shorter than 16 bytes";
                return false;
            }
            m_format = {ReadLE16(f), ReadLE16(f + 2), ReadLE32(f + 4), ReadLE32(f + 8), ReadLE16(f + 12), ReadLE16(f + 14), 0};
            haveFormat = true;
        } else if (!haveData && std::memcmp(chunk, "data", 4) == 0) {
            m_dataOffset = static_cast<uint32_t>(body);
            dataBytes = chunkSize;
            haveData = true;
        }
        position = body + chunkSize + (chunkSize & 1);
    }
    if (!haveFormat || !haveData) {
        reason = haveFormat ? "no data chunk" : "no format chunk";
        return false;
    }
    if (const char* bad = CheckFormat(m_format)) {
        reason = bad;
        return false;
    }
    // Only whole sample frames are played; a trailing partial frame is left out.
    dataBytes -= dataBytes % m_format.nBlockAlign;
    if (dataBytes == 0 || dataBytes > static_cast<uint32_t>(INT_MAX)) {
        reason = dataBytes == 0 ? "no samples" : "data chunk too large";
        return false;
    }
    m_dataSize = static_cast<int>(dataBytes);
    return true;
}

bool SoundLoaderWave::Read(void* destination, DWORD length, DWORD* bytesRead)
{
    if (bytesRead)
        *bytesRead = 0;
    if (!m_file || !destination || !bytesRead)
        return false;
    const DWORD wanted = length < m_dataLeft ? length : m_dataLeft;
    const size_t got = std::fread(destination, 1, wanted, m_file);
    m_dataLeft -= static_cast<uint32_t>(got);
    *bytesRead = static_cast<DWORD>(got);
    // The data was measured against the file when it was opened; a short read means the file
    // changed or failed since.
    return got == wanted;
}

bool SoundLoaderWave::Rewind()
{
    if (!m_file || std::fseek(m_file, static_cast<long>(m_dataOffset), SEEK_SET) != 0)
        return false;
    m_dataLeft = static_cast<uint32_t>(m_dataSize);
    return true;
}

bool SoundLoaderWave::Close()
{
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
    return false;
}
