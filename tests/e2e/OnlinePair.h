// Two real programs playing online against each other on one machine: each in a run folder of
// its own with a profile of its own, both on one shared online folder. Each program's script
// holds at `wait` lines, saving a picture meanwhile; the test looks at that picture until it
// shows what the step needs, then writes the file the wait is for. So every wait is on what a
// program shows or logs, never on a time tuned to one machine, under one generous deadline.
#pragma once

#include "GameRun.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

// The navy of names and chat lines on the room's white cards.
inline bool Navy(Rgb p)
{
    return p.r < 70 && p.g < 80 && p.b < 110 && p.b > p.r;
}
inline bool White(Rgb p)
{
    return p.r > 235 && p.g > 235 && p.b > 235;
}
inline bool Green(Rgb p)
{
    return p.g > 150 && p.g > p.r + 60 && p.g > p.b + 30;
}
inline bool Saturated(Rgb p)
{
    return std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b}) > 60;
}
inline std::function<bool(Rgb)> Like(Rgb colour, int tolerance = 24)
{
    return [=](Rgb p) { return static_cast<bool>(Near(p, colour, tolerance)); };
}

// Whole pictures of the programs' screens.
using Screen = std::function<bool(const GameRun&, const std::string&)>;

// A name (or a chat line): dark letters on the white card in the rectangle, in the room under its
// purple title bar.
inline Screen NameAt(int left, int top, int right, int bottom)
{
    return [=](const GameRun& run, const std::string& file) {
        return run.Count(file, 70, 36, 950, 96, Like({155, 107, 223}, 30)) > 30000 &&
               run.Count(file, left, top, right, bottom, Navy) > 100 &&
               run.Count(file, left, top, right, bottom, White) > 2000;
    };
}

// The host's room with the guest's green "ready" badge.
inline bool GuestReady(const GameRun& run, const std::string& file)
{
    return run.Count(file, 762, 126, 902, 160, Green) > 2000;
}

// The online battle in play: the player's blue and the rival's red hit-point bars along the top
// (still long), auto-fire on, and a board full of coloured blocks.
inline bool BattleMatch(const GameRun& run, const std::string& file)
{
    return run.Count(file, 600, 14, 880, 26, Like({61, 139, 253})) > 2000 &&
           run.Count(file, 160, 14, 430, 26, Like({232, 80, 91})) > 2000 &&
           run.Count(file, 825, 612, 980, 645, Like({60, 196, 124})) > 2000 &&
           run.Count(file, 330, 250, 700, 620, Saturated) > 60000;
}

// The online push match in play: the field's two counters (blue for the player, red for the
// rival) and a board full of coloured blocks.
inline bool PushMatch(const GameRun& run, const std::string& file)
{
    return run.Count(file, 240, 85, 275, 118, Like({51, 112, 204})) > 400 &&
           run.Count(file, 756, 85, 790, 118, Like({180, 67, 83})) > 400 &&
           run.Count(file, 604, 396, 964, 756, Saturated) > 60000;
}

// Both towers at the ends of the lane, under the dusk of the sky: the player's blue one on the
// right, the rival's red one on the left.
inline bool Bluish(Rgb p)
{
    return p.b > 150 && p.b > p.r + 90 && p.b > p.g + 40;
}
inline bool Reddish(Rgb p)
{
    return p.r > 140 && p.r > p.g + 60 && p.r > p.b + 50;
}
inline bool BothTowers(const GameRun& run, const std::string& file)
{
    return run.Count(file, 928, 116, 976, 192, Bluish) > 1500 && run.Count(file, 48, 116, 96, 192, Reddish) > 1500;
}

// The room's orange start button, in its place at the bottom right.
inline bool StartOffered(const GameRun& run, const std::string& file)
{
    return run.Count(file, 702, 648, 922, 708, Like({242, 140, 56}, 40)) > 3000;
}

