// The font manager's abstract font, the glyph record its fonts hand out, and the reader that
// loads font files whole.
#pragma once

#include <d3d9/D3D9.h>

#include <cstdint>
#include <string>

// One glyph as a font hands it out.
struct GlyphInfo {
    // FreeType glyph: offsets of the glyph's top-left from the pen (x = left bearing, y = the
    // distance below the line's top). Imageset glyph: its position in the image.
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    // Pixels the pen moves on.
    int32_t advance = 0;
    IDirect3DTexture9* texture = nullptr;
    // Imageset glyph: pixels of the image. FreeType glyph: fractions of the 512 x 512 atlas page.
    float srcLeft = 0, srcTop = 0, srcRight = 0, srcBottom = 0;
    // FreeType glyph: one coverage byte per pixel, rows of width bytes. Imageset glyph: 32-bit
    // pixels, rows of width pixels; null when the image could not be read.
    const void* pixels = nullptr;
    int32_t imageset = 0;
};

class KVXFont {
public:
    virtual ~KVXFont() = default;
    virtual bool Load(const std::string& /*file*/, int /*size*/, int /*dpi*/) { return false; }
    virtual std::string GetName() const { return {}; }
    virtual int GetSize() const { return 0; }
    // With forDraw the glyph is placed where it can be drawn from; otherwise only measured.
    virtual bool GetGlyph(uint32_t /*character*/, GlyphInfo* /*info*/, bool /*forDraw*/) { return false; }
    // Either pointer may be null.
    virtual void Measure(const wchar_t* /*text*/, int* width, int* height)
    {
        if (width)
            *width = 0;
        if (height)
            *height = 0;
    }
    // Queues the text's glyphs with the line's top-left at (x, y); returns the sum of the advances.
    virtual int Draw(int /*x*/, int /*y*/, D3DCOLOR /*colour*/, const wchar_t* /*text*/) { return 0; }
    virtual void OnLostDevice() {}
    virtual void OnResetDevice() {}

protected:
    // Queues one sprite for each glyph GetGlyph places for drawing and returns the sum of the
    // advances. `sourceScale` turns the glyph's source edges into texels; with `bearings` the
    // glyph's x and y offsets move it from the pen.
    int DrawGlyphs(int x, int y, D3DCOLOR colour, const wchar_t* text, float sourceScale, bool bearings);
};

// A whole file in memory; the caller frees `data` with delete[].
struct KVXFileBuffer {
    uint8_t* data = nullptr;
    uint32_t size = 0;
};

class KVXResourceProvider {
public:
    virtual ~KVXResourceProvider() = default;
    virtual bool LoadFile(const std::wstring& path, KVXFileBuffer* out) = 0;
};

// Reads files relative to the current directory, whole, in binary mode.
class KVXDefaultResourceProvider : public KVXResourceProvider {
public:
    // Files above this size are refused rather than read: no font file comes near it.
    static constexpr long kMaxFileBytes = 64L * 1024 * 1024;
    bool LoadFile(const std::wstring& path, KVXFileBuffer* out) override;
};
