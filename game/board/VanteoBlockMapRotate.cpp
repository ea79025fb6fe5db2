// Turning the board by 90 degrees, drawing it through its layout windows, and the 16-bit cell
// words in which it reports and loads its layout.
#include "board/VanteoBlockMap.h"

#include "kv/KVWnd.h"

#include <helvane/Log.h>

#include <cmath>

int VanteoBlockMap::RequestRotate(int direction)
{
    if (direction != -1 && direction != 1)
        return 0;
    const bool turning = turnAngle != turnTarget;
    if (IsBusy() && !turning)
        pendingTurn = direction;
    else if (turning && turnAngle / turnTarget > 0.5f)
        pendingTurn = direction;
    else
        StartRotate(direction);
    return 1;
}

int VanteoBlockMap::StartRotate(int direction)
{
    if (!cells || (direction != -1 && direction != 1) || width != height)
        return 0;
    if (IsBusy() || turnAngle != 0 || starTimer > 0 || !turnReady)
        return 0;
    pendingTurn = 0;
    turnReady = 0;
    turnDirection = direction;
    constexpr float kHalfPi = 1.57079632679489662f;
    turnTarget = direction < 0 ? -kHalfPi : kHalfPi;
    turnAngle = 0;
    if (!quiet) {
        PlaySound(kSoundRotate);
        Post(MSG_ROTATE, PayloadWriter().I32(direction));
    }
    return 1;
}

namespace {
// Every field of the block but wasMoving, the number (so its sprite follows) and the overlays;
// the animation players keep their own scenes.
void CopyBlockState(VanteoBlock& to, const VanteoBlock& from)
{
    to.joinRight = from.joinRight;
    to.joinBottom = from.joinBottom;
    to.inSquare = from.inSquare;
    to.corner = from.corner;
    to.starHover = from.starHover;
    to.x = from.x;
    to.y = from.y;
    to.targetX = from.targetX;
    to.targetY = from.targetY;
    to.speedX = from.speedX;
    to.speedY = from.speedY;
    to.moving = from.moving;
    to.kind = from.kind;
    to.present = from.present;
    to.angle = from.angle;
    to.fixed = from.fixed;
    to.point = from.point;
    to.pin = from.pin;
    to.SetNumber(from.value);
    to.clearBonusShown = from.clearBonusShown;
    to.magicTurnShown = from.magicTurnShown;
}
}

void VanteoBlockMap::ApplyRotation(int direction)
{
    if (!cells || width != height || (direction != -1 && direction != 1))
        return;
    const int count = CellCount();
    for (int i = 0; i < count; ++i)
        CopyBlockState(*turnCells[i], *cells[i]);
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col) {
            const int source = direction > 0 ? row + (width - 1 - col) * width : (width - 1 - row) + col * width;
            VanteoBlock& b = *cells[col + row * width];
            CopyBlockState(b, *turnCells[source]);
            PlaceAtCell(col + row * width);
            if (b.corner >= 1 && b.corner <= 4)
                b.corner = ((b.corner + direction + 3) % 4 + 4) % 4 + 1;
        }
    FindGroups();
    hoverCol = hoverRow = -1;
    layoutPending = 1;
    MarkGroup(-1, -1);
    clearEffect.Clear();
    clearEffect2.Clear();
    comboEffect.Clear();
    breakEffect.Clear();
    magicPending = 1;
}

void VanteoBlockMap::UpdateDrawMatrix()
{
    const float cx = static_cast<float>(width * kCellSize) / 2.0f;
    const float cy = static_cast<float>(height * kCellSize) / 2.0f;
    D3DXMATRIX step;
    D3DXMatrixTranslation(&drawMatrix, -cx, -cy, 0.0f);
    D3DXMatrixRotationZ(&step, turnAngle);
    D3DXMatrixMultiply(&drawMatrix, &drawMatrix, &step);
    D3DXMatrixTranslation(&step, cx, cy, 0.0f);
    D3DXMatrixMultiply(&drawMatrix, &drawMatrix, &step);
    D3DXMatrixScaling(&step, scaleX, scaleY, 1.0f);
    D3DXMatrixMultiply(&drawMatrix, &drawMatrix, &step);
    D3DXMatrixTranslation(&step, originX, originY, 0.0f);
    D3DXMatrixMultiply(&drawMatrix, &drawMatrix, &step);
}

