// The combo challenge headless: lives lost on loose clicks and won back on the combo schedule,
// the market and its life for 100 cubes, eraser pins, the bullets that Enter fills and a clear
// empties, the end of the game with its ranking, pop-up, cubes and leaderboard best, and the
// ranking of a game left from the pause.
#include "ModeSceneFixture.h"

#include "data/ModeConfig.h"
#include "menus/PopUpResult.h"
#include "modes/ModeSceneKit.h"
#include "modes/VanteoBlockMap_Challenge.h"
#include "modes/VanteoScene_ComboChallenge.h"
#include "support/LogCapture.h"

#include <win32/VirtualKeys.h>

#include <cstring>
#include <filesystem>

using namespace modetest;

namespace {

constexpr const char* kConfig =
    "<VanteoConfig><RandomSeed Seed=\"7\"/><Setting RefillSpeed=\"300\" maxRefillSpeed=\"500\"/><StageList>"
    "<Stage name=\"A\"/><Stage name=\"B\"/><Stage name=\"C\"/><Stage name=\"D\"/><Stage name=\"E\"/>"
    "<Stage name=\"F\"/><Stage name=\"EASY\"/><Stage name=\"HARD\"/>"
    "</StageList></VanteoConfig>";

class ComboChallengeSceneTest : public ModeSceneTest<> {
protected:
    void SetUp() override
    {
        std::string area = Wnd("Wnd_PuzzleArea", 300, 100, 360, 360) + Wnd("Wnd_ComboArea", 300, 100, 360, 360);
        std::string windows;
        for (const char* name : {"Pic_combo_hard", "Pic_combo_easy", "Pic_life_down_effect", "Pic_life_up_effect",
                                 "Pic_combo_effect", "Pic_effect_highlight_Large", "Pic_effect_highlight_small",
                                 "Anibtn_stage_reset", "Pic_lastchance_back", "Pic_lastchance_effect", "Pic_warning",
                                 "Anibtn_combo_reset", "Anibtn_menu", "Anibtn_rotate_L", "Anibtn_rotate_R"})
            windows += Wnd(name, 10, 10, 18, 18);
        windows += Wnd("Wnd_combo", 0, 0, 50, 50, Wnd("Pic_combo_effect_2", 0, 0, 9, 9));
        windows += Row("Pic_maxcombo_%d", 3, 20, 50) + Row("Pic_maxcombo_now_%d", 3, 20, 80) +
                   Row("Pic_combo_%d", 3, 20, 110) + Row("Anibtn_life_%d", 10, 20, 400);
        AddLayout("layout/Combo.xml", Layout("Wnd_combo_layout", area + windows));
        AddLayout("layout/Back.xml", Layout("Wnd_back", Wnd("Pic_puzzle_place", 0, 0, 9, 9) + Wnd("Wnd_point", 0, 0, 9, 9)));
        AddLayout("layout/Market.xml",
                  Layout("Wnd_market", Wnd("market_buy_Normal", 500, 600, 100, 40) + Wnd("market_ufo_in", 0, 0, 9, 9) +
                                           Wnd("market_ufo_out", 0, 0, 9, 9) + Wnd("market_hand", 0, 0, 9, 9)));
        using enginetest::animxml::FileXml;
        using enginetest::animxml::SceneXml;
        // The ready-go lasts 0.2 s.
        data.Write("anim/combo_readygo.xml", FileXml(SceneXml("readygo", {{0}, {200}})));
        data.Write("anim/combo_lives.xml", FileXml(SceneXml("Normal", {{0}, {100}}) + SceneXml("Disable", {{0}, {100}}) +
                                                   SceneXml("Up", {{0}, {100}}) + SceneXml("Down", {{0}, {100}})));
        data.Write("PlayData/QuiblyConfig_Puzzle.xml", kConfig);
        SetUpScene(new VanteoScene_ComboChallenge(), {{"LayoutCombo", "Combo.xml"},
                                                      {"LayoutPuzzleBack", "Back.xml"},
                                                      {"LayoutGalaxyMarket", "Market.xml"},
                                                      {"Effect_ReadyGo", "combo_readygo.xml"},
                                                      {"Effect_Combolife", "combo_lives.xml"}});
    }

