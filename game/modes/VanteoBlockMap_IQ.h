// The logic-puzzle board: an 8 x 8 board that takes its blocks only from a puzzle layout, turns
// every 2 x 2 square of one kind into a big block without any reward, lets blocks fall but never
// refills, and reports the win once no block other than walls is left.
#pragma once

#include "board/VanteoBlockMap.h"

class VanteoBlockMap_IQ : public VanteoBlockMap {
public:
    VanteoBlockMap_IQ(const BoardWorld& world, BoardTuningSource tuning);
    ~VanteoBlockMap_IQ() override;

    // Always 8 x 8, whatever is asked; the combo pop-ups stay off.
    int Init(kv::KVWnd* layoutWindow, int w, int h) override;
    void NewGame() override;
    void Step(float seconds) override;
    // A layout that loads makes the board arranged: nothing is added to it any more.
    int LoadLayout(const uint8_t* data, size_t bytes) override;
    int LoadSnapshot(const uint8_t* data, size_t bytes) override;
    float ClearTimerSpeed() override { return 1.0f; }
    void OnCombo() override;
    void AfterSingleClick(int col, int row) override;
    int NewBlockKind() override { return 0; }
    void DrawBlocks() override;
    void ClearGroupBlocks(int col, int row, int points) override;
    // The square finder: big blocks of any kind but walls, fixed and pinned blocks, without
    // sounds, chains or magic turns.
    void FindSquares() override;
    float SpeedFactor() override { return 1.0f; }

    // 1 once the board holds its arrangement.
    int arranged = 0;

private:
    // Blocks left that count against the win: every present block but walls.
    int BlocksLeft() const;
};
