#include <d3d9/D3DXMath.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kEps = 1e-5f;
constexpr float kHalfPi = D3DX_PI / 2.0f;

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, float eps = kEps)
{
    EXPECT_NEAR(actual.x, expected.x, eps);
    EXPECT_NEAR(actual.y, expected.y, eps);
    EXPECT_NEAR(actual.z, expected.z, eps);
}

void ExpectNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected, float eps = kEps)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.m[r][c], expected.m[r][c], eps) << "element " << r + 1 << c + 1;
}

D3DXVECTOR3 Transform(const D3DXVECTOR3& v, const D3DXMATRIX& m)
{
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &v, &m);
    return out;
}

D3DXMATRIX Identity()
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

TEST(D3DXMathTest, RowVectorProductsApplyTheLeftMatrixFirst)
{
    D3DXMATRIX scale, move, both;
    D3DXMatrixScaling(&scale, 2.0f, 3.0f, 4.0f);
    D3DXMatrixTranslation(&move, 1.0f, 2.0f, 3.0f);
    D3DXMatrixMultiply(&both, &scale, &move);
    ExpectNear(Transform({1.0f, 1.0f, 1.0f}, both), {3.0f, 5.0f, 7.0f});
    // The other order moves first and then scales the moved point.
    ExpectNear(Transform({1.0f, 1.0f, 1.0f}, move * scale), {4.0f, 9.0f, 16.0f});

    // The output may be one of the inputs.
    D3DXMatrixMultiply(&scale, &scale, &move);
    ExpectNear(scale, both);
}

struct RotationCase {
    const char* name;
    D3DXMATRIX (*build)();
    D3DXVECTOR3 in;
    D3DXVECTOR3 expected;
};

D3DXMATRIX RotX90() { D3DXMATRIX m; return *D3DXMatrixRotationX(&m, kHalfPi); }
D3DXMATRIX RotY90() { D3DXMATRIX m; return *D3DXMatrixRotationY(&m, kHalfPi); }
D3DXMATRIX RotZ90() { D3DXMATRIX m; return *D3DXMatrixRotationZ(&m, kHalfPi); }
D3DXMATRIX AxisX90()
{
    D3DXMATRIX m;
    D3DXVECTOR3 axis(3.0f, 0.0f, 0.0f); // not unit length: the axis is normalised
    return *D3DXMatrixRotationAxis(&m, &axis, kHalfPi);
}
D3DXMATRIX AxisDiagonal120()
{
    // A third of a turn about (1, 1, 1) cycles the axes x -> y -> z.
    D3DXMATRIX m;
    D3DXVECTOR3 axis(1.0f, 1.0f, 1.0f);
    return *D3DXMatrixRotationAxis(&m, &axis, 2.0f * D3DX_PI / 3.0f);
}
D3DXMATRIX QuatZ90()
{
    const float h = std::sqrt(0.5f);
    D3DXQUATERNION q(0.0f, 0.0f, h, h);
    D3DXMATRIX m;
    return *D3DXMatrixRotationQuaternion(&m, &q);
}
D3DXMATRIX YawPitchRoll()
{
    // Roll (z) first, then pitch (x), then yaw (y).
    D3DXMATRIX m;
    return *D3DXMatrixRotationYawPitchRoll(&m, kHalfPi, kHalfPi, kHalfPi);
}

class RotationTest : public ::testing::TestWithParam<RotationCase> {};

