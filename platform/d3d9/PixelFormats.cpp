// Sizes, OpenGL upload parameters and pixel conversion of the texture formats.
#include "PixelFormats.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

namespace platform::d3d9 {

UINT BytesPerPixel(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
        return 4;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A8L8:
        return 2;
    case D3DFMT_A8:
    case D3DFMT_L8:
        return 1;
    default:
        return 0;
    }
}

bool IsTextureFormat(D3DFORMAT format) { return BytesPerPixel(format) != 0; }

bool IsDepthFormat(D3DFORMAT format)
{
    return format == D3DFMT_D16 || format == D3DFMT_D24S8 || format == D3DFMT_D24X8 || format == D3DFMT_D32;
}

DepthBits DepthBitsOf(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_D16: return {16, 0};
    case D3DFMT_D24S8: return {24, 8};
    case D3DFMT_D24X8: return {24, 0};
    case D3DFMT_D32: return {32, 0};
    default: return {0, 0};
    }
}

bool IsOpaqueFormat(D3DFORMAT format) { return format == D3DFMT_X8R8G8B8 || format == D3DFMT_X1R5G5B5; }

bool IsRenderTargetFormat(D3DFORMAT format) { return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8; }

GlFormat GlFormatOf(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_A8R8G8B8:
        return {GL_RGBA, GL_BGRA, GL_UNSIGNED_BYTE, false};
    case D3DFMT_X8R8G8B8:
        // Four bytes a pixel draw and sample much faster than three in a software rasteriser.
        return {GL_RGBA, GL_BGRA, GL_UNSIGNED_BYTE, true};
    case D3DFMT_R5G6B5:
        return {GL_RGB5, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, false};
    case D3DFMT_X1R5G5B5:
        return {GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, true};
    case D3DFMT_A1R5G5B5:
        return {GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, false};
    case D3DFMT_A4R4G4B4:
        return {GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, false};
    case D3DFMT_A8L8:
        return {GL_LUMINANCE8_ALPHA8, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, false};
    case D3DFMT_A8:
        return {GL_ALPHA8, GL_ALPHA, GL_UNSIGNED_BYTE, false};
    case D3DFMT_L8:
        return {GL_LUMINANCE8, GL_LUMINANCE, GL_UNSIGNED_BYTE, false};
    default:
        return {GL_RGBA, GL_BGRA, GL_UNSIGNED_BYTE, false};
    }
}

namespace {

uint16_t Pack16(uint32_t argb, int aBits, int rBits, int gBits, int bBits)
{
    auto take = [](uint32_t value8, int bits) { return bits ? (value8 >> (8 - bits)) : 0u; };
    uint32_t a = take(argb >> 24, aBits), r = take((argb >> 16) & 0xFF, rBits);
    uint32_t g = take((argb >> 8) & 0xFF, gBits), b = take(argb & 0xFF, bBits);
    return static_cast<uint16_t>((a << (rBits + gBits + bBits)) | (r << (gBits + bBits)) | (g << bBits) | b);
}

} // namespace

void StorePixel(D3DFORMAT format, uint32_t argb, uint8_t* out)
{
    uint16_t packed = 0;
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
        std::memcpy(out, &argb, 4);
        return;
    case D3DFMT_R5G6B5:
        packed = Pack16(argb, 0, 5, 6, 5);
        break;
    case D3DFMT_X1R5G5B5:
        packed = Pack16(argb | 0xFF000000u, 1, 5, 5, 5);
        break;
    case D3DFMT_A1R5G5B5:
        packed = Pack16(argb, 1, 5, 5, 5);
        break;
    case D3DFMT_A4R4G4B4:
        packed = Pack16(argb, 4, 4, 4, 4);
        break;
    case D3DFMT_A8L8:
        packed = static_cast<uint16_t>(((argb >> 24) << 8) | ((argb >> 8) & 0xFF));
        break;
    case D3DFMT_A8:
        *out = static_cast<uint8_t>(argb >> 24);
        return;
    case D3DFMT_L8:
        *out = static_cast<uint8_t>((argb >> 8) & 0xFF);
        return;
    default:
        return;
    }
    std::memcpy(out, &packed, 2);
}

const char* FormatName(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_A8R8G8B8: return "A8R8G8B8";
    case D3DFMT_X8R8G8B8: return "X8R8G8B8";
    case D3DFMT_R5G6B5: return "R5G6B5";
    case D3DFMT_X1R5G5B5: return "X1R5G5B5";
    case D3DFMT_A1R5G5B5: return "A1R5G5B5";
    case D3DFMT_A4R4G4B4: return "A4R4G4B4";
    case D3DFMT_A8: return "A8";
    case D3DFMT_L8: return "L8";
    case D3DFMT_A8L8: return "A8L8";
    case D3DFMT_D16: return "D16";
    case D3DFMT_D24S8: return "D24S8";
    default: return "unsupported";
    }
}

} // namespace platform::d3d9
