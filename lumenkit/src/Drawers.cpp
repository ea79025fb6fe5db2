// Batched drawers: buffer life, batching and the fixed device states around each draw.
#include <lumenkit/Drawers.h>

#include <lumenkit/Direct3DDevice.h>

#include <helvane/DXUtil.h>

#include <cstring>

namespace {

IDirect3DDevice9* Device()
{
    return singleton<CDirect3DDevice>::GetSingleton().m_pd3dDevice;
}

D3DXMATRIX IdentityMatrix()
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

const DrawerLayout kLineLayout{262144, D3DUSAGE_WRITEONLY, D3DPOOL_MANAGED, D3DFVF_XYZ | D3DFVF_DIFFUSE,
                               16, D3DPT_LINELIST, 2, 8192};
const DrawerLayout kPolygonLayout{1536 * 16, D3DUSAGE_SOFTWAREPROCESSING, D3DPOOL_SYSTEMMEM,
                                  D3DFVF_XYZ | D3DFVF_DIFFUSE, 16, D3DPT_TRIANGLELIST, 3, 512};
const DrawerLayout kPolygon2DLayout{24576, D3DUSAGE_WRITEONLY, D3DPOOL_SYSTEMMEM, D3DFVF_XYZ | D3DFVF_DIFFUSE,
                                    16, D3DPT_TRIANGLELIST, 3, 512};
const DrawerLayout kTexture2DLayout{73728, D3DUSAGE_WRITEONLY, D3DPOOL_SYSTEMMEM,
                                    D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, 24, D3DPT_TRIANGLELIST, 3, 1024};

void SetWhiteMaterial(IDirect3DDevice9* device)
{
    D3DMATERIAL9 material{};
    material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    device->SetMaterial(&material);
}

// The states shared by every drawer before its draw; blend factors differ per drawer.
void SetCommonStates(IDirect3DDevice9* device, BOOL blend, DWORD srcBlend, DWORD destBlend)
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, blend);
    device->SetRenderState(D3DRS_ALPHAREF, 0);
    device->SetRenderState(D3DRS_SRCBLEND, srcBlend);
    device->SetRenderState(D3DRS_DESTBLEND, destBlend);
}

void SetScreenTransforms(IDirect3DDevice9* device)
{
    const D3DXMATRIX identity = IdentityMatrix();
    device->SetTransform(D3DTS_VIEW, &identity);
    device->SetTransform(D3DTS_PROJECTION, &identity);
}

// Diffuse times texture for colour and alpha, clamped addressing: the 2-D triangle drawers.
void SetModulateStage(IDirect3DDevice9* device)
{
    device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
}

void SetLineBlendAfterDraw(IDirect3DDevice9* device)
{
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

stDrawerVertex ScreenVertex(const D3DXVECTOR3& pixel, D3DCOLOR color)
{
    const D3DXVECTOR3 clip = PixelToClip(pixel);
    return {clip.x, clip.y, clip.z, color};
}

} // namespace

D3DXVECTOR3 PixelToClip(const D3DXVECTOR3& pixel)
{
    const CDirect3DDevice& device = singleton<CDirect3DDevice>::GetSingleton();
    const float w = static_cast<float>(device.GetWidth());
    const float h = static_cast<float>(device.GetHeight());
    return {pixel.x / w * 2.0f - 1.0f, 1.0f - pixel.y / h * 2.0f, pixel.z};
}

CBatchDrawer::~CBatchDrawer()
{
    Close();
}

void CBatchDrawer::Init()
{
    if (!m_pVB) {
        IDirect3DDevice9* device = Device();
        if (!device || FAILED(device->CreateVertexBuffer(m_Layout.bufferBytes, m_Layout.usage, m_Layout.fvf,
                                                         m_Layout.pool, &m_pVB, nullptr)))
            m_pVB = nullptr;
    }
    m_bInit = 1;
    m_nCount = 0;
}

void CBatchDrawer::Lock()
{
    // A buffer still locked from an earlier begin is unlocked first, so locks never nest.
    Unlock();
    if (!m_pVB)
        Init();
    void* data = nullptr;
    if (m_pVB && SUCCEEDED(m_pVB->Lock(0, 0, &data, 0)) && data) {
        m_pWrite = static_cast<BYTE*>(data);
        m_nCount = 0;
    } else {
        // A failed lock keeps the count; the old pointer may point at memory no longer ours.
        m_pWrite = nullptr;
    }
}

void CBatchDrawer::Unlock()
{
    if (m_pVB && m_pWrite)
        m_pVB->Unlock();
    m_pWrite = nullptr;
}

void CBatchDrawer::Close()
{
    Unlock();
    ReleaseAndClear(m_pVB);
    m_nCount = 0;
}

void CBatchDrawer::FlushNow()
{
    Unlock();
    Draw();
    Lock();
}

void CBatchDrawer::Append(const void* vertices, int primitives)
{
    if (!m_pWrite)
        return;
    // A primitive group that would not fit draws the batch first, so the buffer is never
    // written past its end.
    if (m_nCount + primitives > m_Layout.batchLimit) {
        FlushNow();
        if (!m_pWrite)
            return;
    }
    const size_t vertexBytes = m_Layout.stride * m_Layout.verticesPerPrimitive;
    std::memcpy(m_pWrite + m_nCount * vertexBytes, vertices, vertexBytes * primitives);
    m_nCount += primitives;
    if (m_nCount >= m_Layout.batchLimit)
        FlushNow();
}

