// The device's states turned into OpenGL fixed-function state, the draws, Clear and Present.
// Everything is drawn into framebuffer objects stored top row first, as Direct3D addresses
// them: the projection flips y, so winding is judged in y-down screen space, and viewports and
// rectangles map to OpenGL without conversion. Present flips the whole picture into the window;
// Present with rectangles, another window or a dirty region fails.
#include "Device.h"

#include <d3d9/FrameQueue.h>
#include <win32/SdlBridge.h>

#include "Log.h"
#include "PixelFormats.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL2/SDL.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>

namespace platform::d3d9 {

namespace {

GLenum CompareFunc(DWORD func)
{
    static constexpr GLenum kFuncs[] = {GL_NEVER, GL_NEVER, GL_LESS, GL_EQUAL, GL_LEQUAL,
                                        GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
    return func < std::size(kFuncs) ? kFuncs[func] : GL_ALWAYS;
}

GLenum BlendFactor(DWORD blend)
{
    static constexpr GLenum kFactors[] = {GL_ONE, GL_ZERO, GL_ONE, GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR,
                                          GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA,
                                          GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR};
    return blend < std::size(kFactors) ? kFactors[blend] : GL_ONE;
}

GLenum BlendEquation(DWORD op)
{
    switch (op) {
    case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN: return GL_MIN;
    case D3DBLENDOP_MAX: return GL_MAX;
    default: return GL_FUNC_ADD;
    }
}

GLint AddressMode(DWORD address)
{
    switch (address) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
    }
}

void ColorOf(D3DCOLOR argb, float out[4])
{
    out[0] = ((argb >> 16) & 0xFF) / 255.0f;
    out[1] = ((argb >> 8) & 0xFF) / 255.0f;
    out[2] = (argb & 0xFF) / 255.0f;
    out[3] = (argb >> 24) / 255.0f;
}

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b)
{
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return r;
}

// Direct3D clip space (z from 0 to 1) to OpenGL's (z from -1 to 1). Textures store the top of
// the picture in their first row, so y is flipped for them; the window stores it last.
D3DMATRIX ClipFixup(bool toWindow)
{
    D3DMATRIX m{};
    m._11 = 1.0f;
    m._22 = toWindow ? 1.0f : -1.0f;
    m._33 = 2.0f;
    m._43 = -1.0f;
    m._44 = 1.0f;
    return m;
}

struct CombinerArg {
    GLint source;
    GLint operand;
};

CombinerArg MapArg(DWORD arg, bool alpha)
{
    GLint source = GL_PRIMARY_COLOR;
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_CURRENT: source = GL_PREVIOUS; break;
    case D3DTA_TEXTURE: source = GL_TEXTURE; break;
    case D3DTA_TFACTOR: source = GL_CONSTANT; break;
    default: break;
    }
    bool complement = (arg & D3DTA_COMPLEMENT) != 0;
    bool useAlpha = alpha || (arg & D3DTA_ALPHAREPLICATE);
    GLint operand = useAlpha ? (complement ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA)
                             : (complement ? GL_ONE_MINUS_SRC_COLOR : GL_SRC_COLOR);
    return {source, operand};
}

// One half (colour or alpha) of a texture stage as a GL_COMBINE texture environment.
void SetCombiner(bool alpha, DWORD op, DWORD arg1, DWORD arg2)
{
    const GLenum combine = alpha ? GL_COMBINE_ALPHA : GL_COMBINE_RGB;
    const GLenum sources[3] = {alpha ? GLenum(GL_SRC0_ALPHA) : GLenum(GL_SRC0_RGB),
                               alpha ? GLenum(GL_SRC1_ALPHA) : GLenum(GL_SRC1_RGB),
                               alpha ? GLenum(GL_SRC2_ALPHA) : GLenum(GL_SRC2_RGB)};
    const GLenum operands[3] = {alpha ? GLenum(GL_OPERAND0_ALPHA) : GLenum(GL_OPERAND0_RGB),
                                alpha ? GLenum(GL_OPERAND1_ALPHA) : GLenum(GL_OPERAND1_RGB),
                                alpha ? GLenum(GL_OPERAND2_ALPHA) : GLenum(GL_OPERAND2_RGB)};
    auto setArg = [&](int slot, CombinerArg a) {
        glTexEnvi(GL_TEXTURE_ENV, sources[slot], a.source);
        glTexEnvi(GL_TEXTURE_ENV, operands[slot], a.operand);
    };
    GLint mode = GL_MODULATE;
    float scale = 1.0f;
    switch (op) {
    case D3DTOP_SELECTARG1: mode = GL_REPLACE; setArg(0, MapArg(arg1, alpha)); break;
    case D3DTOP_SELECTARG2: mode = GL_REPLACE; setArg(0, MapArg(arg2, alpha)); break;
    case D3DTOP_MODULATE4X: scale = 4.0f; [[fallthrough]];
    case D3DTOP_MODULATE2X: scale = std::max(scale, 2.0f); [[fallthrough]];
    case D3DTOP_MODULATE: mode = GL_MODULATE; break;
    case D3DTOP_ADD: mode = GL_ADD; break;
    case D3DTOP_ADDSIGNED: mode = GL_ADD_SIGNED; break;
    case D3DTOP_SUBTRACT: mode = GL_SUBTRACT; break;
    case D3DTOP_BLENDDIFFUSEALPHA:
    case D3DTOP_BLENDTEXTUREALPHA:
        mode = GL_INTERPOLATE;
        setArg(2, {op == D3DTOP_BLENDDIFFUSEALPHA ? GL_PRIMARY_COLOR : GL_TEXTURE, GL_SRC_ALPHA});
        break;
    default:  // an alpha operation of DISABLE passes the alpha on
        mode = GL_REPLACE;
        setArg(0, {GL_PREVIOUS, alpha ? GL_SRC_ALPHA : GL_SRC_COLOR});
        break;
    }
    if (mode != GL_REPLACE) {
        setArg(0, MapArg(arg1, alpha));
        setArg(1, MapArg(arg2, alpha));
    }
    glTexEnvi(GL_TEXTURE_ENV, combine, mode);
    glTexEnvf(GL_TEXTURE_ENV, alpha ? GL_ALPHA_SCALE : GL_RGB_SCALE, scale);
}

