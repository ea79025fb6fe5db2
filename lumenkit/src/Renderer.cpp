// The frame renderer: frame gate, scene, lost-device reset, sprite queue and device objects.
#include <lumenkit/Renderer.h>

#include <lumenkit/Direct3DDevice.h>
#include <lumenkit/Drawers.h>
#include <lumenkit/ViewTexture.h>

#include <helvane/DXUtil.h>

#include <algorithm>
#include <bit>

CRenderer* g_pRenderer = nullptr;
int CRenderer::m_bBeginRenderer = 0;
ID3DXSprite* CRenderer::m_SprDevice = nullptr;

namespace {

CDirect3DDevice& Device()
{
    return singleton<CDirect3DDevice>::GetSingleton();
}

bool Closing()
{
    return Device().GetDestroyWindowFlag() != 0;
}

// A colour at most 0x01000000 (alpha 0, or exactly 0x01000000) is not drawn at all.
constexpr D3DCOLOR kInvisibleLimit = 0x01000000;

} // namespace

CRenderer::~CRenderer()
{
    Close();
    m_DeviceObjects.clear();
    for (stSpriteObject* record : m_SpritePool)
        delete record;
}

void CRenderer::Begin()
{
    if (!Closing())
        m_bBeginRenderer = 1;
}

void CRenderer::End()
{
    if (!Closing())
        m_bBeginRenderer = 0;
}

void CRenderer::Init()
{
    m_nUsedSprite = 0;
    m_pViewTexture = nullptr;
    m_pDefaultStateBlock = nullptr;
}

void CRenderer::Close()
{
    ReleaseAndClear(m_pDefaultStateBlock);
    delete m_pViewTexture;
    m_pViewTexture = nullptr;
}

// ---- scene ----------------------------------------------------------------------------------

int CRenderer::BeginScene(D3DCOLOR clearColor)
{
    IDirect3DDevice9* device = Device().m_pd3dDevice;
    if (!m_bBeginRenderer || Closing() || !device)
        return 0;
    device->SetSamplerState(0, D3DSAMP_MIPMAPLODBIAS, std::bit_cast<DWORD>(-1.5f));
    const HRESULT level = device->TestCooperativeLevel();
    if (level == D3DERR_DEVICELOST)
        return 0;
    if (level == D3DERR_DEVICENOTRESET) {
        Resize3DEnvironment();
        return 0;
    }
    LockDrawers();
    if (!m_pViewTexture || !m_pViewTexture->BeginScene(clearColor, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER)) {
        // The caller skips EndScene for this frame: the buffers must not stay locked.
        UnlockDrawers();
        return 0;
    }
    return 1;
}

void CRenderer::EndScene()
{
    if (Closing())
        return;
    FlushDrawers();
    if (m_pViewTexture)
        m_pViewTexture->EndScene();
    if (IDirect3DDevice9* device = Device().m_pd3dDevice)
        device->Present(nullptr, nullptr, nullptr, nullptr);
}

void CRenderer::LockDrawers()
{
    singleton<CLineDrawer>::GetSingleton().BeginDrawLine();
    singleton<LineDrawer2D>::GetSingleton().BeginDrawLine();
    singleton<PolygonDrawer2D>::GetSingleton().BeginDrawPolygon();
    singleton<TextureDrawer2D>::GetSingleton().BeginDrawTexture();
}

void CRenderer::UnlockDrawers()
{
    singleton<CLineDrawer>::GetSingleton().Unlock();
    singleton<LineDrawer2D>::GetSingleton().Unlock();
    singleton<PolygonDrawer2D>::GetSingleton().Unlock();
    singleton<TextureDrawer2D>::GetSingleton().Unlock();
}

void CRenderer::FlushDrawers()
{
    singleton<CLineDrawer>::GetSingleton().EndDrawLine();
    singleton<LineDrawer2D>::GetSingleton().EndDrawLine();
    singleton<PolygonDrawer2D>::GetSingleton().EndDrawPolygon();
    singleton<TextureDrawer2D>::GetSingleton().EndDrawTexture();
}

// ---- sprites --------------------------------------------------------------------------------

void CRenderer::DrawSprite(IDirect3DTexture9* texture, RECT* srcRect, D3DXVECTOR3* center, D3DXVECTOR3* position,
                           D3DCOLOR color, D3DXMATRIX* transform)
{
    DrawSortSprite(texture, srcRect, center, position, color, transform);
}

void CRenderer::DrawSortSprite(IDirect3DTexture9* texture, RECT* srcRect, D3DXVECTOR3* center, D3DXVECTOR3* position,
                               D3DCOLOR color, D3DXMATRIX* transform)
{
    if (color <= kInvisibleLimit)
        return;
    if (m_nUsedSprite == static_cast<int>(m_SpritePool.size()))
        m_SpritePool.push_back(new stSpriteObject{});
    stSpriteObject& record = *m_SpritePool[m_nUsedSprite++];
    record.pTexture = texture;
    record.dwFlags = 0;
    if (srcRect) {
        record.rcSrc = *srcRect;
        record.dwFlags |= stSpriteObject::kHasRect;
    }
    if (center) {
        record.vCenter = *center;
        record.dwFlags |= stSpriteObject::kHasCenter;
    }
    if (position) {
        record.vPosition = *position;
        record.dwFlags |= stSpriteObject::kHasPosition;
    }
    record.color = color;
    if (transform) {
        record.matTransform = *transform;
        record.dwFlags |= stSpriteObject::kHasTransform;
    }
}

