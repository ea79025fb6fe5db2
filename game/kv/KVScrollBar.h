// Scroll bar: follows its thumb exactly while it is dragged, and hides the thumb while disabled.
// Text areas, lists and game code set min, max and pos, call UpdateThumb and listen to
// "PosChanged".
#pragma once

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

} // namespace kv
