// The library half of the key-frame tracks: LocusBase's constructor and the track bundle of
// one animated sprite.
#include <lumenkit/LocusKeyTRSC.h>

namespace {

void ForEachFloat(float* dst, const float* lhs, const float* rhs, float (*op)(float, float))
{
    for (int i = 0; i < 16; ++i)
        dst[i] = op(lhs[i], rhs[i]);
}

// A source track's value at `time`, or zero when the track has no keys.
template <typename T>
T SampleOrZero(LocusLinear<T>& track, float time, const T& zero)
{
    T value = zero;
    track.Evaluate(time, value);
    return value;
}

} // namespace

LocusBase::LocusBase(LocusType type) : m_fMaxTime(0.0f), m_Type(type) {}

stAnimDrawInfo stAnimDrawInfo::operator-(const stAnimDrawInfo& other) const
{
    stAnimDrawInfo out;
    ForEachFloat(&out.tx, &tx, &other.tx, [](float a, float b) { return a - b; });
    return out;
}

stAnimDrawInfo stAnimDrawInfo::operator*(float f) const
{
    stAnimDrawInfo out;
    const float* src = &tx;
    float* dst = &out.tx;
    for (int i = 0; i < 16; ++i)
        dst[i] = src[i] * f;
    return out;
}

stAnimDrawInfo& stAnimDrawInfo::operator+=(const stAnimDrawInfo& other)
{
    ForEachFloat(&tx, &tx, &other.tx, [](float a, float b) { return a + b; });
    return *this;
}

LocusKeyTRSC::LocusKeyTRSC() = default;

LocusKeyTRSC::~LocusKeyTRSC()
{
    Clear();
}

void LocusKeyTRSC::Clear()
{
    m_Translation.m_Keys.clear();
    m_Rotation.m_Keys.clear();
    m_Scale.m_Keys.clear();
    m_Center.m_Keys.clear();
    m_Color.m_Keys.clear();
    m_Visible.m_Keys.clear();
}

template <typename T>
void LocusKeyTRSC::AddKey(Locus<T>& track, float time, const T& value, bool recordTime)
{
    SetMaxTime(time);
    track.m_Keys.push_back({time, value});
    if (recordTime)
        m_KeyTimes.push_back(time);
}

void LocusKeyTRSC::AddTranslationKey(float time, D3DXVECTOR3& v) { AddKey(m_Translation, time, v, true); }
void LocusKeyTRSC::AddRotationKey(float time, D3DXVECTOR3& v) { AddKey(m_Rotation, time, v, true); }
void LocusKeyTRSC::AddScaleKey(float time, D3DXVECTOR3& v) { AddKey(m_Scale, time, v, true); }
void LocusKeyTRSC::AddCenterKey(float time, D3DXVECTOR3& v) { AddKey(m_Center, time, v, true); }
void LocusKeyTRSC::AddColorKey(float time, D3DXCOLOR& c) { AddKey(m_Color, time, c, true); }
void LocusKeyTRSC::AddVisibleKey(float time, int& v) { AddKey(m_Visible, time, v, false); }

void LocusKeyTRSC::SetMaxTime(float t)
{
    if (t <= m_fMaxTime)
        return;
    m_fMaxTime = t;
    m_Translation.m_fMaxTime = t;
    m_Rotation.m_fMaxTime = t;
    m_Scale.m_fMaxTime = t;
    m_Center.m_fMaxTime = t;
    m_Color.m_fMaxTime = t;
    m_Visible.m_fMaxTime = t;
}

int LocusKeyTRSC::IsVisible(float t)
{
    int visible = 1;
    m_Visible.Evaluate(t, visible);
    return visible;
}

int LocusKeyTRSC::GetAnimationInterval(float t, stAnimDrawInfo& out)
{
    if (!m_bBuilt)
        BuildUpAnimationKey();
    return m_Animation.Evaluate(t, out);
}

// One combined key per distinct key time, sampling the five source tracks there. A source
// track without keys leaves its fields at zero.
void LocusKeyTRSC::BuildUpAnimationKey()
{
    const D3DXVECTOR3 zero3(0.0f, 0.0f, 0.0f);
    const D3DXCOLOR zeroColor(0.0f, 0.0f, 0.0f, 0.0f);
    std::sort(m_KeyTimes.begin(), m_KeyTimes.end());
    float last = -1.0f;
    for (float time : m_KeyTimes) {
        if (time <= last)
            continue;
        const D3DXVECTOR3 t = SampleOrZero(m_Translation, time, zero3);
        const D3DXVECTOR3 r = SampleOrZero(m_Rotation, time, zero3);
        const D3DXVECTOR3 s = SampleOrZero(m_Scale, time, zero3);
        const D3DXVECTOR3 c = SampleOrZero(m_Center, time, zero3);
        const D3DXCOLOR color = SampleOrZero(m_Color, time, zeroColor);
        const stAnimDrawInfo info{t.x, t.y, t.z, r.x, r.y, r.z, s.x, s.y, s.z, c.x, c.y, c.z,
                                  color.r, color.g, color.b, color.a};
        m_Animation.m_Keys.push_back({time, info});
        m_Animation.m_fMaxTime = time;
        last = time;
    }
    m_bBuilt = 1;
}
