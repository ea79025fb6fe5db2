// Shared pieces for UI tests: a window system wired to the recording renderer and the fake
// interface, simple window classes behind the "Window", "Button" and "Label" type names, an
// event recorder, and input sent as window messages the way the scenes forward them.
#pragma once

#include "support/kv/FakeInterface.h"
#include "support/kv/RecordingRenderer.h"

#include "kv/KVEventArgs.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"

#include <win32/Types.h>

#include <memory>
#include <string>
#include <vector>

namespace testsupport {

// Draw order of every test window, by name.
std::vector<std::wstring>& DrawLog();

// A plain window that records when it draws.
class TestWindow : public kv::KVWnd {
public:
    std::wstring GetTypeName() const override { return L"Window"; }
    void OnDraw() override { DrawLog().push_back(GetName()); }
};

class TestButton : public TestWindow {
public:
    std::wstring GetTypeName() const override { return L"Button"; }
};

// Labels let clicks through, as the real label does.
class TestLabel : public TestWindow {
public:
    std::wstring GetTypeName() const override { return L"Label"; }
    void OnCreated() override { SetMouseTransparent(true); }
};

// Registers the test window classes under their type names, replacing any built-in factory.
void RegisterTestFactories(kv::KVSystem& system);

// Records "<window name>:<event>" for each event it is attached to.
// Windows may outlive the recorder (a window fires KillFocus as it is destroyed): a recorder that
// is gone simply stops recording.
class EventRecorder {
public:
    EventRecorder() = default;
    ~EventRecorder();
    EventRecorder(const EventRecorder&) = delete;
    EventRecorder& operator=(const EventRecorder&) = delete;
    void Attach(kv::KVWnd* window, const std::wstring& eventName);
    void AttachAll(kv::KVWnd* window);
    std::vector<std::wstring> entries;
    // The last character event's text and flags.
    std::wstring lastText;
    bool lastComposing = false;

    struct Binding;

private:
    std::vector<Binding*> m_bindings;
};

// A window system with the recording renderer and the fake interface installed.
class KVEnvironment {
public:
    KVEnvironment();
    ~KVEnvironment();

    kv::KVWnd* Load(const std::string& fileName);
    // Loads layout text given inline, under a made-up file name.
    kv::KVWnd* LoadText(const std::string& xml);
    kv::KVWnd* Root() const { return system->GetRootLayer(); }

    // Window messages, forwarded as the scenes forward them. Returns whether a window took it.
    bool Send(UINT message, WPARAM wParam, LPARAM lParam);
    bool Click(int x, int y);
    bool Move(int x, int y);
    bool KeyDown(int vk);
    // Runs the input-method hook on a message, as the window procedure does first; returns the
    // continue flag.
    bool SendIme(UINT message, WPARAM wParam, LPARAM lParam = 0);

    RecordingRenderer renderer;
    FakeInterface iface;
    std::unique_ptr<kv::KVSystem> system;

private:
    int m_layoutCount = 0;
};

} // namespace testsupport
