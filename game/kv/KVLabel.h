// One line of text drawn with a face, a size, colours and an alignment inside the window's
// rectangle. Labels let the mouse through to the windows below; game code finds them by name
// and assigns `text` directly.
#pragma once

#include "kv/KVWnd.h"

#include <cstdint>
#include <string>

namespace kv {

class KVLabel : public KVWnd {
public:
    enum HAlign : int32_t { kLeft = 0, kCenter = 1, kRight = 2 };
    enum VAlign : int32_t { kTop = 0, kMiddle = 1, kBottom = 2 };

    std::wstring GetClassName() const override { return L"KVLabel"; }
    std::wstring GetTypeName() const override { return L"Label"; }
    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;
    void ReadXml(KVXmlCursor* cursor) override;
    void ResetDefaults() override;
    void OnDraw() override;

    // Sets `text`, cut to the label's width with "..." after it when it does not fit: for texts
    // of any length from elsewhere (other players' names, lobby names) in rows of fixed width.
    void SetFittedText(const std::wstring& full);

    // Shown as it stands at the next draw.
    std::wstring text;
    std::wstring fontName;
    int32_t fontSize = 0;
    int32_t style = 0;
    uint32_t colour = 0xFFFFFFFF;
    uint32_t outlineColour = 0;
    uint32_t shadowColour = 0;
    int32_t hAlign = kLeft;
    int32_t vAlign = kTop;
};

// The colour with its alpha byte scaled by a window's effective alpha (truncated), as every
// widget draws its text.
uint32_t ScaleColourAlpha(uint32_t colour, float alpha);

// The coordinate at which text of the given extent starts inside [low, high) for an alignment
// 0 (low edge), 1 (centred) or 2 (high edge); 0 for any other alignment.
int32_t AlignText(int32_t alignment, float low, float high, int32_t extent);

} // namespace kv
