// DirectSound buffers of the stand-in: locking, playing, parameters, notifications and the
// per-buffer part of the mix (linear resampling from the buffer's rate to the output's).
#include "SoundBuffer.h"
#include "MixerState.h"

#include "win32/Debug.h"
#include "win32/Sync.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace platform::dsound {

namespace {

// Hundredths of a decibel to a linear factor; the minimum is silence.
float AttenuationToGain(LONG hundredthsOfDb)
{
    if (hundredthsOfDb <= DSBVOLUME_MIN)
        return 0.0f;
    return std::pow(10.0f, static_cast<float>(hundredthsOfDb) / 2000.0f);
}

struct Frame {
    float left;
    float right;
};

Frame ReadFrame(const SampleData& data, uint32_t index)
{
    const uint8_t* p = data.bytes.data() + static_cast<size_t>(index) * data.format.nBlockAlign;
    auto sample = [&](int channel) -> float {
        if (data.format.wBitsPerSample == 8)
            return static_cast<float>((static_cast<int>(p[channel]) - 128) * 256);
        int16_t value;
        std::memcpy(&value, p + channel * 2, 2);
        return static_cast<float>(value);
    };
    float left = sample(0);
    return {left, data.format.nChannels == 2 ? sample(1) : left};
}

} // namespace

bool IsSupportedFormat(const WAVEFORMATEX& format)
{
    if (format.wFormatTag != WAVE_FORMAT_PCM)
        return false;
    if (format.nChannels < 1 || format.nChannels > 2)
        return false;
    if (format.wBitsPerSample != 8 && format.wBitsPerSample != 16)
        return false;
    if (format.nBlockAlign != format.nChannels * format.wBitsPerSample / 8)
        return false;
    return format.nSamplesPerSec >= DSBFREQUENCY_MIN && format.nSamplesPerSec <= DSBFREQUENCY_MAX;
}

SoundBuffer::SoundBuffer(DWORD flags, std::shared_ptr<SampleData> data)
    : m_flags(flags), m_primary(!data), m_data(std::move(data))
{
    if (m_primary)
        return;
    std::lock_guard lock(Mixer().lock);
    Mixer().buffers.push_back(this);
}

SoundBuffer::~SoundBuffer()
{
    if (m_primary)
        return;
    std::lock_guard lock(Mixer().lock);
    auto& buffers = Mixer().buffers;
    buffers.erase(std::remove(buffers.begin(), buffers.end(), this), buffers.end());
}

SoundBuffer* SoundBuffer::CreatePrimary()
{
    return new SoundBuffer(DSBCAPS_PRIMARYBUFFER, nullptr);
}

HRESULT SoundBuffer::CreateSecondary(DWORD flags, DWORD bytes, const WAVEFORMATEX& format, SoundBuffer** buffer)
{
    if (!IsSupportedFormat(format))
        return DSERR_BADFORMAT;
    if (bytes < DSBSIZE_MIN || bytes > DSBSIZE_MAX || bytes < format.nBlockAlign)
        return DSERR_INVALIDPARAM;
    try {
        auto data = std::make_shared<SampleData>();
        data->format = format;
        data->format.cbSize = 0;
        data->bytes.assign(bytes, format.wBitsPerSample == 8 ? 128 : 0);
        data->frames = bytes / format.nBlockAlign;
        *buffer = new SoundBuffer(flags, std::move(data));
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    return DS_OK;
}

SoundBuffer* SoundBuffer::Duplicate()
{
    if (m_primary)
        return nullptr;
    auto* duplicate = new (std::nothrow) SoundBuffer(m_flags, m_data);
    if (!duplicate)
        return nullptr;
    std::lock_guard lock(Mixer().lock);
    duplicate->m_gain = m_gain;
    duplicate->m_panLeft = m_panLeft;
    duplicate->m_panRight = m_panRight;
    duplicate->m_frequency = m_frequency;
    return duplicate;
}

HRESULT SoundBuffer::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IDirectSoundBuffer || iid == IID_IDirectSoundBuffer8) {
        *object = static_cast<IDirectSoundBuffer8*>(this);
    } else if (iid == IID_IDirectSoundNotify && (m_flags & DSBCAPS_CTRLPOSITIONNOTIFY)) {
        *object = static_cast<IDirectSoundNotify*>(this);
    } else {
        return DSERR_NOINTERFACE;
    }
    AddRef();
    return DS_OK;
}

ULONG SoundBuffer::AddRef()
{
    return ++m_refs;
}

