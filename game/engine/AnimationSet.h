// Sprite animation sets read from "kvanimation" files: each scene of a file becomes a list of
// sprite tracks (key-frame bundles with the image they draw). Files are cached by bare file name
// for the whole program and shared by every player.
#pragma once

#include <lumenkit/LocusKeyTRSC.h>

#include <d3d9/D3D9Types.h>
#include <d3d9/D3DXMath.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TiXmlElement;

// One animated image: its key frames, the texture it draws and the anim's name.
class AnimationTrack : public LocusKeyTRSC {
public:
    int m_nTexture = -1;
    int m_nTextureWidth = 0;
    int m_nTextureHeight = 0;
    std::string m_strName;
};

class AnimationScene {
public:
    // Draws every track at the time through the renderer's sprites. The matrix applies last;
    // the colour modulates each track's colour; the rotation adds to each track's roll; the
    // multiplier scales each track's scale.
    void Draw(float time, const D3DXMATRIX* matrix, D3DCOLOR colour, float rotation,
              const D3DXVECTOR3* scale) const;
    // The same, queued with the sorted sprites.
    void DrawSorted(float time, const D3DXMATRIX* matrix, D3DCOLOR colour, float rotation,
                    const D3DXVECTOR3* scale) const;
    AnimationTrack* FindTrack(const std::string& name) const;
    float GetLength() const { return m_fLength; }

    std::vector<std::unique_ptr<AnimationTrack>> m_Tracks;
    int m_nResX = 0;
    int m_nResY = 0;
    int m_bPendulum = 0;
    // The largest key time in seconds, doubled for a pendulum scene.
    float m_fLength = 0.0f;

private:
    void DrawTracks(float time, const D3DXMATRIX* matrix, D3DCOLOR colour, float rotation,
                    const D3DXVECTOR3* scale, bool sorted) const;
};

class AnimationSet {
public:
    // Finds the file through the data-folder index and reads its scenes. False for a missing
    // or malformed file, a wrong root or a version that is not "major.minor"; files before
    // version 1.2 load without scenes.
    bool Load(const std::string& key);
    AnimationScene* FindScene(const std::string& name) const;

    std::map<std::string, std::unique_ptr<AnimationScene>> m_Scenes;
    std::string m_strKey;

private:
    std::unique_ptr<AnimationScene> ParseScene(const TiXmlElement& sceneElement) const;
};

class AnimationLibrary {
public:
    // The set of the file, loaded on first use. Any folder in the path is ignored: the bare
    // file name is the key and the file is found through the data-folder index. A failed
    // load is not remembered, so a later call tries again. Safe from any thread.
    static AnimationSet* Get(const std::string& path);

private:
    static AnimationLibrary& Instance();

    std::mutex m_lock;
    std::map<std::string, std::unique_ptr<AnimationSet>> m_Sets;
};
