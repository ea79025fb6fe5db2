// Two players meet in a lobby: the host opens a battle room from the main menu; once its room is
// there, the guest, who gave itself a name in the options first, opens the list and joins the
// first row. Both see each other's names (the host sees the guest's chosen one), they chat (each
// line shows on the other's screen), both press ready; only the host is offered the start, and
// it starts: both programs switch to the online battle and play it.
#include "OnlinePair.h"

namespace {

// In the room, a chat line and ready; then, once both lines have arrived, the host starts.
std::string HostScript()
{
    return HostToRoom() + "901 click " + kChatInput + "\n910 text Hello from the host\n920 key 0D\n930 click " + kReady +
           "\n1000 wait chatted chat.png\n1001 click " + kStart + "\n1100 wait never battle.png\n";
}

// Fourteen wide letters, the most a name can hold: far longer on screen than "Guestor".
constexpr const char* kChosenName = "WWWWWWWWWWWWWW";

std::string GuestScript()
{
    return GuestToRoom(kChosenName) + "901 click " + kChatInput + "\n910 text Hi host\n920 key 0D\n930 click " + kReady +
           "\n1000 wait started chat.png\n1001 wait never battle.png\n";
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
    ASSERT_TRUE(Meet(HostScript(), GuestScript()));
    // Each screen shows the other's chat line as well as its own; the host's shows the guest ready
    // under the name the guest chose, and offers the start.
    ASSERT_TRUE(WaitFor(m_host, "chat.png", [](const GameRun& run, const std::string& file) {
        return BothChatLines(run, file) && GuestReady(run, file) && LongGuestName(run, file) && StartOffered(run, file);
    }));
    ASSERT_TRUE(WaitFor(m_guest, "chat.png", BothChatLines));
    // The guest is ready too, but its room has no start button at all.
    EXPECT_FALSE(StartOffered(m_guest.run, "check.png"));
    m_host.Go("chatted");
    m_guest.Go("started");
    // Both programs switch to the online battle.
    EXPECT_TRUE(WaitFor(m_host, "battle.png", BattleMatch));
    EXPECT_TRUE(WaitFor(m_guest, "battle.png", BattleMatch));
}

} // namespace
