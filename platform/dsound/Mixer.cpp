// The mixer of the DirectSound stand-in: sums every playing buffer into the output format and
// feeds SDL's audio callback, or only the test entry Mix while the manual mixer is on.
#include "MixerState.h"
#include "SoundBuffer.h"

#include "win32/Sync.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace platform::dsound {

namespace {

struct Output {
    std::mutex lock; // taken before the mixer lock, never after it
    int users = 0;
    SDL_AudioDeviceID device = 0;
};

Output& TheOutput()
{
    static Output output;
    return output;
}

void AudioCallback(void*, Uint8* stream, int length)
{
    const uint32_t channels = GetMixFormat().channels;
    Mix(reinterpret_cast<int16_t*>(stream), static_cast<uint32_t>(length) / (2 * channels));
}

// Under the output lock.
bool OpenDevice(const MixFormat& format)
{
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(format.rate);
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(format.channels);
    want.samples = 512;
    want.callback = AudioCallback;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts our format to the hardware's if they differ.
    TheOutput().device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (TheOutput().device == 0)
        return false;
    SDL_PauseAudioDevice(TheOutput().device, 0);
    return true;
}

void CloseDevice()
{
    if (TheOutput().device != 0)
        SDL_CloseAudioDevice(TheOutput().device);
    TheOutput().device = 0;
}

} // namespace

MixerState& Mixer()
{
    static MixerState state;
    return state;
}

void UseManualMixer(bool on)
{
    std::lock_guard lock(Mixer().lock);
    Mixer().manual = on;
}

MixFormat GetMixFormat()
{
    std::lock_guard lock(Mixer().lock);
    return Mixer().format;
}

bool AcquireOutput()
{
    std::lock_guard outputLock(TheOutput().lock);
    bool manual;
    MixFormat format;
    {
        std::lock_guard lock(Mixer().lock);
        manual = Mixer().manual;
        if (TheOutput().users == 0)
            Mixer().format = {22050, 2};
        format = Mixer().format;
    }
    if (manual || TheOutput().users > 0) {
        ++TheOutput().users;
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    if (!OpenDevice(format)) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    ++TheOutput().users;
    return true;
}

void ReleaseOutput()
{
    std::lock_guard outputLock(TheOutput().lock);
    if (TheOutput().users == 0 || --TheOutput().users > 0)
        return;
    if (TheOutput().device != 0) {
        CloseDevice();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

bool ChangeOutputFormat(const MixFormat& format)
{
    std::lock_guard outputLock(TheOutput().lock);
    {
        std::lock_guard lock(Mixer().lock);
        if (Mixer().format.rate == format.rate && Mixer().format.channels == format.channels)
            return true;
    }
    const bool hadDevice = TheOutput().device != 0;
    if (hadDevice)
        CloseDevice();
    {
        std::lock_guard lock(Mixer().lock);
        Mixer().format = format;
    }
    if (!hadDevice)
        return true;
    if (OpenDevice(format))
        return true;
    // Keep sounding in the old format rather than not at all.
    std::lock_guard lock(Mixer().lock);
    Mixer().format = {22050, 2};
    OpenDevice(Mixer().format);
    return false;
}

void Mix(int16_t* out, uint32_t frames)
{
    std::vector<HANDLE> events;
    {
        std::lock_guard lock(Mixer().lock);
        MixerState& mixer = Mixer();
        const size_t samples = static_cast<size_t>(frames) * mixer.format.channels;
        mixer.accumulator.assign(samples, 0.0f);
        for (SoundBuffer* buffer : mixer.buffers)
            if (buffer->IsPlayingLocked())
                buffer->MixInto(mixer.accumulator.data(), frames, mixer.format, events);
        for (size_t i = 0; i < samples; ++i) {
            float value = std::nearbyint(mixer.accumulator[i]);
            out[i] = static_cast<int16_t>(std::clamp(value, -32768.0f, 32767.0f));
        }
    }
    for (HANDLE event : events)
        SetEvent(event);
}

} // namespace platform::dsound
