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

// Plays an effect sound from its start while effects are on. The sound table refuses a key it
// does not hold and logs a sound that fails to play, once per key.
void PlayEffectSound(ISoundSink& sounds, int key);

class AnimationLibraryLengths : public IAnimationLengths {
public:
    float SceneLength(const std::string& file, const std::string& scene) override;
};
AnimationLibraryLengths& GetAnimationLibraryLengths();
