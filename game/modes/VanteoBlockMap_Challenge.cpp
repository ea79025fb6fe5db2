#include "modes/VanteoBlockMap_Challenge.h"

#include <algorithm>

namespace {

constexpr int kSoundPinBlock = 111;
constexpr int kProfile[4] = {10, 20, 30, 40};

} // namespace

VanteoBlockMap_Challenge::~VanteoBlockMap_Challenge() { DestroyBlocks(); }

int VanteoBlockMap_Challenge::ProfileWeight(int index, int size)
{
    int distance = index < size / 2 ? size / 2 - index : size - index;
    return kProfile[std::clamp(distance, 1, 4) - 1];
}

VanteoBlock* VanteoBlockMap::PickWeightedBlock(int kind)
{
    if (!cells)
        return nullptr;
    auto weight = [&](int i) {
        const VanteoBlock* b = cells[i];
        if (!b->present || b->kind != kind || b->inSquare || b->corner || b->pin || b->point || b->fixed)
            return 0;
        return std::max(VanteoBlockMap_Challenge::ProfileWeight(i % width, width),
                        VanteoBlockMap_Challenge::ProfileWeight(i / width, height));
    };
    int total = 0;
    for (int i = 0; i < CellCount(); ++i)
        total += weight(i);
    if (total == 0)
        return nullptr;
    int r = Random().Next() % total;
    for (int i = 0; i < CellCount(); ++i) {
        r -= weight(i);
        if (r < 0)
            return cells[i];
    }
    return nullptr;
}

void VanteoBlockMap_Challenge::NewGame()
{
    VanteoBlockMap::NewGame();
    comboAdvanced = 0;
    pinRequest = 1;
}

void VanteoBlockMap_Challenge::UpdateX2(float)
{
    x2 = 1;
}

void VanteoBlockMap_Challenge::StarBlastStep()
{
    VanteoBlockMap::StarBlastStep();
    if (starBlasts == 0)
        pinRequest = 1;
}

void VanteoBlockMap_Challenge::ClickStarSquare(int col, int row)
{
    VanteoBlockMap::ClickStarSquare(col, row);
    if (starBlasts == 0)
        pinRequest = 1;
}

int VanteoBlockMap_Challenge::FindGroups()
{
    int found = VanteoBlockMap::FindGroups();
    if (pinRequest) {
        MarkPinBlock();
        pinRequest = 0;
    }
    const int c = combo;
    if (comboAdvanced && c > 0) {
        // A block is fixed every seventh combo step, every sixth from 250 on and so on; from
        // 1750 on, where the divisor would reach zero, at every step.
        int every = std::max(7 - c / 250, 1);
        if (c % every == 0)
            FixRandomBlock();
        if (c % (c / 25 + 12) == 1)
            MarkPinBlock();
    }
    comboAdvanced = 0;
    return found;
}

void VanteoBlockMap_Challenge::OnCombo()
{
    if (combo > 1 && !noComboMode)
        comboEffect.Add(combo, originX + 22.0f * static_cast<float>(width), originY + 22.0f * static_cast<float>(height));
    PlaySound(kSoundAllClear);
    // Posted even on a quiet board: the scene counts the combo from it.
    PayloadWriter().I32(combo).PostTo(Messages(), MSG_COMBO);
    ++combo;
    comboAdvanced = 1;
}

void VanteoBlockMap_Challenge::AfterSingleClick(int, int)
{
    int noMove = HasNoMove();
    if (combo > 1)
        Post(MSG_COMBO_BREAK, PayloadWriter().I32(noMove));
}

int VanteoBlockMap_Challenge::HasNoMove()
{
    if (!cells)
        return 1;
    for (int i = 0; i < CellCount(); ++i) {
        const VanteoBlock* b = cells[i];
        int colour = 0;
        if (b->corner || b->pin || (b->kind == kBlockStar && ChooseStarColour(i, &colour)))
            return 0;
    }
    return 1;
}

int VanteoBlockMap_Challenge::ChallengeBlockKind(VanteoBlockMap& board)
{
    const BoardTuning& t = board.tuning;
    const int total = t.WeightTotal();
    const int a = std::min(board.combo / 25, std::max(t.weights[kBlockStar], 0));
    if (!t.hasStage)
        return board.VanteoBlockMap::NewBlockKind();
    // A stage whose only weight is the star's runs out of kinds: the three colours come alike.
    if (total - a <= 0)
        return board.Random().Next() % 3 + 1;
    int r = board.Random().Next() % (total - a);
    for (int k = 0; k < BoardTuning::kKinds; ++k) {
        r -= std::max(t.weights[k], 0) - (k == kBlockStar ? a : 0);
        if (r < 0)
            return k;
    }
    return 0;
}

void VanteoBlockMap_Challenge::MarkPin(VanteoBlockMap& board)
{
    if (!board.cells)
        return;
    bool pinned[4] = {true, false, false, false};
    for (int i = 0; i < board.CellCount(); ++i) {
        const VanteoBlock* b = board.cells[i];
        if (b->pin && IsColourKind(b->kind))
            pinned[b->kind] = true;
    }
    VanteoBlock* block = nullptr;
    if (pinned[1] && pinned[2] && pinned[3]) {
        block = board.PickPlainBlock();
    } else {
        int r = board.Random().Next() % 4;
        while (pinned[r])
            r = (r + 1) % 4;
        block = board.PickWeightedBlock(r);
    }
    if (!block)
        return;
    block->pin = 1;
    board.PlaySound(kSoundPinBlock);
    block->Disable();
}

void VanteoBlockMap_Challenge::DrawChallengeOverlay(VanteoBlockMap& board)
{
    if (!board.frozen)
        board.comboEffect.Draw(nullptr);
    if (board.combo <= 1 || !board.layout)
        return;
    if (board.windows.Has(BoardWindows::kNumCombo))
        board.comboDigits.Render(nullptr, 0.0f);
    const BoardWindows::Id places[2] = {BoardWindows::kNumBonus1, BoardWindows::kNumBonus2};
    for (int i = 0; i < 2; ++i) {
        float x, y;
        if (!board.windows.AbsolutePosition(places[i], &x, &y))
            continue;
        D3DXMATRIX at;
        D3DXMatrixTranslation(&at, x, y, 0.0f);
        board.bonusDigits[i].Draw(&at, 0xFFFFFFFF, 0.0f, nullptr);
    }
}