// Texture times the incoming colour, for colour and alpha: what GL_MODULATE computes.
template <class Stage>
bool IsPlainModulate(int unit, const Stage& ts)
{
    auto modulates = [&](DWORD op, DWORD arg1, DWORD arg2) {
        DWORD incoming = unit == 0 ? D3DTA_DIFFUSE : D3DTA_CURRENT;
        bool textureAndIncoming = (arg1 == D3DTA_TEXTURE && (arg2 == incoming || arg2 == D3DTA_CURRENT)) ||
                                  (arg2 == D3DTA_TEXTURE && (arg1 == incoming || arg1 == D3DTA_CURRENT));
        return op == D3DTOP_MODULATE && textureAndIncoming;
    };
    return modulates(ts[D3DTSS_COLOROP], ts[D3DTSS_COLORARG1], ts[D3DTSS_COLORARG2]) &&
           modulates(ts[D3DTSS_ALPHAOP], ts[D3DTSS_ALPHAARG1], ts[D3DTSS_ALPHAARG2]);
}

} // namespace

unsigned GlMode(D3DPRIMITIVETYPE type)
{
    switch (type) {
    case D3DPT_POINTLIST: return GL_POINTS;
    case D3DPT_LINELIST: return GL_LINES;
    case D3DPT_LINESTRIP: return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
    default: return GL_TRIANGLES;
    }
}

void Device::InitGl()
{
    GLint units = 2;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
    m_glStages = std::clamp(units, 1, static_cast<int>(kStageCount));
    // Stages without a texture sample opaque white, so untextured drawing shows its vertex colour.
    const uint32_t white = 0xFFFFFFFF;
    glGenTextures(1, &m_whiteTexture);
    glBindTexture(GL_TEXTURE_2D, m_whiteTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &white);
    glDisable(GL_DITHER);
    glEnableClientState(GL_VERTEX_ARRAY);
    MakeTextureOnlyProgram();
    m_hasFences = SDL_GL_ExtensionSupported("GL_ARB_sync") == SDL_TRUE;
}

void Device::BindTarget()
{
    if (m_context->statesTouched) {
        m_context->statesTouched = false;
        m_targetDirty = m_statesDirty = m_transformsDirty = m_stagesDirty = true;
    }
    if (!m_targetDirty)
        return;
    bool toWindow = TargetIsWindow();
    // Depth or stencil the window cannot hold: the back buffer moves to a texture, where the
    // depth surface can be attached, and stays there.
    if (toWindow && m_depthStencil && (m_forceDepthAttached || (!m_clearing && DepthOrStencilTested())) &&
        (!m_windowDepthFits || m_depthStencil != m_autoDepth)) {
        MoveBackBufferOutOfTheWindow();
        toWindow = false;
    }
    // A texture target carries the depth surface only while something tests depth or stencil:
    // with no depth buffer bound the rasteriser fills upright sprite rectangles on its fast path.
    // A clear attaches it only for a partial depth or stencil clear; a whole one waits.
    bool attach = m_depthStencil && !toWindow && (m_forceDepthAttached || (!m_clearing && DepthOrStencilTested()));
    unsigned depth = attach ? m_depthStencil->DepthRenderbuffer() : 0;
    m_renderTarget->ColourTexture()->Framebuffer(depth);
    m_depthAttached = depth != 0;
    if (m_depthAttached && m_depthStencil->deferredClear.flags)
        ApplyDeferredClear(*m_depthStencil.Get());
    m_targetDirty = false;
    m_stagesDirty = true;  // making the framebuffer bound a texture
    if (toWindow != m_appliedToWindow) {
        m_appliedToWindow = toWindow;
        m_statesDirty = m_transformsDirty = true;
    }
}

