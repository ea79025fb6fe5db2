// Glyph atlas pages, their row allocators, and the font's texture cache over them.
#include "engine/GlyphAtlas.h"

#include "engine/FreeTypeFont.h"

#include <helvane/DXUtil.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr D3DCOLOR kClearTexel = 0x00FFFFFF;

} // namespace

// ---- row allocator ----------------------------------------------------------------------------

void GlyphRowAllocator::Reset()
{
    m_spans.assign(1, Span{true, m_width});
}

int32_t GlyphRowAllocator::Allocate(int32_t width)
{
    if (width < 0)
        return -1;
    int32_t left = 0;
    for (auto span = m_spans.begin(); span != m_spans.end(); ++span) {
        if (span->free && span->width >= width) {
            m_spans.insert(span, Span{false, width});
            span->width -= width;
            return left;
        }
        left += span->width;
    }
    return -1;
}

// ---- page -------------------------------------------------------------------------------------

GlyphAtlasPage::~GlyphAtlasPage()
{
    ReleaseTexture();
}

bool GlyphAtlasPage::Init(int32_t rowHeight)
{
    m_Rows.clear();
    if (rowHeight <= 0 || !CreateTexture())
        return false;
    return SetRows(rowHeight);
}

bool GlyphAtlasPage::SetRows(int32_t rowHeight)
{
    m_Rows.clear();
    m_nRowHeight = rowHeight;
    if (rowHeight <= 0)
        return false;
    for (int32_t i = 0; i < m_nHeight / rowHeight; ++i)
        m_Rows.push_back(std::make_unique<GlyphRowAllocator>(m_nWidth));
    return true;
}

void GlyphAtlasPage::ResetRows()
{
    for (auto& row : m_Rows)
        row->Reset();
}

void GlyphAtlasPage::ReleaseTexture()
{
    ReleaseAndClear(m_pTexture);
}

bool GlyphAtlasPage::CreateTexture()
{
    ReleaseTexture();
    if (!m_pDevice || FAILED(m_pDevice->CreateTexture(m_nWidth, m_nHeight, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8,
                                                      D3DPOOL_DEFAULT, &m_pTexture, nullptr))) {
        m_pTexture = nullptr;
        return false;
    }
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(m_pTexture->LockRect(0, &locked, nullptr, 0))) {
        for (int32_t y = 0; y < m_nHeight; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
            std::fill(row, row + m_nWidth, kClearTexel);
        }
        m_pTexture->UnlockRect(0);
    }
    return true;
}

// ---- atlas ------------------------------------------------------------------------------------

bool GlyphAtlas::Init(int32_t rowHeight)
{
    m_nRowHeight = rowHeight;
    m_Pages.clear();
    if (rowHeight <= 0)
        return false;
    for (int i = 0; i < kPages; ++i) {
        m_Pages.push_back(std::make_unique<GlyphAtlasPage>(m_pDevice));
        m_Pages.back()->SetRows(rowHeight);
    }
    return true;
}

bool GlyphAtlas::Place(int32_t width, GlyphAtlasPage** page, RECT* rect)
{
    for (auto& candidate : m_Pages) {
        // A page without its texture holds no glyph yet: it gets the texture with this one.
        if (!candidate->m_pTexture &&
            (candidate->m_Rows.empty() || width > candidate->m_nWidth || !candidate->CreateTexture()))
            continue;
        for (size_t r = 0; r < candidate->m_Rows.size(); ++r) {
            int32_t x = candidate->m_Rows[r]->Allocate(width);
            if (x < 0)
                continue;
            int32_t top = static_cast<int32_t>(r) * m_nRowHeight;
            *page = candidate.get();
            *rect = RECT{x, top, x + width, top + m_nRowHeight};
            return true;
        }
    }
    return false;
}

bool GlyphAtlas::GetGlyph(uint32_t character, GlyphInfo* info)
{
    auto known = m_Entries.find(character);
    if (known != m_Entries.end()) {
        *info = known->second;
        return true;
    }
    GlyphInfo metrics;
    if (!m_pFont->GetGlyph(character, &metrics, false))
        return false;
    GlyphAtlasPage* page = nullptr;
    RECT rect{};
    if (!Place(metrics.width, &page, &rect))
        return false;
    // A glyph taller than the row is cut at the row's foot, so it never reaches into the glyphs
    // of the next row or below the page.
    int32_t height = std::min(metrics.height, m_nRowHeight);
    rect.bottom = rect.top + height;
    if (metrics.width > 0 && height > 0 && page->m_pTexture)
        Upload(page->m_pTexture, rect, static_cast<const uint8_t*>(metrics.pixels), metrics.width);

    GlyphInfo placed = metrics;
    placed.height = height;
    placed.texture = page->m_pTexture;
    placed.pixels = nullptr;
    const float size = static_cast<float>(GlyphAtlasPage::kSize);
    placed.srcLeft = rect.left / size;
    placed.srcTop = rect.top / size;
    placed.srcRight = rect.right / size;
    placed.srcBottom = rect.bottom / size;
    m_Entries[character] = placed;
    *info = placed;
    return true;
}

void GlyphAtlas::Upload(IDirect3DTexture9* texture, const RECT& rect, const uint8_t* coverage, int32_t pitch)
{
    if (!coverage)
        return;
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, &rect, D3DLOCK_NO_DIRTY_UPDATE)))
        return;
    for (int32_t y = 0; y < rect.bottom - rect.top; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
        const uint8_t* source = coverage + static_cast<ptrdiff_t>(y) * pitch;
        for (int32_t x = 0; x < rect.right - rect.left; ++x)
            row[x] = (static_cast<uint32_t>(source[x]) << 24) | 0xFFFFFFu;
    }
    texture->UnlockRect(0);
}

void GlyphAtlas::OnLostDevice()
{
    m_Entries.clear();
    for (auto& page : m_Pages) {
        page->ResetRows();
        page->ReleaseTexture();
    }
}

void GlyphAtlas::OnResetDevice()
{
    // The emptied pages get their textures again with their first glyphs.
}

// ---- texture cache ----------------------------------------------------------------------------

bool KVXD3D9TexCache::Init(int32_t rowHeight)
{
    m_pAtlas = std::make_unique<GlyphAtlas>(m_pDevice, m_pFont);
    return m_pAtlas->Init(rowHeight);
}

bool KVXD3D9TexCache::GetGlyph(uint32_t character, GlyphInfo* info)
{
    return m_pAtlas && m_pAtlas->GetGlyph(character, info);
}

void KVXD3D9TexCache::OnLostDevice()
{
    if (m_pAtlas)
        m_pAtlas->OnLostDevice();
}

void KVXD3D9TexCache::OnResetDevice()
{
    if (m_pAtlas)
        m_pAtlas->OnResetDevice();
}
