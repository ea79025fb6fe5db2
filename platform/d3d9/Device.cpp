// The Direct3D device: creation, the frame, resources and the state setters.
#include "Device.h"

#include "Log.h"
#include "PixelFormats.h"
#include "StateBlock.h"

#include <win32/SdlBridge.h>

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>

namespace platform::d3d9 {

namespace {

UINT VertexCount(D3DPRIMITIVETYPE type, UINT primitives)
{
    switch (type) {
    case D3DPT_POINTLIST: return primitives;
    case D3DPT_LINELIST: return primitives * 2;
    case D3DPT_LINESTRIP: return primitives + 1;
    case D3DPT_TRIANGLELIST: return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return primitives + 2;
    }
    return 0;
}

} // namespace

D3DMATRIX IdentityMatrix()
{
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

Device* AsDevice(IDirect3DDevice9* device) { return dynamic_cast<Device*>(device); }

HRESULT Device::Create(SDL_Window* window, D3DPRESENT_PARAMETERS* parameters, Device** out)
{
    *out = nullptr;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        LogLine("CreateDevice: no OpenGL context for the window: %s", SDL_GetError());
        return D3DERR_NOTAVAILABLE;
    }
    SDL_GL_MakeCurrent(window, context);
    auto* device = new Device(window, context);
    device->InitGl();
    HRESULT hr = device->CreateSwapChain(parameters);
    if (FAILED(hr)) {
        device->Release();
        return hr;
    }
    device->ResetStates();
    device->ApplyWindowMode();
    device->ChooseBackBufferHome();
    *out = device;
    return D3D_OK;
}

Device::Device(SDL_Window* window, void* glContext)
    : m_window(window), m_glContext(glContext), m_context(std::make_shared<RenderContext>())
{
}

Device::~Device()
{
    MakeCurrent();
    DropFences();
    m_state = DeviceState{};
    m_renderTarget.Reset();
    m_depthStencil.Reset();
    m_backBuffer.Reset();
    m_autoDepth.Reset();
    m_context->CollectGarbage();
    m_context->Close();
    if (SDL_GL_GetCurrentContext() == m_glContext)
        SDL_GL_MakeCurrent(m_window, nullptr);
    SDL_GL_DeleteContext(m_glContext);
}

bool Device::MakeCurrent()
{
    if (!m_context->OnRenderThread()) {
        LogRefused("drawing calls are only accepted on the thread that created the device");
        return false;
    }
    if (SDL_GL_GetCurrentContext() != m_glContext) {
        SDL_GL_MakeCurrent(m_window, m_glContext);
        m_targetDirty = m_statesDirty = m_transformsDirty = m_stagesDirty = true;
    }
    return true;
}

HRESULT Device::CreateSwapChain(D3DPRESENT_PARAMETERS* parameters)
{
    if (!parameters)
        return D3DERR_INVALIDCALL;
    D3DPRESENT_PARAMETERS pp = *parameters;
    if (pp.BackBufferWidth == 0 || pp.BackBufferHeight == 0) {
        int w = 0, h = 0;
        SDL_GetWindowSize(m_window, &w, &h);
        pp.BackBufferWidth = pp.BackBufferWidth ? pp.BackBufferWidth : static_cast<UINT>(std::max(w, 1));
        pp.BackBufferHeight = pp.BackBufferHeight ? pp.BackBufferHeight : static_cast<UINT>(std::max(h, 1));
    }
    if (pp.BackBufferFormat != D3DFMT_A8R8G8B8 && pp.BackBufferFormat != D3DFMT_X8R8G8B8)
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    if (pp.BackBufferCount == 0)
        pp.BackBufferCount = 1;
    Texture* colour = nullptr;
    HRESULT hr = Texture::Create(m_context, pp.BackBufferWidth, pp.BackBufferHeight, 1, D3DUSAGE_RENDERTARGET,
                                 pp.BackBufferFormat, D3DPOOL_DEFAULT, &colour);
    if (FAILED(hr))
        return hr;
    // The swap chain's own surfaces do not count as resources the game must release for Reset.
    --m_context->defaultPoolResources;
    m_backBuffer = Ref<Surface>::Adopt(Surface::OfTexture(colour, 0));
    colour->Release();
    m_autoDepth.Reset();
    if (pp.EnableAutoDepthStencil) {
        if (!IsDepthFormat(pp.AutoDepthStencilFormat))
            pp.AutoDepthStencilFormat = D3DFMT_D16;
        m_autoDepth = Ref<Surface>::Adopt(Surface::DepthStencil(m_context, pp.BackBufferWidth, pp.BackBufferHeight,
                                                                pp.AutoDepthStencilFormat, false));
    }
    m_renderTarget = m_backBuffer;
    m_depthStencil = m_autoDepth;
    m_targetDirty = true;
    m_parameters = pp;
    *parameters = pp;
    return D3D_OK;
}

void Device::ResetStates()
{
    DeviceState state;
    for (DWORD type = 0; type < kRenderStateCount; ++type)
        if (const StateEntry* entry = FindRenderState(type))
            state.render[type] = entry->defaultValue;
    state.render[D3DRS_ZENABLE] = m_autoDepth ? D3DZB_TRUE : D3DZB_FALSE;
    for (DWORD stage = 0; stage < kStageCount; ++stage) {
        for (DWORD type = 0; type < kSamplerStateCount; ++type)
            if (const StateEntry* entry = FindSamplerState(type))
                state.sampler[stage][type] = entry->defaultValue;
        for (DWORD type = 0; type < kStageStateCount; ++type)
            state.stage[stage][type] = StageStateDefault(stage, type);
    }
    state.world = state.view = state.projection = IdentityMatrix();
    state.viewport = {0, 0, m_parameters.BackBufferWidth, m_parameters.BackBufferHeight, 0.0f, 1.0f};
    m_state = std::move(state);
    m_statesDirty = m_transformsDirty = m_stagesDirty = true;
}

void Device::ApplyWindowMode()
{
    platform::SetDesktopFullScreen(m_window, !m_parameters.Windowed);
    SDL_GL_SetSwapInterval(m_parameters.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1);
}

// ---- frame ------------------------------------------------------------------------------------

HRESULT Device::TestCooperativeLevel() { return m_lostState; }

HRESULT Device::Reset(D3DPRESENT_PARAMETERS* parameters)
{
    if (!parameters)
        return D3DERR_INVALIDCALL;
    if (m_lostState == D3DERR_DEVICELOST)
        return D3DERR_DEVICELOST;
    if (!MakeCurrent())
        return D3DERR_INVALIDCALL;
    m_state = DeviceState{};
    m_renderTarget.Reset();
    m_depthStencil.Reset();
    m_backBuffer.Reset();
    m_autoDepth.Reset();
    m_inScene = false;
    if (int alive = m_context->defaultPoolResources.load(); alive > 0)
        LogLine("Reset: %d default-pool resources are still alive; they keep working here", alive);
    HRESULT hr = CreateSwapChain(parameters);
    if (FAILED(hr)) {
        m_lostState = D3DERR_DEVICENOTRESET;
        return hr;
    }
    ResetStates();
    ApplyWindowMode();
    m_depthKeepsBackBufferOut = false;
    ChooseBackBufferHome();
    m_lostState = D3D_OK;
    return D3D_OK;
}

HRESULT Device::GetDeviceCaps(D3DCAPS9* caps)
{
    if (!caps)
        return D3DERR_INVALIDCALL;
    *caps = D3DCAPS9{D3DDEVTYPE_HAL, 0, D3DDEVCAPS_HWTRANSFORMANDLIGHT, 8192, 8192, kStageCount,
                     static_cast<DWORD>(m_glStages), 6, 0xFFFFF, 0xFFFFFF, 1, 0, 0};
    return D3D_OK;
}

HRESULT Device::BeginScene()
{
    if (m_inScene)
        return D3DERR_INVALIDCALL;
    if (!MakeCurrent())
        return D3DERR_INVALIDCALL;
    m_context->CollectGarbage();
    m_inScene = true;
    return D3D_OK;
}

HRESULT Device::EndScene()
{
    if (!m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = false;
    return D3D_OK;
}

// ---- resources --------------------------------------------------------------------------------

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DTexture9** texture, HANDLE* sharedHandle)
{
    if (!texture || sharedHandle)
        return D3DERR_INVALIDCALL;
    Texture* created = nullptr;
    HRESULT hr = Texture::Create(m_context, width, height, levels, usage, format, pool, &created);
    *texture = created;
    return hr;
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle)
{
    if (!buffer || sharedHandle || length == 0 || length > (256u << 20))
        return D3DERR_INVALIDCALL;
    *buffer = new VertexBuffer(m_context, length, usage, fvf, pool);
    return D3D_OK;
}

HRESULT Device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle)
{
    if (!buffer || sharedHandle || length == 0 || length > (256u << 20) ||
        (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    *buffer = new IndexBuffer(m_context, length, usage, format, pool);
    return D3D_OK;
}

HRESULT Device::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                          DWORD /*multisampleQuality*/, BOOL /*discard*/, IDirect3DSurface9** surface,
                                          HANDLE* sharedHandle)
{
    if (!surface || sharedHandle || width == 0 || height == 0 || width > 8192 || height > 8192)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (!IsDepthFormat(format) || multiSample != D3DMULTISAMPLE_NONE) {
        LogRefused("CreateDepthStencilSurface: format %u with multisampling %u is not supported",
                   static_cast<unsigned>(format), static_cast<unsigned>(multiSample));
        return D3DERR_INVALIDCALL;
    }
    *surface = Surface::DepthStencil(m_context, width, height, format, true);
    return D3D_OK;
}

HRESULT Device::SetRenderTarget(DWORD index, IDirect3DSurface9* surface)
{
    if (index != 0) {
        LogRefused("SetRenderTarget: only target 0 exists");
        return D3DERR_INVALIDCALL;
    }
    auto* target = dynamic_cast<Surface*>(surface);
    if (!target || !target->ColourTexture() || !target->ColourTexture()->IsRenderTarget())
        return D3DERR_INVALIDCALL;
    m_renderTarget = Ref<Surface>(target);
    Texture* colour = target->ColourTexture();
    m_state.viewport = {0, 0, colour->Width(), colour->Height(), 0.0f, 1.0f};
    m_targetDirty = m_statesDirty = true;
    return D3D_OK;
}

HRESULT Device::GetRenderTarget(DWORD index, IDirect3DSurface9** surface)
{
    if (!surface || index != 0)
        return D3DERR_INVALIDCALL;
    *surface = Ref<Surface>(m_renderTarget).Detach();
    return *surface ? D3D_OK : D3DERR_NOTFOUND;
}

HRESULT Device::SetDepthStencilSurface(IDirect3DSurface9* surface)
{
    auto* depth = dynamic_cast<Surface*>(surface);
    if (surface && (!depth || !depth->IsDepth()))
        return D3DERR_INVALIDCALL;
    m_depthStencil = Ref<Surface>(depth);
    m_targetDirty = true;
    return D3D_OK;
}

HRESULT Device::GetDepthStencilSurface(IDirect3DSurface9** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = Ref<Surface>(m_depthStencil).Detach();
    return *surface ? D3D_OK : D3DERR_NOTFOUND;
}

// ---- states -----------------------------------------------------------------------------------

bool Device::Recording(std::function<void(IDirect3DDevice9*)> change)
{
    if (!m_recording)
        return false;
    m_recording->push_back(std::move(change));
    return true;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (state >= kRenderStateCount || !AcceptRenderState(state, value))
        return D3DERR_INVALIDCALL;
    if (Recording([=](IDirect3DDevice9* d) { d->SetRenderState(state, value); }))
        return D3D_OK;
    if (m_state.render[state] != value) {
        m_state.render[state] = value;
        m_statesDirty = true;
        if (state == D3DRS_TEXTUREFACTOR || state == D3DRS_LIGHTING || state == D3DRS_COLORVERTEX ||
            state == D3DRS_DIFFUSEMATERIALSOURCE)
            m_stagesDirty = true;
        if (state == D3DRS_ZENABLE || state == D3DRS_STENCILENABLE)
            m_targetDirty = true;  // the depth surface is attached only while tested
    }
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value)
{
    if (!value || state >= kRenderStateCount)
        return D3DERR_INVALIDCALL;
    *value = m_state.render[state];
    return D3D_OK;
}

HRESULT Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    if (sampler >= kStageCount || type >= kSamplerStateCount || !AcceptSamplerState(type, value))
        return D3DERR_INVALIDCALL;
    if (Recording([=](IDirect3DDevice9* d) { d->SetSamplerState(sampler, type, value); }))
        return D3D_OK;
    m_state.sampler[sampler][type] = value;
    m_stagesDirty = true;
    return D3D_OK;
}

