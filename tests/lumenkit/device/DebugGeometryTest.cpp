// Debug geometry: the cell grid's vertices, the line grid's lines, the sky box faces and the
// unit box on screen.
#include "LumenkitDevice.h"

#include <lumenkit/DebugGeometry.h>
#include <lumenkit/Drawers.h>

#include <vector>

using namespace lumenkittest;

namespace {

class DebugGeometryTest : public LumenkitDeviceTest {
protected:
    // The first `count` vertices of a buffer.
    template <typename Vertex>
    static std::vector<Vertex> Read(IDirect3DVertexBuffer9* buffer, int count)
    {
        std::vector<Vertex> out(static_cast<size_t>(count));
        void* data = nullptr;
        if (SUCCEEDED(buffer->Lock(0, 0, &data, D3DLOCK_READONLY))) {
            std::memcpy(out.data(), data, out.size() * sizeof(Vertex));
            buffer->Unlock();
        }
        return out;
    }
};

TEST_F(DebugGeometryTest, TheCellGridHasTwoTrianglesPerCellWithGaps)
{
    CGrid grid(10.0f, 2, 1, 3.0f, 0xFF00FF00);
    ASSERT_NE(grid.GetVertexBuffer(), nullptr);
    const auto v = Read<stGridVertex>(grid.GetVertexBuffer(), 12);
    EXPECT_FLOAT_EQ(v[0].x, -9.5f);
    EXPECT_FLOAT_EQ(v[1].x, 0.0f);
    EXPECT_FLOAT_EQ(v[6].x, 0.5f);
    EXPECT_FLOAT_EQ(v[7].x, 10.0f);
    EXPECT_FLOAT_EQ(v[0].z, -4.75f);
    EXPECT_FLOAT_EQ(v[2].z, 4.75f);
    EXPECT_FLOAT_EQ(v[5].y, 3.0f);
    EXPECT_EQ(v[11].color, 0xFF00FF00u);
    Frame([&] { grid.Render(static_cast<const char*>(nullptr)); });
}

TEST_F(DebugGeometryTest, TheLineGridQueuesOneLinePerColumnAndRow)
{
    CGrid2 grid(10, 3, 2, 7.0f, 0xFFFF0000);
    CLineDrawer& lines = CLineDrawer::GetSingleton();
    lines.BeginDrawLine();
    grid.Render(static_cast<const char*>(nullptr));
    EXPECT_EQ(lines.GetCount(), 5);
    lines.Unlock();
    struct End {
        float x0, y0, x1, y1;
    };
    const End expected[5] = {{-15, -10, -15, 10}, {-5, -10, -5, 10}, {5, -10, 5, 10}, {-15, -10, 15, -10}, {-15, 0, 15, 0}};
    const auto v = Read<stGridVertex>(lines.GetVertexBuffer(), 10);
    for (int i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(v[2 * i].x, expected[i].x0) << i;
        EXPECT_FLOAT_EQ(v[2 * i].y, expected[i].y0) << i;
        EXPECT_FLOAT_EQ(v[2 * i + 1].x, expected[i].x1) << i;
        EXPECT_FLOAT_EQ(v[2 * i + 1].y, expected[i].y1) << i;
        EXPECT_FLOAT_EQ(v[2 * i].z, 7.0f);
        EXPECT_EQ(v[2 * i].color, 0xFFFF0000u);
    }
}

TEST_F(DebugGeometryTest, TheSkyBoxTopFaceSpansTheBoxAtItsTop)
{
    for (const char* face : {"Back.bmp", "Front.bmp", "Bottom.bmp", "Top.bmp", "Left.bmp", "Right.bmp"})
        WriteSolidTga(m_data, std::string("data/sky/") + face, 2, 2, 0xFF0000FF);
    Reindex();
    SkyBox sky;
    sky.Init();
    EXPECT_EQ(sky.GetTextureHandle(SkyBox::kTop), CTextureManager::GetTextureHandle("TOP.BMP", 1));
    const SKyBoxVertex* top = sky.GetVertices() + 4 * SkyBox::kTop;
    const float xs[4] = {1000, 1000, -1000, -1000}, zs[4] = {-1000, 1000, 1000, -1000};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(top[i].x, xs[i]) << i;
        EXPECT_FLOAT_EQ(top[i].y, 1000.0f) << i;
        EXPECT_FLOAT_EQ(top[i].z, zs[i]) << i;
    }
    EXPECT_FLOAT_EQ(top[2].u, 1.0f);
    EXPECT_FLOAT_EQ(top[2].v, 1.0f);
    Frame([&] {
        sky.Render();
        unsigned short indices[12] = {0, 1, 2, 2, 3, 0, 4, 5, 6, 6, 7, 4};
        SKyBoxVertex vertices[24];
        sky.CreateSkyBox(vertices, D3DXVECTOR3(0, 0, 0), 2, 2, 2);
        EXPECT_TRUE(sky.RenderPrimitive(vertices, 24, indices, 6, 6)) << "a draw from the second face";
    });
}

TEST_F(DebugGeometryTest, TheUnitBoxIsDrawnInItsColour)
{
    CSimpleBox& box = CSimpleBox::GetSingleton();
    const stGridVertex* v = box.GetVertices();
    EXPECT_FLOAT_EQ(v[1].x, -0.5f);
    EXPECT_FLOAT_EQ(v[1].y, 0.5f) << "corner 2";
    EXPECT_FLOAT_EQ(v[8].z, 0.5f) << "corner 7";
    box.SetColor(0xFF00FF00);
    Frame([&] {
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        for (D3DTRANSFORMSTATETYPE t : {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION})
            SetTransform(t, &identity);
        D3D()->SetRenderState(D3DRS_LIGHTING, FALSE);
        D3D()->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        box.Render();
    });
    EXPECT_TRUE(NearColor(Pixel(512, 384), 0xFF00FF00));
    EXPECT_TRUE(NearColor(Pixel(100, 100), 0xFF000000));
    box.SetColor(0xFFFFFFFF);
}

} // namespace