// The picture drawn so far in the window goes into the back buffer's texture (the window's rows
// are stored bottom up, the texture's top down); from then on the back buffer is that texture.
// This waits for the frame so far to be drawn, once in the device's life.
void Device::MoveBackBufferOutOfTheWindow()
{
    m_depthKeepsBackBufferOut = true;
    Texture* back = m_backBuffer->ColourTexture();
    back->SetDrawsToWindow(false);
    GLint w = static_cast<GLint>(back->Width()), h = static_cast<GLint>(back->Height());
    unsigned framebuffer = back->Framebuffer(0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    glDisable(GL_SCISSOR_TEST);
    glBlitFramebuffer(0, 0, w, h, 0, h, w, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    m_statesDirty = m_transformsDirty = m_stagesDirty = true;
}

bool Device::DepthOrStencilTested() const
{
    const auto& rs = m_state.render;
    return rs[D3DRS_ZENABLE] || rs[D3DRS_STENCILENABLE];
}

void Device::ApplyDeferredClear(Surface& depth)
{
    Surface::DeferredClear pending = depth.deferredClear;
    depth.deferredClear = {};
    GLbitfield bits = 0;
    if (pending.flags & D3DCLEAR_ZBUFFER) {
        glClearDepth(std::clamp(pending.z, 0.0f, 1.0f));
        glDepthMask(GL_TRUE);
        bits |= GL_DEPTH_BUFFER_BIT;
    }
    if (pending.flags & D3DCLEAR_STENCIL) {
        glClearStencil(static_cast<GLint>(pending.stencil));
        glStencilMask(0xFFFFFFFFu);
        bits |= GL_STENCIL_BUFFER_BIT;
    }
    glDisable(GL_SCISSOR_TEST);
    glClear(bits);
    m_statesDirty = true;  // the write masks were changed for the clear
}

bool Device::TargetIsWindow() const
{
    return m_renderTarget && m_renderTarget->ColourTexture()->DrawsToWindow();
}

int Device::GlRowOf(long top, long height) const
{
    if (!m_appliedToWindow)
        return static_cast<int>(top);
    return static_cast<int>(static_cast<long>(m_renderTarget->ColourTexture()->Height()) - top - height);
}

// The back buffer is drawn straight into the window when the window shows it at its own size and
// holds every bit of its colour, alpha, depth and stencil: the frame then needs no copy, and the
// software rasteriser can draw one frame while the next is being recorded. Otherwise it is a
// texture, scaled into the window at Present. In the window, what the back buffer holds after
// Present is what the window system leaves there (the software and offscreen drivers keep the
// frame); the renderer clears every frame and does not depend on it.
bool Device::BackBufferFitsTheWindow()
{
    int windowW = 0, windowH = 0;
    platform::RealWindowSize(m_window, &windowW, &windowH);
    if (windowW != static_cast<int>(m_parameters.BackBufferWidth) ||
        windowH != static_cast<int>(m_parameters.BackBufferHeight))
        return false;
    enum { kRed, kGreen, kBlue, kAlpha, kDepth, kStencil };
    const GLenum names[] = {GL_RED_BITS, GL_GREEN_BITS, GL_BLUE_BITS, GL_ALPHA_BITS, GL_DEPTH_BITS, GL_STENCIL_BITS};
    GLint bits[std::size(names)] = {};
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    for (size_t i = 0; i < std::size(names); ++i)
        glGetIntegerv(names[i], &bits[i]);
    m_targetDirty = true;
    bool keepsAlpha = IsOpaqueFormat(m_backBuffer->ColourTexture()->Format()) || bits[kAlpha] >= 8;
    bool colourFits = bits[kRed] >= 8 && bits[kGreen] >= 8 && bits[kBlue] >= 8 && keepsAlpha;
    DepthBits need = m_parameters.EnableAutoDepthStencil ? DepthBitsOf(m_parameters.AutoDepthStencilFormat) : DepthBits{};
    m_windowDepthFits = bits[kDepth] >= need.depth && bits[kStencil] >= need.stencil;
    // A window without the depth the device needs still takes the back buffer until depth is
    // first tested; drawing with no depth buffer bound keeps the rasteriser on its fast paths.
    return colourFits && (m_windowDepthFits || !m_depthKeepsBackBufferOut);
}

// Frame boundaries only: the back buffer's contents do not carry over a change of home.
void Device::ChooseBackBufferHome()
{
    bool toWindow = BackBufferFitsTheWindow();
    Texture* back = m_backBuffer->ColourTexture();
    if (toWindow != back->DrawsToWindow()) {
        back->SetDrawsToWindow(toWindow);
        m_targetDirty = true;
    }
}

// The sprite states test alpha > 0 while blending by source alpha. A fragment the test would
// drop then leaves colour and alpha as they are, so unless a depth write could happen the test
// changes nothing: leaving it off lets the rasteriser take its fast path for plain blending.
bool Device::AlphaTestChangesTheResult() const
{
    const auto& rs = m_state.render;
    if (!rs[D3DRS_ALPHATESTENABLE])
        return false;
    bool dropsOnlyInvisibleFragments = rs[D3DRS_ALPHAFUNC] == D3DCMP_GREATER && (rs[D3DRS_ALPHAREF] & 0xFF) == 0 &&
                                       rs[D3DRS_ALPHABLENDENABLE] && rs[D3DRS_SRCBLEND] == D3DBLEND_SRCALPHA &&
                                       rs[D3DRS_DESTBLEND] == D3DBLEND_INVSRCALPHA &&
                                       rs[D3DRS_BLENDOP] == D3DBLENDOP_ADD;
    bool depthOrStencilWrites = m_depthStencil && ((rs[D3DRS_ZENABLE] && rs[D3DRS_ZWRITEENABLE]) || rs[D3DRS_STENCILENABLE]);
    return !dropsOnlyInvisibleFragments || depthOrStencilWrites;
}

void Device::ApplyRenderStates()
{
    const auto& rs = m_state.render;
    const D3DVIEWPORT9& vp = m_state.viewport;
    glViewport(static_cast<GLint>(vp.X), static_cast<GLint>(GlRowOf(vp.Y, vp.Height)), static_cast<GLsizei>(vp.Width),
               static_cast<GLsizei>(vp.Height));
    glDepthRange(vp.MinZ, vp.MaxZ);

    (rs[D3DRS_ZENABLE] && m_depthStencil) ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    glDepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
    glDepthFunc(CompareFunc(rs[D3DRS_ZFUNC]));

    AlphaTestChangesTheResult() ? glEnable(GL_ALPHA_TEST) : glDisable(GL_ALPHA_TEST);
    glAlphaFunc(CompareFunc(rs[D3DRS_ALPHAFUNC]), (rs[D3DRS_ALPHAREF] & 0xFF) / 255.0f);

    rs[D3DRS_ALPHABLENDENABLE] ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    glBlendFunc(BlendFactor(rs[D3DRS_SRCBLEND]), BlendFactor(rs[D3DRS_DESTBLEND]));
    glBlendEquation(BlendEquation(rs[D3DRS_BLENDOP]));

    // A texture target is stored top row first, so a triangle that turns clockwise on screen
    // turns counter-clockwise in OpenGL's window coordinates; in the window it keeps its turn.
    if (rs[D3DRS_CULLMODE] == D3DCULL_NONE) {
        glDisable(GL_CULL_FACE);
    } else {
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        bool cullClockwise = rs[D3DRS_CULLMODE] == D3DCULL_CW;
        glFrontFace(cullClockwise != m_appliedToWindow ? GL_CW : GL_CCW);
    }

    GLenum fill = rs[D3DRS_FILLMODE] == D3DFILL_POINT ? GL_POINT
                  : rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? GL_LINE
                                                             : GL_FILL;
    glPolygonMode(GL_FRONT_AND_BACK, fill);
    DWORD mask = rs[D3DRS_COLORWRITEENABLE];
    // A target without alpha keeps the alpha of 1 its clear gave it.
    bool opaqueTarget = IsOpaqueFormat(m_renderTarget->ColourTexture()->Format());
    glColorMask((mask & D3DCOLORWRITEENABLE_RED) != 0, (mask & D3DCOLORWRITEENABLE_GREEN) != 0,
                (mask & D3DCOLORWRITEENABLE_BLUE) != 0, (mask & D3DCOLORWRITEENABLE_ALPHA) != 0 && !opaqueTarget);
}

// Without lights the lit colour is the emissive colour plus the ambient light times the
// ambient colour, with the diffuse alpha; OpenGL computes the same with no light enabled.
void Device::ApplyLighting(DWORD fvf)
{
    const auto& rs = m_state.render;
    if (!rs[D3DRS_LIGHTING]) {
        glDisable(GL_LIGHTING);
        glDisable(GL_COLOR_MATERIAL);
        return;
    }
    glEnable(GL_LIGHTING);
    float ambient[4];
    ColorOf(rs[D3DRS_AMBIENT], ambient);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    const D3DMATERIAL9& m = m_state.material;
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, &m.Ambient.r);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, &m.Diffuse.r);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, &m.Specular.r);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, &m.Emissive.r);
    bool vertexDiffuse = rs[D3DRS_COLORVERTEX] && rs[D3DRS_DIFFUSEMATERIALSOURCE] == D3DMCS_COLOR1 &&
                         (fvf & D3DFVF_DIFFUSE);
    if (vertexDiffuse) {
        glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
    } else {
        glDisable(GL_COLOR_MATERIAL);
    }
}

