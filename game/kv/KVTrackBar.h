// What the scroll bar and the slider share: an integer position between a minimum and a maximum
// shown by a thumb on a track between two arrow buttons, moved by the arrows, the wheel, clicks
// on the track and drags of the thumb. The two bars differ in how they follow the thumb, how
// they react to being disabled and in the record of their "PosChanged" event.
#pragma once

#include "kv/KVButton.h"
#include "kv/KVThumbButton.h"
#include "kv/KVWnd.h"

#include <cstdint>

namespace kv {

struct ButtonBase;

class KVTrackBar : public KVWnd {
public:
    void ReadXml(KVXmlCursor* cursor) override;
    void ResetDefaults() override;
    void LButtonDown(MouseEventArgs& args) override;
    void MouseWheel(MouseEventArgs& args) override;

    virtual void LineUp();
    virtual void LineDown();
    virtual void OnThumbMoved() = 0;
    virtual void OnPartWheel(MouseEventArgs& args);

    // Places the thumb for `pos` and fires "PosChanged"; nothing at all while the range is empty.
    void UpdateThumb();
    // pos = value clamped to [min, max], then UpdateThumb.
    void SetPos(int32_t value);
    // Sets pos from the thumb's top-left corner standing at a screen point and fires
    // "PosChanged"; the thumb does not move. False, with nothing changed, when the range is
    // empty or the track leaves the thumb no room to travel.
    bool SetPosFromPoint(const KVPoint& point);
    // Moves pos to an end when it lies within half a step of it.
    void Snap();

    // The parts are children of the bar; any of them is null when its description lacks it.
    KVButton* ltButton = nullptr;
    KVButton* rbButton = nullptr;
    KVThumbButton* thumbButton = nullptr;
    int32_t min = 0;
    int32_t max = 0;
    int32_t pos = 0;
    int32_t step = 1;
    // The thumb's travel area, relative to the bar.
    KVRect track;
    bool horizontal = false;

protected:
    // Builds the three parts from their descriptions, which they take over.
    void BuildParts(ButtonBase*& ltDescription, ButtonBase*& rbDescription, ButtonBase*& thumbDescription);
    virtual void FirePosChanged() = 0;
    // Sets pos from where the thumb stands. A thumb standing exactly where the current position
    // puts it keeps that position, so merely touching the thumb never shifts a range that has
    // more positions than the track has pixels. False when no position can be computed.
    bool SetPosFromThumb();
    // Click on the track: centres the thumb on the point, then snaps and places it.
    void MoveThumbToClick(const MouseEventArgs& args);

private:
    struct Travel {
        float start = 0;
        float unit = 0;
    };
    bool HasRange() const { return static_cast<int64_t>(max) - min > 0; }
    Travel GetTravel() const;
    float ThumbMainCoordinate() const;
    void BindPartHandler(KVWnd* part, const wchar_t* eventName, void (KVTrackBar::*handler)(EventArgs&));
    void OnArrowUp(EventArgs& args);
    void OnArrowDown(EventArgs& args);
    void OnPartWheelEvent(EventArgs& args);
    void OnThumbMouseMove(EventArgs& args);
};

} // namespace kv
