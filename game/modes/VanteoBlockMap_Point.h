// The point challenge's board: every board rule, plus point blocks. At any time up to three
// coloured blocks, one of each colour, carry a multiplier shown on the block; a group clear that
// holds point blocks multiplies its points by the sum of their values. The values come from the
// mode's multiplier table, by a level per colour that rises as point blocks of that colour are
// cleared, after star blasts and when a pin clears blocks of that colour. Streaks of point-block
// clears and big clears make pins. Group clears play their own sounds.
#pragma once

#include "board/VanteoBlockMap.h"

class VanteoBlockMap_Point : public VanteoBlockMap {
public:
    // Sounds of the point challenge's clears.
    static constexpr int kSoundPointClear = 101;
    static constexpr int kSoundBigPointClear = 102;

    using VanteoBlockMap::VanteoBlockMap;
    ~VanteoBlockMap_Point() override;

    void Reset() override;
    int Init(kv::KVWnd* layoutWindow, int w, int h) override;
    void NewGame() override;
    void UpdateX2(float seconds) override;
    // A step in which the clear queue worked ends there, without a refill; the first settled
    // search of a game places the point blocks.
    bool RefillsWhileClearing() const override { return false; }
    void AfterSettledSearch() override;
    void StarBlastStep() override;
    int FindGroups() override;
    void OnCombo() override;
    void AfterSingleClick(int col, int row) override;
    int NewBlockKind() override;
    void DrawOverlay() override;
    int ClearSameKindNear(int col, int row, int kind) override;
    int ClearKind(int kind) override;
    void ClickSingle(int col, int row) override;
    void ClearGroup(int col, int row) override;
    void ClickStarSquare(int col, int row) override;
    // Gives each colour without a free point block one, valued by the colour's level.
    virtual void PlaceMissingPointBlocks();
    virtual void PlacePointBlocks() { PlaceMissingPointBlocks(); }

    // The multiplier of a colour (1 to 3): the table's entry at the colour's level, or 1.
    int PointValue(int colour) const;
    // Raises a colour's level by `by`, never past the table's last entry.
    void RaiseLevel(int colour, int by);
    // The sound of a group clear at combo `c` (before it counts), multiplier `m`, point sum `s`.
    static int ClearSound(int c, int m, int s);

    int checkFlag = 0;
    int pinFlag = 0;
    int pointsPlaced = 0;
    int pointStreak = 0;
    int levels[3] = {};

private:
    void StarEvent();
    void ClearCounters();
};
