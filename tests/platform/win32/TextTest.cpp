#include <win32/Text.h>

#include <gtest/gtest.h>

namespace {

TEST(TextTest, KoreanRoundTripsThroughUtf8)
{
    const std::wstring korean = L"사운드 재생을 실패 했습니다.";
    std::string utf8 = platform::Narrow(korean);
    EXPECT_EQ(utf8.size(), 40u); // 12 syllables of 3 bytes, 3 spaces and a full stop
    EXPECT_EQ(platform::Widen(utf8), korean);
}

TEST(TextTest, WindowsConversionRulesForCountsAndSizes)
{
    // -1 includes the terminator; a zero destination asks for the size.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"한글", -1, nullptr, 0, nullptr, nullptr), 7);

    // A destination too small fails rather than cutting a character in half.
    char small[4] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"한글", -1, small, 4, nullptr, nullptr), 0);
    EXPECT_EQ(std::string(small, 3), platform::Narrow(L"한"));
}

TEST(TextTest, MalformedUtf8BecomesReplacementCharacters)
{
    EXPECT_EQ(platform::Widen("a\xFF" "b"), L"a\xFFFD" L"b");
    EXPECT_EQ(platform::Widen("\xED\x95"), L"\xFFFD\xFFFD"); // cut sequence
}

struct FormatCase {
    const wchar_t* format;
    const wchar_t* expected;
};

class WideFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(WideFormatTest, FollowsTheWindowsRule)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(platform::FormatWide(c.format, L"wide", "narrow", L'w', 42), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Formats, WideFormatTest,
                         ::testing::Values(FormatCase{L"%s %S %c %d", L"wide narrow w 42"},
                                           FormatCase{L"[%6s] %hs %lc %03d", L"[  wide] narrow w 042"},
                                           FormatCase{L"100%% %ls", L"100% wide"}));

TEST(TextTest, FixedBufferFormattingCutsAndTerminates)
{
    wchar_t buffer[6];
    EXPECT_EQ(_snwprintf(buffer, 6, L"%s", L"abcdefgh"), -1);
    EXPECT_STREQ(buffer, L"abcde");
    EXPECT_EQ(_snwprintf(buffer, 6, L"%d", 12), 2);
    EXPECT_STREQ(buffer, L"12");
    // Long texts are formatted whole by the growing formatter.
    std::wstring longText(5000, L'x');
    EXPECT_EQ(platform::FormatWide(L"%s!", longText.c_str()).size(), 5001u);
}

} // namespace