void CBatchDrawer::Draw()
{
    IDirect3DDevice9* device = Device();
    if (m_nCount == 0 || !m_pVB || !device)
        return;
    const D3DXMATRIX identity = IdentityMatrix();
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetTexture(0, nullptr);
    device->SetTexture(1, nullptr);
    SetStatesBeforeDraw(device);
    SetWhiteMaterial(device);
    device->SetStreamSource(0, m_pVB, 0, m_Layout.stride);
    device->SetVertexShader(nullptr);
    device->SetFVF(m_Layout.fvf);
    device->DrawPrimitive(m_Layout.primitive, 0, m_nCount);
    SetStatesAfterDraw(device);
}

void CBatchDrawer::SetStatesAfterDraw(IDirect3DDevice9* device)
{
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 2);
}

void CLineBatchDrawer::SetStatesAfterDraw(IDirect3DDevice9* device)
{
    CBatchDrawer::SetStatesAfterDraw(device);
    SetLineBlendAfterDraw(device);
}

CLineDrawer::CLineDrawer() : CLineBatchDrawer(kLineLayout) {}

void CLineDrawer::DrawLine(D3DXVECTOR3 start, D3DXVECTOR3 end, D3DCOLOR color)
{
    const stDrawerVertex line[2] = {{start.x, start.y, start.z, color}, {end.x, end.y, end.z, color}};
    Append(line, 1);
}

void CLineDrawer::SetStatesBeforeDraw(IDirect3DDevice9* device)
{
    SetCommonStates(device, TRUE, D3DBLEND_SRCCOLOR, D3DBLEND_INVSRCCOLOR);
}

LineDrawer2D::LineDrawer2D() : CLineBatchDrawer(kLineLayout) {}

void LineDrawer2D::DrawLine(D3DXVECTOR3 start, D3DXVECTOR3 end, D3DCOLOR color)
{
    const stDrawerVertex line[2] = {ScreenVertex(start, color), ScreenVertex(end, color)};
    Append(line, 1);
}

void LineDrawer2D::SetStatesBeforeDraw(IDirect3DDevice9* device)
{
    SetScreenTransforms(device);
    SetCommonStates(device, FALSE, D3DBLEND_SRCCOLOR, D3DBLEND_INVSRCCOLOR);
}

PolygonDrawer::PolygonDrawer() : CPolygonBatchDrawer(kPolygonLayout) {}

void PolygonDrawer::DrawPolygon(D3DXVECTOR3 a, D3DXVECTOR3 b, D3DXVECTOR3 c, D3DCOLOR color)
{
    const stDrawerVertex triangle[3] = {{a.x, a.y, a.z, color}, {b.x, b.y, b.z, color}, {c.x, c.y, c.z, color}};
    Append(triangle, 1);
}

void PolygonDrawer::SetStatesBeforeDraw(IDirect3DDevice9* device)
{
    SetCommonStates(device, TRUE, D3DBLEND_SRCCOLOR, D3DBLEND_INVSRCCOLOR);
}

void PolygonDrawer::SetStatesAfterDraw(IDirect3DDevice9* device)
{
    CBatchDrawer::SetStatesAfterDraw(device);
    SetLineBlendAfterDraw(device);
}

PolygonDrawer2D::PolygonDrawer2D() : CPolygonBatchDrawer(kPolygon2DLayout) {}

void PolygonDrawer2D::DrawPolygon(D3DXVECTOR3 a, D3DXVECTOR3 b, D3DXVECTOR3 c, D3DCOLOR color)
{
    const stDrawerVertex triangle[3] = {ScreenVertex(a, color), ScreenVertex(b, color), ScreenVertex(c, color)};
    Append(triangle, 1);
}

void PolygonDrawer2D::DrawRect(D3DXVECTOR3 corner, D3DXVECTOR3 opposite, D3DCOLOR color)
{
    const float z = corner.z;
    const stDrawerVertex a = ScreenVertex({corner.x, corner.y, z}, color);
    const stDrawerVertex b = ScreenVertex({opposite.x, corner.y, z}, color);
    const stDrawerVertex c = ScreenVertex({opposite.x, opposite.y, z}, color);
    const stDrawerVertex d = ScreenVertex({corner.x, opposite.y, z}, color);
    // Both triangles run counter-clockwise on screen whichever corners are given, so the
    // clockwise culling of the flush never drops the rectangle.
    const bool clockwise = (opposite.x - corner.x) * (opposite.y - corner.y) > 0.0f;
    const stDrawerVertex triangles[6] = {a, clockwise ? d : b, c, a, c, clockwise ? b : d};
    Append(triangles, 2);
}

void PolygonDrawer2D::SetStatesBeforeDraw(IDirect3DDevice9* device)
{
    SetScreenTransforms(device);
    SetCommonStates(device, TRUE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    SetModulateStage(device);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
}

void PolygonDrawer2D::SetStatesAfterDraw(IDirect3DDevice9* device)
{
    CBatchDrawer::SetStatesAfterDraw(device);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}

TextureDrawer2D::TextureDrawer2D() : CBatchDrawer(kTexture2DLayout) {}

void TextureDrawer2D::DrawTexture(stTextureDrawerVertex a, stTextureDrawerVertex b, stTextureDrawerVertex c)
{
    stTextureDrawerVertex triangle[3] = {a, b, c};
    for (stTextureDrawerVertex& v : triangle) {
        const D3DXVECTOR3 clip = PixelToClip({v.x, v.y, v.z});
        v.x = clip.x;
        v.y = clip.y;
    }
    Append(triangle, 1);
}

void TextureDrawer2D::SetStatesBeforeDraw(IDirect3DDevice9* device)
{
    SetScreenTransforms(device);
    device->SetTexture(0, m_pTexture);
    SetCommonStates(device, TRUE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    SetModulateStage(device);
}