// A long name in the guest's card: letters reach far right, where no short name does.
inline bool LongGuestName(const GameRun& run, const std::string& file)
{
    return NameAt(562, 160, 922, 200)(run, file) && run.Count(file, 800, 160, 902, 200, Navy) > 60;
}

// The disconnection notice: its blue title bar over a light body.
inline bool Notice(const GameRun& run, const std::string& file)
{
    return run.Count(file, 260, 245, 760, 295, Like({61, 139, 253}, 20)) > 15000 &&
           run.Count(file, 260, 310, 760, 440, Like({244, 246, 251}, 8)) > 40000;
}

// The result pop-up over the battle: its dark header with the red "YOU LOSE", or with the green
// "YOU WIN!" and no red.
inline bool Header(const GameRun& run, const std::string& file)
{
    return run.Count(file, 120, 50, 900, 175, Like({27, 35, 64}, 12)) > 40000;
}
inline bool Lost(const GameRun& run, const std::string& file)
{
    return Header(run, file) && run.Count(file, 330, 80, 700, 140, Reddish) > 2000;
}
inline bool Won(const GameRun& run, const std::string& file)
{
    return Header(run, file) && run.Count(file, 330, 80, 700, 140, Like({60, 196, 124}, 30)) > 2000 &&
           run.Count(file, 330, 80, 700, 140, Reddish) < 100;
}

// The online result's panel: the score in the room in dark letters on the left, the online
// record in purple ones on the right; the guest's, a dark bar with white words at the bottom.
inline bool RecordsShown(const GameRun& run, const std::string& file)
{
    return run.Count(file, 136, 332, 508, 402, Like({27, 35, 64}, 40)) > 80 &&
           run.Count(file, 508, 332, 880, 402, Like({155, 107, 223}, 40)) > 80;
}
inline bool WaitsForHost(const GameRun& run, const std::string& file)
{
    return run.Count(file, 112, 604, 912, 712, White) > 800;
}

// Clicks on the room: the chat input, the ready button, the host's start button and its choice
// of battle or push.
constexpr const char* kChatInput = "512 614";
constexpr const char* kReady = "737 360";
constexpr const char* kStart = "812 678";
constexpr const char* kChooseBattle = "482 368";
constexpr const char* kChoosePush = "482 418";

// The result pop-up's continue button (the host's only).
constexpr const char* kContinue = "752 634";

// F8 (a few bullets of every colour) every other frame.
inline std::string CallBullets(int from, int frames)
{
    std::string lines;
    for (int frame = from; frame < from + frames; frame += 2)
        lines += std::to_string(frame) + " key 77\n";
    return lines;
}

// The main screen, the online sub-menu and its host button; the room until the guest is in
// ("joined"). The script goes on from frame 901.
inline std::string HostToRoom()
{
    return "40 key 20\n200 key 20\n500 move 900 100\n520 press 900 100\n620 click 649 503\n700 click 342 275\n"
           "900 wait joined room.png\n";
}

// The same menus and the join button; the list until the host's lobby is in it ("listed"), its
// first row's join button; the room until both names are in ("joined"). On from frame 901.
// With a name, the player first gives itself that name in the options.
inline std::string GuestToRoom(const std::string& name = "")
{
    std::string options;
    if (!name.empty()) {
        options = "560 click 838 724\n";
        for (int frame = 590; frame < 622; frame += 4)
            options += std::to_string(frame) + " key 08\n";
        options += "630 text " + name + "\n650 click 512 596\n";
    }
    const std::string menus = name.empty() ? "620 click 649 503\n700 click 682 275\n"
                                           : "710 click 649 503\n780 click 682 275\n";
    return "40 key 20\n200 key 20\n500 move 900 100\n520 press 900 100\n" + options + menus +
           "800 wait listed list.png\n801 click 857 213\n900 wait joined room.png\n";
}

