// The board's clock: the frame timers, the 0.01 s sub-steps of easing and settling, the clear
// timeline, gravity, refill, star blasts, the idle sparkle and the automatic player.
#include "board/VanteoBlockMap.h"

#include "board/BoardWindows.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kSubStep = 0.01f;
constexpr float kTimeTable[5] = {60.0f, 120.0f, 180.0f, 240.0f, 300.0f};
// Random turns in a row that the automatic player makes without clearing anything before it
// reports that nothing is left (holes under fixed blocks may never close).
constexpr int kMaxAutoPlayTurns = 16;
}

void VanteoBlockMap::Update(float seconds)
{
    // NaN, negative or stalled frames must not run thousands of sub-steps.
    if (!(seconds > 0.0f))
        seconds = 0.0f;
    seconds = std::min(seconds, kMaxFrameSeconds);
    UpdateTimers(seconds);
    UpdateBlocks(seconds);
}

void VanteoBlockMap::UpdateTimers(float seconds)
{
    if (starTimer > 0)
        starTimer -= seconds;
    if (autoPlayTimer > 0)
        autoPlayTimer -= seconds;
    if (!quiet)
        Sparkle(seconds);
    const float before = playTime;
    if (!frozen)
        playTime += seconds;
    for (auto it = delayedSounds.begin(); it != delayedSounds.end();) {
        it->delay -= seconds;
        if (it->delay <= 0) {
            PlaySound(it->sound);
            it = delayedSounds.erase(it);
        } else {
            ++it;
        }
    }
    for (float mark : kTimeTable)
        if (mark < playTime && before <= mark) {
            Post(MSG_PLAY_TIME_STEP);
            break;
        }
    comboEffect.Update(seconds);
    breakEffect.Update(seconds);
    clearEffect2.Update(seconds);
    clearEffect.Update(seconds);
    UpdateComboDisplay(seconds);
}

void VanteoBlockMap::UpdateBlocks(float seconds)
{
    // Mode boards call this directly too: the same bound on the sub-steps holds here.
    if (!(seconds > 0.0f))
        seconds = 0.0f;
    seconds = std::min(seconds, kMaxFrameSeconds);
    while (seconds > kSubStep) {
        UpdateBlocks(kSubStep);
        seconds -= kSubStep;
    }
    if (!cells)
        return;
    if (comboPanel && windows.IsShown(BoardWindows::kDoubleChanceOn) &&
        windows.AnimationEnded(BoardWindows::kDoubleChanceOn)) {
        windows.HideAtOnce(BoardWindows::kDoubleChanceOn);
        windows.ShowWithFirstScene(BoardWindows::kDoubleChanceWhite);
    }
    const int count = CellCount();
    for (int i = 0; i < count; ++i)
        cells[i]->Update(seconds);
    if (turnTarget == turnAngle) {
        Step(seconds);
        return;
    }
    StartTurnStep(seconds);
    for (int i = 0; i < count; ++i)
        cells[i]->Update(seconds);
}

void VanteoBlockMap::StartTurnStep(float seconds)
{
    constexpr float kPi = 3.14159265358979f;
    const float f = 3.0f * std::sin(kPi * (0.01f + 0.98f * turnAngle / turnTarget));
    const float g = quiet ? 1.2f * f : f * SpeedFactor();
    const float rotateTime = std::max(tuning.rotateTime, 0.001f);
    const float step = seconds * kPi * 0.5f / rotateTime * g;
    if (turnAngle < turnTarget)
        turnAngle += step;
    else if (turnAngle > turnTarget)
        turnAngle -= step;
    const bool reached = turnTarget > 0 ? turnAngle >= turnTarget : turnAngle <= turnTarget;
    if (!reached)
        return;
    turnTarget = turnAngle = 0;
    ApplyRotation(turnDirection);
    Step(seconds);
    if (pendingTurn != 0)
        StartRotate(pendingTurn);
}

void VanteoBlockMap::Step(float seconds)
{
    if (UpdateClearQueue(seconds)) {
        if (RefillsWhileClearing())
            Refill();
        return;
    }
    if (Refill())
        return;
    if (IsBusy())
        return;
    if (ApplyGravity())
        return;
    if (pendingTurn != 0)
        StartRotate(pendingTurn);
    if (starBlasts > 0) {
        StarBlastStep();
        return;
    }
    FindGroups();
    AfterSettledSearch();
    settled = 1;
    if (layoutPending) {
        layoutPending = 0;
        PostLayout();
    }
}

float VanteoBlockMap::ClearTimerSpeed()
{
    return std::sqrt(static_cast<float>(combo - 1) / 3.0f + 1.0f) * tuning.modeFactor;
}

