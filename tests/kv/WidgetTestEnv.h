// A UI test environment with the framework's real widgets behind every type name (the shared
// kit puts simple test windows behind "Window", "Button" and "Label"), plus helpers to show a
// layout, draw it and find windows by name.
#pragma once

#include "kv/KVWinMessages.h"
#include "kv/KVWindowFactory.h"
#include "kv/KVWnd.h"

#include "support/kv/KVTestKit.h"

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

class WidgetEnv : public KVEnvironment {
public:
    WidgetEnv()
    {
        for (const wchar_t* name : {L"Window", L"Button", L"Label"})
            system->GetRegistry().Unregister(name);
        kv::RegisterBuiltInFactories(system->GetRegistry());
    }

    // Loads a layout given inline and shows its top window at once.
    kv::KVWnd* Show(const std::string& xml)
    {
        kv::KVWnd* top = LoadText(xml);
        if (top) {
            top->SetVisualEffect(nullptr);
            top->SetVisible(true);
        }
        return top;
    }

    // Draws the whole tree once, recording only this frame's calls.
    void DrawFrame()
    {
        renderer.ClearRecords();
        iface.drawnTexts.clear();
        Root()->Draw();
    }

    template <typename T = kv::KVWnd>
    T* Find(const std::wstring& name)
    {
        auto* window = dynamic_cast<T*>(Root()->FindChild(name));
        EXPECT_NE(window, nullptr) << "no window of the expected class named " << std::string(name.begin(), name.end());
        return window;
    }

    // A drag with the left button: press at the start, each move, release at the end.
    void Drag(int x0, int y0, int x1, int y1)
    {
        Send(WM_LBUTTONDOWN, 0x1, MAKELPARAM(static_cast<WORD>(x0), static_cast<WORD>(y0)));
        Send(WM_MOUSEMOVE, 0x1, MAKELPARAM(static_cast<WORD>(x1), static_cast<WORD>(y1)));
        Send(WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(x1), static_cast<WORD>(y1)));
    }

    bool Wheel(int delta, int x, int y)
    {
        return Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<int16_t>(delta))),
                    MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }
};

} // namespace testsupport
