// Show/hide effects and the window modifier. A window hands its show or hide transition to its
// effect, which moves the window's effect state on to shown or hidden: at once (default), by
// fading the window's alpha over 0.4 s (fade), or by playing the "_Opening_" and "_Closing_"
// scenes of the window's UI animation (animation).
#pragma once

#include <cstdint>
#include <string>

namespace kv {

class KVWnd;

class KVVisualEffect {
public:
    enum Type : int32_t { kDefault = 0, kFade = 1, kAnim = 2 };
    virtual ~KVVisualEffect() = default;
    virtual KVVisualEffect* Clone() const = 0;
    // Called right after the window set its effect state to opening or closing.
    virtual void Start(KVWnd& window) = 0;
    virtual void Update(KVWnd& window, float dt) = 0;
};

class KVVisualEffectDefault : public KVVisualEffect {
public:
    KVVisualEffect* Clone() const override { return new KVVisualEffectDefault; }
    void Start(KVWnd& window) override;
    void Update(KVWnd&, float) override {}
};

class KVVisualEffectFade : public KVVisualEffect {
public:
    static constexpr float kDuration = 0.4f;
    KVVisualEffect* Clone() const override { return new KVVisualEffectFade; }
    void Start(KVWnd& window) override;
    void Update(KVWnd& window, float dt) override;

private:
    float m_elapsed = 0;
};

class KVVisualEffectAnim : public KVVisualEffect {
public:
    KVVisualEffect* Clone() const override { return new KVVisualEffectAnim; }
    void Start(KVWnd& window) override;
    void Update(KVWnd& window, float dt) override;
};

// 0 default, 1 fade, 2 animation; null for any other type.
KVVisualEffect* CreateVisualEffect(int32_t type);

// A named factor multiplied into a window's effective alpha. The creator owns it; windows keep
// plain pointers.
class KVWindowModifier {
public:
    virtual ~KVWindowModifier() = default;
    virtual std::wstring GetName() const { return m_name; }
    virtual void SetName(const std::wstring& name) { m_name = name; }
    virtual float GetFactor() const { return m_factor; }
    virtual void SetFactor(float factor) { m_factor = factor; }
    // The window holding the modifier is being destroyed; it has already let go of it.
    virtual void OnWindowDestroyed(KVWnd*) {}

private:
    std::wstring m_name;
    float m_factor = 0;
};

} // namespace kv