void VanteoBlockMap::DrawBlocks()
{
    if (!blocksShown || !cells)
        return;
    UpdateDrawMatrix();
    const int count = CellCount();
    for (int i = 0; i < count; ++i)
        cells[i]->DrawMarks(&drawMatrix);
    if (turnTarget == 0) {
        for (int i = 0; i < count; ++i)
            cells[i]->DrawBlock(&drawMatrix, 1.0f);
        return;
    }
    const float x = turnAngle / turnTarget;
    for (int i = 0; i < count; ++i) {
        VanteoBlock* b = cells[i];
        b->DrawBlock(&drawMatrix, (1.0f - x) * 2.0f);
        b->SetAngle(-turnTarget);
        b->DrawBlock(&drawMatrix, x * 2.0f);
        b->SetAngle(0);
    }
}

void VanteoBlockMap::DrawMoving()
{
    if (!blocksShown || !settled || !cells)
        return;
    const float keepX = originX, keepY = originY;
    originX = originY = 59.616f;
    UpdateDrawMatrix();
    originX = keepX;
    originY = keepY;
    const bool turning = turnTarget != turnAngle;
    for (int i = 0; i < CellCount(); ++i)
        if (turning || cells[i]->moving)
            cells[i]->DrawBlock(&drawMatrix, 1.0f);
}

void VanteoBlockMap::DrawOverlay()
{
    if (!frozen)
        comboEffect.Draw(nullptr);
    if (combo < 3 || !comboPanel || noComboMode)
        return;
    if (windows.Has(BoardWindows::kNumCombo))
        comboDigits.Render(nullptr, 0.0f);
    const BoardWindows::Id places[2] = {BoardWindows::kNumBonus1, BoardWindows::kNumBonus2};
    for (int i = 0; i < 2; ++i) {
        float x, y;
        if (!windows.AbsolutePosition(places[i], &x, &y))
            continue;
        D3DXMATRIX at;
        D3DXMatrixTranslation(&at, x, y, 0.0f);
        bonusDigits[i].Draw(&at, 0xFFFFFFFF, 0.0f, nullptr);
    }
}

void VanteoBlockMap::DrawComboArea()
{
    DrawOverlay();
    if (frozen)
        return;
    clearEffect.Draw(&drawMatrix);
    clearEffect2.Draw(&drawMatrix);
    breakEffect.Draw(nullptr);
}

void VanteoBlockMap::HideComboPanel()
{
    if (comboPanel && comboPanel->IsVisible())
        windows.HideAtOnce(BoardWindows::kComboPanel);
}

void VanteoBlockMap::MarkGroupOutlines()
{
    for (int cell : groups) {
        if (cell < 0)
            continue;
        VanteoBlock* b = cells[cell];
        const int col = cell % width, row = cell / width;
        auto joins = [&](int c, int r) {
            const VanteoBlock* n = CellAt(c, r);
            return n && n->present && n->kind == b->kind && !n->pin;
        };
        if (joins(col + 1, row))
            b->joinRight = 1;
        if (joins(col, row + 1))
            b->joinBottom = 1;
    }
}

std::vector<uint16_t> VanteoBlockMap::LayoutWords() const
{
    std::vector<uint16_t> words;
    if (!cells)
        return words;
    words.reserve(CellCount());
    for (int i = 0; i < CellCount(); ++i) {
        const VanteoBlock* b = cells[i];
        if (!b->present) {
            words.push_back(0);
            continue;
        }
        words.push_back(static_cast<uint16_t>((b->kind & 0xFF) | (b->inSquare ? 0x100 : 0) | (b->fixed ? 0x200 : 0) |
                                              (b->point ? 0x400 : 0) | ((b->corner & 0xF) << 12)));
    }
    return words;
}

void VanteoBlockMap::PostLayout()
{
    if (quiet || width != 8 || height != 8 || !cells)
        return;
    PayloadWriter payload;
    for (uint16_t word : LayoutWords())
        payload.U16(word);
    payload.PostTo(Messages(), MSG_BOARD_LAYOUT);
}

bool VanteoBlockMap::ValidLayoutWords(const uint16_t* words, size_t count) const
{
    return cells && ValidLayoutWordsFor(words, count, width, height);
}

