// D3DX render to surface: a scene drawn into a render-target surface through the device's
// framebuffer objects, with a depth buffer of its own when asked for.
// Implemented: GetDesc, BeginScene (target, depth, viewport), EndScene (previous target, depth and
//              viewport put back), OnLostDevice/OnResetDevice (the depth buffer is let go and
//              made again).
// Left out:    mip filtering at EndScene (render targets have one level).
#include "Device.h"
#include "Log.h"
#include "PixelFormats.h"

#include <d3d9/D3DX9.h>

namespace platform::d3d9 {

namespace {

class RenderToSurface final : public RefCounted<ID3DXRenderToSurface> {
public:
    RenderToSurface(Device* device, const D3DXRTS_DESC& desc) : m_device(device), m_desc(desc) {}

    HRESULT GetDesc(D3DXRTS_DESC* desc) override
    {
        if (!desc)
            return D3DERR_INVALIDCALL;
        *desc = m_desc;
        return D3D_OK;
    }

    HRESULT BeginScene(IDirect3DSurface9* surface, const D3DVIEWPORT9* viewport) override
    {
        if (m_inScene || !surface)
            return D3DERR_INVALIDCALL;
        if (m_desc.DepthStencil && !m_depth && FAILED(OnResetDevice()))
            return D3DERR_INVALIDCALL;
        IDirect3DSurface9* previousTarget = nullptr;
        IDirect3DSurface9* previousDepth = nullptr;
        m_device->GetRenderTarget(0, &previousTarget);
        m_device->GetDepthStencilSurface(&previousDepth);
        m_previousTarget = Ref<IDirect3DSurface9>::Adopt(previousTarget);
        m_previousDepth = Ref<IDirect3DSurface9>::Adopt(previousDepth);
        m_device->GetViewport(&m_previousViewport);

        HRESULT hr = m_device->SetRenderTarget(0, surface);
        if (SUCCEEDED(hr))
            hr = m_device->SetDepthStencilSurface(m_depth.Get());
        if (SUCCEEDED(hr) && viewport)
            hr = m_device->SetViewport(viewport);
        if (SUCCEEDED(hr))
            hr = m_device->BeginScene();
        if (FAILED(hr)) {
            PutBack();
            return hr;
        }
        m_inScene = true;
        return D3D_OK;
    }

    HRESULT EndScene(DWORD /*mipFilter*/) override
    {
        if (!m_inScene)
            return D3DERR_INVALIDCALL;
        m_inScene = false;
        HRESULT hr = m_device->EndScene();
        PutBack();
        return hr;
    }

    HRESULT OnLostDevice() override
    {
        m_depth.Reset();
        return D3D_OK;
    }

    HRESULT OnResetDevice() override
    {
        if (!m_desc.DepthStencil || m_depth)
            return D3D_OK;
        IDirect3DSurface9* depth = nullptr;
        HRESULT hr = m_device->CreateDepthStencilSurface(m_desc.Width, m_desc.Height, m_desc.DepthStencilFormat,
                                                         D3DMULTISAMPLE_NONE, 0, TRUE, &depth, nullptr);
        m_depth = Ref<IDirect3DSurface9>::Adopt(depth);
        return hr;
    }

private:
    ~RenderToSurface() override
    {
        m_depth.Reset();
        m_device->Release();
    }

    void PutBack()
    {
        if (m_previousTarget)
            m_device->SetRenderTarget(0, m_previousTarget.Get());
        m_device->SetDepthStencilSurface(m_previousDepth.Get());
        m_device->SetViewport(&m_previousViewport);
        m_previousTarget.Reset();
        m_previousDepth.Reset();
    }

    Device* m_device;
    D3DXRTS_DESC m_desc;
    Ref<IDirect3DSurface9> m_depth;
    Ref<IDirect3DSurface9> m_previousTarget, m_previousDepth;
    D3DVIEWPORT9 m_previousViewport{};
    bool m_inScene = false;
};

} // namespace

} // namespace platform::d3d9

HRESULT D3DXCreateRenderToSurface(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT format,
                                  BOOL depthStencil, D3DFORMAT depthStencilFormat,
                                  ID3DXRenderToSurface** renderToSurface)
{
    using namespace platform::d3d9;
    Device* ours = AsDevice(device);
    if (!ours || !renderToSurface || width == 0 || height == 0)
        return D3DERR_INVALIDCALL;
    *renderToSurface = nullptr;
    if (depthStencil && !IsDepthFormat(depthStencilFormat))
        return D3DERR_INVALIDCALL;
    ours->AddRef();
    auto* created = new RenderToSurface(ours, {width, height, format, depthStencil, depthStencilFormat});
    HRESULT hr = created->OnResetDevice();
    if (FAILED(hr)) {
        created->Release();
        return hr;
    }
    *renderToSurface = created;
    return D3D_OK;
}