float VanteoBlockMap::SpeedFactor()
{
    if (noComboMode)
        return 1.0f;
    if (combo > 50)
        return 2.0f;
    return 100.0f / static_cast<float>(100 - combo);
}

float VanteoBlockMap::PlayTimeFactor()
{
    if (playTime > 420.0f)
        return 2.0f;
    if (playTime > 300.0f)
        return 1.5f;
    if (playTime > 180.0f)
        return 1.2f;
    return 1.0f;
}

void VanteoBlockMap::SetRefillSpeed(float speed)
{
    refillSpeed = RefillSpeedFor(speed);
}

void VanteoBlockMap::AddSquareClearEntries(VanteoBlock* block, int points)
{
    float px, py;
    block->GetPosition(&px, &py);
    clearEffect2.Add(noComboMode, 1, block->kind, bigClear, points, px, py);
    int second = -1;
    if (block->magicTurnShown)
        second = x2 == 2 ? 5 : 2;
    else if (block->clearBonusShown)
        second = x2 == 2 ? 6 : 3;
    else if (x2 == 2)
        second = 4;
    if (second >= 0)
        clearEffect2.Add(noComboMode, 1, block->kind, second, 0, px, py);
}

int VanteoBlockMap::UpdateClearQueue(float seconds)
{
    if (clearQueue.empty() && clearTimer < 0)
        return 0;
    const float speed = noComboMode ? 1.0f : ClearTimerSpeed();
    clearTimer -= speed * seconds;
    if (clearTimer > 0)
        return 1;
    bool square = false;
    while (!clearQueue.empty()) {
        const int entry = clearQueue.front();
        clearQueue.pop_front();
        if (clearQueue.empty())
            clearTimer = tuning.clearTimerLast;
        if (entry == -1)
            break;
        if (!cells || entry < 0 || entry >= CellCount())
            continue;
        VanteoBlock* b = cells[entry];
        if (b->corner) {
            AddSquareClearEntries(b, 0);
            square = true;
        } else if (!b->inSquare) {
            float px, py;
            b->GetPosition(&px, &py);
            const int style = b->value > 10 ? 8 : b->value >= 2 ? 7 : bigClear;
            clearEffect2.Add(noComboMode, 0, b->kind, style, 0, px, py);
        }
        EmptyCell(entry);
    }
    ++clearBatches;
    if (clearQueue.empty())
        return 1;
    if (square)
        PlaySound(kSoundAllClearTail);
    if (static_cast<float>(clearBatches) >=
        static_cast<float>(width) * tuning.clearMaxCountA + tuning.clearMaxCountB) {
        clearTimer += tuning.clearMaxCountSpeed;
        return 1;
    }
    const int markers = static_cast<int>(std::count(clearQueue.begin(), clearQueue.end(), -1));
    clearTimer = clearTimer + clearExtra - tuning.clearTimerAccel * static_cast<float>(markers) + tuning.clearTimer;
    clearTimer = std::min(std::max(clearTimer, tuning.clearTimerMin), tuning.clearTimerMax);
    return 1;
}

