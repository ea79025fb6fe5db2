// The base of every window: a node of the window tree with a name, a place relative to its
// parent, a size, visibility with a show/hide effect, enabled and activation state, a z-order
// among its siblings, anchors, an optional UI animation director, and one virtual slot per input
// or life event, each of which fires the event of the same name.
#pragma once

#include "kv/KVEventArgs.h"
#include "kv/KVObject.h"
#include "kv/KVTypes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kv {

struct WndBaseStruct;
class KVXmlCursor;
class KVVisualEffect;
class KVWindowModifier;
class KVDirector;

inline constexpr wchar_t kTypeNameWindowBase[] = L"WindowBase";

class KVWnd : public KVEventHandler {
public:
    enum EffectState : int32_t { kHidden = 0, kOpening = 1, kShown = 2, kClosing = 3 };
    enum StartPosition : int32_t { kStartNone = 0, kStartCenterParent = 1, kStartCenterScreen = 2 };
    enum ResizeFlags : int32_t { kPositionChanged = 1, kSizeChanged = 2 };
    static constexpr int32_t kEscCloses = 1;
    static constexpr uint32_t kAnimDrivesVisible = 1;

    KVWnd();
    ~KVWnd() override;
    KVWnd(const KVWnd&) = delete;
    KVWnd& operator=(const KVWnd&) = delete;

    std::wstring GetClassName() const override { return L"KVWnd"; }
    virtual std::wstring GetTypeName() const { return kTypeNameWindowBase; }

    // Life.
    virtual void Create();
    // Configures the window from a description and takes ownership of it.
    virtual void ApplyBase(WndBaseStruct* description, KVWnd* parent);
    // Configures the window from an XML element; the call owns and deletes the cursor.
    virtual void ReadXml(KVXmlCursor* cursor);
    // Detaches the window from the window system and frees its subtree; run before deleting.
    virtual void Destroy();
    virtual bool HitTest(float x, float y, bool includeDisabled);
    virtual bool IsTextInput() { return false; }
    virtual void LoadAssets() {}
    virtual void ResetDefaults();
    virtual void OnCreated() {}
    virtual void ReleaseAssets() {}
    virtual void OnEnabledChanged(bool /*enabled*/) {}
    virtual void OnVisibleChanged(bool /*visible*/) {}
    virtual void OnResize(int32_t flags);

    // Input slots.
    virtual void LButtonDown(MouseEventArgs& args);
    virtual void LButtonUp(MouseEventArgs& args);
    virtual void LButtonDblClick(MouseEventArgs& args);
    virtual void RButtonDown(MouseEventArgs& args);
    virtual void RButtonUp(MouseEventArgs& args);
    virtual void MouseMove(MouseEventArgs& args);
    virtual void MouseWheel(MouseEventArgs& args);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void KeyDown(KeyEventArgs& args);
    virtual void KeyUp(KeyEventArgs& args);
    virtual void Char(CharEventArgs& args);
    virtual void Activated();
    virtual void Deactivated();
    virtual void OnSetFocus();
    virtual void OnKillFocus();
    virtual void Update(UpdateEventArgs& args);
    virtual void OnDraw() {}

    // Tree.
    KVWnd* FindWindow(const std::wstring& path);
    KVWnd* FindChild(const std::wstring& name);
    void AddHandlerByPath(const std::wstring& path, const std::wstring& eventName, const EventFunctorRef& handler);
    void AddChild(KVWnd* child);
    void DeleteChild(KVWnd* child);
    void DeleteChildren();
    void BringToFront(KVWnd* child);
    int32_t GetChildCount() const { return static_cast<int32_t>(m_children.size()); }
    KVWnd* GetChild(int32_t index) const;
    // Removes the child from the children without destroying it; false when it is not a child.
    bool RemoveChild(KVWnd* child);
    // True when the window is this window or lies in its subtree.
    bool Contains(const KVWnd* window) const;
    // Sorts the children by z-order (larger first, so drawn first and hit last) when needed.
    void SortChildrenIfDirty();

