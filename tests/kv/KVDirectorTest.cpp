// UI animation files, scenes and the director that drives windows.
#include "kv/KVDirector.h"
#include "kv/KVString.h"
#include "kv/KVSystem.h"
#include "kv/KVVisualEffect.h"
#include "kv/KVWnd.h"

#include "support/kv/KVTestKit.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace {

using kv::KVDirector;
using testsupport::KVEnvironment;

// One frame with all eight channels.
std::string Frame(int cnt, float posx, const char* extra = "")
{
    return "<frame cnt=\"" + std::to_string(cnt) + "\"><posx val=\"" + std::to_string(posx) +
           "\"/><posy val=\"0\"/><scalex val=\"1\"/><scaley val=\"1\"/><centerx val=\"0.5\"/>"
           "<centery val=\"0.5\"/><rotate val=\"0\"/><alpha val=\"1\"/>" + extra + "</frame>";
}

// A scene with one image object named "star" driven by the anim "move".
std::string Scene(const char* name, const std::string& params, const std::string& frames)
{
    return std::string("<scene name=\"") + name + "\">" +
           "<asset type=\"IMAGE\" name=\"IMAGE_star\" path=\"star.png\"><rect l=\"0\" t=\"0\" r=\"32\" b=\"32\"/></asset>" +
           params + "<object name=\"star\" ani=\"move\"><asset link=\"IMAGE_star\" type=\"Image\"/></object>" +
           "<anim name=\"move\">" + frames + "</anim></scene>";
}

std::string File(const std::string& scenes, const char* version = "1.2")
{
    return std::string("<kvanimation version=\"") + version + "\">" + scenes + "</kvanimation>";
}

class KVDirectorTest : public ::testing::Test {
protected:
    KVDirectorTest()
    {
        director.name = L"Dir";
        director.renderer = &env.renderer;
        director.iface = &env.iface;
        director.width = 1024;
        director.height = 768;
        director.AddHandler(kv::EventAnimFinished, kv::MakeHandler(this, &KVDirectorTest::Finished));
    }
    int32_t Load(const std::string& text, const std::wstring& sceneName = L"")
    {
        env.iface.AddFile(L"anim.xml", text);
        return director.LoadFile(sceneName, L"anim.xml");
    }
    void Finished(kv::EventArgs&) { ++finished; }

    KVEnvironment env;
    KVDirector director;
    int finished = 0;
};

TEST_F(KVDirectorTest, LoadReportsUnreadableFilesAndFilesWithoutScenes)
{
    EXPECT_EQ(director.LoadFile(L"", L"missing.xml"), 2);
    struct Case {
        const char* text;
        int32_t result;
    };
    for (Case c : {Case{"", 2}, Case{"<kvanimation version=\"1.2\">", 2}, Case{"<anim version=\"1.2\"/>", 2},
                   Case{"<kvanimation version=\"1\"/>", 2}, Case{"<kvanimation/>", 2},
                   Case{"<kvanimation version=\"1.2\"><asset/></kvanimation>", 0},
                   Case{"<kvanimation version=\"1.1\"/>", 1}})
        EXPECT_EQ(Load(c.text), c.result) << c.text;
    ASSERT_EQ(director.scenes.size(), 1u);
    EXPECT_EQ(director.FindScene(L"")->name, L"Dir") << "a single-scene file takes the director's name";
}

TEST_F(KVDirectorTest, ScenesReadAssetsParamsObjectsAndAnims)
{
    std::string scenes = Scene("a", "<param type=\"RES\" x=\"512\" y=\"384\"/><param type=\"LOOP\" cnt=\"-1\" pendulum=\"1\"/>",
                               Frame(0, 0) + Frame(250, 1)) +
                         "<scene name=\"b\"><asset type=\"TEXT\" name=\"TEXT__label\" text=\"hi\"/>"
                         "<asset type=\"UI\" name=\"UIWND_\"><rect l=\"0\" t=\"0\" r=\"5\" b=\"5\"/></asset>"
                         "<param type=\"LOOP\" cnt=\"5\" pendulum=\"0\"/></scene>";
    ASSERT_EQ(Load(File(scenes)), 1);
    ASSERT_EQ(director.scenes.size(), 2u);
    kv::KVAnimation* a = director.FindScene(L"a");
    EXPECT_TRUE(a->loop);
    EXPECT_TRUE(a->pendulum);
    EXPECT_FLOAT_EQ(a->scale.x, 2);
    EXPECT_FLOAT_EQ(a->endTime, 250);
    ASSERT_NE(a->FindObject(L"star"), nullptr);
    EXPECT_NE(a->FindObject(L"star")->track, nullptr);
    ASSERT_EQ(env.renderer.animImages.size(), 1u);
    EXPECT_EQ(env.renderer.animImages[0].asset, L"IMAGE_star");
    EXPECT_EQ(env.renderer.animImages[0].scene, L"a");

    kv::KVAnimation* b = director.FindScene(L"b");
    EXPECT_FALSE(b->loop) << "only -1 loops";
    EXPECT_EQ(b->objects.at(0).name, L"label");
    EXPECT_EQ(b->objects.at(1).name, L"") << "a six-character asset name leaves an empty object name";
    EXPECT_EQ(env.renderer.animTexts.at(0), L"|10|0|0|hi");

    // A second file appends; a scene name given to the loader names every scene of the file.
    ASSERT_EQ(Load(File(Scene("x", "", Frame(0, 0)) + Scene("y", "", Frame(0, 0))), L"Forced"), 1);
    ASSERT_EQ(director.scenes.size(), 4u);
    EXPECT_EQ(director.scenes[2]->name, L"Forced");
    EXPECT_EQ(director.FindScene(L"Forced"), director.scenes[2].get());
    EXPECT_EQ(director.PlaySceneIndex(4), 0);
    EXPECT_EQ(director.currentScene, nullptr);
}

