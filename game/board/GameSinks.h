// The game's sound sink over the sound table, and the animation lengths over the engine's
// animation library. Scenes hand these to their game logic; tests hand in recorders.
#pragma once

#include "board/GameSeams.h"

class SoundTableSink : public ISoundSink {
public:
    void Play(int key, bool loop = false, float volume = -1.0f) override;
    void Stop(int key) override;
    bool IsPlaying(int key) override;
};
SoundTableSink& GetSoundTableSink();

// Sinks a test may put in place of the game's own, for the objects that share them; while unset,
// the scene queue and the sound table.
struct SinkOverride {
    IMessageSink* messages = nullptr;
    ISoundSink* sounds = nullptr;
    IMessageSink& Messages() const;
    ISoundSink& Sounds() const;
};

// Plays an effect sound from its start while effects are on. The sound table refuses a key it
// does not hold and logs a sound that fails to play, once per key.
void PlayEffectSound(ISoundSink& sounds, int key);

class AnimationLibraryLengths : public IAnimationLengths {
public:
    float SceneLength(const std::string& file, const std::string& scene) override;
};
AnimationLibraryLengths& GetAnimationLibraryLengths();
