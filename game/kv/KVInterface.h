// The platform interface the program supplies: sounds, text, files, screen size and a few
// services. Its file operations are the only way the framework reads files.
#pragma once

#include "kv/KVTypes.h"

#include <cstdint>
#include <string>

namespace kv {

class KVWnd;

struct KVTextStyle {
    static constexpr int32_t kBold = 1;
    std::wstring faceName;
    int32_t size = 0;
    int32_t style = 0;
    uint32_t colour = 0;
    uint32_t outlineColour = 0;
    uint32_t shadowColour = 0;
};

using KVFileHandle = void*;

class KVInterface {
public:
    static constexpr int32_t kSeekStart = 0;
    static constexpr int32_t kSeekCurrent = 1;
    static constexpr int32_t kSeekEnd = 2;

    virtual ~KVInterface() = default;

    virtual void PlaySound(const std::wstring& name) = 0;
    // One line of text with its top-left at the screen position.
    virtual void DrawText(const KVTextStyle& style, int32_t x, int32_t y, const std::wstring& text) = 0;
    virtual KVSize MeasureText(const std::wstring& faceName, const std::wstring& text) = 0;
    // Button states: 0 normal, 1 over, 2 pressed, 3 disabled.
    virtual void OnButtonState(KVWnd* button, int32_t state) = 0;

    virtual std::wstring GetDataPath(bool forWriting);
    // Opens a file for binary reading; null when it cannot be opened.
    virtual KVFileHandle OpenFile(const std::wstring& path);
    virtual void CloseFile(KVFileHandle file);
    virtual int32_t Tell(KVFileHandle file);
    // origin 0 start, 1 current, 2 end; 0 on success.
    virtual int32_t Seek(KVFileHandle file, int32_t offset, int32_t origin);
    // Reads size bytes as one block: size when the whole block was read, 0 otherwise.
    virtual int32_t Read(KVFileHandle file, void* buffer, int32_t size);
    virtual KVSize GetScreenSize();
    virtual std::wstring Translate(const std::wstring& text);
    virtual void SetTextInputActive(bool active);
    virtual void DebugOutput(const std::wstring& text);
};

// Reads a whole file through the interface: open, seek to the end, tell, seek back, one read of
// the whole size, close. The file is always closed before the call returns.
// kTooLarge: the file is larger than any layout or animation file may be, and is not read.
enum class KVReadResult { kRead, kCannotOpen, kEmpty, kReadFailed, kTooLarge };
KVReadResult ReadWholeFile(KVInterface& iface, const std::wstring& path, std::string& bytes);

} // namespace kv
