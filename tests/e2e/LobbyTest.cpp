// Two players meet in a lobby: the host opens a battle room from the main menu; once its room is
// there, the guest opens the list and joins the first row. Both see each other's names, they
// chat (each line shows on the other's screen), both press ready and the host starts: both
// programs switch to the online battle.
#include "OnlinePair.h"

namespace {

// Clicks on the room: the chat input, the ready button and the host's start button.
constexpr const char* kChatInput = "512 614";
constexpr const char* kReady = "737 360";
constexpr const char* kStart = "812 678";

// The host's room until the guest is in; then a chat line and ready; then, once the guest's line
// and readiness have arrived, the start.
std::string HostScript()
{
    return OnlineMenuScript(true) + "800 wait joined room.png\n" + "801 click " + kChatInput +
           "\n810 text Hello from the host\n820 key 0D\n830 click " + kReady + "\n900 wait chatted chat.png\n" +
           "901 click " + kStart + "\n1000 wait never started.png\n";
}

// The list until the host's room is in it; the first row's join button; the room until both
// names are in; a chat line and ready.
std::string GuestScript()
{
    return OnlineMenuScript(false) + "800 wait listed list.png\n801 click 857 213\n900 wait joined room.png\n" +
           "901 click " + kChatInput + "\n910 text Hi host\n920 key 0D\n930 click " + kReady +
           "\n1000 wait never chat.png\n";
}

// The chat box holds both lines: dark letters on two text rows of the box.
bool BothChatLines(const GameRun& run, const std::string& file)
{
    int rows = 0;
    for (int top = 456; top < 590; top += 2)
        rows += run.Count(file, 110, top, 900, top + 2, Navy) > 5 ? 1 : 0;
    return rows >= 12;
}

class LobbyTest : public OnlinePairTest {};

TEST_F(LobbyTest, PlayersMeetChatGetReadyAndStartTheOnlineBattle)
{
    m_host.Start(HostScript());
    // The host's room, with the host's name on its card.
    ASSERT_TRUE(WaitFor(m_host, "room.png", NameAt(122, 160, 482, 200))) << m_host.run.folder.Read("stderr.txt");
    m_guest.Start(GuestScript());
    // The guest's list shows the host's lobby in its first row.
    ASSERT_TRUE(WaitFor(m_guest, "list.png", [](const GameRun& run, const std::string& file) {
        return run.Count(file, 102, 188, 922, 238, Navy) > 100 && run.Count(file, 102, 188, 922, 238, White) > 10000;
    })) << m_guest.run.folder.Read("stderr.txt");
    m_guest.Go("listed");
    // The guest's room shows both names; then the host's shows the guest's.
    ASSERT_TRUE(WaitFor(m_guest, "room.png", NameAt(562, 160, 922, 200)));
    ASSERT_TRUE(WaitFor(m_guest, "room.png", NameAt(122, 160, 482, 200)));
    ASSERT_TRUE(WaitFor(m_host, "room.png", NameAt(562, 160, 922, 200)));
    m_host.Go("joined");
    m_guest.Go("joined");
    // Each screen shows the other's chat line as well as its own.
    ASSERT_TRUE(WaitFor(m_host, "chat.png", BothChatLines));
    ASSERT_TRUE(WaitFor(m_guest, "chat.png", BothChatLines));
    m_host.Go("chatted");
    // Both programs are told the match starts and switch to the online battle.
    for (const OnlinePlayer* player : {&m_host, &m_guest})
        EXPECT_TRUE(WaitForLog(*player, "\"SteamVanteoScene\"")) << player->run.folder.Read("Log_VODozivo.txt");
}

} // namespace
