// What the pointer does on the board: clicks by kind, single blocks, group clears with their
// score, bullets and combo, the combo panel, and hovering, stars and stones.
#include "board/VanteoBlockMap.h"

#include "data/GameDataXml.h"

#include "kv/KVWnd.h"

#include <helvane/Log.h>
#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <deque>

namespace {
using gamedata::SaturatingAdd;

// trunc((m K + loose) (m + M) B) in float, as the score is defined.
int BaseScore(int squares, int loose, const BoardTuning& t, float bonus)
{
    const float m = static_cast<float>(squares);
    const float v = (m * t.bigBlockK + static_cast<float>(loose)) * (m + t.bigBlockM) * bonus;
    if (!(v < 2.0e9f))
        return v > 0 ? INT_MAX : 0;
    return static_cast<int>(std::trunc(v));
}
}

void VanteoBlockMap::Click(float px, float py)
{
    if (!cells || IsBusy() || quiet || turnAngle != 0)
        return;
    int col, row;
    if (!CellFromPoint(px, py, &col, &row))
        return;
    const int index = col + row * width;
    VanteoBlock* b = cells[index];
    if (!b->present) {
        PostBlockClicked(col, row, b->kind, 0, 0, 0, 0);
        return;
    }
    hoverCol = hoverRow = -1;
    switch (b->kind) {
    case 1:
    case 2:
    case 3:
        if (b->corner || b->inSquare) {
            ClearGroup(col, row);
            chainPending = 1;
            layoutPending = 1;
        } else {
            ClickSingle(col, row);
        }
        break;
    case kBlockStar:
        if (b->corner || b->inSquare)
            ClickStarSquare(col, row);
        else
            TurnStar(index);
        layoutPending = 1;
        break;
    case kBlockStone:
        if (b->corner || b->inSquare) {
            int ac, ar;
            FindSquareAnchor(col, row, &ac, &ar);
            ClickStoneSquare(ac, ar);
            chainPending = 1;
            layoutPending = 1;
            PlaySound(kSoundBigStone);
        } else {
            PostBlockClicked(col, row, b->kind, 1, b->pin, b->fixed, b->point);
        }
        break;
    default:
        PostBlockClicked(col, row, b->kind, 1, b->pin, b->fixed, b->point);
        layoutPending = 1;
        break;
    }
    idleTime = 0;
}

void VanteoBlockMap::ClickSingle(int col, int row)
{
    VanteoBlock* b = CellAt(col, row);
    if (!b || !b->present)
        return;
    const int kind = b->kind, pin = b->pin, fixedFlag = b->fixed, pointFlag = b->point;
    if (!fixedFlag && !pointFlag)
        RemoveClickedBlock(col, row);
    PostBlockClicked(col, row, kind, 1, pin, fixedFlag, pointFlag);
    layoutPending = 1;
    refillPending = 1;
    if (!pin && !fixedFlag) {
        if (x2 == 2)
            PlaySound(kSoundClickLoss);
        AfterSingleClick(col, row);
    }
}

void VanteoBlockMap::CloseDoubleChanceAfterMiss()
{
    if (windows.Has(BoardWindows::kDoubleChanceWhite) &&
        (windows.IsShown(BoardWindows::kDoubleChanceWhite) || windows.IsShown(BoardWindows::kDoubleChanceOn)))
        windows.ShowWithFirstScene(BoardWindows::kDoubleChanceFail);
    windows.StopAndHide(BoardWindows::kDoubleChanceOn);
    windows.StopAndHide(BoardWindows::kDoubleChanceWhite);
}

void VanteoBlockMap::RemoveClickedBlock(int col, int row)
{
    VanteoBlock* b = cells[col + row * width];
    const int kind = b->kind;
    const bool pin = b->pin;
    RecordBulletGains();
    EmptyCell(col + row * width);
    SetRefillSpeed(tuning.refillSpeed);
    if (!pin)
        PlaySound(kSoundClick);
    float px, py;
    b->GetPosition(&px, &py);
    clearEffect.Add(0, kind, px, py);
}