HRESULT Device::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value)
{
    if (!value || sampler >= kStageCount || type >= kSamplerStateCount)
        return D3DERR_INVALIDCALL;
    *value = m_state.sampler[sampler][type];
    return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    if (stage >= kStageCount || type >= kStageStateCount || !AcceptStageState(stage, type, value))
        return D3DERR_INVALIDCALL;
    if (Recording([=](IDirect3DDevice9* d) { d->SetTextureStageState(stage, type, value); }))
        return D3D_OK;
    m_state.stage[stage][type] = value;
    m_stagesDirty = true;
    return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value)
{
    if (!value || stage >= kStageCount || type >= kStageStateCount)
        return D3DERR_INVALIDCALL;
    *value = m_state.stage[stage][type];
    return D3D_OK;
}

HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    auto* ours = dynamic_cast<Texture*>(texture);
    if (stage >= kStageCount || (texture && !ours))
        return D3DERR_INVALIDCALL;
    Ref<Texture> held(ours);
    if (Recording([=](IDirect3DDevice9* d) { d->SetTexture(stage, held.Get()); }))
        return D3D_OK;
    if (m_state.textures[stage].Get() != ours) {
        m_state.textures[stage] = held;
        m_stagesDirty = true;
    }
    return D3D_OK;
}

HRESULT Device::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture)
{
    if (!texture || stage >= kStageCount)
        return D3DERR_INVALIDCALL;
    *texture = Ref<Texture>(m_state.textures[stage]).Detach();
    return D3D_OK;
}

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    if (!matrix)
        return D3DERR_INVALIDCALL;
    D3DMATRIX* slot = state == D3DTS_WORLD ? &m_state.world
                      : state == D3DTS_VIEW ? &m_state.view
                      : state == D3DTS_PROJECTION ? &m_state.projection
                                                  : nullptr;
    if (!slot) {
        LogRefused("SetTransform: transform %u is not supported", static_cast<unsigned>(state));
        return D3DERR_INVALIDCALL;
    }
    D3DMATRIX copy = *matrix;
    if (Recording([=](IDirect3DDevice9* d) { d->SetTransform(state, &copy); }))
        return D3D_OK;
    *slot = copy;
    m_transformsDirty = true;
    return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix)
{
    if (!matrix)
        return D3DERR_INVALIDCALL;
    const D3DMATRIX* slot = state == D3DTS_WORLD ? &m_state.world
                            : state == D3DTS_VIEW ? &m_state.view
                            : state == D3DTS_PROJECTION ? &m_state.projection
                                                        : nullptr;
    if (!slot)
        return D3DERR_INVALIDCALL;
    *matrix = *slot;
    return D3D_OK;
}

