// The window system: layouts built into windows, and input sent as window messages.
#include "kv/KVFactories.h"
#include "kv/KVSystem.h"
#include "kv/KVWinMessages.h"
#include "kv/KVWindowFactory.h"
#include "kv/KVWnd.h"

#include "support/kv/KVTestKit.h"

#include <gtest/gtest.h>

namespace {

using kv::KVWnd;
using testsupport::EventRecorder;
using testsupport::KVEnvironment;

const std::string kDialog = std::string(QUIBLY_FIXTURES_DIR) + "/kv/dialog.xml";

class KVSystemTest : public ::testing::Test {
protected:
    KVWnd* Show(const std::string& file)
    {
        KVWnd* window = env.Load(file);
        if (window)
            window->SetVisible(true);
        return window;
    }
    KVWnd* Find(const wchar_t* path) { return env.Root()->FindWindow(path); }

    KVEnvironment env;
};

TEST_F(KVSystemTest, LayoutBuildsTheFirstTopWindowHiddenWithItsSubtree)
{
    KVWnd* dialog = env.Load(kDialog);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(env.Root()->GetChildCount(), 1);
    EXPECT_EQ(dialog->GetName(), L"Wnd_dialog");
    EXPECT_FALSE(dialog->IsVisible());
    EXPECT_EQ(dialog->GetEffectState(), KVWnd::kHidden);
    EXPECT_NE(dialog->GetVisualEffect(), nullptr);
    EXPECT_EQ(dialog->GetChildCount(), 3) << "the custom and the unknown windows are skipped";
    EXPECT_NE(Find(L"Wnd_dialog\\Btn_inner"), nullptr);
    EXPECT_EQ(Find(L"Btn_in_custom"), nullptr);
    EXPECT_EQ(Find(L"Btn_in_unknown"), nullptr);
    EXPECT_EQ(Find(L"Wnd_second"), nullptr);
    EXPECT_EQ(dialog->GetExpandValue(L"mode"), L"퍼즐");
    EXPECT_EQ(dialog->GetExpandValue(L"level"), L"7");
    EXPECT_EQ(Find(L"Btn_ok")->GetTypeName(), L"Button");
    EXPECT_TRUE(dialog->IsTopLevel());
    EXPECT_FALSE(Find(L"Btn_ok")->IsTopLevel());
}

TEST_F(KVSystemTest, LayoutsThatCannotBeBuiltGiveNoWindowAndLeaveTheTreeAlone)
{
    EXPECT_EQ(env.LoadText("<kevrin version=\"2\"><base type=\"WND\""), nullptr);
    EXPECT_EQ(env.Load("no_such_layout.xml"), nullptr);
    EXPECT_EQ(env.LoadText("<Canvas><Window Name=\"W\" Location=\"1, 2\" Size=\"3, 4\"/><Nothing/></Canvas>"),
              nullptr);
    // A first top-level window that no factory builds: nothing, and no description is left over.
    EXPECT_EQ(env.LoadText("<kevrin version=\"2\"><base type=\"CUSTOM\" name=\"c\"><custom type=\"x\"/>"
                           "<child type=\"BUTTON\" name=\"b\"><pos/></child></base></kevrin>"),
              nullptr);
    EXPECT_EQ(env.Root()->GetChildCount(), 0);
}

struct HitCase {
    int x, y;
    const wchar_t* expected; // null: nothing but the root layer
};

class KVHitTest : public KVSystemTest, public ::testing::WithParamInterface<HitCase> {};

TEST_P(KVHitTest, FindsTheTopMostWindowUnderThePoint)
{
    ASSERT_NE(Show(kDialog), nullptr);
    KVWnd* hit = env.system->HitTest(static_cast<float>(GetParam().x), static_cast<float>(GetParam().y), false);
    std::wstring name = hit ? hit->GetName() : L"(none)";
    EXPECT_EQ(name, GetParam().expected ? GetParam().expected : L"(none)");
}

INSTANTIATE_TEST_SUITE_P(Points, KVHitTest,
                         ::testing::Values(HitCase{150, 150, L"Btn_ok"}, HitCase{121, 141, L"Btn_ok"},
                                           HitCase{120, 140, L"Wnd_dialog"}, HitCase{150, 110, L"Wnd_dialog"},
                                           HitCase{320, 220, L"Btn_inner"}, HitCase{400, 300, L"Wnd_panel"},
                                           HitCase{50, 50, nullptr}));

TEST_F(KVSystemTest, DisabledHiddenAndTransparentWindowsPassClicksToTheWindowBelow)
{
    ASSERT_NE(Show(kDialog), nullptr);
    EventRecorder events;
    events.Attach(Find(L"Wnd_dialog"), kv::EventLButtonDown);
    Find(L"Btn_ok")->SetEnabled(false);
    Find(L"Wnd_panel")->SetVisible(false);
    EXPECT_TRUE(env.Click(150, 150));
    EXPECT_TRUE(env.Click(320, 220));
    EXPECT_TRUE(env.Click(150, 110)); // on the title label
    EXPECT_EQ(events.entries.size(), 3u);
    EXPECT_FALSE(env.Click(50, 50));
}

TEST_F(KVSystemTest, ClickActivatesTheTopWindowAndFocusesTheChild)
{
    KVWnd* dialog = Show(kDialog);
    KVWnd* other = Show(std::string(QUIBLY_FIXTURES_DIR) + "/kv/side.xml");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(env.system->GetActiveWindow(), other);
    EventRecorder events;
    for (KVWnd* w : {dialog, other, Find(L"Btn_ok"), Find(L"Btn_inner")})
        events.AttachAll(w);

    env.Click(150, 150);
    EXPECT_EQ(events.entries,
              (std::vector<std::wstring>{L"Wnd_side:Deactivated", L"Wnd_dialog:Activated", L"Btn_ok:SetFocus",
                                         L"Btn_ok:LButtonDown", L"Btn_ok:LButtonUp"}));
    EXPECT_EQ(env.Root()->GetChild(env.Root()->GetChildCount() - 1), dialog) << "activation raises the window";

    events.entries.clear();
    env.Send(WM_LBUTTONDOWN, 1, MAKELPARAM(320, 220));
    EXPECT_EQ(events.entries, (std::vector<std::wstring>{L"Btn_ok:KillFocus", L"Btn_inner:SetFocus",
                                                         L"Btn_inner:LButtonDown"}));
    EXPECT_EQ(env.system->GetFocusWindow(), Find(L"Btn_inner"));
}

TEST_F(KVSystemTest, ClickingAPartFocusesTheWidgetThatOwnsIt)
{
    ASSERT_NE(Show(kDialog), nullptr);
    Find(L"Btn_inner")->SetPart(true);
    env.Click(320, 220);
    EXPECT_EQ(env.system->GetFocusWindow(), Find(L"Wnd_panel"));
}

TEST_F(KVSystemTest, HoverEntersAndLeavesAndStaysOverBareRoot)
{
    ASSERT_NE(Show(kDialog), nullptr);
    EventRecorder events;
    events.Attach(Find(L"Btn_ok"), kv::EventMouseEnter);
    events.Attach(Find(L"Btn_ok"), kv::EventMouseLeave);
    events.Attach(Find(L"Btn_ok"), kv::EventMouseMove);
    EXPECT_TRUE(env.Move(150, 150));
    EXPECT_FALSE(env.Move(50, 50));
    EXPECT_EQ(env.system->GetHoverWindow(), Find(L"Btn_ok"));
    EXPECT_FALSE(env.Send(WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(-1), 0)));
    EXPECT_FALSE(env.system->OnMouseMove(1024.5f, 0));
    EXPECT_EQ(events.entries, (std::vector<std::wstring>{L"Btn_ok:MouseEnter", L"Btn_ok:MouseMove"}));
    env.Move(150, 120);
    EXPECT_EQ(events.entries.back(), L"Btn_ok:MouseLeave");
    // Entering a control raises it among its siblings.
    KVWnd* dialog = Find(L"Wnd_dialog");
    env.Move(150, 150);
    EXPECT_EQ(dialog->GetChild(dialog->GetChildCount() - 1), Find(L"Btn_ok"));
}

