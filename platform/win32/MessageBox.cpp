// Message boxes through SDL, or on stderr without a display.
#include "win32/MessageBox.h"

#include "UserState.h"
#include "win32/SdlBridge.h"
#include "win32/Text.h"
#include "win32/Window.h"

#include <SDL.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Button {
    int id;
    const char* label;
};

std::vector<Button> ButtonsOf(UINT type)
{
    switch (type & 0xF) {
    case MB_OK: return {{IDOK, "OK"}};
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "Yes"}, {IDNO, "No"}};
    default: return {};
    }
}

Uint32 IconFlags(UINT type)
{
    switch (type & 0xF0) {
    case MB_ICONERROR: return SDL_MESSAGEBOX_ERROR;
    case MB_ICONWARNING: return SDL_MESSAGEBOX_WARNING;
    default: return SDL_MESSAGEBOX_INFORMATION;
    }
}

int ShowWithSdl(HWND owner, const std::string& caption, const std::string& text, UINT type,
                const std::vector<Button>& buttons, int defaultIndex)
{
    std::vector<SDL_MessageBoxButtonData> data;
    for (size_t i = 0; i < buttons.size(); ++i) {
        Uint32 flags = 0;
        if (static_cast<int>(i) == defaultIndex)
            flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (buttons[i].id == IDCANCEL || buttons[i].id == IDNO || buttons.size() == 1)
            flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        data.push_back({flags, buttons[i].id, buttons[i].label});
    }
    const SDL_MessageBoxData box{IconFlags(type), platform::SdlWindowOf(owner), caption.c_str(), text.c_str(),
                                 static_cast<int>(data.size()), data.data(), nullptr};
    int chosen = 0;
    if (SDL_ShowMessageBox(&box, &chosen) != 0)
        return 0;
    // Closing the box without a button is the escape answer.
    return chosen >= 0 ? chosen : buttons.back().id;
}

} // namespace

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    const std::vector<Button> buttons = ButtonsOf(type);
    if (buttons.empty())
        return 0;
    const int defaultIndex = (type & MB_DEFBUTTON2) && buttons.size() > 1 ? 1 : 0;
    const std::string caption8 = platform::Narrow(caption ? caption : L"Error");
    const std::string text8 = platform::Narrow(text ? text : L"");
    if (!platform::IsHeadless() && platform::user::EnsureVideo() && platform::user::OnVideoThread()) {
        if (const int chosen = ShowWithSdl(owner, caption8, text8, type, buttons, defaultIndex))
            return chosen;
    }
    std::fprintf(stderr, "[message box] %s: %s\n", caption8.c_str(), text8.c_str());
    return buttons[defaultIndex].id;
}
