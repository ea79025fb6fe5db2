// The texture formats of the device: their sizes in memory, how OpenGL reads them, and the
// conversion of 32-bit ARGB pixels into each of them (used by the image loader).
#pragma once

#include <d3d9/D3D9Types.h>

#include <cstdint>

namespace platform::d3d9 {

struct GlFormat {
    int internalFormat;
    unsigned format;
    unsigned type;
    bool opaque;  // the X formats: stored with alpha for speed, sampled with alpha 1
};

// Bytes per pixel of a colour format; 0 for a format textures cannot have.
UINT BytesPerPixel(D3DFORMAT format);
bool IsTextureFormat(D3DFORMAT format);
bool IsDepthFormat(D3DFORMAT format);
struct DepthBits {
    int depth, stencil;
};
// The bits a depth format holds; zero for formats that are not depth formats.
DepthBits DepthBitsOf(D3DFORMAT format);
bool IsRenderTargetFormat(D3DFORMAT format);
// Formats without alpha: their alpha reads as 1.
bool IsOpaqueFormat(D3DFORMAT format);
// How a format's memory is uploaded: B, G, R, A byte order for the 32-bit formats.
GlFormat GlFormatOf(D3DFORMAT format);
// Writes one ARGB pixel in the given format at `out`.
void StorePixel(D3DFORMAT format, uint32_t argb, uint8_t* out);
const char* FormatName(D3DFORMAT format);

} // namespace platform::d3d9
