// Floor grids, the sky box and the unit box.
#include <lumenkit/DebugGeometry.h>

#include <lumenkit/Direct3DDevice.h>
#include <lumenkit/Drawers.h>
#include <lumenkit/Texture.h>

#include <helvane/DXUtil.h>

#include <cstring>

namespace {

constexpr DWORD kColorFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;
constexpr DWORD kSkyFvf = D3DFVF_XYZ | D3DFVF_TEX1;
constexpr UINT kCellBytes = 6 * sizeof(stGridVertex);

IDirect3DDevice9* Device()
{
    return singleton<CDirect3DDevice>::GetSingleton().m_pd3dDevice;
}

template <typename Buffer>
bool Fill(Buffer* buffer, const void* data, UINT bytes)
{
    void* target = nullptr;
    if (FAILED(buffer->Lock(0, 0, &target, 0)) || !target)
        return false;
    std::memcpy(target, data, bytes);
    buffer->Unlock();
    return true;
}

} // namespace

// ---- CGrid ----------------------------------------------------------------------------------

CGrid::CGrid(float spacing, int columns, int rows, float height, unsigned long color)
    : m_nColumns(columns), m_nRows(rows)
{
    Create(spacing, columns, rows, height, color);
}

CGrid::~CGrid()
{
    Close();
}

void CGrid::Close()
{
    ReleaseAndClear(m_pVB);
}

int CGrid::Create(float spacing, int columns, int rows, float height, unsigned long color)
{
    Close();
    IDirect3DDevice9* device = Device();
    if (!device || columns <= 0 || rows <= 0 ||
        FAILED(device->CreateVertexBuffer(static_cast<UINT>(columns * rows) * kCellBytes, 0, kColorFvf,
                                          D3DPOOL_MANAGED, &m_pVB, nullptr))) {
        m_pVB = nullptr;
        return 0;
    }
    void* data = nullptr;
    if (FAILED(m_pVB->Lock(0, 0, &data, 0)) || !data) {
        Close();
        return 0;
    }
    auto* out = static_cast<stGridVertex*>(data);
    const D3DCOLOR c = static_cast<D3DCOLOR>(color);
    const float d = spacing * 0.95f;
    const float hx = static_cast<float>(columns) * d * 0.5f;
    const float hz = d * static_cast<float>(rows) * 0.5f;
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < columns; ++j) {
            const float x0 = spacing * static_cast<float>(j) - hx, z0 = spacing * static_cast<float>(i) - hz;
            const float x1 = x0 + d, z1 = z0 + d;
            const stGridVertex cell[6] = {{x0, height, z0, c}, {x1, height, z0, c}, {x1, height, z1, c},
                                          {x0, height, z0, c}, {x1, height, z1, c}, {x0, height, z1, c}};
            std::memcpy(out, cell, sizeof cell);
            out += 6;
        }
    }
    m_pVB->Unlock();
    return 1;
}

void CGrid::Render(const char* arg)
{
    IDirect3DDevice9* device = Device();
    if (arg || !m_pVB || !device)
        return;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetVertexShader(nullptr);
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetFVF(kColorFvf);
    device->SetStreamSource(0, m_pVB, 0, sizeof(stGridVertex));
    device->SetTexture(0, nullptr);
    device->SetTexture(1, nullptr);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 0);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCCOLOR);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCCOLOR);
    D3DMATERIAL9 material{};
    material.Diffuse = material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    device->SetMaterial(&material);
    device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(m_nRows * m_nColumns * 2));
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 2);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

// ---- CGrid2 ---------------------------------------------------------------------------------

CGrid2::CGrid2(int spacing, int columns, int rows, float height, unsigned long color)
{
    Create(spacing, columns, rows, height, color);
}

int CGrid2::Create(int spacing, int columns, int rows, float height, unsigned long color)
{
    m_nSpacing = spacing;
    m_nColumns = columns;
    m_nRows = rows;
    m_fHeight = height;
    m_Color = static_cast<D3DCOLOR>(color);
    return 1;
}

void CGrid2::Render(const char* arg)
{
    if (arg)
        return;
    CLineDrawer& lines = singleton<CLineDrawer>::GetSingleton();
    const float hx = static_cast<float>(m_nColumns * m_nSpacing / 2);
    const float hz = static_cast<float>(m_nSpacing * m_nRows / 2);
    const float far_x = static_cast<float>(m_nColumns * m_nSpacing) - hx;
    const float far_y = static_cast<float>(m_nSpacing * m_nRows) - hz;
    for (int i = 0; i < m_nColumns; ++i) {
        const float x = static_cast<float>(i * m_nSpacing) - hx;
        lines.DrawLine({x, -hz, m_fHeight}, {x, far_y, m_fHeight}, m_Color);
    }
    for (int j = 0; j < m_nRows; ++j) {
        const float y = static_cast<float>(j * m_nSpacing) - hz;
        lines.DrawLine({-hx, y, m_fHeight}, {far_x, y, m_fHeight}, m_Color);
    }
}

// ---- SkyBox ---------------------------------------------------------------------------------

void SkyBox::Init()
{
    static constexpr const char* kFiles[kFaceCount] = {"Back.bmp", "Front.bmp", "Bottom.bmp",
                                                       "Top.bmp",  "Left.bmp",  "Right.bmp"};
    for (int face = 0; face < kFaceCount; ++face) {
        wchar_t name[255] = {};
        DXUtil_ConvertAnsiStringToGeneric(name, kFiles[face], 255);
        m_nTextures[face] = CTextureManager::GetTextureHandleByTCHAR(name, 1);
    }
    CreateSkyBox(m_Vertices, D3DXVECTOR3(0, 0, 0), 2000.0f, 2000.0f, 2000.0f);
}

