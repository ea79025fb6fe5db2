// The window system: construction, layout building, hit testing, activation, focus and the input
// entry points.
#include "kv/KVSystem.h"

#include "kv/KVException.h"
#include "kv/KVIme.h"
#include "kv/KVInterface.h"
#include "kv/KVLayoutDocument.h"
#include "kv/KVString.h"
#include "kv/KVTextWidgetFactories.h"
#include "kv/KVVisualEffect.h"
#include "kv/KVWnd.h"
#include "kv/KVWndDesc.h"
#include "kv/KVXmlCursor.h"

#include <algorithm>

namespace kv {

KVRenderer* g_pKVRenderer = nullptr;
KVInterface* g_pKVInterface = nullptr;

namespace {

KVSystem* g_pKVSystem = nullptr;
KVWnd* g_pKVRootLayer = nullptr;

MouseEventArgs MouseArgsFor(KVWnd* target, float x, float y, int32_t button)
{
    MouseEventArgs args;
    args.sender = target;
    args.x = x;
    args.y = y;
    args.button = button;
    return args;
}

} // namespace

KVWnd* GetRootLayer()
{
    return g_pKVRootLayer;
}

KVSystem* KVSystem::GetPtr()
{
    return g_pKVSystem;
}

KVSystem& GetKVSystem()
{
    if (!g_pKVSystem)
        new KVSystem();
    return *g_pKVSystem;
}

KVSystem::KVSystem()
{
    g_pKVSystem = this;
    m_registry = std::make_unique<KVFactoryRegistry>();
    RegisterBuiltInFactories(*m_registry);
    RegisterTextWidgetFactories(*m_registry);
    m_defaultEffect.reset(CreateVisualEffect(KVVisualEffect::kDefault));
    m_root = new KVWnd;
    g_pKVRootLayer = m_root;
    m_root->Create();
    m_root->SetActiveFlag(true);
    m_root->SetName(kRootLayerName);
    m_root->SetSize(kScreenWidth, kScreenHeight);
    m_root->OnResize(KVWnd::kSizeChanged);
}

KVSystem::~KVSystem()
{
    m_root->DeleteChildren();
    m_root->Destroy();
    delete m_root;
    m_root = nullptr;
    g_pKVRootLayer = nullptr;
    m_imeProvider.reset();
    if (g_pKVSystem == this)
        g_pKVSystem = nullptr;
    if (g_pKVRenderer == m_renderer)
        g_pKVRenderer = nullptr;
    if (g_pKVInterface == m_interface)
        g_pKVInterface = nullptr;
}

void KVSystem::SetRenderer(KVRenderer* renderer)
{
    m_renderer = renderer;
    g_pKVRenderer = renderer;
}

void KVSystem::SetInterface(KVInterface* iface)
{
    m_interface = iface;
    g_pKVInterface = iface;
}

void KVSystem::ForgetWindow(KVWnd* window)
{
    if (m_active == window)
        m_active = nullptr;
    if (m_focus == window)
        m_focus = nullptr;
    if (m_captured == window)
        m_captured = nullptr;
    if (m_hover == window)
        m_hover = nullptr;
    if (m_pathRoot == window)
        m_pathRoot = nullptr;
}

// Layout building.

KVWnd* KVSystem::CreateWindowFromLayout(const std::string& fileName)
{
    TreeBuildScope building(*this);
    try {
        return BuildLayout(fileName);
    } catch (const Testing::KVException&) {
        ReadFallbackLayout(fileName);
        return nullptr;
    }
}

KVWnd* KVSystem::MakeWindow(KVLayoutDocument& document, WndBaseStruct* description, KVWnd* parent)
{
    KVWindowFactory* factory = m_registry->Find(KVTypeIdToName(description->GetType()));
    if (!factory)
        return nullptr;
    KVWnd* window = factory->CreateWindow();
    if (!window)
        return nullptr;
    window->ApplyBase(document.Take(description), parent);
    return window;
}

KVWnd* KVSystem::BuildLayout(const std::string& fileName)
{
    KVLayoutDocument document(m_interface);
    document.Load(fileName);
    std::wstring uiAnimation = document.GetUIAnimation();
    // A layout whose first top-level window cannot be built yields no window; the document
    // frees every description that no window took.
    if (document.TopLevel().empty())
        return nullptr;
    WndBaseStruct* top = document.TopLevel().front();
    KVWnd* window = MakeWindow(document, top, nullptr);
    if (!window)
        return nullptr;
    m_root->AddChild(window);
    CreateChildren(document, window, top);

    window->Create();
    KVVisualEffect* effect = m_defaultEffect ? m_defaultEffect->Clone() : CreateVisualEffect(KVVisualEffect::kDefault);
    window->SetVisualEffect(effect);
    if (!m_defaultEffect)
        window->SetEffectState(KVWnd::kShown);
    window->LoadUIAnimation(uiAnimation);
    if (window->IsVisible()) {
        window->SetVisibleFlag(false);
        window->SetEffectState(KVWnd::kHidden);
    }
    m_root->OnResize(KVWnd::kSizeChanged);
    return window;
}

void KVSystem::CreateChildren(KVLayoutDocument& document, KVWnd* parent, WndBaseStruct* description)
{
    for (int32_t i = 0; i < document.GetChildCount(description); ++i) {
        WndBaseStruct* child = document.GetChild(description, i);
        if (!child)
            continue;
        KVWnd* window = MakeWindow(document, child, parent);
        if (!window)
            continue;
        CreateChildren(document, window, child);
        window->Create();
    }
}

void KVSystem::ReadFallbackLayout(const std::string& fileName)
{
    if (!m_interface || fileName.empty())
        return;
    std::string bytes;
    if (ReadWholeFile(*m_interface, NarrowToWide(fileName.c_str()), bytes) != KVReadResult::kRead)
        return;
    KVXmlCursor cursor;
    cursor.Parse(bytes.c_str());
    TiXmlNode* document = cursor.Node();
    TiXmlElement* canvas = document ? document->FirstChildElement("Canvas") : nullptr;
    if (!canvas)
        return;
    for (TiXmlElement* element = canvas->FirstChildElement(); element; element = element->NextSiblingElement()) {
        KVWindowFactory* factory = m_registry->Find(NarrowToWide(element->Value()));
        if (!factory)
            return;
        KVWnd* window = factory->CreateWindow();
        if (!window)
            continue;
        window->ReadXml(new KVXmlCursor(element));
        factory->DestroyWindow(window);
    }
}

bool KVSystem::DetachWindow(KVWnd* window)
{
    // The root layer belongs to the window system and lives as long as it does.
    if (!window || window == m_root)
        return false;
    if (m_focus == window)
        window->OnKillFocus();
    ForgetWindow(window);
    KVWnd* parent = window->GetParent();
    if (!parent) {
        // A window outside the tree is destroyed and deleted on its own.
        window->Destroy();
        delete window;
        return true;
    }
    parent->DeleteChild(window);
    return true;
}

// Hit testing, activation and focus.

KVWnd* KVSystem::HitTest(float x, float y, bool includeDisabled)
{
    KVWnd* window = m_root;
    if (!window->IsVisible() || !window->HitTest(x, y, includeDisabled))
        return nullptr;
    for (;;) {
        window->SortChildrenIfDirty();
        KVWnd* hit = nullptr;
        for (int32_t i = window->GetChildCount() - 1; i >= 0; --i) {
            KVWnd* child = window->GetChild(i);
            if (child->IsVisible() && child->HitTest(x, y, includeDisabled)) {
                hit = child;
                break;
            }
        }
        if (!hit)
            break;
        window = hit;
    }
    return window == m_root ? nullptr : window;
}

void KVSystem::Activate(KVWnd* window)
{
    if (!window || window == m_root || window == m_active)
        return;
    if (m_active) {
        m_active->SetActiveFlag(false);
        m_active->Deactivated();
    }
    m_active = window;
    window->SetActiveFlag(true);
    window->Activated();
    if (KVWnd* parent = window->GetParent())
        parent->BringToFront(window);
}

void KVSystem::SetFocus(KVWnd* window)
{
    while (window && window->IsPart()) {
        KVWnd* owner = window->GetParent();
        while (owner && owner->IsPart())
            owner = owner->GetParent();
        if (!owner)
            break;
        window = owner;
    }
    if (window == m_focus)
        return;
    KVWnd* old = m_focus;
    m_focus = window;
    if (old)
        old->OnKillFocus();
    if (window)
        window->OnSetFocus();
}

// Input.

KVWnd* KVSystem::MouseTarget(float x, float y)
{
    return m_captured ? m_captured : HitTest(x, y, false);
}

bool KVSystem::RouteButton(float x, float y, bool down)
{
    KVWnd* target = MouseTarget(x, y);
    if (!target)
        return false;
    KVWnd* top = target;
    while (top && !top->IsTopLevel())
        top = top->GetParent();
    Activate(top);
    SetFocus(target);
    MouseEventArgs args = MouseArgsFor(target, x, y, MouseEventArgs::kLeftButton);
    if (down)
        target->LButtonDown(args);
    else
        target->LButtonUp(args);
    return true;
}

bool KVSystem::OnLButtonDown(float x, float y)
{
    return RouteButton(x, y, true);
}

bool KVSystem::OnLButtonUp(float x, float y)
{
    return RouteButton(x, y, false);
}

void KVSystem::RaiseOnHover(KVWnd* window)
{
    while (window && window->IsPart() && window->GetParent())
        window = window->GetParent();
    if (!window || !window->GetParent())
        return;
    switch (window->GetDescriptionType()) {
    case kDescWndBase:
    case kDescWndEx:
    case kDescLabel:
    case kDescPicture:
    case kDescProgress:
        return;
    default:
        window->GetParent()->BringToFront(window);
    }
}

void KVSystem::UpdateHover(float x, float y)
{
    KVWnd* hit = HitTest(x, y, false);
    if (!hit)
        return;
    KVWnd* old = m_hover ? m_hover : m_root;
    if (hit == old)
        return;
    if (!m_captured || old == m_captured)
        old->MouseLeave();
    if (!m_captured || hit == m_captured) {
        RaiseOnHover(hit);
        hit->MouseEnter();
    }
    m_hover = hit;
}

bool KVSystem::OnMouseMove(float x, float y)
{
    if (x < 0 || y < 0 || x > m_root->GetWidth() || y > m_root->GetHeight())
        return false;
    UpdateHover(x, y);
    KVWnd* target = MouseTarget(x, y);
    if (!target)
        return false;
    MouseEventArgs args = MouseArgsFor(target, x, y, MouseEventArgs::kMoveOrWheel);
    target->MouseMove(args);
    return true;
}

bool KVSystem::OnMouseWheel(int32_t delta, float x, float y)
{
    KVWnd* target = MouseTarget(x, y);
    if (!target)
        return false;
    MouseEventArgs args = MouseArgsFor(target, x, y, MouseEventArgs::kMoveOrWheel);
    args.wheel = static_cast<float>(delta);
    target->MouseWheel(args);
    return true;
}

bool KVSystem::RouteKey(int32_t key, int32_t flags, bool down)
{
    if (!m_focus)
        return false;
    KeyEventArgs args;
    args.sender = m_focus;
    args.key = key;
    args.flags = flags;
    for (KVWnd* window = m_focus; window; window = window->GetParent()) {
        if (down)
            window->KeyDown(args);
        else
            window->KeyUp(args);
        if (args.handled)
            break;
    }
    return true;
}

bool KVSystem::OnKeyDown(int32_t key, int32_t flags)
{
    return RouteKey(key, flags, true);
}

bool KVSystem::OnKeyUp(int32_t key, int32_t flags)
{
    return RouteKey(key, flags, false);
}

void KVSystem::OnChar(const std::wstring& text, bool composing, const int32_t caret[2])
{
    // Control characters never reach text: every code 0 to 31 and 127 is removed.
    std::wstring clean;
    clean.reserve(text.size());
    for (wchar_t c : text)
        if (c >= 32 && c != 127)
            clean.push_back(c);
    if (!m_focus)
        return;
    CharEventArgs args;
    args.sender = m_focus;
    args.text = clean.c_str();
    args.composing = composing;
    args.caret[0] = caret ? caret[0] : 0;
    args.caret[1] = caret ? caret[1] : 0;
    m_focus->Char(args);
}

bool KVSystem::Update(float dt)
{
    {
        std::unique_lock tree(m_treeLock, std::try_to_lock);
        if (tree.owns_lock())
            FlushQueuedTexts();
    }
    if (m_focus) {
        KVWnd* parent = m_focus->GetParent();
        if (m_focus->IsHiding() || !m_focus->IsVisible() || (parent && !parent->IsShownRecursive())) {
            KVWnd* old = m_focus;
            old->OnKillFocus();
            m_focus = nullptr;
        }
    }
    UpdateEventArgs args;
    args.dt = dt;
    m_root->Update(args);
    return true;
}

} // namespace kv
