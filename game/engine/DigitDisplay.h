// Rows of animated digits for scores, times, combos and counters: each digit is an animation
// player bound to a number style's file whose scenes are named "0" to "9". A DigitDisplay lays
// its row out left to right with an alignment inside an area; a PlacedDigitDisplay puts each
// digit at a position of its own. Both jump to a new value or count towards it with a counting
// sound chosen by the size of the change. Also the bonus text shown when an achievement's cube
// bonus is granted.
#pragma once

#include "engine/AnimationPlayer.h"

#include <d3d9/D3DXMath.h>

#include <string>
#include <vector>

// Plays a sound of the sound table by key, once; the game's is the sound table's own play.
using DigitSoundPlayer = void (*)(int key);
// Installs the player of the counting sounds (null restores the sound table's).
void SetDigitSoundPlayer(DigitSoundPlayer player);

class DigitDisplay {
public:
    // More digits than this would overflow the largest value the row can show.
    static constexpr int kMaxDigits = 9;

    DigitDisplay() = default;
    ~DigitDisplay();
    DigitDisplay(const DigitDisplay&) = delete;
    DigitDisplay& operator=(const DigitDisplay&) = delete;

    // Makes the digits anew from number style `style` (0 to 27); alignment 0 centre, 1 left,
    // 2 right within the area's left and right.
    void Create(int count, int style, int left, int top, int right, int bottom, int alignment);
    void SetValue(int target);
    void Update(float seconds);
    void Render(const D3DXMATRIX* matrix, float rotation);
    // Draws only the digits now showing `digit` (0 to 9), where Render would put them; owners
    // that draw many displays draw them digit by digit, so each digit's picture goes to the
    // device in one batch.
    void RenderDigit(const D3DXMATRIX* matrix, float rotation, int digit);

    AnimationPlayer* m_pDigits = nullptr;
    int m_nDigitCount = 4;
    int m_nSpacing = 0;
    int m_nShownCount = 0;
    int m_nStyle = 0;
    int m_bLeadingZeros = 0;
    float m_fX = 0, m_fY = 0, m_fZ = 0;
    D3DCOLOR m_dwColour = 0xFFFFFFFF;
    int m_nAlignment = 0;
    int m_nLeft = 0, m_nTop = 0, m_nRight = 0, m_nBottom = 0;
    int m_bVisible = 1;
    float m_fShownValue = 0;
    int m_nLastValue = -1;
    int m_nTarget = 0;
    int m_bCounting = 0;
};

class PlacedDigitDisplay {
public:
    struct Offset {
        int dx, dy;
    };
    struct Position {
        int x, y;
    };

    PlacedDigitDisplay() = default;
    ~PlacedDigitDisplay();
    PlacedDigitDisplay(const PlacedDigitDisplay&) = delete;
    PlacedDigitDisplay& operator=(const PlacedDigitDisplay&) = delete;

    // The display's own position is where the first digit goes; the others keep their
    // distance from it.
    void Create(int count, int style, const Position* positions);
    void SetValue(int target);
    void Update(float seconds);
    void Render();

    AnimationPlayer* m_pDigits = nullptr;
    int m_nDigitCount = 0;
    int m_nShownCount = 0;
    int m_nStyle = 0;
    int m_bLeadingZeros = 0;
    float m_fX = 0, m_fY = 0, m_fZ = 0;
    D3DCOLOR m_dwColour = 0xFFFFFFFF;
    Offset* m_pOffsets = nullptr;
    float m_fShownValue = 0;
    int m_nLastValue = -1;
    int m_nTarget = 0;
    int m_bVisible = 1;
    int m_bCounting = 0;
    float m_fCountingFactor = 5.0f;
    int m_nSoundKeys[3] = {108, 109, 110};
};

// The bonus line at the bottom of the screen for three seconds.
void ShowBonusMessage();
void UpdateBonusMessage(float seconds);
void DrawBonusMessage();
// Seconds left to show the bonus text (0 or less: hidden).
float GetBonusMessageCountdown();