TEST_F(KVSystemTest, ADraggedWindowTakesAllMouseInputUntilReleased)
{
    KVWnd* side = Show(std::string(QUIBLY_FIXTURES_DIR) + "/kv/side.xml");
    ASSERT_NE(Show(kDialog), nullptr);
    EventRecorder events;
    events.Attach(Find(L"Btn_ok"), kv::EventMouseEnter);
    events.Attach(Find(L"Btn_ok"), kv::EventLButtonUp);
    env.Send(WM_LBUTTONDOWN, 1, MAKELPARAM(610, 110));
    EXPECT_EQ(env.system->GetCapturedWindow(), side);
    env.Move(160, 150); // over Btn_ok, which lies on top
    EXPECT_TRUE(events.entries.empty());
    EXPECT_FLOAT_EQ(side->GetPosition().x, 150);
    EXPECT_FLOAT_EQ(side->GetPosition().y, 140);
    env.Send(WM_LBUTTONUP, 0, MAKELPARAM(160, 150));
    EXPECT_EQ(env.system->GetCapturedWindow(), nullptr);
    EXPECT_TRUE(events.entries.empty());
}

TEST_F(KVSystemTest, KeysBubbleFromTheFocusWindowUntilHandled)
{
    ASSERT_NE(Show(kDialog), nullptr);
    EXPECT_FALSE(env.KeyDown('A')) << "no focus window";
    env.Click(320, 220);
    EventRecorder events;
    for (const wchar_t* name : {L"Btn_inner", L"Wnd_panel", L"Wnd_dialog"})
        events.Attach(Find(name), kv::EventKeyDown);
    EXPECT_TRUE(env.KeyDown('A'));
    EXPECT_EQ(events.entries, (std::vector<std::wstring>{L"Btn_inner:KeyDown", L"Wnd_panel:KeyDown",
                                                         L"Wnd_dialog:KeyDown"}));
    struct Stopper {
        void Stop(kv::EventArgs& args) { args.handled = true; }
    } stopper;
    Find(L"Wnd_panel")->AddHandler(kv::EventKeyDown, kv::MakeHandler(&stopper, &Stopper::Stop));
    events.entries.clear();
    env.KeyDown('A');
    EXPECT_EQ(events.entries, (std::vector<std::wstring>{L"Btn_inner:KeyDown", L"Wnd_panel:KeyDown"}));
}