ULONG SoundBuffer::Release()
{
    ULONG left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT SoundBuffer::GetStatus(DWORD* status)
{
    if (!status)
        return DSERR_INVALIDPARAM;
    std::lock_guard lock(Mixer().lock);
    *status = 0;
    if (m_playing)
        *status = DSBSTATUS_PLAYING | (m_looping ? DSBSTATUS_LOOPING : 0);
    return DS_OK;
}

HRESULT SoundBuffer::GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor)
{
    if (m_primary)
        return DSERR_INVALIDCALL;
    std::lock_guard lock(Mixer().lock);
    const DWORD align = m_data->format.nBlockAlign;
    const DWORD play = PlayFrame() * align;
    if (playCursor)
        *playCursor = play;
    if (writeCursor) {
        // The write cursor leads the play cursor by about 10 ms while playing, as the bytes just
        // ahead of the play cursor are already on their way to the output.
        DWORD lead = m_playing ? std::max<DWORD>(1, m_data->format.nSamplesPerSec / 100) % m_data->frames : 0;
        *writeCursor = ((PlayFrame() + lead) % m_data->frames) * align;
    }
    return DS_OK;
}

HRESULT SoundBuffer::Lock(DWORD offset, DWORD bytes, void** audio1, DWORD* bytes1, void** audio2, DWORD* bytes2,
                          DWORD flags)
{
    if (m_primary)
        return DSERR_INVALIDCALL;
    if (!audio1 || !bytes1)
        return DSERR_INVALIDPARAM;
    if (flags & DSBLOCK_FROMWRITECURSOR) {
        DWORD write = 0;
        GetCurrentPosition(nullptr, &write);
        offset = write;
    }
    std::lock_guard lock(Mixer().lock);
    const DWORD size = static_cast<DWORD>(m_data->bytes.size());
    if (flags & DSBLOCK_ENTIREBUFFER)
        bytes = size;
    if (offset >= size || bytes == 0 || bytes > size)
        return DSERR_INVALIDPARAM;
    if (m_locked)
        return DSERR_INVALIDCALL;
    const DWORD first = std::min(bytes, size - offset);
    const DWORD second = bytes - first;
    if (second > 0 && (!audio2 || !bytes2))
        return DSERR_INVALIDPARAM;
    const uint8_t* samples = m_data->bytes.data();
    try {
        m_staging.assign(samples + offset, samples + offset + first);
        m_staging.insert(m_staging.end(), samples, samples + second);
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    m_locked = true;
    m_lockOffset = offset;
    m_lockFirst = first;
    m_lockSecond = second;
    *audio1 = m_staging.data();
    *bytes1 = first;
    if (audio2)
        *audio2 = second > 0 ? m_staging.data() + first : nullptr;
    if (bytes2)
        *bytes2 = second;
    return DS_OK;
}

HRESULT SoundBuffer::Unlock(void* audio1, DWORD bytes1, void* audio2, DWORD bytes2)
{
    if (m_primary)
        return DSERR_INVALIDCALL;
    std::lock_guard lock(Mixer().lock);
    if (!m_locked)
        return DSERR_INVALIDCALL;
    if (audio1 != m_staging.data() || bytes1 > m_lockFirst || bytes2 > m_lockSecond ||
        (bytes2 > 0 && audio2 != m_staging.data() + m_lockFirst))
        return DSERR_INVALIDPARAM;
    uint8_t* samples = m_data->bytes.data();
    std::memcpy(samples + m_lockOffset, m_staging.data(), bytes1);
    std::memcpy(samples, m_staging.data() + m_lockFirst, bytes2);
    m_locked = false;
    std::vector<uint8_t>().swap(m_staging);
    return DS_OK;
}

HRESULT SoundBuffer::Play(DWORD /*reserved*/, DWORD /*priority*/, DWORD flags)
{
    if (m_primary)
        return DSERR_INVALIDCALL;
    std::lock_guard lock(Mixer().lock);
    m_playing = true;
    m_looping = (flags & DSBPLAY_LOOPING) != 0;
    return DS_OK;
}

HRESULT SoundBuffer::Stop()
{
    if (m_primary)
        return DSERR_INVALIDCALL;
    std::lock_guard lock(Mixer().lock);
    m_playing = false;
    return DS_OK;
}

HRESULT SoundBuffer::SetCurrentPosition(DWORD position)
{
    if (m_primary)
        return DSERR_INVALIDCALL;
    std::lock_guard lock(Mixer().lock);
    if (position >= m_data->bytes.size())
        return DSERR_INVALIDPARAM;
    const DWORD frame = std::min(position / m_data->format.nBlockAlign, m_data->frames - 1);
    m_position = static_cast<uint64_t>(frame) << 32;
    return DS_OK;
}

HRESULT SoundBuffer::SetFormat(LPCWAVEFORMATEX format)
{
    if (!m_primary)
        return DSERR_INVALIDCALL;
    if (!format || !IsSupportedFormat(*format))
        return DSERR_BADFORMAT;
    // The output is always 16-bit; the channels and rate follow the primary format.
    return ChangeOutputFormat({format->nSamplesPerSec, format->nChannels}) ? DS_OK : DSERR_GENERIC;
}

HRESULT SoundBuffer::SetVolume(LONG volume)
{
    if (m_primary || !(m_flags & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX)
        return DSERR_INVALIDPARAM;
    std::lock_guard lock(Mixer().lock);
    m_gain = AttenuationToGain(volume);
    return DS_OK;
}

HRESULT SoundBuffer::SetPan(LONG pan)
{
    if (m_primary || !(m_flags & DSBCAPS_CTRLPAN))
        return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT)
        return DSERR_INVALIDPARAM;
    // A pan to one side attenuates the other channel by the pan's value.
    std::lock_guard lock(Mixer().lock);
    m_panLeft = pan > 0 ? AttenuationToGain(-pan) : 1.0f;
    m_panRight = pan < 0 ? AttenuationToGain(pan) : 1.0f;
    return DS_OK;
}

HRESULT SoundBuffer::SetFrequency(DWORD frequency)
{
    if (m_primary || !(m_flags & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    if (frequency != DSBFREQUENCY_ORIGINAL && (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
        return DSERR_INVALIDPARAM;
    std::lock_guard lock(Mixer().lock);
    m_frequency = frequency;
    return DS_OK;
}

HRESULT SoundBuffer::Restore()
{
    // Buffers of the stand-in live in memory and are never lost.
    return DS_OK;
}

HRESULT SoundBuffer::SetNotificationPositions(DWORD count, LPCDSBPOSITIONNOTIFY notifies)
{
    if (count > 0 && !notifies)
        return DSERR_INVALIDPARAM;
    std::lock_guard lock(Mixer().lock);
    if (m_playing)
        return DSERR_INVALIDCALL;
    for (DWORD i = 0; i < count; ++i) {
        if (notifies[i].dwOffset == DSBPN_OFFSETSTOP) {
            platform::LogOnce("IDirectSoundNotify: the stop notification (DSBPN_OFFSETSTOP) is not implemented");
            return DSERR_INVALIDPARAM;
        }
        if (notifies[i].dwOffset >= m_data->bytes.size() || !notifies[i].hEventNotify)
            return DSERR_INVALIDPARAM;
    }
    m_notifies.assign(notifies, notifies + count);
    return DS_OK;
}

void SoundBuffer::CollectPassedNotifications(uint32_t startFrame, uint64_t framesPassed,
                                             std::vector<HANDLE>& events) const
{
    const uint32_t frames = m_data->frames;
    for (const DSBPOSITIONNOTIFY& notify : m_notifies) {
        uint32_t frame = std::min(notify.dwOffset / m_data->format.nBlockAlign, frames - 1);
        uint64_t distance = (static_cast<uint64_t>(frame) + frames - startFrame) % frames;
        if (framesPassed > distance)
            events.push_back(notify.hEventNotify);
    }
}

void SoundBuffer::MixInto(float* accumulator, uint32_t outFrames, const MixFormat& format,
                          std::vector<HANDLE>& events)
{
    const SampleData& data = *m_data;
    const uint32_t frames = data.frames;
    const uint32_t rate = m_frequency != DSBFREQUENCY_ORIGINAL ? m_frequency : data.format.nSamplesPerSec;
    const uint64_t step = (static_cast<uint64_t>(rate) << 32) / format.rate;
    const uint64_t end = static_cast<uint64_t>(frames) << 32;
    const float left = m_gain * m_panLeft;
    const float right = m_gain * m_panRight;
    const uint32_t startFrame = PlayFrame();
    uint64_t framesPassed = 0;

    for (uint32_t i = 0; i < outFrames; ++i) {
        const uint32_t index = PlayFrame();
        const uint32_t nextIndex = index + 1 < frames ? index + 1 : (m_looping ? 0 : index);
        const float fraction = static_cast<float>(static_cast<uint32_t>(m_position)) * (1.0f / 4294967296.0f);
        const Frame a = ReadFrame(data, index);
        const Frame b = ReadFrame(data, nextIndex);
        const float l = (a.left + (b.left - a.left) * fraction) * left;
        const float r = (a.right + (b.right - a.right) * fraction) * right;
        if (format.channels == 2) {
            accumulator[2 * i] += l;
            accumulator[2 * i + 1] += r;
        } else {
            accumulator[i] += (l + r) * 0.5f;
        }

        uint64_t next = m_position + step;
        framesPassed += (next >> 32) - index;
        if (next >= end) {
            if (!m_looping) {
                // A buffer played once stops at its end and starts from the beginning next time.
                m_playing = false;
                m_position = 0;
                break;
            }
            next %= end;
        }
        m_position = next;
    }
    CollectPassedNotifications(startFrame, framesPassed, events);
}

} // namespace platform::dsound
