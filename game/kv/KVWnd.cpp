// Window base: tree, paths, geometry and anchors, visibility with effects, focus, input slots,
// update and draw, and the window's UI animation.
#include "kv/KVWnd.h"

#include "kv/KVDirector.h"
#include "kv/KVInterface.h"
#include "kv/KVProperty.h"
#include "kv/KVRenderer.h"
#include "kv/KVString.h"
#include "kv/KVSystem.h"
#include "kv/KVVisualEffect.h"
#include "kv/KVWinMessages.h"
#include "kv/KVWndDesc.h"
#include "kv/KVXmlCursor.h"

#include <win32/Text.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>

namespace kv {

namespace {

// Shared by every window for the whole run, so unique ids never repeat. Windows are also
// configured on the scene loader thread.
std::atomic<int32_t> g_windowSerial{0};

bool IsRootLayer(const KVWnd* window)
{
    return window && window == GetRootLayer();
}

} // namespace

KVWnd::KVWnd() = default;

KVWnd::~KVWnd()
{
    // Destroy normally ran already; what is left here is only freed.
    for (KVWnd* child : m_children)
        delete child;
    delete m_director;
    delete m_description;
}

void KVWnd::FormUniqueId()
{
    int32_t serial = ++g_windowSerial;
    m_uniqueId = platform::FormatWide(L"%s.%d", m_name.c_str(), serial);
}

void KVWnd::Create()
{
    ResetDefaults();
    LoadAssets();
    OnCreated();
    AddHandler(EventKeyDown, MakeHandler(this, &KVWnd::OnEscKey));
}

void KVWnd::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    if (!description)
        return;
    m_typeId = description->GetType();
    m_name = description->name;
    m_pos = m_layoutPos = description->pos;
    m_width = description->rect.right - description->rect.left;
    m_height = description->rect.bottom - description->rect.top;
    m_dragable = description->dragable.value;
    m_startPosition = description->startPosition;
    m_escAction = description->escKeyAction;
    m_anchor = description->anchor.value;
    for (const auto& [name, value] : description->expandMap) {
        if (value->GetType() == expandwbsbase::kString)
            m_expandValues[name] = static_cast<ExWbsString*>(value)->value;
        else
            m_expandValues[name] = std::to_wstring(static_cast<ExWbsInteger*>(value)->value);
    }
    if (m_description != description)
        delete m_description;
    m_description = description;
    FormUniqueId();
    if (parent)
        parent->AddChild(this);
}

void KVWnd::ReadXml(KVXmlCursor* cursor)
{
    std::unique_ptr<KVXmlCursor> owned(cursor);
    TiXmlElement* element = cursor ? cursor->Element() : nullptr;
    if (element) {
        const char* name = element->Attribute("Name");
        m_name = NarrowToWide(name ? name : "");
        if (const char* location = element->Attribute("Location"))
            if (std::sscanf(location, "%f, %f", &m_pos.x, &m_pos.y) == 2)
                m_layoutPos = m_pos;
        if (const char* size = element->Attribute("Size"))
            std::sscanf(size, "%f, %f", &m_width, &m_height);
        const char* dragable = element->Attribute("Dragable");
        m_dragable = ParseBoolean(dragable ? dragable : "");
        const char* anchor = element->Attribute("Anchor");
        m_anchor = ParseAnchor(anchor ? anchor : "");
    }
    FormUniqueId();
}

void KVWnd::Destroy()
{
    // Whoever put a modifier on this window forgets it; the list is let go first, because a
    // director deletes its modifier as it forgets the window.
    std::vector<KVWindowModifier*> modifiers;
    modifiers.swap(m_modifiers);
    for (KVWindowModifier* modifier : modifiers)
        modifier->OnWindowDestroyed(this);
    if (KVSystem* system = KVSystem::GetPtr()) {
        if (system->GetFocusWindow() == this)
            OnKillFocus();
        system->ForgetWindow(this);
        if (KVRenderer* renderer = system->GetRenderer())
            renderer->ReleaseGroup(m_uniqueId);
    }
    ReleaseAssets();
    DeleteChildren();
    if (m_director) {
        m_director->DetachModifiersFrom(this);
        delete m_director;
        m_director = nullptr;
    }
    delete m_description;
    m_description = nullptr;
    m_effect.reset();
}

bool KVWnd::HitTest(float x, float y, bool includeDisabled)
{
    if (m_mouseTransparent || !m_visible || (!m_enabled && !includeDisabled))
        return false;
    KVRect r = GetHitRect();
    return r.left < x && x < r.right && r.top < y && y < r.bottom;
}

