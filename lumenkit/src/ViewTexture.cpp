// Render targets: the back-buffer wrapper the renderer draws each frame into, and textures
// that scenes can be rendered into.
#include <lumenkit/ViewTexture.h>

#include <lumenkit/Direct3DDevice.h>

#include <helvane/DXUtil.h>

int CViewTexture::m_bStaticBeginScene = 0;

namespace {

CDirect3DDevice& Device()
{
    return singleton<CDirect3DDevice>::GetSingleton();
}

} // namespace

CViewTexture::CViewTexture(IDirect3DSurface9* target, IDirect3DSurface9* depth)
{
    Create(target, depth);
    if (g_pRenderer)
        g_pRenderer->AddDeviceObject(this);
}

CViewTexture::CViewTexture(int width, int height, int withDepth)
{
    Create(width, height, withDepth);
    if (g_pRenderer)
        g_pRenderer->AddDeviceObject(this);
}

CViewTexture::~CViewTexture()
{
    if (g_pRenderer)
        g_pRenderer->DeleteDeviceObject(this);
    Close();
}

void CViewTexture::Init()
{
    m_pTexture = nullptr;
    m_pRenderToSurface = nullptr;
    m_pSurface = nullptr;
    m_pDepth = nullptr;
    m_bBeginScene = 0;
    m_nWidth = m_nHeight = 0;
    m_bExternalDepth = m_bOwnDepth = m_bOwnTexture = 0;
}

void CViewTexture::Create(IDirect3DSurface9* target, IDirect3DSurface9* depth)
{
    m_pSurface = target;
    m_pDepth = depth;
    D3DSURFACE_DESC desc{};
    if (target && SUCCEEDED(target->GetDesc(&desc))) {
        m_nWidth = static_cast<int>(desc.Width);
        m_nHeight = static_cast<int>(desc.Height);
    }
}

void CViewTexture::Create(int width, int height, int withDepth)
{
    IDirect3DDevice9* device = Device().m_pd3dDevice;
    m_nWidth = width;
    m_nHeight = height;
    m_bOwnTexture = 1;
    if (!device)
        return;
    if (FAILED(device->CreateTexture(static_cast<UINT>(width), static_cast<UINT>(height), 1, D3DUSAGE_RENDERTARGET,
                                     Device().GetFormat(), D3DPOOL_DEFAULT, &m_pTexture, nullptr)))
        m_pTexture = nullptr;
    if (withDepth) {
        m_bOwnDepth = 1;
        if (FAILED(device->CreateDepthStencilSurface(static_cast<UINT>(width), static_cast<UINT>(height), D3DFMT_D24S8,
                                                     D3DMULTISAMPLE_NONE, 0, TRUE, &m_pDepth, nullptr)))
            m_pDepth = nullptr;
    }
    CreateRenderToSurface();
}

void CViewTexture::CreateRenderToSurface()
{
    ReleaseAndClear(m_pRenderToSurface);
    IDirect3DDevice9* device = Device().m_pd3dDevice;
    if (device && FAILED(D3DXCreateRenderToSurface(device, static_cast<UINT>(m_nWidth), static_cast<UINT>(m_nHeight),
                                                   Device().GetFormat(), TRUE, D3DFMT_D16, &m_pRenderToSurface)))
        m_pRenderToSurface = nullptr;
}

void CViewTexture::CreateTextureSurface()
{
    ReleaseAndClear(m_pSurface);
    if (m_pTexture && FAILED(m_pTexture->GetSurfaceLevel(0, &m_pSurface)))
        m_pSurface = nullptr;
}

bool CViewTexture::FetchTargetSurface()
{
    if (!m_pSurface && m_pTexture && FAILED(m_pTexture->GetSurfaceLevel(0, &m_pSurface)))
        m_pSurface = nullptr;
    return m_pSurface != nullptr;
}

void CViewTexture::Close()
{
    ReleaseAndClear(m_pRenderToSurface);
    ReleaseAndClear(m_pSurface);
    if (m_bExternalDepth)
        m_pDepth = nullptr;
    else
        ReleaseAndClear(m_pDepth);
    ReleaseAndClear(m_pTexture);
}

int CViewTexture::BeginScene(D3DCOLOR color, DWORD clearFlags)
{
    IDirect3DDevice9* device = Device().m_pd3dDevice;
    if (Device().GetDestroyWindowFlag() || !device || !FetchTargetSurface())
        return 0;
    if (m_pDepth) {
        device->SetRenderTarget(0, m_pSurface);
        if (FAILED(device->SetDepthStencilSurface(m_pDepth)) || FAILED(device->BeginScene()))
            return 0;
    } else if (!m_pRenderToSurface || FAILED(m_pRenderToSurface->BeginScene(m_pSurface, nullptr))) {
        return 0;
    }
    m_bBeginScene = 1;
    m_bStaticBeginScene = 1;
    if (clearFlags)
        device->Clear(0, nullptr, clearFlags, color, 1.0f, 0);
    return 1;
}

void CViewTexture::EndScene()
{
    IDirect3DDevice9* device = Device().m_pd3dDevice;
    if (Device().GetDestroyWindowFlag() || !device)
        return;
    m_bBeginScene = 0;
    m_bStaticBeginScene = 0;
    if (m_pDepth)
        device->EndScene();
    else if (m_pRenderToSurface)
        m_pRenderToSurface->EndScene(D3DX_FILTER_NONE);
}

void CViewTexture::Clear(D3DCOLOR color)
{
    IDirect3DDevice9* device = Device().m_pd3dDevice;
    if (!device || !FetchTargetSurface())
        return;
    device->SetRenderTarget(0, m_pSurface);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, color, 1.0f, 0);
}

void CViewTexture::SetStencilSurface(IDirect3DSurface9* surface)
{
    if (!m_bExternalDepth) {
        ReleaseAndClear(m_pDepth);
        m_bOwnDepth = 0;
    }
    m_pDepth = surface;
    m_bExternalDepth = 1;
}

void CViewTexture::Invalidate()
{
    if (!m_bOwnTexture)
        return;
    ReleaseAndClear(m_pTexture);
    ReleaseAndClear(m_pRenderToSurface);
    ReleaseAndClear(m_pSurface);
    if (m_bOwnDepth)
        ReleaseAndClear(m_pDepth);
}

void CViewTexture::Restore()
{
    if (m_bOwnTexture)
        Create(m_nWidth, m_nHeight, m_bOwnDepth);
}