class OnlinePlayer {
public:
    OnlinePlayer(const std::string& persona, const std::string& shared) : m_shared(shared)
    {
        profile.Write("persona.txt", persona + "\n");
        EXPECT_TRUE(run.Edit("data/PlayData/QuiblyConfig.xml", "<Opening IsShow=\"0\" />", "<Opening IsShow=\"1\" />"));
        EXPECT_TRUE(run.Edit("data/PlayData/QuiblyConfig.xml", "Multi=\"0\"", "Multi=\"1\""));
    }
    ~OnlinePlayer() { Stop(); }

    // Starts the program in the background on the script.
    void Start(const std::string& script, int seconds = 840)
    {
        run.folder.Write("script.txt", script);
        // The timeout process forwards the test's SIGTERM to the program.
        std::string command = "cd '" + run.folder.Str() + "' && { SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " +
                              "ASAN_OPTIONS=detect_leaks=0 QUIBLY_DEBUG_OUTPUT=0 QUIBLY_AUTOMATION_FRAME_MS=16 " +
                              "QUIBLY_AUTOMATION_WAIT_LOADS=1 QUIBLY_PROFILE_DIR='" + profile.Str() +
                              "' QUIBLY_ONLINE_DIR='" + m_shared + "' QUIBLY_AUTOMATION=script.txt timeout " +
                              std::to_string(seconds) + " ./Quibly 2>stderr.txt & echo $! > pid.txt; }";
        std::system(command.c_str());
        m_pid = std::atoi(run.folder.Read("pid.txt").c_str());
    }
    bool Running() const { return m_pid > 0 && ::kill(m_pid, 0) == 0; }
    // Ends the program as a player closing it would.
    void Stop()
    {
        if (Running())
            ::kill(m_pid, SIGTERM);
    }
    // Ends the program at once, as a crash or a pulled plug would: the peer hears nothing.
    void Kill()
    {
        std::ifstream children("/proc/" + std::to_string(m_pid) + "/task/" + std::to_string(m_pid) + "/children");
        int program = 0;
        if (children >> program)
            ::kill(program, SIGKILL);
    }
    // Waits until the program has ended by itself; false when it still runs at the deadline.
    bool WaitForExit(std::chrono::steady_clock::time_point deadline) const
    {
        while (Running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return !Running();
    }
    // Lets the script go on past its `wait` for that file.
    void Go(const std::string& file) const { run.folder.Write(file, "go\n"); }
    bool Logged(const std::string& text) const
    {
        return run.folder.Read("Log_VODozivo.txt").find(text) != std::string::npos;
    }

    GameRun run;
    testsupport::TempDir profile;

private:
    std::string m_shared;
    int m_pid = 0;
};

// The online record in a play-data leaderboard file's bytes: wins in the high half, 65535 -
// losses in the low; -1 when the file is not whole.
inline int32_t OnlineRecordIn(const std::string& bytes)
{
    if (bytes.size() != 28)
        return -1;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[24 + i]);
    return static_cast<int32_t>(value);
}
// The online record kept in the run folder while the program runs.
inline int32_t OnlineRecord(const OnlinePlayer& player)
{
    return OnlineRecordIn(player.run.folder.Read("data/PlayData/UserLeaderBoard.bin"));
}

class OnlinePairTest : public ::testing::Test {
protected:
    // Both programs end; their last pictures, standard error and log stay in the test's work
    // folder, named after the player, for whoever wants to see how a run went.
    void TearDown() override
    {
        namespace fs = std::filesystem;
        for (const auto& [player, prefix] : {std::pair{&m_host, "host_"}, std::pair{&m_guest, "guest_"}}) {
            player->Stop();
            for (const auto& entry : fs::directory_iterator(player->run.folder.Path()))
                if ((entry.path().extension() == ".png" && entry.path().filename() != "check.png") ||
                    entry.path().filename() == "stderr.txt" || entry.path().filename() == "Log_VODozivo.txt") {
                    std::error_code ignored;
                    fs::copy_file(entry.path(), prefix + entry.path().filename().string(),
                                  fs::copy_options::overwrite_existing, ignored);
                }
        }
    }

