// The sound server: every sound of the game, effect or music, loaded once and addressed by a
// small integer id (-1: no sound). Large music files are streamed; everything else is decoded
// whole. The effects and music families each have a volume and a mute setting applied to all
// of their sounds.
#pragma once

#include "engine/Sound.h"

#include <helvane/Singleton.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

class SoundServer {
public:
    virtual ~SoundServer() = default;

    virtual bool Init(HWND window, DWORD cooperativeLevel, int channels, int samplesPerSec, int bitsPerSample) = 0;
    virtual bool Release() = 0;
    // The id of the sound loaded from `name` (the same id for the same name), or -1.
    virtual int LoadSound(const wchar_t* name, int controlFlags, bool allowStreaming) = 0;
    virtual bool UnloadSound(int id) = 0;
    // Plays once; false for an id without a sound or a failed play.
    virtual bool Play(int id);
    // Stops and rewinds.
    virtual bool Stop(int id);
    virtual bool StopAll();
    virtual void StopAllEffects();
    virtual void StopAllMusic();

protected:
    // Runs `action` on every loaded sound of a kind (-1: every kind), under the list lock.
    template <typename Action>
    void ForEachSound(int kind, Action action)
    {
        std::lock_guard guard(m_listLock);
        for (Sound* sound : m_sounds)
            if (sound && (kind < 0 || sound->GetKind() == kind))
                action(*sound);
    }

    // Scene entry loads and unloads sounds on the scene loader thread while the main thread
    // plays them: the list and the name table are changed and read under this lock.
    std::recursive_mutex m_listLock;
    std::vector<Sound*> m_sounds;    // owned; null after a sound is unloaded
    std::map<std::wstring, int> m_names; // the name exactly as loaded -> id
};

// One sound of the server held for a use: the server's list lock stays taken while the lease
// lives, so a scene loading on the loader thread cannot unload and free the sound under the
// caller. Keep a lease for the statement or block that uses the sound, never across frames.
class SoundLease {
public:
    SoundLease() = default;
    SoundLease(std::unique_lock<std::recursive_mutex> lock, Sound* sound)
        : m_lock(sound ? std::move(lock) : std::unique_lock<std::recursive_mutex>()), m_sound(sound)
    {
    }

    Sound* get() const { return m_sound; }
    Sound* operator->() const { return m_sound; }
    Sound& operator*() const { return *m_sound; }
    explicit operator bool() const { return m_sound != nullptr; }

private:
    std::unique_lock<std::recursive_mutex> m_lock;
    Sound* m_sound = nullptr;
};

class DXSoundServer : public singleton<DXSoundServer>, public SoundServer {
public:
    // Decoded sizes above this stream when streaming is allowed.
    static constexpr int kStreamThreshold = 512000;

    DXSoundServer() = default;
    ~DXSoundServer() override;

    bool Init(HWND window, DWORD cooperativeLevel, int channels, int samplesPerSec, int bitsPerSample) override;
    bool Release() override;
    int LoadSound(const wchar_t* name, int controlFlags, bool allowStreaming) override;
    bool UnloadSound(int id) override;

    // The sound of an id, held under the list lock for as long as the lease lives; an empty
    // lease (holding nothing) for an id without a sound.
    SoundLease GetSound(int id);
    // The sound device between Init and Release, else null.
    IDirectSound8* GetDevice() const { return m_device; }

    bool IsMusicMuted() const { return SoundLevels::musicMute == 0.0f; }
    bool IsEffectsMuted() const { return SoundLevels::effectsMute == 0.0f; }
    float GetMusicVolume() const { return SoundLevels::musicVolume; }
    float GetEffectsVolume() const { return SoundLevels::effectsVolume; }
    void SetMusicMute(bool mute);
    void SetEffectsMute(bool mute);
    void SetMusicVolume(float volume);
    void SetEffectsVolume(float volume);
    // Lowers the music to `level`, remembering the volume before the first duck.
    void DuckMusic(float level);
    void RestoreMusicVolume();
    void RestoreEffectsVolume();

private:
    Sound* CreateSound(const std::wstring& path, bool allowStreaming);
    void ReapplyFamily(int kind);

    IDirectSound8* m_device = nullptr;
};

// The full path of a sound file found by name in the data folder, or empty.
std::wstring FindSoundInDataFolder(const std::wstring& name);
