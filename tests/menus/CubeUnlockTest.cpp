// The purchase question and the shortfall notice: the answer each close reports from the values
// it was given, the animation guard, and the numbers they show.
#include "PopUpKit.h"

#include "menus/PopUpCubeUnlock.h"

#include <win32/VirtualKeys.h>

using namespace popuptest;

namespace {

constexpr float kAnim = 0.2f;

class CubeUnlockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string q = Child({"BUTTON", "Anibtn_popup_yes", 300, 600, 80, 40}) +
                        Child({"BUTTON", "Anibtn_popup_no", 600, 600, 80, 40}) +
                        Child({"LABEL", "Label_unlock_need", 10, 10, 80, 20}) +
                        Child({"LABEL", "Label_unlock_have", 10, 40, 80, 20});
        world.AddFile("data/unlock.xml", Layout("Wnd_unlock", q, "unlock_anim.xml"));
        world.AddFile("data/unlock_anim.xml", Animation("Wnd_unlock", {{"unlock_in", 200}, {"unlock_out", 200}}));
        std::string n = Child({"BUTTON", "Anibtn_popup_ok", 500, 600, 80, 40}) +
                        Child({"LABEL", "Label_unlock_need", 10, 10, 80, 20}) +
                        Child({"LABEL", "Label_unlock_have", 10, 40, 80, 20}) +
                        Child({"LABEL", "Label_unlock_want", 10, 70, 80, 20});
        world.AddFile("data/unlock_error.xml", Layout("Wnd_unlock_error", n, "unlock_error_anim.xml"));
        world.AddFile("data/unlock_error_anim.xml",
                      Animation("Wnd_unlock_error", {{"unlock_error_in", 200}, {"unlock_error_out", 200}}));
    }
    // The ids posted until the pop-up has closed.
    std::vector<int32_t> CloseAndCollect(VanteoPopUp& popUp)
    {
        for (int frame = 0; frame < 20 && popUp.IsOpen(); ++frame)
            world.Frame(popUp, 0.05f);
        world.Frame(popUp, 0.05f);
        return world.messages.Ids();
    }

    PopUpWorld world;
};

struct AnswerCase {
    int32_t need, have;
    int key;  // the key that answers
    int32_t expected;
};

class CubeUnlockAnswerTest : public CubeUnlockTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(CubeUnlockAnswerTest, ReportsFromTheValuesItWasGiven)
{
    const AnswerCase& c = GetParam();
    VanteoPopUp_CubeUnlock question;
    ASSERT_EQ(question.Open(), 1);
    question.SetValues(c.need, c.have);
    EXPECT_EQ(world.Text(L"Label_unlock_need"), std::to_wstring(c.need));
    EXPECT_EQ(world.Text(L"Label_unlock_have"), std::to_wstring(c.have));
    world.Run(question, kAnim + 0.3f);
    world.Frame(question, 0.05f, {c.key});
    EXPECT_EQ(CloseAndCollect(question), (std::vector<int32_t>{c.expected}));
    EXPECT_TRUE(world.messages.posted.front().payload.empty());
}

INSTANTIATE_TEST_SUITE_P(Answers, CubeUnlockAnswerTest,
                         ::testing::Values(AnswerCase{1000, 1000, VK_RETURN, MSG_CUBE_UNLOCK_CONFIRMED},
                                           AnswerCase{1000, 999, VK_RETURN, MSG_CUBE_UNLOCK_SHORT},
                                           AnswerCase{1000, 999, VK_ESCAPE, MSG_CUBE_UNLOCK_DECLINED},
                                           AnswerCase{100, 5000, VK_BACK, MSG_CUBE_UNLOCK_DECLINED}));

TEST_F(CubeUnlockTest, KeysAndClicksWaitForTheOpeningAndTheFirstAnswerStands)
{
    VanteoPopUp_CubeUnlock question;
    ASSERT_EQ(question.Open(), 1);
    question.SetValues(300, 400);
    world.Frame(question, 0.05f, {VK_ESCAPE});  // "unlock_in" still plays
    world.Run(question, kAnim + 0.3f);
    EXPECT_TRUE(question.IsOpen());
    EXPECT_FALSE(question.m_bClosing);
    ASSERT_TRUE(world.ClickOn(L"Anibtn_popup_yes"));
    world.Frame(question, 0.05f);
    ASSERT_TRUE(world.ClickOn(L"Anibtn_popup_no"));  // during "unlock_out": ignored
    EXPECT_EQ(CloseAndCollect(question), (std::vector<int32_t>{MSG_CUBE_UNLOCK_CONFIRMED}));
}

TEST_F(CubeUnlockTest, TheShortfallShowsItsNumbersAndClosesWithoutAMessage)
{
    VanteoPopUp_CubeUnlockFail notice;
    ASSERT_EQ(notice.Open(), 1);
    EXPECT_EQ(notice.Open(), 0);
    notice.SetValues(1000, 250, 750);
    EXPECT_EQ(world.Text(L"Label_unlock_need"), L"1000");
    EXPECT_EQ(world.Text(L"Label_unlock_have"), L"250");
    EXPECT_EQ(world.Text(L"Label_unlock_want"), L"750");
    world.Run(notice, kAnim + 0.3f);
    world.Frame(notice, 0.05f, {VK_RETURN});
    EXPECT_TRUE(CloseAndCollect(notice).empty());
    EXPECT_FALSE(notice.IsOpen());
    // Values given while closed are kept; no label is touched.
    notice.SetValues(1, 2, 3);
    EXPECT_EQ(notice.m_nWant, 3);
}

} // namespace
