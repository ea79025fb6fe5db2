#include <helvane/IniFile.h>
#include <win32/Text.h>

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testsupport::ScopedCurrentDir;
using testsupport::TempDir;

class IniFileTest : public ::testing::Test {
protected:
    TempDir m_dir;
    ScopedCurrentDir m_cwd{m_dir.Path()};
    CBIniFile m_ini{L"Settings.ini"};
};

TEST_F(IniFileTest, WritesNumbersAndBooleansAsText)
{
    EXPECT_TRUE(m_ini.WriteProfileStringInt(L"Game", L"Level", -12));
    EXPECT_TRUE(m_ini.WriteProfileStringBOOL(L"Game", L"Sound", 5));
    EXPECT_TRUE(m_ini.WriteProfileStringBOOL(L"Game", L"Music", 0));
    EXPECT_TRUE(m_ini.WriteProfileStringW(L"Player", L"Name", L"김철수"));
    EXPECT_EQ(m_dir.Read("Settings.ini"), "[Game]\nLevel=-12\nSound=TRUE\nMusic=FALSE\n[Player]\nName=김철수\n");

    EXPECT_EQ(static_cast<int>(m_ini.GetProfileIntW(L"Game", L"Level", 0)), -12);
    wchar_t name[16];
    EXPECT_EQ(m_ini.GetProfileStringW(L"Player", L"Name", L"", name, 16), 3u);
    EXPECT_STREQ(name, L"김철수");
}

TEST_F(IniFileTest, ReadsBooleansOnlyFromTheExactTextTrue)
{
    m_dir.Write("Settings.ini", "[Game]\nA=TRUE\nB=True\nC=FALSE\nD=1\n");
    struct Case {
        const wchar_t* key;
        int defaultValue;
        int expected;
    };
    for (const Case& c : {Case{L"A", 0, 1}, Case{L"B", 1, 0}, Case{L"C", 1, 0}, Case{L"D", 1, 0},
                          Case{L"Missing", 1, 1}, Case{L"Missing", 0, 0}})
        EXPECT_EQ(m_ini.GetProfileBOOL(L"Game", c.key, c.defaultValue), c.expected) << platform::Narrow(c.key);
}

TEST_F(IniFileTest, SectionFormsReplaceEveryLine)
{
    m_dir.Write("Settings.ini", "[Count]\nA=1\nB=2\n[Flag]\nX=1\n");
    EXPECT_TRUE(m_ini.WriteProfileSectionInt(L"Count", 42));
    EXPECT_TRUE(m_ini.WriteProfileSectionBOOL(L"Flag", 1));
    EXPECT_EQ(m_dir.Read("Settings.ini"), "[Count]\n42\n[Flag]\nTRUE\n");

    wchar_t lines[16];
    EXPECT_EQ(m_ini.GetProfileSectionW(L"Count", lines, 16), 3u);
    EXPECT_EQ(std::wstring(lines, 4), std::wstring(L"42\0\0", 4));
    EXPECT_EQ(m_ini.GetProfileSectionNames(lines, 16), 11u);
    EXPECT_EQ(std::wstring(lines, 12), std::wstring(L"Count\0Flag\0\0", 12));
}

TEST_F(IniFileTest, StructsRoundTripAndPathsAreCopied)
{
    const uint8_t data[3] = {0x01, 0xAB, 0xFF};
    EXPECT_TRUE(m_ini.WriteProfileStruct(L"Blob", L"Key", data, 3));
    uint8_t read[3] = {};
    EXPECT_TRUE(m_ini.GetProfileStruct(L"Blob", L"Key", read, 3));
    EXPECT_EQ(std::vector<uint8_t>(read, read + 3), std::vector<uint8_t>(data, data + 3));

    CBIniFile copy = m_ini;
    EXPECT_STREQ(copy.GetPathName(), L"Settings.ini");
    CBIniFile empty;
    EXPECT_STREQ(empty.GetPathName(), L"");
    empty.SetFileName(std::wstring(400, L'p').c_str());
    EXPECT_EQ(std::wstring(empty.GetPathName()), std::wstring(CBIniFile::kPathChars - 1, L'p'));
}

} // namespace
