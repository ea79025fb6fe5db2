#include "modes/VanteoBlockMap_Point.h"

#include "data/ModeConfig.h"
#include "modes/VanteoBlockMap_Challenge.h"

#include <algorithm>
#include <climits>
#include <cmath>

VanteoBlockMap_Point::~VanteoBlockMap_Point() { DestroyBlocks(); }

void VanteoBlockMap_Point::ClearCounters()
{
    pointsPlaced = 0;
    pinFlag = 1;
    pointStreak = 0;
}

void VanteoBlockMap_Point::Reset()
{
    VanteoBlockMap::Reset();
    ClearCounters();
}

int VanteoBlockMap_Point::Init(kv::KVWnd* layoutWindow, int w, int h)
{
    int result = VanteoBlockMap::Init(layoutWindow, w, h);
    ClearCounters();
    std::fill(std::begin(levels), std::end(levels), 0);
    return result;
}

void VanteoBlockMap_Point::NewGame()
{
    VanteoBlockMap::NewGame();
    ClearCounters();
    checkFlag = 1;
    std::fill(std::begin(levels), std::end(levels), 0);
}

void VanteoBlockMap_Point::UpdateX2(float)
{
    x2 = combo > 10 && (combo - 1) % 10 == 0 ? 2 : 1;
}

int VanteoBlockMap_Point::NewBlockKind() { return VanteoBlockMap_Challenge::ChallengeBlockKind(*this); }

void VanteoBlockMap_Point::DrawOverlay() { VanteoBlockMap_Challenge::DrawChallengeOverlay(*this); }

int VanteoBlockMap_Point::PointValue(int colour) const
{
    const int level = levels[colour - 1];
    const std::vector<int>& table = ModeConfig.multiRateValues;
    return level >= 0 && level < static_cast<int>(table.size()) ? table[static_cast<size_t>(level)] : 1;
}

void VanteoBlockMap_Point::RaiseLevel(int colour, int by)
{
    if (!IsColourKind(colour))
        return;
    const int last = GetMultiRateCount() - 1;
    int& level = levels[colour - 1];
    level = std::min(level + by, last);
}

void VanteoBlockMap_Point::PlaceMissingPointBlocks()
{
    if (!cells)
        return;
    VanteoBlock* chosen[3] = {};
    for (int colour = 1; colour <= 3; ++colour) {
        bool hasFree = false;
        for (int i = 0; i < CellCount() && !hasFree; ++i) {
            const VanteoBlock* b = cells[i];
            hasFree = b->present && b->kind == colour && !b->inSquare && !b->corner && !b->pin && b->point;
        }
        if (!hasFree)
            chosen[colour - 1] = PickWeightedBlock(colour);
    }
    for (int colour = 1; colour <= 3; ++colour) {
        VanteoBlock* b = chosen[colour - 1];
        if (!b)
            continue;
        const int value = PointValue(colour);
        b->point = 1;
        b->SetNumber(value);
        b->SetNumberDisabled(value);
    }
}

void VanteoBlockMap_Point::StarEvent()
{
    pinFlag = 1;
    checkFlag = 1;
    for (int colour = 1; colour <= 3; ++colour)
        RaiseLevel(colour, 1);
}

void VanteoBlockMap_Point::StarBlastStep()
{
    VanteoBlockMap::StarBlastStep();
    if (starBlasts == 0)
        StarEvent();
}

void VanteoBlockMap_Point::ClickStarSquare(int col, int row)
{
    VanteoBlockMap::ClickStarSquare(col, row);
    pointsPlaced = 0;
    if (starBlasts == 0)
        StarEvent();
}

int VanteoBlockMap_Point::FindGroups()
{
    int found = VanteoBlockMap::FindGroups();
    if (checkFlag) {
        PlaceMissingPointBlocks();
        checkFlag = 0;
        if (pinFlag) {
            VanteoBlockMap_Challenge::MarkPin(*this);
            pinFlag = 0;
        }
    }
    return found;
}

void VanteoBlockMap_Point::AfterSettledSearch()
{
    if (!pointsPlaced) {
        PlacePointBlocks();
        pointsPlaced = 1;
    }
}

int VanteoBlockMap_Point::ClearSameKindNear(int col, int row, int kind)
{
    RaiseLevel(kind, 1);
    checkFlag = 1;
    return VanteoBlockMap::ClearSameKindNear(col, row, kind);
}

