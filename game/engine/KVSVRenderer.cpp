// The UI framework's renderer for the game, over the frame renderer's sprite queue.
#include "engine/KVSVRenderer.h"

#include "engine/FrameGraphics.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

int32_t AlphaByte(float alpha)
{
    return std::clamp(static_cast<int32_t>(alpha * 255.0f), 0, 255);
}

D3DCOLOR ImageColour(int32_t alpha)
{
    return (static_cast<D3DCOLOR>(alpha) << 24) | 0xFFFFFFu;
}

// The file name with its extension: directories in either separator are dropped.
std::wstring BareFileName(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"/\\");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

} // namespace

// ---- image ------------------------------------------------------------------------------------

void KVSVImage::LoadTexture(const std::wstring& path)
{
    m_strPath = path;
    m_nTexture = GetFrameGraphics().GetTextureHandle(BareFileName(path), true);
}

void KVSVImage::UpdateSourceRect()
{
    m_SourceRect = RECT{static_cast<LONG>(m_fOriginX), static_cast<LONG>(m_fOriginY),
                        static_cast<LONG>(m_fOriginX + m_fWidth), static_cast<LONG>(m_fOriginY + m_fHeight)};
}

void KVSVImage::Draw(const D3DXVECTOR3* centre, const D3DXMATRIX& transform) const
{
    if (!m_bVisible || m_nAlpha == 0)
        return;
    FrameGraphics& graphics = GetFrameGraphics();
    graphics.DrawSprite(graphics.GetTexture(m_nTexture), &m_SourceRect, centre, nullptr, ImageColour(m_nAlpha),
                        &transform);
}

// ---- renderer ---------------------------------------------------------------------------------

KVSVRenderer::~KVSVRenderer()
{
    ReleaseAll();
    ReleaseAllAnimations();
}

void KVSVRenderer::ReleaseAll()
{
    std::lock_guard guard(m_lock);
    m_Groups.clear();
}

int32_t KVSVRenderer::ReleaseGroup(const std::wstring& group)
{
    std::lock_guard guard(m_lock);
    return m_Groups.erase(group) ? 1 : 0;
}

void KVSVRenderer::Append(const std::wstring& group, std::unique_ptr<KVSVImage> image)
{
    std::lock_guard guard(m_lock);
    m_Groups[group].push_back(std::move(image));
}

void KVSVRenderer::AddImage(const std::wstring& group, const std::wstring& path, const kv::KVPoint&,
                            const kv::KVRect& source, const kv::KVRect& display, bool tile)
{
    auto image = std::make_unique<KVSVImage>();
    image->m_fWidth = display.right - display.left;
    image->m_fHeight = display.bottom - display.top;
    image->m_fExtentX = source.right;
    image->m_fExtentY = source.bottom;
    image->m_bTile = tile;
    image->UpdateSourceRect();
    image->LoadTexture(path);
    image->m_bVisible = true;
    Append(group, std::move(image));
}

void KVSVRenderer::AddImage(const std::wstring& group, const std::wstring& path, const kv::KVPoint&,
                            const kv::KVRect& rect)
{
    auto image = std::make_unique<KVSVImage>();
    image->m_fWidth = rect.right - rect.left;
    image->m_fHeight = rect.bottom - rect.top;
    image->UpdateSourceRect();
    image->LoadTexture(path);
    image->m_bVisible = true;
    Append(group, std::move(image));
}

KVSVImage* KVSVRenderer::FindImage(const std::wstring& group, int32_t index)
{
    std::lock_guard guard(m_lock);
    auto found = m_Groups.find(group);
    if (found == m_Groups.end() || index < 0 || index >= static_cast<int32_t>(found->second.size()))
        return nullptr;
    return found->second[index].get();
}

