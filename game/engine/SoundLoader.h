// Sound loaders: turn a sound file into 8-bit or 16-bit PCM bytes for the sound server. A loader
// opens a file, describes its format, tells the decoded size, reads in pieces, rewinds and closes.
#pragma once

#include <dsound/DSound.h>

#include <string>

class SoundLoader {
public:
    virtual ~SoundLoader() = default;

    virtual bool Open(const wchar_t* path) = 0;
    // Fills `destination` from the current position; a count below `length` means the end of
    // the data was reached.
    virtual bool Read(void* destination, DWORD length, DWORD* bytesRead) = 0;
    virtual bool Rewind() = 0;
    virtual bool Close() = 0;
    // The decoded size in bytes; valid after Open.
    virtual int GetDataSize() = 0;

    const WAVEFORMATEX& GetFormat() const { return m_format; }

protected:
    WAVEFORMATEX m_format{};
};

// Chooses the loader by the file's first four bytes: "RIFF" a WAV loader, "OggS" an Ogg Vorbis
// loader. Null when the file cannot be read or starts otherwise. The loader is not opened yet.
SoundLoader* CreateSoundLoader(const std::wstring& path);