TEST_F(KVSystemTest, EscapeBubblesToTheDialogWhichClosesAndGoesAtTheNextUpdate)
{
    ASSERT_NE(Show(kDialog), nullptr);
    env.Click(150, 150);
    EventRecorder events;
    events.Attach(Find(L"Wnd_dialog"), kv::EventClose);
    env.KeyDown(VK_ESCAPE);
    EXPECT_EQ(events.entries, std::vector<std::wstring>{L"Wnd_dialog:Close"});
    env.system->Update(0.016f);
    EXPECT_EQ(env.Root()->GetChildCount(), 0);
    EXPECT_EQ(env.system->GetFocusWindow(), nullptr);
    EXPECT_EQ(env.system->GetActiveWindow(), nullptr);
}

TEST_F(KVSystemTest, WheelGoesToTheWindowUnderThePointerWithItsSignedDelta)
{
    ASSERT_NE(Show(kDialog), nullptr);
    env.Click(150, 150);
    struct Wheel {
        float delta = 0;
        std::wstring who;
        void On(kv::EventArgs& args)
        {
            auto& mouse = static_cast<kv::MouseEventArgs&>(args);
            delta = mouse.wheel;
            who = mouse.sender->GetName();
        }
    } wheel;
    Find(L"Btn_inner")->AddHandler(kv::EventMouseWheel, kv::MakeHandler(&wheel, &Wheel::On));
    EXPECT_TRUE(env.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), MAKELPARAM(320, 220)));
    EXPECT_FLOAT_EQ(wheel.delta, -240);
    EXPECT_EQ(wheel.who, L"Btn_inner");
}

TEST_F(KVSystemTest, CharactersReachTheFocusWindowWithoutControlCodes)
{
    ASSERT_NE(Show(kDialog), nullptr);
    int32_t caret[2] = {0, 0};
    env.system->OnChar(L"lost", false, caret); // no focus: dropped
    env.Click(150, 150);
    EventRecorder events;
    events.Attach(Find(L"Btn_ok"), kv::EventChar);
    env.system->OnChar(L"a\tb\t\x01" L"c\x7f한", false, caret);
    EXPECT_EQ(events.lastText, L"abc한");
    EXPECT_EQ(events.entries.size(), 1u);
}

TEST_F(KVSystemTest, UpdateTakesTheFocusFromAWindowThatIsNoLongerShown)
{
    ASSERT_NE(Show(kDialog), nullptr);
    env.Click(320, 220);
    EventRecorder events;
    events.Attach(Find(L"Btn_inner"), kv::EventKillFocus);
    Find(L"Wnd_panel")->SetVisible(false);
    env.system->Update(0.016f);
    EXPECT_EQ(events.entries, std::vector<std::wstring>{L"Btn_inner:KillFocus"});
    EXPECT_EQ(env.system->GetFocusWindow(), nullptr);
}

TEST_F(KVSystemTest, DetachWindowClearsEveryPointerAndDeletesTheWindow)
{
    ASSERT_NE(Show(kDialog), nullptr);
    env.Click(320, 220);
    env.system->SetPathRoot(Find(L"Wnd_panel"));
    EXPECT_FALSE(env.system->DetachWindow(nullptr));
    EXPECT_TRUE(env.system->DetachWindow(Find(L"Wnd_panel")));
    EXPECT_EQ(env.system->GetFocusWindow(), nullptr);
    EXPECT_EQ(env.system->GetPathRoot(), nullptr);
    EXPECT_EQ(Find(L"Btn_inner"), nullptr);
    EXPECT_TRUE(env.system->DetachWindow(new testsupport::TestWindow)) << "a window outside the tree";
}

