// The battle's recorded opponent: reading a replay, running its records at their times (bullets
// and their overflow, commands, attacks, messages), looping or ending, the preview of the next
// six attacks, and the player's own replay written at the end of a game.
#include "board/GameMessages.h"
#include "lane/PlayerGhost.h"
#include "board/VanteoBlockMap.h"
#include "support/GameSeamFakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class PlayerGhostTest : public ::testing::Test {
protected:
    // Loads a replay given as its "Rep" elements and root attributes.
    void Load(const std::string& root, const std::string& reps)
    {
        m_dir.Write("ghost.gst", "<Replay " + root + ">" + reps + "</Replay>");
        ASSERT_TRUE(ghost.Load("ghost.gst"));
        ghost.Rewind();
        messages.Clear();
    }
    std::vector<std::vector<int32_t>> Attacks()
    {
        std::vector<std::vector<int32_t>> out;
        for (const auto& m : messages.WithId(MSG_ENEMY_ATTACK)) {
            PayloadReader r = m.Reader();
            out.push_back({r.I32(), r.I32(), r.I32()});
        }
        return out;
    }

    testsupport::TempDir m_dir;
    testsupport::ScopedCurrentDir m_cwd{m_dir.Path()};
    RecordingMessages messages;
    Player_Ghost ghost{messages};
};

TEST_F(PlayerGhostTest, BulletsOverflowIntoAnAttackAndFiringEmptiesThem)
{
    Load("", "<Rep T=\"1.0\" B0=\"5\" B1=\"7\"/><Rep T=\"2.0\" B0=\"385\"/><Rep T=\"3.0\" B0=\"25\"/>"
             "<Rep T=\"4.0\" S2=\"9\" A2=\"50\"/><Rep T=\"5.0\" A1=\"120\"/><Rep T=\"6.0\" SA3=\"40\" Msg=\"hello\"/>");
    ghost.Update(1.5f);
    EXPECT_EQ(ghost.m_nBullets[0], 5);  // both bullet keys of one record
    EXPECT_EQ(ghost.m_nBullets[1], 7);
    ghost.Update(2.0f);
    EXPECT_EQ(Attacks(), (std::vector<std::vector<int32_t>>{{0, 0, 15}}));  // 390 + 25
    EXPECT_EQ(ghost.m_nBullets[0], 400);
    messages.Clear();
    ghost.Update(1.0f);  // the command alone
    EXPECT_EQ(messages.Ids(), (std::vector<int32_t>{MSG_GHOST_COMMAND}));
    messages.Clear();
    ghost.Update(1.0f);
    EXPECT_EQ(Attacks(), (std::vector<std::vector<int32_t>>{{0, 1, 120}}));
    EXPECT_EQ(ghost.m_nBullets[1], 0);
    messages.Clear();
    ghost.Update(1.0f);
    EXPECT_EQ(Attacks(), (std::vector<std::vector<int32_t>>{{1, 3, 40}}));
    EXPECT_EQ(messages.WithId(MSG_GHOST_TEXT).size(), 1u);
    EXPECT_EQ(ghost.m_Message, "hello");
    ghost.Update(3.1f);
    EXPECT_EQ(ghost.m_Message, "");
}

TEST_F(PlayerGhostTest, AReplayLoopsTenSecondsAfterItsEndOrEndsWithTheWin)
{
    Load("", "<Rep T=\"2.0\" A0=\"10\"/><Rep T=\"60.0\" A1=\"20\"/>");
    EXPECT_TRUE(ghost.m_bLoop);  // no "loop": it loops
    EXPECT_FLOAT_EQ(ghost.m_fRealHp, 1000.0f);
    EXPECT_EQ(ghost.m_nUserHp, 1000);
    EXPECT_FLOAT_EQ(ghost.m_fLength, 60.0f);
    for (int step = 0; step < 715; ++step)  // 71.5 s
        ghost.Update(0.1f);
    EXPECT_EQ(Attacks().size(), 2u);
    for (int step = 0; step < 10; ++step)  // 72.5 s
        ghost.Update(0.1f);
    EXPECT_EQ(Attacks().size(), 3u);  // the record at 2 s again, 12 s after the last one

    Load("loop=\"False\" HP=\"700\" UserHP=\"900\"", "<Rep T=\"1.0\" A0=\"10\"/>");
    EXPECT_FALSE(ghost.m_bLoop);
    EXPECT_FLOAT_EQ(ghost.m_fRealHp, 700.0f);
    EXPECT_EQ(ghost.m_nUserHp, 900);
    ghost.Update(2.0f);
    ghost.Update(20.0f);
    EXPECT_EQ(messages.WithId(MSG_GAME_WIN).size(), 1u);
    EXPECT_EQ(Attacks().size(), 1u);

    m_dir.Write("bad.gst", "<Other/>");
    EXPECT_FALSE(ghost.Load("bad.gst"));
    EXPECT_FALSE(ghost.Load("none.gst"));
}

TEST_F(PlayerGhostTest, ThePreviewShowsTheNextSixAttacks)
{
    Load("", "<Rep T=\"1.0\" DA0=\"10\"/><Rep T=\"2.0\" B0=\"5\"/><Rep T=\"3.0\" A4=\"0\"/><Rep T=\"4.0\" A2=\"30\"/>");
    std::vector<std::pair<int, int>> shown;
    for (int n = 0; n < kGhostPreviewSlots; ++n)
        if (ghost.PreviewSlot(n).shown)
            shown.emplace_back(ghost.PreviewSlot(n).kind, ghost.PreviewSlot(n).power);
    // A looping replay goes round again to fill all six.
    EXPECT_EQ(shown, (std::vector<std::pair<int, int>>{{0, 10}, {4, 0}, {2, 30}, {0, 10}, {4, 0}, {2, 30}}));

    Load("loop=\"FALSE\"", "<Rep T=\"1.0\" B0=\"5\"/>");
    for (int n = 0; n < kGhostPreviewSlots; ++n)
        EXPECT_FALSE(ghost.PreviewSlot(n).shown);
    Load("", "<Rep T=\"1.0\" B0=\"5\"/>");  // looping without any attack: empty, and no endless search
    for (int n = 0; n < kGhostPreviewSlots; ++n)
        EXPECT_FALSE(ghost.PreviewSlot(n).shown);
}

