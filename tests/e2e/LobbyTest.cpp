// Two players meet in a lobby: two real programs, two run folders, two profiles and one shared
// online folder. The host opens a battle room from the main menu and keeps photographing it; once
// its room is there, the guest opens the list, joins the first row and photographs its room.
// Every wait is on what the other program shows, never on a time tuned to one machine.
#include "GameRun.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

namespace {

// The main screen, the online sub-menu and its host (or join) button. The host then photographs
// its room again and again; the guest photographs its list, joins the first row and photographs
// its room again and again, until the test ends both programs.
std::string Script(bool host)
{
    std::string script = "40 key 20\n200 key 20\n500 move 900 100\n520 press 900 100\n620 click 649 503\n";
    script += host ? "700 click 342 275\n" : "700 click 682 275\n1000 shot list.png\n1010 click 857 213\n";
    for (int frame = 1300; frame < 400000; frame += 200)
        script += std::to_string(frame) + " shot room.png\n";
    return script;
}

bool Navy(Rgb p) { return p.r < 70 && p.g < 80 && p.b < 110 && p.b > p.r; }
bool White(Rgb p) { return p.r > 235 && p.g > 235 && p.b > 235; }

class LobbyTest : public ::testing::Test {
protected:
    void Prepare(GameRun& run, testsupport::TempDir& profile, const std::string& persona)
    {
        profile.Write("persona.txt", persona + "\n");
        ASSERT_TRUE(run.Edit("data/PlayData/QuiblyConfig.xml", "<Opening IsShow=\"0\" />", "<Opening IsShow=\"1\" />"));
        ASSERT_TRUE(run.Edit("data/PlayData/QuiblyConfig.xml", "Multi=\"0\"", "Multi=\"1\""));
    }

    // Starts the program in the background; its process id.
    int Start(GameRun& run, const std::string& script, const std::string& profile)
    {
        run.folder.Write("script.txt", script);
        // The timeout process forwards the test's SIGTERM to the program.
        std::string command = "cd '" + run.folder.Str() + "' && { SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " +
                              "ASAN_OPTIONS=detect_leaks=0 QUIBLY_DEBUG_OUTPUT=0 QUIBLY_AUTOMATION_FRAME_MS=16 " +
                              "QUIBLY_AUTOMATION_WAIT_LOADS=1 QUIBLY_PROFILE_DIR='" + profile + "' " + m_environment +
                              " QUIBLY_AUTOMATION=script.txt timeout 600 ./Quibly 2>stderr.txt & echo $! > pid.txt; }";
        std::system(command.c_str());
        return std::atoi(run.folder.Read("pid.txt").c_str());
    }

    // Waits until a whole picture of that name holds `enough` navy pixels in the rectangle (a
    // name drawn there); false after five minutes.
    static bool WaitForName(const GameRun& run, const std::string& file, int left, int top, int right, int bottom)
    {
        for (int i = 0; i < 3000; ++i) {
            std::string bytes = run.folder.Read(file);
            if (bytes.size() > 12 && bytes.substr(bytes.size() - 8, 4) == "IEND") {
                run.folder.Write("check.png", bytes);
                // Dark letters on the white card: the card is shown and a name is written on it.
                if (run.Count("check.png", left, top, right, bottom, Navy) > 100 &&
                    run.Count("check.png", left, top, right, bottom, White) > 2000)
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    testsupport::TempDir m_shared;
    std::string m_environment = "QUIBLY_ONLINE_DIR='" + m_shared.Str() + "'";
};

TEST_F(LobbyTest, AGuestFindsTheHostsRoomAndBothSeeEachOthersNames)
{
    GameRun host, guest;
    testsupport::TempDir hostProfile, guestProfile;
    Prepare(host, hostProfile, "Hostia");
    Prepare(guest, guestProfile, "Guestor");

    const int hostPid = Start(host, Script(true), hostProfile.Str());
    ASSERT_GT(hostPid, 0);
    // The host's room, with the host's name on its card.
    const bool hostRoom = WaitForName(host, "room.png", 122, 160, 482, 200);
    const int guestPid = hostRoom ? Start(guest, Script(false), guestProfile.Str()) : -1;
    // The guest's room shows both names; then the host's shows the guest's.
    const bool guestRoom = guestPid > 0 && WaitForName(guest, "room.png", 562, 160, 922, 200) &&
                           WaitForName(guest, "room.png", 122, 160, 482, 200);
    const bool hostSawGuest = guestRoom && WaitForName(host, "room.png", 562, 160, 922, 200);
    for (int pid : {hostPid, guestPid})
        if (pid > 0)
            ::kill(pid, SIGTERM);
    ASSERT_TRUE(hostRoom) << host.folder.Read("stderr.txt");
    ASSERT_TRUE(guestRoom) << guest.folder.Read("stderr.txt");
    EXPECT_TRUE(hostSawGuest);
    // The guest's list showed the host's lobby in its first row.
    EXPECT_GT(guest.Count("list.png", 102, 188, 922, 238, Navy), 100);
    EXPECT_GT(guest.Count("list.png", 102, 188, 922, 238, White), 10000);
}

} // namespace
