// The combo challenge: the player clears groups for as long as possible on the combo challenge
// board, whose chain never breaks. Every single click on a loose coloured block costs one of at
// most ten lives; lives come back at set combo counts; every hundredth combo brings a market in
// which a player on the last life can buy a life for 100 cubes. The game ends when the last life
// is lost: the combo reached goes to the local ranking, earns cubes and, in the ranked type,
// raises the local leaderboard best.
#pragma once

#include "engine/BlockClickEffect.h"
#include "modes/VanteoBaseScene.h"
#include "engine/AnimationPlayer.h"
#include "engine/DigitDisplay.h"
#include "engine/TimeDisplay.h"

#include <string>

namespace kv {
class KVWnd;
struct EventArgs;
}
class VanteoBlockMap_Challenge;

inline constexpr const char* kComboChallengeSceneName = "VanteoScene_ComboChallenge";

class VanteoScene_ComboChallenge : public VanteoBaseScene {
public:
    static constexpr int kStartLives = 7;
    static constexpr int kMaxLives = 10;
    static constexpr int kLifePrice = 100;
    // The type the leaderboard follows (the menu starts this one).
    static constexpr int kRankedType = 7;

    VanteoScene_ComboChallenge();
    ~VanteoScene_ComboChallenge() override;

    int Enter(int type, int b) override;
    void Leave() override;
    int Render() override;
    int Update(float seconds) override;
    void ShowUI() override;
    // The cubes of a ranking table: see modekit::CubesForRanking (the sixth place: score / 50).
    int ComputeCubeReward(const void* table) override;
    int GoToMenu() override;
    int OnPauseResume(const void* data, int length) override;
    int Restart(int a, int b) override;
    int OnGameWin(const void* data, int length) override;
    int OnGameLose(const void* data, int length) override;
    int OnGroupCleared(const void* data, int length) override;
    int OnBlockClicked(const void* data, int length) override;
    // The cursor while the market offers a life: its buy button too.
    virtual void ShowMarketUI();
    virtual int OnResultReturn(const void* data, int length);

    // Lives change by `delta` (at most ten); the last one lost ends the game.
    void ChangeLives(int delta);
    // Follows the board's combo: the market every hundredth, the best combo, the digits.
    void UpdateCombo(float seconds);
    void OnMarketBuyClicked(kv::EventArgs& args);
    void OnMenuClicked();
    // UI handlers.
    void DrawPlayTime(kv::EventArgs& args);
    void DrawBest(kv::EventArgs& args);
    void DrawSecondBest(kv::EventArgs& args);
    void OnRotateRight(kv::EventArgs& args);
    void OnRotateLeft(kv::EventArgs& args);
    void OnMenuButton(kv::EventArgs& args);
    void OnResetButton(kv::EventArgs& args);

    // The combo shown, ranked and rewarded: the groups cleared in this game.
    int ComboReached() const;
    // The key of the mode in the pause and the result: "PUZZLE.COMBOCHAL." and the stage name.
    std::string ModeKey() const;
    // Whether the combo reached `k` gives a life back.
    static bool GivesLife(int k);

    VanteoBlockMap_Challenge* Board() const;

    kv::KVWnd* m_pLayout = nullptr;
    kv::KVWnd* m_pBackWindow = nullptr;
    kv::KVWnd* m_pMarketWindow = nullptr;
    int m_nType = kRankedType;
    int m_nBestCombo = 0;
    int m_nLastCombo = 0;
    PlacedDigitDisplay m_BestDigits;
    PlacedDigitDisplay m_SecondBestDigits;
    PlacedDigitDisplay m_ComboDigits;
    TimeNumberPair m_TimeDisplay;
    int m_nLives = kStartLives;
    AnimationPlayer m_LifeIcons[kMaxLives];
    AnimationPlayer m_ReadyGo;
    BlockClickEffect m_ClickEffect;
    int m_bMarketShown = 0;
    int m_bMarketCheck = 0;
    bool m_bEntered = false;

private:
    kv::KVWnd* Window(const wchar_t* name) const;
    kv::KVWnd* MarketButton() const;
    void ShowStartLives();
    void LoadBestCombo();
    // Enables and opens the market's buy button when the player can pay, else closes it; on the
    // last life the cursor points at it.
    void OfferLife(const wchar_t* openScene, const wchar_t* closedScene, bool lastLife);
    void MarketLeaves();
    // The game's place in the ranking (an interrupted game too).
    void EnterRanking();
    int EndGame(bool won);
    void DrawLivesAndCombo(bool best);
};
