// The key-frame tracks of one animated sprite (translation, rotation, scale, centre, colour,
// visibility) and the combined track of whole draw states built from them on first use.
#pragma once

#include <lumenkit/Locus.h>

#include <d3d9/D3DXMath.h>

#include <vector>

// One sampled draw state: translation, rotation, scale and centre as three floats each,
// colour as four. The combined track interpolates all 16 floats together.
struct stAnimDrawInfo {
    float tx, ty, tz;
    float rx, ry, rz;
    float sx, sy, sz;
    float cx, cy, cz;
    float r, g, b, a;

    stAnimDrawInfo operator-(const stAnimDrawInfo& other) const;
    stAnimDrawInfo operator*(float f) const;
    stAnimDrawInfo& operator+=(const stAnimDrawInfo& other);
};

class LocusKeyTRSC {
public:
    LocusKeyTRSC();
    LocusKeyTRSC(const LocusKeyTRSC&) = default;
    LocusKeyTRSC& operator=(const LocusKeyTRSC&) = default;
    ~LocusKeyTRSC();

    // Removes every key of the six source tracks; the combined track, the key-time list,
    // the max times and the built flag stay.
    void Clear();

    // Each raises the max time to `time`, appends the key and records its time.
    void AddTranslationKey(float time, D3DXVECTOR3& v);
    void AddRotationKey(float time, D3DXVECTOR3& v);
    void AddScaleKey(float time, D3DXVECTOR3& v);
    void AddCenterKey(float time, D3DXVECTOR3& v);
    void AddColorKey(float time, D3DXCOLOR& c);
    // Visibility keys do not enter the key-time list of the combined track.
    void AddVisibleKey(float time, int& v);

    // Raises (never lowers) the max time of the bundle and of the six source tracks.
    void SetMaxTime(float t);
    float GetMaxTime() const { return m_fMaxTime; }

    int GetTranslationInterval(float t, D3DXVECTOR3& out) { return m_Translation.Evaluate(t, out); }
    int GetRotationInterval(float t, D3DXVECTOR3& out) { return m_Rotation.Evaluate(t, out); }
    int GetScaleInterval(float t, D3DXVECTOR3& out) { return m_Scale.Evaluate(t, out); }
    int GetCenterInterval(float t, D3DXVECTOR3& out) { return m_Center.Evaluate(t, out); }
    int GetColorInterval(float t, D3DXCOLOR& out) { return m_Color.Evaluate(t, out); }
    // 1 without visibility keys.
    int IsVisible(float t);
    // Builds the combined track at the first call; keys added afterwards never reach it.
    int GetAnimationInterval(float t, stAnimDrawInfo& out);
    void BuildUpAnimationKey();

    LocusLinear<D3DXVECTOR3> m_Translation;
    LocusLinear<D3DXVECTOR3> m_Rotation;
    LocusLinear<D3DXVECTOR3> m_Scale;
    LocusLinear<D3DXVECTOR3> m_Center;
    LocusLinear<D3DXCOLOR> m_Color;
    LocusLinear<stAnimDrawInfo> m_Animation;
    LocusStep<int> m_Visible;
    float m_fMaxTime = 0.0f;
    std::vector<float> m_KeyTimes;
    int m_bBuilt = 0;

private:
    template <typename T>
    void AddKey(Locus<T>& track, float time, const T& value, bool recordTime);
};