void Device::ApplyTransforms()
{
    D3DMATRIX combined =
        Multiply(Multiply(Multiply(m_state.world, m_state.view), m_state.projection), ClipFixup(m_appliedToWindow));
    // A Direct3D row-vector matrix read column by column is the OpenGL column-vector matrix.
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(&combined.m[0][0]);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void Device::ApplySampler(DWORD stage, Texture& texture)
{
    const auto& ss = m_state.sampler[stage];
    bool mips = texture.GetLevelCount() > 1 && ss[D3DSAMP_MIPFILTER] != D3DTEXF_NONE &&
                !(stage == 0 && m_quadPlan.baseLevelOnly);
    bool linearMin = ss[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR;
    GLint minFilter = !mips ? (linearMin ? GL_LINEAR : GL_NEAREST)
                      : ss[D3DSAMP_MIPFILTER] == D3DTEXF_POINT
                          ? (linearMin ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST)
                          : (linearMin ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR);
    GlSamplerParams want;
    want.wrapS = AddressMode(ss[D3DSAMP_ADDRESSU]);
    want.wrapT = AddressMode(ss[D3DSAMP_ADDRESSV]);
    want.minFilter = minFilter;
    want.magFilter = ss[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST;
    want.lodBias = std::bit_cast<float>(ss[D3DSAMP_MIPMAPLODBIAS]);
    want.baseLevel = static_cast<int>(std::min<DWORD>(ss[D3DSAMP_MAXMIPLEVEL], texture.GetLevelCount() - 1));
    want.border = ss[D3DSAMP_BORDERCOLOR];
    if (mips || want.baseLevel > 0)
        texture.BuildLowerLevels();

    GlSamplerParams& have = texture.SamplerCache();
    if (have.wrapS != want.wrapS)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, want.wrapS);
    if (have.wrapT != want.wrapT)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, want.wrapT);
    if (have.minFilter != want.minFilter)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, want.minFilter);
    if (have.magFilter != want.magFilter)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, want.magFilter);
    if (have.lodBias != want.lodBias)
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_LOD_BIAS, want.lodBias);
    if (have.baseLevel != want.baseLevel)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, want.baseLevel);
    if (have.border != want.border) {
        float border[4];
        ColorOf(want.border, border);
        glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
    }
    have = want;
}