void VanteoBlockMap::AfterSingleClick(int col, int row)
{
    if (combo > 1)
        PayloadWriter().I32(0).PostTo(Messages(), MSG_COMBO_BREAK);
    if (noComboMode && combo > 1) {
        if (const VanteoBlock* b = CellAt(col, row)) {
            float px, py;
            b->GetPosition(&px, &py);
            breakEffect.Add(-1, px + originX, py + originY);
        }
    }
    if (windows.IsShown(BoardWindows::kDoubleChanceWhite) || windows.IsShown(BoardWindows::kDoubleChanceOn))
        windows.ShowWithFirstScene(BoardWindows::kDoubleChanceFail);
    windows.StopAndHide(BoardWindows::kDoubleChanceOn);
    windows.StopAndHide(BoardWindows::kDoubleChanceWhite);
    combo = 1;
}

int VanteoBlockMap::MarkGroup(int col, int row)
{
    if (groups.empty() || !cells)
        return 0;
    squareCount = restCount = pointSum = 0;
    const int target = Inside(col, row) ? col + row * width : -1;
    for (int cell : groups)
        if (cell >= 0)
            cells[cell]->PlayLeave();
    magicFactor = 1;
    chainBonus = 0;
    const std::vector<int> group = GroupOf(target);
    int squares = 0, magic = 0, chain = 0;
    for (int cell : group) {
        VanteoBlock* b = cells[cell];
        b->PlayEnter();
        // Point values come from the mode's table: their sum saturates rather than wraps.
        if (b->point)
            pointSum = SaturatingAdd(pointSum, b->value);
        if (b->corner) {
            ++squares;
            if (b->magicTurnShown)
                ++magic;
            if (b->clearBonusShown)
                ++chain;
        }
    }
    squareCount = squares;
    restCount = static_cast<int>(group.size()) - 3 * squares;
    magicFactor = 1 + magic;
    chainBonus = 10 * chain;
    return chainBonus;
}

std::vector<int> VanteoBlockMap::MarkedGroup(int col, int row, int* colour)
{
    if (groups.empty() || !cells || !Inside(col, row))
        return {};
    MarkGroup(col, row);
    std::vector<int> group = GroupOf(col + row * width);
    if (group.empty())
        return {};
    *colour = cells[group.front()]->kind - 1;
    if (*colour < 0 || *colour > 2) {
        DFLog(LOG_WARN, L"VanteoBlockMap: a group of kind %d has no bullet stack and is not cleared", *colour + 1);
        return {};
    }
    return group;
}

void VanteoBlockMap::ClearGroup(int col, int row)
{
    int c = 0;
    const std::vector<int> group = MarkedGroup(col, row, &c);
    if (group.empty())
        return;
    const int n = static_cast<int>(group.size());
    int fixedCount = 0;
    for (int cell : group)
        fixedCount += cells[cell]->fixed ? 1 : 0;
    int ac, ar;
    FindSquareAnchor(col, row, &ac, &ar);
    const int m = squareCount, h = restCount;
    const int base = GroupBaseScore();
    const int multiplier = magicFactor * x2;
    long long wide = (static_cast<long long>(chainBonus) + base) * multiplier;
    int points = static_cast<int>(std::clamp<long long>(wide, 0, INT_MAX));
    if (pointsCap > 0 && points >= pointsCap)
        points = pointsCap;
    if (multiplier > 1) {
        Messages().Post(MSG_DOUBLE_CHANCE, nullptr, 0);
        PlaySound(kSoundDouble);
        if (x2 == 2)
            windows.ShowWithFirstScene(BoardWindows::kDoubleChanceSuccess);
    }
    bigClear = points >= 100 ? 1 : 0;
    AddBullets(c, points, [&] { ClearGroupBlocks(col, row, points); });
    Post(MSG_GROUP_CLEARED, PayloadWriter().I32(1).I32(c).I32(points).I32(3 * m + h).I32(0).I32(fixedCount).I32(ac).I32(ar));
    RecordBulletGains();
    OnCombo();
    refillSpeed = RefillSpeedFor(10.0f * static_cast<float>(n) + tuning.refillSpeed + 40.0f * static_cast<float>(combo));
    refillPending = 1;
}

