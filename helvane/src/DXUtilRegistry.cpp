// Registry value helpers, the media-file search and the trace hook.
#include "helvane/DXUtil.h"

#include <win32/Files.h>
#include <win32/Registry.h>
#include <win32/Text.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

DWORD ByteSizeOf(const wchar_t* text)
{
    return static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
}

HRESULT WriteValue(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD bytes)
{
    LSTATUS status = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes);
    return status == ERROR_SUCCESS ? S_OK : E_FAIL;
}

// Reads exactly `bytes` bytes of a value; false when the value is missing or of another size.
bool ReadValue(HKEY key, const wchar_t* name, void* data, DWORD bytes)
{
    DWORD type = 0;
    DWORD size = bytes;
    LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, static_cast<BYTE*>(data), &size);
    return status == ERROR_SUCCESS && size == bytes;
}

// The media folder of the SDK samples, followed by "\Media\"; empty when it is not installed.
std::wstring MediaFolder()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\DirectX SDK", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    wchar_t folder[MAX_PATH] = {};
    DWORD type = 0;
    DWORD bytes = sizeof(folder) - sizeof(wchar_t);
    LSTATUS status =
        RegQueryValueExW(key, L"DX81SDK Samples Path", nullptr, &type, reinterpret_cast<BYTE*>(folder), &bytes);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return {};
    return std::wstring(folder) + L"\\Media\\";
}

bool OpensForReading(const std::wstring& path)
{
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        std::fclose(file);
        return true;
    }
    return false;
}

void CopyPath(wchar_t* destination, const std::wstring& path)
{
    size_t n = std::min<size_t>(path.size(), kMediaPathChars - 1);
    path.copy(destination, n);
    destination[n] = 0;
}

} // namespace

HRESULT DXUtil_WriteStringRegKey(HKEY key, const wchar_t* name, const wchar_t* value)
{
    if (!value)
        return E_FAIL;
    return WriteValue(key, name, REG_SZ, value, ByteSizeOf(value));
}

HRESULT DXUtil_WriteIntRegKey(HKEY key, const wchar_t* name, unsigned value)
{
    uint32_t bits = value;
    return WriteValue(key, name, REG_DWORD, &bits, sizeof(bits));
}

HRESULT DXUtil_ReadBoolRegKey(HKEY key, const wchar_t* name, int* value, int defaultValue)
{
    if (!value)
        return S_OK;
    int32_t bits = 0;
    *value = ReadValue(key, name, &bits, sizeof(bits)) ? bits : defaultValue;
    return S_OK;
}

HRESULT DXUtil_WriteBoolRegKey(HKEY key, const wchar_t* name, int value)
{
    int32_t bits = value;
    return WriteValue(key, name, REG_DWORD, &bits, sizeof(bits));
}

HRESULT DXUtil_ReadGuidRegKey(HKEY key, const wchar_t* name, GUID* value, const GUID& defaultValue)
{
    if (!value)
        return S_OK;
    GUID read{};
    *value = ReadValue(key, name, &read, sizeof(read)) ? read : defaultValue;
    return S_OK;
}

HRESULT DXUtil_WriteGuidRegKey(HKEY key, const wchar_t* name, GUID value)
{
    return WriteValue(key, name, REG_BINARY, &value, sizeof(value));
}

HRESULT DXUtil_FindMediaFile(wchar_t* path, const wchar_t* name)
{
    if (!path || !name)
        return E_INVALIDARG;
    std::wstring slashed(name);
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    std::error_code ec;
    fs::path fullPath = fs::absolute(fs::path(platform::Narrow(slashed)), ec).lexically_normal();
    std::wstring full = platform::Widen(fullPath.string());
    if (ec || slashed.empty() || full.size() >= static_cast<size_t>(kMediaPathChars))
        return E_FAIL;
    std::wstring filePart = platform::Widen(fullPath.filename().string());

    for (const std::wstring& candidate : {full, filePart, MediaFolder() + filePart}) {
        if (!candidate.empty() && OpensForReading(candidate)) {
            CopyPath(path, candidate);
            return S_OK;
        }
    }
    CopyPath(path, name);
    return E_FAIL;
}

void DXUtil_Trace(const wchar_t*) {}
