// Text area with scroll bars: builds its bars and keeps the vertical one and the first visible
// line in step.
#include "kv/KVTextArea.h"

#include "kv/KVScrollBar.h"
#include "kv/KVSystem.h"
#include "kv/KVWindowFactory.h"
#include "kv/KVWndDesc.h"

namespace kv {

void KVTextAreaSC::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVTextArea::ApplyBase(description, parent);
    m_hScrollBar = m_vScrollBar = nullptr;
    m_suppressPosChange = false;
    auto* area = dynamic_cast<TextAreaSCBase*>(description);
    if (!area)
        return;
    m_showAlwaysH = area->showAlwaysH;
    m_showAlwaysV = area->showAlwaysV;
    m_autoVisibleH = area->autoVisibleH;
    m_autoVisibleV = area->autoVisibleV;
    m_autoVisibleRect = area->autoVisibleRect;
    if (area->hScrollBar)
        m_hScrollBar = dynamic_cast<KVScrollBar*>(BuildPartWindow(TakeSubRecord(area->hScrollBar), this));
    if (area->vScrollBar)
        m_vScrollBar = dynamic_cast<KVScrollBar*>(BuildPartWindow(TakeSubRecord(area->vScrollBar), this));
}

void KVTextAreaSC::ResetDefaults()
{
    KVTextArea::ResetDefaults();
    if (m_hScrollBar) {
        if (!m_showAlwaysH)
            m_hScrollBar->SetVisible(false);
        BindPosChanged(this, m_hScrollBar, &KVTextAreaSC::OnHScroll);
    }
    if (m_vScrollBar) {
        bool needed = ScrollNeeded();
        if (m_showAlwaysV) {
            if (!needed)
                m_vScrollBar->SetEnabled(false);
        } else {
            m_vScrollBar->SetVisible(m_autoVisibleV && needed);
        }
        BindPosChanged(this, m_vScrollBar, &KVTextAreaSC::OnVScroll);
    }
}

bool KVTextAreaSC::ScrollNeeded() const
{
    return m_vScrollBar && GetVisibleLineCount() < LineCount();
}

int32_t KVTextAreaSC::ScrollStep() const
{
    int32_t lines = LineCount();
    int32_t visible = GetVisibleLineCount();
    return lines > visible ? lines * GetLineHeight() / (lines - visible) : 0;
}

void KVTextAreaSC::FitVerticalBar(bool needed)
{
    const KVRect& grow = m_autoVisibleRect;
    float width = GetWidth();
    float height = GetHeight();
    if (needed) {
        if (m_showAlwaysV) {
            if (!m_vScrollBar->IsEnabled())
                m_vScrollBar->SetEnabled(true);
        } else if (m_autoVisibleV && !m_vScrollBar->IsVisible()) {
            SetSizeFromRect({grow.left, width + grow.right, grow.top, height + grow.bottom});
            m_vScrollBar->SetVisible(true);
        }
    } else if (m_showAlwaysV) {
        m_vScrollBar->SetEnabled(false);
    } else if (m_autoVisibleV && m_vScrollBar->IsVisible()) {
        SetSizeFromRect({-grow.left, width - grow.right, -grow.top, height - grow.bottom});
        m_vScrollBar->SetVisible(false);
    }
}

void KVTextAreaSC::SyncScrollBar()
{
    if (!m_vScrollBar)
        return;
    bool needed = ScrollNeeded();
    FitVerticalBar(needed);
    if (!needed)
        return;
    m_vScrollBar->min = 0;
    m_vScrollBar->max = LineCount() * GetLineHeight();
    m_vScrollBar->UpdateThumb();
    m_vScrollBar->step = ScrollStep();
}

void KVTextAreaSC::AppendText(const std::wstring& more)
{
    KVTextArea::AppendText(more);
    SyncScrollBar();
}

void KVTextAreaSC::EraseFront(int32_t count)
{
    KVTextArea::EraseFront(count);
    SyncScrollBar();
}

void KVTextAreaSC::Clear()
{
    KVTextArea::Clear();
    SyncScrollBar();
}

void KVTextAreaSC::SetFirstVisibleLine(int32_t line)
{
    KVTextArea::SetFirstVisibleLine(line);
    SyncScrollBar();
}

void KVTextAreaSC::KeyDown(KeyEventArgs& args)
{
    KVTextArea::KeyDown(args);
    if (!IsEditable() || !m_vScrollBar)
        return;
    bool needed = ScrollNeeded();
    FitVerticalBar(needed);
    if (!needed)
        return;
    // The bar follows the first visible line here; its own position events are ignored. The
    // flag is cleared after each update too, since a bar with an empty range fires nothing.
    int32_t step = ScrollStep();
    m_vScrollBar->min = 0;
    m_vScrollBar->max = LineCount() * GetLineHeight();
    m_suppressPosChange = true;
    m_vScrollBar->UpdateThumb();
    m_vScrollBar->step = step;
    m_suppressPosChange = true;
    m_vScrollBar->SetPos(step * GetFirstVisibleLine());
    m_suppressPosChange = false;
}

void KVTextAreaSC::MouseWheel(MouseEventArgs& args)
{
    // The event still fires when there is nothing to scroll: a combo box steps its choice by it.
    if (!ScrollNeeded()) {
        KVWnd::MouseWheel(args);
        return;
    }
    KVTextArea::MouseWheel(args);
    int32_t step = ScrollStep();
    m_vScrollBar->SetPos(m_vScrollBar->pos + (args.wheel < 0 ? step : -step));
}

void KVTextAreaSC::OnHScroll(EventArgs&) {}

void KVTextAreaSC::OnVScroll(EventArgs&)
{
    if (m_suppressPosChange) {
        m_suppressPosChange = false;
        return;
    }
    float total = static_cast<float>(GetLineHeight() * LineCount());
    if (total <= 0)
        return;
    float fraction = static_cast<float>(m_vScrollBar->pos) / total;
    int32_t hidden = LineCount() - GetVisibleLineCount();
    KVTextArea::SetFirstVisibleLine(static_cast<int32_t>(static_cast<float>(hidden) * fraction + 0.5f));
}

bool KVTextAreaSC::HitTest(float x, float y, bool includeDisabled)
{
    return HitsWindowOrBar(*this, m_vScrollBar, x, y, includeDisabled);
}

} // namespace kv
