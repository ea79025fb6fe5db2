// Image fonts: text rendered into the texture, drawn as sprites with a shadow, long text kept
// within the texture's rows, the faces taken from the run folder's font files, and the shared
// bitmap kept while any instance lives.
#include "LumenkitDevice.h"

#include <lumenkit/ImageFont.h>

#include <filesystem>
#include <memory>
#include <string>

using namespace lumenkittest;

namespace {

// The game's Hangul font file, as the run folder holds it.
constexpr const char* kHangulFont = "/usr/share/fonts/truetype/nanum/NanumGothicBold.ttf";

class ImageFontTest : public LumenkitDeviceTest {
protected:
    void SetUp() override
    {
        LumenkitDeviceTest::SetUp();
        std::filesystem::copy_file(kHangulFont, m_data.Path() / "Daum.ttf");
    }
};

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

// Close and then the destructor count the object once: the other instance keeps the shared
// bitmap and still draws its text.
TEST_F(ImageFontTest, CloseThenDestroyKeepsTheOtherInstancesBitmap)
{
    CImageFont kept;
    kept.Create(nullptr, 0, 0);
    auto closed = std::make_unique<CImageFont>();
    closed->Create(nullptr, 0, 0);
    closed->Close();
    closed.reset();
    Frame([&] { kept.DrawTextW(L"Quibly", 100.0f, 100.0f, 0xFFFFFFFF, 0); });
    ASSERT_EQ(kept.GetLines().size(), 1u);
    EXPECT_GT(CountColor({100, 100, 100 + kept.GetTextWidth(), 113}, 0xFFFFFFFF), 10);
}

// The faces come from the run folder's font file, not from fonts installed on the machine:
// without the file no face is made, and the failure is logged.
TEST_F(ImageFontTest, FacesComeFromTheRunFoldersFontFile)
{
    std::filesystem::remove(m_data.Path() / "Daum.ttf");
    CImageFont font;
    stFontInfo unusual{L"돋움", 13, 400};
    font.SetFontInfo(&unusual);
    EXPECT_TRUE(m_log.Contains(L"돋움 생성 실패"));
    SIZE size{};
    font.GetTextSize(L"W", &size);
    EXPECT_EQ(size.cx, 0);
}

} // namespace
