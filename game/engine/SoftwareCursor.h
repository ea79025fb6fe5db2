// The software cursor drawn while the game window has the focus: five cursor animations
// (normal, second normal, block, button, warning), chosen each frame by the registered screen
// rectangle under the mouse, switched between their "down" and "default" scenes by the left
// button, and drawn at the mouse position, mirrored for left-handed players.
#pragma once

#include "engine/AnimationPlayer.h"

#include <win32/Types.h>

#include <vector>

namespace kv {
class KVWnd;
}

class VanteoMouse {
public:
    static constexpr int kCursorCount = 5;

    VanteoMouse() = default;
    virtual ~VanteoMouse() = default;

    // Loads the five cursor players from the skin, each looping; rectangles stay.
    void LoadCursors();
    // Picks the cursor under the mouse, follows the left button and advances that cursor.
    void Update(float seconds);
    void Draw();
    void AddRect(int cursor, RECT rect);
    // Adds a rectangle given in fractional pixels (a window's absolute rectangle), each edge
    // truncated to whole pixels.
    void AddRect(int cursor, float left, float top, float right, float bottom);
    // Adds the window's absolute rectangle for the cursor; a null window adds nothing.
    void AddWidgetRect(kv::KVWnd* window, int cursor);
    void ClearRects() { m_Rects.clear(); }

    struct HitRect {
        int cursor;
        RECT rect;
    };

    AnimationPlayer m_Cursors[kCursorCount];
    int m_nCurrent = 2;
    int m_bLoaded = 0;
    int m_bVisible = 1;
    float m_fScaleX = 1.0f;
    float m_fScaleY = 1.0f;
    float m_fScaleZ = 1.0f;
    std::vector<HitRect> m_Rects;
    // While set, a rectangle that calls for the block cursor shows the second normal cursor.
    int m_bBlockSubstitute = 0;
};

// The game's one software cursor.
extern VanteoMouse g_Mouse;