int VanteoBlockMap::ApplyGravity()
{
    if (!cells)
        return 0;
    if (refillPending) {
        std::vector<int> scheduled;
        const float speed = std::max(refillSpeed, 1.0f);
        for (int col = 0; col < width; ++col) {
            int longest = 0, run = 0;
            for (int row = height - 1; row >= 0; --row) {
                if (!cells[col + row * width]->present) {
                    ++run;
                } else {
                    longest = std::max(longest, run);
                    run = 0;
                }
            }
            if (longest > 0 && std::find(scheduled.begin(), scheduled.end(), longest) == scheduled.end()) {
                scheduled.push_back(longest);
                delayedSounds.push_back({static_cast<float>(kCellSize) / speed * static_cast<float>(longest),
                                         kSoundBlockDrop});
            }
        }
        refillPending = 0;
    }
    auto empty = [&](int c, int r) { return Inside(c, r) && !cells[c + r * width]->present; };
    auto index = [&](int c, int r) { return c + r * width; };
    bool moved = false;
    for (int col = 0; col < width; ++col) {
        for (int row = height - 2; row >= 0; --row) {
            VanteoBlock* b = cells[index(col, row)];
            if (b->inSquare)
                continue;
            if (b->corner == 0) {
                if (b->present && empty(col, row + 1) && b->kind != kBlockWall && !b->fixed && !b->point) {
                    MoveBlock(index(col, row + 1), index(col, row), refillSpeed);
                    moved = true;
                }
                continue;
            }
            // A square falls as a whole, the lower row first.
            int cells4[4][2];
            bool free = false;
            switch (b->corner) {
            case 1:
                free = empty(col, row + 2) && empty(col + 1, row + 2);
                cells4[0][0] = col, cells4[0][1] = row + 1, cells4[1][0] = col + 1, cells4[1][1] = row + 1;
                cells4[2][0] = col, cells4[2][1] = row, cells4[3][0] = col + 1, cells4[3][1] = row;
                break;
            case 2:
                free = empty(col, row + 2) && empty(col - 1, row + 2);
                cells4[0][0] = col, cells4[0][1] = row + 1, cells4[1][0] = col - 1, cells4[1][1] = row + 1;
                cells4[2][0] = col, cells4[2][1] = row, cells4[3][0] = col - 1, cells4[3][1] = row;
                break;
            case 3:
                free = empty(col, row + 1) && empty(col - 1, row + 1);
                cells4[0][0] = col, cells4[0][1] = row, cells4[1][0] = col - 1, cells4[1][1] = row;
                cells4[2][0] = col, cells4[2][1] = row - 1, cells4[3][0] = col - 1, cells4[3][1] = row - 1;
                break;
            default:
                free = empty(col, row + 1) && empty(col + 1, row + 1);
                cells4[0][0] = col, cells4[0][1] = row, cells4[1][0] = col + 1, cells4[1][1] = row;
                cells4[2][0] = col, cells4[2][1] = row - 1, cells4[3][0] = col + 1, cells4[3][1] = row - 1;
                break;
            }
            if (!free)
                continue;
            for (const auto& c : cells4)
                if (Inside(c[0], c[1]))
                    MoveBlock(index(c[0], c[1]), index(c[0], c[1] + 1), refillSpeed);
            moved = true;
        }
    }
    if (moved) {
        hoverCol = hoverRow = -1;
        MarkGroup(-1, -1);
    }
    return moved ? 1 : 0;
}

namespace {
struct BlockState {
    int present, kind, corner, inSquare, magicTurnShown, clearBonusShown, fixed, pin, point, value, wasMoving;
};

BlockState StateOf(const VanteoBlock& b)
{
    return {b.present, b.kind,    b.corner, b.inSquare, b.magicTurnShown, b.clearBonusShown,
            b.fixed,   b.pin,     b.point,  b.value,    b.wasMoving};
}

// The block takes the state of a present block at `from` and falls and slides to `to`.
void TakeState(VanteoBlock& b, const BlockState& s, bool wasEmpty, float fromX, float fromY, float toX, float toY,
               float speed)
{
    b.x = b.targetX = fromX;
    b.y = b.targetY = fromY;
    b.present = 1;
    b.kind = s.kind;
    b.FallTo(toY, speed);
    b.targetX = toX;
    b.speedX = speed;
    b.corner = s.corner;
    b.inSquare = s.inSquare;
    b.magicTurnShown = s.magicTurnShown;
    if (s.magicTurnShown)
        b.magicTurnOverlay.Play("NORMAL");
    b.clearBonusShown = s.clearBonusShown;
    if (s.clearBonusShown)
        b.clearBonusOverlay.Play("NORMAL");
    b.fixed = s.fixed;
    b.pin = s.pin;
    b.point = s.point;
    b.SetNumber(s.value);
    if (wasEmpty)
        b.wasMoving = s.wasMoving;
}

void EmptyAt(VanteoBlock& b, float x, float y)
{
    b.Empty();
    b.x = b.targetX = x;
    b.y = b.targetY = y;
}
}

void VanteoBlockMap::MoveBlock(int a, int b, float speed)
{
    if (!cells || a < 0 || b < 0 || a >= CellCount() || b >= CellCount() || a == b)
        return;
    VanteoBlock& ba = *cells[a];
    VanteoBlock& bb = *cells[b];
    if (!ba.present && !bb.present)
        return;
    if (speed < 0)
        speed = tuning.refillSpeed;
    const BlockState sa = StateOf(ba), sb = StateOf(bb);
    const float ax = static_cast<float>((a % width) * kCellSize), ay = static_cast<float>((a / width) * kCellSize);
    const float bx = static_cast<float>((b % width) * kCellSize), by = static_cast<float>((b / width) * kCellSize);
    if (sa.present)
        TakeState(bb, sa, !sb.present, ax, ay, bx, by, speed);
    else
        EmptyAt(bb, bx, by);
    if (sb.present)
        TakeState(ba, sb, !sa.present, bx, by, ax, ay, speed);
    else
        EmptyAt(ba, ax, ay);
}

