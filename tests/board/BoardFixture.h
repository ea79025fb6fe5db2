// A board wired to recorders, with a fixed generator and tuning, and pictures of cells:
// '.' empty, 'R' 'G' 'B' the colours 1..3, 'S' star, 'O' stone, 'F' buffer, 'W' wall.
#pragma once

#include "support/GameSeamFakes.h"

#include "board/VanteoBlockMap.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace boardtest {

inline int KindOf(char c)
{
    switch (c) {
    case 'R': return 1;
    case 'G': return 2;
    case 'B': return 3;
    case 'S': return 4;
    case 'O': return 5;
    case 'F': return 6;
    case 'W': return 7;
    case 'K': return 7;
    default: return 0;
    }
}

inline char CharOf(const Block* b)
{
    if (!b->present)
        return '.';
    return ".RGBSOFW"[b->kind & 7];
}

struct Harness {
    explicit Harness(int size = 8, uint32_t seed = 7) : random(seed)
    {
        tuning.hasStage = 1;
        tuning.randomSeed = static_cast<int>(seed);
        tuning.weights[1] = tuning.weights[2] = tuning.weights[3] = 10;
        board = std::make_unique<VanteoBlockMap>(World(), Tuning());
        board->Init(nullptr, size, size);
    }

    // Replaces the board by a mode's board of the same size.
    template <typename ModeBoard>
    ModeBoard& Use()
    {
        const int size = board->width;
        auto mode = std::make_unique<ModeBoard>(World(), Tuning());
        ModeBoard& ref = *mode;
        board = std::move(mode);
        board->Init(nullptr, size, size);
        return ref;
    }

    BoardWorld World() { return BoardWorld{messages, sounds, random, [] { return 1234u; }}; }
    // The harness's tuning as it stands when the board reads it, so a test may change it.
    BoardTuningSource Tuning()
    {
        return [this] { return tuning; };
    }

    // Puts the picture on the grid (rows top to bottom), every block resting at its cell.
    void Fill(std::initializer_list<const char*> rows)
    {
        VanteoBlockMap& b = *board;
        int row = 0;
        for (const char* line : rows) {
            for (int col = 0; col < b.width && line[col]; ++col) {
                VanteoBlock* cell = b.CellAt(col, row);
                cell->Empty();
                cell->fixed = cell->point = cell->pin = 0;
                cell->value = 1;
                cell->clearBonusShown = cell->magicTurnShown = 0;
                cell->x = cell->targetX = static_cast<float>(col * 45);
                cell->y = cell->targetY = static_cast<float>(row * 45);
                cell->moving = cell->wasMoving = 0;
                const int kind = KindOf(line[col]);
                if (kind) {
                    cell->kind = kind;
                    cell->present = 1;
                }
            }
            ++row;
        }
    }

    std::vector<std::string> Picture() const
    {
        std::vector<std::string> rows;
        for (int r = 0; r < board->height; ++r) {
            std::string line;
            for (int c = 0; c < board->width; ++c)
                line += CharOf(board->CellAt(c, r));
            rows.push_back(line);
        }
        return rows;
    }

    // Runs frames of 1/60 s until the board is still and has searched for groups (at most
    // `frames`).
    int Settle(int frames = 600)
    {
        board->settled = 0;
        int n = 0;
        for (; n < frames; ++n) {
            board->Update(1.0f / 60.0f);
            if (!board->IsBusy() && board->settled && n > 2)
                break;
        }
        return n;
    }

    // Clicks the centre of a cell.
    void ClickCell(int col, int row)
    {
        board->Click(board->originX + col * 45 + 22, board->originY + row * 45 + 22);
    }

    std::vector<int32_t> Payload(const PostedMessage& m) const
    {
        PayloadReader reader = m.Reader();
        std::vector<int32_t> out;
        while (reader.Remaining() >= 4)
            out.push_back(reader.I32());
        return out;
    }

    RecordingMessages messages;
    RecordingSounds sounds;
    GameRandom random;
    BoardTuning tuning;
    std::unique_ptr<VanteoBlockMap> board;
};

} // namespace boardtest
