// The pop-up protocol through the three message boxes: opening, the animation guard, keys and
// buttons, the message one frame after the closing animation, the parameter, Close, reopening,
// and the layouts that lack a director or a window.
#include "PopUpKit.h"

#include "menus/PopUp.h"

#include <win32/VirtualKeys.h>

#include <memory>

using namespace popuptest;

namespace {

constexpr float kIn = 0.2f;  // "warning_2btn_in"
constexpr float kOut = 0.2f; // "warning_2btn_out"

enum class Kind { Ok, YesNo, YesNo2Line };

std::unique_ptr<VanteoPopUp> Make(Kind kind)
{
    switch (kind) {
    case Kind::Ok:
        return std::make_unique<VanteoPopUp_OK>();
    case Kind::YesNo:
        return std::make_unique<VanteoPopUp_OKCancel>();
    default:
        return std::make_unique<VanteoPopUp_OKCancel_2Line>();
    }
}

void SetBoxParam(VanteoPopUp& box, int32_t value)
{
    if (auto* ok = dynamic_cast<VanteoPopUp_OK*>(&box))
        ok->m_nParam = value;
    else
        dynamic_cast<VanteoPopUp_OKCancel&>(box).m_nParam = value;
}

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string labels = Child({"LABEL", "Label_title", 100, 100, 300, 30}) +
                                   Child({"LABEL", "Label_message", 100, 140, 300, 30});
        const std::string ok = Child({"BUTTON", "Anibtn_popup_ok", 200, 300, 100, 40});
        const std::string yesNo = Child({"BUTTON", "Anibtn_popup_yes", 100, 300, 100, 40}) +
                                  Child({"BUTTON", "Anibtn_popup_no", 300, 300, 100, 40});
        world.AddFile("data/warning_1btn.xml", Layout("Wnd_ok", labels + ok, "box1.xml"));
        world.AddFile("data/warning_2btn.xml", Layout("Wnd_yesno", labels + yesNo, "box2.xml"));
        world.AddFile("data/warning_2line_2btn.xml", Layout("Wnd_yesno2", labels + yesNo, "box3.xml"));
        world.AddFile("data/box1.xml", Animation("Wnd_ok", {{"warning_2btn_in", 200}, {"warning_2btn_out", 200}}));
        world.AddFile("data/box2.xml", Animation("Wnd_yesno", {{"warning_2btn_in", 200}, {"warning_2btn_out", 200}}));
        world.AddFile("data/box3.xml", Animation("Wnd_yesno2", {{"warning_2btn_in", 200}, {"warning_2btn_out", 200}}));
    }
    PopUpWorld world;
};

struct KeyCase {
    Kind kind;
    int key;
    int32_t message;
};

class MessageBoxKeys : public MessageBoxTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(MessageBoxKeys, AKeyActsOnlyAfterTheOpeningAndTheMessageFollowsTheClosing)
{
    const KeyCase c = GetParam();
    auto box = Make(c.kind);
    ASSERT_EQ(box->Open(), 1);
    SetBoxParam(*box, 77);
    box->SetTitle(L"EXIT GAME");
    EXPECT_EQ(world.Text(L"Label_title"), L"EXIT GAME");

    world.Frame(*box, 0.05f, {c.key}); // during the opening: ignored
    world.Run(*box, kIn + 0.2f);
    EXPECT_FALSE(box->m_bClosing);
    world.Frame(*box, 0.05f, {c.key});
    EXPECT_TRUE(box->m_bClosing);
    EXPECT_TRUE(box->IsOpen());

