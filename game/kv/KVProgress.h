// A progress bar: one bar image cut to the ratio of a value within a range, growing from the
// left edge (horizontal) or from the bottom edge (vertical). Game code drives it directly or
// through SetRange and SetPos.
#pragma once

#include "kv/KVWnd.h"

#include <cstdint>
#include <string>

namespace kv {

class KVProgress : public KVWnd {
public:
    std::wstring GetClassName() const override { return L"KVProgress"; }
    std::wstring GetTypeName() const override { return L"ProgressBar"; }
    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;
    void ReadXml(KVXmlCursor* cursor) override;
    void LoadAssets() override;
    void ResetDefaults() override;
    void OnDraw() override;

    // Stores the range, then clamps the value into it.
    void SetRange(int32_t newMinimum, int32_t newMaximum);
    // Stores the value clamped into the range.
    void SetPos(int32_t newValue);
    // (value - minimum) / (maximum - minimum), not clamped; 0 for an empty range.
    float GetRatio() const;

    bool horizontal = true;
    int32_t minimum = 0;
    int32_t maximum = 100;
    int32_t value = 50;

private:
    std::wstring m_barImage;
    KVPoint m_barTex;
};

} // namespace kv
