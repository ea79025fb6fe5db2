// Feeds arbitrary bytes to the board's three layout loaders, as a puzzle file, a network snapshot
// and a push record would bring them, and as a puzzle file to the logic-puzzle board, then plays
// the loaded board: clicks on every cell, hovers,
// turns and settling must never index outside the grid, and every square stays inside it. (While
// a group leaves batch by batch a square may be half gone, so only its place is checked.)
#include "FuzzSinks.h"
#include "board/VanteoBlockMap.h"
#include "modes/PuzzleLayout.h"
#include "modes/VanteoBlockMap_IQ.h"

#include <cstdint>
#include <vector>

namespace {

BoardTuning FuzzTuning()
{
    BoardTuning t;
    t.hasStage = 1;
    t.randomSeed = 3;
    t.weights[1] = t.weights[2] = t.weights[3] = 10;
    t.weights[4] = t.weights[5] = 2;
    return t;
}

void CheckSquares(const VanteoBlockMap& board)
{
    for (int row = 0; row < board.height; ++row)
        for (int col = 0; col < board.width; ++col) {
            const VanteoBlock* b = board.CellAt(col, row);
            if (!b->present || !b->corner)
                continue;
            float dx, dy;
            Block::CornerOffset(b->corner, &dx, &dy);
            const int tx = col + static_cast<int>(dx) / 45, ty = row + static_cast<int>(dy) / 45;
            for (int r = ty; r <= ty + 1; ++r)
                for (int c = tx; c <= tx + 1; ++c)
                    if (!board.CellAt(c, r))
                        __builtin_trap();
        }
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzzsupport::NullMessages messages;
    static fuzzsupport::NullSounds sounds;
    static GameRandom random(1);
    const BoardWorld world{messages, sounds, random, [] { return 1u; }};
    static VanteoBlockMap plain(world, FuzzTuning());
    static VanteoBlockMap_IQ puzzle(world, FuzzTuning());
    static bool built = false;
    if (!built) {
        plain.Init(nullptr, 8, 8);
        puzzle.Init(nullptr, 8, 8);
        built = true;
    }
    if (size < 1)
        return 0;
    VanteoBlockMap& board = data[0] % 4 == 3 ? static_cast<VanteoBlockMap&>(puzzle) : plain;
    board.NewGame();
    int loaded = 0;
    switch (data[0] % 4) {
    case 0:
        loaded = board.LoadLayout(data + 1, size - 1);
        break;
    case 1:
        loaded = board.LoadSnapshot(data + 1, size - 1);
        break;
    case 3: {
        // A puzzle file, read into a layout as the puzzle scenes read it.
        PuzzleLayout layout;
        layout.Assign(data + 1, size - 1);
        loaded = board.LoadLayout(layout.Data(), layout.Size());
        break;
    }
    default: {
        std::vector<uint16_t> words;
        for (size_t i = 1; i + 1 < size; i += 2)
            words.push_back(static_cast<uint16_t>(data[i] | (data[i + 1] << 8)));
        loaded = board.ApplyLayoutWords(words.data(), words.size());
        break;
    }
    }
    if (!loaded)
        return 0;
    CheckSquares(board);
    board.FindGroups();
    for (int cell = 0; cell < 64; ++cell) {
        const float x = board.originX + (cell % 8) * 45 + 10, y = board.originY + (cell / 8) * 45 + 10;
        board.Hover(x, y);
        board.Click(x, y);
        for (int frame = 0; frame < 4; ++frame)
            board.Update(0.05f);
        CheckSquares(board);
    }
    board.RequestRotate(1);
    for (int frame = 0; frame < 30; ++frame)
        board.Update(0.05f);
    CheckSquares(board);
    board.AutoPlayStep();
    board.ClearSameKindNear(3, 3, 0);
    board.ClearKind(5);
    CheckSquares(board);
    return 0;
}
