// Colour comparison for the end-to-end screenshots: a pixel matches when every channel lies
// within the tolerance.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

struct Rgb {
    int r, g, b;
};

inline ::testing::AssertionResult Near(Rgb actual, Rgb expected, int tolerance)
{
    if (std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.r << "," << actual.g << "," << actual.b << ") is not near ("
                                         << expected.r << "," << expected.g << "," << expected.b << ")";
}