HRESULT Device::SetMaterial(const D3DMATERIAL9* material)
{
    if (!material)
        return D3DERR_INVALIDCALL;
    D3DMATERIAL9 copy = *material;
    if (Recording([=](IDirect3DDevice9* d) { d->SetMaterial(&copy); }))
        return D3D_OK;
    m_state.material = copy;
    m_statesDirty = true;
    return D3D_OK;
}

HRESULT Device::GetMaterial(D3DMATERIAL9* material)
{
    if (!material)
        return D3DERR_INVALIDCALL;
    *material = m_state.material;
    return D3D_OK;
}

HRESULT Device::SetViewport(const D3DVIEWPORT9* viewport)
{
    if (!viewport)
        return D3DERR_INVALIDCALL;
    D3DVIEWPORT9 copy = *viewport;
    if (Recording([=](IDirect3DDevice9* d) { d->SetViewport(&copy); }))
        return D3D_OK;
    Texture* target = m_renderTarget ? m_renderTarget->ColourTexture() : nullptr;
    bool fits = target && copy.Width > 0 && copy.Height > 0 && copy.X <= target->Width() &&
                copy.Y <= target->Height() && copy.Width <= target->Width() - copy.X &&
                copy.Height <= target->Height() - copy.Y;
    if (!fits || copy.MinZ < 0.0f || copy.MaxZ > 1.0f || copy.MinZ > copy.MaxZ) {
        LogLine("SetViewport: (%u,%u) %ux%u z %g..%g does not fit the render target", copy.X, copy.Y, copy.Width,
                copy.Height, copy.MinZ, copy.MaxZ);
        return D3DERR_INVALIDCALL;
    }
    m_state.viewport = copy;
    m_statesDirty = m_transformsDirty = true;
    return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT9* viewport)
{
    if (!viewport)
        return D3DERR_INVALIDCALL;
    *viewport = m_state.viewport;
    return D3D_OK;
}

