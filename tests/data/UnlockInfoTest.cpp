// The menu unlock file: required attributes, defaults, one load per run, lookups, save/reload.
#include "data/UnlockInfo.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class UnlockInfoTest : public ::testing::Test {
protected:
    void SetUp() override { ClearUnlockMenu(); }
    void TearDown() override { ClearUnlockMenu(); }
    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
};

constexpr const char* kFile =
    "<UnlockMenu>"
    "<Battle>"
    "<UnlockInfo BtnName=\"Btn_a\" UnlockPic=\"Lock_a\" CubePic=\"Cube_a\" Cube=\"300\" IsUnlock=\"1\"/>"
    "<UnlockInfo BtnName=\"Btn_b\" UnlockPic=\"Lock_b\"/>"
    "<UnlockInfo BtnName=\"Btn_c\" UnlockPic=\"Lock_c\" CubePic=\"Cube_c\"/>"
    "</Battle>"
    "<PushGeek><UnlockInfo BtnName=\"Btn_g\" UnlockPic=\"Lock_g\" CubePic=\"Cube_g\" Cube=\"50\"/></PushGeek>"
    "</UnlockMenu>";

TEST_F(UnlockInfoTest, LoadsEntriesDroppingIncompleteOnesAndOnlyOncePerRun)
{
    m_dir.Write(kUnlockMenuFile, kFile);
    ASSERT_EQ(LoadUnlockMenu(), 1);
    UnlockInfo* first = GetUnlockInfo(UNLOCK_BATTLE, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->btnName, "Btn_a");
    EXPECT_EQ(first->cube, 300);
    EXPECT_EQ(first->isUnlock, 1);
    UnlockInfo* second = GetUnlockInfo(UNLOCK_BATTLE, 1);
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second->btnName, "Btn_c"); // "Btn_b" lacks CubePic
    EXPECT_EQ(second->cube, 100);
    EXPECT_EQ(second->isUnlock, 0);
    EXPECT_EQ(second->group, UNLOCK_BATTLE);
    EXPECT_EQ(GetUnlockInfo(UNLOCK_BATTLE, 2), nullptr);
    EXPECT_EQ(GetUnlockInfo(UNLOCK_PUZZLE, 0), nullptr);

    m_dir.Write(kUnlockMenuFile, "<UnlockMenu/>");
    EXPECT_EQ(LoadUnlockMenu(), 0);
    EXPECT_EQ(GetUnlockInfo(UNLOCK_BATTLE, 0), first);
}

TEST_F(UnlockInfoTest, LookupsByButtonAndPictureAreExactAndBoundsChecked)
{
    m_dir.Write(kUnlockMenuFile, kFile);
    ASSERT_EQ(LoadUnlockMenu(), 1);
    EXPECT_EQ(FindUnlockInfoByButton(UNLOCK_BATTLE, "Btn_c"), GetUnlockInfo(UNLOCK_BATTLE, 1));
    EXPECT_EQ(FindUnlockInfoByPic(UNLOCK_PUSH_GEEK, "Lock_g"), GetUnlockInfo(UNLOCK_PUSH_GEEK, 0));
    EXPECT_EQ(FindUnlockInfoByButton(UNLOCK_BATTLE, "btn_c"), nullptr);
    EXPECT_EQ(FindUnlockInfoByButton(UNLOCK_PUSH, "Btn_c"), nullptr);
    for (int group : {7, -1, 100}) {
        EXPECT_EQ(GetUnlockInfo(group, 0), nullptr);
        EXPECT_EQ(FindUnlockInfoByButton(group, "Btn_a"), nullptr);
        EXPECT_EQ(FindUnlockInfoByPic(group, "Lock_a"), nullptr);
    }
    EXPECT_EQ(GetUnlockInfo(UNLOCK_BATTLE, -1), nullptr);
    EXPECT_EQ(FindUnlockInfoByButton(UNLOCK_BATTLE, nullptr), nullptr);
}

TEST_F(UnlockInfoTest, SaveAndReloadKeepEntriesOrderFlagsAndEmptyGroups)
{
    m_dir.Write(kUnlockMenuFile, kFile);
    ASSERT_EQ(LoadUnlockMenu(), 1);
    GetUnlockInfo(UNLOCK_BATTLE, 1)->isUnlock = 1;
    SaveUnlockMenu();
    std::string text = m_dir.Read(kUnlockMenuFile);
    EXPECT_NE(text.find("<Puzzle />"), std::string::npos);
    EXPECT_NE(text.find("<UnlockInfo IsUnlock=\"1\" BtnName=\"Btn_c\" UnlockPic=\"Lock_c\" Cube=\"100\" CubePic=\"Cube_c\""),
              std::string::npos);

    ClearUnlockMenu();
    ASSERT_EQ(LoadUnlockMenu(), 1);
    EXPECT_STREQ(GetUnlockInfo(UNLOCK_BATTLE, 0)->btnName, "Btn_a");
    EXPECT_EQ(GetUnlockInfo(UNLOCK_BATTLE, 1)->isUnlock, 1);
    EXPECT_EQ(GetUnlockInfo(UNLOCK_PUSH_GEEK, 0)->cube, 50);
    EXPECT_EQ(GetUnlockInfo(UNLOCK_BATTLE, 2), nullptr);
}

TEST_F(UnlockInfoTest, MissingFileOrRootGivesNoEntries)
{
    EXPECT_EQ(LoadUnlockMenu(), 0);
    m_dir.Write(kUnlockMenuFile, "<Unlock/>");
    EXPECT_EQ(LoadUnlockMenu(), 0);
    EXPECT_EQ(GetUnlockInfo(UNLOCK_PUZZLE, 0), nullptr);
    m_dir.Write(kUnlockMenuFile, kFile);
    EXPECT_EQ(LoadUnlockMenu(), 1);
}

} // namespace
