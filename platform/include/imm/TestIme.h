// Test entry of the input method: sets a window's composition or result directly (with
// attributes, which SDL's events cannot carry) and queues the messages an input method would.
// Text editing and text input through SDL events are in win32/TestInput.h.
#pragma once

#include "win32/Types.h"

#include <string>
#include <vector>

namespace platform {

// The composition being typed, one attribute (ATTR_*) per character (missing ones are
// ATTR_INPUT) and the cursor: WM_IME_STARTCOMPOSITION when none was running, then
// WM_IME_COMPOSITION with GCS_COMPSTR | GCS_COMPATTR | GCS_CURSORPOS.
void InjectImeComposition(HWND hwnd, const std::wstring& text, const std::vector<BYTE>& attributes, int cursor);
// The finished text: WM_IME_COMPOSITION with GCS_RESULTSTR, then WM_IME_ENDCOMPOSITION.
void InjectImeResult(HWND hwnd, const std::wstring& result);

} // namespace platform