TEST_P(RotationTest, TurnsCounterClockwiseSeenFromThePositiveAxis)
{
    const RotationCase& c = GetParam();
    ExpectNear(Transform(c.in, c.build()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rotations, RotationTest,
    ::testing::Values(RotationCase{"X", RotX90, {0, 1, 0}, {0, 0, 1}},
                      RotationCase{"Y", RotY90, {0, 0, 1}, {1, 0, 0}},
                      RotationCase{"Z", RotZ90, {1, 0, 0}, {0, 1, 0}},
                      RotationCase{"AxisX", AxisX90, {0, 1, 0}, {0, 0, 1}},
                      RotationCase{"AxisDiagonal", AxisDiagonal120, {1, 0, 0}, {0, 1, 0}},
                      RotationCase{"QuaternionZ", QuatZ90, {1, 0, 0}, {0, 1, 0}},
                      // x -roll-> y -pitch-> z -yaw-> x
                      RotationCase{"YawPitchRoll", YawPitchRoll, {1, 0, 0}, {1, 0, 0}},
                      // y -roll-> -x -pitch-> -x -yaw-> z
                      RotationCase{"YawPitchRollY", YawPitchRoll, {0, 1, 0}, {0, 0, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(D3DXMathTest, QuaternionFromMatrixRoundTripsEveryBranch)
{
    // Turns whose matrices make each of trace, _11, _22 and _33 the largest diagonal term.
    const D3DXVECTOR3 axes[] = {{0.3f, -0.5f, 0.8f}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}};
    const float angles[] = {0.4f, 3.0f, D3DX_PI};
    for (const D3DXVECTOR3& axis : axes) {
        for (float angle : angles) {
            D3DXMATRIX m;
            D3DXMatrixRotationAxis(&m, &axis, angle);
            D3DXQUATERNION q;
            D3DXQuaternionRotationMatrix(&q, &m);
            EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 1e-4f);
            D3DXMATRIX back;
            D3DXMatrixRotationQuaternion(&back, &q);
            ExpectNear(back, m, 1e-4f);
        }
    }
}

TEST(D3DXMathTest, InverseUndoesTheMatrixAndRefusesSingularOnes)
{
    D3DXMATRIX rot, scale, move;
    D3DXVECTOR3 axis(0.2f, 1.0f, -0.4f);
    D3DXMatrixRotationAxis(&rot, &axis, 0.7f);
    D3DXMatrixScaling(&scale, 2.0f, 0.5f, 3.0f);
    D3DXMatrixTranslation(&move, -4.0f, 9.0f, 1.5f);
    const D3DXMATRIX m = scale * rot * move;

    D3DXMATRIX inv;
    float det = 0.0f;
    ASSERT_EQ(D3DXMatrixInverse(&inv, &det, &m), &inv);
    EXPECT_NEAR(det, 3.0f, 1e-4f);
    ExpectNear(m * inv, Identity(), 1e-5f);

    D3DXMATRIX flat;
    D3DXMatrixScaling(&flat, 1.0f, 0.0f, 1.0f);
    D3DXMATRIX untouched = Identity();
    EXPECT_EQ(D3DXMatrixInverse(&untouched, &det, &flat), nullptr);
    EXPECT_EQ(det, 0.0f);
    EXPECT_EQ(untouched, Identity());
}

TEST(D3DXMathTest, LookAtPutsTheTargetOnTheViewAxis)
{
    const D3DXVECTOR3 eye(3.0f, 4.0f, 10.0f), at(3.0f, 4.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX rh, lh;
    D3DXMatrixLookAtRH(&rh, &eye, &at, &up);
    D3DXMatrixLookAtLH(&lh, &eye, &at, &up);
    // Right-handed views look down -z, left-handed down +z.
    ExpectNear(Transform(at, rh), {0.0f, 0.0f, -10.0f});
    ExpectNear(Transform(at, lh), {0.0f, 0.0f, 10.0f});
    // Up stays up in both; right is +x for the right-handed view seen from +z.
    ExpectNear(Transform({3.0f, 5.0f, 0.0f}, rh), {0.0f, 1.0f, -10.0f});
    ExpectNear(Transform({4.0f, 4.0f, 0.0f}, rh), {1.0f, 0.0f, -10.0f});
    ExpectNear(Transform({4.0f, 4.0f, 0.0f}, lh), {-1.0f, 0.0f, 10.0f});
}

TEST(D3DXMathTest, ProjectionsMapTheirVolumeToDirect3DClipSpace)
{
    const float fov = kHalfPi, aspect = 2.0f, zn = 1.0f, zf = 100.0f;
    D3DXMATRIX rh, lh;
    D3DXMatrixPerspectiveFovRH(&rh, fov, aspect, zn, zf);
    D3DXMatrixPerspectiveFovLH(&lh, fov, aspect, zn, zf);
    // Depth runs 0 at the near plane to 1 at the far plane; the frustum edge at 45 degrees
    // reaches y = 1, and x reaches 1 at aspect times the height.
    ExpectNear(Transform({0.0f, 0.0f, -zn}, rh), {0.0f, 0.0f, 0.0f});
    ExpectNear(Transform({0.0f, 0.0f, -zf}, rh), {0.0f, 0.0f, 1.0f});
    ExpectNear(Transform({2.0f * 10.0f, 10.0f, -10.0f}, rh), {1.0f, 1.0f, 0.909091f});
    ExpectNear(Transform({0.0f, 0.0f, zn}, lh), {0.0f, 0.0f, 0.0f});
    ExpectNear(Transform({-20.0f, 10.0f, zf}, lh), {-0.1f, 0.1f, 1.0f});

    D3DXMATRIX ortho, offCenter;
    D3DXMatrixOrthoLH(&ortho, 8.0f, 4.0f, 0.0f, 10.0f);
    ExpectNear(Transform({4.0f, -2.0f, 5.0f}, ortho), {1.0f, -1.0f, 0.5f});
    // A pixel-style box: left 0, right 1024, bottom 768, top 0.
    D3DXMatrixOrthoOffCenterLH(&offCenter, 0.0f, 1024.0f, 768.0f, 0.0f, 0.0f, 1.0f);
    ExpectNear(Transform({0.0f, 0.0f, 0.0f}, offCenter), {-1.0f, 1.0f, 0.0f});
    ExpectNear(Transform({1024.0f, 768.0f, 1.0f}, offCenter), {1.0f, -1.0f, 1.0f});
}

TEST(D3DXMathTest, VectorHelpers)
{
    D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0), out;
    ExpectNear(*D3DXVec3Cross(&out, &x, &y), {0, 0, 1});
    D3DXVECTOR3 v(3, 4, 0);
    EXPECT_FLOAT_EQ(D3DXVec3Length(&v), 5.0f);
    EXPECT_FLOAT_EQ(D3DXVec3Dot(&v, &x), 3.0f);
    ExpectNear(*D3DXVec3Normalize(&out, &v), {0.6f, 0.8f, 0.0f});
    D3DXVECTOR3 zero(0, 0, 0);
    EXPECT_EQ(*D3DXVec3Normalize(&out, &zero), zero);
    ExpectNear(*D3DXVec3Lerp(&out, &x, &v, 0.5f), {2.0f, 2.0f, 0.0f});

    D3DXMATRIX move;
    D3DXMatrixTranslation(&move, 5, 6, 7);
    ExpectNear(*D3DXVec3TransformNormal(&out, &x, &move), x);
    ExpectNear(*D3DXVec3TransformCoord(&out, &x, &move), {6, 6, 7});
}

TEST(D3DXMathTest, ColourConvertsToAndFromArgb)
{
    const D3DXCOLOR c(0x80FF4000u);
    EXPECT_FLOAT_EQ(c.a, 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(c.r, 1.0f);
    EXPECT_FLOAT_EQ(c.g, 64.0f / 255.0f);
    EXPECT_FLOAT_EQ(c.b, 0.0f);
    EXPECT_EQ(static_cast<DWORD>(c), 0x80FF4000u);
    // Out-of-range channels clamp; halves round to the nearest byte.
    EXPECT_EQ(static_cast<DWORD>(D3DXCOLOR(2.0f, -1.0f, 0.5f, 1.0f)), 0xFFFF0080u);
    const D3DXCOLOR mid = D3DXCOLOR(0xFF000000u) + (D3DXCOLOR(0xFFFFFFFFu) - D3DXCOLOR(0xFF000000u)) * 0.5f;
    EXPECT_EQ(static_cast<DWORD>(mid), 0xFF808080u);
}

} // namespace