namespace {
void SquareTopLeft(int corner, int ac, int ar, int* tx, int* ty)
{
    switch (corner) {
    case 2:
        *tx = ac - 1, *ty = ar;
        break;
    case 3:
        *tx = ac - 1, *ty = ar - 1;
        break;
    case 4:
        *tx = ac, *ty = ar - 1;
        break;
    default:
        *tx = ac, *ty = ar;
        break;
    }
}
}

int VanteoBlockMap::GroupBaseScore() const
{
    return BaseScore(squareCount, restCount - squareCount, tuning, tuning.ComboBonus(combo));
}

void VanteoBlockMap::AddBullets(int c, int points, const std::function<void()>& clearBlocks)
{
    bullets[c] = SaturatingAdd(bullets[c], points);
    bulletTotals[c] = SaturatingAdd(bulletTotals[c], points);
    clearBlocks();
    if (bullets[c] > kMaxBullets) {
        const int excess = bullets[c] - kMaxBullets;
        Post(MSG_BULLET_OVERFLOW, PayloadWriter().I32(c).I32(excess));
        if (c == 0)
            RecordFire0(excess);
        else if (c == 1)
            RecordFire1(excess);
        else
            RecordFire2(excess);
        bulletTotals[c] -= excess;
        bullets[c] = kMaxBullets;
    }
}

void VanteoBlockMap::RemoveGroup(int index)
{
    for (auto it = groups.begin(); it != groups.end();) {
        auto end = std::find(it, groups.end(), -1);
        const bool holds = std::find(it, end, index) != end;
        if (end != groups.end())
            ++end;
        if (holds) {
            groups.erase(it, end);
            return;
        }
        it = end;
    }
}

void VanteoBlockMap::ClearGroupBlocks(int col, int row, int points)
{
    if (!cells || !Inside(col, row))
        return;
    int ac, ar;
    FindSquareAnchor(col, row, &ac, &ar);
    std::fill(visited, visited + CellCount(), 0);
    clearTimer = tuning.clearTimer;
    clearBatches = 0;
    clearExtra = 0;
    VanteoBlock* anchor = cells[ac + ar * width];
    int tx, ty;
    SquareTopLeft(anchor->corner, ac, ar, &tx, &ty);
    const int kind = anchor->kind;
    RemoveGroup(col + row * width);
    AddSquareClearEntries(anchor, points);
    EmptyCell(ac + ar * width);
    std::deque<int> wave;
    const int square[4][2] = {{tx, ty}, {tx + 1, ty}, {tx, ty + 1}, {tx + 1, ty + 1}};
    for (const auto& s : square) {
        if (!Inside(s[0], s[1]))
            continue;
        const int cell = s[0] + s[1] * width;
        visited[cell] = 1;
        wave.push_back(cell);
        if (cell != ac + ar * width)
            clearQueue.push_back(cell);
    }
    wave.push_back(-1);
    while (!wave.empty()) {
        const int cell = wave.front();
        wave.pop_front();
        if (cell == -1) {
            if (wave.empty())
                break;
            clearQueue.push_back(-1);
            wave.push_back(-1);
            clearExtra += tuning.clearTimerAccel;
            continue;
        }
        static constexpr int kDirs[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& d : kDirs) {
            const int c = cell % width + d[0], r = cell / width + d[1];
            if (!Inside(c, r))
                continue;
            const int n = c + r * width;
            if (visited[n])
                continue;
            visited[n] = 1;
            const VanteoBlock* b = cells[n];
            if (b->present && !b->pin && b->kind == kind) {
                wave.push_back(n);
                clearQueue.push_back(n);
            }
        }
    }
    if (clearQueue.empty())
        clearTimer = tuning.clearTimerLast;
}

