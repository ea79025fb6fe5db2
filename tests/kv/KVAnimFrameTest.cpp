// Key-frame tracks: stepping in both directions, visibility, sounds, easing and the transform.
#include "kv/KVAnimFrame.h"

#include "support/kv/FakeInterface.h"
#include "support/kv/RecordingRenderer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using kv::KVAnimFrame;
using kv::KVAnimKey;

class KVAnimFrameTest : public ::testing::Test {
protected:
    // A key at cnt; every channel leads in linearly unless `bare` leaves the interpolators out.
    KVAnimKey Key(uint32_t cnt, float posx, bool visible = true, const wchar_t* sound = L"", float alpha = 1,
                  bool bare = false)
    {
        KVAnimKey key;
        key.cnt = cnt;
        key.visible = visible;
        key.sound = sound;
        key.channels[KVAnimKey::kPosX].value = posx;
        key.channels[KVAnimKey::kAlpha].value = alpha;
        for (auto& channel : key.channels)
            if (!bare)
                channel.interpolation = track.AdoptInterpolation(std::make_unique<kv::KVInterpolation>());
        return key;
    }
    void Start()
    {
        track.SetServices(&renderer, &iface);
        track.SetTransform({0, 1, 0, 1}, {1, 1});
        track.ResetForward();
    }
    bool DrawnAt(uint32_t ms, bool backward = false)
    {
        if (backward)
            track.StepBackward(ms, rect);
        else
            track.StepForward(ms, rect);
        renderer.animDraws.clear();
        track.Draw(L"d", L"s", L"link", 1);
        return !renderer.animDraws.empty();
    }

    testsupport::RecordingRenderer renderer;
    testsupport::FakeInterface iface;
    KVAnimFrame track;
    kv::KVRect rect{0, 100, 0, 50};
};

TEST(KVBezierSplineTest, LinearCurveFollowsTheDiagonalAndEndsBelowOne)
{
    kv::KVBezierSpline spline(0, 0, 1, 1);
    ASSERT_EQ(spline.Samples().size(), 1024u);
    // Samples lie on the diagonal; the result differs from x by at most one step of the table,
    // which is at most 1.5 / 1024 wide for this curve.
    for (float x : {0.1f, 0.25f, 0.5f, 0.9f})
        EXPECT_NEAR(spline.Evaluate(x), x, 1.5f / 1024) << x;
    float last = spline.Samples().back().y;
    EXPECT_LT(last, 1.0f);
    EXPECT_EQ(spline.Evaluate(spline.Samples().back().x + 0.0001f), last);
    EXPECT_EQ(spline.Evaluate(-0.5f), last);
}

TEST_F(KVAnimFrameTest, AFirstKeyLaterThanZeroWaitsForItsTime)
{
    track.AddKey(Key(500, 0));
    track.AddKey(Key(1000, 1));
    Start();
    EXPECT_FALSE(DrawnAt(0));
    EXPECT_FALSE(DrawnAt(400));
    EXPECT_TRUE(DrawnAt(500));
}

TEST_F(KVAnimFrameTest, KeysPassedInOneFrameAreShownOnePerUpdateWithEverySound)
{
    track.AddKey(Key(0, 0, true, L"k0"));
    track.AddKey(Key(10, 1, true, L"k1"));
    track.AddKey(Key(20, 2, true, L"k2"));
    track.AddKey(Key(30, 3, true, L"k3"));
    Start();
    std::vector<float> shown;
    for (uint32_t ms = 0; track.IsPlaying(); ms += 100) {
        track.StepForward(ms, rect);
        shown.push_back(track.Current().Value(KVAnimKey::kPosX));
    }
    EXPECT_EQ(shown, (std::vector<float>{0, 1, 2, 3}));
    EXPECT_EQ(iface.sounds, (std::vector<std::wstring>{L"k0", L"k1", L"k2", L"k3"}));
}

TEST_F(KVAnimFrameTest, ASingleKeyShowsFromItsTimePlaysOnceAndStops)
{
    track.AddKey(Key(200, 5, true, L"ding"));
    Start();
    EXPECT_FALSE(DrawnAt(100));
    EXPECT_TRUE(DrawnAt(200));
    EXPECT_FALSE(track.IsPlaying());
    EXPECT_EQ(iface.sounds, std::vector<std::wstring>{L"ding"});
}

