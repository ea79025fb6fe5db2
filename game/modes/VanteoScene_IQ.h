// The logic-puzzle play scene: one puzzle of the chooser's list on the
// logic-puzzle board, with a ready-go introduction, the running time to the
// hundredth, the puzzle's best time, the puzzle's rules on the board's click
// reports, and a clear (stored in the puzzle records, paid in cubes) or a
// failure (the first loose block removed alone). The result pop-up offers
// retry, the next puzzle of the list, or the chooser's page of this puzzle.
#pragma once

#include "data/ModeConfig.h"
#include "modes/VanteoBaseScene.h"
#include "engine/AnimationPlayer.h"
#include "engine/DigitDisplay.h"
#include "modes/PuzzleLayout.h"
#include "modes/PuzzleRules.h"

#include <string>

namespace kv {
class KVWnd;
struct EventArgs;
} // namespace kv
struct RankEntry;

class VanteoScene_IQ : public VanteoBaseScene {
public:
    static constexpr int kSoundReadyGo = 18;
    static constexpr int kMusicPuzzle = 28;
    static constexpr int kSoundClear = 68;
    static constexpr int kSoundFail = 69;
    static constexpr int kSoundClearFlourish = 84;
    static constexpr int kSkinLayout = 20;
    static constexpr int kSkinBackLayout = 22;
    static constexpr int kStyleCurrentTime = 17;
    static constexpr int kStyleBestOn = 18;
    static constexpr int kStyleBestOff = 19;
    static constexpr int kPauseMode = 1;
    static constexpr int kScoreClear = 100;
    static constexpr int kScoreFail = -1;

    // `layout` is the layout buffer the logic-puzzle scenes share; it outlives
    // the scene.
    explicit VanteoScene_IQ(PuzzleLayout& layout);
    ~VanteoScene_IQ() override;

    int Enter(int index, int tab) override;
    void Leave() override;
    int Render() override;
    int Update(float seconds) override;
    void ShowUI() override;
    int ComputeCubeReward(const void* table) override;
    int GoToMenu() override;
    int Restart(int a, int b) override;
    int OnGameWin(const void* data, int length) override;
    int OnBlockClicked(const void* data, int length) override;
    int NextPuzzle();
    int Back();

    void OnMenuButton();
    void OnRotateRightButton(kv::EventArgs& args);
    void OnRotateLeftButtonClicked(kv::EventArgs& args);
    void OnMenuButtonClicked(kv::EventArgs& args);
    void OnResetButton(kv::EventArgs& args);
    void DrawBestTimeOn(kv::EventArgs& args);
    void DrawBestTimeOff(kv::EventArgs& args);

    // The current puzzle's record table (null when it has none).
    RankEntry* RecordTable() const;
    std::string ModeKey() const;

    PuzzleLayout& m_Layout;
    kv::KVWnd* m_pMainWindow = nullptr;
    kv::KVWnd* m_pBackWindow = nullptr;
    kv::KVWnd* m_pBufferFrame = nullptr;
    PuzzleHand m_Hand;
    int m_nPuzzleIndex = 0;
    int m_nTab = 0;
    PuzzleEntry m_Entry;
    DigitDisplay m_CurrentTime[3];
    DigitDisplay m_BestOn[3];
    DigitDisplay m_BestOff[3];
    AnimationPlayer m_ReadyGo;
    // Set once Enter has built the scene; a refused entry leaves it clear.
    bool m_bEntered = false;

private:
    void StartPuzzle();
    void LoadCurrentPuzzle();
    void Fail();
    void UpdateTimes(float seconds);
    void CreateDigits();
    void DrawBest(DigitDisplay* best, const wchar_t* const labels[3], const wchar_t* colourLabel);
    void ShowBufferFrame();
};
