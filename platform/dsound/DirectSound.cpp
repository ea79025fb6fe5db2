// The DirectSound 8 device of the stand-in: creates buffers and duplicates over the shared mixer.
#include "MixerState.h"
#include "SoundBuffer.h"

#include "../common/RefCounted.h"

#include "dsound/DSound.h"
#include "win32/Debug.h"

#include <new>

namespace platform::dsound {
namespace {

// The smallest description size callers pass (the 32-bit layout of the structure).
constexpr DWORD kMinDescSize = 36;

class DirectSoundDevice final : public RefCounted<IDirectSound8> {
public:
    HRESULT SetCooperativeLevel(HWND, DWORD level) override
    {
        if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY)
            return DSERR_INVALIDPARAM;
        m_level = level;
        return DS_OK;
    }

    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, IDirectSoundBuffer** buffer, void* outer) override
    {
        if (!desc || !buffer || outer || desc->dwSize < kMinDescSize)
            return DSERR_INVALIDPARAM;
        *buffer = nullptr;
        if (m_level == 0)
            return DSERR_INVALIDCALL;
        if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
            if (desc->dwBufferBytes != 0 || desc->lpwfxFormat)
                return DSERR_INVALIDPARAM;
            *buffer = static_cast<IDirectSoundBuffer8*>(SoundBuffer::CreatePrimary());
            return DS_OK;
        }
        if (!desc->lpwfxFormat)
            return DSERR_INVALIDPARAM;
        SoundBuffer* created = nullptr;
        HRESULT result = SoundBuffer::CreateSecondary(desc->dwFlags, desc->dwBufferBytes, *desc->lpwfxFormat, &created);
        if (result == DS_OK)
            *buffer = static_cast<IDirectSoundBuffer8*>(created);
        return result;
    }

    HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** duplicate) override
    {
        if (!original || !duplicate)
            return DSERR_INVALIDPARAM;
        *duplicate = nullptr;
        auto* source = dynamic_cast<SoundBuffer*>(original);
        if (!source)
            return DSERR_INVALIDPARAM;
        SoundBuffer* copy = source->Duplicate();
        if (!copy)
            return DSERR_INVALIDCALL;
        *duplicate = static_cast<IDirectSoundBuffer8*>(copy);
        return DS_OK;
    }

private:
    // The last reference closes the output this device opened.
    ~DirectSoundDevice() override { ReleaseOutput(); }

    DWORD m_level = 0;
};

} // namespace
} // namespace platform::dsound

HRESULT DirectSoundCreate8(const GUID* device, IDirectSound8** sound, void* outer)
{
    if (!sound || outer)
        return DSERR_INVALIDPARAM;
    *sound = nullptr;
    if (device) {
        platform::LogOnce("DirectSoundCreate8: only the default device (null) is available");
        return DSERR_NODRIVER;
    }
    if (!platform::dsound::AcquireOutput())
        return DSERR_NODRIVER;
    *sound = new platform::dsound::DirectSoundDevice();
    return DS_OK;
}
