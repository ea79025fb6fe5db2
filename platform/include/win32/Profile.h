// Private-profile (ini) files: "[section]" headers and "key=value" lines, read and written
// through the path resolver. A relative file name is relative to the current directory.
// Sections and keys match without regard to ASCII case; values are kept as written.
#pragma once

#include "win32/Types.h"

// The value of a key, or the default (null: empty) when the file, section or key is missing.
// A null section lists the section names, a null key the section's keys, each terminated,
// with one more terminator at the end. Returns the characters copied without the final
// terminator; a cut value returns size - 1, a cut list size - 2.
DWORD GetPrivateProfileStringW(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue,
                               wchar_t* buffer, DWORD size, const wchar_t* fileName);

// Sets a key, creating the section and the file as needed. A null value deletes the key,
// a null key the whole section. FALSE when the file cannot be saved.
BOOL WritePrivateProfileStringW(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                                const wchar_t* fileName);

// The leading decimal number of the value (a "0x" prefix reads hexadecimal), 0 when it has
// none, the default when the key is missing.
UINT GetPrivateProfileIntW(const wchar_t* section, const wchar_t* key, INT defaultValue, const wchar_t* fileName);

// The section's lines as a list of terminated strings ending with an empty one. Writing
// replaces every line of the section with the given list.
DWORD GetPrivateProfileSectionW(const wchar_t* section, wchar_t* buffer, DWORD size, const wchar_t* fileName);
BOOL WritePrivateProfileSectionW(const wchar_t* section, const wchar_t* lines, const wchar_t* fileName);

// The section names as a list of terminated strings ending with an empty one.
DWORD GetPrivateProfileSectionNamesW(wchar_t* buffer, DWORD size, const wchar_t* fileName);

// Binary data as upper-case hexadecimal digits followed by a checksum byte (the sum of the
// bytes modulo 256). Reading fails when the size or the checksum does not match.
BOOL WritePrivateProfileStructW(const wchar_t* section, const wchar_t* key, const void* data, UINT size,
                                const wchar_t* fileName);
BOOL GetPrivateProfileStructW(const wchar_t* section, const wchar_t* key, void* data, UINT size,
                              const wchar_t* fileName);
