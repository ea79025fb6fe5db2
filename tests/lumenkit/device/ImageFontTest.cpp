// Image fonts: text rendered into the texture, drawn as sprites with a shadow, and long text
// kept within the texture's rows.
#include "LumenkitDevice.h"

#include <lumenkit/ImageFont.h>

#include <string>

using namespace lumenkittest;

namespace {

class ImageFontTest : public LumenkitDeviceTest {};

TEST_F(ImageFontTest, TextIsDrawnWithItsShadow)
{
    CImageFont font;
    font.Create(nullptr, 0, 0);
    ASSERT_NE(font.GetTexture(), nullptr);
    Frame([&] { font.DrawTextW(L"Quibly 퀴블리", 100.0f, 100.0f, 0xFFFFFFFF, 0xFFFF0000); });
    ASSERT_EQ(font.GetLines().size(), 1u);
    EXPECT_EQ(font.GetLines()[0].rect.top, 0);
    EXPECT_EQ(font.GetLines()[0].rect.bottom, 12);
    EXPECT_GT(font.GetTextWidth(), 40);
    EXPECT_EQ(font.GetTextHeight(), 12);
    EXPECT_GT(CountColor({100, 100, 100 + font.GetTextWidth(), 113}, 0xFFFFFFFF), 10);
    EXPECT_GT(CountColor({100, 100, 102 + font.GetTextWidth(), 114}, 0xFFFF0000), 5) << "the shadow";
    int cx = 0, cy = 0;
    font.GetTextSize(L"Quibly 퀴블리", &cx, &cy);
    EXPECT_EQ(cx, font.GetTextWidth());
    EXPECT_EQ(cy, 12);
}

TEST_F(ImageFontTest, LongTextKeepsToTheTextureRows)
{
    CImageFont font;
    font.Create(nullptr, 0, 0);
    stFontInfo big{L"굴림", 40, 700};
    font.SetFontInfo(&big);
    font.SetRecrt({0, 0, 30, 0});
    const std::wstring text(255, L'W');
    font.DrawNormal(text.c_str());
    EXPECT_EQ(font.GetLines().size(), 6u) << "256 rows hold six 40-pixel lines";
    EXPECT_LE(font.GetLines().back().rect.bottom, CImageFont::kTextureSize);

    CImageFont second;
    second.SetFontInfo(&big);
    SIZE size{};
    second.GetTextSize(L"W", &size);
    EXPECT_GT(size.cx, 0);
}

TEST_F(ImageFontTest, AnEmptyFaceNameIsLogged)
{
    CImageFont font;
    stFontInfo none{L"", 12, 400};
    font.SetFontInfo(&none);
    EXPECT_TRUE(m_log.Contains(L"디폴트 폰트가 생깁니다"));
    font.DrawTextW(L"", 0.0f, 0.0f, 0xFFFFFFFF, 0);
    EXPECT_TRUE(font.GetLines().empty());
}

} // namespace
