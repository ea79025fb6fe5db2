// Ogg Vorbis sound loader: decodes through vorbisfile to 16-bit signed little-endian PCM.
#pragma once

#include "engine/SoundLoader.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>

class SoundLoaderOgg : public SoundLoader {
public:
    SoundLoaderOgg() = default;
    ~SoundLoaderOgg() override;
    SoundLoaderOgg(const SoundLoaderOgg&) = delete;
    SoundLoaderOgg& operator=(const SoundLoaderOgg&) = delete;

    // A file that opens but cannot be decoded is logged with the reason.
    bool Open(const wchar_t* path) override;
    // Gathers decoder output until `length` is filled or the stream ends or fails; always true.
    bool Read(void* destination, DWORD length, DWORD* bytesRead) override;
    bool Rewind() override;
    bool Close() override;
    int GetDataSize() override { return m_dataSize; }

private:
    FILE* m_file = nullptr;
    OggVorbis_File m_vorbis{};
    bool m_decoderOpen = false;
    int m_dataSize = 0;
};
