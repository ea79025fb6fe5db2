// Small window operations the main menu repeats on its screens: each skips a window the layout
// lacks and touches a window only when that changes something, so a screen updated every frame
// does not restart its show effects or button animations.
#pragma once

#include "kv/KVLabel.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"

#include <string>

namespace menuwindows {

// The named window inside a screen; null when the screen or the window is missing.
inline kv::KVWnd* Child(kv::KVWnd* screen, const wchar_t* name)
{
    return screen && name ? screen->FindWindow(name) : nullptr;
}

inline void Show(kv::KVWnd* window, bool show)
{
    if (!window)
        return;
    const bool shown = window->IsVisible() && !window->IsHiding();
    if (shown != show)
        window->SetVisible(show);
}

// Disabling also clears the window's active mark, so it does not stay the active window.
inline void Enable(kv::KVWnd* window, bool enabled)
{
    if (!window || window->IsEnabled() == enabled)
        return;
    window->SetEnabled(enabled);
    if (!enabled) {
        window->SetActiveFlag(false);
        if (kv::KVSystem* system = kv::KVSystem::GetPtr(); system && system->GetActiveWindow() == window)
            system->SetActiveWindow(nullptr);
    }
}

inline void SetText(kv::KVWnd* screen, const wchar_t* name, const std::wstring& text)
{
    if (auto* label = dynamic_cast<kv::KVLabel*>(Child(screen, name)))
        label->text = text;
}

inline void MouseTransparent(kv::KVWnd* window)
{
    if (window)
        window->SetMouseTransparent(true);
}

} // namespace menuwindows
