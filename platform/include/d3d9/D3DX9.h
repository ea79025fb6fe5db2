// D3DX 9 helpers over the Direct3D stand-in: sprite, font, texture loading, render to surface.
// Implemented: ID3DXSprite (Begin with its state set, saved and restored; Draw; Flush; End;
//   transform; lost and reset), ID3DXFont over FreeType (single and multi-line text, alignment,
//   measuring, a device context for GetTextExtentPoint32W), texture loading from files and
//   memory (TGA, BMP, PNG, JPG) with a colour key and the image information, and
//   ID3DXRenderToSurface over framebuffer objects.
// Left out: sprite sorting and billboards (the flags log once and are ignored), font width
//   (glyphs keep their natural proportions), italics, DDS files, palettes, image filters other
//   than point sampling when a size is forced.
#pragma once

#include "d3d9/D3D9.h"

#include "d3d9/D3DXMath.h"

constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;
constexpr UINT D3DX_DEFAULT_NONPOW2 = 0xFFFFFFFEu;
constexpr DWORD D3DX_FILTER_NONE = 1;
constexpr DWORD D3DX_FILTER_POINT = 2;
constexpr DWORD D3DX_FILTER_LINEAR = 3;
constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
constexpr DWORD D3DX_FILTER_BOX = 5;

// ---- sprite -------------------------------------------------------------------------------------

constexpr DWORD D3DXSPRITE_DONOTSAVESTATE = 0x1;
constexpr DWORD D3DXSPRITE_DONOTMODIFY_RENDERSTATE = 0x2;
constexpr DWORD D3DXSPRITE_OBJECTSPACE = 0x4;
constexpr DWORD D3DXSPRITE_BILLBOARD = 0x8;
constexpr DWORD D3DXSPRITE_ALPHABLEND = 0x10;
constexpr DWORD D3DXSPRITE_SORT_TEXTURE = 0x20;
constexpr DWORD D3DXSPRITE_SORT_DEPTH_FRONTTOBACK = 0x40;
constexpr DWORD D3DXSPRITE_SORT_DEPTH_BACKTOFRONT = 0x80;

// Draws textured quads in screen pixels (y down) between Begin and End, in call order.
// Begin saves the device states (unless DONOTSAVESTATE) and sets those of a sprite pass:
// alpha blending and alpha test (with ALPHABLEND), no culling, no lighting, stage 0 modulating
// texture by diffuse, sampler 0 clamped and linear, world and view identity and a pixel
// projection of the viewport (unless OBJECTSPACE). End draws what is queued and restores.
// A nested Begin, and End, Draw or Flush outside Begin, fail with D3DERR_INVALIDCALL.
struct ID3DXSprite : IUnknownD3D {
    virtual HRESULT Begin(DWORD flags) = 0;
    // The quad is the source rectangle's size (the whole texture when null), moved by
    // -center and +position, then transformed by the sprite transform. Colour modulates.
    virtual HRESULT Draw(IDirect3DTexture9* texture, const RECT* sourceRect, const D3DXVECTOR3* center,
                         const D3DXVECTOR3* position, D3DCOLOR color) = 0;
    virtual HRESULT Flush() = 0;
    virtual HRESULT End() = 0;
    virtual HRESULT SetTransform(const D3DXMATRIX* transform) = 0;
    virtual HRESULT GetTransform(D3DXMATRIX* transform) = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};

HRESULT D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** sprite);

// ---- font ---------------------------------------------------------------------------------------

constexpr UINT DT_TOP = 0x0;
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_NOCLIP = 0x100;
constexpr UINT DT_CALCRECT = 0x400;

constexpr size_t LF_FACESIZE = 32;

struct D3DXFONT_DESCW {
    INT Height;
    UINT Width;
    UINT Weight;
    UINT MipLevels;
    BOOL Italic;
    BYTE CharSet;
    BYTE OutputPrecision;
    BYTE Quality;
    BYTE PitchAndFamily;
    wchar_t FaceName[LF_FACESIZE];
};

