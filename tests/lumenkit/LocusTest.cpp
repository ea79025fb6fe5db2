#include <lumenkit/LocusKeyTRSC.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Keys (0, A) and (1, B) on the x axis: A = 10, B = 20; the max time varies per case.
struct LinearCase {
    const char* name;
    float maxTime;
    float t;
    float expected;
    int result;
};

class LinearTrackTest : public ::testing::TestWithParam<LinearCase> {};

TEST_P(LinearTrackTest, SamplesAtBetweenAndPastKeys)
{
    const LinearCase& c = GetParam();
    LocusLinear<D3DXVECTOR3> track;
    track.m_Keys.push_back({0.0f, D3DXVECTOR3(10.0f, 0.0f, -1.0f)});
    track.m_Keys.push_back({1.0f, D3DXVECTOR3(20.0f, 0.0f, -1.0f)});
    track.m_fMaxTime = c.maxTime;

    D3DXVECTOR3 out(-99.0f, -99.0f, -99.0f);
    EXPECT_EQ(track.Evaluate(c.t, out), c.result);
    EXPECT_FLOAT_EQ(out.x, c.expected);
    EXPECT_FLOAT_EQ(out.z, -1.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, LinearTrackTest,
    ::testing::Values(LinearCase{"AtFirstKey", 1.0f, 0.0f, 10.0f, 1},
                      LinearCase{"Between", 1.0f, 0.25f, 12.5f, 1},
                      LinearCase{"AtLastKey", 1.0f, 1.0f, 20.0f, 1},
                      LinearCase{"PastMaxTime", 1.0f, 1.5f, 20.0f, 0},
                      LinearCase{"BeforeZero", 1.0f, -0.5f, 10.0f, 0},
                      // A max time beyond the last key continues the last line.
                      LinearCase{"ExtrapolatedToMaxTime", 2.0f, 1.5f, 25.0f, 1},
                      LinearCase{"PastRaisedMaxTime", 2.0f, 2.5f, 20.0f, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Step keys (0, 1), (1, 0), (2, 1) with max time 2.
struct StepCase {
    const char* name;
    float t;
    int expected;
    int result;
};

class StepTrackTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(StepTrackTest, HoldsTheEarlierKey)
{
    const StepCase& c = GetParam();
    LocusStep<int> track;
    track.m_Keys = {{0.0f, 1}, {1.0f, 0}, {2.0f, 1}};
    track.m_fMaxTime = 2.0f;
    int out = -1;
    EXPECT_EQ(track.Evaluate(c.t, out), c.result);
    EXPECT_EQ(out, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, StepTrackTest,
    ::testing::Values(StepCase{"First", 0.5f, 1, 1},
                      // At an inner key time the search's first bracket answers (key 0 here).
                      StepCase{"AtInnerKey", 1.0f, 1, 1},
                      StepCase{"Second", 1.5f, 0, 1},
                      StepCase{"AtLastKey", 2.0f, 1, 1},
                      StepCase{"PastMaxTime", 3.0f, 1, 0},
                      StepCase{"BeforeZero", -1.0f, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LocusTest, EmptyTrackAndSingleKey)
{
    LocusLinear<D3DXVECTOR3> empty;
    empty.m_fMaxTime = 5.0f;
    D3DXVECTOR3 out(7.0f, 8.0f, 9.0f);
    EXPECT_EQ(empty.Evaluate(1.0f, out), 0);
    EXPECT_EQ(out, D3DXVECTOR3(7.0f, 8.0f, 9.0f));

    LocusLinear<D3DXVECTOR3> single;
    single.m_Keys.push_back({0.5f, D3DXVECTOR3(3.0f, 4.0f, 5.0f)});
    single.m_fMaxTime = 0.5f;
    EXPECT_EQ(single.Evaluate(0.2f, out), 1);
    EXPECT_EQ(out, D3DXVECTOR3(3.0f, 4.0f, 5.0f));
}

TEST(LocusTest, SortsOnceAtTheFirstEvaluation)
{
    LocusLinear<D3DXVECTOR3> track;
    track.m_Keys = {{2.0f, D3DXVECTOR3(30, 0, 0)}, {0.0f, D3DXVECTOR3(10, 0, 0)}, {1.0f, D3DXVECTOR3(20, 0, 0)}};
    track.m_fMaxTime = 2.0f;
    D3DXVECTOR3 out;
    EXPECT_EQ(track.Evaluate(1.5f, out), 1);
    EXPECT_FLOAT_EQ(out.x, 25.0f);

    // A key appended after the first evaluation stays at the end, unsorted.
    track.m_Keys.push_back({0.5f, D3DXVECTOR3(100, 0, 0)});
    EXPECT_TRUE(track.m_bSorted);
    EXPECT_FLOAT_EQ(track.m_Keys.back().time, 0.5f);
}

struct EqualTimesCase {
    std::vector<stLocusKey<D3DXVECTOR3>> keys;
    float t;
    float expected;
};

TEST(LocusTest, EqualKeyTimesNeverDivideByZero)
{
    // In both tracks the search stops on a bracket of two keys sharing one time; the later
    // key of that bracket answers.
    const EqualTimesCase cases[] = {
        {{{0.0f, D3DXVECTOR3(2, 0, 0)}, {0.0f, D3DXVECTOR3(4, 0, 0)}, {1.0f, D3DXVECTOR3(6, 0, 0)}}, 0.0f, 4.0f},
        {{{0.0f, D3DXVECTOR3(0, 0, 0)}, {1.0f, D3DXVECTOR3(5, 0, 0)}, {1.0f, D3DXVECTOR3(6, 0, 0)},
          {1.0f, D3DXVECTOR3(8, 0, 0)}, {2.0f, D3DXVECTOR3(9, 0, 0)}}, 1.0f, 6.0f},
    };
    for (const EqualTimesCase& c : cases) {
        LocusLinear<D3DXVECTOR3> track;
        track.m_Keys = c.keys;
        track.m_fMaxTime = c.keys.back().time;
        D3DXVECTOR3 out;
        EXPECT_EQ(track.Evaluate(c.t, out), 1);
        EXPECT_FLOAT_EQ(out.x, c.expected) << "keys " << c.keys.size();
    }
}

TEST(LocusKeyTRSCTest, BundleRaisesMaxTimesAndBuildsOneKeyPerTime)
{
    LocusKeyTRSC bundle;
    D3DXVECTOR3 t0(0, 0, 0), t1(10, 20, 0), s(1, 1, 1);
    D3DXCOLOR red(1.0f, 0.0f, 0.0f, 1.0f);
    bundle.AddTranslationKey(0.0f, t0);
    bundle.AddTranslationKey(1.0f, t1);
    bundle.AddScaleKey(0.0f, s);
    bundle.AddColorKey(1.0f, red);
    EXPECT_FLOAT_EQ(bundle.GetMaxTime(), 1.0f);
    EXPECT_FLOAT_EQ(bundle.m_Scale.m_fMaxTime, 1.0f);
    EXPECT_EQ(bundle.m_KeyTimes.size(), 4u);

    bundle.SetMaxTime(0.5f); // lower: nothing changes
    EXPECT_FLOAT_EQ(bundle.GetMaxTime(), 1.0f);
    EXPECT_EQ(bundle.IsVisible(0.5f), 1); // no visibility keys

    stAnimDrawInfo info{};
    EXPECT_EQ(bundle.GetAnimationInterval(0.5f, info), 1);
    ASSERT_EQ(bundle.m_Animation.m_Keys.size(), 2u); // times 0 and 1, not three
    EXPECT_FLOAT_EQ(info.tx, 5.0f);
    EXPECT_FLOAT_EQ(info.ty, 10.0f);
    EXPECT_FLOAT_EQ(info.sx, 1.0f);
    EXPECT_FLOAT_EQ(info.r, 1.0f); // the single colour key holds from time 0
    EXPECT_EQ(bundle.m_bBuilt, 1);

    // The source tracks follow a raised max time; the combined one ends at its last key.
    bundle.SetMaxTime(2.0f);
    D3DXVECTOR3 moved;
    EXPECT_EQ(bundle.GetTranslationInterval(1.5f, moved), 1);
    EXPECT_FLOAT_EQ(moved.x, 15.0f);
    EXPECT_EQ(bundle.GetAnimationInterval(1.5f, info), 0);
    EXPECT_FLOAT_EQ(info.tx, 10.0f);
}

TEST(LocusKeyTRSCTest, VisibilityAndCopies)
{
    LocusKeyTRSC bundle;
    int shown = 1, hidden = 0;
    bundle.AddVisibleKey(0.0f, shown);
    bundle.AddVisibleKey(1.0f, hidden);
    bundle.AddVisibleKey(2.0f, shown);
    EXPECT_TRUE(bundle.m_KeyTimes.empty());
    EXPECT_EQ(bundle.IsVisible(1.5f), 0);
    EXPECT_EQ(bundle.IsVisible(0.5f), 1);

    LocusKeyTRSC copy = bundle;
    EXPECT_EQ(copy.IsVisible(1.5f), 0);
    EXPECT_TRUE(copy.m_Visible.m_bSorted);

    bundle.Clear();
    EXPECT_EQ(bundle.IsVisible(1.5f), 1);
    EXPECT_FLOAT_EQ(bundle.GetMaxTime(), 2.0f);
}

} // namespace
