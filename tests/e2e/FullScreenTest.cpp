// Full screen on a real X display of another size than the game's 1024 x 768: a virtual display
// of 1280 x 1024 without a window manager, real keys and clicks from outside the program
// (xdotool), and pictures of the whole display (ImageMagick's import). Alt+Enter makes the window
// cover the display with the picture scaled to fit and black bars above and below; a click lands
// on what is drawn under the pointer. A window manager giving the full-screen window another
// shape is played by resizing the window from outside: the picture follows with bars at the
// sides. Alt+Enter again brings the window back to its place at its own size.
#include "GameRun.h"

#include <stb/stb_image.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDisplayW = 1280, kDisplayH = 1024;

// A picture loaded once, for many samples.
struct Picture {
    explicit Picture(const std::filesystem::path& file)
    {
        unsigned char* loaded = stbi_load(file.c_str(), &w, &h, &n, 3);
        if (loaded) {
            pixels.assign(loaded, loaded + static_cast<size_t>(w) * h * 3);
            stbi_image_free(loaded);
        }
    }
    bool Valid() const { return !pixels.empty(); }
    Rgb At(int x, int y) const
    {
        const unsigned char* p = pixels.data() + (static_cast<size_t>(y) * w + x) * 3;
        return {p[0], p[1], p[2]};
    }
    int w = 0, h = 0, n = 0;
    std::vector<unsigned char> pixels;
};

bool Black(Rgb p) { return p.r < 8 && p.g < 8 && p.b < 8; }

// The share of the rectangle's pixels that are black.
double BlackShare(const Picture& shot, int left, int top, int right, int bottom)
{
    int black = 0, all = 0;
    for (int y = top; y < bottom; y += 2)
        for (int x = left; x < right; x += 2, ++all)
            black += Black(shot.At(x, y)) ? 1 : 0;
    return all ? static_cast<double>(black) / all : 0.0;
}

// How much of the game's own picture the display shows in the rectangle (left, top, width,
// height), scaled: the share of sample points, away from the edges, whose colour is near the
// game's pixel there. Blocks float over the menu, so a few samples always differ.
double Likeness(const Picture& display, const Picture& game, int left, int top, int width, int height)
{
    int near = 0, all = 0;
    for (int gy = 8; gy < game.h - 8; gy += 16)
        for (int gx = 8; gx < game.w - 8; gx += 16, ++all) {
            const int x = left + (gx * width + width / 2) / game.w;
            const int y = top + (gy * height + height / 2) / game.h;
            near += Near(display.At(x, y), game.At(gx, gy), 40) ? 1 : 0;
        }
    return all ? static_cast<double>(near) / all : 0.0;
}

class FullScreenTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (m_game > 0)
            ::kill(m_game, SIGTERM);
        if (m_xvfb > 0)
            ::kill(m_xvfb, SIGTERM);
    }

    // A virtual display of the size, without a window manager; false when none starts.
    bool StartDisplay()
    {
        const std::string command = "cd '" + m_run.folder.Str() + "' && { Xvfb -displayfd 3 -screen 0 " +
                                    std::to_string(kDisplayW) + "x" + std::to_string(kDisplayH) +
                                    "x24 -nolisten tcp 3>display.txt 2>xvfb.txt & echo $! > xvfb.pid; }";
        if (std::system(command.c_str()) != 0)
            return false;
        m_xvfb = std::atoi(m_run.folder.Read("xvfb.pid").c_str());
        return Poll([&] {
            const std::string number = m_run.folder.Read("display.txt");
            if (number.empty() || number.back() != '\n')
                return false;
            m_display = ":" + number.substr(0, number.size() - 1);
            return true;
        });
    }

    // The game on the display, in the background, on the script.
    void StartGame(const std::string& script)
    {
        m_run.folder.Write("script.txt", script);
        const std::string command = "cd '" + m_run.folder.Str() + "' && { DISPLAY=" + m_display +
                                    " SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 "
                                    "QUIBLY_DEBUG_OUTPUT=0 QUIBLY_AUTOMATION_FRAME_MS=16 QUIBLY_AUTOMATION_WAIT_LOADS=1 "
                                    "QUIBLY_PROFILE_DIR='" + m_profile.Str() +
                                    "' QUIBLY_AUTOMATION=script.txt timeout 600 ./Quibly 2>stderr.txt & echo $! > game.pid; }";
        std::system(command.c_str());
        m_game = std::atoi(m_run.folder.Read("game.pid").c_str());
    }

    bool GameRunning() const { return m_game > 0 && ::kill(m_game, 0) == 0; }

    // Runs an X tool on the display; its output.
    std::string X(const std::string& tool) const
    {
        const std::string command = "cd '" + m_run.folder.Str() + "' && DISPLAY=" + m_display + " " + tool + " 2>>xtools.txt";
        std::string out;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[256];
            while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
                out.append(buffer, got);
            ::pclose(pipe);
        }
        return out;
    }

    // The game window's place and size on the display: x, y, width, height.
    std::array<int, 4> Geometry() const
    {
        std::istringstream lines(X("xdotool getwindowgeometry --shell " + m_window));
        std::array<int, 4> out{-1, -1, -1, -1};
        for (std::string line; std::getline(lines, line);) {
            const size_t eq = line.find('=');
            if (eq == std::string::npos)
                continue;
            const std::string key = line.substr(0, eq);
            const int value = std::atoi(line.c_str() + eq + 1);
            if (key == "X")
                out[0] = value;
            else if (key == "Y")
                out[1] = value;
            else if (key == "WIDTH")
                out[2] = value;
            else if (key == "HEIGHT")
                out[3] = value;
        }
        return out;
    }

    // A picture of the whole display, saved in the run folder under the name.
    Picture Grab(const std::string& name) const
    {
        X("import -window root " + name);
        return Picture(m_run.folder.Path() / name);
    }

    // The last picture the game's script saved while holding at a wait (every 30 frames).
    Picture GameShot() const { return Picture(m_run.folder.Path() / "game.png"); }

    // Polls until done holds, the game has ended or the deadline has passed.
    bool Poll(const std::function<bool()>& done) const
    {
        while (Clock::now() < m_deadline) {
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
        return false;
    }

    // Waits for the window to take the place and size, then for the display to show the game's
    // own picture scaled into the rectangle (x, y, width, height) of the display.
    ::testing::AssertionResult Shows(const std::string& name, std::array<int, 4> place, std::array<int, 4> picture)
    {
        if (!Poll([&] { return Geometry() == place; })) {
            const auto g = Geometry();
            return ::testing::AssertionFailure() << name << ": the window is at " << g[0] << "," << g[1] << " with "
                                                 << g[2] << " x " << g[3];
        }
        double best = 0.0;
        Poll([&] {
            const Picture display = Grab(name);
            const Picture game = GameShot();
            if (display.Valid() && game.Valid() && display.w == kDisplayW && game.w == 1024)
                best = Likeness(display, game, picture[0], picture[1], picture[2], picture[3]);
            return best > 0.85;
        });
        if (best > 0.85)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << name << ": only " << best << " of the samples show the game's picture";
    }

    // A real click at a point of the display.
    void Click(int x, int y) const
    {
        X("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        X("xdotool click 1");
    }

    GameRun m_run;
    testsupport::TempDir m_profile;
    std::string m_display;
    std::string m_window;
    int m_xvfb = 0;
    int m_game = 0;
    Clock::time_point m_deadline = Clock::now() + std::chrono::minutes(10);
};

// The menu's colours: the puzzle sub-menu's red line under its header, and the main menu's
// purple logic card.
bool PuzzleSubMenu(const Picture& game)
{
    int red = 0;
    for (int x = 100; x < 900; x += 4)
        red += Near(game.At(x, 90), {232, 80, 91}, 30) ? 1 : 0;
    return red > 150;
}
bool MainMenu(const Picture& game)
{
    int purple = 0;
    for (int y = 440; y < 570; y += 4)
        for (int x = 250; x < 500; x += 4)
            purple += Near(game.At(x, y), {155, 107, 223}, 40) ? 1 : 0;
    return purple > 1000;
}

TEST_F(FullScreenTest, FillsTheDisplayLetterboxedAndClicksLandWhereTheyAreDrawn)
{
    ASSERT_TRUE(StartDisplay()) << m_run.folder.Read("xvfb.txt");
    // Every mode open, so the main menu's cards are all drawn in their colours.
    ASSERT_TRUE(m_run.Edit("data/PlayData/QuiblyConfig.xml", "<Opening IsShow=\"0\" />", "<Opening IsShow=\"1\" />"));
    ASSERT_TRUE(m_run.Edit("data/PlayData/QuiblyConfig.xml", "Battle=\"0\" Push=\"0\" IQ=\"0\"", "Battle=\"1\" Push=\"1\" IQ=\"1\""));
    // The main menu, then the game runs on, with real input only, until "done".
    StartGame("40 key 20\n200 key 20\n500 move 900 100\n520 press 900 100\n600 wait done game.png\n610 quit\n");
    ASSERT_TRUE(Poll([&] { return GameShot().Valid(); })) << m_run.folder.Read("stderr.txt");
    ASSERT_TRUE(Poll([&] {
        m_window = X("xdotool search --name '^Quibly$'");
        while (!m_window.empty() && (m_window.back() == '\n' || m_window.back() == ' '))
            m_window.pop_back();
        return !m_window.empty() && m_window.find('\n') == std::string::npos;
    }));

    // Windowed: the window at its own size, centred, the picture one to one.
    const std::array<int, 4> windowed = Geometry();
    ASSERT_EQ(windowed[2], 1024);
    ASSERT_EQ(windowed[3], 768);
    EXPECT_TRUE(Shows("windowed.png", windowed, windowed));

    // Alt+Enter: the window covers the display; the picture is scaled by 1.25 to 1280 x 960 with
    // black bars of 32 rows above and below.
    X("xdotool mousemove 640 512");
    X("xdotool key alt+Return");
    ASSERT_TRUE(Shows("full.png", {0, 0, kDisplayW, kDisplayH}, {0, 32, 1280, 960}));
    {
        const Picture full(m_run.folder.Path() / "full.png");
        EXPECT_GT(BlackShare(full, 0, 0, kDisplayW, 32), 0.99);
        EXPECT_GT(BlackShare(full, 0, 992, kDisplayW, kDisplayH), 0.99);
    }
    // The puzzle card's centre (237, 325) is drawn at (296, 438): a click there opens its
    // sub-menu.
    Click(296, 438);
    EXPECT_TRUE(Poll([&] { return PuzzleSubMenu(GameShot()); }));

    // A window manager gives the full-screen window a wide shape: 1200 x 600 shows the picture
    // scaled to 800 x 600 with bars of 200 columns at each side.
    X("xdotool windowsize " + m_window + " 1200 600");
    ASSERT_TRUE(Shows("wide.png", {0, 0, 1200, 600}, {200, 0, 800, 600}));
    {
        const Picture wide(m_run.folder.Path() / "wide.png");
        EXPECT_GT(BlackShare(wide, 0, 0, 200, 600), 0.99);
        EXPECT_GT(BlackShare(wide, 1000, 0, 1200, 600), 0.99);
    }
    // The sub-menu's "< Menu" button (80, 45) is drawn at (262, 35): back to the main menu.
    Click(262, 35);
    EXPECT_TRUE(Poll([&] { return MainMenu(GameShot()); }));

    // Alt+Enter again: the window is back where it was, at its own size, one to one.
    X("xdotool key alt+Return");
    EXPECT_TRUE(Shows("back.png", windowed, windowed));
    // A click through the window's own place: the puzzle card again.
    Click(windowed[0] + 237, windowed[1] + 325);
    EXPECT_TRUE(Poll([&] { return PuzzleSubMenu(GameShot()); }));

    m_run.folder.Write("done", "go\n");
    EXPECT_TRUE(Poll([&] { return !GameRunning(); }));
    EXPECT_EQ(m_run.folder.Read("stderr.txt").find("ERROR: AddressSanitizer"), std::string::npos);
}

} // namespace
