// A scene clock drawn as two two-digit numbers (minutes and seconds) with digit animations at
// four windows of the scene's layout, "Pic_num_time_1" to "Pic_num_time_4": the first number's
// tens and ones at windows 1 and 2, the second number's at windows 3 and 4. Owners set the two
// numbers every frame, then update and draw.
#pragma once

#include "engine/AnimationPlayer.h"

#include <d3d9/D3D9Types.h>

namespace kv {
class KVWnd;
}

class TimeNumberPair {
public:
    static constexpr D3DCOLOR kDefaultColour = 0xFF888888;

    TimeNumberPair() = default;

    // Finds the four digit windows inside the window and loads number row `numberRow`'s digit
    // file (0 to 27) into the player of each window that exists.
    void Bind(kv::KVWnd* window, int numberRow);
    // Shows the last two decimal digits of each number and advances the players.
    void Update(float seconds);
    void Draw();

    kv::KVWnd* m_pWindow = nullptr;
    // First tens, first ones, second tens, second ones; null when the layout lacks one.
    kv::KVWnd* m_pDigitWindows[4] = {};
    AnimationPlayer m_Players[4];
    int m_nFirst = 0;
    int m_nSecond = 0;
    D3DCOLOR m_dwColour = kDefaultColour;
};
