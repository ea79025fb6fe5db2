// Key-frame tracks: segment stepping in both directions, interpolation with easing, and the
// object transform.
#include "kv/KVAnimFrame.h"

#include "kv/KVInterface.h"
#include "kv/KVRenderer.h"

#include <cmath>

namespace kv {

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kMinVisibleAlpha = 0.003921569f;

KVMatrix Multiply(const KVMatrix& a, const KVMatrix& b)
{
    KVMatrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

KVMatrix RotationZ(float radians)
{
    KVMatrix r;
    float c = std::cos(radians);
    float s = std::sin(radians);
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

} // namespace

// KVBezierSpline

KVBezierSpline::KVBezierSpline(float x1, float y1, float x2, float y2)
    : m_p0{0, 0}, m_p1{x1, y1}, m_p2{x2, y2}, m_p3{1, 1}
{
    m_samples.reserve(kSamples);
    for (int32_t i = 0; i < kSamples; ++i) {
        float t = static_cast<float>(i) / static_cast<float>(kSamples);
        float u = 1.0f - t;
        float b0 = u * u * u;
        float b1 = 3.0f * t * u * u;
        float b2 = 3.0f * t * t * u;
        float b3 = t * t * t;
        float x = b0 * m_p0.x;
        x = x + b1 * m_p1.x;
        x = x + b2 * m_p2.x;
        x = x + b3 * m_p3.x;
        float y = b0 * m_p0.y;
        y = y + b1 * m_p1.y;
        y = y + b2 * m_p2.y;
        y = y + b3 * m_p3.y;
        m_samples.push_back({x, y});
    }
}

float KVBezierSpline::Evaluate(float x) const
{
    int32_t lo = 0;
    int32_t hi = m_sampleCount - 1;
    while (hi >= lo) {
        int32_t mid = (lo + hi) / 2;
        int32_t d = mid == 0 ? 1 : mid;
        if (m_samples[d - 1].x <= x && x <= m_samples[mid].x)
            return m_samples[mid].y;
        if (x < m_samples[mid].x)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return m_samples.back().y;
}

// KVAnimKey

KVAnimKey::KVAnimKey()
{
    channels[kScaleX].value = 1;
    channels[kScaleY].value = 1;
    channels[kCenterX].value = 0.5f;
    channels[kCenterY].value = 0.5f;
    channels[kAlpha].value = 1;
}

// KVAnimFrame

const KVInterpolation* KVAnimFrame::AdoptInterpolation(std::unique_ptr<KVInterpolation> interpolation)
{
    m_interpolations.push_back(std::move(interpolation));
    return m_interpolations.back().get();
}

void KVAnimFrame::SetServices(KVRenderer* renderer, KVInterface* iface)
{
    m_renderer = renderer;
    m_interface = iface;
}

void KVAnimFrame::SetTransform(const KVRect& layout, const KVPoint& scale)
{
    m_rect = layout;
    m_scale = scale;
}

KVAnimKey KVAnimFrame::Interpolate(const KVAnimKey& from, const KVAnimKey& to, float x) const
{
    KVAnimKey result = m_current;
    for (int c = 0; c < KVAnimKey::kChannelCount; ++c) {
        // A key that lacks a channel's interpolator moves into it linearly.
        const KVInterpolation* ease = to.channels[c].interpolation;
        float f = ease ? ease->Evaluate(x) : x;
        result.channels[c].value = from.channels[c].value + f * (to.channels[c].value - from.channels[c].value);
        result.channels[c].interpolation = nullptr;
    }
    return result;
}

void KVAnimFrame::PlaySound(const KVAnimKey& key)
{
    if (!key.sound.empty() && m_interface)
        m_interface->PlaySound(key.sound);
}

void KVAnimFrame::Show(const KVAnimKey& key)
{
    m_current = key;
    PlaySound(key);
}

void KVAnimFrame::ResetForward()
{
    m_index = 0;
    m_current.Reset();
    if (m_keys.size() == 1) {
        m_current = m_from = m_to = m_keys[0];
        m_single = true;
    } else if (m_keys.size() > 1) {
        m_current = m_from = m_keys[0];
        m_to = m_keys[1];
        m_single = false;
    }
    m_playing = !m_keys.empty();
    m_first = true;
}

void KVAnimFrame::ShiftVisibilityBackward()
{
    // A backward run shows the same visibility as a forward run at the same time: a key's
    // visibility holds from that key until the next one.
    m_to.visible = m_from.visible;
    if (m_index - 2 >= 0)
        m_from.visible = m_keys[static_cast<size_t>(m_index - 2)].visible;
    else if (m_from.cnt > 0)
        m_from.visible = false;
}

void KVAnimFrame::ResetBackward()
{
    m_index = static_cast<int32_t>(m_keys.size()) - 1;
    m_current.Reset();
    if (m_keys.size() == 1) {
        m_current = m_to = m_from = m_keys[0];
        m_single = true;
    } else if (m_keys.size() > 1) {
        m_from = m_keys[static_cast<size_t>(m_index - 1)];
        m_to = m_keys[static_cast<size_t>(m_index)];
        ShiftVisibilityBackward();
        m_current = m_to;
        m_single = false;
    }
    m_playing = !m_keys.empty();
    m_first = true;
}

float KVAnimFrame::SegmentFraction(uint32_t ms) const
{
    int64_t elapsed = static_cast<int64_t>(ms) - static_cast<int64_t>(m_from.cnt);
    int64_t span = static_cast<int64_t>(m_to.cnt) - static_cast<int64_t>(m_from.cnt);
    if (span == 0)
        return elapsed < 0 ? -1.0f : 1.0f;
    return static_cast<float>(elapsed) / static_cast<float>(span);
}

void KVAnimFrame::StepForward(uint32_t ms, const KVRect& rect)
{
    m_forcedVisible = false;
    m_waiting = false;
    if (m_keys.empty())
        return;
    if (m_single) {
        if (ms < m_current.cnt) {
            m_waiting = true;
            return;
        }
        PlaySound(m_current);
        m_playing = false;
        UpdateTransform(rect);
        return;
    }
    float x = SegmentFraction(ms);
    if (x < 0) {
        m_waiting = true;
        return;
    }
    if (m_first) {
        Show(m_from);
        m_first = false;
    } else if (x >= 1) {
        ++m_index;
        if (static_cast<size_t>(m_index) + 1 < m_keys.size()) {
            m_from = m_keys[static_cast<size_t>(m_index)];
            m_to = m_keys[static_cast<size_t>(m_index) + 1];
            Show(m_from);
        } else {
            Show(m_to);
            m_playing = false;
        }
    } else {
        m_current = Interpolate(m_from, m_to, x);
    }
    UpdateTransform(rect);
}

void KVAnimFrame::StepBackward(uint32_t ms, const KVRect& rect)
{
    m_forcedVisible = false;
    m_waiting = false;
    if (m_keys.empty())
        return;
    if (m_single) {
        if (ms > m_current.cnt)
            return;
        PlaySound(m_current);
        m_playing = false;
        m_waiting = ms > 0;
        UpdateTransform(rect);
        return;
    }
    float x = SegmentFraction(ms);
    if (x > 1) {
        if (m_keys[static_cast<size_t>(m_index)].visible)
            m_forcedVisible = true;
        else
            m_waiting = true;
    } else if (x <= 0) {
        --m_index;
        if (m_index >= 1) {
            m_from = m_keys[static_cast<size_t>(m_index - 1)];
            m_to = m_keys[static_cast<size_t>(m_index)];
            ShiftVisibilityBackward();
            Show(m_to);
        } else {
            m_index = 0;
            Show(m_from);
            m_playing = false;
        }
    } else {
        m_current = Interpolate(m_from, m_to, x);
    }
    UpdateTransform(rect);
}

void KVAnimFrame::GoToEnd(const KVRect& rect)
{
    if (m_keys.empty())
        return;
    m_index = static_cast<int32_t>(m_keys.size()) - 1;
    m_current.Reset();
    m_current = m_keys.back();
    UpdateTransform(rect);
}

void KVAnimFrame::Stop()
{
    m_index = 0;
    m_current.Reset();
    m_playing = false;
}

void KVAnimFrame::UpdateTransform(const KVRect& rect)
{
    const KVAnimKey& k = m_current;
    float px = (m_rect.right - m_rect.left) * k.Value(KVAnimKey::kPosX) * m_scale.x + m_rect.left;
    float py = (m_rect.bottom - m_rect.top) * k.Value(KVAnimKey::kPosY) * m_scale.y + m_rect.top;
    float cx = std::floor(k.Value(KVAnimKey::kCenterX) * rect.right + 0.5f);
    float cy = std::floor(k.Value(KVAnimKey::kCenterY) * rect.bottom + 0.5f);

    KVMatrix toCentre;
    toCentre.m[3][0] = -cx;
    toCentre.m[3][1] = -cy;
    KVMatrix scale;
    scale.m[0][0] = k.Value(KVAnimKey::kScaleX) * m_scale.x;
    scale.m[1][1] = k.Value(KVAnimKey::kScaleY) * m_scale.y;
    scale.m[2][2] = 0;
    KVMatrix rotation = RotationZ(k.Value(KVAnimKey::kRotate) * kDegreesToRadians);

    m_transform = Multiply(Multiply(toCentre, scale), rotation);
    m_transform.m[3][0] += px;
    m_transform.m[3][1] += py;
}

void KVAnimFrame::Draw(const std::wstring& director, const std::wstring& scene, const std::wstring& link, float alpha)
{
    if (m_waiting || (!m_forcedVisible && !m_current.visible) || !m_renderer)
        return;
    float a = m_current.Value(KVAnimKey::kAlpha) * alpha;
    if (a < kMinVisibleAlpha)
        return;
    m_renderer->DrawAnimImage(director, scene, link, a, m_transform);
}

} // namespace kv
