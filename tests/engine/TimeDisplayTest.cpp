// The two-number clock: the digits it shows at the layout's four windows, and which of them draw.
#include "engine/TimeDisplay.h"

#include "engine/DigitFixture.h"
#include "support/kv/KVTestKit.h"

#include "kv/KVLabel.h"
#include "kv/KVWindowFactory.h"

#include <gtest/gtest.h>

namespace {

std::string ClockLayout(int windows, const std::string& firstColour = "")
{
    std::string xml = "<kevrin version=\"2\"><base type=\"WND\" name=\"Wnd_clock\"><pos x=\"100\" y=\"50\"/>"
                      "<rect l=\"0\" t=\"0\" r=\"200\" b=\"40\"/>";
    for (int i = 1; i <= windows; ++i)
        xml += "<child type=\"LABEL\" name=\"Pic_num_time_" + std::to_string(i) + "\"><pos x=\"" +
               std::to_string(i * 30) + "\" y=\"5\"/><rect l=\"0\" t=\"0\" r=\"20\" b=\"30\"/>" +
               (i == 1 && !firstColour.empty() ? "<Color val=\"" + firstColour + "\"/>" : "") + "</child>";
    return xml + "</base></kevrin>";
}

class TimeDisplayTest : public enginetest::DigitFixture {
protected:
    kv::KVWnd* Layout(int windows)
    {
        kv::KVWnd* clock = env.LoadText(ClockLayout(windows));
        EXPECT_NE(clock, nullptr);
        clock->SetVisible(true);
        return clock;
    }

    std::string Frame(TimeNumberPair& pair, int first, int second, std::vector<float>* xs = nullptr)
    {
        pair.m_nFirst = first;
        pair.m_nSecond = second;
        pair.Update(0.016f);
        backend.sprites.clear();
        pair.Draw();
        return Drawn(xs);
    }

    testsupport::KVEnvironment env;
};

TEST_F(TimeDisplayTest, DrawsTensOfBothNumbersThenOnesAtTheirWindows)
{
    TimeNumberPair pair;
    pair.Bind(Layout(4), 0);
    std::vector<float> xs;
    // 125 seconds: 2 minutes and 5 seconds, drawn "0", "0", "2", "5" in that order.
    EXPECT_EQ(Frame(pair, 125 / 60, 125 % 60, &xs), "0025");
    EXPECT_EQ(xs, (std::vector<float>{130, 190, 160, 220}));
    EXPECT_FLOAT_EQ(backend.sprites[0].matrix._42, 55.0f);
    EXPECT_EQ(backend.sprites[0].colour, TimeNumberPair::kDefaultColour);
    EXPECT_EQ(Frame(pair, 123, 7), "2037") << "only the last two digits of 123 show";
}

TEST_F(TimeDisplayTest, DrawsOnlyTheDigitsWhoseWindowsAreShown)
{
    TimeNumberPair firstOnly;
    firstOnly.Bind(Layout(2), 0);
    EXPECT_EQ(Frame(firstOnly, 12, 34), "12");

    TimeNumberPair pair;
    kv::KVWnd* clock = Layout(4);
    pair.Bind(clock, 0);
    clock->FindWindow(L"Pic_num_time_3")->SetVisible(false);
    EXPECT_EQ(Frame(pair, 12, 34), "124");
    clock->SetVisible(false);
    EXPECT_EQ(Frame(pair, 12, 34), "");
}

TEST_F(TimeDisplayTest, DrawsInTheColourOfTheFirstDigitLabel)
{
    static kv::KVWindowFactoryT<kv::KVLabel> labels(L"Label");
    env.system->GetRegistry().Unregister(L"Label");
    env.system->GetRegistry().Register(&labels);
    kv::KVWnd* clock = env.LoadText(ClockLayout(4, "#11223344"));
    ASSERT_NE(clock, nullptr);
    clock->SetVisible(true);
    TimeNumberPair pair;
    pair.Bind(clock, 0);
    EXPECT_EQ(pair.m_dwColour, 0x44112233u);
    ASSERT_EQ(Frame(pair, 1, 2), "0012");
    EXPECT_EQ(backend.sprites[0].colour, 0x44112233u);
}

TEST_F(TimeDisplayTest, ARowOutsideTheSkinTableLoadsNoDigits)
{
    TimeNumberPair pair;
    pair.Bind(Layout(4), 200);
    EXPECT_EQ(Frame(pair, 12, 34), "");
}

} // namespace
