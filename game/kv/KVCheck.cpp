// Check box: normal image at index 0, checked image at index 1; toggles on release over it.
#include "kv/KVCheck.h"

#include "kv/KVInterface.h"
#include "kv/KVRenderer.h"
#include "kv/KVSystem.h"
#include "kv/KVWndDesc.h"
#include "kv/KVXmlCursor.h"

namespace kv {

void KVCheck::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVWnd::ApplyBase(description, parent);
    auto* check = dynamic_cast<CheckBase*>(description);
    if (!check)
        return;
    m_normalImage = check->normalImage;
    m_checkedImage = check->checkImage;
    m_pushSound = check->pushSound.value;
}

void KVCheck::ReadXml(KVXmlCursor* cursor)
{
    delete cursor;
}

void KVCheck::LoadAssets()
{
    KVRenderer* renderer = g_pKVRenderer;
    if (!renderer)
        return;
    KVPoint at{m_pos.x + m_animOffset.x, m_pos.y + m_animOffset.y};
    renderer->AddImage(m_uniqueId, m_normalImage, at, {0, m_width, 0, m_height});
    renderer->AddImage(m_uniqueId, m_checkedImage, at, {0, m_width, 0, m_height});
}

void KVCheck::ResetDefaults()
{
    KVWnd::ResetDefaults();
    checked = false;
}

void KVCheck::LButtonDown(MouseEventArgs& args)
{
    if (KVSystem* system = KVSystem::GetPtr())
        system->SetCapturedWindow(this);
    KVWnd::LButtonDown(args);
    if (KVInterface* iface = g_pKVInterface)
        iface->PlaySound(m_pushSound);
}

void KVCheck::LButtonUp(MouseEventArgs& args)
{
    if (KVSystem* system = KVSystem::GetPtr())
        system->SetCapturedWindow(nullptr);
    if (m_pressed)
        FireEvent(EventLButtonUp, args);
    m_pressed = false;
    // A release over the box toggles it even when the press began elsewhere.
    if (!HitTest(args.x, args.y, false))
        return;
    checked = !checked;
    CheckChangedEventArgs changed;
    changed.sender = this;
    changed.state = checked;
    FireEvent(EventChanged, changed);
}

void KVCheck::OnDraw()
{
    if (KVRenderer* renderer = g_pKVRenderer)
        renderer->DrawImage(m_uniqueId, checked ? 1 : 0, GetAbsolutePosition(), GetEffectiveAlpha(),
                            {m_scaleX, m_scaleY}, 0, {0, 0});
}

} // namespace kv
