// The sound table and the options reach the sound server through these two adapters.
#include "app/SoundServerLinks.h"

int DXSoundTableServer::LoadSound(const std::wstring& name, int controlFlags, bool allowStreaming)
{
    return m_server.LoadSound(name.c_str(), controlFlags, allowStreaming);
}

bool DXSoundTableServer::UnloadSound(int id) { return m_server.UnloadSound(id); }

bool DXSoundTableServer::HasSound(int id) { return static_cast<bool>(m_server.GetSound(id)); }

void DXSoundTableServer::SetLoop(int id, bool loop)
{
    if (SoundLease sound = m_server.GetSound(id))
        sound->m_loop = loop;
}

float DXSoundTableServer::GetVolume(int id)
{
    SoundLease sound = m_server.GetSound(id);
    return sound ? sound->m_volume : 0.0f;
}

void DXSoundTableServer::SetVolume(int id, float volume)
{
    if (SoundLease sound = m_server.GetSound(id)) {
        sound->m_volume = volume;
        sound->m_paramsChanged = true;
    }
}

bool DXSoundTableServer::IsPlaying(int id)
{
    SoundLease sound = m_server.GetSound(id);
    return sound && sound->IsPlaying();
}

bool DXSoundTableServer::Reset(int id)
{
    SoundLease sound = m_server.GetSound(id);
    return sound && sound->Reset();
}

bool DXSoundTableServer::Play(int id, bool loop)
{
    SoundLease sound = m_server.GetSound(id);
    return sound && sound->Play(loop);
}

void LinkSoundServerToGameData()
{
    DXSoundServer& server = DXSoundServer::GetSingleton();
    static DXSoundTableServer tableServer(server);
    static DXOptionsSoundLevels optionLevels(server);
    SoundTable.AttachServer(&tableServer);
    AttachOptionsSoundLevels(&optionLevels);
}