void Device::ApplyStages()
{
    float factor[4];
    ColorOf(m_state.render[D3DRS_TEXTUREFACTOR], factor);
    bool enabled = true;
    for (int unit = 0; unit < m_glStages; ++unit) {
        const auto& ts = m_state.stage[unit];
        glActiveTexture(GL_TEXTURE0 + unit);
        enabled = enabled && ts[D3DTSS_COLOROP] != D3DTOP_DISABLE;
        if (!enabled) {
            glDisable(GL_TEXTURE_2D);
            continue;
        }
        glEnable(GL_TEXTURE_2D);
        if (Texture* texture = m_state.textures[unit].Get()) {
            texture->Bind();
            ApplySampler(unit, *texture);
        } else {
            glBindTexture(GL_TEXTURE_2D, m_whiteTexture);
        }
        if (IsPlainModulate(unit, ts)) {
            // The common case in its simplest form, which software rasterisers draw fastest.
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
            continue;
        }
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, factor);
        SetCombiner(false, ts[D3DTSS_COLOROP], ts[D3DTSS_COLORARG1], ts[D3DTSS_COLORARG2]);
        SetCombiner(true, ts[D3DTSS_ALPHAOP], ts[D3DTSS_ALPHAARG1], ts[D3DTSS_ALPHAARG2]);
    }
    glActiveTexture(GL_TEXTURE0);
}

// Bound textures may have been changed since the stages were set up, and reading a render
// target back binds textures of its own: bind each stage's texture again, with the sampler
// states this draw wants (they can differ from draw to draw, see PlanQuads).
void Device::RebindTextures()
{
    for (int unit = 0; unit < m_glStages; ++unit) {
        if (m_state.stage[unit][D3DTSS_COLOROP] == D3DTOP_DISABLE)
            break;
        glActiveTexture(GL_TEXTURE0 + unit);
        if (Texture* texture = m_state.textures[unit].Get()) {
            texture->Bind();
            ApplySampler(unit, *texture);
        } else {
            glBindTexture(GL_TEXTURE_2D, m_whiteTexture);
        }
    }
    glActiveTexture(GL_TEXTURE0);
}

void Device::ApplyStates(DWORD fvf)
{
    BindTarget();
    if (m_statesDirty || fvf != m_appliedFvf) {
        ApplyRenderStates();
        ApplyLighting(fvf);
        m_statesDirty = false;
        m_appliedFvf = fvf;
    }
    if (m_transformsDirty) {
        ApplyTransforms();
        m_transformsDirty = false;
    }
    if (m_stagesDirty) {
        ApplyStages();
        m_stagesDirty = false;
    } else {
        RebindTextures();
    }
}

HRESULT Device::Submit(unsigned glMode, const uint8_t* vertices, UINT stride, DWORD fvf, UINT count,
                       const void* indices, bool indices32)
{
    if (!m_inScene) {
        LogRefused("drawing outside BeginScene/EndScene is refused");
        return D3DERR_INVALIDCALL;
    }
    if (!(fvf & D3DFVF_XYZ))
        return D3DERR_INVALIDCALL;
    UINT size = 12 + ((fvf & D3DFVF_NORMAL) ? 12 : 0) + ((fvf & D3DFVF_DIFFUSE) ? 4 : 0) + ((fvf & D3DFVF_TEX1) ? 8 : 0);
    if (stride < size)
        return D3DERR_INVALIDCALL;
    if (m_lostState != D3D_OK)
        return D3D_OK;  // a lost device draws nothing, and says nothing
    if (!MakeCurrent())
        return D3DERR_INVALIDCALL;
    ApplyStates(fvf);
    bool programInUse = ApplyQuadPlan();

    UINT offset = 12;
    glVertexPointer(3, GL_FLOAT, static_cast<GLsizei>(stride), vertices);
    if (fvf & D3DFVF_NORMAL) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, static_cast<GLsizei>(stride), vertices + offset);
        offset += 12;
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
    }
    if (fvf & D3DFVF_DIFFUSE) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, static_cast<GLsizei>(stride), vertices + offset);
        offset += 4;
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
    // Coordinates go only to the stages in use: every array costs the rasteriser per pixel.
    bool stageOn = true;
    for (int unit = 0; unit < m_glStages; ++unit) {
        stageOn = stageOn && m_state.stage[unit][D3DTSS_COLOROP] != D3DTOP_DISABLE;
        glClientActiveTexture(GL_TEXTURE0 + unit);
        if ((fvf & D3DFVF_TEX1) && stageOn) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, static_cast<GLsizei>(stride), vertices + offset);
        } else {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
    }
    glClientActiveTexture(GL_TEXTURE0);

    if (indices)
        glDrawElements(glMode, static_cast<GLsizei>(count), indices32 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT, indices);
    else if (glMode == GL_QUADS)
        DrawSeparateQuads(count / 4);
    else
        glDrawArrays(glMode, 0, static_cast<GLsizei>(count));
    if (programInUse)
        glUseProgram(0);
    return D3D_OK;
}

// Each quad goes to the driver as a triangle fan of its own: a software rasteriser recognises a
// lone four-vertex fan that is an upright rectangle and fills it without testing edges, which
// it does not for quads or triangle lists.
void Device::DrawSeparateQuads(UINT quadCount)
{
    while (m_quadFirsts.size() < quadCount) {
        m_quadFirsts.push_back(static_cast<GLint>(m_quadFirsts.size() * 4));
        m_quadCounts.push_back(4);
    }
    glMultiDrawArrays(GL_TRIANGLE_FAN, m_quadFirsts.data(), m_quadCounts.data(), static_cast<GLsizei>(quadCount));
}

