// Window message ids and virtual keys that the UI framework reads: the platform's own
// declarations when they are there, otherwise the few the framework needs with their standard
// values, so the two never disagree.
#pragma once

#include <win32/Types.h>

#if __has_include(<win32/Messages.h>) && __has_include(<win32/VirtualKeys.h>)
#include <win32/Messages.h>
#include <win32/VirtualKeys.h>
#else
constexpr UINT WM_INPUTLANGCHANGE = 0x0051;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_IME_STARTCOMPOSITION = 0x010D;
constexpr UINT WM_IME_ENDCOMPOSITION = 0x010E;
constexpr UINT WM_IME_COMPOSITION = 0x010F;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_IME_SETCONTEXT = 0x0281;
constexpr UINT WM_IME_NOTIFY = 0x0282;
constexpr UINT WM_IME_CHAR = 0x0286;

constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_ESCAPE = 0x1B;
#endif
