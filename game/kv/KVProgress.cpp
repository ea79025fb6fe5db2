// Progress bar: sizes its one image to the value's share of the range at every draw.
#include "kv/KVProgress.h"

#include "kv/KVRenderer.h"
#include "kv/KVSystem.h"
#include "kv/KVWndDesc.h"
#include "kv/KVXmlCursor.h"

namespace kv {

void KVProgress::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVWnd::ApplyBase(description, parent);
    if (auto* progress = dynamic_cast<ProgressBase*>(description)) {
        m_barImage = progress->barImage;
        m_barTex = progress->tex;
    }
}

void KVProgress::ReadXml(KVXmlCursor* cursor)
{
    delete cursor;
}

void KVProgress::ResetDefaults()
{
    KVWnd::ResetDefaults();
    horizontal = true;
    minimum = 0;
    maximum = 100;
    value = 50;
}

void KVProgress::LoadAssets()
{
    if (m_barImage.empty())
        return;
    if (KVRenderer* renderer = g_pKVRenderer)
        renderer->AddImage(m_uniqueId, m_barImage, {m_pos.x + m_animOffset.x, m_pos.y + m_animOffset.y},
                           {0, m_barTex.x, 0, m_barTex.y}, {0, m_width, 0, m_height}, true);
}

void KVProgress::SetRange(int32_t newMinimum, int32_t newMaximum)
{
    minimum = newMinimum;
    maximum = newMaximum;
    SetPos(value);
}

void KVProgress::SetPos(int32_t newValue)
{
    value = newValue < minimum ? minimum : (newValue > maximum ? maximum : newValue);
}

float KVProgress::GetRatio() const
{
    double span = static_cast<double>(maximum) - minimum;
    // An empty range has nothing to measure: the bar shows empty rather than dividing by zero.
    if (span == 0)
        return 0;
    return static_cast<float>((static_cast<double>(value) - minimum) / span);
}

void KVProgress::OnDraw()
{
    KVRenderer* renderer = g_pKVRenderer;
    if (m_barImage.empty() || !renderer)
        return;
    float ratio = GetRatio();
    KVPoint at = GetAbsolutePosition();
    if (horizontal) {
        renderer->SetImageSize(m_uniqueId, 0, m_width * ratio, m_height);
    } else {
        at.y += (1 - ratio) * m_height;
        renderer->SetImageSize(m_uniqueId, 0, m_width, m_height * ratio);
    }
    renderer->DrawImage(m_uniqueId, 0, at, GetEffectiveAlpha(), {m_scaleX, m_scaleY}, 0, {0, 0});
}

} // namespace kv
