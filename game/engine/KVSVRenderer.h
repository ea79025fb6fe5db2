// The UI framework's renderer for the game: every image a window or an animation director
// registers becomes a KVSVImage, a textured quad whose texture comes from the texture table by
// bare file name, drawn by queueing one sprite on the frame renderer. Window images live in
// groups named by the windows' unique ids; animation images under the director's name, the
// scene's name and the asset's name.
#pragma once

#include "kv/KVRenderer.h"

#include <d3d9/D3DXMath.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class KVSVImage {
public:
    // Finds the texture by the path's file name with its extension.
    void LoadTexture(const std::wstring& path);
    // The source rectangle from the origin and the size.
    void UpdateSourceRect();
    // Queues the quad with the transform; nothing when hidden or fully transparent.
    void Draw(const D3DXVECTOR3* centre, const D3DXMATRIX& transform) const;

    int32_t m_nTexture = -1;
    RECT m_SourceRect{0, 0, 0, 0};
    float m_fOriginX = 0, m_fOriginY = 0;
    float m_fDepthOffset = 0;
    D3DXVECTOR3 m_vScale{1, 1, 1};
    D3DXVECTOR3 m_vCentre{0, 0, 0};
    float m_fWidth = 0, m_fHeight = 0;
    float m_fExtentX = 0, m_fExtentY = 0;
    float m_fRotation = 0;
    int32_t m_nAlpha = 255;
    std::wstring m_strPath;
    D3DXVECTOR3 m_vPosition{0, 0, 0.1f};
    bool m_bTile = false;
    bool m_bVisible = false;
    bool m_bSizeChanged = false;
};

class KVSVRenderer : public kv::KVRenderer {
public:
    struct AnimImageGroup {
        std::wstring scene;
        // An alias shares the image of the asset it names.
        std::map<std::wstring, std::shared_ptr<KVSVImage>> assets;
    };

    KVSVRenderer() = default;
    ~KVSVRenderer() override;

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
    void BeginText(const kv::KVRect& /*rect*/) override {}
    void EndText() override {}
    void SetImageSize(const std::wstring& group, int32_t index, float width, float height) override;
    void ReleaseAllAnimations() override;
    int32_t ReleaseAnimation(const std::wstring& director) override;
    void CreateAnimImage(const std::wstring& director, const std::wstring& scene, const std::wstring& asset,
                         const std::wstring& path, const kv::KVRect& rect) override;
    kv::KVRect CreateAnimText(const std::wstring& director, const std::wstring& scene, const std::wstring& asset,
                              const std::wstring& face, int32_t size, int32_t style, uint32_t colour,
                              const std::wstring& text) override;
    kv::KVRect AliasAnimImage(const std::wstring& director, const std::wstring& scene, const std::wstring& newAsset,
                              const std::wstring& existingAsset) override;

    // The image at the index of the group, or null.
    KVSVImage* FindImage(const std::wstring& group, int32_t index);
    const std::map<std::wstring, std::vector<AnimImageGroup>>& Animations() const { return m_Animations; }

private:
    void Append(const std::wstring& group, std::unique_ptr<KVSVImage> image);

    // Windows and directors are built on the scene loader thread while the main thread draws.
    std::recursive_mutex m_lock;
    std::map<std::wstring, std::vector<std::unique_ptr<KVSVImage>>> m_Groups;
    std::map<std::wstring, std::vector<AnimImageGroup>> m_Animations;
};
