// Slider: its description, drags on its own area, snapping and "PosChanged" record.
#include "kv/KVSlider.h"

#include "kv/KVSystem.h"
#include "kv/KVWndDesc.h"

namespace kv {

void KVSlider::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVWnd::ApplyBase(description, parent);
    auto* slider = dynamic_cast<SliderBase*>(description);
    if (!slider)
        return;
    track = slider->slideRect;
    horizontal = slider->horizontal;
    BuildParts(slider->buttonLT, slider->buttonRB, slider->thumb);
}

void KVSlider::OnEnabledChanged(bool enabled)
{
    for (KVWnd* part : {static_cast<KVWnd*>(ltButton), static_cast<KVWnd*>(rbButton),
                        static_cast<KVWnd*>(thumbButton)})
        if (part)
            part->SetEnabled(enabled);
}

void KVSlider::LButtonDown(MouseEventArgs& args)
{
    KVTrackBar::LButtonDown(args);
    if (KVSystem* system = KVSystem::GetPtr())
        system->SetCapturedWindow(this);
    dragging = true;
}

void KVSlider::MouseMove(MouseEventArgs& args)
{
    KVWnd::MouseMove(args);
    if (dragging)
        MoveThumbToClick(args);
}

void KVSlider::LButtonUp(MouseEventArgs& args)
{
    if (KVSystem* system = KVSystem::GetPtr())
        system->SetCapturedWindow(nullptr);
    if (m_pressed)
        FireEvent(EventLButtonUp, args);
    m_pressed = false;
    dragging = false;
}

void KVSlider::OnThumbMoved()
{
    if (!SetPosFromThumb())
        return;
    Snap();
    UpdateThumb();
}

void KVSlider::FirePosChanged()
{
    SliderPosChangedEventArgs args;
    args.sender = this;
    args.pos = pos;
    FireEvent(EventSliderPosChanged, args);
}

} // namespace kv
