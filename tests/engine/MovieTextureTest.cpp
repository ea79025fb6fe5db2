// The movie texture's colour conversion and frame timing arithmetic.
#include "engine/MovieTexture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct YuvCase {
    uint8_t y, u, v;
    uint16_t expect;
};

class MovieYuvConversion : public ::testing::TestWithParam<YuvCase> {};

TEST_P(MovieYuvConversion, ConvertsOnePixelThroughTheTables)
{
    const YuvCase& c = GetParam();
    uint16_t out = 0xABCD;
    MovieTexture::ConvertYuv420(&c.y, 1, &c.u, &c.v, 1, 1, 1, &out);
    EXPECT_EQ(out, c.expect);
}

// Black, white (R = G = B = 254), a saturated red whose green and blue fall below zero, and the
// table ends, where channels clamp at 0 and 255.
INSTANTIATE_TEST_SUITE_P(Colours, MovieYuvConversion,
                         ::testing::Values(YuvCase{16, 128, 128, 0x0000}, YuvCase{235, 128, 128, 0xFFFF},
                                           YuvCase{81, 90, 240, uint16_t((253 >> 3) << 11)},
                                           YuvCase{0, 0, 0, 0x0440}, YuvCase{255, 255, 255, 0xFBFF}));

TEST(MovieYuvConversionLayout, SharesEachChromaSampleAcrossTwoByTwoPixels)
{
    // 3 x 3 picture: chroma planes of 2 x 2, pitches wider than the rows.
    const int w = 3, h = 3, yPitch = 5, uvPitch = 4;
    std::vector<uint8_t> yPlane(yPitch * h, 235);
    std::vector<uint8_t> u(uvPitch * 2, 128), v(uvPitch * 2, 128);
    v[uvPitch + 1] = 240; // bottom-right chroma sample: reddish
    std::vector<uint16_t> out(w * h, 0);
    MovieTexture::ConvertYuv420(yPlane.data(), yPitch, u.data(), v.data(), uvPitch, w, h, out.data());
    for (int i = 0; i < h; ++i)
        for (int j = 0; j < w; ++j) {
            bool reddish = i / 2 == 1 && j / 2 == 1;
            uint16_t px = out[i * w + j];
            EXPECT_EQ(px == 0xFFFF, !reddish) << i << "," << j;
        }
}

struct PeriodCase {
    int num, den, expectMs;
};

class MovieFramePeriod : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(MovieFramePeriod, DividesOnIntegers)
{
    EXPECT_EQ(MovieTexture::FramePeriod(GetParam().num, GetParam().den), GetParam().expectMs);
}

// 29.97 runs as 29 frames a second; rates below one frame a second and missing rates no longer
// divide by zero; rates above 1000 no longer give a period of 0.
INSTANTIATE_TEST_SUITE_P(Rates, MovieFramePeriod,
                         ::testing::Values(PeriodCase{30000, 1001, 34}, PeriodCase{25, 1, 40}, PeriodCase{1, 2, 2000},
                                           PeriodCase{0, 1, 40}, PeriodCase{25, 0, 40}, PeriodCase{90000, 1, 1}));

} // namespace