int VanteoBlockMap_Point::ClearKind(int kind)
{
    RaiseLevel(kind, 1);
    checkFlag = 1;
    return VanteoBlockMap::ClearKind(kind);
}

int VanteoBlockMap_Point::ClearSound(int c, int m, int s)
{
    if (c % 10 == 0)
        return kSoundDoubleChance;
    if (m > 1)
        return kSoundDouble;
    if (s >= 1 && s <= 9)
        return kSoundPointClear;
    if (s > 10)
        return kSoundBigPointClear;
    return kSoundAllClear;
}

void VanteoBlockMap_Point::ClearGroup(int col, int row)
{
    int c = 0;
    const std::vector<int> group = MarkedGroup(col, row, &c);
    if (group.empty())
        return;
    int pointBlocks = 0;
    long long pointValues = 0;
    for (int cell : group) {
        const VanteoBlock* b = cells[cell];
        if (!b->point)
            continue;
        ++pointBlocks;
        pointValues += b->value;
        RaiseLevel(b->kind, GetMultiRateLevel(combo));
    }
    const int s = static_cast<int>(std::min<long long>(pointValues, INT_MAX));
    int ac, ar;
    FindSquareAnchor(col, row, &ac, &ar);
    const int q = squareCount, h = restCount;
    const int m = magicFactor * x2;
    const long long multiplier = s != 0 ? static_cast<long long>(m) * s : m;
    // Points are worked out wide and saturate at the int range.
    long long wide = (static_cast<long long>(chainBonus) + GroupBaseScore()) * multiplier;
    int points = static_cast<int>(std::clamp<long long>(wide, 0, INT_MAX));
    if (pointsCap > 0 && points >= pointsCap)
        points = pointsCap;
    if (m > 1)
        Post(MSG_DOUBLE_CHANCE);
    if (x2 > 1)
        windows.ShowWithFirstScene(BoardWindows::kDoubleChanceSuccess);
    bigClear = points >= 1000 ? 1 : 0;
    AddBullets(c, points, [&] { ClearGroupBlocks(col, row, points); });
    pointStreak = pointBlocks > 0 ? pointStreak + 1 : 0;
    if (pointStreak > 2) {
        pinFlag = 1;
        pointStreak = 0;
    }
    Post(MSG_GROUP_CLEARED,
         PayloadWriter().I32(1).I32(c).I32(points).I32(3 * q + h).I32(pointBlocks).I32(pointBlocks).I32(ac).I32(ar));
    if (q >= 5)
        pinFlag = 1;
    RecordBulletGains();
    PlaySound(ClearSound(combo, m, s));
    OnCombo();
    refillSpeed = RefillSpeedFor(10.0f * static_cast<float>(group.size()) + tuning.refillSpeed + 40.0f * static_cast<float>(combo));
    refillPending = 1;
}

void VanteoBlockMap_Point::OnCombo()
{
    if (combo > 1 && !noComboMode)
        comboEffect.Add(combo, originX + 22.0f * static_cast<float>(width), originY + 22.0f * static_cast<float>(height));
    Post(MSG_COMBO, PayloadWriter().I32(combo));
    if (combo % 10 == 0 && !noComboMode)
        ShowDoubleChancePicture();
    ShowPlusCombo();
    combo += 1;
    checkFlag = 1;
}

void VanteoBlockMap_Point::AfterSingleClick(int, int)
{
    combo = 1;
    pointStreak = 0;
    CloseDoubleChanceAfterMiss();
}

void VanteoBlockMap_Point::ClickSingle(int col, int row)
{
    VanteoBlock* b = CellAt(col, row);
    if (!b || !b->present)
        return;
    const int kind = b->kind, pin = b->pin, fixedFlag = b->fixed, pointFlag = b->point;
    if (!pointFlag) {
        // Any block but a point block leaves, fixed ones too, at the cost of one bullet.
        if (IsColourKind(kind) && bullets[kind - 1] > 0) {
            bullets[kind - 1] -= 1;
            bulletTotals[kind - 1] = std::max(bulletTotals[kind - 1] - 1, 0);
        }
        RemoveClickedBlock(col, row);
    }
    PostBlockClicked(col, row, kind, 1, pin, fixedFlag, pointFlag);
    layoutPending = 1;
    if (!pin && !pointFlag) {
        if (x2 > 1)
            PlaySound(kSoundClickLoss);
        AfterSingleClick(col, row);
    }
    refillPending = 1;
}
