// UI test kit.
#include "support/kv/KVTestKit.h"

#include "kv/KVWinMessages.h"
#include "kv/KVWindowFactory.h"

namespace testsupport {

std::vector<std::wstring>& DrawLog()
{
    static std::vector<std::wstring> log;
    return log;
}

void RegisterTestFactories(kv::KVSystem& system)
{
    static kv::KVWindowFactoryT<TestWindow> window(L"Window");
    static kv::KVWindowFactoryT<TestButton> button(L"Button");
    static kv::KVWindowFactoryT<TestLabel> label(L"Label");
    kv::KVWindowFactory* factories[] = {&window, &button, &label};
    for (kv::KVWindowFactory* factory : factories) {
        system.GetRegistry().Unregister(factory->GetTypeName());
        system.GetRegistry().Register(factory);
    }
}

struct EventRecorder::Binding {
    EventRecorder* recorder;
    std::wstring eventName;
    void Record(kv::EventArgs& args)
    {
        if (!recorder)
            return;
        recorder->entries.push_back(owner + L":" + eventName);
        if (auto* charArgs = dynamic_cast<kv::CharEventArgs*>(&args)) {
            recorder->lastText = charArgs->text;
            recorder->lastComposing = charArgs->composing;
        }
    }
    std::wstring owner;
};

namespace {
// Bindings live for the whole test program, because handlers may outlive their recorder.
std::vector<std::unique_ptr<EventRecorder::Binding>>& AllBindings()
{
    static std::vector<std::unique_ptr<EventRecorder::Binding>> bindings;
    return bindings;
}
} // namespace

EventRecorder::~EventRecorder()
{
    for (Binding* binding : m_bindings)
        binding->recorder = nullptr;
}

void EventRecorder::Attach(kv::KVWnd* window, const std::wstring& eventName)
{
    AllBindings().push_back(std::make_unique<Binding>(Binding{this, eventName, window->GetName()}));
    m_bindings.push_back(AllBindings().back().get());
    window->AddHandler(eventName, kv::MakeHandler(m_bindings.back(), &Binding::Record));
}

void EventRecorder::AttachAll(kv::KVWnd* window)
{
    for (const wchar_t* name : {kv::EventLButtonDown, kv::EventLButtonUp, kv::EventMouseMove, kv::EventMouseWheel,
                                kv::EventMouseEnter, kv::EventMouseLeave, kv::EventKeyDown, kv::EventKeyUp,
                                kv::EventChar, kv::EventActivated, kv::EventDeactivated, kv::EventSetFocus,
                                kv::EventKillFocus, kv::EventClose})
        Attach(window, name);
}

KVEnvironment::KVEnvironment() : system(std::make_unique<kv::KVSystem>())
{
    system->SetRenderer(&renderer);
    system->SetInterface(&iface);
    RegisterTestFactories(*system);
    DrawLog().clear();
}

KVEnvironment::~KVEnvironment()
{
    system.reset();
}

kv::KVWnd* KVEnvironment::Load(const std::string& fileName)
{
    return system->CreateWindowFromLayout(fileName);
}

kv::KVWnd* KVEnvironment::LoadText(const std::string& xml)
{
    std::string name = "inline_layout_" + std::to_string(++m_layoutCount) + ".xml";
    iface.AddFile(std::wstring(name.begin(), name.end()), xml);
    return Load(name);
}

bool KVEnvironment::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    float x = static_cast<float>(GET_X_LPARAM(lParam));
    float y = static_cast<float>(GET_Y_LPARAM(lParam));
    switch (message) {
    case WM_KEYDOWN:
        return system->OnKeyDown(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
    case WM_KEYUP:
        return system->OnKeyUp(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
    case WM_MOUSEMOVE:
        return system->OnMouseMove(x, y);
    case WM_LBUTTONDOWN:
        return system->OnLButtonDown(x, y);
    case WM_LBUTTONUP:
        return system->OnLButtonUp(x, y);
    case WM_MOUSEWHEEL:
        // The test window's client area starts at the screen's origin.
        return system->OnMouseWheel(static_cast<int16_t>(HIWORD(wParam)), x, y);
    default:
        return false;
    }
}

bool KVEnvironment::Click(int x, int y)
{
    LPARAM at = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
    bool down = Send(WM_LBUTTONDOWN, 0x1, at);
    bool up = Send(WM_LBUTTONUP, 0, at);
    return down && up;
}

bool KVEnvironment::Move(int x, int y)
{
    return Send(WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

bool KVEnvironment::KeyDown(int vk)
{
    return Send(WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
}

bool KVEnvironment::SendIme(UINT message, WPARAM wParam, LPARAM lParam)
{
    bool continueFlag = true;
    system->HandleImeMessage(message, wParam, lParam, continueFlag);
    return continueFlag;
}

} // namespace testsupport
