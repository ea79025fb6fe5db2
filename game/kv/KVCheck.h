// A two-image toggle: every left-button release over it flips `checked` and fires "Changed".
#pragma once

#include "kv/KVWnd.h"

#include <string>

namespace kv {

class KVCheck : public KVWnd {
public:
    std::wstring GetClassName() const override { return L"KVCheck"; }
    std::wstring GetTypeName() const override { return L"CheckBox"; }
    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;
    void ReadXml(KVXmlCursor* cursor) override;
    void LoadAssets() override;
    void ResetDefaults() override;
    void LButtonDown(MouseEventArgs& args) override;
    void LButtonUp(MouseEventArgs& args) override;
    void OnDraw() override;

    // Writing it directly fires nothing.
    bool checked = false;

private:
    std::wstring m_normalImage;
    std::wstring m_checkedImage;
    std::wstring m_pushSound;
};

} // namespace kv
