// The automation driver plays its script into a window through the player's input path, one
// frame at a time, and saves pictures through the program's shot.
#include "../../win32/device/TestWindow.h"

#include <win32/Automation.h>
#include <win32/Messages.h>
#include <win32/Time.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <time.h>

using testsupport::TestWindow;

namespace {

class AutomationDriverTest : public ::testing::Test {
protected:
    void SetUp() override { ShowWindow(window.hwnd, SW_SHOW); }
    void TearDown() override
    {
        platform::StopAutomation();
        unsetenv("QUIBLY_AUTOMATION");
        unsetenv("QUIBLY_AUTOMATION_FRAME_MS");
    }
    void Start(const std::string& script)
    {
        std::ostringstream errors;
        platform::StartAutomation(platform::ParseAutomationScript(script, "test", errors));
        ASSERT_EQ(errors.str(), "");
    }
    // One turn of the game's loop: the frame's actions, then the messages they caused.
    std::optional<int> Frame()
    {
        TestWindow::Log().clear();
        platform::AutomationFrame(window.hwnd);
        return TestWindow::Pump();
    }
    std::vector<UINT> Input()
    {
        std::vector<UINT> ids;
        for (const auto& r : TestWindow::Messages({WM_KEYDOWN, WM_KEYUP, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                                   WM_RBUTTONDOWN, WM_RBUTTONUP, WM_IME_COMPOSITION}))
            ids.push_back(r.message);
        return ids;
    }
    TestWindow window;
};

TEST_F(AutomationDriverTest, ActionsArriveAsMessagesInTheirFrames)
{
    Start("0 key 41\n2 click 100 200\n3 rclick 5 6\n4 text 가\n6 quit\n");
    Frame();
    EXPECT_EQ(Input(), (std::vector<UINT>{WM_KEYDOWN}));
    Frame();
    EXPECT_EQ(Input(), (std::vector<UINT>{WM_KEYUP}));
    Frame();
    EXPECT_EQ(Input(), (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}));
    auto down = TestWindow::Messages({WM_LBUTTONDOWN});
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(down[0].lParam, MAKELPARAM(100, 200));
    Frame();
    EXPECT_EQ(Input(), (std::vector<UINT>{WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP}));
    Frame();
    EXPECT_FALSE(TestWindow::Messages({WM_IME_COMPOSITION}).empty());
    EXPECT_EQ(Frame(), std::nullopt);
    EXPECT_EQ(Frame(), std::optional<int>(0));
}

TEST_F(AutomationDriverTest, ScriptComesFromTheEnvironmentAndShotsGoToTheProgram)
{
    const std::string path = "automation_script.txt";
    std::ofstream(path) << "# two pictures\n1 shot first.png\n1 shot second.png\nnonsense\n";
    setenv("QUIBLY_AUTOMATION", path.c_str(), 1);
    std::vector<std::string> shots;
    platform::SetAutomationShot([&](const std::string& file) {
        shots.push_back(file);
        return true;
    });
    Frame();
    EXPECT_TRUE(shots.empty());
    Frame();
    EXPECT_EQ(shots, (std::vector<std::string>{"first.png", "second.png"}));
}

TEST_F(AutomationDriverTest, AFixedFrameStepMovesTheClocksOncePerFrameOnly)
{
    std::ofstream("step_script.txt") << "5 quit\n";
    setenv("QUIBLY_AUTOMATION", "step_script.txt", 1);
    setenv("QUIBLY_AUTOMATION_FRAME_MS", "20", 1);
    Frame();
    const DWORD start = timeGetTime();
    Sleep(30);
    EXPECT_EQ(timeGetTime(), start) << "the clocks stand still between frames";
    Frame();
    Frame();
    EXPECT_EQ(timeGetTime() - start, 40u);
    platform::StopAutomation();
    const DWORD after = timeGetTime();
    Sleep(20);
    EXPECT_GE(timeGetTime() - after, 15u) << "stopping returns to the real clock";
}

TEST_F(AutomationDriverTest, UncountedTurnsRunNoActionAndMoveTheClocksWithTheRealTime)
{
    std::ofstream("uncounted_script.txt") << "1 key 41\n";
    setenv("QUIBLY_AUTOMATION", "uncounted_script.txt", 1);
    setenv("QUIBLY_AUTOMATION_FRAME_MS", "10", 1);
    Frame();
    const DWORD start = timeGetTime();
    Sleep(30);
    TestWindow::Log().clear();
    platform::AutomationUncountedTurn();
    TestWindow::Pump();
    EXPECT_TRUE(Input().empty()) << "an uncounted turn runs no action";
    const DWORD step = timeGetTime() - start;
    EXPECT_GE(step, 30u);
    EXPECT_LE(step, 100u);
    // A long stall moves the clocks by 100 ms at most.
    Sleep(150);
    platform::AutomationUncountedTurn();
    EXPECT_EQ(timeGetTime() - start, step + 100u);
    // The next counted frame is frame 1.
    Frame();
    EXPECT_EQ(Input(), (std::vector<UINT>{WM_KEYDOWN}));
}

