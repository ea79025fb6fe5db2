// The notices of modes unlocked by play: the kind's pictures, the opening that must end before
// OK or Enter closes, closing without a message, and the locked notice's online opening.
#include "PopUpKit.h"

#include "kv/KVDirector.h"
#include "menus/PopUpUnlockNotices.h"

#include <win32/VirtualKeys.h>

#include <cstring>

using namespace popuptest;

namespace {

class UnlockNoticeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string c = Child({"BUTTON", "Anibtn_popup_ok", 500, 600, 80, 40});
        for (const char* k : {"battle", "push", "iq", "multi"})
            c += Child({"PICTURE", std::string("main_unlocked_") + k, 0, 0, 10, 10});
        world.AddFile("data/congratulation.xml", Layout("Wnd_congratulation", c, "congratulation_anim.xml"));
        world.AddFile("data/congratulation_anim.xml",
                      Animation("Wnd_congratulation", {{"congratulation_in", 200}, {"congratulation_out", 200}}));
        std::string l = Child({"BUTTON", "Anibtn_popup_ok1", 500, 600, 80, 40});
        for (const char* k : {"battle", "push", "iq", "multi"}) {
            l += Child({"LABEL", std::string("main_lock_txt_") + k + "1", 0, 0, 10, 10});
            l += Child({"PICTURE", std::string("main_lockimg_") + k, 0, 0, 10, 10});
        }
        world.AddFile("data/main_locked.xml", Layout("Wnd_main_locked", l, "locked_anim.xml"));
        world.AddFile("data/locked_anim.xml",
                      Animation("Wnd_main_locked", {{"locked_in", 200}, {"locked_in_multi", 200}, {"locked_out", 200}}));
    }
    std::vector<std::string> Shown(const char* prefix, const char* suffix = "")
    {
        std::vector<std::string> shown;
        for (const char* k : {"battle", "push", "iq", "multi"})
            if (world.Visible(std::wstring(prefix, prefix + std::strlen(prefix)) + std::wstring(k, k + std::strlen(k)) +
                              std::wstring(suffix, suffix + std::strlen(suffix))))
                shown.push_back(k);
        return shown;
    }

    PopUpWorld world;
};

TEST_F(UnlockNoticeTest, TheCongratulationShowsItsKindAndClosesOnlyAfterItsOpening)
{
    VanteoPopUp_MainMenuUnlock notice;
    ASSERT_EQ(notice.Open(), 1);
    EXPECT_EQ(notice.Open(), 0);
    notice.m_nKind = 2;
    world.Frame(notice, 0.05f);
    EXPECT_EQ(Shown("main_unlocked_"), (std::vector<std::string>{"push"}));
    EXPECT_EQ(world.sounds.played, (std::vector<int>{VanteoPopUp_MainMenuUnlock::kSoundCongratulation}));
    world.Frame(notice, 0.05f, {VK_RETURN});  // the opening still plays
    world.Run(notice, 0.3f);
    EXPECT_TRUE(notice.IsOpen());
    notice.m_nKind = 5;
    world.Frame(notice, 0.05f);
    EXPECT_TRUE(Shown("main_unlocked_").empty());
    world.Frame(notice, 0.05f, {VK_RETURN});
    world.Run(notice, 0.5f);
    EXPECT_FALSE(notice.IsOpen());
    EXPECT_TRUE(world.messages.posted.empty());
}

TEST_F(UnlockNoticeTest, TheLockedNoteShowsTextAndPictureAndOpensOnlineItsOwnWay)
{
    VanteoPopUp_MainMenuUnlocked notice;
    ASSERT_EQ(notice.Open(), 1);
    notice.m_nKind = 4;
    notice.PlayIn(3);
    kv::KVDirector* director = notice.m_pWindow->GetDirector();
    ASSERT_NE(director, nullptr);
    ASSERT_NE(director->currentScene, nullptr);
    EXPECT_EQ(director->currentScene->name, L"locked_in_multi");
    world.Frame(notice, 0.05f);
    EXPECT_EQ(Shown("main_lock_txt_", "1"), (std::vector<std::string>{"multi"}));
    EXPECT_EQ(Shown("main_lockimg_"), (std::vector<std::string>{"multi"}));
    world.Run(notice, 0.3f);
    ASSERT_TRUE(world.ClickOn(L"Anibtn_popup_ok1"));
    world.Run(notice, 0.5f);
    EXPECT_FALSE(notice.IsOpen());
    EXPECT_TRUE(world.messages.posted.empty());
}

} // namespace
