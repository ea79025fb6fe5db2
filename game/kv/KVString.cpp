// Code-page conversions: measure with a first call, convert into a buffer of that size.
#include "kv/KVString.h"

#include <win32/Text.h>

#include <vector>

namespace kv {

namespace {

std::wstring ToWide(UINT codePage, const char* text)
{
    if (!text || !*text)
        return {};
    int needed = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (needed <= 0)
        return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(needed) + 1, L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, buffer.data(), needed);
    return std::wstring(buffer.data());
}

} // namespace

std::wstring NarrowToWide(const char* text)
{
    return ToWide(CP_ACP, text);
}

std::wstring Utf8ToWide(const char* text)
{
    return ToWide(CP_UTF8, text);
}

std::string WideToNarrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    int needed = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, "?", nullptr);
    if (needed <= 0)
        return {};
    std::vector<char> buffer(static_cast<size_t>(needed) + 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, buffer.data(), needed, "?", nullptr);
    return std::string(buffer.data());
}

} // namespace kv
