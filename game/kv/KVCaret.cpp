// Caret: image registration, blinking and drawing.
#include "kv/KVCaret.h"

#include "kv/KVRenderer.h"
#include "kv/KVTextInput.h"

#include <win32/Cursor.h>

namespace kv {

KVCaret::KVCaret() : m_blinkPeriod(static_cast<float>(GetCaretBlinkTime()) / 1000.0f) {}

void KVCaret::Init(const std::wstring& group, const KVRect& rect, int32_t index, const std::wstring& path)
{
    m_group = group;
    m_imageIndex = index;
    m_imagePath = path;
    m_width = rect.right - rect.left;
    m_height = rect.bottom - rect.top;
    if (KVRenderer* renderer = SystemRenderer())
        renderer->AddImage(group, path, KVPoint{0, 0}, rect);
}

void KVCaret::Draw(const KVPoint& position, float alpha, const KVPoint& scale)
{
    if (!m_active || !m_visiblePhase)
        return;
    if (KVRenderer* renderer = SystemRenderer())
        renderer->DrawImage(m_group, m_imageIndex, position, alpha, scale, 0, KVPoint{0, 0});
}

void KVCaret::Blink(float dt)
{
    if (!m_active)
        return;
    m_blinkTimer += dt;
    if (m_blinkPeriod < m_blinkTimer) {
        m_blinkTimer = 0;
        m_visiblePhase = !m_visiblePhase;
    }
}

void KVCaret::Show()
{
    m_visiblePhase = true;
    m_blinkTimer = 0;
}

} // namespace kv
