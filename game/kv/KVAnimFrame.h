// Key-frame tracks of UI animations: the keys of one animated object, the segment between the
// two keys around the scene's time, the current channel values, and the 2-D transform built
// from them. Each key carries, per channel, the easing curve that leads into it.
#pragma once

#include "kv/KVTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kv {

class KVRenderer;
class KVInterface;

class KVInterpolation {
public:
    virtual ~KVInterpolation() = default;
    virtual float Evaluate(float x) const { return x; }
};

// A cubic Bezier ease from (0, 0) to (1, 1) through two inner control points, sampled once into
// a table of 1024 points and evaluated by binary search.
class KVBezierSpline : public KVInterpolation {
public:
    static constexpr int32_t kSamples = 1024;
    KVBezierSpline(float x1, float y1, float x2, float y2);
    float Evaluate(float x) const override;
    const std::vector<KVPoint>& Samples() const { return m_samples; }

private:
    KVPoint m_p0, m_p1, m_p2, m_p3;
    int32_t m_sampleCount = kSamples;
    std::vector<KVPoint> m_samples;
};

// One channel value and the interpolator that leads into it (null: linear).
struct KVChannel {
    float value = 0;
    const KVInterpolation* interpolation = nullptr;
};

struct KVAnimKey {
    enum Channel { kPosX, kPosY, kScaleX, kScaleY, kCenterX, kCenterY, kRotate, kAlpha, kChannelCount };

    KVAnimKey();
    void Reset() { *this = KVAnimKey(); }
    float Value(int channel) const { return channels[channel].value; }

    uint32_t cnt = 0;
    bool visible = true;
    std::wstring sound;
    KVChannel channels[kChannelCount];
};

class KVAnimFrame {
public:
    KVAnimFrame() = default;
    virtual ~KVAnimFrame() = default;
    KVAnimFrame(const KVAnimFrame&) = delete;
    KVAnimFrame& operator=(const KVAnimFrame&) = delete;

    // Appends a key; interpolators handed over with AdoptInterpolation live as long as the track.
    void AddKey(const KVAnimKey& key) { m_keys.push_back(key); }
    const KVInterpolation* AdoptInterpolation(std::unique_ptr<KVInterpolation> interpolation);

    void ResetForward();
    void ResetBackward();
    void StepForward(uint32_t ms, const KVRect& rect);
    void StepBackward(uint32_t ms, const KVRect& rect);
    void GoToEnd(const KVRect& rect);
    void UpdateTransform(const KVRect& rect);
    void SetTransform(const KVRect& layout, const KVPoint& scale);
    void Draw(const std::wstring& director, const std::wstring& scene, const std::wstring& link, float alpha);
    // Goes back to the first key index with default values and stops.
    void Stop();
    KVAnimKey Interpolate(const KVAnimKey& from, const KVAnimKey& to, float x) const;

    void SetName(const std::wstring& name) { m_name = name; }
    const std::wstring& GetName() const { return m_name; }
    void SetServices(KVRenderer* renderer, KVInterface* iface);
    const std::vector<KVAnimKey>& Keys() const { return m_keys; }
    const KVAnimKey& Current() const { return m_current; }
    const KVMatrix& Transform() const { return m_transform; }
    bool IsPlaying() const { return m_playing; }
    bool IsWaiting() const { return m_waiting; }
    bool IsForcedVisible() const { return m_forcedVisible; }
    int32_t Index() const { return m_index; }

private:
    // The fraction of the segment [from, to] at ms, with signed time differences. A segment of
    // length zero counts as passed once the time reaches it, and as ahead before it.
    float SegmentFraction(uint32_t ms) const;
    void Show(const KVAnimKey& key);
    void PlaySound(const KVAnimKey& key);
    void ShiftVisibilityBackward();

    std::wstring m_name;
    std::vector<KVAnimKey> m_keys;
    std::vector<std::unique_ptr<KVInterpolation>> m_interpolations;
    KVAnimKey m_from, m_to, m_current;
    int32_t m_index = 0;
    KVRenderer* m_renderer = nullptr;
    KVInterface* m_interface = nullptr;
    bool m_playing = false;
    bool m_forcedVisible = false;
    bool m_waiting = false;
    bool m_first = true;
    bool m_single = false;
    KVPoint m_scale{0, 0};
    KVRect m_rect;
    KVMatrix m_transform;
};

} // namespace kv
