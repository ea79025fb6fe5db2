#include "AnimationXml.h"
#include "EngineFakes.h"

#include "engine/Getters.h"
#include "engine/InputSystem.h"
#include "engine/PlayerSettings.h"
#include "engine/SoftwareCursor.h"
#include "support/kv/KVTestKit.h"

#include <gtest/gtest.h>

using namespace enginetest;
using namespace enginetest::animxml;

namespace {

// Cursor i draws the image "cursor<i>.png", whose texture handle is i + 1.
class SoftwareCursorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < VanteoMouse::kCursorCount; ++i) {
            std::string image = "cursor" + std::to_string(i) + ".png";
            renderer.AddTexture(image, 32, 32);
            folder.Write("cursor/Cursor" + std::to_string(i) + ".xml",
                         FileXml(SceneXml("NORMAL", {{0}, {400}}, "", image) + SceneXml("down", {{0}, {120}}, "", image) +
                                 SceneXml("default", {{0}, {400}}, "", image)));
        }
        AttachPlayerSettings({[](int index) { return "Cursor" + std::to_string(index) + ".xml"; },
                              [this] { return leftHanded; }});
        GetInputManager()->Init(FakeWindow());
        mouse = GetInputManager()->GetMouse();
        cursor.LoadCursors();
    }
    void TearDown() override { AttachPlayerSettings({}); }

    int CursorAt(int x, int y)
    {
        mouse->m_x = x;
        mouse->m_y = y;
        cursor.Update(0.016f);
        return cursor.m_nCurrent;
    }

    int DrawnHandle()
    {
        renderer.sprites.clear();
        cursor.Draw();
        return renderer.sprites.empty() ? 0 : renderer.sprites.back().handle;
    }

    FakeInputPlatform input;
    RecordingRenderBackend renderer;
    DataFolder folder;
    bool leftHanded = false;
    CWindowMouse* mouse = nullptr;
    VanteoMouse cursor;
};

TEST_F(SoftwareCursorTest, LastRectangleUnderTheMouseChoosesTheCursor)
{
    EXPECT_EQ(CursorAt(50, 50), 0);
    cursor.AddRect(3, RECT{0, 0, 100, 100});
    cursor.AddRect(4, RECT{50, 50, 150, 150});
    cursor.AddRect(2, 200.9f, 0.5f, 300.2f, 100.7f); // truncated to 200, 0, 300, 100
    struct Case {
        int x, y, cursor;
    };
    for (Case c : {Case{10, 10, 3}, Case{60, 60, 4}, Case{99, 99, 4}, Case{100, 60, 4}, Case{150, 60, 0},
                   Case{49, 60, 3}, Case{200, 0, 2}, Case{300, 50, 0}, Case{250, 100, 0}})
        EXPECT_EQ(CursorAt(c.x, c.y), c.cursor) << c.x << "," << c.y;

    cursor.m_bBlockSubstitute = 1;
    EXPECT_EQ(CursorAt(250, 50), 1);
    EXPECT_EQ(DrawnHandle(), 2);

    cursor.ClearRects();
    EXPECT_EQ(CursorAt(250, 50), 0);
}

// A window's absolute rectangle, its parent's position included, chooses the cursor.
TEST_F(SoftwareCursorTest, AWidgetRectangleFollowsTheWindowsScreenPosition)
{
    testsupport::KVEnvironment env;
    auto* panel = new testsupport::TestWindow;
    env.Root()->AddChild(panel);
    panel->SetPosition(100, 200);
    panel->SetSize(300, 300);
    auto* button = new testsupport::TestWindow;
    panel->AddChild(button);
    button->SetPosition(20, 30);
    button->SetSize(80, 40);
    cursor.AddWidgetRect(button, 3);
    cursor.AddWidgetRect(nullptr, 4);
    ASSERT_EQ(cursor.m_Rects.size(), 1u);
    struct Case {
        int x, y, cursor;
    };
    for (Case c : {Case{120, 230, 3}, Case{199, 269, 3}, Case{119, 240, 0}, Case{150, 270, 0}, Case{25, 35, 0}})
        EXPECT_EQ(CursorAt(c.x, c.y), c.cursor) << c.x << "," << c.y;
}

TEST_F(SoftwareCursorTest, LeftButtonPlaysDownAndDefaultOnceEach)
{
    AnimationPlayer& normal = cursor.m_Cursors[0];
    mouse->m_dwFlags = mouseflag::kLeftDown | mouseflag::kRightUp | mouseflag::kMiddleUp;
    CursorAt(5, 5);
    EXPECT_EQ(normal.m_strScene, "down");
    CursorAt(5, 5);
    EXPECT_NEAR(normal.m_fTime, 0.032f, 1e-5); // not restarted

    // A pending release event changes nothing; the settled up state plays "default".
    mouse->m_dwFlags = mouseflag::kLeftReleased | mouseflag::kRightUp | mouseflag::kMiddleUp;
    CursorAt(5, 5);
    EXPECT_EQ(normal.m_strScene, "down");
    mouse->m_dwFlags = mouseflag::kLeftUp | mouseflag::kRightUp | mouseflag::kMiddleUp;
    CursorAt(5, 5);
    EXPECT_EQ(normal.m_strScene, "default");
    float time = normal.m_fTime;
    CursorAt(5, 5);
    EXPECT_GT(normal.m_fTime, time);
}

TEST_F(SoftwareCursorTest, DrawsAtTheMouseMirroredForLeftHandersAndHidesWhenInvisible)
{
    CursorAt(300, 200);
    EXPECT_EQ(DrawnHandle(), 1);
    D3DXVECTOR3 right(10.0f, 0.0f, 0.0f);
    D3DXVECTOR3 out;
    // The image's centre (16, 16) is its origin; a point 10 pixels right of the image origin...
    D3DXVec3TransformCoord(&out, &right, &renderer.sprites.back().matrix);
    float rightHandedX = out.x;

    leftHanded = true;
    cursor.Draw();
    D3DXVec3TransformCoord(&out, &right, &renderer.sprites.back().matrix);
    // ...lands as far on the other side of the mouse position when mirrored.
    EXPECT_NEAR(out.x - 300.0f, -(rightHandedX - 300.0f), 1e-3);

    cursor.m_bVisible = 0;
    EXPECT_EQ(DrawnHandle(), 0);
    cursor.AddRect(4, RECT{0, 0, 1024, 768});
    EXPECT_EQ(CursorAt(300, 200), 4);
}

} // namespace
