// Uniform cubic B-spline: the basis table, one-segment evaluation and the curve walk.
#include <lumenkit/BSpline.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int kRows = 1024;
using BasisRow = std::array<float, 4>;

// Row k holds the four basis values at t = k / 1023, t summed in single precision.
std::array<BasisRow, kRows> BuildBasisTable()
{
    std::array<BasisRow, kRows> table{};
    const float sixth = 0.16666667f;
    float t = 0.0f;
    for (BasisRow& row : table) {
        const float t2 = t * t;
        const float t3 = t2 * t;
        row[0] = (1.0f - 3.0f * t + 3.0f * t2 - t3) * sixth;
        row[1] = (3.0f * t3 - 6.0f * t2 + 4.0f) * sixth;
        row[2] = (1.0f + 3.0f * t + 3.0f * t2 - 3.0f * t3) * sixth;
        row[3] = t3 * sixth;
        t += 0.0009775171f;
    }
    return table;
}

const std::array<BasisRow, kRows> g_Basis = BuildBasisTable();
float g_ControlX[4] = {};
float g_ControlY[4] = {};
float g_ResultX = 0.0f;
float g_ResultY = 0.0f;
float g_ddStorage[4] = {};

// The row of t, clamped before the conversion so that no float reaches an int out of range.
const BasisRow& RowOf(float t)
{
    const float scaled = t * static_cast<float>(kRows - 1);
    if (!(scaled > 0.0f))
        return g_Basis[0];
    return g_Basis[static_cast<int>(std::min(scaled, static_cast<float>(kRows - 1)))];
}

// The first segment i (0 to count - 4) whose knot lies after the time, or -1.
int FindSegment(int count, const float* knots, float time)
{
    for (int i = 0; i <= count - 4; ++i) {
        if (time < knots[i])
            return i;
    }
    return -1;
}

} // namespace

float* g_dd = g_ddStorage;

void bspline(float t)
{
    const BasisRow& b = RowOf(t);
    g_ResultX = b[0] * g_ControlX[0] + b[1] * g_ControlX[1] + b[2] * g_ControlX[2] + b[3] * g_ControlX[3];
    g_ResultY = b[0] * g_ControlY[0] + b[1] * g_ControlY[1] + b[2] * g_ControlY[2] + b[3] * g_ControlY[3];
}

void bspline_d(float t)
{
    const BasisRow& b = RowOf(t);
    std::copy(b.begin(), b.end(), g_dd);
}

void makeBS(int count, float* xs, float* ys, float* knots, int time, float& outX, float& outY)
{
    if (count < 5 || !xs || !ys || !knots)
        return;
    float t = static_cast<float>(time);
    int segment = FindSegment(count, knots, t);
    if (segment < 0) {
        // Past the segments: wrap by whole curve lengths, in one step however large the time.
        const float length = std::trunc(knots[count - 1]);
        if (!(length >= 1.0f))
            return;
        const float past = t - knots[count - 4];
        t -= length * (std::floor(past / length) + 1.0f);
        segment = FindSegment(count, knots, t);
        if (segment < 0)
            return;
    }
    // Segment i starts at knots[i - 1]: a time before the first knot uses the first segment
    // that has one, never a knot before the array.
    const int i = std::max(segment, 1);
    for (int j = 0; j < 4; ++j) {
        g_ControlX[j] = xs[i + j];
        g_ControlY[j] = ys[i + j];
    }
    const float span = knots[i] - knots[i - 1];
    const float u = span > 0.0f ? (t - knots[i - 1]) / span : 0.0f;
    bspline(u);
    outX = g_ResultX;
    outY = g_ResultY;
}

void DrawBS(int, float*, float*) {}