    VanteoScene_ComboChallenge& Combo() { return *static_cast<VanteoScene_ComboChallenge*>(scene); }
    void Enter(int type = 7)
    {
        manager->SetFirstScene(kComboChallengeSceneName, type, 0);
        Run(20, 0.02f);  // past the ready-go
        ASSERT_EQ(Combo().m_nState, kGameStatePlaying);
    }
    kv::KVWnd* Window(const wchar_t* name) { return modekit::Find(Combo().m_pLayout, name); }
    // A click on a loose red block, as the board reports it.
    void LooseClick() { Send(MSG_BLOCK_CLICKED, {2, 3, 1, 1, 0, 0, 0}); }
    // The board's combo after `clears` group clears, and the clear message the last one posts.
    void Clear(int clears)
    {
        Combo().m_pBoard->combo = clears + 1;
        Send(MSG_GROUP_CLEARED, {1, 0, 10, 4, 0, 0, 0, 0});
        Run(1, 0.02f);
    }
};

TEST_F(ComboChallengeSceneTest, EnterBuildsTheHardBoardWithSevenLives)
{
    Enter(7);
    ASSERT_NE(Combo().m_pBoard, nullptr);
    EXPECT_EQ(Combo().m_pBoard->width, 8);
    EXPECT_EQ(Combo().m_pBoard->noComboMode, 1);
    EXPECT_FLOAT_EQ(Combo().m_pBoard->originX, 300.0f);
    EXPECT_EQ(Combo().m_nLives, 7);
    EXPECT_EQ(Combo().ModeKey(), "PUZZLE.COMBOCHAL.HARD");
    EXPECT_FALSE(Window(L"Pic_combo_easy")->IsVisible());
    EXPECT_TRUE(Window(L"Pic_combo_hard")->IsVisible());
    EXPECT_FALSE(Combo().m_pMarketWindow->IsVisible());
    // Icons show the spare lives beside the one in play.
    for (int i = 0; i < VanteoScene_ComboChallenge::kMaxLives; ++i)
        EXPECT_EQ(Combo().m_LifeIcons[i].m_strScene, i <= 5 ? "Normal" : "Disable") << i;
}

TEST(ComboLifeScheduleTest, LivesComeBackAtCombosThatSpreadOutEveryFifty)
{
    std::vector<int> gifts;
    for (int k = 0; k <= 210; ++k)
        if (VanteoScene_ComboChallenge::GivesLife(k))
            gifts.push_back(k);
    EXPECT_EQ(gifts, (std::vector<int>{15, 30, 45, 64, 80, 96, 102, 119, 136, 162, 180, 198, 209}));
}

TEST_F(ComboChallengeSceneTest, LooseClicksCostLivesAndClearsOnTheScheduleGiveThemBack)
{
    Enter();
    LooseClick();
    EXPECT_EQ(Combo().m_nLives, 6);
    EXPECT_EQ(Combo().m_LifeIcons[5].m_strScene, "Down");
    // Stars, stones, fixed blocks and empty cells cost nothing.
    Send(MSG_BLOCK_CLICKED, {2, 3, 4, 1, 0, 0, 0});
    Send(MSG_BLOCK_CLICKED, {2, 3, 5, 1, 0, 0, 0});
    Send(MSG_BLOCK_CLICKED, {2, 3, 2, 1, 0, 1, 0});
    Send(MSG_BLOCK_CLICKED, {2, 3, 0, 0, 0, 0, 0});
    EXPECT_EQ(Combo().m_nLives, 6);
    Clear(14);
    EXPECT_EQ(Combo().m_nLives, 6);
    Clear(15);
    EXPECT_EQ(Combo().m_nLives, 7);
    EXPECT_EQ(Combo().m_LifeIcons[5].m_strScene, "Up");
    Combo().m_nLives = 9;
    Clear(30);
    EXPECT_EQ(Combo().m_nLives, 10);
    Clear(45);
    EXPECT_EQ(Combo().m_nLives, 10);  // never more than ten
}

TEST_F(ComboChallengeSceneTest, ThePinErasesItsColourWithoutCostingALife)
{
    Enter();
    VanteoBlockMap& board = *Combo().m_pBoard;
    board.refillSpeed = 0;
    Send(MSG_BLOCK_CLICKED, {0, 0, 1, 1, 1, 0, 0});
    EXPECT_EQ(Combo().m_nLives, 7);
    EXPECT_GE(board.refillSpeed, 300.0f);
    EXPECT_LE(board.refillSpeed, 500.0f);
}

TEST_F(ComboChallengeSceneTest, EnterFillsTheBulletsAndTheNextClearEmptiesThem)
{
    Enter();
    input.keys.insert(VK_RETURN);
    Run(1, 0.02f);
    input.keys.clear();
    VanteoBlockMap& board = *Combo().m_pBoard;
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(board.bullets[c], 400);
    Clear(1);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(board.bullets[c], 0);
        EXPECT_EQ(board.bulletTotals[c], 0);
    }
}