int VanteoBlockMap::Refill()
{
    if (starTimer > 0)
        return 1;
    if (!cells)
        return 0;
    bool filled = false;
    for (int col = 0; col < width; ++col) {
        VanteoBlock* b = cells[col];
        if (b->present)
            continue;
        b->x = b->targetX = static_cast<float>(col * kCellSize);
        b->y = b->targetY = -static_cast<float>(kCellSize);
        b->FallTo(0.0f, refillSpeed);
        b->kind = incoming[col]->kind;
        b->inSquare = b->corner = b->clearBonusShown = b->magicTurnShown = 0;
        b->pin = b->fixed = b->point = 0;
        b->value = 1;
        b->present = 1;
        filled = true;
    }
    if (!filled)
        return 0;
    FillIncomingRow();
    return 1;
}

void VanteoBlockMap::FillIncomingRow()
{
    if (!incoming)
        return;
    for (int col = 0; col < width; ++col)
        incoming[col]->kind = NewBlockKind();
}

void VanteoBlockMap::StarBlastStep()
{
    ClearAllBlocks();
    starBlasts -= 1;
    starTimer = 0.5f;
    PlaySound(starBlasts == 0 ? kSoundBigStarLast : kSoundBigStar);
    Post(MSG_BIG_STAR, PayloadWriter().I32(width / 2).I32(width / 2));
    layoutPending = 1;
    refillSpeed = RefillSpeedFor(tuning.refillSpeed);
}

void VanteoBlockMap::ClearAllBlocks()
{
    if (!cells)
        return;
    for (int i = 0; i < CellCount(); ++i) {
        VanteoBlock* b = cells[i];
        if (!b->present)
            continue;
        float px, py;
        b->GetPosition(&px, &py);
        if (b->kind == kBlockStar)
            clearEffect2.Add(noComboMode, 0, b->kind, 0, 0, px, py);
        else if (b->corner)
            clearEffect2.Add(noComboMode, 1, b->kind, 1, 0, px, py);
        else if (!b->inSquare)
            clearEffect2.Add(noComboMode, 0, b->kind, 1, 0, px, py);
        EmptyCell(i);
    }
}

void VanteoBlockMap::Sparkle(float seconds)
{
    idleTime += seconds;
    if (idleTime <= 5.0f || !cells)
        return;
    const float t = idleTime - 5.0f;
    const float t0 = t - seconds;
    for (int d = 0; d <= 2 * width - 2; ++d) {
        const float moment = static_cast<float>(d + 1) * 0.05f;
        if (!(t0 < moment && moment <= t))
            continue;
        for (int col = std::min(d, width - 1); col >= 0; --col) {
            const int row = d - col;
            if (row >= height)
                break;
            if (row >= 0)
                cells[col + row * width]->Flash();
        }
        break;
    }
    if (t > static_cast<float>(2 * width - 1) * 0.05f)
        idleTime = 0;
}

int VanteoBlockMap::AutoPlayStep()
{
    if (!cells || IsBusy() || quiet || turnAngle != 0 || autoPlayTimer > 0)
        return 0;
    for (int col = 0; col < width; ++col)
        if (!cells[col]->present)
            return 0;
    const int count = CellCount();
    for (int i = 0; i < count; ++i) {
        const VanteoBlock* b = cells[i];
        if (b->present && b->kind == kBlockStar && b->corner == 0 && !b->inSquare && !b->fixed && !b->point) {
            TurnStar(i);
            autoPlayTimer = 0.3f;
            m_autoPlayTurns = 0;
            return 0;
        }
    }
    // The first colour group: only colour groups score into the three bullet stacks.
    for (int cell : groups) {
        if (cell < 0 || !IsColourKind(cells[cell]->kind))
            continue;
        ClearGroup(cell % width, cell / width);
        autoPlayTimer = 0.3f;
        m_autoPlayTurns = 0;
        return 0;
    }
    for (int i = 0; i < count; ++i)
        if (!cells[i]->present) {
            if (m_autoPlayTurns >= kMaxAutoPlayTurns)
                break;
            ++m_autoPlayTurns;
            StartRotate(Random().Next() % 2 == 0 ? -1 : 1);
            return 0;
        }
    for (int i = 0; i < count; ++i)
        if (cells[i]->present && cells[i]->pin) {
            ClickSingle(i % width, i / width);
            autoPlayTimer = 0.3f;
            m_autoPlayTurns = 0;
            return 0;
        }
    for (int i = 0; i < count; ++i)
        if (cells[i]->present && cells[i]->kind == kBlockStar && cells[i]->corner) {
            ClickStarSquare(i % width, i / width);
            autoPlayTimer = 0.3f;
            m_autoPlayTurns = 0;
            return 0;
        }
    return 1;
}
