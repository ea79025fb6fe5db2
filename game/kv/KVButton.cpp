// Button: images by state, the press / hover / release state machine, sounds and the interface's
// pointer-state notifications.
#include "kv/KVButton.h"

#include "kv/KVInterface.h"
#include "kv/KVRenderer.h"
#include "kv/KVSystem.h"
#include "kv/KVWndDesc.h"
#include "kv/KVXmlCursor.h"

namespace kv {

void KVButton::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVWnd::ApplyBase(description, parent);
    auto* button = dynamic_cast<ButtonBase*>(description);
    if (!button)
        return;
    m_normalImage = button->normalImage;
    m_pressedImage = button->downImage;
    m_overImage = button->overImage;
    m_disabledImage = button->disableImage;
    m_pressSound = button->downSound;
    m_hoverSound = button->overSound;
}

void KVButton::ReadXml(KVXmlCursor* cursor)
{
    delete cursor;
}

void KVButton::LoadAssets()
{
    KVRenderer* renderer = g_pKVRenderer;
    if (!renderer)
        return;
    // Every image is added, even with an empty path, so that the indices equal the states.
    KVPoint at{m_pos.x + m_animOffset.x, m_pos.y + m_animOffset.y};
    for (const std::wstring* path : {&m_normalImage, &m_pressedImage, &m_overImage, &m_disabledImage})
        renderer->AddImage(m_uniqueId, *path, at, {0, m_width, 0, m_height});
}

void KVButton::ResetButtonState()
{
    state = kNormal;
    stateLock = false;
    m_hovered = false;
}

void KVButton::ResetDefaults()
{
    KVWnd::ResetDefaults();
    ResetButtonState();
}

void KVButton::OnEnabledChanged(bool enabled)
{
    state = enabled ? kNormal : kDisabled;
}

void KVButton::OnVisibleChanged(bool visible)
{
    if (!visible)
        m_pressed = false;
}

void KVButton::OnResize(int32_t flags)
{
    KVWnd::OnResize(flags);
    if (!(flags & kSizeChanged))
        return;
    if (KVRenderer* renderer = g_pKVRenderer)
        for (int32_t i = kNormal; i <= kDisabled; ++i)
            renderer->SetImageSize(m_uniqueId, i, m_width, m_height);
}

void KVButton::TellInterface(int32_t interfaceState)
{
    if (KVInterface* iface = g_pKVInterface)
        iface->OnButtonState(this, interfaceState);
}

void KVButton::Play(const std::wstring& sound)
{
    if (KVInterface* iface = g_pKVInterface)
        iface->PlaySound(sound);
}

void KVButton::LButtonDown(MouseEventArgs& args)
{
    if (KVSystem* system = KVSystem::GetPtr())
        system->SetCapturedWindow(this);
    KVWnd::LButtonDown(args);
    Play(m_pressSound);
    state = kPressed;
    TellInterface(kIfPressed);
}

void KVButton::LButtonUp(MouseEventArgs& args)
{
    if (KVSystem* system = KVSystem::GetPtr())
        system->SetCapturedWindow(nullptr);
    bool wasPressed = m_pressed;
    if (wasPressed)
        FireEvent(EventLButtonUp, args);
    m_pressed = false;
    if (!wasPressed)
        return;
    if (HitTest(args.x, args.y, false)) {
        if (!stateLock)
            state = kOver;
        TellInterface(kIfOver);
        WindowEventArgs_<KVButton> clicked(this);
        FireEvent(EventClicked, clicked);
    } else {
        TellInterface(kIfNormal);
        if (!stateLock)
            state = kNormal;
    }
}

void KVButton::MouseEnter()
{
    m_hovered = true;
    if (!stateLock)
        state = kOver;
    if (m_pressed) {
        // Coming back over the button with the left button still held shows it pressed.
        state = kPressed;
    } else {
        TellInterface(state == kDisabled ? kIfDisabled : kIfOver);
        Play(m_hoverSound);
    }
    KVWnd::MouseEnter();
}

void KVButton::MouseLeave()
{
    m_hovered = false;
    if (!m_pressed)
        TellInterface(kIfNormal);
    if (!stateLock && m_enabled && (!m_parent || m_parent->IsEnabledRecursive()))
        state = kNormal;
    KVWnd::MouseLeave();
}

void KVButton::OnDraw()
{
    KVRenderer* renderer = g_pKVRenderer;
    if (!renderer)
        return;
    bool disabled = !m_enabled || (m_parent && !m_parent->IsEnabledRecursive());
    renderer->DrawImage(m_uniqueId, disabled ? kDisabled : state, GetAbsolutePosition(), GetEffectiveAlpha(),
                        {m_scaleX, m_scaleY}, 0, {0, 0});
}

} // namespace kv
