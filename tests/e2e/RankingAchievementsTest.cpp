// Leaderboards and achievements in the real program: two players on one machine, each with a
// profile of their own, start the game for the 100th time (the start counter of the shipped play
// record is set to 99), which earns the "100 starts" achievement with its bonus; each opens the
// online ranking, where their online record is uploaded, and the achievements pop-up. The
// second player's ranking lists both players, their own row marked. Run once over the embedded
// backend (a shared folder) and once over a redis-server of the test's own.
#include "support/TempDir.h"

#include "../platform/steam/OnlineFixture.h"
#include "GameRun.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

namespace {

// The main screen, the online sub-menu's ranking (the downloads settle), then its achievements
// pop-up, and out.
constexpr const char* kScript = "40 key 20\n"
                                "200 key 20\n"
                                "500 move 900 100\n"
                                "520 press 900 100\n"
                                "560 shot bonus.png\n"
                                "620 click 649 503\n"
                                "700 click 681 457\n"
                                "840 shot ranking.png\n"
                                "850 key 1B\n"
                                "920 click 341 457\n"
                                "1020 shot achievements.png\n"
                                "1030 key 1B\n"
                                "1100 quit\n";

// The bests file with an online record of `wins` wins and no losses.
std::string Bests(int32_t wins)
{
    std::string bytes;
    for (int32_t v : {-1, 0, 0, 0, 0, 0, wins * 65536 + 0xFFFF})
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF));
    return bytes;
}

bool Dark(Rgb p) { return p.r < 90 && p.g < 90 && p.b < 120; }
bool Highlight(Rgb p) { return p.r > 230 && p.g > 200 && p.b < 200; }
bool White(Rgb p) { return p.r > 220 && p.g > 220 && p.b > 220; }
bool Green(Rgb p) { return p.g > 150 && p.r < 120 && p.b < 160; }

class RankingAchievementsTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override
    {
        if (GetParam() == "redis") {
            m_redis = std::make_unique<steamtest::RedisServer>();
            if (!m_redis->Running())
                GTEST_SKIP() << "redis-server is not installed";
            m_environment = "QUIBLY_ONLINE=" + m_redis->Url();
        } else {
            m_environment = "QUIBLY_ONLINE_DIR='" + m_shared.Str() + "'";
        }
    }

    // One player's run: a persona name, an online record, the 100th start.
    void Play(GameRun& run, testsupport::TempDir& profile, const std::string& persona, int32_t wins)
    {
        profile.Write("persona.txt", persona + "\n");
        ASSERT_TRUE(run.Edit("data/PlayData/QuiblyConfig.xml", "<Opening IsShow=\"0\" />", "<Opening IsShow=\"1\" />"));
        ASSERT_TRUE(run.Edit("data/PlayData/QuiblyConfig.xml", "Multi=\"0\"", "Multi=\"1\""));
        ASSERT_TRUE(run.Edit("data/PlayData/QuiblyRecord.xml", "Excute=\"0\"", "Excute=\"99\""));
        run.folder.Write("data/PlayData/UserLeaderBoard.bin", Bests(wins));
        ASSERT_EQ(run.Run(kScript, profile.Str(), m_environment), 0) << run.folder.Read("stderr.txt");
    }

    static int PackedCubes(const GameRun& run)
    {
        std::string text = run.PackedFile("Data/PlayData/QuiblyConfig.xml");
        size_t at = text.find("<Cube Count=\"");
        return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + 13);
    }

    std::unique_ptr<steamtest::RedisServer> m_redis;
    testsupport::TempDir m_shared;
    std::string m_environment;
};

TEST_P(RankingAchievementsTest, TwoPlayersShareTheBoardAndEarnTheirBonus)
{
    GameRun alice, bob;
    testsupport::TempDir aliceProfile, bobProfile;
    Play(alice, aliceProfile, "Alice", 2);
    Play(bob, bobProfile, "Bob", 5);  // ahead of Alice

    for (GameRun* run : {&alice, &bob}) {
        // The bonus line under the menu, the cubes it paid, the achievement saved.
        EXPECT_GT(run->Count("bonus.png", 330, 665, 700, 690, White), 200);
        EXPECT_EQ(PackedCubes(*run), 100);
        EXPECT_NE(run->PackedFile("Data/PlayData/Steam_Achievements.xml").find("IsAchiev=\"1\""), std::string::npos);
        // The achievements pop-up: its title bar, and a gauge that has begun to fill.
        EXPECT_TRUE(Near(run->Pixel("achievements.png", 200, 60), {155, 107, 223}, 12));
        EXPECT_GT(run->Count("achievements.png", 222, 129, 270, 151, Green), 10);
    }
    // Alice alone: her row first and marked, nothing after it.
    EXPECT_GT(alice.Count("ranking.png", 190, 188, 840, 214, Highlight), 5000);
    EXPECT_GT(alice.Count("ranking.png", 262, 188, 420, 214, Dark), 20);
    EXPECT_EQ(alice.Count("ranking.png", 190, 226, 840, 252, Dark), 0);
    // Bob: his row first and marked, Alice's second and plain, then nothing.
    EXPECT_GT(bob.Count("ranking.png", 190, 188, 840, 214, Highlight), 5000);
    EXPECT_EQ(bob.Count("ranking.png", 190, 226, 840, 252, Highlight), 0);
    EXPECT_GT(bob.Count("ranking.png", 262, 226, 420, 252, Dark), 20);
    EXPECT_EQ(bob.Count("ranking.png", 190, 264, 840, 290, Dark), 0);
    // The player's own row at the bottom: rank 1 for Bob.
    EXPECT_GT(bob.Count("ranking.png", 190, 580, 840, 618, White), 50);
}

INSTANTIATE_TEST_SUITE_P(Backends, RankingAchievementsTest, ::testing::Values("embedded", "redis"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

} // namespace
