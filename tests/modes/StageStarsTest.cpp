// The stage challenge's star flights: the star count and scene by the worth of a clear, the
// flight's stretch and turn from start to end, the lifetime, the fading ribbon behind each star,
// and the path file read from outside text (malformed files never crash or divide by zero).
#include "modes/ClearEffect_StageChallenge.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

// Eight straight paths of 30 points with a sideways swing of `swing` at every point.
std::string StraightPaths(float swing, int count = 8, int points = 30)
{
    std::string text = std::to_string(count) + "\n\n";
    for (int p = 0; p < count; ++p) {
        text += "path\n" + std::to_string(points) + "\n";
        for (int j = 0; j < points; ++j)
            text += std::to_string(j) + " " + std::to_string(100.0f * j / (points - 1)) + " " + std::to_string(swing) +
                    " 0 0\n";
        text += "end\n";
    }
    return text;
}

D3DXVECTOR3 Apply(const D3DXMATRIX& m)
{
    D3DXVECTOR3 origin(0, 0, 0), out;
    D3DXVec3TransformCoord(&out, &origin, &m);
    return out;
}

class RecordingTail : public IStarTailSink {
public:
    void Triangle(const StarTailVertex& a, const StarTailVertex& b, const StarTailVertex& c) override
    {
        triangles.push_back({a, b, c});
    }
    std::vector<std::array<StarTailVertex, 3>> triangles;
};

class StageStarsTest : public ::testing::Test {
protected:
    void SetUp() override { SetStarTailSink(&tail); }
    void TearDown() override { SetStarTailSink(nullptr); }

    void UsePaths(ClearEffect_StageChallenge& effect, float swing)
    {
        ASSERT_EQ(ParseStarPaths(StraightPaths(swing), effect.m_Paths), 8);
    }

    RecordingTail tail;
};

struct TierCase {
    bool combo;
    int value;
    int stars;
    const char* scene;
};

class StarTiers : public StageStarsTest, public ::testing::WithParamInterface<TierCase> {};

TEST_P(StarTiers, CountAndSceneFollowTheValue)
{
    const TierCase& c = GetParam();
    ClearEffect_StageChallenge point;
    ClearEffect_StageChallenge_Combo combo;
    ClearEffect_StageChallenge& effect = c.combo ? static_cast<ClearEffect_StageChallenge&>(combo) : point;
    effect.AddFlight(0, c.value, 0, 0, 100, 0);
    ASSERT_EQ(effect.Flights().size(), 1u);
    EXPECT_EQ(effect.TierFor(c.value).starCount, c.stars);
    EXPECT_STREQ(effect.SceneFor(effect.Flights()[0]), c.scene);
}

INSTANTIATE_TEST_SUITE_P(Tables, StarTiers,
                         ::testing::Values(TierCase{false, 9, 4, "bezier_point_S"}, TierCase{false, 10, 4, "bezier_point"},
                                           TierCase{false, 150, 8, "bezier_point_L"},
                                           TierCase{false, 99999, 16, "bezier_point_L"},
                                           // Values past every threshold fall back to the middle tier.
                                           TierCase{false, 100000, 6, "bezier_point"},
                                           TierCase{true, 14, 4, "bezier_point_S"}, TierCase{true, 99, 16, "bezier_point_L"},
                                           TierCase{true, 100, 6, "bezier_point"}));

TEST_F(StageStarsTest, AStarBlastFliesEightBlastStarsInTheFourthColour)
{
    ClearEffect_StageChallenge effect;
    effect.m_Colours[3] = 0xFF112233;
    effect.AddFlight(3, 100, 10, 10, 200, 10);
    const StarFlight& flight = effect.Flights()[0];
    EXPECT_STREQ(effect.SceneFor(flight), "bezier_point_star");
    EXPECT_EQ(effect.TierFor(flight.value).starCount, 8);
    EXPECT_EQ(effect.ColourOf(flight.kind), 0xFF112233u);
}

