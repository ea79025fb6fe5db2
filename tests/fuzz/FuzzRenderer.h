// A UI renderer and a platform interface that draw and play nothing, for fuzz targets that
// build windows and animations; files are read from the disk by the interface's base operations.
#pragma once

#include "kv/KVInterface.h"
#include "kv/KVRenderer.h"

namespace fuzzsupport {

class NullInterface final : public kv::KVInterface {
public:
    void PlaySound(const std::wstring&) override {}
    void DrawText(const kv::KVTextStyle&, int32_t, int32_t, const std::wstring&) override {}
    kv::KVSize MeasureText(const std::wstring&, const std::wstring& text) override
    {
        return {static_cast<int32_t>(text.size()) * 8, 16};
    }
    void OnButtonState(kv::KVWnd*, int32_t) override {}
};

class NullRenderer final : public kv::KVRenderer {
public:
    void ReleaseAll() override {}
    int32_t ReleaseGroup(const std::wstring&) override { return 0; }
    void AddImage(const std::wstring&, const std::wstring&, const kv::KVPoint&, const kv::KVRect&, const kv::KVRect&,
                  bool) override
    {
    }
    void AddImage(const std::wstring&, const std::wstring&, const kv::KVPoint&, const kv::KVRect&) override {}
    void DrawAnimImage(const std::wstring&, const std::wstring&, const std::wstring&, float,
                       const kv::KVMatrix&) override
    {
    }
    void DrawImage(const std::wstring&, int32_t, const kv::KVPoint&, float, const kv::KVPoint&, float,
                   const kv::KVPoint&) override
    {
    }
    void BeginText(const kv::KVRect&) override {}
    void EndText() override {}
    void SetImageSize(const std::wstring&, int32_t, float, float) override {}
    void ReleaseAllAnimations() override {}
    int32_t ReleaseAnimation(const std::wstring&) override { return 0; }
    void CreateAnimImage(const std::wstring&, const std::wstring&, const std::wstring&, const std::wstring&,
                         const kv::KVRect&) override
    {
    }
    kv::KVRect CreateAnimText(const std::wstring&, const std::wstring&, const std::wstring&, const std::wstring&,
                              int32_t, int32_t, uint32_t, const std::wstring&) override
    {
        return {0, 16, 0, 16};
    }
    kv::KVRect AliasAnimImage(const std::wstring&, const std::wstring&, const std::wstring&,
                              const std::wstring&) override
    {
        return {};
    }
};

} // namespace fuzzsupport