void VanteoBlockMap::QueueGroupClear(int col, int row, int points)
{
    if (!cells || !Inside(col, row))
        return;
    int ac, ar;
    FindSquareAnchor(col, row, &ac, &ar);
    clearTimer = tuning.clearTimer;
    clearBatches = 0;
    clearExtra = 0;
    VanteoBlock* anchor = cells[ac + ar * width];
    int tx, ty;
    SquareTopLeft(anchor->corner, ac, ar, &tx, &ty);
    const std::vector<int> group = GroupOf(col + row * width);
    RemoveGroup(col + row * width);
    AddSquareClearEntries(anchor, points);
    EmptyCell(ac + ar * width);
    std::vector<uint8_t> pending(CellCount(), 0);
    int left = 0;
    for (int cell : group) {
        if (cell == ac + ar * width)
            continue;
        if (cells[cell]->inSquare) {
            EmptyCell(cell);
            continue;
        }
        pending[cell] = 1;
        ++left;
    }
    for (int i = 1; left > 0 && i < width; ++i) {
        auto take = [&](int c, int r) {
            if (!Inside(c, r) || !pending[c + r * width])
                return;
            pending[c + r * width] = 0;
            clearQueue.push_back(c + r * width);
            --left;
        };
        for (int c = tx - i; c <= tx + 1 + i; ++c) {
            take(c, ty - i);
            take(c, ty + 1 + i);
        }
        for (int r = ty - i + 1; r <= ty + i; ++r) {
            take(tx - i, r);
            take(tx + 1 + i, r);
        }
        clearQueue.push_back(-1);
        clearExtra += tuning.clearTimerAccel;
    }
    if (clearQueue.empty())
        clearTimer = tuning.clearTimerLast;
}

void VanteoBlockMap::OnCombo()
{
    if (combo > 1 && !noComboMode)
        comboEffect.Add(combo, originX + 22.0f * static_cast<float>(width), originY + 22.0f * static_cast<float>(height));
    Post(MSG_COMBO, PayloadWriter().I32(combo));
    if (combo % 10 == 0) {
        if (!noComboMode) {
            PlaySound(kSoundDoubleChance);
            ShowDoubleChancePicture();
        } else {
            PlaySound(kSoundAllClear);
        }
    } else if (magicFactor * x2 == 1 && (!noComboMode || combo > 1)) {
        PlaySound(kSoundAllClear);
    }
    ShowPlusCombo();
    combo += 1;
}

void VanteoBlockMap::ShowDoubleChancePicture()
{
    windows.ShowWithFirstScene(BoardWindows::kDoubleChanceOn);
}

void VanteoBlockMap::ShowPlusCombo()
{
    if (!comboPanel)
        return;
    for (auto id : {BoardWindows::kPlusCombo1, BoardWindows::kPlusCombo2, BoardWindows::kPlusCombo3}) {
        if (!windows.Has(id))
            continue;
        if (windows.IsVisible(id)) {
            if (windows.AnimationEnded(id))
                windows.RestartFirstScene(id);
            continue;
        }
        windows.ShowWithFirstScene(id);
        break;
    }
    if (combo % 10 != 0) {
        windows.StopAndHide(BoardWindows::kDoubleChanceOn);
        windows.StopAndHide(BoardWindows::kDoubleChanceWhite);
    }
}

void VanteoBlockMap::UpdateX2(float)
{
    if (noComboMode || quiet)
        return;
    x2 = combo > 10 && (combo - 1) % 10 == 0 ? 2 : 1;
}

