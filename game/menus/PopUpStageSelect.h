// The stage select of the stage challenge: one of 50 stages, up to the first one not yet won.
// It shows a live preview of the chosen stage's board (the preview plays at double speed), the
// board size and goal kind, whether the player holds the stage's best record, and a graph of
// the stages won. The slider, the wheel and the turn keys (W/U left, E/I right) move the choice;
// the start button posts MSG_STAGE_SELECTED {difficulty 1, stage}, the close button and
// Backspace, Escape or Enter post MSG_STAGE_SELECT_CANCELLED.
//
// The preview boards post nothing and play no sounds: they only show. The stage the pop-up
// starts on (the last one played) is never beyond the choice's limit.
#pragma once

#include "menus/PopUp.h"

#include <array>
#include <memory>

class VanteoBlockMap;

// The stage challenge's stage last entered or advanced to (-1 before the first); the stage select
// starts there.
extern int g_nStageChallengeStage;

inline constexpr int32_t MSG_STAGE_SELECTED = 2043;
inline constexpr int32_t MSG_STAGE_SELECT_CANCELLED = 2044;

class VanteoPopUp_StageSelect : public VanteoPopUp {
public:
    static constexpr const char* kLayout = "data/stageselect.xml";
    static constexpr int kStages = 50;
    static constexpr float kPreviewScale = 0.2444f;
    static constexpr int kBoardSizes[6] = {4, 6, 8, 10, 12, 14};
    static constexpr int kSoundTick = 89;

    VanteoPopUp_StageSelect();
    ~VanteoPopUp_StageSelect() override;

    // Builds the six preview boards anew (after a skin change); the shown one stays chosen.
    void RecreateBoards();
    int Open() override;
    // The stages won in a row from the first (0 to 50); called right after Open.
    void Setup(int best);
    void BindEvents() override;
    void Update(float seconds) override;

    void OnStart(kv::EventArgs& args);
    void OnClose(kv::EventArgs& args);
    void OnSlider(kv::EventArgs& args);
    void OnDrawPreview(kv::EventArgs& args);

    // The highest stage the player may choose.
    int Limit() const { return m_nBest >= kStages ? kStages - 1 : m_nBest; }
    VanteoBlockMap* ShownBoard() const { return m_Boards[static_cast<size_t>(m_nShown)].get(); }

    int32_t m_nDifficulty = 1;
    int32_t m_nBest = 0;
    int32_t m_nCurrent = 0;
    std::array<std::unique_ptr<VanteoBlockMap>, 6> m_Boards;
    int32_t m_nShown = 0;

private:
    // Selects the stage's record and restarts the preview board of its size.
    void SelectPreview(int stage);
    void PlaceMarkers();
    void SetStageLabels();
    void SetSlider(int position);
    void ShowStageRecord();
    void ShowClearMarks();
};
