// Small pieces every mode scene uses: window look-ups that tolerate a missing layout, the
// change-scene post, the keyboard's once-per-press and held reports, the looped mode music and
// the player's board input while playing (mouse clicks, the wheel and the turn keys).
#pragma once

class ISoundSink;
class VanteoBlockMap;
class VanteoPopUp_Pause;
namespace kv {
class KVWnd;
}

class AnimationPlayer;

namespace modescene {

// The child of that name, or null when the root or the child is missing.
kv::KVWnd* Find(kv::KVWnd* root, const wchar_t* name);
// Posts the change-scene message to the scene queue.
void PostChangeScene(const char* name, int a, int b);
bool KeyPressed(int vk);
bool KeyDown(int vk);
// Puts the named animated button of the root in a state (1: pressed).
void SetButtonState(kv::KVWnd* root, const wchar_t* name, int state);
// Stops the music and, when music is on, plays it again looped from the start.
void RestartMusic(int key);
// Plays an effect sound from its start when effects are on: through the sound table, or
// through the sink a test installs (null restores the sound table).
void PlayEffect(int key);
void SetEffectSink(ISoundSink* sink);
// The mouse position of the frame.
void MousePosition(float* x, float* y);
// The board's input of a playing frame: hover, a left click (else a right click), the wheel
// (up turns left, down right) and the keys W/U (left) or E/I (right); a turn that starts
// presses its button of the board window.
void PlayBoardInput(VanteoBlockMap& board, kv::KVWnd* boardWindow);
// Its two halves, for a scene that moves the hover in more states than play: the hover at the
// frame's mouse position, then the clicks, the wheel and the turn keys.
void HoverBoard(VanteoBlockMap& board);
void BoardClicksAndTurns(VanteoBlockMap& board, kv::KVWnd* boardWindow);

// While Enter is held, every bullet stack of the board is full (each colour's total rises by
// what was added).
void FillBulletsWhileEnterHeld(VanteoBlockMap* board);
// The pause pop-up's keys, the first pressed of R (retry), Q (quit), X (exit) and K (key help);
// true after Q, X or K, which end the frame.
bool PauseKeys(VanteoPopUp_Pause& pause);
// The combo highlight of the battles: a combo count that is a multiple of 100 shows and plays
// "Pic_effect_highlight_Large", another multiple of 10 "Pic_effect_highlight_small".
void ShowComboHighlight(kv::KVWnd* root, int combo);
// Loads the skin's ready-go effect into `player` and centres it on the layout's "Wnd_ComboArea"
// (left where it was when the layout has none).
void LoadReadyGo(AnimationPlayer& player, kv::KVWnd* root);
// Centres a banner animation on the layout's combo area (the board), where nothing of the
// match's panels lies under it; without that window the player keeps its place.
void PlaceOverComboArea(AnimationPlayer& player, kv::KVWnd* root);

} // namespace modescene