void VanteoBlockMap::UpdateComboDisplay(float seconds)
{
    UpdateX2(seconds);
    if (!comboPanel)
        return;
    if (noComboMode) {
        if (comboPanel->IsVisible())
            windows.HideAtOnce(BoardWindows::kComboPanel);
        return;
    }
    const bool hasDigits = windows.Has(BoardWindows::kNumCombo);
    if (combo < 3) {
        if (windows.IsShown(BoardWindows::kComboPanel)) {
            comboPanel->SetVisible(false);
            if (hasDigits) {
                comboDigits.m_bVisible = 0;
                comboDigits.Update(seconds);
            }
            bonusDigits[0].m_bVisible = bonusDigits[1].m_bVisible = false;
        }
        return;
    }
    if (!windows.IsShown(BoardWindows::kComboPanel))
        windows.ShowWithFirstScene(BoardWindows::kComboPanel);
    if (hasDigits) {
        comboDigits.SetValue(std::min(combo - 1, 999));
        comboDigits.Update(seconds);
        comboDigits.m_bVisible = 1;
    }
    const int v = static_cast<int>(tuning.ComboBonus(combo) * 10.0f);
    char name[16];
    std::snprintf(name, sizeof name, "%d", (v % 100) / 10);
    bonusDigits[0].Play(name);
    bonusDigits[0].m_bVisible = v >= 10;
    std::snprintf(name, sizeof name, "%d", v % 10);
    bonusDigits[1].Play(name);
    bonusDigits[1].m_bVisible = v >= 1;
    bonusDigits[0].Update(seconds);
    bonusDigits[1].Update(seconds);
}

bool VanteoBlockMap::SaveRecording()
{
    if (!replay)
        return false;
    TiXmlDocument doc;
    doc.InsertEndChild(*replay);
    replay.reset();
    return gamedata::SaveXmlFile("data/PlayData/BattleYour.gst", doc);
}

void VanteoBlockMap::AddRep(const char* attribute, int value)
{
    if (!replay)
        return;
    auto* rep = new TiXmlElement("Rep");
    char time[64];
    std::snprintf(time, sizeof time, "%f", static_cast<double>(playTime));
    rep->SetAttribute("T", time);
    rep->SetAttribute(attribute, value);
    replay->LinkEndChild(rep);
}

void VanteoBlockMap::RecordBulletGains()
{
    for (int i = 0; i < 3; ++i) {
        if (bulletTotals[i] == reportedTotals[i])
            continue;
        const int difference = bulletTotals[i] - reportedTotals[i];
        char name[16];
        std::snprintf(name, sizeof name, "B%d", i);
        AddRep(name, difference);
        Post(MSG_BULLET_GAIN, PayloadWriter().I32(i).I32(difference));
        reportedTotals[i] = bulletTotals[i];
    }
}

void VanteoBlockMap::RecordFire0(int power) { AddRep("A0", power); }
void VanteoBlockMap::RecordFire1(int power) { AddRep("A1", power); }
void VanteoBlockMap::RecordFire2(int power) { AddRep("A2", power); }
void VanteoBlockMap::RecordFireSpecial(int power) { AddRep("A3", power); }
void VanteoBlockMap::RecordMarker() { AddRep("S0", 0); }

// ---- Hover, stars and stones ------------------------------------------------------------------

void VanteoBlockMap::Hover(float px, float py)
{
    if (quiet || !cells)
        return;
    int col, row;
    const bool inside = CellFromPoint(px, py, &col, &row);
    if (col == hoverCol && row == hoverRow)
        return;
    const bool oldValid = Inside(hoverCol, hoverRow);
    if (IsBusy() || turnAngle != 0 || !inside) {
        if (oldValid)
            cells[hoverCol + hoverRow * width]->PlayLeave();
        MarkGroup(-1, -1);
        hoverCol = hoverRow = -1;
        return;
    }
    if (oldValid) {
        int nc, nr, oc, orow;
        FindSquareAnchor(col, row, &nc, &nr);
        FindSquareAnchor(hoverCol, hoverRow, &oc, &orow);
        if (nc == oc && nr == orow) {
            hoverCol = col;
            hoverRow = row;
            return;
        }
    }
    for (int i = 0; i < CellCount(); ++i) {
        cells[i]->SetStarHover(0);
        cells[i]->PlayLeave();
    }
    squareCount = restCount = 0;
    VanteoBlock* b = cells[col + row * width];
    if (b->present) {
        if (IsColourKind(b->kind)) {
            pointSum = 0;
            if (b->corner || b->inSquare)
                MarkGroup(col, row);
            else if (b->pin)
                HighlightKind(col, row);
            else if (!b->fixed && !b->point)
                HoverSingle(col, row);
        } else if (b->kind == kBlockStar) {
            HoverStar(col, row);
        } else if (b->kind == kBlockStone) {
            HoverStone(col, row);
        }
    }
    hoverCol = col;
    hoverRow = row;
}

