// Combo box: its three parts, dropping down, choosing and drawing the items.
#include "kv/KVComboBox.h"

#include "kv/KVInterface.h"
#include "kv/KVListBox.h"
#include "kv/KVSystem.h"
#include "kv/KVTextArea.h"
#include "kv/KVWindowFactory.h"
#include "kv/KVWndDesc.h"
#include "kv/KVXmlCursor.h"

namespace kv {

void KVComboBox::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVWnd::ApplyBase(description, parent);
    m_dropButton = nullptr;
    m_textArea = nullptr;
    m_list = nullptr;
    auto* combo = dynamic_cast<ComboBase*>(description);
    if (!combo)
        return;
    m_normalColor = combo->normalColor.value;
    m_selectColor = combo->selectColor.value;
    m_fontName = combo->fontName.value;
    m_fontSize = combo->fontSize.value;
    if (combo->button) {
        m_dropButton = BuildPartWindow(TakeSubRecord(combo->button), this);
        if (m_dropButton)
            m_dropButton->SetZOrder(-1);
    }
    if (combo->textArea)
        m_textArea = dynamic_cast<KVTextArea*>(BuildPartWindow(TakeSubRecord(combo->textArea), this));
    if (combo->listArea)
        m_list = dynamic_cast<KVListSC*>(BuildPartWindow(TakeSubRecord(combo->listArea), this));
    m_orderDirty = true;
}

void KVComboBox::ReadXml(KVXmlCursor* cursor)
{
    delete cursor;
}

void KVComboBox::Bind(KVWnd* part, const wchar_t* eventName, void (KVComboBox::*handler)(EventArgs&))
{
    if (!part)
        return;
    if (KVWnd* target = FindWindow(part->GetName()))
        target->AddHandler(eventName, MakeHandler(this, handler));
}

void KVComboBox::ResetDefaults()
{
    KVWnd::ResetDefaults();
    m_droppedDown = false;
    m_selectedIndex = -1;
    if (m_list && m_list->IsVisible())
        m_list->SetVisible(false);
    Bind(m_dropButton, EventClicked, &KVComboBox::OnDropButtonClicked);
    Bind(m_textArea, EventMouseWheel, &KVComboBox::OnTextAreaWheel);
    Bind(m_list, EventListSelChanged, &KVComboBox::OnListSelChanged);
    Bind(m_list, EventBeginDrawItem, &KVComboBox::OnListBeginDrawItem);
    Bind(m_list, EventEndDrawItem, &KVComboBox::OnListEndDrawItem);
    Bind(m_list, EventDrawItem, &KVComboBox::OnListDrawItem);
}

void KVComboBox::Destroy()
{
    ClearItems();
    KVWnd::Destroy();
}

void KVComboBox::OnDropButtonClicked(EventArgs&)
{
    m_droppedDown = !m_droppedDown;
    // An open combo box is drawn over its siblings.
    SetZOrder(m_droppedDown ? -1 : 0);
    if (m_list)
        m_list->SetVisible(m_droppedDown);
}

void KVComboBox::CloseDropDown()
{
    m_droppedDown = false;
    SetZOrder(0);
    if (m_list)
        m_list->SetVisible(false);
}

void KVComboBox::OnVisibleChanged(bool)
{
    CloseDropDown();
}

void KVComboBox::OnKillFocus()
{
    KVWnd::OnKillFocus();
    CloseDropDown();
}

void KVComboBox::OnListSelChanged(EventArgs& args)
{
    KVListItem* item = static_cast<ListSelChangedEventArgs&>(args).item;
    if (!item || item->userValue == m_selectedIndex)
        return;
    m_selectedIndex = item->userValue;
    if (m_textArea) {
        m_textArea->Clear();
        m_textArea->AppendText(item->text);
    }
    CloseDropDown();
    WindowEventArgs_<KVComboBox> changed(this);
    FireEvent(EventComboSelChanged, changed);
}

void KVComboBox::OnTextAreaWheel(EventArgs& args)
{
    if (m_selectedIndex == -1 || !m_list)
        return;
    int32_t next = static_cast<MouseEventArgs&>(args).wheel < 0 ? m_selectedIndex + 1 : m_selectedIndex - 1;
    if (next < 0 || next >= m_list->GetItemCount())
        return;
    m_list->Deselect(m_selectedIndex);
    m_list->EnsureVisible(next);
    m_list->Select(next);
}

void KVComboBox::OnListDrawItem(EventArgs& args)
{
    auto& draw = static_cast<ListDrawItemEventArgs&>(args);
    KVSystem* system = KVSystem::GetPtr();
    KVInterface* iface = system ? system->GetInterface() : nullptr;
    if (!draw.item || !iface)
        return;
    KVTextStyle style;
    style.faceName = m_fontName;
    style.size = m_fontSize;
    style.colour = draw.item->hovered || draw.item->selected ? m_selectColor : m_normalColor;
    iface->DrawText(style, static_cast<int32_t>(draw.x), static_cast<int32_t>(draw.y), draw.item->text);
}

void KVComboBox::AddItem(const std::wstring& text)
{
    if (m_list)
        m_list->AddItem(m_list->GetItemCount(), text);
}

void KVComboBox::ClearItems()
{
    m_selectedIndex = -1;
    if (m_textArea)
        m_textArea->Clear();
    if (m_list)
        m_list->ClearItems();
}

bool KVComboBox::HitTest(float x, float y, bool includeDisabled)
{
    if (!m_visible || (!includeDisabled && !m_enabled))
        return false;
    if (m_list && m_list->HitTest(x, y, includeDisabled))
        return true;
    KVRect r = GetHitRect();
    return r.left < x && x < r.right && r.top < y && y < r.bottom;
}

} // namespace kv