TEST_F(KVDirectorTest, APlayOnceSceneFinishesTwoUpdatesAfterItsLastKeyAndStopFiresAgain)
{
    ASSERT_EQ(Load(File(Scene("s", "", Frame(0, 0) + Frame(100, 1)))), 1);
    kv::KVAnimation* scene = director.FindScene(L"s");
    scene->Start();
    std::vector<int> seen;
    for (int i = 0; i < 5; ++i) {
        scene->Update(0.1f);
        seen.push_back(finished);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 0, 1, 1}));
    EXPECT_FALSE(scene->playing);
    EXPECT_FLOAT_EQ(scene->progress, 1);
    scene->Stop();
    EXPECT_EQ(finished, 2);
}

TEST_F(KVDirectorTest, APendulumLoopSwingsBackAndForthPlayingKeySoundsWhereKeysAreReached)
{
    std::string frames = Frame(0, 0, "<sound val=\"a\"/>") + Frame(100, 1, "<sound val=\"b\"/>");
    ASSERT_EQ(Load(File(Scene("s", "<param type=\"LOOP\" cnt=\"-1\" pendulum=\"1\"/>", frames))), 1);
    ASSERT_EQ(director.PlayScene(L"s"), 1);
    for (int i = 0; i < 12; ++i)
        director.currentScene->Update(0.05f);
    EXPECT_TRUE(director.currentScene->playing);
    ASSERT_GE(env.iface.sounds.size(), 4u);
    EXPECT_EQ(std::vector<std::wstring>(env.iface.sounds.begin(), env.iface.sounds.begin() + 4),
              (std::vector<std::wstring>{L"a", L"b", L"a", L"a"}))
        << "forward reaches a then b; backward starts at b and reaches a; forward starts again at a";
}

TEST_F(KVDirectorTest, OnlyImageAndTextObjectsAreDrawnAndHandlersMayTakeOver)
{
    std::string scene = "<scene name=\"s\">"
                        "<asset type=\"IMAGE\" name=\"IMAGE_a\" path=\"a.png\"><rect l=\"0\" t=\"0\" r=\"8\" b=\"8\"/></asset>"
                        "<asset type=\"IMAGE\" name=\"IMAGE_b\" path=\"b.png\"><rect l=\"0\" t=\"0\" r=\"8\" b=\"8\"/></asset>"
                        "<object name=\"a\" ani=\"ma\"><asset link=\"IMAGE_a\" type=\"image\"/></object>"
                        "<object name=\"b\" ani=\"mb\"><asset link=\"IMAGE_b\" type=\"PLAYER\"/></object>"
                        "<anim name=\"ma\">" + Frame(0, 0) + "</anim><anim name=\"mb\">" + Frame(0, 0) + "</anim></scene>";
    ASSERT_EQ(Load(File(scene)), 1);
    director.PlayScene(L"s");
    director.currentScene->Update(0);
    director.currentScene->Draw(1);
    ASSERT_EQ(env.renderer.animDraws.size(), 1u);
    EXPECT_EQ(env.renderer.animDraws[0].asset, L"IMAGE_a");
    EXPECT_EQ(director.currentScene->objects[1].type, kv::AnimationObject::kPlayer);

    struct Hook {
        void Draw(kv::EventArgs& args) { args.handled = true; }
    } hook;
    director.currentScene->objects[0].AddHandler(kv::EventAnimObjectDraw, kv::MakeHandler(&hook, &Hook::Draw));
    env.renderer.animDraws.clear();
    director.currentScene->Draw(1);
    EXPECT_TRUE(env.renderer.animDraws.empty());
}

