// Batched drawers: coloured lines, triangles and textured triangles collected into one
// vertex buffer each during a frame and drawn with one draw call per batch. The renderer
// locks the buffers when a scene begins and unlocks and flushes them when it ends; a batch
// that fills its buffer is drawn at once and the buffer locked again.
#pragma once

#include <helvane/Singleton.h>

#include <d3d9/D3D9.h>
#include <d3d9/D3DXMath.h>

struct stDrawerVertex {
    float x, y, z;
    D3DCOLOR color;
};

struct stTextureDrawerVertex {
    float x, y, z;
    D3DCOLOR color;
    float u, v;
};

// What one drawer's buffer and batch look like.
struct DrawerLayout {
    UINT bufferBytes;
    DWORD usage;
    D3DPOOL pool;
    DWORD fvf;
    UINT stride;
    D3DPRIMITIVETYPE primitive;
    int verticesPerPrimitive;
    int batchLimit;
};

// The machinery every drawer shares. The write pointer is null whenever the buffer is not
// locked, so a primitive added outside a scene (or after a failed lock) writes nothing.
class CBatchDrawer {
public:
    explicit CBatchDrawer(const DrawerLayout& layout) : m_Layout(layout) {}
    // A drawer owns its vertex buffer: it is never copied.
    CBatchDrawer(const CBatchDrawer&) = delete;
    CBatchDrawer& operator=(const CBatchDrawer&) = delete;
    virtual ~CBatchDrawer();

    // Creates the vertex buffer when there is none; count 0.
    void Init();
    // Initialises when needed and locks the whole buffer; count 0 when the lock succeeds.
    void Lock();
    // Unlocks and forgets the write pointer.
    void Unlock();
    void Close();
    int GetCount() const { return m_nCount; }
    bool IsLocked() const { return m_pWrite != nullptr; }
    IDirect3DVertexBuffer9* GetVertexBuffer() const { return m_pVB; }

protected:
    // Appends `primitives` whole primitives; a batch that would pass its limit is drawn first,
    // and a batch that reaches it is drawn at once.
    void Append(const void* vertices, int primitives);
    void Draw();
    virtual void SetStatesBeforeDraw(IDirect3DDevice9* device) = 0;
    virtual void SetStatesAfterDraw(IDirect3DDevice9* device);
    void FlushNow();

    IDirect3DVertexBuffer9* m_pVB = nullptr;
    BYTE* m_pWrite = nullptr;
    int m_nCount = 0;
    int m_bInit = 0;
    DrawerLayout m_Layout;
};

// Pixel coordinates to clip space for the device's current size.
D3DXVECTOR3 PixelToClip(const D3DXVECTOR3& pixel);

// The Begin/End/Flush face both line drawers show; they differ only in how a line's points
// become vertices and in the states around their draw.
class CLineBatchDrawer : public CBatchDrawer {
public:
    using CBatchDrawer::CBatchDrawer;
    void BeginDrawLine() { Lock(); }
    void EndDrawLine() { Unlock(); FlushLine(); }
    void FlushLine() { Draw(); }

protected:
    // Puts the blend factors back to source alpha after the colour blend of a line batch.
    void SetStatesAfterDraw(IDirect3DDevice9* device) override;
};

// The Begin/End/Flush face both coloured triangle drawers show.
class CPolygonBatchDrawer : public CBatchDrawer {
public:
    using CBatchDrawer::CBatchDrawer;
    void BeginDrawPolygon() { Lock(); }
    void EndDrawPolygon() { Unlock(); FlushPolygon(); }
    void FlushPolygon() { Draw(); }
};

class CLineDrawer : public CLineBatchDrawer, public singleton<CLineDrawer> {
public:
    CLineDrawer();
    void DrawLine(D3DXVECTOR3 start, D3DXVECTOR3 end, D3DCOLOR color);

protected:
    void SetStatesBeforeDraw(IDirect3DDevice9* device) override;
};

class LineDrawer2D : public CLineBatchDrawer, public singleton<LineDrawer2D> {
public:
    LineDrawer2D();
    void DrawLine(D3DXVECTOR3 start, D3DXVECTOR3 end, D3DCOLOR color);

protected:
    void SetStatesBeforeDraw(IDirect3DDevice9* device) override;
};

class PolygonDrawer : public CPolygonBatchDrawer, public singleton<PolygonDrawer> {
public:
    PolygonDrawer();
    void DrawPolygon(D3DXVECTOR3 a, D3DXVECTOR3 b, D3DXVECTOR3 c, D3DCOLOR color);

protected:
    void SetStatesBeforeDraw(IDirect3DDevice9* device) override;
    void SetStatesAfterDraw(IDirect3DDevice9* device) override;
};

class PolygonDrawer2D : public CPolygonBatchDrawer, public singleton<PolygonDrawer2D> {
public:
    PolygonDrawer2D();
    void DrawPolygon(D3DXVECTOR3 a, D3DXVECTOR3 b, D3DXVECTOR3 c, D3DCOLOR color);
    // Two triangles covering the rectangle between the corners, at the first corner's z.
    void DrawRect(D3DXVECTOR3 corner, D3DXVECTOR3 opposite, D3DCOLOR color);

protected:
    void SetStatesBeforeDraw(IDirect3DDevice9* device) override;
    void SetStatesAfterDraw(IDirect3DDevice9* device) override;
};

class TextureDrawer2D : public CBatchDrawer, public singleton<TextureDrawer2D> {
public:
    TextureDrawer2D();
    void BeginDrawTexture() { Lock(); }
    // One textured triangle; x and y in pixels.
    void DrawTexture(stTextureDrawerVertex a, stTextureDrawerVertex b, stTextureDrawerVertex c);
    void EndDrawTexture() { Unlock(); FlushPolygon(); }
    void FlushPolygon() { Draw(); }
    // The texture of every triangle of the next flush.
    void SetTexture(IDirect3DTexture9* texture) { m_pTexture = texture; }

    IDirect3DTexture9* m_pTexture = nullptr;

protected:
    void SetStatesBeforeDraw(IDirect3DDevice9* device) override;
};
