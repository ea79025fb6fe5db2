// A list with scroll bars: the vertical bar decides the first visible row, the wheel moves it by
// one row, and EnsureVisible brings an item's row to the top where possible.
#pragma once

#include "kv/KVList.h"

namespace kv {

class KVScrollBar;

class KVListSC : public KVList {
public:
    std::wstring GetClassName() const override { return L"KVListSC"; }
    std::wstring GetTypeName() const override { return L"ListBox"; }

    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;
    bool HitTest(float x, float y, bool includeDisabled) override;
    void ResetDefaults() override;
    void MouseWheel(MouseEventArgs& args) override;
    void OnItemsChanged() override { SyncScrollBar(); }
    void OnItemsCleared() override { SyncScrollBar(); }

    virtual void OnHScroll(EventArgs& args);
    virtual void OnVScroll(EventArgs& args);

    void EnsureVisible(int32_t index);
    KVScrollBar* GetHScrollBar() const { return m_hScrollBar; }
    KVScrollBar* GetVScrollBar() const { return m_vScrollBar; }

private:
    bool ScrollNeeded() const;
    void SyncScrollBar();

    KVScrollBar* m_hScrollBar = nullptr;
    KVScrollBar* m_vScrollBar = nullptr;
};

} // namespace kv
