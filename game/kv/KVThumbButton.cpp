// Thumb button: constrains the mouse before the window base drags the thumb.
#include "kv/KVThumbButton.h"

#include <cmath>

namespace kv {

void KVThumbButton::ResetDefaults()
{
    KVWnd::ResetDefaults();
    ResetButtonState();
    m_dragable = true;
    horizontal = true;
}

namespace {

// Where the thumb's leading edge may go: [lo, hi - extent], and never before lo even when the
// track is shorter than the thumb.
float ClampToTrack(float edge, float lo, float hi, float extent)
{
    if (edge + extent > hi)
        edge = hi - extent;
    return edge < lo ? lo : edge;
}

} // namespace

void KVThumbButton::MouseMove(MouseEventArgs& args)
{
    if (m_parent) {
        KVRect p = m_parent->GetAbsoluteRect();
        // The cross coordinate stays the thumb's own position relative to its parent, so a drag
        // never moves it across the bar.
        KVPoint parentAt = m_parent->GetAbsolutePosition();
        if (horizontal) {
            float lo = p.left + track.left;
            float hi = lo + (track.right - track.left);
            float x = std::trunc(args.x - m_dragOffset.x);
            float clamped = ClampToTrack(x, lo, hi, m_width);
            if (clamped != x)
                args.x = clamped + m_dragOffset.x;
            args.y = parentAt.y + m_pos.y + m_dragOffset.y;
        } else {
            float lo = p.top + track.top;
            float hi = lo + (track.bottom - track.top);
            float y = std::trunc(args.y - m_dragOffset.y);
            float clamped = ClampToTrack(y, lo, hi, m_height);
            if (clamped != y)
                args.y = clamped + m_dragOffset.y;
            args.x = parentAt.x + m_pos.x + m_dragOffset.x;
        }
    }
    KVWnd::MouseMove(args);
}

} // namespace kv
