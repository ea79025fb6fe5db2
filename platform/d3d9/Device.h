// The Direct3D device over one OpenGL context. Device.cpp holds creation, the frame, resources
// and the state setters; DevicePipeline.cpp turns the states into OpenGL and draws.
#pragma once

#include "Buffers.h"
#include "RefCounted.h"
#include "RenderContext.h"
#include "StateTable.h"
#include "Texture.h"

#include <d3d9/D3D9.h>

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

struct SDL_Window;

namespace platform::d3d9 {

// Everything a state block, a sprite's Begin/End or a Reset saves and restores.
struct DeviceState {
    std::array<DWORD, kRenderStateCount> render{};
    std::array<std::array<DWORD, kSamplerStateCount>, kStageCount> sampler{};
    std::array<std::array<DWORD, kStageStateCount>, kStageCount> stage{};
    std::array<Ref<Texture>, kStageCount> textures;
    D3DMATRIX world{}, view{}, projection{};
    D3DMATERIAL9 material{};
    D3DVIEWPORT9 viewport{};
    DWORD fvf = 0;
    Ref<VertexBuffer> stream;
    UINT streamOffset = 0, streamStride = 0;
    Ref<IndexBuffer> indices;
};

// One vertex of the sprite's quads: position in pixels, colour, texture coordinates.
struct QuadVertex {
    float x, y, z;
    DWORD color;
    float u, v;
};

// The OpenGL primitive of a Direct3D primitive type.
unsigned GlMode(D3DPRIMITIVETYPE type);

class Device final : public RefCounted<IDirect3DDevice9> {
public:
    static HRESULT Create(SDL_Window* window, D3DPRESENT_PARAMETERS* parameters, Device** out);

    // IDirect3DDevice9
    HRESULT TestCooperativeLevel() override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow, const void* dirtyRegion) override;
    HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const RECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               HANDLE* sharedHandle) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle) override;
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                      DWORD multisampleQuality, BOOL discard, IDirect3DSurface9** surface,
                                      HANDLE* sharedHandle) override;
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT GetMaterial(D3DMATERIAL9* material) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT BeginStateBlock() override;
    HRESULT EndStateBlock(IDirect3DStateBlock9** stateBlock) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offsetBytes, UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* indices) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT GetFVF(DWORD* fvf) override;
    HRESULT SetVertexShader(void* shader) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                            UINT vertexStride) override;

    // For the D3DX objects and the test hooks.
    const RenderContextPtr& Context() const { return m_context; }
    const DeviceState& State() const { return m_state; }
    // Puts a saved state back (sprite End), through the setters so the changes are tracked.
    void RestoreState(const DeviceState& saved);
    // Draws quads of the sprite with the current states and the current texture of stage 0.
    HRESULT DrawQuads(const QuadVertex* vertices, UINT quadCount);
    void SetLost(HRESULT cooperativeLevel) { m_lostState = cooperativeLevel; }
    // Presented frames that OpenGL has not finished drawing yet (at most kMaxFramesInFlight
    // after Present returns).
    int FramesInFlight();
    static constexpr size_t kMaxFramesInFlight = 2;

private:
    Device(SDL_Window* window, void* glContext);
    ~Device() override;

    HRESULT CreateSwapChain(D3DPRESENT_PARAMETERS* parameters);
    void ResetStates();
    void ApplyWindowMode();
    bool MakeCurrent();
    bool Recording(std::function<void(IDirect3DDevice9*)> change);

    // DevicePipeline.cpp
    void InitGl();
    void BindTarget();
    bool DepthOrStencilTested() const;
    void MoveBackBufferOutOfTheWindow();
    void ApplyDeferredClear(Surface& depth);
    void ApplyStates(DWORD fvf);
    void ApplyRenderStates();
    bool AlphaTestChangesTheResult() const;
    struct QuadPlan {
        bool baseLevelOnly = false;  // no texel is minified: stage 0 samples without mip levels
        bool textureOnly = false;    // white quads, texture times colour: the texels are the colour
        bool opaqueCopy = false;     // texture only, opaque, replacing the target: no blending needed
    };
    QuadPlan PlanQuads(const QuadVertex* vertices, UINT quadCount) const;
    float TexelsPerPixel(const QuadVertex* vertices, UINT quadCount, const Texture& texture) const;
    // Returns whether the texture-only program was put in use (to be taken out after the draw).
    bool ApplyQuadPlan();
    void MakeTextureOnlyProgram();
    void DrawSeparateQuads(UINT quadCount);
    void ScaleIntoWindow(Texture& back);
    void CopyToWindow(Texture& back, int x, int y, int w, int h);
    // Fences the presented frame and waits for the oldest while more are in flight.
    void BoundFramesInFlight();
    void DropFences();
    bool BackBufferFitsTheWindow();
    void ChooseBackBufferHome();
    bool TargetIsWindow() const;
    // The first OpenGL row of `height` rows that start `top` rows below the target's top.
    int GlRowOf(long top, long height) const;
    void ApplyTransforms();
    void ApplyLighting(DWORD fvf);
    void ApplyStages();
    void RebindTextures();
    void ApplySampler(DWORD stage, Texture& texture);
    // Draws `count` vertices (or indices, when given) as OpenGL primitives of `glMode`.
    HRESULT Submit(unsigned glMode, const uint8_t* vertices, UINT stride, DWORD fvf, UINT count,
                   const void* indices, bool indices32);

    SDL_Window* m_window;
    void* m_glContext;
    RenderContextPtr m_context;
    D3DPRESENT_PARAMETERS m_parameters{};
    DeviceState m_state;
    Ref<Surface> m_backBuffer, m_autoDepth;
    Ref<Surface> m_renderTarget, m_depthStencil;
    bool m_inScene = false;
    // One fence per presented frame not yet known to be drawn, oldest first; empty when the
    // OpenGL context has no fences.
    std::deque<void*> m_frameFences;
    bool m_hasFences = false;
    HRESULT m_lostState = D3D_OK;
    std::vector<std::function<void(IDirect3DDevice9*)>>* m_recording = nullptr;

    // What OpenGL has; a draw sends only what changed since.
    bool m_depthAttached = false, m_forceDepthAttached = false, m_clearing = false;
    // Whether the window's own depth and stencil bits hold the back buffer's depth format, and
    // whether depth was tested while the window could not hold it (the back buffer then stays
    // a texture until the device is reset).
    bool m_windowDepthFits = false, m_depthKeepsBackBufferOut = false;
    bool m_targetDirty = true, m_statesDirty = true, m_transformsDirty = true, m_stagesDirty = true;
    unsigned m_whiteTexture = 0;
    unsigned m_textureOnlyProgram = 0;  // 0 where OpenGL cannot compile it
    // The first vertex and the vertex count of quad i, for drawing quads one by one in one call.
    std::vector<int> m_quadFirsts;
    std::vector<int> m_quadCounts;
    int m_glStages = 2;
    DWORD m_appliedFvf = 0xFFFFFFFF;
    bool m_appliedToWindow = false;  // the orientation the applied viewport and transforms are for
    QuadPlan m_quadPlan;             // of the sprite quads being drawn
};

Device* AsDevice(IDirect3DDevice9* device);
D3DMATRIX IdentityMatrix();

} // namespace platform::d3d9