HRESULT Device::DrawQuads(const QuadVertex* vertices, UINT quadCount)
{
    if (quadCount == 0)
        return D3D_OK;
    m_quadPlan = PlanQuads(vertices, quadCount);
    HRESULT hr = Submit(GL_QUADS, reinterpret_cast<const uint8_t*>(vertices), sizeof(QuadVertex),
                        D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, quadCount * 4, nullptr, false);
    m_quadPlan = {};
    return hr;
}

// How sprite quads can be drawn with less work for the same pixels.
// - Base level only: where no texel is minified (a level of detail of at most 0 with the bias,
//   as for a picture at its own size or larger), OpenGL samples only the base level, through
//   the magnification filter, whatever the minification filter says. Left without its mip
//   filter, the software rasteriser skips working out the level of detail per pixel.
// - Texture only: quads in white, with the texture times the vertex colour as their colour,
//   are coloured by the texture alone.
// - Opaque copy: texture-only quads of a texture whose every texel is opaque, with states under
//   which an opaque fragment simply replaces the target's pixel (blending by source alpha or not
//   at all, an alpha test every opaque fragment passes). Drawn without blending and alpha test,
//   they fill the target as copies that never read it.
Device::QuadPlan Device::PlanQuads(const QuadVertex* vertices, UINT quadCount) const
{
    Texture* texture = m_state.textures[0].Get();
    const auto& rs = m_state.render;
    const auto& ts = m_state.stage[0];
    const auto& ss = m_state.sampler[0];
    if (!texture || ts[D3DTSS_COLOROP] == D3DTOP_DISABLE)
        return {};
    QuadPlan plan;
    if (texture->GetLevelCount() > 1 && ss[D3DSAMP_MIPFILTER] != D3DTEXF_NONE) {
        // One texel per pixel, give or take the rounding of coordinates given in pixels.
        constexpr float kOneToOne = 1.0f + 1.0f / 1024.0f;
        float rho = TexelsPerPixel(vertices, quadCount, *texture);
        plan.baseLevelOnly = rho * std::exp2(std::bit_cast<float>(ss[D3DSAMP_MIPMAPLODBIAS])) <= kOneToOne;
    }

    bool replaces = !rs[D3DRS_ALPHABLENDENABLE] ||
                    (rs[D3DRS_BLENDOP] == D3DBLENDOP_ADD &&
                     (rs[D3DRS_SRCBLEND] == D3DBLEND_SRCALPHA || rs[D3DRS_SRCBLEND] == D3DBLEND_ONE) &&
                     (rs[D3DRS_DESTBLEND] == D3DBLEND_INVSRCALPHA || rs[D3DRS_DESTBLEND] == D3DBLEND_ZERO));
    DWORD func = rs[D3DRS_ALPHAFUNC], ref = rs[D3DRS_ALPHAREF] & 0xFF;
    bool opaquePasses = func == D3DCMP_ALWAYS || func == D3DCMP_GREATEREQUAL ||
                        (func == D3DCMP_GREATER && ref < 0xFF) || (func == D3DCMP_NOTEQUAL && ref != 0xFF) ||
                        ((func == D3DCMP_EQUAL || func == D3DCMP_LESSEQUAL) && ref == 0xFF);
    bool white = std::all_of(vertices, vertices + quadCount * 4,
                             [](const QuadVertex& v) { return v.color == 0xFFFFFFFFu; });
    plan.textureOnly = white && IsPlainModulate(0, ts) && !rs[D3DRS_LIGHTING] &&
                       (m_glStages < 2 || m_state.stage[1][D3DTSS_COLOROP] == D3DTOP_DISABLE);
    plan.opaqueCopy = plan.textureOnly && replaces && (!rs[D3DRS_ALPHATESTENABLE] || opaquePasses) &&
                      texture->IsOpaque();
    return plan;
}

// The largest rate of texels per pixel over the quads' triangles (the scale factor OpenGL takes
// the level of detail of), from their corners on screen; infinite under a perspective transform.
float Device::TexelsPerPixel(const QuadVertex* vertices, UINT quadCount, const Texture& texture) const
{
    const D3DMATRIX m = Multiply(Multiply(m_state.world, m_state.view), m_state.projection);
    const D3DVIEWPORT9& vp = m_state.viewport;
    const float texW = static_cast<float>(texture.Width()), texH = static_cast<float>(texture.Height());
    struct Corner {
        float x, y, u, v;
    };
    float rho = 0.0f;
    for (UINT quad = 0; quad < quadCount; ++quad) {
        Corner c[4];
        for (int k = 0; k < 4; ++k) {
            const QuadVertex& q = vertices[quad * 4 + k];
            float cx = q.x * m._11 + q.y * m._21 + q.z * m._31 + m._41;
            float cy = q.x * m._12 + q.y * m._22 + q.z * m._32 + m._42;
            float cw = q.x * m._14 + q.y * m._24 + q.z * m._34 + m._44;
            if (cw != 1.0f)
                return std::numeric_limits<float>::infinity();
            c[k] = {vp.X + (cx + 1.0f) * 0.5f * vp.Width, vp.Y + (1.0f - cy) * 0.5f * vp.Height, q.u * texW,
                    q.v * texH};
        }
        for (auto [a, b, d] : {std::array{0, 1, 2}, std::array{0, 2, 3}}) {
            float x1 = c[b].x - c[a].x, y1 = c[b].y - c[a].y, x2 = c[d].x - c[a].x, y2 = c[d].y - c[a].y;
            float area = x1 * y2 - x2 * y1;
            if (area == 0.0f)
                continue;  // covers no pixel
            float u1 = c[b].u - c[a].u, v1 = c[b].v - c[a].v, u2 = c[d].u - c[a].u, v2 = c[d].v - c[a].v;
            float dudx = (u1 * y2 - u2 * y1) / area, dudy = (u2 * x1 - u1 * x2) / area;
            float dvdx = (v1 * y2 - v2 * y1) / area, dvdy = (v2 * x1 - v1 * x2) / area;
            rho = std::max({rho, std::hypot(dudx, dvdx), std::hypot(dudy, dvdy)});
        }
    }
    return rho;
}

