#include "board/GameSinks.h"

#include "engine/AnimationSet.h"
#include "engine/Sound.h"
#include "engine/SoundServer.h"
#include "engine/SoundTable.h"

void SoundTableSink::Play(int key, bool loop, float volume)
{
    SoundTable.PlaySoundByKey(key, loop, volume);
}

void SoundTableSink::Stop(int key)
{
    SoundTable.StopSoundByKey(key);
}

bool SoundTableSink::IsPlaying(int key)
{
    int id = SoundTable.GetSoundId(key);
    if (id < 0 || !DXSoundServer::GetSingletonPtr())
        return false;
    SoundLease sound = DXSoundServer::GetSingleton().GetSound(id);
    return sound && sound->IsPlaying();
}

IMessageSink& SinkOverride::Messages() const
{
    return messages ? *messages : GetSceneQueueSink();
}

ISoundSink& SinkOverride::Sounds() const
{
    return sounds ? *sounds : GetSoundTableSink();
}

SoundTableSink& GetSoundTableSink()
{
    static SoundTableSink sink;
    return sink;
}

void PlayEffectSound(ISoundSink& sounds, int key)
{
    if (!SoundTable.m_effectsEnabled)
        return;
    sounds.Stop(key);
    sounds.Play(key, false);
}

float AnimationLibraryLengths::SceneLength(const std::string& file, const std::string& scene)
{
    if (file.empty())
        return 0.0f;
    AnimationSet* set = AnimationLibrary::Get(file);
    AnimationScene* found = set ? set->FindScene(scene) : nullptr;
    return found ? found->GetLength() : 0.0f;
}

AnimationLibraryLengths& GetAnimationLibraryLengths()
{
    static AnimationLibraryLengths lengths;
    return lengths;
}
