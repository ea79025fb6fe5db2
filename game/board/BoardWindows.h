// The windows of a scene layout that a board works with: the board area and the combo area
// (their "Draw" events draw the board and its overlay), the combo panel with its plus pictures
// and number, the bonus digit places and the four double-chance pictures. Every binding is
// nullable: a layout without a window, or a board without a layout, skips what needs it.
#pragma once

#include <d3d9/D3D9Types.h>

namespace kv {
class KVDirector;
class KVWnd;
}

// The director of a window's animation: its UI animation, else the picture's own animation;
// null when it has neither.
kv::KVDirector* AnimationDirectorOf(kv::KVWnd* window);
// Starts a window's first animation scene again from its beginning; nothing without one.
void RestartFirstUIScene(kv::KVWnd* window);

class BoardWindows {
public:
    enum Id {
        kPuzzleArea,
        kComboArea,
        kComboPanel,
        kPlusCombo1,
        kPlusCombo2,
        kPlusCombo3,
        kNumCombo,
        kNumBonus1,
        kNumBonus2,
        kDoubleChanceOn,
        kDoubleChanceWhite,
        kDoubleChanceFail,
        kDoubleChanceSuccess,
        kCount
    };

    // Finds the windows in `layout` (null unbinds all); the plus pictures are looked up in
    // the combo panel.
    void Bind(kv::KVWnd* layout);
    kv::KVWnd* Get(Id id) const { return m_windows[id]; }
    bool Has(Id id) const { return m_windows[id] != nullptr; }

    // The window's screen position; false (and nothing written) without the window.
    bool AbsolutePosition(Id id, float* x, float* y) const;
    // The window's screen rectangle as left, top, right, bottom.
    bool AbsoluteRect(Id id, int* left, int* top, int* right, int* bottom) const;
    // The window's text or picture colour; white when it has none.
    D3DCOLOR Colour(Id id) const;

    // Shows the window and starts its first UI scene.
    void ShowWithFirstScene(Id id);
    // Restarts the first UI scene of a shown window.
    void RestartFirstScene(Id id);
    // Hides the window at once, without its closing effect.
    void HideAtOnce(Id id);
    // Stops its UI animation and hides it at once.
    void StopAndHide(Id id);
    // Shown: it and every ancestor visible and not closing.
    bool IsShown(Id id) const;
    // Its own visible flag is set and it is not closing.
    bool IsVisible(Id id) const;
    // Its current UI scene has ended (or it has none).
    bool AnimationEnded(Id id) const;

    static void HideWindowAtOnce(kv::KVWnd* window);

private:
    kv::KVWnd* m_windows[kCount] = {};
};
