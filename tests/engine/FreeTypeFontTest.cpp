// FreeType faces and the TrueType font's metrics path, and the atlas's row allocator; the atlas
// itself needs a device (device/FreeTypeFontTest.cpp).
#include "engine/FreeTypeFont.h"

#include "support/Fifo.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const char* kLatinFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

TEST(GlyphRowAllocator, PlacesSpansFirstFitAndNeverMergesThem)
{
    GlyphRowAllocator row(100);
    EXPECT_EQ(row.Allocate(30), 0);
    EXPECT_EQ(row.Allocate(0), 30) << "an empty span at the first free span";
    EXPECT_EQ(row.Allocate(50), 30);
    EXPECT_EQ(row.Allocate(21), -1) << "only 20 pixels are left";
    EXPECT_EQ(row.Allocate(20), 80);
    EXPECT_EQ(row.Allocate(1), -1);
    EXPECT_EQ(row.Allocate(-1), -1);
    ASSERT_EQ(row.Spans().size(), 5u);
    row.Reset();
    ASSERT_EQ(row.Spans().size(), 1u);
    EXPECT_EQ(row.Allocate(100), 0);
}

class FreeTypeFaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        KVXDefaultResourceProvider reader;
        ASSERT_TRUE(reader.LoadFile(L"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", &bytes)) << kLatinFont;
    }
    void TearDown() override { delete[] bytes.data; }

    KVXFileBuffer bytes;
};

TEST_F(FreeTypeFaceTest, SetsTheSizeAndLineMetricsInPixels)
{
    FreeTypeFace face;
    ASSERT_TRUE(face.FromMemory(bytes.data, bytes.size, 14, 96));
    EXPECT_GT(face.m_nAscender, 0);
    EXPECT_LT(face.m_nDescender, 0);
    EXPECT_GT(face.m_nLineHeight, face.m_nAscender);
    EXPECT_EQ(face.m_nSize, 14);

    GlyphMetrics space, hangul, letter;
    ASSERT_TRUE(face.LoadGlyph(L' ', &space));
    EXPECT_EQ(space.width, 0);
    EXPECT_GT(space.advance, 0);
    ASSERT_TRUE(face.LoadGlyph(L'H', &letter));
    EXPECT_GT(letter.width, 0);
    EXPECT_EQ(letter.coverage.size(), size_t(letter.width) * letter.rows);
    EXPECT_FALSE(face.LoadGlyph(0xD55C, &hangul)) << "this face has no Hangul";

    FreeTypeFace garbage;
    const uint8_t junk[16] = {1, 2, 3};
    EXPECT_FALSE(garbage.FromMemory(junk, sizeof junk, 14, 96));
}

TEST(FreeTypeFaceSearch, FindsAFamilyInTheFontFoldersWithoutRegardToCase)
{
    testsupport::TempDir dir;
    std::filesystem::create_directories(dir.Path() / "sub");
    std::filesystem::copy_file(kLatinFont, dir.Path() / "sub" / "Copy.TTF");
    std::vector<std::string> saved = FreeTypeFace::GetFontFolders();
    FreeTypeFace::SetFontFolders({dir.Str()});
    FreeTypeFace found, missing;
    EXPECT_TRUE(found.FromSystemFont("dejavu SANS", 12, 96));
    EXPECT_GT(found.m_nLineHeight, 0);
    EXPECT_FALSE(missing.FromSystemFont("No Such Family", 12, 96));
    FreeTypeFace::SetFontFolders(saved);
}

TEST(FreeTypeFaceSearch, PassesOverAFifoNamedLikeAFont)
{
    testsupport::TempDir dir;
    ASSERT_TRUE(testsupport::MakeFifo(dir.Path() / "A.ttf"));
    std::filesystem::copy_file(kLatinFont, dir.Path() / "B.ttf");
    std::vector<std::string> saved = FreeTypeFace::GetFontFolders();
    FreeTypeFace::SetFontFolders({dir.Str()});
    FreeTypeFace found;
    bool ok = false;
    EXPECT_TRUE(testsupport::FinishesWithin([&] { ok = found.FromSystemFont("DejaVu Sans", 12, 96); },
                                            {dir.Path() / "A.ttf"}));
    EXPECT_TRUE(ok);
    FreeTypeFace::SetFontFolders(saved);
}

TEST(FreeTypeFontMetrics, MeasuresAdvancesOfKnownCharactersAndTheLineHeight)
{
    KVXDefaultResourceProvider reader;
    KVXFreeTypeFont font(nullptr, nullptr, &reader);
    // Without a device nothing can be drawn, but the face measures.
    EXPECT_FALSE(font.Load(kLatinFont, 14, 96));
    int lineHeight = font.GetFace()->m_nLineHeight;
    int width = -1, height = -1;
    font.Measure(L"", &width, &height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, lineHeight);
    int ab = 0, withHangul = 0;
    font.Measure(L"AB", &ab, nullptr);
    font.Measure(L"A\xD55C" L"B", &withHangul, nullptr);
    EXPECT_GT(ab, 0);
    EXPECT_EQ(withHangul, ab) << "a character the face lacks is not measured";
    EXPECT_EQ(font.GetName(), "DejaVu Sans");
    EXPECT_EQ(font.GetSize(), 14);

    KVXFreeTypeFont missing(nullptr, nullptr, &reader);
    EXPECT_FALSE(missing.Load("nowhere.ttf", 14, 96));
    missing.Measure(L"AB", &width, &height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    EXPECT_EQ(missing.Draw(0, 0, 0xFFFFFFFF, L"AB"), 0);
}

} // namespace
