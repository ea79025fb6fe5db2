// Base behaviour of the platform interface: binary files through the platform's path resolver,
// an empty data path, a 0 x 0 screen, text unchanged, and debugger output.
#include "kv/KVInterface.h"

#include <helvane/Log.h>
#include <win32/Debug.h>
#include <win32/Files.h>
#include <win32/Text.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace kv {

std::wstring KVInterface::GetDataPath(bool)
{
    return {};
}

KVFileHandle KVInterface::OpenFile(const std::wstring& path)
{
    return platform::OpenFile(platform::Narrow(path), "rb");
}

void KVInterface::CloseFile(KVFileHandle file)
{
    if (file)
        std::fclose(static_cast<FILE*>(file));
}

int32_t KVInterface::Tell(KVFileHandle file)
{
    if (!file)
        return -1;
    long position = std::ftell(static_cast<FILE*>(file));
    return position < 0 || position > INT32_MAX ? -1 : static_cast<int32_t>(position);
}

int32_t KVInterface::Seek(KVFileHandle file, int32_t offset, int32_t origin)
{
    static const int kOrigins[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (!file || origin < 0 || origin > 2)
        return -1;
    return std::fseek(static_cast<FILE*>(file), offset, kOrigins[origin]) == 0 ? 0 : -1;
}

int32_t KVInterface::Read(KVFileHandle file, void* buffer, int32_t size)
{
    if (!file || !buffer || size < 0)
        return 0;
    size_t blocks = std::fread(buffer, static_cast<size_t>(size), 1, static_cast<FILE*>(file));
    return blocks == 1 ? size : 0;
}

KVSize KVInterface::GetScreenSize()
{
    return {0, 0};
}

std::wstring KVInterface::Translate(const std::wstring& text)
{
    return text;
}

void KVInterface::SetTextInputActive(bool) {}

void KVInterface::DebugOutput(const std::wstring& text)
{
    OutputDebugStringW(text.c_str());
}

KVReadResult ReadWholeFile(KVInterface& iface, const std::wstring& path, std::string& bytes)
{
    bytes.clear();
    errno = 0;
    KVFileHandle file = iface.OpenFile(path);
    if (!file) {
        // The file layer refuses a file over its kind's limit before it is opened at all.
        if (errno == EFBIG) {
            DFLog(L"%s is larger than a layout or animation file may be; it is not read", path.c_str());
            return KVReadResult::kTooLarge;
        }
        return KVReadResult::kCannotOpen;
    }
    iface.Seek(file, 0, KVInterface::kSeekEnd);
    int32_t size = iface.Tell(file);
    iface.Seek(file, 0, KVInterface::kSeekStart);
    if (size == 0) {
        iface.CloseFile(file);
        return KVReadResult::kEmpty;
    }
    // A size that does not fit the position type reads as negative.
    if (size < 0 || static_cast<size_t>(size) > platform::kMaxXmlFileBytes) {
        iface.CloseFile(file);
        DFLog(L"%s is larger than a layout or animation file may be; it is not read", path.c_str());
        return KVReadResult::kTooLarge;
    }
    // One block of the file's size plus a terminating 0 for the XML parser.
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
    int32_t read = iface.Read(file, buffer.data(), size);
    iface.CloseFile(file);
    if (read != size)
        return KVReadResult::kReadFailed;
    bytes.assign(buffer.data(), static_cast<size_t>(size));
    return KVReadResult::kRead;
}

} // namespace kv