TEST_F(AutomationDriverTest, AWaitHoldsTheScriptUntilItsFileExistsWhileTheClocksRunOn)
{
    namespace fs = std::filesystem;
    fs::remove("go.txt");
    fs::remove("held.png");
    std::ofstream("wait_script.txt") << "0 key 41\n2 key 42\n2 wait go.txt held.png\n2 click 1 2\n"
                                        "3 wait gone.txt\n4 key 43\n";
    setenv("QUIBLY_AUTOMATION", "wait_script.txt", 1);
    setenv("QUIBLY_AUTOMATION_FRAME_MS", "10", 1);
    std::vector<std::string> shots;
    platform::SetAutomationShot([&](const std::string& file) {
        shots.push_back(file);
        std::ofstream(file) << "picture " << shots.size();
        return true;
    });
    Frame();
    Frame();
    Frame();
    EXPECT_EQ(Input(), (std::vector<UINT>{WM_KEYDOWN})) << "the lines of the wait's frame before it run";
    const DWORD start = timeGetTime();
    for (int i = 0; i < 61; ++i) {
        Frame();
        EXPECT_TRUE(Input().empty()) << "held call " << i;
    }
    EXPECT_EQ(timeGetTime() - start, 610u) << "the clocks move on while the script holds";
    // A picture every 30 held calls, each renamed into place whole.
    EXPECT_EQ(shots, (std::vector<std::string>{"held.png.part", "held.png.part", "held.png.part"}));
    EXPECT_FALSE(fs::exists("held.png.part"));
    std::ifstream picture("held.png");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(picture), {}), "picture 3");

    // Once the file is there, the rest of the wait's frame runs, and the later frames count on
    // from it: the key of frame 2 goes up one frame later, the key of frame 4 two frames later.
    std::ofstream("go.txt") << "go";
    Frame();
    EXPECT_EQ(Input(), (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}));
    std::ofstream("gone.txt") << "already there";  // a wait whose file exists does not hold
    Frame();
    EXPECT_EQ(Input(), (std::vector<UINT>{WM_KEYUP}));
    Frame();
    EXPECT_EQ(Input(), (std::vector<UINT>{WM_KEYDOWN}));
    for (const char* file : {"go.txt", "gone.txt", "held.png"})
        fs::remove(file);
}

TEST_F(AutomationDriverTest, FramesReportsTheProgramsLongestAndBusiestFrameWithoutTheAutomationsOwnWork)
{
    namespace fs = std::filesystem;
    std::ofstream("frames_script.txt") << "0 frames before.txt\n1 shot slow.png\n4 frames after.txt\n";
    setenv("QUIBLY_AUTOMATION", "frames_script.txt", 1);
    // Works the processor for `milliseconds` of this thread's own time. Counted in nanoseconds:
    // a whole-millisecond count of the two fields apart rounds the nanoseconds' difference
    // towards zero, which ends the work early across a second's edge.
    auto work = [](long long milliseconds) {
        timespec start{}, now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
        do
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        while ((now.tv_sec - start.tv_sec) * 1'000'000'000LL + (now.tv_nsec - start.tv_nsec) < milliseconds * 1'000'000LL);
    };
    // Saving the picture is slow, 400 ms of the processor; that is the automation's work, not
    // the program's frame.
    platform::SetAutomationShot([&work](const std::string&) {
        work(400);
        return true;
    });
    struct Report {
        int frames = -1;
        double longest = -1, busiest = -1;
    };
    auto read = [](const char* file) {
        std::ifstream in(file);
        Report report;
        in >> report.frames >> report.longest >> report.busiest;
        return report;
    };
    Frame();
    EXPECT_EQ(read("before.txt").frames, 0) << "nothing was played before the first frame";
    Sleep(40);
    Frame();  // frame 1 saves the picture
    Sleep(120);  // a frame that waits, as one on a busy machine does
    Frame();
    work(150);  // a frame that keeps the processor busy for 150 ms
    Frame();
    Sleep(40);
    Frame();  // frame 4 reports the four frames before it
    const Report report = read("after.txt");
    EXPECT_EQ(report.frames, 4);
    // Real time only has a floor: on a loaded machine any frame may wait longer for a processor.
    EXPECT_GE(report.longest, 150.0);
    EXPECT_GE(report.busiest, 150.0);
    EXPECT_LT(report.busiest, 400.0) << "the picture's time is not the program's";
    EXPECT_LT(report.busiest, report.longest + 1.0);
    for (const char* file : {"frames_script.txt", "before.txt", "after.txt"})
        fs::remove(file);
}

} // namespace
