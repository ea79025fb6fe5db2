// The font manager's registry and fonts by face and size, and imageset fonts: reading the
// ".imageset" file, measuring, and the sprites their text queues.
#include "engine/FontManager.h"
#include "engine/FreeTypeFont.h"
#include "engine/ImagesetFont.h"

#include "engine/RecordingGraphics.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <thread>

namespace {

std::string Fixture(const char* name)
{
    return testsupport::ReadFile(std::string(QUIBLY_FIXTURES_DIR) + "/engine/media/" + name);
}

class ImagesetFontTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(font.LoadFromMemory(text.data(), text.size())); }

    mediatest::RecordingGraphics graphics;
    std::string text = Fixture("Small.imageset");
    KVXImagesetFont font{nullptr};
};

TEST_F(ImagesetFontTest, ReadsOneCharacterGlyphsUpToTheFirstNodeThatIsNotAnElement)
{
    EXPECT_EQ(font.GetName(), "SmallFont");
    EXPECT_EQ(font.GetSize(), 0);
    // "AB" is two characters, "E" lies outside the image, "D" comes after a comment.
    ASSERT_EQ(font.Glyphs().size(), 3u);
    GlyphInfo a, c, ignored;
    ASSERT_TRUE(font.GetGlyph(L'A', &a, false));
    EXPECT_EQ(a.width, 8);
    EXPECT_EQ(a.height, 10);
    EXPECT_EQ(a.advance, 8);
    EXPECT_EQ(a.imageset, 1);
    EXPECT_EQ(font.Glyphs().at('A')->yOffsetPlusHeight, 12);
    ASSERT_TRUE(font.GetGlyph(L'C', &c, true));
    EXPECT_EQ(c.height, 0) << "a missing attribute reads as 0";
    EXPECT_FALSE(font.GetGlyph(L'D', &ignored, false));
    EXPECT_FALSE(font.GetGlyph(L'E', &ignored, false));
}

TEST_F(ImagesetFontTest, MeasuresAndDrawsOnlyTheCharactersWithAGlyph)
{
    int width = -1, height = -1;
    font.Measure(L"AxB", &width, &height);
    EXPECT_EQ(width, 14);
    EXPECT_EQ(height, 12);
    font.Measure(L"", &width, &height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);

    EXPECT_EQ(font.Draw(10, 20, 0xFF112233, L"AxB"), 14);
    ASSERT_EQ(graphics.sprites.size(), 2u);
    EXPECT_EQ(graphics.sprites[0].position.x, 10.0f);
    EXPECT_EQ(graphics.sprites[1].position.x, 18.0f) << "the unknown x does not move the pen";
    EXPECT_EQ(graphics.sprites[1].position.y, 20.0f);
    EXPECT_EQ(graphics.sprites[1].source.left, 8);
    EXPECT_EQ(graphics.sprites[1].source.bottom, 12);
    EXPECT_EQ(graphics.sprites[1].colour, 0xFF112233u);
    EXPECT_FALSE(graphics.sprites[1].hasTransform);
}

TEST(ImagesetFontFile, RefusesFilesThatAreNotImagesets)
{
    for (const char* bytes : {"", "<Imageset Name=\"x\"", "<Fonts><Image Name=\"A\"/></Fonts>"}) {
        KVXImagesetFont font(nullptr);
        EXPECT_FALSE(font.LoadFromMemory(bytes, std::strlen(bytes))) << bytes;
    }
    KVXDefaultResourceProvider provider;
    KVXImagesetFont missing(&provider);
    EXPECT_FALSE(missing.Load("no/such.imageset", 0, 96));
}

class FontManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write("data/Small.imageset", Fixture("Small.imageset"));
        dir.Write("data/Other.imageset", "<Imageset Name=\"Other\"><Image Name=\"A\" Width=\"3\"/></Imageset>");
        fonts.InitDevice(nullptr);
        fonts.RegisterFont(L"MainUI40", "data/Small.imageset");
    }

    testsupport::TempDir dir;
    testsupport::ScopedCurrentDir cwd{dir.Path()};
    mediatest::RecordingGraphics graphics;
    FTFont fonts;
};

