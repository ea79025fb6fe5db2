#include "AnimationXml.h"
#include "EngineFakes.h"

#include "engine/AnimationPlayer.h"

#include "support/TempDir.h"

#include <helvane/ResourceFileManager.h>

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

using namespace enginetest;
using namespace enginetest::animxml;

namespace {

class AnimationTest : public ::testing::Test {
protected:
    AnimationTest() : cwd(dir.Path()) { renderer.AddTexture("pic.png", 64, 32); }

    // Writes data/<folder>/<name> and rebuilds the data-folder index.
    void WriteAnimation(const std::string& name, const std::string& xml, const std::string& folder = "anim")
    {
        dir.Write("data/" + folder + "/" + name, xml);
        singleton<CResourceFileManager>::GetSingleton().CollectFileNameList(L"\\data\\");
    }

    // A unique file name per test, since the library caches sets for the whole program.
    std::string Name(const std::string& suffix = "")
    {
        return std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + suffix + ".xml";
    }

    testsupport::TempDir dir;
    testsupport::ScopedCurrentDir cwd;
    RecordingRenderBackend renderer;
};

TEST_F(AnimationTest, FilesThatDoNotLoadLeaveThePlayerAsItWas)
{
    WriteAnimation(Name("Good"), FileXml(SceneXml("NORMAL", {{0}, {100}})));
    WriteAnimation(Name("Root"), "<other version=\"1.2\"/>");
    WriteAnimation(Name("Version"), FileXml("", "two"));
    WriteAnimation(Name("Broken"), "<kvanimation version=\"1.2\"><scene");

    AnimationPlayer player;
    ASSERT_TRUE(player.Load(Name("Good")));
    AnimationSet* set = player.m_pSet;
    for (const std::string& bad : {Name("Root"), Name("Version"), Name("Broken"), Name("Missing")}) {
        EXPECT_FALSE(player.Load(bad)) << bad;
        EXPECT_EQ(player.m_pSet, set);
        EXPECT_EQ(player.m_strScene, "NORMAL");
    }
}

TEST_F(AnimationTest, OldVersionLoadsWithoutScenesAndDrawsNothing)
{
    WriteAnimation(Name(), FileXml(SceneXml("NORMAL", {{0}, {100}}), "1.1"));
    AnimationPlayer player;
    ASSERT_TRUE(player.Load(Name()));
    EXPECT_TRUE(player.m_pSet->m_Scenes.empty());
    player.Play("NORMAL");
    player.Draw();
    EXPECT_TRUE(renderer.sprites.empty());
}

TEST_F(AnimationTest, ParsingBindsAnimsThroughObjectsAndDropsEmptyScenes)
{
    // The first anim has no object: skipped, and the bound one after it is still read.
    std::string scene = "<scene name=\"two\"><asset name=\"Image_pic\" path=\"x/pic.png\"/>"
                        "<object ani=\"b\"><asset link=\"Image_pic\"/></object>"
                        "<anim name=\"a\">" + FrameXml({0}) + "</anim><anim name=\"b\">" + FrameXml({250}) + "</anim></scene>"
                        "<scene name=\"empty\"><anim name=\"a\">" + FrameXml({0}) + "</anim></scene>";
    WriteAnimation(Name(), FileXml(scene));
    AnimationSet* set = AnimationLibrary::Get(Name());
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->FindScene("empty"), nullptr);
    AnimationScene* two = set->FindScene("two");
    ASSERT_NE(two, nullptr);
    ASSERT_EQ(two->m_Tracks.size(), 1u);
    EXPECT_EQ(two->m_Tracks[0]->m_strName, "b");
    EXPECT_EQ(two->m_Tracks[0]->m_nTextureWidth, 64);
    EXPECT_FLOAT_EQ(two->GetLength(), 0.25f);
}