TEST_F(StageStarsTest, AFlightIsStretchedToItsLengthAndTurnedToItsDirection)
{
    ClearEffect_StageChallenge effect;
    UsePaths(effect, 10.0f);
    effect.AddFlight(0, 50, 100, 100, 300, 100);
    effect.AddFlight(0, 50, 100, 100, 100, 300);
    const StarFlight& across = effect.Flights()[0];
    const StarFlight& down = effect.Flights()[1];
    EXPECT_FLOAT_EQ(across.scale, 2.0f);
    // Halfway: the path stands at x 50 with the swing 10, stretched twice.
    D3DXVECTOR3 a = Apply(effect.StarWorld(across, 0, 0.5f));
    D3DXVECTOR3 p = effect.PathValue(0, 0.5f);
    EXPECT_NEAR(a.x, 100 + 2 * p.x, 1e-3);
    EXPECT_NEAR(a.y, 100 + 2 * 10.0f, 1e-3);
    // Turned by +90 degrees: along the path is down the screen, the swing to the left.
    D3DXVECTOR3 d = Apply(effect.StarWorld(down, 0, 0.5f));
    EXPECT_NEAR(d.x, 100 - 2 * 10.0f, 1e-3);
    EXPECT_NEAR(d.y, 100 + 2 * p.x, 1e-3);
    // Every flight lands on its end.
    EXPECT_NEAR(Apply(effect.StarWorld(down, 0, 1.0f)).y, 300.0f, 1e-3);
    // Stars 8 to 15 reuse the paths with the swing doubled.
    D3DXVECTOR3 second = Apply(effect.StarWorld(across, 8, 0.5f));
    EXPECT_NEAR(second.x, a.x, 1e-3);
    EXPECT_NEAR(second.y, 100 + 2 * 20.0f, 1e-3);
}

TEST_F(StageStarsTest, AFlightWithoutDirectionIsDroppedAndAMissingPathFliesStraight)
{
    ClearEffect_StageChallenge effect;
    ASSERT_EQ(ParseStarPaths("", effect.m_Paths), 0);
    effect.AddFlight(0, 50, 120, 80, 120, 80);
    EXPECT_TRUE(effect.Flights().empty());
    effect.AddFlight(1, 50, 0, 0, 200, 0);
    ASSERT_EQ(effect.Flights().size(), 1u);
    D3DXVECTOR3 at = Apply(effect.StarWorld(effect.Flights()[0], 3, 0.25f));
    EXPECT_NEAR(at.x, 50.0f, 1e-3);
    EXPECT_NEAR(at.y, 0.0f, 1e-3);
    effect.Update(0.5f);
    effect.Draw(nullptr);
    for (const auto& triangle : tail.triangles)
        for (const StarTailVertex& v : triangle)
            EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y));
}

TEST_F(StageStarsTest, AFlightEndsInTheUpdateThatTakesItPastOneSecond)
{
    ClearEffect_StageChallenge effect;
    effect.AddFlight(0, 50, 0, 0, 100, 0);
    effect.Update(0.4f);
    effect.AddFlight(1, 50, 0, 0, 100, 0);
    effect.Update(0.6f);
    ASSERT_EQ(effect.Flights().size(), 2u);
    effect.Update(0.01f);
    ASSERT_EQ(effect.Flights().size(), 1u);
    EXPECT_EQ(effect.Flights()[0].kind, 1);
    EXPECT_NEAR(effect.Flights()[0].time, 0.61f, 1e-5);
}

