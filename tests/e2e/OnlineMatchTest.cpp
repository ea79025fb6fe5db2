// Two players play online matches. In the room both get ready and the host starts a battle; the
// host's player calls up bullets (F8) again and again and auto-fire sends them down the lane
// until the guest's tower falls: the host's screen shows the win, the guest's the loss, each
// with the score in the room and the online record, the guest's with word that it waits for the
// host; each program's online record counts it. The host's continue brings both back to the
// room, the guest without any notice, and a second and a third battle start from the same room,
// each with both towers. In a push match started from the room, the guest's program is killed
// mid-match: the host is told the other player is gone and its notice leads back to the room.
#include "OnlinePair.h"

namespace {

// The notice's OK button.
constexpr const char* kNoticeOk = "512 476";

// The host: ready, start, and in each of the first two battles bullets until the result, then
// continue; the third battle only starts. Match n's pictures and waits carry its number.
std::string BattleHostScript()
{
    std::string script = HostToRoom() + "901 click " + kReady + "\n";
    int at = 1000;
    for (int match = 1; match <= 3; ++match) {
        const std::string n = std::to_string(match);
        script += std::to_string(at) + " wait readied" + n + " ready" + n + ".png\n" + std::to_string(at + 1) +
                  " click " + kStart + "\n";
        if (match == 3)
            return script + std::to_string(at + 100) + " wait never battle3.png\n";
        script += std::to_string(at + 100) + " wait fight" + n + " battle" + n + ".png\n" + CallBullets(at + 101, 1200) +
                  std::to_string(at + 1400) + " wait decided" + n + " result" + n + ".png\n" + std::to_string(at + 1401) +
                  " click " + kContinue + "\n" + std::to_string(at + 1500) + " wait again" + n + " room" + n + ".png\n";
        at += 1501;
    }
    return script;
}

// The guest only gets ready once: back in the room after a match it is ready again by itself.
// It never clicks after a match, so a notice it had to confirm would hold it out of the room.
std::string BattleGuestScript()
{
    std::string script = GuestToRoom() + "901 click " + kReady + "\n";
    int at = 1000;
    for (int match = 1; match <= 2; ++match) {
        const std::string n = std::to_string(match);
        script += std::to_string(at) + " wait fight" + n + " battle" + n + ".png\n" + std::to_string(at + 1) +
                  " wait decided" + n + " result" + n + ".png\n" + std::to_string(at + 2) + " wait again" + n + " room" +
                  n + ".png\n";
        at += 3;
    }
    return script + std::to_string(at) + " wait never battle3.png\n";
}

std::string PushHostScript()
{
    return HostToRoom() + "901 click " + kChoosePush + "\n910 click " + kReady + "\n1000 wait readied ready.png\n" +
           "1001 click " + kStart + "\n1100 wait gone push.png\n1101 click " + kNoticeOk + "\n1200 wait never room3.png\n";
}

std::string PushGuestScript() { return GuestToRoom() + "901 click " + kReady + "\n1000 wait never push.png\n"; }


class OnlineMatchTest : public OnlinePairTest {
protected:
    // Two battles played to their end and a third begun.
    OnlineMatchTest()
    {
        m_deadline = std::chrono::steady_clock::now() + std::chrono::minutes(28);
        m_programSeconds = 1740;
    }
};


TEST_F(OnlineMatchTest, BattlesAreWonAndLostAndEachStartsAgainFromTheSameRoom)
{
    ASSERT_TRUE(Meet(BattleHostScript(), BattleGuestScript()));
    for (int match = 1; match <= 3; ++match) {
        SCOPED_TRACE(match);
        const std::string n = std::to_string(match);
        // The guest is ready on the host's screen: the host starts the battle, shown on both
        // screens, each with both towers.
        ASSERT_TRUE(WaitFor(m_host, "ready" + n + ".png", GuestReady));
        m_host.Go("readied" + n);
        auto battle = [](const GameRun& run, const std::string& file) {
            return BattleMatch(run, file) && BothTowers(run, file);
        };
        ASSERT_TRUE(WaitFor(m_host, "battle" + n + ".png", battle));
        ASSERT_TRUE(WaitFor(m_guest, "battle" + n + ".png", battle));
        if (match == 3)
            break;
        m_host.Go("fight" + n);
        m_guest.Go("fight" + n);
        // The host's units bring the guest's tower down: a win on one screen, a loss on the
        // other, each with its records, each counted in that program's online record.
        ASSERT_TRUE(WaitFor(m_host, "result" + n + ".png", [](const GameRun& run, const std::string& file) {
            return Won(run, file) && RecordsShown(run, file);
        }));
        ASSERT_TRUE(WaitFor(m_guest, "result" + n + ".png", [](const GameRun& run, const std::string& file) {
            return Lost(run, file) && RecordsShown(run, file) && WaitsForHost(run, file);
        }));
        EXPECT_EQ(OnlineRecord(m_host), match * 0x10000 + 0xFFFF);
        EXPECT_EQ(OnlineRecord(m_guest), 0xFFFF - match);
        // The host's continue brings both back to the room; a normal end shows the guest no notice.
        m_host.Go("decided" + n);
        m_guest.Go("decided" + n);
        bool notice = false;
        ASSERT_TRUE(WaitFor(m_guest, "room" + n + ".png", [&](const GameRun& run, const std::string& file) {
            notice = notice || Notice(run, file);
            return NameAt(562, 160, 922, 200)(run, file);
        }));
        EXPECT_FALSE(notice);
        EXPECT_FALSE(m_guest.Logged("Disconnect Player"));
        EXPECT_FALSE(m_host.Logged("Disconnect Player"));
        ASSERT_TRUE(WaitFor(m_host, "room" + n + ".png", NameAt(562, 160, 922, 200)));
        m_host.Go("again" + n);
        m_guest.Go("again" + n);
    }
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
