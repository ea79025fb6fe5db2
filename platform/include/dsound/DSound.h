// DirectSound 8 over SDL2 audio: the device, the primary buffer's format, secondary buffers with
// duplicates that share their samples, and position notifications that set events. Every playing
// buffer is mixed into the device's format in one place (the SDL audio callback, or the test entry
// in dsound/Mixer.h), with linear resampling from the buffer's rate.
// Implemented: DirectSoundCreate8 (default device only), SetCooperativeLevel (recorded),
//              CreateSoundBuffer (primary, and PCM secondaries of 8 or 16 bits, 1 or 2 channels),
//              DuplicateSoundBuffer; on buffers QueryInterface (IDirectSoundBuffer,
//              IDirectSoundBuffer8, IDirectSoundNotify), GetStatus, Lock and Unlock (two regions
//              when the range wraps), Play once or looping, Stop, SetCurrentPosition,
//              GetCurrentPosition, SetVolume, SetFrequency, SetPan, Restore, SetFormat (primary);
//              SetNotificationPositions.
// Left out:    3-D sound, effects, capture, hardware location and focus flags (accepted and
//              ignored: every buffer keeps sounding without focus), the stop notification
//              (DSBPN_OFFSETSTOP is refused), lost buffers (never reported).
#pragma once

#include "win32/Types.h"

constexpr HRESULT DS_OK = 0;
constexpr HRESULT DSERR_GENERIC = MakeHResult(0x80004005u);
constexpr HRESULT DSERR_INVALIDPARAM = MakeHResult(0x80070057u);
constexpr HRESULT DSERR_OUTOFMEMORY = MakeHResult(0x8007000Eu);
constexpr HRESULT DSERR_NOINTERFACE = MakeHResult(0x80004002u);
constexpr HRESULT DSERR_ALLOCATED = MakeHResult(0x8878000Au);
constexpr HRESULT DSERR_CONTROLUNAVAIL = MakeHResult(0x8878001Eu);
constexpr HRESULT DSERR_INVALIDCALL = MakeHResult(0x88780032u);
constexpr HRESULT DSERR_BADFORMAT = MakeHResult(0x88780064u);
constexpr HRESULT DSERR_NODRIVER = MakeHResult(0x88780078u);
constexpr HRESULT DSERR_BUFFERLOST = MakeHResult(0x88780096u);
constexpr HRESULT DSERR_UNINITIALIZED = MakeHResult(0x887800AAu);

constexpr DWORD DSSCL_NORMAL = 1;
constexpr DWORD DSSCL_PRIORITY = 2;
constexpr DWORD DSSCL_EXCLUSIVE = 3;
constexpr DWORD DSSCL_WRITEPRIMARY = 4;

constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x00000001;
constexpr DWORD DSBCAPS_STATIC = 0x00000002;
constexpr DWORD DSBCAPS_LOCHARDWARE = 0x00000004;
constexpr DWORD DSBCAPS_LOCSOFTWARE = 0x00000008;
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x00000020;
constexpr DWORD DSBCAPS_CTRLPAN = 0x00000040;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x00000080;
constexpr DWORD DSBCAPS_CTRLPOSITIONNOTIFY = 0x00000100;
constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x00008000;
constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x00010000;

constexpr DWORD DSBSTATUS_PLAYING = 0x00000001;
constexpr DWORD DSBSTATUS_BUFFERLOST = 0x00000002;
constexpr DWORD DSBSTATUS_LOOPING = 0x00000004;

constexpr DWORD DSBPLAY_LOOPING = 0x00000001;

constexpr DWORD DSBLOCK_FROMWRITECURSOR = 0x00000001;
constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x00000002;