bool VanteoBlockMap::ValidLayoutWordsFor(const uint16_t* words, size_t count, int width, int height)
{
    const int cellCount = width * height;
    if (!words || width < 1 || height < 1 || count < static_cast<size_t>(cellCount))
        return false;
    auto inside = [&](int col, int row) { return col >= 0 && col < width && row >= 0 && row < height; };
    std::vector<uint8_t> covered(cellCount, 0);
    for (int i = 0; i < cellCount; ++i) {
        const uint16_t w = words[i];
        if (w == 0)
            continue;
        const int kind = w & 0xFF, corner = w >> 12;
        const bool covers = (w & 0x100) != 0;
        if (!IsBlockKind(kind) || corner > 4 || (covers && corner))
            return false;
        if (!corner)
            continue;
        const int col = i % width, row = i / width;
        const int tx = corner == 2 || corner == 3 ? col - 1 : col;
        const int ty = corner == 3 || corner == 4 ? row - 1 : row;
        if (!inside(tx, ty) || !inside(tx + 1, ty + 1))
            return false;
        for (int r = ty; r <= ty + 1; ++r)
            for (int c = tx; c <= tx + 1; ++c) {
                const int n = c + r * width;
                if (n == i)
                    continue;
                const uint16_t other = words[n];
                if ((other & 0xFF) != kind || !(other & 0x100) || (other >> 12) != 0 || covered[n])
                    return false;
                covered[n] = 1;
            }
    }
    for (int i = 0; i < cellCount; ++i)
        if ((words[i] & 0x100) && !covered[i])
            return false;
    return true;
}

void VanteoBlockMap::ApplyWords(const uint16_t* words, bool clearFixed, bool setPoint)
{
    blocksShown = 1;
    for (int i = 0; i < CellCount(); ++i) {
        const uint16_t w = words[i];
        VanteoBlock* b = cells[i];
        if (w == 0) {
            EmptyCell(i);
            continue;
        }
        b->inSquare = (w & 0x100) ? 1 : 0;
        b->kind = w & 0xFF;
        b->corner = w >> 12;
        b->present = 1;
        if (w & 0x200)
            b->fixed = 1;
        else if (clearFixed)
            b->fixed = 0;
        if (setPoint && (w & 0x400))
            b->point = 1;
    }
}

namespace {
std::vector<uint16_t> ReadWords(const uint8_t* data, size_t bytes, size_t offset, size_t count)
{
    std::vector<uint16_t> words;
    if (!data || bytes < offset || (bytes - offset) / 2 < count)
        return words;
    words.resize(count);
    for (size_t i = 0; i < count; ++i)
        words[i] = static_cast<uint16_t>(data[offset + 2 * i] | (data[offset + 2 * i + 1] << 8));
    return words;
}
}

int VanteoBlockMap::LoadLayout(const uint8_t* data, size_t bytes)
{
    const std::vector<uint16_t> words = ReadWords(data, bytes, 4, static_cast<size_t>(CellCount()));
    if (words.empty() || !ValidLayoutWords(words.data(), words.size())) {
        DFLog(LOG_WARN, L"VanteoBlockMap: board layout refused (%d bytes)", static_cast<int>(bytes));
        return 0;
    }
    ApplyWords(words.data(), true, false);
    return 1;
}

int VanteoBlockMap::LoadSnapshot(const uint8_t* data, size_t bytes)
{
    const std::vector<uint16_t> words = ReadWords(data, bytes, 12, static_cast<size_t>(CellCount()));
    return LoadSnapshotWords(words.data(), words.size());
}

int VanteoBlockMap::LoadSnapshotWords(const uint16_t* words, size_t count)
{
    const size_t cellCount = static_cast<size_t>(CellCount());
    if (!words || count < cellCount || !ValidLayoutWords(words, cellCount)) {
        DFLog(LOG_WARN, L"VanteoBlockMap: board snapshot refused (%d words)", static_cast<int>(count));
        return 0;
    }
    ApplyWords(words, false, false);
    return 1;
}

int VanteoBlockMap::ApplyLayoutWords(const uint16_t* words, size_t count)
{
    if (!ValidLayoutWords(words, count)) {
        DFLog(LOG_WARN, L"VanteoBlockMap: layout words refused");
        return 0;
    }
    ApplyWords(words, false, true);
    return 1;
}
