#include "modes/VanteoBlockMap_IQ.h"

#include "board/GameMessages.h"

#include <helvane/Log.h>

VanteoBlockMap_IQ::VanteoBlockMap_IQ(const BoardWorld& world, BoardTuningSource tuning)
    : VanteoBlockMap(world, std::move(tuning))
{
    Reset();
    frozen = 0;
}

VanteoBlockMap_IQ::~VanteoBlockMap_IQ() { DestroyBlocks(); }

int VanteoBlockMap_IQ::Init(kv::KVWnd* layoutWindow, int, int)
{
    int result = VanteoBlockMap::Init(layoutWindow, -1, -1);
    comboEffect.m_bEnable = false;
    return result;
}

void VanteoBlockMap_IQ::NewGame()
{
    VanteoBlockMap::NewGame();
    arranged = 0;
}

int VanteoBlockMap_IQ::LoadLayout(const uint8_t* data, size_t bytes)
{
    int loaded = VanteoBlockMap::LoadLayout(data, bytes);
    if (loaded)
        arranged = 1;
    return loaded;
}

int VanteoBlockMap_IQ::LoadSnapshot(const uint8_t* data, size_t bytes)
{
    int loaded = VanteoBlockMap::LoadSnapshot(data, bytes);
    if (loaded)
        arranged = 1;
    return loaded;
}

int VanteoBlockMap_IQ::BlocksLeft() const
{
    int left = 0;
    for (int i = 0; i < CellCount(); ++i)
        left += cells[i]->present && cells[i]->kind != kBlockWall ? 1 : 0;
    return left;
}

void VanteoBlockMap_IQ::Step(float seconds)
{
    if (!cells)
        return;
    if (!arranged) {
        // A board that got no layout fills itself once from the incoming row.
        if (Refill()) {
            bool full = true;
            for (int i = 0; i < CellCount() && full; ++i)
                full = cells[i]->present != 0;
            if (full)
                arranged = 1;
            return;
        }
    } else if (BlocksLeft() == 0 && !frozen) {
        Post(MSG_GAME_WIN);
        return;
    }
    // Settling as every board does, but never refilling.
    if (UpdateClearQueue(seconds) || IsBusy() || ApplyGravity())
        return;
    if (pendingTurn != 0)
        StartRotate(pendingTurn);
    if (starBlasts != 0) {
        StarBlastStep();
        return;
    }
    FindGroups();
    settled = 1;
    if (layoutPending) {
        layoutPending = 0;
        PostLayout();
    }
}

void VanteoBlockMap_IQ::FindSquares()
{
    if (!turnReady) {
        DFLog(L"Arrange Block TRUE");
        turnReady = 1;
    }
    if (!cells)
        return;
    auto free = [](const VanteoBlock* b) { return b->present && !b->fixed && !b->pin && !b->inSquare && !b->corner; };
    bool formed = false;
    for (int row = height - 1; row >= 1; --row) {
        for (int col = 0; col + 1 < width; ++col) {
            VanteoBlock* b = cells[col + row * width];
            if (!free(b) || b->kind == kBlockWall)
                continue;
            VanteoBlock* partners[3] = {cells[col + 1 + row * width], cells[col + (row - 1) * width],
                                        cells[col + 1 + (row - 1) * width]};
            bool square = true;
            for (VanteoBlock* p : partners)
                if (!square || !free(p) || p->kind != b->kind)
                    square = false;
            if (!square)
                continue;
            b->corner = 4;
            float px, py;
            b->GetPosition(&px, &py);
            clearEffect.Add(1, b->kind, px, py);
            for (VanteoBlock* p : partners)
                p->inSquare = 1;
            formed = true;
        }
    }
    if (formed) {
        hoverCol = hoverRow = -1;
        MarkGroup(-1, -1);
    }
    magicPending = 0;
}

void VanteoBlockMap_IQ::OnCombo()
{
    PlaySound(kSoundAllClear);
    // Posted even on a quiet board: the scene counts clears from it.
    PayloadWriter().I32(combo).PostTo(Messages(), MSG_COMBO);
    combo = 2;
}

void VanteoBlockMap_IQ::AfterSingleClick(int, int)
{
    if (combo > 1)
        PayloadWriter().I32(0).PostTo(Messages(), MSG_COMBO_BREAK);
    CloseDoubleChanceAfterMiss();
    combo = 1;
}

void VanteoBlockMap_IQ::ClearGroupBlocks(int col, int row, int)
{
    VanteoBlockMap::ClearGroupBlocks(col, row, 0);
}

void VanteoBlockMap_IQ::DrawBlocks()
{
    if (!blocksShown)
        return;
    VanteoBlockMap::DrawBlocks();
    if (quiet || frozen)
        return;
    clearEffect.Draw(&drawMatrix);
    clearEffect2.Draw(&drawMatrix);
    comboEffect.Draw(nullptr);
}
