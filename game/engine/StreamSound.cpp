// Streamed sounds: a one-second buffer in two halves, refilled by a thread of their own.
#include "engine/StreamSound.h"

#include <win32/Sync.h>

#include <chrono>
#include <cstring>

DXStreamSound::~DXStreamSound()
{
    Release();
}

bool DXStreamSound::Load(const wchar_t* path, int controlFlags)
{
    if (!path)
        return false;
    m_fileName = path;
    m_stopEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_notifyEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_thread = std::thread(&DXStreamSound::ThreadProc, this);

    std::lock_guard guard(m_streamLock);
    m_loader.reset(CreateSoundLoader(m_fileName));
    if (!m_loader || !m_loader->Open(path) || !m_device)
        return false;
    // One second of sound, in two halves of whole sample frames, so both halves are equal and
    // each notification refills exactly the half that has just finished playing.
    const WAVEFORMATEX format = m_loader->GetFormat();
    const DWORD pairOfFrames = 2u * format.nBlockAlign;
    m_bufferSize = pairOfFrames ? format.nAvgBytesPerSec / pairOfFrames * pairOfFrames : 0;
    if (m_bufferSize == 0)
        return false;
    m_controlFlags = controlFlags;

    WAVEFORMATEX bufferFormat = format;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_LOCSOFTWARE |
                   SoundControlBufferFlags(controlFlags);
    desc.dwBufferBytes = m_bufferSize;
    desc.lpwfxFormat = &bufferFormat;
    IDirectSoundBuffer* first = nullptr;
    if (m_device->CreateSoundBuffer(&desc, &first, nullptr) != DS_OK)
        return false;
    const HRESULT queried = first->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&m_buffer));
    first->Release();
    if (queried != DS_OK) {
        m_buffer = nullptr;
        return false;
    }

    m_halfSize = m_bufferSize / 2;
    IDirectSoundNotify* notify = nullptr;
    if (m_buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)) != DS_OK)
        return false;
    const DSBPOSITIONNOTIFY positions[2] = {{m_halfSize - 1, m_notifyEvent}, {m_halfSize * 2 - 1, m_notifyEvent}};
    const HRESULT set = notify->SetNotificationPositions(2, positions);
    notify->Release();
    if (set != DS_OK)
        return false;

    FillWholeBuffer();
    return true;
}

void DXStreamSound::FillWholeBuffer()
{
    void* audio = nullptr;
    DWORD bytes = 0;
    if (m_buffer->Lock(0, m_bufferSize, &audio, &bytes, nullptr, nullptr, 0) != DS_OK)
        return;
    FillRegion(audio, bytes);
    m_buffer->Unlock(audio, bytes, nullptr, 0);
    m_writeOffset = 0;
}

void DXStreamSound::FillRegion(void* region, DWORD bytes)
{
    char* out = static_cast<char*>(region);
    DWORD filled = 0;
    m_loader->Read(out, bytes, &filled);
    // Each pass starts the data again; a pass that yields nothing (an empty or unreadable
    // stream) ends the loop, so a short or broken file never keeps this thread spinning.
    while (m_loop && filled < bytes && m_loader->Rewind()) {
        DWORD got = 0;
        m_loader->Read(out + filled, bytes - filled, &got);
        if (got == 0)
            break;
        filled += got;
    }
    if (filled < bytes) {
        const int silence = m_loader->GetFormat().wBitsPerSample == 8 ? 128 : 0;
        std::memset(out + filled, silence, bytes - filled);
    }
}

void DXStreamSound::ThreadProc()
{
    const HANDLE events[2] = {m_notifyEvent, m_stopEvent};
    for (;;) {
        const DWORD woken = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0)
            RefillHalf();
        else if (woken == WAIT_OBJECT_0 + 1)
            return;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

void DXStreamSound::RefillHalf()
{
    std::lock_guard guard(m_streamLock);
    if (!m_loader || !m_buffer)
        return;
    // A notification that arrives after Reset, or so late that the cursor is back inside the
    // half to be written, would overwrite sound not yet played: skip it.
    DWORD play = 0;
    if (m_buffer->GetCurrentPosition(&play, nullptr) != DS_OK ||
        (play >= m_writeOffset && play < m_writeOffset + m_halfSize))
        return;
    void* audio1 = nullptr;
    void* audio2 = nullptr;
    DWORD bytes1 = 0;
    DWORD bytes2 = 0;
    if (m_buffer->Lock(m_writeOffset, m_halfSize, &audio1, &bytes1, &audio2, &bytes2, 0) != DS_OK)
        return;
    if (bytes1 < m_halfSize) {
        m_buffer->Unlock(audio1, bytes1, audio2, bytes2);
        return;
    }
    FillRegion(audio1, bytes1);
    m_buffer->Unlock(audio1, bytes1, audio2, bytes2);
    m_writeOffset = (m_writeOffset + bytes1) % m_bufferSize;
    ++m_refillCount;
}

bool DXStreamSound::RestoreLostBuffer()
{
    DWORD status = 0;
    if (m_buffer->GetStatus(&status) != DS_OK)
        return false;
    if (status & DSBSTATUS_BUFFERLOST)
        while (m_buffer->Restore() == DSERR_BUFFERLOST)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return true;
}

bool DXStreamSound::Play(bool)
{
    if (!m_buffer || !RestoreLostBuffer())
        return false;
    if (m_paramsChanged)
        ApplyParams();
    return m_buffer->Play(0, 0, DSBPLAY_LOOPING) == DS_OK;
}

bool DXStreamSound::Reset()
{
    if (!m_buffer)
        return true;
    std::lock_guard guard(m_streamLock);
    m_buffer->Stop();
    m_buffer->SetCurrentPosition(0);
    m_writeOffset = 0;
    m_loader->Rewind();
    void* audio = nullptr;
    DWORD bytes = 0;
    if (m_buffer->Lock(0, m_bufferSize, &audio, &bytes, nullptr, nullptr, 0) != DS_OK)
        return false;
    FillRegion(audio, bytes);
    m_buffer->Unlock(audio, bytes, nullptr, 0);
    m_writeOffset = 0;
    return true;
}

bool DXStreamSound::Release()
{
    if (m_thread.joinable()) {
        SetEvent(m_stopEvent);
        m_thread.join();
    }
    std::lock_guard guard(m_streamLock);
    if (m_buffer) {
        m_buffer->Stop();
        m_buffer->Release();
        m_buffer = nullptr;
    }
    if (m_loader) {
        m_loader->Close();
        m_loader.reset();
    }
    for (HANDLE* event : {&m_stopEvent, &m_notifyEvent}) {
        if (*event)
            CloseHandle(*event);
        *event = nullptr;
    }
    return true;
}

void DXStreamSound::ApplyParams()
{
    if (m_buffer)
        ApplyParamsTo(m_buffer, SoundLevels::musicVolume, SoundLevels::musicMute);
}

bool DXStreamSound::Stop()
{
    return m_buffer && m_buffer->Stop() == DS_OK;
}

bool DXStreamSound::IsPlaying()
{
    DWORD status = 0;
    return m_buffer && m_buffer->GetStatus(&status) == DS_OK && (status & DSBSTATUS_PLAYING);
}

void DXStreamSound::Mute()
{
    if (m_buffer)
        m_buffer->SetVolume(DSBVOLUME_MIN);
}

void DXStreamSound::ApplyVolume()
{
    if (m_buffer)
        m_buffer->SetVolume(SoundAttenuation(m_volume, SoundLevels::musicVolume, SoundLevels::musicMute));
}
