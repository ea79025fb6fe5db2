// Position arithmetic, parts and input shared by the scroll bar and the slider.
#include "kv/KVTrackBar.h"

#include "kv/KVWndDesc.h"
#include "kv/KVXmlCursor.h"

#include <cmath>

namespace kv {

void KVTrackBar::ReadXml(KVXmlCursor* cursor)
{
    delete cursor;
}

void KVTrackBar::BuildParts(ButtonBase*& ltDescription, ButtonBase*& rbDescription, ButtonBase*& thumbDescription)
{
    ltButton = rbButton = nullptr;
    thumbButton = nullptr;
    auto build = [this](KVButton* part, ButtonBase*& description) -> KVButton* {
        if (!description) {
            delete part;
            return nullptr;
        }
        part->ApplyBase(TakeSubRecord(description), this);
        part->Create();
        part->SetPart(true);
        return part;
    };
    ltButton = build(new KVButton, ltDescription);
    rbButton = build(new KVButton, rbDescription);
    thumbButton = static_cast<KVThumbButton*>(build(new KVThumbButton, thumbDescription));
}

void KVTrackBar::ResetDefaults()
{
    KVWnd::ResetDefaults();
    max = 100;
    min = 0;
    pos = 0;
    step = 1;
    if (thumbButton) {
        thumbButton->horizontal = horizontal;
        thumbButton->track = track;
    }
    BindPartHandler(ltButton, EventClicked, &KVTrackBar::OnArrowUp);
    BindPartHandler(rbButton, EventClicked, &KVTrackBar::OnArrowDown);
    BindPartHandler(ltButton, EventMouseWheel, &KVTrackBar::OnPartWheelEvent);
    BindPartHandler(rbButton, EventMouseWheel, &KVTrackBar::OnPartWheelEvent);
    BindPartHandler(thumbButton, EventMouseWheel, &KVTrackBar::OnPartWheelEvent);
    BindPartHandler(thumbButton, EventMouseMove, &KVTrackBar::OnThumbMouseMove);
}

void KVTrackBar::BindPartHandler(KVWnd* part, const wchar_t* eventName, void (KVTrackBar::*handler)(EventArgs&))
{
    // The receiver is looked up by the part's name; a part without a name (or a missing part)
    // leaves the bar itself as the receiver.
    std::wstring name = part ? part->GetName() : std::wstring();
    KVWnd* receiver = (name.empty() || name == m_name) ? this : FindWindow(name);
    if (!receiver)
        return;
    // On the bar itself a wheel handler would re-enter the bar's own wheel event without end, and
    // a move handler would follow the pointer instead of the thumb: only the harmless click
    // handlers may land there.
    if (receiver == this && eventName != std::wstring(EventClicked))
        return;
    receiver->AddHandler(eventName, MakeHandler(this, handler));
}

void KVTrackBar::OnArrowUp(EventArgs&)
{
    LineUp();
}

void KVTrackBar::OnArrowDown(EventArgs&)
{
    LineDown();
}

void KVTrackBar::OnPartWheelEvent(EventArgs& args)
{
    OnPartWheel(static_cast<MouseEventArgs&>(args));
}

void KVTrackBar::OnThumbMouseMove(EventArgs&)
{
    OnThumbMoved();
}

void KVTrackBar::LineUp()
{
    pos = pos - step < min ? min : pos - step;
    UpdateThumb();
}

void KVTrackBar::LineDown()
{
    pos = pos + step > max ? max : pos + step;
    UpdateThumb();
}

void KVTrackBar::OnPartWheel(MouseEventArgs& args)
{
    MouseWheel(args);
}

void KVTrackBar::MouseWheel(MouseEventArgs& args)
{
    FireEvent(EventMouseWheel, args);
    if (args.wheel < 0)
        LineDown();
    else
        LineUp();
}

KVTrackBar::Travel KVTrackBar::GetTravel() const
{
    float thumbExtent = 0;
    if (thumbButton)
        thumbExtent = horizontal ? thumbButton->GetWidth() : thumbButton->GetHeight();
    float start = horizontal ? track.left : track.top;
    float length = (horizontal ? track.right - track.left : track.bottom - track.top) - thumbExtent;
    float range = static_cast<float>(static_cast<int64_t>(max) - min);
    // A track no longer than the thumb leaves no travel: every position sits at the start.
    return {start, length > 0 ? length / range : 0};
}

float KVTrackBar::ThumbMainCoordinate() const
{
    Travel travel = GetTravel();
    float offset = static_cast<float>(static_cast<int64_t>(pos) - min);
    return std::trunc(travel.start + offset * travel.unit + 0.5f);
}

void KVTrackBar::UpdateThumb()
{
    if (!HasRange())
        return;
    if (thumbButton) {
        // Only the coordinate along the bar changes; the one across it stays where it is.
        KVPoint at = thumbButton->GetPosition();
        float main = ThumbMainCoordinate();
        if (horizontal)
            thumbButton->SetPosition(main, at.y);
        else
            thumbButton->SetPosition(at.x, main);
    }
    FirePosChanged();
}

void KVTrackBar::SetPos(int32_t value)
{
    pos = value < min ? min : (value > max ? max : value);
    UpdateThumb();
}

bool KVTrackBar::SetPosFromPoint(const KVPoint& point)
{
    if (!HasRange())
        return false;
    Travel travel = GetTravel();
    if (!(travel.unit > 0))
        return false;
    KVPoint at = GetAbsolutePosition();
    float rel = horizontal ? point.x - at.x - track.left : point.y - at.y - track.top;
    float steps = std::trunc(rel / travel.unit + 0.5f);
    // Clamped before converting, so a far point cannot overflow the integer.
    int64_t range = static_cast<int64_t>(max) - min;
    if (!(steps > 0))
        pos = min;
    else if (steps >= static_cast<float>(range))
        pos = max;
    else
        pos = static_cast<int32_t>(min + static_cast<int64_t>(steps));
    FirePosChanged();
    return true;
}

bool KVTrackBar::SetPosFromThumb()
{
    if (!thumbButton || !HasRange() || !(GetTravel().unit > 0))
        return false;
    KVPoint at = thumbButton->GetPosition();
    if ((horizontal ? at.x : at.y) == ThumbMainCoordinate()) {
        FirePosChanged();
        return true;
    }
    return SetPosFromPoint(thumbButton->GetAbsolutePosition());
}

void KVTrackBar::Snap()
{
    int32_t half = step / 2;
    if (pos <= half)
        pos = min;
    else if (static_cast<int64_t>(pos) + half >= max)
        pos = max;
}

void KVTrackBar::MoveThumbToClick(const MouseEventArgs& args)
{
    float thumbWidth = thumbButton ? thumbButton->GetWidth() : 0;
    float thumbHeight = thumbButton ? thumbButton->GetHeight() : 0;
    if (!SetPosFromPoint({args.x - thumbWidth * 0.5f, args.y - thumbHeight * 0.5f}))
        return;
    Snap();
    UpdateThumb();
}

void KVTrackBar::LButtonDown(MouseEventArgs& args)
{
    KVWnd::LButtonDown(args);
    MoveThumbToClick(args);
}

} // namespace kv
