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

// A "kvanimation" scene with one image object moving right for `lengthMs`; looping when asked.
inline std::string AnimScene(const std::string& name, int lengthMs, bool loop = false)
{
    auto frame = [](int cnt, int x) {
        return "<frame cnt=\"" + std::to_string(cnt) + "\"><posx val=\"" + std::to_string(x) +
               "\"/><posy val=\"0\"/><scalex val=\"1\"/><scaley val=\"1\"/><centerx val=\"0\"/>"
               "<centery val=\"0\"/><rotate val=\"0\"/><alpha val=\"1\"/></frame>";
    };
    return "<scene name=\"" + name + "\">" +
           "<asset type=\"IMAGE\" name=\"IMAGE_" + name + "\" path=\"" + name + ".png\"><rect l=\"0\" t=\"0\" r=\"8\" b=\"8\"/></asset>" +
           (loop ? "<param type=\"LOOP\" cnt=\"-1\"/>" : "") + "<object name=\"" + name + "\" ani=\"move\"><asset link=\"IMAGE_" +
           name + "\" type=\"Image\"/></object><anim name=\"move\">" + frame(0, 0) + frame(lengthMs, 10) +
           "</anim></scene>";
}

inline std::string AnimFile(const std::string& scenes)
{
    return "<kvanimation version=\"1.2\">" + scenes + "</kvanimation>";
}

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
