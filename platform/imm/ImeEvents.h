// How the window family hands text events to the input method (inside the platform only).
#pragma once

#include "win32/Types.h"

#include <string>

namespace platform::ime {

// SDL_TEXTEDITING: the composition with its selected (converted) range, in characters.
void OnTextEditing(HWND hwnd, const std::wstring& text, int selectionStart, int selectionLength);
// SDL_TEXTINPUT: the result of a running composition, else typed characters (WM_CHAR each).
void OnTextInput(HWND hwnd, const std::wstring& text);
// The window took the keyboard: SDL's text input is switched on.
void OnFocusGained(HWND hwnd);
// The window is being destroyed: its contexts go with it.
void ForgetWindow(HWND hwnd);
// The default window procedure's handling of a finished composition: WM_IME_CHAR per character.
void SendResultAsImeChars(HWND hwnd);

} // namespace platform::ime
