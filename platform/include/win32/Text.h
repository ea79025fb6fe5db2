// Code-page conversion and wide printf formats.
// "ANSI" is UTF-8 on Linux: CP_ACP and CP_UTF8 both convert to and from UTF-8. Wide strings
// are wchar_t (UTF-32). Wide formats follow the Windows rule, where %s and %c in a wide format
// take a wide string and a wide character; FormatWide translates them for the C library.
#pragma once

#include "win32/Types.h"

#include <cstdarg>
#include <string>
#include <string_view>

constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;

// Windows semantics: a source length of -1 converts up to and including the terminator;
// a destination size of 0 returns the size needed. Returns the units written, 0 on failure.
// A destination that is too small receives as many whole characters as fit, and 0 is returned.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* src, int srcBytes, wchar_t* dst, int dstChars);
int WideCharToMultiByte(UINT codePage, DWORD flags, const wchar_t* src, int srcChars, char* dst, int dstBytes,
                        const char* defaultChar, BOOL* usedDefaultChar);

namespace platform {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// Rewrites a Windows-style wide format into one the C library reads the same way:
// %s -> %ls, %c -> %lc, %S -> %s, %C -> %c, %hs -> %s, %I64d -> %lld.
std::wstring TranslateWideFormat(const wchar_t* format);

// Formats a Windows-style wide format. The whole result is returned, however long.
std::wstring FormatWideV(const wchar_t* format, va_list args);
std::wstring FormatWide(const wchar_t* format, ...);

// Formats into a fixed buffer of `count` characters; the text is cut to count - 1 characters
// and always terminated. Returns the characters written, or -1 when the text was cut.
int FormatWideInto(wchar_t* buffer, size_t count, const wchar_t* format, va_list args);

} // namespace platform

// The Windows names of the bounded wide formatters.
int _vsnwprintf(wchar_t* buffer, size_t count, const wchar_t* format, va_list args);
int _snwprintf(wchar_t* buffer, size_t count, const wchar_t* format, ...);
int swprintf_s(wchar_t* buffer, size_t count, const wchar_t* format, ...);
