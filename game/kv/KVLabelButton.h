// A button that owns a second window, normally a label, built from the description nested in
// its own. The inner window is a part of the button: clicks pass through it to the button.
#pragma once

#include "kv/KVButton.h"

namespace kv {

class KVLabelButton : public KVButton {
public:
    std::wstring GetClassName() const override { return L"KVLabelButton"; }
    std::wstring GetTypeName() const override { return L"LabelButton"; }
    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;

    // The inner window, a child of the button; null when the description nests none.
    KVWnd* GetInnerWindow() const { return m_inner; }

private:
    KVWnd* m_inner = nullptr;
};

} // namespace kv
