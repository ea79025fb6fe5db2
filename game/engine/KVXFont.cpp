// The font manager's default file reader.
#include "engine/KVXFont.h"

#include <win32/Files.h>
#include <win32/Text.h>

#include <cstdio>

bool KVXDefaultResourceProvider::LoadFile(const std::wstring& path, KVXFileBuffer* out)
{
    FILE* file = platform::OpenFile(platform::Narrow(path), "rb");
    if (!file)
        return false;
    bool ok = false;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0 && (size = std::ftell(file)) >= 0 && size <= kMaxFileBytes &&
        std::fseek(file, 0, SEEK_SET) == 0) {
        auto* data = new uint8_t[static_cast<size_t>(size) + 1];
        if (std::fread(data, 1, static_cast<size_t>(size), file) == static_cast<size_t>(size)) {
            data[size] = 0;
            out->data = data;
            out->size = static_cast<uint32_t>(size);
            ok = true;
        } else {
            delete[] data;
        }
    }
    std::fclose(file);
    return ok;
}
