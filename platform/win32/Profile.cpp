// Private-profile (ini) files, our own reader and writer.
// Implemented: Get/WritePrivateProfileStringW (with the section-name and key lists),
//              GetPrivateProfileIntW, Get/WritePrivateProfileSectionW,
//              GetPrivateProfileSectionNamesW, Get/WritePrivateProfileStructW.
//              Files are UTF-8 (a leading byte-order mark is skipped), read on every call and
//              saved whole through SaveFileAtomically; comments and unknown lines are kept.
// Left out:    the Windows folder for relative names (the current directory is used), the
//              win.ini forms with a null file name (they fail), mapping to the registry.
#include "win32/Profile.h"
#include "win32/Files.h"
#include "win32/Text.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Section {
    std::wstring name;
    std::vector<std::wstring> lines;
};

// Lines before the first header, then each section with its lines as written.
struct ProfileFile {
    std::vector<std::wstring> preamble;
    std::vector<Section> sections;
};

// One read-modify-write at a time, so two writers never lose each other's keys.
std::mutex g_profileLock;

std::wstring Trim(std::wstring_view text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && std::iswspace(text[begin]))
        ++begin;
    while (end > begin && std::iswspace(text[end - 1]))
        --end;
    return std::wstring(text.substr(begin, end - begin));
}

bool SameName(std::wstring_view a, std::wstring_view b)
{
    auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](wchar_t x, wchar_t y) { return lower(x) == lower(y); });
}

// The key of a "key=value" line; nothing for comments, blank lines and lines without '='.
std::optional<std::wstring> KeyOf(const std::wstring& line)
{
    std::wstring trimmed = Trim(line);
    size_t equals = trimmed.find(L'=');
    if (trimmed.empty() || trimmed[0] == L';' || equals == std::wstring::npos)
        return std::nullopt;
    return Trim(std::wstring_view(trimmed).substr(0, equals));
}

// The value of a "key=value" line, without surrounding blanks or one pair of quotes.
std::wstring ValueOf(const std::wstring& line)
{
    std::wstring value = Trim(std::wstring_view(line).substr(line.find(L'=') + 1));
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

enum class LoadResult { Loaded, Missing, Unreadable };

LoadResult Load(const wchar_t* fileName, ProfileFile& profile)
{
    if (!fileName || !*fileName)
        return LoadResult::Unreadable;
    std::string path = platform::ResolvePath(std::wstring_view(fileName));
    std::string bytes;
    if (!platform::ReadWholeFile(path, bytes))
        return platform::FileExists(path) ? LoadResult::Unreadable : LoadResult::Missing;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);
    std::wstring text = platform::Widen(bytes);
    std::vector<std::wstring>* lines = &profile.preamble;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        std::wstring trimmed = Trim(line);
        if (!trimmed.empty() && trimmed[0] == L'[') {
            size_t close = trimmed.find(L']');
            std::wstring name = trimmed.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
            profile.sections.push_back({Trim(name), {}});
            lines = &profile.sections.back().lines;
        } else {
            lines->push_back(line);
        }
    }
    return LoadResult::Loaded;
}

bool Save(const wchar_t* fileName, const ProfileFile& profile)
{
    std::wstring text;
    for (const std::wstring& line : profile.preamble)
        text += line + L"\n";
    for (const Section& section : profile.sections) {
        text += L"[" + section.name + L"]\n";
        for (const std::wstring& line : section.lines)
            text += line + L"\n";
    }
    return platform::SaveFileAtomically(platform::Narrow(fileName), platform::Narrow(text));
}

Section* FindSection(ProfileFile& profile, const wchar_t* name)
{
    for (Section& section : profile.sections)
        if (SameName(section.name, name))
            return &section;
    return nullptr;
}

std::vector<std::wstring>::iterator FindKey(Section& section, const wchar_t* key)
{
    return std::find_if(section.lines.begin(), section.lines.end(), [&](const std::wstring& line) {
        auto lineKey = KeyOf(line);
        return lineKey && SameName(*lineKey, key);
    });
}

Section& AddSection(ProfileFile& profile, const wchar_t* name)
{
    if (Section* section = FindSection(profile, name))
        return *section;
    profile.sections.push_back({name, {}});
    return profile.sections.back();
}