TEST_F(AnimationTest, PositionsUseTheReferenceSizeOrElseTheTextureSize)
{
    std::string scenes = SceneXml("tex", {{0, 0.5f, 0.5f}}) +
                         SceneXml("res", {{0, 0.5f, 0.5f}}, "<param type=\"RES\" x=\"200\" y=\"100\"/>");
    WriteAnimation(Name(), FileXml(scenes));
    AnimationPlayer player;
    ASSERT_TRUE(player.Load(Name()));
    player.GetScene("tex")->Draw(0.0f, nullptr, 0xFFFFFFFF, 0.0f, nullptr);
    player.GetScene("res")->Draw(0.0f, nullptr, 0xFFFFFFFF, 0.0f, nullptr);
    ASSERT_EQ(renderer.sprites.size(), 2u);
    EXPECT_FLOAT_EQ(renderer.sprites[0].matrix._41, 32.0f);
    EXPECT_FLOAT_EQ(renderer.sprites[0].matrix._42, 16.0f);
    EXPECT_FLOAT_EQ(renderer.sprites[1].matrix._41, 100.0f);
    EXPECT_FLOAT_EQ(renderer.sprites[1].matrix._42, 50.0f);
}

TEST_F(AnimationTest, PendulumScenePlaysItsSecondHalfBackward)
{
    std::string scene = SceneXml("swing", {{0, 0.0f}, {400, 1.0f}},
                                 "<param type=\"RES\" x=\"100\" y=\"100\"/><param type=\"LOOP\" cnt=\"-1\" pendulum=\"1\"/>");
    WriteAnimation(Name(), FileXml(scene));
    AnimationPlayer player;
    ASSERT_TRUE(player.Load(Name()));
    AnimationScene* swing = player.GetScene("swing");
    EXPECT_FLOAT_EQ(swing->GetLength(), 0.8f);
    swing->Draw(0.6f, nullptr, 0xFFFFFFFF, 0.0f, nullptr);
    ASSERT_EQ(renderer.sprites.size(), 1u);
    EXPECT_NEAR(renderer.sprites[0].matrix._41, 50.0f, 1e-3);
}

TEST_F(AnimationTest, DrawComposesCentreRotationScaleTranslationThenTheCallersMatrix)
{
    // Centre (0.5, 0.5) of a 64 x 32 image, a quarter turn, scale 2, at (10, 20) with RES 1 x 1.
    Key key{0, 10.0f, 20.0f, 0.5f, 0.5f, 2.0f, 90.0f};
    WriteAnimation(Name(), FileXml(SceneXml("s", {key}, "<param type=\"RES\" x=\"1\" y=\"1\"/>")));
    AnimationPlayer player;
    ASSERT_TRUE(player.Load(Name()));
    D3DXMATRIX caller;
    D3DXMatrixTranslation(&caller, 100.0f, 0.0f, 0.0f);
    // Colour 0x80FF8000: alpha 0.5 x 0.5 of the track, red 1, green 0.5 rounded, blue 0.
    player.GetScene("s")->Draw(0.0f, &caller, 0x80FF8000, 0.0f, nullptr);
    ASSERT_EQ(renderer.sprites.size(), 1u);
    const auto& sprite = renderer.sprites[0];
    EXPECT_EQ(sprite.colour, D3DCOLOR_ARGB(64, 255, 128, 0));

    // The image's top-left corner (0, 0): centre moved to the origin (-32, -16), turned a
    // quarter (16, -32), doubled (32, -64), placed at (10, 20), then moved by the caller.
    D3DXVECTOR3 corner(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &corner, &sprite.matrix);
    EXPECT_NEAR(out.x, 142.0f, 1e-3);
    EXPECT_NEAR(out.y, -44.0f, 1e-3);
}

TEST_F(AnimationTest, NearlyTransparentAndHiddenTracksAreNotDrawn)
{
    Key faint{0};
    faint.alpha = 0.003f;
    Key hidden{0};
    hidden.visible = 0;
    WriteAnimation(Name(), FileXml(SceneXml("faint", {faint}) + SceneXml("hidden", {hidden}) + SceneXml("shown", {Key{0}})));
    AnimationPlayer player;
    ASSERT_TRUE(player.Load(Name()));
    for (const char* scene : {"faint", "hidden", "shown"})
        player.GetScene(scene)->Draw(0.0f, nullptr, 0xFFFFFFFF, 0.0f, nullptr);
    EXPECT_EQ(renderer.sprites.size(), 1u);
}