    // Looks at the picture until `shows` holds for it (each picture arrives whole); false at the
    // deadline, or when a program has ended.
    bool WaitFor(const OnlinePlayer& player, const std::string& picture, const Screen& shows)
    {
        return Poll([&] {
            std::string bytes = player.run.folder.Read(picture);
            if (bytes.empty())
                return false;
            player.run.folder.Write("check.png", bytes);
            return shows(player.run, "check.png");
        });
    }
    // Waits until the program's log holds the text.
    bool WaitForLog(const OnlinePlayer& player, const std::string& text)
    {
        return Poll([&] { return player.Logged(text); });
    }
    // Waits until the program has written the file in its run folder.
    bool WaitForFile(const OnlinePlayer& player, const std::string& file)
    {
        return Poll([&] { return !player.run.folder.Read(file).empty(); });
    }

    // Both programs go on past the script's wait of that name.
    void BothGo(const std::string& step)
    {
        m_host.Go(step);
        m_guest.Go(step);
    }
    // Both programs have shown the picture as `shows` says, the host first.
    bool BothShow(const std::string& picture, const Screen& shows)
    {
        return WaitFor(m_host, picture, shows) && WaitFor(m_guest, picture, shows);
    }
    // Both programs have written the file.
    bool BothWrote(const std::string& file) { return WaitForFile(m_host, file) && WaitForFile(m_guest, file); }

    // Starts the host, then the guest once the host's room is open, each on a script that
    // begins with the way to the room above; lets both go on once each room shows both names.
    ::testing::AssertionResult Meet(const std::string& hostScript, const std::string& guestScript)
    {
        m_host.Start(hostScript, m_programSeconds);
        // The host's room, with the host's name on its card.
        if (!WaitFor(m_host, "room.png", NameAt(122, 160, 482, 200)))
            return ::testing::AssertionFailure()
                   << "the host's room did not open: " << m_host.run.folder.Read("stderr.txt");
        m_guest.Start(guestScript, m_programSeconds);
        // The guest's list shows the host's lobby in its first row.
        if (!WaitFor(m_guest, "list.png", [](const GameRun& run, const std::string& file) {
                return run.Count(file, 102, 188, 922, 238, Navy) > 100 &&
                       run.Count(file, 102, 188, 922, 238, White) > 10000;
            }))
            return ::testing::AssertionFailure()
                   << "the guest's list did not show the lobby: " << m_guest.run.folder.Read("stderr.txt");
        m_guest.Go("listed");
        // The guest's room shows both names; then the host's shows the guest's.
        if (!WaitFor(m_guest, "room.png", NameAt(562, 160, 922, 200)) ||
            !WaitFor(m_guest, "room.png", NameAt(122, 160, 482, 200)))
            return ::testing::AssertionFailure() << "the guest's room did not show both names";
        if (!WaitFor(m_host, "room.png", NameAt(562, 160, 922, 200)))
            return ::testing::AssertionFailure() << "the host's room did not show the guest's name";
        m_host.Go("joined");
        m_guest.Go("joined");
        return ::testing::AssertionSuccess();
    }

    testsupport::TempDir m_shared;
    OnlinePlayer m_host{"Hostia", m_shared.Str()};
    OnlinePlayer m_guest{"Guestor", m_shared.Str()};
    // One generous deadline for the whole run, and the programs' own limit a little beyond it;
    // a run of several matches sets longer ones in its constructor.
    std::chrono::steady_clock::time_point m_deadline = std::chrono::steady_clock::now() + std::chrono::minutes(13);
    int m_programSeconds = 840;

private:
    bool Poll(const std::function<bool()>& done)
    {
        while (std::chrono::steady_clock::now() < m_deadline) {
            if (done())
                return true;
            if (!m_host.Running() && !m_guest.Running())
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return false;
    }
};
