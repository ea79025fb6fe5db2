// Links the sound server to the two game-data users of it: the sound table, which loads and
// plays the game's sound keys through the server, and the options file, which loads and saves
// the server's music and effect levels.
#pragma once

#include "data/Options.h"
#include "engine/SoundServer.h"
#include "engine/SoundTable.h"

// The sound table's view of the sound server.
class DXSoundTableServer : public SoundTableServer {
public:
    explicit DXSoundTableServer(DXSoundServer& server) : m_server(server) {}

    int LoadSound(const std::wstring& name, int controlFlags, bool allowStreaming) override;
    bool UnloadSound(int id) override;
    bool HasSound(int id) override;
    void SetLoop(int id, bool loop) override;
    float GetVolume(int id) override;
    void SetVolume(int id, float volume) override;
    bool IsPlaying(int id) override;
    bool Reset(int id) override;
    bool Play(int id, bool loop) override;

private:
    DXSoundServer& m_server;
};

// The options' view of the sound server's family levels.
class DXOptionsSoundLevels : public OptionsSoundLevels {
public:
    explicit DXOptionsSoundLevels(DXSoundServer& server) : m_server(server) {}

    void SetMusicVolume(float volume) override { m_server.SetMusicVolume(volume); }
    void SetEffectsVolume(float volume) override { m_server.SetEffectsVolume(volume); }
    void SetEffectsMute(bool mute) override { m_server.SetEffectsMute(mute); }
    void SetMusicMute(bool mute) override { m_server.SetMusicMute(mute); }
    float GetMusicVolume() const override { return m_server.GetMusicVolume(); }
    float GetEffectsVolume() const override { return m_server.GetEffectsVolume(); }
    bool IsEffectsMuted() const override { return m_server.IsEffectsMuted(); }
    bool IsMusicMuted() const override { return m_server.IsMusicMuted(); }

private:
    DXSoundServer& m_server;
};

// Attaches the one sound server of the process to the sound table and the options.
void LinkSoundServerToGameData();
