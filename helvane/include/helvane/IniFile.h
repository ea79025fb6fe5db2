// CBIniFile: the private-profile functions bound to one ini file, with integer and boolean
// forms. A relative path is relative to the current directory.
#pragma once

#include <win32/Types.h>

class CBIniFile {
public:
    static constexpr size_t kPathChars = 260;

    CBIniFile();
    // Paths longer than kPathChars - 1 characters are cut.
    explicit CBIniFile(const wchar_t* path);
    CBIniFile(const CBIniFile&) = default;
    CBIniFile& operator=(const CBIniFile&) = default;
    virtual ~CBIniFile() = default;

    void SetFileName(const wchar_t* path);
    const wchar_t* GetPathName() const { return m_path; }

    BOOL WriteProfileStringW(const wchar_t* section, const wchar_t* key, const wchar_t* text);
    BOOL WriteProfileStringInt(const wchar_t* section, const wchar_t* key, int value);
    // Non-zero writes "TRUE", zero "FALSE".
    BOOL WriteProfileStringBOOL(const wchar_t* section, const wchar_t* key, int value);
    // The text (terminated lines, ending with an empty one) replaces the section's lines.
    BOOL WriteProfileSectionW(const wchar_t* section, const wchar_t* lines);
    // The section's lines become the one number, or "TRUE" / "FALSE".
    BOOL WriteProfileSectionInt(const wchar_t* section, int value);
    BOOL WriteProfileSectionBOOL(const wchar_t* section, int value);
    BOOL WriteProfileStruct(const wchar_t* section, const wchar_t* key, const void* data, UINT size);

    DWORD GetProfileStringW(const wchar_t* section, const wchar_t* key, const wchar_t* defaultText, wchar_t* buffer,
                            DWORD size);
    UINT GetProfileIntW(const wchar_t* section, const wchar_t* key, int defaultValue);
    // 1 exactly when the stored text is "TRUE" (case matters); a missing key gives the default.
    int GetProfileBOOL(const wchar_t* section, const wchar_t* key, int defaultValue);
    DWORD GetProfileSectionW(const wchar_t* section, wchar_t* buffer, DWORD size);
    DWORD GetProfileSectionNames(wchar_t* buffer, DWORD size);
    BOOL GetProfileStruct(const wchar_t* section, const wchar_t* key, void* data, UINT size);

private:
    wchar_t m_path[kPathChars] = {};
};
