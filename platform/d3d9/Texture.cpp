// Textures and surfaces: pixels in memory, uploaded on the render thread at first use.
#include "Texture.h"

#include "Log.h"
#include "PixelFormats.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace platform::d3d9 {

namespace {

UINT FullChainLevels(UINT width, UINT height)
{
    return static_cast<UINT>(std::bit_width(std::max(width, height)));
}

RECT Union(const RECT& a, const RECT& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

} // namespace

HRESULT Texture::Create(const RenderContextPtr& context, UINT width, UINT height, UINT levels, DWORD usage,
                        D3DFORMAT format, D3DPOOL pool, Texture** out)
{
    if (!out)
        return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (width == 0 || height == 0 || width > 8192 || height > 8192) {
        LogLine("CreateTexture: size %ux%u refused", width, height);
        return D3DERR_INVALIDCALL;
    }
    if (!IsTextureFormat(format)) {
        LogRefused("CreateTexture: format %u is not supported", static_cast<unsigned>(format));
        return D3DERR_INVALIDCALL;
    }
    if ((usage & D3DUSAGE_RENDERTARGET) && (!IsRenderTargetFormat(format) || pool != D3DPOOL_DEFAULT)) {
        LogLine("CreateTexture: a render target must be A8R8G8B8 or X8R8G8B8 in the default pool");
        return D3DERR_INVALIDCALL;
    }
    UINT chain = FullChainLevels(width, height);
    if (usage & D3DUSAGE_RENDERTARGET)
        levels = 1;
    else if (levels == 0 || levels > chain)
        levels = chain;
    *out = new Texture(context, width, height, levels, usage, format, pool);
    return D3D_OK;
}

Texture::Texture(const RenderContextPtr& context, UINT width, UINT height, UINT levels, DWORD usage,
                 D3DFORMAT format, D3DPOOL pool)
    : m_context(context), m_width(width), m_height(height), m_levels(levels), m_usage(usage), m_format(format),
      m_pool(pool), m_pitch(width * BytesPerPixel(format)), m_opaque(IsOpaqueFormat(format))
{
    if (!IsRenderTarget())
        m_pixels.assign(static_cast<size_t>(m_pitch) * height, 0);
    m_pendingRect = {0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    if (pool == D3DPOOL_DEFAULT)
        ++m_context->defaultPoolResources;
}

Texture::~Texture()
{
    if (m_pool == D3DPOOL_DEFAULT)
        --m_context->defaultPoolResources;
    m_context->DeleteFramebuffer(m_framebuffer);
    m_context->DeleteTexture(m_gl);
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
    if (!desc || level >= m_levels)
        return D3DERR_INVALIDCALL;
    *desc = {m_format, D3DRTYPE_SURFACE, m_usage, m_pool, D3DMULTISAMPLE_NONE, 0,
             std::max(1u, m_width >> level), std::max(1u, m_height >> level)};
    return D3D_OK;
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface)
{
    if (!surface || level >= m_levels)
        return D3DERR_INVALIDCALL;
    *surface = Surface::OfTexture(this, level);
    return D3D_OK;
}

bool Texture::ValidRect(const RECT* rect, RECT& out) const
{
    if (!rect) {
        out = {0, 0, static_cast<LONG>(m_width), static_cast<LONG>(m_height)};
        return true;
    }
    out = *rect;
    return rect->left >= 0 && rect->top >= 0 && rect->left < rect->right && rect->top < rect->bottom &&
           rect->right <= static_cast<LONG>(m_width) && rect->bottom <= static_cast<LONG>(m_height);
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    if (!locked)
        return D3DERR_INVALIDCALL;
    locked->pBits = nullptr;
    locked->Pitch = 0;
    if (IsRenderTarget()) {
        LogLine("LockRect: a render-target texture cannot be locked");
        return D3DERR_INVALIDCALL;
    }
    if (level != 0) {
        LogRefused("LockRect: only the top level of a texture can be locked");
        return D3DERR_INVALIDCALL;
    }
    RECT area;
    if (!ValidRect(rect, area)) {
        LogLine("LockRect: rectangle (%d,%d)-(%d,%d) lies outside the %ux%u texture", rect->left, rect->top,
                rect->right, rect->bottom, m_width, m_height);
        return D3DERR_INVALIDCALL;
    }
    std::lock_guard guard(m_lock);
    if (m_locked)
        return D3DERR_INVALIDCALL;
    if (m_pixels.empty()) {
        // The copy was dropped once OpenGL held it: its source makes it again.
        m_pixels.assign(static_cast<size_t>(m_pitch) * m_height, 0);
        if (!m_source || !m_source(m_pixels)) {
            std::vector<uint8_t>().swap(m_pixels);
            LogLine("LockRect: the pixels of a %ux%u texture cannot be read again from their picture", m_width,
                    m_height);
            return D3DERR_INVALIDCALL;
        }
    }
    m_locked = true;
    m_lockReadOnly = (flags & D3DLOCK_READONLY) != 0;
    m_lockRect = area;
    locked->Pitch = static_cast<INT>(m_pitch);
    locked->pBits = m_pixels.data() + static_cast<size_t>(area.top) * m_pitch + area.left * BytesPerPixel(m_format);
    return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT level)
{
    if (level != 0 || IsRenderTarget())
        return D3DERR_INVALIDCALL;
    std::lock_guard guard(m_lock);
    if (!m_locked)
        return D3DERR_INVALIDCALL;
    m_locked = false;
    if (!m_lockReadOnly) {
        m_pendingRect = m_pending ? Union(m_pendingRect, m_lockRect) : m_lockRect;
        m_pending = true;
        bool whole = m_lockRect.left == 0 && m_lockRect.top == 0 && m_lockRect.right == static_cast<LONG>(m_width) &&
                     m_lockRect.bottom == static_cast<LONG>(m_height);
        if (!IsOpaqueFormat(m_format) && (m_opaque || whole))
            m_opaque = AreaIsOpaque(m_lockRect);
        // What was written is the texture's own now: its source cannot make it again.
        m_source = nullptr;
    } else {
        DropRemakeablePixels();
    }
    return D3D_OK;
}

void Texture::SetPixelSource(PixelSource source)
{
    std::lock_guard guard(m_lock);
    m_source = std::move(source);
    DropRemakeablePixels();
}

bool Texture::HoldsPixels()
{
    std::lock_guard guard(m_lock);
    return !m_pixels.empty();
}

void Texture::DropRemakeablePixels()
{
    if (m_source && !m_locked && !m_pending && m_gl != 0 && !IsRenderTarget())
        std::vector<uint8_t>().swap(m_pixels);
}

bool Texture::IsOpaque()
{
    std::lock_guard guard(m_lock);
    return m_opaque;
}

// Only 32-bit pixels with alpha are looked at; any other format with alpha counts as translucent.
bool Texture::AreaIsOpaque(const RECT& area) const
{
    if (m_format != D3DFMT_A8R8G8B8)
        return false;
    for (LONG y = area.top; y < area.bottom; ++y) {
        const uint8_t* row = m_pixels.data() + static_cast<size_t>(y) * m_pitch;
        for (LONG x = area.left; x < area.right; ++x)
            if (row[x * 4 + 3] != 0xFF)
                return false;
    }
    return true;
}

void Texture::CreateGlTexture()
{
    glGenTextures(1, &m_gl);
    glBindTexture(GL_TEXTURE_2D, m_gl);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(m_levels - 1));
    GlFormat gl = GlFormatOf(m_format);
    const void* pixels = IsRenderTarget() ? nullptr : m_pixels.data();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    if (gl.opaque)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    // Until a draw samples the lower levels, the driver is told that none will be: it then keeps
    // room for the top level only.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    m_samplerCache.minFilter = GL_NEAREST;
    glTexImage2D(GL_TEXTURE_2D, 0, gl.internalFormat, static_cast<GLsizei>(m_width),
                 static_cast<GLsizei>(m_height), 0, gl.format, gl.type, pixels);
    m_pending = false;
    m_lowerLevelsStale = m_levels > 1;
}

void Texture::BuildLowerLevels()
{
    if (!m_lowerLevelsStale)
        return;
    glGenerateMipmap(GL_TEXTURE_2D);
    m_lowerLevelsStale = false;
}

void Texture::UploadPending()
{
    GlFormat gl = GlFormatOf(m_format);
    const RECT& r = m_pendingRect;
    UINT bpp = BytesPerPixel(m_format);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(m_width));
    glTexSubImage2D(GL_TEXTURE_2D, 0, r.left, r.top, r.right - r.left, r.bottom - r.top, gl.format, gl.type,
                    m_pixels.data() + static_cast<size_t>(r.top) * m_pitch + r.left * bpp);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    m_pending = false;
    m_lowerLevelsStale = m_levels > 1;
}