void VanteoBlockMap::HoverSingle(int col, int row)
{
    if (VanteoBlock* b = CellAt(col, row))
        b->PlayEnter();
}

void VanteoBlockMap::HoverStar(int col, int row)
{
    int ac, ar;
    FindSquareAnchor(col, row, &ac, &ar);
    VanteoBlock* a = CellAt(ac, ar);
    if (!a)
        return;
    if (a->corner == 0 && !a->inSquare) {
        int colour = 1;
        ChooseStarColour(col + row * width, &colour);
        a->SetStarHover(colour);
    }
    a->PlayEnter();
}

void VanteoBlockMap::HoverStone(int col, int row)
{
    int ac, ar;
    FindSquareAnchor(col, row, &ac, &ar);
    VanteoBlock* a = CellAt(ac, ar);
    if (!a || a->corner == 0)
        return;
    a->PlayEnter();
    for (int i = 0; i < CellCount(); ++i) {
        VanteoBlock* b = cells[i];
        if (b->present && b->corner == 0 && !b->inSquare && b->kind == kBlockStone)
            b->PlayEnter();
    }
}

void VanteoBlockMap::HighlightKind(int col, int row)
{
    const VanteoBlock* target = CellAt(col, row);
    if (!target)
        return;
    for (int i = 0; i < CellCount(); ++i)
        cells[i]->PlayLeave();
    for (int i = 0; i < CellCount(); ++i)
        if (cells[i]->present && cells[i]->kind == target->kind)
            cells[i]->PlayEnter();
}

int VanteoBlockMap::GroupScore(int col, int row, int* points)
{
    *points = 0;
    if (groups.empty() || !Inside(col, row))
        return 0;
    const std::vector<int> group = GroupOf(col + row * width);
    if (group.empty())
        return 0;
    int n = static_cast<int>(group.size()), m = 0, g = 0, k = 0;
    for (int cell : group) {
        const VanteoBlock* b = cells[cell];
        if (b->corner) {
            ++m;
            g += b->magicTurnShown ? 1 : 0;
            k += b->clearBonusShown ? 1 : 0;
        }
    }
    const int factor = g >= 6 ? 64 : 1 << g;
    const int base = BaseScore(m, n - 3 * m - m, tuning, tuning.ComboBonus(combo));
    const long long wide = static_cast<long long>(factor) * (10LL * k + base);
    *points = static_cast<int>(std::clamp<long long>(wide, 0, INT_MAX));
    return *points;
}