// Objects without a track, frames that lack channels and objects that name no asset are
// logged and played around; nothing crashes.
TEST_F(KVDirectorTest, MalformedScenesPlayWithoutCrashing)
{
    std::string scene = "<scene name=\"s\">"
                        "<asset type=\"IMAGE\" name=\"IMAGE_a\" path=\"a.png\"/>"
                        "<asset type=\"IMAGE\" name=\"IMAGE_lonely\" path=\"b.png\"><rect l=\"0\" t=\"0\" r=\"8\" b=\"8\"/></asset>"
                        "<object name=\"nobody\" ani=\"x\"><asset link=\"IMAGE_x\"/></object>"
                        "<object name=\"a\" ani=\"ma\"><asset link=\"IMAGE_a\"/></object>"
                        "<anim name=\"ma\"><frame cnt=\"-20\"/><frame cnt=\"50\"><posx val=\"1\"/></frame>"
                        "<frame cnt=\"50\"/></anim>"
                        "<param type=\"RES\" x=\"0\" y=\"0\"/></scene>";
    ASSERT_EQ(Load(File(scene)), 1);
    director.PlayScene(L"s");
    for (int i = 0; i < 10 && director.currentScene->playing; ++i) {
        director.currentScene->Update(0.03f);
        director.currentScene->Draw(1);
    }
    EXPECT_FALSE(director.currentScene->playing);
    EXPECT_EQ(director.currentScene->objects[1].track, nullptr);
    director.currentScene->GoToEnd();
}

TEST_F(KVDirectorTest, ASceneWithoutObjectsNeverPlays)
{
    ASSERT_EQ(Load(File("<scene name=\"empty\"><param type=\"LOOP\" cnt=\"-1\" pendulum=\"0\"/></scene>")), 1);
    director.PlayScene(L"empty");
    EXPECT_FALSE(director.currentScene->playing);
}

// The window's UI animation: the layout names it, and its "_Opening_" and "_Closing_" scenes
// become the window's show and hide effect.
class KVWindowAnimationTest : public ::testing::Test {
protected:
    KVWindowAnimationTest() { env.iface.dataPath = kv::NarrowToWide((std::string(QUIBLY_FIXTURES_DIR) + "/kv/").c_str()); }
    KVEnvironment env;
};

TEST_F(KVWindowAnimationTest, OpeningAndClosingScenesMoveFadeAndHideTheWindow)
{
    kv::KVWnd* dialog = env.Load(std::string(QUIBLY_FIXTURES_DIR) + "/kv/dialog.xml");
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(dialog->GetDirector(), nullptr);
    EXPECT_NE(dynamic_cast<kv::KVVisualEffectAnim*>(dialog->GetVisualEffect()), nullptr);

    dialog->SetVisible(true);
    EXPECT_TRUE(dialog->IsUIScenePlaying());
    EXPECT_FLOAT_EQ(dialog->GetAnimationOffset().y, 300) << "the first key is applied at once";
    EXPECT_FLOAT_EQ(dialog->GetEffectiveAlpha(), 0);
    for (int i = 0; i < 6; ++i)
        env.system->Update(0.1f);
    EXPECT_EQ(dialog->GetEffectState(), kv::KVWnd::kShown);
    EXPECT_FLOAT_EQ(dialog->GetAnimationOffset().y, 0);
    EXPECT_FLOAT_EQ(dialog->GetEffectiveAlpha(), 1);
    EXPECT_FLOAT_EQ(dialog->GetWidth(), 400) << "a window is sized from the object's rectangle";

    dialog->SetVisible(false);
    EXPECT_TRUE(dialog->IsHiding());
    for (int i = 0; i < 6; ++i)
        env.system->Update(0.1f);
    EXPECT_EQ(dialog->GetEffectState(), kv::KVWnd::kHidden);
    EXPECT_FALSE(dialog->IsVisible());
    EXPECT_FLOAT_EQ(dialog->GetAnimationOffset().y, 300);
}

