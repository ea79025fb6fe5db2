// List box: the list's coupling with its scroll bars.
#include "kv/KVListBox.h"

#include "kv/KVScrollBar.h"
#include "kv/KVSystem.h"
#include "kv/KVWindowFactory.h"
#include "kv/KVWndDesc.h"

#include <algorithm>

namespace kv {

void KVListSC::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVList::ApplyBase(description, parent);
    m_hScrollBar = m_vScrollBar = nullptr;
    auto* list = dynamic_cast<ListSCBase*>(description);
    if (!list)
        return;
    if (list->hScrollBar)
        m_hScrollBar = dynamic_cast<KVScrollBar*>(BuildPartWindow(TakeSubRecord(list->hScrollBar), this));
    if (list->vScrollBar)
        m_vScrollBar = dynamic_cast<KVScrollBar*>(BuildPartWindow(TakeSubRecord(list->vScrollBar), this));
}

void KVListSC::ResetDefaults()
{
    KVList::ResetDefaults();
    for (KVScrollBar* bar : {m_hScrollBar, m_vScrollBar}) {
        if (!bar)
            continue;
        bar->min = bar->max = 0;
        bar->UpdateThumb();
    }
    if (m_vScrollBar)
        m_vScrollBar->SetEnabled(false);
    if (m_hScrollBar)
        BindPosChanged(this, m_hScrollBar, &KVListSC::OnHScroll);
    if (m_vScrollBar)
        BindPosChanged(this, m_vScrollBar, &KVListSC::OnVScroll);
}

bool KVListSC::ScrollNeeded() const
{
    return VisibleRows() < ItemRows() && ItemHeightPixels() >= 1;
}

void KVListSC::SyncScrollBar()
{
    if (!m_vScrollBar)
        return;
    if (ScrollNeeded()) {
        m_vScrollBar->SetEnabled(true);
        m_vScrollBar->min = 0;
        m_vScrollBar->max = ItemHeightPixels() * (ItemRows() - VisibleRows());
        m_vScrollBar->UpdateThumb();
        m_vScrollBar->step = ItemHeightPixels();
    } else {
        m_vScrollBar->SetEnabled(false);
        m_vScrollBar->pos = std::clamp(0, m_vScrollBar->min, std::max(m_vScrollBar->min, m_vScrollBar->max));
        m_vScrollBar->UpdateThumb();
    }
}

void KVListSC::MouseWheel(MouseEventArgs& args)
{
    FireEvent(EventMouseWheel, args);
    if (!m_vScrollBar || !ScrollNeeded())
        return;
    int32_t row = ItemHeightPixels();
    m_vScrollBar->SetPos(m_vScrollBar->pos + (args.wheel < 0 ? row : -row));
}

void KVListSC::OnHScroll(EventArgs&) {}

void KVListSC::OnVScroll(EventArgs&)
{
    if (!m_vScrollBar || !ScrollNeeded() || m_items.empty())
        return;
    float rows = static_cast<float>(ItemRows());
    float row = rows * (static_cast<float>(m_vScrollBar->pos) / (m_itemHeight * rows));
    m_firstVisibleItem = Stride() * static_cast<int32_t>(row + 0.5f);
}

void KVListSC::EnsureVisible(int32_t index)
{
    if (!m_vScrollBar || index < 0 || index >= GetItemCount())
        return;
    int32_t row = std::min(ItemRows() - VisibleRows(), index / Stride());
    m_vScrollBar->SetPos(ItemHeightPixels() * row);
}

bool KVListSC::HitTest(float x, float y, bool includeDisabled)
{
    return HitsWindowOrBar(*this, m_vScrollBar, x, y, includeDisabled);
}

} // namespace kv