TEST_F(FontManagerTest, FindsFontsByFaceAndSize)
{
    KVXFont* font = fonts.GetFont(L"MainUI40", 0);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(fonts.GetFont(L"MainUI40", 0), font);
    EXPECT_EQ(fonts.GetDefaultImagesetFont(), font);
    KVXFont* sized = fonts.GetFont(L"MainUI40", 12);
    EXPECT_NE(sized, font) << "an imageset font has size 0: another size makes another font";
    EXPECT_EQ(fonts.GetFont(L"MainUI40", 12), sized) << "but only once";
    EXPECT_EQ(fonts.Fonts().size(), 2u);
    EXPECT_EQ(fonts.GetDefaultImagesetFont(), font);
    EXPECT_EQ(fonts.GetDefaultFont(), nullptr);
}

TEST_F(FontManagerTest, RegisteringAFaceAgainOnlyChangesFontsMadeLater)
{
    KVXFont* before = fonts.GetFont(L"MainUI40", 0);
    fonts.RegisterFont(L"MainUI40", "data/Other.imageset");
    EXPECT_EQ(fonts.GetFont(L"MainUI40", 0), before);
    EXPECT_EQ(before->GetName(), "SmallFont");
    EXPECT_EQ(fonts.GetFont(L"MainUI40", 7)->GetName(), "Other");
}

TEST_F(FontManagerTest, DrawsAndMeasuresByFaceName)
{
    EXPECT_EQ(fonts.DrawText(L"MainUI40", 0, 5, 6, 0xFFFFFFFF, 0, 0, L"AB"), 14);
    EXPECT_EQ(graphics.sprites.size(), 2u);
    SIZE size = fonts.MeasureText(L"MainUI40", 0, L"AB");
    EXPECT_EQ(size.cx, 14);
    EXPECT_EQ(size.cy, 12);
    size = fonts.MeasureDefaultImageset(L"BB");
    EXPECT_EQ(size.cx, 12);
    EXPECT_EQ(fonts.DrawDefaultImageset(0, 0, 0xFFFFFFFF, L"A"), 8);

    // Faces nobody registered draw nothing and measure nothing.
    EXPECT_EQ(fonts.DrawText(L"Unknown", 14, 0, 0, 0xFFFFFFFF, 0, 0, L"AB"), 0);
    size = fonts.MeasureText(L"Unknown", 14, L"AB");
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);
    EXPECT_EQ(fonts.DrawDefault(0, 0, 0xFFFFFFFF, L"AB"), 0) << "no FreeType font was made";
}

TEST_F(FontManagerTest, KeepsAFontWhoseFileIsMissing)
{
    fonts.RegisterFont(L"Broken", "data/Missing.imageset");
    KVXFont* broken = fonts.GetFont(L"Broken", 0);
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(fonts.GetFont(L"Broken", 0), broken);
    EXPECT_EQ(broken->Draw(0, 0, 0xFFFFFFFF, L"AB"), 0);
    fonts.ReleaseAll();
    EXPECT_TRUE(fonts.Fonts().empty());
    EXPECT_EQ(fonts.GetFont(L"MainUI40", 0), nullptr) << "the registry is emptied too";
}

// Fonts entered at start load at their first use; the defaults are the first entered, as if
// they had been made then.
TEST_F(FontManagerTest, AFontEnteredAheadLoadsAtItsFirstUse)
{
    fonts.RegisterFont(L"Other", "data/Other.imageset");
    KVXFont* entered = fonts.AddFont(L"MainUI40", 0);
    KVXFont* other = fonts.AddFont(L"Other", 0);
    ASSERT_NE(entered, nullptr);
    EXPECT_EQ(fonts.AddFont(L"Unknown", 0), nullptr);
    EXPECT_EQ(fonts.GetDefaultImagesetFont(), entered);
    EXPECT_EQ(entered->GetName(), "") << "nothing is read before the first use";
    fonts.RegisterFont(L"MainUI40", "data/Other.imageset");

    EXPECT_EQ(fonts.MeasureDefaultImageset(L"AB").cx, 14) << "the default loads from the file registered when it was entered";
    EXPECT_EQ(entered->GetName(), "SmallFont");
    EXPECT_EQ(other->GetName(), "");
    EXPECT_EQ(fonts.GetFont(L"Other", 0), other);
    EXPECT_EQ(other->GetName(), "Other");
    EXPECT_EQ(fonts.Fonts().size(), 2u);
}

