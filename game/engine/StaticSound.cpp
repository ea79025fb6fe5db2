// Static sounds: one decoded buffer and its duplicates.
#include "engine/StaticSound.h"
#include "engine/SoundLoader.h"

#include <cstring>
#include <memory>
#include <thread>

DXStaticSound::~DXStaticSound()
{
    Release();
}

bool DXStaticSound::Load(const wchar_t* path, int controlFlags)
{
    if (!path)
        return false;
    std::lock_guard guard(m_lock);
    m_fileName = path;
    std::unique_ptr<SoundLoader> loader(CreateSoundLoader(m_fileName));
    if (!loader || !loader->Open(path))
        return false;
    const int size = loader->GetDataSize();
    if (size <= 0 || !m_device) {
        loader->Close();
        return false;
    }
    m_dataSize = static_cast<DWORD>(size);
    m_controlFlags = controlFlags;

    WAVEFORMATEX format = loader->GetFormat();
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_GETCURRENTPOSITION2 | SoundControlBufferFlags(controlFlags);
    desc.dwBufferBytes = m_dataSize;
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* first = nullptr;
    IDirectSoundBuffer8* buffer = nullptr;
    if (m_device->CreateSoundBuffer(&desc, &first, nullptr) == DS_OK) {
        if (first->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&buffer)) != DS_OK)
            buffer = nullptr;
        first->Release();
    }
    if (!buffer || !FillBuffer(buffer, *loader)) {
        loader->Close();
        if (buffer)
            buffer->Release();
        return false;
    }
    loader->Close();
    m_buffers.push_back(buffer);
    return true;
}

bool DXStaticSound::ReloadBuffer(IDirectSoundBuffer8* buffer)
{
    std::unique_ptr<SoundLoader> loader(CreateSoundLoader(m_fileName));
    if (!loader || !loader->Open(m_fileName.c_str()))
        return false;
    const bool filled = FillBuffer(buffer, *loader);
    loader->Close();
    return filled;
}

bool DXStaticSound::FillBuffer(IDirectSoundBuffer8* buffer, SoundLoader& loader)
{
    void* audio = nullptr;
    DWORD bytes = 0;
    if (buffer->Lock(0, m_dataSize, &audio, &bytes, nullptr, nullptr, 0) != DS_OK)
        return false;
    DWORD got = 0;
    loader.Read(audio, bytes, &got);
    // A decoder that delivers less than it announced leaves silence, never stale memory.
    if (got < bytes) {
        const int silence = loader.GetFormat().wBitsPerSample == 8 ? 128 : 0;
        std::memset(static_cast<char*>(audio) + got, silence, bytes - got);
    }
    buffer->Unlock(audio, bytes, nullptr, 0);
    return true;
}

bool DXStaticSound::Release()
{
    std::lock_guard guard(m_lock);
    for (IDirectSoundBuffer8* buffer : m_buffers) {
        buffer->Stop();
        buffer->Release();
    }
    m_buffers.clear();
    return true;
}

DXStaticSound::Choice DXStaticSound::ChooseBuffer(IDirectSoundBuffer8** chosen)
{
    if (m_buffers.empty() || !m_device)
        return Choice::Failed;
    for (IDirectSoundBuffer8* buffer : m_buffers) {
        DWORD status = 0;
        if (buffer->GetStatus(&status) == DS_OK && !(status & DSBSTATUS_PLAYING)) {
            *chosen = buffer;
            return Choice::Chosen;
        }
    }
    if (m_buffers.size() >= kMaxBuffers)
        return Choice::AllBusy;
    IDirectSoundBuffer* duplicate = nullptr;
    if (m_device->DuplicateSoundBuffer(m_buffers.front(), &duplicate) != DS_OK)
        return Choice::Failed;
    IDirectSoundBuffer8* buffer = nullptr;
    const HRESULT queried = duplicate->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&buffer));
    duplicate->Release();
    if (queried != DS_OK)
        return Choice::Failed;
    m_buffers.push_back(buffer);
    *chosen = buffer;
    return Choice::Chosen;
}

bool DXStaticSound::RestoreBuffer(IDirectSoundBuffer8* buffer)
{
    DWORD status = 0;
    if (buffer->GetStatus(&status) != DS_OK)
        return false;
    if (!(status & DSBSTATUS_BUFFERLOST))
        return true;
    while (buffer->Restore() == DSERR_BUFFERLOST)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return ReloadBuffer(buffer);
}

void DXStaticSound::ApplyParams()
{
    std::lock_guard guard(m_lock);
    IDirectSoundBuffer8* buffer = nullptr;
    if (ChooseBuffer(&buffer) != Choice::Chosen)
        return;
    ApplyParamsTo(buffer, SoundLevels::effectsVolume, SoundLevels::effectsMute);
}

bool DXStaticSound::Play(bool loop)
{
    std::lock_guard guard(m_lock);
    IDirectSoundBuffer8* buffer = nullptr;
    const Choice choice = ChooseBuffer(&buffer);
    if (choice == Choice::AllBusy)
        return true;
    if (choice == Choice::Failed || !RestoreBuffer(buffer))
        return false;
    // The parameters go to the buffer just chosen: choosing again could pick another one that
    // finished playing meanwhile.
    ApplyParamsTo(buffer, SoundLevels::effectsVolume, SoundLevels::effectsMute);
    const DWORD flags = (loop || m_loop) ? DSBPLAY_LOOPING : 0;
    return buffer->Play(0, 0, flags) == DS_OK;
}

bool DXStaticSound::Stop()
{
    std::lock_guard guard(m_lock);
    for (IDirectSoundBuffer8* buffer : m_buffers)
        buffer->Stop();
    return true;
}

bool DXStaticSound::Reset()
{
    std::lock_guard guard(m_lock);
    for (IDirectSoundBuffer8* buffer : m_buffers) {
        buffer->Stop();
        buffer->SetCurrentPosition(0);
    }
    return true;
}

bool DXStaticSound::IsPlaying()
{
    std::lock_guard guard(m_lock);
    for (IDirectSoundBuffer8* buffer : m_buffers) {
        DWORD status = 0;
        if (buffer->GetStatus(&status) == DS_OK && (status & DSBSTATUS_PLAYING))
            return true;
    }
    return false;
}

void DXStaticSound::Mute()
{
    std::lock_guard guard(m_lock);
    for (IDirectSoundBuffer8* buffer : m_buffers)
        buffer->SetVolume(DSBVOLUME_MIN);
}

void DXStaticSound::ApplyVolume()
{
    std::lock_guard guard(m_lock);
    const LONG attenuation = SoundAttenuation(m_volume, SoundLevels::effectsVolume, SoundLevels::effectsMute);
    for (IDirectSoundBuffer8* buffer : m_buffers)
        buffer->SetVolume(attenuation);
}

size_t DXStaticSound::GetBufferCount()
{
    std::lock_guard guard(m_lock);
    return m_buffers.size();
}
