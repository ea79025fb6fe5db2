// Rules shared by the widgets that take typed text (the edit box and the text area): inserting
// within a length limit, dropping the composition string that the input method keeps inside the
// text, switching the input method and the platform's text input with the focus, scaling a
// text colour by a window's alpha, and the look both widgets copy from their descriptions.
#pragma once

#include "kv/KVInterface.h"
#include "kv/KVTypes.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kv {

class KVCaret;
class KVDefaultIme;
class KVInterface;
class KVRenderer;

// The face, colours, padding and caret skin of a typed-text widget, copied from its description.
struct KVTextLook {
    std::wstring fontName;
    int32_t fontSize = 0;
    int32_t style = 0;
    uint32_t color = 0;
    uint32_t outlineColor = 0;
    uint32_t shadowColor = 0;
    int32_t hAlign = 0;
    KVRect padding;
    std::wstring caretPath;
    KVPoint caretTex;
    KVRect caretRect;

    // Copies the fields every typed-text description carries.
    template <class Description>
    void CopyFrom(const Description& description)
    {
        fontName = description.fontName.value;
        fontSize = description.fontSize.value;
        color = description.color.value;
        outlineColor = description.outlineColor.value;
        shadowColor = description.shadowColor.value;
        style = description.style;
        hAlign = description.hAlign;
        padding = description.padding;
        caretPath = description.caret.path;
        caretTex = description.caret.tex;
        caretRect = description.caret.rect;
    }

    // The drawing style, its colour scaled by the window's alpha.
    KVTextStyle StyleAt(float alpha) const;
    // The window's rectangle less the padding.
    KVRect Inside(const KVRect& hitRect) const;
    // A caret loaded from the skin under the window's id, taking the next image slot; null (and
    // the slot untouched) when the skin names no caret.
    std::unique_ptr<KVCaret> NewCaret(const std::wstring& group, int32_t& imageCounter) const;
};

// The input method's composition string, which stands inside the text at the caret until the
// input method commits or cancels it.
struct KVComposition {
    bool active = false;
    int32_t start = 0;
    int32_t end = 0;

    int32_t Length() const { return end - start; }
    // No composition: both ends at the caret.
    void End(int32_t caret);
    // Takes the composition string out of a non-empty text at the (clamped) caret before new
    // input replaces it; the composition's state is left for Accept.
    void EraseFrom(std::wstring& text, int32_t& caret) const;
    // Removes a composition in progress from the text and ends it (the focus left mid-word).
    void Drop(std::wstring& text, int32_t& caret);
    // Records input of the given length offered at the caret: a composition string stands
    // from the caret, a committed one moves the caret past it, and input that did not fit ends
    // the composition, whose old string has already left the text.
    void Accept(bool fitted, bool composing, int32_t length, const std::wstring& text, int32_t& caret);
};

// Inserts the input at the index when the result stays within the maximum length; false (text
// unchanged) when it would not. An empty text obeys the limit too, so one input-method result
// never makes a text longer than its limit.
bool InsertWithinLimit(std::wstring& text, int32_t index, const std::wstring& input, int32_t maxLength);

// Erases up to count characters at the index; indices outside the text are clamped.
void EraseAt(std::wstring& text, int32_t index, int32_t count);

// The index clamped into [0, text length].
int32_t ClampIndex(int32_t index, const std::wstring& text);

// The colour with its alpha byte replaced by trunc(alpha byte / 255 * alpha * 255).
uint32_t ScaleColorAlpha(uint32_t colour, float alpha);

// Switches the input method service and the platform's text input on or off together.
void ActivateTextInput(bool active);

// The window system's platform interface, or null.
KVInterface* TextInterface();

// The window system's renderer, or null.
KVRenderer* SystemRenderer();

// The input method service, or null when the window system has none.
KVDefaultIme* InputMethodService();

// Width of the text in the face through the platform interface; 0 without an interface.
int32_t MeasureWidth(const std::wstring& face, const std::wstring& text);

} // namespace kv