void CRenderer::FlushSprite()
{
    ID3DXSprite* sprite = m_SprDevice;
    IDirect3DDevice9* device = Device().m_pd3dDevice;
    if (!sprite || !device) {
        m_nUsedSprite = 0;
        return;
    }
    sprite->GetTransform(&m_matFlushTransform);
    m_bFlushTransformInForce = false;
    sprite->Begin(D3DXSPRITE_ALPHABLEND);
    // Queued sprites lie on top of each other in the order they were queued, whatever depth their
    // positions carry: the depth test stays off for the batch.
    DWORD depthTest = D3DZB_FALSE;
    device->GetRenderState(D3DRS_ZENABLE, &depthTest);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    for (int i = 0; i < m_nUsedSprite; ++i)
        DrawSprite(m_SpritePool[i]);
    sprite->End();
    device->SetRenderState(D3DRS_ZENABLE, depthTest);
    m_nUsedSprite = 0;
    sprite->SetTransform(&m_matFlushTransform);
}

void CRenderer::DrawSprite(stSpriteObject* record)
{
    ID3DXSprite* sprite = m_SprDevice;
    if (!sprite || !record)
        return;
    if (record->dwFlags & stSpriteObject::kHasTransform) {
        sprite->SetTransform(&record->matTransform);
        m_bFlushTransformInForce = false;
    } else if (!m_bFlushTransformInForce) {
        sprite->SetTransform(&m_matFlushTransform);
        m_bFlushTransformInForce = true;
    }
    sprite->Draw(record->pTexture, (record->dwFlags & stSpriteObject::kHasRect) ? &record->rcSrc : nullptr,
                 (record->dwFlags & stSpriteObject::kHasCenter) ? &record->vCenter : nullptr,
                 (record->dwFlags & stSpriteObject::kHasPosition) ? &record->vPosition : nullptr, record->color);
}

void CRenderer::ClearSprite()
{
    for (stSpriteObject* record : m_SpritePool)
        delete record;
    m_SpritePool.clear();
    m_nUsedSprite = 0;
}

// ---- targets and reset ----------------------------------------------------------------------

void CRenderer::SetViewTarget()
{
    IDirect3DDevice9* device = Device().m_pd3dDevice;
    if (!device)
        return;
    IDirect3DSurface9* target = nullptr;
    IDirect3DSurface9* depth = nullptr;
    device->GetRenderTarget(0, &target);
    device->GetDepthStencilSurface(&depth);
    m_pViewTexture = new CViewTexture(target, depth);
}

void CRenderer::Invalidate()
{
    Close();
    if (m_SprDevice)
        m_SprDevice->OnLostDevice();
    // A device object may unregister while it is told; walk a copy of the list.
    const std::list<DeviceObject*> objects = m_DeviceObjects;
    for (DeviceObject* object : objects)
        object->Invalidate();
}

void CRenderer::Restore()
{
    if (m_SprDevice)
        m_SprDevice->OnResetDevice();
    SetViewTarget();
    const std::list<DeviceObject*> objects = m_DeviceObjects;
    for (DeviceObject* object : objects)
        object->Restore();
    InitRenderState();
}

void CRenderer::Resize3DEnvironment()
{
    IDirect3DDevice9* device = Device().m_pd3dDevice;
    if (!device)
        return;
    Invalidate();
    // A failed reset shows again at the next BeginScene, which repeats this.
    device->Reset(&Device().m_d3dpp);
    Restore();
    DXUtil_Timer(TIMER_START);
}

void CRenderer::InitRenderState()
{
    IDirect3DDevice9* device = Device().m_pd3dDevice;
    if (m_pDefaultStateBlock || !device)
        return;
    device->BeginStateBlock();
    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    viewport.MinZ = 0.1f;
    device->SetViewport(&viewport);
    if (FAILED(device->EndStateBlock(&m_pDefaultStateBlock)))
        m_pDefaultStateBlock = nullptr;
}

void CRenderer::RestoreDefaultStateBlock()
{
    if (m_pDefaultStateBlock)
        m_pDefaultStateBlock->Apply();
}

void CRenderer::AddDeviceObject(DeviceObject* object)
{
    if (std::find(m_DeviceObjects.begin(), m_DeviceObjects.end(), object) == m_DeviceObjects.end())
        m_DeviceObjects.push_back(object);
}

void CRenderer::DeleteDeviceObject(DeviceObject* object)
{
    auto it = std::find(m_DeviceObjects.begin(), m_DeviceObjects.end(), object);
    if (it != m_DeviceObjects.end())
        m_DeviceObjects.erase(it);
}
