// Block sprites played once where a single block was clicked away (row 0), where a star turned
// into a colour (row 0, kind 4) and where a 2 x 2 square formed (row 1, over the whole square).
#pragma once

#include "engine/Effect2D.h"
#include "engine/AnimationPlayer.h"

#include <vector>

class BlockClearEffect : public Effect2D {
public:
    struct Entry {
        int row;
        int kind;
        float time;
        float x;
        float y;
    };

    // Loads the small and large block sprites of kinds 1..7 and plays "DISABLE" on each.
    void LoadAnimations();
    // Appends an entry; a row other than 0 or 1 or a kind outside 1..7 is ignored.
    void Add(int row, int kind, float x, float y);
    void Clear() { m_Entries.clear(); }
    void Update(float seconds) override;
    void Draw(const D3DXMATRIX* matrix) override;

    const std::vector<Entry>& GetEntries() const { return m_Entries; }

private:
    AnimationPlayer m_Players[2][8];
    std::vector<Entry> m_Entries;
};
