// A platform interface for UI tests: text is measured with fixed glyph metrics (10 x 12 pixels
// per character), files can live in memory, and sounds, drawn text, button states, text-input
// switches and debug output are recorded.
#pragma once

#include "kv/KVInterface.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

class FakeInterface : public kv::KVInterface {
public:
    static constexpr int32_t kGlyphWidth = 10;
    static constexpr int32_t kGlyphHeight = 12;

    struct DrawnText {
        kv::KVTextStyle style;
        int32_t x, y;
        std::wstring text;
    };

    FakeInterface();
    ~FakeInterface() override;

    // A file that OpenFile finds by exactly this path; other paths go to the disk.
    void AddFile(const std::wstring& path, std::string bytes);

    void PlaySound(const std::wstring& name) override { sounds.push_back(name); }
    void DrawText(const kv::KVTextStyle& style, int32_t x, int32_t y, const std::wstring& text) override
    {
        drawnTexts.push_back({style, x, y, text});
    }
    kv::KVSize MeasureText(const std::wstring& /*face*/, const std::wstring& text) override
    {
        return {static_cast<int32_t>(text.size()) * kGlyphWidth, kGlyphHeight};
    }
    void OnButtonState(kv::KVWnd* /*button*/, int32_t state) override { buttonStates.push_back(state); }
    std::wstring GetDataPath(bool forWriting) override { return forWriting ? std::wstring() : dataPath; }
    kv::KVFileHandle OpenFile(const std::wstring& path) override;
    void CloseFile(kv::KVFileHandle file) override;
    int32_t Tell(kv::KVFileHandle file) override;
    int32_t Seek(kv::KVFileHandle file, int32_t offset, int32_t origin) override;
    int32_t Read(kv::KVFileHandle file, void* buffer, int32_t size) override;
    kv::KVSize GetScreenSize() override { return {1024, 768}; }
    void SetTextInputActive(bool active) override { textInputSwitches.push_back(active); }
    void DebugOutput(const std::wstring& text) override { debugOutput.push_back(text); }

    // Files opened and not yet closed.
    int32_t OpenFileCount() const { return m_openCount; }

    std::wstring dataPath;
    std::vector<std::wstring> sounds;
    std::vector<DrawnText> drawnTexts;
    std::vector<int32_t> buttonStates;
    std::vector<bool> textInputSwitches;
    std::vector<std::wstring> debugOutput;
    std::vector<std::wstring> openedPaths;

private:
    struct MemoryFile;
    MemoryFile* AsMemory(kv::KVFileHandle file) const;

    std::map<std::wstring, std::string> m_files;
    std::vector<std::unique_ptr<MemoryFile>> m_open;
    int32_t m_openCount = 0;
};

} // namespace testsupport
