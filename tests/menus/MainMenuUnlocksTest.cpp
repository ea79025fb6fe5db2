// The menu's unlocks from the player's records: modes that open with their notice once the title
// is over, the guided first play, the online record's text, and the local bests raised.
#include "MainMenuFixture.h"

#include "data/Records.h"
#include "kv/KVLabel.h"
#include "net/LeaderBoard.h"

namespace menutest {
namespace {

class MainMenuUnlocksTest : public MainMenuFixture {
protected:
    // The player's entries in the first `count` hard stages.
    static void HardStagesReached(int count)
    {
        for (int key = 0; key < count; ++key)
            InsertRankingScore(RANK_STAGE_HARD, std::to_string(key).c_str(), 100, 60);
    }
    std::wstring Text(const wchar_t* name)
    {
        auto* label = dynamic_cast<kv::KVLabel*>(system->GetRootLayer()->FindWindow(name));
        return label ? label->text : L"<none>";
    }
};

TEST_F(MainMenuUnlocksTest, TenHardStagesOpenPushWithItsNoticeAndEndTheGuidedPlay)
{
    HardStagesReached(10);
    Enter(-1);
    EXPECT_TRUE(popUps.Called("UnlockNotice 2"));
    EXPECT_EQ(GameConfig.unlockPush, 1);
    EXPECT_EQ(GameConfig.unlockBattle, 0);
    EXPECT_EQ(GameConfig.guidedPlay, 0);
}

TEST_F(MainMenuUnlocksTest, NineHardStagesKeepTheGuidedPlayAndAnOpenNoticeHoldsUnlocks)
{
    HardStagesReached(9);
    Enter(-1);
    EXPECT_FALSE(popUps.Called("UnlockNotice 2"));
    EXPECT_EQ(GameConfig.guidedPlay, 1);

    HardStagesReached(10);
    popUps.noticeOpen = true;
    scene->CheckUnlocks(-1);
    EXPECT_EQ(GameConfig.unlockPush, 0);  // waits for the notice to close
    popUps.noticeOpen = false;
    scene->CheckUnlocks(-1);
    EXPECT_EQ(GameConfig.unlockPush, 1);
}

TEST_F(MainMenuUnlocksTest, TheOnlineRecordIsShownAndTheBestsOnlyImprove)
{
    const int32_t saved = g_nMultiRecord;
    g_nMultiRecord = 2 * 65536 + 65534;
    QuiblyLeaderBoard& bests = GetLeaderBoard();
    const auto savedBests = bests.m_nBest;
    bests.m_nBest[LB_BATTLE] = 5000;
    Enter(-1);
    EXPECT_EQ(Text(L"Label_cmt_ranking"), L"2 Wins / 1 Lose");
    EXPECT_EQ(bests.m_nBest[LB_BATTLE], 5000);  // no battle score yet: the better best stays
    g_nMultiRecord = saved;
    bests.m_nBest = savedBests;
}

} // namespace
} // namespace menutest
