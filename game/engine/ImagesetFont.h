// A bitmap font whose glyphs are rectangles of one image, described by an ".imageset" XML file:
// root "Imageset" with the font's "Name" and its "Imagefile", one child element per glyph with
// its one-character "Name" and "XPos", "YPos", "Width", "Height", "YOffset".
#pragma once

#include "engine/KVXFont.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class KVXImagesetFont : public KVXFont {
public:
    struct Glyph {
        int32_t yOffsetPlusHeight = 0;
        int32_t x = 0, y = 0, width = 0, height = 0;
        // The glyph's pixels copied from the image (width per row); empty when they could not be read.
        std::vector<uint32_t> pixels;
    };

    explicit KVXImagesetFont(KVXResourceProvider* provider);

    // False when the file cannot be read, is not well-formed XML or has no "Imageset" root.
    bool Load(const std::string& file, int size, int dpi) override;
    // Reads an imageset from bytes already in memory (what Load does after reading the file).
    bool LoadFromMemory(const char* bytes, size_t length);
    std::string GetName() const override { return m_strName; }
    bool GetGlyph(uint32_t character, GlyphInfo* info, bool forDraw) override;
    // Width: the advances of the characters with a glyph; height: the tallest of them.
    void Measure(const wchar_t* text, int* width, int* height) override;
    int Draw(int x, int y, D3DCOLOR colour, const wchar_t* text) override;

    const std::map<int32_t, std::unique_ptr<Glyph>>& Glyphs() const { return m_Glyphs; }

    // Glyph sides above this are refused: no imageset image is that large.
    static constexpr int32_t kMaxSide = 8192;

private:
    void CopyPixels(Glyph& glyph) const;

    IDirect3DTexture9* m_pTexture = nullptr;
    int m_nTexture = -1;
    KVXResourceProvider* m_pProvider;
    std::string m_strName;
    std::map<int32_t, std::unique_ptr<Glyph>> m_Glyphs;
};
