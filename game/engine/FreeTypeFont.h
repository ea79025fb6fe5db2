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

class FreeTypeFace {
public:
    FreeTypeFace() = default;
    ~FreeTypeFace() { Close(); }
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;

    // The face keeps its own copy of the bytes for its life.
    bool FromMemory(const uint8_t* bytes, uint32_t length, int size, int dpi);
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
    std::vector<uint8_t> m_FontData;
};

class KVXFreeTypeFont : public KVXFont {
public:
    KVXFreeTypeFont(IDirect3DDevice9* device, ID3DXSprite* sprite, KVXResourceProvider* provider);
    ~KVXFreeTypeFont() override;

    // A file name containing ".ttf" is read through the resource provider; anything else is a
    // family name looked up in the fonts folders.
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
    std::map<uint32_t, std::unique_ptr<GlyphMetrics>> m_Metrics;
    int m_nSize = 0;
};