TEST_F(StageStarsTest, TheTailFadesBackAlongThePathAndIsTwentyPixelsWide)
{
    ClearEffect_StageChallenge effect;
    UsePaths(effect, 0.0f);
    effect.m_Colours[0] = 0xC8FF8040;
    effect.AddFlight(0, 9, 0, 0, 300, 0);
    effect.Update(0.05f);
    std::vector<StarTailPoint> early = effect.TailPoints(effect.Flights()[0], 0);
    ASSERT_EQ(early.size(), 2u); // t and t - 0.045
    effect.Update(0.45f);
    std::vector<StarTailPoint> tail = effect.TailPoints(effect.Flights()[0], 0);
    ASSERT_EQ(tail.size(), 10u);
    for (size_t i = 0; i < tail.size(); ++i) {
        const int alpha = static_cast<int>(tail[i].colour >> 24);
        EXPECT_EQ(alpha, static_cast<int>(std::lround(200.0 * (10 - static_cast<int>(i)) / 10))) << i;
        EXPECT_EQ(tail[i].colour & 0xFFFFFF, 0xFF8040u);
        EXPECT_NEAR(std::hypot(tail[i].a.x - tail[i].b.x, tail[i].a.y - tail[i].b.y), 20.0f, 1e-3);
        if (i > 0) {
            EXPECT_LT(tail[i].at.x, tail[i - 1].at.x);
        }
    }
    // Four stars of the smallest tier, nine quads of two triangles each.
    effect.Draw(nullptr);
    EXPECT_EQ(tail.size() - 1, 9u);
    EXPECT_EQ(this->tail.triangles.size(), 4u * 9u * 2u);
    const auto& first = this->tail.triangles[0];
    EXPECT_EQ(first[0].u, 0.0f);
    EXPECT_EQ(first[1].v, 1.0f);
    EXPECT_EQ(first[2].u, 1.0f);
}

struct PathFileCase {
    const char* name;
    std::string text;
    int whole;
};

class PathFiles : public ::testing::TestWithParam<PathFileCase> {};

TEST_P(PathFiles, ReadOnlyWholePathsWithinTheirBounds)
{
    std::array<StarPath, 8> paths;
    EXPECT_EQ(ParseStarPaths(GetParam().text, paths), GetParam().whole);
    for (int i = 0; i < 8; ++i) {
        if (i < GetParam().whole) {
            ASSERT_FALSE(paths[i].m_Keys.empty());
            EXPECT_FLOAT_EQ(paths[i].m_fMaxTime, paths[i].m_Keys.back().time);
        } else {
            EXPECT_TRUE(paths[i].m_Keys.empty()) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, PathFiles,
    ::testing::Values(PathFileCase{"Empty", "", 0}, PathFileCase{"NoCount", "paths\n", 0},
                      PathFileCase{"ZeroCount", "0\n", 0}, PathFileCase{"NegativeCount", "-3\n", 0},
                      PathFileCase{"Eight", StraightPaths(5), 8},
                      PathFileCase{"MoreThanEightReadsEight", StraightPaths(5, 12), 8},
                      PathFileCase{"FewerThanCounted", StraightPaths(5, 3).replace(0, 1, "6"), 3},
                      PathFileCase{"ZeroPoints", "1\nx\n0\nend\n", 0},
                      PathFileCase{"HugePointCount", "1\nx\n999999999\n1 2 3 4 5\n", 0},
                      PathFileCase{"PointLineTooShort", "2\nx\n2\n0 0 0 0 0\n1 x\nend\n", 0},
                      PathFileCase{"NotANumber", "1\nx\n1\n0 nan 0 0 0\nend\n", 0},
                      PathFileCase{"TruncatedAfterSecondPath", StraightPaths(1, 2) + "", 2},
                      PathFileCase{"MissingClosingLineAtTheEnd", "1\nx\n2\n0 0 0 0 0\n1 100 0 0 0\n", 1},
                      PathFileCase{"CarriageReturns", "1\r\n\r\nx\r\n2\r\n0 0 0 0 0\r\n1 100 0 0 0\r\nend\r\n", 1},
                      PathFileCase{"LongLine", "1\n" + std::string(5000, 'x') + "\n1\n0 1 2 0 0\nend\n", 1}),
    [](const ::testing::TestParamInfo<PathFileCase>& info) { return std::string(info.param.name); });

} // namespace
