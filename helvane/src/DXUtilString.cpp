// String conversion between the ANSI code page and wide characters, and GUID text.
#include "helvane/DXUtil.h"

#include <win32/Text.h>

#include <cstring>
#include <cwchar>

namespace {

// Count -1 stands for "the whole source"; any other count below 1 leaves no room even for
// the terminator, so nothing is written.
bool HasRoom(int count) { return count >= 1; }

} // namespace

void DXUtil_ConvertAnsiStringToWide(wchar_t* destination, const char* source, int count)
{
    if (!destination || !source)
        return;
    if (count == -1)
        count = static_cast<int>(std::strlen(source)) + 1;
    if (!HasRoom(count))
        return;
    // The platform writes only whole characters when the text is cut; the zeros behind them
    // keep the result a clean prefix of the source.
    std::wmemset(destination, 0, static_cast<size_t>(count));
    MultiByteToWideChar(CP_ACP, 0, source, -1, destination, count - 1);
    destination[count - 1] = 0;
}

void DXUtil_ConvertWideStringToAnsi(char* destination, const wchar_t* source, int count)
{
    if (!destination || !source)
        return;
    // The whole source is measured in the bytes of its ANSI form, not in its characters, so
    // text of several bytes a character arrives whole.
    if (count == -1)
        count = WideCharToMultiByte(CP_ACP, 0, source, -1, nullptr, 0, nullptr, nullptr);
    if (!HasRoom(count))
        return;
    std::memset(destination, 0, static_cast<size_t>(count));
    WideCharToMultiByte(CP_ACP, 0, source, -1, destination, count - 1, nullptr, nullptr);
    destination[count - 1] = 0;
}

void DXUtil_ConvertGenericStringToAnsi(char* destination, const wchar_t* source, int count)
{
    if (!destination || !source || count == 0)
        return;
    DXUtil_ConvertWideStringToAnsi(destination, source, count);
}

void DXUtil_ConvertAnsiStringToGeneric(wchar_t* destination, const char* source, int count)
{
    if (!destination || !source || count == 0)
        return;
    DXUtil_ConvertAnsiStringToWide(destination, source, count);
}

void DXUtil_ConvertGenericStringToWide(wchar_t* destination, const wchar_t* source, int count)
{
    if (!destination || !source || count == 0)
        return;
    if (count == -1) {
        std::wcscpy(destination, source);
        return;
    }
    if (!HasRoom(count))
        return;
    std::wcsncpy(destination, source, static_cast<size_t>(count));
    destination[count - 1] = 0;
}

void DXUtil_ConvertWideStringToGeneric(wchar_t* destination, const wchar_t* source, int count)
{
    DXUtil_ConvertGenericStringToWide(destination, source, count);
}

int DXUtil_ConvertStringToGUID(const wchar_t* text, GUID* guid)
{
    if (!guid)
        return 0;
    *guid = GUID{};
    if (!text)
        return 0;
    // Every field is read into a full unsigned int first, never straight into the narrower
    // GUID fields.
    unsigned data1, data2, data3, bytes[8];
    int fields = std::swscanf(text, L"{%8X-%4X-%4X-%2X%2X-%2X%2X%2X%2X%2X%2X}", &data1, &data2, &data3, &bytes[0],
                              &bytes[1], &bytes[2], &bytes[3], &bytes[4], &bytes[5], &bytes[6], &bytes[7]);
    if (fields != 11)
        return 0;
    guid->Data1 = data1;
    guid->Data2 = static_cast<uint16_t>(data2);
    guid->Data3 = static_cast<uint16_t>(data3);
    for (int i = 0; i < 8; ++i)
        guid->Data4[i] = static_cast<uint8_t>(bytes[i]);
    return 1;
}

void DXUtil_ConvertGUIDToString(const GUID* guid, wchar_t* text)
{
    if (!guid || !text)
        return;
    const uint8_t* b = guid->Data4;
    std::swprintf(text, 39, L"{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid->Data1, guid->Data2,
                  guid->Data3, b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
}
