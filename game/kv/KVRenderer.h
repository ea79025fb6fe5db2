// The renderer the program supplies. The framework keeps no image handles: window images live in
// groups named by the window's unique id and are numbered in the order they are added; animation
// images are addressed by director, scene and asset name.
#pragma once

#include "kv/KVTypes.h"

#include <cstdint>
#include <string>

namespace kv {

class KVRenderer {
public:
    virtual ~KVRenderer() = default;

    virtual void ReleaseAll() = 0;
    // 1 when the group existed, 0 otherwise.
    virtual int32_t ReleaseGroup(const std::wstring& group) = 0;
    // Appends one image to the group; its index is the number of images the group held before.
    virtual void AddImage(const std::wstring& group, const std::wstring& path, const KVPoint& position,
                          const KVRect& source, const KVRect& display, bool tile) = 0;
    virtual void AddImage(const std::wstring& group, const std::wstring& path, const KVPoint& position,
                          const KVRect& rect) = 0;
    virtual void DrawAnimImage(const std::wstring& director, const std::wstring& scene, const std::wstring& asset,
                               float alpha, const KVMatrix& transform) = 0;
    // centre is given as fractions of the image size; rotation is the window's rotation value.
    virtual void DrawImage(const std::wstring& group, int32_t index, const KVPoint& position, float alpha,
                           const KVPoint& scale, float rotation, const KVPoint& centre) = 0;
    virtual void BeginText(const KVRect& rect) = 0;
    virtual void EndText() = 0;
    virtual void SetImageSize(const std::wstring& group, int32_t index, float width, float height) = 0;
    virtual void ReleaseAllAnimations() = 0;
    // 1 when the director had images, 0 otherwise.
    virtual int32_t ReleaseAnimation(const std::wstring& director) = 0;
    // The image is cut from the file at the rectangle's left and top; its size is the displayed size.
    virtual void CreateAnimImage(const std::wstring& director, const std::wstring& scene, const std::wstring& asset,
                                 const std::wstring& path, const KVRect& rect) = 0;
    virtual KVRect CreateAnimText(const std::wstring& director, const std::wstring& scene, const std::wstring& asset,
                                  const std::wstring& face, int32_t size, int32_t style, uint32_t colour,
                                  const std::wstring& text) = 0;
    // A second asset name for an existing image; the framework never calls it.
    virtual KVRect AliasAnimImage(const std::wstring& director, const std::wstring& scene,
                                  const std::wstring& newAsset, const std::wstring& existingAsset) = 0;
};

} // namespace kv