TEST_F(ComboChallengeSceneTest, TheHundredthClearBringsTheMarketWhereTheLastLifeCanBeBought)
{
    Enter();
    GameConfig.cubes = 120;
    Combo().m_pBoard->combo = 101;
    Run(1, 0.02f);
    ASSERT_EQ(Combo().m_bMarketShown, 1);
    kv::KVWnd* buy = modekit::Find(Combo().m_pMarketWindow, L"market_buy_Normal");
    EXPECT_TRUE(Combo().m_pMarketWindow->IsVisible());
    EXPECT_FALSE(buy->IsEnabled());  // more than one life: nothing to buy
    EXPECT_EQ(Combo().m_nBestCombo, 100);

    Combo().m_nLives = 2;
    LooseClick();  // the last life: the market opens its offer
    EXPECT_EQ(Combo().m_nLives, 1);
    EXPECT_TRUE(buy->IsEnabled());

    kv::EventArgs args;
    Combo().OnMarketBuyClicked(args);
    EXPECT_EQ(GameConfig.cubes, 20);
    EXPECT_EQ(Combo().m_nLives, 2);
    EXPECT_EQ(Combo().m_bMarketShown, 0);
    EXPECT_NE(testsupport::ReadFile("data/PlayData/QuiblyConfig.xml").find("20"), std::string::npos);
    Combo().OnMarketBuyClicked(args);  // the market has gone
    EXPECT_EQ(GameConfig.cubes, 20);
}

TEST_F(ComboChallengeSceneTest, WithoutCubesTheOfferStaysClosed)
{
    Enter();
    GameConfig.cubes = 99;
    Combo().m_nLives = 1;
    Combo().m_pBoard->combo = 201;
    Run(2, 0.02f);
    ASSERT_EQ(Combo().m_bMarketShown, 1);
    EXPECT_FALSE(modekit::Find(Combo().m_pMarketWindow, L"market_buy_Normal")->IsEnabled());
}

TEST_F(ComboChallengeSceneTest, TheLastLifeEndsTheGameWithRankingCubesAndLeaderBoardBest)
{
    Enter(7);
    Combo().m_pBoard->combo = 13;  // twelve clears
    Combo().m_nLives = 1;
    LooseClick();
    Run(1, 0.02f);  // the lose message arrives
    EXPECT_EQ(Combo().m_nState, kGameStateFinished);
    EXPECT_EQ(Combo().m_pBoard->frozen, 1);
    const RankEntry* table = FindRankingTable(RANK_COMBO, "7");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table[0].score, 12);
    // First place of a new table, the player's own empty places below it: 250 cubes.
    EXPECT_EQ(GameConfig.cubes, 250);
    EXPECT_EQ(Combo().m_pResultWin->m_nShowSound, 66);
    EXPECT_EQ(GetLeaderBoard().m_nBest[LB_COMBO], 12);
    EXPECT_EQ(std::filesystem::file_size("data/PlayData/UserLeaderBoard.bin"), 28u);
    // A second end changes nothing.
    Send(MSG_GAME_LOSE, {});
    EXPECT_EQ(GameConfig.cubes, 250);
}

