// The batched drawers inside the renderer's frame: screen-pixel mapping, batching at the
// limit, rectangles that never overrun the buffer, and nothing written while unlocked.
#include "LumenkitDevice.h"

#include <lumenkit/Drawers.h>

using namespace lumenkittest;

namespace {

class DrawersTest : public LumenkitDeviceTest {};

stTextureDrawerVertex Corner(float x, float y, float u, float v, D3DCOLOR color = 0xFFFFFFFF)
{
    return {x, y, 0.0f, color, u, v};
}

TEST_F(DrawersTest, RectanglesCoverTheirPixelsWhicheverCornersAreGiven)
{
    Frame([] {
        PolygonDrawer2D& drawer = PolygonDrawer2D::GetSingleton();
        drawer.DrawRect({10, 10, 0}, {30, 30, 0}, 0xFFFF0000);
        drawer.DrawRect({80, 30, 0}, {60, 10, 0}, 0xFF00FF00);
        drawer.DrawRect({110, 30, 0}, {130, 10, 0}, 0xFF0000FF);
    });
    EXPECT_EQ(CountColor({10, 10, 30, 30}, 0xFFFF0000, 2), 400);
    EXPECT_EQ(CountColor({60, 10, 80, 30}, 0xFF00FF00, 2), 400);
    EXPECT_EQ(CountColor({110, 10, 130, 30}, 0xFF0000FF, 2), 400);
    EXPECT_TRUE(NearColor(Pixel(31, 20), 0xFF000000, 0));
    EXPECT_TRUE(NearColor(Pixel(20, 31), 0xFF000000, 0));
}

TEST_F(DrawersTest, TexturedTrianglesMapPixelsToTheScreenWithTheTextureSetLast)
{
    IDirect3DTexture9* red = SolidTexture(4, 0xFFFF0000);
    IDirect3DTexture9* green = SolidTexture(4, 0xFF00FF00);
    const float w = 1024, h = 768;
    Frame([&] {
        TextureDrawer2D& drawer = TextureDrawer2D::GetSingleton();
        drawer.SetTexture(red);
        // The upper-left half of the screen, counter-clockwise on screen.
        drawer.DrawTexture(Corner(0, 0, 0, 0), Corner(0, h, 0, 1), Corner(w, 0, 1, 0));
        drawer.m_pTexture = green;
        drawer.DrawTexture(Corner(w, 0, 1, 0), Corner(0, h, 0, 1), Corner(w, h, 1, 1, 0xFF808080));
    });
    EXPECT_TRUE(NearColor(Pixel(2, 2), 0xFF00FF00)) << "both triangles use the texture set last";
    EXPECT_TRUE(NearColor(Pixel(1020, 2), 0xFF00FF00));
    EXPECT_TRUE(NearColor(Pixel(1021, 765), 0xFF008000, 4)) << "the vertex colour modulates the texture";
    red->Release();
    green->Release();
}

TEST_F(DrawersTest, AFullLineBatchIsDrawnDuringTheAddAndTheNextLineStartsANewOne)
{
    CLineDrawer& lines = CLineDrawer::GetSingleton();
    Frame([&] {
        for (int i = 0; i < 8191; ++i)
            lines.DrawLine({0, 0, 0}, {0.5f, 0.5f, 0}, 0xFFFFFFFF);
        EXPECT_EQ(lines.GetCount(), 8191);
        lines.DrawLine({0, 0, 0}, {0.5f, 0.5f, 0}, 0xFFFFFFFF);
        EXPECT_EQ(lines.GetCount(), 0) << "the 8192nd line drew the batch";
        EXPECT_TRUE(lines.IsLocked());
        lines.DrawLine({0, 0, 0}, {0.5f, 0.5f, 0}, 0xFFFFFFFF);
        EXPECT_EQ(lines.GetCount(), 1);
    });
    EXPECT_GT(CountColor({510, 380, 520, 390}, 0xFFFFFFFF), 0) << "the line batch reached the screen";
}

TEST_F(DrawersTest, ARectangleThatWouldNotFitDrawsTheBatchFirst)
{
    PolygonDrawer2D& drawer = PolygonDrawer2D::GetSingleton();
    Frame([&] {
        for (int i = 0; i < 511; ++i)
            drawer.DrawPolygon({0, 0, 0}, {0, 1, 0}, {1, 0, 0}, 0xFFFFFFFF);
        ASSERT_EQ(drawer.GetCount(), 511);
        drawer.DrawRect({200, 200, 0}, {220, 220, 0}, 0xFF00FF00);
        EXPECT_EQ(drawer.GetCount(), 2);
    });
    EXPECT_EQ(CountColor({200, 200, 220, 220}, 0xFF00FF00, 2), 400);
}

TEST_F(DrawersTest, NothingIsWrittenOutsideTheSceneOrWithoutABuffer)
{
    Frame([] { LineDrawer2D::GetSingleton().DrawLine({0, 0, 0}, {10, 10, 0}, 0xFFFFFFFF); });
    LineDrawer2D& drawer = LineDrawer2D::GetSingleton();
    EXPECT_FALSE(drawer.IsLocked()) << "the scene's end unlocked the buffer and forgot the pointer";
    const int count = drawer.GetCount();
    drawer.DrawLine({0, 0, 0}, {10, 10, 0}, 0xFFFFFFFF);
    EXPECT_EQ(drawer.GetCount(), count);

    // Without a device the buffer cannot be made: the begin fails and adds write nothing.
    PolygonDrawer& polygons = PolygonDrawer::GetSingleton();
    Device().Close();
    polygons.BeginDrawPolygon();
    EXPECT_FALSE(polygons.IsLocked());
    polygons.DrawPolygon({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0xFFFFFFFF);
    EXPECT_EQ(polygons.GetCount(), 0);
    polygons.EndDrawPolygon();
}

TEST_F(DrawersTest, ScreenDrawersLeaveIdentityViewAndProjection)
{
    D3DXMATRIX scale;
    D3DXMatrixScaling(&scale, 2, 3, 4);
    Frame([&] {
        SetTransform(D3DTS_VIEW, &scale);
        SetTransform(D3DTS_PROJECTION, &scale);
        PolygonDrawer2D::GetSingleton().DrawRect({0, 0, 0}, {4, 4, 0}, 0xFFFFFFFF);
    });
    D3DXMATRIX view, projection;
    GetTransform(D3DTS_VIEW, &view);
    GetTransform(D3DTS_PROJECTION, &projection);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ((&view._11)[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
        EXPECT_EQ((&projection._11)[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
    }
}

} // namespace