    for (int frame = 0; frame < 20 && box->IsOpen(); ++frame) {
        EXPECT_TRUE(world.messages.posted.empty()) << "posted while still open";
        world.Frame(*box, 0.05f);
    }
    EXPECT_FALSE(box->IsOpen());
    EXPECT_EQ(world.Find(L"Label_title"), nullptr) << "the window is destroyed";
    ASSERT_EQ(world.messages.Ids(), (std::vector<int32_t>{c.message}));
    PayloadReader payload = world.messages.posted[0].Reader();
    EXPECT_EQ(payload.I32(), 77);
    EXPECT_EQ(payload.Remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Boxes, MessageBoxKeys,
                         ::testing::Values(KeyCase{Kind::Ok, VK_RETURN, MSG_POPUP_OK},
                                           KeyCase{Kind::Ok, VK_BACK, MSG_POPUP_OK},
                                           KeyCase{Kind::Ok, VK_ESCAPE, MSG_POPUP_OK},
                                           KeyCase{Kind::YesNo, VK_RETURN, MSG_POPUP_YES},
                                           KeyCase{Kind::YesNo, VK_BACK, MSG_POPUP_NO},
                                           KeyCase{Kind::YesNo, VK_ESCAPE, MSG_POPUP_NO},
                                           KeyCase{Kind::YesNo2Line, VK_RETURN, MSG_POPUP_YES},
                                           KeyCase{Kind::YesNo2Line, VK_ESCAPE, MSG_POPUP_NO}));

struct ClickCase {
    Kind kind;
    const wchar_t* first;
    const wchar_t* second; // clicked while the closing animation runs
    int32_t message;
};

class MessageBoxClicks : public MessageBoxTest, public ::testing::WithParamInterface<ClickCase> {};

// A second click during the closing animation neither posts again nor changes the answer.
TEST_P(MessageBoxClicks, TheClickThatStartsTheClosingDecides)
{
    const ClickCase c = GetParam();
    auto box = Make(c.kind);
    ASSERT_EQ(box->Open(), 1);
    EXPECT_TRUE(world.ClickOn(c.first)); // during the opening: ignored
    world.Run(*box, kIn + 0.2f);
    EXPECT_FALSE(box->m_bClosing);
    world.ClickOn(c.first);
    world.Frame(*box, 0.05f);
    world.ClickOn(c.second);
    world.Run(*box, kOut + 0.25f);
    EXPECT_FALSE(box->IsOpen());
    EXPECT_EQ(world.messages.Ids(), (std::vector<int32_t>{c.message}));
}

INSTANTIATE_TEST_SUITE_P(Boxes, MessageBoxClicks,
                         ::testing::Values(ClickCase{Kind::Ok, L"Anibtn_popup_ok", L"Anibtn_popup_ok", MSG_POPUP_OK},
                                           ClickCase{Kind::YesNo, L"Anibtn_popup_no", L"Anibtn_popup_yes", MSG_POPUP_NO},
                                           ClickCase{Kind::YesNo2Line, L"Anibtn_popup_yes", L"Anibtn_popup_no",
                                                     MSG_POPUP_YES}));

TEST_F(MessageBoxTest, OpenTwiceKeepsTheFirstWindowAndCloseLeavesWithoutAMessage)
{
    VanteoPopUp_OKCancel box;
    ASSERT_EQ(box.Open(), 1);
    kv::KVWnd* first = box.m_pWindow;
    EXPECT_EQ(first->GetParent(), world.system->GetRootLayer());
    EXPECT_TRUE(first->IsVisible());
    EXPECT_EQ(box.Open(), 0);
    EXPECT_EQ(box.m_pWindow, first);
    box.SetMessage(L"Reset self-play data?");
    EXPECT_EQ(world.Text(L"Label_message"), L"Reset self-play data?");

    box.Close();
    EXPECT_FALSE(box.IsOpen());
    EXPECT_EQ(world.Find(L"Wnd_yesno"), nullptr);
    world.Run(box, 0.5f);
    EXPECT_TRUE(world.messages.posted.empty());

    ASSERT_EQ(box.Open(), 1);
    EXPECT_EQ(world.Text(L"Label_message"), L"") << "a fresh window has empty labels";
    box.SetTitle(nullptr);
    VanteoPopUp_OK closed;
    closed.SetTitle(L"nothing to fill");
    closed.Update(0.1f);
    EXPECT_FALSE(closed.IsOpen());
}

// Layouts whose UI animation is missing, or lacks the closing scene, close at once: nothing runs.
TEST_F(MessageBoxTest, WithoutADirectorOrAClosingSceneTheBoxClosesAtOnce)
{
    const std::string ok = Child({"BUTTON", "Anibtn_popup_ok", 200, 300, 100, 40});
    for (const std::string& animation : {std::string(), std::string("in_only.xml")}) {
        SCOPED_TRACE(animation);
        world.messages.Clear();
        world.AddFile("data/warning_1btn.xml", Layout("Wnd_ok", ok, animation));
        world.AddFile("data/in_only.xml", Animation("Wnd_ok", {{"warning_2btn_in", 200}}));
        VanteoPopUp_OK box;
        ASSERT_EQ(box.Open(), 1);
        world.Run(box, kIn + 0.2f);
        world.ClickOn(L"Anibtn_popup_ok");
        world.Frame(box, 0.05f);
        EXPECT_FALSE(box.IsOpen());
        EXPECT_EQ(world.messages.Ids(), (std::vector<int32_t>{MSG_POPUP_OK}));
    }
}

TEST_F(MessageBoxTest, AMissingOrBrokenLayoutLeavesTheBoxClosed)
{
    world.AddFile("data/warning_2btn.xml", "<kevrin version=\"2\"><base type=\"WND\"");
    VanteoPopUp_OKCancel broken;
    EXPECT_EQ(broken.Open(), 0);
    EXPECT_FALSE(broken.IsOpen());
    broken.SetTitle(L"ignored");
    world.Frame(broken, 0.1f, {VK_RETURN});
    EXPECT_TRUE(world.messages.posted.empty());

    class Missing : public VanteoPopUp {
    public:
        int Open() override { return OpenLayout("data/no_such_layout.xml", L"in"); }
    } missing;
    EXPECT_EQ(missing.Open(), 0);
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(world.system->GetRootLayer()->GetChildCount(), 0);
}

} // namespace
