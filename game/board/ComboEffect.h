// Combo pop-ups: every tenth step of a chain shows its number in the "scombo" burst, a broken
// chain (combo -1) shows the broken-combo burst, and any other entry draws nothing but lives for
// the length of the "combo" scene.
#pragma once

#include "engine/Effect2D.h"
#include "engine/AnimationPlayer.h"
#include "engine/DigitDisplay.h"

#include <vector>

class ComboEffect : public Effect2D {
public:
    struct Entry {
        int combo;
        float time;
        float x;
        float y;
    };

    // Loads the players and the number on first use; appends unless the effect is switched off.
    void Add(int combo, float x, float y);
    void Clear() { m_Entries.clear(); }
    void Update(float seconds) override;
    void Draw(const D3DXMATRIX* matrix) override;

    const std::vector<Entry>& GetEntries() const { return m_Entries; }
    // The scene an entry draws, or null when it draws nothing.
    AnimationScene* SceneFor(const Entry& entry) const;

private:
    void Load();

    AnimationPlayer m_Combo;
    AnimationPlayer m_SCombo;
    AnimationPlayer m_Break;
    DigitDisplay m_Number;
    bool m_bLoaded = false;
    std::vector<Entry> m_Entries;
};
