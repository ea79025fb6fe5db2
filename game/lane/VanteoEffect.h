// The hit flash of the attack lane: a short "effect_pluck" burst where a unit reaches a tower or
// two units clash. One animation player serves every burst; each entry keeps its own time.
#pragma once

#include "engine/Effect2D.h"
#include "engine/AnimationPlayer.h"

#include <vector>

class VanteoEffect : public Effect2D {
public:
    struct Entry {
        float time;
        float x;
        float y;
    };

    // Loads the animation on the first call after construction or Clear, then appends a burst
    // at (x, y) starting at time 0.
    void Add(float x, float y);
    // Advances every burst and removes those past the animation's length, keeping the order;
    // without a loaded animation every burst goes at its first positive step.
    void Update(float seconds) override;
    void Draw(const D3DXMATRIX* matrix) override;
    // Drops every burst and forgets the animation, so the next Add loads it again (the lane's
    // reset does this).
    void Clear();

    bool IsLoaded() const { return m_bLoaded; }
    const std::vector<Entry>& GetEntries() const { return m_Entries; }

private:
    AnimationPlayer m_Player;
    std::vector<Entry> m_Entries;
    bool m_bLoaded = false;
};