int VanteoBlockMap::ChooseStarColour(int index, int* colour)
{
    *colour = 1;
    if (!cells || index < 0 || index >= CellCount())
        return 0;
    const int sc = index % width, sr = index / width;
    const int candidates[4][3][2] = {
        {{sc, sr - 1}, {sc - 1, sr - 1}, {sc - 1, sr}},
        {{sc, sr - 1}, {sc + 1, sr - 1}, {sc + 1, sr}},
        {{sc - 1, sr}, {sc, sr + 1}, {sc - 1, sr + 1}},
        {{sc + 1, sr}, {sc, sr + 1}, {sc + 1, sr + 1}},
    };
    int best = -1, bestStars = 99, bestColour = 0;
    for (int c = 0; c < 4; ++c) {
        int kinds[3];
        bool usable = true;
        for (int i = 0; i < 3 && usable; ++i) {
            const VanteoBlock* b = CellAt(candidates[c][i][0], candidates[c][i][1]);
            usable = b && b->present && b->corner == 0 && !b->inSquare && !b->fixed && !b->pin && !b->point &&
                     b->kind != kBlockStone && b->kind != kBlockBuffer && b->kind != kBlockWall && b->kind != 0;
            if (usable)
                kinds[i] = b->kind;
        }
        if (!usable)
            continue;
        const int a = kinds[0], b = kinds[1], d = kinds[2];
        int found = 0;
        if (a != kBlockStar) {
            if ((b == a || b == kBlockStar) && (d == a || d == kBlockStar) && a < 4)
                found = a;
        } else if (b != kBlockStar) {
            if (d == b || d == kBlockStar)
                found = b;
        } else if (d != kBlockStar) {
            found = d;
        }
        if (!found)
            continue;
        const int stars = (a == kBlockStar) + (b == kBlockStar) + (d == kBlockStar);
        if (stars < bestStars) {
            best = c;
            bestStars = stars;
            bestColour = found;
        }
    }
    if (best >= 0) {
        *colour = bestColour;
        return 1;
    }
    int adjacent[4] = {}, scoring[4] = {};
    long long sums[4] = {};
    static constexpr int kDirs[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& dir : kDirs) {
        const int c = sc + dir[0], r = sr + dir[1];
        const VanteoBlock* b = CellAt(c, r);
        if (!b || !b->present || !IsColourKind(b->kind))
            continue;
        int score = 0;
        GroupScore(c, r, &score);
        if (b->pin)
            continue;
        ++adjacent[b->kind];
        if (score > 0) {
            ++scoring[b->kind];
            sums[b->kind] += score;
        }
    }
    auto better = [&](int x, int y) {
        if (scoring[x] != scoring[y])
            return scoring[x] > scoring[y] ? x : y;
        if (adjacent[x] != adjacent[y])
            return adjacent[x] > adjacent[y] ? x : y;
        if (sums[x] != sums[y])
            return sums[x] > sums[y] ? x : y;
        return x;
    };
    *colour = better(better(1, 2), 3);
    return 0;
}

void VanteoBlockMap::TurnStar(int index)
{
    if (!cells || index < 0 || index >= CellCount())
        return;
    int colour = 1;
    ChooseStarColour(index, &colour);
    VanteoBlock* b = cells[index];
    float px, py;
    b->GetPosition(&px, &py);
    clearEffect.Add(0, kBlockStar, px, py);
    b->kind = colour;
    PlaySound(kSoundClickStar);
    PostBlockClicked(index % width, index / width, kBlockStar, 1, 0, 0, 0);
}

void VanteoBlockMap::ClickStarSquare(int col, int row)
{
    if (!cells || !Inside(col, row))
        return;
    starBlasts = 0;
    for (int i = 0; i < CellCount(); ++i) {
        const VanteoBlock* b = cells[i];
        if (b->present && b->kind == kBlockStar && b->corner)
            starBlasts += b->magicTurnShown ? 2 : 1;
    }
    int ac, ar;
    FindSquareAnchor(col, row, &ac, &ar);
    VanteoBlock* a = cells[ac + ar * width];
    float px, py;
    a->GetPosition(&px, &py);
    clearEffect2.Add(noComboMode, 1, kBlockStar, 0, noComboMode ? 0 : starBlasts * 100, px, py);
    EmptyCell(ac + ar * width);
    ClearAllBlocks();
    starBlasts -= 1;
    starTimer = 0.5f;
    PlaySound(starBlasts == 0 ? kSoundBigStarLast : kSoundBigStar);
    Post(MSG_BIG_STAR, PayloadWriter().I32(col).I32(row));
    refillSpeed = RefillSpeedFor(tuning.refillSpeed);
}

namespace {
// Visits the ring at Chebyshev distance i around (cx, cy) in the board's walking order.
template <typename Visit>
void WalkRing(int cx, int cy, int i, Visit visit)
{
    for (int s = 0; s < 2 * i; ++s) {
        visit(cx + i, cy - i + s);
        visit(cx - i, cy - i + 1 + s);
        visit(cx - i + 1 + s, cy + i);
        visit(cx - i + s, cy - i);
    }
}
}