unsigned Texture::Bind()
{
    std::lock_guard guard(m_lock);
    if (m_gl == 0) {
        CreateGlTexture();
    } else {
        glBindTexture(GL_TEXTURE_2D, m_gl);
        if (!m_pending || IsRenderTarget())
            return m_gl;
        UploadPending();
    }
    DropRemakeablePixels();
    return m_gl;
}

unsigned Texture::Framebuffer(unsigned depthRenderbuffer)
{
    if (m_window) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return 0;
    }
    if (m_gl == 0)
        Bind();
    if (m_framebuffer == 0) {
        glGenFramebuffers(1, &m_framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_gl, 0);
    } else {
        glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    }
    if (m_attachedDepth != depthRenderbuffer) {
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthRenderbuffer);
        m_attachedDepth = depthRenderbuffer;
    }
    return m_framebuffer;
}

HRESULT Texture::LockRenderTarget(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    RECT area;
    if (!locked || !ValidRect(rect, area) || !m_context->OnRenderThread())
        return D3DERR_INVALIDCALL;
    std::lock_guard guard(m_lock);
    if (m_locked)
        return D3DERR_INVALIDCALL;
    m_pixels.assign(static_cast<size_t>(m_pitch) * m_height, 0);
    if (m_window) {
        ReadWindow();
    } else if (m_gl != 0) {
        // Drawing into the target may still be queued in the driver's rasteriser threads; wait
        // for it so the read sees every finished draw.
        glFinish();
        glBindTexture(GL_TEXTURE_2D, m_gl);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        GlFormat gl = GlFormatOf(m_format);
        glGetTexImage(GL_TEXTURE_2D, 0, gl.format, gl.type, m_pixels.data());
    }
    m_locked = true;
    m_lockReadOnly = (flags & D3DLOCK_READONLY) != 0;
    m_lockRect = area;
    locked->Pitch = static_cast<INT>(m_pitch);
    locked->pBits = m_pixels.data() + static_cast<size_t>(area.top) * m_pitch + area.left * 4;
    return D3D_OK;
}

