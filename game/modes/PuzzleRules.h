// The rules of the logic-puzzle scenes: what the play and test scenes add to
// the board's click reports (spare moves and the buffer block), reading a
// puzzle file into a board, the time digits, the mode key of a puzzle and the
// cube reward of a clear.
#pragma once

#include "modes/PuzzleLayout.h"

#include <cstdint>
#include <string>

class VanteoBlockMap;
struct RankEntry;

// Scene names of the logic-puzzle mode.
inline constexpr const char* kPuzzleSelectSceneName = "VanteoPuzzleSelectScene2";
inline constexpr const char* kPuzzlePlaySceneName = "VanteoScene_IQ";
inline constexpr const char* kPuzzleEditorSceneName = "VanteoPuzzleEditorScene";
inline constexpr const char* kPuzzleEditorTestSceneName = "VanteoScene_IQEditorTest";
inline constexpr int kPuzzleTabs = 4;
inline constexpr int kPuzzlesPerPage = 8;

// The board's click report (MSG_BLOCK_CLICKED) read from the message data, id
// word first; words past the message's `length` bytes read 0.
struct BlockClickReport {
    int col = 0, row = 0, kind = 0, present = 0, pin = 0, fixed = 0, point = 0;
    static BlockClickReport Read(const void* data, int length);
};

// The player's side of an attempt.
struct PuzzleHand {
    int spareMoves = 0;
    int bufferInHand = 0;
};

// Applies the puzzle's rules to a click report: a clicked buffer block goes
// into the hand; a loose colour block that is not fixed uses a spare move; a
// click on an empty cell puts a buffer block there, from the hand or else the
// first one found column by column on the board. True when the spare moves fell
// below 0: the attempt has failed. A report for a cell outside the board
// changes nothing.
bool ApplyPuzzleClick(VanteoBlockMap& board, PuzzleHand& hand, const BlockClickReport& click);

// Reads the puzzle file into the layout and loads the board from it; false
// (with a log line) when the file is missing or refused, the board and the
// layout left as they were.
bool LoadPuzzleFile(const std::string& path, PuzzleLayout& layout, VanteoBlockMap& board);

// Minutes, seconds and hundredths of a time in hundredths; negative parts show
// as 0.
struct PuzzleTimeParts {
    int minutes = 0, seconds = 0, hundredths = 0;
    static PuzzleTimeParts Of(int hundredthsTotal);
};
// The board's play clock in whole hundredths, truncated.
int PuzzleHundredths(float playTimeSeconds);

// "IQ.<tab word><title>": the mode key of the pause and result pop-ups.
std::string PuzzleModeKey(int tab, const char* title);

// The cubes a clear pays for its place in the table (the entry marked new): 7,
// 5, 4, 3, 2 for places 1 to 5, halved when the next place is the player's own;
// 1 for the sixth; 0 without a table or a new entry.
int PuzzleCubeReward(const RankEntry* table);

// The file name of a path without its folder and extension.
std::string PuzzleFileTitle(const std::string& path);

// The chooser's page that holds the puzzle at `index`.
inline int PuzzlePageOf(int index)
{
    return index < 0 ? 0 : index / kPuzzlesPerPage;
}
