// CBIniFile over the platform's private-profile functions.
#include "helvane/IniFile.h"

#include <win32/Profile.h>
#include <win32/Text.h>

#include <cwchar>
#include <string>

namespace {

const wchar_t* BoolText(int value) { return value ? L"TRUE" : L"FALSE"; }

// A section text of one line: the line, its terminator and the closing empty line.
std::wstring OneLineSection(const std::wstring& line) { return line + L'\0'; }

} // namespace

CBIniFile::CBIniFile() = default;

CBIniFile::CBIniFile(const wchar_t* path) { SetFileName(path); }

void CBIniFile::SetFileName(const wchar_t* path)
{
    std::wcsncpy(m_path, path ? path : L"", kPathChars - 1);
    m_path[kPathChars - 1] = 0;
}

BOOL CBIniFile::WriteProfileStringW(const wchar_t* section, const wchar_t* key, const wchar_t* text)
{
    return WritePrivateProfileStringW(section, key, text, m_path);
}

BOOL CBIniFile::WriteProfileStringInt(const wchar_t* section, const wchar_t* key, int value)
{
    return WritePrivateProfileStringW(section, key, platform::FormatWide(L"%d", value).c_str(), m_path);
}

BOOL CBIniFile::WriteProfileStringBOOL(const wchar_t* section, const wchar_t* key, int value)
{
    return WritePrivateProfileStringW(section, key, BoolText(value), m_path);
}

BOOL CBIniFile::WriteProfileSectionW(const wchar_t* section, const wchar_t* lines)
{
    return WritePrivateProfileSectionW(section, lines, m_path);
}

BOOL CBIniFile::WriteProfileSectionInt(const wchar_t* section, int value)
{
    return WritePrivateProfileSectionW(section, OneLineSection(platform::FormatWide(L"%d", value)).c_str(), m_path);
}

BOOL CBIniFile::WriteProfileSectionBOOL(const wchar_t* section, int value)
{
    return WritePrivateProfileSectionW(section, OneLineSection(BoolText(value)).c_str(), m_path);
}

BOOL CBIniFile::WriteProfileStruct(const wchar_t* section, const wchar_t* key, const void* data, UINT size)
{
    return WritePrivateProfileStructW(section, key, data, size, m_path);
}

DWORD CBIniFile::GetProfileStringW(const wchar_t* section, const wchar_t* key, const wchar_t* defaultText,
                                   wchar_t* buffer, DWORD size)
{
    return GetPrivateProfileStringW(section, key, defaultText, buffer, size, m_path);
}

UINT CBIniFile::GetProfileIntW(const wchar_t* section, const wchar_t* key, int defaultValue)
{
    return GetPrivateProfileIntW(section, key, defaultValue, m_path);
}

int CBIniFile::GetProfileBOOL(const wchar_t* section, const wchar_t* key, int defaultValue)
{
    wchar_t text[256] = {};
    GetPrivateProfileStringW(section, key, BoolText(defaultValue), text, 256, m_path);
    return std::wcscmp(text, L"TRUE") == 0 ? 1 : 0;
}

DWORD CBIniFile::GetProfileSectionW(const wchar_t* section, wchar_t* buffer, DWORD size)
{
    return GetPrivateProfileSectionW(section, buffer, size, m_path);
}

DWORD CBIniFile::GetProfileSectionNames(wchar_t* buffer, DWORD size)
{
    return GetPrivateProfileSectionNamesW(buffer, size, m_path);
}

BOOL CBIniFile::GetProfileStruct(const wchar_t* section, const wchar_t* key, void* data, UINT size)
{
    return GetPrivateProfileStructW(section, key, data, size, m_path);
}
