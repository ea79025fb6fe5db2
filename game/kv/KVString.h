// The framework's conversions between file text and wide strings. The system "ANSI" code page
// is UTF-8 here, so narrow text and UTF-8 text convert alike.
#pragma once

#include <string>

namespace kv {

std::wstring NarrowToWide(const char* text);
std::wstring Utf8ToWide(const char* text);
// A character that has no narrow form becomes "?".
std::string WideToNarrow(const std::wstring& text);

} // namespace kv