void SkyBox::CreateSkyBox(SKyBoxVertex* vertices, const D3DXVECTOR3& center, float width, float height, float depth)
{
    if (!vertices)
        return;
    // Per face: the sign of x, y and z and the texture coordinates of its four corners.
    struct Corner {
        signed char sx, sy, sz;
        float u, v;
    };
    static constexpr Corner kCorners[kFaceCount * 4] = {
        {+1, -1, -1, 1, 1}, {+1, +1, -1, 1, 0}, {-1, +1, -1, 0, 0}, {-1, -1, -1, 0, 1}, // back
        {-1, -1, +1, 1, 1}, {-1, +1, +1, 1, 0}, {+1, +1, +1, 0, 0}, {+1, -1, +1, 0, 1}, // front
        {-1, -1, -1, 1, 1}, {-1, -1, +1, 1, 0}, {+1, -1, +1, 0, 0}, {+1, -1, -1, 0, 1}, // bottom
        {+1, +1, -1, 0, 0}, {+1, +1, +1, 0, 1}, {-1, +1, +1, 1, 1}, {-1, +1, -1, 1, 0}, // top
        {-1, +1, -1, 1, 0}, {-1, +1, +1, 0, 0}, {-1, -1, +1, 0, 1}, {-1, -1, -1, 1, 1}, // left
        {+1, -1, -1, 0, 1}, {+1, -1, +1, 1, 1}, {+1, +1, +1, 1, 0}, {+1, +1, -1, 0, 0}, // right
    };
    const float hx = width * 0.5f, hy = height * 0.5f, hz = depth * 0.5f;
    for (int i = 0; i < kFaceCount * 4; ++i) {
        const Corner& c = kCorners[i];
        vertices[i] = {center.x + c.sx * hx, center.y + c.sy * hy, center.z + c.sz * hz, c.u, c.v};
    }
}

void SkyBox::Render()
{
    IDirect3DDevice9* device = Device();
    if (!device)
        return;
    unsigned short indices[kFaceCount * 6];
    for (int f = 0; f < kFaceCount; ++f) {
        const unsigned short first = static_cast<unsigned short>(4 * f);
        const unsigned short face[6] = {first, static_cast<unsigned short>(first + 1),
                                        static_cast<unsigned short>(first + 2), static_cast<unsigned short>(first + 2),
                                        static_cast<unsigned short>(first + 3), first};
        std::memcpy(indices + 6 * f, face, sizeof face);
    }
    CTextureManager& textures = singleton<CTextureManager>::GetSingleton();
    for (int f = 0; f < kFaceCount; ++f) {
        CTexture* texture = textures.GetResource(m_nTextures[f]);
        device->SetTexture(0, texture ? texture->GetTexture() : nullptr);
        RenderPrimitive(m_Vertices, kFaceCount * 4, indices, 6, 6 * f);
    }
}

bool SkyBox::RenderPrimitive(SKyBoxVertex* vertices, int vertexCount, unsigned short* indices, int indexCount,
                             int startIndex)
{
    IDirect3DDevice9* device = Device();
    if (!device || !vertices || !indices || vertexCount <= 0 || indexCount <= 0)
        return false;
    const UINT vertexBytes = static_cast<UINT>(vertexCount) * sizeof(SKyBoxVertex);
    const UINT indexBytes = static_cast<UINT>(startIndex + indexCount) * sizeof(unsigned short);
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    bool ok = SUCCEEDED(device->CreateVertexBuffer(vertexBytes, 0, kSkyFvf, D3DPOOL_MANAGED, &vb, nullptr)) &&
              Fill(vb, vertices, vertexBytes) &&
              SUCCEEDED(device->CreateIndexBuffer(indexBytes, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr)) &&
              Fill(ib, indices, indexBytes);
    if (ok) {
        device->SetStreamSource(0, vb, 0, sizeof(SKyBoxVertex));
        device->SetIndices(ib);
        device->SetFVF(kSkyFvf);
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, static_cast<UINT>(vertexCount),
                                     static_cast<UINT>(startIndex), static_cast<UINT>(indexCount / 3));
        device->SetStreamSource(0, nullptr, 0, 0);
        device->SetIndices(nullptr);
    }
    ReleaseAndClear(vb);
    ReleaseAndClear(ib);
    return ok;
}

// ---- CSimpleBox -----------------------------------------------------------------------------

void CSimpleBox::Init()
{
    static constexpr int kOrder[kVertexCount] = {0, 2, 3, 3, 1, 0, 4, 5, 7, 7, 6, 4, 0, 1, 5, 5, 4, 0,
                                                 1, 3, 7, 7, 5, 1, 3, 2, 6, 6, 7, 3, 2, 0, 4, 4, 6, 2};
    for (int i = 0; i < kVertexCount; ++i) {
        const int k = kOrder[i];
        m_Vertices[i] = {(k & 1) ? 0.5f : -0.5f, (k & 2) ? 0.5f : -0.5f, (k & 4) ? 0.5f : -0.5f, 0xFFFFFFFF};
    }
}

void CSimpleBox::SetColor(unsigned int color)
{
    for (stGridVertex& v : m_Vertices)
        v.color = color;
}

void CSimpleBox::Render()
{
    IDirect3DDevice9* device = Device();
    if (!device)
        return;
    device->SetFVF(kColorFvf);
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, kVertexCount / 3, m_Vertices, sizeof(stGridVertex));
}
