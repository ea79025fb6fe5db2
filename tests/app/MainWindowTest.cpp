#include "engine/EngineFakes.h"

#include "app/MainWindow.h"
#include "net/AchievementsSteam.h"
#include "engine/SceneManager.h"

#include <helvane/DXUtil.h>
#include <win32/Time.h>

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

TEST(CommandLineTest, SwitchesAreWholeArguments)
{
    struct Case {
        const wchar_t* line;
        int reset;
        int clear;
    };
    for (Case c : {Case{L"-c", 1, 0}, Case{L"-a", 0, 1}, Case{L"x-cy -a", 0, 1}, Case{L"", 0, 0},
                   Case{L"-C -A", 0, 0}, Case{L"  -a\t-c ", 1, 1}, Case{L"--config=a-c.txt -ab", 0, 0}}) {
        g_bResetPlayData = 0;
        g_bClearAchievements = 0;
        ParseCommandLineSwitches(c.line);
        EXPECT_EQ(g_bResetPlayData, c.reset) << c.line;
        EXPECT_EQ(g_bClearAchievements, c.clear) << c.line;
    }
    g_bResetPlayData = 0;
    g_bClearAchievements = 0;
}

class WindowProcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMainLoopHooks({[this](UINT msg, WPARAM, LPARAM&, bool& continueFlag) {
                              calls.push_back("ime " + std::to_string(msg));
                              continueFlag = imeContinues;
                          },
                          [] { return true; }, {}});
    }
    void TearDown() override { SetMainLoopHooks({}); }

    std::vector<std::string> calls;
    bool imeContinues = true;
    RecordingRenderBackend renderer;
    FakeInputPlatform input;
};

TEST_F(WindowProcTest, CommandsAndTheAltMenu)
{
    EXPECT_EQ(MainWndProc(nullptr, WM_COMMAND, MAKEWPARAM(kCommandToggleFullScreen, 1), 0), 0);
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"ToggleFullScreen"}));
    EXPECT_EQ(MainWndProc(nullptr, WM_SYSCOMMAND, SC_KEYMENU, 0), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"ime 273", "ime 274"}));
}

TEST_F(WindowProcTest, SceneManagerSeesMessagesAfterTheInputMethodHook)
{
    EventLog log;
    CSceneManager manager;
    auto* scene = new RecordingScene("Game", log);
    manager.RegisterScene(scene);
    manager.SetFirstScene("Game", 0, 0);
    platform::UseManualClock(true);
    DXUtil_Timer(TIMER_GETELAPSEDTIME);
    platform::AdvanceManualClock(16000000);
    manager.Update();
    platform::UseManualClock(false);

    EXPECT_EQ(MainWndProc(nullptr, WM_KEYDOWN, 'A', 0), 0);
    EXPECT_EQ(calls.front(), "ime 256");
    EXPECT_EQ(log.Count("Game MsgProc 256"), 1u);
    manager.Shutdown();
}

} // namespace
