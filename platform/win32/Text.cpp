// Code-page conversion (UTF-8 <-> UTF-32) and Windows-style wide printf formats.
// Implemented: MultiByteToWideChar and WideCharToMultiByte for CP_ACP and CP_UTF8 (both UTF-8),
//              the bounded wide formatters.
// Left out:    other code pages (converted as UTF-8), the conversion flags (ignored).
#include "win32/Text.h"

#include <clocale>
#include <cwchar>
#include <locale.h>
#include <vector>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at src[i]; malformed bytes decode as U+FFFD one byte at a time.
char32_t DecodeUtf8(const unsigned char* src, size_t length, size_t& i)
{
    unsigned char lead = src[i];
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || i + extra >= length) {
        ++i;
        return kReplacement;
    }
    char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        unsigned char c = src[i + k];
        if ((c & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    i += extra + 1;
    return cp;
}

int EncodeUtf8(char32_t cp, char out[4])
{
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = kReplacement;
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (cp >> 12));
        out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (cp >> 18));
    out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}

// Narrow arguments of a wide format (%S, %hs) are "ANSI" text, which is UTF-8. The C library
// decodes them with the thread's character type, which is ASCII in the default C locale, so
// formatting runs under a UTF-8 character type, for the calling thread only.
class ScopedUtf8CharacterType {
public:
    ScopedUtf8CharacterType()
    {
        static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        if (utf8)
            m_previous = uselocale(utf8);
    }
    ~ScopedUtf8CharacterType()
    {
        if (m_previous)
            uselocale(m_previous);
    }
    ScopedUtf8CharacterType(const ScopedUtf8CharacterType&) = delete;
    ScopedUtf8CharacterType& operator=(const ScopedUtf8CharacterType&) = delete;

private:
    locale_t m_previous = nullptr;
};

} // namespace

int MultiByteToWideChar(UINT, DWORD, const char* src, int srcBytes, wchar_t* dst, int dstChars)
{
    if (!src || dstChars < 0 || (dstChars > 0 && !dst))
        return 0;
    size_t length = srcBytes < 0 ? std::char_traits<char>::length(src) + 1 : static_cast<size_t>(srcBytes);
    auto bytes = reinterpret_cast<const unsigned char*>(src);
    int written = 0;
    for (size_t i = 0; i < length;) {
        char32_t cp = DecodeUtf8(bytes, length, i);
        if (dstChars > 0) {
            if (written >= dstChars)
                return 0;
            dst[written] = static_cast<wchar_t>(cp);
        }
        ++written;
    }
    return written;
}

int WideCharToMultiByte(UINT, DWORD, const wchar_t* src, int srcChars, char* dst, int dstBytes, const char*,
                        BOOL* usedDefaultChar)
{
    if (usedDefaultChar)
        *usedDefaultChar = FALSE;
    if (!src || dstBytes < 0 || (dstBytes > 0 && !dst))
        return 0;
    size_t length = srcChars < 0 ? std::wcslen(src) + 1 : static_cast<size_t>(srcChars);
    int written = 0;
    for (size_t i = 0; i < length; ++i) {
        char bytes[4];
        int n = EncodeUtf8(static_cast<char32_t>(src[i]), bytes);
        if (dstBytes > 0) {
            // Only whole characters are written: a cut never leaves half a sequence.
            if (written + n > dstBytes)
                return 0;
            for (int k = 0; k < n; ++k)
                dst[written + k] = bytes[k];
        }
        written += n;
    }
    return written;
}

namespace platform {

std::wstring Widen(std::string_view utf8)
{
    std::wstring out;
    out.reserve(utf8.size());
    auto bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    for (size_t i = 0; i < utf8.size();)
        out.push_back(static_cast<wchar_t>(DecodeUtf8(bytes, utf8.size(), i)));
    return out;
}

std::string Narrow(std::wstring_view wide)
{
    std::string out;
    out.reserve(wide.size());
    for (wchar_t c : wide) {
        char bytes[4];
        out.append(bytes, EncodeUtf8(static_cast<char32_t>(c), bytes));
    }
    return out;
}

std::wstring TranslateWideFormat(const wchar_t* format)
{
    std::wstring out;
    if (!format)
        return out;
    for (const wchar_t* p = format; *p;) {
        if (*p != L'%') {
            out.push_back(*p++);
            continue;
        }
        out.push_back(*p++);
        if (*p == L'%') {
            out.push_back(*p++);
            continue;
        }
        // Flags, width and precision pass unchanged.
        while (*p && std::wcschr(L"-+ #0123456789.*", *p))
            out.push_back(*p++);
        if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') {
            out += L"ll";
            p += 3;
        } else if (p[0] == L'h' && (p[1] == L's' || p[1] == L'c')) {
            ++p; // %hs and %hc: narrow in both worlds once the h is dropped
            out.push_back(*p++);
            continue;
        } else if (p[0] == L'l' && (p[1] == L's' || p[1] == L'c')) {
            out.push_back(*p++);
            out.push_back(*p++);
            continue;
        }
        switch (*p) {
        case L's': out += L"ls"; ++p; break;
        case L'c': out += L"lc"; ++p; break;
        case L'S': out += L"s"; ++p; break;
        case L'C': out += L"c"; ++p; break;
        case L'\0': break;
        default: break;
        }
    }
    return out;
}

std::wstring FormatWideV(const wchar_t* format, va_list args)
{
    if (!format)
        return {};
    std::wstring translated = TranslateWideFormat(format);
    ScopedUtf8CharacterType utf8;
    std::vector<wchar_t> buffer(512);
    // vswprintf reports -1 both for errors and for a short buffer; grow up to a sane limit.
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        int n = std::vswprintf(buffer.data(), buffer.size(), translated.c_str(), copy);
        va_end(copy);
        if (n >= 0)
            return std::wstring(buffer.data(), static_cast<size_t>(n));
        if (buffer.size() >= (1u << 20))
            return std::wstring(translated);
        buffer.resize(buffer.size() * 4);
    }
}

std::wstring FormatWide(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    std::wstring out = FormatWideV(format, args);
    va_end(args);
    return out;
}

int FormatWideInto(wchar_t* buffer, size_t count, const wchar_t* format, va_list args)
{
    if (!buffer || count == 0)
        return -1;
    std::wstring text = FormatWideV(format, args);
    size_t n = text.size() < count ? text.size() : count - 1;
    text.copy(buffer, n);
    buffer[n] = L'\0';
    return n == text.size() ? static_cast<int>(n) : -1;
}

} // namespace platform

int _vsnwprintf(wchar_t* buffer, size_t count, const wchar_t* format, va_list args)
{
    return platform::FormatWideInto(buffer, count, format, args);
}

int _snwprintf(wchar_t* buffer, size_t count, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    int n = platform::FormatWideInto(buffer, count, format, args);
    va_end(args);
    return n;
}

int swprintf_s(wchar_t* buffer, size_t count, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    int n = platform::FormatWideInto(buffer, count, format, args);
    va_end(args);
    return n;
}
