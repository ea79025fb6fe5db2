// The input method (IMM32) surface over SDL's text editing: one input context per window,
// holding the composition (with one attribute byte per character and the cursor), the last
// result and the conversion mode. The event pump feeds it from SDL_TEXTEDITING and
// SDL_TEXTINPUT and queues WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION
// or WM_CHAR, as a Windows input method would.
// Strings are wchar_t: sizes in bytes are characters times sizeof(WCHAR).
// Left out: candidate lists (SDL has none: ImmGetCandidateListW reports an empty list), a
// conversion mode that changes the typing (it is kept as a value), reading strings, clauses,
// registering words, input-method windows.
#pragma once

#include "win32/Types.h"

// ImmGetCompositionStringW: what to read (and the flags of WM_IME_COMPOSITION's lParam).
constexpr DWORD GCS_COMPREADSTR = 0x0001;
constexpr DWORD GCS_COMPSTR = 0x0008;
constexpr DWORD GCS_COMPATTR = 0x0010;
constexpr DWORD GCS_COMPCLAUSE = 0x0020;
constexpr DWORD GCS_CURSORPOS = 0x0080;
constexpr DWORD GCS_DELTASTART = 0x0100;
constexpr DWORD GCS_RESULTSTR = 0x0800;
constexpr LONG IMM_ERROR_NODATA = -1;
constexpr LONG IMM_ERROR_GENERAL = -2;

// Composition attributes, one byte per character.
constexpr BYTE ATTR_INPUT = 0x00;
constexpr BYTE ATTR_TARGET_CONVERTED = 0x01;
constexpr BYTE ATTR_CONVERTED = 0x02;
constexpr BYTE ATTR_TARGET_NOTCONVERTED = 0x03;
constexpr BYTE ATTR_INPUT_ERROR = 0x04;

// WM_IME_NOTIFY: wParam.
constexpr WPARAM IMN_CHANGECANDIDATE = 0x0003;
constexpr WPARAM IMN_CLOSECANDIDATE = 0x0004;
constexpr WPARAM IMN_OPENCANDIDATE = 0x0005;

// WM_IME_SETCONTEXT: lParam.
constexpr LPARAM ISC_SHOWUIALL = static_cast<LPARAM>(static_cast<int32_t>(0xC000000F));

// ImmNotifyIME.
constexpr DWORD NI_OPENCANDIDATE = 0x0010;
constexpr DWORD NI_CLOSECANDIDATE = 0x0011;
constexpr DWORD NI_COMPOSITIONSTR = 0x0015;
constexpr DWORD CPS_COMPLETE = 0x0001;
constexpr DWORD CPS_CANCEL = 0x0004;

// Conversion and sentence modes.
constexpr DWORD IME_CMODE_ALPHANUMERIC = 0x0000;
constexpr DWORD IME_CMODE_NATIVE = 0x0001;
constexpr DWORD IME_CMODE_KATAKANA = 0x0002;
constexpr DWORD IME_SMODE_NONE = 0x0000;

struct CANDIDATELIST {
    DWORD dwSize;
    DWORD dwStyle;
    DWORD dwCount;
    DWORD dwSelection;
    DWORD dwPageStart;
    DWORD dwPageSize;
    DWORD dwOffset[1];
};

constexpr DWORD CFS_DEFAULT = 0x0000;
constexpr DWORD CFS_POINT = 0x0002;
constexpr DWORD CFS_RECT = 0x0001;
struct COMPOSITIONFORM {
    DWORD dwStyle;
    POINT ptCurrentPos;
    RECT rcArea;
};

// The context associated with the window (made on first use); null when detached.
HIMC ImmGetContext(HWND hwnd);
BOOL ImmReleaseContext(HWND hwnd, HIMC context);
// Associates a context (null detaches: no composition reaches the window, typed characters
// still do). Returns the previous one, which stays valid until the window is destroyed.
HIMC ImmAssociateContext(HWND hwnd, HIMC context);

// Without a buffer (or with 0 bytes): the size in bytes. With one: copies what fits, in whole
// characters, and returns the bytes copied. GCS_CURSORPOS returns the cursor's character index.
LONG ImmGetCompositionStringW(HIMC context, DWORD index, LPVOID buffer, DWORD bufferBytes);
// Always 0: there is no candidate list.
DWORD ImmGetCandidateListW(HIMC context, DWORD index, CANDIDATELIST* list, DWORD bufferBytes);
BOOL ImmGetConversionStatus(HIMC context, DWORD* conversion, DWORD* sentence);
BOOL ImmSetConversionStatus(HIMC context, DWORD conversion, DWORD sentence);
// NI_COMPOSITIONSTR with CPS_COMPLETE turns the composition into the result; with CPS_CANCEL
// erases it; both end the composition with its messages and reset SDL's composition.
// NI_OPENCANDIDATE and NI_CLOSECANDIDATE succeed and do nothing.
BOOL ImmNotifyIME(HIMC context, DWORD action, DWORD index, DWORD value);
// Tells SDL where the composition is drawn (client coordinates), for the system's candidate box.
BOOL ImmSetCompositionWindow(HIMC context, const COMPOSITIONFORM* form);
