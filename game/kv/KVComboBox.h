// The combo box: a drop button, a text area showing the chosen item and a list box that drops
// down. It draws the list's items as text itself and fires "SelChanged" when the choice changes.
#pragma once

#include "kv/KVWnd.h"

#include <cstdint>
#include <string>

namespace kv {

class KVTextArea;
class KVListSC;

class KVComboBox : public KVWnd {
public:
    std::wstring GetClassName() const override { return L"KVComboBox"; }
    std::wstring GetTypeName() const override { return L"ComboBox"; }

    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;
    void ReadXml(KVXmlCursor* cursor) override;
    void Destroy() override;
    bool HitTest(float x, float y, bool includeDisabled) override;
    void ResetDefaults() override;
    void OnVisibleChanged(bool visible) override;
    void OnKillFocus() override;

    virtual void OnTextAreaWheel(EventArgs& args);
    virtual void OnDropButtonClicked(EventArgs& args);
    virtual void OnListSelChanged(EventArgs& args);
    virtual void OnListBeginDrawItem(EventArgs&) {}
    virtual void OnListDrawItem(EventArgs& args);
    virtual void OnListEndDrawItem(EventArgs&) {}

    // Appends an item whose index is its position, and fits the list's scroll bar.
    void AddItem(const std::wstring& text);
    void ClearItems();

    int32_t GetSelectedIndex() const { return m_selectedIndex; }
    bool IsDroppedDown() const { return m_droppedDown; }
    KVWnd* GetDropButton() const { return m_dropButton; }
    KVTextArea* GetTextArea() const { return m_textArea; }
    KVListSC* GetList() const { return m_list; }

private:
    void CloseDropDown();
    void Bind(KVWnd* part, const wchar_t* eventName, void (KVComboBox::*handler)(EventArgs&));

    KVWnd* m_dropButton = nullptr;
    KVTextArea* m_textArea = nullptr;
    KVListSC* m_list = nullptr;
    bool m_droppedDown = false;
    int32_t m_selectedIndex = -1;
    uint32_t m_normalColor = 0;
    uint32_t m_selectColor = 0;
    std::wstring m_fontName;
    int32_t m_fontSize = 0;
};

} // namespace kv
