// A grid of equally sized item cells inside a skinned window. It keeps the items, shows the rows
// and columns that fit from a first visible item, tracks the item under the pointer, selects
// items on clicks (single or toggling selection) and leaves drawing each item to its owner
// through the "BeginDrawItem", "DrawItem" and "EndDrawItem" events.
#pragma once

#include "kv/KVWndEx.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kv {

struct KVListItem {
    // Free for the owner; the list never reads it.
    void* userPointer = nullptr;
    // The combo box takes it as the item's index.
    int32_t userValue = 0;
    // The item's text, owned by the item (the combo box draws it).
    std::wstring text;
    // Set at each draw: row * drawn columns + column.
    int32_t displaySlot = 0;
    bool selected = false;
    bool hovered = false;
    // Set at each draw to the list's effective alpha.
    float alpha = 1;
};

class KVList : public KVWndEx {
public:
    static constexpr int32_t kToggleSelection = 1;
    static constexpr int32_t kRightClicksIgnored = 1;

    std::wstring GetClassName() const override { return L"KVList"; }
    std::wstring GetTypeName() const override { return L"Window"; }

    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;
    void ReadXml(KVXmlCursor* cursor) override;
    void ResetDefaults() override;
    void LButtonDown(MouseEventArgs& args) override;
    void RButtonDown(MouseEventArgs& args) override;
    void MouseMove(MouseEventArgs& args) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void OnDraw() override;

    // Owners call these after changing the items, so a list box can fit its scroll bar.
    virtual void OnItemsChanged() {}
    virtual void OnItemsCleared() {}

    // Appends an item and calls OnItemsChanged.
    void AddItem(int32_t userValue, const std::wstring& text);
    void Select(int32_t index);
    void Deselect(int32_t index);
    void DeselectAll();
    // Removes every item and the selection, then calls OnItemsCleared.
    void ClearItems();

    // Drawn columns and rows; {0, 0} while the item size is under one pixel.
    std::pair<int32_t, int32_t> GridSize() const;
    KVRect ItemRect(int32_t column, int32_t row) const;
    // The item shown in a cell (the row stride is the column setting), or -1.
    int32_t ItemAtCell(int32_t column, int32_t row) const;
    // The item whose cell strictly contains the point, or -1.
    int32_t ItemAtPoint(float x, float y) const;

    const std::vector<KVListItem>& GetItems() const { return m_items; }
    KVListItem* GetItem(int32_t index);
    int32_t GetItemCount() const { return static_cast<int32_t>(m_items.size()); }
    // Indices of the selected items, in item order.
    const std::vector<int32_t>& GetSelection() const { return m_selection; }
    int32_t GetFirstVisibleItem() const { return m_firstVisibleItem; }
    bool IsHovered() const { return m_hovered; }

protected:
    // The items per row; a layout without a column setting gets one column.
    int32_t Stride() const { return m_columnSetting < 1 ? 1 : m_columnSetting; }
    int32_t ItemHeightPixels() const { return static_cast<int32_t>(m_itemHeight); }
    int32_t VisibleRows() const;
    int32_t ItemRows() const;

    std::vector<KVListItem> m_items;
    std::vector<int32_t> m_selection;
    float m_drawItemWidth = 0;
    float m_drawItemHeight = 0;
    float m_drawAlpha = 1;
    int32_t m_drawColumns = 0;
    int32_t m_drawRows = 0;
    int32_t m_firstVisibleItem = 0;
    bool m_hovered = false;
    KVRect m_padding;
    int32_t m_columnSetting = 0;
    float m_itemWidth = 0;
    float m_itemHeight = 0;
    int32_t m_selectionMode = 0;
    bool m_deselectable = false;
    int32_t m_rightClickAction = 0;

private:
    void Click(MouseEventArgs& args);
    void FireSelChanged(int32_t index);
    void RebuildSelection();
    void ClearHover();
};

} // namespace kv
