// A static sound (an effect): decoded whole into one buffer; plays that overlap get duplicates
// that share its samples, up to 17 buffers in all.
#pragma once

#include "engine/Sound.h"

class SoundLoader;

#include <mutex>
#include <vector>

class DXStaticSound : public Sound {
public:
    static constexpr size_t kMaxBuffers = 17;

    DXStaticSound() : Sound(SOUND_KIND_STATIC) {}
    ~DXStaticSound() override;

    bool Load(const wchar_t* path, int controlFlags) override;
    bool Release() override;
    // Applies to the buffer the next play will use; copies already playing keep their volume.
    void ApplyParams() override;
    // With every buffer busy the play is skipped and reported as success.
    bool Play(bool loop) override;
    bool Stop() override;
    bool Reset() override;
    bool IsPlaying() override;
    void Mute() override;
    void ApplyVolume() override;

    size_t GetBufferCount();

private:
    enum class Choice { Chosen, AllBusy, Failed };
    Choice ChooseBuffer(IDirectSoundBuffer8** chosen);
    bool RestoreBuffer(IDirectSoundBuffer8* buffer);
    // Reads the whole data from an open loader into the buffer, silence after a short read.
    bool FillBuffer(IDirectSoundBuffer8* buffer, SoundLoader& loader);
    // Reads the sound's file again into a buffer whose memory was lost.
    bool ReloadBuffer(IDirectSoundBuffer8* buffer);

    // The main thread and the scene loader thread may both play a sound.
    std::recursive_mutex m_lock;
    std::vector<IDirectSoundBuffer8*> m_buffers; // first: the decoded data; the rest duplicates
    DWORD m_dataSize = 0;
};
