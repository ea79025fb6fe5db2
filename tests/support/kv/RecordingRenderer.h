// A renderer for UI tests: keeps image groups and animation images by name like the game's
// renderer, and records every call, so tests can check what was drawn, in which order and how.
#pragma once

#include "kv/KVRenderer.h"

#include <map>
#include <string>
#include <vector>

namespace testsupport {

class RecordingRenderer : public kv::KVRenderer {
public:
    struct AnimDraw {
        std::wstring director, scene, asset;
        float alpha;
        kv::KVMatrix transform;
    };
    struct ImageDraw {
        std::wstring group;
        int32_t index;
        kv::KVPoint position;
        float alpha;
        kv::KVPoint scale;
        float rotation;
        kv::KVPoint centre;
    };
    struct AnimImage {
        std::wstring director, scene, asset, path;
        kv::KVRect rect;
    };

    void ReleaseAll() override;
    int32_t ReleaseGroup(const std::wstring& group) override;
    void AddImage(const std::wstring& group, const std::wstring& path, const kv::KVPoint& position,
                  const kv::KVRect& source, const kv::KVRect& display, bool tile) override;
    void AddImage(const std::wstring& group, const std::wstring& path, const kv::KVPoint& position,
                  const kv::KVRect& rect) override;
    void DrawAnimImage(const std::wstring& director, const std::wstring& scene, const std::wstring& asset,
                       float alpha, const kv::KVMatrix& transform) override;
    void DrawImage(const std::wstring& group, int32_t index, const kv::KVPoint& position, float alpha,
                   const kv::KVPoint& scale, float rotation, const kv::KVPoint& centre) override;
    void BeginText(const kv::KVRect& rect) override;
    void EndText() override;
    void SetImageSize(const std::wstring& group, int32_t index, float width, float height) override;
    void ReleaseAllAnimations() override;
    int32_t ReleaseAnimation(const std::wstring& director) override;
    void CreateAnimImage(const std::wstring& director, const std::wstring& scene, const std::wstring& asset,
                         const std::wstring& path, const kv::KVRect& rect) override;
    kv::KVRect CreateAnimText(const std::wstring& director, const std::wstring& scene, const std::wstring& asset,
                              const std::wstring& face, int32_t size, int32_t style, uint32_t colour,
                              const std::wstring& text) override;
    kv::KVRect AliasAnimImage(const std::wstring& director, const std::wstring& scene,
                              const std::wstring& newAsset, const std::wstring& existingAsset) override;

    int32_t ImageCount(const std::wstring& group) const;
    void ClearRecords();

    // One line per call, "Operation arguments", in call order.
    std::vector<std::wstring> calls;
    std::vector<AnimDraw> animDraws;
    std::vector<ImageDraw> imageDraws;
    std::vector<AnimImage> animImages;
    std::vector<std::wstring> animTexts;

private:
    std::map<std::wstring, std::vector<std::wstring>> m_groups;
    std::map<std::wstring, int32_t> m_animationCounts;
};

} // namespace testsupport
