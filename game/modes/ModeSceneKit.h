// Small helpers the mode scenes share: reading message words, finding and showing layout
// windows, the keyboard, digit rows placed on pictures, the software cursor's rectangles, the
// music and effect sounds, and the end of a ranked game (cubes for the ranking place, the
// local leaderboard best).
#pragma once

#include "modes/ModeScenePlay.h"

#include <d3d9/D3D9Types.h>

#include <cstdint>
#include <initializer_list>

namespace kv {
class KVWnd;
}
class PlacedDigitDisplay;
struct RankEntry;

namespace modekit {

// The little-endian int32 at word `index` of a scene message (word 0 is the id).
int32_t Word(const void* data, int index);
// Window look-ups, the change-scene post, the keyboard, button states and the music are the
// playing scenes' own (modes/ModeScenePlay.h).
using modescene::Find;
using modescene::KeyDown;
using modescene::KeyPressed;
using modescene::PostChangeScene;
using modescene::RestartMusic;
using modescene::SetButtonState;

// Shows the window and starts its first animation scene from the beginning: the picture's own
// animation for a picture, else the window's UI animation.
void ShowAndStart(kv::KVWnd* window);
// Hides the window at once, without its closing effect.
void HideAtOnce(kv::KVWnd* window);
// A label's colour; white for any other window.
D3DCOLOR WindowColour(kv::KVWnd* window);
// Whether the window is shown (it and its parents visible and not closing).
bool IsShown(kv::KVWnd* window);

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

// Plays an effect sound when effects are on.
void PlayEffect(int key);

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
