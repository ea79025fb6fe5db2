// Feeds arbitrary bytes to the WAV reader as a file: opening, reading every sample, rewinding and
// reading again must never touch memory outside the file's bytes and the caller's buffer.
#include "engine/WaveLoader.h"

#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::vector<uint8_t> bytes(data, data + size);
    FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    if (!file)
        return 0;
    SoundLoaderWave loader;
    if (!loader.OpenStream(file, nullptr))
        return 0;
    std::vector<uint8_t> piece(4093);
    uint64_t total = 0;
    DWORD got = 0;
    do {
        loader.Read(piece.data(), static_cast<DWORD>(piece.size()), &got);
        total += got;
    } while (got == piece.size());
    if (total > static_cast<uint64_t>(loader.GetDataSize()) || loader.GetDataSize() > static_cast<int>(size))
        __builtin_trap();
    loader.Rewind();
    loader.Read(piece.data(), 16, &got);
    loader.Close();
    return 0;
}
