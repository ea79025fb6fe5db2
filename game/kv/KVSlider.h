// Slider: like the scroll bar, but a drag anywhere on it moves the thumb, positions snap to the
// ends, the thumb snaps to the position's place after a drag, and disabling it disables its
// parts. Game pop-ups use it for volumes and choices.
#pragma once

#include "kv/KVTrackBar.h"

namespace kv {

class KVSlider : public KVTrackBar {
public:
    std::wstring GetClassName() const override { return L"KVSlider"; }
    std::wstring GetTypeName() const override { return L"Slider"; }
    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;
    void OnEnabledChanged(bool enabled) override;
    void LButtonDown(MouseEventArgs& args) override;
    void LButtonUp(MouseEventArgs& args) override;
    void MouseMove(MouseEventArgs& args) override;
    void OnThumbMoved() override;

    // From a left press on the slider's own area until the release.
    bool dragging = false;

protected:
    void FirePosChanged() override;
};

} // namespace kv