bool Device::ApplyQuadPlan()
{
    if (m_quadPlan.opaqueCopy) {
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        // A target without alpha holds alpha 1 everywhere, which an opaque picture writes again:
        // with every channel written the rasteriser need not keep the target's alpha.
        DWORD mask = m_state.render[D3DRS_COLORWRITEENABLE];
        constexpr DWORD kRgb = D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_GREEN | D3DCOLORWRITEENABLE_BLUE;
        if ((mask & kRgb) == kRgb && IsOpaqueFormat(m_renderTarget->ColourTexture()->Format()))
            glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        m_statesDirty = true;  // the next draw sets its own again
    }
    if (!m_quadPlan.textureOnly)
        return false;
    // The software rasteriser recognises a program that only reads the texture and draws it on
    // its fastest paths; the fixed-function equivalent (the texture environment in replace mode)
    // is only the fallback.
    if (m_textureOnlyProgram) {
        glUseProgram(m_textureOnlyProgram);
        return true;
    }
    glActiveTexture(GL_TEXTURE0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    m_stagesDirty = true;
    return false;
}

// A program that gives each fragment the texel of stage 0, with the fixed-function transform.
void Device::MakeTextureOnlyProgram()
{
    static const char* const kVertex = "#version 120\n"
                                       "varying vec2 texel;\n"
                                       "void main() { gl_Position = ftransform(); texel = gl_MultiTexCoord0.xy; }\n";
    static const char* const kFragment = "#version 120\n"
                                         "uniform sampler2D picture;\n"
                                         "varying vec2 texel;\n"
                                         "void main() { gl_FragColor = texture2D(picture, texel); }\n";
    auto compile = [](GLenum type, const char* source) {
        GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        return shader;
    };
    GLuint vertex = compile(GL_VERTEX_SHADER, kVertex), fragment = compile(GL_FRAGMENT_SHADER, kFragment);
    GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        LogLine("the texture-only program does not link: sprites are drawn by the fixed-function pipeline");
        glDeleteProgram(program);
        return;
    }
    m_textureOnlyProgram = program;
}

HRESULT Device::Clear(DWORD count, const RECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil)
{
    if ((count > 0 && !rects) || (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)))
        return D3DERR_INVALIDCALL;
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !m_depthStencil)
        return D3DERR_INVALIDCALL;
    if (m_lostState != D3D_OK)
        return D3D_OK;
    if (!MakeCurrent())
        return D3DERR_INVALIDCALL;
    m_clearing = true;
    m_targetDirty = true;
    BindTarget();
    m_clearing = false;
    m_targetDirty = true;  // the next draw attaches what its states need

    // Depth and stencil of a surface that is not attached: a clear of the whole surface waits
    // until it next is; a partial clear attaches it now, after any waiting clear.
    DWORD depthFlags = flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL);
    bool windowHoldsDepth = TargetIsWindow() && m_windowDepthFits && m_depthStencil == m_autoDepth;
    if (depthFlags && !m_depthAttached && !windowHoldsDepth) {
        const D3DVIEWPORT9& vp = m_state.viewport;
        bool whole = count == 0 && vp.X == 0 && vp.Y == 0 && vp.Width >= m_depthStencil->Width() &&
                     vp.Height >= m_depthStencil->Height();
        if (whole) {
            Surface::DeferredClear& waiting = m_depthStencil->deferredClear;
            waiting.flags |= depthFlags;
            if (depthFlags & D3DCLEAR_ZBUFFER)
                waiting.z = z;
            if (depthFlags & D3DCLEAR_STENCIL)
                waiting.stencil = stencil;
            flags &= ~depthFlags;
            if (!flags)
                return D3D_OK;
        } else {
            m_forceDepthAttached = true;
            m_targetDirty = true;
            BindTarget();
            m_forceDepthAttached = false;
            m_targetDirty = true;
        }
    }

    GLbitfield bits = 0;
    if (flags & D3DCLEAR_TARGET) {
        float rgba[4];
        ColorOf(color, rgba);
        if (IsOpaqueFormat(m_renderTarget->ColourTexture()->Format()))
            rgba[3] = 1.0f;
        glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        bits |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        glClearDepth(std::clamp(z, 0.0f, 1.0f));
        glDepthMask(GL_TRUE);
        bits |= GL_DEPTH_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_STENCIL) {
        glClearStencil(static_cast<GLint>(stencil));
        bits |= GL_STENCIL_BUFFER_BIT;
    }
    // Clear covers the viewport, cut to each rectangle when rectangles are given.
    const D3DVIEWPORT9& vp = m_state.viewport;
    RECT area{static_cast<LONG>(vp.X), static_cast<LONG>(vp.Y), static_cast<LONG>(vp.X + vp.Width),
              static_cast<LONG>(vp.Y + vp.Height)};
    glEnable(GL_SCISSOR_TEST);
    for (DWORD i = 0; i < std::max<DWORD>(count, 1); ++i) {
        RECT r = area;
        if (count > 0) {
            r = {std::max(area.left, rects[i].left), std::max(area.top, rects[i].top),
                 std::min(area.right, rects[i].right), std::min(area.bottom, rects[i].bottom)};
            if (r.right <= r.left || r.bottom <= r.top)
                continue;
        }
        glScissor(r.left, GlRowOf(r.top, r.bottom - r.top), r.right - r.left, r.bottom - r.top);
        glClear(bits);
    }
    glDisable(GL_SCISSOR_TEST);
    m_statesDirty = true;  // the write masks were changed for the clear
    return D3D_OK;
}