HRESULT Device::BeginStateBlock()
{
    if (m_recording)
        return D3DERR_INVALIDCALL;
    m_recording = new std::vector<StateBlock::Change>();
    return D3D_OK;
}

HRESULT Device::EndStateBlock(IDirect3DStateBlock9** stateBlock)
{
    if (!stateBlock || !m_recording)
        return D3DERR_INVALIDCALL;
    std::unique_ptr<std::vector<StateBlock::Change>> changes(m_recording);
    m_recording = nullptr;
    *stateBlock = new StateBlock(this, std::move(*changes));
    return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offsetBytes, UINT stride)
{
    auto* ours = dynamic_cast<VertexBuffer*>(buffer);
    if (stream != 0 || (buffer && !ours))
        return D3DERR_INVALIDCALL;
    m_state.stream = Ref<VertexBuffer>(ours);
    m_state.streamOffset = offsetBytes;
    m_state.streamStride = stride;
    return D3D_OK;
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer9* indices)
{
    auto* ours = dynamic_cast<IndexBuffer*>(indices);
    if (indices && !ours)
        return D3DERR_INVALIDCALL;
    m_state.indices = Ref<IndexBuffer>(ours);
    return D3D_OK;
}

HRESULT Device::SetFVF(DWORD fvf)
{
    constexpr DWORD kSupported = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;
    if ((fvf & ~kSupported) != 0 || !(fvf & D3DFVF_XYZ)) {
        LogRefused("SetFVF: vertex format 0x%X is not supported", fvf);
        return D3DERR_INVALIDCALL;
    }
    m_state.fvf = fvf;
    return D3D_OK;
}

