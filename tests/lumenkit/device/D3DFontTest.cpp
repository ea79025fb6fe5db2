// Fonts by size and the debug text overlay: the frame-rate line and queued lines in magenta,
// shown for one frame.
#include "LumenkitDevice.h"

using namespace lumenkittest;

namespace {

class D3DFontTest : public LumenkitDeviceTest {
protected:
    void TearDown() override
    {
        CD3DFont::GetSingleton().SetColor(0xFFFFFFFF);
        LumenkitDeviceTest::TearDown();
    }
    static CD3DFont& Font() { return CD3DFont::GetSingleton(); }
    static int Magenta(int top) { return CountColor({10, top, 200, top + 20}, COutputInfo::kColor, 80); }
};

TEST_F(D3DFontTest, DebugLinesStandInAMagentaColumnForOneFrame)
{
    Frame([] {
        RenderFramerate(60);
        COutputInfo::GetSingleton().Print(L"%s = %d", L"blocks", 12);
        COutputInfo::GetSingleton().Print(L"third");
    });
    EXPECT_GT(Magenta(8), 10) << "the frame-rate line";
    EXPECT_GT(Magenta(28), 10);
    EXPECT_GT(Magenta(48), 10);
    EXPECT_EQ(Magenta(68), 0);
    EXPECT_TRUE(COutputInfo::GetSingleton().GetLines().empty());

    Frame([] {});
    EXPECT_EQ(Magenta(8), 0) << "a line is shown for one frame only";
}

TEST_F(D3DFontTest, QueuedLinesAreFormattedWithWideStrings)
{
    COutputInfo& info = COutputInfo::GetSingleton();
    RenderFramerate(60);
    info.Print(L"%s %d", L"점수", 7);
    ASSERT_EQ(info.GetLines().size(), 2u);
    EXPECT_EQ(info.GetLines().front(), L"FPS : 60");
    EXPECT_EQ(info.GetLines().back(), L"점수 7");
    Frame([] {});
}

TEST_F(D3DFontTest, FlushRestoresTheColourTurnsZTestingOnAndLeavesNoSpritePassOpen)
{
    Font().SetColor(0xFF123456);
    D3D()->SetRenderState(D3DRS_ZENABLE, 0);
    COutputInfo::GetSingleton().Print(L"one");
    COutputInfo::GetSingleton().Print(L"two");
    Frame([] {});
    EXPECT_EQ(Font().GetColor(), 0xFF123456u);
    DWORD z = 0;
    D3D()->GetRenderState(D3DRS_ZENABLE, &z);
    EXPECT_EQ(z, 1u);
    // Each Print inside the overlay joined the overlay's pass instead of nesting one.
    ID3DXSprite* sprite = Device().m_pSprite;
    EXPECT_EQ(sprite->End(), D3DERR_INVALIDCALL) << "no pass is left open";
    ASSERT_EQ(D3D()->BeginScene(), D3D_OK);
    EXPECT_EQ(sprite->Begin(0), D3D_OK);
    EXPECT_GT(Font().Print(0, 0, L"inside"), 0);
    EXPECT_EQ(sprite->End(), D3D_OK) << "the pass that was open stays open through Print";
    D3D()->EndScene();
}

TEST_F(D3DFontTest, SizesWithoutAFontUseTheDefaultFont)
{
    SIZE defaultSize{}, size20{};
    Font().GetTextExtentPoint32W(L"Quibly", &defaultSize, -1);
    Font().GetTextExtentPoint32W(L"Quibly", &size20, 20);
    EXPECT_EQ(size20.cx, defaultSize.cx);
    EXPECT_EQ(size20.cy, defaultSize.cy);
    EXPECT_EQ(Font().GetWidth(), 8);
    EXPECT_EQ(Font().GetHeight(), 16);
    EXPECT_TRUE(Font().HasFont(CD3DFont::kDefaultSize));
    EXPECT_FALSE(Font().HasFont(16));

    Font().CreateFontW(24, L"굴림");
    ID3DXFont* made = Font().SelectFont(24);
    ASSERT_NE(made, Font().SelectFont(-1));
    D3DXFONT_DESCW desc{};
    made->GetDesc(&desc);
    EXPECT_EQ(desc.Height, 24);
    EXPECT_EQ(desc.Width, 12u);
    Font().CreateFontW(24, L"돋움");
    EXPECT_EQ(Font().SelectFont(24), made) << "a size that has a font keeps it";
}

TEST_F(D3DFontTest, TheFontsComeBackAfterTheDeviceIsMadeAgain)
{
    SIZE before{};
    Font().GetTextExtentPoint32W(L"abc", &before);
    Device().Close();
    ASSERT_EQ(Device().Create(m_window->hwnd, 1, -1, -1), 1);
    SIZE after{};
    Font().GetTextExtentPoint32W(L"abc", &after);
    EXPECT_EQ(after.cx, before.cx);
    EXPECT_GT(after.cx, 0);
}

} // namespace
