// The player of one animation set: binds a file, plays one named scene at a time with an
// optional follow-up scene that then repeats, advances its clock and draws the scene's sprites.
// Owners read and write the public flags directly.
#pragma once

#include "engine/AnimationSet.h"

#include <string>

class AnimationPlayer {
public:
    AnimationPlayer();

    // Binds the file's set and makes its scene "NORMAL" current at time 0. A file that cannot
    // be loaded leaves the player as it was and returns false.
    bool Load(const std::string& fileName);
    // Starts the scene (a running scene of that name is not restarted). When the set lacks it,
    // the follow-up scene is tried alone; when both are missing nothing changes.
    void Play(const std::string& name, const char* next = nullptr);
    // Advances the clock; at the end of the scene it moves to the follow-up scene, loops, or
    // stops on the last frame.
    void Update(float seconds);
    // Draws the current scene at the player's time; null matrix and scale use the player's own.
    void Draw(const D3DXMATRIX* matrix = nullptr, D3DCOLOR colour = 0xFFFFFFFF, float rotation = 0.0f,
              const D3DXVECTOR3* scale = nullptr);
    // No current scene, no names, time 0; the set stays bound.
    void Clear();

    float GetLength() const;
    void GetSize(int* x, int* y) const;
    AnimationScene* GetScene(const std::string& name) const;
    LocusKeyTRSC* GetTrack(const std::string& sceneName, const std::string& trackName) const;

    AnimationSet* m_pSet = nullptr;
    AnimationScene* m_pScene = nullptr;
    std::string m_strScene;
    std::string m_strNextScene;
    float m_fTime = 0.0f;
    bool m_bLoop = false;
    D3DXMATRIX m_matWorld;
    D3DXVECTOR3 m_vScale{1.0f, 1.0f, 1.0f};
    bool m_bVisible = true;
    bool m_bPlaying = false;

private:
    bool IsRunning() const;
    // Takes whole lengths off the time while it exceeds the length (0 for a length of 0).
    static float Wrap(float time, float length);
};