    // Place and size.
    void SetPosition(float x, float y);
    void SetAbsolutePosition(float x, float y);
    KVPoint GetAbsolutePosition() const;
    KVRect GetAbsoluteRect() const;
    KVRect GetHitRect() const;
    void SetSizeFromRect(const KVRect& rect);
    // Assigns the size without re-anchoring; callers run OnResize(2) when they want that.
    void SetSize(float width, float height);
    KVPoint GetPosition() const { return m_pos; }
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }

    // Visibility and state.
    void SetVisible(bool show);
    bool IsShownRecursive() const;
    bool IsEnabledRecursive() const;
    void SetEnabled(bool value);
    void Close();
    void Draw();
    void SetAlpha(float value);
    float GetAlpha() const { return m_alpha; }
    float GetEffectiveAlpha() const;
    void AddWindowModifier(KVWindowModifier* modifier);
    void RemoveWindowModifier(KVWindowModifier* modifier);

    // UI animation.
    void LoadUIAnimation(const std::wstring& fileName);
    void PlayUIScene(const std::wstring& sceneName);
    void StopUIScene();
    bool IsUIScenePlaying() const;
    KVDirector* GetDirector() const { return m_director; }

    // Accessors.
    const std::wstring& GetName() const { return m_name; }
    void SetName(const std::wstring& name) { m_name = name; }
    const std::wstring& GetUniqueId() const { return m_uniqueId; }
    KVWnd* GetParent() const { return m_parent; }
    WndBaseStruct* GetDescription() const { return m_description; }
    // The description's type id, or -1 for a window made without a description.
    int32_t GetDescriptionType() const;
    int32_t GetTypeId() const { return m_typeId; }
    bool IsVisible() const { return m_visible; }
    bool IsHiding() const { return m_hiding; }
    bool IsEnabled() const { return m_enabled; }
    bool IsActive() const { return m_active; }
    void SetActiveFlag(bool active) { m_active = active; }
    bool IsTopLevel() const { return m_topLevel; }
    bool IsPressed() const { return m_pressed; }
    bool IsPart() const { return m_part; }
    void SetPart(bool part) { m_part = part; }
    bool IsMouseTransparent() const { return m_mouseTransparent; }
    void SetMouseTransparent(bool value) { m_mouseTransparent = value; }
    bool IsDragable() const { return m_dragable; }
    void SetDragable(bool value) { m_dragable = value; }
    int32_t GetZOrder() const { return m_zOrder; }
    void SetZOrder(int32_t zOrder);
    int32_t GetEffectState() const { return m_effectState; }
    void SetEffectState(int32_t state) { m_effectState = state; }
    int32_t GetCloseRequest() const { return m_closeRequest; }
    // Sets the visible flag alone: the animation director drives visibility this way, without
    // running the show/hide effect.
    void SetVisibleFlag(bool visible) { m_visible = visible; }
    KVVisualEffect* GetVisualEffect() const { return m_effect.get(); }
    void SetVisualEffect(KVVisualEffect* effect);
    KVPoint GetAnimationOffset() const { return m_animOffset; }
    void SetAnimationOffset(const KVPoint& offset) { m_animOffset = offset; }
    KVPoint GetLayoutPosition() const { return m_layoutPos; }
    uint32_t GetAnimationMask() const { return m_animationMask; }
    void SetAnimationMask(uint32_t mask) { m_animationMask = mask; }
    int32_t GetAnchor() const { return m_anchor; }
    void SetAnchor(int32_t anchor) { m_anchor = anchor; }
    KVRect GetAnchorMargins() const { return {m_marginLeft, m_marginRight, m_marginTop, m_marginBottom}; }
    int32_t GetStartPosition() const { return m_startPosition; }
    void SetStartPosition(int32_t value) { m_startPosition = value; }
    int32_t GetEscAction() const { return m_escAction; }
    void SetEscAction(int32_t value) { m_escAction = value; }
    void SetScale(float x, float y) { m_scaleX = x; m_scaleY = y; }
    KVPoint GetScale() const { return {m_scaleX, m_scaleY}; }
    float GetRotation() const { return m_rotation; }
    void SetRotation(float value) { m_rotation = value; }
    void SetInheritAlpha(bool value) { m_inheritAlpha = value; }
    // Custom values from the layout's "expand" elements, read by name by game code.
    const std::map<std::wstring, std::wstring>& GetExpandValues() const { return m_expandValues; }
    std::wstring GetExpandValue(const std::wstring& name) const;

protected:
    void ComputeAnchorMargins();
    void ReanchorChildren();
    void OnEscKey(EventArgs& args);
    void FormUniqueId();
    void DestroyAndDelete(KVWnd* child);

    WndBaseStruct* m_description = nullptr;
    KVWnd* m_parent = nullptr;
    std::wstring m_uniqueId;
    bool m_inheritAlpha = true;
    float m_alpha = 1;
    float m_scaleX = 1;
    float m_scaleY = 1;
    float m_rotation = 0;
    float m_marginLeft = 0;
    float m_marginRight = 0;
    float m_marginTop = 0;
    float m_marginBottom = 0;
    std::vector<KVWindowModifier*> m_modifiers;
    bool m_active = false;
    bool m_visible = true;
    bool m_hiding = false;
    bool m_enabled = true;
    bool m_topLevel = true;
    bool m_mouseTransparent = false;
    KVPoint m_dragOffset;
    bool m_pressed = false;
    int32_t m_effectState = kShown;
    std::unique_ptr<KVVisualEffect> m_effect;
    int32_t m_closeRequest = 0;
    std::vector<KVWnd*> m_children;
    std::vector<KVWnd*> m_pendingDeletes;
    bool m_orderDirty = false;
    std::map<std::wstring, std::wstring> m_expandValues;
    int32_t m_zOrder = 0;
    KVPoint m_animOffset;
    KVPoint m_layoutPos;
    int32_t m_typeId = 0;
    std::wstring m_name;
    KVPoint m_pos;
    float m_width = 0;
    float m_height = 0;
    bool m_dragable = false;
    int32_t m_startPosition = kStartNone;
    int32_t m_escAction = 0;
    int32_t m_anchor = 0;
    bool m_part = false;
    KVDirector* m_director = nullptr;
    uint32_t m_animationMask = 0xFFFFFFFF;
};

} // namespace kv
