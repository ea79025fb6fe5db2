// A streamed sound (music): a one-second looping buffer whose two halves a thread of its own
// refills from the decoder, woken by the buffer's position notifications at the end of each half
// and ended by a stop event.
#pragma once

#include "engine/Sound.h"
#include "engine/SoundLoader.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

class DXStreamSound : public Sound {
public:
    DXStreamSound() : Sound(SOUND_KIND_STREAM) {}
    ~DXStreamSound() override;

    // Starts the refill thread even when the load then fails; Release ends it.
    bool Load(const wchar_t* path, int controlFlags) override;
    bool Release() override;
    void ApplyParams() override;
    // The buffer always loops; whether the music repeats is up to the loop flag when refilling.
    bool Play(bool loop) override;
    bool Stop() override;
    bool Reset() override;
    bool IsPlaying() override;
    void Mute() override;
    void ApplyVolume() override;

    DWORD GetBufferSize() const { return m_bufferSize; }
    // How many halves the refill thread has written since the load.
    unsigned GetRefillCount() const { return m_refillCount; }

private:
    void ThreadProc();
    void RefillHalf();
    // Fills a locked region from the loader: on from the start again while looping, silence after.
    void FillRegion(void* region, DWORD bytes);
    void FillWholeBuffer();
    bool RestoreLostBuffer();

    // Guards the loader, the buffer's contents and the write offset against the refill thread.
    std::mutex m_streamLock;
    IDirectSoundBuffer8* m_buffer = nullptr;
    std::unique_ptr<SoundLoader> m_loader;
    DWORD m_bufferSize = 0;
    DWORD m_halfSize = 0;
    DWORD m_writeOffset = 0; // 0 or the half size: where the next refill goes
    std::thread m_thread;
    HANDLE m_stopEvent = nullptr;
    HANDLE m_notifyEvent = nullptr;
    std::atomic<unsigned> m_refillCount{0};
};
