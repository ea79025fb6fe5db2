// Factory registry and the type id -> type name table.
#include "kv/KVWindowFactory.h"

#include "kv/KVFactories.h"
#include "kv/KVSystem.h"
#include "kv/KVWnd.h"
#include "kv/KVWndDesc.h"

#include <array>
#include <new>

namespace kv {

void KVWindowFactory::DestroyWindow(KVWnd* window)
{
    delete window;
}

void KVFactoryRegistry::Register(KVWindowFactory* factory)
{
    if (factory)
        m_factories.emplace(factory->GetTypeName(), factory);
}

KVWindowFactory* KVFactoryRegistry::Find(const std::wstring& typeName) const
{
    auto it = m_factories.find(typeName);
    return it == m_factories.end() ? nullptr : it->second;
}

void KVFactoryRegistry::Unregister(const std::wstring& typeName)
{
    m_factories.erase(typeName);
}

const std::wstring& KVTypeIdToName(int32_t typeId)
{
    static const std::array<std::wstring, 18> kNames = {
        L"Window",    L"Window",   L"Label",  L"Button",   L"LabelButton", L"AnimButton",
        L"CheckBox",  L"Picture",  L"ProgressBar", L"ScrollBar", L"Slider",  L"Edit",
        L"ListBox",   L"ListBox",  L"StackPanel",  L"TextArea",  L"TextArea", L"ComboBox",
    };
    static const std::wstring kUnknown = L"<unknown>";
    if (typeId < 0 || static_cast<size_t>(typeId) >= kNames.size())
        return kUnknown;
    return kNames[static_cast<size_t>(typeId)];
}

void RegisterBuiltInFactories(KVFactoryRegistry& registry)
{
    // The widget classes register their factories here, in the order listed in the header.
    KVWindowFactory* const factories[] = {
        &KVAnimButtonFactory::Instance(), &KVButtonFactory::Instance(),      &KVCheckFactory::Instance(),
        &KVWndExFactory::Instance(),      &KVLabelFactory::Instance(),       &KVLabelButtonFactory::Instance(),
        &KVPictureFactory::Instance(),    &KVProgressFactory::Instance(),    &KVScrollBarFactory::Instance(),
        &KVSliderFactory::Instance(),     &KVStackPanelFactory::Instance()};
    for (KVWindowFactory* factory : factories)
        registry.Register(factory);
}

KVWnd* BuildPartWindow(WndBaseStruct* description, KVWnd* parent)
{
    KVSystem* system = KVSystem::GetPtr();
    KVWindowFactory* factory = system ? system->GetRegistry().Find(KVTypeIdToName(description->GetType())) : nullptr;
    KVWnd* window = factory ? factory->CreateWindow() : nullptr;
    if (!window) {
        delete description;
        return nullptr;
    }
    window->ApplyBase(description, parent);
    window->Create();
    window->SetPart(true);
    return window;
}

} // namespace kv