int VanteoBlockMap::QueueStoneBlast(int col, int row)
{
    const VanteoBlock* anchor = CellAt(col, row);
    if (!anchor)
        return 0;
    int tx, ty;
    SquareTopLeft(anchor->corner, col, row, &tx, &ty);
    clearBatches = 0;
    clearExtra = 0;
    clearTimer = tuning.clearTimer;
    int queued = 0;
    for (int i = 1; i < width; ++i) {
        int added = 0;
        WalkRing(tx, ty, i, [&](int c, int r) {
            const VanteoBlock* b = CellAt(c, r);
            if (b && b->present && b->kind == kBlockStone && b->corner == 0 && !b->inSquare) {
                clearQueue.push_back(c + r * width);
                ++added;
            }
        });
        if (added)
            clearExtra += tuning.clearTimerAccel;
        queued += added;
    }
    if (clearQueue.empty())
        clearTimer = tuning.clearTimerLast;
    return queued;
}

void VanteoBlockMap::ClickStoneSquare(int col, int row)
{
    VanteoBlock* a = CellAt(col, row);
    if (!a)
        return;
    int n = QueueStoneBlast(col, row);
    if (a->corner) {
        float px, py;
        a->GetPosition(&px, &py);
        clearEffect2.Add(noComboMode, 1, kBlockStone, bigClear, 0, px, py);
        if (a->magicTurnShown) {
            // A magic-turn stone square loses its mark first and needs a second click.
            a->magicTurnShown = 0;
        } else {
            const int i = col + row * width;
            int others[3];
            switch (a->corner) {
            case 1:
                others[0] = i + 1, others[1] = i + width + 1, others[2] = i + width;
                break;
            case 2:
                others[0] = i - 1, others[1] = i + width - 1, others[2] = i + width;
                break;
            case 3:
                others[0] = i - 1, others[1] = i - width - 1, others[2] = i - width;
                break;
            default:
                others[0] = i + 1, others[1] = i - width + 1, others[2] = i - width;
                break;
            }
            EmptyCell(i);
            for (int o : others)
                if (o >= 0 && o < CellCount())
                    EmptyCell(o);
            n += 4;
        }
    }
    Post(MSG_BIG_STONE);
    AddRep("A4", 0);
    clearTimer = tuning.clearTimer;
    clearBatches = 0;
    refillSpeed = RefillSpeedFor(10.0f * static_cast<float>(n) + tuning.refillSpeed);
}

int VanteoBlockMap::ClearSameKindNear(int col, int row, int)
{
    const VanteoBlock* centre = CellAt(col, row);
    if (!centre)
        return 0;
    const int kind = centre->kind;
    clearExtra = 0;
    clearTimer = tuning.clearTimer;
    int queued = 0;
    for (int i = 1; i < width; ++i) {
        int added = 0;
        WalkRing(col, row, i, [&](int c, int r) {
            // Emptied cells keep their old kind: only blocks that are there are cleared.
            const VanteoBlock* b = CellAt(c, r);
            if (b && b->present && b->kind == kind && !b->pin) {
                clearQueue.push_back(c + r * width);
                ++added;
            }
        });
        if (added) {
            clearQueue.push_back(-1);
            clearExtra += tuning.clearTimerAccel;
        }
        queued += added;
    }
    if (clearQueue.empty())
        clearTimer = tuning.clearTimerLast;
    else
        bigClear = 9;
    return queued;
}

int VanteoBlockMap::ClearKind(int kind)
{
    if (!cells)
        return 0;
    int count = 0;
    for (int i = 0; i < CellCount(); ++i) {
        VanteoBlock* b = cells[i];
        if (!b->present || b->kind != kind)
            continue;
        float px, py;
        b->GetPosition(&px, &py);
        clearEffect2.Add(noComboMode, 0, b->kind, 9, 0, px, py);
        EmptyCell(i);
        ++count;
    }
    return count;
}
