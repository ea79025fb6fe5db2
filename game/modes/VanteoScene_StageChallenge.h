// The stage challenge: a ladder of 50 timed stages, each a board with a goal (a number of points
// or a combo count) to reach before the time runs out. Easy stretches the time and shrinks the
// goal; hard plays the stage's own numbers. The scene shows the stage-start banner, the
// remaining time with a spoken countdown and a warning in the last ten seconds, a gauge that
// fills towards the goal, the goal and current values, the best stage reached and the current
// stage, and sends a star flight from every cleared group to the gauge. A won stage enters its
// ranking table, pays cubes and offers the next stage; a time-out enters a failure.
//
// A stage the configuration lacks or cannot play (no goal, a board no layout holds) sends the
// player back to the menu; a goal that would be 0 counts as 1; missing goal-layout windows are
// skipped, never dereferenced.
#pragma once

#include "board/ComboEffect.h"
#include "modes/VanteoBaseScene.h"
#include "engine/AnimationPlayer.h"
#include "engine/DigitDisplay.h"
#include "engine/TimeDisplay.h"
#include "menus/PopUpStageStart.h"
#include "menus/PopUpStageSelect.h"

#include <memory>
#include <string>

class ClearEffect_StageChallenge;
struct RankEntry;
struct StageRecord;
namespace kv {
class KVWnd;
struct EventArgs;
}

inline constexpr const char* kStageChallengeSceneName = "VanteoScene_StageChallenge";
inline constexpr int kStageChallengeStages = 50;

inline constexpr int32_t MSG_NEXT_STAGE = 2030;

class VanteoScene_StageChallenge : public VanteoBaseScene {
public:
    // Sound keys.
    static constexpr int kSoundComboStartVoice = 6;
    static constexpr int kSoundReadyGo = 17;
    static constexpr int kMusicPuzzle = 27;
    static constexpr int kSoundWin = 68;
    static constexpr int kSoundLose = 69;
    static constexpr int kSoundSpeedUp = 79;
    static constexpr int kSoundComboBreak = 90;
    static constexpr int kSoundPointUp1 = 91;
    static constexpr int kSoundComboUp = 94;
    static constexpr int kSoundCountdown3 = 95;
    static constexpr int kSoundCountdown10 = 96;
    // Skin entries.
    static constexpr int kSkinFirstBoardLayout = 14;
    static constexpr int kSkinComboBack = 23;
    static constexpr int kSkinPointBack = 24;
    static constexpr int kSkinReadyGo = 96;
    // Ranking boards of the two difficulties.
    static constexpr int kBoardEasy = 4;
    static constexpr int kBoardHard = 5;
    static constexpr float kGaugeSpeed = 400.0f;
    // The screen behind the board and goal windows (the goal window lies over the board's).
    static constexpr const char* kBackdrop = "stage_back.png";

    enum GoalType : int32_t { kGoalNone = 0, kGoalPoints = 1, kGoalCombo = 2 };

    VanteoScene_StageChallenge();
    ~VanteoScene_StageChallenge() override;

    int Enter(int difficulty, int stage) override;
    void Leave() override;
    int Render() override;
    int Update(float seconds) override;
    void ShowUI() override;
    int ComputeCubeReward(const void* table) override;
    int GoToMenu() override;
    int Restart(int a, int b) override;
    int OnGameWin(const void* data, int length) override;
    int OnPlayTimeStep(const void* data, int length) override;
    int OnBigStarCleared(const void* data, int length) override;
    int OnGroupCleared(const void* data, int length) override;
    int OnComboBreak(const void* data, int length) override;
    int OnComboCount(const void* data, int length) override;
    virtual int UpdateGoalAndTime(float seconds);

    // The stage's time limit and goal by difficulty: hard as written, easy the time x 1.2 and the
    // goal x 0.8 in single precision, truncated. A goal is never below 1.
    static int TimeLimitFor(int difficulty, int clearTime);
    static int GoalFor(int difficulty, int clearNum);
    // The first stage of the difficulty's ranking board the player has not won (0 to 50).
    static int GetBestReachedStage(int difficulty);
    // The cubes a table's new entry earns: 12, 9, 8, 7, 5 for places 1 to 5 (halved when the
    // place below is still a placeholder), 2 for the sixth, 0 without a new entry.
    static int CubeRewardFor(const RankEntry* table);
    // "PUZZLE.STAGECHAL.EASY.<name>" or "PUZZLE.STAGECHAL.HARD.<name>".
    static std::string ModeKey(int difficulty, const char* stageName);

