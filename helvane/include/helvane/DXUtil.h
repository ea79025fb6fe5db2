// Small helpers shared by every deliverable: the application timer, string conversion between
// the ANSI code page (UTF-8 here) and wide characters, GUID text, registry values and the
// media-file search.
#pragma once

#include <win32/Types.h>

enum TIMER_COMMAND : int32_t {
    TIMER_RESET = 0,
    TIMER_START = 1,
    TIMER_STOP = 2,
    TIMER_ADVANCE = 3,
    TIMER_GETABSOLUTETIME = 4,
    TIMER_GETAPPTIME = 5,
    TIMER_GETELAPSEDTIME = 6,
};

// The process-wide application timer. Commands that report a time return seconds, the others
// 0, an unknown command -1. Between TIMER_STOP and TIMER_START time stands still.
float DXUtil_Timer(TIMER_COMMAND command);

// String conversion: (destination, source, count in destination units). The destination always
// holds count units and is always terminated at count - 1; only whole characters are written.
// Count -1 converts the whole source with its terminator: ANSI to wide needs at most the
// source's byte count + 1 characters; wide to ANSI needs the source's UTF-8 length + 1 bytes
// (WideCharToMultiByte with a source length of -1 and no destination gives it), so multi-byte
// text is never cut short.
void DXUtil_ConvertAnsiStringToWide(wchar_t* destination, const char* source, int count);
void DXUtil_ConvertWideStringToAnsi(char* destination, const wchar_t* source, int count);
void DXUtil_ConvertGenericStringToAnsi(char* destination, const wchar_t* source, int count);
void DXUtil_ConvertAnsiStringToGeneric(wchar_t* destination, const char* source, int count);
void DXUtil_ConvertGenericStringToWide(wchar_t* destination, const wchar_t* source, int count);
void DXUtil_ConvertWideStringToGeneric(wchar_t* destination, const wchar_t* source, int count);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" <-> GUID. Reading returns 1 when all eleven fields
// are read, else 0 with an all-zero GUID. Writing needs 39 characters.
int DXUtil_ConvertStringToGUID(const wchar_t* text, GUID* guid);
void DXUtil_ConvertGUIDToString(const GUID* guid, wchar_t* text);

// Registry values on an open key. Reads fall back to the default and always succeed; writes
// return E_FAIL when the value cannot be stored.
HRESULT DXUtil_WriteStringRegKey(HKEY key, const wchar_t* name, const wchar_t* value);
HRESULT DXUtil_WriteIntRegKey(HKEY key, const wchar_t* name, unsigned value);
HRESULT DXUtil_ReadBoolRegKey(HKEY key, const wchar_t* name, int* value, int defaultValue);
HRESULT DXUtil_WriteBoolRegKey(HKEY key, const wchar_t* name, int value);
HRESULT DXUtil_ReadGuidRegKey(HKEY key, const wchar_t* name, GUID* value, const GUID& defaultValue);
HRESULT DXUtil_WriteGuidRegKey(HKEY key, const wchar_t* name, GUID value);

// Finds a media file: the full path of the name, then its bare file name in the current
// directory, then the media folder. path receives the first candidate that opens (at most
// kMediaPathChars characters with the terminator), or the name when none does (E_FAIL).
constexpr int kMediaPathChars = 1024;
HRESULT DXUtil_FindMediaFile(wchar_t* path, const wchar_t* name);

// Kept for callers that trace; it writes nothing.
void DXUtil_Trace(const wchar_t* text);

// Releases a reference-counted device object and clears the pointer; a null pointer stays null.
template <typename T>
void ReleaseAndClear(T*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}
