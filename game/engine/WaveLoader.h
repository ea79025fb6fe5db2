// WAV sound loader: our own RIFF reader for uncompressed PCM files. Every chunk size is checked
// against the RIFF chunk and the file before it is used; a file that lies about a size is refused.
#pragma once

#include "engine/SoundLoader.h"

#include <cstdint>
#include <cstdio>
#include <string>

class SoundLoaderWave : public SoundLoader {
public:
    SoundLoaderWave() = default;
    ~SoundLoaderWave() override;
    SoundLoaderWave(const SoundLoaderWave&) = delete;
    SoundLoaderWave& operator=(const SoundLoaderWave&) = delete;

    // A refused file is logged with the reason.
    bool Open(const wchar_t* path) override;
    bool Read(void* destination, DWORD length, DWORD* bytesRead) override;
    bool Rewind() override;
    // Always false: callers ignore the result.
    bool Close() override;
    int GetDataSize() override { return m_dataSize; }

    // Parses an already opened file and keeps it (closing it on failure). `reason` receives why
    // a file was refused. Open uses it; the fuzz target feeds it memory files.
    bool OpenStream(FILE* file, std::string* reason);

private:
    bool ParseChunks(uint32_t fileSize, std::string& reason);

    FILE* m_file = nullptr;
    uint32_t m_riffEnd = 0;     // offset just past the RIFF chunk
    uint32_t m_dataOffset = 0;  // offset of the first sample byte
    uint32_t m_dataLeft = 0;    // bytes of the data chunk not read yet
    int m_dataSize = 0;         // whole sample frames only
};
