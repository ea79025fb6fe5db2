// Feeds arbitrary bytes to the puzzle file reader as a file of the user's
// puzzle folder, as the chooser, the play scene and the editor read it: a
// refused file must leave the layout as it was, an accepted one must be a valid
// board, and the logic-puzzle board loaded from it is then played (clicks on
// every cell, turns, settling) without leaving its grid.
#include "FuzzSinks.h"
#include "FuzzSupport.h"
#include "modes/PuzzleLayout.h"
#include "modes/VanteoBlockMap_IQ.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::EnterPrivateFolder(argc, argv, "PuzzleFile");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzzsupport::NullMessages messages;
    static fuzzsupport::NullSounds sounds;
    static GameRandom random(1);
    const BoardWorld world{messages, sounds, random, [] { return 1u; }};
    static VanteoBlockMap_IQ board(world, BoardTuning{});
    static bool built = false;
    if (!built) {
        board.Init(nullptr, 8, 8);
        built = true;
    }
    if (FILE* file = std::fopen("puzzle.pzl", "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    // The layout of an earlier puzzle, which a refused file must not change.
    PuzzleLayout layout;
    layout.SetCell(9, 1);
    const PuzzleLayout before = layout;
    if (!layout.Read("puzzle.pzl")) {
        if (std::memcmp(layout.Data(), before.Data(), layout.Size()) != 0)
            __builtin_trap();
        return 0;
    }
    if (size != kPuzzleLayoutBytes || !layout.ValidCells() || std::memcmp(layout.Data(), data, size) != 0)
        __builtin_trap();
    board.NewGame();
    if (!board.LoadLayout(layout.Data(), layout.Size()))
        __builtin_trap();
    for (int cell = 0; cell < 64; ++cell) {
        const float x = board.originX + (cell % 8) * 45 + 10, y = board.originY + (cell / 8) * 45 + 10;
        board.Hover(x, y);
        board.Click(x, y);
        for (int frame = 0; frame < 3; ++frame)
            board.Update(0.05f);
    }
    board.RequestRotate(-1);
    for (int frame = 0; frame < 20; ++frame)
        board.Update(0.05f);
    return 0;
}