// A TrueType face drawn through FreeType. Face names are matched to the installed fonts; the
// Korean system faces and unknown names use a face that has Hangul. A positive height is the
// cell height (ascent plus descent) in pixels, a negative one the character height.
// Weights of 600 and above choose the bold face.
struct ID3DXFont : IUnknownD3D {
    // Draws through the sprite when one is given (it must be begun), or through a sprite of
    // the font's own. Returns the height of the text, 0 on failure. DT_CALCRECT measures only.
    virtual INT DrawTextW(ID3DXSprite* sprite, const wchar_t* text, INT count, RECT* rect, DWORD format,
                          D3DCOLOR color) = 0;
    virtual HRESULT GetDescW(D3DXFONT_DESCW* desc) = 0;
    // A device context for GetTextExtentPoint32W; it lives as long as the font.
    virtual HDC GetDC() = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;

    HRESULT GetDesc(D3DXFONT_DESCW* desc) { return GetDescW(desc); }
};

HRESULT D3DXCreateFontW(IDirect3DDevice9* device, INT height, UINT width, UINT weight, UINT mipLevels, BOOL italic,
                        DWORD charSet, DWORD outputPrecision, DWORD quality, DWORD pitchAndFamily,
                        const wchar_t* faceName, ID3DXFont** font);

// The size of a text drawn with the font whose device context is given (ID3DXFont::GetDC):
// the sum of the advances, and the font's cell height. FALSE for any other context.
BOOL GetTextExtentPoint32W(HDC dc, const wchar_t* text, int count, SIZE* size);

// ---- texture loading ----------------------------------------------------------------------------

enum D3DXIMAGE_FILEFORMAT : uint32_t {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
};

struct D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

struct PALETTEENTRY {
    BYTE peRed, peGreen, peBlue, peFlags;
};

// Loads a TGA, BMP, PNG or JPG image into a texture; the file is found through the platform's
// path resolver. Width and height of 0, D3DX_DEFAULT or D3DX_DEFAULT_NONPOW2 take the image's
// size; mip levels of 0 or D3DX_DEFAULT give the full chain. D3DFMT_UNKNOWN takes A8R8G8B8 for
// images with alpha or a colour key, X8R8G8B8 otherwise. A pixel equal to a non-zero colour key
// (compared as 32-bit ARGB) becomes transparent black. A missing or unreadable image logs a line
// and fails with D3DXERR_INVALIDDATA. Safe on any thread.
HRESULT D3DXCreateTextureFromFileExW(IDirect3DDevice9* device, const wchar_t* path, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                     DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                     PALETTEENTRY* palette, IDirect3DTexture9** texture);
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* path, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                     DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                     PALETTEENTRY* palette, IDirect3DTexture9** texture);
HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT size, UINT width,
                                            UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                            D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                            IDirect3DTexture9** texture);

// ---- render to surface --------------------------------------------------------------------------

struct D3DXRTS_DESC {
    UINT Width;
    UINT Height;
    D3DFORMAT Format;
    BOOL DepthStencil;
    D3DFORMAT DepthStencilFormat;
};

// Draws into a render-target surface: BeginScene makes the surface (and the object's own depth
// buffer) the target and begins the device's scene; EndScene ends it and puts the previous
// target, depth buffer and viewport back.
struct ID3DXRenderToSurface : IUnknownD3D {
    virtual HRESULT GetDesc(D3DXRTS_DESC* desc) = 0;
    virtual HRESULT BeginScene(IDirect3DSurface9* surface, const D3DVIEWPORT9* viewport) = 0;
    virtual HRESULT EndScene(DWORD mipFilter) = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};

HRESULT D3DXCreateRenderToSurface(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT format,
                                  BOOL depthStencil, D3DFORMAT depthStencilFormat,
                                  ID3DXRenderToSurface** renderToSurface);
