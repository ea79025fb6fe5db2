// The animations of removed blocks: the body sprite of a cleared block or square (with the
// points of a cleared group in coloured and white digits), the overlays of chain and magic-turn
// squares, point blocks and erased pins, each played once where the block was.
#pragma once

#include "engine/Effect2D.h"
#include "engine/AnimationPlayer.h"
#include "engine/DigitDisplay.h"

#include <vector>

class BlockClearEffect2 : public Effect2D {
public:
    static constexpr int kStates = 10;

    struct Entry {
        int flag;
        int row;
        int kind;
        int state;
        float time;
        int points;
        float x;
        float y;
    };

    // Loads every player (each plays "DOWN"), creates the number displays and reads the colours.
    void LoadAnimations();
    void Add(int flag, int row, int kind, int state, int points, float x, float y);
    void Clear() { m_Entries.clear(); }
    // Plays each entry's scene on its player, advances it and removes it once that scene has run;
    // an entry of a state above 9, or whose kind or row has no player, goes at once.
    void Update(float seconds) override;
    void Draw(const D3DXMATRIX* matrix) override;

    const std::vector<Entry>& GetEntries() const { return m_Entries; }
    // The player an entry's state selects (null for a bad entry) and the scene it plays and draws.
    AnimationPlayer* PlayerFor(const Entry& entry);
    static const char* PlayedScene(const Entry& entry);
    static const char* DrawnScene(const Entry& entry);

    D3DCOLOR m_Colours[8] = {};

private:
    void DrawNumber(const Entry& entry, AnimationScene* scene, const D3DXMATRIX& world);

    AnimationPlayer m_Blocks[2][8];
    AnimationPlayer m_Points[8];
    AnimationPlayer m_Pin;
    AnimationPlayer m_MagicTurn;
    AnimationPlayer m_ClearBonus;
    DigitDisplay m_Numbers[4];
    bool m_bNumbers = false;
    std::vector<Entry> m_Entries;
};
