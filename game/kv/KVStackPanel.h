// A panel that stacks its children one below the other, aligned horizontally and vertically.
// It arranges them when it is created and whenever it is resized.
#pragma once

#include "kv/KVWnd.h"

#include <cstdint>

namespace kv {

class KVStackPanel : public KVWnd {
public:
    std::wstring GetClassName() const override { return L"KVStackPanel"; }
    std::wstring GetTypeName() const override { return L"StackPanel"; }
    void Create() override;
    void ApplyBase(WndBaseStruct* description, KVWnd* parent) override;
    void ReadXml(KVXmlCursor* cursor) override;
    // Arranges the children on a resize instead of re-anchoring them.
    void OnResize(int32_t flags) override;

    // Places the children from the last to the first, top to bottom, without spacing.
    void Arrange();

    // 0 left / top, 1 centre, 2 right / bottom.
    int32_t hAlign = 0;
    int32_t vAlign = 0;
};

} // namespace kv
