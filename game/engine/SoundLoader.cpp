// The choice of a sound loader by the file's magic bytes.
#include "engine/SoundLoader.h"
#include "engine/OggLoader.h"
#include "engine/WaveLoader.h"

#include <win32/Files.h>

#include <cstdio>
#include <cstring>

SoundLoader* CreateSoundLoader(const std::wstring& path)
{
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return nullptr;
    char magic[4] = {};
    const size_t got = std::fread(magic, 1, sizeof(magic), file);
    std::fclose(file);
    if (got != sizeof(magic))
        return nullptr;
    if (std::memcmp(magic, "RIFF", 4) == 0)
        return new SoundLoaderWave();
    if (std::memcmp(magic, "OggS", 4) == 0)
        return new SoundLoaderOgg();
    return nullptr;
}
