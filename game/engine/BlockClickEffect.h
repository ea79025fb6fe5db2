// Short animations left where the player clicked: a "combo" burst (animation 0) or a "stamp"
// (animation 1), each removed when its animation has run.
#pragma once

#include "engine/Effect2D.h"
#include "engine/AnimationPlayer.h"

#include <vector>

class BlockClickEffect : public Effect2D {
public:
    static constexpr int kCombo = 0;
    static constexpr int kStamp = 1;

    struct Entry {
        int which;
        float time;
        float x;
        float y;
    };

    // Loads the click-effect animation file of the skin into both players and starts "combo"
    // and "stamp"; calling it again is harmless.
    void LoadAnimations();
    // Appends an entry at time 0; an animation index other than 0 or 1 is ignored.
    void Add(int which, float x, float y);
    void Clear() { m_Entries.clear(); }
    // Advances every entry and removes those whose animation has ended, keeping the order.
    void Update(float seconds) override;
    void Draw(const D3DXMATRIX* matrix) override;

    const std::vector<Entry>& GetEntries() const { return m_Entries; }

private:
    AnimationPlayer m_Players[2];
    std::vector<Entry> m_Entries;
};