TEST_F(KVSystemTest, DetachWindowRefusesTheRootLayer)
{
    ASSERT_NE(Show(kDialog), nullptr);
    KVWnd* root = env.Root();
    EXPECT_FALSE(env.system->DetachWindow(root));
    EXPECT_EQ(env.Root(), root);
    EXPECT_NE(Find(L"Wnd_panel"), nullptr) << "the tree stays whole";
    EXPECT_TRUE(env.Click(320, 220)) << "and still takes input";
}

// Factories and the registry.

TEST_F(KVSystemTest, TypeIdsNameTheirFactories)
{
    const wchar_t* expected[] = {L"Window",    L"Window", L"Label",       L"Button",    L"LabelButton",
                                 L"AnimButton", L"CheckBox", L"Picture", L"ProgressBar", L"ScrollBar",
                                 L"Slider",    L"Edit",   L"ListBox",     L"ListBox",   L"StackPanel",
                                 L"TextArea",  L"TextArea", L"ComboBox"};
    for (int32_t id = 0; id < 18; ++id)
        EXPECT_EQ(kv::KVTypeIdToName(id), expected[id]) << id;
    EXPECT_EQ(kv::KVTypeIdToName(18), L"<unknown>");
    EXPECT_EQ(kv::KVTypeIdToName(-1), L"<unknown>");
}

// Each built-in factory class has one instance, registered under the type name that the windows
// it makes report.
TEST(KVFactoryTest, BuiltInFactoriesAreNamedClassesWithOneInstanceEach)
{
    struct Case {
        kv::KVWindowFactory& factory;
        const wchar_t* typeName;
    };
    const Case cases[] = {{kv::KVAnimButtonFactory::Instance(), L"AnimButton"},
                          {kv::KVButtonFactory::Instance(), L"Button"},
                          {kv::KVCheckFactory::Instance(), L"CheckBox"},
                          {kv::KVComboBoxFactory::Instance(), L"ComboBox"},
                          {kv::KVEditFactory::Instance(), L"Edit"},
                          {kv::KVWndExFactory::Instance(), L"Window"},
                          {kv::KVLabelFactory::Instance(), L"Label"},
                          {kv::KVLabelButtonFactory::Instance(), L"LabelButton"},
                          {kv::KVListSCFactory::Instance(), L"ListBox"},
                          {kv::KVPictureFactory::Instance(), L"Picture"},
                          {kv::KVProgressFactory::Instance(), L"ProgressBar"},
                          {kv::KVScrollBarFactory::Instance(), L"ScrollBar"},
                          {kv::KVSliderFactory::Instance(), L"Slider"},
                          {kv::KVStackPanelFactory::Instance(), L"StackPanel"},
                          {kv::KVTextAreaSCFactory::Instance(), L"TextArea"}};
    kv::KVSystem system;
    for (const Case& c : cases) {
        EXPECT_EQ(c.factory.GetTypeName(), c.typeName);
        EXPECT_EQ(system.GetRegistry().Find(c.typeName), &c.factory) << c.typeName;
        KVWnd* made = c.factory.CreateWindow();
        ASSERT_NE(made, nullptr) << c.typeName;
        EXPECT_EQ(made->GetTypeName(), c.typeName);
        c.factory.DestroyWindow(made);
    }
}

TEST_F(KVSystemTest, FirstRegistrationWinsAndReplacingAFactoryAffectsLaterWindowsOnly)
{
    struct OtherButton : testsupport::TestButton {};
    static kv::KVWindowFactoryT<OtherButton> other(L"Button");
    kv::KVFactoryRegistry& registry = env.system->GetRegistry();
    KVWnd* before = env.Load(kDialog);
    registry.Register(&other);
    EXPECT_NE(registry.Find(L"Button"), &other);
    registry.Unregister(L"Button");
    registry.Register(&other);
    EXPECT_EQ(registry.Find(L"Button"), &other);

    env.system->DetachWindow(before);
    KVWnd* after = env.Load(kDialog);
    EXPECT_NE(dynamic_cast<OtherButton*>(after->FindChild(L"Btn_ok")), nullptr);
    KVWnd* made = other.CreateWindow();
    kv::KVWindowFactoryT<testsupport::TestLabel>(L"Label").DestroyWindow(made);
}

} // namespace
