// One DirectSound buffer of the stand-in: the primary buffer (format only) or a secondary buffer
// whose samples may be shared with its duplicates. Each secondary buffer has its own play cursor,
// status, volume, pan, frequency and notification positions.
#pragma once

#include "dsound/DSound.h"
#include "dsound/Mixer.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform::dsound {

struct SampleData {
    WAVEFORMATEX format;
    std::vector<uint8_t> bytes;
    uint32_t frames; // whole frames in bytes; a partial trailing frame is never played
};

class SoundBuffer final : public IDirectSoundBuffer8, public IDirectSoundNotify {
public:
    static SoundBuffer* CreatePrimary();
    static HRESULT CreateSecondary(DWORD flags, DWORD bytes, const WAVEFORMATEX& format, SoundBuffer** buffer);
    SoundBuffer* Duplicate();

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetStatus(DWORD* status) override;
    HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) override;
    HRESULT Lock(DWORD offset, DWORD bytes, void** audio1, DWORD* bytes1, void** audio2, DWORD* bytes2,
                 DWORD flags) override;
    HRESULT Unlock(void* audio1, DWORD bytes1, void* audio2, DWORD bytes2) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT Stop() override;
    HRESULT SetCurrentPosition(DWORD position) override;
    HRESULT SetFormat(LPCWAVEFORMATEX format) override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT SetPan(LONG pan) override;
    HRESULT SetFrequency(DWORD frequency) override;
    HRESULT Restore() override;
    HRESULT SetNotificationPositions(DWORD count, LPCDSBPOSITIONNOTIFY notifies) override;

    // Under the mixer lock: adds this buffer's next `frames` output frames to `accumulator`,
    // advances the cursor and appends the events of the positions it passed.
    void MixInto(float* accumulator, uint32_t frames, const MixFormat& format, std::vector<HANDLE>& events);
    bool IsPlayingLocked() const { return m_playing; }

private:
    SoundBuffer(DWORD flags, std::shared_ptr<SampleData> data);
    ~SoundBuffer();

    DWORD PlayFrame() const { return static_cast<DWORD>(m_position >> 32); }
    void CollectPassedNotifications(uint32_t startFrame, uint64_t framesPassed, std::vector<HANDLE>& events) const;

    std::atomic<ULONG> m_refs{1};
    const DWORD m_flags;
    const bool m_primary;
    std::shared_ptr<SampleData> m_data;

    // Guarded by the mixer lock.
    bool m_playing = false;
    bool m_looping = false;
    uint64_t m_position = 0; // frames, 32.32 fixed point
    float m_gain = 1.0f;
    float m_panLeft = 1.0f;
    float m_panRight = 1.0f;
    DWORD m_frequency = DSBFREQUENCY_ORIGINAL;
    std::vector<DSBPOSITIONNOTIFY> m_notifies;

    // Lock hands out a copy of the locked bytes, written back by Unlock under the mixer lock,
    // so the mixer never reads bytes while another thread is writing them.
    bool m_locked = false;
    DWORD m_lockOffset = 0;
    DWORD m_lockFirst = 0;
    DWORD m_lockSecond = 0;
    std::vector<uint8_t> m_staging;
};

// Accepts PCM of 8 or 16 bits, 1 or 2 channels, a consistent block align and a playable rate.
bool IsSupportedFormat(const WAVEFORMATEX& format);

} // namespace platform::dsound
