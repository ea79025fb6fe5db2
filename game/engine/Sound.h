// Sounds of the sound server: the common part of static sounds (effects) and streamed sounds
// (music), the process-wide volume levels of the two families, and the conversion of a volume
// into the hundredths of a decibel that sound buffers take.
#pragma once

#include <dsound/DSound.h>

#include <atomic>
#include <string>

// Control flags of a sound: which parameters its buffers accept.
constexpr int kSoundControlVolume = 1;
constexpr int kSoundControlFrequency = 2;
constexpr int kSoundControlPan = 4;

enum SoundKind : int {
    SOUND_KIND_STATIC = 0, // decoded whole; an effect
    SOUND_KIND_STREAM = 1, // refilled from its decoder while it plays; music
};

// One set of levels for the whole program, shared by every sound of a family.
struct SoundLevels {
    static inline std::atomic<float> effectsVolume{0.5f};
    static inline std::atomic<float> musicVolume{0.5f};
    static inline std::atomic<float> effectsMute{1.0f}; // 0 while effects are muted
    static inline std::atomic<float> musicMute{1.0f};   // 0 while music is muted
    static inline std::atomic<float> rememberedMusicVolume{-1.0f};   // negative: none
    static inline std::atomic<float> rememberedEffectsVolume{-1.0f}; // negative: none
};

// -2000 x log10(1 / (volume x family x mute)), truncated and clamped to [-10000, 0]. A product of
// 0 or less is silence (-10000) rather than an infinite logarithm.
LONG SoundAttenuation(float volume, float familyVolume, float muteFactor);

// The buffer capability bits for a sound's control flags.
DWORD SoundControlBufferFlags(int controlFlags);

class Sound {
public:
    explicit Sound(int kind) : m_kind(kind) {}
    virtual ~Sound() = default;
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    virtual bool Load(const wchar_t* path, int controlFlags) = 0;
    virtual bool Release() = 0;
    virtual void ApplyParams() = 0;
    virtual bool Play(bool loop) = 0;
    virtual bool Stop() = 0;
    // Stops and rewinds.
    virtual bool Reset() = 0;
    virtual bool IsPlaying() = 0;
    virtual void Mute() = 0;
    virtual void ApplyVolume() = 0;

    int GetKind() const { return m_kind; }

    // Game code reads and writes these directly; whoever changes the volume, frequency or pan
    // sets the changed flag so the next play applies it.
    std::wstring m_fileName;
    int m_controlFlags = 0;
    std::atomic<bool> m_loop{false};
    bool m_paramsChanged = true;
    float m_volume = 1.0f;
    float m_frequency = 0.0f; // 0 to 1: 100 Hz to 200000 Hz
    float m_pan = 0.0f;       // -1 left to 1 right
    IDirectSound8* m_device = nullptr; // the server's device, not owned

protected:
    // Clamps the parameters and sets them on `buffer` as the control flags allow.
    void ApplyParamsTo(IDirectSoundBuffer8* buffer, float familyVolume, float muteFactor);

private:
    const int m_kind;
};