HRESULT Device::GetFVF(DWORD* fvf)
{
    if (!fvf)
        return D3DERR_INVALIDCALL;
    *fvf = m_state.fvf;
    return D3D_OK;
}

HRESULT Device::SetVertexShader(void* shader)
{
    if (shader) {
        LogRefused("SetVertexShader: shaders are not supported");
        return D3DERR_INVALIDCALL;
    }
    return D3D_OK;
}

void Device::RestoreState(const DeviceState& saved)
{
    m_state = saved;
    m_statesDirty = m_transformsDirty = m_stagesDirty = true;
}

// ---- drawing ----------------------------------------------------------------------------------

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    UINT count = VertexCount(type, primitiveCount);
    const VertexBuffer* stream = m_state.stream.Get();
    UINT stride = m_state.streamStride;
    if (!stream || count == 0 || stride == 0)
        return D3DERR_INVALIDCALL;
    uint64_t end = m_state.streamOffset + (uint64_t(startVertex) + count) * stride;
    if (end > stream->Memory().Length()) {
        LogLine("DrawPrimitive: vertices %u..%u lie outside the vertex buffer", startVertex, startVertex + count);
        return D3DERR_INVALIDCALL;
    }
    const uint8_t* first = stream->Memory().Data() + m_state.streamOffset + uint64_t(startVertex) * stride;
    return Submit(GlMode(type), first, stride, m_state.fvf, count, nullptr, false);
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT /*minVertexIndex*/,
                                     UINT /*numVertices*/, UINT startIndex, UINT primitiveCount)
{
    UINT count = VertexCount(type, primitiveCount);
    const VertexBuffer* stream = m_state.stream.Get();
    const IndexBuffer* indices = m_state.indices.Get();
    UINT stride = m_state.streamStride;
    if (!stream || !indices || count == 0 || stride == 0 || baseVertexIndex < 0)
        return D3DERR_INVALIDCALL;
    bool wide = indices->Format() == D3DFMT_INDEX32;
    UINT indexSize = wide ? 4 : 2;
    if ((uint64_t(startIndex) + count) * indexSize > indices->Memory().Length())
        return D3DERR_INVALIDCALL;
    const uint8_t* firstIndex = indices->Memory().Data() + uint64_t(startIndex) * indexSize;
    uint32_t highest = 0;
    for (UINT i = 0; i < count; ++i) {
        uint32_t index = 0;
        std::memcpy(&index, firstIndex + i * indexSize, indexSize);
        highest = std::max(highest, index);
    }
    uint64_t base = m_state.streamOffset + uint64_t(baseVertexIndex) * stride;
    if (base + (uint64_t(highest) + 1) * stride > stream->Memory().Length()) {
        LogLine("DrawIndexedPrimitive: index %u lies outside the vertex buffer", highest);
        return D3DERR_INVALIDCALL;
    }
    return Submit(GlMode(type), stream->Memory().Data() + base, stride, m_state.fvf, count, firstIndex, wide);
}

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                                UINT vertexStride)
{
    UINT count = VertexCount(type, primitiveCount);
    if (!vertexData || count == 0 || vertexStride == 0)
        return D3DERR_INVALIDCALL;
    HRESULT hr = Submit(GlMode(type), static_cast<const uint8_t*>(vertexData), vertexStride, m_state.fvf, count,
                        nullptr, false);
    // As Direct3D does, a drawing from user memory leaves no stream source behind.
    m_state.stream.Reset();
    m_state.streamOffset = m_state.streamStride = 0;
    return hr;
}

// ---- test hooks -------------------------------------------------------------------------------

void LoseDevice(IDirect3DDevice9* device)
{
    if (Device* ours = AsDevice(device))
        ours->SetLost(D3DERR_DEVICELOST);
}

void AllowDeviceReset(IDirect3DDevice9* device)
{
    Device* ours = AsDevice(device);
    if (ours && ours->TestCooperativeLevel() == D3DERR_DEVICELOST)
        ours->SetLost(D3DERR_DEVICENOTRESET);
}

} // namespace platform::d3d9
