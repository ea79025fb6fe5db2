// The sound server: ids, the name table, the device and the family levels.
#include "engine/SoundServer.h"
#include "engine/SoundLoader.h"
#include "engine/StaticSound.h"
#include "engine/StreamSound.h"

#include <helvane/ResourceFileManager.h>
#include <win32/Files.h>
#include <win32/Text.h>

#include <algorithm>
#include <memory>

namespace {

float ClampVolume(float volume)
{
    if (!(volume > 0.0f))
        return 0.0f;
    return volume < 1.0f ? volume : 1.0f;
}

} // namespace

std::wstring FindSoundInDataFolder(const std::wstring& name)
{
    const wchar_t* path = singleton<CResourceFileManager>::GetSingleton().GetFullPathNameW(name, kResourceSound);
    return path ? std::wstring(path) : std::wstring();
}

bool SoundServer::Play(int id)
{
    std::lock_guard guard(m_listLock);
    if (id < 0 || id >= static_cast<int>(m_sounds.size()) || !m_sounds[id])
        return false;
    return m_sounds[id]->Play(false);
}

bool SoundServer::Stop(int id)
{
    std::lock_guard guard(m_listLock);
    if (id < 0 || id >= static_cast<int>(m_sounds.size()) || !m_sounds[id])
        return false;
    return m_sounds[id]->Reset();
}

bool SoundServer::StopAll()
{
    ForEachSound(-1, [](Sound& sound) { sound.Reset(); });
    return true;
}

void SoundServer::StopAllEffects()
{
    ForEachSound(SOUND_KIND_STATIC, [](Sound& sound) { sound.Reset(); });
}

void SoundServer::StopAllMusic()
{
    ForEachSound(SOUND_KIND_STREAM, [](Sound& sound) { sound.Reset(); });
}

DXSoundServer::~DXSoundServer()
{
    Release();
}

bool DXSoundServer::Init(HWND window, DWORD cooperativeLevel, int channels, int samplesPerSec, int bitsPerSample)
{
    if (m_device || DirectSoundCreate8(nullptr, &m_device, nullptr) != DS_OK)
        return false;
    if (m_device->SetCooperativeLevel(window, cooperativeLevel) != DS_OK) {
        m_device->Release();
        m_device = nullptr;
        return false;
    }
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* primary = nullptr;
    if (m_device->CreateSoundBuffer(&desc, &primary, nullptr) != DS_OK)
        return false;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = static_cast<DWORD>(samplesPerSec);
    format.wBitsPerSample = static_cast<WORD>(bitsPerSample);
    format.nBlockAlign = static_cast<WORD>(channels * (bitsPerSample / 8));
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    const HRESULT result = primary->SetFormat(&format);
    primary->Release();
    return result == DS_OK;
}

bool DXSoundServer::Release()
{
    std::lock_guard guard(m_listLock);
    for (Sound*& sound : m_sounds) {
        if (sound) {
            sound->Release();
            delete sound;
            sound = nullptr;
        }
    }
    m_sounds.clear();
    // The ids are gone with their sounds; a later load of a name must load it again.
    m_names.clear();
    if (m_device)
        m_device->Release();
    m_device = nullptr;
    return true;
}

Sound* DXSoundServer::CreateSound(const std::wstring& path, bool allowStreaming)
{
    std::unique_ptr<SoundLoader> loader(CreateSoundLoader(path));
    if (!loader || !loader->Open(path.c_str()))
        return nullptr;
    const int size = loader->GetDataSize();
    loader->Close();
    if (size <= 0)
        return nullptr;
    if (allowStreaming && size > kStreamThreshold)
        return new DXStreamSound();
    return new DXStaticSound();
}

int DXSoundServer::LoadSound(const wchar_t* name, int controlFlags, bool allowStreaming)
{
    if (!name)
        return -1;
    const std::wstring key = name;
    {
        std::lock_guard guard(m_listLock);
        auto found = m_names.find(key);
        if (found != m_names.end())
            return found->second;
    }

    std::wstring path = key;
    if (!platform::FileExists(platform::Narrow(path))) {
        path = FindSoundInDataFolder(key);
        if (path.empty())
            return -1;
    }
    // Decoding happens outside the list lock, so the main thread keeps playing meanwhile.
    Sound* sound = CreateSound(path, allowStreaming);
    if (!sound)
        return -1;
    sound->m_device = m_device;
    if (!sound->Load(path.c_str(), controlFlags)) {
        sound->Release();
        delete sound;
        return -1;
    }

    std::lock_guard guard(m_listLock);
    auto found = m_names.find(key);
    if (found != m_names.end()) {
        // Another thread loaded the same name meanwhile: share its sound.
        sound->Release();
        delete sound;
        return found->second;
    }
    auto slot = std::find(m_sounds.begin(), m_sounds.end(), nullptr);
    if (slot == m_sounds.end())
        slot = m_sounds.insert(m_sounds.end(), nullptr);
    *slot = sound;
    const int id = static_cast<int>(slot - m_sounds.begin());
    m_names[key] = id;
    return id;
}

bool DXSoundServer::UnloadSound(int id)
{
    std::lock_guard guard(m_listLock);
    if (id < 0 || id >= static_cast<int>(m_sounds.size()))
        return false;
    Sound* sound = m_sounds[id];
    if (!sound)
        return true;
    if (sound->IsPlaying())
        sound->Reset();
    sound->Release();
    delete sound;
    m_sounds[id] = nullptr;
    std::erase_if(m_names, [id](const auto& entry) { return entry.second == id; });
    return true;
}

SoundLease DXSoundServer::GetSound(int id)
{
    std::unique_lock guard(m_listLock);
    if (id < 0 || id >= static_cast<int>(m_sounds.size()))
        return {};
    return SoundLease(std::move(guard), m_sounds[id]);
}

void DXSoundServer::ReapplyFamily(int kind)
{
    ForEachSound(kind, [](Sound& sound) {
        sound.m_paramsChanged = true;
        sound.ApplyParams();
    });
}

void DXSoundServer::SetMusicMute(bool mute)
{
    SoundLevels::musicMute = mute ? 0.0f : 1.0f;
    ReapplyFamily(SOUND_KIND_STREAM);
}

void DXSoundServer::SetEffectsMute(bool mute)
{
    SoundLevels::effectsMute = mute ? 0.0f : 1.0f;
    ReapplyFamily(SOUND_KIND_STATIC);
}

void DXSoundServer::SetMusicVolume(float volume)
{
    SoundLevels::musicVolume = ClampVolume(volume);
    ReapplyFamily(SOUND_KIND_STREAM);
}

void DXSoundServer::SetEffectsVolume(float volume)
{
    SoundLevels::effectsVolume = ClampVolume(volume);
    ReapplyFamily(SOUND_KIND_STATIC);
}

void DXSoundServer::DuckMusic(float level)
{
    if (SoundLevels::rememberedMusicVolume < 0.0f)
        SoundLevels::rememberedMusicVolume = SoundLevels::musicVolume.load();
    SetMusicVolume(level);
}

void DXSoundServer::RestoreMusicVolume()
{
    const float remembered = SoundLevels::rememberedMusicVolume;
    if (remembered < 0.0f)
        return;
    SetMusicVolume(remembered);
    SoundLevels::rememberedMusicVolume = -1.0f;
}

void DXSoundServer::RestoreEffectsVolume()
{
    const float remembered = SoundLevels::rememberedEffectsVolume;
    if (remembered < 0.0f)
        return;
    SetEffectsVolume(remembered);
    SoundLevels::rememberedEffectsVolume = -1.0f;
}
