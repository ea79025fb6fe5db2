// Automation of the stand-in, for end-to-end tests and benchmarks: a script of timed input
// actions played into the game window through the player's input path.
// The environment variable QUIBLY_AUTOMATION names a text file of lines
//   <frame> <action> <arguments>
// where frames are counted from the first frame of the main loop (frame 0) and the actions are
//   key <virtual-key code in hex>   the key goes down, and up again at the next frame
//   move <x> <y>                    the mouse moves to a client point
//   click <x> <y>                   the left button goes down and up at a client point
//   press <x> <y>                   the left button goes down at a client point, and up again
//                                   at the next frame (a press that game play polls sees)
//   rclick <x> <y>                  the same with the right button
//   text <UTF-8 text>               an input method's result string
//   shot <file.png>                 the last presented picture saved as PNG
//   dialog <path> | dialog cancel   answers the next file dialog with the path, or cancels it
//   quit                            posts the quit message, so shut-down runs as usual
//   wait <file> [<picture.png>]     holds the script until <file> exists: no frames are counted
//                                   meanwhile (the game keeps running, drawing and moving its
//                                   clocks), so the lines after it meet the same moment of play
//                                   however long the hold lasts; with a picture, the screen is
//                                   saved to it every 30 frames of the hold, each picture whole
//                                   (written aside, then renamed)
//   frames <file>                   writes "<frames> <longest> <busiest>" to <file>: how many
//                                   frames the program played since the script began or since
//                                   the last frames line, counted or not, the longest of them in
//                                   milliseconds of real time, and the most processor time the
//                                   loop's thread spent on one of them (its own work, whatever
//                                   else a shared machine runs); the automation's own work (its
//                                   actions, the wait's pictures) is not part of a frame. Then
//                                   it counts afresh.
// Lines starting with '#' and empty lines are skipped; a bad line is reported on stderr and
// skipped. Actions of one frame run in the order of their lines, before that frame is drawn.
// With QUIBLY_AUTOMATION_FRAME_MS=<milliseconds> as well, the game's clocks stand still and move
// by that step once a frame, so a script's frame numbers meet the same game time however fast
// the machine runs.
#pragma once

#include "win32/Types.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A "key" line becomes a Key at its frame and a KeyUp at the next one; a "press" line a Press
// and a Release.
enum class AutomationVerb { Key, KeyUp, Move, Click, RightClick, Text, Shot, Quit, Press, Release, Dialog, Wait, Frames };

struct AutomationAction {
    int frame = 0;
    AutomationVerb verb = AutomationVerb::Quit;
    UINT key = 0;
    int x = 0, y = 0;
    std::string text;  // the typed text, the picture's file name, the dialog's answer, the file waited for or written
    std::string picture;  // a wait's picture, saved while it holds; empty for none
    bool cancel = false;  // a dialog line that cancels
};

// The actions of a script in frame order (lines of one frame keep their order). Each bad line
// is reported on `errors` as "<source>:<line>: <reason>" and left out.
std::vector<AutomationAction> ParseAutomationScript(std::string_view script, std::string_view source,
                                                    std::ostream& errors);

// Saves the last presented picture as a PNG file; the program sets it once its device exists.
using AutomationShot = std::function<bool(const std::string& file)>;
void SetAutomationShot(AutomationShot shot);

// Plays `actions` from the next AutomationFrame on, which becomes frame 0.
void StartAutomation(std::vector<AutomationAction> actions);
// Forgets the script, the frame count and the shot; the next AutomationFrame reads
// QUIBLY_AUTOMATION again.
void StopAutomation();

// Called by the main loop once per frame, before the frame: on the first call it loads the
// script named by QUIBLY_AUTOMATION (when set), then it runs the actions whose frame has come
// into `window` and counts the frame; while a wait holds, it only looks for the file waited for
// (and saves the wait's picture every 30 calls).
void AutomationFrame(HWND window);
// Called by the main loop instead of AutomationFrame for a turn that the script does not count
// (a scene load under QUIBLY_AUTOMATION_WAIT_LOADS=1): no action runs and no frame is counted,
// but with a fixed frame step the clocks follow the real time since the last turn (at most
// 100 ms a turn), so what a load waits for - the other program of an online match, its resent
// messages and its time-out - sees time pass as it would in play.
void AutomationUncountedTurn();

} // namespace platform
