// Scroll bar: follows its thumb exactly while it is dragged, and hides the thumb while disabled.
// Text areas, lists and game code set min, max and pos, call UpdateThumb and listen to
// "PosChanged".
#pragma once

#include "kv/KVEventArgs.h"
#include "kv/KVObject.h"
#include "kv/KVTrackBar.h"

namespace kv {

class KVScrollBar : public KVTrackBar {
public:
    std::wstring GetClassName() const override { return L"KVScrollBar"; }
    std::wstring GetTypeName() const override { return L"ScrollBar"; }
    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;
    void OnEnabledChanged(bool enabled) override;
    void OnThumbMoved() override;

protected:
    void FirePosChanged() override;
};

// Calls the owner's handler whenever the bar's position changes.
template <class Owner>
void BindPosChanged(Owner* owner, KVScrollBar* bar, void (Owner::*handler)(EventArgs&))
{
    if (KVWnd* target = owner->FindWindow(bar->GetName()))
        target->AddHandler(EventScrollBarPosChanged, MakeHandler(owner, handler));
}

// The hit test of a window that carries a vertical scroll bar: a visible, enabled window is hit
// on its bar (disabled or not, as asked) or strictly inside its own rectangle.
bool HitsWindowOrBar(const KVWnd& window, KVScrollBar* bar, float x, float y, bool includeDisabled);

} // namespace kv