void KVWnd::ResetDefaults()
{
    m_inheritAlpha = true;
    m_alpha = 1;
    m_scaleX = m_scaleY = 1;
    m_rotation = 0;
    m_visible = true;
    m_hiding = false;
    m_enabled = true;
    m_mouseTransparent = false;
    m_pressed = false;
    m_effectState = kShown;
    m_effect.reset();
    m_closeRequest = 0;
    m_orderDirty = false;
    m_zOrder = 0;
    ComputeAnchorMargins();
}

void KVWnd::ComputeAnchorMargins()
{
    if (!m_parent)
        return;
    KVRect r = GetAbsoluteRect();
    KVRect p = m_parent->GetAbsoluteRect();
    if (IsRootLayer(m_parent)) {
        p.right = r.right;
        p.bottom = r.bottom;
    }
    m_marginLeft = r.left - p.left;
    m_marginRight = p.right - r.right;
    m_marginTop = r.top - p.top;
    m_marginBottom = p.bottom - r.bottom;
}

void KVWnd::OnResize(int32_t flags)
{
    if (flags & kSizeChanged)
        ReanchorChildren();
}

void KVWnd::ReanchorChildren()
{
    for (size_t i = 0; i < m_children.size(); ++i) {
        KVWnd* child = m_children[i];
        int32_t a = child->m_anchor;
        if (a == 0)
            continue;
        float width = child->m_width;
        float height = child->m_height;
        float x = (a & kAnchorLeft) ? child->m_marginLeft : child->m_pos.x + child->m_animOffset.x;
        if (a & kAnchorRight) {
            if (a & kAnchorLeft)
                width = m_width - child->m_marginRight - x;
            else
                x = m_width - child->m_marginRight - child->m_width;
        }
        float y = (a & kAnchorTop) ? child->m_marginTop : child->m_pos.y + child->m_animOffset.y;
        if (a & kAnchorBottom) {
            if (a & kAnchorTop)
                height = m_height - child->m_marginBottom - y;
            else
                y = m_height - child->m_marginBottom - child->m_height;
        }
        child->SetPosition(x, y);
        child->m_width = width;
        child->m_height = height;
        child->OnResize(kSizeChanged);
    }
}

// Input slots.

void KVWnd::LButtonDown(MouseEventArgs& args)
{
    if (m_dragable) {
        if (KVSystem* system = KVSystem::GetPtr())
            system->SetCapturedWindow(this);
        KVPoint p = GetAbsolutePosition();
        m_dragOffset = {args.x - p.x, args.y - p.y};
    }
    m_pressed = true;
    FireEvent(EventLButtonDown, args);
}

void KVWnd::LButtonUp(MouseEventArgs& args)
{
    if (m_dragable)
        if (KVSystem* system = KVSystem::GetPtr())
            system->SetCapturedWindow(nullptr);
    // The handlers still see the window pressed; it is released after them.
    if (m_pressed)
        FireEvent(EventLButtonUp, args);
    m_pressed = false;
}

void KVWnd::LButtonDblClick(MouseEventArgs& args)
{
    FireEvent(EventLButtonDblClick, args);
}

void KVWnd::RButtonDown(MouseEventArgs& args)
{
    FireEvent(EventRButtonDown, args);
}

void KVWnd::RButtonUp(MouseEventArgs& args)
{
    FireEvent(EventRButtonUp, args);
    if (HitTest(args.x, args.y, false))
        FireEvent(EventContextMenu, args);
}

void KVWnd::MouseMove(MouseEventArgs& args)
{
    if (m_dragable && m_pressed)
        SetAbsolutePosition(args.x - m_dragOffset.x, args.y - m_dragOffset.y);
    FireEvent(EventMouseMove, args);
}

void KVWnd::MouseWheel(MouseEventArgs& args)
{
    FireEvent(EventMouseWheel, args);
}

void KVWnd::MouseEnter()
{
    EventArgs args;
    FireEvent(EventMouseEnter, args);
}

void KVWnd::MouseLeave()
{
    EventArgs args;
    FireEvent(EventMouseLeave, args);
}

void KVWnd::KeyDown(KeyEventArgs& args)
{
    FireEvent(EventKeyDown, args);
}

void KVWnd::KeyUp(KeyEventArgs& args)
{
    FireEvent(EventKeyUp, args);
}

void KVWnd::Char(CharEventArgs& args)
{
    FireEvent(EventChar, args);
}

void KVWnd::Activated()
{
    EventArgs args;
    FireEvent(EventActivated, args);
}

