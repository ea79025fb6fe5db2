#include <helvane/DXUtil.h>
#include <win32/Registry.h>
#include <win32/Text.h>
#include <win32/Time.h>

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using testsupport::ScopedCurrentDir;
using testsupport::TempDir;

struct AnsiToWideCase {
    const char* source;
    int count;
    std::wstring expected;
};

TEST(DXUtilConversionTest, AnsiToWideKeepsWholeCharactersAndTerminates)
{
    const AnsiToWideCase cases[] = {
        {"abc", 2, L"a"},       {"abc", -1, L"abc"}, {"abc", 10, L"abc"}, {"abc", 1, L""},
        {"한글", -1, L"한글"}, {"한글", 2, L"한"},  {"", -1, L""},
    };
    for (const AnsiToWideCase& c : cases) {
        int units = c.count == -1 ? static_cast<int>(std::strlen(c.source)) + 1 : c.count;
        std::vector<wchar_t> out(units, L'#');
        DXUtil_ConvertAnsiStringToWide(out.data(), c.source, c.count);
        EXPECT_EQ(std::wstring(out.data()), c.expected) << c.source << " / " << c.count;
        EXPECT_EQ(out[units - 1], 0);
    }
}

struct WideToAnsiCase {
    const wchar_t* source;
    int count;
    std::string expected;
};

TEST(DXUtilConversionTest, WideToAnsiNeverCutsMultiByteText)
{
    const WideToAnsiCase cases[] = {
        {L"abc", 2, "a"},
        {L"abc", -1, "abc"},
        // The whole source: sized by its UTF-8 form, not by its three characters.
        {L"한글나", -1, "한글나"},
        // Five bytes hold one syllable of three; the rest stays empty, never half a character.
        {L"한글", 5, "한"},
        {L"한글", 7, "한글"},
    };
    for (const WideToAnsiCase& c : cases) {
        int bytes = c.count == -1 ? static_cast<int>(c.expected.size()) + 1 : c.count;
        std::vector<char> out(bytes + 4, '#');
        DXUtil_ConvertWideStringToAnsi(out.data(), c.source, c.count);
        EXPECT_EQ(std::string(out.data()), c.expected) << c.count;
        for (int i = static_cast<int>(c.expected.size()); i < bytes; ++i)
            EXPECT_EQ(out[i], 0) << "byte " << i << " of count " << c.count;
        EXPECT_EQ(out[bytes], '#') << "written past the count";
    }
}

TEST(DXUtilConversionTest, WideToWideCopiesPadsAndTerminates)
{
    wchar_t out[6];
    std::wmemset(out, L'#', 6);
    DXUtil_ConvertGenericStringToWide(out, L"ab", 5);
    EXPECT_EQ(std::wstring(out, 6), std::wstring(L"ab\0\0\0#", 6));
    DXUtil_ConvertWideStringToGeneric(out, L"abcdefgh", 4);
    EXPECT_STREQ(out, L"abc");
    DXUtil_ConvertWideStringToGeneric(out, L"whole", -1);
    EXPECT_STREQ(out, L"whole");
}

TEST(DXUtilConversionTest, NullsAndEmptyCountsWriteNothing)
{
    char ansi[4] = "xyz";
    wchar_t wide[4] = L"xyz";
    DXUtil_ConvertGenericStringToAnsi(ansi, L"a", 0);
    DXUtil_ConvertGenericStringToAnsi(ansi, nullptr, 4);
    DXUtil_ConvertWideStringToAnsi(ansi, L"a", 0);
    DXUtil_ConvertWideStringToAnsi(ansi, L"a", -5);
    DXUtil_ConvertAnsiStringToGeneric(wide, "a", 0);
    DXUtil_ConvertAnsiStringToWide(wide, "a", 0);
    DXUtil_ConvertAnsiStringToWide(wide, nullptr, 4);
    DXUtil_ConvertGenericStringToWide(wide, L"a", 0);
    DXUtil_ConvertGenericStringToWide(nullptr, L"a", 4);
    EXPECT_STREQ(ansi, "xyz");
    EXPECT_STREQ(wide, L"xyz");
}

TEST(DXUtilGuidTest, TextRoundTripsAndBadTextGivesZero)
{
    const GUID guid{0x1234ABCDu, 0x0042, 0xBEEF, {0x00, 0x01, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7}};
    wchar_t text[39];
    DXUtil_ConvertGUIDToString(&guid, text);
    EXPECT_STREQ(text, L"{1234ABCD-0042-BEEF-0001-A2B3C4D5E6F7}");

    GUID read{};
    EXPECT_EQ(DXUtil_ConvertStringToGUID(L"{1234abcd-0042-beef-0001-a2b3c4d5e6f7}", &read), 1);
    EXPECT_TRUE(read == guid);

    for (const wchar_t* bad : {L"1234ABCD-0042-BEEF-0001-A2B3C4D5E6F7", L"{1234ABCD-0042-BEEF}", L""}) {
        read = guid;
        EXPECT_EQ(DXUtil_ConvertStringToGUID(bad, &read), 0);
        EXPECT_TRUE(read == GUID{});
    }
}

class DXUtilTimerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::UseManualClock(true);
        DXUtil_Timer(TIMER_RESET);
    }
    void TearDown() override { platform::UseManualClock(false); }
    static void Advance(double seconds) { platform::AdvanceManualClock(static_cast<uint64_t>(seconds * 1e9)); }
};

TEST_F(DXUtilTimerTest, ElapsedAndAppTimeFollowTheClock)
{
    Advance(0.25);
    EXPECT_FLOAT_EQ(DXUtil_Timer(TIMER_GETELAPSEDTIME), 0.25f);
    EXPECT_FLOAT_EQ(DXUtil_Timer(TIMER_GETELAPSEDTIME), 0.0f);
    Advance(0.5);
    EXPECT_FLOAT_EQ(DXUtil_Timer(TIMER_GETAPPTIME), 0.75f);
    float absolute = DXUtil_Timer(TIMER_GETABSOLUTETIME);
    Advance(1.0);
    EXPECT_NEAR(DXUtil_Timer(TIMER_GETABSOLUTETIME) - absolute, 1.0f, 1e-3f);
    EXPECT_FLOAT_EQ(DXUtil_Timer(static_cast<TIMER_COMMAND>(7)), -1.0f);
}

TEST_F(DXUtilTimerTest, StoppedSpanNeverCountsAsFrameTime)
{
    Advance(1.0);
    DXUtil_Timer(TIMER_GETELAPSEDTIME);
    DXUtil_Timer(TIMER_STOP);
    Advance(3.0);
    EXPECT_FLOAT_EQ(DXUtil_Timer(TIMER_GETELAPSEDTIME), 0.0f);
    EXPECT_FLOAT_EQ(DXUtil_Timer(TIMER_GETAPPTIME), 1.0f);
    DXUtil_Timer(TIMER_ADVANCE);
    EXPECT_FLOAT_EQ(DXUtil_Timer(TIMER_GETAPPTIME), 1.1f);

    DXUtil_Timer(TIMER_START);
    Advance(0.5);
    EXPECT_FLOAT_EQ(DXUtil_Timer(TIMER_GETELAPSEDTIME), 0.5f);
    // The stepped tenth of a second stays on the application clock.
    EXPECT_FLOAT_EQ(DXUtil_Timer(TIMER_GETAPPTIME), 1.6f);
}

TEST(DXUtilRegistryTest, ReadsGiveDefaultsAndWritesFailWithoutARegistry)
{
    int flag = -1;
    EXPECT_EQ(DXUtil_ReadBoolRegKey(HKEY_LOCAL_MACHINE, L"Flag", &flag, 1), S_OK);
    EXPECT_EQ(flag, 1);
    GUID fallback{7, 8, 9, {1, 2, 3, 4, 5, 6, 7, 8}};
    GUID read{};
    EXPECT_EQ(DXUtil_ReadGuidRegKey(HKEY_LOCAL_MACHINE, L"Id", &read, fallback), S_OK);
    EXPECT_TRUE(read == fallback);
    EXPECT_EQ(DXUtil_WriteIntRegKey(HKEY_LOCAL_MACHINE, L"Count", 3), E_FAIL);
    EXPECT_EQ(DXUtil_WriteStringRegKey(HKEY_LOCAL_MACHINE, L"Name", L"x"), E_FAIL);
}

TEST(DXUtilMediaTest, FindsAFileByFullPathOrBareName)
{
    TempDir dir;
    dir.Write("media/Tone.wav", "x");
    dir.Write("Logo.bmp", "x");
    ScopedCurrentDir cwd(dir.Path());
    wchar_t path[kMediaPathChars];

    EXPECT_EQ(DXUtil_FindMediaFile(nullptr, L"x"), E_INVALIDARG);
    EXPECT_EQ(DXUtil_FindMediaFile(path, nullptr), E_INVALIDARG);

    EXPECT_EQ(DXUtil_FindMediaFile(path, L"media\\Tone.wav"), S_OK);
    EXPECT_EQ(platform::Narrow(path), (dir.Path() / "media/Tone.wav").string());
    // A folder that does not hold the file: the bare name in the current directory is tried.
    EXPECT_EQ(DXUtil_FindMediaFile(path, L"elsewhere/Logo.bmp"), S_OK);
    EXPECT_STREQ(path, L"Logo.bmp");

    EXPECT_EQ(DXUtil_FindMediaFile(path, L"none.wav"), E_FAIL);
    EXPECT_STREQ(path, L"none.wav");
    EXPECT_EQ(DXUtil_FindMediaFile(path, std::wstring(2000, L'n').c_str()), E_FAIL);
}

} // namespace
