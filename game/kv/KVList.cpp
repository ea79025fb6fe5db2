// List: grid geometry, owner drawing, hover tracking and click selection.
#include "kv/KVList.h"

#include "kv/KVWndDesc.h"
#include "kv/KVXmlCursor.h"

#include <algorithm>

namespace kv {

void KVList::ApplyBase(WndBaseStruct* description, KVWnd* parent)
{
    KVWndEx::ApplyBase(description, parent);
    auto* list = dynamic_cast<ListBase*>(description);
    if (!list)
        return;
    m_padding = list->padding;
    m_columnSetting = list->column;
    m_itemWidth = list->itemRect.right - list->itemRect.left;
    m_itemHeight = list->itemRect.bottom - list->itemRect.top;
    m_selectionMode = list->selection;
    m_deselectable = list->deselectable;
    m_rightClickAction = list->rclickAction;
}

void KVList::ReadXml(KVXmlCursor* cursor)
{
    delete cursor;
}

void KVList::ResetDefaults()
{
    KVWndEx::ResetDefaults();
    m_firstVisibleItem = 0;
    m_hovered = false;
}

std::pair<int32_t, int32_t> KVList::GridSize() const
{
    int32_t availableWidth = static_cast<int32_t>(GetWidth() - m_padding.right - m_padding.left);
    int32_t itemWidth = std::min(static_cast<int32_t>(m_itemWidth), availableWidth);
    int32_t itemHeight = ItemHeightPixels();
    // Cells under one pixel show nothing (and divide nothing by zero).
    if (itemWidth < 1 || itemHeight < 1)
        return {0, 0};
    int32_t columns = std::min(Stride(), availableWidth / itemWidth);
    int32_t rows = static_cast<int32_t>(GetHeight() - m_padding.bottom - m_padding.top) / itemHeight;
    return {std::max(columns, 0), std::max(rows, 0)};
}

KVRect KVList::ItemRect(int32_t column, int32_t row) const
{
    KVPoint a = GetAbsolutePosition();
    float left = a.x + m_padding.left + static_cast<float>(column) * m_itemWidth;
    float top = a.y + m_padding.top + static_cast<float>(row) * m_itemHeight;
    return {left, left + m_itemWidth, top, top + m_itemHeight};
}

int32_t KVList::ItemAtCell(int32_t column, int32_t row) const
{
    int32_t index = row * Stride() + m_firstVisibleItem + column;
    return index >= 0 && index < GetItemCount() ? index : -1;
}

int32_t KVList::ItemAtPoint(float x, float y) const
{
    auto [columns, rows] = GridSize();
    for (int32_t row = 0; row < rows; ++row)
        for (int32_t column = 0; column < columns; ++column) {
            int32_t index = ItemAtCell(column, row);
            if (index < 0)
                continue;
            KVRect r = ItemRect(column, row);
            if (r.left < x && x < r.right && r.top < y && y < r.bottom)
                return index;
        }
    return -1;
}

KVListItem* KVList::GetItem(int32_t index)
{
    if (index < 0 || index >= GetItemCount())
        return nullptr;
    return &m_items[static_cast<size_t>(index)];
}

int32_t KVList::VisibleRows() const
{
    int32_t itemHeight = ItemHeightPixels();
    if (itemHeight < 1)
        return 0;
    return static_cast<int32_t>(GetHeight() - m_padding.bottom - m_padding.top) / itemHeight;
}

int32_t KVList::ItemRows() const
{
    return (GetItemCount() + Stride() - 1) / Stride();
}

void KVList::OnDraw()
{
    KVWndEx::OnDraw();
    if (m_items.empty())
        return;
    auto [columns, rows] = GridSize();
    m_drawItemWidth = m_itemWidth;
    m_drawItemHeight = m_itemHeight;
    m_drawAlpha = GetEffectiveAlpha();
    m_drawColumns = columns;
    m_drawRows = rows;
    WindowEventArgs_<KVList> frame(this);
    FireEvent(EventBeginDrawItem, frame);
    for (int32_t row = 0; row < rows; ++row)
        for (int32_t column = 0; column < columns; ++column) {
            int32_t index = ItemAtCell(column, row);
            if (index < 0) {
                WindowEventArgs_<KVList> end(this);
                FireEvent(EventEndDrawItem, end);
                return;
            }
            KVListItem& item = m_items[static_cast<size_t>(index)];
            item.displaySlot = row * columns + column;
            item.alpha = m_drawAlpha;
            KVRect cell = ItemRect(column, row);
            ListDrawItemEventArgs args;
            args.sender = this;
            args.item = &item;
            args.x = cell.left;
            args.y = cell.top;
            FireEvent(EventDrawItem, args);
        }
    WindowEventArgs_<KVList> end(this);
    FireEvent(EventEndDrawItem, end);
}

void KVList::ClearHover()
{
    for (KVListItem& item : m_items)
        item.hovered = false;
}

void KVList::MouseMove(MouseEventArgs& args)
{
    KVWndEx::MouseMove(args);
    if (!m_hovered || m_items.empty())
        return;
    int32_t index = ItemAtPoint(args.x, args.y);
    if (index < 0) {
        ClearHover();
        return;
    }
    KVListItem& item = m_items[static_cast<size_t>(index)];
    if (!item.hovered) {
        ClearHover();
        item.hovered = true;
    }
}

void KVList::MouseEnter()
{
    KVWndEx::MouseEnter();
    m_hovered = true;
}

void KVList::MouseLeave()
{
    KVWndEx::MouseLeave();
    m_hovered = false;
    ClearHover();
}

void KVList::LButtonDown(MouseEventArgs& args)
{
    KVWndEx::LButtonDown(args);
    Click(args);
}

void KVList::RButtonDown(MouseEventArgs& args)
{
    FireEvent(EventRButtonDown, args);
    Click(args);
}

void KVList::Click(MouseEventArgs& args)
{
    if (m_items.empty())
        return;
    bool right = args.button == 1;
    if (right && m_rightClickAction == kRightClicksIgnored)
        return;
    int32_t index = ItemAtPoint(args.x, args.y);
    if (index < 0)
        return;
    KVListItem& item = m_items[static_cast<size_t>(index)];
    bool was = item.selected;
    if (m_selectionMode == kToggleSelection) {
        if (!item.selected)
            item.selected = true;
        else if (!right)
            item.selected = false;
    } else if (m_deselectable && !right) {
        if (item.selected) {
            item.selected = false;
        } else {
            DeselectAll();
            item.selected = true;
        }
    } else if (!item.selected) {
        DeselectAll();
        item.selected = true;
    }
    RebuildSelection();
    if (item.selected != was)
        FireSelChanged(index);
}

void KVList::RebuildSelection()
{
    m_selection.clear();
    for (int32_t i = 0; i < GetItemCount(); ++i)
        if (m_items[static_cast<size_t>(i)].selected)
            m_selection.push_back(i);
}

void KVList::FireSelChanged(int32_t index)
{
    ListSelChangedEventArgs args;
    args.sender = this;
    args.item = &m_items[static_cast<size_t>(index)];
    FireEvent(EventListSelChanged, args);
}

void KVList::AddItem(int32_t userValue, const std::wstring& text)
{
    KVListItem item;
    item.userValue = userValue;
    item.text = text;
    m_items.push_back(item);
    OnItemsChanged();
}

void KVList::Select(int32_t index)
{
    KVListItem* item = GetItem(index);
    if (!item || item->selected)
        return;
    item->selected = true;
    m_selection.push_back(index);
    FireSelChanged(index);
}

void KVList::Deselect(int32_t index)
{
    KVListItem* item = GetItem(index);
    if (!item || !item->selected)
        return;
    item->selected = false;
    m_selection.erase(std::remove(m_selection.begin(), m_selection.end(), index), m_selection.end());
}

void KVList::DeselectAll()
{
    for (int32_t i = 0; i < GetItemCount(); ++i) {
        KVListItem& item = m_items[static_cast<size_t>(i)];
        if (item.selected) {
            item.selected = false;
            FireSelChanged(i);
        }
    }
    m_selection.clear();
}

void KVList::ClearItems()
{
    m_items.clear();
    m_selection.clear();
    OnItemsCleared();
}

} // namespace kv
