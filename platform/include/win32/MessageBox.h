// Message boxes: SDL's message box when there is a display; without one (SDL's offscreen or
// dummy driver, or when SDL cannot show it) the caption and text go to stderr and the default
// button is the answer.
// Left out: icons other than SDL's three kinds, help buttons, MB_*MODAL distinctions.
#pragma once

#include "win32/Types.h"

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Returns the button chosen; 0 for a button set other than OK, OK/Cancel and Yes/No.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
