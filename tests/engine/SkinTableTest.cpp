// The skin table: choosing a skin, empty names for missing keys, refusing a bad file whole,
// and the index check.
#include "engine/SkinTable.h"
#include "support/TempDir.h"

#include <helvane/ResourceFileManager.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Skin(const std::string& tag, bool withRockL = true)
{
    std::string common = "<Common";
    for (const char* key : CSkinTable::KeyNames())
        if (withRockL || std::string(key) != "BlockRockL")
            common += std::string(" ") + key + "=\"" + tag + "_" + key + ".xml\"";
    return "<VanteoSkin>" + common + "/></VanteoSkin>";
}

class SkinTableTest : public ::testing::Test {
protected:
    void WriteSkinFile(const std::string& text)
    {
        m_dir.Write("data/Skin/KVSkin_Default.xml", text);
        CResourceFileManager::GetSingleton().CollectFileNameList(L"\\data\\");
    }
    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
    CSkinTable m_table;
};

TEST_F(SkinTableTest, LoadsTheChosenSkinAndFallsBackToTheFirst)
{
    WriteSkinFile(Skin("zero") + Skin("one", false) + Skin("two"));
    ASSERT_EQ(m_table.LoadSkin(1), 1);
    EXPECT_EQ(m_table.GetCurrentSkin(), 1);
    EXPECT_STREQ(m_table.GetSkinString(0), "one_MouseCursor_Normal.xml");
    EXPECT_STREQ(m_table.GetSkinString(130), "one_AttackLine_Mine_Enemy.xml");
    EXPECT_STREQ(m_table.GetSkinString(82), ""); // "BlockRockL" missing from this skin

    ASSERT_EQ(m_table.LoadSkin(5), 1);
    EXPECT_EQ(m_table.GetCurrentSkin(), 0);
    EXPECT_STREQ(m_table.GetSkinString(82), "zero_BlockRockL.xml");
    EXPECT_EQ(m_table.LoadSkin(0), 0);
    EXPECT_STREQ(m_table.GetSkinString(27), "zero_Num_Battle_AttackLine.xml");
}

TEST_F(SkinTableTest, BadFilesAreRefusedBeforeTheNamesChange)
{
    WriteSkinFile(Skin("zero") + Skin("one"));
    ASSERT_EQ(m_table.LoadSkin(0), 1);
    for (const char* bad : {"<VanteoSkin><Common", "<Other/>", "<VanteoSkin><NotCommon/></VanteoSkin>"}) {
        WriteSkinFile(bad);
        EXPECT_EQ(m_table.LoadSkin(1), 0) << bad;
        EXPECT_EQ(m_table.GetCurrentSkin(), 0);
        EXPECT_STREQ(m_table.GetSkinString(3), "zero_MouseCursor_Button.xml") << bad;
    }
    std::filesystem::remove_all(m_dir.Path() / "data");
    CResourceFileManager::GetSingleton().CollectFileNameList(L"\\data\\");
    EXPECT_EQ(m_table.LoadSkin(1), 0);
}

TEST_F(SkinTableTest, IndexesOutsideTheTableGiveNull)
{
    for (int index : {131, -1, 1000})
        EXPECT_EQ(m_table.GetSkinString(index), nullptr) << index;
    EXPECT_STREQ(m_table.GetSkinString(130), ""); // empty before any skin is loaded
}

} // namespace