class FontManagerFaceTest : public FontManagerTest {
protected:
    void SetUp() override
    {
        FontManagerTest::SetUp();
        std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", dir.Path() / "Face.ttf");
        fonts.RegisterFont(L"Face", "Face.ttf");
    }

    const uint8_t* Bytes(KVXFont* font) { return static_cast<KVXFreeTypeFont*>(font)->GetFace()->m_FontData.data.get(); }
    static int Width(KVXFont* font, const wchar_t* text)
    {
        int width = 0;
        font->Measure(text, &width, nullptr);
        return width;
    }
};

TEST_F(FontManagerFaceTest, TheSizesOfOneFileShareOneCopyOfItsBytes)
{
    KVXFont* small = fonts.GetFont(L"Face", 10);
    KVXFont* large = fonts.GetFont(L"Face", 30);
    ASSERT_NE(Bytes(small), nullptr);
    EXPECT_EQ(Bytes(small), Bytes(large));
    EXPECT_LT(Width(small, L"HH"), Width(large, L"HH")) << "each size is set on its own face";
    EXPECT_EQ(fonts.GetDefaultFont(), small);

    // The bytes live as long as a face uses them: a font made after the file changed on disk
    // still reads the copy in use.
    dir.Write("Face.ttf", "not a font");
    EXPECT_EQ(Bytes(fonts.GetFont(L"Face", 14)), Bytes(small));
}

// A font entered ahead is first used by whichever thread gets to it: the scene loader thread
// measures labels while the main thread measures and draws. It is loaded once, and glyphs
// measured at the same time on several threads measure as they do on one.
TEST_F(FontManagerFaceTest, AFontFirstUsedByManyThreadsAtOnceLoadsOnce)
{
    fonts.AddFont(L"Face", 14);
    std::vector<std::thread> threads;
    std::vector<KVXFont*> seen(6, nullptr);
    std::vector<int> widths(6, 0);
    for (size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&, i] {
            seen[i] = fonts.GetFont(L"Face", 14);
            const wchar_t text[] = {static_cast<wchar_t>(L'A' + i), L'g', 0};
            widths[i] = fonts.MeasureText(L"Face", 14, text).cx + fonts.MeasureDefault(L"Hello").cx;
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(fonts.Fonts().size(), 1u);
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i], fonts.GetDefaultFont());
        const wchar_t text[] = {static_cast<wchar_t>(L'A' + i), L'g', 0};
        EXPECT_EQ(widths[i], fonts.MeasureText(L"Face", 14, text).cx + fonts.MeasureDefault(L"Hello").cx);
        EXPECT_GT(widths[i], 0);
    }
}

// The scene loader thread measures labels in glyphs the main thread has not met yet while the
// main thread measures and draws others: each new glyph is rasterised by the face and entered in
// the font's tables. Two threads meeting a thousand new glyphs each at once, in opposite orders,
// on fonts of several sizes, measure them as one thread does (without the font's lock this broke
// the heap within a few sizes: glibc aborted with a corrupted list or the process crashed).
TEST_F(FontManagerFaceTest, NewGlyphsMetOnTwoThreadsAtOnceMeasureAsOnOne)
{
    constexpr int kGlyphs = 1024;
    auto character = [](int i) { return static_cast<wchar_t>(0x100 + i); };  // Latin, Greek, Cyrillic
    for (int size = 10; size < 30; size += 2) {
        KVXFont* font = fonts.GetFont(L"Face", size);
        ASSERT_NE(font, nullptr);
        auto walk = [&](int first, int step, long* total) {
            for (int i = 0; i < kGlyphs; ++i) {
                const wchar_t text[] = {character((first + i * step + kGlyphs) % kGlyphs), 0};
                *total += Width(font, text);
            }
        };
        long forwards = 0, backwards = 0;
        std::thread a(walk, 0, 1, &forwards);
        std::thread b(walk, kGlyphs - 1, -1, &backwards);
        a.join();
        b.join();
        long alone = 0;
        walk(0, 1, &alone);
        EXPECT_GT(alone, 0) << size;
        EXPECT_EQ(forwards, alone) << size;
        EXPECT_EQ(backwards, alone) << size;
    }
}

} // namespace
