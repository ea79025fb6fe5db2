// Rules shared by the widgets that take typed text (the edit box and the text area): inserting
// within a length limit, dropping the composition string that the input method keeps inside the
// text, switching the input method and the platform's text input with the focus, and scaling a
// text colour by a window's alpha.
#pragma once

#include <cstdint>
#include <string>

namespace kv {

class KVInterface;

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

// Width of the text in the face through the platform interface; 0 without an interface.
int32_t MeasureWidth(const std::wstring& face, const std::wstring& text);

} // namespace kv
