// The TrueType font of the font manager: a FreeType face at one point size, a metrics cache of
// every glyph rendered so far, and a glyph atlas for drawing. A face comes from a ".ttf" file
// read whole into memory, or by family name from the configured fonts folders.
#pragma once

#include "engine/GlyphAtlas.h"
#include "engine/KVXFont.h"

#include <d3d9/D3DX9.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// One rendered character.
struct GlyphMetrics {
    FT_Glyph glyph = nullptr;
    // The glyph's pixels as coverage bytes, rows of `width` bytes (grey and one-bit bitmaps alike).
    std::vector<uint8_t> coverage;
    int32_t width = 0;
    int32_t rows = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t advance = 0;

    GlyphMetrics() = default;
    GlyphMetrics(const GlyphMetrics&) = delete;
    GlyphMetrics& operator=(const GlyphMetrics&) = delete;
    ~GlyphMetrics();
};

// The bytes of one font file, shared by every face opened on it: FreeType reads a memory face
// from its bytes for the face's whole life, so sizes of one file share one copy.
struct FontFileBytes {
    std::shared_ptr<const uint8_t[]> data;
    uint32_t size = 0;
};

// Reads each font file once and hands its bytes to every font made from it, for as long as one
// of them lives. Safe to use from any thread.
class FontFileShare {
public:
    explicit FontFileShare(KVXResourceProvider* provider) : m_pProvider(provider) {}
    // The file's bytes; null data when the provider cannot read it.
    FontFileBytes Get(const std::string& file);

private:
    struct Held {
        std::weak_ptr<const uint8_t[]> data;
        uint32_t size = 0;
    };
    KVXResourceProvider* m_pProvider;
    std::mutex m_lock;
    std::map<std::string, Held> m_Files;
};

class FreeTypeFace {
public:
    FreeTypeFace() = default;
    ~FreeTypeFace() { Close(); }
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;

    // The face keeps its own copy of the bytes for its life.
    bool FromMemory(const uint8_t* bytes, uint32_t length, int size, int dpi);
    // The face reads from the shared bytes and holds them for its life.
    bool FromMemory(FontFileBytes bytes, int size, int dpi);
    // The first ".ttf" of the fonts folders (in name order, sub-folders included) whose family
    // name equals the name without regard to case.
    bool FromSystemFont(const std::string& familyName, int size, int dpi);
    bool Setup(FT_Library library, FT_Face face, int size, int dpi);
    // False when the face has no glyph for the character or it cannot be rendered.
    bool LoadGlyph(uint32_t character, GlyphMetrics* metrics);
    void Close();

    // The folders searched for faces by family name; by default the current directory and the
    // system's TrueType folder.
    static void SetFontFolders(std::vector<std::string> folders);
    static std::vector<std::string> GetFontFolders();

    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
    int32_t m_nAscender = 0;
    int32_t m_nDescender = 0;
    int32_t m_nLineHeight = 0;
    int32_t m_nSize = 0;
    int32_t m_nDpi = 0;
    FontFileBytes m_FontData;
};

// Measuring and drawing may come from any thread (labels are measured while a scene loads on
// the loader thread, and drawn on the main thread): the face, the metrics and the atlas are used
// under the font's own lock.
class KVXFreeTypeFont : public KVXFont {
public:
    KVXFreeTypeFont(IDirect3DDevice9* device, ID3DXSprite* sprite, KVXResourceProvider* provider,
                    FontFileShare* files = nullptr);
    ~KVXFreeTypeFont() override;

    // A file name containing ".ttf" is read through the file share when there is one (one copy of
    // the file for all its sizes), else through the resource provider; anything else is a family
    // name looked up in the fonts folders.
    bool Load(const std::string& file, int size, int dpi) override;
    std::string GetName() const override;
    int GetSize() const override;
    bool GetGlyph(uint32_t character, GlyphInfo* info, bool forDraw) override;
    // Width: the advances of the characters the face has; height: the line height.
    void Measure(const wchar_t* text, int* width, int* height) override;
    int Draw(int x, int y, D3DCOLOR colour, const wchar_t* text) override;
    void OnLostDevice() override;
    void OnResetDevice() override;

    FreeTypeFace* GetFace() const { return m_pFace.get(); }
    KVXD3D9TexCache* GetGlyphCache() const { return m_pGlyphCache.get(); }

private:
    bool GetMetrics(uint32_t character, GlyphInfo* info);
    bool CreateVertexBuffer();

    std::unique_ptr<KVXD3D9TexCache> m_pGlyphCache;
    std::unique_ptr<FreeTypeFace> m_pFace;
    IDirect3DDevice9* m_pDevice;
    IDirect3DVertexBuffer9* m_pVertexBuffer = nullptr;
    KVXResourceProvider* m_pProvider;
    FontFileShare* m_pFiles;
    std::map<uint32_t, std::unique_ptr<GlyphMetrics>> m_Metrics;
    int m_nSize = 0;
    // Recursive: drawing a new glyph asks the font for its metrics under the same lock.
    std::recursive_mutex m_lock;
};