void KVWnd::Deactivated()
{
    EventArgs args;
    FireEvent(EventDeactivated, args);
}

void KVWnd::OnSetFocus()
{
    for (KVWnd* w = this; w && w->m_topLevel; w = w->m_parent)
        w->m_active = true;
    if (KVSystem* system = KVSystem::GetPtr()) {
        if (system->GetFocusWindow() != this) {
            if (KVWnd* old = system->GetFocusWindow())
                old->OnKillFocus();
            system->SetFocusWindow(this);
        }
    }
    WindowEventArgs args(this);
    FireEvent(EventSetFocus, args);
}

void KVWnd::OnKillFocus()
{
    for (KVWnd* w = this; w && w->m_topLevel; w = w->m_parent)
        w->m_active = false;
    if (KVSystem* system = KVSystem::GetPtr())
        if (system->GetFocusWindow() == this)
            system->SetFocusWindow(nullptr);
    WindowEventArgs args(this);
    FireEvent(EventKillFocus, args);
}

void KVWnd::OnEscKey(EventArgs& args)
{
    auto& key = static_cast<KeyEventArgs&>(args);
    if (key.key == VK_ESCAPE && m_escAction == kEscCloses) {
        Close();
        key.handled = true;
    }
}

void KVWnd::Update(UpdateEventArgs& args)
{
    for (size_t i = 0; i < m_children.size(); ++i) {
        KVWnd* child = m_children[i];
        if (child->m_closeRequest != 0 && child->m_effectState == kHidden) {
            if (std::find(m_pendingDeletes.begin(), m_pendingDeletes.end(), child) == m_pendingDeletes.end())
                m_pendingDeletes.push_back(child);
            continue;
        }
        child->Update(args);
    }
    if (m_effect)
        m_effect->Update(*this, args.dt);
    if (m_director)
        m_director->Update(this, args.dt);
    if (m_hiding && m_effectState == kHidden)
        m_visible = false;
    FireEvent(EventUpdate, args);
    std::vector<KVWnd*> pending;
    pending.swap(m_pendingDeletes);
    for (KVWnd* child : pending)
        DeleteChild(child);
}

// Tree.

KVWnd* KVWnd::FindChild(const std::wstring& name)
{
    for (KVWnd* child : m_children)
        if (child->m_name == name)
            return child;
    for (KVWnd* child : m_children)
        if (KVWnd* found = child->FindChild(name))
            return found;
    return nullptr;
}

KVWnd* KVWnd::FindWindow(const std::wstring& path)
{
    if (path.empty())
        return nullptr;
    KVWnd* current = this;
    size_t start = 0;
    if (path[0] == L'\\') {
        KVSystem* system = KVSystem::GetPtr();
        current = system ? system->GetPathRoot() : nullptr;
        if (!current)
            return nullptr;
        start = 1;
    }
    size_t cut;
    while ((cut = path.find(L'\\', start)) != std::wstring::npos) {
        std::wstring segment = path.substr(start, cut - start);
        if (segment == L"..")
            current = current->m_parent;
        else if (segment != L".")
            current = current->FindChild(segment);
        if (!current)
            return nullptr;
        start = cut + 1;
    }
    std::wstring last = path.substr(start);
    // A path ending in a backslash ends at the window named before it.
    if (last.empty())
        return current;
    return current->FindChild(last);
}

void KVWnd::AddHandlerByPath(const std::wstring& path, const std::wstring& eventName, const EventFunctorRef& handler)
{
    KVWnd* target = (path.empty() || path == m_name) ? this : FindWindow(path);
    if (target)
        target->AddHandler(eventName, handler);
}

void KVWnd::AddChild(KVWnd* child)
{
    if (!child || child == this || child->m_parent == this)
        return;
    // A window lives in one place of the tree: leave the old parent first.
    if (child->m_parent)
        child->m_parent->RemoveChild(child);
    if (!IsRootLayer(this))
        child->m_topLevel = false;
    child->m_parent = this;
    m_children.push_back(child);
    m_orderDirty = true;
}

bool KVWnd::RemoveChild(KVWnd* child)
{
    auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it == m_children.end())
        return false;
    m_children.erase(it);
    m_pendingDeletes.erase(std::remove(m_pendingDeletes.begin(), m_pendingDeletes.end(), child),
                           m_pendingDeletes.end());
    child->m_parent = nullptr;
    return true;
}

void KVWnd::DestroyAndDelete(KVWnd* child)
{
    child->Destroy();
    delete child;
}

