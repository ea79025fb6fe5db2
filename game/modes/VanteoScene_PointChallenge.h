// The point challenge: a time attack of 60 seconds on the point challenge board. At 60 s input
// stops; at 62 s a bonus-time announcement plays; from 64 s, once it has finished, the board
// clears what is left by itself, and when nothing is left (or the bonus time has run its
// longest) and the score display has caught up, the game ends: the score goes into the local
// ranking, earns cubes and raises the local leaderboard best, and a result pop-up opens. Score
// milestones from 500 to 5,000,000 points light up signs on the way.
#pragma once

#include "board/ComboEffect.h"
#include "modes/VanteoBaseScene.h"
#include "engine/AnimationPlayer.h"
#include "engine/DigitDisplay.h"

#include <string>
#include <vector>

namespace kv {
class KVWnd;
struct EventArgs;
}
class VanteoBlockMap_Point;

inline constexpr const char* kPointChallengeSceneName = "VanteoScene_PointChallenge";

// The point challenge's own states beside the base's.
inline constexpr int kGameStateTimeOver = 2;
inline constexpr int kGameStateBonusTime = 3;

class VanteoScene_PointChallenge : public VanteoBaseScene {
public:
    static constexpr float kPlaySeconds = 60.0f;
    // The play-clock times of the time events, in order.
    static constexpr float kTimeEvents[] = {4, 10, 20, 30, 40, 50, 57, 60, 62, 64};
    static constexpr int kMilestoneCount = 27;
    static constexpr int kMilestones[kMilestoneCount] = {
        500,    1000,    3000,    5000,    10000,   20000,   30000,   50000,   70000,
        100000, 200000,  300000,  400000,  500000,  600000,  700000,  800000,  900000,
        1000000, 1500000, 2000000, 2500000, 3000000, 3500000, 4000000, 4500000, 5000000};
    // The automatic play of the bonus time ends after this long even when the board still
    // holds moves, so a board that keeps refilling into new groups cannot hold the game open.
    static constexpr float kMaxAutoPlaySeconds = 20.0f;

    VanteoScene_PointChallenge();
    ~VanteoScene_PointChallenge() override;

    int Enter(int index, int b) override;
    void Leave() override;
    int Render() override;
    int Update(float seconds) override;
    void ShowUI() override;
    // The cubes of a ranking table: see modekit::CubesForRanking (the sixth place: score / 100000).
    int ComputeCubeReward(const void* table) override;
    int GoToMenu() override;
    int OnPopUpYes(const void* data, int length) override;
    int OnPopUpNo(const void* data, int length) override;
    int Restart(int a, int b) override;
    int OnGameWin(const void* data, int length) override;
    int OnPlayTimeStep(const void* data, int length) override;
    int OnBigStarCleared(const void* data, int length) override;
    int OnGroupCleared(const void* data, int length) override;
    int OnBlockClicked(const void* data, int length) override;

    // The end of the game: ranking, cubes, leaderboard best and the result pop-up; once.
    int OnTimeOver();
    // The best display, the milestone and its sign.
    void UpdateScoreSigns(float seconds);
    // The remaining time, the gauge, the warnings and the time events due since the last call.
    void UpdateTime(float seconds);
    void DrawSign();
    void OpenPauseMenu();

    // The events whose time T lies in (from, to], in order.
    static std::vector<float> DueTimeEvents(float from, float to);
    // The highest milestone level the score has reached; -1 below 500.
    static int MilestoneLevel(int score);
    // The sign kind (1 to 3) of a milestone level.
    static int SignKind(int level) { return level / 9 + 1; }
    // The seconds left shown at play-clock t.
    static int RemainingSeconds(float t);
    // The mode text of a board index: "POINTCHAL.8X8." for index 2.
    static const char* SizeText(int index);

    // UI handlers.
    void DrawRemainingTime(kv::EventArgs& args);
    void DrawCountdown(kv::EventArgs& args);
    void DrawStartCountdown(kv::EventArgs& args);
    void DrawScores(kv::EventArgs& args);
    void OnRotateRight(kv::EventArgs& args);
    void OnRotateLeft(kv::EventArgs& args);
    void OnMenuButton(kv::EventArgs& args);
    void OnResetButton(kv::EventArgs& args);

    VanteoBlockMap_Point* Board() const;

    kv::KVWnd* m_pBoardWindow = nullptr;
    kv::KVWnd* m_pBackWindow = nullptr;
    int m_nIndex = 2;
    ComboEffect m_SpeedUpEffect;
    int m_nScore = 0;
    int m_nBest = 0;
    PlacedDigitDisplay m_ScoreDisplay;
    PlacedDigitDisplay m_BestDisplay;
    PlacedDigitDisplay m_TimeDisplay;
    PlacedDigitDisplay m_CountdownDisplay;
    DigitDisplay m_StartCountdown;
    kv::KVWnd* m_pGauge = nullptr;
    float m_GaugeRect[4] = {-1, 0, 0, 0};  // left, right, top, bottom
    float m_GaugeX = 0, m_GaugeY = 0;
    AnimationPlayer m_StartAnimation;
    AnimationPlayer m_SignAnimation;
    DigitDisplay m_MilestoneDisplay;
    int m_nMilestoneLevel = -1;
    AnimationPlayer m_BonusAnimation;
    // The play clock at the last time-event check: each event fires once, in the frame whose
    // clock passes it.
    float m_fEventClock = 0;
    // Seconds of automatic play in the bonus time.
    float m_fAutoPlaySeconds = 0;
    bool m_bEndPosted = false;
    bool m_bEntered = false;

private:
    kv::KVWnd* Window(const wchar_t* name) const;
    void CreateDisplays();
    void ResetAlarms();
    void SetTimeFromClock();
    void FireTimeEvent(float at);
    void SetRollFactor(float factor);
    void UpdateSign(float seconds);
    // Whether the score display shows its target.
    bool ScoreShown() const;
};
