// Shared pieces for the pop-up tests: the real window system with its own widgets, layouts and
// UI animations given as text, recorders for the messages and sounds, the keyboard driven through
// a fake key state, and frames stepped by the test the way a scene runs them.
#pragma once

#include "../engine/EngineFakes.h"
#include "support/GameSeamFakes.h"
#include "support/kv/FakeInterface.h"
#include "support/kv/RecordingRenderer.h"

#include "engine/InputKeyboard.h"
#include "kv/KVLabel.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"
#include "menus/PopUp.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <set>
#include <string>

namespace popuptest {

// One window of a fixture layout: its type, name, place and size.
struct Box {
    const char* type;
    std::string name;
    int x, y, w, h;
};

inline std::string Child(const Box& b, const std::string& inner = "")
{
    std::string text = "<child type=\"" + std::string(b.type) + "\" name=\"" + b.name + "\"><pos x=\"" +
                       std::to_string(b.x) + "\" y=\"" + std::to_string(b.y) + "\"/><rect l=\"0\" t=\"0\" r=\"" +
                       std::to_string(b.w) + "\" b=\"" + std::to_string(b.h) + "\"/>";
    if (std::string(b.type) == "LABEL")
        text += "<label val=\"\"/>";
    return text + inner + "</child>";
}

// A layout of one full-screen top window holding the given children, with a UI animation file
// when one is named.
inline std::string Layout(const std::string& top, const std::string& children, const std::string& uiAnimation)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kevrin version=\"2\">";
    if (!uiAnimation.empty())
        text += "<properties><property name=\"UIAnimation\" val=\"" + uiAnimation + "\"/></properties>";
    return text + "<base type=\"WND\" name=\"" + top +
           "\"><pos x=\"0\" y=\"0\"/><rect l=\"0\" t=\"0\" r=\"1024\" b=\"768\"/>" + children + "</base></kevrin>";
}

// A UI animation whose scenes fade the top window over the given milliseconds each.
inline std::string Animation(const std::string& top, std::initializer_list<std::pair<std::string, int>> scenes)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kvanimation version=\"1.2\">";
    for (const auto& [name, ms] : scenes) {
        auto frame = [](int at, int alpha) {
            return "<frame cnt=\"" + std::to_string(at) +
                   "\"><posx val=\"0\"/><posy val=\"0\"/><scalex val=\"1\"/><scaley val=\"1\"/><centerx val=\"0\"/>"
                   "<centery val=\"0\"/><rotate val=\"0\"/><alpha val=\"" +
                   std::to_string(alpha) + "\"/></frame>";
        };
        text += "<scene name=\"" + name + "\"><asset type=\"UI\" name=\"UIWND_" + top + "\"><rect l=\"0\" t=\"0\" r=\"1024\" "
                "b=\"768\"/></asset><object name=\"" +
                top + "\" ani=\"a\"><asset link=\"UIWND_" + top + "\" type=\"UI\"/></object><anim name=\"a\">" + frame(0, 1) +
                frame(ms, 1) + "</anim></scene>";
    }
    return text + "</kvanimation>";
}

// The window system, the recorders and the keyboard of one test.
class PopUpWorld {
public:
    PopUpWorld() : system(std::make_unique<kv::KVSystem>())
    {
        iface.dataPath = L"data/";
        system->SetRenderer(&renderer);
        system->SetInterface(&iface);
        SetPopUpSinks(&messages, &sounds);
        keyboard.SetWindow(enginetest::FakeWindow());
        keyboard.Update();
        keyboard.Update();
    }
    ~PopUpWorld()
    {
        keyboard.Update();
        keyboard.Update();
        keyboard.SetWindow(nullptr);
        SetPopUpSinks(nullptr, nullptr);
        system.reset();
    }

    void AddFile(const std::string& path, const std::string& text)
    {
        iface.AddFile(std::wstring(path.begin(), path.end()), text);
    }

    // One frame: the keys held in it, the pop-up's update, then the window system's.
    void Frame(VanteoPopUp& popUp, float seconds, std::set<int> keys = {})
    {
        input.keys = std::move(keys);
        popUp.Update(seconds);
        system->Update(seconds);
        keyboard.Update();
        input.keys.clear();
    }
    // Frames of `seconds` until `total` has passed.
    void Run(VanteoPopUp& popUp, float total, float seconds = 0.05f)
    {
        for (float t = 0; t < total - 1e-4f; t += seconds)
            Frame(popUp, seconds);
    }

    // A click in the middle of the named window, through the window system's input entries.
    bool ClickOn(const std::wstring& name)
    {
        kv::KVWnd* window = system->GetRootLayer()->FindWindow(name);
        if (!window)
            return false;
        kv::KVPoint at = window->GetAbsolutePosition();
        float x = at.x + window->GetWidth() / 2;
        float y = at.y + window->GetHeight() / 2;
        system->OnMouseMove(x, y);
        system->OnLButtonDown(x, y);
        return system->OnLButtonUp(x, y);
    }

    kv::KVWnd* Find(const std::wstring& name) const { return system->GetRootLayer()->FindWindow(name); }
    std::wstring Text(const std::wstring& name) const
    {
        auto* label = dynamic_cast<kv::KVLabel*>(Find(name));
        return label ? label->text : L"<no label>";
    }
    // The window's own visible flag, whatever its parents show.
    bool Visible(const std::wstring& name) const
    {
        kv::KVWnd* window = Find(name);
        return window && window->IsVisible() && !window->IsHiding();
    }
    bool Shown(const std::wstring& name) const
    {
        kv::KVWnd* window = Find(name);
        return window && window->IsShownRecursive();
    }

    enginetest::FakeInputPlatform input;
    CInputKeyboard& keyboard = singleton<CInputKeyboard>::GetSingleton();
    testsupport::RecordingRenderer renderer;
    testsupport::FakeInterface iface;
    std::unique_ptr<kv::KVSystem> system;
    RecordingMessages messages;
    RecordingSounds sounds;
};

} // namespace popuptest