void KVWnd::DeleteChild(KVWnd* child)
{
    if (RemoveChild(child))
        DestroyAndDelete(child);
}

void KVWnd::DeleteChildren()
{
    while (!m_children.empty()) {
        KVWnd* child = m_children.back();
        m_children.pop_back();
        child->m_parent = nullptr;
        DestroyAndDelete(child);
    }
    m_pendingDeletes.clear();
}

void KVWnd::BringToFront(KVWnd* child)
{
    auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it == m_children.end())
        return;
    m_children.erase(it);
    m_children.push_back(child);
    m_orderDirty = true;
}

KVWnd* KVWnd::GetChild(int32_t index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_children.size())
        return nullptr;
    return m_children[static_cast<size_t>(index)];
}

bool KVWnd::Contains(const KVWnd* window) const
{
    for (const KVWnd* w = window; w; w = w->m_parent)
        if (w == this)
            return true;
    return false;
}

void KVWnd::SetZOrder(int32_t zOrder)
{
    m_zOrder = zOrder;
    if (m_parent)
        m_parent->m_orderDirty = true;
}

void KVWnd::SortChildrenIfDirty()
{
    if (!m_orderDirty)
        return;
    std::stable_sort(m_children.begin(), m_children.end(),
                     [](const KVWnd* a, const KVWnd* b) { return a->m_zOrder > b->m_zOrder; });
    m_orderDirty = false;
}

// Place and size.

void KVWnd::SetPosition(float x, float y)
{
    x = std::trunc(x);
    y = std::trunc(y);
    if (x == m_pos.x && y == m_pos.y)
        return;
    m_pos = {x, y};
    m_marginLeft = x;
    m_marginTop = y;
    OnResize(kPositionChanged);
}

void KVWnd::SetAbsolutePosition(float x, float y)
{
    if (m_parent) {
        KVPoint p = m_parent->GetAbsolutePosition();
        x -= p.x;
        y -= p.y;
    }
    SetPosition(x, y);
}

KVPoint KVWnd::GetAbsolutePosition() const
{
    KVPoint p;
    for (const KVWnd* w = this; w; w = w->m_parent) {
        p.x += w->m_pos.x + w->m_animOffset.x;
        p.y += w->m_pos.y + w->m_animOffset.y;
    }
    return p;
}

KVRect KVWnd::GetAbsoluteRect() const
{
    float ax = 0;
    float ay = 0;
    for (const KVWnd* w = this; w; w = w->m_parent) {
        ax += w->m_pos.x;
        ay += w->m_pos.y;
    }
    return {ax, ax + m_width, ay, ay + m_height};
}

KVRect KVWnd::GetHitRect() const
{
    KVPoint p = GetAbsolutePosition();
    return {p.x, p.x + m_scaleX * m_width, p.y, p.y + m_scaleY * m_height};
}

void KVWnd::SetSizeFromRect(const KVRect& rect)
{
    m_width = rect.right - rect.left;
    m_height = rect.bottom - rect.top;
    OnResize(kSizeChanged);
}

void KVWnd::SetSize(float width, float height)
{
    m_width = width;
    m_height = height;
}

// Visibility and state.

void KVWnd::SetVisible(bool show)
{
    if (!m_hiding && m_visible == show)
        return;
    KVSystem* system = KVSystem::GetPtr();
    if (m_effect) {
        m_effectState = show ? kOpening : kClosing;
        m_effect->Start(*this);
    } else {
        m_effectState = show ? kShown : kHidden;
    }
    if (show) {
        m_visible = true;
        m_hiding = false;
        if (system && system->GetActiveWindow() && system->GetActiveWindow() != this) {
            KVWnd* old = system->GetActiveWindow();
            old->m_active = false;
            old->Deactivated();
        }
        if (system)
            system->SetActiveWindow(this);
        m_active = true;
        Activated();
    } else {
        if (m_effectState != kHidden) {
            m_hiding = true;
        } else {
            m_visible = false;
            m_hiding = false;
        }
        m_active = false;
        Deactivated();
        if (system && system->GetActiveWindow() == this)
            system->SetActiveWindow(nullptr);
    }
    OnVisibleChanged(show);
    if (!show) {
        m_pressed = false;
        return;
    }
    KVWnd* root = GetRootLayer();
    float rootWidth = root ? root->m_width : KVSystem::kScreenWidth;
    float rootHeight = root ? root->m_height : KVSystem::kScreenHeight;
    if (m_startPosition == kStartCenterParent) {
        float pw = m_parent ? m_parent->m_width : rootWidth;
        float ph = m_parent ? m_parent->m_height : rootHeight;
        SetPosition((pw - m_width) * 0.5f, (ph - m_height) * 0.5f);
    } else if (m_startPosition == kStartCenterScreen) {
        SetPosition((rootWidth - m_width) * 0.5f, (rootHeight - m_height) * 0.5f);
    }
}