    int AdvanceStage(const void* data, int length);
    int OnResultRetry(const void* data, int length);
    int OnResultReturn(const void* data, int length);
    void OpenPauseMenu();
    void ResumeFromPause();
    // Builds a stage's windows, board and goal; false (nothing built) when it cannot be played.
    bool ResetStage(int a, int b);

    // UI handlers.
    void DrawNumbers(kv::EventArgs& args);
    void DrawCountdown(kv::EventArgs& args);
    void DrawStarEffect(kv::EventArgs& args);
    void OnRotateRight(kv::EventArgs& args);
    void OnRotateLeft(kv::EventArgs& args);
    void OnMenuButton(kv::EventArgs& args);
    void OnStageResetButton(kv::EventArgs& args);

    int RankingBoard() const { return m_nDifficulty == 0 ? kBoardEasy : kBoardHard; }
    // The goal value of the current type and its goal.
    int GoalValue() const { return m_nGoalType == kGoalCombo ? m_nComboValue : m_nPointValue; }
    int Goal() const { return m_nGoalType == kGoalCombo ? m_nComboGoal : m_nPointGoal; }

    kv::KVWnd* m_pBoardWindow = nullptr;
    kv::KVWnd* m_pBackWindow = nullptr;
    kv::KVWnd* m_pGaugeWindow = nullptr;
    int m_nDifficulty = 0;
    ComboEffect m_SpeedUpEffect;
    int m_nScore = 0;
    TimeNumberPair m_TimeDisplay;
    int m_nGoalType = kGoalNone;
    PlacedDigitDisplay m_BestStageDisplay;
    PlacedDigitDisplay m_StageDisplay;
    PlacedDigitDisplay m_ComboGoalDisplay;
    PlacedDigitDisplay m_ComboDisplay;
    PlacedDigitDisplay m_PointGoalDisplay;
    PlacedDigitDisplay m_PointDisplay;
    PlacedDigitDisplay m_CountdownDisplay;
    int m_nBestReached = 0;
    int m_nStage = 0;
    int m_nTimeLimit = 0;
    int m_nComboGoal = 0;
    int m_nComboValue = 0;
    int m_nPointGoal = 0;
    int m_nPointValue = 0;
    float m_fGaugeHeight = -1.0f;
    float m_fGaugeBase = 0.0f;
    float m_fGaugeFill = 0.0f;
    float m_fGaugeTarget = 0.0f;
    float m_fGaugeX = 0.0f, m_fGaugeY = 0.0f;
    VanteoPopUp_StageStart m_StageStart;
    std::unique_ptr<ClearEffect_StageChallenge> m_pStarEffect;
    AnimationPlayer m_ReadyGo;
    int m_nBackdrop = -1;
    // Cleared by Enter; the first Update starts a new game on the board and sets it.
    bool m_bNewGameStarted = false;
    bool m_bEntered = false;

private:
    // The stage record of m_nStage, selected; null (logged) when the stage cannot be played.
    const StageRecord* SelectPlayableStage();
    void LoadBackWindow();
    void LoadBoardWindow(const StageRecord& record);
    void HideTitlesAndWarning();
    void PlaceBoardWindow();
    void BindWindowHandlers();
    void CreateBoard(const StageRecord& record);
    void ReplaceStarEffect();
    void SetupStageNumbers();
    void SetupPointGoal(const StageRecord& record);
    void SetupComboGoal(const StageRecord& record);
    void SetupCountdown();
    // A display of `count` digits at the windows "<pattern>" 1..count of the back window; a
    // display whose places are missing gets no digits.
    void CreatePlaced(PlacedDigitDisplay& display, int count, int style, const wchar_t* pattern);
    void MeasureGauge();
    void SetGaugeHeight();
    void StartNewBoardGame();
    void HideLights();
    void LightNextLight();
    void AddFlightFrom(int kind, int value, int col, int row);
    void EndRun(bool won);
    void PlayReadyGo();
    std::string CurrentModeKey() const;
};
