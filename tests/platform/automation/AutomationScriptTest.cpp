// The automation script: lines of "<frame> <action> <arguments>", comments, bad lines reported
// with their line numbers and skipped, actions in frame order.
#include <win32/Automation.h>

#include <gtest/gtest.h>

#include <sstream>

namespace {

using platform::AutomationAction;
using platform::AutomationVerb;

std::vector<AutomationAction> Parse(const std::string& script, std::string* errors = nullptr)
{
    std::ostringstream out;
    auto actions = platform::ParseAutomationScript(script, "script.txt", out);
    if (errors)
        *errors = out.str();
    return actions;
}

TEST(AutomationScriptTest, EveryActionIsReadWithItsArguments)
{
    auto actions = Parse("# logo, then the menu\n"
                         "\n"
                         "30 shot logo.png\n"
                         "  5 move 10 20\r\n"
                         "40 click 512 384\n"
                         "41 rclick 0 767\n"
                         "50 text 플레이어 one\n"
                         "60 key 1b\n"
                         "60 key 0x0D\n"
                         "90 quit\n");
    ASSERT_EQ(actions.size(), 10u);
    EXPECT_EQ(actions[0].verb, AutomationVerb::Move);
    EXPECT_EQ(actions[0].frame, 5);
    EXPECT_EQ(actions[0].x, 10);
    EXPECT_EQ(actions[0].y, 20);
    EXPECT_EQ(actions[1].verb, AutomationVerb::Shot);
    EXPECT_EQ(actions[1].text, "logo.png");
    EXPECT_EQ(actions[2].verb, AutomationVerb::Click);
    EXPECT_EQ(actions[3].verb, AutomationVerb::RightClick);
    EXPECT_EQ(actions[3].y, 767);
    EXPECT_EQ(actions[4].verb, AutomationVerb::Text);
    EXPECT_EQ(actions[4].text, "플레이어 one");
    // A key goes down at its frame and up at the next one; lines of one frame keep their order.
    struct Expect {
        int frame;
        AutomationVerb verb;
        UINT key;
    };
    const Expect keys[] = {{60, AutomationVerb::Key, 0x1B},
                           {60, AutomationVerb::Key, 0x0D},
                           {61, AutomationVerb::KeyUp, 0x1B},
                           {61, AutomationVerb::KeyUp, 0x0D}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(actions[5 + i].frame, keys[i].frame) << i;
        EXPECT_EQ(actions[5 + i].verb, keys[i].verb) << i;
        EXPECT_EQ(actions[5 + i].key, keys[i].key) << i;
    }
    EXPECT_EQ(actions[9].verb, AutomationVerb::Quit);
}

TEST(AutomationScriptTest, APressHoldsTheButtonUntilTheNextFrame)
{
    auto actions = Parse("12 press 300 200\n12 key 45\n");
    ASSERT_EQ(actions.size(), 4u);
    EXPECT_EQ(actions[0].verb, AutomationVerb::Press);
    EXPECT_EQ(actions[0].frame, 12);
    EXPECT_EQ(actions[0].x, 300);
    EXPECT_EQ(actions[0].y, 200);
    EXPECT_EQ(actions[2].verb, AutomationVerb::Release);
    EXPECT_EQ(actions[2].frame, 13);
    EXPECT_EQ(actions[2].x, 300);
    EXPECT_EQ(actions[3].verb, AutomationVerb::KeyUp);
}

TEST(AutomationScriptTest, BadLinesAreReportedWithTheirNumberAndSkipped)
{
    const char* bad[] = {"x key 1b",      "-1 quit",       "10",           "10 jump",        "10 key",
                         "10 key 1g",     "10 key 100",    "10 key 0",     "10 move 5",      "10 move -1 5",
                         "10 click 1 2 3", "10 press 4", "10 move 70000 1", "10 text",    "10 shot",        "10 quit now",
                         "99999999999 quit", "10 wait", "10 wait go.txt a.png b.png",
                         "10 frames", "10 frames a.txt b.txt"};
    std::string script;
    for (const char* line : bad)
        script += std::string(line) + "\n";
    script += "7 quit\n";
    std::string errors;
    auto actions = Parse(script, &errors);
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].frame, 7);
    std::istringstream lines(errors);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        EXPECT_EQ(line.rfind("script.txt:" + std::to_string(count) + ": ", 0), 0u) << line;
    }
    EXPECT_EQ(count, static_cast<int>(std::size(bad)));
}

} // namespace