TEST_F(ComboChallengeSceneTest, ALastPlaceEndsWithTheLosePopUpAndTheEasyTypeLeavesTheLeaderBoard)
{
    for (int score : {90, 80, 70, 60, 50})
        InsertRankingScore(RANK_COMBO, "6", score, 100);
    Enter(6);
    Combo().m_pBoard->combo = 3;
    Send(MSG_GAME_LOSE, {});
    EXPECT_EQ(Combo().m_pResultLose->m_nShowSound, 67);
    EXPECT_EQ(Combo().m_pResultWin->m_nShowSound, -1);
    EXPECT_EQ(GameConfig.cubes, 0);  // place six: 2 / 50
    EXPECT_EQ(GetLeaderBoard().m_nBest[LB_COMBO], 0);
}

TEST_F(ComboChallengeSceneTest, AnUnwritableLeaderBoardFileIsReportedAndTheGameStillEnds)
{
    std::filesystem::create_directories("data/PlayData/UserLeaderBoard.bin/blocked");
    testsupport::LogCapture logged;
    Enter(7);
    Combo().m_pBoard->combo = 5;
    Send(MSG_GAME_LOSE, {});
    EXPECT_EQ(Combo().m_nState, kGameStateFinished);
    EXPECT_TRUE(logged.Contains(L"could not be saved"));
    std::filesystem::remove_all("data/PlayData/UserLeaderBoard.bin");
}

TEST_F(ComboChallengeSceneTest, QuittingFromThePauseRanksTheGameReachedSoFar)
{
    Enter(7);
    Combo().m_pBoard->combo = 9;
    Press(VK_ESCAPE);
    EXPECT_EQ(Combo().m_nState, kGameStatePaused);
    Send(MSG_PAUSE_QUIT, {});
    manager->DispatchMessages();
    EXPECT_EQ(log.Count("VanteoMainMenuScene Enter 0 0"), 1u);
    const RankEntry* table = FindRankingTable(RANK_COMBO, "7");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table[0].score, 8);
}

TEST_F(ComboChallengeSceneTest, RestartStartsAFreshGameAndTheMarketLeaves)
{
    Enter(7);
    Combo().m_pBoard->combo = 101;
    Combo().m_nLives = 3;
    Run(1, 0.02f);
    ASSERT_EQ(Combo().m_bMarketShown, 1);
    Press('R');
    EXPECT_EQ(Combo().m_nState, kGameStateStart);
    EXPECT_EQ(Combo().m_bMarketShown, 0);
    EXPECT_EQ(Combo().m_nLives, 7);
    EXPECT_EQ(Combo().m_pBoard->combo, 1);
}

// The cubes of a ranking place: rows 1 to 5 by place, halved above the player's own row; row 6
// by its score.
TEST(RankingCubesTest, PlacesScoresAndThePlayersOwnRowBelow)
{
    struct Case {
        int newPlace;
        const char* nameBelow;
        int score;
        int divisor;
        int cubes;
    };
    const Case cases[] = {{0, "ANNA", 40, 50, 500}, {0, "##player##", 40, 50, 250}, {1, "ANNA", 40, 50, 300},
                          {4, "##player##", 40, 50, 25}, {5, "", 120, 50, 2},        {5, "", 250000, 100000, 2},
                          {5, "", 99999, 100000, 0},     {-1, "", 0, 50, 0}};
    for (const Case& c : cases) {
        RankEntry table[RankingTable::kPlaces];
        for (RankEntry& e : table)
            std::strcpy(e.name, "ANNA");
        if (c.newPlace >= 0) {
            table[c.newPlace].isNew = 1;
            table[c.newPlace].score = c.score;
            if (c.newPlace < 5)
                std::strcpy(table[c.newPlace + 1].name, c.nameBelow);
        }
        EXPECT_EQ(modekit::CubesForRanking(table, c.divisor), c.cubes) << c.newPlace << " " << c.nameBelow;
    }
    EXPECT_EQ(modekit::CubesForRanking(nullptr, 50), 0);
}

} // namespace
