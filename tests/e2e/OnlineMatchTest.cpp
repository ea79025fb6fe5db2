// Two players play online matches. In the room both get ready and the host starts a battle; the
// host's player calls up bullets (F8) again and again and auto-fire sends them down the lane
// until the guest's tower falls: the host's screen shows the win, the guest's the loss, each
// program's online record counts it, both go back to the room, and the host's second start
// there begins a second battle. In a push match started from the room, the guest's program is killed mid-match: the host is told the other player is gone
// and its notice leads back to the room.
#include "OnlinePair.h"

#include <cstdint>

namespace {

// The result pop-up's continue button (the host's only) and the notice's OK button.
constexpr const char* kContinue = "752 670";
constexpr const char* kNoticeOk = "512 476";

// F8 (a few bullets of every colour) every other frame.
std::string CallBullets(int from, int frames)
{
    std::string lines;
    for (int frame = from; frame < from + frames; frame += 2)
        lines += std::to_string(frame) + " key 77\n";
    return lines;
}

std::string BattleHostScript()
{
    return HostToRoom() + "901 click " + kReady + "\n1000 wait readied ready.png\n1001 click " + kStart +
           "\n1100 wait fight battle.png\n" + CallBullets(1101, 1200) + "2400 wait decided result.png\n2401 click " +
           kContinue + "\n2500 wait again room2.png\n2501 wait readied2 ready2.png\n2502 click " + kStart +
           "\n2600 wait never battle2.png\n";
}

std::string BattleGuestScript()
{
    return GuestToRoom() + "901 click " + kReady + "\n1000 wait fight battle.png\n1001 wait decided result.png\n" +
           "1002 wait confirm after.png\n1003 click " + kNoticeOk + "\n1004 wait again room2.png\n1005 wait never battle2.png\n";
}

std::string PushHostScript()
{
    return HostToRoom() + "901 click " + kChoosePush + "\n910 click " + kReady + "\n1000 wait readied ready.png\n" +
           "1001 click " + kStart + "\n1100 wait gone push.png\n1101 click " + kNoticeOk + "\n1200 wait never room3.png\n";
}

std::string PushGuestScript() { return GuestToRoom() + "901 click " + kReady + "\n1000 wait never push.png\n"; }

// The online record kept in the run folder: wins in the high half, 65535 - losses in the low.
int32_t OnlineRecord(const OnlinePlayer& player)
{
    std::string bytes = player.run.folder.Read("data/PlayData/UserLeaderBoard.bin");
    if (bytes.size() != 28)
        return -1;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[24 + i]);
    return static_cast<int32_t>(value);
}

// The result pop-up over the battle: its dark header with the red "YOU LOSE", or with the green
// "YOU WIN!" and no red.
bool Reddish(Rgb p) { return p.r > 140 && p.r > p.g + 60 && p.r > p.b + 50; }
bool Header(const GameRun& run, const std::string& file)
{
    return run.Count(file, 120, 50, 900, 175, Like({27, 35, 64}, 12)) > 40000;
}
bool Lost(const GameRun& run, const std::string& file)
{
    return Header(run, file) && run.Count(file, 330, 80, 700, 140, Reddish) > 2000;
}
bool Won(const GameRun& run, const std::string& file)
{
    return Header(run, file) && run.Count(file, 330, 80, 700, 140, Like({60, 196, 124}, 30)) > 2000 &&
           run.Count(file, 330, 80, 700, 140, Reddish) < 100;
}

class OnlineMatchTest : public OnlinePairTest {};

TEST_F(OnlineMatchTest, ABattleIsWonOnOneScreenAndLostOnTheOtherAndBothReturnToTheRoom)
{
    ASSERT_TRUE(Meet(BattleHostScript(), BattleGuestScript()));
    // The guest is ready on the host's screen: the host starts the battle, shown on both screens.
    ASSERT_TRUE(WaitFor(m_host, "ready.png", GuestReady));
    m_host.Go("readied");
    ASSERT_TRUE(WaitFor(m_host, "battle.png", BattleMatch));
    ASSERT_TRUE(WaitFor(m_guest, "battle.png", BattleMatch));
    m_host.Go("fight");
    m_guest.Go("fight");
    // The host's units bring the guest's tower down: a win on one screen, a loss on the other,
    // each counted in that program's online record.
    ASSERT_TRUE(WaitFor(m_host, "result.png", Won));
    ASSERT_TRUE(WaitFor(m_guest, "result.png", Lost));
    EXPECT_EQ(OnlineRecord(m_host), 0x10000 + 0xFFFF) << "one win";
    EXPECT_EQ(OnlineRecord(m_guest), 0xFFFF - 1) << "one loss";
    // The host's continue brings it back to the room; the guest follows, or is told the match is
    // over and confirms (a click that lands on the chat box once in the room).
    m_host.Go("decided");
    m_guest.Go("decided");
    ASSERT_TRUE(WaitFor(m_guest, "after.png", [](const GameRun& run, const std::string& file) {
        return Notice(run, file) || NameAt(562, 160, 922, 200)(run, file);
    }));
    m_guest.Go("confirm");
    ASSERT_TRUE(WaitFor(m_guest, "room2.png", NameAt(562, 160, 922, 200)));
    ASSERT_TRUE(WaitFor(m_host, "room2.png", NameAt(562, 160, 922, 200)));
    // Back in the same room the guest comes back ready, and the host's second start begins a
    // second battle on both screens.
    m_host.Go("again");
    m_guest.Go("again");
    ASSERT_TRUE(WaitFor(m_host, "ready2.png", GuestReady));
    m_host.Go("readied2");
    EXPECT_TRUE(WaitFor(m_host, "battle2.png", BattleMatch));
    EXPECT_TRUE(WaitFor(m_guest, "battle2.png", BattleMatch));
}

TEST_F(OnlineMatchTest, APushMatchSurvivesAPlayerLeaving)
{
    ASSERT_TRUE(Meet(PushHostScript(), PushGuestScript()));
    // The host switches to push; with the guest ready it starts, and both screens show the match.
    ASSERT_TRUE(WaitFor(m_host, "ready.png", GuestReady));
    m_host.Go("readied");
    ASSERT_TRUE(WaitFor(m_host, "push.png", PushMatch));
    ASSERT_TRUE(WaitFor(m_guest, "push.png", PushMatch));
    // The guest's program dies; the host hears of it, and its notice's OK leads back to the room.
    m_guest.Kill();
    ASSERT_TRUE(WaitFor(m_host, "push.png", Notice));
    m_host.Go("gone");
    EXPECT_TRUE(WaitFor(m_host, "room3.png", NameAt(122, 160, 482, 200)));
}

} // namespace
