#include <win32/Profile.h>
#include <win32/Text.h>

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using testsupport::ScopedCurrentDir;
using testsupport::TempDir;

const char* const kSample = "; settings of the game\n"
                            "[Video]\n"
                            "Width = 1024\n"
                            "Title=\"Quibly  \"\n"
                            "; the colour depth\n"
                            "Depth=32\n"
                            "\n"
                            "[Sound]\r\n"
                            "Volume=0x1F\r\n"
                            "Offset=-7\r\n"
                            "Junk=12abc\r\n"
                            "Word=abc\r\n";

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { m_dir.Write("game.ini", kSample); }

    std::wstring Get(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue = L"none",
                     const wchar_t* file = L"game.ini")
    {
        wchar_t buffer[64];
        DWORD n = GetPrivateProfileStringW(section, key, defaultValue, buffer, 64, file);
        EXPECT_EQ(n, std::wcslen(buffer));
        return buffer;
    }

    TempDir m_dir;
    ScopedCurrentDir m_cwd{m_dir.Path()};
};

TEST_F(ProfileTest, ReadsValuesWithoutRegardToCase)
{
    struct Case {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* defaultValue;
        const wchar_t* file;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"Video", L"Width", L"", L"game.ini", L"1024"},
        {L"VIDEO", L"width", L"", L"GAME.INI", L"1024"},
        {L"Video", L"Title", L"", L"game.ini", L"Quibly  "},
        {L"Sound", L"Volume", L"", L"game.ini", L"0x1F"},
        {L"Video", L"Missing", L"fallback", L"game.ini", L"fallback"},
        {L"Missing", L"Width", L"fallback", L"game.ini", L"fallback"},
        {L"Video", L"Width", L"fallback", L"nofile.ini", L"fallback"},
        {L"Video", L"Missing", nullptr, L"game.ini", L""},
        {L"Video", L"the colour depth", L"x", L"game.ini", L"x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Get(c.section, c.key, c.defaultValue, c.file), c.expected)
            << platform::Narrow(c.section) << "/" << platform::Narrow(c.key);
}

TEST_F(ProfileTest, ReadsIntegers)
{
    struct Case {
        const wchar_t* key;
        int expected;
    };
    for (const Case& c : {Case{L"Volume", 31}, Case{L"Offset", -7}, Case{L"Junk", 12}, Case{L"Word", 0},
                          Case{L"Missing", 99}})
        EXPECT_EQ(static_cast<int>(GetPrivateProfileIntW(L"Sound", c.key, 99, L"game.ini")), c.expected)
            << platform::Narrow(c.key);
}

TEST_F(ProfileTest, ListsNamesKeysAndLinesAndCutsThemSafely)
{
    wchar_t buffer[64];
    EXPECT_EQ(GetPrivateProfileSectionNamesW(buffer, 64, L"game.ini"), 12u);
    EXPECT_EQ(std::wstring(buffer, 13), std::wstring(L"Video\0Sound\0\0", 13));
    EXPECT_EQ(GetPrivateProfileStringW(L"Video", nullptr, L"", buffer, 64, L"game.ini"), 18u);
    EXPECT_EQ(std::wstring(buffer, 19), std::wstring(L"Width\0Title\0Depth\0\0", 19));
    EXPECT_EQ(GetPrivateProfileSectionW(L"video", buffer, 64, L"game.ini"), 39u);
    EXPECT_EQ(std::wstring(buffer, 40), std::wstring(L"Width = 1024\0Title=\"Quibly  \"\0Depth=32\0\0", 40));

    // A list that does not fit still ends in two terminators.
    std::wmemset(buffer, L'#', 64);
    EXPECT_EQ(GetPrivateProfileSectionNamesW(buffer, 8, L"game.ini"), 6u);
    EXPECT_EQ(std::wstring(buffer, 9), std::wstring(L"Video\0\0\0#", 9));
    // A value that does not fit is cut and terminated.
    EXPECT_EQ(GetPrivateProfileStringW(L"Video", L"Width", L"", buffer, 3, L"game.ini"), 2u);
    EXPECT_STREQ(buffer, L"10");
    EXPECT_EQ(GetPrivateProfileStringW(L"Video", L"Width", L"", buffer, 0, L"game.ini"), 0u);
}

TEST_F(ProfileTest, WritesKeepEveryOtherLine)
{
    EXPECT_TRUE(WritePrivateProfileStringW(L"video", L"DEPTH", L"16", L"game.ini"));
    EXPECT_TRUE(WritePrivateProfileStringW(L"Video", L"Full", L"1", L"game.ini"));
    EXPECT_TRUE(WritePrivateProfileStringW(L"Sound", L"Junk", nullptr, L"game.ini"));
    EXPECT_TRUE(WritePrivateProfileStringW(L"Player", L"Name", L"하나", L"game.ini"));
    EXPECT_EQ(m_dir.Read("game.ini"), "; settings of the game\n"
                                      "[Video]\n"
                                      "Width = 1024\n"
                                      "Title=\"Quibly  \"\n"
                                      "; the colour depth\n"
                                      "DEPTH=16\n"
                                      "Full=1\n"
                                      "\n"
                                      "[Sound]\n"
                                      "Volume=0x1F\n"
                                      "Offset=-7\n"
                                      "Word=abc\n"
                                      "[Player]\n"
                                      "Name=하나\n");
    EXPECT_TRUE(WritePrivateProfileStringW(L"SOUND", nullptr, nullptr, L"game.ini"));
    EXPECT_EQ(Get(L"Sound", L"Volume"), L"none");
    EXPECT_EQ(Get(L"Player", L"Name"), L"하나");
}

TEST_F(ProfileTest, CreatesNewFilesAndFailsWhereNoneCanBeSaved)
{
    EXPECT_TRUE(WritePrivateProfileStringW(L"A", L"B", L"C", L"Fresh.ini"));
    EXPECT_EQ(m_dir.Read("Fresh.ini"), "[A]\nB=C\n");
    EXPECT_FALSE(WritePrivateProfileStringW(L"A", L"B", L"C", L"nofolder/x.ini"));
    EXPECT_FALSE(WritePrivateProfileStringW(L"A", L"B", L"C", nullptr));
    EXPECT_FALSE(WritePrivateProfileStringW(nullptr, L"B", L"C", L"Fresh.ini"));
}

TEST_F(ProfileTest, SectionWriteReplacesItsLines)
{
    const wchar_t lines[] = L"Volume=3\0Mute\0";
    EXPECT_TRUE(WritePrivateProfileSectionW(L"Sound", lines, L"game.ini"));
    EXPECT_EQ(Get(L"Sound", L"Volume"), L"3");
    EXPECT_EQ(Get(L"Sound", L"Offset"), L"none");
    wchar_t buffer[32];
    EXPECT_EQ(GetPrivateProfileSectionW(L"Sound", buffer, 32, L"game.ini"), 14u);
    EXPECT_EQ(std::wstring(buffer, 15), std::wstring(L"Volume=3\0Mute\0\0", 15));
}

TEST_F(ProfileTest, StructsCarryAChecksum)
{
    const uint8_t data[4] = {0x10, 0x20, 0xF0, 0x05};
    ASSERT_TRUE(WritePrivateProfileStructW(L"Blob", L"Key", data, 4, L"game.ini"));
    EXPECT_EQ(Get(L"Blob", L"Key"), L"1020F00525");

    uint8_t read[4] = {};
    EXPECT_TRUE(GetPrivateProfileStructW(L"Blob", L"Key", read, 4, L"game.ini"));
    EXPECT_EQ(std::vector<uint8_t>(read, read + 4), std::vector<uint8_t>(data, data + 4));

    uint8_t untouched[4] = {9, 9, 9, 9};
    EXPECT_FALSE(GetPrivateProfileStructW(L"Blob", L"Key", untouched, 3, L"game.ini"));
    for (const wchar_t* bad : {L"1020F00526", L"1020F0052", L"1020G00525"}) {
        WritePrivateProfileStringW(L"Blob", L"Key", bad, L"game.ini");
        EXPECT_FALSE(GetPrivateProfileStructW(L"Blob", L"Key", untouched, 4, L"game.ini")) << platform::Narrow(bad);
    }
    EXPECT_EQ(std::vector<uint8_t>(untouched, untouched + 4), std::vector<uint8_t>(4, 9));
}

TEST_F(ProfileTest, WritersOnTwoThreadsKeepEachOthersKeys)
{
    auto writer = [](const wchar_t* section) {
        for (int i = 0; i < 40; ++i)
            WritePrivateProfileStringW(section, std::to_wstring(i).c_str(), L"v", L"shared.ini");
    };
    std::thread a(writer, L"A"), b(writer, L"B");
    a.join();
    b.join();
    wchar_t keys[512];
    for (const wchar_t* section : {L"A", L"B"}) {
        DWORD n = GetPrivateProfileStringW(section, nullptr, L"", keys, 512, L"shared.ini");
        size_t count = 0;
        for (DWORD i = 0; i < n; ++i)
            count += keys[i] == 0;
        EXPECT_EQ(count, 40u) << platform::Narrow(section);
    }
}

} // namespace
