// Debug geometry for 3-D scenes and tools: a floor grid of coloured cells in a vertex buffer
// (CGrid), a grid of lines through the batched line drawer (CGrid2), a textured sky box and a
// unit box of coloured triangles.
#pragma once

#include <lumenkit/GameNode.h>

#include <helvane/Singleton.h>

#include <d3d9/D3D9.h>
#include <d3d9/D3DXMath.h>

struct stGridVertex {
    float x, y, z;
    D3DCOLOR color;
};

class CGrid : public GameNode {
public:
    CGrid(float spacing, int columns, int rows, float height, unsigned long color);
    // The grid owns its vertex buffer: it is never copied.
    CGrid(const CGrid&) = delete;
    CGrid& operator=(const CGrid&) = delete;
    ~CGrid() override;

    // Draws the cells when the argument is null and the buffer exists.
    void Render(const char* arg);
    using GameNode::Render;
    void Init() { m_pVB = nullptr; }
    void Close();
    IDirect3DVertexBuffer9* GetVertexBuffer() const { return m_pVB; }

protected:
    // Builds six vertices per cell at y = height; 1, or 0 when the buffer cannot be made.
    int Create(float spacing, int columns, int rows, float height, unsigned long color);

private:
    IDirect3DVertexBuffer9* m_pVB = nullptr;
    int m_nColumns = 0;
    int m_nRows = 0;
};

class CGrid2 : public GameNode {
public:
    CGrid2(int spacing, int columns, int rows, float height, unsigned long color);
    int Create(int spacing, int columns, int rows, float height, unsigned long color);
    // Queues the grid lines in the x-y plane at z = height when the argument is null.
    void Render(const char* arg);
    using GameNode::Render;
    void SetColor(unsigned long color) { m_Color = static_cast<D3DCOLOR>(color); }
    unsigned long GetColor() const { return m_Color; }
    void Init() {}
    void Close() {}

private:
    int m_nColumns = 0;
    int m_nRows = 0;
    int m_nSpacing = 0;
    float m_fHeight = 0.0f;
    D3DCOLOR m_Color = 0;
};

struct SKyBoxVertex {
    float x, y, z;
    float u, v;
};

class SkyBox {
public:
    enum Face { kBack, kFront, kBottom, kTop, kLeft, kRight, kFaceCount };

    SkyBox() = default;
    ~SkyBox() = default;

    // Takes the six face textures and builds a 2000-unit box around the origin.
    void Init();
    void CreateSkyBox(SKyBoxVertex* vertices, const D3DXVECTOR3& center, float width, float height, float depth);
    void Render();
    bool RenderPrimitive(SKyBoxVertex* vertices, int vertexCount, unsigned short* indices, int indexCount,
                         int startIndex);
    void Update(float) {}

    int GetTextureHandle(Face face) const { return m_nTextures[face]; }
    const SKyBoxVertex* GetVertices() const { return m_Vertices; }

private:
    int m_nTextures[kFaceCount] = {-1, -1, -1, -1, -1, -1};
    SKyBoxVertex m_Vertices[kFaceCount * 4]{};
};

class CSimpleBox : public singleton<CSimpleBox> {
public:
    static constexpr int kVertexCount = 36;

    CSimpleBox() { Init(); }
    // Twelve triangles of a unit cube around the origin, in white.
    void Init();
    void SetColor(unsigned int color);
    void Render();
    const stGridVertex* GetVertices() const { return m_Vertices; }

private:
    stGridVertex m_Vertices[kVertexCount]{};
};