TEST_F(KVWindowAnimationTest, ADirectorMovesButNeverResizesAButtonAndPicksUpWindowsThatAppearLater)
{
    env.iface.AddFile(env.iface.dataPath + L"btn.xml",
                      File("<scene name=\"slide\"><asset type=\"UI\" name=\"UIWND_Btn_ok\"><rect l=\"0\" t=\"0\" r=\"10\" b=\"10\"/></asset>"
                           "<param type=\"LOOP\" cnt=\"-1\" pendulum=\"0\"/>"
                           "<object name=\"Btn_ok\" ani=\"m\"><asset link=\"UIWND_Btn_ok\" type=\"UI\"/></object>"
                           "<anim name=\"m\"><frame cnt=\"0\"><posx val=\"50\"/><posy val=\"60\"/><scalex val=\"3\"/>"
                           "<scaley val=\"3\"/><centerx val=\"0\"/><centery val=\"0\"/><rotate val=\"0\"/>"
                           "<alpha val=\"0.5\"/><visible val=\"0\"/></frame></anim></scene>"));
    kv::KVWnd* holder = env.LoadText("<kevrin version=\"2\"><base type=\"WND\" name=\"Wnd_holder\"><pos x=\"0\" y=\"0\"/></base></kevrin>");
    ASSERT_NE(holder, nullptr);
    holder->SetVisible(true);
    holder->LoadUIAnimation(L"btn.xml");
    holder->PlayUIScene(L"slide");
    env.system->Update(0.1f); // no Btn_ok yet: skipped
    kv::KVWnd* dialog = env.Load(std::string(QUIBLY_FIXTURES_DIR) + "/kv/dialog.xml");
    kv::KVWnd* button = dialog->FindChild(L"Btn_ok");
    holder->AddChild(env.Root()->GetChild(env.Root()->GetChildCount() - 1)); // the dialog moves under the holder
    env.system->Update(0.1f);
    EXPECT_FLOAT_EQ(button->GetAnimationOffset().x, 30); // 50 - layout x 20
    EXPECT_FLOAT_EQ(button->GetAnimationOffset().y, 20); // 60 - layout y 40
    EXPECT_FLOAT_EQ(button->GetWidth(), 100) << "buttons are never resized";
    EXPECT_FALSE(button->IsVisible());
    EXPECT_FLOAT_EQ(button->GetEffectiveAlpha(), 0.5f);
    EXPECT_TRUE(holder->IsUIScenePlaying());
    holder->StopUIScene();
    EXPECT_FALSE(holder->IsUIScenePlaying());
}

// A window class whose objects all live in one slot, so a new window takes the address of the
// one deleted before it.
class SameSlotWindow : public testsupport::TestWindow {
public:
    static void* operator new(size_t size)
    {
        EXPECT_LE(size, sizeof(s_slot));
        return s_slot;
    }
    static void operator delete(void*) {}

private:
    alignas(std::max_align_t) static inline unsigned char s_slot[4096];
};

TEST_F(KVWindowAnimationTest, ADestroyedWindowIsForgottenSoANewOneAtItsAddressIsDriven)
{
    env.iface.AddFile(env.iface.dataPath + L"fade.xml",
                      File("<scene name=\"fade\"><asset type=\"UI\" name=\"UIWND_Btn_ok\"><rect l=\"0\" t=\"0\" r=\"10\" b=\"10\"/></asset>"
                           "<param type=\"LOOP\" cnt=\"-1\" pendulum=\"0\"/>"
                           "<object name=\"Btn_ok\" ani=\"m\"><asset link=\"UIWND_Btn_ok\" type=\"UI\"/></object>"
                           "<anim name=\"m\"><frame cnt=\"0\"><posx val=\"0\"/><posy val=\"0\"/><scalex val=\"1\"/>"
                           "<scaley val=\"1\"/><centerx val=\"0\"/><centery val=\"0\"/><rotate val=\"0\"/>"
                           "<alpha val=\"0.25\"/><visible val=\"1\"/></frame></anim></scene>"));
    kv::KVWnd* holder = env.LoadText("<kevrin version=\"2\"><base type=\"WND\" name=\"Wnd_holder\"><pos x=\"0\" y=\"0\"/></base></kevrin>");
    ASSERT_NE(holder, nullptr);
    holder->SetVisible(true);
    holder->LoadUIAnimation(L"fade.xml");
    holder->PlayUIScene(L"fade");

    auto* first = new SameSlotWindow;
    first->SetName(L"Btn_ok");
    holder->AddChild(first);
    env.system->Update(0.1f);
    EXPECT_FLOAT_EQ(first->GetEffectiveAlpha(), 0.25f);
    ASSERT_TRUE(env.system->DetachWindow(first));

    auto* second = new SameSlotWindow;
    ASSERT_EQ(static_cast<void*>(second), static_cast<void*>(first));
    second->SetName(L"Btn_ok");
    holder->AddChild(second);
    EXPECT_FLOAT_EQ(second->GetEffectiveAlpha(), 1.0f);
    env.system->Update(0.1f);
    EXPECT_FLOAT_EQ(second->GetEffectiveAlpha(), 0.25f) << "the director drives the new window";
    holder->StopUIScene();
}

} // namespace
