// Digit displays: the digits a value shows and where, counting towards a target with its
// sounds, and the bonus text's three seconds.
#include "engine/DigitDisplay.h"

#include "engine/DigitFixture.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> g_played;

void RecordSound(int key)
{
    g_played.push_back(key);
}

class DigitDisplayTest : public enginetest::DigitFixture {
protected:
    void SetUp() override
    {
        DigitFixture::SetUp();
        g_played.clear();
        SetDigitSoundPlayer(RecordSound);
    }
    void TearDown() override { SetDigitSoundPlayer(nullptr); }

    std::string Show(DigitDisplay& display, int value, std::vector<float>* xs = nullptr)
    {
        display.SetValue(value);
        display.Update(0.016f);
        backend.sprites.clear();
        display.Render(nullptr, 0.0f);
        return Drawn(xs);
    }
};

struct ShowCase {
    int value;
    int leadingZeros;
    const char* drawn;
    int shownCount;
};

class DigitDisplayValues : public DigitDisplayTest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(DigitDisplayValues, ShowsTheValueInFourDigits)
{
    DigitDisplay display;
    display.Create(4, 0, 0, 0, 100, 30, 1);
    display.m_bLeadingZeros = GetParam().leadingZeros;
    EXPECT_EQ(Show(display, GetParam().value), GetParam().drawn);
    EXPECT_EQ(display.m_nShownCount, GetParam().shownCount);
}

// Too large a value shows nines; 0 shows one zero in the last place unless zeros lead.
INSTANTIATE_TEST_SUITE_P(Values, DigitDisplayValues,
                         ::testing::Values(ShowCase{42, 0, "42", 2}, ShowCase{42, 1, "0042", 4},
                                           ShowCase{10000, 0, "9999", 4}, ShowCase{0, 0, "0", 1},
                                           ShowCase{0, 1, "0000", 4}, ShowCase{7305, 0, "7305", 4},
                                           ShowCase{-5, 0, "0", 1}));

TEST_F(DigitDisplayTest, AlignsTheShownDigitsInTheArea)
{
    struct Case {
        int alignment;
        float firstX;
    } cases[] = {{0, 10 + 29}, {1, 10}, {2, 10 + 58}};
    for (const Case& c : cases) {
        DigitDisplay display;
        display.Create(4, 0, 0, 0, 100, 30, c.alignment);
        display.m_nSpacing = 2;
        display.m_fX = 10;
        std::vector<float> xs;
        ASSERT_EQ(Show(display, 42, &xs), "42");
        EXPECT_FLOAT_EQ(xs[0], c.firstX) << "alignment " << c.alignment;
        EXPECT_FLOAT_EQ(xs[1], c.firstX + 22) << "alignment " << c.alignment;
    }
}

TEST_F(DigitDisplayTest, CountsTowardsTheTargetAndComesToRest)
{
    DigitDisplay display;
    display.Create(4, 0, 0, 0, 100, 30, 1);
    display.m_bCounting = 1;
    display.SetValue(5);
    int updates = 0;
    while (static_cast<int>(display.m_fShownValue) != 5 && updates < 100) {
        display.Update(1.0f / 60.0f);
        ++updates;
    }
    EXPECT_GE(updates, 6) << "50 a second at 60 frames a second";
    EXPECT_LE(updates, 7);
    for (int i = 0; i < 30; ++i)
        display.Update(1.0f / 60.0f);
    EXPECT_EQ(static_cast<int>(display.m_fShownValue), 5);
    EXPECT_LT(display.m_fShownValue, 6.0f);
}

TEST_F(DigitDisplayTest, SlowFramesStopAtTheTargetInsteadOfSwingingAroundIt)
{
    DigitDisplay display;
    display.Create(4, 0, 0, 0, 100, 30, 1);
    display.m_bCounting = 1;
    display.SetValue(3);
    for (int i = 0; i < 10; ++i) {
        display.Update(0.1f); // 10 frames a second: a step of 5
        EXPECT_EQ(static_cast<int>(display.m_fShownValue), 3) << "update " << i;
    }
    display.SetValue(0);
    display.Update(0.1f);
    EXPECT_EQ(static_cast<int>(display.m_fShownValue), 0);
}

TEST_F(DigitDisplayTest, PlaysACountingSoundBySizeOfTheChange)
{
    struct Case {
        int from, to;
        std::vector<int> digitKeys, placedKeys;
    } cases[] = {
        {0, 30000, {110}, {110}}, {0, 5000, {109}, {109}}, {0, 1000, {108}, {108}},
        {500, 200, {108}, {}}, {7, 7, {}, {}},
    };
    for (const Case& c : cases) {
        DigitDisplay digits;
        PlacedDigitDisplay placed;
        digits.SetValue(c.from);
        placed.SetValue(c.from);
        digits.m_bCounting = placed.m_bCounting = 1;
        g_played.clear();
        digits.SetValue(c.to);
        digits.SetValue(c.to);
        EXPECT_EQ(g_played, c.digitKeys) << c.from << " -> " << c.to;
        g_played.clear();
        placed.SetValue(c.to);
        placed.SetValue(c.to);
        EXPECT_EQ(g_played, c.placedKeys) << c.from << " -> " << c.to;
    }
}

TEST_F(DigitDisplayTest, PlacedDigitsSitAtTheirOwnPositions)
{
    PlacedDigitDisplay display;
    const PlacedDigitDisplay::Position at[3] = {{100, 10}, {130, 10}, {170, 25}};
    display.Create(3, 0, at);
    display.m_fX = 5;
    display.m_fY = 7;
    display.m_bCounting = 1;
    display.SetValue(123);
    for (int i = 0; i < 100 && display.m_fShownValue != 123.0f; ++i)
        display.Update(0.1f);
    EXPECT_EQ(display.m_fShownValue, 123.0f) << "stops exactly at the target";
    display.Update(0.0f);
    backend.sprites.clear();
    display.Render();
    std::vector<float> xs;
    ASSERT_EQ(Drawn(&xs), "123");
    EXPECT_FLOAT_EQ(xs[1], 35.0f);
    EXPECT_FLOAT_EQ(xs[2], 75.0f);
    EXPECT_FLOAT_EQ(backend.sprites[2].matrix._42, 22.0f);
}

TEST(BonusMessage, ShowsForThreeSeconds)
{
    ShowBonusMessage();
    UpdateBonusMessage(1.0f);
    UpdateBonusMessage(1.0f);
    EXPECT_GT(GetBonusMessageCountdown(), 0.0f);
    UpdateBonusMessage(1.0f);
    EXPECT_LE(GetBonusMessageCountdown(), 0.0f);
    ShowBonusMessage();
    EXPECT_FLOAT_EQ(GetBonusMessageCountdown(), 3.0f);
    UpdateBonusMessage(5.0f);
}

} // namespace
