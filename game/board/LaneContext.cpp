#include "board/LaneContext.h"

#include "engine/AnimationSet.h"
#include "engine/Sound.h"
#include "engine/SoundServer.h"
#include "engine/SoundTable.h"

namespace {

// Sounds through the sound table; a key's playing state is asked of the sound server.
class SoundTableSink : public ISoundSink {
public:
    void Play(int key, bool loop, float volume) override { SoundTable.PlaySoundByKey(key, loop, volume); }
    void Stop(int key) override { SoundTable.StopSoundByKey(key); }
    bool IsPlaying(int key) override
    {
        const int id = SoundTable.GetSoundId(key);
        DXSoundServer* server = DXSoundServer::GetSingletonPtr();
        if (id < 0 || !server)
            return false;
        Sound* sound = server->GetSound(id);
        return sound && sound->IsPlaying();
    }
};

// Scene lengths from the engine's animation library (the file is loaded on first use).
class AnimationLibraryLengths : public IAnimationLengths {
public:
    float SceneLength(const std::string& file, const std::string& scene) override
    {
        if (file.empty())
            return 0.0f;
        AnimationSet* set = AnimationLibrary::Get(file);
        AnimationScene* found = set ? set->FindScene(scene) : nullptr;
        return found ? found->GetLength() : 0.0f;
    }
};

} // namespace

LaneContext LaneContext::ForGame()
{
    static SoundTableSink sounds;
    static AnimationLibraryLengths lengths;
    return LaneContext(GetSceneQueueSink(), sounds, lengths);
}
