// The repeat filter of the debugger output and the log: a repeated line is said once, and its
// repeats once with their count when its window has ended.
#include "win32/Debug.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

TEST(RepeatFilterTest, SaysALineOnceAndItsRepeatsWithTheirCountWhenTheWindowEnds)
{
    struct Step {
        const char* text;
        int64_t atMs;
        Lines said;
    };
    platform::RepeatFilter filter(1000);
    const Step steps[] = {
        {"a", 0, {"a"}},
        {"a", 10, {}},
        {"a", 999, {}},
        {"b", 600, {"b"}},
        // a's window ended: its count comes before the new line.
        {"c", 1100, {"a (repeated 2 more times)", "c"}},
        // b came once: its window ends without a count, and b is said again as itself.
        {"b", 1700, {"b"}},
        {"c", 1800, {}},
        // The count line of c stands for the repeat within the window and this one.
        {"c", 2200, {"c (repeated 2 more times)"}},
        {"c", 2300, {}},
    };
    for (const Step& step : steps)
        EXPECT_EQ(filter.Pass(step.text, step.atMs), step.said) << step.text << " at " << step.atMs;
    EXPECT_EQ(filter.Drain(), (Lines{"c (repeated 1 more times)"}));
    EXPECT_EQ(filter.Drain(), Lines{});
}

TEST(RepeatFilterTest, AnEventEveryFrameCostsALineASecondAndManyTextsStayBounded)
{
    platform::RepeatFilter filter(1000, 4);
    size_t lines = 0;
    for (int64_t ms = 0; ms < 60000; ms += 16)
        lines += filter.Pass("Got garbage on server socket, too short", ms).size();
    EXPECT_LE(lines, 61u);
    // More texts than it keeps: the oldest is let go with its count, never lost silently.
    platform::RepeatFilter small(1000, 2);
    small.Pass("one", 0);
    small.Pass("one", 1);
    small.Pass("two", 2);
    EXPECT_EQ(small.Pass("three", 3), (Lines{"three", "one (repeated 1 more times)"}));
}

} // namespace
