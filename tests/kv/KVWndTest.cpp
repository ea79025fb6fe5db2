// The window base: paths, geometry and anchors, visibility, z-order, closing and ids.
#include "kv/KVVisualEffect.h"
#include "kv/KVWndDesc.h"
#include "kv/KVWnd.h"

#include "support/kv/KVTestKit.h"

#include <gtest/gtest.h>

namespace {

using kv::KVWnd;
using testsupport::DrawLog;
using testsupport::EventRecorder;
using testsupport::KVEnvironment;
using testsupport::TestWindow;

// A window made by hand: named, placed, sized and attached.
KVWnd* Make(KVWnd* parent, const wchar_t* name, float x, float y, float w, float h)
{
    auto* window = new TestWindow;
    window->SetName(name);
    parent->AddChild(window);
    window->SetPosition(x, y);
    window->SetSize(w, h);
    return window;
}

// An effect that holds the window in its opening or closing state until told otherwise.
class HoldEffect : public kv::KVVisualEffect {
public:
    KVVisualEffect* Clone() const override { return new HoldEffect; }
    void Start(KVWnd&) override {}
    void Update(KVWnd&, float) override {}
};

class KVWndTest : public ::testing::Test {
protected:
    KVEnvironment env;
    KVWnd* root = env.Root();
};

TEST_F(KVWndTest, PathsSearchSubtreesAndStepThroughParents)
{
    KVWnd* a = Make(root, L"Wnd_a", 0, 0, 100, 100);
    KVWnd* mid = Make(a, L"Wnd_mid", 0, 0, 50, 50);
    KVWnd* b = Make(mid, L"Btn_b", 0, 0, 10, 10);
    KVWnd* x = Make(a, L"Btn_x", 0, 0, 10, 10);
    KVWnd* dots = Make(a, L"..", 0, 0, 10, 10);

    EXPECT_EQ(root->FindWindow(L""), nullptr);
    EXPECT_EQ(root->FindWindow(L"Wnd_a\\Btn_b"), b);
    EXPECT_EQ(b->FindWindow(L"..\\..\\Btn_x"), x);
    EXPECT_EQ(mid->FindWindow(L".\\Btn_b"), b);
    EXPECT_EQ(root->FindWindow(L"Wnd_a\\.."), dots) << "the last segment is always a name";
    EXPECT_EQ(root->FindWindow(L"Wnd_a\\"), a);
    EXPECT_EQ(root->FindWindow(L"wnd_a"), nullptr);
    EXPECT_EQ(root->FindWindow(L"\\Btn_b"), nullptr) << "no path root set";
    env.system->SetPathRoot(mid);
    EXPECT_EQ(x->FindWindow(L"\\Btn_b"), b);
}

TEST_F(KVWndTest, PositionsTruncateAndHitTestsAreStrict)
{
    struct Counting : TestWindow {
        int moves = 0;
        void OnResize(int32_t flags) override
        {
            moves += flags == kPositionChanged;
            KVWnd::OnResize(flags);
        }
    };
    auto* w = new Counting;
    root->AddChild(w);
    w->SetSize(100, 50);
    w->SetPosition(10.7f, -3.2f);
    EXPECT_FLOAT_EQ(w->GetPosition().x, 10);
    EXPECT_FLOAT_EQ(w->GetPosition().y, -3);
    w->SetPosition(10, -3);
    EXPECT_EQ(w->moves, 1);

    w->SetPosition(0, 0);
    struct HitCase {
        float x, y;
        bool hit;
    };
    for (HitCase c : {HitCase{100, 25, false}, HitCase{99, 25, true}, HitCase{50, 50, false}, HitCase{50, 49, true},
                      HitCase{0, 25, false}, HitCase{1, 1, true}})
        EXPECT_EQ(w->HitTest(c.x, c.y, false), c.hit) << c.x << "," << c.y;
    w->SetScale(2, 2);
    EXPECT_TRUE(w->HitTest(199, 99, false));
    w->SetEnabled(false);
    EXPECT_FALSE(w->HitTest(10, 10, false));
    EXPECT_TRUE(w->HitTest(10, 10, true));
}

TEST_F(KVWndTest, AnchorsKeepMarginsWhenTheParentGrows)
{
    KVWnd* parent = Make(root, L"Wnd_parent", 0, 0, 200, 100);
    KVWnd* stretched = Make(parent, L"Stretched", 10, 10, 170, 20);
    KVWnd* pinned = Make(parent, L"Pinned", 10, 40, 170, 20);
    stretched->SetAnchor(kv::kAnchorLeft | kv::kAnchorRight);
    pinned->SetAnchor(kv::kAnchorRight);
    stretched->Create();
    pinned->Create();
    parent->Create();

    parent->SetSizeFromRect({0, 300, 0, 100});
    EXPECT_FLOAT_EQ(stretched->GetPosition().x, 10);
    EXPECT_FLOAT_EQ(stretched->GetWidth(), 270);
    EXPECT_FLOAT_EQ(pinned->GetPosition().x, 110);
    EXPECT_FLOAT_EQ(pinned->GetWidth(), 170);

    // A top-level window has right and bottom margins of 0, so Right pins it to the screen's edge.
    parent->SetAnchor(kv::kAnchorRight);
    EXPECT_FLOAT_EQ(parent->GetAnchorMargins().right, 0);
    root->SetSizeFromRect({0, 1100, 0, 768});
    EXPECT_FLOAT_EQ(parent->GetPosition().x, 800);
}

TEST_F(KVWndTest, ShowAndHideWithoutAnEffectSwitchAtOnce)
{
    KVWnd* w = Make(root, L"Wnd_a", 0, 0, 100, 100);
    EventRecorder events;
    events.AttachAll(w);
    w->SetVisible(false);
    EXPECT_FALSE(w->IsVisible());
    EXPECT_EQ(w->GetEffectState(), KVWnd::kHidden);
    w->SetVisible(true);
    w->SetVisible(true); // already shown: nothing
    EXPECT_EQ(events.entries, (std::vector<std::wstring>{L"Wnd_a:Deactivated", L"Wnd_a:Activated"}));
    EXPECT_EQ(env.system->GetActiveWindow(), w);
}

TEST_F(KVWndTest, HidingWhileAnEffectRunsIsNotDrawnButStillHit)
{
    KVWnd* w = Make(root, L"Wnd_a", 0, 0, 100, 100);
    w->SetVisualEffect(new HoldEffect);
    w->SetVisible(false);
    EXPECT_TRUE(w->IsHiding());
    EXPECT_EQ(w->GetEffectState(), KVWnd::kClosing);
    root->Draw();
    EXPECT_TRUE(DrawLog().empty());
    EXPECT_EQ(env.system->HitTest(50, 50, false), w);

    w->SetVisible(true);
    EXPECT_FALSE(w->IsHiding());
    EXPECT_TRUE(w->IsShownRecursive());

    // Once the effect reports hidden, the next Update makes the window invisible.
    w->SetVisible(false);
    w->SetEffectState(KVWnd::kHidden);
    env.system->Update(0.016f);
    EXPECT_FALSE(w->IsVisible());
}

TEST_F(KVWndTest, CloseFiresAndTheParentDeletesTheWindowAtItsNextUpdate)
{
    KVWnd* w = Make(root, L"Wnd_a", 0, 0, 100, 100);
    w->SetVisualEffect(kv::CreateVisualEffect(kv::KVVisualEffect::kDefault));
    EventRecorder events;
    events.Attach(w, kv::EventClose);
    w->Close();
    EXPECT_EQ(events.entries, std::vector<std::wstring>{L"Wnd_a:Close"});
    EXPECT_TRUE(w->IsVisible()) << "Close does not change the visible flag";
    EXPECT_EQ(root->GetChildCount(), 1);
    env.system->Update(0.016f);
    EXPECT_EQ(root->GetChildCount(), 0);
}

TEST_F(KVWndTest, ZOrderDecidesDrawingAndHittingAndBringToFrontStaysWithinIt)
{
    KVWnd* front = Make(root, L"Front", 0, 0, 100, 100);
    KVWnd* back = Make(root, L"Back", 0, 0, 100, 100);
    front->SetZOrder(-4);
    back->SetZOrder(0);
    root->Draw();
    EXPECT_EQ(DrawLog(), (std::vector<std::wstring>{L"Back", L"Front"}));
    EXPECT_EQ(env.system->HitTest(50, 50, false), front);

    root->BringToFront(back);
    DrawLog().clear();
    root->Draw();
    EXPECT_EQ(DrawLog(), (std::vector<std::wstring>{L"Back", L"Front"}));
    EXPECT_EQ(env.system->HitTest(50, 50, false), front);
}

TEST_F(KVWndTest, ADrawHandlerThatHandlesReplacesTheWindowsOwnDrawing)
{
    KVWnd* w = Make(root, L"Board", 0, 0, 100, 100);
    Make(w, L"Overlay", 0, 0, 10, 10);
    struct Hook {
        void Draw(kv::EventArgs& args) { args.handled = true; }
    } hook;
    w->AddHandler(kv::EventDraw, kv::MakeHandler(&hook, &Hook::Draw));
    root->Draw();
    EXPECT_EQ(DrawLog(), std::vector<std::wstring>{L"Overlay"});
}

TEST_F(KVWndTest, ReleaseWithoutAPressFiresNothing)
{
    KVWnd* w = Make(root, L"Btn", 0, 0, 100, 100);
    EventRecorder events;
    events.Attach(w, kv::EventLButtonUp);
    kv::MouseEventArgs args;
    w->LButtonUp(args);
    EXPECT_TRUE(events.entries.empty());
    w->LButtonDown(args);
    w->LButtonUp(args);
    EXPECT_EQ(events.entries.size(), 1u);
}

// "LButtonUp" fires while the window is still pressed; it is released after the handlers.
TEST_F(KVWndTest, ReleaseHandlersSeeTheWindowStillPressed)
{
    KVWnd* w = Make(root, L"Btn", 0, 0, 100, 100);
    w->SetVisible(true);
    struct Probe {
        void Record(kv::EventArgs&) { pressedDuringRelease.push_back(window->IsPressed()); }
        KVWnd* window;
        std::vector<bool> pressedDuringRelease;
    } probe{w, {}};
    w->AddHandler(kv::EventLButtonUp, kv::MakeHandler(&probe, &Probe::Record));
    ASSERT_TRUE(env.Click(50, 50));
    EXPECT_EQ(probe.pressedDuringRelease, std::vector<bool>{true});
    EXPECT_FALSE(w->IsPressed());
}

TEST_F(KVWndTest, AlphaClampsAndMultipliesThroughModifiersAndParents)
{
    KVWnd* parent = Make(root, L"P", 0, 0, 10, 10);
    KVWnd* child = Make(parent, L"C", 0, 0, 10, 10);
    parent->SetAlpha(0.5f);
    child->SetAlpha(2.0f);
    EXPECT_FLOAT_EQ(child->GetAlpha(), 1);
    kv::KVWindowModifier modifier;
    modifier.SetFactor(0.5f);
    child->AddWindowModifier(&modifier);
    child->AddWindowModifier(&modifier);
    EXPECT_FLOAT_EQ(child->GetEffectiveAlpha(), 0.25f);
    child->SetInheritAlpha(false);
    EXPECT_FLOAT_EQ(child->GetEffectiveAlpha(), 0.5f);
    child->RemoveWindowModifier(&modifier);
}

TEST_F(KVWndTest, UniqueIdsJoinTheNameAndAProgramWideSerial)
{
    kv::WndBaseStruct* first = new kv::WndBaseStruct;
    first->name = L"Btn_ok";
    kv::WndBaseStruct* second = new kv::WndBaseStruct;
    second->name = L"Btn_ok";
    TestWindow a, b;
    a.ApplyBase(first, nullptr);
    b.ApplyBase(second, nullptr);
    const std::wstring& idA = a.GetUniqueId();
    ASSERT_EQ(idA.rfind(L"Btn_ok.", 0), 0u);
    int serial = std::stoi(idA.substr(7));
    EXPECT_EQ(b.GetUniqueId(), L"Btn_ok." + std::to_wstring(serial + 1));
}

} // namespace
