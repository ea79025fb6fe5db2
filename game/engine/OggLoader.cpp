// Ogg Vorbis decoding through vorbisfile: ov_open on the opened file, ov_info for the format,
// ov_time_total for the size, ov_read for the samples, ov_raw_seek to rewind, ov_clear to close
// (which also closes the file).
#include "engine/OggLoader.h"

#include <helvane/Log.h>
#include <win32/Files.h>

#include <climits>

namespace {

// Rates and channel counts the mixer can play; anything else is refused at open.
constexpr long kMinRate = 100;
constexpr long kMaxRate = 200000;

} // namespace

SoundLoaderOgg::~SoundLoaderOgg()
{
    Close();
}

bool SoundLoaderOgg::Open(const wchar_t* path)
{
    if (!path)
        return false;
    Close();
    m_file = _wfopen(path, L"rb");
    if (!m_file)
        return false;
    if (ov_open(m_file, &m_vorbis, nullptr, 0) != 0) {
        // The decoder did not take the file, so it is still ours to close.
        std::fclose(m_file);
        m_file = nullptr;
        DFLog(LOG_WARN, L"Ogg Vorbis file %s refused: not a Vorbis stream", path);
        return false;
    }
    m_decoderOpen = true;

    const char* reason = nullptr;
    double bytes = -1.0;
    const vorbis_info* info = ov_info(&m_vorbis, -1);
    if (!info)
        reason = "no stream information";
    else if (info->channels < 1 || info->channels > 2 || info->rate < kMinRate || info->rate > kMaxRate)
        reason = "unsupported channel count or sample rate";
    else
        bytes = ov_time_total(&m_vorbis, -1) * static_cast<double>(info->rate) * info->channels * 2.0;
    // A negative total is the decoder's error code; a size past int would not fit a buffer.
    if (!reason && !(bytes >= 0.0 && bytes <= static_cast<double>(INT_MAX)))
        reason = "length unknown or too large";
    if (reason) {
        Close();
        DFLog(LOG_WARN, L"Ogg Vorbis file %s refused: %hs", path, reason);
        return false;
    }
    const WORD channels = static_cast<WORD>(info->channels);
    const DWORD rate = static_cast<DWORD>(info->rate);
    const WORD blockAlign = static_cast<WORD>(channels * 2);
    m_format = {WAVE_FORMAT_PCM, channels, rate, rate * blockAlign, blockAlign, 16, 0};
    m_dataSize = static_cast<int>(bytes);
    return true;
}

bool SoundLoaderOgg::Read(void* destination, DWORD length, DWORD* bytesRead)
{
    DWORD gathered = 0;
    if (m_decoderOpen && destination) {
        char* out = static_cast<char*>(destination);
        while (gathered < length) {
            const DWORD left = length - gathered;
            const int ask = left > static_cast<DWORD>(INT_MAX) ? INT_MAX : static_cast<int>(left);
            int section = 0;
            const long got = ov_read(&m_vorbis, out + gathered, ask, 0, 2, 1, &section);
            if (got <= 0)
                break;
            gathered += static_cast<DWORD>(got);
        }
    }
    if (bytesRead)
        *bytesRead = gathered;
    return true;
}

bool SoundLoaderOgg::Rewind()
{
    return m_decoderOpen && ov_raw_seek(&m_vorbis, 0) == 0;
}

bool SoundLoaderOgg::Close()
{
    if (m_decoderOpen)
        ov_clear(&m_vorbis);
    m_decoderOpen = false;
    m_file = nullptr;
    return true;
}
