#include <lumenkit/BSpline.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct RowCase {
    float t;
    float expected[4];
};

TEST(BSplineTest, BasisRowsClampToTheTable)
{
    // Row 0 is the basis at 0, row 1023 the basis at (about) 1.
    const RowCase cases[] = {
        {0.0f, {1.0f / 6, 4.0f / 6, 1.0f / 6, 0.0f}},
        {-0.5f, {1.0f / 6, 4.0f / 6, 1.0f / 6, 0.0f}},
        {1.0f, {0.0f, 1.0f / 6, 4.0f / 6, 1.0f / 6}},
        {2.0f, {0.0f, 1.0f / 6, 4.0f / 6, 1.0f / 6}},
        {NAN, {1.0f / 6, 4.0f / 6, 1.0f / 6, 0.0f}},
    };
    for (const RowCase& c : cases) {
        bspline_d(c.t);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(g_dd[i], c.expected[i], 1e-4f) << "t = " << c.t << ", value " << i;
    }
}

// Five evenly spaced points on a line: the curve follows the line, so x at a time is easy
// to tell; segment i runs from knot i - 1 to knot i.
class MakeBSTest : public ::testing::Test {
protected:
    std::vector<float> xs{0, 1, 2, 3, 4};
    std::vector<float> ys{0, 0, 0, 0, 0};
    std::vector<float> knots{1, 2, 3, 4, 5};

    float XAt(int time)
    {
        float x = -1.0f, y = -1.0f;
        makeBS(5, xs.data(), ys.data(), knots.data(), time, x, y);
        return x;
    }
};

TEST_F(MakeBSTest, EvaluatesAndWrapsAroundTheCurveLength)
{
    EXPECT_NEAR(XAt(1), 2.0f, 1e-4f);       // start of segment 1
    EXPECT_NEAR(XAt(6), XAt(1), 1e-4f);     // one length (5) later
    EXPECT_NEAR(XAt(1000001), XAt(1), 1e-4f); // many lengths, in one step
}

TEST_F(MakeBSTest, NeverReadsBeforeTheKnotsOrDividesByZero)
{
    // A time before the first knot would need knots[-1]: the first segment answers.
    EXPECT_TRUE(std::isfinite(XAt(0)));
    EXPECT_NEAR(XAt(0), 2.0f, 1e-4f);

    knots = {1, 1, 1, 4, 5};
    EXPECT_TRUE(std::isfinite(XAt(0)));

    // Too few points, or a curve shorter than 1, write nothing.
    float x = -1.0f, y = -1.0f;
    makeBS(4, xs.data(), ys.data(), knots.data(), 2, x, y);
    knots = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f};
    makeBS(5, xs.data(), ys.data(), knots.data(), 2, x, y);
    EXPECT_EQ(x, -1.0f);
}

} // namespace
