// Stack panel: arrangement of the children.
#include "kv/KVStackPanel.h"

#include "kv/KVWndDesc.h"
#include "kv/KVXmlCursor.h"

namespace kv {

void KVStackPanel::Create()
{
    KVWnd::Create();
    Arrange();
}

void KVStackPanel::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVWnd::ApplyBase(description, parent);
    if (auto* panel = dynamic_cast<StackPanelBase*>(description)) {
        hAlign = panel->hAlign.value;
        vAlign = panel->vAlign.value;
    }
}

void KVStackPanel::ReadXml(KVXmlCursor* cursor)
{
    delete cursor;
}

void KVStackPanel::OnResize(int32_t flags)
{
    if (flags & kSizeChanged)
        Arrange();
}

void KVStackPanel::Arrange()
{
    float total = 0;
    for (KVWnd* child : m_children)
        total += child->GetHeight();
    float y = 0;
    if (vAlign == 1)
        y = (m_height - total) * 0.5f;
    else if (vAlign == 2)
        y = m_height - total;
    float x = 0;
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
        KVWnd* child = *it;
        if (hAlign == 0)
            x = 0;
        else if (hAlign == 1)
            x = (m_width - child->GetWidth()) * 0.5f;
        else if (hAlign == 2)
            x = m_width - child->GetWidth();
        child->SetPosition(x, y);
        y += child->GetHeight();
    }
}

} // namespace kv