bool KVWnd::IsShownRecursive() const
{
    for (const KVWnd* w = this; w; w = w->m_parent)
        if (!w->m_visible || w->m_hiding)
            return false;
    return true;
}

bool KVWnd::IsEnabledRecursive() const
{
    for (const KVWnd* w = this; w; w = w->m_parent)
        if (!w->m_enabled)
            return false;
    return true;
}

void KVWnd::SetEnabled(bool value)
{
    if (m_enabled == value)
        return;
    m_enabled = value;
    OnEnabledChanged(value);
    if (!value)
        m_active = false;
}

void KVWnd::Close()
{
    m_closeRequest = WindowCloseEventArgs::kClose;
    if (m_effect)
        m_effectState = kClosing;
    WindowCloseEventArgs args;
    args.sender = this;
    FireEvent(EventClose, args);
    if (m_effect)
        m_effect->Start(*this);
    else
        m_effectState = kHidden;
}

void KVWnd::Draw()
{
    if (m_hiding || !m_visible || (m_parent && !m_parent->IsShownRecursive()))
        return;
    WindowEventArgs args(this);
    FireEvent(EventDraw, args);
    if (!args.handled)
        OnDraw();
    SortChildrenIfDirty();
    for (size_t i = 0; i < m_children.size(); ++i)
        m_children[i]->Draw();
}

void KVWnd::SetAlpha(float value)
{
    m_alpha = value < 0 ? 0 : (value >= 1 ? 1 : value);
}

float KVWnd::GetEffectiveAlpha() const
{
    float alpha = m_alpha;
    for (const KVWindowModifier* modifier : m_modifiers)
        alpha *= modifier->GetFactor();
    if (m_inheritAlpha && m_parent)
        alpha *= m_parent->GetEffectiveAlpha();
    return alpha;
}

void KVWnd::AddWindowModifier(KVWindowModifier* modifier)
{
    if (modifier && std::find(m_modifiers.begin(), m_modifiers.end(), modifier) == m_modifiers.end())
        m_modifiers.push_back(modifier);
}

void KVWnd::RemoveWindowModifier(KVWindowModifier* modifier)
{
    m_modifiers.erase(std::remove(m_modifiers.begin(), m_modifiers.end(), modifier), m_modifiers.end());
}

void KVWnd::SetVisualEffect(KVVisualEffect* effect)
{
    m_effect.reset(effect);
}

int32_t KVWnd::GetDescriptionType() const
{
    return m_description ? m_description->GetType() : -1;
}

std::wstring KVWnd::GetExpandValue(const std::wstring& name) const
{
    auto it = m_expandValues.find(name);
    return it == m_expandValues.end() ? std::wstring() : it->second;
}

// UI animation.

void KVWnd::LoadUIAnimation(const std::wstring& fileName)
{
    if (fileName.empty())
        return;
    KVSystem* system = KVSystem::GetPtr();
    if (m_director) {
        m_director->DetachModifiersFrom(this);
        delete m_director;
    }
    m_director = new KVDirector;
    m_director->name = m_uniqueId + L".UIAnimation";
    KVWnd* root = GetRootLayer();
    if (system) {
        m_director->renderer = system->GetRenderer();
        m_director->iface = system->GetInterface();
    }
    m_director->width = root ? root->GetWidth() : KVSystem::kScreenWidth;
    m_director->height = root ? root->GetHeight() : KVSystem::kScreenHeight;
    m_director->LoadFile(L"", fileName);
    if (m_director->FindScene(L"_Opening_") && m_director->FindScene(L"_Closing_"))
        m_effect.reset(CreateVisualEffect(KVVisualEffect::kAnim));
}

void KVWnd::PlayUIScene(const std::wstring& sceneName)
{
    if (!m_director || sceneName.empty())
        return;
    if (KVAnimation* scene = m_director->FindScene(sceneName)) {
        m_director->currentScene = scene;
        scene->Stop();
        scene->Start();
    }
}

void KVWnd::StopUIScene()
{
    if (m_director && m_director->currentScene)
        m_director->currentScene->Stop();
}

bool KVWnd::IsUIScenePlaying() const
{
    return m_director && m_director->currentScene && m_director->currentScene->playing;
}

} // namespace kv
