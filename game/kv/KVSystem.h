// The window system: owns the root layer, the factory registry, the input-method provider and
// the default show/hide effect; keeps the active, focus, captured and hover windows; builds
// window trees from layout files; and is the entry point for all input.
#pragma once

#include "kv/KVWindowFactory.h"

#include <win32/Types.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

namespace kv {

class KVWnd;
class KVRenderer;
class KVInterface;
class KVVisualEffect;
class KVInputMethodProvider;
class KVLayoutDocument;
struct WndBaseStruct;

inline constexpr wchar_t kRootLayerName[] = L"__kevrin_system_layer__";

class KVSystem {
public:
    static constexpr float kScreenWidth = 1024;
    static constexpr float kScreenHeight = 768;

    KVSystem();
    ~KVSystem();
    KVSystem(const KVSystem&) = delete;
    KVSystem& operator=(const KVSystem&) = delete;

    // The window system, or null when none was made.
    static KVSystem* GetPtr();

    // Builds the window tree of a layout file under the root layer; null when the layout cannot
    // be loaded. The top window starts hidden.
    KVWnd* CreateWindowFromLayout(const std::string& fileName);
    // Removes, destroys and deletes the window, clearing every pointer to it first. False for
    // null and for the root layer, which the window system owns.
    bool DetachWindow(KVWnd* window);
    KVWnd* HitTest(float x, float y, bool includeDisabled);
    void Activate(KVWnd* window);
    void SetFocus(KVWnd* window);

    // Input entry points; true when a window took the input.
    bool OnLButtonDown(float x, float y);
    bool OnLButtonUp(float x, float y);
    bool OnMouseMove(float x, float y);
    bool OnMouseWheel(int32_t delta, float x, float y);
    bool OnKeyDown(int32_t key, int32_t flags);
    bool OnKeyUp(int32_t key, int32_t flags);
    void OnChar(const std::wstring& text, bool composing, const int32_t caret[2]);
    bool Update(float dt);

    void InstallInputMethod(HWND window);
    void HandleImeMessage(UINT message, WPARAM wParam, LPARAM& lParam, bool& continueFlag);

    // Held while a window tree is being built (CreateWindowFromLayout holds it; a scene loader
    // holds it around a whole scene entry). Input-method text that arrives meanwhile is queued
    // and delivered at the next Update, never to a tree that another thread is building.
    class TreeBuildScope {
    public:
        explicit TreeBuildScope(KVSystem& system) : m_lock(system.m_treeLock) {}

    private:
        std::lock_guard<std::recursive_mutex> m_lock;
    };

    KVWnd* GetRootLayer() const { return m_root; }
    KVWnd* GetPathRoot() const { return m_pathRoot; }
    void SetPathRoot(KVWnd* window) { m_pathRoot = window; }
    KVRenderer* GetRenderer() const { return m_renderer; }
    void SetRenderer(KVRenderer* renderer);
    KVInterface* GetInterface() const { return m_interface; }
    void SetInterface(KVInterface* iface);
    KVFactoryRegistry& GetRegistry() { return *m_registry; }
    KVInputMethodProvider* GetInputMethodProvider() const { return m_imeProvider.get(); }
    KVVisualEffect* GetDefaultVisualEffect() const { return m_defaultEffect.get(); }

    KVWnd* GetActiveWindow() const { return m_active; }
    void SetActiveWindow(KVWnd* window) { m_active = window; }
    KVWnd* GetFocusWindow() const { return m_focus; }
    void SetFocusWindow(KVWnd* window) { m_focus = window; }
    KVWnd* GetCapturedWindow() const { return m_captured; }
    void SetCapturedWindow(KVWnd* window) { m_captured = window; }
    KVWnd* GetHoverWindow() const { return m_hover; }
    // Clears every window-system pointer that points at the window.
    void ForgetWindow(KVWnd* window);

    // The most input-method texts kept while a tree is being built; later ones are dropped.
    static constexpr size_t kMaxQueuedTexts = 64;
    // The most characters one input-method message delivers.
    static constexpr size_t kMaxImeText = 255;

private:
    struct QueuedText {
        std::wstring text;
        bool composing;
        int32_t caret[2];
    };

    KVWnd* BuildLayout(const std::string& fileName);
    void CreateChildren(KVLayoutDocument& document, KVWnd* parent, WndBaseStruct* description);
    KVWnd* MakeWindow(KVLayoutDocument& document, WndBaseStruct* description, KVWnd* parent);
    void ReadFallbackLayout(const std::string& fileName);
    // The window that takes the mouse at a point: the captured window, or the one under it.
    KVWnd* MouseTarget(float x, float y);
    bool RouteButton(float x, float y, bool down);
    bool RouteKey(int32_t key, int32_t flags, bool down);
    void UpdateHover(float x, float y);
    void RaiseOnHover(KVWnd* window);
    void DeliverImeText(const std::wstring& text, bool composing, const int32_t caret[2]);
    void FlushQueuedTexts();

    KVRenderer* m_renderer = nullptr;
    KVInterface* m_interface = nullptr;
    std::unique_ptr<KVInputMethodProvider> m_imeProvider;
    std::unique_ptr<KVFactoryRegistry> m_registry;
    KVWnd* m_root = nullptr;
    KVWnd* m_pathRoot = nullptr;
    KVWnd* m_active = nullptr;
    KVWnd* m_focus = nullptr;
    KVWnd* m_captured = nullptr;
    KVWnd* m_hover = nullptr;
    std::unique_ptr<KVVisualEffect> m_defaultEffect;

    std::recursive_mutex m_treeLock;
    std::mutex m_queueLock;
    std::deque<QueuedText> m_queuedTexts;
};

// The one window system of the program, made on first use.
KVSystem& GetKVSystem();

// The renderer and interface the widgets draw and play through; set with the window system's.
extern KVRenderer* g_pKVRenderer;
extern KVInterface* g_pKVInterface;

// The root layer, or null when no window system exists.
KVWnd* GetRootLayer();

} // namespace kv