TEST_F(KVAnimFrameTest, VisibilitySwitchesExactlyAtKeysInBothDirections)
{
    track.AddKey(Key(0, 0, true));
    track.AddKey(Key(200, 1, false));
    track.AddKey(Key(400, 2, true));
    track.AddKey(Key(600, 3, true));
    Start();
    struct Step {
        uint32_t ms;
        bool drawn;
    };
    for (Step s : {Step{0, true}, Step{100, true}, Step{200, false}, Step{300, false}, Step{400, true}, Step{500, true}})
        EXPECT_EQ(DrawnAt(s.ms), s.drawn) << "forward " << s.ms;

    track.ResetBackward();
    for (Step s : {Step{600, true}, Step{500, true}, Step{400, false}, Step{300, false}, Step{200, true},
                   Step{100, true}})
        EXPECT_EQ(DrawnAt(s.ms, true), s.drawn) << "backward " << s.ms;
}

TEST_F(KVAnimFrameTest, AlphaBelowOneStepOfTwoHundredFiftyFiveIsNotDrawn)
{
    track.AddKey(Key(0, 0, true, L"", 0.002f));
    Start();
    EXPECT_FALSE(DrawnAt(0));
    KVAnimFrame brighter;
    brighter.AddKey(Key(0, 0, true, L"", 0.004f));
    brighter.SetServices(&renderer, &iface);
    brighter.ResetForward();
    brighter.StepForward(0, rect);
    brighter.Draw(L"d", L"s", L"l", 1);
    EXPECT_EQ(renderer.animDraws.size(), 1u);
}

TEST_F(KVAnimFrameTest, RotationTurnsAboutThePixelCentre)
{
    KVAnimKey key = Key(0, 0);
    key.channels[KVAnimKey::kRotate].value = 90;
    track.AddKey(key);
    Start();
    track.SetTransform({10, 11, 20, 21}, {1, 1}); // position (10, 20)
    track.StepForward(0, rect);
    auto apply = [&](float u, float v) {
        const auto& m = track.Transform().m;
        return kv::KVPoint{u * m[0][0] + v * m[1][0] + m[3][0], u * m[0][1] + v * m[1][1] + m[3][1]};
    };
    kv::KVPoint centre = apply(50, 25);
    EXPECT_NEAR(centre.x, 10, 1e-3);
    EXPECT_NEAR(centre.y, 20, 1e-3);
    kv::KVPoint corner = apply(0, 0); // (-50, -25) turned by 90 degrees
    EXPECT_NEAR(corner.x, 10 + 25, 1e-3);
    EXPECT_NEAR(corner.y, 20 - 50, 1e-3);
}

// Two keys with one time, keys out of order and keys that lack interpolators never divide by
// zero, never read a missing interpolator and never take a time before a key as far after it.
TEST_F(KVAnimFrameTest, EqualTimesMissingChannelsAndDescendingKeysStayFinite)
{
    track.AddKey(Key(0, 0));
    track.AddKey(Key(100, 1));
    track.AddKey(Key(100, 2, true, L"", 1, true));
    track.AddKey(Key(200, 4, true, L"", 1, true));
    Start();
    for (uint32_t ms : {0u, 50u, 100u, 100u, 150u, 200u, 200u}) {
        track.StepForward(ms, rect);
        EXPECT_TRUE(std::isfinite(track.Current().Value(KVAnimKey::kPosX))) << ms;
    }
    EXPECT_FALSE(track.IsPlaying());
    track.ResetBackward();
    for (uint32_t ms : {200u, 150u, 100u, 100u, 50u, 0u, 0u, 0u}) {
        track.StepBackward(ms, rect);
        EXPECT_TRUE(std::isfinite(track.Current().Value(KVAnimKey::kPosX))) << ms;
    }

    KVAnimFrame descending;
    descending.AddKey(Key(300, 0));
    descending.AddKey(Key(100, 1));
    descending.ResetForward();
    for (uint32_t ms = 0; descending.IsPlaying() && ms < 1000; ms += 50) {
        descending.StepForward(ms, rect);
        EXPECT_TRUE(std::isfinite(descending.Current().Value(KVAnimKey::kPosX))) << ms;
    }
    EXPECT_FALSE(descending.IsPlaying());
}

TEST_F(KVAnimFrameTest, InterpolationEasesIntoTheToKeyAndKeepsTheShownFlags)
{
    KVAnimKey from = Key(0, 0, false);
    KVAnimKey to = Key(100, 10);
    to.channels[KVAnimKey::kPosX].interpolation =
        track.AdoptInterpolation(std::make_unique<kv::KVBezierSpline>(0.0f, 1.0f, 0.0f, 1.0f));
    KVAnimKey mid = track.Interpolate(from, to, 0.5f);
    EXPECT_GT(mid.Value(KVAnimKey::kPosX), 5.0f) << "an ease-out curve is ahead of linear";
    EXPECT_EQ(mid.channels[KVAnimKey::kPosX].interpolation, nullptr);
    EXPECT_TRUE(mid.visible) << "visibility changes only at keys";
}

} // namespace
