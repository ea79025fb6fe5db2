// Textures and surfaces of the device.
// A texture keeps its top level's pixels in memory, so it can be made, filled and locked on any
// thread; the render thread uploads what changed when the texture is next bound, and OpenGL
// builds the lower levels when a draw first samples them. A texture whose pixels can be made again from their source (its encoded
// picture) lets go of its memory copy once OpenGL holds it, and makes it again for a later lock. A render-target texture lives in OpenGL only, drawn through its
// framebuffer object; its surface can still be locked (read back, written back on unlock).
#pragma once

#include "RefCounted.h"
#include "RenderContext.h"

#include <d3d9/D3D9.h>

#include <functional>
#include <mutex>
#include <vector>

namespace platform::d3d9 {

// The sampler states last given to one OpenGL texture, so a draw sets only what changed.
struct GlSamplerParams {
    int wrapS = 0, wrapT = 0, minFilter = 0, magFilter = 0, baseLevel = -1;
    float lodBias = 0.0f;
    uint32_t border = 0;
};

class Texture final : public RefCounted<IDirect3DTexture9> {
public:
    static HRESULT Create(const RenderContextPtr& context, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, Texture** out);

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return m_levels; }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    UINT Width() const { return m_width; }
    UINT Height() const { return m_height; }
    D3DFORMAT Format() const { return m_format; }
    bool IsRenderTarget() const { return (m_usage & D3DUSAGE_RENDERTARGET) != 0; }

    // Fills the top level's pixels (rows of Width x bytes per pixel) as they were made; false
    // when the source cannot give them any more.
    using PixelSource = std::function<bool(std::vector<uint8_t>& pixels)>;
    // Lets the texture drop its memory copy of the pixels whenever OpenGL holds them all. A lock
    // then makes the copy again from the source; a lock that writes makes the copy the texture's
    // own, kept from then on.
    void SetPixelSource(PixelSource source);
    // Whether the memory copy of the top level is held now.
    bool HoldsPixels();

    // Whether every texel of the top level has alpha 1: the format has no alpha, or every pixel
    // written so far was fully opaque. A translucent write keeps it false until the whole top
    // level is written opaque again. A render target with alpha never counts as opaque.
    bool IsOpaque();

    // Render thread: binds the texture to the active unit, uploading pending pixels first.
    unsigned Bind();
    GlSamplerParams& SamplerCache() { return m_samplerCache; }
    // Render thread, texture bound: builds the lower levels from the top level when they are out
    // of date. They are built only for draws that sample them, as most pictures are drawn at
    // their own size and never need them.
    void BuildLowerLevels();
    // Render thread, render targets: the framebuffer object that draws into this texture,
    // with the given depth renderbuffer (0 for none) attached.
    unsigned Framebuffer(unsigned depthRenderbuffer);
    // The device's back buffer may live in the window itself (bottom row first, the window's own
    // depth buffer) instead of in this texture; binding, lock and unlock then use the window.
    void SetDrawsToWindow(bool window) { m_window = window; }
    bool DrawsToWindow() const { return m_window; }
    // Render thread, render targets: the surface lock reads the picture back and unlock writes
    // it again.
    HRESULT LockRenderTarget(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags);
    HRESULT UnlockRenderTarget();

private:
    Texture(const RenderContextPtr& context, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
            D3DPOOL pool);
    ~Texture() override;
    bool ValidRect(const RECT* rect, RECT& out) const;
    bool AreaIsOpaque(const RECT& area) const;
    void CreateGlTexture();
    void UploadPending();
    // With the lock held: drops the memory copy when the source can make it again and OpenGL
    // holds every pixel of it.
    void DropRemakeablePixels();
    void ReadWindow();
    void WriteWindow(const RECT& area);

    RenderContextPtr m_context;
    UINT m_width, m_height, m_levels;
    DWORD m_usage;
    D3DFORMAT m_format;
    D3DPOOL m_pool;
    UINT m_pitch;

    std::mutex m_lock;  // guards the pixels, the pending region and the lock state
    std::vector<uint8_t> m_pixels;
    bool m_pending = true;  // pixels not yet in OpenGL
    RECT m_pendingRect{};
    bool m_locked = false;
    bool m_lockReadOnly = false;
    RECT m_lockRect{};
    bool m_opaque;
    PixelSource m_source;

    unsigned m_gl = 0;
    unsigned m_framebuffer = 0;
    unsigned m_attachedDepth = 0;
    bool m_window = false;
    bool m_lowerLevelsStale = false;
    GlSamplerParams m_samplerCache;
};

class Surface final : public RefCounted<IDirect3DSurface9> {
public:
    static Surface* OfTexture(Texture* texture, UINT level);
    static Surface* DepthStencil(const RenderContextPtr& context, UINT width, UINT height, D3DFORMAT format,
                                 bool countsAsDefaultPool);

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

    // The texture whose level this is; null for a depth surface.
    Texture* ColourTexture() const { return m_texture.Get(); }
    bool IsDepth() const { return !m_texture; }
    // Render thread, depth surfaces: the renderbuffer.
    unsigned DepthRenderbuffer();
    UINT Width() const { return m_width; }
    UINT Height() const { return m_height; }

    // A whole-surface clear of depth and stencil made while the surface was not attached to the
    // target; it is done when the surface is next attached.
    struct DeferredClear {
        DWORD flags = 0;  // D3DCLEAR_ZBUFFER and D3DCLEAR_STENCIL; 0 for none
        float z = 1.0f;
        DWORD stencil = 0;
    };
    DeferredClear deferredClear;

private:
    Surface() = default;
    ~Surface() override;

    Ref<Texture> m_texture;
    UINT m_level = 0;
    RenderContextPtr m_context;
    UINT m_width = 0, m_height = 0;
    D3DFORMAT m_format = D3DFMT_UNKNOWN;
    bool m_countsAsDefaultPool = false;
    unsigned m_renderbuffer = 0;
};

} // namespace platform::d3d9
