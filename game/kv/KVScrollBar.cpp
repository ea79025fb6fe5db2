// Scroll bar: its description, thumb following and "PosChanged" record.
#include "kv/KVScrollBar.h"

#include "kv/KVWndDesc.h"

namespace kv {

void KVScrollBar::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVWnd::ApplyBase(description, parent);
    auto* bar = dynamic_cast<ScrollbarBase*>(description);
    if (!bar)
        return;
    track = bar->scrollRect;
    horizontal = bar->horizontal;
    BuildParts(bar->buttonLT, bar->buttonRB, bar->thumb);
}

void KVScrollBar::OnEnabledChanged(bool enabled)
{
    if (!thumbButton)
        return;
    // Only the thumb's own flag changes: showing a part must not take activation from the
    // window that holds the bar.
    thumbButton->SetVisibleFlag(enabled);
    thumbButton->OnVisibleChanged(enabled);
}

void KVScrollBar::OnThumbMoved()
{
    SetPosFromThumb();
}

void KVScrollBar::FirePosChanged()
{
    ScrollBarPosChangedEventArgs args;
    args.sender = this;
    args.pos = pos;
    FireEvent(EventScrollBarPosChanged, args);
}

bool HitsWindowOrBar(const KVWnd& window, KVScrollBar* bar, float x, float y, bool includeDisabled)
{
    if (!window.IsVisible() || !window.IsEnabled())
        return false;
    if (bar && bar->HitTest(x, y, includeDisabled))
        return true;
    KVRect r = window.GetHitRect();
    return r.left < x && x < r.right && r.top < y && y < r.bottom;
}

} // namespace kv
