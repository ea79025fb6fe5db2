// The blinking caret image of the text widgets: one image in its owner window's renderer group,
// drawn only in the visible half of its blink period.
#pragma once

#include "kv/KVTypes.h"

#include <cstdint>
#include <string>

namespace kv {

class KVCaret {
public:
    KVCaret();
    virtual ~KVCaret() = default;

    virtual std::wstring GetClassName() const { return L"KVCaret"; }

    // Adds the caret image to the owner's renderer group under the given index.
    void Init(const std::wstring& group, const KVRect& rect, int32_t index, const std::wstring& path);
    void Draw(const KVPoint& position, float alpha, const KVPoint& scale);
    void Blink(float dt);
    // Makes the caret visible at once and restarts its blink period.
    void Show();

    bool IsActive() const { return m_active; }
    void SetActive(bool active) { m_active = active; }
    bool IsInVisiblePhase() const { return m_visiblePhase; }
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }
    int32_t GetImageIndex() const { return m_imageIndex; }

private:
    std::wstring m_group;
    int32_t m_imageIndex = -1;
    bool m_active = true;
    std::wstring m_imagePath;
    float m_width = 0;
    float m_height = 0;
    float m_blinkTimer = 0;
    float m_blinkPeriod = 0;
    bool m_visiblePhase = true;
};

} // namespace kv
