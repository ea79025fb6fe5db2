// What the mode scenes and the online match scenes share: layout windows looked up by name
// (a missing layout or window does nothing), the change-scene post, the keyboard and the
// player's board input while playing, the music and effect sounds, the banner animations, digit
// rows placed on pictures, the software cursor's rectangles, the desktop dialogs, and the end of
// a ranked game (cubes for the ranking place, the local leaderboard best).
#pragma once

#include <d3d9/D3D9Types.h>

#include <cstdint>
#include <initializer_list>
#include <string>

class AnimationPlayer;
class ISoundSink;
class PlacedDigitDisplay;
class VanteoBlockMap;
class VanteoPopUp_Pause;
struct RankEntry;
namespace kv {
class KVWnd;
}

namespace modekit {

// --- windows -------------------------------------------------------------------------------------

// The root itself when it has that name, else its first descendant of that name; null when the
// root or the window is missing.
kv::KVWnd* Find(kv::KVWnd* root, const wchar_t* name);
// Shows or hides the named window at once (no closing effect).
void Show(kv::KVWnd* root, const wchar_t* name, bool shown);
// The text of the named label.
void SetText(kv::KVWnd* root, const wchar_t* name, const std::wstring& text);
// Whether the window is shown (it and its parents visible and not closing).
bool IsShown(kv::KVWnd* window);
// Puts the named animated button in a state (1: pressed, 0: normal).
void SetButtonState(kv::KVWnd* root, const wchar_t* name, int state);
// Shows the window and starts its first animation scene from the beginning: the picture's own
// animation for a picture, else the window's UI animation.
void ShowAndStart(kv::KVWnd* window);
// Hides the window at once, without its closing effect.
void HideAtOnce(kv::KVWnd* window);
// Takes the window off the UI system (when there is one) and leaves the pointer null.
void DetachWindow(kv::KVWnd*& window);
// Destroys the board's blocks, deletes it and leaves the pointer null.
void DeleteBoard(VanteoBlockMap*& board);
// Plays the layout's animation scene from its start; false without a director or that scene.
bool PlayLayoutScene(kv::KVWnd* layout, const wchar_t* scene);
// A label's colour; white for any other window.
D3DCOLOR WindowColour(kv::KVWnd* window);

// Makes `display` anew with `count` digits of number style `style`, one on each picture named
// by `pattern` ("Pic_combo_%d") with 1 to count, at their screen positions, in the colour of
// the picture `colourFrom` (1-based). False, and an empty display, when a picture is missing.
bool PlaceDigits(PlacedDigitDisplay& display, kv::KVWnd* root, const wchar_t* pattern, int count, int style,
                 int colourFrom = 1);

// The software cursor: shown, its rectangles replaced by those of the named windows.
struct CursorArea {
    kv::KVWnd* root;
    const wchar_t* name;
    int cursor;
};
void SetCursorAreas(std::initializer_list<CursorArea> areas);

// The combo highlight of the battles: a combo count that is a multiple of 100 shows and plays
// "Pic_effect_highlight_Large", another multiple of 10 "Pic_effect_highlight_small".
void ShowComboHighlight(kv::KVWnd* root, int combo);
// Loads the skin's ready-go effect into `player` and centres it on the layout's "Wnd_ComboArea"
// (left where it was when the layout has none).
void LoadReadyGo(AnimationPlayer& player, kv::KVWnd* root);
// Centres a banner animation on the layout's combo area (the board), where nothing of the
// match's panels lies under it; without that window the player keeps its place.
void PlaceOverComboArea(AnimationPlayer& player, kv::KVWnd* root);

// --- scenes and input ----------------------------------------------------------------------------

// Posts the change-scene message to the scene queue.
void PostChangeScene(const char* name, int a, int b);
// The keyboard's once-per-press and held reports; false without an input manager.
bool KeyPressed(int vk);
bool KeyDown(int vk);
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

// Leaves full screen for a desktop dialog (the setting saved), then shows the system cursor;
// LeaveDialogMode hides it again.
void EnterDialogMode();
void LeaveDialogMode();

// --- sounds --------------------------------------------------------------------------------------

// Stops the music and, when music is on, plays it again looped from the start.
void RestartMusic(int key);
// Plays an effect sound from its start when effects are on, through the mode scenes' effect
// sink: the sound table, or the sink a test installs (null restores the sound table).
void PlayEffect(int key);
void SetEffectSink(ISoundSink* sink);

// --- the end of a ranked game --------------------------------------------------------------------

// The cubes a ranking table earns: its first new place, 0 to 4, gives 500, 300, 200, 100 or 50,
// halved when the place below is the player's own; place 5 gives its score divided by
// `lastPlaceDivisor`; no new place (or no table) gives nothing.
int CubesForRanking(const RankEntry* table, int lastPlaceDivisor);
// Adds cubes to the player's, never past 9999, and saves the options file.
void AddCubesAndSave(int cubes);
// Raises the local leaderboard best of `board` to `score` and writes the bests file; false
// (with a log line) when the file could not be written, the old file left as it was.
bool RaiseLeaderBoardBest(int board, int score);

} // namespace modekit
