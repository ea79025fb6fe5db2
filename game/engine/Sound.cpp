// Parameters shared by every kind of sound.
#include "engine/Sound.h"

#include <algorithm>
#include <cmath>

namespace {

// Like std::clamp, but a value that is not a number becomes the lower bound, so no NaN ever
// reaches a float-to-integer conversion.
float ClampParam(float value, float low, float high)
{
    if (!(value >= low))
        return low;
    return value > high ? high : value;
}

} // namespace

LONG SoundAttenuation(float volume, float familyVolume, float muteFactor)
{
    const float product = volume * familyVolume * muteFactor;
    if (!(product > 0.0f))
        return DSBVOLUME_MIN;
    const float hundredths = std::trunc(-2000.0f * std::log10(1.0f / product));
    return static_cast<LONG>(std::clamp(hundredths, static_cast<float>(DSBVOLUME_MIN), 0.0f));
}

DWORD SoundControlBufferFlags(int controlFlags)
{
    DWORD flags = 0;
    if (controlFlags & kSoundControlVolume)
        flags |= DSBCAPS_CTRLVOLUME;
    if (controlFlags & kSoundControlFrequency)
        flags |= DSBCAPS_CTRLFREQUENCY;
    if (controlFlags & kSoundControlPan)
        flags |= DSBCAPS_CTRLPAN;
    return flags;
}

void Sound::ApplyParamsTo(IDirectSoundBuffer8* buffer, float familyVolume, float muteFactor)
{
    m_volume = ClampParam(m_volume, 0.0f, 1.0f);
    m_frequency = ClampParam(m_frequency, 0.0f, 1.0f);
    m_pan = ClampParam(m_pan, -1.0f, 1.0f);
    if (m_controlFlags & kSoundControlVolume)
        buffer->SetVolume(SoundAttenuation(m_volume, familyVolume, muteFactor));
    if (m_controlFlags & kSoundControlFrequency)
        buffer->SetFrequency(static_cast<DWORD>(m_frequency * 199900.0f + 100.0f));
    if (m_controlFlags & kSoundControlPan)
        buffer->SetPan(static_cast<LONG>(m_pan * 10000.0f));
    m_paramsChanged = false;
}
