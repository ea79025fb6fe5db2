// The glyph atlas of a FreeType font: two 512 x 512 textures divided into rows as tall as the
// font's line height, where glyphs are placed left to right in the first row and page with room.
// Nothing is evicted; a lost device empties the atlas and glyphs are uploaded again as they are
// drawn. A page's texture exists only while glyphs are on it.
#pragma once

#include "engine/KVXFont.h"

#include <list>
#include <map>
#include <memory>
#include <vector>

class KVXFreeTypeFont;

// The spans of one atlas row, covering its width from left to right. Spans are never freed.
class GlyphRowAllocator {
public:
    struct Span {
        bool free;
        int32_t width;
    };

    explicit GlyphRowAllocator(int32_t width = 512) : m_width(width) { Reset(); }
    // One free span over the whole row.
    void Reset();
    // First fit: the left edge of a new used span of the width, or -1 when no free span is
    // wide enough. A zero width takes an empty span at the first free span.
    int32_t Allocate(int32_t width);
    const std::list<Span>& Spans() const { return m_spans; }

private:
    int32_t m_width;
    std::list<Span> m_spans;
};

class GlyphAtlasPage {
public:
    static constexpr int32_t kSize = 512;

    explicit GlyphAtlasPage(IDirect3DDevice9* device) : m_pDevice(device) {}
    ~GlyphAtlasPage();
    GlyphAtlasPage(const GlyphAtlasPage&) = delete;
    GlyphAtlasPage& operator=(const GlyphAtlasPage&) = delete;

    // Creates the cleared texture and kSize / row height rows; false (and no rows) when the
    // texture cannot be made or the row height is not positive.
    bool Init(int32_t rowHeight);
    // The rows alone; the texture is made when the first glyph is placed on the page. False
    // (and no rows) when the row height is not positive.
    bool SetRows(int32_t rowHeight);
    // Empties every row.
    void ResetRows();
    void ReleaseTexture();
    // A new cleared texture for the same rows.
    bool CreateTexture();

    IDirect3DDevice9* m_pDevice;
    IDirect3DTexture9* m_pTexture = nullptr;
    int32_t m_nWidth = kSize;
    int32_t m_nHeight = kSize;
    int32_t m_nRowHeight = 0;
    std::vector<std::unique_ptr<GlyphRowAllocator>> m_Rows;
};

class GlyphAtlas {
public:
    static constexpr int kPages = 2;

    GlyphAtlas(IDirect3DDevice9* device, KVXFreeTypeFont* font) : m_pDevice(device), m_pFont(font) {}
    // Divides both pages into rows; false when the row height is not positive. A page gets its
    // texture with its first glyph, so a font that draws little never holds the second page,
    // and one that never draws holds none.
    bool Init(int32_t rowHeight);
    // The glyph's place in the atlas, uploading it on first use; false when the font lacks the
    // character or both pages are full.
    bool GetGlyph(uint32_t character, GlyphInfo* info);
    void OnLostDevice();
    void OnResetDevice();

    IDirect3DDevice9* m_pDevice;
    std::vector<std::unique_ptr<GlyphAtlasPage>> m_Pages;
    int32_t m_nRowHeight = 0;
    KVXFreeTypeFont* m_pFont;
    std::map<uint32_t, GlyphInfo> m_Entries;

private:
    bool Place(int32_t width, GlyphAtlasPage** page, RECT* rect);
    static void Upload(IDirect3DTexture9* texture, const RECT& rect, const uint8_t* coverage, int32_t pitch);
};

class KVXGlyphCache {
public:
    virtual ~KVXGlyphCache() = default;
    virtual bool GetGlyph(uint32_t /*character*/, GlyphInfo* /*info*/) { return false; }
    virtual void OnLostDevice() {}
    virtual void OnResetDevice() {}
};

// The glyph cache of a FreeType font on a Direct3D device: the atlas.
class KVXD3D9TexCache : public KVXGlyphCache {
public:
    KVXD3D9TexCache(KVXFreeTypeFont* font, IDirect3DDevice9* device) : m_pFont(font), m_pDevice(device) {}
    bool Init(int32_t rowHeight);
    bool GetGlyph(uint32_t character, GlyphInfo* info) override;
    void OnLostDevice() override;
    void OnResetDevice() override;
    GlyphAtlas* GetAtlas() const { return m_pAtlas.get(); }

private:
    KVXFreeTypeFont* m_pFont;
    std::unique_ptr<GlyphAtlas> m_pAtlas;
    IDirect3DDevice9* m_pDevice;
};