HRESULT Texture::UnlockRenderTarget()
{
    std::lock_guard guard(m_lock);
    if (!m_locked)
        return D3DERR_INVALIDCALL;
    m_locked = false;
    if (!m_lockReadOnly && m_window) {
        WriteWindow(m_lockRect);
    } else if (!m_lockReadOnly && m_gl != 0) {
        glBindTexture(GL_TEXTURE_2D, m_gl);
        m_pendingRect = m_lockRect;
        UploadPending();
    }
    m_pixels.clear();
    m_pixels.shrink_to_fit();
    return D3D_OK;
}

// The window stores its bottom row first: rows are turned over on the way in and out.
void Texture::ReadWindow()
{
    GlFormat gl = GlFormatOf(m_format);
    std::vector<uint8_t> bottomUp(m_pixels.size());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, static_cast<GLsizei>(m_width), static_cast<GLsizei>(m_height), gl.format, gl.type,
                 bottomUp.data());
    for (UINT y = 0; y < m_height; ++y)
        std::memcpy(&m_pixels[static_cast<size_t>(y) * m_pitch], &bottomUp[static_cast<size_t>(m_height - 1 - y) * m_pitch],
                    m_pitch);
}

// Puts the unlocked rows back with the pixel path, which bypasses textures, blending and the
// depth test only when they are off: they are switched off here and the caller's device applies
// its states again at the next draw.
void Texture::WriteWindow(const RECT& area)
{
    GlFormat gl = GlFormatOf(m_format);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    for (GLenum capability : {GL_BLEND, GL_ALPHA_TEST, GL_DEPTH_TEST, GL_SCISSOR_TEST, GL_TEXTURE_2D})
        glDisable(capability);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(m_width));
    glPixelZoom(1.0f, -1.0f);
    glWindowPos2i(area.left, static_cast<GLint>(m_height) - area.top);
    const uint8_t* first = &m_pixels[static_cast<size_t>(area.top) * m_pitch + static_cast<size_t>(area.left) * 4];
    glDrawPixels(area.right - area.left, area.bottom - area.top, gl.format, gl.type, first);
    glPixelZoom(1.0f, 1.0f);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    m_context->statesTouched = true;
}