// New lines go behind the section's last non-blank line, so blank lines between sections stay
// between sections.
void AppendLine(Section& section, std::wstring line)
{
    auto lastText = std::find_if(section.lines.rbegin(), section.lines.rend(),
                                 [](const std::wstring& l) { return !Trim(l).empty(); });
    section.lines.insert(lastText.base(), std::move(line));
}

DWORD CopyText(const std::wstring& text, wchar_t* buffer, DWORD size)
{
    DWORD n = static_cast<DWORD>(std::min<size_t>(text.size(), size - 1));
    text.copy(buffer, n);
    buffer[n] = 0;
    return n;
}

// Copies terminated strings followed by one more terminator. A list that does not fit is cut
// and still ends in two terminators; size - 2 is returned then.
DWORD CopyList(const std::vector<std::wstring>& items, wchar_t* buffer, DWORD size)
{
    std::wstring joined;
    for (const std::wstring& item : items)
        joined += item + L'\0';
    if (joined.size() + 1 <= size) {
        joined.copy(buffer, joined.size());
        buffer[joined.size()] = 0;
        return static_cast<DWORD>(joined.size());
    }
    if (size < 2) {
        buffer[0] = 0;
        return 0;
    }
    joined.copy(buffer, size - 2);
    buffer[size - 2] = 0;
    buffer[size - 1] = 0;
    return size - 2;
}

std::vector<std::wstring> KeysOf(const Section& section)
{
    std::vector<std::wstring> keys;
    for (const std::wstring& line : section.lines)
        if (auto key = KeyOf(line))
            keys.push_back(*key);
    return keys;
}

std::vector<std::wstring> SectionNames(const ProfileFile& profile)
{
    std::vector<std::wstring> names;
    for (const Section& section : profile.sections)
        names.push_back(section.name);
    return names;
}

// The value of a key, if the file, the section and the key exist.
std::optional<std::wstring> ReadValue(const wchar_t* sectionName, const wchar_t* key, const wchar_t* fileName)
{
    ProfileFile profile;
    std::lock_guard guard(g_profileLock);
    if (!sectionName || !key || Load(fileName, profile) != LoadResult::Loaded)
        return std::nullopt;
    Section* section = FindSection(profile, sectionName);
    if (!section)
        return std::nullopt;
    auto line = FindKey(*section, key);
    if (line == section->lines.end())
        return std::nullopt;
    return ValueOf(*line);
}

// Loads the file (a missing one starts empty), lets change edit it and saves it. A file that
// exists but cannot be read is left alone, so a write never drops its other contents.
template <typename Change>
BOOL Modify(const wchar_t* fileName, Change change)
{
    std::lock_guard guard(g_profileLock);
    ProfileFile profile;
    if (!fileName || !*fileName || Load(fileName, profile) == LoadResult::Unreadable)
        return FALSE;
    change(profile);
    return Save(fileName, profile) ? TRUE : FALSE;
}

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    return -1;
}

} // namespace

DWORD GetPrivateProfileStringW(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue,
                               wchar_t* buffer, DWORD size, const wchar_t* fileName)
{
    if (!buffer || size == 0)
        return 0;
    if (!section || !key) {
        ProfileFile profile;
        {
            std::lock_guard guard(g_profileLock);
            Load(fileName, profile);
        }
        if (!section)
            return CopyList(SectionNames(profile), buffer, size);
        Section* found = FindSection(profile, section);
        return CopyList(found ? KeysOf(*found) : std::vector<std::wstring>{}, buffer, size);
    }
    auto value = ReadValue(section, key, fileName);
    return CopyText(value ? *value : std::wstring(defaultValue ? defaultValue : L""), buffer, size);
}

BOOL WritePrivateProfileStringW(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                                const wchar_t* fileName)
{
    if (!section)
        return FALSE;
    return Modify(fileName, [&](ProfileFile& profile) {
        if (!key) {
            std::erase_if(profile.sections, [&](const Section& s) { return SameName(s.name, section); });
            return;
        }
        if (!value) {
            if (Section* found = FindSection(profile, section)) {
                auto line = FindKey(*found, key);
                if (line != found->lines.end())
                    found->lines.erase(line);
            }
            return;
        }
        Section& target = AddSection(profile, section);
        std::wstring line = std::wstring(key) + L"=" + value;
        auto existing = FindKey(target, key);
        if (existing != target.lines.end())
            *existing = line;
        else
            AppendLine(target, line);
    });
}