// The clock table: scenes "half" (0.5 s), "one" (1 s), "next" (1 s) and "zero" (0 s).
class PlayerClockTest : public AnimationTest {
protected:
    void SetUp() override
    {
        WriteAnimation("clock.xml", FileXml(SceneXml("NORMAL", {{0}, {1000}}) + SceneXml("half", {{0}, {500}}) +
                                            SceneXml("one", {{0}, {1000}}) + SceneXml("next", {{0}, {1000}}) +
                                            SceneXml("zero", {{0}})));
        ASSERT_TRUE(player.Load("clock.xml"));
    }
    AnimationPlayer player;
};

TEST_F(PlayerClockTest, FollowUpSceneTakesOverAndRepeats)
{
    player.Play("half", "next");
    player.Update(0.6f);
    EXPECT_EQ(player.m_strScene, "next");
    EXPECT_NEAR(player.m_fTime, 0.1f, 1e-5);
    player.Update(1.0f);
    EXPECT_EQ(player.m_strScene, "next");
    EXPECT_NEAR(player.m_fTime, 0.1f, 1e-5);
    EXPECT_TRUE(player.m_bPlaying);

    // A missing first scene falls back to the follow-up alone.
    player.Play("absent", "one");
    EXPECT_EQ(player.m_strScene, "one");
    EXPECT_EQ(player.m_strNextScene, "");
}

TEST_F(PlayerClockTest, LoopingAndStoppingAtTheEnd)
{
    struct Case {
        bool loop;
        float step;
        float time;
        bool playing;
    };
    for (Case c : {Case{true, 2.5f, 0.5f, true}, Case{true, 1.0f, 1.0f, true}, Case{false, 0.5f, 0.5f, true},
                   Case{false, 1.5f, 1.0f, false}}) {
        player.Clear();
        player.m_bLoop = c.loop;
        player.Play("one");
        player.Update(c.step);
        EXPECT_NEAR(player.m_fTime, c.time, 1e-5) << c.loop << " " << c.step;
        EXPECT_EQ(player.m_bPlaying, c.playing) << c.loop << " " << c.step;
    }
}

TEST_F(PlayerClockTest, RunningSceneIsNotRestartedButAFinishedOneIs)
{
    player.Play("one");
    player.Update(0.4f);
    player.Play("one");
    EXPECT_NEAR(player.m_fTime, 0.4f, 1e-6);
    player.Update(1.0f);
    EXPECT_FALSE(player.m_bPlaying);
    player.Play("one");
    EXPECT_EQ(player.m_fTime, 0.0f);
    EXPECT_TRUE(player.m_bPlaying);

    // Unknown names change nothing; a zero-length scene always counts as running.
    player.Play("absent");
    EXPECT_EQ(player.m_strScene, "one");
    player.Play("zero");
    player.m_bLoop = true;
    player.Update(0.3f);
    EXPECT_EQ(player.m_fTime, 0.0f);
}

TEST_F(PlayerClockTest, FollowUpThatTheSetLacksStopsOnTheLastFrame)
{
    player.Play("half", "nowhere");
    player.Update(0.7f);
    EXPECT_EQ(player.m_strScene, "half");
    EXPECT_FLOAT_EQ(player.m_fTime, 0.5f);
    EXPECT_FALSE(player.m_bPlaying);
}

TEST_F(AnimationTest, LibrarySharesOneSetPerFileNameAndRetriesFailedLoads)
{
    EXPECT_EQ(AnimationLibrary::Get("later/" + Name()), nullptr);
    WriteAnimation(Name(), FileXml(SceneXml("NORMAL", {{0}})));
    AnimationSet* first = AnimationLibrary::Get("one/" + Name());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(AnimationLibrary::Get("other\\folder\\" + Name()), first);

    // Loaded from two threads at once, one set results.
    const std::string shared = Name("Threads");
    WriteAnimation(shared, FileXml(SceneXml("NORMAL", {{0}, {100}})));
    AnimationSet* fromThread = nullptr;
    std::thread loader([&] { fromThread = AnimationLibrary::Get(shared); });
    AnimationSet* fromMain = AnimationLibrary::Get(shared);
    loader.join();
    EXPECT_EQ(fromThread, fromMain);
}

} // namespace