HRESULT Device::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow, const void* dirtyRegion)
{
    if (sourceRect || destRect || destWindow || dirtyRegion) {
        LogRefused("Present: rectangles, other windows and dirty regions are not supported");
        return D3DERR_INVALIDCALL;
    }
    if (m_lostState != D3D_OK)
        return D3DERR_DEVICELOST;
    if (!MakeCurrent())
        return D3DERR_INVALIDCALL;
    m_context->CollectGarbage();

    Texture* back = m_backBuffer->ColourTexture();
    if (back->DrawsToWindow())
        glFlush();  // hands the frame to the rasteriser now, whatever the window system does at the swap
    else
        ScaleIntoWindow(*back);
    SDL_GL_SwapWindow(m_window);
    BoundFramesInFlight();
    ChooseBackBufferHome();
    m_targetDirty = m_statesDirty = m_transformsDirty = m_stagesDirty = true;
    return D3D_OK;
}

// A Direct3D 9 driver lets only a few frames queue before Present waits; OpenGL drivers may let
// many pile up undrawn and then drain them in one long stall. A fence per frame keeps the
// picture at most kMaxFramesInFlight frames behind the game.
void Device::BoundFramesInFlight()
{
    if (!m_hasFences)
        return;
    m_frameFences.push_back(glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0));
    while (m_frameFences.size() > kMaxFramesInFlight) {
        auto oldest = static_cast<GLsync>(m_frameFences.front());
        m_frameFences.pop_front();
        if (oldest) {
            // Flushing makes sure the fence is on its way; the wait is bounded so a lost
            // context never hangs the game.
            constexpr GLuint64 kOneSecond = 1000000000ull;
            glClientWaitSync(oldest, GL_SYNC_FLUSH_COMMANDS_BIT, kOneSecond);
            glDeleteSync(oldest);
        }
    }
}

void Device::DropFences()
{
    for (void* fence : m_frameFences)
        if (fence)
            glDeleteSync(static_cast<GLsync>(fence));
    m_frameFences.clear();
}

int Device::FramesInFlight()
{
    int pending = 0;
    for (void* fence : m_frameFences) {
        GLint status = GL_SIGNALED;
        if (fence)
            glGetSynciv(static_cast<GLsync>(fence), GL_SYNC_STATUS, 1, nullptr, &status);
        pending += status != GL_SIGNALED;
    }
    return pending;
}

// The picture keeps its shape: scaled to fit, centred, black bars where the window is wider or
// taller.
void Device::ScaleIntoWindow(Texture& back)
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    int windowW = 0, windowH = 0;
    platform::RealWindowSize(m_window, &windowW, &windowH);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, windowW, windowH);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    int backW = static_cast<int>(back.Width()), backH = static_cast<int>(back.Height());
    double scale = std::min(double(windowW) / backW, double(windowH) / backH);
    int w = static_cast<int>(backW * scale + 0.5), h = static_cast<int>(backH * scale + 0.5);
    if (w != windowW || h != windowH) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    CopyToWindow(back, (windowW - w) / 2, (windowH - h) / 2, w, h);
}

// Draws the back buffer as one textured quad rather than blitting it: the driver turns a blit
// that keeps the rows as stored into a copy on this thread that first waits for the frame to be
// drawn, while a draw is queued like any other and lets the next frame start at once.
void Device::CopyToWindow(Texture& back, int x, int y, int w, int h)
{
    glViewport(x, y, w, h);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (int unit = m_glStages - 1; unit >= 0; --unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glDisable(GL_TEXTURE_2D);
    }
    glEnable(GL_TEXTURE_2D);
    back.Bind();
    GLint filter = (w == static_cast<int>(back.Width()) && h == static_cast<int>(back.Height())) ? GL_NEAREST : GL_LINEAR;
    GlSamplerParams& sampler = back.SamplerCache();
    sampler.minFilter = sampler.magFilter = filter;
    sampler.wrapS = sampler.wrapT = GL_CLAMP_TO_EDGE;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    // The back buffer is stored top row first and the window bottom row first: texture row 0
    // goes to the top. One fan that forms an upright rectangle is filled on the rasteriser's fast
    // path.
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
}

} // namespace platform::d3d9

int platform::d3d9::FramesInFlight(IDirect3DDevice9* device)
{
    Device* ours = AsDevice(device);
    return ours ? ours->FramesInFlight() : -1;
}
