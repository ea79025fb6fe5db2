// The UI framework's platform interface for the game: UI sounds named in layouts play through
// the sound server, UI text is drawn and measured with the font manager by mapping the layouts'
// face names to the game's fonts, the data lives under "data/" and the screen is 1024 x 768.
// File reading, translation and text input are the framework's own.
#pragma once

#include "kv/KVInterface.h"

#include <win32/Types.h>

#include <map>
#include <string>

class KVSVInterface : public kv::KVInterface {
public:
    // The game font and size a face number draws with.
    struct FaceFont {
        const wchar_t* face;
        int size;
    };

    // Keeps the window and fills the face table.
    void Init(HWND window);

    void PlaySound(const std::wstring& name) override;
    void DrawText(const kv::KVTextStyle& style, int32_t x, int32_t y, const std::wstring& text) override;
    kv::KVSize MeasureText(const std::wstring& faceName, const std::wstring& text) override;
    void OnButtonState(kv::KVWnd* /*button*/, int32_t /*state*/) override {}
    std::wstring GetDataPath(bool forWriting) override;
    kv::KVSize GetScreenSize() override;
    void SetTextInputActive(bool /*active*/) override {}
    // The framework's debug texts are dropped.
    void DebugOutput(const std::wstring& /*text*/) override {}

    // The face number of a layout face name, or -1 for a name the table lacks.
    static int FaceNumber(const std::wstring& faceName);
    // The game font of a face number; any number without its own font uses "MainUI" 14.
    static FaceFont FontOf(int faceNumber);

    HWND m_hWnd = nullptr;

private:
    static std::map<std::wstring, int> s_FaceTable;
};