// ---------------------------------------------------------------------------------------------

Surface* Surface::OfTexture(Texture* texture, UINT level)
{
    auto* surface = new Surface();
    surface->m_texture = Ref<Texture>(texture);
    surface->m_level = level;
    return surface;
}

Surface* Surface::DepthStencil(const RenderContextPtr& context, UINT width, UINT height, D3DFORMAT format,
                               bool countsAsDefaultPool)
{
    auto* surface = new Surface();
    surface->m_context = context;
    surface->m_width = width;
    surface->m_height = height;
    surface->m_format = format;
    surface->m_countsAsDefaultPool = countsAsDefaultPool;
    if (countsAsDefaultPool)
        ++context->defaultPoolResources;
    return surface;
}

Surface::~Surface()
{
    if (m_context) {
        if (m_countsAsDefaultPool)
            --m_context->defaultPoolResources;
        m_context->DeleteRenderbuffer(m_renderbuffer);
    }
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    if (m_texture) {
        HRESULT hr = m_texture->GetLevelDesc(m_level, desc);
        desc->Type = D3DRTYPE_SURFACE;
        return hr;
    }
    *desc = {m_format, D3DRTYPE_SURFACE, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, D3DMULTISAMPLE_NONE, 0, m_width,
             m_height};
    return D3D_OK;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    if (!m_texture) {
        LogRefused("LockRect: depth surfaces cannot be locked");
        return D3DERR_INVALIDCALL;
    }
    if (m_texture->IsRenderTarget())
        return m_texture->LockRenderTarget(locked, rect, flags);
    return m_texture->LockRect(m_level, locked, rect, flags);
}

HRESULT Surface::UnlockRect()
{
    if (!m_texture)
        return D3DERR_INVALIDCALL;
    if (m_texture->IsRenderTarget())
        return m_texture->UnlockRenderTarget();
    return m_texture->UnlockRect(m_level);
}

unsigned Surface::DepthRenderbuffer()
{
    if (m_renderbuffer == 0 && !m_texture) {
        glGenRenderbuffers(1, &m_renderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, m_renderbuffer);
        GLenum storage = m_format == D3DFMT_D16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH24_STENCIL8;
        glRenderbufferStorage(GL_RENDERBUFFER, storage, static_cast<GLsizei>(m_width), static_cast<GLsizei>(m_height));
    }
    return m_renderbuffer;
}

} // namespace platform::d3d9
