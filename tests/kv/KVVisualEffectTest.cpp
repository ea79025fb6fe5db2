// Show/hide effects and the text conversions.
#include "kv/KVDirector.h"
#include "kv/KVString.h"
#include "kv/KVVisualEffect.h"
#include "kv/KVWnd.h"

#include "support/kv/KVTestKit.h"

#include <gtest/gtest.h>

namespace {

using kv::KVWnd;

class KVVisualEffectTest : public ::testing::Test {
protected:
    KVVisualEffectTest()
    {
        window = new testsupport::TestWindow;
        window->SetName(L"Wnd_fade");
        env.Root()->AddChild(window);
        window->SetVisible(false);
    }
    void Tick(float dt)
    {
        kv::UpdateEventArgs args;
        args.dt = dt;
        window->Update(args);
    }
    testsupport::KVEnvironment env;
    KVWnd* window;
};

TEST_F(KVVisualEffectTest, DefaultEffectSwitchesWithinTheCall)
{
    window->SetVisualEffect(kv::CreateVisualEffect(kv::KVVisualEffect::kDefault));
    window->SetVisible(true);
    EXPECT_EQ(window->GetEffectState(), KVWnd::kShown);
    window->SetVisible(false);
    EXPECT_EQ(window->GetEffectState(), KVWnd::kHidden);
    EXPECT_FALSE(window->IsVisible());
    EXPECT_EQ(kv::CreateVisualEffect(3), nullptr);
}

TEST_F(KVVisualEffectTest, FadeInTakesFourTenthsOfASecondAndFadeOutStartsFromOpaque)
{
    window->SetVisualEffect(kv::CreateVisualEffect(kv::KVVisualEffect::kFade));
    window->SetVisible(true);
    std::vector<float> alphas;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(window->GetEffectState(), KVWnd::kOpening) << i;
        Tick(0.1f);
        alphas.push_back(window->GetAlpha());
    }
    EXPECT_EQ(window->GetEffectState(), KVWnd::kShown);
    EXPECT_NEAR(alphas[0], 0.25f, 1e-5);
    EXPECT_NEAR(alphas[2], 0.75f, 1e-5);
    EXPECT_FLOAT_EQ(alphas[3], 1);

    window->SetVisible(false);
    window->SetVisible(true);
    Tick(0.1f); // a quarter of the way in
    window->SetVisible(false);
    Tick(0.0f);
    EXPECT_FLOAT_EQ(window->GetAlpha(), 1) << "a fade-out always starts from alpha 1";
    Tick(1.0f);
    EXPECT_EQ(window->GetEffectState(), KVWnd::kHidden);
    EXPECT_FALSE(window->IsVisible());
}

TEST_F(KVVisualEffectTest, AnAnimationEffectWaitsForALoopingOpeningSceneToStop)
{
    const char* frame = "<frame cnt=\"0\"><posx val=\"0\"/><posy val=\"0\"/><scalex val=\"1\"/><scaley val=\"1\"/>"
                        "<centerx val=\"0\"/><centery val=\"0\"/><rotate val=\"0\"/><alpha val=\"1\"/></frame>";
    auto scene = [&](const char* name, const char* loop) {
        return std::string("<scene name=\"") + name + "\"><asset type=\"UI\" name=\"UIWND_Wnd_fade\"><rect l=\"0\" t=\"0\" r=\"0\" b=\"0\"/></asset>"
               "<param type=\"LOOP\" cnt=\"" + loop + "\" pendulum=\"0\"/><object name=\"Wnd_fade\" ani=\"a\"><asset link=\"UIWND_Wnd_fade\" type=\"UI\"/></object>"
               "<anim name=\"a\">" + frame + "</anim></scene>";
    };
    env.iface.AddFile(L"fade.xml", "<kvanimation version=\"1.2\">" + scene("_Opening_", "-1") +
                                       scene("_Closing_", "0") + "</kvanimation>");
    window->LoadUIAnimation(L"fade.xml");
    ASSERT_NE(dynamic_cast<kv::KVVisualEffectAnim*>(window->GetVisualEffect()), nullptr);
    window->SetVisible(true);
    window->SetEffectState(KVWnd::kOpening);
    for (int i = 0; i < 5; ++i)
        Tick(0.1f);
    EXPECT_EQ(window->GetEffectState(), KVWnd::kOpening);
    window->StopUIScene();
    Tick(0.1f);
    EXPECT_EQ(window->GetEffectState(), KVWnd::kShown);
}

TEST(KVStringTest, ConversionsKeepHangulAndRoundTrip)
{
    const char* utf8 = "\xED\x95\x9C\xEA\xB8\x80 ok";
    EXPECT_EQ(kv::Utf8ToWide(utf8), L"한글 ok");
    EXPECT_EQ(kv::NarrowToWide(utf8), L"한글 ok");
    EXPECT_EQ(kv::WideToNarrow(L"한글 ok"), utf8);
    EXPECT_EQ(kv::Utf8ToWide(""), L"");
    EXPECT_EQ(kv::Utf8ToWide(nullptr), L"");
}

} // namespace
