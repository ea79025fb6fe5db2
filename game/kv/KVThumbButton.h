// The thumb of a scroll bar or slider: a draggable button whose drags are held to its track,
// along one axis only.
#pragma once

#include "kv/KVButton.h"
#include "kv/KVTypes.h"

namespace kv {

class KVThumbButton : public KVButton {
public:
    std::wstring GetClassName() const override { return L"KVThumbButton"; }
    void ResetDefaults() override;
    void MouseMove(MouseEventArgs& args) override;

    bool horizontal = true;
    // The travel area, relative to the thumb's parent.
    KVRect track;
};

} // namespace kv