TEST_F(PlayerGhostTest, TheGamesReplayIsWrittenOnceAndTheShippedGhostRestoresIt)
{
    RecordingSounds sounds;
    GameRandom random(7);
    VanteoBlockMap board({messages, sounds, random}, BoardTuning{});
    board.NewGame();
    board.RecordFire1(120);
    m_dir.Write("data/PlayData/keep", "");
    board.playTime = 12.35f;
    board.RecordMarker();
    ASSERT_TRUE(board.SaveRecording());
    EXPECT_FALSE(board.SaveRecording());  // once a game
    // Times with six decimals, one action key per record, the loop flag written.
    const std::string written = m_dir.Read(kOwnBattleGhostFile);
    EXPECT_NE(written.find("<Replay loop=\"TRUE\">"), std::string::npos) << written;
    EXPECT_NE(written.find("<Rep T=\"0.000000\" A1=\"120\" />"), std::string::npos) << written;
    EXPECT_NE(written.find("<Rep T=\"12.350000\" S0=\"0\" />"), std::string::npos) << written;
    ASSERT_TRUE(ghost.Load(kOwnBattleGhostFile));
    ghost.Rewind();
    messages.Clear();
    ghost.Update(1000.0f);
    ASSERT_FALSE(Attacks().empty());
    EXPECT_EQ(Attacks()[0], (std::vector<int32_t>{0, 1, 120}));

    EXPECT_FALSE(ResetGhostFile(kOwnBattleGhostFile));  // no shipped ghost here
    m_dir.Write(kInitialBattleGhostFile, "<Replay loop=\"TRUE\"><Rep T=\"1.0\" A0=\"5\"/></Replay>");
    EXPECT_TRUE(ResetGhostFile(kOwnBattleGhostFile));
    EXPECT_NE(m_dir.Read(kOwnBattleGhostFile).find("A0=\"5\""), std::string::npos);
}

TEST_F(PlayerGhostTest, HostileRecordsAreBoundedAndRefused)
{
    // Every time lies before the loop's restart clock: one frame plays the list at most twice.
    Load("", "<Rep T=\"-50\" A0=\"1\"/><Rep T=\"-40\" A1=\"2\"/>");
    ghost.Update(0.1f);
    EXPECT_LE(Attacks().size(), 4u);
    EXPECT_GE(Attacks().size(), 2u);

    // Sounds outside the data folder are never loaded nor announced; long texts are cut to
    // their 128-byte fields.
    const std::string longText(300, 'x');
    for (const char* bad : {"../secret.wav", "/etc/passwd", "a/../../b.wav", "c:\\x.wav", ""}) {
        Load("", std::string("<Rep T=\"0.5\" Sound=\"") + bad + "\" Msg=\"" + longText + "\"/>");
        EXPECT_EQ(ghost.m_Sounds.count(bad), 0u) << bad;
        ghost.Update(1.0f);
        EXPECT_TRUE(messages.WithId(MSG_GHOST_SOUND).empty()) << bad;
        EXPECT_EQ(ghost.m_Message.size(), 127u);
    }
    Load("", "<Rep T=\"0.5\" Sound=\"sound/ok.wav\"/>");
    EXPECT_EQ(ghost.m_Sounds.count("sound/ok.wav"), 1u);

    // Not XML, empty, truncated: refused, and the ghost keeps the replay it had.
    m_dir.Write("empty.gst", "");
    m_dir.Write("cut.gst", "<Replay loop=\"TRUE\"><Rep T=\"1");
    m_dir.Write("text.gst", "just words");
    for (const char* name : {"empty.gst", "cut.gst", "text.gst"})
        EXPECT_FALSE(ghost.Load(name)) << name;
    EXPECT_NE(ghost.m_pDocument, nullptr);
}

// Numbers beyond what a recorded battle holds are held at the game's limits as they are read:
// bullets at the int limit overflow into one bounded attack instead of wrapping, hit points stay
// within what a ghost may have, and a time past any clock waits like a missing one.
TEST_F(PlayerGhostTest, ExtremeNumbersAreHeldAtTheGamesLimits)
{
    Load("HP=\"2147483647\" UserHP=\"-99999999999\"",
         "<Rep T=\"1.0\" B0=\"2147483647\"/><Rep T=\"1.5\" B0=\"2147483647\"/>"
         "<Rep T=\"2.0\" B1=\"-2147483648\"/><Rep T=\"2.5\" B1=\"-2147483648\"/>"
         "<Rep T=\"3.0\" SA2=\"99999999999\"/><Rep T=\"1e300\" A0=\"1\"/>");
    EXPECT_FLOAT_EQ(ghost.m_fRealHp, static_cast<float>(Player_Ghost::kMaxHp));
    EXPECT_EQ(ghost.m_nUserHp, 0);
    ghost.Update(5.0f);
    const auto attacks = Attacks();
    ASSERT_EQ(attacks.size(), 3u);
    for (const auto& attack : attacks) {
        EXPECT_GT(attack[2], 0);
        EXPECT_LE(attack[2], 100000);
    }
    // The record timed past any clock never plays, however long the battle runs.
    ghost.Update(100000.0f);
    EXPECT_EQ(Attacks().size(), 3u);
}

} // namespace