void KVSVRenderer::DrawImage(const std::wstring& group, int32_t index, const kv::KVPoint& position, float alpha,
                             const kv::KVPoint& scale, float, const kv::KVPoint& centre)
{
    std::lock_guard guard(m_lock);
    // A group or index the framework never added draws nothing.
    KVSVImage* image = FindImage(group, index);
    if (!image)
        return;
    image->m_vPosition = D3DXVECTOR3(position.x, position.y, 0.1f);
    image->m_nAlpha = AlphaByte(alpha);
    image->m_vScale = D3DXVECTOR3(scale.x, scale.y, 1.0f);
    image->m_vCentre = D3DXVECTOR3(image->m_fWidth * centre.x, image->m_fHeight * centre.y, 0.0f);

    D3DXMATRIX scaling, rotation, translation, transform;
    D3DXMatrixScaling(&scaling, image->m_vScale.x, image->m_vScale.y, image->m_vScale.z);
    D3DXMatrixRotationZ(&rotation, image->m_fRotation * kDegreesToRadians);
    D3DXMatrixTranslation(&translation, image->m_vPosition.x, image->m_vPosition.y, image->m_vPosition.z);
    D3DXMatrixMultiply(&transform, &scaling, &rotation);
    D3DXMatrixMultiply(&transform, &transform, &translation);
    image->Draw(&image->m_vCentre, transform);
}

void KVSVRenderer::SetImageSize(const std::wstring& group, int32_t index, float width, float height)
{
    std::lock_guard guard(m_lock);
    KVSVImage* image = FindImage(group, index);
    if (!image)
        return;
    image->m_fWidth = width;
    image->m_fHeight = height;
    image->UpdateSourceRect();
    image->m_bSizeChanged = true;
}

void KVSVRenderer::DrawAnimImage(const std::wstring& director, const std::wstring& scene, const std::wstring& asset,
                                 float alpha, const kv::KVMatrix& transform)
{
    std::lock_guard guard(m_lock);
    auto found = m_Animations.find(director);
    if (found == m_Animations.end())
        return;
    D3DXMATRIX matrix;
    std::memcpy(matrix.m, transform.m, sizeof matrix.m);
    matrix._43 = 0.0f;
    for (AnimImageGroup& group : found->second) {
        if (group.scene != scene)
            continue;
        auto image = group.assets.find(asset);
        if (image == group.assets.end() || !image->second)
            continue;
        image->second->m_nAlpha = AlphaByte(alpha);
        image->second->Draw(nullptr, matrix);
    }
}

void KVSVRenderer::ReleaseAllAnimations()
{
    std::lock_guard guard(m_lock);
    m_Animations.clear();
}

int32_t KVSVRenderer::ReleaseAnimation(const std::wstring& director)
{
    std::lock_guard guard(m_lock);
    return m_Animations.erase(director) ? 1 : 0;
}

void KVSVRenderer::CreateAnimImage(const std::wstring& director, const std::wstring& scene, const std::wstring& asset,
                                   const std::wstring& path, const kv::KVRect& rect)
{
    auto image = std::make_shared<KVSVImage>();
    image->m_fOriginX = rect.left;
    image->m_fOriginY = rect.top;
    image->m_fWidth = rect.right - rect.left;
    image->m_fHeight = rect.bottom - rect.top;
    image->UpdateSourceRect();
    image->LoadTexture(path);
    image->m_bVisible = true;

    std::lock_guard guard(m_lock);
    std::vector<AnimImageGroup>& groups = m_Animations[director];
    auto group = std::find_if(groups.begin(), groups.end(), [&](const AnimImageGroup& g) { return g.scene == scene; });
    if (group != groups.end())
        group->assets[asset] = std::move(image);
    else
        groups.push_back(AnimImageGroup{scene, {{asset, std::move(image)}}});
}

kv::KVRect KVSVRenderer::CreateAnimText(const std::wstring&, const std::wstring&, const std::wstring&,
                                        const std::wstring&, int32_t, int32_t, uint32_t, const std::wstring&)
{
    // Text assets of UI animations are not shown.
    return kv::KVRect{};
}

kv::KVRect KVSVRenderer::AliasAnimImage(const std::wstring& director, const std::wstring& scene,
                                        const std::wstring& newAsset, const std::wstring& existingAsset)
{
    std::lock_guard guard(m_lock);
    auto found = m_Animations.find(director);
    if (found == m_Animations.end())
        return kv::KVRect{};
    for (AnimImageGroup& group : found->second) {
        if (group.scene != scene)
            continue;
        auto existing = group.assets.find(existingAsset);
        group.assets[newAsset] = existing == group.assets.end() ? nullptr : existing->second;
        break;
    }
    return kv::KVRect{0, 100, 0, 100};
}
