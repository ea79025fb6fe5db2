// The combo challenge's board: a single click never breaks the chain (the combo only grows, one
// step per cleared group), the board hardens as the combo grows (fixed blocks, pin blocks, fewer
// stars), and after every single click it reports whether any move is left. Clearing keeps the
// base rhythm without the combo speed-up, and the double chance never opens. The point
// challenge's board shares its block-kind choice, its pin marking and its overlay drawing.
#pragma once

#include "board/VanteoBlockMap.h"

class VanteoBlockMap_Challenge : public VanteoBlockMap {
public:
    using VanteoBlockMap::VanteoBlockMap;
    ~VanteoBlockMap_Challenge() override;

    void NewGame() override;
    void UpdateX2(float seconds) override;
    // A step in which the clear queue worked ends there, without a refill.
    bool RefillsWhileClearing() const override { return false; }
    void StarBlastStep() override;
    int FindGroups() override;
    float ClearTimerSpeed() override { return 1.0f; }
    void OnCombo() override;
    void AfterSingleClick(int col, int row) override;
    int NewBlockKind() override { return ChallengeBlockKind(*this); }
    void DrawOverlay() override { DrawChallengeOverlay(*this); }
    void ClickStarSquare(int col, int row) override;
    float SpeedFactor() override { return 1.0f; }

    // Turns one block into a pin: one of a colour without a pin, or any plain block when every
    // colour has one.
    void MarkPinBlock() { MarkPin(*this); }
    // 1 when no square, no completing star and no pin is left on the board.
    int HasNoMove();

    // The rules both challenge boards use, on any board: the block-kind choice (the stage's
    // weights, the star's falling by one every 25 combo steps), the pin marking and the overlay
    // (the combo effect, and the combo digits from combo 2).
    static int ChallengeBlockKind(VanteoBlockMap& board);
    static void MarkPin(VanteoBlockMap& board);
    static void DrawChallengeOverlay(VanteoBlockMap& board);
    // The weight of a column or row index on a board `size` cells across: 40, 30, 20, 10 from
    // the edge of each half towards its middle; wider boards keep 40 for every farther cell.
    static int ProfileWeight(int index, int size);

    int comboAdvanced = 0;
    int pinRequest = 0;
};
