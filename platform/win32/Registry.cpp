// Registry stand-in: there is no registry on this system.
// Implemented: nothing is stored. RegOpenKeyExW reports the key as missing, RegQueryValueExW
//              and RegSetValueExW fail, each logging once, so callers take their defaults.
// Left out:    keys, values and their types altogether.
#include "win32/Registry.h"
#include "win32/Debug.h"

LSTATUS RegOpenKeyExW(HKEY, const wchar_t*, DWORD, REGSAM, HKEY* result)
{
    platform::LogOnce("RegOpenKeyExW: there is no registry; the key is reported missing");
    if (result)
        *result = nullptr;
    return ERROR_FILE_NOT_FOUND;
}

LSTATUS RegQueryValueExW(HKEY, const wchar_t*, DWORD*, DWORD*, BYTE*, DWORD*)
{
    platform::LogOnce("RegQueryValueExW: there is no registry; the value is reported missing");
    return ERROR_FILE_NOT_FOUND;
}

LSTATUS RegSetValueExW(HKEY, const wchar_t*, DWORD, DWORD, const BYTE*, DWORD)
{
    platform::LogOnce("RegSetValueExW: there is no registry; the value is not stored");
    return ERROR_INVALID_HANDLE;
}

LSTATUS RegCloseKey(HKEY key)
{
    return key ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