constexpr LONG DSBVOLUME_MIN = -10000;
constexpr LONG DSBVOLUME_MAX = 0;
constexpr LONG DSBPAN_LEFT = -10000;
constexpr LONG DSBPAN_CENTER = 0;
constexpr LONG DSBPAN_RIGHT = 10000;
constexpr DWORD DSBFREQUENCY_ORIGINAL = 0;
constexpr DWORD DSBFREQUENCY_MIN = 100;
constexpr DWORD DSBFREQUENCY_MAX = 200000;
constexpr DWORD DSBSIZE_MIN = 4;
constexpr DWORD DSBSIZE_MAX = 0x0FFFFFFF;
constexpr DWORD DSBPN_OFFSETSTOP = 0xFFFFFFFF;

constexpr WORD WAVE_FORMAT_PCM = 1;

struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
using LPWAVEFORMATEX = WAVEFORMATEX*;
using LPCWAVEFORMATEX = const WAVEFORMATEX*;

// dwSize is at least 36 (the size of the 32-bit layout); sizeof(DSBUFFERDESC) is accepted too.
struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    LPWAVEFORMATEX lpwfxFormat;
    GUID guid3DAlgorithm;
};
using LPCDSBUFFERDESC = const DSBUFFERDESC*;

struct DSBPOSITIONNOTIFY {
    DWORD dwOffset;
    HANDLE hEventNotify;
};
using LPCDSBPOSITIONNOTIFY = const DSBPOSITIONNOTIFY*;

// Interface ids: only this layer reads them, so the values are our own.
inline constexpr GUID IID_IDirectSoundBuffer = {0x51D0A001, 0x0001, 0x4E51, {0x80, 0, 0, 0, 0, 0, 0, 1}};
inline constexpr GUID IID_IDirectSoundBuffer8 = {0x51D0A001, 0x0001, 0x4E51, {0x80, 0, 0, 0, 0, 0, 0, 8}};
inline constexpr GUID IID_IDirectSoundNotify = {0x51D0A001, 0x0002, 0x4E51, {0x80, 0, 0, 0, 0, 0, 0, 1}};

// Reference-counted like COM objects: every interface handed out holds one reference.
struct IDirectSoundBuffer {
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

    virtual HRESULT GetStatus(DWORD* status) = 0;
    virtual HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) = 0;
    virtual HRESULT Lock(DWORD offset, DWORD bytes, void** audio1, DWORD* bytes1, void** audio2, DWORD* bytes2,
                         DWORD flags) = 0;
    virtual HRESULT Unlock(void* audio1, DWORD bytes1, void* audio2, DWORD bytes2) = 0;
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT SetCurrentPosition(DWORD position) = 0;
    virtual HRESULT SetFormat(LPCWAVEFORMATEX format) = 0;
    virtual HRESULT SetVolume(LONG volume) = 0;
    virtual HRESULT SetPan(LONG pan) = 0;
    virtual HRESULT SetFrequency(DWORD frequency) = 0;
    virtual HRESULT Restore() = 0;

protected:
    ~IDirectSoundBuffer() = default;
};

struct IDirectSoundBuffer8 : IDirectSoundBuffer {
protected:
    ~IDirectSoundBuffer8() = default;
};

struct IDirectSoundNotify {
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    // The buffer must be stopped. Each offset lies inside the buffer; the event is set when the
    // play cursor moves past that byte.
    virtual HRESULT SetNotificationPositions(DWORD count, LPCDSBPOSITIONNOTIFY notifies) = 0;

protected:
    ~IDirectSoundNotify() = default;
};

struct IDirectSound8 {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
    virtual HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, IDirectSoundBuffer** buffer, void* outer) = 0;
    virtual HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** duplicate) = 0;

protected:
    ~IDirectSound8() = default;
};

using LPDIRECTSOUND8 = IDirectSound8*;
using LPDIRECTSOUNDBUFFER = IDirectSoundBuffer*;
using LPDIRECTSOUNDBUFFER8 = IDirectSoundBuffer8*;
using LPDIRECTSOUNDNOTIFY = IDirectSoundNotify*;

// Opens the default output (device must be null) in 2 channels, 22050 Hz, 16 bits until the
// primary buffer's SetFormat changes that. DSERR_NODRIVER when SDL has no audio output.
HRESULT DirectSoundCreate8(const GUID* device, IDirectSound8** sound, void* outer);
