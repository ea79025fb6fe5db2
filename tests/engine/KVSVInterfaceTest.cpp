// The UI platform interface's face table, text drawing and measuring, data path and screen size.
#include "engine/KVSVInterface.h"

#include "engine/FontManager.h"
#include "engine/RecordingGraphics.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <win32/Text.h>

namespace {

// One imageset per game face, each with a glyph "A" of a width of its own, so the width tells
// which face drew.
std::string Imageset(const char* name, int width)
{
    return std::string("<Imageset Name=\"") + name + "\"><Image Name=\"A\" Width=\"" + std::to_string(width) +
           "\" Height=\"5\"/></Imageset>";
}

class KVSVInterfaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write("MainUI.imageset", Imageset("MainUI", 3));
        dir.Write("MainUIFix.imageset", Imageset("MainUIFix", 4));
        dir.Write("MainUI40.imageset", Imageset("MainUI40", 5));
        fonts.InitDevice(nullptr);
        for (const wchar_t* face : {L"MainUI", L"MainUIFix", L"MainUI40"})
            fonts.RegisterFont(face, platform::Narrow(face) + ".imageset");
        iface.Init(nullptr);
    }

    testsupport::TempDir dir;
    testsupport::ScopedCurrentDir cwd{dir.Path()};
    mediatest::RecordingGraphics graphics;
    FTFont fonts;
    KVSVInterface iface;
};

struct FaceCase {
    const wchar_t* layoutFace;
    const wchar_t* gameFace;
    int size;
    int width;
};

class KVSVInterfaceFaces : public KVSVInterfaceTest, public ::testing::WithParamInterface<FaceCase> {};

TEST_P(KVSVInterfaceFaces, MapsLayoutFacesToGameFonts)
{
    const FaceCase& c = GetParam();
    EXPECT_EQ(iface.MeasureText(c.layoutFace, L"AA").width, 2 * c.width);
    kv::KVTextStyle style;
    style.faceName = c.layoutFace;
    style.size = 99;
    style.style = kv::KVTextStyle::kBold;
    style.colour = 0xFF336699;
    iface.DrawText(style, 10, 20, L"A");
    ASSERT_EQ(graphics.sprites.size(), 2u) << "bold text is drawn twice";
    EXPECT_EQ(graphics.sprites[0].position.x, 10.0f);
    EXPECT_EQ(graphics.sprites[1].position.x, 11.0f);
    EXPECT_EQ(graphics.sprites[1].colour, 0xFF336699u);
    EXPECT_EQ(graphics.sprites[0].source.right, c.width);
    EXPECT_EQ(fonts.Fonts().back().faceName, c.gameFace);
    EXPECT_EQ(fonts.Fonts().back().requestedSize, c.size);
}

INSTANTIATE_TEST_SUITE_P(Faces, KVSVInterfaceFaces,
                         ::testing::Values(FaceCase{L"KelmorSoft", L"MainUI", 14, 3},
                                           FaceCase{L"KelmorSoft_logo", L"MainUI40", 0, 5},
                                           FaceCase{L"나눔고딕", L"MainUIFix", 14, 4},
                                           FaceCase{L"나눔고딕 ExtraBold", L"MainUI", 9, 3},
                                           FaceCase{L"Some Other Face", L"MainUI", 14, 3}));

TEST_F(KVSVInterfaceTest, DrawsTheDefaultFaceWithTheDefaultFreeTypeFont)
{
    // No FreeType font exists here: the default face draws and measures nothing.
    kv::KVTextStyle style;
    style.faceName = L"켈모르_시사체";
    iface.DrawText(style, 0, 0, L"A");
    EXPECT_TRUE(graphics.sprites.empty());
    EXPECT_EQ(iface.MeasureText(style.faceName, L"A").width, 0);
    EXPECT_TRUE(fonts.Fonts().empty());
}

TEST_F(KVSVInterfaceTest, NamesTheDataFolderAndTheScreen)
{
    EXPECT_EQ(iface.GetDataPath(false), L"data/");
    EXPECT_EQ(iface.GetDataPath(true), L"");
    EXPECT_EQ(iface.GetScreenSize().width, 1024);
    EXPECT_EQ(iface.GetScreenSize().height, 768);
}

} // namespace