UINT GetPrivateProfileIntW(const wchar_t* section, const wchar_t* key, INT defaultValue, const wchar_t* fileName)
{
    auto value = ReadValue(section, key, fileName);
    if (!value)
        return static_cast<UINT>(defaultValue);
    const wchar_t* text = value->c_str();
    bool negative = *text == L'-';
    if (*text == L'-' || *text == L'+')
        ++text;
    int base = text[0] == L'0' && (text[1] == L'x' || text[1] == L'X') ? 16 : 10;
    if (base == 16)
        text += 2;
    UINT number = 0;
    for (int digit; (digit = HexDigit(*text)) >= 0 && digit < base; ++text)
        number = number * static_cast<UINT>(base) + static_cast<UINT>(digit);
    return negative ? 0u - number : number;
}

DWORD GetPrivateProfileSectionW(const wchar_t* section, wchar_t* buffer, DWORD size, const wchar_t* fileName)
{
    if (!buffer || size == 0)
        return 0;
    ProfileFile profile;
    {
        std::lock_guard guard(g_profileLock);
        Load(fileName, profile);
    }
    std::vector<std::wstring> lines;
    if (Section* found = section ? FindSection(profile, section) : nullptr) {
        for (const std::wstring& line : found->lines) {
            std::wstring trimmed = Trim(line);
            if (!trimmed.empty() && trimmed[0] != L';')
                lines.push_back(trimmed);
        }
    }
    return CopyList(lines, buffer, size);
}

BOOL WritePrivateProfileSectionW(const wchar_t* section, const wchar_t* lines, const wchar_t* fileName)
{
    if (!section)
        return FALSE;
    std::vector<std::wstring> newLines;
    for (const wchar_t* line = lines; line && *line; line += std::wcslen(line) + 1)
        newLines.emplace_back(line);
    return Modify(fileName, [&](ProfileFile& profile) {
        if (!lines) {
            std::erase_if(profile.sections, [&](const Section& s) { return SameName(s.name, section); });
            return;
        }
        AddSection(profile, section).lines = newLines;
    });
}

DWORD GetPrivateProfileSectionNamesW(wchar_t* buffer, DWORD size, const wchar_t* fileName)
{
    return GetPrivateProfileStringW(nullptr, nullptr, nullptr, buffer, size, fileName);
}

BOOL WritePrivateProfileStructW(const wchar_t* section, const wchar_t* key, const void* data, UINT size,
                                const wchar_t* fileName)
{
    if (!data)
        return WritePrivateProfileStringW(section, key, nullptr, fileName);
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    auto bytes = static_cast<const BYTE*>(data);
    std::wstring text;
    BYTE checksum = 0;
    for (UINT i = 0; i <= size; ++i) {
        BYTE b = i < size ? bytes[i] : checksum;
        checksum = static_cast<BYTE>(checksum + b);
        text += kDigits[b >> 4];
        text += kDigits[b & 0xF];
    }
    return WritePrivateProfileStringW(section, key, text.c_str(), fileName);
}

BOOL GetPrivateProfileStructW(const wchar_t* section, const wchar_t* key, void* data, UINT size,
                              const wchar_t* fileName)
{
    auto value = ReadValue(section, key, fileName);
    if (!value || !data || value->size() != (static_cast<size_t>(size) + 1) * 2)
        return FALSE;
    std::vector<BYTE> bytes(size + 1);
    for (size_t i = 0; i < bytes.size(); ++i) {
        int high = HexDigit((*value)[2 * i]), low = HexDigit((*value)[2 * i + 1]);
        if (high < 0 || low < 0)
            return FALSE;
        bytes[i] = static_cast<BYTE>(high * 16 + low);
    }
    BYTE checksum = 0;
    for (UINT i = 0; i < size; ++i)
        checksum = static_cast<BYTE>(checksum + bytes[i]);
    if (checksum != bytes[size])
        return FALSE;
    std::copy(bytes.begin(), bytes.begin() + size, static_cast<BYTE*>(data));
    return TRUE;
}
