// Window factories: a factory makes an empty window of one class, and the window system keeps a
// registry from type name to factory. A layout's descriptions are turned into windows by type id
// -> type name -> factory.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace kv {

class KVWnd;
struct WndBaseStruct;

class KVWindowFactory {
public:
    explicit KVWindowFactory(std::wstring typeName) : m_typeName(std::move(typeName)) {}
    virtual ~KVWindowFactory() = default;

    // A new window of the factory's class, constructed only: not yet applied or created.
    virtual KVWnd* CreateWindow() = 0;
    // Deletes a window of any class. Its caller runs Destroy first.
    virtual void DestroyWindow(KVWnd* window);

    const std::wstring& GetTypeName() const { return m_typeName; }

private:
    std::wstring m_typeName;
};

// The factory of one window class; the type name is the one the class reports from GetTypeName.
// Each built-in factory is one instance of this made on first use by Instance().
template <typename T>
class KVWindowFactoryT : public KVWindowFactory {
public:
    explicit KVWindowFactoryT(std::wstring typeName) : KVWindowFactory(std::move(typeName)) {}
    KVWnd* CreateWindow() override { return new (std::nothrow) T(); }
};

class KVFactoryRegistry {
public:
    // The first registration under a type name wins; null is ignored.
    void Register(KVWindowFactory* factory);
    KVWindowFactory* Find(const std::wstring& typeName) const;
    void Unregister(const std::wstring& typeName);

private:
    std::map<std::wstring, KVWindowFactory*> m_factories;
};

// The factory type name for a description type id; "<unknown>" for ids no factory builds.
const std::wstring& KVTypeIdToName(int32_t typeId);

// Builds a window of the description's type as a part of the parent: the window takes the
// description over, is created and marked as a part. Null, with the description deleted, when
// there is no window system or no factory builds that type.
KVWnd* BuildPartWindow(WndBaseStruct* description, KVWnd* parent);

// The built-in window factories, in the order the window system registers them: "AnimButton",
// "Button", "CheckBox", "ComboBox", "Edit", "Window", "Label", "LabelButton", "ListBox",
// "Picture", "ProgressBar", "ScrollBar", "Slider", "StackPanel", "TextArea". Each widget adds its
// factory here as it is built.
void RegisterBuiltInFactories(KVFactoryRegistry& registry);

} // namespace kv
